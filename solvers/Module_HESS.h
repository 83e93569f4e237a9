#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Hess method: sources with a parabolic vortex distribution. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool HESS_Solve(Common& common, ui::Toolkit& ui);

}  // namespace tavrix
