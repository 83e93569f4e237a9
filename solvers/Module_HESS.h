// Hess method: constant-strength source panels and one vortex sheet whose
// strength follows a parabola of the arc length, with the trailing-edge
// condition that the tangential speeds on the two trailing-edge panels cancel.
#pragma once

#include <vector>

#include "solvers/PanelSystem.h"

namespace tavrix {

// Parabolic shape d(j) of the vortex strength over panels 1..NPanel.
std::vector<double> HESS_VortexShape(const PanelGeometry& g);
// Dimensions AN and AT and fills the coefficients: rows 1..NPanel (sources and
// the vortex column) and the closing row NP, the trailing-edge condition or,
// with noCirculation, a zero vortex amplitude.
void HESS_AssembleMatrix(const PanelGeometry& g, PanelSystem& system);
// rhs[1..NP]: the free stream along each panel's normal, and the closing row.
void HESS_RightHandSide(const PanelGeometry& g, const PanelSystem& system, double cosAlfa,
                        double sinAlfa, double* rhs);
// The signed speed at every control point from the strengths, with AT.
void HESS_SurfaceSpeed(const PanelGeometry& g, const PanelSystem& system, const double* strength,
                       double cosAlfa, double sinAlfa, double* speed);

}  // namespace tavrix
