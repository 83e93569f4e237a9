// The two built-in shapes as contours of NP panel end points in the program's
// order: point 1 (index 0) at the trailing edge (1, 0), then clockwise along
// the lower surface to the leading edge (0, 0) and back along the upper
// surface; the last point is the trailing edge again.
#pragma once

#include "geometry/Contour.h"

namespace tavrix {

// Circle of diameter 1 through (0, 0) and (1, 0), points equally spaced in
// angle. NP from 2 up.
Contour circleContour(int NP);
// NACA 0012 section with a closed trailing edge, cosine spacing. NP from 2 up.
Contour naca0012Contour(int NP);

}  // namespace tavrix
