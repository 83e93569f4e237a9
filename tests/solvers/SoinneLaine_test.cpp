#include "app/PressSolvers.h"
#include "solvers/Module_Soinne.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/NumberText.h"
#include "tests/solvers/SolverTestSupport.h"

namespace tavrix {
namespace {

using testing::Flow;

// Stream-function weights of a linear sheet of half length H at one of its
// end points: the integrals of ln r and s ln r reduce to
// P0 = 2H ln 2H - 2H and P1 = -+H^2.
double nearEndWeight(double H) { return (2 * H * std::log(2 * H) - 3 * H) / (4 * M_PI); }
double farEndWeight(double H) { return (2 * H * std::log(2 * H) - H) / (4 * M_PI); }

TEST(SoinneLaineAssembly, endPointWeightsOfTheLinearSheetAndTrailingEdgeRowsHoldingASingleOne)
{
    // Panel 1 from (0, 0) to (2, 0), H = 1; panel 2 from (2, 0) to (2, 3),
    // H = 1.5. End point 2 is the second end of panel 1 and the first of
    // panel 2; end point 3 the second end of panel 2.
    Flow sheet;
    sheet.points({{0, 0}, {2, 0}, {2, 3}}, 0);
    sheet.solve(Soinne_Solve, {"Check_ShowMat"});
    EXPECT_NEAR(sheet.ui.AN(2, 2), -(nearEndWeight(1) + nearEndWeight(1.5)), 1e-15);
    EXPECT_NEAR(sheet.ui.AN(2, 3), -farEndWeight(1.5), 1e-15);
    EXPECT_NEAR(sheet.ui.AN(3, 3), -nearEndWeight(1.5), 1e-15);

    Flow f;
    f.make(Flow::Section::Naca0012, 21, 5);
    ASSERT_TRUE(f.solve(Soinne_Solve, {"Check_ShowMat"}));
    const Matrix& AN = f.ui.AN;
    const int NP = f.common.NP;
    for (int j = 1; j <= NP + 2; ++j) {
        EXPECT_EQ(AN(1, j), j == 1 ? 1.0 : 0.0) << j;
        EXPECT_EQ(AN(NP + 1, j), j == NP ? 1.0 : 0.0) << j;
    }
    for (int i = 2; i <= NP; ++i) {
        EXPECT_EQ(AN(i, 1), 0) << i;
        EXPECT_EQ(AN(i, NP + 1), 1) << i;
    }
    EXPECT_EQ(f.common.Strength[1], 0);
    EXPECT_NEAR(f.common.Strength[NP], 0, 1e-12);
    // NP + 1 unknowns in the view.
    EXPECT_EQ(f.ui.drawing("Picture_ShowMat").items.size(),
              static_cast<std::size_t>((NP + 1) * (NP + 1)));
}

TEST(SoinneLaineOutput, writesTheSingularitiesWhenAsked)
{
    Flow f;
    f.make(Flow::Section::Naca0012, 11, 5);
    ASSERT_TRUE(f.solve(Soinne_Solve, {"Check_WriteSingularities"}));
    // NP rows, gamma(1) = 0 first; the common stream function is not listed.
    const std::string report = f.report();
    const std::string heading = "\r\nSingularity Strengths\r\n\r\n";
    ASSERT_EQ(report.rfind(heading + "1  0.0\r\n", 0), 0u);
    int rows = 0;
    for (auto at = report.find("\r\n", heading.size()); at != std::string::npos;
         at = report.find("\r\n", at + 2))
        ++rows;
    EXPECT_EQ(rows, 11);
    EXPECT_NE(report.find("\r\n11  "), std::string::npos);
}

TEST(SoinneLaineLift, convergesOnNaca0012AtEveryPointCount)
{
    // The exact lift of this section at 5 degrees is 0.603. The angle each
    // panel subtends must be taken even for points very close to it; short
    // panels make Q tiny for ordinary neighbours.
    for (int NP = 61; NP <= 199; ++NP) {
        const double CL = testing::solvedForces(Soinne_Solve, Flow::Section::Naca0012, NP, 5).CL;
        EXPECT_EQ(roundHalfEven(CL, 3), 0.603) << "NP " << NP;
        if (NP == 161) {
            EXPECT_NEAR(CL, 0.603, 1e-4);
        }
    }
}

}  // namespace
}  // namespace tavrix
