#include "solvers/FlowField.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "geometry/Generators.h"

namespace tavrix {
namespace {

// A contour solved by a method at one angle of attack: its panels, the
// operating point and the flow field of the strengths.
struct Solved {
    PanelGeometry panels;
    OperatingPoint point;
    FlowField field;
};

Solved solve(const Contour& contour, PanelMethod method, double alphaDeg,
             bool noCirculation = false)
{
    auto panels = buildPanelGeometry(contour.x, contour.y, 0);
    EXPECT_TRUE(panels.ok());
    auto solution = solvePanels(*panels, method, {.noCirculation = noCirculation});
    EXPECT_TRUE(solution.ok());
    auto point = solution->at(alphaDeg);
    EXPECT_TRUE(point.ok());
    return {*panels, *point, FlowField(*solution, alphaDeg)};
}

// The exact potential flow about a circle of radius R centred at (xc, 0):
// uniform flow at alpha, a doublet that holds the circle a streamline and a
// clockwise vortex of circulation gamma (over free-stream speed).
FlowVelocity exactCircle(double R, double xc, double alphaDeg, double gamma, double x, double y)
{
    const std::complex<double> z(x - xc, y);
    const std::complex<double> i(0, 1);
    const double a = alphaDeg * M_PI / 180;
    // Conjugate velocity u - i v.
    const std::complex<double> w =
        std::exp(-i * a) - R * R * std::exp(i * a) / (z * z) + i * gamma / (2 * M_PI * z);
    return {w.real(), -w.imag()};
}

struct CircleCase {
    PanelMethod method;
    double alphaDeg;
    bool noCirculation;
};

class CircleField : public ::testing::TestWithParam<CircleCase> {};

TEST_P(CircleField, speedAtTwoRadiiIsThatOfTheExactFlow)
{
    // Uniform flow + doublet + vortex, the vortex's circulation from the
    // method's own CL (Kutta-Joukowski, chord 1: gamma = CL / 2; the lift
    // itself is pinned in VortexMethods_test): within 1 % of the free-stream
    // speed at every point of the circle r = 2R, and the speed itself within 1 %.
    const CircleCase k = GetParam();
    const Solved s = solve(circleContour(161), k.method, k.alphaDeg, k.noCirculation);
    const double gamma = s.point.CL / 2;
    // The sheets' circulation against the pressure's lift: the same up to the
    // discretisation.
    EXPECT_NEAR(s.field.circulation(), gamma, 5e-3 * std::max(1.0, std::fabs(gamma)));
    double worst = 0;
    for (int n = 0; n < 36; ++n) {
        const double t = 2 * M_PI * n / 36;
        const double x = 0.5 + std::cos(t), y = std::sin(t);
        const FlowVelocity got = s.field.velocity(x, y);
        const FlowVelocity want = exactCircle(0.5, 0.5, k.alphaDeg, gamma, x, y);
        const double err = std::hypot(got.u - want.u, got.v - want.v);
        worst = std::max(worst, err);
        EXPECT_NEAR(std::hypot(got.u, got.v), std::hypot(want.u, want.v),
                    0.01 * std::hypot(want.u, want.v))
            << "at " << x << ", " << y;
    }
    EXPECT_LT(worst, 0.01);
}

using enum PanelMethod;
INSTANTIATE_TEST_SUITE_P(EveryMethod, CircleField, ::testing::ValuesIn(std::vector<CircleCase>{
    {Hess, 0, false}, {Hess, 6, true}, {Hess, 6, false}, {VortexPanel, 0, false},
    {VortexPanel, 6, false}, {KennedyMarsden, 0, false}, {KennedyMarsden, 6, false},
    {SoinneLaine, 0, false}, {SoinneLaine, 6, false}}));

class SectionField : public ::testing::TestWithParam<PanelMethod> {};

TEST_P(SectionField, farFromTheSectionTheFlowIsTheFreeStreamAndTheLiftingVortex)
{
    // NACA 0012 at 4 degrees: at 100 and 1000 chords the disturbance of the
    // free stream falls as 1/r and is the vortex Gamma / (2 pi r) with
    // Gamma = CL / 2.
    const Solved s = solve(naca0012Contour(121), GetParam(), 4);
    const double a = 4 * M_PI / 180;
    for (double r : {100.0, 1000.0}) {
        for (double t : {0.3, 1.9, 3.5, 5.0}) {
            const double x = 0.25 + r * std::cos(t), y = r * std::sin(t);
            const FlowVelocity w = s.field.velocity(x, y);
            const double du = w.u - std::cos(a), dv = w.v - std::sin(a);
            // The clockwise vortex's velocity at angle t: (sin t, -cos t) G/(2 pi r).
            const double g = s.point.CL / 2 / (2 * M_PI * r);
            EXPECT_NEAR(du, g * std::sin(t), 0.05 * g);
            EXPECT_NEAR(dv, -g * std::cos(t), 0.05 * g);
        }
    }
}

TEST_P(SectionField, flowLeavesTheTrailingEdgeAlongItsBisector)
{
    // Kutta condition: just behind the trailing edge of NACA 0012 at 6
    // degrees the flow runs downstream along the bisector of the edge (the
    // x axis), on it and just above and below it.
    const Solved s = solve(naca0012Contour(161), GetParam(), 6);
    for (double dy : {-0.002, 0.0, 0.002}) {
        const FlowVelocity w = s.field.velocity(1.01, dy);
        EXPECT_GT(w.u, 0.5);
        EXPECT_LT(std::fabs(std::atan2(w.v, w.u)) * 180 / M_PI, 8) << "dy = " << dy;
    }
    // The dividing streamline leaves from the edge and goes downstream.
    const DividingPoints d = dividingPoints(s.panels, s.point.signedSpeed);
    EXPECT_TRUE(d.rearAtTrailingEdge);
    EXPECT_NEAR(d.rearX, 1, 1e-12);
    EXPECT_GT(d.rearNx, 0.99);
    const DividingStreamlines lines = traceDividingStreamlines(s.field, d, -2, 3, -2, 2, 0.02);
    EXPECT_EQ(lines.rear.end, Streamline::End::LeftBox);
    EXPECT_GT(lines.rear.x.back(), 2.9);
    // Upstream the front one comes from the left edge, below the section at
    // 6 degrees, and ends on the lower surface just behind the nose.
    EXPECT_EQ(lines.front.end, Streamline::End::LeftBox);
    EXPECT_LT(lines.front.x.front(), -1.9);
    EXPECT_LT(lines.front.y.front(), 0);
    EXPECT_LT(d.frontY, 0);
    EXPECT_LT(d.frontX, 0.02);
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, SectionField, ::testing::ValuesIn(kAllMethods));

TEST(FieldAtTheControlPoints, holdsEachMethodsOwnBoundaryCondition)
{
    // Just off a control point on the flow side the field must give what the
    // method imposed there: for the Hess method no normal velocity and the
    // tangential speed of its surface speed; for the vortex panel method no
    // normal velocity. Both from the field's own integrals, independently of
    // the assembled coefficients.
    const Contour naca = naca0012Contour(121);
    for (PanelMethod method : {PanelMethod::Hess, PanelMethod::VortexPanel}) {
        const Solved s = solve(naca, method, 5);
        const PanelGeometry& g = s.panels;
        for (int i = 1; i <= g.NPanel; ++i) {
            const double nx = -g.SinDelta[i], ny = g.CosDelta[i];
            const FlowVelocity w = s.field.velocity(g.XM[i] + 1e-9 * nx, g.YM[i] + 1e-9 * ny);
            EXPECT_NEAR(w.u * nx + w.v * ny, 0, 1e-6) << "panel " << i;
            if (method == PanelMethod::Hess) {
                EXPECT_NEAR(w.u * g.CosDelta[i] + w.v * g.SinDelta[i],
                            s.point.signedSpeed[static_cast<std::size_t>(i - 1)], 1e-6);
            }
        }
    }
}

TEST(SectionFieldWithoutCirculation, flowTurnsRoundTheTrailingEdge)
{
    // Without the Kutta condition the rear stagnation point moves onto the
    // upper surface and the flow goes round the edge: far from the bisector.
    const Solved s = solve(naca0012Contour(161), PanelMethod::Hess, 6, true);
    const FlowVelocity w = s.field.velocity(1.01, 0);
    EXPECT_GT(std::fabs(std::atan2(w.v, w.u)) * 180 / M_PI, 30);
    const DividingPoints d = dividingPoints(s.panels, s.point.signedSpeed);
    EXPECT_FALSE(d.rearAtTrailingEdge);
    EXPECT_GT(d.rearY, 0);
}

TEST(FieldGrid, flagsTheBodyAndHoldsTheFlowOutside)
{
    const Solved s = solve(circleContour(81), PanelMethod::VortexPanel, 0);
    FieldBox box{-0.5, 1.5, -1, 1, 21, 21};
    const FieldGrid g = evaluateGrid(s.field, box);
    ASSERT_EQ(g.u.size(), 441u);
    int inside = 0;
    for (int j = 0; j < box.ny; ++j) {
        for (int i = 0; i < box.nx; ++i) {
            const double r = std::hypot(box.x(i) - 0.5, box.y(j));
            const bool in = g.inside[g.index(i, j)] != 0;
            if (r < 0.49 || r > 0.51) {
                EXPECT_EQ(in, r < 0.49) << "r = " << r;
            }
            inside += in;
            if (!in && r > 0.6) {
                // Exact Cp of the circle without circulation: 1 - |w|^2.
                const FlowVelocity e = exactCircle(0.5, 0.5, 0, 0, box.x(i), box.y(j));
                EXPECT_NEAR(g.cp(i, j), 1 - (e.u * e.u + e.v * e.v), 0.02);
            }
        }
    }
    EXPECT_GT(inside, 0);
}

TEST(Streamlines, followTheStreamFunctionOfTheCircle)
{
    // A streamline of the exact flow keeps its stream function
    // psi = y (1 - R^2 / r^2) at alpha = 0: traced through the computed field
    // from far upstream at y = 0.3, it passes over the circle at the height
    // where psi is 0.3 and leaves at y = 0.3 again.
    const Solved s = solve(circleContour(161), PanelMethod::SoinneLaine, 0);
    const Streamline line = traceStreamline(s.field, -3, 0.3, -3.5, 4, -3, 3, 0.02);
    ASSERT_EQ(line.end, Streamline::End::LeftBox);
    double top = 0;
    for (std::size_t k = 0; k < line.x.size(); ++k) {
        const double x = line.x[k] - 0.5, y = line.y[k];
        const double r2 = x * x + y * y;
        if (std::fabs(x) < 2) {
            EXPECT_NEAR(y * (1 - 0.25 / r2), 0.3 * (1 - 0.25 / (3.5 * 3.5 + 0.09)), 0.005);
        }
        if (std::fabs(x) < 0.01) top = y;
    }
    EXPECT_GT(top, 0.5);
    EXPECT_NEAR(line.y.back(), 0.3, 0.01);
    const Streamline back = traceStreamline(s.field, 4, 0.3, -3.5, 4.5, -3, 3, 0.02, true);
    EXPECT_NEAR(back.y.back(), 0.3, 0.01);
}

}  // namespace
}  // namespace tavrix
