// The velocity in the field of a panel solution against what potential flow
// demands of it: the far field of a sheet is that of a point singularity of
// the sheet's total strength, the fluid inside a contour held at rest by
// its vortex sheet stays at rest, and just outside the contour the velocity
// is the method's own surface speed along the panel.
#include "solvers/FieldVelocity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <variant>

#include "geometry/NacaSections.h"

namespace tavrix {
namespace {

PanelGeometry naca(const char* digits, int np)
{
    const auto d = std::get<NacaDesignation>(parseNacaDesignation(digits));
    const Contour c = makeNacaSection(d, np, false, kPi);
    return *buildPanelGeometry(c.x, c.y, 0);
}

TEST(FieldVelocity, aSheetSeenFromAfarIsAPointSingularityOfItsTotalStrength)
{
    // Segment of length 0.1 from (0.3, 0.2) towards the upper right; at a
    // distance r of 100 lengths the dipole terms are 1e-4 of the monopole.
    const double x1 = 0.3, y1 = 0.2, x2 = 0.38, y2 = 0.26;
    const double xm = 0.34, ym = 0.23, L = 0.1;
    for (const double angle : {0.3, 2.0, 4.0}) {
        const double r = 10;
        const double x = xm + r * std::cos(angle), y = ym + r * std::sin(angle);
        const Velocity s = sourceSegmentVelocity(x1, y1, x2, y2, 2.0, x, y);
        const double radial = 2.0 * L / (2 * kPi * r);
        EXPECT_NEAR(s.u, radial * std::cos(angle), 1e-4 * radial);
        EXPECT_NEAR(s.v, radial * std::sin(angle), 1e-4 * radial);
        // A sheet growing from 1 to 3 holds circulation 2 L, counter-clockwise.
        const Velocity w = vortexSegmentVelocity(x1, y1, x2, y2, 1.0, 3.0, x, y);
        const double swirl = 2.0 * L / (2 * kPi * r);
        EXPECT_NEAR(w.u, -swirl * std::sin(angle), 1e-3 * swirl);
        EXPECT_NEAR(w.v, swirl * std::cos(angle), 1e-3 * swirl);
    }
    // Beside the middle of a uniform sheet the normal velocity jumps by the
    // strength: +sigma/2 on the left of the direction of travel, -sigma/2 on
    // the right; a uniform vortex sheet's velocity along it jumps the same way.
    const double nx = -0.6, ny = 0.8, h = 1e-9;
    const Velocity left = sourceSegmentVelocity(x1, y1, x2, y2, 1.0, xm + h * nx, ym + h * ny);
    const Velocity right = sourceSegmentVelocity(x1, y1, x2, y2, 1.0, xm - h * nx, ym - h * ny);
    EXPECT_NEAR(left.u * nx + left.v * ny, 0.5, 1e-6);
    EXPECT_NEAR(right.u * nx + right.v * ny, -0.5, 1e-6);
    const Velocity above = vortexSegmentVelocity(x1, y1, x2, y2, 1.0, 1.0, xm + h * nx,
                                                 ym + h * ny);
    EXPECT_NEAR(above.u * 0.8 + above.v * 0.6, -0.5, 1e-6);
}

TEST(FieldVelocity, matchesTheSurfaceSpeedOutsideAndRestInsideAndTheFreeStreamFarAway)
{
    const PanelGeometry g = naca("4412", 121);
    const double alpha = 4;
    for (PanelMethod m : kAllMethods) {
        SCOPED_TRACE(std::string(methodName(m)));
        const PanelSolution s = *solvePanels(g, m);
        const std::vector<double> strength = s.strengths(alpha);
        const OperatingPoint p = s.evaluate(alpha);
        // Away from the nose and the trailing edge, 1e-6 outside the control
        // point: the tangential velocity is the surface speed within the
        // panels' discretisation and the normal velocity vanishes.
        for (int i = 1; i <= g.NPanel; ++i) {
            if (g.XM[i] < 0.1 || g.XM[i] > 0.9) continue;
            const double nx = -g.SinDelta[i], ny = g.CosDelta[i];
            const Velocity v = fieldVelocity(s, strength, alpha, g.XM[i] + 1e-6 * nx,
                                             g.YM[i] + 1e-6 * ny);
            EXPECT_NEAR(v.u * g.CosDelta[i] + v.v * g.SinDelta[i], p.signedSpeed[i - 1], 6e-3);
            EXPECT_NEAR(v.u * nx + v.v * ny, 0, 3e-3);
            // The vortex-sheet methods hold the fluid inside at rest.
            if (m != PanelMethod::Hess) {
                const Velocity in = fieldVelocity(s, strength, alpha, g.XM[i] - 0.002 * nx,
                                                  g.YM[i] - 0.002 * ny);
                EXPECT_LT(std::hypot(in.u, in.v), 5e-3);
            }
        }
        // Far away only the circulation is left: Gamma / (2 pi r) with
        // Gamma = CL / 2 (unit chord and free-stream speed), clockwise.
        const double r = 1000, a = alpha * kDegToRad;
        const double x = r * std::cos(a + kPi / 2), y = r * std::sin(a + kPi / 2);
        const Velocity far = fieldVelocity(s, strength, alpha, x, y);
        const double along = far.u * std::cos(a) + far.v * std::sin(a);
        EXPECT_NEAR(along - 1, p.CL / 2 / (2 * kPi * r), 2e-2 * p.CL / 2 / (2 * kPi * r));
    }
}

}  // namespace
}  // namespace tavrix
