#include "solvers/Module_Gauss.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tavrix {
namespace {

constexpr double kUntouched = 77.5;
// Strengths 0..1000: every system the panel methods build fits.
constexpr int kStrengthLast = 1000;
using Row = std::vector<double>;
using StrengthTable = std::vector<double>;

// AN(1..N, 1..N+1) from rows given as {coefficients..., right-hand side};
// every strength preset to a value no solve produces here.
struct System {
    explicit System(const std::vector<Row>& rows)
    {
        N = static_cast<int>(rows.size());
        AN.redim(N + 1);
        for (int i = 1; i <= N; ++i)
            for (int j = 1; j <= N + 1; ++j) AN(i, j) = rows[i - 1][j - 1];
    }
    int solve() { return Gauss_Solve(AN, N, Strength); }
    Row row(int i) const
    {
        Row r;
        for (int j = 1; j <= N + 1; ++j) r.push_back(AN(i, j));
        return r;
    }

    Matrix AN;
    StrengthTable Strength = StrengthTable(kStrengthLast + 1, kUntouched);
    int N = 0;
};

TEST(GaussSolve, solvesInPlaceWithoutInterchangesOrStopsAtAZeroPivot)
{
    struct Case {
        std::vector<Row> rows;
        int zeroRow;            // the row of the zero pivot, 0 when solved
        Row strengths;          // 1..N when solved; every other strength stays untouched
        std::vector<Row> left;  // the rows as the elimination leaves them, when given
    };
    const Case cases[] = {
        {{{4, 2}}, 0, {0.5}, {}},
        // 2x + y + z = 3, 4x + 3y + 3z = 7, 8x + 7y + 9z = 19 has x = 1, y = -1,
        // z = 2; the pivots 2, 1, 2 keep every step exact.
        {{{2, 1, 1, 3}, {4, 3, 3, 7}, {8, 7, 9, 19}}, 0, {1, -1, 2},
         {{2, 1, 1, 3}, {0, 1, 1, 1}, {0, 0, 2, 4}}},
        // A tiny pivot is used as it is.
        {{{1e-300, 1e-300, 1e-300}, {1, 2, 3}}, 0, {-1, 2}, {}},
        // A zero first pivot: nothing is written.
        {{{0, 1, 1, 3}, {4, 3, 3, 7}, {8, 7, 9, 19}}, 1, {},
         {{0, 1, 1, 3}, {4, 3, 3, 7}, {8, 7, 9, 19}}},
        {{{0, 5}}, 1, {}, {{0, 5}}},
        // After pass 1 row 2 is (0, 0, -1 | 1) and row 3 (0, -1, -2 | 1): the
        // second pivot is zero and row 3 keeps what pass 1 made of it.
        {{{1, 2, 3, 1}, {2, 4, 5, 3}, {1, 1, 1, 2}}, 2, {},
         {{1, 2, 3, 1}, {0, 0, -1, 1}, {0, -1, -2, 1}}},
        // The last pivot is tested before back substitution.
        {{{1, 2, 1}, {2, 4, 3}}, 2, {}, {{1, 2, 1}, {0, 0, 1}}},
    };
    for (const Case& k : cases) {
        System s(k.rows);
        SCOPED_TRACE(::testing::Message() << s.N << " unknowns, row 1 " << k.rows[0][0]);
        EXPECT_EQ(s.solve(), k.zeroRow);
        const auto solved = static_cast<int>(k.strengths.size());
        for (int i = 0; i <= kStrengthLast; ++i)
            EXPECT_EQ(s.Strength[i], i >= 1 && i <= solved ? k.strengths[i - 1] : kUntouched) << i;
        for (std::size_t r = 0; r < k.left.size(); ++r)
            EXPECT_EQ(s.row(static_cast<int>(r) + 1), k.left[r]) << r;
    }
}

TEST(GaussSolve, refusesASystemBeyondItsMatrixOrItsStrengths)
{
    Matrix A;
    A.redim(kStrengthLast + 2);
    for (int i = 1; i <= kStrengthLast + 1; ++i) A(i, i) = 1;
    StrengthTable strength(kStrengthLast + 1, kUntouched);
    // One unknown more than the strengths hold, and a matrix without room
    // for the right-hand side column.
    EXPECT_EQ(Gauss_Solve(A, kStrengthLast + 1, strength), -1);
    EXPECT_EQ(strength[kStrengthLast], kUntouched);
    EXPECT_EQ(Gauss_Solve(A, kStrengthLast + 2, strength), -1);
    EXPECT_EQ(Gauss_Solve(A, 0, strength), -1);
    // The largest system of the panel methods fits and is solved.
    EXPECT_EQ(Gauss_Solve(A, kStrengthLast, strength), 0);
}

// The elimination with the quotient formed inside the innermost loop, entry
// by entry, as the operations are defined; the program forms each pivot row's
// quotients once, which must not change a single bit.
bool forwardEntryByEntry(Matrix& A, int N, Matrix* multipliers = nullptr)
{
    for (int K = 1; K < N; ++K) {
        for (int I = K + 1; I <= N; ++I) {
            const double F = A(I, K);
            if (multipliers != nullptr) (*multipliers)(K, I) = F;
            for (int J = K; J <= N + 1; ++J) {
                if (A(K, K) == 0) return false;
                A(I, J) = A(I, J) - (A(K, J) / A(K, K)) * F;
            }
        }
    }
    return A(N, N) != 0;
}

bool eliminateEntryByEntry(Matrix& A, StrengthTable& strength, int N)
{
    if (!forwardEntryByEntry(A, N)) return false;
    strength[N] = A(N, N + 1) / A(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + A(K, J) * strength[J];
        strength[K] = (A(K, N + 1) - sum) / A(K, K);
    }
    return true;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The same bits in every cell (the sign of a zero included).
bool sameBits(const Matrix& a, const Matrix& b)
{
    const auto n = static_cast<std::size_t>(a.upper() + 1);
    return a.upper() == b.upper() && std::memcmp(a.at(0, 0), b.at(0, 0), n * n * sizeof(double)) == 0;
}

TEST(GaussSolve, givesTheBitsOfTheQuotientFormedForEveryEntry)
{
    // Dense random systems of every size up to 200 in four variants, and one
    // of 401 where the rows of four and the pairs of pivot rows run many times:
    // a dominant diagonal, a matrix dimensioned larger than the system, nearly
    // singular (a row repeating the one above it), a zero pivot in any row.
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> entry(-3, 3);
    std::vector<int> sizes;
    for (int N = 1; N <= 200; N += (N < 24 ? 1 : 13)) sizes.push_back(N);
    sizes.push_back(401);
    for (int N : sizes) {
        for (int variant = 0; variant < (N <= 200 ? 4 : 1); ++variant) {
            SCOPED_TRACE(::testing::Message() << "N " << N << " variant " << variant);
            Matrix AN;
            StrengthTable strength(kStrengthLast + 1, kUntouched);
            AN.redim(N + 1 + (variant == 1 ? 3 : 0));
            for (int i = 1; i <= N; ++i) {
                for (int j = 1; j <= N + 1; ++j) AN(i, j) = entry(random);
                AN(i, i) += variant == 0 ? 4 * N : 0;
            }
            if (variant == 2 && N >= 3)
                for (int j = 1; j <= N + 1; ++j) AN(N / 2 + 1, j) = AN(N / 2, j);
            if (variant == 3) {
                // A row that no earlier pass changes keeps its zero pivot: the
                // elimination stops there, whichever row that is.
                const int zeroRow = 1 + static_cast<int>(random() % static_cast<unsigned>(N));
                for (int j = 1; j <= zeroRow; ++j) AN(zeroRow, j) = 0;
            }
            Matrix expectedA = AN;
            StrengthTable expectedStrength = strength;
            const bool expectedSolved = eliminateEntryByEntry(expectedA, expectedStrength, N);

            EXPECT_EQ(Gauss_Solve(AN, N, strength) == 0, expectedSolved);
            EXPECT_EQ(std::memcmp(strength.data(), expectedStrength.data(),
                                  strength.size() * sizeof(double)), 0);
            EXPECT_TRUE(sameBits(AN, expectedA));
        }
    }
}

// Each variant of the row updates, on systems larger than the strength table
// holds (the elimination itself has no such limit): every entry and every
// recorded multiplier, and, with a zero pivot in the last row but one, the
// matrix as passes 1 .. N - 2 leave it.
TEST(GaussEliminate, everyRowUpdateVariantGivesTheBitsOfTheEntryByEntryPasses)
{
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> entry(-2, 2);
    for (const int N : {kStrengthLast + 3, 250}) {
        Matrix system;
        system.redim(N + 1);
        for (int i = 1; i <= N; ++i) {
            for (int j = 1; j <= N + 1; ++j) system(i, j) = entry(random);
            system(i, i) += N;
        }
        // No pass changes a row whose entries up to the diagonal are zero.
        const bool singular = N == 250;
        if (singular)
            for (int j = 1; j <= N - 1; ++j) system(N - 1, j) = 0;
        Matrix expected = system;
        Matrix expectedMultipliers;
        expectedMultipliers.redim(N);
        ASSERT_EQ(forwardEntryByEntry(expected, N, &expectedMultipliers), !singular);
        for (const RowEliminationKernels& kernels : {portableKernels(), avx2Kernels(),
                                                     avx512Kernels()}) {
            if (kernels.row == nullptr) continue;
            Matrix A = system;
            Matrix multipliers;
            multipliers.redim(N);
            EXPECT_EQ(Gauss_Eliminate(A, N, &multipliers, kernels), singular ? N - 1 : 0);
            EXPECT_TRUE(sameBits(A, expected)) << N;
            for (int K = 1; K < N && !singular; ++K)
                for (int I = K + 1; I <= N; ++I)
                    ASSERT_TRUE(sameBits(multipliers(K, I), expectedMultipliers(K, I)))
                        << N << ": pass " << K << " row " << I;
        }
    }
}

}  // namespace
}  // namespace tavrix
