#include "geometry/Generators.h"

#include <gtest/gtest.h>

#include <cmath>

#include "output/Plots.h"
#include "support/Session.h"

namespace tavrix {
namespace {

using testing::Session;

TEST(Circle, DefaultPointsRunClockwiseFromTheTrailingEdge)
{
    Session s;
    s.chooseCircle("51");
    ASSERT_EQ(s.c.NP, 51);
    // 7.2 degrees apart about the centre (0.5, 0), the lower half first: point
    // 26 is the nose (0, 0), and the last point is computed from -2 pi like the
    // others, so it is (1, 0) only to rounding.
    for (int i = 1; i <= 51; ++i) {
        const double theta = -(i - 1) * 7.2 * M_PI / 180;
        EXPECT_NEAR(s.c.XCoord[i], 0.5 + 0.5 * std::cos(theta), 1e-15) << i;
        EXPECT_NEAR(s.c.YCoord[i], 0.5 * std::sin(theta), 1e-15) << i;
    }
    EXPECT_TRUE(s.c.AirfoilReady);
}

TEST(Circle, FivePointsMakeTheSquare)
{
    Session s;
    s.chooseCircle("5");
    const double expected[6][2] = {{0, 0}, {1, 0}, {0.5, -0.5}, {0, 0}, {0.5, 0.5}, {1, 0}};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_NEAR(s.c.XCoord[i], expected[i][0], 1e-15) << i;
        EXPECT_NEAR(s.c.YCoord[i], expected[i][1], 1e-15) << i;
    }
}

double nacaHalfThickness(double x)
{
    return 0.6 * (0.298223 * std::sqrt(x) - 0.127125 * x - 0.357908 * x * x +
                  0.291985 * x * x * x - 0.105175 * x * x * x * x);
}

TEST(Naca0012, DefaultDistribution)
{
    Session s;
    s.chooseNaca("51");
    EXPECT_NEAR(s.c.XCoord[2], 0.996057, 5e-7);
    EXPECT_NEAR(s.c.YCoord[2], -0.000563, 5e-7);
    // Closed trailing edge: exactly (1, 0) at both ends.
    EXPECT_EQ(s.c.XCoord[1], 1);
    EXPECT_EQ(s.c.YCoord[1], 0);
    EXPECT_EQ(s.c.XCoord[51], 1);
    EXPECT_EQ(s.c.YCoord[51], 0);
    EXPECT_EQ(s.c.XCoord[26], 0);
    EXPECT_EQ(s.c.YCoord[26], 0);
    for (int i = 2; i <= 25; ++i) {
        EXPECT_LT(s.c.YCoord[i], 0) << i;
        EXPECT_LT(s.c.XCoord[i + 1], s.c.XCoord[i]) << i;  // towards the nose
        const int j = 52 - i;
        EXPECT_EQ(s.c.XCoord[j], s.c.XCoord[i]);
        EXPECT_EQ(s.c.YCoord[j], -s.c.YCoord[i]);
        EXPECT_NEAR(s.c.YCoord[i], -nacaHalfThickness(s.c.XCoord[i]), 1e-15);
    }
}

TEST(Naca0012, OddPanelCountLeavesTheLeadingEdgeBetweenTwoMirrorPoints)
{
    Session s;
    s.chooseNaca("52");
    EXPECT_EQ(s.c.XCoord[26], s.c.XCoord[27]);
    EXPECT_EQ(s.c.YCoord[26], -s.c.YCoord[27]);
    EXPECT_NEAR(s.c.XCoord[26], 0.00095, 0.00001);
    EXPECT_NEAR(s.c.YCoord[26], -0.0054, 0.0001);
    for (int i = 1; i <= 52; ++i) EXPECT_GT(s.c.XCoord[i], 0) << i;
    EXPECT_EQ(s.c.XCoord[52], 1);
}

TEST(Naca0012, TwelvePercentThickNearThirtyPercentChord)
{
    Session s;
    s.chooseNaca("999");
    double best = 0, where = 0;
    for (int i = 1; i <= 500; ++i) {
        const double t = -2 * s.c.YCoord[i];
        if (t > best) {
            best = t;
            where = s.c.XCoord[i];
        }
    }
    EXPECT_NEAR(best, 0.12003, 0.00001);
    EXPECT_NEAR(where, 0.297, 0.005);
}

TEST(Generators, EachSourceDrawsItsContour)
{
    Session s;
    s.chooseNaca("51");
    const auto& items = s.tk.drawing(kAirfoilPicture).items;
    ASSERT_EQ(items.size(), 2u + 50u);  // two grey axes, then one segment per panel
    EXPECT_EQ(items[0].colour, kAxisGrey);
    EXPECT_EQ(items[2].colour, kCurveRed);
}

}  // namespace
}  // namespace tavrix
