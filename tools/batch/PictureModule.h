// The batch front end's pictures are drawn by a module of their own, loaded
// only for --plot and --matrix, so that a run without pictures starts without
// the window toolkit's libraries. The module is the file below, beside the
// program (or, once installed, in the program's folder of the library
// directory); its one entry point hands out the table of drawing functions.
// A build without Qt has no module and says so at the first picture.
#pragma once

#include <string>

#include "ui/Drawing.h"

namespace tavrix {

struct PlotData;
struct FieldView;

// A recorded drawing and the size of the box it was drawn in.
struct PictureBox {
    const ui::Drawing* drawing = nullptr;
    double width = 0;
    double height = 0;
};

// Each entry encodes its picture into `bytes` (replacing what was there) and
// says whether it could; the caller writes the bytes to the file, so that a
// failed write never leaves a damaged earlier picture.
struct PictureModule {
    // The main window's two plots, one above the other, as one PNG picture.
    bool (*plotsPng)(const PictureBox& airfoil, const PictureBox& pressure, std::string& bytes);
    // The coefficient-matrix view as a PNG picture.
    bool (*matrixPng)(const PictureBox& matrix, std::string& bytes);
    // A plot of the analysis window (title, axes with ticks and labels, grid,
    // legend) as a PNG picture or, with `svg`, an SVG drawing; false when it
    // cannot be made (SVG without Qt's SVG module).
    bool (*plotPicture)(const PlotData& plot, bool svg, std::string& bytes);
    // The flow-field picture (colour map, streamlines, section, colour scale)
    // as a PNG picture of width x height pixels.
    bool (*fieldPng)(const FieldView& view, int width, int height, std::string& bytes);
};

inline constexpr const char* kPictureModuleFile = "tavrixs-batch-pictures.so";
inline constexpr const char* kPictureModuleEntry = "tavrixPictureModule";

// Loads the module from beside the running program (or its installed
// folder), once; on failure returns nullptr and says why in `error`.
const PictureModule* loadPictureModule(std::string& error);

}  // namespace tavrix

extern "C" const tavrix::PictureModule* tavrixPictureModule();
