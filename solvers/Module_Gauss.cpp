#include "solvers/Module_Gauss.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "solvers/RowElimination.h"

namespace tavrix {

namespace {

// Forward elimination without interchanges. Pass K sets, for every row I
// below K and every column J = K .. N + 1,
//     A(I, J) <- A(I, J) - (A(K, J) / A(K, K)) * A(I, K),
// the quotient formed before the product, so the entry below the pivot comes
// out exactly zero. Row K no longer changes once its pass begins, so its
// quotients are formed once. An entry of row I needs only passes 1 .. K - 1
// of row I itself and of the pivot row, so the rows are reduced one after the
// other (four at a time against each pair of pivot rows, which keeps them in
// the cache): every entry still meets the same operations in the same order, and
// a zero pivot leaves the matrix as the pass-by-pass order leaves it.
class Elimination {
public:
    Elimination(Matrix& A, int N, Matrix* multipliers, const RowEliminationKernels& kernels)
        : A_(A), N_(N), multipliers_(multipliers), kernels_(kernels),
          width_(static_cast<std::size_t>(N) + 2),
          quotients_(std::make_unique_for_overwrite<double[]>((width_) * width_)),
          passesDone_(width_, 0)
    {
    }

    // Returns the pivot row that turned out to be zero, or 0 when none did.
    int run()
    {
        for (int first = 1; first <= N_; first += 4) {
            const int last = std::min(first + 3, N_);
            passesFromAbove(first, last);
            for (int K = first; K <= last; ++K) {
                if (A_(K, K) == 0) {
                    completePassesBefore(K);
                    return K;
                }
                formQuotients(K);
                for (int R = K + 1; R <= last; ++R) applyPass(K, R);
            }
        }
        return 0;
    }

private:
    const double* quotients(int K) const
    {
        return &quotients_[static_cast<std::size_t>(K) * width_ + static_cast<std::size_t>(K)];
    }
    int columns(int K) const { return N_ + 2 - K; }  // K .. N + 1

    void formQuotients(int K)
    {
        double* q = &quotients_[static_cast<std::size_t>(K) * width_];
        const double pivot = A_(K, K);
        for (int J = K; J <= N_ + 1; ++J) q[J] = A_(K, J) / pivot;
    }

    void applyPass(int K, int R)
    {
        double* row = &A_(R, K);  // columns K .. N + 1 lie side by side
        record(R, K, row[0]);
        kernels_.row(row, quotients(K), row[0], columns(K));
        passesDone_[static_cast<std::size_t>(R)] = K;
    }

    // Passes 1 .. first - 1 on rows first .. last.
    void passesFromAbove(int first, int last)
    {
        if (last - first == 3) {
            // Pivot rows two at a time: each entry of the four rows is then
            // loaded and stored once for passes K and K + 1.
            int K = 1;
            for (; K + 1 < first; K += 2) {
                double* const rows[4] = {&A_(first, K), &A_(first + 1, K), &A_(first + 2, K),
                                         &A_(first + 3, K)};
                double factors[4], nextFactors[4];
                kernels_.fourRowPairs(rows, quotients(K), quotients(K + 1), factors,
                                      nextFactors, columns(K));
                for (int r = 0; r < 4; ++r) {
                    record(first + r, K, factors[r]);
                    record(first + r, K + 1, nextFactors[r]);
                }
            }
            for (; K < first; ++K) {
                double* const rows[4] = {&A_(first, K), &A_(first + 1, K), &A_(first + 2, K),
                                         &A_(first + 3, K)};
                const double factors[4] = {rows[0][0], rows[1][0], rows[2][0], rows[3][0]};
                for (int r = 0; r < 4; ++r) record(first + r, K, factors[r]);
                kernels_.fourRows(rows, quotients(K), factors, columns(K));
            }
            for (int R = first; R <= last; ++R)
                passesDone_[static_cast<std::size_t>(R)] = first - 1;
        } else {
            for (int R = first; R <= last; ++R)
                for (int K = 1; K < first; ++K) applyPass(K, R);
        }
    }

    // A zero pivot in row K stops the elimination after passes 1 .. K - 1.
    void completePassesBefore(int K)
    {
        for (int R = K + 1; R <= N_; ++R)
            for (int P = passesDone_[static_cast<std::size_t>(R)] + 1; P < K; ++P) applyPass(P, R);
    }

    void record(int R, int K, double factor)
    {
        if (multipliers_ != nullptr) (*multipliers_)(K, R) = factor;
    }

    Matrix& A_;
    const int N_;
    Matrix* const multipliers_;  // (K, R): A(R, K) as pass K found it, when wanted
    const RowEliminationKernels& kernels_;
    const std::size_t width_;
    std::unique_ptr<double[]> quotients_;  // row K: A(K, J) / A(K, K) at column J
    std::vector<int> passesDone_;  // row R has had passes 1 .. passesDone_[R]
};

}  // namespace

int Gauss_Eliminate(Matrix& A, int N, Matrix* multipliers)
{
    return Gauss_Eliminate(A, N, multipliers, widestKernels());
}

int Gauss_Eliminate(Matrix& A, int N, Matrix* multipliers, const RowEliminationKernels& kernels)
{
    return Elimination(A, N, multipliers, kernels).run();
}

int Gauss_Solve(Matrix& A, int N, std::span<double> strength)
{
    if (N < 1 || A.upper() < N + 1 || strength.size() < static_cast<std::size_t>(N) + 1)
        return -1;

    // Every pivot, the last one included, is tested exactly against zero.
    if (const int zero = Gauss_Eliminate(A, N, nullptr); zero != 0) return zero;

    strength[N] = A(N, N + 1) / A(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + A(K, J) * strength[J];
        strength[K] = (A(K, N + 1) - sum) / A(K, K);
    }
    return 0;
}

}  // namespace tavrix
