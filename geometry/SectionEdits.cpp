#include "geometry/SectionEdits.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace tavrix {

namespace {

struct Point {
    double x = 0, y = 0;
};

bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }

// The two surfaces, each from the leading edge to its trailing-edge point.
struct Surfaces {
    std::vector<Point> lower, upper;
    double leadingX = 0, chord = 0;
};

std::optional<Surfaces> splitSurfaces(const Contour& c)
{
    const std::size_t n = c.x.size();
    if (n < 4 || c.y.size() != n) return std::nullopt;
    const auto le = static_cast<std::size_t>(leadingEdgeIndex(c));
    if (le == 0 || le + 1 >= n) return std::nullopt;
    Surfaces s;
    for (std::size_t i = le + 1; i-- > 0;) s.lower.push_back({c.x[i], c.y[i]});
    for (std::size_t i = le; i < n; ++i) s.upper.push_back({c.x[i], c.y[i]});
    s.leadingX = c.x[le];
    s.chord = (c.x.front() + c.x.back()) / 2 - s.leadingX;
    if (!(s.chord > 0)) return std::nullopt;
    return s;
}

Contour joinSurfaces(const std::string& name, const std::vector<Point>& lower,
                     const std::vector<Point>& upper)
{
    Contour c;
    c.name = name;
    for (std::size_t i = lower.size(); i-- > 0;) {
        c.x.push_back(lower[i].x);
        c.y.push_back(lower[i].y);
    }
    for (std::size_t i = 1; i < upper.size(); ++i) {
        c.x.push_back(upper[i].x);
        c.y.push_back(upper[i].y);
    }
    return c;
}

// Height of a surface (leading edge first) at x, linear between its points;
// the segment nearest the trailing edge that spans x is taken, so that a
// surface which turns back at the nose is read on its long part. Beyond
// either end, the end point's height.
double heightAt(const std::vector<Point>& s, double x)
{
    for (std::size_t k = s.size() - 1; k > 0; --k) {
        const Point& a = s[k - 1];
        const Point& b = s[k];
        if ((a.x <= x && x <= b.x) || (b.x <= x && x <= a.x)) {
            if (x == b.x) return b.y;
            if (x == a.x) return a.y;
            return a.y + (x - a.x) / (b.x - a.x) * (b.y - a.y);
        }
    }
    const Point& nearer = std::fabs(x - s.front().x) < std::fabs(x - s.back().x) ? s.front() : s.back();
    return nearer.y;
}

bool allFinite(const Contour& c)
{
    for (std::size_t i = 0; i < c.x.size(); ++i)
        if (!std::isfinite(c.x[i]) || !std::isfinite(c.y[i])) return false;
    return true;
}

double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Where segments a0-a1 and b0-b1 meet, ends included; nothing when they do
// not or are parallel.
std::optional<Point> meet(const Point& a0, const Point& a1, const Point& b0, const Point& b1)
{
    const double rx = a1.x - a0.x, ry = a1.y - a0.y;
    const double sx = b1.x - b0.x, sy = b1.y - b0.y;
    const double d = cross(rx, ry, sx, sy);
    if (d == 0) return std::nullopt;
    const double qx = b0.x - a0.x, qy = b0.y - a0.y;
    const double t = cross(qx, qy, sx, sy) / d;
    const double u = cross(qx, qy, rx, ry) / d;
    if (t < 0 || t > 1 || u < 0 || u > 1) return std::nullopt;
    return Point{a0.x + t * rx, a0.y + t * ry};
}

class Rotation {
public:
    Rotation(Point centre, double clockwiseRad)
        : c_(centre), cos_(std::cos(clockwiseRad)), sin_(std::sin(clockwiseRad))
    {}
    Point operator()(const Point& p) const
    {
        const double dx = p.x - c_.x, dy = p.y - c_.y;
        return {c_.x + dx * cos_ + dy * sin_, c_.y - dx * sin_ + dy * cos_};
    }

private:
    Point c_;
    double cos_, sin_;
};

void appendDistinct(std::vector<Point>& out, const Point& p)
{
    if (out.empty() || !(out.back() == p)) out.push_back(p);
}

// One surface (leading edge first) with its points from index `first` on
// turned about the hinge; `atHinge` is the surface's point at the hinge's x.
std::vector<Point> deflectSurface(const std::vector<Point>& s, std::size_t first,
                                  const Point& atHinge, const Point& hinge, double deflectionRad)
{
    const Rotation turn(hinge, deflectionRad);
    std::vector<Point> flap;
    for (std::size_t i = first; i < s.size(); ++i) flap.push_back(turn(s[i]));
    const Point turned = turn(atHinge);
    const double dx = atHinge.x - hinge.x, dy = atHinge.y - hinge.y;
    const double radius = std::hypot(dx, dy);
    std::vector<Point> out(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(first));
    const double span = std::hypot(s[first].x - s[first - 1].x, s[first].y - s[first - 1].y);
    if (radius <= 1e-12 * span || radius == 0) {
        // The hinge lies on this surface: the two parts meet there.
        appendDistinct(out, atHinge);
        for (const Point& p : flap) appendDistinct(out, p);
        return out;
    }
    // The surface point moves along the surface away from the fixed part
    // (stretched side) or into it (compressed side).
    const double tx = s[first].x - s[first - 1].x, ty = s[first].y - s[first - 1].y;
    const bool stretched = deflectionRad * (dy * tx - dx * ty) > 0;
    if (stretched) {
        appendDistinct(out, atHinge);
        const double arc = radius * std::fabs(deflectionRad);
        const int steps = static_cast<int>(std::clamp(std::ceil(arc / span), 1.0, 64.0));
        for (int j = 1; j < steps; ++j)
            out.push_back(Rotation(hinge, deflectionRad * j / steps)(atHinge));
        appendDistinct(out, turned);
        for (const Point& p : flap) appendDistinct(out, p);
        return out;
    }
    // Compressed: the fixed part from the hinge forward, the turned flap from
    // the hinge aft; cut both where they first meet.
    std::vector<std::size_t> fixedIndex;  // index into s of the fixed chain's points after the first
    std::vector<Point> fixed = {atHinge};
    for (std::size_t i = first; i-- > 0;) {
        if (fixed.back() == s[i]) continue;
        fixed.push_back(s[i]);
        fixedIndex.push_back(i);
    }
    std::vector<Point> turnedChain = {turned};
    for (const Point& p : flap) appendDistinct(turnedChain, p);
    std::optional<Point> cut;
    std::size_t bestA = 0, bestB = 0, bestSum = static_cast<std::size_t>(-1);
    for (std::size_t a = 0; a + 1 < fixed.size(); ++a) {
        if (a >= bestSum) break;
        for (std::size_t b = 0; b + 1 < turnedChain.size() && a + b < bestSum; ++b) {
            if (auto m = meet(fixed[a], fixed[a + 1], turnedChain[b], turnedChain[b + 1])) {
                cut = m;
                bestA = a;
                bestB = b;
                bestSum = a + b;
            }
        }
    }
    if (!cut) {
        for (const Point& p : flap) appendDistinct(out, p);
        return out;
    }
    // Keep the fixed points ahead of segment bestA, the cut, the flap points after segment bestB.
    out.assign(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(fixedIndex[bestA] + 1));
    appendDistinct(out, *cut);
    for (std::size_t b = bestB + 1; b < turnedChain.size(); ++b) appendDistinct(out, turnedChain[b]);
    return out;
}

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

}  // namespace

std::variant<FlappedSection, std::string> deflectFlap(const Contour& contour, const FlapSettings& settings)
{
    if (!std::isfinite(settings.hingeXc) || !std::isfinite(settings.thicknessFraction) ||
        !std::isfinite(settings.deflectionDeg) || (settings.hingeY && !std::isfinite(*settings.hingeY)))
        return std::string("The flap's hinge and deflection must be finite numbers");
    if (std::fabs(settings.deflectionDeg) > 90)
        return std::string("The flap deflection must be between -90 and 90 degrees");
    if (!(settings.hingeXc > 0 && settings.hingeXc < 1))
        return std::string(
            "The hinge must lie inside the section: x/c between 0 and 1, the leading and the "
            "trailing edge");
    if (!settings.hingeY && !(settings.thicknessFraction >= 0 && settings.thicknessFraction <= 1))
        return std::string(
            "The hinge must lie inside the section: its height as a fraction of the local "
            "thickness between 0 (lower surface) and 1 (upper surface)");
    const auto split = splitSurfaces(contour);
    if (!split) return std::string("The contour has no leading and trailing edge to put a flap on");
    const Surfaces& s = *split;
    const double xh = s.leadingX + settings.hingeXc * s.chord;

    // First index of each surface from which every point lies behind the hinge.
    auto firstBehind = [&](const std::vector<Point>& surface) {
        std::size_t k = surface.size();
        while (k > 0 && surface[k - 1].x > xh) --k;
        return k;
    };
    const std::size_t kl = firstBehind(s.lower), ku = firstBehind(s.upper);
    if (kl == 0 || kl >= s.lower.size() || ku == 0 || ku >= s.upper.size())
        return std::string("The hinge must lie inside the section: no surface point behind x/c " +
                           number(settings.hingeXc));
    auto at = [&](const std::vector<Point>& surface, std::size_t k) {
        const Point& a = surface[k - 1];
        const Point& b = surface[k];
        return Point{xh, a.y + (xh - a.x) / (b.x - a.x) * (b.y - a.y)};
    };
    const Point lowerAt = at(s.lower, kl), upperAt = at(s.upper, ku);
    double yh = lowerAt.y + settings.thicknessFraction * (upperAt.y - lowerAt.y);
    if (settings.hingeY) {
        yh = *settings.hingeY;
        if (!(yh >= lowerAt.y && yh <= upperAt.y))
            return std::string("The hinge must lie inside the section: at x/c " +
                               number(settings.hingeXc) + " its height must be between " +
                               number(lowerAt.y) + " and " + number(upperAt.y));
    }
    FlappedSection out{contour, FlapHinge{xh, yh, settings.deflectionDeg, s.chord}};
    if (settings.deflectionDeg == 0) return out;

    const double rad = settings.deflectionDeg * (4 * std::atan(1.0) / 180);
    const Point hinge{xh, yh};
    const std::vector<Point> lower = deflectSurface(s.lower, kl, lowerAt, hinge, rad);
    const std::vector<Point> upper = deflectSurface(s.upper, ku, upperAt, hinge, rad);
    out.contour = joinSurfaces(contour.name, lower, upper);
    dropRepeatedPoints(out.contour);
    if (!allFinite(out.contour) || out.contour.size() < 4 || firstCrossing(out.contour))
        return std::string("This flap deflection makes the contour cross itself; choose a smaller "
                           "deflection or a hinge farther from the edges");
    return out;
}

std::variant<Contour, std::string> scaleThicknessCamber(const Contour& contour,
                                                        double thicknessFactor, double camberFactor)
{
    if (!std::isfinite(thicknessFactor) || !std::isfinite(camberFactor))
        return std::string("The thickness and camber factors must be finite numbers");
    if (!(thicknessFactor > 0))
        return std::string("The thickness factor must be greater than 0");
    const auto split = splitSurfaces(contour);
    if (!split) return std::string("The contour has no leading and trailing edge to scale");
    const Surfaces& s = *split;
    std::vector<Point> lower = s.lower, upper = s.upper;
    // Upper surface y_u = c + t/2, lower y_l = c - t/2 at a common x.
    for (std::size_t i = 1; i < upper.size(); ++i) {
        const double yu = s.upper[i].y, yl = heightAt(s.lower, s.upper[i].x);
        upper[i].y = camberFactor * ((yu + yl) / 2) + thicknessFactor * ((yu - yl) / 2);
    }
    for (std::size_t i = 1; i < lower.size(); ++i) {
        const double yl = s.lower[i].y, yu = heightAt(s.upper, s.lower[i].x);
        lower[i].y = camberFactor * ((yu + yl) / 2) - thicknessFactor * ((yu - yl) / 2);
    }
    lower[0].y = upper[0].y = camberFactor * s.upper[0].y;
    // A closed trailing edge stays closed whatever the rounding of the two surfaces.
    if (s.lower.back() == s.upper.back()) lower.back().y = upper.back().y;
    Contour out = joinSurfaces(contour.name, lower, upper);
    if (!allFinite(out) || firstCrossing(out))
        return std::string("These factors make the contour cross itself");
    return out;
}

std::variant<Contour, std::string> setTrailingEdgeGap(const Contour& contour, double width,
                                                      double blend)
{
    if (!std::isfinite(width) || !std::isfinite(blend))
        return std::string("The trailing-edge gap and blending length must be finite numbers");
    if (!(blend > 0 && blend <= 1))
        return std::string("The blending length must be greater than 0 and at most 1 chord");
    const auto split = splitSurfaces(contour);
    if (!split) return std::string("The contour has no leading and trailing edge to open");
    const Surfaces& s = *split;
    const double thickest = sectionThickness(contour);
    if (!(width >= 0 && width <= thickest))
        return std::string("The trailing-edge gap must be at least 0 and at most the section's "
                           "greatest thickness, " + number(thickest) + " chord");
    // Change of the gap across the chord, shared by the two surfaces.
    const double change = width - (s.upper.back().y - s.lower.back().y) / s.chord;
    const double start = s.leadingX + (1 - blend) * s.chord;
    auto shift = [&](double x) {
        const double u = (x - start) / (blend * s.chord);
        const double b = u <= 0 ? 0 : u >= 1 ? 1 : u * u * (3 - 2 * u);
        return change * s.chord / 2 * b;
    };
    std::vector<Point> lower = s.lower, upper = s.upper;
    for (std::size_t i = 1; i < upper.size(); ++i) upper[i].y += shift(upper[i].x);
    for (std::size_t i = 1; i < lower.size(); ++i) lower[i].y -= shift(lower[i].x);
    Contour out = joinSurfaces(contour.name, lower, upper);
    if (!allFinite(out) || firstCrossing(out))
        return std::string("This trailing-edge gap makes the contour cross itself");
    return out;
}

double hingeMomentCoefficient(const Contour& c, std::span<const double> cu, const FlapHinge& h)
{
    const double half = h.deflectionDeg * (4 * std::atan(1.0) / 180) / 2;
    const double bx = std::cos(half), by = -std::sin(half);  // aft along the bisector
    const std::size_t panels = std::min(cu.size(), c.x.size() > 0 ? c.x.size() - 1 : 0);
    double moment = 0;  // counter-clockwise, per q
    for (std::size_t i = 0; i < panels; ++i) {
        const double mx = (c.x[i] + c.x[i + 1]) / 2 - h.x;
        const double my = (c.y[i] + c.y[i + 1]) / 2 - h.y;
        if (mx * bx + my * by <= 0) continue;
        const double dx = c.x[i + 1] - c.x[i], dy = c.y[i + 1] - c.y[i];
        // A clockwise contour has its outward normal (times length) at (-dy, dx);
        // the pressure pushes against it.
        const double cp = 1 - cu[i];
        const double fx = cp * dy, fy = -cp * dx;
        moment += mx * fy - my * fx;
    }
    return -moment / (h.chord * h.chord);
}

}  // namespace tavrix
