// Vortex panel method: a vortex sheet whose strength varies linearly along
// each panel and is continuous at the end points, zero normal velocity at the
// control points, and the strengths at the two trailing-edge end points
// cancelling (Kutta condition).
#pragma once

#include "solvers/PanelSystem.h"

namespace tavrix {

void VORPAN_AssembleMatrix(const PanelGeometry& g, PanelSystem& system);
// rhs[1..NPanel]: the free stream along each panel's normal; the Kutta row keeps 0.
void VORPAN_RightHandSide(const PanelGeometry& g, const PanelSystem& system, double cosAlfa,
                          double sinAlfa, double* rhs);
// With the fluid inside at rest the whole jump of the sheet lies outside:
// the speed along the panel is the mean strength of its end points.
void VORPAN_SurfaceSpeed(const PanelGeometry& g, const PanelSystem& system,
                         const double* strength, double cosAlfa, double sinAlfa, double* speed);

}  // namespace tavrix
