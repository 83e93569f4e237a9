#include "solvers/ConditionNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace tavrix {
namespace {

// An augmented matrix with the given rows and a right-hand side of 7s.
Matrix system(std::initializer_list<std::vector<double>> rows)
{
    Matrix A;
    const int n = static_cast<int>(rows.size());
    A.redim(n + 1);
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        for (int j = 1; j <= n; ++j) A(i, j) = row[static_cast<std::size_t>(j - 1)];
        A(i, n + 1) = 7;
    }
    return A;
}

TEST(ConditionNumber, knownValuesAndSingularAndNonFiniteMatrices)
{
    // A diagonal matrix: the ratio of its extreme entries; a permutation: 1.
    EXPECT_DOUBLE_EQ(conditionNumber1(system({{2, 0, 0}, {0, -20, 0}, {0, 0, 200}}), 3), 100);
    EXPECT_DOUBLE_EQ(conditionNumber1(system({{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}), 3), 1);
    EXPECT_DOUBLE_EQ(conditionNumber1(system({{0, 5}, {5, 0}}), 2), 1);
    // Hilbert of order 3: ||H||_1 = 11/6 and inv(H) = [9 -36 30; -36 192 -180;
    // 30 -180 180], whose largest column sum is 408: kappa = 11/6 * 408 = 748.
    const Matrix H = system({{1, 1.0 / 2, 1.0 / 3}, {1.0 / 2, 1.0 / 3, 1.0 / 4},
                             {1.0 / 3, 1.0 / 4, 1.0 / 5}});
    EXPECT_NEAR(conditionNumber1(H, 3), 748, 748 * 1e-12);
    // [1 1; 1 1+e]^-1 = [1+e -1; -1 1] / e, so kappa = (2 + e)^2 / e.
    const double e = 1.0 / 1024, kappa = (2 + e) * (2 + e) / e;
    EXPECT_NEAR(conditionNumber1(system({{1, 1}, {1, 1 + e}}), 2), kappa, 1e-9 * kappa);
    // Singular and non-finite matrices.
    EXPECT_TRUE(std::isinf(conditionNumber1(system({{1, 2}, {2, 4}}), 2)));
    EXPECT_TRUE(std::isinf(conditionNumber1(system({{0, 0}, {0, 1}}), 2)));
    EXPECT_TRUE(std::isnan(conditionNumber1(system({{1, NAN}, {0, 1}}), 2)));
    EXPECT_TRUE(std::isnan(conditionNumber1(Matrix(), 1)));
}

}  // namespace
}  // namespace tavrix
