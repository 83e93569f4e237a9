// The tangential speed at every panel's control point with its sign, taken
// from the singularity strengths the panel method left (Vt keeps only the
// magnitude). A boundary layer needs the sign to find the stagnation point.
#pragma once

#include <vector>

#include "app/Module_Common.h"
#include "solvers/Sweep.h"

namespace tavrix {

// Speed over free-stream speed at the mid point of panel i (index i - 1),
// positive along the panel from end point i to i + 1; |speed| equals Vt bit
// for bit. Valid right after `method` solved its system into `Strength`.
std::vector<double> SignedSurfaceSpeed(const Common& c, PanelMethod method);

}  // namespace tavrix
