// The angle of attack for a prescribed CL: checked against thin-airfoil
// theory, the symmetry of a symmetric section and the Prandtl-Glauert
// scaling of CL (the analysis window's test compares it with a polar).
#include "solvers/LiftTarget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/Generators.h"

namespace tavrix {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Section {
    Contour contour = naca0012Contour(161);
    Outcome<PanelSolution> solution = Refusal{};
    Section(PanelMethod method)
    {
        const Outcome<PanelGeometry> panels = buildPanelGeometry(contour.x, contour.y, 0);
        solution = solvePanels(*panels, method);
    }
};

TEST(LiftTarget, meetsTheTargetNearTheThinAirfoilAngleForEveryMethod)
{
    for (PanelMethod method : kAllMethods) {
        Section s(method);
        ASSERT_TRUE(s.solution.ok());
        const Outcome<LiftTarget> t = alphaForLift(*s.solution, 0.5);
        ASSERT_TRUE(t.ok()) << t.refusal().message;
        // The lift at the angle found is the target.
        EXPECT_NEAR(s.solution->at(t->alphaDeg)->CL, 0.5, 1e-9) << methodName(method);
        EXPECT_NEAR(t->CL, 0.5, 1e-9);
        // Thin-airfoil theory: CL = 2 pi alpha, so 4.56 degrees; a 12 %
        // thick section lifts some 8 to 10 % more per degree.
        const double thin = 0.5 / (2 * kPi) * 180 / kPi;
        EXPECT_LT(t->alphaDeg, thin) << methodName(method);
        EXPECT_GT(t->alphaDeg, 0.85 * thin) << methodName(method);
        EXPECT_LT(t->iterations, 12);
        // A symmetric section: the opposite lift at the opposite angle, no
        // lift at zero incidence.
        const Outcome<LiftTarget> down = alphaForLift(*s.solution, -0.5);
        ASSERT_TRUE(down.ok());
        EXPECT_NEAR(down->alphaDeg, -t->alphaDeg, 1e-8);
        EXPECT_NEAR(alphaForLift(*s.solution, 0)->alphaDeg, 0, 1e-8);
    }
}

// Prandtl-Glauert divides CL by sqrt(1 - M^2): the angle for CL at M = 0.5
// is the incompressible angle for CL sqrt(0.75).
TEST(LiftTarget, aMachNumberActsThroughTheCorrectedLift)
{
    Section s(PanelMethod::Hess);
    const Outcome<LiftTarget> atMach = alphaForLift(*s.solution, 0.5, {.mach = 0.5});
    const Outcome<LiftTarget> scaled = alphaForLift(*s.solution, 0.5 * std::sqrt(0.75));
    ASSERT_TRUE(atMach.ok() && scaled.ok());
    EXPECT_NEAR(atMach->alphaDeg, scaled->alphaDeg, 1e-7);
    EXPECT_LT(atMach->alphaDeg, alphaForLift(*s.solution, 0.5)->alphaDeg);
}

TEST(LiftTarget, refusesALiftOutOfReachAndPassesOnTheRefusalsOfTheContour)
{
    Section s(PanelMethod::Hess);
    const Outcome<LiftTarget> far = alphaForLift(*s.solution, 5);
    ASSERT_FALSE(far.ok());
    EXPECT_EQ(far.refusal().kind, Refusal::Kind::OutOfReach);
    EXPECT_NE(far.refusal().message.find("CL = 5 is not reached between"), std::string::npos)
        << far.refusal().message;
    EXPECT_FALSE(alphaForLift(*s.solution, std::nan("")).ok());

    // Without the trailing-edge condition the Hess method carries no lift.
    const Outcome<LiftTarget> none =
        alphaForLift(s.contour.x, s.contour.y, {.noCirculation = true}, 0.5);
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.refusal().kind, Refusal::Kind::OutOfReach);

    EXPECT_EQ(alphaForLift(s.contour.x, s.contour.y, {.mach = 1}, 0.5).refusal().kind,
              Refusal::Kind::Mach);
    const std::vector<double> x = {1, 0, 0, 1}, y = {0, 0.1, 0.1, 0};
    EXPECT_EQ(alphaForLift(x, y, FlowSetup{}, 0.5).refusal().kind, Refusal::Kind::DegeneratePanel);
    // The contour form gives what the solution form gives.
    EXPECT_EQ(alphaForLift(s.contour.x, s.contour.y, FlowSetup{}, 0.7)->alphaDeg,
              alphaForLift(*s.solution, 0.7)->alphaDeg);
}

}  // namespace
}  // namespace tavrix
