#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Kennedy method: constant vortex panels, stream-function condition. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool KENN_Solve(Common& common, ui::Toolkit& ui);

}  // namespace tavrix
