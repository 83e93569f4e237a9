// Soinne-Laine method: a vortex sheet varying linearly along each panel, the
// stream function held at the contour's common value at the end points, and
// no vorticity at either trailing-edge end point (Kutta condition). Unknowns:
// the strength at every end point and the common stream function.
#pragma once

#include "solvers/PanelSystem.h"

namespace tavrix {

void Soinne_AssembleMatrix(const PanelGeometry& g, PanelSystem& system);
// rhs[2..NP]: the free stream's stream function at the end points; the two
// Kutta rows keep 0.
void Soinne_RightHandSide(const PanelGeometry& g, const PanelSystem& system, double cosAlfa,
                          double sinAlfa, double* rhs);
// The mean strength of the panel's end points, as for the vortex panel method.
void Soinne_SurfaceSpeed(const PanelGeometry& g, const PanelSystem& system,
                         const double* strength, double cosAlfa, double sinAlfa, double* speed);

}  // namespace tavrix
