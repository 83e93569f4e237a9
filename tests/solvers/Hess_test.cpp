#include "app/PressSolvers.h"
#include "solvers/Module_HESS.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/solvers/SolverTestSupport.h"

namespace tavrix {
namespace {

using testing::Flow;

TEST(HessAssembly, sourceOnItsOwnPanelPushesOffAtHalfStrength)
{
    for (auto section : {Flow::Section::Circle, Flow::Section::Naca0012}) {
        Flow f;
        f.make(section, 31, 5);
        ASSERT_TRUE(f.solve(HESS_Solve, {"Check_ShowMat"}));
        for (int i = 1; i <= f.common.NPanel; ++i) {
            EXPECT_EQ(f.ui.AN(i, i), -0.5) << i;
            EXPECT_EQ(f.ui.AT(i, i), 0) << i;
        }
    }
}

TEST(HessAssembly, panelOnTheLineOfAnotherSeesItEdgeOn)
{
    // Two collinear unit panels on the x axis: from mid point 1 the second
    // panel is seen along its own line (beta = 0), so it induces no normal
    // velocity and a tangential one of ln(r1/r2) / (2 pi) = -ln 3 / (2 pi).
    Flow f;
    f.points({{0, 0}, {1, 0}, {2, 0}}, 0);
    f.solve(HESS_Solve, {"Check_ShowMat"});
    EXPECT_EQ(f.ui.AN(1, 2), 0);
    EXPECT_NEAR(f.ui.AT(1, 2), -std::log(3.0) / (2 * M_PI), 1e-15);
    EXPECT_NEAR(f.ui.AT(2, 1), std::log(3.0) / (2 * M_PI), 1e-15);
}

TEST(HessDistribution, parabolaOfArcLengthVanishesAtBothEndsOfTheContour)
{
    // Ten equal panels on the circle: s = 0, 0.1, ..., 1 and d(j) the mean of
    // s(s - 1) over the panel's ends; X of the end points 0.5 cos(36 deg k) + 0.5.
    Flow f;
    f.make(Flow::Section::Circle, 11, 0);
    ASSERT_TRUE(f.solve(HESS_Solve));
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() / kReportFile));  // not without the box
    ASSERT_TRUE(f.solve(HESS_Solve, {"Check_WritePanel"}));
    EXPECT_EQ(f.report(),
              "\r\n  Parabolic distribution for vortex strength\r\n\r\n  I       X      d\r\n\r\n"
              "1  1.0  -0.0450\r\n"
              "2  0.90451  -0.1250\r\n"
              "3  0.65451  -0.1850\r\n"
              "4  0.34549  -0.2250\r\n"
              "5  0.09549  -0.2450\r\n"
              "6  0.0  -0.2450\r\n"
              "7  0.09549  -0.2250\r\n"
              "8  0.34549  -0.1850\r\n"
              "9  0.65451  -0.1250\r\n"
              "10  0.90451  -0.0450\r\n"
              "11  1.0  0.0\r\n");
}

// Polar angle of mid point i about the circle's centre (0.5, 0).
double polarAngle(const Common& c, int i) { return std::atan2(c.YM[i], c.XM[i] - 0.5); }

TEST(HessCircle, exactNonLiftingSpeedWithoutCirculationAndEqualSpeedsBesideTheEdgeWithIt)
{
    // On a regular polygon the constant-source solution reproduces
    // 2 |sin(theta - alpha)| at the mid points; measured error below 1.1e-14
    // for 11 to 200 points.
    for (int NP : {11, 51, 200}) {
        Flow f;
        f.make(Flow::Section::Circle, NP, 5);
        ASSERT_TRUE(f.solve(HESS_Solve, {"Check_Circulation"}));
        EXPECT_EQ(f.common.Strength[NP], 0);
        const double alpha = 5 * f.common.DegToRad;
        for (int i = 1; i <= f.common.NPanel; ++i)
            EXPECT_NEAR(f.common.Vt[i], 2 * std::fabs(std::sin(polarAngle(f.common, i) - alpha)),
                        1e-12)
                << "NP " << NP << " panel " << i;
    }
    Flow f;
    f.make(Flow::Section::Circle, 51, 5);
    ASSERT_TRUE(f.solve(HESS_Solve));
    EXPECT_NEAR(f.common.Vt[1], f.common.Vt[f.common.NPanel], 1e-13);
    // Positive lift on a clockwise contour needs clockwise circulation: with
    // every d(j) negative the amplitude comes out negative.
    EXPECT_LT(f.common.Strength[f.common.NP], 0);
}

TEST(HessSolve, zeroPivotEndsTheCalculationBeforeStrengthsAndSpeeds)
{
    // A single panel: the trailing-edge row compares the panel with itself
    // and is all zero.
    Flow f;
    f.points({{1, 0}, {0, 0}}, 5);
    f.common.Vt[1] = 3.25;
    EXPECT_FALSE(f.solve(HESS_Solve, {"Check_WriteMat", "Check_WriteSingularities"}));
    EXPECT_EQ(f.ui.messages(), std::vector<std::string>{" sıfır diyagonal elemanı"});
    EXPECT_EQ(f.common.Vt[1], 3.25);
    const std::string report = f.report();
    EXPECT_NE(report.find(" Matrix for induced normal velocities"), std::string::npos);
    EXPECT_EQ(report.find("Singularity Strengths"), std::string::npos);
}

}  // namespace
}  // namespace tavrix
