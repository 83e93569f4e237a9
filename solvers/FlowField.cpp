#include "solvers/FlowField.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <cmath>
#include <complex>
#include <limits>
#include <utility>

#include "solvers/FieldVelocity.h"
#include "solvers/PanelFrame.h"

namespace tavrix {

namespace {

constexpr double kTwoPi = 2 * kPi;

// Far from the panel (more than six panel lengths) the sheet integrals
// (sheetIntegrals, FieldVelocity.h) from the expansion of 1/(Z - t) in powers of t/Z, Z = XP + i YP: the conjugate
// velocity of the unit source sheet is
//   (1/2 pi) (2H/Z + (2H^3/3)/Z^3 + (2H^5/5)/Z^5),
// of the sheet of strength t
//   (1/2 pi) ((2H^3/3)/Z^2 + (2H^5/5)/Z^4 + (2H^7/7)/Z^6),
// each cut off where the next term is below 1e-7 of the first: no logarithm
// or arctangent, a few products instead.
SheetIntegrals farSheetIntegrals(const PanelFrame& f, bool linear)
{
    const double r2 = f.XP * f.XP + f.YP * f.YP;
    const std::complex<double> inv(f.XP / r2, -f.YP / r2);  // 1/Z
    const std::complex<double> inv2 = inv * inv;
    const double h = f.H, h2 = h * h;
    const double c1 = 2 * h, c3 = 2 * h * h2 / 3, c5 = 2 * h * h2 * h2 / 5;
    const std::complex<double> ws = inv * (c1 + inv2 * (c3 + inv2 * c5)) / kTwoPi;
    SheetIntegrals s;
    s.us = ws.real();
    s.vs = -ws.imag();
    if (linear) {
        const double c7 = 2 * h * h2 * h2 * h2 / 7;
        const std::complex<double> wt = inv2 * (c3 + inv2 * (c5 + inv2 * c7)) / kTwoPi;
        s.ut = wt.real();
        s.vt = -wt.imag();
    }
    return s;
}

// The sheet integrals of the panel: exact near it, from the expansion far
// from it.
SheetIntegrals panelSheetIntegrals(const PanelFrame& f, bool linear)
{
    if (f.XP * f.XP + f.YP * f.YP > 144 * f.H * f.H) return farSheetIntegrals(f, linear);
    return sheetIntegrals(f.XP, f.YP, f.H, linear);
}

double segmentDistance2(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
    return ex * ex + ey * ey;
}

}  // namespace

void forEachInParallel(int count, const std::function<void(int)>& work)
{
    const int threads =
        std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, std::min(count, 16));
    std::atomic<int> next{0};
    auto run = [&] {
        for (int k = next++; k < count; k = next++) work(k);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(run);
    run();
    for (std::thread& t : pool) t.join();
}

FlowField::FlowField(const PanelSolution& solution, double alphaDeg)
    : FlowField(solution.geometry(), solution.method(), solution.strengths(alphaDeg),
                solution.system().vortexShape, alphaDeg)
{
}

FlowField::FlowField(const PanelGeometry& geometry, PanelMethod method,
                     std::vector<double> strength, std::vector<double> vortexShape,
                     double alphaDeg)
    : geometry_(geometry),
      method_(method),
      strength_(std::move(strength)),
      vortexShape_(std::move(vortexShape)),
      alphaDeg_(alphaDeg),
      cosAlfa_(std::cos(alphaDeg * kDegToRad)),
      sinAlfa_(std::sin(alphaDeg * kDegToRad))
{
    const std::size_t need = static_cast<std::size_t>(geometry_.NP) + 2;
    if (strength_.size() < need) strength_.resize(need, 0.0);
    if (vortexShape_.size() < need) vortexShape_.resize(need, 0.0);
}

FlowVelocity FlowField::velocity(double x, double y) const
{
    const PanelGeometry& c = geometry_;
    const std::vector<double>& q = strength_;
    const bool linear =
        method_ == PanelMethod::VortexPanel || method_ == PanelMethod::SoinneLaine;
    double u = cosAlfa_, v = sinAlfa_;
    for (int J = 1; J <= c.NPanel; ++J) {
        const PanelFrame f = panelFrame(c, x, y, J);
        const SheetIntegrals s = panelSheetIntegrals(f, linear);
        double ul = 0, vl = 0;  // in the panel's frame
        switch (method_) {
        case PanelMethod::Hess: {
            // Source of strength q(J); vortex of amplitude q(NP) shaped by d(J),
            // clockwise.
            const double gamma = q[c.NP] * vortexShape_[J];
            ul = q[J] * s.us + gamma * s.vs;
            vl = q[J] * s.vs - gamma * s.us;
            break;
        }
        case PanelMethod::KennedyMarsden: {
            // Uniform vortex sheet, counter-clockwise strength q(J).
            ul = -q[J] * s.vs;
            vl = q[J] * s.us;
            break;
        }
        case PanelMethod::VortexPanel:
        case PanelMethod::SoinneLaine: {
            // Clockwise sheet varying linearly from q(J) at the first end point
            // to q(J + 1) at the second: its mean plus its slope times t.
            const double mean = (q[J] + q[J + 1]) / 2;
            const double slope = (q[J + 1] - q[J]) / c.DS[J];
            ul = mean * s.vs + slope * s.vt;
            vl = -(mean * s.us + slope * s.ut);
            break;
        }
        }
        u += ul * c.CosDelta[J] - vl * c.SinDelta[J];
        v += ul * c.SinDelta[J] + vl * c.CosDelta[J];
    }
    return {u, v};
}

bool FlowField::inside(double x, double y) const { return insideContour(geometry_, x, y); }

double FlowField::distanceToSurface(double x, double y) const
{
    const PanelGeometry& c = geometry_;
    double d2 = std::numeric_limits<double>::infinity();
    for (int J = 1; J <= c.NPanel; ++J)
        d2 = std::min(d2, segmentDistance2(x, y, c.X[J], c.Y[J], c.X[J + 1], c.Y[J + 1]));
    return std::sqrt(d2);
}

double FlowField::circulation() const
{
    const PanelGeometry& c = geometry_;
    double g = 0;
    for (int J = 1; J <= c.NPanel; ++J) {
        switch (method_) {
        case PanelMethod::Hess: g += strength_[c.NP] * vortexShape_[J] * c.DS[J]; break;
        case PanelMethod::KennedyMarsden: g -= strength_[J] * c.DS[J]; break;
        case PanelMethod::VortexPanel:
        case PanelMethod::SoinneLaine:
            g += (strength_[J] + strength_[J + 1]) / 2 * c.DS[J];
            break;
        }
    }
    return g;
}

FlowVelocity flowVelocity(const PanelSolution& solution, double alphaDeg, double x, double y)
{
    return FlowField(solution, alphaDeg).velocity(x, y);
}

double FieldGrid::speed(int i, int j) const
{
    const std::size_t k = index(i, j);
    return std::hypot(u[k], v[k]);
}

FieldGrid evaluateGrid(const FlowField& field, const FieldBox& box)
{
    FieldGrid g;
    g.box = box;
    const std::size_t n = static_cast<std::size_t>(box.nx) * static_cast<std::size_t>(box.ny);
    g.u.assign(n, 0.0);
    g.v.assign(n, 0.0);
    g.inside.assign(n, 0);
    auto row = [&](int j) {
        for (int i = 0; i < box.nx; ++i) {
            const double x = box.x(i), y = box.y(j);
            const std::size_t k = g.index(i, j);
            if (field.inside(x, y)) {
                g.inside[k] = 1;
                continue;
            }
            const FlowVelocity w = field.velocity(x, y);
            if (!std::isfinite(w.u) || !std::isfinite(w.v)) {
                // A node on a panel's end point: the sheet's logarithm is
                // infinite there; it is part of the surface, not of the field.
                g.inside[k] = 1;
                continue;
            }
            g.u[k] = w.u;
            g.v[k] = w.v;
        }
    };
    // Rows on every core; each node is computed alone, so the numbers do not
    // depend on the number of threads.
    forEachInParallel(box.ny, row);
    return g;
}

Streamline traceStreamline(const FlowField& field, double x0, double y0, double xmin,
                           double xmax, double ymin, double ymax, double step, bool upstream,
                           int maxSteps)
{
    Streamline line;
    const double sense = upstream ? -1 : 1;
    // The unit direction of the flow; false at a stagnation point or where
    // the velocity has no value.
    auto direction = [&](double x, double y, double& dx, double& dy) {
        const FlowVelocity w = field.velocity(x, y);
        const double s = std::hypot(w.u, w.v);
        if (!(s > 1e-9) || !std::isfinite(s)) return false;
        dx = sense * w.u / s;
        dy = sense * w.v / s;
        return true;
    };
    double x = x0, y = y0;
    line.x.push_back(x);
    line.y.push_back(y);
    const double smallest = step / 64;
    for (int n = 0; n < maxSteps; ++n) {
        if (x < xmin || x > xmax || y < ymin || y > ymax) {
            line.end = Streamline::End::LeftBox;
            return line;
        }
        // Near the surface the direction turns within a panel's length: the
        // step follows the distance to it.
        const double h = std::clamp(0.25 * field.distanceToSurface(x, y), smallest, step);
        double k1x, k1y, k2x, k2y, k3x, k3y, k4x, k4y;
        if (!direction(x, y, k1x, k1y) || !direction(x + h / 2 * k1x, y + h / 2 * k1y, k2x, k2y) ||
            !direction(x + h / 2 * k2x, y + h / 2 * k2y, k3x, k3y) ||
            !direction(x + h * k3x, y + h * k3y, k4x, k4y)) {
            line.end = Streamline::End::Stagnation;
            return line;
        }
        const double nx = x + h / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
        const double ny = y + h / 6 * (k1y + 2 * k2y + 2 * k3y + k4y);
        if (field.inside(nx, ny)) {
            line.end = Streamline::End::ReachedBody;
            return line;
        }
        // Directions that cancel over the step: the line has run into a
        // stagnation point and turns back and forth on it.
        if (std::hypot(nx - x, ny - y) < h / 4) {
            line.end = Streamline::End::Stagnation;
            return line;
        }
        x = nx;
        y = ny;
        line.x.push_back(x);
        line.y.push_back(y);
    }
    line.end = Streamline::End::StepLimit;
    return line;
}

namespace {

// The flow-side normal of panel J (1-based).
void panelNormal(const PanelGeometry& c, int J, double& nx, double& ny)
{
    nx = -c.SinDelta[J];
    ny = c.CosDelta[J];
}

void normalise(double& x, double& y)
{
    const double n = std::hypot(x, y);
    if (n > 0) {
        x /= n;
        y /= n;
    }
}

}  // namespace

DividingPoints dividingPoints(const PanelGeometry& c, const std::vector<double>& speed)
{
    DividingPoints p;
    const int N = c.NPanel;
    if (N < 2 || static_cast<int>(speed.size()) < N) return p;
    // Front: the speed rises through zero between control points k and k + 1
    // (1-based panels). Where it does so more than once (ripples near the
    // trailing edge), the change with the largest jump in speed is taken.
    int front = 0;
    double frontJump = -1;
    int rear = 0;
    double rearJump = -1;
    // The last panel at each end carries the trailing-edge condition and its
    // speed may ripple (the vortex panel method's does): only panels 2 to
    // N - 1 are read.
    for (int k = 2; k + 1 < N; ++k) {
        const double a = speed[static_cast<std::size_t>(k - 1)];
        const double b = speed[static_cast<std::size_t>(k)];
        if (a < 0 && b >= 0 && b - a > frontJump) {
            front = k;
            frontJump = b - a;
        }
        if (a > 0 && b <= 0 && a - b > rearJump) {
            rear = k;
            rearJump = a - b;
        }
    }
    const double first = N > 3 ? speed[1] : speed[0];
    const double last = N > 3 ? speed[static_cast<std::size_t>(N - 2)] : speed[static_cast<std::size_t>(N - 1)];
    auto between = [&](int k, double a, double b, double& x, double& y, double& nx, double& ny) {
        const double t = a / (a - b);
        x = c.XM[k] + t * (c.XM[k + 1] - c.XM[k]);
        y = c.YM[k] + t * (c.YM[k + 1] - c.YM[k]);
        double n1x, n1y, n2x, n2y;
        panelNormal(c, k, n1x, n1y);
        panelNormal(c, k + 1, n2x, n2y);
        nx = (1 - t) * n1x + t * n2x;
        ny = (1 - t) * n1y + t * n2y;
        normalise(nx, ny);
    };
    if (front != 0) {
        between(front, speed[static_cast<std::size_t>(front - 1)],
                speed[static_cast<std::size_t>(front)], p.frontX, p.frontY, p.frontNx, p.frontNy);
    } else {
        // No sign change: the foremost end point.
        int lead = 1;
        for (int i = 2; i <= c.NP; ++i)
            if (c.X[i] < c.X[lead]) lead = i;
        p.frontX = c.X[lead];
        p.frontY = c.Y[lead];
    }
    // Across the trailing edge: the lower surface's flow runs against the
    // panels towards the edge, the upper surface's with them. A fall through
    // zero across the edge that is larger than any other is the flow
    // leaving there.
    // Across the trailing edge: the lower surface's flow runs against the
    // panels towards the edge, the upper surface's with them. A fall through
    // zero across the edge is the flow leaving there (the Kutta condition);
    // ripples of the speed on the last panels do not move it.
    const bool leavesAtEdge = first < 0 && last > 0;
    p.rearAtTrailingEdge = leavesAtEdge || rear == 0;
    if (p.rearAtTrailingEdge) {
        p.rearX = (c.X[1] + c.X[c.NP]) / 2;
        p.rearY = (c.Y[1] + c.Y[c.NP]) / 2;
        // Along the bisector of the edge: the mean of the two last panels'
        // normals, or for a cusp the direction of the upper panel.
        double n1x, n1y, n2x, n2y;
        panelNormal(c, 1, n1x, n1y);
        panelNormal(c, N, n2x, n2y);
        double bx = n1x + n2x, by = n1y + n2y;
        if (std::hypot(bx, by) < 0.1) {
            bx = c.CosDelta[N] - c.CosDelta[1];
            by = c.SinDelta[N] - c.SinDelta[1];
        }
        normalise(bx, by);
        p.rearNx = bx;
        p.rearNy = by;
    } else {
        between(rear, speed[static_cast<std::size_t>(rear - 1)],
                speed[static_cast<std::size_t>(rear)], p.rearX, p.rearY, p.rearNx, p.rearNy);
    }
    return p;
}

DividingStreamlines traceDividingStreamlines(const FlowField& field, const DividingPoints& p,
                                             double xmin, double xmax, double ymin, double ymax,
                                             double step)
{
    const PanelGeometry& c = field.geometry();
    double lo = c.X[1], hi = c.X[1];
    for (int i = 2; i <= c.NP; ++i) {
        lo = std::min(lo, c.X[i]);
        hi = std::max(hi, c.X[i]);
    }
    // Off the surface by half the length of the nearest panel (at least a
    // thousandth of the chord): closer in, the velocity is that of the
    // discrete sheets, which turns about their end points.
    auto offset = [&](double x, double y) {
        int nearest = 1;
        double best = std::numeric_limits<double>::infinity();
        for (int J = 1; J <= c.NPanel; ++J) {
            const double d = std::hypot(x - c.XM[J], y - c.YM[J]);
            if (d < best) {
                best = d;
                nearest = J;
            }
        }
        return std::max(1e-3 * std::max(hi - lo, 1e-12), 0.5 * c.DS[nearest]);
    };
    DividingStreamlines d;
    const double off = offset(p.frontX, p.frontY);
    d.front = traceStreamline(field, p.frontX + off * p.frontNx, p.frontY + off * p.frontNy, xmin,
                              xmax, ymin, ymax, step, true);
    // From the box's edge to the stagnation point.
    std::reverse(d.front.x.begin(), d.front.x.end());
    std::reverse(d.front.y.begin(), d.front.y.end());
    d.front.x.push_back(p.frontX);
    d.front.y.push_back(p.frontY);
    const double rearOff = offset(p.rearX, p.rearY);
    d.rear = traceStreamline(field, p.rearX + rearOff * p.rearNx, p.rearY + rearOff * p.rearNy, xmin, xmax,
                             ymin, ymax, step, false);
    d.rear.x.insert(d.rear.x.begin(), p.rearX);
    d.rear.y.insert(d.rear.y.begin(), p.rearY);
    return d;
}

}  // namespace tavrix
