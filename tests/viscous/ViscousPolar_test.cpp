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

// The signed speed rebuilt from what a press leaves in the state (the
// strengths, and for the Hess method its tangential coefficients), as each
// formulation defines the speed along the panel.
std::vector<double> signedSpeedFromState(const Common& c, PanelMethod method)
{
    std::vector<double> speed;
    for (int i = 1; i <= c.NPanel; ++i) {
        double v = 0;
        switch (method) {
        case PanelMethod::Hess:
            v = c.CosAlfa * c.CosDelta[i] + c.SinAlfa * c.SinDelta[i];
            for (int j = 1; j <= c.NP; ++j) v = v + c.AT(i, j) * c.Strength[j];
            break;
        case PanelMethod::VortexPanel:
        case PanelMethod::SoinneLaine: v = (c.Strength[i] + c.Strength[i + 1]) / 2; break;
        case PanelMethod::KennedyMarsden: v = -c.Strength[i]; break;
        }
        speed.push_back(v);
    }
    return speed;
}


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
            EXPECT_EQ(sweep.points[a].signedSpeed, signedSpeedFromState(s.c, m)) << where;
            const ViscousResult r = AnalyseBoundaryLayer(SurfaceFlowAfterPress(s.c), layer);
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
