#pragma once

#include "app/Module_Common.h"
#include "solvers/RowElimination.h"
#include "ui/Toolkit.h"

namespace tavrix {

// The message of a pivot that is exactly zero.
inline constexpr const char* kZeroPivotMessage = " sıfır diyagonal elemanı";

// Gaussian elimination without interchanges of AN(1..N, 1..N+1) in place, then
// back substitution into Strength(1..N). A pivot that is exactly zero shows
// " sıfır diyagonal elemanı" and returns false with Strength untouched.
bool Gauss_Solve(Common& common, ui::Toolkit& ui, int N);

// The forward elimination of Gauss_Solve alone, on A(1..N, 1..N+1) in place
// (N >= 1, A.upper() >= N + 1). When multipliers is given (upper >= N),
// (K, I) receives A(I, K) as it stood when pivot row K reached row I > K
// (a pivot row's multipliers side by side).
// Returns the pivot row that was exactly zero, or 0; after a zero pivot the
// recorded multipliers are incomplete.
int Gauss_Eliminate(Matrix& A, int N, Matrix* multipliers);
// The same with a given variant of the row updates (all give the same bits),
// to time one variant against another.
int Gauss_Eliminate(Matrix& A, int N, Matrix* multipliers, const RowEliminationKernels& kernels);

}  // namespace tavrix
