#include "solvers/Module_Gauss.h"

namespace tavrix {

namespace {

bool pivotIsZero(const Matrix& A, int K, ui::Toolkit& ui)
{
    if (A(K, K) != 0) return false;
    ui.message(kZeroPivotMessage);
    return true;
}

}  // namespace

bool Gauss_Solve(Common& common, ui::Toolkit& ui, int N)
{
    Matrix& A = common.AN;
    if (N < 1 || N > kStrengthLast || A.upper() < N + 1) return false;

    // Forward elimination without interchanges. The quotient is formed before
    // the product, so the entry below the pivot comes out exactly zero.
    for (int K = 1; K < N; ++K) {
        for (int I = K + 1; I <= N; ++I) {
            const double F = A(I, K);
            for (int J = K; J <= N + 1; ++J) {
                if (pivotIsZero(A, K, ui)) return false;
                A(I, J) = A(I, J) - (A(K, J) / A(K, K)) * F;
            }
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
