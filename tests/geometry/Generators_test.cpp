#include "geometry/Generators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

#include "output/Plots.h"
#include "support/Session.h"

namespace tavrix {
namespace {

using testing::Session;

// The session's airfoil is the generator's contour, point for point, under
// its name and source.
void expectTheSessionHolds(const Session& s, const Contour& c, const char* name, ContourSource source)
{
    ASSERT_EQ(static_cast<std::size_t>(s.c.NP), c.x.size());
    for (int i = 1; i <= s.c.NP; ++i) {
        EXPECT_EQ(s.c.XCoord[i], c.x[static_cast<std::size_t>(i - 1)]) << i;
        EXPECT_EQ(s.c.YCoord[i], c.y[static_cast<std::size_t>(i - 1)]) << i;
    }
    EXPECT_EQ(s.c.AirfoilName, name);
    EXPECT_EQ(s.c.AirfoilSource, source);
}

TEST(Circle, DefaultPointsRunClockwiseFromTheTrailingEdgeAndAreTheCircleContour)
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
    expectTheSessionHolds(s, circleContour(51), "Circle", ContourSource::Circle);
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

TEST(Naca0012, OddPanelCountLeavesTheLeadingEdgeBetweenTwoMirrorPointsOfTheNacaContour)
{
    Session s;
    s.chooseNaca("52");
    EXPECT_EQ(s.c.XCoord[26], s.c.XCoord[27]);
    EXPECT_EQ(s.c.YCoord[26], -s.c.YCoord[27]);
    EXPECT_NEAR(s.c.XCoord[26], 0.00095, 0.00001);
    EXPECT_NEAR(s.c.YCoord[26], -0.0054, 0.0001);
    for (int i = 1; i <= 52; ++i) EXPECT_GT(s.c.XCoord[i], 0) << i;
    EXPECT_EQ(s.c.XCoord[52], 1);
    expectTheSessionHolds(s, naca0012Contour(52), "NACA 0012", ContourSource::Naca0012);
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

// ---------------------------------------------------------------------------
// The generators as values

TEST(CircleContour, PointsLieOnTheUnitChordCircleEquallySpacedAndClockwise)
{
    for (int np : {5, 51, 52, 1000}) {
        SCOPED_TRACE(np);
        const Contour c = circleContour(np);
        ASSERT_EQ(c.size(), np);
        ASSERT_EQ(c.y.size(), c.x.size());
        EXPECT_EQ(c.x[0], 1);
        EXPECT_EQ(c.y[0], 0);
        const double step = 2 * M_PI / (np - 1);
        for (std::size_t k = 0; k < c.x.size(); ++k) {
            // Centre (0.5, 0), radius 0.5: through (0, 0) and (1, 0).
            EXPECT_NEAR(std::hypot(c.x[k] - 0.5, c.y[k]), 0.5, 1e-15) << k;
            if (k > 0) {
                // Neighbours one step apart: the chord of the angle step.
                const double chord = std::hypot(c.x[k] - c.x[k - 1], c.y[k] - c.y[k - 1]);
                EXPECT_NEAR(chord, std::sin(step / 2), 1e-14) << k;
            }
        }
        // Clockwise: the enclosed area of the inscribed polygon, with a negative sign.
        const double n = np - 1;
        EXPECT_NEAR(doubleSignedArea(c), -n * 0.25 * std::sin(step), 1e-14);
        // The first half goes below the axis: the lower surface comes first.
        EXPECT_LT(c.y[1], 0);
        EXPECT_GT(c.y[c.x.size() - 2], 0);
    }
}

// Thickness of the section at chordwise station x, interpolated linearly
// between the points of the lower surface (the upper one mirrors it).
double thicknessAt(const Contour& c, double x)
{
    for (std::size_t k = 0; k + 1 < c.x.size(); ++k) {
        const double x0 = c.x[k], x1 = c.x[k + 1];
        if (x0 >= x && x >= x1) {
            const double y = c.y[k] + (c.y[k + 1] - c.y[k]) * (x - x0) / (x1 - x0);
            return -2 * y;
        }
    }
    return 0;
}

TEST(Naca0012Contour, IsTwelvePercentThickAtThirtyPercentChordAndClosed)
{
    for (int np : {51, 52, 201, 1000}) {
        SCOPED_TRACE(np);
        const Contour c = naca0012Contour(np);
        ASSERT_EQ(c.size(), np);
        // A 12 % section is thickest, 0.12 chord, near x = 0.3. The chord
        // between points falls short of the convex surface by about
        // dx^2 |t''| / 8: 4e-4 for 51 points, 2.5e-5 for 201.
        EXPECT_NEAR(thicknessAt(c, 0.3), 0.12, np < 100 ? 5e-4 : 6e-5);
        EXPECT_EQ(c.x.front(), 1);
        EXPECT_EQ(c.y.front(), 0);
        EXPECT_EQ(c.x.back(), 1);
        EXPECT_EQ(c.y.back(), 0);
        for (std::size_t k = 0; k < c.x.size(); ++k) {
            const std::size_t mirror = c.x.size() - 1 - k;
            EXPECT_EQ(c.x[mirror], c.x[k]) << k;
            EXPECT_EQ(c.y[mirror], -c.y[k]) << k;
        }
        EXPECT_LT(doubleSignedArea(c), 0) << "clockwise";
        // Cosine spacing: the panel next to the trailing edge is (1 - cos(pi/M))/2 long in x.
        const double M = (np - 1) / 2.0;
        EXPECT_NEAR(c.x[0] - c.x[1], (1 - std::cos(M_PI / M)) / 2, 1e-15);
    }
}

TEST(Generators, ARefusedCountKeepsTheContourInUse)
{
    Session s;
    s.chooseNaca("41");
    const Table x = s.c.XCoord;
    const std::size_t drawn = s.tk.drawing(kAirfoilPicture).items.size();
    s.chooseCircle("1001");
    EXPECT_EQ(s.tk.messages().back(),
              "Number of panel end points must be a whole number from 2 to 1000");
    EXPECT_EQ(s.c.NP, 41);
    EXPECT_EQ(s.c.XCoord, x);
    EXPECT_EQ(s.c.AirfoilSource, ContourSource::Naca0012);
    EXPECT_EQ(s.tk.drawing(kAirfoilPicture).items.size(), drawn);
}

}  // namespace
}  // namespace tavrix
