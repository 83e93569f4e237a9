#include "solvers/GaussFactors.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "solvers/Module_Gauss.h"

namespace tavrix {
namespace {

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// A random N x N system, diagonally dominant enough to need no pivot care.
Matrix randomSystem(int N, std::mt19937& random)
{
    std::uniform_real_distribution<double> entry(-1, 1);
    Matrix A;
    A.redim(N + 1);
    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j) A(i, j) = entry(random) + (i == j ? 3 : 0);
    return A;
}

// Each right-hand side alone gives the bits of the full elimination, and many
// at once give the bits of each alone (the coupling solves the responses of
// all its source panels this way).
TEST(GaussFactors, everyRightHandSideAloneOrManyAtOnceGivesTheBitsOfTheFullElimination)
{
    std::mt19937 random(20261209);
    std::uniform_real_distribution<double> entry(-1, 1);
    for (int N : {1, 2, 7, 9, 60, 161, 200, 1000}) {
        const auto rows = static_cast<std::size_t>(N) + 1;
        const Matrix A = randomSystem(N, random);
        GaussFactors factors;
        ASSERT_EQ(factors.factor(A, N), 0);
        EXPECT_EQ(factors.size(), N);
        for (int trial = 0; trial < 3; ++trial) {
            std::vector<double> rhs(rows, 0.0), expected(rows, 0.0), strength(rows, 0.0);
            Matrix full = A;
            for (std::size_t i = 1; i < rows; ++i)
                full(static_cast<int>(i), N + 1) = rhs[i] = entry(random);
            ASSERT_EQ(Gauss_Solve(full, N, expected), 0);
            factors.solve(rhs, strength);
            for (std::size_t i = 1; i < rows; ++i)
                ASSERT_EQ(bits(strength[i]), bits(expected[i])) << N << " " << i;
        }
        for (int count : {1, 3, 32}) {
            const auto m = static_cast<std::size_t>(count);
            std::vector<double> many(rows * m, 0.0), out(rows * m, 0.0);
            for (std::size_t i = 1; i < rows; ++i)
                for (std::size_t c = 0; c < m; ++c) many[i * m + c] = entry(random);
            factors.solveMany(many, out, count);
            for (std::size_t c = 0; c < m; ++c) {
                std::vector<double> rhs(rows, 0.0), alone(rows, 0.0);
                for (std::size_t i = 1; i < rows; ++i) rhs[i] = many[i * m + c];
                factors.solve(rhs, alone);
                for (std::size_t i = 1; i < rows; ++i)
                    ASSERT_EQ(bits(out[i * m + c]), bits(alone[i])) << N << " " << count << " " << c;
            }
        }
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

TEST(GaussFactors, zeroPivotsNameTheirRowAndWhatTheEliminationRefusesIsRefused)
{
    // A zero first pivot; one that appears during the elimination (row 2
    // becomes (0, 0, -1)); a zero last pivot.
    const std::pair<Matrix, int> cases[] = {{system({{0, 1, 1}, {4, 3, 3}, {8, 7, 9}}), 1},
                                            {system({{1, 2, 3}, {2, 4, 5}, {1, 1, 1}}), 2},
                                            {system({{1, 2}, {2, 4}}), 2}};
    GaussFactors factors;
    for (const auto& [A, row] : cases) {
        EXPECT_EQ(factors.factor(A, A.upper() - 1), row);
        EXPECT_EQ(factors.size(), 0);
    }
    const Matrix identity = system({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    EXPECT_EQ(factors.factor(identity, 5), -1);  // no column for the right-hand side
    EXPECT_EQ(factors.factor(identity, 0), -1);
    EXPECT_EQ(factors.size(), 0);
}

}  // namespace
}  // namespace tavrix
