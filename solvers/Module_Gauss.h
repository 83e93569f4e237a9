#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// The message of a pivot that is exactly zero.
inline constexpr const char* kZeroPivotMessage = " sıfır diyagonal elemanı";

// Gaussian elimination without interchanges of AN(1..N, 1..N+1) in place, then
// back substitution into Strength(1..N). A pivot that is exactly zero shows
// " sıfır diyagonal elemanı" and returns false with Strength untouched.
bool Gauss_Solve(Common& common, ui::Toolkit& ui, int N);

}  // namespace tavrix
