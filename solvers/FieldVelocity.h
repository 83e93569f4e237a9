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
