#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Soinne method: linear vortex panels, stream-function condition at the end points. Leaves the surface speeds in Vt(1..NPanel).
// Returns false when the elimination met a zero pivot (the press then ends).
bool Soinne_Solve(Common& common, ui::Toolkit& ui);

}  // namespace tavrix
