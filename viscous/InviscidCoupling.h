// The inviscid side of the coupled viscous-inviscid analysis.
//
// The boundary layer and its wake act on the outer flow through their
// displacement: a source sheet of strength sigma = d(ue delta*)/ds along the
// surface and the wake. For one contour, panel method and angle of attack
// this unit gives the stations where the layer lives, the inviscid speed
// there, and the linear map from the mass defect to the change of that
// speed:
//
//     q_i = qInviscid_i + sum_j D_ij mTilde_j
//
// q is the tangential speed with its sign: on the airfoil positive along the
// contour (clockwise from the trailing edge: lower surface, nose, upper
// surface), in the wake positive downstream. mTilde_j = q_j delta*_j is the
// mass defect with the sign of the speed, so that sigma = d(mTilde)/ds
// whichever way the layer runs. A layer running against the contour (the
// lower surface) has ue = -q and m = ue delta* = -mTilde.
#pragma once

#include <vector>

#include "solvers/PanelMethods.h"
#include "solvers/PanelSolution.h"
#include "solvers/Refusal.h"

namespace tavrix::coupled {

// Stations of the airfoil (its control points, panel 1 first) and of the
// wake (downstream from the trailing edge). All tables hold the airfoil's
// nAirfoil stations first and the wake's nWake stations after them.
struct CouplingStations {
    PanelMethod method = PanelMethod::VortexPanel;
    double alphaDeg = 0;
    int nAirfoil = 0;
    int nWake = 0;
    int size() const { return nAirfoil + nWake; }

    // Station points in the frame of the rotated contour, and the arc length
    // along the contour from the middle of panel 1 (airfoil) or along the
    // wake from the trailing edge (wake).
    std::vector<double> x, y, s;
    // Wake panel end points, trailing edge first (nWake + 1 of them).
    std::vector<double> wakeX, wakeY;
    // Gap between the two trailing-edge points (0 for a closed contour).
    double trailingEdgeGap = 0;

    // Signed inviscid speed at the angle, and its derivative with respect to
    // the angle of attack in radians (for CL-prescribed runs).
    std::vector<double> qInviscid, dqdAlpha;
    // Row-major size() x size(): D[i * size() + j] = dq_i / dmTilde_j, the
    // source sheet's own speed plus the response of the vortex strengths
    // through the method's boundary conditions and Kutta condition.
    std::vector<double> D;
    double at(int i, int j) const { return D[static_cast<std::size_t>(i) * size() + j]; }
};

// The methods whose formulation the coupling is built for; the others are
// refused with a message naming these.
bool couplingAvailable(PanelMethod method);
Refusal couplingRefusal(PanelMethod method);

// Builds the wake along the trailing-edge streamline of the angle (held
// fixed for the operating point), about wakeLengthChords chords long in
// nWake panels growing geometrically from the trailing edge, and the map D,
// reusing the factors of `solution`.
Outcome<CouplingStations> buildCoupling(const PanelSolution& solution, double alphaDeg,
                                        int nWake = 0, double wakeLengthChords = 1.0);

// Force and moment coefficients of the surface speed q (signed, airfoil
// stations only) at the angle: Cp = 1 - q^2 integrated as the press
// integrates it, moment about the quarter chord.
Coefficients viscousForces(const PanelGeometry& geometry, const std::vector<double>& q,
                           double alphaDeg);

}  // namespace tavrix::coupled
