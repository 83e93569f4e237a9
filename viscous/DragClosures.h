// Closure relations of the two-equation integral boundary layer after Drela
// and Giles (1987) and Drela (1989), for incompressible flow (edge Mach number
// 0, so the kinematic shape factor Hk equals H and the density shape
// parameter H** vanishes):
//   laminar:   H*(Hk), Cf Re_theta / 2 (Hk), 2 CD Re_theta / H* (Hk), fits to
//              the Falkner-Skan family;
//   turbulent: H*(Hk, Re_theta), Cf(Hk, Re_theta) (Swafford's profiles), the
//              dissipation CD = Cf/2 Us + C_tau (1 - Us) from a wall part and
//              an outer part carried by the shear-stress coefficient, and the
//              equilibrium C_tau of the G-beta locus (G = 6.7 sqrt(1 + 0.75 beta));
//   wake:      Cf = 0 and both halves of the wake dissipate;
//   laminar amplification: the e^n envelope of Tollmien-Schlichting waves,
//              dn/dxi = dn/dRe_theta(Hk) (m + 1)/2 l / theta above the
//              critical Re_theta(Hk).
// The fits are those of the full exposition of Fidkowski (2022, AIAA J. 60(5),
// appendix); the laminar H* and Cf and the turbulent H* were checked against
// the station values xfoil 6.99 writes (tools/xfoil_layer_dump.sh), to four
// digits over Hk 2.1-3.0 (laminar) and 1.4-1.8 (turbulent).
// Every relation is a template on the scalar type so that it can be evaluated
// on dual numbers for exact derivatives.
#pragma once

#include <algorithm>
#include <cmath>

#include "viscous/Dual.h"

namespace tavrix::coupled {

enum class LayerKind { Laminar, Turbulent, Wake };

// Constants of the lag-dissipation model: the G-beta locus G = A sqrt(1 + B beta)
// and the shear-lag rate constant.
inline constexpr double kLocusA = 6.7;
inline constexpr double kLocusB = 0.75;
inline constexpr double kLagConstant = 5.6;

// Lower limits of the kinematic shape factor (the closures are singular at 1).
inline constexpr double kHkMinLaminar = 1.02;
inline constexpr double kHkMinTurbulent = 1.02;
inline constexpr double kHkMinWake = 1.00005;

template <class T>
inline T atLeast(const T& x, double lo)
{
    return value(x) < lo ? T(lo) : x;
}
template <class T>
inline T atMost(const T& x, double hi)
{
    return value(x) > hi ? T(hi) : x;
}

inline double hkMinimum(LayerKind kind)
{
    return kind == LayerKind::Laminar ? kHkMinLaminar
           : kind == LayerKind::Wake  ? kHkMinWake
                                      : kHkMinTurbulent;
}

// --- Laminar (Falkner-Skan fits) ---------------------------------------------
// Kinetic-energy shape parameter H*(Hk).
template <class T>
T laminarHstar(T hk)
{
    hk = atLeast(hk, kHkMinLaminar);
    const T a = hk - 4.35;
    if (value(hk) < 4.35) {
        const T b = a * hk;
        return 1.528 + 0.0111 * a * a / (hk + 1.0) - 0.0278 * a * a * a / (hk + 1.0) - 0.0002 * b * b;
    }
    return 1.528 + 0.015 * a * a / hk;
}

// Cf Re_theta / 2 (the fit gives Cf Re_theta).
template <class T>
T laminarFriction(T hk)
{
    hk = atLeast(hk, kHkMinLaminar);
    if (value(hk) < 5.5) {
        const T a = 5.5 - hk;
        return 0.5 * (-0.07 + 0.0727 * a * a * a / (hk + 1.0));
    }
    const T a = 1.0 - 1.0 / (hk - 4.5);
    return 0.5 * (-0.07 + 0.015 * a * a);
}

// 2 CD Re_theta / H*.
template <class T>
T laminarDissipation(T hk)
{
    using std::pow;
    hk = atLeast(hk, kHkMinLaminar);
    if (value(hk) < 4.0) return 0.207 + 0.00205 * pow(4.0 - hk, 5.5);
    const T a = hk - 4.0;
    return 0.207 - 0.0016 * a * a / (1.0 + 0.02 * a * a);
}

// --- Turbulent -----------------------------------------------------------------
// Kinetic-energy shape parameter of the turbulent layer, H*(Hk, Re_theta):
// the attached branch falls from 1.5 + 4/Re_theta + 0.5 (at Hk = 1) towards
// its minimum 1.5 + 4/Re_theta at H0, the separated branch rises again.
template <class T>
T turbulentHstar(T hk, T reTheta)
{
    using std::log;
    reTheta = atLeast(reTheta, 200.0);
    hk = atLeast(hk, kHkMinWake);
    const T h0 = value(reTheta) > 400.0 ? 3.0 + 400.0 / reTheta : T(4.0);
    const T base = 1.5 + 4.0 / reTheta;
    if (value(hk) < value(h0)) {
        const T r = (h0 - hk) / (h0 - 1.0);
        return base + (0.5 - 4.0 / reTheta) * r * r * 1.5 / (hk + 0.5);
    }
    const T lr = log(reTheta);
    const T a = hk - h0;
    const T b = a + 4.0 / lr;
    return base + a * a * (0.007 * lr / (b * b) + 0.015 / hk);
}

template <class T>
T turbulentCf(T hk, T reTheta)
{
    using std::exp;
    using std::log10;
    using std::pow;
    using std::tanh;
    reTheta = atLeast(reTheta, 200.0);
    hk = atLeast(hk, kHkMinTurbulent);
    const T lg = log10(reTheta);
    return 0.3 * exp(-1.33 * hk) * pow(lg, -1.74 - 0.31 * hk) +
           0.00011 * (tanh(4.0 - hk / 0.875) - 1.0);
}

// Normalised slip speed of the outer layer, Us = H*/2 (1 - 4/3 (Hk - 1)/H),
// held below 1.
template <class T>
T slipVelocity(const T& hstar, const T& hk, const T& h, LayerKind kind)
{
    const T us = 0.5 * hstar * (1.0 - (4.0 / 3.0) * (hk - 1.0) / h);
    return atMost(us, kind == LayerKind::Wake ? 0.99995 : 0.98);
}

// Equilibrium shear-stress coefficient from the G-beta locus, with the
// dissipation in equilibrium: C_tau,EQ = H*/(2 A^2 B) (Hk - 1) hkc^2 / (Hk^2 H (1 - Us)),
// hkc = Hk - 1 (less a low-Reynolds-number part in a turbulent layer).
template <class T>
T equilibriumCtau(const T& hstar, const T& hk, const T& h, const T& us, const T& hkc)
{
    const T a = hk - 1.0;
    return hstar * (0.5 / (kLocusA * kLocusA * kLocusB)) * a * hkc * hkc / (hk * hk * h * (1.0 - us));
}
template <class T>
T equilibriumCtau(const T& hstar, const T& hk, const T& h, const T& us)
{
    return equilibriumCtau(hstar, hk, h, us, T(hk - 1.0));
}

// Thickness of the layer, delta = theta (3.15 + 1.72 / (Hk - 1)) + delta*.
template <class T>
T layerThickness(const T& theta, const T& hk, const T& dstar)
{
    return theta * (3.15 + 1.72 / (hk - 1.0)) + dstar;
}

// --- Laminar amplification (e^n envelope) ---------------------------------------
// log10 of the critical Re_theta.
template <class T>
T envelopeLog10CriticalReTheta(T hk)
{
    using std::tanh;
    hk = atLeast(hk, 1.05);
    const T r = 1.0 / (hk - 1.0);
    return (1.415 * r - 0.489) * tanh(20.0 * r - 12.9) + 3.295 * r + 0.44;
}

template <class T>
T envelopeRatePerReTheta(T hk)
{
    using std::sqrt;
    using std::tanh;
    hk = atLeast(hk, 1.05);
    const T a = 2.4 * hk - 3.7 + 2.5 * tanh(1.5 * hk - 4.65);
    return 0.01 * sqrt(a * a + 0.25);
}

// Width, in log10 Re_theta, over which the growth starts above the critical
// Re_theta: a smooth ramp instead of a step keeps the residual differentiable
// as the critical point moves across a station, and below the critical value
// the waves are damped (no growth at all).
inline constexpr double kOnsetWidth = 0.08;

// dn/dxi (times theta: the rate per momentum thickness).
template <class T>
T envelopeRateTheta(T hk, const T& reTheta)
{
    using std::log10;
    hk = atLeast(hk, 1.05);
    const double lg = std::log10(std::max(value(reTheta), 1e-30));
    const double lg0 = value(envelopeLog10CriticalReTheta(hk));
    const double t = (lg - lg0) / kOnsetWidth;
    if (t <= 0.0) return T(0.0);
    const T l = (6.54 * hk - 14.07) / (hk * hk);
    const T a = hk - 4.0;
    const T m = (0.058 * a * a / (hk - 1.0) - 0.068) / l;
    const T rate = envelopeRatePerReTheta(hk) * 0.5 * (m + 1.0) * l;
    if (t >= 1.0) return rate;
    const T tt = (log10(atLeast(reTheta, 1e-30)) - envelopeLog10CriticalReTheta(hk)) / kOnsetWidth;
    return rate * tt * tt * (3.0 - 2.0 * tt);
}

// --- The values one station needs in its residuals ---------------------------------
template <class T>
struct ClosureValues {
    T h, hk, hstar;
    T cfHalf;        // Cf / 2 (0 in the wake)
    T dissipation;   // 2 CD / H*
    T ctauEq;        // equilibrium C_tau (turbulent layer and wake)
    T delta;         // layer thickness
    T us;            // slip speed
};

// Closures of a station with momentum thickness theta, displacement thickness
// dstar, edge speed ue, and for the turbulent layer and the wake the
// shear-stress coefficient ctau, at the Reynolds number re (on chord and
// free-stream speed).
template <class T>
ClosureValues<T> evaluateClosures(LayerKind kind, const T& theta, T dstar, const T& ue,
                                  const T& ctau, double re)
{
    ClosureValues<T> c;
    c.h = dstar / theta;
    c.hk = atLeast(c.h, hkMinimum(kind));
    const T reTheta = atLeast(re * ue * theta, 1e-6);
    if (kind == LayerKind::Laminar) {
        c.hstar = laminarHstar(c.hk);
        c.cfHalf = laminarFriction(c.hk) / reTheta;
        c.dissipation = laminarDissipation(c.hk) / reTheta;
        c.us = T(0.0);
        c.ctauEq = T(0.0);
        c.delta = layerThickness(theta, c.hk, dstar);
        return c;
    }
    c.hstar = turbulentHstar(c.hk, reTheta);
    c.us = slipVelocity(c.hstar, c.hk, c.h, kind);
    // In a turbulent layer at low Re_theta the equilibrium stress falls
    // faster as the profile fills: Hk - 1 less 18/Re_theta in the locus.
    c.ctauEq = kind == LayerKind::Wake
                   ? equilibriumCtau(c.hstar, c.hk, c.h, c.us)
                   : equilibriumCtau(c.hstar, c.hk, c.h, c.us, atLeast(T(c.hk - 1.0 - 18.0 / reTheta), 0.01));
    c.delta = layerThickness(theta, c.hk, dstar);
    T cd;
    if (kind == LayerKind::Wake) {
        c.cfHalf = T(0.0);
        // Two halves, each with the shear stress of a layer: twice the outer
        // dissipation of one, on the whole wake's theta.
        cd = 2.0 * ctau * (1.0 - c.us);
    } else {
        c.cfHalf = 0.5 * turbulentCf(c.hk, reTheta);
        cd = c.cfHalf * c.us + ctau * (1.0 - c.us);
    }
    c.dissipation = 2.0 * cd / c.hstar;
    return c;
}

// Shear-stress coefficient at transition: a fraction of the equilibrium value
// that is smaller for the fuller profile.
template <class T>
T transitionCtau(const T& hk, const T& ctauEq)
{
    using std::exp;
    const T h = atLeast(hk, 1.05);
    return 1.8 * exp(-3.3 / (h - 1.0)) * ctauEq;
}

}  // namespace tavrix::coupled
