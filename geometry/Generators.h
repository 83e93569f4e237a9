#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Circle of diameter 1 through (0, 0) and (1, 0), NP points clockwise from (1, 0).
void Make_Circle(Common& common, ui::Toolkit& ui);
// NACA 0012 section with a closed trailing edge, cosine spacing.
void Make_NACA0012(Common& common, ui::Toolkit& ui);

}  // namespace tavrix
