#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Vortex method: linear vortex panels, tangency at the mid points. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool VORPAN_Solve(Common& common, ui::Toolkit& ui);

}  // namespace tavrix
