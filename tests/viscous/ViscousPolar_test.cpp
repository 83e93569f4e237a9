// The boundary layer on the angles of a sweep against the layer after a press.
#include "app/PressSolvers.h"
#include "viscous/ViscousPolar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Session.h"
#include "viscous/SurfaceFlow.h"

namespace tavrix {
namespace {

void expectSamePoint(const SurfacePoint& a, const SurfacePoint& b, const std::string& where)
{
    EXPECT_EQ(a.found, b.found) << where;
    EXPECT_EQ(a.s, b.s) << where;
    EXPECT_EQ(a.xc, b.xc) << where;
}

TEST(ViscousPolar, eachAngleHasTheLayerOfAPressAtThatAngle)
{
    const std::vector<double> alphas = {-3, 0, 2.5, 6, 14};
    BoundaryLayerSetup layer;
    layer.Re = 2e6;
    for (PanelMethod m : kAllMethods) {
        testing::Session s;
        s.chooseNaca("81");
        s.chooseMethod(methodOption(m));
        const SweepOutcome sweep = Sweep(s.c, {.method = m, .keepSignedSpeed = true}, alphas);
        ASSERT_EQ(sweep.points.size(), alphas.size()) << sweep.message;
        const std::vector<ViscousPoint> polar = ViscousPolar(sweep.points, layer);
        ASSERT_EQ(polar.size(), alphas.size());
        for (std::size_t a = 0; a < alphas.size(); ++a) {
            const std::string where = std::string(methodOption(m)) + " alpha " + std::to_string(alphas[a]);
            s.tk.type("Text_AlfaD", std::to_string(alphas[a]));
            s.press();
            ASSERT_TRUE(s.form.lastPressCompleted()) << where;
            const SurfaceFlow pressed = SurfaceFlowAfterPress(s.c);
            EXPECT_EQ(sweep.points[a].signedSpeed, pressed.speed) << where;
            const ViscousResult r = AnalyseBoundaryLayer(pressed, layer);
            const ViscousPoint& v = polar[a];
            ASSERT_EQ(v.ok, r.ok) << where;
            EXPECT_EQ(v.message, r.message) << where;
            EXPECT_EQ(v.CD, r.CD) << where;
            EXPECT_EQ(v.CDfriction, r.CDfriction) << where;
            EXPECT_EQ(v.reliable, r.reliable) << where;
            EXPECT_EQ(v.causeUpper, r.upper.transitionCause) << where;
            EXPECT_EQ(v.causeLower, r.lower.transitionCause) << where;
            expectSamePoint(v.transitionUpper, r.upper.transition, where + " transition upper");
            expectSamePoint(v.transitionLower, r.lower.transition, where + " transition lower");
            expectSamePoint(v.separationUpper, r.upper.turbulentSeparation, where + " upper");
            expectSamePoint(v.separationLower, r.lower.turbulentSeparation, where + " lower");
        }
    }
}

TEST(ViscousPolar, aSweepThatKeptNoEndPointsGivesNoLayer)
{
    testing::Session s;
    s.chooseNaca("41");
    const double alpha[] = {2};
    const SweepOutcome sweep = Sweep(s.c, FlowSetup{}, alpha);
    ASSERT_EQ(sweep.points.size(), 1u);
    EXPECT_TRUE(sweep.points[0].X.empty());
    BoundaryLayerSetup layer;
    layer.Re = 1e6;
    const ViscousPoint v = ViscousPointOf(sweep.points[0], layer);
    EXPECT_FALSE(v.ok);
    EXPECT_NE(v.message, "");
}

TEST(ViscousPolar, aSurfaceWithoutTransitionCountsAsLaminarToTheTrailingEdge)
{
    EXPECT_EQ(transitionXc(SurfacePoint{}), 1.0);
    EXPECT_EQ(transitionXc(SurfacePoint{.found = true, .xc = 0.375}), 0.375);
}

}  // namespace
}  // namespace tavrix
