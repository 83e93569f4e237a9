#pragma once

#include <vector>

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Hess method: sources with a parabolic vortex distribution. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool HESS_Solve(Common& common, ui::Toolkit& ui);

// The steps of HESS_Solve, in its order, for callers that solve the same
// panels at several angles of attack. Only the right-hand side and the
// surface speed depend on the angle.

// Parabolic shape d(j) of the vortex strength over panels 1..NPanel.
std::vector<double> HESS_VortexShape(const Common& common);
// Dimensions AN and AT and fills the coefficients: rows 1..NPanel (sources and
// the vortex column) and the closing row NP, the trailing-edge condition or,
// with noCirculation, a zero vortex amplitude.
void HESS_AssembleMatrix(Common& common, const std::vector<double>& d, bool noCirculation);
// Column NP + 1 of AN for the angle in CosAlfa, SinAlfa.
void HESS_RightHandSide(Common& common, bool noCirculation);
// Vt(1..NPanel) from the strengths, with AT as assembled.
void HESS_SurfaceSpeed(Common& common);

}  // namespace tavrix
