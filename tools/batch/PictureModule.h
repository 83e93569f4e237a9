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

// A recorded drawing and the size of the box it was drawn in.
struct PictureBox {
    const ui::Drawing* drawing = nullptr;
    double width = 0;
    double height = 0;
};

struct PictureModule {
    // The main window's two plots, one above the other, as one PNG picture.
    bool (*savePlots)(const PictureBox& airfoil, const PictureBox& pressure, const char* file);
    // The coefficient-matrix view as a PNG picture.
    bool (*saveMatrix)(const PictureBox& matrix, const char* file);
};

inline constexpr const char* kPictureModuleFile = "tavrixs-batch-pictures.so";
inline constexpr const char* kPictureModuleEntry = "tavrixPictureModule";

// Loads the module from beside the running program (or its installed
// folder), once; on failure returns nullptr and says why in `error`.
const PictureModule* loadPictureModule(std::string& error);

}  // namespace tavrix

extern "C" const tavrix::PictureModule* tavrixPictureModule();
