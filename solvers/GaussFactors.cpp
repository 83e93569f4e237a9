#include "solvers/GaussFactors.h"

#include <vector>

#include "solvers/Module_Gauss.h"

namespace tavrix {

bool GaussFactors::factor(const Matrix& A, int N, ui::Toolkit& ui)
{
    N_ = 0;
    if (N < 1 || N > kStrengthLast || A.upper() < N + 1) return false;
    U_ = A;
    F_.redim(N);
    if (Gauss_Eliminate(U_, N, &F_) != 0) {
        ui.message(kZeroPivotMessage);
        return false;
    }
    N_ = N;
    return true;
}

void GaussFactors::solve(std::span<const double> rhs, StrengthTable& strength) const
{
    const int N = N_;
    const Matrix& U = U_;
    std::vector<double> b(rhs.begin(), rhs.begin() + (N + 1));
    for (int K = 1; K < N; ++K) {
        const double quotient = b[K] / U(K, K);
        for (int I = K + 1; I <= N; ++I) b[I] = b[I] - quotient * F_(I, K);
    }

    strength[N] = b[N] / U(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + U(K, J) * strength[J];
        strength[K] = (b[K] - sum) / U(K, K);
    }
}

}  // namespace tavrix
