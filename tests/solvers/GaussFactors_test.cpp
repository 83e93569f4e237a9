#include "solvers/GaussFactors.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

#include "solvers/Module_Gauss.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix {
namespace {

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(GaussFactors, everyRightHandSideGivesTheBitsOfTheFullElimination)
{
    std::mt19937 random(20261209);
    std::uniform_real_distribution<double> entry(-1, 1);
    for (int N : {1, 2, 7, 60, 200}) {
        Matrix A;
        A.redim(N + 1);
        for (int i = 1; i <= N; ++i)
            for (int j = 1; j <= N; ++j) A(i, j) = entry(random) + (i == j ? 3 : 0);
        ui::HeadlessToolkit ui;
        GaussFactors factors;
        ASSERT_TRUE(factors.factor(A, N, ui));
        EXPECT_EQ(factors.size(), N);
        for (int trial = 0; trial < 3; ++trial) {
            std::vector<double> rhs(static_cast<std::size_t>(N) + 1, 0.0);
            Common full;
            full.AN = A;
            for (int i = 1; i <= N; ++i) {
                rhs[static_cast<std::size_t>(i)] = entry(random);
                full.AN(i, N + 1) = rhs[static_cast<std::size_t>(i)];
            }
            ASSERT_TRUE(Gauss_Solve(full, ui, N));
            StrengthTable strength{};
            factors.solve(rhs, strength);
            for (int i = 1; i <= N; ++i)
                ASSERT_EQ(bits(strength[i]), bits(full.Strength[i])) << N << " " << i;
        }
        EXPECT_TRUE(ui.messages().empty());
    }
}

Matrix system(std::initializer_list<std::initializer_list<double>> rows)
{
    Matrix A;
    A.redim(static_cast<int>(rows.size()) + 1);
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        int j = 0;
        for (double v : row) A(i, ++j) = v;
    }
    return A;
}

TEST(GaussFactors, zeroPivotsShowTheEliminationsMessage)
{
    // A zero first pivot; one that appears during the elimination (row 2
    // becomes (0, 0, -1)); a zero last pivot.
    for (const Matrix& A : {system({{0, 1, 1}, {4, 3, 3}, {8, 7, 9}}),
                            system({{1, 2, 3}, {2, 4, 5}, {1, 1, 1}}),
                            system({{1, 2}, {2, 4}})}) {
        ui::HeadlessToolkit ui;
        GaussFactors factors;
        EXPECT_FALSE(factors.factor(A, A.upper() - 1, ui));
        EXPECT_EQ(ui.messages(), std::vector<std::string>{kZeroPivotMessage});
        EXPECT_EQ(factors.size(), 0);
    }
}

TEST(GaussFactors, refusesWhatTheEliminationRefuses)
{
    ui::HeadlessToolkit ui;
    GaussFactors factors;
    Matrix A;
    A.redim(kStrengthLast + 2);
    for (int i = 1; i <= kStrengthLast + 1; ++i) A(i, i) = 1;
    EXPECT_FALSE(factors.factor(A, kStrengthLast + 1, ui));
    EXPECT_FALSE(factors.factor(A, 0, ui));
    Matrix small;
    small.redim(2);
    EXPECT_FALSE(factors.factor(small, 2, ui));  // no column for the right-hand side
    EXPECT_TRUE(ui.messages().empty());
}

}  // namespace
}  // namespace tavrix
