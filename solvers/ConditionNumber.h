// Condition number of a linear system, found before the system is eliminated.
#pragma once

#include "solvers/Matrix.h"

namespace tavrix {

// kappa_1(A) = ||A||_1 ||A^-1||_1 of the n x n coefficient block A(1..n, 1..n)
// of the augmented matrix (column n + 1, the right-hand side, left out). The
// inverse comes from an LU factorisation with partial pivoting of a copy, so
// the matrix itself is not touched. +infinity for a singular matrix (a zero
// pivot), NaN when an entry is not a finite number. The relative error of a
// solution can be up to kappa times the rounding error of the entries: about
// log10(kappa) of the 16 significant digits may be lost.
double conditionNumber1(const Matrix& A, int n);

}  // namespace tavrix
