#include "solvers/GaussFactors.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "solvers/Module_Gauss.h"
#include "solvers/RowElimination.h"

namespace tavrix {

int GaussFactors::factor(Matrix A, int N)
{
    N_ = 0;
    if (N < 1 || A.upper() < N + 1) return -1;
    U_ = std::move(A);
    F_.redim(N);
    if (const int zero = Gauss_Eliminate(U_, N, &F_); zero != 0) return zero;
    N_ = N;
    return 0;
}

void GaussFactors::solve(std::span<const double> rhs, std::span<double> strength) const
{
    const int N = N_;
    const Matrix& U = U_;
    std::vector<double> b(rhs.begin(), rhs.begin() + (N + 1));
    for (int K = 1; K < N; ++K) {
        // b[I] - quotient * F for I = K + 1 .. N; the product commutes exactly.
        const double quotient = b[K] / U(K, K);
        subtractScaledRow(&b[static_cast<std::size_t>(K) + 1], F_.at(K, K + 1), quotient, N - K);
    }

    strength[N] = b[N] / U(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + U(K, J) * strength[J];
        strength[K] = (b[K] - sum) / U(K, K);
    }
}

void GaussFactors::solveMany(std::span<const double> rhs, std::span<double> out, int count) const
{
    const int N = N_;
    const Matrix& U = U_;
    const auto m = static_cast<std::size_t>(count);
    auto row = [m](int I) { return static_cast<std::size_t>(I) * m; };
    std::vector<double> b(rhs.begin(), rhs.begin() + static_cast<std::ptrdiff_t>(row(N + 1)));
    std::vector<double> quotient(m);
    for (int K = 1; K < N; ++K) {
        for (std::size_t c = 0; c < m; ++c) quotient[c] = b[row(K) + c] / U(K, K);
        const double* f = F_.at(K, K + 1);
        for (int I = K + 1; I <= N; ++I) {
            double* bI = &b[row(I)];
            const double fI = f[I - K - 1];
            for (std::size_t c = 0; c < m; ++c) bI[c] = bI[c] - fI * quotient[c];
        }
    }
    for (std::size_t c = 0; c < m; ++c) out[row(N) + c] = b[row(N) + c] / U(N, N);
    std::vector<double> sum(m);
    for (int K = N - 1; K >= 1; --K) {
        std::fill(sum.begin(), sum.end(), 0.0);
        for (int J = K + 1; J <= N; ++J) {
            const double u = U(K, J);
            const double* sJ = &out[row(J)];
            for (std::size_t c = 0; c < m; ++c) sum[c] = sum[c] + u * sJ[c];
        }
        for (std::size_t c = 0; c < m; ++c) out[row(K) + c] = (b[row(K) + c] - sum[c]) / U(K, K);
    }
}

}  // namespace tavrix
