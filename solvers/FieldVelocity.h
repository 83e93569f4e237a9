// The velocity anywhere in the flow of a panel solution: the free stream plus
// what each method's singularities induce at a field point, from the same
// panel integrals the methods are assembled from. The speed on the contour
// itself is the method's surface speed (OperatingPoint::signedSpeed); these
// functions are for points off the panels (the wake, a flow-field view). On
// a panel they give the principal value, the mean of its two sides.
#pragma once

#include <vector>

#include "solvers/PanelSolution.h"

namespace tavrix {

// A velocity over the free-stream speed, in the frame of the rotated contour.
struct Velocity {
    double u = 0;
    double v = 0;
};

// The integrals of a sheet on a straight segment of half length H at the
// point (XP, YP) of its frame (XP along the segment from its mid point, YP
// across it, to the left of the direction of travel), all over 2 pi:
//   source of unit strength:       us = ln(r1/r2),            vs = beta
//   source of strength t (t from the mid point along the segment):
//                                  ut = XP ln(r1/r2) - 2H + YP beta,
//                                  vt = XP beta - YP ln(r1/r2)
// the velocity along and across the segment; r1 and r2 are the distances to
// the first and second end point, beta the angle the segment subtends (+pi
// just left of it, -pi just right, 0 as the principal value on it). The
// strength t splits 1/r^2 into the uniform sheet's integrals and the
// segment's length: t = XP - (XP - t). A vortex sheet induces the source's
// velocity turned through a right angle: counter-clockwise (-vs, us). The
// moments ut and vt only with `firstMoment`.
struct SheetIntegrals {
    double us = 0, vs = 0, ut = 0, vt = 0;
};
SheetIntegrals sheetIntegrals(double XP, double YP, double H, bool firstMoment = true);

// Velocity at (x, y) of a uniform source sheet of strength sigma (outflow per
// unit length) on the segment from (x1, y1) to (x2, y2).
Velocity sourceSegmentVelocity(double x1, double y1, double x2, double y2, double sigma,
                               double x, double y);
// Velocity at (x, y) of a vortex sheet on the segment, its strength varying
// linearly from gamma1 at (x1, y1) to gamma2 at (x2, y2), counter-clockwise
// positive (a uniform sheet for gamma1 = gamma2).
Velocity vortexSegmentVelocity(double x1, double y1, double x2, double y2, double gamma1,
                               double gamma2, double x, double y);

// du[j], dv[j] (j = 1..N, index 0 unused; resized to N + 1): the velocity at
// (x, y) that unit strength of unknown j of the method's system induces. An
// unknown that is a constant of the contour's stream function induces none.
void inducedVelocityRows(const PanelGeometry& geometry, const PanelSystem& system, double x,
                         double y, std::vector<double>& du, std::vector<double>& dv);

// The singularities alone (no free stream) with strengths 1..N (index 0
// unused, as PanelSolution::strengths gives them).
Velocity inducedVelocity(const PanelGeometry& geometry, const PanelSystem& system,
                         const std::vector<double>& strength, double x, double y);

// The whole velocity at (x, y): free stream at the angle plus the solution's
// singularities with the given strengths (1..N, index 0 unused).
Velocity fieldVelocity(const PanelSolution& solution, const std::vector<double>& strength,
                       double alphaDeg, double x, double y);

}  // namespace tavrix
