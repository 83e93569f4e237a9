#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Vortex method: linear vortex panels, tangency at the mid points. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool VORPAN_Solve(Common& common, ui::Toolkit& ui);

// The steps of VORPAN_Solve, in its order, for callers that solve the same
// panels at several angles of attack. Only the right-hand side and the
// surface speed depend on the angle.

// Dimensions AN and fills its coefficients: tangency at mid points
// 1..NPanel and the Kutta row NP.
void VORPAN_AssembleMatrix(Common& common);
// Column NP + 1 of AN for the angle in CosAlfa, SinAlfa.
void VORPAN_RightHandSide(Common& common);
// Vt(1..NPanel) from the end-point strengths.
void VORPAN_SurfaceSpeed(Common& common);

}  // namespace tavrix
