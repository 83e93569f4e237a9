// Kept polars: their names, the rows they keep of a polar, the CSV that
// names their case, and the series they add to the polar plots.
#include "output/KeptRuns.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "support/Session.h"

namespace tavrix {
namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

double exactNumber(const std::string& text)
{
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
    return v;
}

// A NACA 0012 press at 61 points and its polar.
struct NacaPolar {
    testing::Session s;
    PressCase press;
    PolarResult polar;

    NacaPolar(std::vector<PanelMethod> methods, double mach = 0, BoundaryLayerSetup layer = {})
    {
        s.chooseNaca("61");
        s.press();
        FlowSetup setup;
        setup.mach = mach;
        press = makePressCase(s.c, setup, std::nullopt);
        const std::vector<double> alphas = {-2, 0, 2, 4, 14};
        polar = computePolar(press, methods, alphas, Compressibility::PrandtlGlauert, {}, layer);
    }
};

TEST(KeptRuns, namesSayAirfoilReynoldsNumberModelMachNumberAndMethod)
{
    for (const auto& [re, text] : {std::pair{3e6, "3e6"}, {2e5, "2e5"}, {1.5e6, "1.5e6"},
                                   {999999.9, "1e6"}, {65000.0, "6.5e4"}})
        EXPECT_EQ(reynoldsText(re), text);

    RunCase c{"NACA 0012", "Hess", "inviscid", 0, 0, 0, ""};
    EXPECT_EQ(defaultRunName(c), "NACA 0012, inviscid, Hess");
    c.mach = 0.3;
    EXPECT_EQ(defaultRunName(c), "NACA 0012, inviscid, M 0.3, Hess");
    RunCase v{"NACA 4415", "Vortex panel", "one-way boundary layer on the inviscid flow, e^n transition",
              3e6, 9, 0, ""};
    EXPECT_EQ(defaultRunName(v), "NACA 4415, Re 3e6, Ncrit 9, one-way layer, Vortex panel");
    v.model = kCoupledModel;
    EXPECT_EQ(defaultRunName(v), "NACA 4415, Re 3e6, Ncrit 9, viscous (coupled), Vortex panel");
    // A viscous polar read from a file keeps its name as before.
    v.model = "viscous";
    EXPECT_EQ(defaultRunName(v), "NACA 4415, Re 3e6, Ncrit 9, Vortex panel");
}

// A coupled polar keeps its converged points with their viscous lift, drag
// and transition; its inviscid reference and the points that did not
// converge are not kept, and a refused method gives no run.
TEST(KeptRuns, aCoupledRunKeepsTheConvergedPointsWithTheirViscousCoefficients)
{
    NacaPolar p({PanelMethod::VortexPanel, PanelMethod::Hess});
    PolarResult& polar = p.polar;
    polar.coupledOptions.re = 2e5;
    polar.coupledOptions.ncrit = 7;
    polar.mach = 0;
    auto point = [](double alpha, double cl) {
        CoupledPoint c;
        c.alphaDeg = alpha;
        c.converged = true;
        c.CL = cl;
        c.CM = -0.0625;
        c.CD = 0.0125;
        c.CDp = 0.0025;
        c.CDf = 0.01;
        c.transitionUpper = 0.25;  // the lower surface laminar to the edge
        return c;
    };
    CoupledPoint stalled = notConvergedPoint(14, "stalled");
    stalled.lastIterateCL = 1.5;
    polar.coupled = {{point(-2, -0.25), point(0, 0), point(2, 0.25), point(4, 0.5), stalled}, {}};
    const std::vector<KeptRun> runs = keptRunsOf(p.press, polar);
    ASSERT_EQ(runs.size(), 1u);
    const KeptRun& run = runs[0];
    EXPECT_EQ(run.name, "NACA 0012, Re 2e5, Ncrit 7, viscous (coupled), Vortex panel");
    EXPECT_EQ(run.runCase.model, "viscous (coupled)");
    EXPECT_EQ(run.alpha, (std::vector<double>{-2, 0, 2, 4}));
    EXPECT_EQ(run.CL, (std::vector<double>{-0.25, 0, 0.25, 0.5}));
    for (const auto& [column, value] : {std::pair{&run.CD, 0.0125}, {&run.CDp, 0.0025},
                                        {&run.CM, -0.0625}, {&run.topXtr, 0.25}, {&run.botXtr, 1.0}})
        EXPECT_EQ(*column, std::vector<double>(4, value)) << value;
    const std::vector<std::string> text = lines(keptRunCsvText(run));
    EXPECT_EQ(std::vector<std::string>(text.begin() + 3, text.begin() + 6),
              (std::vector<std::string>{"# model: viscous (coupled)", "# Re: 2e5", "# Ncrit: 7"}));
    EXPECT_EQ(text.back(), "4,0.5,0.0025,-0.0625,0.0125,0.25,1");
    // Its CL is viscous: the drag polar's axis says plain CL.
    const PlotData dragPolar{"Drag polar", "CD", "CL (inviscid)", false, false, {}};
    EXPECT_EQ(withKeptRuns(dragPolar, runs, KeptPlot::DragPolar).yLabel, "CL");
}

// With a boundary layer a run keeps, like its polar file, only the angles
// whose layer gave a reliable drag, and every drag column for them.
TEST(KeptRuns, aOneWayLayerRunKeepsTheReliableAnglesWithTheirDrag)
{
    BoundaryLayerSetup layer;
    layer.Re = 3e6;
    layer.transition.criterion = TransitionCriterion::Envelope;
    layer.transition.Ncrit = 9;
    NacaPolar p({PanelMethod::VortexPanel}, 0, layer);
    const std::vector<KeptRun> runs = keptRunsOf(p.press, p.polar);
    ASSERT_EQ(runs.size(), 1u);
    const KeptRun& run = runs[0];
    EXPECT_EQ(run.name, "NACA 0012, Re 3e6, Ncrit 9, one-way layer, Vortex panel");
    std::size_t reliable = 0;
    for (const ViscousPoint& v : p.polar.viscous[0]) reliable += v.ok && v.reliable;
    ASSERT_GT(reliable, 0u);
    ASSERT_EQ(run.rows(), reliable);
    ASSERT_EQ(run.CD.size(), reliable);
    ASSERT_EQ(run.topXtr.size(), reliable);
    for (std::size_t i = 0, r = 0; i < p.polar.viscous[0].size(); ++i) {
        const ViscousPoint& v = p.polar.viscous[0][i];
        if (!v.ok || !v.reliable) continue;
        EXPECT_EQ(run.alpha[r], v.alphaDeg);
        EXPECT_EQ(run.CD[r], v.CD);
        EXPECT_EQ(run.CDp[r], v.CD - v.CDfriction);
        EXPECT_EQ(run.topXtr[r], transitionXc(v.transitionUpper));
        ++r;
    }
}

TEST(KeptRuns, theCsvOfARunNamesItsCaseAboveRowsThatReadBackExactly)
{
    NacaPolar p({PanelMethod::Hess}, 0.3);
    KeptRun run = keptRunsOf(p.press, p.polar)[0];
    run.name = "my first polar";
    const std::vector<std::string> text = lines(keptRunCsvText(run));
    const std::vector<std::string> head = {"# polar: my first polar",
                                           "# airfoil: NACA 0012",
                                           "# method: Hess",
                                           "# model: inviscid",
                                           "# Re: none",
                                           "# Ncrit: none",
                                           "# Mach: 0.3",
                                           "# alpha range: -2 to 4 deg (4 angles)",
                                           "# from: 61 points, \u03b7 = 0\u00b0, Prandtl-Glauert",
                                           "alpha,CL,CDp_inviscid,CM"};
    ASSERT_GE(text.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(text.begin(), text.begin() + head.size()), head);
    // The angles where the correction holds at M = 0.3: at 14 degrees the
    // flow is past the critical Mach number, so the range ends at 4.
    ASSERT_EQ(run.rows(), 4u);
    ASSERT_EQ(text.size(), head.size() + run.rows());
    for (std::size_t i = 0; i < run.rows(); ++i) {
        const std::string& row = text[head.size() + i];
        const std::size_t c1 = row.find(','), c2 = row.find(',', c1 + 1);
        EXPECT_EQ(exactNumber(row.substr(0, c1)), run.alpha[i]);
        EXPECT_EQ(exactNumber(row.substr(c1 + 1, c2 - c1 - 1)), run.CL[i]);
    }

    // The table of a whole polar names its methods and the first method's angles.
    NacaPolar two({PanelMethod::Hess, PanelMethod::SoinneLaine});
    const std::vector<std::string> lines2 = lines(polarCaseLines(two.press, two.polar));
    EXPECT_EQ(lines2[1], "# method: Hess, Soinne-Laine");
    EXPECT_EQ(lines2[6], "# alpha range: -2 to 14 deg (5 angles)");
}

TEST(KeptRuns, shownRunsAddOneSeriesEachAndOnlyRunsWithDragReachTheDragPlots)
{
    NacaPolar p({PanelMethod::Hess, PanelMethod::VortexPanel});
    std::vector<KeptRun> runs = keptRunsOf(p.press, p.polar);
    const KeptRun viscous{.name = "with drag", .runCase = {}, .alpha = {0, 4}, .CL = {0.1, 0.5},
                          .CD = {0.006, 0.008}, .CDp = {0.001, 0.002}, .CM = {-0.01, -0.02},
                          .topXtr = {0.5, 0.3}, .botXtr = {0.6, 0.8}};
    runs.push_back(viscous);
    const PlotData base{"Lift coefficient", "\u03b1 (deg)", "CL", false, false, {}};

    const PlotData lift = withKeptRuns(base, runs, KeptPlot::Lift);
    ASSERT_EQ(lift.series.size(), 3u);
    EXPECT_EQ(lift.series[0].name, "NACA 0012, inviscid, Hess");
    EXPECT_EQ(lift.series[0].y, runs[0].CL);
    EXPECT_NE(lift.series[0].colour, lift.series[1].colour);
    EXPECT_GE(lift.series[0].colour, kFirstKeptColour);  // not a method's colour

    runs[1].shown = false;
    const PlotData hidden = withKeptRuns(base, runs, KeptPlot::Moment);
    ASSERT_EQ(hidden.series.size(), 2u);
    EXPECT_EQ(hidden.series[1].name, "with drag");
    EXPECT_EQ(hidden.series[1].y, viscous.CM);
    // The colour belongs to the run, not to its place among the shown ones.
    EXPECT_EQ(hidden.series[1].colour, lift.series[2].colour);

    const PlotData polar = withKeptRuns(base, runs, KeptPlot::DragPolar);
    ASSERT_EQ(polar.series.size(), 1u);
    EXPECT_EQ(polar.series[0].x, viscous.CD);
    EXPECT_EQ(polar.series[0].y, viscous.CL);
    EXPECT_EQ(withKeptRuns(base, runs, KeptPlot::Drag).series[0].y, viscous.CD);
    // A viscous file's CL is not inviscid: the drag polar's axis says plain CL.
    const PlotData dragPolar{"Drag polar", "CD", "CL (inviscid)", false, false, {}};
    EXPECT_EQ(withKeptRuns(dragPolar, runs, KeptPlot::DragPolar).yLabel, "CL");
    runs.back().runCase.model = "one-way boundary layer on the inviscid flow, Michel transition";
    EXPECT_EQ(withKeptRuns(dragPolar, runs, KeptPlot::DragPolar).yLabel, "CL (inviscid)");

    // Transition: upper solid, lower dashed, in the run's colour.
    const PlotData transition = withKeptRuns(base, runs, KeptPlot::Transition);
    ASSERT_EQ(transition.series.size(), 2u);
    EXPECT_EQ(transition.series[0].name, "with drag upper");
    EXPECT_EQ(transition.series[0].y, viscous.topXtr);
    EXPECT_EQ(transition.series[1].name, "with drag lower");
    EXPECT_EQ(transition.series[1].role, Series::Role::LowerSurface);
    EXPECT_EQ(transition.series[1].y, viscous.botXtr);
    EXPECT_EQ(transition.series[1].colour, transition.series[0].colour);
}

}  // namespace
}  // namespace tavrix
