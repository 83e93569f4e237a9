// The boundary layer on every angle of a sweep: the drag polar. Each angle's
// layer is the one a press at that angle would give, since the sweep keeps
// the press's signed surface speeds bit for bit.
#pragma once

#include <string>
#include <vector>

#include "solvers/Sweep.h"
#include "viscous/BoundaryLayer.h"

namespace tavrix {

struct ViscousPoint {
    double alphaDeg = 0;
    double CL = 0;  // inviscid
    bool ok = false;
    std::string message;  // why there is no layer when !ok
    double CD = 0;  // Squire-Young, both surfaces
    double CDfriction = 0;
    SurfacePoint transitionUpper, transitionLower;  // found == false: laminar to the trailing edge
    TransitionCause causeUpper = TransitionCause::None, causeLower = TransitionCause::None;
    SurfacePoint separationUpper, separationLower;  // turbulent separation
    bool reliable = true;
};

// The point must come from a sweep with FlowSetup::keepSignedSpeed.
ViscousPoint ViscousPointOf(const OperatingPoint& point, const BoundaryLayerSetup& setup);

// One ViscousPoint per angle, in the order of the sweep.
std::vector<ViscousPoint> ViscousPolar(const std::vector<OperatingPoint>& points,
                                       const BoundaryLayerSetup& setup);

// Chord fraction where a surface turns turbulent, 1 when it stays laminar to
// the trailing edge (the convention of xfoil's Top_Xtr and Bot_Xtr).
double transitionXc(const SurfacePoint& transition);

}  // namespace tavrix
