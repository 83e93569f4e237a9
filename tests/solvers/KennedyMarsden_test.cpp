#include "app/PressSolvers.h"
#include "solvers/Module_KENN.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/solvers/SolverTestSupport.h"

namespace tavrix {
namespace {

using testing::Flow;

TEST(KennedyMarsdenAssembly, selfInfluenceIsTheMeanLogarithmAndEveryRowCarriesTheStreamFunction)
{
    Flow f;
    f.make(Flow::Section::Naca0012, 31, 5);
    ASSERT_TRUE(f.solve(KENN_Solve, {"Check_ShowMat"}));
    for (int i = 1; i <= f.common.NPanel; ++i) {
        const double H = f.common.DS[i] / 2;
        const double expected = H * (std::log(H * H) - 2) / (2 * M_PI);
        EXPECT_NEAR(f.ui.AN(i, i), expected, 1e-14 * std::fabs(expected)) << i;
    }
    const int NP = f.common.NP;
    for (int i = 1; i <= NP; ++i) EXPECT_EQ(f.ui.AN(i, NP), 1) << i;
    // The Kutta point lies on the bisector of the symmetric trailing edge.
    EXPECT_EQ(f.common.XM[NP], 1 + 0.01 * (1 - f.common.X[2]));
    EXPECT_EQ(f.common.YM[NP], 0);
}

TEST(KennedyMarsdenKuttaPoint, movesUpwardAlsoWhenTheEdgeNeighboursLieAboveAndIsAppendedToItsRecord)
{
    // Neighbours (0.5, 0.02) and (0.5, 0.2): XB = 0.5, YB = 0.11 above the edge.
    Flow above;
    above.points({{1, 0}, {0.5, 0.02}, {0, 0.1}, {0.5, 0.2}, {1, 0}}, 0);
    above.solve(KENN_Solve);
    EXPECT_DOUBLE_EQ(above.common.XM[5], 1.005);
    EXPECT_DOUBLE_EQ(above.common.YM[5], 0.0011);

    // NP = 11: X(2) = (cos 36 deg + 1) / 2, so XM(11) = 1.000955 -> 1.001. The
    // record is appended at every solve and never ends its last line.
    Flow f;
    f.make(Flow::Section::Naca0012, 11, 5);
    ASSERT_TRUE(f.solve(KENN_Solve));
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() / kPanelPropertiesFile));  // not without the box
    ASSERT_TRUE(f.solve(KENN_Solve, {"Check_WritePanel"}));
    ASSERT_TRUE(f.solve(KENN_Solve));
    EXPECT_EQ(testing::readFile(f.dir.path() / kPanelPropertiesFile),
              "\r\nKutta şartı için kontrol noktası\r\n\r\nXM( 11 )= 1.001 YM( 11 )= 0 "
              "\r\nKutta şartı için kontrol noktası\r\n\r\nXM( 11 )= 1.001 YM( 11 )= 0 ");
    // The report file gets nothing from this method's panel box.
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() / kReportFile));
}

}  // namespace
}  // namespace tavrix
