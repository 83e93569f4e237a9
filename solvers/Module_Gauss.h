// Gaussian elimination without interchanges, the one elimination every panel
// method's system goes through.
#pragma once

#include <span>

#include "solvers/Matrix.h"
#include "solvers/RowElimination.h"

namespace tavrix {

// Eliminates the augmented system A(1..N, 1..N+1) in place, then back-
// substitutes into strength[1..N]. Returns 0 when solved, the row of the
// first pivot that is exactly zero (strength untouched), or -1 for a system
// that cannot be held (N below 1, A or strength too small).
int Gauss_Solve(Matrix& A, int N, std::span<double> strength);

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
