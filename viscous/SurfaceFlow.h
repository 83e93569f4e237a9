// The inviscid flow along the contour as a boundary layer sees it: the panel
// end points and, at every panel's control point, the tangential speed with
// its sign, taken from the singularity strengths the panel method left.
#pragma once

#include <vector>

#include "solvers/PanelSolution.h"

namespace tavrix {

struct SurfaceFlow {
    // Panel end points 1..NP of the rotated contour (point 1 at index 0),
    // clockwise from the trailing edge: lower surface, leading edge, upper.
    std::vector<double> X, Y;
    // Tangential speed over free-stream speed at the mid point of panel i
    // (index i - 1), positive along the panel from end point i to i + 1, so
    // negative where the flow runs from the stagnation point over the lower
    // surface to the trailing edge and positive over the upper surface.
    std::vector<double> speed;
    double cosAlfa = 1;
    double sinAlfa = 0;
};

// The flow of one operating point, from the rotated end points it kept
// (FlowConditions::keepEndPoints) and its signed speed: |speed| equals Vt bit
// for bit. The vortex methods carry the speed as the sheet strength (the
// flow inside the contour is at rest, so the whole jump is outside); the Hess
// method's speed is rebuilt from its tangential coefficients and strengths.
SurfaceFlow SurfaceFlowOf(const OperatingPoint& point);

}  // namespace tavrix
