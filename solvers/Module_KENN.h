#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Kennedy method: constant vortex panels, stream-function condition. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool KENN_Solve(Common& common, ui::Toolkit& ui);

// The steps of KENN_Solve, in its order, for callers that solve the same
// panels at several angles of attack. Only the right-hand side and the
// surface speed depend on the angle.

// Places the Kutta control point in XM(NP), YM(NP).
void KENN_KuttaControlPoint(Common& common);
// Dimensions AN and fills its coefficients, rows 1..NP.
void KENN_AssembleMatrix(Common& common);
// Column NP + 1 of AN for the angle in CosAlfa, SinAlfa.
void KENN_RightHandSide(Common& common);
// Vt(1..NPanel) from the panel strengths.
void KENN_SurfaceSpeed(Common& common);

}  // namespace tavrix
