#include "geometry/ExactFlow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <span>

#include "app/Form_TavrixS.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix {
namespace {

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180;

// The section the Karman-Trefftz window makes from its four inputs.
KarmanTrefftzSection windowSection(const char* delta, const char* gamma, const char* tau,
                                   Common* keep = nullptr, int np = 51)
{
    Common local;
    Common& common = keep ? *keep : local;
    SetConstants(common);
    ui::HeadlessToolkit ui;
    Form_KATJO form(common, ui);
    ui.type("Text_Delta", delta);
    ui.type("Text_Gamma", gamma);
    ui.type("Text_Tau", tau);
    ui.type("Text_xDltc", "0");
    form.setPointCount(np);
    EXPECT_TRUE(form.Command1_Click());
    return *form.lastSection();
}

// A Joukowsky section z = a (zeta + 1/zeta) of chord 1 from its circle.
KarmanTrefftzSection joukowsky(double F, double G)
{
    // The trailing edge zeta = -1 goes to -2a, the leading edge zeta = 1 + 2F
    // to a (1 + 2F + 1/(1 + 2F)).
    const double e = 1 + 2 * F;
    const double chordPerScale = e + 1 / e + 2;
    return {F, G, 2, 1 / chordPerScale};
}

// Circle flow of the classical Joukowsky section, written directly: a free
// stream of speed a V from the right (the section's trailing edge is on the
// left in the map plane, z = a zeta far away) and the Kutta circulation.
// Returns |V| / V at the circle point zeta from |W| / |dz/dzeta|.
double joukowskySpeed(double F, double G, double a, double alpha, Complex zeta)
{
    const Complex centre(F, G);
    const double R = std::hypot(1 + F, G);
    const double beta = std::atan2(G, 1 + F);
    // Map plane flow: the chord frame mirrored, i.e. the stream runs in the
    // direction pi - alpha; potential a V e^{-i(pi - alpha)} (zeta - zc) + ...
    const Complex u = a * std::polar(1.0, -(kPi - alpha));  // conj of the stream velocity
    const double Gamma = 4 * kPi * R * a * std::sin(alpha + beta);  // clockwise in the chord frame
    const Complex d = zeta - centre;
    // In the map plane the circulation is anticlockwise: +Gamma / (2 pi i d).
    const Complex W = u - std::conj(u) * R * R / (d * d) + Gamma / (Complex(0, 2 * kPi) * d);
    const Complex dz = a * (1.0 - 1.0 / (zeta * zeta));
    return std::abs(W) / std::abs(dz);
}

// ---------------------------------------------------------------------------
// Lift and moment

TEST(ExactFlow, JoukowskyLiftAndCuspSpeedFollowTheClassicalFormulas)
{
    // Kutta-Joukowski with Gamma = 4 pi R (a V) sin(alpha + beta) and chord 1:
    // CL = 8 pi a R sin(alpha + beta), beta = atan(G / (1 + F)); for a
    // symmetric section 2 pi (1 + F/(1 + F)) sin alpha. At the cusp W and
    // dz/dzeta = a (zeta^2 - 1)/zeta^2 both vanish linearly at zeta = -1; the
    // limit of their ratio, the trailing-edge speed, is cos(alpha + beta) / R.
    for (const auto& [F, G] : {std::pair{0.0835, 0.0}, {0.1, 0.08}, {0.05, 0.03}}) {
        const KarmanTrefftzSection s = joukowsky(F, G);
        const double R = std::hypot(1 + F, G);
        const double beta = std::atan(G / (1 + F));
        const double teAngle = std::atan2(-G, -(1 + F));  // of zeta = -1 seen from the centre
        for (double alphaD : {-4.0, 0.0, 5.0, 10.0, 12.0}) {
            SCOPED_TRACE(::testing::Message() << F << " " << G << " " << alphaD);
            const KarmanTrefftzFlow flow(s, alphaD);
            const double expected = 8 * kPi * s.BB * R * std::sin(alphaD * kDeg + beta);
            EXPECT_NEAR(flow.CL(), expected, 1e-12);
            EXPECT_NEAR(flow.blasiusCL(), expected, 1e-12);
            EXPECT_NEAR(flow.blasiusCD(), 0, 1e-12);
            const double atCusp = std::cos(alphaD * kDeg + beta) / R;
            EXPECT_GT(atCusp, 0.8);
            EXPECT_NEAR(flow.surfaceSpeed(kPi), atCusp, 1e-13);
            // Approached from the circle flow written directly.
            for (double d : {1e-4, -1e-4}) {
                const Complex zeta = Complex(F, G) + std::polar(R, teAngle + d);
                EXPECT_NEAR(joukowskySpeed(F, G, s.BB, alphaD * kDeg, zeta), atCusp, 1e-3);
            }
        }
    }
}

TEST(ExactFlow, WindowsDefaultSectionHasTheLiftOfItsThickness)
{
    // 10 % thick Joukowsky section: the lift slope is close to 2 pi (1 + 0.77 t/c).
    const KarmanTrefftzSection s = windowSection("0.10", "0.00", "0");
    const double CL = KarmanTrefftzFlow(s, 5).CL();
    EXPECT_NEAR(CL / std::sin(5 * kDeg), 2 * kPi * (1 + 0.77 * 0.10), 2e-3);
    EXPECT_NEAR(CL, 8 * kPi * s.BB * (1 + s.F) * std::sin(5 * kDeg), 1e-12);
}

TEST(ExactFlow, AtZeroIncidenceCamberLiftsNoseDownAndASymmetricSectionHasMirrorSpeeds)
{
    const KarmanTrefftzFlow cambered(windowSection("0.12", "0.04", "10"), 0);
    // Thin-aerofoil estimates for 4 % camber: CL0 = 4 pi gamma, CMc/4 = -pi gamma.
    EXPECT_NEAR(cambered.CL(), 4 * kPi * 0.04, 0.1);
    EXPECT_NEAR(cambered.CM(), -kPi * 0.04, 0.02);
    for (const char* tau : {"0", "15"}) {
        const KarmanTrefftzFlow flow(windowSection("0.10", "0.00", tau), 0);
        EXPECT_NEAR(flow.CL(), 0, 1e-15);
        EXPECT_NEAR(flow.CM(), 0, 1e-13);
        for (double theta : {0.1, 0.9, 1.7, 2.6, 3.1}) {
            EXPECT_NEAR(flow.surfaceSpeed(theta), flow.surfaceSpeed(2 * kPi - theta), 1e-13);
            const PlanePoint upper = flow.contourPoint(theta);
            const PlanePoint lower = flow.contourPoint(2 * kPi - theta);
            EXPECT_NEAR(upper.x, lower.x, 1e-15);
            EXPECT_NEAR(upper.y, -lower.y, 1e-15);
        }
        EXPECT_NEAR(flow.surfaceSpeed(0), 0, 1e-12) << "stagnation at the leading edge";
    }
}

// The driver's own force integration (Cu = 1 - Cp, clockwise contour, moment
// about (0.25, 0)) fed with the exact speeds on a fine contour.
TEST(ExactFlow, ExactPressuresIntegrateToTheExactCoefficients)
{
    struct Case {
        const char *delta, *gamma, *tau;
        double alphaD;
    };
    for (const Case& k : {Case{"0.10", "0.00", "0", 5}, Case{"0.12", "0.04", "10", 5},
                          Case{"0.12", "0.04", "10", -3}, Case{"0.15", "0.02", "25", 10}}) {
        const KarmanTrefftzFlow flow(windowSection(k.delta, k.gamma, k.tau), k.alphaD);
        Common c;
        c.NP = 1000;
        c.NPanel = c.NP - 1;
        // End points uniform in the centre angle, clockwise from the trailing
        // edge; each panel takes the exact speed at the centre angle midway.
        const double te = flow.trailingEdgeAngle();
        auto angle = [&](double k) { return te + 2 * kPi * k / c.NPanel; };
        for (int i = 1; i <= c.NP; ++i) {
            const PlanePoint p = flow.contourPoint(flow.polarAngle(angle(i - 1)));
            c.XCoord[i] = p.x;
            c.YCoord[i] = p.y;
        }
        BuildPanels(c, 0);
        for (int i = 1; i <= c.NPanel; ++i) {
            const double v = flow.surfaceSpeed(flow.polarAngle(angle(i - 0.5)));
            c.Cu[i] = v * v;
        }
        c.CosAlfa = std::cos(k.alphaD * kDeg);
        c.SinAlfa = std::sin(k.alphaD * kDeg);
        const Coefficients integral = IntegrateForces(c);
        EXPECT_GT(flow.CL(), 0);
        EXPECT_NEAR(integral.CL, flow.CL(), 2e-5) << k.delta << " " << k.tau << " " << k.alphaD;
        EXPECT_NEAR(integral.CM, flow.CM(), 2e-5);
        EXPECT_NEAR(integral.CD, 0, 2e-5);
    }
}

// ---------------------------------------------------------------------------
// Surface speed

TEST(ExactFlow, SurfaceSpeedAgreesWithTheCircleFlowCarriedThroughTheJoukowskyMap)
{
    const double F = 0.09, G = 0.05;
    const KarmanTrefftzSection s = joukowsky(F, G);
    for (double alphaD : {0.0, 6.0}) {
        const KarmanTrefftzFlow flow(s, alphaD);
        for (double theta : {0.05, 0.8, 1.9, 2.8, 3.3, 4.4, 5.5, 6.2}) {
            // The circle point on the ray at theta from the origin.
            const double p = F * std::cos(theta) + G * std::sin(theta);
            const double r = p + std::sqrt(1 + 2 * F + p * p);
            const Complex zeta = std::polar(r, theta);
            EXPECT_NEAR(flow.surfaceSpeed(theta), joukowskySpeed(F, G, s.BB, alphaD * kDeg, zeta),
                        1e-12)
                << theta;
        }
    }
}

TEST(ExactFlow, SurfaceSpeedIsTheRateOfPotentialAlongTheContour)
{
    // Karman-Trefftz (m not 2): on the circle, in the centre angle t, the
    // potential is phi = 2 U R cos(t - alpha') + Gamma t / (2 pi), with the
    // stream U = BB at alpha' = -(alpha + pi) (the map plane is the mirror
    // image and z = BB zeta far away) and Gamma anticlockwise there, i.e. the
    // clockwise circulation of the chord frame. Conformal maps keep phi, so
    // |V| = |dphi/dt| / |dZ/dt|, both by central differences.
    const KarmanTrefftzSection s = windowSection("0.12", "0.04", "10");
    const double alpha = 7 * kDeg;
    const KarmanTrefftzFlow flow(s, 7);
    const double R = flow.radius();
    const double U = s.BB;
    const double alphaCircle = -(alpha + kPi);
    const double Gamma = flow.circulation();
    auto potential = [&](double t) {
        return 2 * U * R * std::cos(t - alphaCircle) + Gamma * t / (2 * kPi);
    };
    const double h = 1e-5;
    for (double t : {-2.5, -1.6, -0.7, 0.0, 0.9, 1.8, 2.7}) {
        const PlanePoint a = flow.contourPoint(flow.polarAngle(t - h));
        const PlanePoint b = flow.contourPoint(flow.polarAngle(t + h));
        const double ds = std::hypot(b.x - a.x, b.y - a.y);
        const double dphi = potential(t + h) - potential(t - h);
        EXPECT_NEAR(flow.surfaceSpeed(flow.polarAngle(t)), std::fabs(dphi) / ds, 1e-7) << t;
    }
}

TEST(ExactFlow, TrailingEdgeWithAnAngleIsAStagnationPoint)
{
    for (const char* tau : {"10", "25"}) {
        const KarmanTrefftzFlow flow(windowSection("0.15", "0.02", tau), 5);
        EXPECT_EQ(flow.surfaceSpeed(kPi), 0);
        // The speed vanishes like |zeta + 1|^(2 - m): slowly for a small angle,
        // but always falling towards the edge from both surfaces.
        double previousLower = 2, previousUpper = 2;
        for (double d : {1e-1, 1e-3, 1e-6, 1e-10, 1e-14}) {
            const double lower = flow.surfaceSpeed(kPi + d);
            const double upper = flow.surfaceSpeed(kPi - d);
            EXPECT_LT(lower, previousLower) << tau << " " << d;
            EXPECT_LT(upper, previousUpper) << tau << " " << d;
            previousLower = lower;
            previousUpper = upper;
        }
        const double m = flow.section().m;
        const double ratio = flow.surfaceSpeed(kPi + 1e-8) / flow.surfaceSpeed(kPi + 1e-10);
        EXPECT_NEAR(std::log(ratio) / std::log(100.0), 2 - m, 1e-3) << "exponent 2 - m";
    }
}

// ---------------------------------------------------------------------------
// Contour and projection

TEST(ExactFlow, ContourIsTheOneTheWindowHandsOn)
{
    for (const char* tau : {"0", "10"}) {
        Common c;
        const KarmanTrefftzSection s = windowSection("0.12", "0.04", tau, &c, 41);
        const KarmanTrefftzFlow flow(s, 0);
        // Stations uniform in the polar angle: lower surface at pi + k pi / 20.
        for (int i = 1; i <= 21; ++i) {
            const double theta = kPi + (i - 1) * kPi / 20;
            const PlanePoint lower = flow.contourPoint(theta);
            const PlanePoint upper = flow.contourPoint(kPi - (i - 1) * kPi / 20);
            EXPECT_NEAR(lower.x, c.XCoord[i], 1e-13) << i;
            EXPECT_NEAR(lower.y, c.YCoord[i], 1e-13) << i;
            EXPECT_NEAR(upper.x, c.XCoord[42 - i], 1e-13) << i;
            EXPECT_NEAR(upper.y, c.YCoord[42 - i], 1e-13) << i;
        }
        const PlanePoint le = flow.contourPoint(0);
        EXPECT_NEAR(le.x, 0, 1e-14);
        EXPECT_NEAR(le.y, 0, 1e-14);
    }
}

TEST(ExactFlow, NearestContourPointIsFoundFromJustInsideTheContour)
{
    const KarmanTrefftzFlow flow(windowSection("0.12", "0.04", "10"), 3);
    const double h = 1e-6;
    for (double theta : {0.02, 0.5, 1.4, 2.6, 3.12, 3.16, 3.9, 5.0, 6.25}) {
        const PlanePoint p = flow.contourPoint(theta);
        EXPECT_NEAR(flow.nearestTheta(p.x, p.y), theta, 1e-9) << theta;
        // Step inward along the normal (the contour runs clockwise, so the
        // inside is on the right of the direction of increasing centre angle).
        const double t = flow.centreAngle(theta);
        const PlanePoint a = flow.contourPoint(flow.polarAngle(t - h));
        const PlanePoint b = flow.contourPoint(flow.polarAngle(t + h));
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        const double inset = 1e-6;  // the section is 7e-5 thick at 3.12
        const double x = p.x - inset * (-dy / len);
        const double y = p.y - inset * (dx / len);
        EXPECT_NEAR(flow.nearestTheta(x, y), theta, 1e-6) << theta;
        EXPECT_NEAR(flow.surfaceSpeedNear(x, y), flow.surfaceSpeed(theta), 1e-5) << theta;
    }
    EXPECT_EQ(flow.nearestTheta(1.01, 0), kPi) << "behind the trailing edge";
}

TEST(ExactFlow, ControlPointsTakeTheSpeedOfTheContourBesideThem)
{
    Common c;
    const KarmanTrefftzSection s = windowSection("0.10", "0.00", "0", &c, 101);
    BuildPanels(c, 0);
    const KarmanTrefftzFlow flow(s, 4);
    const std::vector<double> cu = exactCu(std::span<const double>(c.XM).subspan(1, 100),
                                           std::span<const double>(c.YM).subspan(1, 100), flow);
    ASSERT_EQ(cu.size(), 100u);
    // Lower-surface panel i joins the stations at pi + (i - 1) pi/50 and
    // pi + i pi/50. Its control point projects between them, closer than the
    // contour point midway in angle, and its Cu differs from the midway one by
    // a small part of the change of Cu across the panel.
    for (int i = 1; i <= 50; ++i) {
        const double from = kPi + (i - 1) * kPi / 50;
        const double to = kPi + i * kPi / 50;
        const double midway = (from + to) / 2;
        double theta = flow.nearestTheta(c.XM[i], c.YM[i]);
        if (theta < kPi / 2) theta += 2 * kPi;  // the leading edge is at 2 pi
        EXPECT_GT(theta, from) << i;
        EXPECT_LT(theta, to) << i;
        const PlanePoint foot = flow.contourPoint(theta);
        const PlanePoint mid = flow.contourPoint(midway);
        EXPECT_LE(std::hypot(foot.x - c.XM[i], foot.y - c.YM[i]),
                  std::hypot(mid.x - c.XM[i], mid.y - c.YM[i]));
        const double v = flow.surfaceSpeed(midway);
        const double va = flow.surfaceSpeed(from), vb = flow.surfaceSpeed(to);
        const double allowed = 0.1 * std::fabs(vb * vb - va * va) + 1e-3;
        EXPECT_NEAR(cu[static_cast<std::size_t>(i - 1)], v * v, allowed) << i;
    }
}

TEST(ExactFlow, ControlPointSpansOfUnequalLengthAreTakenUpToTheShorter)
{
    const KarmanTrefftzFlow flow(joukowsky(0.08, 0), 3);
    const double xm[] = {0.5, 0.25, 0.75};
    const double ym[] = {0.05, -0.04};
    const std::vector<double> cu = exactCu(xm, ym, flow);
    ASSERT_EQ(cu.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        const double v = flow.surfaceSpeedNear(xm[k], ym[k]);
        EXPECT_EQ(cu[k], v * v) << k;
    }
    EXPECT_TRUE(exactCu({}, ym, flow).empty());
}

}  // namespace
}  // namespace tavrix
