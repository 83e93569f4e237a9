// Airfoil coordinate files in the layouts people exchange, told apart by their
// content: Selig (a name line, then x y from the trailing edge over the upper
// surface to the leading edge and back), Lednicer (a name line, the two
// surface counts, then each surface from the leading to the trailing edge),
// plain x y lines, and the program's own ".arf" layout.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "geometry/Contour.h"

namespace tavrix {

enum class CoordinateFormat { Arf, Selig, Lednicer, Plain };

// Most points a file in one of the x y layouts may hold before repanelling.
inline constexpr int kCoordinateFileMaxPoints = 20000;

// The layout of a file's text, as it looks (see readCoordinateContour for a
// Lednicer count line that does not match its points).
CoordinateFormat detectCoordinateFormat(std::string_view text);

// Reads a Selig, Lednicer or plain file as its points stand, the two surfaces
// of a Lednicer file joined over the upper surface first. `fallbackName`
// names a file without a name line. On failure the reason, in words for the
// user (to follow `Cannot read airfoil file "NAME": `).
std::variant<Contour, std::string> parseCoordinatePoints(std::string_view text,
                                                         CoordinateFormat format,
                                                         std::string_view fallbackName);

// What a file gives once it is a usable contour.
struct PreparedContour {
    Contour contour;
    // Trailing-edge gap that was closed, in chords; 0 when there was none or
    // it was below kSmallestOpenGap.
    double gap = 0;
    // Whether the points were brought to a unit chord with the leading edge
    // at the origin, and the chord and leading edge they had.
    bool rescaled = false;
    double chord = 1, leadingEdgeX = 0, leadingEdgeY = 0;
};

// A contour is brought to a unit chord with its leading edge at the origin
// when its chord differs from 1 by more than this, or both its leading edge
// lies farther than this from the origin and its trailing edge from (1, 0).
inline constexpr double kUnitChordTolerance = 1e-3;

// Trailing-edge gaps, in chords: below the first the edge counts as closed
// (rounding of the coordinates) and is closed without a word; above the
// second (or above the section's thickness) the contour is refused.
inline constexpr double kSmallestOpenGap = 1e-6;
inline constexpr double kLargestClosedGap = 0.1;

// Repeated points dropped, clockwise from the trailing edge, trailing edge
// closed, no crossing, and on a unit chord with the leading edge at the
// origin (the forces are made coefficients with a unit chord, the moment is
// taken about x = 0.25): the contour as the panel methods need it; or the
// reason why it cannot be one (numbers in it with this decimal separator).
std::variant<PreparedContour, std::string> prepareContour(Contour contour,
                                                          char decimalSeparator = '.');

// parseCoordinatePoints and prepareContour in one: the usable contour of a
// Selig, Lednicer or plain file, or the reason why there is none. A file that
// looks like Lednicer but whose counts do not match the points below them is
// read as Selig (its "count line" being a first point of two whole numbers).
std::variant<PreparedContour, std::string> readCoordinateContour(std::string_view text,
                                                                CoordinateFormat format,
                                                                std::string_view fallbackName,
                                                                char decimalSeparator = '.');

// The contour in the Selig layout: its name, then one line "x y" per point,
// counter-clockwise from the trailing edge over the upper surface. Numbers in
// the shortest form that reads back to the same double.
std::string writeSelig(const Contour& contour);

}  // namespace tavrix
