#include "output/AnalysisSeries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "geometry/ExactFlow.h"
#include "support/Session.h"

namespace tavrix {
namespace {

using testing::Session;

// A press in a fresh session, and its case as the analysis window takes it.
struct Pressed {
    Session s;
    PressCase press;

    void run(PanelMethod method, const char* alpha, const char* mach = "0", const char* eta = "0")
    {
        s.tk.type("Text_AlfaD", alpha);
        s.tk.type("Text_Moo", mach);
        s.tk.type("Text_ItaD", eta);
        s.tk.select(methodOption(method));
        s.press();
        ASSERT_TRUE(s.form.lastPressCompleted());
        FlowSetup setup;
        setup.method = method;
        setup.mach = std::atof(mach);
        setup.etaDeg = std::atof(eta);
        std::optional<KarmanTrefftzSection> section;
        if (s.form.katjoCreated()) section = s.form.katjo().lastSection();
        press = makePressCase(s.c, setup, section);
    }
    void naca(const char* points, PanelMethod method, const char* alpha, const char* mach = "0",
              const char* eta = "0")
    {
        s.chooseNaca(points);
        run(method, alpha, mach, eta);
    }
    void karmanTrefftz(const char* points, const char* delta, const char* gamma, const char* tau)
    {
        s.tk.type("Text_NP", points);
        s.tk.select("Option_KATJO");
        s.form.Option_KATJO_Click();
        s.tk.type("Text_Delta", delta);
        s.tk.type("Text_Gamma", gamma);
        s.tk.type("Text_Tau", tau);
        s.tk.type("Text_xDltc", "0.00");
        ASSERT_TRUE(s.form.katjo().Command1_Click());
    }
};

std::vector<double> angles(double from, double to, double step)
{
    std::string refusal;
    return sweepAngles(from, to, step, refusal);
}

const Series& named(const PlotData& plot, const std::string& name)
{
    for (const Series& s : plot.series)
        if (s.name == name) return s;
    ADD_FAILURE() << "no series " << name;
    static const Series none;
    return none;
}

TEST(AnalysisCsvTest, numbersReadBackToTheSameDoublesAndLabelsAreQuoted)
{
    PlotData plot{"t", "x, chord", "say \"Cp\"", false, false, {}};
    plot.series.push_back({"a", Series::Role::Computed, 0, false, {0.1, 1.0 / 3}, {-2.5e-7, 1e300}});
    const std::string csv = csvText(plot);
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "series,\"x, chord\",\"say \"\"Cp\"\"\"");
    std::vector<double> read;
    while (std::getline(in, line)) {
        EXPECT_EQ(line.substr(0, 2), "a,");
        const std::size_t comma = line.find(',', 2);
        read.push_back(std::strtod(line.substr(2, comma - 2).c_str(), nullptr));
        read.push_back(std::strtod(line.substr(comma + 1).c_str(), nullptr));
    }
    EXPECT_EQ(read, (std::vector<double>{0.1, -2.5e-7, 1.0 / 3, 1e300}));

    // The case a plot belongs to opens its CSV, one line per comment, a line
    // break in one never starting a line of its own.
    plot.comments = {"NACA 4415, viscous (coupled), Re 3e6", "two\nlines"};
    EXPECT_EQ(csvText(plot).rfind("# NACA 4415, viscous (coupled), Re 3e6\n# two lines\n"
                                  "series,\"x, chord\",\"say \"\"Cp\"\"\"\n", 0),
              0u);
}

TEST(AnalysisPressureTest, circleAtZeroIncidenceIsSymmetricAndNearTheExactSpeed)
{
    Pressed p;
    p.s.chooseCircle("101");
    p.run(PanelMethod::VortexPanel, "0");
    EXPECT_EQ(p.press.source, ContourSource::Circle);
    EXPECT_EQ(leadingEdgePoint(p.s.c), 51);  // clockwise from the trailing edge, half way
    const PressureResult r = pressurePlot(p.press, {});
    ASSERT_EQ(r.plot.series.size(), 2u);
    const Series& upper = named(r.plot, "Vortex panel, upper");
    const Series& lower = named(r.plot, "Vortex panel, lower");
    ASSERT_EQ(upper.x.size(), 50u);
    ASSERT_EQ(lower.x.size(), 50u);
    for (std::size_t i = 0; i < 50; ++i) {
        // Mirror panels: lower panel i+1 and upper panel 100-i.
        EXPECT_NEAR(lower.x[i], upper.x[49 - i], 1e-12);
        EXPECT_NEAR(lower.y[i], upper.y[49 - i], 1e-9);
        // Circle: V = 2 sin(theta), so -Cp = 4 sin^2(theta) - 1 = 4 (x/c)(1 - x/c) - 1
        // on the unit-chord circle, where sin^2 = 4 (x/c)(1 - x/c).
        const double xc = upper.x[i];
        EXPECT_NEAR(upper.y[i], 4 * (4 * xc * (1 - xc)) - 1, 0.02) << xc;
    }
    EXPECT_FALSE(r.hasExact);
}

TEST(AnalysisPressureTest, machNumberAddsTheCorrectedCurvesAndTheCriticalLine)
{
    Pressed p;
    p.naca("61", PanelMethod::Hess, "4", "0.7");
    const double beta = std::sqrt(1 - 0.7 * 0.7);
    const PressureResult pg = pressurePlot(p.press, {Compressibility::PrandtlGlauert, false, true});
    const Series& incompressible = named(pg.plot, "Hess, incompressible, upper");
    const Series& corrected = named(pg.plot, "Hess, Prandtl-Glauert M\u221e = 0.70, upper");
    ASSERT_EQ(incompressible.y.size(), corrected.y.size());
    for (std::size_t i = 0; i < corrected.y.size(); ++i)
        EXPECT_NEAR(corrected.y[i], incompressible.y[i] / beta, 1e-12);
    // Cp* at M = 0.7 for gamma = 1.4 from the isentropic relations:
    // 2 / (1.4 0.49) ((2 + 0.4 0.49) / 2.4)^3.5 - 1) = 2.9155 (0.73274 - 1) = -0.7791.
    EXPECT_NEAR(pg.cpStar, -0.7791, 5e-5);
    EXPECT_NEAR(named(pg.plot, "Cp* at M\u221e = 0.70").y.at(0), 0.7791, 5e-5);
    // The lowest Cp of the section at 4 degrees is below Cp*: it is supercritical at 0.7.
    EXPECT_GT(pg.criticalMach, 0.3);
    EXPECT_LT(pg.criticalMach, 0.7);

    // Past the critical Mach number the corrected curve stays, but its
    // coefficients are no result.
    EXPECT_EQ(pg.validity, CorrectionValidity::Supercritical);

    // Karman-Tsien's suction peak at 0.7 lies below the vacuum limit: no
    // corrected curve, the incompressible one says why.
    const PressureResult kt = pressurePlot(p.press, {Compressibility::KarmanTsien, false, true});
    EXPECT_EQ(kt.validity, CorrectionValidity::BeyondVacuum);
    for (const Series& s : kt.plot.series) EXPECT_EQ(s.name.find("Karman-Tsien M"), std::string::npos);
    named(kt.plot, "Hess, incompressible (the Karman-Tsien correction fails below the vacuum "
                   "limit), upper");
    EXPECT_LT(kt.criticalMach, pg.criticalMach);

    // At 0.5 it holds, and raises the suction peak above Prandtl-Glauert's.
    PressCase slower = p.press;
    slower.setup.mach = 0.5;
    const PressureResult kt5 = pressurePlot(slower, {Compressibility::KarmanTsien, false, true});
    const PressureResult pg5 = pressurePlot(slower, {Compressibility::PrandtlGlauert, false, true});
    const Series& ktUpper = named(kt5.plot, "Hess, Karman-Tsien M\u221e = 0.50, upper");
    const Series& pgUpper = named(pg5.plot, "Hess, Prandtl-Glauert M\u221e = 0.50, upper");
    ASSERT_FALSE(ktUpper.y.empty());
    EXPECT_GT(*std::max_element(ktUpper.y.begin(), ktUpper.y.end()),
              *std::max_element(pgUpper.y.begin(), pgUpper.y.end()));
}

TEST(AnalysisPressureTest, compareOverlayHoldsEachMethodAsItsOwnPressGivesIt)
{
    Pressed p;
    p.naca("51", PanelMethod::Hess, "6", "0.3", "2");
    const PressureResult r = pressurePlot(p.press, {Compressibility::PrandtlGlauert, true, true});
    ASSERT_EQ(r.plot.series.size(), 5u);  // four methods and the Cp* line
    for (PanelMethod m : kAllMethods) {
        Pressed own;
        own.naca("51", m, "6", "0.3", "2");
        const Series& s = named(r.plot, std::string(methodName(m)));
        ASSERT_EQ(s.y.size(), 50u);
        for (int i = 1; i <= 50; ++i)
            EXPECT_EQ(s.y[static_cast<std::size_t>(i - 1)], own.s.c.Cu[i] - 1)
                << methodName(m) << " panel " << i;
    }
}

TEST(AnalysisPressureTest, exactCpOfAKarmanTrefftzSectionLiesOnTheFineSolutionAtAlphaPlusEta)
{
    Pressed p;
    p.karmanTrefftz("199", "0.12", "0.04", "10");
    p.run(PanelMethod::SoinneLaine, "5");
    ASSERT_EQ(p.press.source, ContourSource::KarmanTrefftz);
    const PressureResult r = pressurePlot(p.press, {});
    ASSERT_TRUE(r.hasExact);
    EXPECT_EQ(r.exactCL, KarmanTrefftzFlow(*p.press.section, 5).CL());
    const Series& exact = named(r.plot, "Exact (incompressible)");
    const Series& upper = named(r.plot, "Soinne-Laine, upper");
    const Series& lower = named(r.plot, "Soinne-Laine, lower");
    ASSERT_EQ(exact.y.size(), upper.y.size() + lower.y.size());
    std::vector<double> computed = lower.y;
    computed.insert(computed.end(), upper.y.begin(), upper.y.end());
    // Away from the two trailing-edge panels the fine solution is within a
    // few thousandths of the exact Cp.
    for (std::size_t i = 1; i + 1 < computed.size(); ++i)
        EXPECT_NEAR(computed[i], exact.y[i], 0.02) << i;

    // A section rotated by eta is compared with the exact flow at alpha + eta.
    Pressed straight, rotated;
    for (Pressed* q : {&straight, &rotated}) q->karmanTrefftz("101", "0.10", "0.02", "5");
    straight.run(PanelMethod::VortexPanel, "7");
    rotated.run(PanelMethod::VortexPanel, "4", "0", "3");
    const PressureResult a = pressurePlot(straight.press, {}), b = pressurePlot(rotated.press, {});
    EXPECT_NEAR(a.exactCL, b.exactCL, 1e-12);
    const Series& ea = named(a.plot, "Exact (incompressible)");
    const Series& eb = named(b.plot, "Exact (incompressible)");
    ASSERT_EQ(ea.y.size(), eb.y.size());
    for (std::size_t i = 0; i < ea.y.size(); ++i) EXPECT_NEAR(ea.y[i], eb.y[i], 1e-6) << i;
}

TEST(AnalysisSourceTest, onlyAContourThatASourceDrawsAgainIsRegenerated)
{
    Pressed naca;
    naca.naca("61", PanelMethod::Hess, "2");
    EXPECT_EQ(naca.press.source, ContourSource::Naca0012);
    Common again;
    ASSERT_TRUE(regeneratedContour(naca.press, 61, again));
    for (int i = 1; i <= 61; ++i) EXPECT_EQ(again.XCoord[i], naca.s.c.XCoord[i]);

    // The same section with one point moved is a contour of its own.
    Pressed moved;
    moved.s.chooseNaca("61");
    moved.s.c.YCoord[20] += 1e-9;
    moved.run(PanelMethod::Hess, "2");
    EXPECT_EQ(moved.press.source, ContourSource::None);
    const ConvergenceResult r = computeConvergence(moved.press);
    EXPECT_TRUE(r.counts.empty());
    EXPECT_FALSE(r.message.empty());
}

TEST(AnalysisSweepAnglesTest, rangesAndRefusals)
{
    std::string refusal;
    EXPECT_EQ(sweepAngles(-4, 12, 1, refusal).size(), 17u);
    const std::vector<double> tenths = sweepAngles(0, 1, 0.1, refusal);
    ASSERT_EQ(tenths.size(), 11u);  // 1/0.1 falls just short of 10 in binary
    EXPECT_NEAR(tenths.back(), 1.0, 1e-12);
    EXPECT_EQ(sweepAngles(10, -10, -5, refusal), (std::vector<double>{10, 5, 0, -5, -10}));
    EXPECT_EQ(sweepAngles(3, 3, 1, refusal), (std::vector<double>{3}));
    EXPECT_TRUE(refusal.empty());
    EXPECT_EQ(sweepAngles(0, 1000, 1, refusal).size(), 1001u);
    // A zero step, a step away from the end, more than 1001 angles, no end.
    for (const auto& [to, step] : {std::pair{10.0, 0.0}, {10.0, -1.0}, {1001.0, 1.0}, {NAN, 1.0}}) {
        refusal.clear();
        EXPECT_TRUE(sweepAngles(0, to, step, refusal).empty()) << to << " by " << step;
        EXPECT_FALSE(refusal.empty()) << to << " by " << step;
    }
}

TEST(AnalysisPolarTest, zeroLiftAngleByInterpolationOrSecant)
{
    auto points = [](std::vector<std::pair<double, double>> v) {
        std::vector<OperatingPoint> p;
        for (auto [a, cl] : v) p.push_back({a, cl, 0, 0, {}, {}, {}, {}, {}});
        return p;
    };
    // CL = 0.1 (alpha + 2).
    EXPECT_NEAR(*zeroLiftAngle(points({{-4, -0.2}, {-1, 0.1}, {2, 0.4}})), -2, 1e-12);
    EXPECT_NEAR(*zeroLiftAngle(points({{4, 0.6}, {1, 0.3}, {7, 0.9}})), -2, 1e-12);
    EXPECT_EQ(*zeroLiftAngle(points({{0, 0.5}, {3, 0}})), 3);
    EXPECT_FALSE(zeroLiftAngle(points({{1, 0.3}})).has_value());
    EXPECT_FALSE(zeroLiftAngle(points({{1, 0.3}, {2, 0.3}})).has_value());
}

TEST(AnalysisPolarTest, polarOfACamberedSectionAndItsThinAirfoilLine)
{
    Pressed p;
    p.karmanTrefftz("101", "0.12", "0.04", "10");
    p.run(PanelMethod::Hess, "0");
    const std::vector<double> alphas = angles(-6, 6, 2);
    const PolarResult polar =
        computePolar(p.press, kAllMethods, alphas, Compressibility::PrandtlGlauert);
    ASSERT_EQ(polar.points.size(), 4u);
    for (const auto& points : polar.points) ASSERT_EQ(points.size(), 7u);
    // A positive camber: the zero-lift angle is negative, close to the exact one.
    ASSERT_TRUE(polar.hasAlpha0);
    // Exact CL is linear in sin(alpha - alpha0): two exact values give alpha0.
    const double cl0 = KarmanTrefftzFlow(*p.press.section, 0).CL();
    const double cl1 = KarmanTrefftzFlow(*p.press.section, -4).CL();
    const double a0Exact = -4 * cl0 / (cl0 - cl1);
    EXPECT_LT(polar.alpha0Deg, 0);
    EXPECT_NEAR(polar.alpha0Deg, a0Exact, 0.3);
    const PlotData lift = polarLiftPlot(polar);
    ASSERT_EQ(lift.series.size(), 5u);
    const Series& thin = lift.series.back();
    EXPECT_EQ(thin.role, Series::Role::Reference);
    const double perDegree = 2 * M_PI * M_PI / 180;
    EXPECT_NEAR(thin.y.front(), perDegree * (-6 - polar.alpha0Deg), 1e-12);
    EXPECT_NEAR(thin.y.back(), perDegree * (6 - polar.alpha0Deg), 1e-12);
    // The sweep's coefficient table has one row per angle and method.
    const std::string csv =
        CoefficientsCsvText(polarConditions(p.press, Compressibility::PrandtlGlauert),
                            methodSweeps(polar));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 4 * 7);
    EXPECT_EQ(sectionName(p.press), "Karman-Trefftz section");
}

TEST(AnalysisPolarTest, oneCorrectionPerFigureAndNoPointWhereItFails)
{
    Pressed p;
    p.naca("101", PanelMethod::Hess, "5", "0.5");
    // The coefficients beside the Karman-Tsien plot are Karman-Tsien's, the
    // polar's at that angle; the press (Prandtl-Glauert) gives less.
    const PressureResult kt = pressurePlot(p.press, {Compressibility::KarmanTsien, false, true});
    ASSERT_TRUE(kt.hasCoefficients);
    const double five[] = {5};
    const PolarResult at5 =
        computePolar(p.press, {&p.press.setup.method, 1}, five, Compressibility::KarmanTsien);
    EXPECT_EQ(kt.CL, at5.points[0][0].CL);
    EXPECT_EQ(kt.CM, at5.points[0][0].CM);
    const double pressCL = IntegrateForces(p.press.common).CL;
    EXPECT_GT(kt.CL, pressCL + 0.02);
    const PressureResult overlay = pressurePlot(p.press, {Compressibility::KarmanTsien, true, true});
    EXPECT_NE(overlay.plot.title.find("(Karman-Tsien M\u221e = 0.50)"), std::string::npos);
    const PressureResult pg = pressurePlot(p.press, {Compressibility::PrandtlGlauert, false, true});
    EXPECT_EQ(pg.CL, pressCL);

    // At M = 0.9 even the symmetric flow at 0 degrees is supercritical
    // (Cp0 near -0.4, corrected below Cp* = -0.19): the plot has no point
    // where the correction fails, and the window and the batch say where.
    PressCase fast = p.press;
    fast.setup.mach = 0.9;
    const std::vector<double> alphas = angles(0, 8, 4);
    const PolarResult polar = computePolar(fast, {&fast.setup.method, 1}, alphas,
                                           Compressibility::KarmanTsien);
    ASSERT_EQ(polar.points[0].size(), 3u);
    EXPECT_EQ(validPoints(polar, 0), std::vector<bool>(3, false));
    EXPECT_TRUE(named(polarLiftPlot(polar), "Hess").x.empty());
    EXPECT_TRUE(named(polarMomentPlot(polar), "Hess").x.empty());
    EXPECT_FALSE(polar.hasAlpha0);
    const std::vector<std::string> warnings = correctionWarnings(polar);
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings[0].rfind("Hess: the Karman-Tsien correction is not valid at \u03b1 = ", 0),
              0u);

    PolarResult thin;
    thin.methods = {PanelMethod::Hess};
    thin.points = {{OperatingPoint{}, OperatingPoint{}}};
    thin.points[0][1].alphaDeg = 4;
    thin.hasAlpha0 = true;
    thin.mach = 0.6;
    const PlotData thinLift = polarLiftPlot(thin);
    const Series& line = thinLift.series.back();
    EXPECT_EQ(line.role, Series::Role::Reference);
    // 2 pi per radian over sqrt(1 - 0.36) = 0.8.
    EXPECT_NEAR(line.y.back(), 2 * M_PI * (M_PI / 180) * 4 / 0.8, 1e-12);
}

// A cancelled polar keeps the angles solved, a cancelled convergence study
// the counts it finished.
TEST(AnalysisCancelTest, aCancelledRunKeepsWhatItSolved)
{
    Pressed p;
    p.naca("51", PanelMethod::Hess, "0");
    const std::vector<double> alphas = angles(0, 9, 1);
    std::size_t lastTotal = 0;
    const PolarResult polar = computePolar(
        p.press, kAllMethods, alphas, Compressibility::PrandtlGlauert,
        [&](std::size_t done, std::size_t total) {
            lastTotal = total;
            return done < 13;
        });
    EXPECT_EQ(lastTotal, 40u);
    EXPECT_TRUE(polar.cancelled);
    ASSERT_EQ(polar.points.size(), 2u);
    EXPECT_EQ(polar.points[0].size(), 10u);
    EXPECT_EQ(polar.points[1].size(), 3u);

    Pressed circle;
    circle.s.chooseCircle("41");
    circle.run(PanelMethod::Hess, "3");
    const ConvergenceResult r =
        computeConvergence(circle.press, [](std::size_t done, std::size_t) { return done < 6; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.counts, (std::vector<int>{25}));
    for (const auto& cl : r.CL) EXPECT_EQ(cl.size(), 1u);
    EXPECT_FALSE(r.hasExact);
}

// A coarse polar marks its angles; one of hundreds of angles is a clean line.
TEST(AnalysisPolarTest, markersOnlyWhileTheCurveIsSparse)
{
    Pressed p;
    p.naca("51", PanelMethod::Hess, "0");
    for (const auto& [step, marked] : {std::pair{0.25, true}, std::pair{0.1, false}}) {
        // 57 angles by 0.25 from -5 to 9, 141 by 0.1
        const PlotData lift = polarLiftPlot(computePolar(p.press, std::vector{PanelMethod::Hess},
                                                         angles(-5, 9, step),
                                                         Compressibility::PrandtlGlauert));
        const Series& hess = lift.series.front();
        EXPECT_TRUE(hess.markers);
        EXPECT_EQ(drawsMarkers(hess), marked) << hess.x.size();
    }
    // Marked up to 60 points; a reference line has none at any density.
    for (const auto& [n, markers, drawn] :
         {std::tuple{60, true, true}, {61, true, false}, {3, false, false}}) {
        const Series s{"Hess", Series::Role::Computed, 0, markers, std::vector<double>(n),
                       std::vector<double>(n)};
        EXPECT_EQ(drawsMarkers(s), drawn) << n << " points";
    }
}

TEST(AnalysisConvergenceTest, eachCountGivesTheCLOfAPressWithThatManyPoints)
{
    Pressed p;
    p.karmanTrefftz("61", "0.12", "0.04", "10");
    p.run(PanelMethod::Hess, "5");
    const ConvergenceResult r = computeConvergence(p.press);
    ASSERT_EQ(r.counts, (std::vector<int>{25, 51, 101, 199}));
    ASSERT_TRUE(r.hasExact);
    EXPECT_EQ(r.exactCL, KarmanTrefftzFlow(*p.press.section, 5).CL());
    for (std::size_t k = 0; k < 4; ++k) {
        Pressed at51;
        at51.karmanTrefftz("51", "0.12", "0.04", "10");
        at51.run(kAllMethods[k], "5");
        EXPECT_EQ(r.CL[k][1], IntegrateForces(at51.s.c).CL) << methodName(kAllMethods[k]);
        // Every method comes closer to the exact CL from 25 to 199 points.
        EXPECT_LT(std::fabs(r.CL[k][3] - r.exactCL), std::fabs(r.CL[k][0] - r.exactCL));
    }
    const PlotData error = convergenceErrorPlot(r);
    EXPECT_TRUE(error.logX && error.logY);
    ASSERT_EQ(error.series.size(), 4u);
}

TEST(AnalysisCaseTest, aCaseIsNamedByItsInputsAndAStudyHoldsOnlyForItsOwnCase)
{
    Pressed a, b;
    for (Pressed* q : {&a, &b}) {
        q->karmanTrefftz("61", "0.12", "0.04", "10");
        q->run(PanelMethod::Hess, "2", "0.5");
    }
    EXPECT_EQ(caseTitle(a.press),
              "Karman-Trefftz section, 61 points, Hess, \u03b1 = 2\u00b0, \u03b7 = 0\u00b0, "
              "M\u221e = 0.5");
    EXPECT_EQ(caseTitle(a.press, {false, false, true}),
              "Karman-Trefftz section, 61 points, \u03b7 = 0\u00b0, incompressible");
    EXPECT_EQ(titledForCase({"Lift coefficient", "", "", false, false, {}}, "case").title,
              "Lift coefficient \u2014 case");

    // The same inputs again: the same case; another angle: the same polar
    // but not the same convergence study.
    EXPECT_TRUE(sameFlowCase(a.press, b.press, true));
    b.run(PanelMethod::Hess, "4", "0.5");
    EXPECT_TRUE(sameFlowCase(a.press, b.press, false));
    EXPECT_FALSE(sameFlowCase(a.press, b.press, true));
    // Another Mach number, rotation or section: another case.
    b.run(PanelMethod::Hess, "2", "0.4");
    EXPECT_FALSE(sameFlowCase(a.press, b.press, false));
    b.run(PanelMethod::Hess, "2", "0.5", "1");
    EXPECT_FALSE(sameFlowCase(a.press, b.press, false));
    b.karmanTrefftz("61", "0.12", "0.02", "10");
    b.run(PanelMethod::Hess, "2", "0.5");
    EXPECT_FALSE(sameFlowCase(a.press, b.press, false));
}

}  // namespace
}  // namespace tavrix
