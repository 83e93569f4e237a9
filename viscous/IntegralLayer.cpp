#include "viscous/IntegralLayer.h"

#include <Eigen/Dense>

namespace tavrix::coupled {

bool isTransitionInterval(const IntervalSetup& setup)
{
    return setup.kindA == LayerKind::Laminar && setup.kindB == LayerKind::Turbulent;
}

StationClosures stationClosures(LayerKind kind, const LayerVars<double>& v, double re)
{
    const double ctau = kind == LayerKind::Laminar ? 0.0 : v.c * v.c;
    const ClosureValues<double> c = evaluateClosures(kind, v.theta, v.dstar, v.ue, ctau, re);
    return {c.h, c.hk, 2.0 * c.cfHalf, c.ctauEq};
}

namespace {

bool finite(const LayerVars<double>& v)
{
    return std::isfinite(v.theta) && std::isfinite(v.dstar) && std::isfinite(v.c) &&
           std::isfinite(v.ue);
}

// Largest fraction of the Newton step (at most 1) that keeps theta, delta*
// and ue within a factor of their values and sqrt(C_tau) positive.
double stepLimit(const LayerVars<double>& v, const double* dv, int nUnknowns, bool turbulent)
{
    double f = 1.0;
    auto limit = [&f](double x, double dx, double down, double up) {
        if (x * down + dx * f < 0 && dx < 0) f = std::min(f, -x * (1 - down) / dx);
        if (dx > 0 && dx * f > x * up) f = std::min(f, x * up / dx);
    };
    limit(v.theta, dv[0], 0.5, 2.0);
    limit(v.dstar, dv[1], 0.5, 2.0);
    if (turbulent) limit(v.c, dv[2], 0.5, 2.0);
    else if (std::abs(dv[2]) * f > 2.0) f = 2.0 / std::abs(dv[2]);
    if (nUnknowns == 4) limit(v.ue, dv[3], 0.8, 0.25);
    return f;
}

// Newton's method for station b of an interval (a fixed): unknowns theta,
// delta*, c, and in the inverse mode also ue, with delta*/theta = hkTarget.
// A step that does not lower the residual is halved (the transition point
// may jump between the ends of the interval from one iterate to the next).
bool solveStation(const LayerVars<double>& a, LayerVars<double>& b, const IntervalSetup& setup,
                  bool inverse, double hkTarget)
{
    const int n = inverse ? 4 : 3;
    const bool turbulent = setup.kindB != LayerKind::Laminar;
    auto residualNorm = [&](const LayerVars<double>& v) {
        const std::array<double, 3> r = intervalResidual(a, v, setup);
        double s = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
        if (inverse) s += std::pow(v.dstar / v.theta - hkTarget, 2);
        return std::isfinite(s) ? std::sqrt(s) : std::numeric_limits<double>::infinity();
    };
    for (int it = 0; it < 60; ++it) {
        // (derivatives in the four unknowns of b alone)
        using D4 = Dual<4>;
        LayerVars<D4> ad{D4(a.theta), D4(a.dstar), D4(a.c), D4(a.ue)};
        LayerVars<D4> bd{D4::variable(b.theta, 0), D4::variable(b.dstar, 1), D4::variable(b.c, 2),
                         D4::variable(b.ue, 3)};
        const std::array<D4, 3> r = intervalResidual(ad, bd, setup);
        Eigen::Matrix4d J = Eigen::Matrix4d::Zero();
        Eigen::Vector4d R = Eigen::Vector4d::Zero();
        for (int k = 0; k < 3; ++k) {
            R[k] = r[k].v;
            for (int j = 0; j < n; ++j) J(k, j) = r[k].d[j];
        }
        if (inverse) {
            R[3] = b.dstar / b.theta - hkTarget;
            J(3, 0) = -b.dstar / (b.theta * b.theta);
            J(3, 1) = 1.0 / b.theta;
        }
        if (!R.allFinite() || !J.allFinite()) return false;
        const double rmax = R.head(n).cwiseAbs().maxCoeff();
        if (rmax < 1e-11) return true;
        Eigen::Vector4d dv = Eigen::Vector4d::Zero();
        if (inverse) dv = J.fullPivLu().solve(-R);
        else dv.head<3>() = J.topLeftCorner<3, 3>().fullPivLu().solve(-R.head<3>());
        if (!dv.allFinite()) return false;
        double f = stepLimit(b, dv.data(), n, turbulent);
        const double norm0 = R.head(n).norm();
        LayerVars<double> trial = b;
        for (int half = 0; half < 8; ++half, f *= 0.5) {
            trial = b;
            trial.theta += f * dv[0];
            trial.dstar += f * dv[1];
            trial.c += f * dv[2];
            if (inverse) trial.ue += f * dv[3];
            const double hmin = hkMinimum(setup.kindB) * 1.0001;
            if (trial.dstar < hmin * trial.theta) trial.dstar = hmin * trial.theta;
            if (turbulent) trial.c = std::max(trial.c, 1e-4);
            if (residualNorm(trial) < norm0) break;
        }
        b = trial;
        if (dv.head(n).cwiseAbs().maxCoeff() < 1e-12 * (1 + std::abs(b.c)) && rmax < 1e-8)
            return true;
    }
    return false;
}

}  // namespace

MarchResult marchLayer(const std::vector<double>& xi, const std::vector<double>& ue,
                       const MarchOptions& o)
{
    MarchResult result;
    const std::size_t n = std::min(xi.size(), ue.size());
    if (n == 0) return result;

    MarchedStation first;
    first.xi = xi[0];
    if (o.wake) {
        first.v = o.start;
        first.kind = LayerKind::Wake;
    } else {
        // Similarity start: H from the shape equation alone, then theta.
        double m = o.startExponent;
        if (std::isnan(m))
            m = n > 1 && xi[1] > xi[0] && ue[0] > 0 && ue[1] > 0
                    ? startExponent(ue[0], xi[0], ue[1], xi[1])
                    : 1.0;
        m = std::clamp(m, 0.0, 1.0);
        double h = 2.4;
        for (int it = 0; it < 50; ++it) {
            auto f = [m](double hh) {
                return similarityResidual(LayerVars<double>{1.0, hh, 0.0, 1.0}, 1.0, 1.0, m)[1];
            };
            const double f0 = f(h), d = (f(h + 1e-7) - f(h - 1e-7)) / 2e-7;
            const double step = -f0 / d;
            h += step;
            if (std::abs(step) < 1e-13) break;
        }
        const double f1 = laminarFriction(h);
        const double growth = 0.5 * (1.0 - m) + (h + 2.0) * m;
        const double theta = std::sqrt(f1 / growth * xi[0] / (std::max(ue[0], 1e-10) * o.re));
        first.v = {theta, h * theta, 0.0, ue[0]};
        first.kind = LayerKind::Laminar;
        if (o.tripXi <= xi[0]) {
            // Tripped at the very start: turbulent from the first station on.
            const StationClosures c = stationClosures(LayerKind::Turbulent, first.v, o.re);
            first.kind = LayerKind::Turbulent;
            first.v.c = std::sqrt(std::max(transitionCtau(c.hk, c.ctauEq), 1e-8));
            result.transitionXi = xi[0];
        }
    }
    result.stations.push_back(first);

    for (std::size_t i = 1; i < n; ++i) {
        const MarchedStation& prev = result.stations.back();
        MarchedStation st;
        st.xi = xi[i];
        IntervalSetup setup;
        setup.xiA = prev.xi;
        setup.xiB = xi[i];
        setup.re = o.re;
        setup.ncrit = o.ncrit;
        setup.tripXi = o.wake ? std::numeric_limits<double>::infinity() : o.tripXi;
        setup.kindA = prev.kind;
        setup.kindB = prev.kind;
        LayerVars<double> b = prev.v;
        b.ue = ue[i];

        auto attempt = [&](LayerVars<double>& v, bool& inverse) {
            const bool turb = setup.kindB != LayerKind::Laminar;
            const double hkMax = turb ? o.hkMaxTurbulent : o.hkMaxLaminar;
            inverse = false;
            LayerVars<double> direct = v;
            bool ok = solveStation(prev.v, direct, setup, false, 0);
            const double hkPrev = prev.v.dstar / prev.v.theta;
            const double hkDirect = direct.dstar / direct.theta;
            if (ok && (hkDirect <= hkMax || hkDirect <= hkPrev)) {
                v = direct;
                return true;
            }
            // Inverse mode, the edge speed following a prescribed shape
            // factor: a laminar layer's rises slowly from the last station's
            // (separation); a turbulent one's falls back towards the
            // threshold (reattachment, as behind a transitional bubble).
            inverse = true;
            const double step = (setup.xiB - setup.xiA) / prev.v.theta;
            const double hkTarget =
                turb ? std::max(hkMax, hkPrev - std::min(0.15 * step, 0.5))
                     : std::max(hkMax, hkPrev + std::min(0.03 * step, 0.2));
            LayerVars<double> inv = prev.v;
            inv.dstar = hkTarget * inv.theta;
            inv.ue = prev.v.ue;
            if (!turb && setup.kindA == LayerKind::Laminar) inv.c = prev.v.c;
            ok = solveStation(prev.v, inv, setup, true, hkTarget);
            if (ok) v = inv;
            return ok;
        };

        bool inverse = false;
        bool ok = attempt(b, inverse);
        if (setup.kindB == LayerKind::Laminar && ok && (b.c >= o.ncrit || o.tripXi <= xi[i])) {
            // Transition inside this interval.
            setup.kindB = LayerKind::Turbulent;
            LayerVars<double> t = prev.v;
            t.ue = ue[i];
            const StationClosures c = stationClosures(LayerKind::Turbulent, t, o.re);
            t.c = std::sqrt(std::max(transitionCtau(c.hk, c.ctauEq), 1e-8));
            b = t;
            ok = attempt(b, inverse);
            if (ok) {
                double xt = 0;
                LayerVars<double> pv = prev.v;
                intervalResidual(pv, b, setup, &xt);
                result.transitionXi = xt;
            }
        }
        st.kind = setup.kindB;
        st.inverse = inverse;
        if (!ok || !finite(b)) {
            if (result.ok) {
                result.ok = false;
                result.failedStation = static_cast<int>(i);
            }
            b = prev.v;  // carry the last good state on, flagged
            b.ue = ue[i];
            if (st.kind != LayerKind::Laminar && prev.kind == LayerKind::Laminar) {
                // A failed transition interval: the carried state holds n,
                // the station sqrt(C_tau) at its starting value.
                const StationClosures c = stationClosures(LayerKind::Turbulent, b, o.re);
                b.c = std::sqrt(std::max(transitionCtau(c.hk, c.ctauEq), 1e-8));
            }
        }
        st.v = b;
        result.stations.push_back(st);
    }
    return result;
}

}  // namespace tavrix::coupled
