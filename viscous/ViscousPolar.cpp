#include "viscous/ViscousPolar.h"

namespace tavrix {

ViscousPoint ViscousPointOf(const OperatingPoint& point, const BoundaryLayerSetup& setup)
{
    ViscousPoint v;
    v.alphaDeg = point.alphaDeg;
    v.CL = point.CL;
    if (point.signedSpeed.empty()) {
        v.message = "The sweep kept no signed surface speed for a boundary layer";
        return v;
    }
    const ViscousResult r = AnalyseBoundaryLayer(SurfaceFlowOf(point), setup);
    v.ok = r.ok;
    v.message = r.message;
    if (!r.ok) return v;
    v.CD = r.CD;
    v.CDfriction = r.CDfriction;
    v.transitionUpper = r.upper.transition;
    v.transitionLower = r.lower.transition;
    v.causeUpper = r.upper.transitionCause;
    v.causeLower = r.lower.transitionCause;
    v.separationUpper = r.upper.turbulentSeparation;
    v.separationLower = r.lower.turbulentSeparation;
    v.reliable = r.reliable;
    return v;
}

std::vector<ViscousPoint> ViscousPolar(const std::vector<OperatingPoint>& points,
                                       const BoundaryLayerSetup& setup)
{
    std::vector<ViscousPoint> polar;
    polar.reserve(points.size());
    for (const OperatingPoint& p : points) polar.push_back(ViscousPointOf(p, setup));
    return polar;
}

double transitionXc(const SurfacePoint& transition)
{
    return transition.found ? transition.xc : 1.0;
}

}  // namespace tavrix
