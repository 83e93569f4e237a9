#include "geometry/SectionEdits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <variant>

#include "geometry/NacaSections.h"
#include "solvers/PanelSolution.h"

namespace tavrix {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

Contour naca(const std::string& digits, int np)
{
    return makeNacaSection(std::get<NacaDesignation>(parseNacaDesignation(digits)), np, false,
                           M_PI);
}

FlappedSection flapped(const Contour& c, double xc, double yt, double deg)
{
    FlapSettings settings;
    settings.hingeXc = xc;
    settings.thicknessFraction = yt;
    settings.deflectionDeg = deg;
    auto r = deflectFlap(c, settings);
    EXPECT_TRUE(std::holds_alternative<FlappedSection>(r))
        << std::get<std::string>(r);
    return std::get<FlappedSection>(r);
}

Contour edited(const std::variant<Contour, std::string>& r)
{
    EXPECT_TRUE(std::holds_alternative<Contour>(r)) << std::get<std::string>(r);
    return std::get<Contour>(r);
}

bool closed(const Contour& c) { return c.x.front() == c.x.back() && c.y.front() == c.y.back(); }

TEST(Flap, zeroDeflectionKeepsTheContourAndPlacesTheHingeAtTheThicknessFraction)
{
    const Contour c = naca("2412", 161);
    const FlappedSection f = flapped(c, 0.75, 0.5, 0);
    EXPECT_EQ(f.contour.x, c.x);
    EXPECT_EQ(f.contour.y, c.y);
    EXPECT_DOUBLE_EQ(f.hinge.x, 0.75);
    // Half way between the surfaces at x = 0.75.
    const FlappedSection low = flapped(c, 0.75, 0, 0), high = flapped(c, 0.75, 1, 0);
    EXPECT_NEAR(f.hinge.y, (low.hinge.y + high.hinge.y) / 2, 1e-15);
    EXPECT_LT(low.hinge.y, high.hinge.y);
    EXPECT_NEAR(high.hinge.y - low.hinge.y, 2 * nacaHalfThickness(0.75, 0.12, false), 2e-4);
}

TEST(Flap, flapPointsAreTheOriginalsRotatedAboutTheHingeAndTheFixedPartStays)
{
    const Contour c = naca("0012", 161);
    for (double deg : {10.0, -15.0, 30.0}) {
        SCOPED_TRACE(deg);
        const FlappedSection f = flapped(c, 0.75, 0.5, deg);
        const double d = deg * M_PI / 180;
        auto contains = [&](double x, double y) {
            for (int i = 0; i < f.contour.size(); ++i)
                if (std::fabs(f.contour.x[i] - x) < 1e-14 && std::fabs(f.contour.y[i] - y) < 1e-14)
                    return true;
            return false;
        };
        int rotated = 0;
        for (int i = 0; i < c.size(); ++i) {
            const double dx = c.x[i] - f.hinge.x, dy = c.y[i] - f.hinge.y;
            if (dx > 0.03) {
                // Clockwise by the deflection: trailing edge down for a positive angle.
                EXPECT_TRUE(contains(f.hinge.x + dx * std::cos(d) + dy * std::sin(d),
                                     f.hinge.y - dx * std::sin(d) + dy * std::cos(d)))
                    << "point " << i;
                ++rotated;
            } else if (dx < -0.03) {
                EXPECT_TRUE(contains(c.x[i], c.y[i])) << "point " << i;
            }
        }
        EXPECT_GT(rotated, 30);
        EXPECT_TRUE(closed(f.contour));
        EXPECT_FALSE(firstCrossing(f.contour));
        // The trailing edge moved on the circle about the hinge.
        EXPECT_NEAR(f.contour.x.front(),
                    f.hinge.x + 0.25 * std::cos(d) - f.hinge.y * std::sin(d), 1e-14);
        EXPECT_NEAR(f.contour.y.front(),
                    f.hinge.y - 0.25 * std::sin(d) - f.hinge.y * std::cos(d), 1e-14);
    }
}

TEST(Flap, stretchedSideIsBridgedOnTheArcAndCompressedSideIsCut)
{
    const Contour c = naca("0012", 161);
    const FlappedSection f = flapped(c, 0.75, 0.5, 20);
    // Upper surface near the hinge: the bridging points lie at the radius of
    // the upper surface point above the hinge.
    const double r = nacaHalfThickness(0.75, 0.12, false);
    int onArc = 0;
    for (int i = 0; i < f.contour.size(); ++i) {
        const double dx = f.contour.x[i] - f.hinge.x, dy = f.contour.y[i] - f.hinge.y;
        if (dy > 0 && std::fabs(std::hypot(dx, dy) - r) < 2e-4 && std::fabs(dx) < r) ++onArc;
    }
    EXPECT_GE(onArc, 2);
    // Lower surface: no point of the fixed part lies inside the turned flap
    // and the section's area shrinks only by the wedge cut away.
    EXPECT_FALSE(firstCrossing(f.contour));
    const double before = -doubleSignedArea(c) / 2, after = -doubleSignedArea(f.contour) / 2;
    EXPECT_NEAR(after, before, 0.002);
}

TEST(Flap, badHingesAndAnglesAreRefused)
{
    const Contour c = naca("0012", 61);
    auto refused = [&](FlapSettings s) { return std::holds_alternative<std::string>(deflectFlap(c, s)); };
    FlapSettings s;
    s.deflectionDeg = 10;
    for (double xc : {0.0, 1.0, -0.2, 1.5, kNaN}) {
        s.hingeXc = xc;
        EXPECT_TRUE(refused(s)) << xc;
    }
    s.hingeXc = 0.75;
    for (double yt : {-0.1, 1.1, kInf}) {
        s.thicknessFraction = yt;
        EXPECT_TRUE(refused(s)) << yt;
    }
    s.thicknessFraction = 0.5;
    s.hingeY = 0.2;  // above the section
    EXPECT_TRUE(refused(s));
    s.hingeY = 0.0;
    EXPECT_FALSE(refused(s));
    s.hingeY.reset();
    for (double deg : {90.5, -91.0, kNaN}) {
        s.deflectionDeg = deg;
        EXPECT_TRUE(refused(s)) << deg;
    }
    s.deflectionDeg = 90;
    const auto r = deflectFlap(c, s);
    if (auto* f = std::get_if<FlappedSection>(&r)) {
        EXPECT_FALSE(firstCrossing(f->contour));
    }
}

TEST(ScaleSection, noCamberGivesASymmetricSectionOfTheSameThickness)
{
    // A symmetric section bent by a mean line laid off vertically: its two
    // surfaces share their x stations, so mean line and thickness are known
    // exactly there, and without camber the symmetric section comes back.
    const Contour symmetric = naca("0012", 161);
    Contour bent = symmetric;
    for (int i = 0; i < bent.size(); ++i) bent.y[i] += 0.05 * std::sin(M_PI * bent.x[i]) * (1 - 0.3 * bent.x[i]);
    const Contour flat = edited(scaleThicknessCamber(bent, 1, 0));
    for (int i = 0; i < flat.size(); ++i) {
        EXPECT_EQ(flat.x[i], symmetric.x[i]);
        EXPECT_NEAR(flat.y[i], symmetric.y[i], 1e-15) << "x = " << flat.x[i];
    }
    // A NACA 4415 has its surface points at different x (the thickness is
    // laid off normal to the mean line): the other surface is interpolated,
    // and the symmetric result holds the thickness to that interpolation.
    const Contour c = naca("4415", 161);
    const Contour s = edited(scaleThicknessCamber(c, 1, 0));
    const int le = leadingEdgeIndex(c);
    auto height = [](const Contour& k, int from, int to, double x) {
        const int step = from < to ? 1 : -1;
        for (int i = from; i != to; i += step) {
            const double a = k.x[i], b = k.x[i + step];
            if ((a - x) * (b - x) <= 0 && a != b)
                return k.y[i] + (x - a) / (b - a) * (k.y[i + step] - k.y[i]);
        }
        return kNaN;
    };
    for (int i = le + 1; i < c.size(); i += 3) {
        const double x = c.x[i];
        // Round the nose the surfaces turn back in x (ahead of x = 0 on the
        // upper surface): a height at x is not defined there.
        if (x < 0.005) continue;
        const double up = height(s, c.size() - 1, le, x), low = height(s, 0, le, x);
        const double thickness = height(c, c.size() - 1, le, x) - height(c, 0, le, x);
        EXPECT_NEAR(up, -low, 1e-4) << "x = " << x;
        EXPECT_NEAR(up - low, thickness, 1e-4) << "x = " << x;
    }
    EXPECT_NEAR(sectionThickness(s), sectionThickness(c), 1e-4);
}

TEST(ScaleSection, thicknessAndCamberScaleAsTheirFactors)
{
    const Contour c = naca("2412", 161);
    const Contour thin = edited(scaleThicknessCamber(c, 0.5, 1));
    EXPECT_NEAR(sectionThickness(thin), 0.06, 5e-4);
    // Doubling the camber of a 2412 moves each surface point by the mean
    // line's height there (linear interpolation aside).
    const Contour twice = edited(scaleThicknessCamber(c, 1, 2));
    const auto designation = std::get<NacaDesignation>(parseNacaDesignation("2412"));
    for (int i = leadingEdgeIndex(c) + 5; i < c.size(); i += 10)
        EXPECT_NEAR(twice.y[i] - c.y[i], nacaCamber(designation, c.x[i]), 2e-3) << "x = " << c.x[i];
    // Factors of one give the contour back.
    for (const char* digits : {"0012", "4415", "23012"}) {
        const Contour k = naca(digits, 121);
        const Contour same = edited(scaleThicknessCamber(k, 1, 1));
        ASSERT_EQ(same.size(), k.size());
        for (int i = 0; i < k.size(); ++i) {
            EXPECT_EQ(same.x[i], k.x[i]);
            EXPECT_NEAR(same.y[i], k.y[i], 1e-16) << digits << " point " << i;
        }
    }
    for (auto [t, k] : {std::pair{0.0, 1.0}, {kNaN, 1.0}, {1.0, kInf}})
        EXPECT_TRUE(std::holds_alternative<std::string>(scaleThicknessCamber(c, t, k))) << t << k;
}

TEST(TrailingEdgeGap, zeroGapKeepsAClosedContourAndAGapOpensToItsWidth)
{
    const Contour c = naca("0012", 101);
    const Contour same = edited(setTrailingEdgeGap(c, 0, 0.3));
    EXPECT_EQ(same.x, c.x);
    EXPECT_EQ(same.y, c.y);
    EXPECT_TRUE(closed(same));

    const Contour open = edited(setTrailingEdgeGap(c, 0.01, 0.3));
    EXPECT_NEAR(open.y.back() - open.y.front(), 0.01, 1e-15);
    EXPECT_NEAR(trailingEdgeGap(open), 0.01, 1e-12);
    for (int i = 0; i < c.size(); ++i)
        if (c.x[i] <= 0.7) {
            EXPECT_EQ(open.y[i], c.y[i]);
        }
    // And closed again over the same length.
    const Contour shut = edited(setTrailingEdgeGap(open, 0, 0.3));
    EXPECT_TRUE(std::fabs(shut.y.back() - shut.y.front()) < 1e-15);
    for (int i = 0; i < c.size(); ++i) EXPECT_NEAR(shut.y[i], c.y[i], 1e-15);

    for (auto [w, b] : {std::pair{-0.01, 0.3}, {0.2, 0.3}, {0.01, 0.0}, {0.01, 1.5}, {kNaN, 0.3}})
        EXPECT_TRUE(std::holds_alternative<std::string>(setTrailingEdgeGap(c, w, b)))
            << w << " " << b;
}

// Thin-airfoil theory of a flat plate with a plain flap (hinge at x_h, flap
// chord E = 1 - x_h, x = (1 - cos t) / 2): the load
//   dCp(t) = 4 A0 (1 + cos t) / sin t + (4 d / pi) ln|sin((t + th)/2) / sin((t - th)/2)|,
//   A0 = a + d (1 - th / pi),
// the Fourier series of the flap's mean line slope summed in closed form.
// The hinge moment per chord squared, positive trailing edge down:
//   CH = -Integral over the flap of dCp (x - x_h) dx.
double thinAirfoilHingeMoment(double xh, double alphaRad, double deltaRad)
{
    const double th = std::acos(1 - 2 * xh);
    const double a0 = alphaRad + deltaRad * (1 - th / M_PI);
    const int n = 200000;
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        const double t = th + (M_PI - th) * (k + 0.5) / n;
        const double load = 4 * a0 * (1 + std::cos(t)) / std::sin(t) +
                            4 * deltaRad / M_PI *
                                std::log(std::fabs(std::sin((t + th) / 2) / std::sin((t - th) / 2)));
        const double x = (1 - std::cos(t)) / 2;
        sum += load * (x - xh) * std::sin(t) / 2;
    }
    return -sum * (M_PI - th) / n;
}

double panelHingeMoment(const Contour& c, double xh, double alphaDeg, double deltaDeg)
{
    const FlappedSection f = flapped(c, xh, 0.5, deltaDeg);
    const auto panels = buildPanelGeometry(f.contour.x, f.contour.y, 0);
    const auto solution = solvePanels(*panels, PanelMethod::VortexPanel);
    const auto point = solution->at(alphaDeg);
    return hingeMomentCoefficient(f.contour, point->Cu, f.hinge);
}

TEST(HingeMoment, thinSectionAgreesWithThinAirfoilTheory)
{
    // The part of the deflection and the part of the angle of attack: for a
    // quarter-chord flap, by hand, CH_alpha = -[(c - 1/2)(pi - th) + (1 - c) sin th
    // + sin(2 th) / 4] = -0.03533 per radian (c = cos th = -1/2).
    const double th = 2 * M_PI / 3, ch = std::cos(th);
    const double perAlpha = -((ch - 0.5) * (M_PI - th) + (1 - ch) * std::sin(th) +
                              std::sin(2 * th) / 4);
    EXPECT_NEAR(thinAirfoilHingeMoment(0.75, 1, 0), perAlpha, 1e-6);

    const Contour thin = naca("0006", 201);
    const double d = 5 * M_PI / 180;
    const double byDeflection = panelHingeMoment(thin, 0.75, 0, 5);
    const double theoryDeflection = thinAirfoilHingeMoment(0.75, 0, d);
    EXPECT_LT(theoryDeflection, 0);
    EXPECT_NEAR(byDeflection, theoryDeflection, 0.10 * std::fabs(theoryDeflection));

    const double byAlpha = panelHingeMoment(thin, 0.75, 4, 0);
    const double theoryAlpha = perAlpha * 4 * M_PI / 180;
    EXPECT_NEAR(byAlpha, theoryAlpha, 0.10 * std::fabs(theoryAlpha));
}

TEST(HingeMoment, flapPanelsOnlyAndTheSignFollowsTheLoad)
{
    // A uniform pressure on a closed contour gives no net force, but the flap
    // alone feels the part of it on the flap's surface: with Cp = 1 - cu the
    // same everywhere, CH is the moment of that pressure about the hinge.
    const Contour c = naca("0012", 101);
    const FlappedSection f = flapped(c, 0.75, 0.5, 0);
    std::vector<double> cu(static_cast<std::size_t>(c.size() - 1), 1.0);  // Cp = 0
    EXPECT_EQ(hingeMomentCoefficient(f.contour, cu, f.hinge), 0);
    // Suction (Cp < 0) on the upper flap panels only lifts the flap: trailing
    // edge up, a negative hinge moment.
    const int le = leadingEdgeIndex(c);
    for (int i = le; i < c.size() - 1; ++i) cu[static_cast<std::size_t>(i)] = 2;
    EXPECT_LT(hingeMomentCoefficient(f.contour, cu, f.hinge), 0);
    // Twice the chord reference, a quarter of the coefficient.
    FlapHinge longer = f.hinge;
    longer.chord = 2;
    EXPECT_NEAR(hingeMomentCoefficient(f.contour, cu, longer),
                hingeMomentCoefficient(f.contour, cu, f.hinge) / 4, 1e-15);
}

}  // namespace
}  // namespace tavrix
