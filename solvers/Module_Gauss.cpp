#include "solvers/Module_Gauss.h"

#include <array>

#include "solvers/RowElimination.h"

namespace tavrix {

namespace {

bool pivotIsZero(const Matrix& A, int K, ui::Toolkit& ui)
{
    if (A(K, K) != 0) return false;
    ui.message(" sıfır diyagonal elemanı");
    return true;
}

}  // namespace

bool Gauss_Solve(Common& common, ui::Toolkit& ui, int N)
{
    Matrix& A = common.AN;
    if (N < 1 || N > kStrengthLast || A.upper() < N + 1) return false;

    // Forward elimination without interchanges. The quotient is formed before
    // the product, so the entry below the pivot comes out exactly zero. The
    // pivot row does not change during its own pass, so its quotients
    // A(K, J) / A(K, K) are the same for every row beneath it: formed once per
    // pivot, then each row subtracts them times its own factor.
    std::array<double, kStrengthLast + 2> quotient{};
    for (int K = 1; K < N; ++K) {
        if (pivotIsZero(A, K, ui)) return false;
        const int columns = N + 2 - K;  // K .. N + 1
        const double pivot = A(K, K);
        for (int J = K; J <= N + 1; ++J) quotient[J - K] = A(K, J) / pivot;
        for (int I = K + 1; I <= N; ++I) {
            double* row = &A(I, K);  // columns K .. N + 1 lie side by side
            const double F = row[0];
            subtractScaledRow(row, quotient.data(), F, columns);
        }
    }

    if (pivotIsZero(A, N, ui)) return false;
    common.Strength[N] = A(N, N + 1) / A(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + A(K, J) * common.Strength[J];
        common.Strength[K] = (A(K, N + 1) - sum) / A(K, K);
    }
    return true;
}

}  // namespace tavrix
