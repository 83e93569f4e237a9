#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Soinne method: linear vortex panels, stream-function condition at the end points. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool Soinne_Solve(Common& common, ui::Toolkit& ui);

// The steps of Soinne_Solve, in its order, for callers that solve the same
// panels at several angles of attack. Only the right-hand side and the
// surface speed depend on the angle.

// Dimensions AN and fills its coefficients: the stream-function rows 2..NP
// and the two Kutta rows.
void Soinne_AssembleMatrix(Common& common);
// Column NP + 2 of AN for the angle in CosAlfa, SinAlfa.
void Soinne_RightHandSide(Common& common);
// Vt(1..NPanel) from the end-point strengths.
void Soinne_SurfaceSpeed(Common& common);

}  // namespace tavrix
