#include "geometry/Repanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <variant>
#include <vector>

#include "geometry/CoordinateFormats.h"
#include "geometry/NacaSections.h"
#include "support/Session.h"

namespace tavrix {
namespace {

using testing::Session;

NacaDesignation designation(const std::string& digits)
{
    return std::get<NacaDesignation>(parseNacaDesignation(digits));
}

// Distance from (px, py) to the exact section, sampled densely near each
// station and refined: the surface as x(xi), y(xi) with x = xi^2 resolving
// the leading edge.
double distanceToSection(const NacaDesignation& d, double px, double py)
{
    auto point = [&](double xi, bool upper, double& x, double& y) {
        const double xs = xi * xi;
        const double yt = nacaHalfThickness(xs, d.thickness, false);
        const double th = std::atan(nacaCamberSlope(d, xs));
        const double sign = upper ? 1 : -1;
        x = xs - sign * yt * std::sin(th);
        y = nacaCamber(d, xs) + sign * yt * std::cos(th);
    };
    double best = 1e9;
    for (bool upper : {false, true}) {
        const int n = 20000;
        double bestXi = 0, bestHere = 1e9;
        for (int k = 0; k <= n; ++k) {
            double x, y;
            point(static_cast<double>(k) / n, upper, x, y);
            const double dist = std::hypot(x - px, y - py);
            if (dist < bestHere) bestHere = dist, bestXi = static_cast<double>(k) / n;
        }
        // Golden-section refinement within a sample step either side.
        double lo = std::max(0.0, bestXi - 1.0 / n), hi = std::min(1.0, bestXi + 1.0 / n);
        auto f = [&](double xi) {
            double x, y;
            point(xi, upper, x, y);
            return std::hypot(x - px, y - py);
        };
        for (int k = 0; k < 60; ++k) {
            const double a = lo + (hi - lo) * 0.382, b = lo + (hi - lo) * 0.618;
            if (f(a) < f(b)) hi = b; else lo = a;
        }
        best = std::min({best, bestHere, f((lo + hi) / 2)});
    }
    return best;
}

TEST(Repanel, repanelledPointsLieOnTheOriginalSection)
{
    for (const char* digits : {"0012", "4415", "23012"}) {
        const NacaDesignation d = designation(digits);
        const Contour dense = makeNacaSection(d, 300, false, M_PI);
        for (int np : {161, 160}) {
            auto redone = repanel(dense, np, M_PI);
            ASSERT_TRUE(std::holds_alternative<Contour>(redone));
            const Contour& c = std::get<Contour>(redone);
            ASSERT_EQ(c.size(), np);
            for (int i = 0; i < np; ++i)
                EXPECT_LT(distanceToSection(d, c.x[i], c.y[i]), 1e-4) << digits << " " << i;
            EXPECT_EQ(c.x.front(), 1);
            EXPECT_EQ(c.y.front(), 0);
            EXPECT_EQ(c.x.back(), 1);
            // The lower surface first, clockwise.
            EXPECT_LT(doubleSignedArea(c), 0);
            EXPECT_LT(c.y[np / 4], c.y[3 * np / 4]);
        }
    }
}

TEST(Repanel, pointsClusterAtBothEdgesAndAnEvenPanelCountPutsOneOnTheLeadingEdge)
{
    const Contour dense = makeNacaSection(designation("0012"), 301, false, M_PI);
    const Contour c = std::get<Contour>(repanel(dense, 61, M_PI));
    // For a symmetric section the 31st point is the nose, and the panels near
    // the edges are much shorter than those at mid chord.
    EXPECT_NEAR(c.x[30], 0, 1e-9);
    EXPECT_NEAR(c.y[30], 0, 1e-9);
    auto len = [&](int i) { return std::hypot(c.x[i + 1] - c.x[i], c.y[i + 1] - c.y[i]); };
    EXPECT_LT(len(0), len(15) / 4);
    EXPECT_LT(len(29), len(15) / 4);
    // Mirror pairs of a symmetric section stay mirror images.
    for (int i = 0; i < 61; ++i) {
        EXPECT_NEAR(c.x[i], c.x[60 - i], 1e-7) << i;
        EXPECT_NEAR(c.y[i], -c.y[60 - i], 1e-7) << i;
    }
}

TEST(Repanel, countsOutsideTheRangeAndContoursWithoutAreaAreRefused)
{
    const Contour dense = makeNacaSection(designation("0012"), 101, false, M_PI);
    for (int np : {2, 1001, 0, -5}) {
        auto r = repanel(dense, np, M_PI);
        ASSERT_TRUE(std::holds_alternative<std::string>(r)) << np;
        EXPECT_EQ(std::get<std::string>(r), repanelCountRefusal());
    }
    Session s;
    s.chooseNaca("51");
    const auto before = s.c.XCoord;
    for (const char* text : {"2", "1001", "160.5", "abc"}) {
        EXPECT_FALSE(s.form.airfoilMenu().repanelCurrent(text)) << text;
        EXPECT_EQ(s.c.NP, 51);
        EXPECT_EQ(s.c.XCoord, before);
    }
    EXPECT_EQ(s.tk.messages().size(), 4u);

    // Points on a line, traced out and back: what a circle of three points is.
    const Contour line{"line", {1, 0.5, -1, 0.5, 1}, {0, 1e-17, 1.2e-16, -1e-17, 0}};
    auto r = repanel(line, 41, M_PI);
    ASSERT_TRUE(std::holds_alternative<std::string>(r));
    EXPECT_EQ(std::get<std::string>(r), "The contour encloses no area; it cannot be repanelled");
    // Three points are the trailing edge, the nose and the trailing edge again.
    r = repanel(dense, 3, M_PI);
    ASSERT_TRUE(std::holds_alternative<std::string>(r));
    EXPECT_NE(std::get<std::string>(r).find("3 points enclose no area"), std::string::npos);
    // Four already make a triangle.
    EXPECT_TRUE(std::holds_alternative<Contour>(repanel(dense, 4, M_PI)));

    // In the window: the circle of three points stays, nothing is repanelled.
    Session t;
    t.chooseCircle("3");
    const auto circle = t.c.XCoord;
    EXPECT_FALSE(t.form.airfoilMenu().repanelCurrent("4"));
    ASSERT_EQ(t.tk.messages().size(), 1u);
    EXPECT_EQ(t.c.NP, 3);
    EXPECT_EQ(t.c.XCoord, circle);
}

// The layer's subdivision of a coarse section: the section's own points
// stay to the bit, the new ones lie on the section between them (a spline
// through 51 points of NACA 0012 or 4415 is within 1e-4 of the chord of
// it).
TEST(Repanel, aSubdivisionKeepsEveryPointAndPutsTheNewOnesOnTheSectionBetweenThem)
{
    for (const char* digits : {"0012", "4415"}) {
        const NacaDesignation d = designation(digits);
        const Contour coarse = makeNacaSection(d, 51, false, M_PI);
        const Contour fine = subdivided(coarse, 5);
        ASSERT_EQ(fine.size(), 251) << digits;
        double farthest = 0;
        for (int i = 0; i < fine.size(); ++i) {
            if (i % 5 == 0) {
                EXPECT_EQ(fine.x[i], coarse.x[i / 5]) << digits << " " << i;
                EXPECT_EQ(fine.y[i], coarse.y[i / 5]) << digits << " " << i;
                continue;
            }
            farthest = std::max(farthest, distanceToSection(d, fine.x[i], fine.y[i]));
            // Within its panel: nearer to both of the panel's ends than they
            // are to each other.
            const int a = i / 5, b = a + 1;
            const double span = std::hypot(coarse.x[b] - coarse.x[a], coarse.y[b] - coarse.y[a]);
            EXPECT_LT(std::hypot(fine.x[i] - coarse.x[a], fine.y[i] - coarse.y[a]), span) << i;
            EXPECT_LT(std::hypot(fine.x[i] - coarse.x[b], fine.y[i] - coarse.y[b]), span) << i;
        }
        // (straight chords instead would leave the nose's new points up to
        // 1e-3 inside it)
        EXPECT_LT(farthest, 2e-4) << digits;
    }
    // Parts panel by panel: the nose's two panels of a 21-point section in
    // three, the others whole.
    const Contour few = makeNacaSection(designation("0012"), 21, false, M_PI);
    std::vector<int> parts(20, 1);
    parts[9] = parts[10] = 3;
    const Contour nose = subdivided(few, parts);
    ASSERT_EQ(nose.size(), 25);
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(nose.x[i], few.x[i]) << i;
    for (int i = 11; i <= 20; ++i) EXPECT_EQ(nose.x[i + 4], few.x[i]) << i;
    EXPECT_EQ(nose.x[12], few.x[10]);
    EXPECT_LT(nose.x[10], few.x[9]);   // on the way to the nose
    EXPECT_GT(nose.x[11], few.x[10]);  // and the nose (x = 0) of the lower surface
    // A point repeated is kept once; one part is the contour as it is.
    Contour twice = makeNacaSection(designation("0012"), 21, false, M_PI);
    twice.x.insert(twice.x.begin() + 7, twice.x[7]);
    twice.y.insert(twice.y.begin() + 7, twice.y[7]);
    EXPECT_EQ(subdivided(twice, 2).size(), 41);
    const Contour same = subdivided(twice, 1);
    EXPECT_EQ(same.x, twice.x);
    EXPECT_EQ(same.y, twice.y);
}

double pressCL(Session& s)
{
    s.tk.type("Text_AlfaD", "5");
    s.chooseMethod("Option_VORPAN");
    s.press();
    return std::stod(s.tk.text("Text_CL"));
}

TEST(Repanel, liftAfterRepanellingTo161PointsMatchesTheSection)
{
    for (const char* digits : {"0012", "4415"}) {
        Session fine;
        const Contour dense = makeNacaSection(designation(digits), 300, false, M_PI);
        const auto path = (fine.dir.path() / "dense.dat").string();
        std::ofstream(path) << writeSelig(dense);
        ASSERT_TRUE(fine.form.airfoilMenu().openFile(path, 161));
        ASSERT_EQ(fine.c.NP, 161);
        const double repanelled = pressCL(fine);

        Session direct;
        direct.tk.type("Text_NP", "161");
        ASSERT_TRUE(direct.form.airfoilMenu().makeNaca(digits, false));
        const double original = pressCL(direct);
        EXPECT_NEAR(repanelled, original, 0.005 * std::fabs(original)) << digits;
    }
}

}  // namespace
}  // namespace tavrix
