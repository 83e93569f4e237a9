#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Shows the window "Coefficients Matrix" and paints the leading N x N block of
// AN as cells from white (zero) to red (largest magnitude) in 16 levels.
void Show_CoefficientMatrix(const Common& common, ui::Toolkit& ui, int N);

}  // namespace tavrix
