// Kennedy-Marsden method: constant-strength vortex panels with the stream
// function held at one common value at every control point, the last control
// point lying just behind the trailing edge (Kutta condition).
#pragma once

#include "solvers/PanelSystem.h"

namespace tavrix {

// The control point of the trailing-edge condition: just behind the edge,
// one hundredth of the distance to the mid point of the next pair of end
// points further in.
void KENN_KuttaControlPoint(const PanelGeometry& g, double& x, double& y);
// Fills system.kuttaX/Y, then AN rows 1..NP: the stream function of every
// panel's unit sheet at every control point, and the contour's common value.
void KENN_AssembleMatrix(const PanelGeometry& g, PanelSystem& system);
// rhs[1..NP]: the free stream's stream function at every control point.
void KENN_RightHandSide(const PanelGeometry& g, const PanelSystem& system, double cosAlfa,
                        double sinAlfa, double* rhs);
// Its stream-function rows take the sheets with the opposite sign of
// rotation, so the strength is the speed against the panel.
void KENN_SurfaceSpeed(const PanelGeometry& g, const PanelSystem& system, const double* strength,
                       double cosAlfa, double sinAlfa, double* speed);

}  // namespace tavrix
