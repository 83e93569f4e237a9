// The coupled Newton iteration on stations built by hand: a flat plate at
// zero incidence seen as a thin airfoil (both surfaces at q = +-1 with the
// stagnation point at the leading edge) with its wake, first without
// interaction (the direct problem, whose drag Blasius gives) and then with
// the displacement interaction of a thin source sheet.
#include "viscous/CoupledSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

namespace tavrix::coupled {
namespace {

// m panels per surface (cosine spacing), nWake wake stations over one chord.
// wakeAtEdge: the first wake station sits on the trailing edge.
CouplingStations thinPlate(int m, int nWake, bool wakeAtEdge, bool interaction)
{
    CouplingStations st;
    st.nAirfoil = 2 * m;
    st.nWake = nWake;
    auto add = [&](double x, double s, double q) {
        st.x.push_back(x);
        st.y.push_back(0);
        st.s.push_back(s);
        st.qInviscid.push_back(q);
        st.dqdAlpha.push_back(0);
    };
    // the panels' mid points along x from the trailing edge; s runs from the
    // lower surface's first station over the nose
    std::vector<double> mid;
    for (int i = 0; i < m; ++i)
        mid.push_back(0.25 * (2 + std::cos(std::numbers::pi * i / m) + std::cos(std::numbers::pi * (i + 1) / m)));
    for (int i = 0; i < m; ++i) add(mid[i], mid[0] - mid[i], -1);      // lower surface
    for (int i = m - 1; i >= 0; --i) add(mid[i], mid[0] + mid[i], 1);  // upper surface
    const auto wakeEnd = [&](int i) { return std::pow(double(i) / nWake, 1.5); };
    for (int i = 0; i < nWake; ++i) {
        const double sw = wakeAtEdge ? wakeEnd(i) : 0.5 * (wakeEnd(i) + wakeEnd(i + 1));
        add(1 + sw, sw, 1);
    }
    const int n = st.size();
    st.D.assign(static_cast<std::size_t>(n) * n, 0.0);
    if (interaction) {
        // A source sheet on y = 0 of strength sigma = dm/dx (m the sum of the mass
        // defects of both surfaces, or the wake's) induces u(x) = (1/2 pi) integral
        // sigma(x') / (x - x') dx'. Piecewise-constant sigma between station
        // midpoints; the speed at a station is signed as its q.
        auto sign = [&](int j) { return j < m ? -1.0 : 1.0; };
        // For each surface station pair at the same x, and the wake, build the
        // line of x positions 0..2 with the m of each point.
        std::vector<std::vector<int>> pointStations;
        std::vector<double> px;
        for (int i = m - 1; i >= 0; --i) {  // by increasing x: lower station i, upper 2m - 1 - i
            px.push_back(st.x[i]);
            pointStations.push_back({i, 2 * m - 1 - i});
        }
        for (int j = 2 * m; j < n; ++j) {
            px.push_back(st.x[j]);
            pointStations.push_back({j});
        }
        const int np = static_cast<int>(px.size());
        // du(x_i)/dm_p: sigma on segment [x_p, x_{p+1}] is (m_{p+1} - m_p)/(x_{p+1} - x_p).
        auto kernel = [&](double x, double a, double b) {
            return std::log(std::abs((x - a) / (x - b))) / (2 * std::numbers::pi);
        };
        for (int i = 0; i < n; ++i) {
            const double xi = st.x[i];
            for (int p = 0; p + 1 < np; ++p) {
                const double a = px[p], b = px[p + 1];
                const double k = kernel(xi + 1e-9, a, b) / (b - a);
                // u_i += k (m_{p+1} - m_p)
                for (int j : pointStations[p + 1]) st.D[i * n + j] += sign(i) * k * sign(j);
                for (int j : pointStations[p]) st.D[i * n + j] -= sign(i) * k * sign(j);
            }
        }
    }
    return st;
}

CoupledOptions plateOptions(double re)
{
    CoupledOptions o;
    o.re = re;
    return o;
}

TEST(CoupledPlate, directProblemGivesBlasiusDrag)
{
    // Laminar on both sides at Re = 1e6 (Re_theta at the edge 666 < 1332 of n = 9):
    // theta of each side 0.664 / sqrt(Re), the wake at ue = 1 keeps theta, so
    // CD = 2 theta_wake = 4 * 0.664 / sqrt(Re) = 2.656e-3, all of it friction.
    for (bool atEdge : {true, false}) {
        const CouplingStations st = thinPlate(80, 30, atEdge, false);
        CoupledOptions o = plateOptions(1e6);
        const CoupledResult r = solveCoupled(st, o);
        ASSERT_TRUE(r.converged) << r.reason;
        const double cd = 4 * 0.664 / std::sqrt(o.re);
        EXPECT_NEAR(r.cd, cd, 0.015 * cd);
        EXPECT_NEAR(r.cdf, cd, 0.015 * cd);
        EXPECT_NEAR(r.cdp, 0, 0.02 * cd);
        EXPECT_FALSE(r.transitionUpper.has_value());
        EXPECT_FALSE(r.separationUpper.has_value());
        // The coupling holds: ue = |q| = 1 everywhere.
        for (const auto& s : r.stations) EXPECT_NEAR(s.ue, 1, 1e-9);
    }
}

TEST(CoupledPlate, transitionWhereTheEnvelopeReachesNine)
{
    // At Re = 6e6 the plate's layer reaches n = 9 at Re_x = 4.001e6 (worked in
    // the march's test): x/c = 0.667 on both surfaces.
    const CouplingStations st = thinPlate(100, 30, false, false);
    CoupledOptions o = plateOptions(6e6);
    const CoupledResult r = solveCoupled(st, o);
    ASSERT_TRUE(r.converged) << r.reason;
    ASSERT_TRUE(r.transitionUpper && r.transitionLower);
    EXPECT_NEAR(*r.transitionUpper, 0.667, 0.03);
    EXPECT_NEAR(*r.transitionLower, 0.667, 0.03);
    // A trip at 0.1 on the upper surface moves that one only.
    o.tripUpperX = 0.1;
    const CoupledResult t = solveCoupled(st, o);
    ASSERT_TRUE(t.converged) << t.reason;
    EXPECT_NEAR(*t.transitionUpper, 0.1, 0.01);
    EXPECT_NEAR(*t.transitionLower, 0.667, 0.03);
    EXPECT_GT(t.cd, r.cd * 1.2);
}

TEST(CoupledPlate, interactionConvergesQuadratically)
{
    const CouplingStations st = thinPlate(80, 30, false, true);
    CoupledOptions o = plateOptions(1e5);
    const CoupledResult r = solveCoupled(st, o);
    ASSERT_TRUE(r.converged) << r.reason;
    // Newton's rate: once below 1e-3, the logarithm of the residual at least
    // about doubles in magnitude each step (r_{k+1} <= C r_k^2).
    const auto& h = r.residualHistory;
    int quadraticSteps = 0;
    for (std::size_t i = 1; i < h.size(); ++i) {
        // (down to the rounding floor of the residuals, about 1e-13)
        if (h[i - 1] < 1e-3 && h[i] > 1e-13) {
            EXPECT_LT(std::log10(h[i]), 1.7 * std::log10(h[i - 1])) << i;
            ++quadraticSteps;
        }
    }
    EXPECT_GE(quadraticSteps, 1);
    // The displacement speeds the flow up over the plate, so the edge speed
    // rises above 1 and the drag above the direct problem's.
    const CoupledResult direct = solveCoupled(thinPlate(80, 30, false, false), o);
    ASSERT_TRUE(direct.converged);
    EXPECT_GT(r.cd, direct.cd);
    double maxUe = 0;
    for (const auto& s : r.stations) maxUe = std::max(maxUe, s.ue);
    EXPECT_GT(maxUe, 1.0);
    // The coupling holds at the solution.
    for (std::size_t i = 0; i < r.stations.size(); ++i) {
        double q = st.qInviscid[i];
        for (std::size_t j = 0; j < r.stations.size(); ++j)
            q += st.at(int(i), int(j)) * r.stations[j].q * r.stations[j].dstar;
        EXPECT_NEAR(r.stations[i].q, q, 1e-8);
    }
}

TEST(CoupledPlate, badInputIsRefusedWithAReason)
{
    CouplingStations st = thinPlate(20, 5, false, false);
    st.D.pop_back();
    const CoupledResult r = solveCoupled(st, {});
    EXPECT_FALSE(r.converged);
    EXPECT_FALSE(r.reason.empty());
    CouplingStations allPositive = thinPlate(20, 5, false, false);
    for (double& q : allPositive.qInviscid) q = 1;
    const CoupledResult p = solveCoupled(allPositive, {});
    EXPECT_FALSE(p.converged);
    EXPECT_EQ(p.reason, "no stagnation point on the contour");
    CouplingStations nan = thinPlate(20, 5, false, false);
    nan.qInviscid[3] = std::nan("");
    EXPECT_FALSE(solveCoupled(nan, {}).converged);
    // Without wake stations the drag is Squire-Young's at the trailing edge.
    CoupledOptions o = plateOptions(1e6);
    const CoupledResult noWake = solveCoupled(thinPlate(60, 0, false, false), o);
    ASSERT_TRUE(noWake.converged) << noWake.reason;
    EXPECT_NEAR(noWake.cd, 4 * 0.664 / std::sqrt(o.re), 0.015 * 4 * 0.664 / std::sqrt(o.re));
}

TEST(CoupledSweep, runsOutwardAndReportsWhatItCannotBuild)
{
    // Stations that do not depend on the angle below 3 degrees; above, the
    // inviscid side refuses them. Every point comes back in the order asked,
    // the refused ones not converged with the refusal's words, and no NaN.
    const CouplingStations plate = thinPlate(40, 15, false, false);
    const StationsOfAngle stationsOf = [&](double alpha) -> Outcome<CouplingStations> {
        if (alpha > 3) return Refusal{Refusal::Kind::NoFiniteResult, "no wake for this angle"};
        return plate;
    };
    CoupledOptions o = plateOptions(1e6);
    const std::vector<double> alphas{4, -2, 0, 2, 1};
    const std::vector<SweepPoint> points = sweepCoupled(alphas, stationsOf, o);
    ASSERT_EQ(points.size(), alphas.size());
    for (std::size_t i = 0; i < alphas.size(); ++i) {
        EXPECT_EQ(points[i].alphaDeg, alphas[i]);
        EXPECT_TRUE(std::isfinite(points[i].result.cd));
        if (alphas[i] > 3) {
            EXPECT_FALSE(points[i].result.converged);
            EXPECT_EQ(points[i].result.reason, "no wake for this angle");
        } else {
            EXPECT_TRUE(points[i].result.converged) << alphas[i];
            // The same stations, the same drag.
            EXPECT_NEAR(points[i].result.cd, points[2].result.cd, 1e-9);
        }
    }
}

// Both branches of a sweep at once, on two threads (the plate's stations
// for every angle), cancelled from the progress callback once the start
// point is done: neither branch solves more. (That each branch gives its
// own points to the bit: the test below and the NACA 0012 sweep's.)
TEST(CoupledSweep, aCancelFromTheProgressStopsBothBranches)
{
    const CouplingStations plate = thinPlate(40, 15, false, true);
    const StationsOfAngle stationsOf = [&](double) -> Outcome<CouplingStations> { return plate; };
    std::size_t asked = 0;
    const std::vector<SweepPoint> stopped = sweepCoupled(
        {-2, -1, 0, 1, 2}, stationsOf, plateOptions(1e6), [&](std::size_t done, std::size_t) {
            ++asked;  // (never from both threads at once)
            return done < 1;
        });
    EXPECT_TRUE(stopped[2].result.converged);
    for (std::size_t k : {0u, 1u, 3u, 4u}) {
        EXPECT_FALSE(stopped[k].result.converged);
        EXPECT_EQ(stopped[k].result.iterations, 0);
    }
    EXPECT_GE(asked, 2u);
}

// A branch that is done builds the other's stations ahead of it: with one
// angle below the start and six above, the thread of the short branch
// builds some of the long one's. Every angle's stations are built once, and
// each point is, to the bit, what the long branch alone gives (the stations
// depend on the angle here, so that stations handed to the wrong angle
// would show).
TEST(CoupledSweep, stationsBuiltAheadForTheLongerBranchAreEachAngleOwn)
{
    const CouplingStations plate = thinPlate(40, 15, false, true);
    std::mutex counting;
    std::map<double, int> built;
    const StationsOfAngle stationsOf = [&](double alpha) -> Outcome<CouplingStations> {
        {
            const std::lock_guard<std::mutex> lock(counting);
            ++built[alpha];
        }
        CouplingStations st = plate;
        st.alphaDeg = alpha;
        for (double& q : st.qInviscid) q *= 1 + 0.01 * alpha;
        return st;
    };
    CoupledOptions o = plateOptions(1e6);
    const std::vector<double> alphas{-1, 0, 1, 2, 3, 4, 5, 6};
    const std::vector<SweepPoint> both = sweepCoupled(alphas, stationsOf, o);
    for (const auto& [alpha, count] : built) EXPECT_EQ(count, 1) << alpha;
    EXPECT_EQ(built.size(), alphas.size());
    const std::vector<SweepPoint> up = sweepCoupled({0, 1, 2, 3, 4, 5, 6}, stationsOf, o);
    for (std::size_t k = 1; k < alphas.size(); ++k) {
        SCOPED_TRACE(alphas[k]);
        ASSERT_TRUE(both[k].result.converged) << both[k].result.reason;
        EXPECT_EQ(both[k].result.iterations, up[k - 1].result.iterations);
        EXPECT_EQ(both[k].result.cd, up[k - 1].result.cd);
        EXPECT_EQ(both[k].result.circulationLift, up[k - 1].result.circulationLift);
    }
}

TEST(CoupledPlate, findsTheAngleOfAPrescribedLift)
{
    // The plate's inviscid speed grows with the angle as q = q0 cos(alpha) +
    // 0.5 sin(alpha) on both surfaces (a circulation), and the lift of a speed
    // distribution is the integral of q_upper^2 - q_lower^2 along x: about
    // 4 * 0.5 sin(alpha) = 2 sin(alpha) inviscid. A target CL = 0.3 wants
    // alpha near asin(0.15) = 8.63 degrees, a little more with the layers.
    const int m = 60;
    CouplingStations st = thinPlate(m, 20, false, false);
    for (int i = 0; i < st.nAirfoil; ++i) st.dqdAlpha[i] = 0.5;
    std::vector<double> width(m);  // panel widths, lower station i pairs with upper 2m - 1 - i
    for (int i = 0; i < m; ++i)
        width[i] = 0.5 * (std::cos(std::numbers::pi * i / m) - std::cos(std::numbers::pi * (i + 1) / m));
    CoupledOptions o = plateOptions(1e6);
    o.targetCl = 0.3;
    o.liftOf = [&](const std::vector<double>& q, double) {
        double cl = 0;
        for (int i = 0; i < m; ++i) cl += width[i] * (q[2 * m - 1 - i] * q[2 * m - 1 - i] - q[i] * q[i]);
        return cl;
    };
    const CoupledResult r = solveCoupled(st, o);
    ASSERT_TRUE(r.converged) << r.reason;
    EXPECT_NEAR(o.liftOf(r.q, r.alphaDeg), 0.3, 1e-8);
    EXPECT_GT(r.alphaDeg, 8.63);
    EXPECT_LT(r.alphaDeg, 9.6);
    // Without a target the angle stays the stations'.
    CoupledOptions plain = o;
    plain.targetCl.reset();
    EXPECT_EQ(solveCoupled(st, plain).alphaDeg, 0.0);
}

TEST(CoupledSweep, aPointThatFailsFreshIsReachedFromZeroWithin25Degrees)
{
    // The first building of the target angle's stations is refused, every
    // later one gives the plate: the fresh start fails, the sweep from 0 by
    // whole degrees reaches the angle (route 2) with the plate's drag.
    const CouplingStations plate = thinPlate(40, 15, false, false);
    CoupledOptions o = plateOptions(1e6);
    for (const double target : {3.5, -2.0}) {
        std::map<double, int> calls;
        const StationsOfAngle stationsOf = [&](double alpha) -> Outcome<CouplingStations> {
            if (alpha == target && calls[alpha]++ == 0)
                return Refusal{Refusal::Kind::NoFiniteResult, "not this time"};
            ++calls[alpha];
            return plate;
        };
        const SweepPoint p = solveWithContinuation(target, stationsOf, o);
        EXPECT_EQ(p.alphaDeg, target);
        ASSERT_TRUE(p.result.converged) << target << ": " << p.result.reason;
        EXPECT_EQ(p.route, 2);
        EXPECT_NEAR(p.result.cd, solveCoupled(plate, o).cd, 1e-9);
        // Every whole degree between was built on the way.
        for (int k = 0; k < std::abs(target); ++k) EXPECT_GT(calls[target < 0 ? -k : k], 0) << k;
    }
    // Beyond 25 degrees the fresh start's failure is the answer, at once.
    int built = 0;
    const StationsOfAngle refusing = [&](double) -> Outcome<CouplingStations> {
        ++built;
        return Refusal{Refusal::Kind::NoFiniteResult, "past the stall"};
    };
    const SweepPoint far = solveWithContinuation(30, refusing, o);
    EXPECT_FALSE(far.result.converged);
    EXPECT_EQ(far.result.reason, "past the stall");
    EXPECT_EQ(built, 1);

    // The walk from 0 ends at the first angle it cannot reach (here 2
    // degrees, in one step or in two or four): 3 degrees is never built.
    std::map<double, int> walked;
    const StationsOfAngle wall = [&](double alpha) -> Outcome<CouplingStations> {
        ++walked[alpha];
        if (alpha >= 1.2) return Refusal{Refusal::Kind::NoFiniteResult, "a wall"};
        return plate;
    };
    const SweepPoint stopped = solveWithContinuation(4, wall, o);
    EXPECT_FALSE(stopped.result.converged);
    EXPECT_EQ(stopped.result.reason, "a wall");
    EXPECT_GT(walked[1.0], 0);
    EXPECT_GT(walked[2.0], 0);
    EXPECT_EQ(walked.count(3.0), 0u);
}

TEST(ConvergedLayer, aZigzagOfTheEdgeSpeedIsAModeNotAFlow)
{
    // A decelerating run (changes of -0.01) with a sawtooth of 0.02 from the
    // sixth point on: the changes -0.01, +0.01, -0.03, +0.01 at indices 4 to 7
    // alternate four times in a row, so index 7 marks it.
    std::vector<double> ue;
    for (int k = 0; k < 20; ++k) ue.push_back(1.2 - 0.01 * k + (k >= 5 ? 0.02 * (k % 2) : 0.0));
    ASSERT_TRUE(firstZigzag(ue).has_value());
    EXPECT_EQ(*firstZigzag(ue), 7u);
    // Smooth deceleration, a single kink (the stagnation point's neighbours,
    // a trailing edge) and a ripple below half a per cent pass.
    std::vector<double> smooth, kink, ripple;
    for (int k = 0; k < 20; ++k) {
        smooth.push_back(1.2 - 0.01 * k);
        kink.push_back(k < 10 ? 0.1 * k : 1.0 - 0.01 * (k - 10));
        ripple.push_back(1.2 - 0.001 * k + 0.002 * (k % 2));
    }
    // A momentum thickness that doubles over one interval and falls back by a
    // third over the next (a wake's first stations in a spurious solution).
    EXPECT_EQ(firstZigzag({3.6e-3, 3.8e-3, 7.7e-3, 5.1e-3, 5.2e-3}), std::optional<std::size_t>(3));
    EXPECT_FALSE(firstZigzag(smooth));
    EXPECT_FALSE(firstZigzag(kink));
    EXPECT_FALSE(firstZigzag(ripple));
    EXPECT_FALSE(firstZigzag({}));
}

// Beyond the angles that failed near the stall, a converged point whose lift
// runs far ahead of the lift curve before them is another branch of the
// equations (NACA 0012 at Re 3e6: 1.54 at 16 degrees rising by 0.012 per
// degree, then 2.07 at 19 from a fresh start, where the stalled flow has
// 1.57); a lift that falls beyond them, or one that follows the curve,
// is not.
TEST(SweepBranches, aLiftFarAheadOfTheCurveBeyondTheFailuresIsAnotherBranch)
{
    const std::vector<double> alphas{14, 15, 16, 17, 18, 19, 20};
    const std::vector<double> lift{1.4535, 1.5299, 1.5421, 0, 0, 2.0741, 1.9323};
    const std::vector<char> converged{1, 1, 1, 0, 0, 1, 1};
    const std::vector<BranchJump> jumps = liftAheadOfTheCurve(alphas, lift, converged);
    ASSERT_EQ(jumps.size(), 2u);
    EXPECT_EQ(jumps[0].point, 5u);
    EXPECT_EQ(jumps[1].point, 6u);
    EXPECT_EQ(jumps[0].lastBefore, 2u);

    // The stalled flow beyond the failures: 1.57 and 1.51.
    const std::vector<double> stalled{1.4535, 1.5299, 1.5421, 0, 0, 1.5654, 1.5141};
    EXPECT_TRUE(liftAheadOfTheCurve(alphas, stalled, converged).empty());

    // Downwards from 0 on a cambered section: -1 degree failed, the lift at
    // -2 lies on the thin-airfoil slope from 0, at -4 too.
    const std::vector<double> down{-4, -3, -2, -1, 0, 1};
    const std::vector<double> camberedLift{0.0245, 0.1300, 0.2360, 0, 0.4516, 0.5603};
    const std::vector<char> downConverged{1, 1, 1, 0, 1, 1};
    EXPECT_TRUE(liftAheadOfTheCurve(down, camberedLift, downConverged).empty());
    // ... but a point far below the curve there is flagged (a negative stall
    // passed on another branch).
    std::vector<double> farBelow = camberedLift;
    farBelow[0] = -0.6;
    const std::vector<BranchJump> below = liftAheadOfTheCurve(down, farBelow, downConverged);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0].point, 0u);
    EXPECT_EQ(below[0].lastBefore, 4u);

    // Without a failure: NACA 0012 turns over at 18 degrees (1.605, 1.554
    // at 19), and a fresh start at 20 lands on the attached branch at 1.93,
    // 0.38 up in one degree where no lift curve rises by more than 0.11;
    // the stalled flow's own recovery, or the lift curve before the stall,
    // is kept.
    const std::vector<char> all(7, 1);
    const std::vector<double> over{1.4535, 1.5299, 1.5421, 1.5962, 1.6050, 1.5540, 1.9323};
    const std::vector<BranchJump> back = liftAheadOfTheCurve(alphas, over, all);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].point, 6u);
    EXPECT_EQ(back[0].lastBefore, 5u);
    const std::vector<double> recovers{1.4535, 1.5299, 1.5421, 1.5962, 1.6050, 1.5540, 1.6180};
    EXPECT_TRUE(liftAheadOfTheCurve(alphas, recovers, all).empty());
    // After a dip of 0.02 (a separation bubble at a low Reynolds number)
    // the lift curve goes on at its slope.
    const std::vector<double> dipped{1.0, 1.1, 1.08, 1.2, 1.3, 1.35, 1.4};
    EXPECT_TRUE(liftAheadOfTheCurve(alphas, dipped, all).empty());
}

// The curve beyond a failure is continued at its slope over the last two
// degrees, not over the sweep's last step: NACA 0012 at Re 3e6 swept by half
// degrees dips by 0.012 from 15.5 to 16 degrees, fails at 16.5 and goes on
// at 1.596 at 17, as the sweep by whole degrees reaches it warm from 16; the
// attached branch at 2.07 is still flagged.
TEST(SweepBranches, theCurveBeyondAFailureIsContinuedOverItsLastDegreesNotItsLastStep)
{
    const std::vector<double> alphas{14, 14.5, 15, 15.5, 16, 16.5, 17, 17.5, 18, 18.5, 19};
    const std::vector<char> converged{1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1};
    const std::vector<double> stalled{1.4535, 1.4946, 1.5299, 1.5542, 1.5421, 0,
                                      1.5962, 1.6073, 1.6050, 1.5887, 1.5540};
    EXPECT_TRUE(liftAheadOfTheCurve(alphas, stalled, converged).empty());
    std::vector<double> attached = stalled;
    attached[10] = 2.0741;
    const std::vector<BranchJump> jumps = liftAheadOfTheCurve(alphas, attached, converged);
    ASSERT_EQ(jumps.size(), 1u);
    EXPECT_EQ(jumps[0].point, 10u);
    EXPECT_EQ(jumps[0].lastBefore, 4u);
}

}  // namespace
}  // namespace tavrix::coupled
