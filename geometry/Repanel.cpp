#include "geometry/Repanel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tavrix {

namespace {

// Second derivatives of the natural cubic spline through (t, v): the
// tridiagonal system solved by forward elimination and back substitution.
std::vector<double> naturalSpline(const std::vector<double>& t, const std::vector<double>& v)
{
    const std::size_t n = t.size();
    std::vector<double> m(n, 0.0), c(n, 0.0), d(n, 0.0);
    if (n < 3) return m;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double h0 = t[i] - t[i - 1], h1 = t[i + 1] - t[i];
        const double a = h0 / 6, b = (h0 + h1) / 3, cc = h1 / 6;
        const double r = (v[i + 1] - v[i]) / h1 - (v[i] - v[i - 1]) / h0;
        const double denom = b - a * c[i - 1];
        c[i] = cc / denom;
        d[i] = (r - a * d[i - 1]) / denom;
    }
    for (std::size_t i = n - 2; i >= 1; --i) {
        m[i] = d[i] - c[i] * m[i + 1];
        if (i == 1) break;
    }
    return m;
}

std::size_t interval(const std::vector<double>& s, double t)
{
    std::size_t lo = 0, hi = s.size() - 1;
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        if (s[mid] <= t) lo = mid; else hi = mid;
    }
    return lo;
}

}  // namespace

ContourSpline::ContourSpline(const Contour& c)
{
    // A point whose distance from its predecessor vanishes in the rounding of
    // the arc length is no knot of its own.
    for (std::size_t i = 0; i < c.x.size(); ++i) {
        if (s_.empty()) {
            s_.push_back(0);
        } else {
            const double s = s_.back() + std::hypot(c.x[i] - x_.back(), c.y[i] - y_.back());
            if (!(s > s_.back())) continue;
            s_.push_back(s);
        }
        x_.push_back(c.x[i]);
        y_.push_back(c.y[i]);
        point_.push_back(i);
    }
    x2_ = naturalSpline(s_, x_);
    y2_ = naturalSpline(s_, y_);
}

void ContourSpline::at(double t, double& x, double& y) const
{
    const std::size_t i = interval(s_, t);
    const double h = s_[i + 1] - s_[i];
    const double a = (s_[i + 1] - t) / h, b = (t - s_[i]) / h;
    const double ca = (a * a * a - a) * h * h / 6, cb = (b * b * b - b) * h * h / 6;
    x = a * x_[i] + b * x_[i + 1] + ca * x2_[i] + cb * x2_[i + 1];
    y = a * y_[i] + b * y_[i + 1] + ca * y2_[i] + cb * y2_[i + 1];
}

void ContourSpline::derivative(double t, double& dx, double& dy) const
{
    const std::size_t i = interval(s_, t);
    const double h = s_[i + 1] - s_[i];
    const double a = (s_[i + 1] - t) / h, b = (t - s_[i]) / h;
    const double ca = -(3 * a * a - 1) * h / 6, cb = (3 * b * b - 1) * h / 6;
    dx = (x_[i + 1] - x_[i]) / h + ca * x2_[i] + cb * x2_[i + 1];
    dy = (y_[i + 1] - y_[i]) / h + ca * y2_[i] + cb * y2_[i + 1];
}

double ContourSpline::leadingEdge() const
{
    const double mx = (x_.front() + x_.back()) / 2, my = (y_.front() + y_.back()) / 2;
    std::size_t best = 0;
    double far = -1;
    for (std::size_t i = 0; i < x_.size(); ++i) {
        const double d = (x_[i] - mx) * (x_[i] - mx) + (y_[i] - my) * (y_[i] - my);
        if (d > far) {
            far = d;
            best = i;
        }
    }
    // Where the distance from the trailing edge is greatest the tangent is
    // normal to the line to it: (P - T) . P' = 0, bracketed by the polygon's
    // neighbouring points and found by bisection.
    auto g = [&](double t) {
        double x, y, dx, dy;
        at(t, x, y);
        derivative(t, dx, dy);
        return (x - mx) * dx + (y - my) * dy;
    };
    double lo = s_[best > 0 ? best - 1 : 0];
    double hi = s_[best + 1 < s_.size() ? best + 1 : best];
    double glo = g(lo), ghi = g(hi);
    if (!(glo > 0 && ghi < 0)) return s_[best];
    for (int k = 0; k < 100 && hi - lo > 1e-15; ++k) {
        const double mid = (lo + hi) / 2;
        const double gm = g(mid);
        if (gm > 0) { lo = mid; glo = gm; } else { hi = mid; ghi = gm; }
    }
    return (lo + hi) / 2;
}

std::string repanelCountRefusal()
{
    return "Number of points for repanelling must be a whole number from " +
           std::to_string(kRepanelMinPoints) + " to " + std::to_string(kRepanelMaxPoints);
}

std::variant<Contour, std::string> repanel(const Contour& contour, int np, double Pi)
{
    if (np < kRepanelMinPoints || np > kRepanelMaxPoints) return repanelCountRefusal();
    if (contour.size() < 3) return std::string("The contour has fewer than three points");
    // Points on one line (a circle of two panels, a surface traced out and
    // back) give a spline with no inside, and a panel system on it nothing
    // but rounding noise.
    if (significantArea(contour) == 0)
        return std::string("The contour encloses no area; it cannot be repanelled");
    const ContourSpline spline(contour);
    if (spline.knots() < 3) return std::string("The contour has fewer than three distinct points");
    const double total = spline.length();
    const double le = spline.leadingEdge();
    Contour out;
    out.name = contour.name;
    out.x.assign(static_cast<std::size_t>(np), 0.0);
    out.y.assign(static_cast<std::size_t>(np), 0.0);
    const double M = (np - 1) / 2.0;
    const double dTheta = Pi / M;
    for (int i = 1; i <= M + 1; ++i) {
        // Fraction of the way from the trailing to the leading edge.
        const double f = (1 - std::cos((i - 1) * dTheta)) * 0.5;
        const std::size_t first = static_cast<std::size_t>(i - 1);
        const std::size_t second = static_cast<std::size_t>(np - i);
        spline.at(total - (total - le) * f, out.x[second], out.y[second]);
        spline.at(le * f, out.x[first], out.y[first]);
    }
    out.x.front() = contour.x.front();
    out.y.front() = contour.y.front();
    out.x.back() = contour.x.back();
    out.y.back() = contour.y.back();
    // Three points are the trailing edge, the nose and the trailing edge
    // again: two panels out and back, with nothing inside them.
    if (significantArea(out) == 0) {
        return std::to_string(np) + " points enclose no area on this contour; a panel solution " +
               "needs more of them";
    }
    return out;
}

Contour subdivided(const Contour& contour, int parts)
{
    if (parts < 2) return contour;
    return subdivided(contour, std::vector<int>(contour.x.size(), parts));
}

Contour subdivided(const Contour& contour, const std::vector<int>& parts)
{
    const ContourSpline spline(contour);
    const int knots = spline.knots();
    if (knots < 3) return contour;
    Contour out;
    out.name = contour.name;
    double x = 0, y = 0;
    for (int i = 0; i + 1 < knots; ++i) {
        // (the contour's panel that reaches the next knot)
        const std::size_t panel = spline.pointOf(i + 1) - 1;
        const int n = std::max(panel < parts.size() ? parts[panel] : 1, 1);
        const double s0 = spline.knot(i), s1 = spline.knot(i + 1);
        for (int j = 0; j < n; ++j) {
            // (the knot itself exactly as the contour has it)
            spline.at(j == 0 ? s0 : s0 + (s1 - s0) * j / n, x, y);
            out.x.push_back(x);
            out.y.push_back(y);
        }
    }
    spline.at(spline.knot(knots - 1), x, y);
    out.x.push_back(x);
    out.y.push_back(y);
    return out;
}

}  // namespace tavrix
