// What the main window tells about the contour in use: a line with its name
// and point count, and the source option that produced it.
#pragma once

#include <string>
#include <string_view>

#include "app/Module_Common.h"

namespace tavrix {

// "Airfoil in use: NACA 0012, 51 points", or "Airfoil in use: none yet".
std::string airfoilInUseText(const Common& common);

// The source option button of a contour source; empty for a source that has
// no option button (a NACA series section, a repanelled contour) or none.
std::string_view sourceOption(ContourSource source);

// The four source options of the main window.
inline constexpr std::string_view kSourceOptions[] = {"Option_CIRCLE", "Option_N0012",
                                                      "Option_DOSYA", "Option_KATJO"};

}  // namespace tavrix
