// The contour in use as the shared tables hold it: points 1..NP of XCoord and
// YCoord, the counts NP and NPanel, and where it came from.
#pragma once

#include "app/Module_Common.h"
#include "geometry/Contour.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Makes `contour` the one in use: NP, NPanel, points 1..NP of XCoord and
// YCoord (point i from contour index i - 1), its source and name. Entries
// above NP keep what they held. Neither draws it nor sets AirfoilReady, which
// the sources do in their own order. A contour of fewer than 2 or more than
// kTableLast points changes nothing and gives false.
[[nodiscard]] bool setContourInUse(Common& common, const Contour& contour, ContourSource source);

// What a source does with a new contour: makes it the one in use, draws it in
// the airfoil picture and sets AirfoilReady. False, with nothing changed or
// drawn, for a contour setContourInUse refuses.
[[nodiscard]] bool showContourInUse(Common& common, ui::Toolkit& ui, const Contour& contour,
                                    ContourSource source);

// Points 1..NP of the tables as a contour, named as the contour in use.
Contour contourInUse(const Common& common);

}  // namespace tavrix
