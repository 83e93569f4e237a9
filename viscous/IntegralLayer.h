// The discrete integral boundary layer: the residuals of one interval between
// two stations (momentum, kinetic-energy shape parameter, and the amplification
// n or the shear lag on sqrt(C_tau)), trapezoidal in logarithmic variables; the
// similarity start at the stagnation point; the start of the wake from the two
// trailing-edge layers; and a march of one layer on a prescribed edge speed.
//
// Per station the state is (theta, delta*, c, ue) with c = n while the layer
// is laminar and c = sqrt(C_tau) once it is turbulent. xi is the arc length
// from the stagnation point (on the wake: from the stagnation point along the
// mean of the two surfaces, then along the wake), so that the log form
// (Cf/2)(xi/theta) d(ln xi) stays regular at the leading edge.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "viscous/DragClosures.h"

namespace tavrix::coupled {

template <class T>
struct LayerVars {
    T theta, dstar, c, ue;
};

struct IntervalSetup {
    LayerKind kindA = LayerKind::Laminar;
    LayerKind kindB = LayerKind::Laminar;  // Laminar then Turbulent: transition inside
    double xiA = 0, xiB = 0;
    double re = 1e6;
    double ncrit = 9;
    // Forced transition (arc length from the stagnation point); infinity for none.
    double tripXi = std::numeric_limits<double>::infinity();
};

bool isTransitionInterval(const IntervalSetup& setup);

// The shape equation relaxes H* towards its equilibrium over some tens of
// theta. Over a turbulent interval much longer than that the trapezoidal rule
// overshoots: it asks the downstream end to lie about as far beyond the
// equilibrium as the upstream end lies short of it. Behind a transition at a
// high Reynolds number (NACA 0012 at Re 1e8 on xfoil's 161 nodes: an interval
// of 500 theta starting from H = 2.1) no attached state meets that, and the
// layer separated where it stays attached; above Re 2e7 most points failed.
// From kStiffShapeReynolds on, beyond kStiffShapeSpan momentum thicknesses
// the weight of the interval's downstream end rises from 1/2 (with zero
// slope) towards 1, which damps the relaxation for any length; shorter
// intervals keep the trapezoidal rule. (Over -4 to 12 degrees of NACA 0012,
// 2412 and 4415 at Re 2e7 to 1e9, on xfoil's nodes, 133 of 135 points
// converge with 50 theta, 130 with 100, 125 with 200, 132 with 25; 35
// without.) Below Re 2e7 the trapezoidal rule meets every interval (the
// longest of NACA 4415's converged layer at Re 3e6 spans 60 theta) and is
// kept, so that the polars checked against xfoil there stay as they are:
// applied there at 200 theta, the weighting already moved the path of some
// sweeps through their iterates, and with it where a transition settles
// inside its band of hysteresis (NACA 4415 at 3 degrees and Re 3e6 reached
// by whole degrees: lower transition 0.764 instead of 0.744). So that the
// drag does not step at Re 2e7 (held to 50 theta above and switched off
// below, NACA 0012's CD at 4 degrees stepped by 1 %), the threshold grows
// below it as (2e7 / Re)^3: 400 theta at Re 1e7, 550 at 9e6 and 15000 at
// 3e6, beyond every interval of the polars checked against xfoil.
inline constexpr double kStiffShapeSpan = 50;
inline constexpr double kStiffShapeReynolds = 2e7;

// Residuals of a stretch of one kind of layer between points 1 and 2.
template <class T>
std::array<T, 3> segmentResidual(LayerKind kind, const LayerVars<T>& v1, double xi1Value,
                                 const T& xi1, const LayerVars<T>& v2, const T& xi2, double re)
{
    using std::log;
    using std::sqrt;
    (void)xi1Value;
    const T ctau1 = kind == LayerKind::Laminar ? T(0.0) : v1.c * v1.c;
    const T ctau2 = kind == LayerKind::Laminar ? T(0.0) : v2.c * v2.c;
    const ClosureValues<T> c1 = evaluateClosures(kind, v1.theta, v1.dstar, v1.ue, ctau1, re);
    const ClosureValues<T> c2 = evaluateClosures(kind, v2.theta, v2.dstar, v2.ue, ctau2, re);
    const T dLnXi = log(xi2 / xi1);
    const T dLnUe = log(v2.ue / v1.ue);
    const T hAvg = 0.5 * (c1.h + c2.h);

    std::array<T, 3> r;
    r[0] = log(v2.theta / v1.theta) + (hAvg + 2.0) * dLnUe -
           0.5 * (c1.cfHalf * xi1 / v1.theta + c2.cfHalf * xi2 / v2.theta) * dLnXi;
    // The shape equation's source at the two ends, weighted evenly (the
    // trapezoidal rule) but over a turbulent interval long against theta,
    // where the weight leans downstream (see kStiffShapeSpan).
    const T source1 = (c1.dissipation - c1.cfHalf) * xi1 / v1.theta;
    const T source2 = (c2.dissipation - c2.cfHalf) * xi2 / v2.theta;
    T shapeSource = 0.5 * (source1 + source2);
    if (kind != LayerKind::Laminar) {
        const double ratio = std::min(re / kStiffShapeReynolds, 1.0);
        const double threshold = kStiffShapeSpan / (ratio * ratio * ratio);
        const T span = (xi2 - xi1) / (0.5 * (v1.theta + v2.theta));
        const T beyond = (value(span) < 0 ? -span : span) / threshold - 1.0;
        if (value(beyond) > 0) {
            const T w2 = 0.5 + 0.5 * beyond * beyond / (1.0 + beyond * beyond);
            shapeSource = (1.0 - w2) * source1 + w2 * source2;
        }
    }
    r[1] = log(c2.hstar / c1.hstar) + (1.0 - hAvg) * dLnUe - shapeSource * dLnXi;
    const T dXi = xi2 - xi1;
    if (kind == LayerKind::Laminar) {
        const T rate1 = envelopeRateTheta(c1.hk, atLeast(re * v1.ue * v1.theta, 1e-6)) / v1.theta;
        const T rate2 = envelopeRateTheta(c2.hk, atLeast(re * v2.ue * v2.theta, 1e-6)) / v2.theta;
        r[2] = v2.c - v1.c - 0.5 * (rate1 + rate2) * dXi;
        return r;
    }
    // Shear lag: (delta / C_tau) dC_tau/dxi = 5.6 (sqrt C_tau,EQ - sqrt C_tau)
    //   + 2 delta [4/(3 delta*) (Cf/2 - ((Hk - 1)/(6.7 Hk))^2) - d(ln ue)/dxi].
    // In the wake the lengths are those of one half.
    const double half = kind == LayerKind::Wake ? 0.5 : 1.0;
    auto source = [&](const LayerVars<T>& v, const ClosureValues<T>& c) {
        const T g = (c.hk - 1.0) / (kLocusA * c.hk);
        return kLagConstant * (sqrt(atLeast(c.ctauEq, 1e-12)) - v.c) / (half * c.delta) +
               (8.0 / 3.0) * (c.cfHalf - g * g) / (half * v.dstar);
    };
    // The relaxation is stiff where an interval is long against delta: the
    // weight leans towards the downstream end so that the discrete relaxation
    // never overshoots, (1 - w) a < 1 with a = 5.6 dxi / delta.
    const T a = kLagConstant * (value(dXi) < 0 ? -dXi : dXi) / (half * 0.5 * (c1.delta + c2.delta));
    const T w2 = 0.5 + 0.5 * a / (a + 2.0);
    r[2] = 2.0 * log(v2.c / v1.c) + 2.0 * dLnUe -
           ((1.0 - w2) * source(v1, c1) + w2 * source(v2, c2)) * dXi;
    return r;
}

// Amplification reached at xi from point a (laminar), the state interpolated
// linearly between a and b.
template <class T>
T amplificationAt(const LayerVars<T>& a, const LayerVars<T>& b, const IntervalSetup& setup,
                  const T& xi, LayerVars<T>* stateAt = nullptr)
{
    const T w = (xi - setup.xiA) / (setup.xiB - setup.xiA);
    LayerVars<T> t;
    t.theta = a.theta + w * (b.theta - a.theta);
    t.dstar = a.dstar + w * (b.dstar - a.dstar);
    t.ue = a.ue + w * (b.ue - a.ue);
    t.c = T(0.0);
    // The shape factor of the laminar layer at a throughout: station b is
    // already turbulent, its fuller profile must not switch the growth off.
    const T hkA = atLeast(a.dstar / a.theta, kHkMinLaminar);
    auto rate = [&](const LayerVars<T>& v) {
        return envelopeRateTheta(hkA, atLeast(setup.re * v.ue * v.theta, 1e-6)) / v.theta;
    };
    t.c = a.c + 0.5 * (rate(a) + rate(t)) * (xi - setup.xiA);
    if (stateAt) *stateAt = t;
    return t.c;
}

// Transition point in an interval that starts laminar and ends turbulent:
// where n reaches Ncrit, or the trip if that comes first. The value is found
// by bisection and secant steps; one Newton step on the typed amplification
// then carries the derivatives with respect to both stations' states
// (implicit function theorem).
template <class T>
T transitionPoint(const LayerVars<T>& a, const LayerVars<T>& b, const IntervalSetup& setup)
{
    auto lav = [](const LayerVars<T>& v) {
        return LayerVars<double>{value(v.theta), value(v.dstar), value(v.c), value(v.ue)};
    };
    const LayerVars<double> ad = lav(a), bd = lav(b);
    auto g = [&](double xi) { return amplificationAt(ad, bd, setup, xi) - setup.ncrit; };
    double lo = setup.xiA, hi = setup.xiB;
    const double glo = g(lo), ghi = g(hi);
    double xt;
    bool interior = false;
    if (glo >= 0) {
        xt = lo;
    } else if (ghi <= 0) {
        xt = hi;
    } else {
        double flo = glo;
        for (int it = 0; it < 60 && hi - lo > 1e-14 * std::max(1.0, std::abs(hi)); ++it) {
            const double mid = 0.5 * (lo + hi);
            const double fm = g(mid);
            if ((fm < 0) == (flo < 0)) {
                lo = mid;
                flo = fm;
            } else {
                hi = mid;
            }
        }
        xt = 0.5 * (lo + hi);
        interior = true;
    }
    if (setup.tripXi < xt) return T(std::clamp(setup.tripXi, setup.xiA, setup.xiB));
    if (!interior) return T(xt);
    const double h = 1e-7 * (setup.xiB - setup.xiA);
    const double slope = (g(std::min(xt + h, setup.xiB)) - g(std::max(xt - h, setup.xiA))) /
                         (std::min(xt + h, setup.xiB) - std::max(xt - h, setup.xiA));
    if (!(std::abs(slope) > 0)) return T(xt);
    const T gt = amplificationAt(a, b, setup, T(xt)) - setup.ncrit;
    return T(xt) - gt / slope;
}

// Residuals of the interval from station a to station b.
template <class T>
std::array<T, 3> intervalResidual(const LayerVars<T>& a, const LayerVars<T>& b,
                                  const IntervalSetup& setup, double* transitionXi = nullptr)
{
    if (!isTransitionInterval(setup)) {
        // A trip at the start of the interval makes the whole of it turbulent:
        // the caller classifies the stations so.
        return segmentResidual(setup.kindB, a, setup.xiA, T(setup.xiA), b, T(setup.xiB), setup.re);
    }
    using std::log;
    using std::sqrt;
    const T xt = transitionPoint(a, b, setup);
    if (transitionXi) *transitionXi = value(xt);
    LayerVars<T> t;
    amplificationAt(a, b, setup, xt, &t);
    // The laminar stretch up to xt, the turbulent one after it, with C_tau at
    // xt a fraction of its equilibrium value.
    std::array<T, 3> lam{};
    const bool lamEmpty = value(xt) <= setup.xiA;
    if (!lamEmpty) lam = segmentResidual(LayerKind::Laminar, a, setup.xiA, T(setup.xiA), t, xt, setup.re);
    const ClosureValues<T> ct = evaluateClosures(LayerKind::Turbulent, t.theta, t.dstar, t.ue,
                                                 T(0.0), setup.re);
    t.c = sqrt(atLeast(transitionCtau(ct.hk, ct.ctauEq), 1e-12));
    std::array<T, 3> r;
    if (value(xt) >= setup.xiB) {
        // Transition at the downstream end: the turbulent stretch is empty and
        // sqrt(C_tau) there is the starting value (in the form the shear-lag
        // residual takes as the stretch shrinks, so that the residual is
        // continuous as xt reaches the end).
        r = {lam[0], lam[1], 2.0 * log(b.c / t.c)};
        return r;
    }
    r = segmentResidual(LayerKind::Turbulent, t, value(xt), xt, b, T(setup.xiB), setup.re);
    if (!lamEmpty) {
        r[0] += lam[0];
        r[1] += lam[1];
    }
    return r;
}

// The similarity start of a layer whose edge speed grows as ue = K xi^m near
// its origin (m = 1: the stagnation point, m = 0: the sharp leading edge of a
// plate). There theta^2 grows as xi^(1 - m) and H is constant, so that with
// P = theta^2 ue Re / xi the momentum equation reads
// P ((1 - m)/2 + (H + 2) m) = Cf Re_theta / 2 and the shape equation
// P (1 - H) m = 2 CD Re_theta / H* - Cf Re_theta / 2; n = 0.
template <class T>
std::array<T, 3> similarityResidual(const LayerVars<T>& v, double xi, double re, const T& m)
{
    const T h = v.dstar / v.theta;
    const T hk = atLeast(h, kHkMinLaminar);
    const T f1 = laminarFriction(hk);
    const T f2 = laminarDissipation(hk);
    const T growth = 0.5 * (1.0 - m) + (hk + 2.0) * m;
    std::array<T, 3> r;
    r[0] = (v.theta * v.theta * v.ue * re / xi) * growth / f1 - 1.0;
    r[1] = f1 * (1.0 - hk) * m - (f2 - f1) * growth;
    r[2] = v.c;
    return r;
}

// The exponent m of ue = K xi^m from the first two stations of a layer, held
// to 0..1 (a plate's leading edge to a stagnation point).
template <class T>
T startExponent(const T& ue1, double xi1, const T& ue2, double xi2)
{
    using std::log;
    const T m = log(ue2 / ue1) / std::log(xi2 / xi1);
    return atMost(atLeast(m, 0.0), 1.0);
}

// C_tau a surface hands to the wake: its own for a turbulent layer, the
// transition value for a layer still laminar at the trailing edge.
template <class T>
T trailingEdgeCtau(const LayerVars<T>& v, bool turbulent, double re)
{
    if (turbulent) return v.c * v.c;
    const ClosureValues<T> c =
        evaluateClosures(LayerKind::Turbulent, v.theta, v.dstar, v.ue, T(0.0), re);
    return atLeast(transitionCtau(c.hk, c.ctauEq), 1e-12);
}

// The state at the start of the wake: theta and delta* of both layers added
// (and the trailing-edge gap), C_tau weighted by theta, the mean edge speed.
template <class T>
LayerVars<T> wakeStart(const LayerVars<T>& upper, bool upperTurbulent, const LayerVars<T>& lower,
                       bool lowerTurbulent, double gap, double re)
{
    using std::sqrt;
    LayerVars<T> w;
    w.theta = upper.theta + lower.theta;
    w.dstar = upper.dstar + lower.dstar + gap;
    w.c = sqrt((trailingEdgeCtau(upper, upperTurbulent, re) * upper.theta +
                trailingEdgeCtau(lower, lowerTurbulent, re) * lower.theta) / w.theta);
    w.ue = 0.5 * (upper.ue + lower.ue);
    return w;
}

// --- The march on a prescribed edge speed ------------------------------------------

struct MarchOptions {
    double re = 1e6;
    double ncrit = 9;
    double tripXi = std::numeric_limits<double>::infinity();
    // Shape factors beyond which a station is solved in the inverse mode
    // (prescribed, slowly rising Hk; the edge speed follows).
    double hkMaxLaminar = 3.8;
    double hkMaxTurbulent = 2.5;
    bool wake = false;
    // Exponent m of the edge speed ue = K xi^m at the start (1: stagnation
    // point, 0: the leading edge of a flat plate); NaN: from the first two
    // stations.
    double startExponent = std::numeric_limits<double>::quiet_NaN();
    // For the wake: the state it starts from (at xi[0]).
    LayerVars<double> start{};
};

struct MarchedStation {
    double xi = 0;
    LayerVars<double> v{};
    LayerKind kind = LayerKind::Laminar;
    bool inverse = false;  // ue followed a prescribed Hk
};

struct MarchResult {
    std::vector<MarchedStation> stations;
    double transitionXi = std::numeric_limits<double>::quiet_NaN();  // NaN: laminar throughout
    bool ok = true;
    int failedStation = -1;
};

// Marches the layer over the stations xi (increasing, > 0) with edge speeds
// ue (> 0): the similarity start at the first, then each station by Newton's
// method on its interval's residuals; transition where n reaches Ncrit or at
// the trip. A wake starts from options.start and stays turbulent.
MarchResult marchLayer(const std::vector<double>& xi, const std::vector<double>& ue,
                       const MarchOptions& options);

// Plain values of a station's closures, for the results.
struct StationClosures {
    double h = 0, hk = 0, cf = 0, ctauEq = 0;
};
StationClosures stationClosures(LayerKind kind, const LayerVars<double>& v, double re);

}  // namespace tavrix::coupled
