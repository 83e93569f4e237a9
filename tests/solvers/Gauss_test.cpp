#include "solvers/Module_Gauss.h"

#include <gtest/gtest.h>

#include <initializer_list>
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

}  // namespace
}  // namespace tavrix
