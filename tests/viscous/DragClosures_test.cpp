// The closure relations and the amplification rate at points worked by hand
// from the published fits, and the exactness of the dual-number derivatives
// the Newton iteration relies on.
#include "viscous/DragClosures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavrix::coupled {
namespace {

TEST(LaminarClosures, blasiusProfile)
{
    // Hk = 2.59 (Blasius): a = Hk - 4.35 = -1.76, a^2 = 3.0976, a^3 = -5.451776,
    // (a Hk)^2 = 20.779011, Hk + 1 = 3.59:
    // H* = 1.528 + 0.0111 * 3.0976 / 3.59 + 0.0278 * 5.451776 / 3.59 - 0.0002 * 20.779011
    //    = 1.528 + 0.0095776 + 0.0422177 - 0.0041558 = 1.5756395 (exact profile 1.5725).
    EXPECT_NEAR(laminarHstar(2.59), 1.5756388, 2e-6);
    // Cf Re_theta = -0.07 + 0.0727 * (5.5 - 2.59)^3 / 3.59 = -0.07 + 0.0727 * 24.642171 / 3.59
    //             = -0.07 + 0.4990211 = 0.4290211, half of it 0.2145106 (exact 0.2205).
    EXPECT_NEAR(laminarFriction(2.59), 0.2145106, 2e-6);
    // 2 CD Re_theta / H* = 0.207 + 0.00205 * 1.41^5.5; 1.41^5.5 = exp(5.5 * 0.343590)
    //                    = exp(1.889747) = 6.61745, so 0.207 + 0.013566 = 0.220566.
    EXPECT_NEAR(laminarDissipation(2.59), 0.220566, 2e-6);
}

TEST(LaminarClosures, separatedBranches)
{
    // Hk = 6: H* = 1.528 + 0.015 * 1.65^2 / 6 = 1.528 + 0.00680625 = 1.53480625;
    // Cf Re_theta / 2 = (-0.07 + 0.015 (1 - 1/1.5)^2) / 2 = (-0.07 + 0.0016667) / 2 = -0.0341667;
    // 2CD Re_theta / H* = 0.207 - 0.0016 * 4 / 1.08 = 0.2010741.
    EXPECT_NEAR(laminarHstar(6.0), 1.53480625, 1e-7);
    EXPECT_NEAR(laminarFriction(6.0), -0.0341667, 1e-7);
    EXPECT_NEAR(laminarDissipation(6.0), 0.2010741, 1e-6);
    // The branches meet at Hk = 4.35, 5.5 and 4; the wall shear vanishes where
    // 0.0727 (5.5 - Hk)^3 / (Hk + 1) = 0.07: Cf Re_theta = +0.0120 at 3.75, +0.0105 at 3.76,
    // and the root lies at Hk = 3.8307.
    EXPECT_NEAR(laminarHstar(4.35 - 1e-9), laminarHstar(4.35 + 1e-9), 1e-8);
    EXPECT_NEAR(laminarDissipation(4.0 - 1e-9), laminarDissipation(4.0 + 1e-9), 1e-8);
    EXPECT_NEAR(laminarFriction(5.5 - 1e-9), laminarFriction(5.5 + 1e-9), 1e-8);
    EXPECT_GT(laminarFriction(3.83), 0.0);
    EXPECT_LT(laminarFriction(3.84), 0.0);
}

TEST(TurbulentClosures, flatPlatePoint)
{
    // Re_theta = 3000, Hk = 1.4: H0 = 3 + 400/3000 = 3.133333, r = (H0 - Hk)/(H0 - 1)
    // = 1.733333 / 2.133333 = 0.8125; H* = 1.5 + 4/3000 + (0.5 - 4/3000) r^2 1.5 / 1.9
    //  = 1.501333 + 0.498667 * 0.660156 * 0.789474 = 1.501333 + 0.259893 = 1.761226.
    EXPECT_NEAR(turbulentHstar(1.4, 3000.0), 1.761226, 2e-6);
    // Cf = 0.3 e^(-1.862) log10(3000)^(-2.174) + 0.00011 (tanh(2.4) - 1):
    // 0.3 e^(-1.862) = 0.0466085, log10(3000) = 3.477121, ln of it 1.246205, ^-2.174 =
    // exp(-2.709249) = 0.0665868; 0.0466085 * 0.0665868 = 0.0031035;
    // tanh(2.4) - 1 = -0.016325, times 0.00011 = -1.796e-6; Cf = 0.0031017.
    EXPECT_NEAR(turbulentCf(1.4, 3000.0), 0.0031017, 2e-7);
    // Above H0 (Hk = 4, Re_theta = 1000, H0 = 3.4): a = 0.6, ln 1000 = 6.907755,
    // b = 0.6 + 4/6.907755 = 1.179059; H* = 1.5 + 0.004 + 0.36 (0.048354 / 1.390181 + 0.015/4)
    //  = 1.504 + 0.36 * 0.038533 = 1.517872.
    EXPECT_NEAR(turbulentHstar(4.0, 1000.0), 1.517872, 2e-6);
    // The two branches meet at H0.
    EXPECT_NEAR(turbulentHstar(3.4 - 1e-9, 1000.0), turbulentHstar(3.4 + 1e-9, 1000.0), 1e-8);
}

TEST(TurbulentClosures, equilibriumShearStress)
{
    // H = Hk = 1.4, H* = 1.74: Us = 0.87 (1 - 4/3 * 0.4 / 1.4) = 0.87 * 0.619048 = 0.538571;
    // C_tau,EQ = 1.74 * 0.5 / (6.7^2 * 0.75) * 0.064 / (1.96 * 1.4 * 0.461429)
    //          = 1.74 * 0.0148511 * 0.064 / 1.266160 = 0.00130617.
    const double us = slipVelocity(1.74, 1.4, 1.4, LayerKind::Turbulent);
    EXPECT_NEAR(us, 0.538571, 1e-6);
    EXPECT_NEAR(equilibriumCtau(1.74, 1.4, 1.4, us), 0.00130617, 1e-8);
    // The wake has no wall friction; both its halves dissipate.
    const ClosureValues<double> w = evaluateClosures(LayerKind::Wake, 0.01, 0.014, 1.0, 0.001, 1e6);
    EXPECT_EQ(w.cfHalf, 0.0);
    EXPECT_NEAR(w.dissipation * w.hstar / 2, 2 * 0.001 * (1 - w.us), 1e-15);
}

TEST(Amplification, envelopeAtBlasius)
{
    // Hk = 2.59, 1/(Hk - 1) = 0.628931:
    // log10 Re_theta0 = (1.415 * 0.628931 - 0.489) tanh(20 * 0.628931 - 12.9) + 3.295 * 0.628931 + 0.44
    //   = 0.400937 * tanh(-0.321384) + 2.072327 + 0.44 = 0.400937 * (-0.310757) + 2.512327
    //   = 2.387733, Re_theta0 = 244.19.
    EXPECT_NEAR(envelopeLog10CriticalReTheta(2.59), 2.387733, 2e-6);
    // dn/dRe_theta = 0.01 sqrt((6.216 - 3.7 + 2.5 tanh(-0.765))^2 + 0.25),
    // tanh(-0.765) = -0.644013: (2.516 - 1.610032)^2 = 0.820779; sqrt(1.070779) = 1.034784.
    EXPECT_NEAR(envelopeRatePerReTheta(2.59), 0.01034784, 2e-8);
    // theta dn/dxi = dn/dRe_theta (m + 1)/2 l, l = (16.9386 - 14.07)/6.7081 = 0.427632,
    // m = (0.058 * 1.9881 / 1.59 - 0.068)/l = 0.0045219/0.427632 = 0.010574:
    // 0.01034784 * 0.505287 * 0.427632 = 0.00223593 (well above the critical Re_theta).
    EXPECT_NEAR(envelopeRateTheta(2.59, 2000.0), 0.00223593, 2e-8);
    // No growth below it, up to it (244.19) nor at it; the full rate once
    // log10 Re_theta is 0.08 above it (Re_theta 293.6).
    EXPECT_EQ(envelopeRateTheta(2.59, 200.0), 0.0);
    EXPECT_EQ(envelopeRateTheta(2.59, 244.0), 0.0);
    EXPECT_GT(envelopeRateTheta(2.59, 250.0), 0.0);
    EXPECT_NEAR(envelopeRateTheta(2.59, 300.0), 0.00223593, 2e-8);
}

TEST(DualNumbers, derivativesMatchDifferences)
{
    // The exact derivative of each closure against a central difference.
    using D = Dual<2>;
    const double hk = 2.9, rt = 1500;
    auto check = [&](auto f, double tol) {
        const D r = f(D::variable(hk, 0), D::variable(rt, 1));
        const double e = 1e-6;
        const double dh = (f(hk + e, rt) - f(hk - e, rt)) / (2 * e);
        const double dr = (f(hk, rt + 1e-3) - f(hk, rt - 1e-3)) / 2e-3;
        EXPECT_NEAR(r.d[0], dh, tol * (1 + std::abs(dh)));
        EXPECT_NEAR(r.d[1], dr, tol * (1 + std::abs(dr)));
    };
    check([](auto h, auto) { return laminarHstar(h); }, 1e-6);
    check([](auto h, auto) { return laminarFriction(h); }, 1e-6);
    check([](auto h, auto) { return laminarDissipation(h); }, 1e-6);
    check([](auto h, auto r) { return turbulentHstar(h, r); }, 1e-6);
    check([](auto h, auto r) { return turbulentCf(h, r); }, 1e-6);
    check([](auto h, auto r) { return envelopeRateTheta(h, r * 0.17); }, 1e-5);
}

}  // namespace
}  // namespace tavrix::coupled
