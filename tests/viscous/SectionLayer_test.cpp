// The boundary layer on the speeds of a press, for every panel method.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "app/PressSolvers.h"
#include "support/Session.h"
#include "viscous/BoundaryLayer.h"
#include "viscous/SurfaceFlow.h"

namespace tavrix {
namespace {

BoundaryLayerSetup layerAt(double Re, std::optional<double> upper = {},
                           std::optional<double> lower = {}, TransitionModel model = {})
{
    BoundaryLayerSetup setup;
    setup.Re = Re;
    setup.forcedTransitionUpper = upper;
    setup.forcedTransitionLower = lower;
    setup.transition = model;
    return setup;
}

// Both free-transition criteria, the envelope at a quiet free stream's Ncrit.
const TransitionModel kCriteria[] = {{TransitionCriterion::Michel, 9},
                                     {TransitionCriterion::Envelope, 9}};

SurfaceFlow pressNaca(testing::Session& s, PanelMethod m, const std::string& points,
                      double alpha)
{
    s.chooseNaca(points);
    s.chooseMethod(methodOption(m));
    s.tk.type("Text_AlfaD", std::to_string(alpha));
    s.press();
    EXPECT_TRUE(s.form.lastPressCompleted());
    return SurfaceFlowAfterPress(s.c);
}

TEST(SurfaceFlow, signedSpeedIsTheSpeedOfThePressWithTheFlowDirection)
{
    for (PanelMethod m : kAllMethods) {
        testing::Session s;
        const SurfaceFlow f = pressNaca(s, m, "61", 5);
        ASSERT_EQ(f.speed.size(), 60u);
        ASSERT_EQ(f.X.size(), 61u);
        for (int i = 1; i <= 60; ++i)
            EXPECT_EQ(std::fabs(f.speed[i - 1]), s.c.Vt[i]) << methodOption(m) << " panel " << i;
        // Panels run from the trailing edge along the lower surface, so the
        // flow from the stagnation point (under the nose at 5 degrees) to the
        // trailing edge runs against them there, and with them on the upper
        // surface.
        for (int i = 1; i <= 25; ++i) EXPECT_LT(f.speed[i - 1], 0) << methodOption(m) << " panel " << i;
        for (int i = 32; i <= 60; ++i) EXPECT_GT(f.speed[i - 1], 0) << methodOption(m) << " panel " << i;
    }
}

TEST(SectionLayer, dragGrowsAndUpperTransitionMovesForwardWithIncidence)
{
    for (const TransitionModel& model : kCriteria)
    for (PanelMethod m : kAllMethods) {
        double lastCD = 0, lastUpper = 2, lastLower = -1;
        for (double alpha : {0.0, 2.0, 4.0, 6.0}) {
            SCOPED_TRACE(::testing::Message() << methodOption(m) << " alpha " << alpha);
            testing::Session s;
            const ViscousResult r = AnalyseBoundaryLayer(pressNaca(s, m, "121", alpha),
                                                         layerAt(3e6, {}, {}, model));
            ASSERT_TRUE(r.ok) << r.message;
            ASSERT_TRUE(r.upper.transition.found);
            EXPECT_DOUBLE_EQ(r.CD, r.upper.CD + r.lower.CD);
            if (alpha == 0) {
                // The symmetric section: the same drag on both surfaces.
                EXPECT_NEAR(r.stagnation.xc, 0, 1e-9);
                EXPECT_GT(r.upper.CD, 0.002);
                EXPECT_NEAR(r.upper.CD / r.lower.CD, 1, 1e-9);
                EXPECT_NEAR(r.upper.transition.xc, r.lower.transition.xc, 1e-9);
                EXPECT_TRUE(r.reliable);
                // The friction is the larger part of a thin section's drag.
                EXPECT_GT(r.CDfriction, 0.5 * r.CD);
                EXPECT_LT(r.CDfriction, r.CD);
            }
            EXPECT_GT(r.CD, lastCD);
            EXPECT_LT(r.upper.transition.xc, lastUpper);
            EXPECT_GE(r.lower.transition.xc, lastLower);
            // The stagnation point moves under the nose.
            EXPECT_LT(r.stagnation.y, 1e-9);
            lastCD = r.CD;
            lastUpper = r.upper.transition.xc;
            lastLower = r.lower.transition.found ? r.lower.transition.xc : 1;
        }
        EXPECT_LT(lastUpper, 0.2) << methodOption(m);
    }
}

TEST(SectionLayer, forcedTransitionComesFirstWhenItLiesAhead)
{
    testing::Session s;
    const SurfaceFlow f = pressNaca(s, kAllMethods[0], "101", 2);
    const ViscousResult free = AnalyseBoundaryLayer(f, layerAt(3e6));
    const ViscousResult tripped = AnalyseBoundaryLayer(
        f, layerAt(3e6, 0.05, 0.05));
    ASSERT_TRUE(free.ok && tripped.ok);
    EXPECT_EQ(tripped.upper.transitionCause, TransitionCause::Forced);
    EXPECT_NEAR(tripped.upper.transition.xc, 0.05, 1e-12);
    EXPECT_NEAR(tripped.lower.transition.xc, 0.05, 1e-12);
    EXPECT_GT(tripped.CD, free.CD);  // more of the surface under turbulent friction
    // A trip behind the natural transition changes nothing.
    const ViscousResult late = AnalyseBoundaryLayer(
        f, layerAt(3e6, 0.99, 0.99));
    EXPECT_EQ(late.CD, free.CD);
    EXPECT_EQ(late.upper.transitionCause, free.upper.transitionCause);
}

TEST(SectionLayer, highIncidenceSeparatesAndTheDragIsMarked)
{
    testing::Session s;
    const ViscousResult r = AnalyseBoundaryLayer(pressNaca(s, kAllMethods[1], "121", 16), layerAt(1e6));
    ASSERT_TRUE(r.ok);
    ASSERT_TRUE(r.upper.turbulentSeparation.found);
    EXPECT_LT(r.upper.turbulentSeparation.xc, kReliableSeparationXc);
    EXPECT_FALSE(r.reliable);
    // Behind the separation there is no wall shear.
    EXPECT_EQ(r.upper.Cf.back(), 0);
}

TEST(SectionLayer, stagnationPointIsInterpolatedAlongTheContour)
{
    // A diamond of four equal panels, length 2a. The speed rises from -0.25
    // to 0.75 between control points 2 and 3, a path of 2a over the nose
    // point, so it is zero a quarter of the way: half-way from control point
    // 2 at (0.25, -0.05) to the nose (0, 0).
    SurfaceFlow f;
    f.X = {1, 0.5, 0, 0.5, 1};
    f.Y = {0, -0.1, 0, 0.1, 0};
    f.speed = {-1, -0.25, 0.75, 1};
    SurfacePoint stagnation;
    SurfaceStations upper, lower;
    ASSERT_TRUE(SplitAtStagnation(f, stagnation, upper, lower));
    const double a = std::sqrt(0.5 * 0.5 + 0.1 * 0.1) / 2;
    EXPECT_NEAR(stagnation.x, 0.125, 1e-15);
    EXPECT_NEAR(stagnation.y, -0.025, 1e-15);
    EXPECT_NEAR(stagnation.xc, 0.125, 1e-15);
    // Upper: the stagnation point, control point 3, the trailing edge (the
    // last panel, which carries the Kutta condition, is left out).
    ASSERT_EQ(upper.s.size(), 3u);
    EXPECT_NEAR(upper.s[1], 1.5 * a, 1e-15);
    EXPECT_NEAR(upper.s[2], 4.5 * a, 1e-15);
    EXPECT_EQ(upper.Ue, (std::vector<double>{0, 0.75, 0.75}));
    // Lower: control points 2 and 1, then the edge; the speed is positive
    // in the direction of marching.
    ASSERT_EQ(lower.s.size(), 4u);
    EXPECT_NEAR(lower.s[1], 0.5 * a, 1e-15);
    EXPECT_NEAR(lower.s[2], 2.5 * a, 1e-15);
    EXPECT_NEAR(lower.s[3], 3.5 * a, 1e-15);
    EXPECT_EQ(lower.Ue, (std::vector<double>{0, 0.25, 1, 1}));
    EXPECT_DOUBLE_EQ(lower.x.back(), 1);
}

TEST(SectionLayer, refusesWhatItCannotCompute)
{
    SurfaceFlow still;
    still.X = {1, 0, 1};
    still.Y = {0, 0.01, 0};
    still.speed = {1, 1};  // never changes sign: no stagnation point
    ViscousResult r = AnalyseBoundaryLayer(still, layerAt(1e6));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("stagnation"), std::string::npos);

    testing::Session s;
    const SurfaceFlow f = pressNaca(s, kAllMethods[0], "51", 2);
    for (double Re : {0.0, -5.0, std::nan(""), HUGE_VAL}) {
        r = AnalyseBoundaryLayer(f, layerAt(Re));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "The Reynolds number must be a number greater than 0");
    }
}

}  // namespace
}  // namespace tavrix
