// The plots and files of the coupled analysis as the window shows them: on
// hand-made points, which angles are joined into the curves and which are
// marked hollow with their reason; the pressure, displacement body and layer
// of a wedge whose answers follow from its geometry; and one real polar of
// the NACA 0012 on xfoil's nodes against xfoil's own polar.
#include "output/CoupledSeries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/ContourTables.h"
#include "geometry/AirfoilFile.h"
#include "output/XfoilPolarFile.h"
#include "support/Session.h"
#include "viscous/InviscidCoupling.h"

namespace tavrix {
namespace {

using coupled::Side;
using coupled::StationResult;

const Series* find(const PlotData& plot, const std::string& name)
{
    for (const Series& s : plot.series)
        if (s.name == name) return &s;
    return nullptr;
}

// The series of that name; a missing one fails the test and reads as empty.
const Series& named(const PlotData& plot, const std::string& name)
{
    if (const Series* s = find(plot, name)) return *s;
    ADD_FAILURE() << "no series " << name;
    static const Series none;
    return none;
}

// A curve's points as one value: its abscissae and its ordinates.
using Points = std::pair<std::vector<double>, std::vector<double>>;
Points xy(const Series& s) { return {s.x, s.y}; }

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

CoupledPoint converged(double alpha, double cl, double cd)
{
    CoupledPoint p;
    p.alphaDeg = alpha;
    p.converged = true;
    p.CL = cl;
    p.CD = cd;
    p.CDp = p.CDf = 0.5 * cd;
    p.CM = -alpha / 64;
    p.transitionUpper = 0.5 - alpha / 32;
    return p;  // laminar to the trailing edge below
}

CoupledPoint stalled(double alpha, const std::string& reason, std::optional<double> cl,
                     std::optional<double> cd)
{
    CoupledPoint p = notConvergedPoint(alpha, reason);
    p.lastIterateCL = cl;
    p.lastIterateCD = cd;
    return p;
}

const std::string kStalled = "the Newton steps stalled, \"residual\" 0.003";

// Vortex panel: converged up to 14 degrees with the largest lift at 12, at
// 16 a point that stopped where its iterate had CL 1.0, at 18 one whose
// iterate was not finite. Hess refused (an empty row, as a method the
// coupling does not take). Soinne-Laine: two converged points.
PolarResult handMadePolar()
{
    PolarResult polar;
    polar.methods = {PanelMethod::VortexPanel, PanelMethod::Hess, PanelMethod::SoinneLaine};
    std::vector<OperatingPoint> inviscid;  // the reference, CL = alpha / 8
    for (double a : {0, 5, 10, 12, 14, 16, 18}) inviscid.push_back({a, a / 8, 0, 0, {}, {}, {}, {}, {}});
    polar.points.assign(3, inviscid);
    polar.coupled = {{converged(0, 0, 0.005), converged(5, 0.55, 0.006), converged(10, 1.05, 0.009),
                      converged(12, 1.2, 0.012), converged(14, 1.1, 0.02),
                      stalled(16, kStalled, 1.0, 0.05), stalled(18, "no finite iterate", {}, {})},
                     {},
                     {converged(0, 0, 0.0051), converged(5, 0.54, 0.0062),
                      stalled(10, "cancelled before this angle was solved", {}, {})}};
    polar.coupledOptions.re = 3e6;
    polar.coupledOptions.ncrit = 9;
    polar.message = "Hess: not coupled";
    return polar;
}

TEST(CoupledPolarPlots, curvesJoinConvergedPointsAndMarkTheOthersHollowWithTheirReason)
{
    const PolarResult polar = handMadePolar();
    const PlotData lift = coupledLiftPlot(polar);
    EXPECT_EQ(lift.xLabel, "\u03b1 (deg)");
    EXPECT_EQ(lift.yLabel, "CL");

    const Series& curve = named(lift, "Vortex panel");
    EXPECT_TRUE(curve.joined);
    EXPECT_FALSE(curve.hollow);
    EXPECT_EQ(xy(curve), (Points{{0, 5, 10, 12, 14}, {0, 0.55, 1.05, 1.2, 1.1}}));
    EXPECT_EQ(curve.colour, static_cast<int>(PanelMethod::VortexPanel));

    // Only the point with a finite last iterate, at that iterate, with its reason.
    const Series& hollow = named(lift, "Vortex panel not converged");
    EXPECT_FALSE(hollow.joined);
    EXPECT_TRUE(hollow.hollow);
    EXPECT_TRUE(drawsMarkers(hollow));
    EXPECT_EQ(xy(hollow), (Points{{16}, {1.0}}));
    EXPECT_EQ(hollow.notes, (std::vector<std::string>{kStalled}));
    EXPECT_EQ(hollow.colour, curve.colour);
    // Soinne-Laine's unconverged point has no iterate: nothing to mark.
    EXPECT_EQ(find(lift, "Soinne-Laine not converged"), nullptr);

    const Series& reference = named(lift, "Vortex panel inviscid");
    EXPECT_EQ(reference.role, Series::Role::Reference);
    EXPECT_EQ(reference.x.size(), 7u);
    EXPECT_EQ(reference.y.at(6), 2.25);

    // The refused method draws nothing.
    for (const Series& s : lift.series) EXPECT_EQ(s.name.find("Hess"), std::string::npos) << s.name;

    // The maximum at 12 degrees; Soinne-Laine's lift still rises: none.
    const auto m = polarLiftMaximum(polar, 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->cl, 1.2);
    EXPECT_EQ(m->alphaDeg, 12);
    for (std::size_t k : {1, 2, 7}) EXPECT_FALSE(polarLiftMaximum(polar, k)) << k;
    // Two methods with points: the marker names its method.
    const Series& clmax = named(lift, "Vortex panel CLmax = 1.20 at \u03b1 = 12\u00b0");
    EXPECT_FALSE(clmax.joined);
    EXPECT_TRUE(clmax.highlighted);
    EXPECT_EQ(xy(clmax), (Points{{12}, {1.2}}));

    // One coupled method: the marker is the maximum's alone.
    PolarResult single = polar;
    single.methods.resize(1);
    single.points.resize(1);
    single.coupled.resize(1);
    EXPECT_NE(find(coupledLiftPlot(single), "CLmax = 1.20 at \u03b1 = 12\u00b0"), nullptr);

    // What is drawn is what is exported: the hollow points and the maximum too.
    const std::vector<std::string> csv = lines(csvText(lift));
    EXPECT_EQ(std::ranges::count(csv, "Vortex panel not converged,16,1"), 1);
    EXPECT_EQ(std::ranges::count(csv, "Vortex panel CLmax = 1.20 at α = 12°,12,1.2"), 1);

    // Drag: hollow at the last iterate's drag.
    const PlotData drag = coupledDragPlot(polar);
    EXPECT_EQ(named(drag, "Vortex panel").x, (std::vector<double>{0, 5, 10, 12, 14}));
    EXPECT_EQ(named(drag, "Vortex panel not converged").y, (std::vector<double>{0.05}));
    EXPECT_EQ(named(drag, "Vortex panel not converged").notes, (std::vector<std::string>{kStalled}));

    // Drag polar, moment and transition: converged points only, nothing hollow.
    const PlotData polarPlot = coupledDragPolarPlot(polar);
    EXPECT_EQ(xy(named(polarPlot, "Soinne-Laine")), (Points{{0.0051, 0.0062}, {0, 0.54}}));
    EXPECT_EQ(find(coupledMomentPlot(polar), "Vortex panel not converged"), nullptr);
    const PlotData transition = coupledTransitionPlot(polar);
    EXPECT_EQ(named(transition, "Vortex panel upper").y,
              (std::vector<double>{0.5, 0.34375, 0.1875, 0.125, 0.0625}));
    // Laminar to the trailing edge reads 1.
    EXPECT_EQ(named(transition, "Vortex panel lower").y, (std::vector<double>(5, 1.0)));
    EXPECT_EQ(named(transition, "Vortex panel lower").role, Series::Role::LowerSurface);
}

TEST(CoupledPolarPlots, csvHasARowPerAngleWithEmptyNumbersAndTheReasonQuotedUnderItsCase)
{
    PressCase press;
    press.common.AirfoilName = "Test section";
    press.common.NP = 161;
    const PolarResult polar = handMadePolar();
    const std::vector<std::string> rows = lines(coupledPolarCsvText(press, polar));
    const auto header = std::find(
        rows.begin(), rows.end(),
        "method,alpha,converged,CL,CD,CDp,CDf,CM,Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,CL_inviscid,"
        "reason");
    ASSERT_NE(header, rows.end());
    EXPECT_EQ(rows[0], "# airfoil: Test section");
    EXPECT_NE(std::find(rows.begin(), header, "# model: viscous (coupled)"), header);
    EXPECT_NE(std::find(rows.begin(), header, "# Re: 3e6"), header);
    EXPECT_NE(std::find(rows.begin(), header, "# Hess: not coupled"), header);
    // 7 Vortex panel angles, none of the refused Hess, 3 Soinne-Laine angles.
    const std::vector<std::string> table(header + 1, rows.end());
    ASSERT_EQ(table.size(), 10u);
    EXPECT_EQ(table[1], "Vortex panel,5,yes,0.55,0.006,0.003,0.003,-0.078125,0.34375,1,,,0.625,");
    EXPECT_EQ(table[5],
              "Vortex panel,16,no,,,,,,,,,,2,\"the Newton steps stalled, \"\"residual\"\" 0.003\"");
    EXPECT_EQ(table[6], "Vortex panel,18,no,,,,,,,,,,2.25,\"no finite iterate\"");
    EXPECT_EQ(table[9].substr(0, 16), "Soinne-Laine,10,");

    // The case the plots are titled with: section, method, model, Reynolds
    // number, Ncrit, trips and angles.
    press.common.AirfoilName = "NACA 4415";
    coupled::CoupledOptions o;
    o.re = 3e6;
    o.ncrit = 9;
    const std::vector<double> alphas = {0, -4, 20};
    EXPECT_EQ(coupledCaseText(press, "Vortex panel", o, alphas),
              "NACA 4415, Vortex panel, viscous (coupled), Re 3e6, Ncrit 9, M 0, \u03b1 \u22124\u00b0 "
              "to 20\u00b0");
    o.tripLowerX = 0.5;
    EXPECT_EQ(coupledCaseText(press, "", o, {}),
              "NACA 4415, viscous (coupled), Re 3e6, Ncrit 9, lower trip x/c 0.5, M 0");
}

// A symmetric wedge of chord 2, its faces y = ±0.1 x from the nose at the
// origin: stations at x = 0.5, 1, 1.5, 2 on each face (and the nose on the
// upper face), the wake along y = 0 from x = 2.2 to 3. The layer turns
// turbulent between x = 1 and 1.5 on the upper face; the lower face stays
// laminar. Stations are listed as the solver lists them: the lower face from
// the trailing edge to the nose, the upper face aft, then the wake.
CoupledPoint wedge()
{
    CoupledPoint p;
    p.converged = true;
    const double xs[] = {0.5, 1, 1.5, 2};
    for (int j = 3; j >= 0; --j)
        p.stations.push_back({.side = Side::Lower, .x = xs[j], .y = -0.1 * xs[j], .xi = xs[j],
                              .q = -0.75, .ue = 0.75, .theta = 0.004 * (j + 1),
                              .dstar = 0.01 * (j + 1), .H = 2.5, .cf = 0.004, .n = j + 1.0});
    p.stations.push_back({.q = 0.25, .ue = 0.25, .theta = 0.001, .dstar = 0.002, .H = 2});  // nose
    for (int j = 0; j < 4; ++j) {
        const bool turbulent = j >= 2;
        const double q = 1.25 - 0.125 * j;
        p.stations.push_back({.side = Side::Upper, .x = xs[j], .y = 0.1 * xs[j], .xi = xs[j], .q = q,
                              .ue = q, .theta = 0.01 * (j + 1), .dstar = 0.02 * (j + 1), .H = 2,
                              .cf = j == 3 ? -0.001 : 0.003, .turbulent = turbulent,
                              .n = turbulent ? 0 : 2.0 * j, .ctau = turbulent ? 0.01 : 0});
    }
    for (double x : {2.2, 2.6, 3.0})
        p.stations.push_back({.side = Side::Wake, .x = x, .xi = x - 2, .q = 0.95, .ue = 0.95,
                              .theta = 0.05, .dstar = 0.1, .H = 2, .turbulent = true, .ctau = 0.02});
    p.transitionUpper = 1.25;  // midway between the stations at 1 and 1.5
    p.separationUpper = 1.875;  // Cf from 0.003 to -0.001: at three quarters
    return p;
}

TEST(CoupledPointPlots, pressureIsQSquaredMinusOneOnTheChordOfTheStationsAloneAndSideBySide)
{
    PlotData inviscid{"Pressure distribution", "x/c", "\u2212Cp", false, false, {}};
    inviscid.series.push_back({"Vortex panel, upper", Series::Role::Computed, 1, false, {0, 1}, {1, 0}});
    inviscid.series.push_back({"Vortex panel, lower", Series::Role::LowerSurface, 1, false, {0, 1}, {0, 0}});
    const PlotData plot = coupledPressurePlot(wedge(), inviscid, PanelMethod::VortexPanel);
    const Series& refUpper = named(plot, "Vortex panel inviscid, upper");
    EXPECT_EQ(refUpper.role, Series::Role::Reference);
    EXPECT_EQ(refUpper.y, (std::vector<double>{1, 0}));
    ASSERT_NE(find(plot, "Vortex panel inviscid, lower"), nullptr);

    const Series& upper = named(plot, "Vortex panel, upper");
    EXPECT_EQ(upper.role, Series::Role::Computed);
    EXPECT_EQ(upper.colour, static_cast<int>(PanelMethod::VortexPanel));
    // Chord 2 from x = 0 (the nose station) to 2.
    EXPECT_EQ(xy(upper),
              (Points{{0, 0.25, 0.5, 0.75, 1}, {-0.9375, 0.5625, 0.265625, 0, -0.234375}}));
    const Series& lower = named(plot, "Vortex panel, lower");
    EXPECT_EQ(lower.role, Series::Role::LowerSurface);
    EXPECT_EQ(xy(lower), (Points{{0.25, 0.5, 0.75, 1}, std::vector<double>(4, -0.4375)}));

    // Transition at x = 1.25: x/c 0.625, -Cp midway between 1.125² - 1 and 1² - 1.
    const Series& transition = named(plot, "Transition upper");
    EXPECT_FALSE(transition.joined);
    EXPECT_DOUBLE_EQ(transition.x.at(0), 0.625);
    EXPECT_EQ(transition.y.at(0), 0.1328125);
    // Separation behind the transition: of the turbulent layer.
    const Series& separation = named(plot, "Turbulent separation upper");
    EXPECT_EQ(separation.x.at(0), 0.9375);
    EXPECT_EQ(separation.y.at(0), 0.75 * -0.234375);
    EXPECT_EQ(find(plot, "Transition lower"), nullptr);

    // A point that did not converge: the inviscid curves alone.
    const PlotData none = coupledPressurePlot(notConvergedPoint(3, "x"), inviscid, PanelMethod::VortexPanel);
    EXPECT_EQ(none.series.size(), 2u);

    // The coupled methods side by side: each converged one's two surfaces in
    // its own colour, nothing of one that did not converge, no markers.
    const std::vector<CoupledPoint> points = {wedge(), notConvergedPoint(3, "x"), wedge()};
    const std::vector<PanelMethod> methods = {PanelMethod::VortexPanel, PanelMethod::Hess,
                                              PanelMethod::SoinneLaine};
    const PlotData compared = coupledPressureComparison(points, methods);
    std::vector<std::string> names;
    for (const Series& s : compared.series) names.push_back(s.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Vortex panel, upper", "Vortex panel, lower",
                                               "Soinne-Laine, upper", "Soinne-Laine, lower"}));
    EXPECT_EQ(compared.series[0].colour, methodColour(PanelMethod::VortexPanel));
    EXPECT_EQ(compared.series[2].colour, methodColour(PanelMethod::SoinneLaine));
    const PlotData alone = coupledPressurePlot(wedge(), {}, PanelMethod::SoinneLaine);
    EXPECT_EQ(compared.series[2].y, named(alone, "Soinne-Laine, upper").y);
}

TEST(CoupledPointPlots, displacementBodyLiesOutsideEachFaceByDeltaStarAndTheLayerOnItsStations)
{
    const PlotData plot = displacementBodyPlot(wedge());
    EXPECT_EQ(plot.xLabel, "x/c");
    const Series& body = named(plot, "Displacement body");
    // Lower face from the trailing edge forward, then the upper face aft.
    ASSERT_EQ(body.x.size(), 9u);
    // The faces' outward normals: (-0.1, 1) / sqrt(1.01) above, (-0.1, -1) /
    // sqrt(1.01) below; in chords of 2.
    const double r = std::sqrt(1.01);
    // Upper station at x = 1 (j = 1): delta* = 0.04.
    EXPECT_NEAR(body.x[6], (1 - 0.04 * 0.1 / r) / 2, 1e-15);
    EXPECT_NEAR(body.y[6], (0.1 + 0.04 / r) / 2, 1e-15);
    // Lower station at x = 1.5 (j = 2): delta* = 0.03, below the face.
    EXPECT_NEAR(body.x[1], (1.5 - 0.03 * 0.1 / r) / 2, 1e-15);
    EXPECT_NEAR(body.y[1], (-0.15 - 0.03 / r) / 2, 1e-15);
    // The first lower station (x = 0.5, delta* 0.01), its normal one-sided.
    EXPECT_NEAR(body.y[3], (-0.05 - 0.01 / r) / 2, 1e-15);

    // The wake beyond the trailing edge, half its delta* to either side.
    EXPECT_EQ(named(plot, "Wake centre line").x, (std::vector<double>{1.1, 1.3, 1.5}));
    for (double y : named(plot, "Wake \u03b4*/2 above").y) EXPECT_DOUBLE_EQ(y, 0.025);
    for (double y : named(plot, "Wake \u03b4*/2 below").y) EXPECT_DOUBLE_EQ(y, -0.025);

    // Transition on the upper face at x = 1.25, y = 0.125 (in chords: 0.0625).
    EXPECT_DOUBLE_EQ(named(plot, "Transition upper").y.at(0), 0.0625);

    // The layer's quantities on their stations, the wake beyond the trailing edge.
    const CoupledPoint p = wedge();
    const PlotData dstar = coupledLayerPlot(p, CoupledLayerQuantity::DisplacementThickness);
    EXPECT_EQ(dstar.yLabel, "\u03b4* / c");
    EXPECT_EQ(named(dstar, "Wake").x, (std::vector<double>{1.1, 1.3, 1.5}));
    for (double y : named(dstar, "Wake").y) EXPECT_DOUBLE_EQ(y, 0.05);  // 0.1 of a chord of 2
    EXPECT_EQ(named(dstar, "Upper surface").x, (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));

    // The amplification on laminar airfoil stations only: upper up to x = 1.
    const PlotData n = coupledLayerPlot(p, CoupledLayerQuantity::Amplification);
    EXPECT_EQ(xy(named(n, "Upper surface")), (Points{{0, 0.25, 0.5}, {0, 0, 2}}));
    EXPECT_EQ(named(n, "Lower surface").y, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(find(n, "Wake"), nullptr);
    // The shear stress on the turbulent ones and the wake.
    const PlotData ctau = coupledLayerPlot(p, CoupledLayerQuantity::ShearStress);
    EXPECT_EQ(named(ctau, "Upper surface").x, (std::vector<double>{0.75, 1}));
    EXPECT_TRUE(named(ctau, "Lower surface").x.empty());
    EXPECT_EQ(named(ctau, "Wake").y, (std::vector<double>{0.02, 0.02, 0.02}));
    // No wall in the wake: no friction there.
    EXPECT_EQ(find(coupledLayerPlot(p, CoupledLayerQuantity::SkinFriction), "Wake"), nullptr);
    EXPECT_TRUE(coupledLayerPlot(notConvergedPoint(1, "x"), CoupledLayerQuantity::Theta)
                    .series.empty());
}

TEST(CoupledPolarRun, naca0012AtRe3e6AgreesWithXfoilAndCountsItsAngles)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "three angles of dense Newton steps; run in the optimised build";
#endif
    // The NACA 0012 on xfoil's 161 nodes.
    testing::Session s;
    const auto read = readAirfoilFileContour(
        std::string(TAVRIX_SOURCE_DIR) + "/tests/data/xfoil_viscous/naca0012_161.dat",
        "naca0012_161.dat");
    ASSERT_TRUE(std::holds_alternative<Contour>(read));
    ASSERT_TRUE(showContourInUse(s.c, s.tk, std::get<Contour>(read), ContourSource::File));
    s.tk.type("Text_AlfaD", "2");
    s.tk.select(methodOption(PanelMethod::SoinneLaine));
    s.press();
    ASSERT_TRUE(s.form.lastPressCompleted());
    FlowSetup setup;
    setup.method = PanelMethod::SoinneLaine;
    const PressCase press = makePressCase(s.c, setup, std::nullopt);
    coupled::CoupledOptions o;
    o.re = 3e6;
    o.ncrit = 9;
    o.monitor = [](const coupled::IterationReport&) {};
    const std::vector<double> alphas = {0, 2, 4};
    const PanelMethod methods[] = {PanelMethod::SoinneLaine};
    std::vector<std::size_t> asked;
    const PolarResult polar = computeCoupledPolar(press, methods, alphas, o,
                                                  [&](std::size_t done, std::size_t total) {
                                                      EXPECT_EQ(total, 3u);
                                                      asked.push_back(done);
                                                      return true;
                                                  });
    EXPECT_TRUE(polar.message.empty()) << polar.message;
    EXPECT_FALSE(polar.cancelled);
    EXPECT_FALSE(polar.coupledOptions.monitor);  // the polar keeps no caller's callback
    ASSERT_EQ(polar.points.size(), 1u);
    ASSERT_EQ(polar.coupled.size(), 1u);
    ASSERT_EQ(polar.coupled[0].size(), 3u);
    // Asked before each angle at least, counting up to the total.
    ASSERT_GE(asked.size(), 3u);
    EXPECT_TRUE(std::is_sorted(asked.begin(), asked.end()));
    EXPECT_EQ(asked.front(), 0u);
    EXPECT_LE(asked.back(), 3u);

    const auto xfoil = readXfoilPolarFile(std::string(TAVRIX_SOURCE_DIR) +
                                          "/tests/data/xfoil_viscous/naca0012_re3e6.pol");
    ASSERT_TRUE(xfoil.ok());
    for (std::size_t i = 0; i < alphas.size(); ++i) {
        const CoupledPoint& p = polar.coupled[0][i];
        ASSERT_TRUE(p.converged) << alphas[i] << ": " << p.reason;
        std::size_t row = 0;
        while (row < xfoil->rows() && xfoil->alpha[row] != alphas[i]) ++row;
        ASSERT_LT(row, xfoil->rows());
        // Lift within 4 % (and 0.005 at zero lift), drag within 15 %.
        EXPECT_NEAR(p.CL, xfoil->CL[row], std::max(0.005, 0.04 * xfoil->CL[row]));
        EXPECT_NEAR(p.CD, xfoil->CD[row], 0.15 * xfoil->CD[row]);
        // The inviscid reference at M = 0 lies above the viscous lift.
        if (alphas[i] > 0) { EXPECT_GT(polar.points[0][i].CL, p.CL); }
    }
    // The plots of this polar: three joined points, nothing hollow.
    const PlotData lift = coupledLiftPlot(polar);
    EXPECT_EQ(named(lift, "Soinne-Laine").x, alphas);
    EXPECT_EQ(find(lift, "Soinne-Laine not converged"), nullptr);
    EXPECT_NE(find(lift, "Soinne-Laine inviscid"), nullptr);
}

TEST(CoupledPolarRun, methodsRefusedKeepTheirPlaceWithAnEmptyRowAndTheirReason)
{
    // Every method the coupling does not take is reported, not swept.
    {
        testing::Session s;
        s.chooseNaca("61");
        s.press();
        const PressCase press = makePressCase(s.c, FlowSetup{}, std::nullopt);
        const double alphas[] = {0};
        for (PanelMethod m : kAllMethods) {
            if (coupled::couplingAvailable(m)) continue;
            const PanelMethod one[] = {m};
            const PolarResult polar = computeCoupledPolar(press, one, alphas, {});
            ASSERT_EQ(polar.coupled.size(), 1u);
            EXPECT_TRUE(polar.coupled[0].empty());
            EXPECT_NE(polar.message.find(coupled::couplingRefusal(m).message), std::string::npos);
        }
    }
    // A method whose panels are refused: Soinne-Laine on more end points
    // than its system holds, said once though both analyses refuse it.
    testing::Session s;
    s.chooseNaca(std::to_string(kMaxPoints));
    s.chooseMethod("Option_HESS");
    s.press();
    ASSERT_TRUE(s.form.lastPressCompleted());
    const PressCase press = makePressCase(s.c, FlowSetup{}, std::nullopt);
    const PanelMethod methods[] = {PanelMethod::SoinneLaine};
    const double alphas[] = {0, 1};
    const PolarResult polar = computeCoupledPolar(press, methods, alphas, {});
    ASSERT_EQ(polar.coupled.size(), 1u);
    EXPECT_TRUE(polar.coupled[0].empty());
    EXPECT_EQ(polar.message, "Soinne-Laine: This panel method allows at most " +
                                 std::to_string(kMaxPoints - 1) + " panel end points");
    EXPECT_TRUE(coupledLiftPlot(polar).series.empty());
    // The single point likewise: not converged, with the refusal as reason.
    const CoupledPoint p = computeCoupledPoint(press, PanelMethod::SoinneLaine, {});
    EXPECT_FALSE(p.converged);
    EXPECT_NE(p.reason.find("allows at most"), std::string::npos);
}

}  // namespace
}  // namespace tavrix
