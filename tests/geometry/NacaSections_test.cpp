#include "geometry/NacaSections.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <variant>

#include "support/Session.h"

namespace tavrix {
namespace {

NacaDesignation designation(const std::string& digits)
{
    auto parsed = parseNacaDesignation(digits);
    EXPECT_TRUE(std::holds_alternative<NacaDesignation>(parsed)) << digits;
    return std::get<NacaDesignation>(parsed);
}

// Classic half-thickness, written out term by term.
double halfThickness(double x, double t, double last)
{
    return 5 * t * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x +
                    last * x * x * x * x);
}

// Four-digit mean line from its definition: two parabolas meeting at p.
double fourDigitCamber(double m, double p, double x)
{
    return x < p ? m / (p * p) * (2 * p * x - x * x)
                 : m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
}

// Standard five-digit mean line with its published r and k1.
double fiveDigitCamber(double r, double k1, double x)
{
    return x < r ? k1 / 6 * (x * x * x - 3 * r * x * x + r * r * (3 - r) * x)
                 : k1 * r * r * r / 6 * (1 - x);
}

// Each lower point i and its upper mirror NP + 1 - i: the mid point lies on
// the mean line, and half their distance is the thickness at that station,
// the segment between them normal to the mean line.
void expectMirrorPairs(const Contour& c, double (*camber)(double), double t, double last)
{
    const int np = c.size();
    for (int i = 2; i <= (np - 1) / 2; ++i) {
        const std::size_t lo = static_cast<std::size_t>(i - 1), up = static_cast<std::size_t>(np - i);
        const double mx = (c.x[lo] + c.x[up]) / 2, my = (c.y[lo] + c.y[up]) / 2;
        EXPECT_NEAR(my, camber(mx), 1e-12) << i;
        const double half = std::hypot(c.x[up] - c.x[lo], c.y[up] - c.y[lo]) / 2;
        EXPECT_NEAR(half, halfThickness(mx, t, last), 1e-12) << i;
        EXPECT_GT(c.y[up], c.y[lo]) << i;
    }
}

TEST(NacaSections, mirrorPairsOfFourAndFiveDigitSectionsStraddleTheMeanLine)
{
    const Contour c = makeNacaSection(designation("2412"), 101, false, M_PI);
    expectMirrorPairs(c, [](double x) { return fourDigitCamber(0.02, 0.4, x); }, 0.12, -0.1036);
    const Contour open = makeNacaSection(designation("4415"), 80, true, M_PI);
    expectMirrorPairs(open, [](double x) { return fourDigitCamber(0.04, 0.4, x); }, 0.15,
                      -0.1015);
    const Contour five = makeNacaSection(designation("23012"), 121, false, M_PI);
    expectMirrorPairs(five, [](double x) { return fiveDigitCamber(0.2025, 15.957, x); }, 0.12,
                      -0.1036);
}

// The greatest camber and where it lies, scanned at n + 1 stations.
std::pair<double, double> greatestCamber(const NacaDesignation& d, int n)
{
    double best = 0, where = 0;
    for (int k = 0; k <= n; ++k) {
        const double x = static_cast<double>(k) / n;
        if (nacaCamber(d, x) > best) best = nacaCamber(d, x), where = x;
    }
    return {best, where};
}

TEST(NacaSections, naca2412HasTwoPercentCamberAtFortyPercentAndTwelvePercentThickness)
{
    const NacaDesignation d = designation("NACA 2412");
    const auto [best, where] = greatestCamber(d, 10000);
    EXPECT_NEAR(best, 0.02, 1e-12);
    EXPECT_NEAR(where, 0.4, 1e-4);
    // The classic distribution is 12 % thick at 30 % of the chord.
    double thickest = 0;
    for (int k = 0; k <= 10000; ++k)
        thickest = std::max(thickest, 2 * nacaHalfThickness(k / 10000.0, d.thickness, true));
    EXPECT_NEAR(thickest, 0.12, 2e-4);
}

TEST(NacaSections, fiveDigitSectionsCarryThePublishedMeanLineConstants)
{
    const NacaDesignation d = designation("23012");
    EXPECT_TRUE(d.fiveDigit);
    EXPECT_FALSE(d.reflexed);
    EXPECT_DOUBLE_EQ(d.r, 0.2025);
    EXPECT_DOUBLE_EQ(d.k1, 15.957);
    EXPECT_DOUBLE_EQ(d.designLift, 0.3);
    // With these constants the greatest camber lies at 15 % of the chord
    // (P = 3 means 3/20) and the line is straight behind r.
    EXPECT_NEAR(greatestCamber(d, 20000).second, 0.15, 1e-3);
    EXPECT_NEAR(nacaCamberSlope(d, 0.6), -15.957 * 0.2025 * 0.2025 * 0.2025 / 6, 1e-15);
    EXPECT_NEAR(nacaCamber(d, 1), 0, 1e-15);

    // The reflexed line (23112) comes back to zero at the trailing edge and
    // is continuous at r, from both formulas.
    const NacaDesignation reflexed = designation("23112");
    EXPECT_TRUE(reflexed.reflexed);
    EXPECT_DOUBLE_EQ(reflexed.k2k1, 0.00677);
    EXPECT_NEAR(nacaCamber(reflexed, 0), 0, 1e-15);
    EXPECT_NEAR(nacaCamber(reflexed, 1), 0, 1e-15);
    EXPECT_NEAR(nacaCamber(reflexed, reflexed.r - 1e-9), nacaCamber(reflexed, reflexed.r), 1e-8);
}

TEST(NacaSections, naca0012DiffersFromTheBuiltInSectionOnlyByTheThicknessCoefficients)
{
    for (const char* points : {"51", "52"}) {
        testing::Session s;
        s.chooseNaca(points);
        const int np = s.c.NP;
        const Contour c = makeNacaSection(designation("0012"), np, false, s.c.Pi);
        ASSERT_EQ(c.size(), np);
        for (int i = 1; i <= np; ++i) {
            const double x = c.x[static_cast<std::size_t>(i - 1)];
            EXPECT_EQ(x, s.c.XCoord[i]) << i;
            const double scale = std::fabs(s.c.YCoord[i]) > 0 ? 1 : 0;
            // Same stations, thickness from the classic coefficients.
            EXPECT_NEAR(std::fabs(c.y[static_cast<std::size_t>(i - 1)]),
                        scale * halfThickness(x, 0.12, -0.1036), 1e-15) << i;
            EXPECT_EQ(c.y[static_cast<std::size_t>(i - 1)] < 0, s.c.YCoord[i] < 0) << i;
        }
        EXPECT_EQ(c.x.front(), 1);
        EXPECT_EQ(c.y.front(), 0);
        EXPECT_EQ(c.x.back(), 1);
        EXPECT_EQ(c.y.back(), 0);
    }
}

TEST(NacaSections, unknownDesignationsAreRefusedNamingTheKnownOnes)
{
    for (const char* bad : {"241", "241200", "2012", "0412", "2400", "26012", "21112", "22212",
                            "03012", "NACA 4a12", ""}) {
        auto parsed = parseNacaDesignation(bad);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << bad;
        EXPECT_NE(std::get<std::string>(parsed).find("known"), std::string::npos) << bad;
    }
}

}  // namespace
}  // namespace tavrix
