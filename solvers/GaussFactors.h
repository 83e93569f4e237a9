// The elimination of Gauss_Solve carried out once on the coefficients alone,
// keeping each row's multiplier F = A(I, K) as it stood when pivot row K
// reached it. A right-hand side is then reduced and back-substituted with
// exactly the operations Gauss_Solve applies to column N + 1, so every solution
// is bit for bit the one Gauss_Solve gives for the same system, at O(N^2) cost.
#pragma once

#include <span>

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

class GaussFactors {
public:
    // Eliminates A(1..N, 1..N). A pivot that is exactly zero shows the
    // elimination's message and returns false; so does nothing, silently, a
    // system Gauss_Solve would refuse (N outside 1..200, A too small).
    bool factor(const Matrix& A, int N, ui::Toolkit& ui);

    // Strength(1..N) for the right-hand side rhs[1..N] (rhs[0] unused).
    void solve(std::span<const double> rhs, StrengthTable& strength) const;

    int size() const { return N_; }

private:
    int N_ = 0;
    Matrix U_;  // the reduced coefficients, as Gauss_Solve leaves them
    Matrix F_;  // F_(K, I): the multiplier of pivot row K in row I > K
};

}  // namespace tavrix
