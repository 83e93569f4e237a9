#include "solvers/ConditionNumber.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace tavrix {

double conditionNumber1(const Matrix& A, int n)
{
    if (n < 1 || A.upper() < n) return std::numeric_limits<double>::quiet_NaN();
    const auto N = static_cast<std::size_t>(n);
    std::vector<double> lu(N * N);
    auto at = [&](std::size_t i, std::size_t j) -> double& { return lu[i * N + j]; };
    double norm = 0;  // largest column sum of magnitudes
    for (std::size_t j = 0; j < N; ++j) {
        double column = 0;
        for (std::size_t i = 0; i < N; ++i) {
            const double a = A(static_cast<int>(i) + 1, static_cast<int>(j) + 1);
            if (!std::isfinite(a)) return std::numeric_limits<double>::quiet_NaN();
            at(i, j) = a;
            column += std::fabs(a);
        }
        norm = std::max(norm, column);
    }

    std::vector<std::size_t> pivotRow(N);
    for (std::size_t k = 0; k < N; ++k) {
        std::size_t p = k;
        for (std::size_t i = k + 1; i < N; ++i)
            if (std::fabs(at(i, k)) > std::fabs(at(p, k))) p = i;
        if (at(p, k) == 0) return std::numeric_limits<double>::infinity();
        pivotRow[k] = p;
        if (p != k)
            for (std::size_t j = 0; j < N; ++j) std::swap(at(k, j), at(p, j));
        for (std::size_t i = k + 1; i < N; ++i) {
            const double factor = at(i, k) / at(k, k);
            at(i, k) = factor;
            for (std::size_t j = k + 1; j < N; ++j) at(i, j) = at(i, j) - factor * at(k, j);
        }
    }

    // ||A^-1||_1 is the largest column sum of the inverse: solve A x = e_j.
    double inverseNorm = 0;
    std::vector<double> x(N);
    for (std::size_t j = 0; j < N; ++j) {
        std::fill(x.begin(), x.end(), 0.0);
        x[j] = 1;
        for (std::size_t k = 0; k < N; ++k) std::swap(x[k], x[pivotRow[k]]);
        for (std::size_t i = 1; i < N; ++i)
            for (std::size_t k = 0; k < i; ++k) x[i] = x[i] - at(i, k) * x[k];
        double column = 0;
        for (std::size_t i = N; i-- > 0;) {
            for (std::size_t k = i + 1; k < N; ++k) x[i] = x[i] - at(i, k) * x[k];
            x[i] = x[i] / at(i, i);
            column += std::fabs(x[i]);
        }
        if (!std::isfinite(column)) return std::numeric_limits<double>::infinity();
        inverseNorm = std::max(inverseNorm, column);
    }
    return norm * inverseNorm;
}

}  // namespace tavrix
