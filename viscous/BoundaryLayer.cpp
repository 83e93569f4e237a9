#include "viscous/BoundaryLayer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "viscous/Closure.h"

namespace tavrix {

namespace {

// The turbulent layer starts with the laminar momentum thickness (momentum is
// not lost across transition) and H = 1.4, the shape factor of a young
// turbulent layer at the Reynolds numbers of theta (some hundreds to a few
// thousand) where transition happens on sections; the laminar 2.6 would start
// Head's method with an entrainment it only has near separation.
constexpr double kTurbulentStartH = 1.4;
// Runge-Kutta steps of Head's equations between two stations.
constexpr int kSubsteps = 10;
// H1 tends to 3.3 as H grows without bound; the closure is kept just above.
constexpr double kLeastH1 = 3.3 + 1e-6;

double lerp(double a, double b, double f) { return a + (b - a) * f; }

// Integral of Ue^5 over a segment on which Ue runs linearly from a to b:
// (b^6 - a^6) / (6 (b - a)) ds, written without the division. Exact for the
// stagnation-point flow and for a constant speed.
double fifthPowerIntegral(double a, double b, double ds)
{
    const double a2 = a * a, b2 = b * b;
    const double sum = a2 * a2 * a + a2 * a2 * b + a2 * a * b2 + a2 * b2 * b + a * b2 * b2 +
                       b2 * b2 * b;
    return ds * sum / 6;
}

// dUe/ds at the stations: the three-point formula of the unevenly spaced
// stations inside, one-sided differences at both ends.
std::vector<double> speedGradient(const std::vector<double>& s, const std::vector<double>& u)
{
    const std::size_t n = s.size();
    std::vector<double> d(n, 0.0);
    if (n < 2) return d;
    d[0] = (u[1] - u[0]) / (s[1] - s[0]);
    d[n - 1] = (u[n - 1] - u[n - 2]) / (s[n - 1] - s[n - 2]);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double h1 = s[i] - s[i - 1], h2 = s[i + 1] - s[i];
        d[i] = (h1 / (h2 * (h1 + h2))) * (u[i + 1] - u[i]) +
               (h2 / (h1 * (h1 + h2))) * (u[i] - u[i - 1]);
    }
    return d;
}

// Wall shear over the free-stream dynamic pressure: 2 l mu Ue / theta
// referred to rho V^2 / 2. Zero where theta is zero (a sharp leading edge,
// where the shear is singular) or the flow is at rest.
double laminarCf(double lambda, double Ue, double theta, double Re)
{
    if (theta <= 0 || Ue <= 0) return 0;
    return 2 * closure::ThwaitesShear(lambda) * Ue / (Re * theta);
}

double turbulentCf(double H, double Ue, double theta, double Re)
{
    if (theta <= 0 || Ue <= 0) return 0;
    return closure::LudwiegTillmannCf(H, Re * Ue * theta) * (Ue * Ue);
}

// Head's equations for theta and Y = Ue theta H1 on a segment with the edge
// speed linear in s:
//   d theta / ds = Cf / 2 - (H + 2) (theta / Ue) dUe/ds
//   dY / ds      = Ue F(H1)
struct HeadState {
    double theta = 0;
    double Y = 0;
};

struct Segment {
    double sa, sb, Ua, Ub;
    double slope() const { return (Ub - Ua) / (sb - sa); }
    double Ue(double s) const { return Ua + slope() * (s - sa); }
};

double headH(const HeadState& q, double Ue)
{
    return closure::HeadHFromH1(std::max(q.Y / (Ue * q.theta), kLeastH1));
}

HeadState headRates(const Segment& g, double s, const HeadState& q, double Re)
{
    const double Ue = g.Ue(s);
    const double H1 = std::max(q.Y / (Ue * q.theta), kLeastH1);
    const double H = closure::HeadHFromH1(H1);
    const double cf = closure::LudwiegTillmannCf(H, Re * Ue * q.theta);
    HeadState r;
    r.theta = cf / 2 - (H + 2) * (q.theta / Ue) * g.slope();
    r.Y = Ue * closure::HeadEntrainment(H1);
    return r;
}

HeadState rungeKuttaStep(const Segment& g, double s, double h, const HeadState& q, double Re)
{
    auto along = [](const HeadState& a, const HeadState& k, double f) {
        return HeadState{a.theta + f * k.theta, a.Y + f * k.Y};
    };
    const HeadState k1 = headRates(g, s, q, Re);
    const HeadState k2 = headRates(g, s + h / 2, along(q, k1, h / 2), Re);
    const HeadState k3 = headRates(g, s + h / 2, along(q, k2, h / 2), Re);
    const HeadState k4 = headRates(g, s + h, along(q, k3, h), Re);
    HeadState r;
    r.theta = q.theta + (h / 6) * (k1.theta + 2 * k2.theta + 2 * k3.theta + k4.theta);
    r.Y = q.Y + (h / 6) * (k1.Y + 2 * k2.Y + 2 * k3.Y + k4.Y);
    return r;
}

struct Station {
    double s, x, y, xc, Ue;
};

Station stationAt(const SurfaceStations& st, std::size_t i)
{
    return {st.s[i], st.x[i], st.y[i], st.xc[i], st.Ue[i]};
}

Station between(const Station& a, const Station& b, double f)
{
    return {lerp(a.s, b.s, f), lerp(a.x, b.x, f), lerp(a.y, b.y, f), lerp(a.xc, b.xc, f),
            lerp(a.Ue, b.Ue, f)};
}

SurfacePoint pointAt(const Station& p) { return {true, p.s, p.x, p.y, p.xc}; }

void push(SurfaceLayer& L, const Station& p, double theta, double H, double Cf)
{
    L.s.push_back(p.s);
    L.x.push_back(p.x);
    L.y.push_back(p.y);
    L.xc.push_back(p.xc);
    L.Ue.push_back(p.Ue);
    L.theta.push_back(theta);
    L.H.push_back(H);
    L.Cf.push_back(Cf);
}

// Turbulent march from the transition station `start` over the stations
// first..last of `st`. Behind a separation the wall shear is zero and the
// shape factor is held at the separation value; the separated layer is carried
// to the trailing edge as the start of the wake, with theta Ue^((H + 5) / 2),
// the invariant of Squire and Young's wake, held at its separation value. So
// the drag is what the wake of the separated layer would carry off, and the
// inviscid speed's plunge towards the trailing-edge stagnation point (which the
// real, displaced flow does not have) does not inflate it further. Ahead of
// 0.95 c the drag is marked as not reliable.
void marchTurbulent(const SurfaceStations& st, std::size_t first, const Station& start,
                    double theta0, double Re, SurfaceLayer& L)
{
    HeadState q{theta0, start.Ue * theta0 * closure::HeadH1(kTurbulentStartH)};
    bool separated = false;
    const double Hs = kTurbulentSeparationH;
    Station a = start;
    double theta = theta0;
    for (std::size_t i = first; i < st.s.size(); ++i) {
        const Station b = stationAt(st, i);
        if (b.s <= a.s) continue;
        if (!separated && (a.Ue <= 0 || b.Ue <= 0)) {
            // Reverse flow: the layer has left the wall before it.
            separated = true;
            L.turbulentSeparation = pointAt(a);
        }
        if (!separated) {
            const Segment g{a.s, b.s, a.Ue, b.Ue};
            const double h = (b.s - a.s) / kSubsteps;
            for (int k = 0; k < kSubsteps; ++k) {
                const double s0 = a.s + k * h;
                const double s1 = k + 1 == kSubsteps ? b.s : s0 + h;
                const double H0 = headH(q, g.Ue(s0));
                const HeadState next = rungeKuttaStep(g, s0, s1 - s0, q, Re);
                const double H1 = headH(next, g.Ue(s1));
                if (next.theta > 0 && H1 <= Hs) {
                    q = next;
                    continue;
                }
                const double f = next.theta > 0 && H1 > H0 ? (Hs - H0) / (H1 - H0) : 0.0;
                const double sSep = s0 + f * (s1 - s0);
                const Station p = between(a, b, (sSep - a.s) / (b.s - a.s));
                L.turbulentSeparation = pointAt(p);
                separated = true;
                const double thetaEnd = next.theta > q.theta ? next.theta : q.theta;
                const double thetaSep = lerp(q.theta, thetaEnd, f);
                theta = thetaSep * std::pow(p.Ue / b.Ue, (Hs + 5) / 2);
                break;
            }
            if (!separated) theta = q.theta;
        } else if (a.Ue > 0 && b.Ue > 0) {
            theta = theta * std::pow(a.Ue / b.Ue, (Hs + 5) / 2);
        }
        if (separated) {
            push(L, b, theta, Hs, 0);
        } else {
            const double H = headH(q, b.Ue);
            push(L, b, theta, H, turbulentCf(H, b.Ue, theta, Re));
        }
        a = b;
    }
}

}  // namespace

const char* transitionCauseName(TransitionCause cause)
{
    switch (cause) {
    case TransitionCause::Michel: return "Michel";
    case TransitionCause::LaminarSeparation: return "laminar separation";
    case TransitionCause::Forced: return "forced";
    case TransitionCause::Envelope: return "e^n";
    case TransitionCause::None: break;
    }
    return "";
}

SurfaceLayer MarchSurface(const SurfaceStations& st, double Re, std::optional<double> forcedXc,
                          double cosAlfa, double sinAlfa, bool naturalTransition,
                          const TransitionModel& model)
{
    SurfaceLayer L;
    const std::size_t n = st.s.size();
    if (n == 0) return L;
    const std::vector<double> dU = speedGradient(st.s, st.Ue);

    // Thwaites: theta^2 Ue^6 = 0.45 / Re * integral of Ue^5 ds. At a
    // stagnation point (Ue = 0, Ue growing like a s) this tends to
    // theta^2 = 0.075 / (Re a).
    // natural[i] is how far station i is past free transition: Re_theta less
    // Michel's critical value, or the envelope's n less Ncrit; -inf where it
    // has no value.
    const bool envelope = model.criterion == TransitionCriterion::Envelope;
    const double minusInf = -std::numeric_limits<double>::infinity();
    std::vector<double> theta(n, 0.0), lambda(n, 0.0), natural(n, 0.0);
    if (st.Ue[0] <= 0 && dU[0] > 0) theta[0] = std::sqrt(0.075 / (Re * dU[0]));
    lambda[0] = theta[0] * theta[0] * dU[0] * Re;
    natural[0] = envelope ? -model.Ncrit : minusInf;
    // The envelope's n, integrated by the trapezoidal rule from the rates at
    // the stations (zero at the stagnation point, where Re_theta is zero).
    double amplification = 0;
    double previousRate = 0;
    push(L, stationAt(st, 0), theta[0], closure::ThwaitesH(lambda[0]),
         laminarCf(lambda[0], st.Ue[0], theta[0], Re));

    double integral = 0;
    for (std::size_t i = 1; i < n; ++i) {
        const double ds = st.s[i] - st.s[i - 1];
        const double Ui = st.Ue[i];
        integral = integral + fifthPowerIntegral(std::max(st.Ue[i - 1], 0.0), std::max(Ui, 0.0), ds);
        if (Ui > 0) {
            const double U2 = Ui * Ui;
            theta[i] = std::sqrt((0.45 / Re) * integral / (U2 * U2 * U2));
            lambda[i] = theta[i] * theta[i] * dU[i] * Re;
            const double reTheta = Re * Ui * theta[i];
            if (envelope) {
                const double rate =
                    closure::EnvelopeRate(closure::ThwaitesH(lambda[i]), theta[i], reTheta);
                amplification = amplification + 0.5 * (previousRate + rate) * ds;
                previousRate = rate;
                natural[i] = amplification - model.Ncrit;
            } else {
                const double reS = Re * Ui * st.s[i];
                natural[i] = reS > 0 ? reTheta - closure::MichelCriticalReTheta(reS) : minusInf;
            }
        } else {
            // The flow has stopped: the laminar layer cannot go on.
            theta[i] = theta[i - 1];
            lambda[i] = minusInf;
            natural[i] = minusInf;
        }

        // The first of natural transition, laminar separation and the forced
        // point inside (s[i-1], s[i]], as a fraction of the interval.
        double f = 2;
        TransitionCause cause = TransitionCause::None;
        auto consider = [&](double fraction, TransitionCause c) {
            fraction = i == 1 ? 1.0 : std::clamp(fraction, 0.0, 1.0);
            if (fraction < f) {
                f = fraction;
                cause = c;
            }
        };
        if (naturalTransition && natural[i] >= 0)
            consider(std::isfinite(natural[i - 1]) ? natural[i - 1] / (natural[i - 1] - natural[i])
                                                   : 1.0,
                     envelope ? TransitionCause::Envelope : TransitionCause::Michel);
        if (lambda[i] < closure::kLaminarSeparationLambda) {
            const double l0 = lambda[i - 1] - closure::kLaminarSeparationLambda;
            consider(std::isfinite(lambda[i]) ? l0 / (lambda[i - 1] - lambda[i]) : 1.0,
                     TransitionCause::LaminarSeparation);
        }
        if (forcedXc && st.xc[i] >= *forcedXc) {
            const double x0 = st.xc[i - 1];
            consider(x0 < *forcedXc ? (*forcedXc - x0) / (st.xc[i] - x0) : 1.0,
                     TransitionCause::Forced);
        }

        if (cause == TransitionCause::None) {
            push(L, stationAt(st, i), theta[i], closure::ThwaitesH(lambda[i]),
                 laminarCf(lambda[i], Ui, theta[i], Re));
            continue;
        }

        const Station a = stationAt(st, i - 1), b = stationAt(st, i);
        const Station t = f < 1 ? between(a, b, f) : b;
        const double thetaT = f < 1 ? lerp(theta[i - 1], theta[i], f) : theta[i];
        L.transition = pointAt(t);
        L.transitionCause = cause;
        if (cause == TransitionCause::LaminarSeparation) L.laminarSeparation = L.transition;
        L.firstTurbulent = L.s.size();
        push(L, t, thetaT, kTurbulentStartH, turbulentCf(kTurbulentStartH, t.Ue, thetaT, Re));
        marchTurbulent(st, f < 1 ? i : i + 1, t, thetaT, Re, L);
        break;
    }
    if (!L.transition.found) L.firstTurbulent = L.s.size();

    const std::size_t m = L.s.size();
    for (std::size_t i = 1; i < m; ++i) {
        const double along = (L.x[i] - L.x[i - 1]) * cosAlfa + (L.y[i] - L.y[i - 1]) * sinAlfa;
        L.CDfriction = L.CDfriction + 0.5 * (L.Cf[i - 1] + L.Cf[i]) * along;
    }
    const double Ute = std::max(L.Ue.back(), 0.0);
    L.CD = 2 * L.theta.back() * std::pow(Ute, (L.H.back() + 5) / 2);
    return L;
}

bool SplitAtStagnation(const SurfaceFlow& flow, SurfacePoint& stagnation, SurfaceStations& upper,
                       SurfaceStations& lower)
{
    const std::size_t n = flow.speed.size();
    if (n < 2 || flow.X.size() != n + 1 || flow.Y.size() != n + 1) return false;

    // Chord line: from the end point farthest from the trailing edge to the
    // middle of the trailing edge.
    const double xt = (flow.X[0] + flow.X[n]) / 2, yt = (flow.Y[0] + flow.Y[n]) / 2;
    std::size_t le = 0;
    double farthest = -1;
    for (std::size_t i = 0; i <= n; ++i) {
        const double dx = flow.X[i] - xt, dy = flow.Y[i] - yt;
        const double d = dx * dx + dy * dy;
        if (d > farthest) {
            farthest = d;
            le = i;
        }
    }
    const double cx = xt - flow.X[le], cy = yt - flow.Y[le];
    const double c2 = cx * cx + cy * cy;
    if (!(c2 > 0)) return false;
    auto chordFraction = [&](double x, double y) {
        return ((x - flow.X[le]) * cx + (y - flow.Y[le]) * cy) / c2;
    };

    // Arc length of every control point from end point 1.
    std::vector<double> xm(n), ym(n), ds(n), arc(n);
    double run = 0;
    for (std::size_t i = 0; i < n; ++i) {
        xm[i] = (flow.X[i] + flow.X[i + 1]) / 2;
        ym[i] = (flow.Y[i] + flow.Y[i + 1]) / 2;
        const double dx = flow.X[i + 1] - flow.X[i], dy = flow.Y[i + 1] - flow.Y[i];
        ds[i] = std::sqrt(dx * dx + dy * dy);
        arc[i] = run + ds[i] / 2;
        run = run + ds[i];
    }
    const double total = run;

    bool found = false;
    std::size_t k = 0;
    SurfacePoint best;
    double bestArc = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double v0 = flow.speed[i], v1 = flow.speed[i + 1];
        if (!(v0 <= 0 && v1 > 0)) continue;
        // The path from control point i over end point i + 1 to control
        // point i + 1, with the speed linear along it.
        const double a = ds[i] / 2, b = ds[i + 1] / 2;
        const double d = (v0 / (v0 - v1)) * (a + b);
        double x, y;
        if (d <= a) {
            x = xm[i] + (d / a) * (flow.X[i + 1] - xm[i]);
            y = ym[i] + (d / a) * (flow.Y[i + 1] - ym[i]);
        } else {
            x = flow.X[i + 1] + ((d - a) / b) * (xm[i + 1] - flow.X[i + 1]);
            y = flow.Y[i + 1] + ((d - a) / b) * (ym[i + 1] - flow.Y[i + 1]);
        }
        const double xc = chordFraction(x, y);
        if (!found || xc < best.xc) {
            found = true;
            k = i;
            best = {true, 0, x, y, xc};
            bestArc = arc[i] + d;
        }
    }
    if (!found) return false;
    stagnation = best;

    auto add = [](SurfaceStations& st, double s, double x, double y, double xc, double Ue) {
        if (!st.s.empty() && s <= st.s.back()) return;
        st.s.push_back(s);
        st.x.push_back(x);
        st.y.push_back(y);
        st.xc.push_back(xc);
        st.Ue.push_back(Ue);
    };
    // The last panel at each end carries the Kutta condition, and each method
    // shapes its speed differently: the Soinne-Laine method forces the speed
    // at the edge point itself to zero, which halves its last panel's value,
    // and the strengths of the vortex panel method wiggle there, so that the
    // last panel can even show the flow running back towards the nose. None
    // of that is boundary-layer physics: those panels are left out (and any
    // further ones at the edge with the flow running back), and the layer is
    // carried to the edge with the speed of the last control point ahead.
    std::size_t upperEnd = n > k + 2 ? n - 1 : n;  // one past the last upper control point used
    while (upperEnd > k + 2 && flow.speed[upperEnd - 1] <= 0) --upperEnd;
    std::size_t lowerEnd = k >= 2 ? 1 : 0;  // the last lower control point used
    while (lowerEnd + 1 < k && flow.speed[lowerEnd] >= 0) ++lowerEnd;

    upper = {};
    lower = {};
    add(upper, 0, best.x, best.y, best.xc, 0);
    add(lower, 0, best.x, best.y, best.xc, 0);
    for (std::size_t j = k + 1; j < upperEnd; ++j)
        add(upper, arc[j] - bestArc, xm[j], ym[j], chordFraction(xm[j], ym[j]), flow.speed[j]);
    add(upper, total - bestArc, flow.X[n], flow.Y[n], chordFraction(flow.X[n], flow.Y[n]),
        flow.speed[upperEnd - 1]);
    for (std::size_t j = k + 1; j-- > lowerEnd;)
        add(lower, bestArc - arc[j], xm[j], ym[j], chordFraction(xm[j], ym[j]), -flow.speed[j]);
    add(lower, bestArc, flow.X[0], flow.Y[0], chordFraction(flow.X[0], flow.Y[0]),
        -flow.speed[lowerEnd]);
    return upper.s.size() >= 2 && lower.s.size() >= 2;
}

ViscousResult AnalyseBoundaryLayer(const SurfaceFlow& flow, const BoundaryLayerSetup& setup)
{
    ViscousResult r;
    if (!(setup.Re > 0) || !std::isfinite(setup.Re)) {
        r.message = "The Reynolds number must be a number greater than 0";
        return r;
    }
    SurfaceStations upper, lower;
    if (!SplitAtStagnation(flow, r.stagnation, upper, lower)) {
        r.message =
            "No stagnation point: nowhere does the surface speed turn from the lower "
            "surface's direction of flow to the upper's";
        return r;
    }
    r.upper = MarchSurface(upper, setup.Re, setup.forcedTransitionUpper, flow.cosAlfa,
                           flow.sinAlfa, setup.naturalTransition, setup.transition);
    r.lower = MarchSurface(lower, setup.Re, setup.forcedTransitionLower, flow.cosAlfa,
                           flow.sinAlfa, setup.naturalTransition, setup.transition);
    r.CD = r.upper.CD + r.lower.CD;
    r.CDfriction = r.upper.CDfriction + r.lower.CDfriction;
    for (const SurfaceLayer* L : {&r.upper, &r.lower})
        if (L->turbulentSeparation.found && L->turbulentSeparation.xc < kReliableSeparationXc)
            r.reliable = false;
    if (!std::isfinite(r.CD) || !std::isfinite(r.CDfriction)) {
        r.message = "The boundary layer gave no finite drag for this flow";
        return r;
    }
    r.ok = true;
    return r;
}

}  // namespace tavrix
