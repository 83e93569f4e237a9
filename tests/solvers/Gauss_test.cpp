#include "solvers/Module_Gauss.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <random>
#include <vector>

#include "ui/HeadlessToolkit.h"

namespace tavrix {
namespace {

constexpr double kUntouched = 77.5;

// AN(1..N, 1..N+1) from rows given as {coefficients..., right-hand side};
// every strength preset to a value no solve produces here.
struct System {
    explicit System(std::initializer_list<std::vector<double>> rows)
    {
        N = static_cast<int>(rows.size());
        c.AN.redim(N + 1);
        int i = 0;
        for (const auto& row : rows) {
            ++i;
            for (int j = 1; j <= N + 1; ++j) c.AN(i, j) = row[j - 1];
        }
        c.Strength.fill(kUntouched);
    }
    bool solve() { return Gauss_Solve(c, ui, N); }
    std::vector<double> row(int i) const
    {
        std::vector<double> r;
        for (int j = 1; j <= N + 1; ++j) r.push_back(c.AN(i, j));
        return r;
    }

    Common c;
    ui::HeadlessToolkit ui;
    int N = 0;
};

using Row = std::vector<double>;

TEST(GaussSolve, singleUnknownIsTheQuotientOfItsRow)
{
    System s({{4, 2}});
    ASSERT_TRUE(s.solve());
    EXPECT_EQ(s.c.Strength[1], 0.5);
    EXPECT_EQ(s.c.Strength[0], kUntouched);
    EXPECT_EQ(s.c.Strength[2], kUntouched);
    EXPECT_TRUE(s.ui.messages().empty());
}

TEST(GaussSolve, solvesWithoutInterchangesAndWritesOnlyStrengthsOneToN)
{
    // 2x + y + z = 3, 4x + 3y + 3z = 7, 8x + 7y + 9z = 19 has x = 1, y = -1,
    // z = 2; the pivots 2, 1, 2 keep every step exact.
    System s({{2, 1, 1, 3}, {4, 3, 3, 7}, {8, 7, 9, 19}});
    ASSERT_TRUE(s.solve());
    EXPECT_EQ(s.c.Strength[1], 1);
    EXPECT_EQ(s.c.Strength[2], -1);
    EXPECT_EQ(s.c.Strength[3], 2);
    EXPECT_EQ(s.c.Strength[0], kUntouched);
    for (int i = 4; i <= kStrengthLast; ++i) EXPECT_EQ(s.c.Strength[i], kUntouched) << i;
    // Reduced in place: zeros below the diagonal, the upper triangle reduced.
    EXPECT_EQ(s.row(2), (Row{0, 1, 1, 1}));
    EXPECT_EQ(s.row(3), (Row{0, 0, 2, 4}));
}

TEST(GaussSolve, aTinyPivotIsUsedAsItIs)
{
    System s({{1e-300, 1e-300, 1e-300}, {1, 2, 3}});
    ASSERT_TRUE(s.solve());
    EXPECT_EQ(s.c.Strength[2], 2);
    EXPECT_EQ(s.c.Strength[1], -1);
    EXPECT_TRUE(s.ui.messages().empty());
}

TEST(GaussSolve, zeroFirstPivotStopsBeforeAnythingIsWritten)
{
    System s({{0, 1, 1, 3}, {4, 3, 3, 7}, {8, 7, 9, 19}});
    EXPECT_FALSE(s.solve());
    ASSERT_EQ(s.ui.messages().size(), 1u);
    EXPECT_EQ(s.ui.messages()[0], " sıfır diyagonal elemanı");
    EXPECT_EQ(s.row(1), (Row{0, 1, 1, 3}));
    EXPECT_EQ(s.row(2), (Row{4, 3, 3, 7}));
    EXPECT_EQ(s.row(3), (Row{8, 7, 9, 19}));
    for (int i = 0; i <= kStrengthLast; ++i) EXPECT_EQ(s.c.Strength[i], kUntouched);
}

TEST(GaussSolve, zeroSingleCoefficientKeepsThePreviousStrength)
{
    System s({{0, 5}});
    EXPECT_FALSE(s.solve());
    EXPECT_EQ(s.ui.messages(), std::vector<std::string>{" sıfır diyagonal elemanı"});
    EXPECT_EQ(s.c.Strength[1], kUntouched);
}

TEST(GaussSolve, pivotThatVanishesDuringEliminationStopsThePass)
{
    // After pass 1 row 2 is (0, 0, -1 | 1) and row 3 (0, -1, -2 | 1): the
    // second pivot is zero and row 3 keeps what pass 1 made of it.
    System s({{1, 2, 3, 1}, {2, 4, 5, 3}, {1, 1, 1, 2}});
    EXPECT_FALSE(s.solve());
    EXPECT_EQ(s.ui.messages(), std::vector<std::string>{" sıfır diyagonal elemanı"});
    EXPECT_EQ(s.row(1), (Row{1, 2, 3, 1}));
    EXPECT_EQ(s.row(2), (Row{0, 0, -1, 1}));
    EXPECT_EQ(s.row(3), (Row{0, -1, -2, 1}));
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(s.c.Strength[i], kUntouched);
}

TEST(GaussSolve, lastPivotIsTestedBeforeBackSubstitution)
{
    System s({{1, 2, 1}, {2, 4, 3}});
    EXPECT_FALSE(s.solve());
    EXPECT_EQ(s.ui.messages(), std::vector<std::string>{" sıfır diyagonal elemanı"});
    EXPECT_EQ(s.row(2), (Row{0, 0, 1}));
    EXPECT_EQ(s.c.Strength[1], kUntouched);
    EXPECT_EQ(s.c.Strength[2], kUntouched);
}

TEST(GaussSolve, refusesASystemBeyondTheStrengthTable)
{
    Common c;
    ui::HeadlessToolkit ui;
    c.AN.redim(kStrengthLast + 2);
    for (int i = 1; i <= kStrengthLast + 1; ++i) c.AN(i, i) = 1;
    c.Strength.fill(kUntouched);
    EXPECT_FALSE(Gauss_Solve(c, ui, kStrengthLast + 1));
    EXPECT_EQ(c.Strength[kStrengthLast], kUntouched);
}


// The elimination with the quotient formed inside the innermost loop, entry
// by entry, as the operations are defined; the program forms each pivot row's
// quotients once, which must not change a single bit.
bool eliminateEntryByEntry(Matrix& A, StrengthTable& strength, int N)
{
    for (int K = 1; K < N; ++K) {
        for (int I = K + 1; I <= N; ++I) {
            const double F = A(I, K);
            for (int J = K; J <= N + 1; ++J) {
                if (A(K, K) == 0) return false;
                A(I, J) = A(I, J) - (A(K, J) / A(K, K)) * F;
            }
        }
    }
    if (A(N, N) == 0) return false;
    strength[N] = A(N, N + 1) / A(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + A(K, J) * strength[J];
        strength[K] = (A(K, N + 1) - sum) / A(K, K);
    }
    return true;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(GaussSolve, givesTheBitsOfTheQuotientFormedForEveryEntry)
{
    // Dense random systems of every size up to the largest, some with a
    // matrix dimensioned larger than the system, some nearly singular (a row
    // repeating the one above it), some with a zero pivot in any row.
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> entry(-3, 3);
    for (int N = 1; N <= kStrengthLast; N += (N < 24 ? 1 : 13)) {
        for (int variant = 0; variant < 4; ++variant) {
            Common c;
            ui::HeadlessToolkit ui;
            c.AN.redim(N + 1 + (variant == 1 ? 3 : 0));
            for (int i = 1; i <= N; ++i) {
                for (int j = 1; j <= N + 1; ++j) c.AN(i, j) = entry(random);
                c.AN(i, i) += variant == 0 ? 4 * N : 0;  // dominant diagonal
            }
            if (variant == 2 && N >= 3)
                for (int j = 1; j <= N + 1; ++j) c.AN(N / 2 + 1, j) = c.AN(N / 2, j);
            if (variant == 3) {
                // A row that no earlier pass changes keeps its zero pivot: the
                // elimination stops there, whichever row that is.
                const int zeroRow = 1 + static_cast<int>(random() % static_cast<unsigned>(N));
                for (int j = 1; j <= zeroRow; ++j) c.AN(zeroRow, j) = 0;
            }
            c.Strength.fill(kUntouched);
            Matrix expectedA = c.AN;
            StrengthTable expectedStrength = c.Strength;
            const bool expectedSolved = eliminateEntryByEntry(expectedA, expectedStrength, N);

            EXPECT_EQ(Gauss_Solve(c, ui, N), expectedSolved) << N << " " << variant;
            EXPECT_EQ(ui.messages().empty(), expectedSolved);
            for (int i = 0; i <= kStrengthLast; ++i)
                ASSERT_TRUE(sameBits(c.Strength[i], expectedStrength[i]))
                    << "N " << N << " variant " << variant << " strength " << i;
            for (int i = 0; i <= c.AN.upper(); ++i)
                for (int j = 0; j <= c.AN.upper(); ++j)
                    ASSERT_TRUE(sameBits(c.AN(i, j), expectedA(i, j)))
                        << "N " << N << " variant " << variant << " AN " << i << "," << j;
        }
    }
}

}  // namespace
}  // namespace tavrix
