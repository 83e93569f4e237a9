// The integral layer marched on prescribed edge speeds: the laminar flat plate
// against Blasius, the tripped turbulent plate against the Coles-Fernholz
// skin-friction law, free transition on a plate where the e^9 envelope puts
// it, and the inverse mode through a laminar separation.
#include "viscous/IntegralLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tavrix::coupled {
namespace {

// Stations on 0 < xi <= 1, packed towards the leading edge.
std::vector<double> plateStations(int n)
{
    std::vector<double> xi;
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n;
        xi.push_back(1e-5 + (1 - 1e-5) * t * t);
    }
    return xi;
}

// A plate's layer starts as Blasius' (ue = K xi^0).
MarchOptions plate(double re, double ncrit = 9)
{
    MarchOptions o;
    o.re = re;
    o.ncrit = ncrit;
    o.startExponent = 0;
    return o;
}

const MarchedStation& nearest(const MarchResult& r, double xi)
{
    std::size_t best = 0;
    for (std::size_t i = 0; i < r.stations.size(); ++i)
        if (std::abs(r.stations[i].xi - xi) < std::abs(r.stations[best].xi - xi)) best = i;
    return r.stations[best];
}

TEST(FlatPlate, laminarFollowsBlasius)
{
    // Blasius: theta = 0.664 x / sqrt(Re_x), Cf = 0.664 / sqrt(Re_x), H = 2.59.
    const double re = 1e5;  // Re_theta stays below the critical 244 (Re_x < 1.35e5)
    const auto xi = plateStations(200);
    const MarchResult r = marchLayer(xi, std::vector<double>(xi.size(), 1.0), plate(re));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(std::isnan(r.transitionXi));
    for (double x : {0.25, 0.5, 1.0}) {
        const MarchedStation& s = nearest(r, x);
        const double rex = re * s.xi;
        const double cf = stationClosures(s.kind, s.v, re).cf;
        EXPECT_NEAR(s.v.theta, 0.664 * s.xi / std::sqrt(rex), 0.01 * 0.664 * s.xi / std::sqrt(rex));
        EXPECT_NEAR(cf, 0.664 / std::sqrt(rex), 0.01 * 0.664 / std::sqrt(rex));
        EXPECT_NEAR(s.v.dstar / s.v.theta, 2.59, 0.01);
        EXPECT_EQ(s.kind, LayerKind::Laminar);
    }
}

TEST(FlatPlate, trippedTurbulentFollowsColesFernholz)
{
    // Coles-Fernholz: Cf = 2 / (ln(Re_theta) / 0.384 + 4.127)^2, within 5 %
    // once the layer has forgotten its trip.
    const double re = 1e7;
    MarchOptions o = plate(re);
    o.tripXi = 0.005;
    const auto xi = plateStations(200);
    const MarchResult r = marchLayer(xi, std::vector<double>(xi.size(), 1.0), o);
    ASSERT_TRUE(r.ok);
    EXPECT_NEAR(r.transitionXi, 0.005, 1e-12);
    for (double x : {0.3, 0.6, 1.0}) {
        const MarchedStation& s = nearest(r, x);
        ASSERT_EQ(s.kind, LayerKind::Turbulent);
        const double reTheta = re * s.v.theta;
        const double a = std::log(reTheta) / 0.384 + 4.127;
        const double cfRef = 2 / (a * a);
        EXPECT_NEAR(stationClosures(s.kind, s.v, re).cf, cfRef, 0.05 * cfRef) << x;
        // An equilibrium layer at zero pressure gradient: H about 1.3 to 1.45.
        EXPECT_GT(s.v.dstar / s.v.theta, 1.25);
        EXPECT_LT(s.v.dstar / s.v.theta, 1.5);
        // sqrt(C_tau) relaxed to its equilibrium value.
        const double eq = stationClosures(s.kind, s.v, re).ctauEq;
        EXPECT_NEAR(s.v.c * s.v.c, eq, 0.1 * eq);
    }
}

TEST(FlatPlate, freeTransitionWhereTheEnvelopeReachesNine)
{
    // At Hk = 2.59 the envelope gives Re_theta0 = 244.19 and
    // dn/dxi = 0.01034784 * 0.505287 * 0.427632 / theta = 0.00223593 / theta, while
    // Blasius' layer grows as dRe_theta/dxi = Re (Cf Re_theta/2) / Re_theta =
    // 0.220674 Re / Re_theta, so dn/dRe_theta = 0.00223593 / 0.220674 = 0.0101323.
    // n = 9 at Re_theta = 244.19 + 9 / 0.0101323 = 1132.4, Re_x = (1132.4 / 0.66434)^2 = 2.906e6
    // (0.66434 = sqrt(2 * 0.220674)).
    const double re = 1e7;
    const auto xi = plateStations(300);
    const MarchResult r = marchLayer(xi, std::vector<double>(xi.size(), 1.0), plate(re, 9.0));
    ASSERT_TRUE(r.ok);
    ASSERT_FALSE(std::isnan(r.transitionXi));
    EXPECT_NEAR(r.transitionXi * re, 2.906e6, 0.03 * 2.906e6);
    // A lower critical amplification moves it upstream: n = 4 at Re_theta = 639.0,
    // Re_x = 9.25e5.
    const MarchResult r4 = marchLayer(xi, std::vector<double>(xi.size(), 1.0), plate(re, 4.0));
    const double rex4 = std::pow((244.19 + 4 / 0.0101323) / 0.66434, 2);
    EXPECT_NEAR(r4.transitionXi * re, rex4, 0.04 * rex4);
    EXPECT_EQ(nearest(r, 0.9).kind, LayerKind::Turbulent);
    EXPECT_EQ(nearest(r, 0.1).kind, LayerKind::Laminar);
}

TEST(SeparatingLayer, inverseModeCarriesThroughLaminarSeparation)
{
    // Howarth's retarded flow ue = 1 - xi/8 separates at xi = 0.96 (exact, 0.12 * 8);
    // direct marching breaks down there, the inverse mode takes the layer on with
    // a slowly rising shape factor and an edge speed of its own.
    const double re = 1e5;
    const auto xi = plateStations(200);
    std::vector<double> ue;
    for (double x : xi) ue.push_back(1 - x / 8);
    const MarchOptions o = plate(re, 50);  // kept laminar
    const MarchResult r = marchLayer(xi, ue, o);
    ASSERT_TRUE(r.ok);
    bool anyInverse = false;
    double firstInverse = 2;
    for (const auto& s : r.stations) {
        EXPECT_TRUE(std::isfinite(s.v.theta) && std::isfinite(s.v.dstar) && std::isfinite(s.v.ue));
        if (s.inverse && !anyInverse) firstInverse = s.xi;
        anyInverse = anyInverse || s.inverse;
    }
    EXPECT_TRUE(anyInverse);
    // The threshold Hk = 3.8 comes shortly before separation (Hk about 4).
    EXPECT_GT(firstInverse, 0.7);
    EXPECT_LT(firstInverse, 1.0);
}

}  // namespace
}  // namespace tavrix::coupled
