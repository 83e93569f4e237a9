#include "app/PressSolvers.h"
#include "solvers/Module_VORPAN.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/solvers/SolverTestSupport.h"

namespace tavrix {
namespace {

using testing::Flow;

TEST(VortexPanelAssembly, singlePanelSeesOnlyItsOwnSheet)
{
    // One panel from (1, 0) to (0, 0), delta = pi: on its own panel the uniform
    // sheet induces no normal velocity and the linear one -1/(2 pi), so the
    // row reads gamma1 / (2 pi) - gamma2 / (2 pi) = sin(alpha - pi).
    Flow f;
    f.points({{1, 0}, {0, 0}}, 5);
    f.ui.setValue("Check_ShowMat", 1);
    ASSERT_TRUE(VORPAN_Solve(f.common, f.ui));
    const Matrix& AN = f.ui.AN;
    EXPECT_DOUBLE_EQ(AN(1, 1), 1 / (2 * M_PI));
    EXPECT_DOUBLE_EQ(AN(1, 2), -1 / (2 * M_PI));
    EXPECT_DOUBLE_EQ(AN(1, 3), -std::sin(5 * M_PI / 180));
    EXPECT_EQ(AN(2, 1), 1);
    EXPECT_EQ(AN(2, 2), 1);
    EXPECT_EQ(AN(2, 3), 0);
    // gamma1 = -gamma2: the mean strength on the panel, its speed, is zero.
    EXPECT_NEAR(f.common.Vt[1], 0, 1e-15);
    EXPECT_NEAR(f.common.Strength[1], -M_PI * std::sin(5 * M_PI / 180), 1e-14);
}

TEST(VortexPanelAssembly, kuttaRowJoinsTheTwoTrailingEdgeStrengths)
{
    Flow f;
    f.make(Flow::Section::Naca0012, 21, 5);
    f.ui.setValue("Check_ShowMat", 1);
    ASSERT_TRUE(VORPAN_Solve(f.common, f.ui));
    const Matrix& AN = f.ui.AN;
    const int NP = f.common.NP;
    for (int j = 1; j <= NP + 1; ++j)
        EXPECT_EQ(AN(NP, j), (j == 1 || j == NP) ? 1.0 : 0.0) << j;
    EXPECT_NEAR(f.common.Strength[1] + f.common.Strength[NP], 0, 1e-12);
    // The matrix view and the elimination both see NP unknowns.
    EXPECT_EQ(f.ui.drawing("Picture_ShowMat").items.size(), static_cast<std::size_t>(NP * NP));
}

}  // namespace
}  // namespace tavrix
