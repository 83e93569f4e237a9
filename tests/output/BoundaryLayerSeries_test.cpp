#include "output/BoundaryLayerSeries.h"

#include <gtest/gtest.h>

namespace tavrix {
namespace {

TEST(ReynoldsBox, emptyOrZeroIsInviscidAndEverythingElseButANumberInRangeIsRefused)
{
    double Re = -1;
    std::string refusal = "x";
    for (const char* inviscid : {"", "   ", "0", "0.0"}) {
        EXPECT_FALSE(readReynolds(inviscid, Re, refusal)) << inviscid;
        EXPECT_EQ(refusal, "") << inviscid;
        EXPECT_EQ(Re, 0) << inviscid;
    }
    for (const auto& [text, value] :
         {std::pair{"3e6", 3e6}, {" 250000", 250000.0}, {"1e3", 1e3}, {"1e9", 1e9}}) {
        EXPECT_TRUE(readReynolds(text, Re, refusal)) << text;
        EXPECT_EQ(Re, value) << text;
    }
    // Text that is not a number would silently drop the layer, and a comma
    // would run at Re = 1.
    for (const char* text : {"abc", "1,5e6", "3e6 x"}) {
        EXPECT_FALSE(readReynolds(text, Re, refusal)) << text;
        EXPECT_EQ(refusal, "The Reynolds number must be a number: \"" + std::string(text) +
                               "\" (empty or 0: no boundary layer)");
        EXPECT_EQ(Re, 0);
    }
    for (const char* text : {"-3e6", "999", "1.000001e9", "1e-300", "1e-400"}) {
        EXPECT_FALSE(readReynolds(text, Re, refusal)) << text;
        EXPECT_EQ(refusal,
                  "The Reynolds number must be from 1e3 to 1e9 (empty or 0: no boundary layer)");
    }
    EXPECT_FALSE(readReynolds("1e999", Re, refusal));
    EXPECT_EQ(refusal, "Number too large: 1e999");
}

TEST(NcritBox, takesANumberFromAbove0To20Only)
{
    double Ncrit = 9;
    std::string refusal;
    EXPECT_TRUE(readNcrit(" 4.5", Ncrit, refusal));
    EXPECT_EQ(Ncrit, 4.5);
    for (const char* text : {"abc", "", "9x", "0", "20.5", "-1"}) {
        EXPECT_FALSE(readNcrit(text, Ncrit, refusal)) << text;
        EXPECT_EQ(refusal, "Ncrit must be a number greater than 0 and at most 20") << text;
        EXPECT_EQ(Ncrit, 4.5);
    }
}

TEST(LayerSummary, aSeparatedLayerLeadsWithItsUnreliableDragAndEndsWithTheCouplingNote)
{
    ViscousResult r;
    r.ok = true;
    r.CD = 0.05;
    r.reliable = false;
    r.lower.turbulentSeparation.found = true;
    r.lower.turbulentSeparation.xc = 0.625;
    const std::vector<std::string> lines = layerSummary(r);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front().rfind("CD NOT RELIABLE: the lower surface separates at x/c = 0.6250", 0),
              0u);
    EXPECT_EQ(lines.back(), kInviscidLiftNote);
    ViscousResult none;
    none.message = "No stagnation point";
    EXPECT_EQ(layerSummary(none), std::vector<std::string>{"No boundary layer: No stagnation point"});
}

TEST(PolarDrag, leavesOutTheAnglesWithoutAReliableLayer)
{
    PolarResult polar;
    polar.methods = {PanelMethod::Hess};
    polar.points.resize(1);
    ViscousPoint a, b, c;
    a.ok = b.ok = true;
    a.alphaDeg = 0;
    a.CD = 0.006;
    b.alphaDeg = 15;
    b.reliable = false;
    c.alphaDeg = 16;
    polar.viscous = {{a, b, c}};
    const PlotData drag = polarDragPlot(polar);
    ASSERT_EQ(drag.series.size(), 1u);
    EXPECT_EQ(drag.series[0].x, std::vector<double>{0});
    EXPECT_EQ(drag.series[0].y, std::vector<double>{0.006});
}

// A fine polar past the stall: 37 consecutive angles and a lone one are two
// runs on one short line, not 38 numbers.
TEST(PolarDrag, namesTheUnreliableAnglesAsRuns)
{
    PolarResult polar;
    polar.methods = {PanelMethod::Hess, PanelMethod::VortexPanel};
    polar.points.resize(2);
    std::vector<ViscousPoint> sweep;
    for (int i = 0; i <= 200; ++i) {  // -5 to 15 by 0.1
        ViscousPoint p;
        p.ok = true;
        p.alphaDeg = -5 + 0.1 * i;
        p.reliable = i < 164 || i == 190;  // 11.4 and above, but for 14
        sweep.push_back(p);
    }
    sweep[100].ok = false;  // alpha 5: no layer
    polar.viscous = {sweep, sweep};
    polar.viscous[1].assign(sweep.begin(), sweep.begin() + 100);  // all reliable
    const std::vector<std::string> marked = unreliableAngles(polar);
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_EQ(marked[0],
              "Hess: CD not reliable at \u03b1 5, 11.4 to 13.9 (26 angles), 14.1 to 15 "
              "(10 angles): turbulent separation ahead of x/c = 0.95, or no layer");
}

}  // namespace
}  // namespace tavrix
