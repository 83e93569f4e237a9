// The boundary layer on edge speeds with known answers: the flat plate
// (Blasius, the 1/7-power turbulent plate), the stagnation-point flow and
// Howarth's linearly retarded flow, each worked out by hand below.
#include "viscous/BoundaryLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "viscous/Closure.h"

namespace tavrix {
namespace {

// n + 1 evenly spaced stations on 0..length along the x axis (so x/c = s)
// with the edge speed ue(s).
SurfaceStations stations(int n, double length, const std::function<double(double)>& ue)
{
    SurfaceStations st;
    for (int i = 0; i <= n; ++i) {
        const double s = length * i / n;
        st.s.push_back(s);
        st.x.push_back(s);
        st.y.push_back(0);
        st.xc.push_back(s);
        st.Ue.push_back(ue(s));
    }
    return st;
}

// A flat plate of unit length at the constant edge speed ue.
SurfaceStations plate(int n, double ue = 1) { return stations(n, 1, [ue](double) { return ue; }); }

TEST(LaminarLayer, flatPlateFollowsBlasius)
{
    // Thwaites on Ue = 1 gives theta = sqrt(0.45 s / Re), 1 % above Blasius'
    // 0.664 s / sqrt(Re_s), and Cf = 0.44 / Re_theta, 1.2 % below 0.664 / sqrt(Re_s).
    const double Re = 1e5;  // Re_s stays below Michel's transition (about 1e6)
    const SurfaceLayer L = MarchSurface(plate(400), Re, {});
    EXPECT_FALSE(L.transition.found);
    ASSERT_EQ(L.s.size(), 401u);
    for (std::size_t i = 20; i < L.s.size(); i += 20) {
        const double reS = Re * L.s[i];
        EXPECT_NEAR(L.theta[i] / (0.664 * L.s[i] / std::sqrt(reS)), 1, 0.02) << L.s[i];
        EXPECT_NEAR(L.Cf[i] / (0.664 / std::sqrt(reS)), 1, 0.02) << L.s[i];
        EXPECT_DOUBLE_EQ(L.H[i], 2.61);
    }
    // Laminar to the end: Squire-Young with Ue = 1 is twice the momentum
    // thickness, and the friction drag is the integral of Cf, 1.328 / sqrt(Re)
    // for Blasius, less what the first trapezoid (h = 1/400, Cf = 0 at the
    // sharp edge) misses of the singular shear there: 1.328 sqrt(h) - 0.332 sqrt(h).
    EXPECT_DOUBLE_EQ(L.CD, 2 * L.theta.back());
    const double h = 1.0 / 400;
    EXPECT_NEAR(L.CDfriction / ((1.328 - 0.996 * std::sqrt(h)) / std::sqrt(Re)), 1, 0.02);
}

TEST(LaminarLayer, stagnationPointFlowKeepsItsMomentumThickness)
{
    // Ue = s: theta^2 s^6 = 0.45 / Re * s^6 / 6, so theta^2 = 0.075 / Re
    // everywhere, lambda = 0.075 and H = 2.61 - 3.75 * 0.075 + 5.24 * 0.075^2.
    const double Re = 1e4;
    const SurfaceLayer L = MarchSurface(stations(50, 1, [](double s) { return s; }), Re, {});
    EXPECT_FALSE(L.transition.found);
    const double theta = std::sqrt(0.075 / Re);
    for (std::size_t i = 0; i < L.s.size(); ++i) {
        EXPECT_NEAR(L.theta[i] / theta, 1, 1e-12) << i;
        EXPECT_NEAR(L.H[i], 2.358225, 1e-12) << i;
    }
}

TEST(LaminarLayer, retardedFlowSeparatesWhereLambdaReachesTheCriterion)
{
    // Howarth's Ue = 1 - s: theta^2 = 0.45 / (6 Re) ((1 - s)^-6 - 1), so
    // lambda = -0.075 ((1 - s)^-6 - 1) = -0.09 at s = 1 - 2.2^(-1/6) = 0.1231;
    // his exact solution separates at 0.1199.
    const double Re = 1e5;
    const SurfaceLayer L =
        MarchSurface(stations(1000, 0.5, [](double s) { return 1 - s; }), Re, {});
    ASSERT_TRUE(L.laminarSeparation.found);
    EXPECT_EQ(L.transitionCause, TransitionCause::LaminarSeparation);
    EXPECT_NEAR(L.laminarSeparation.s, 1 - std::pow(2.2, -1.0 / 6), 1e-4);
    EXPECT_NEAR(L.laminarSeparation.s / 0.1199, 1, 0.03);
    // The layer turns turbulent there and soon separates in this gradient.
    EXPECT_EQ(L.s[L.firstTurbulent], L.transition.s);
    EXPECT_TRUE(L.turbulentSeparation.found);
    EXPECT_GT(L.turbulentSeparation.s, L.transition.s);
}

TEST(Transition, michelOnAFlatPlate)
{
    // On the plate Re_theta = sqrt(0.45 Re_s); the criterion is met where
    // sqrt(0.45 R) = 1.174 (1 + 22400 / R) R^0.46, found here by bisection.
    auto excess = [](double R) {
        return std::sqrt(0.45 * R) - 1.174 * (1 + 22400 / R) * std::pow(R, 0.46);
    };
    double lo = 1e5, hi = 1e8;
    for (int k = 0; k < 200; ++k) {
        const double mid = std::sqrt(lo * hi);
        (excess(mid) < 0 ? lo : hi) = mid;
    }
    const double Re = 1e7;
    const SurfaceLayer L = MarchSurface(plate(2000), Re, {});
    ASSERT_TRUE(L.transition.found);
    EXPECT_EQ(L.transitionCause, TransitionCause::Michel);
    EXPECT_NEAR(L.transition.s, lo / Re, 1e-3);
}

TEST(Transition, envelopeOnAFlatPlateGrowsLinearlyInReTheta)
{
    // With Ue = 1 Thwaites gives H = 2.61 and theta = sqrt(0.45 s / Re), so
    // ds / theta = 2 d(Re_theta) / 0.45 and n grows linearly in Re_theta from
    // the critical value: n = 2 G (Re_theta - Re_theta0) / 0.45, with
    // G = theta dn/ds. Transition where n = Ncrit.
    const double H = 2.61, Re = 4e6, Ncrit = 9;
    const double reTheta0 = closure::EnvelopeCriticalReTheta(H);
    const double G = closure::EnvelopeRate(H, 1, 1e12);
    const double reThetaT = reTheta0 + 0.45 * Ncrit / (2 * G);
    const double sT = reThetaT * reThetaT / (0.45 * Re);
    // The envelope puts a quiet-stream plate's transition near Re_x = 2.8e6
    // (Re_theta of about 1100), the classic figure.
    EXPECT_GT(reThetaT, 1000);
    EXPECT_LT(reThetaT, 1250);
    EXPECT_GT(reTheta0, 200);
    EXPECT_LT(reTheta0, 300);

    const TransitionModel model{TransitionCriterion::Envelope, Ncrit};
    const SurfaceLayer L = MarchSurface(plate(4000), Re, {}, 1, 0, true, model);
    ASSERT_TRUE(L.transition.found);
    EXPECT_EQ(L.transitionCause, TransitionCause::Envelope);
    EXPECT_NEAR(L.transition.s / sT, 1, 2e-3);

    // A quieter stream transitions later.
    const SurfaceLayer quiet =
        MarchSurface(plate(4000), Re, {}, 1, 0, true, {TransitionCriterion::Envelope, 11});
    ASSERT_TRUE(quiet.transition.found);
    EXPECT_GT(quiet.transition.s, L.transition.s);
}

TEST(Transition, envelopeFeelsTheAdversePressureGradient)
{
    // A mildly retarded flow (Ue = 1 - s / 20) raises H along the run, and the
    // waves grow sooner and faster: transition ahead of the plate's although
    // the slower stream has the lower Re_theta.
    const double Re = 4e6;
    const TransitionModel model{TransitionCriterion::Envelope, 9};
    const SurfaceLayer flat = MarchSurface(plate(2000), Re, {}, 1, 0, true, model);
    const SurfaceLayer retarded = MarchSurface(
        stations(2000, 1, [](double s) { return 1 - s / 20; }), Re, {}, 1, 0, true, model);
    ASSERT_TRUE(flat.transition.found && retarded.transition.found);
    EXPECT_EQ(retarded.transitionCause, TransitionCause::Envelope);
    EXPECT_LT(retarded.transition.s, 0.9 * flat.transition.s);
    // With free transition off, neither criterion acts.
    EXPECT_FALSE(MarchSurface(plate(2000), Re, {}, 1, 0, false, model).transition.found);
}

TEST(TurbulentLayer, flatPlateFollowsTheOneSeventhPowerLaw)
{
    // The 1/7-power profile with Blasius' wall-shear law gives
    // delta = 0.37 x Re_x^-0.2 and Cf = 0.0577 Re_x^-0.2.
    const double Re = 1e7;
    const SurfaceLayer L = MarchSurface(plate(1000), Re, 0.005);
    ASSERT_TRUE(L.transition.found);
    EXPECT_EQ(L.transitionCause, TransitionCause::Forced);
    EXPECT_DOUBLE_EQ(L.transition.xc, 0.005);
    EXPECT_FALSE(L.turbulentSeparation.found);
    int checked = 0;
    for (std::size_t i = L.firstTurbulent; i < L.s.size(); ++i) {
        if (L.s[i] < 0.1) continue;
        const double law = 0.0577 * std::pow(Re * L.s[i], -0.2);
        EXPECT_NEAR(L.Cf[i] / law, 1, 0.10) << L.s[i];
        EXPECT_LT(L.H[i], 1.45);
        EXPECT_GT(L.H[i], 1.2);
        ++checked;
    }
    EXPECT_GT(checked, 800);
}

TEST(TurbulentLayer, startsFromTheLaminarMomentumThickness)
{
    const double Re = 1e6;
    const SurfaceLayer L = MarchSurface(plate(100), Re, 0.305);
    ASSERT_TRUE(L.transition.found);
    const std::size_t t = L.firstTurbulent;
    EXPECT_DOUBLE_EQ(L.s[t], 0.305);
    EXPECT_NEAR(L.theta[t] / std::sqrt(0.45 * 0.305 / Re), 1, 1e-3);
    EXPECT_DOUBLE_EQ(L.H[t], 1.4);
    EXPECT_GT(L.Cf[t], 3 * L.Cf[t - 1]);  // the turbulent wall shear is several times the laminar
}

TEST(SquireYoung, weighsTheMomentumThicknessWithTheEdgeSpeed)
{
    // Ue = 1.2 everywhere, laminar: theta = sqrt(0.45 s / (1.2 Re)), H = 2.61,
    // CD = 2 theta 1.2^((2.61 + 5) / 2).
    const double Re = 1e5;
    const SurfaceLayer L = MarchSurface(plate(200, 1.2), Re, {});
    const double theta = std::sqrt(0.45 / (1.2 * Re));
    EXPECT_NEAR(L.CD / (2 * theta * std::pow(1.2, 3.805)), 1, 1e-9);
}

TEST(Closure, thwaitesFitsMeetAtZeroAndMatchHisTable)
{
    EXPECT_NEAR(closure::ThwaitesH(-1e-12), 2.61, 1e-3);
    EXPECT_NEAR(closure::ThwaitesShear(-1e-12), 0.22, 1e-9);
    // Thwaites' table: lambda 0.1 -> H 2.28, l 0.359; -0.064 -> H 3.02, l 0.104.
    EXPECT_NEAR(closure::ThwaitesH(0.1), 2.28, 0.01);
    EXPECT_NEAR(closure::ThwaitesShear(0.1), 0.359, 0.002);
    EXPECT_NEAR(closure::ThwaitesH(-0.064), 3.02, 0.03);
    EXPECT_NEAR(closure::ThwaitesShear(-0.064), 0.104, 0.01);
}

TEST(Closure, envelopeRatesRiseWithTheShapeFactor)
{
    // Less full profiles (higher H) are unstable sooner and amplify faster.
    double lastCritical = 1e300, lastRate = 0;
    for (double H : {2.3, 2.5, 2.7, 2.9, 3.2, 3.5}) {
        const double critical = closure::EnvelopeCriticalReTheta(H);
        const double rate = closure::EnvelopeRate(H, 1e-4, 1e5);
        EXPECT_LT(critical, lastCritical) << H;
        EXPECT_GT(rate, lastRate) << H;
        lastCritical = critical;
        lastRate = rate;
    }
    // Below the critical Re_theta, and for a strongly accelerated profile whose
    // fits would give a negative rate, the waves do not grow.
    EXPECT_EQ(closure::EnvelopeRate(2.6, 1e-4, 0.9 * closure::EnvelopeCriticalReTheta(2.6)), 0);
    EXPECT_EQ(closure::EnvelopeRate(2.0, 1e-4, 1e9), 0);
    EXPECT_EQ(closure::EnvelopeRate(2.6, 0, 1e9), 0);
}

TEST(Closure, headShapeFactorRoundTripsThroughH1)
{
    for (double H : {1.2, 1.4, 1.59, 1.61, 2.0, 2.4, 3.0}) EXPECT_NEAR(closure::HeadHFromH1(closure::HeadH1(H)), H, 1e-9);
    // The two branches of the fit nearly meet at H = 1.6.
    EXPECT_NEAR(closure::HeadH1(1.6 - 1e-9), closure::HeadH1(1.6 + 1e-9), 0.03);
}

}  // namespace
}  // namespace tavrix
