// The elimination of Gauss_Solve carried out once on the coefficients alone,
// keeping each row's multiplier F = A(I, K) as it stood when pivot row K
// reached it. A right-hand side is then reduced and back-substituted with
// exactly the operations Gauss_Solve applies to column N + 1, so every solution
// is bit for bit the one Gauss_Solve gives for the same system, at O(N^2) cost.
#pragma once

#include <span>

#include "solvers/Matrix.h"

namespace tavrix {

class GaussFactors {
public:
    // Eliminates A(1..N, 1..N) (A.upper() >= N + 1). Returns the pivot row
    // that was exactly zero, or 0 when the factors are complete; -1 for a
    // system that cannot be eliminated (N below 1, A too small).
    int factor(Matrix A, int N);

    // strength[1..N] for the right-hand side rhs[1..N] (index 0 unused in both).
    void solve(std::span<const double> rhs, std::span<double> strength) const;

    // The same for `count` right-hand sides at once, each as solve gives it
    // to the bit: rhs and out hold rows 0..N of `count` columns each
    // (column c is right-hand side c; row 0 unused). The sums of the back
    // substitution run side by side over the columns rather than one after
    // another.
    void solveMany(std::span<const double> rhs, std::span<double> out, int count) const;

    int size() const { return N_; }
    // The reduced coefficients, as the elimination leaves them.
    const Matrix& reduced() const { return U_; }

private:
    int N_ = 0;
    Matrix U_;  // the reduced coefficients, as Gauss_Solve leaves them
    Matrix F_;  // F_(K, I): the multiplier of pivot row K in row I > K
};

}  // namespace tavrix
