#include "geometry/Contour.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace tavrix {

namespace {

// Sign of the turn a -> b -> c: > 0 to the left, < 0 to the right, 0 in line.
int turn(double ax, double ay, double bx, double by, double cx, double cy)
{
    const double d = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    return (d > 0) - (d < 0);
}

bool within(double a, double b, double v) { return std::min(a, b) <= v && v <= std::max(a, b); }

bool segmentsMeet(const Contour& c, std::size_t i, std::size_t j)
{
    const double ax = c.x[i], ay = c.y[i], bx = c.x[i + 1], by = c.y[i + 1];
    const double px = c.x[j], py = c.y[j], qx = c.x[j + 1], qy = c.y[j + 1];
    // Quick rejection on the bounding boxes.
    if (std::max(ax, bx) < std::min(px, qx) || std::max(px, qx) < std::min(ax, bx) ||
        std::max(ay, by) < std::min(py, qy) || std::max(py, qy) < std::min(ay, by))
        return false;
    const int d1 = turn(ax, ay, bx, by, px, py);
    const int d2 = turn(ax, ay, bx, by, qx, qy);
    const int d3 = turn(px, py, qx, qy, ax, ay);
    const int d4 = turn(px, py, qx, qy, bx, by);
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    if (d1 == 0 && within(ax, bx, px) && within(ay, by, py)) return true;
    if (d2 == 0 && within(ax, bx, qx) && within(ay, by, qy)) return true;
    if (d3 == 0 && within(px, qx, ax) && within(py, qy, ay)) return true;
    if (d4 == 0 && within(px, qx, bx) && within(py, qy, by)) return true;
    return false;
}

}  // namespace

double doubleSignedArea(const Contour& c)
{
    const std::size_t n = c.x.size();
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = (i + 1) % n;
        sum += c.x[i] * c.y[k] - c.x[k] * c.y[i];
    }
    return sum;
}

double significantArea(const Contour& c)
{
    if (c.x.empty()) return 0;
    const auto [xlo, xhi] = std::minmax_element(c.x.begin(), c.x.end());
    const auto [ylo, yhi] = std::minmax_element(c.y.begin(), c.y.end());
    const double extent = std::max(*xhi - *xlo, *yhi - *ylo);
    const double area = doubleSignedArea(c);
    return std::fabs(area) > 1e-9 * extent * extent ? area : 0;
}

bool makeClockwise(Contour& c)
{
    if (doubleSignedArea(c) <= 0) return false;
    std::reverse(c.x.begin(), c.x.end());
    std::reverse(c.y.begin(), c.y.end());
    return true;
}

int leadingEdgeIndex(const Contour& c)
{
    const std::size_t n = c.x.size();
    const double mx = (c.x.front() + c.x.back()) / 2, my = (c.y.front() + c.y.back()) / 2;
    std::size_t best = 0;
    double far = -1;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = c.x[i] - mx, dy = c.y[i] - my;
        const double d = dx * dx + dy * dy;
        if (d > far) {
            far = d;
            best = i;
        }
    }
    return static_cast<int>(best);
}

double trailingEdgeGap(const Contour& c)
{
    const std::size_t le = static_cast<std::size_t>(leadingEdgeIndex(c));
    const double mx = (c.x.front() + c.x.back()) / 2, my = (c.y.front() + c.y.back()) / 2;
    const double chord = std::hypot(mx - c.x[le], my - c.y[le]);
    const double gap = std::hypot(c.x.back() - c.x.front(), c.y.back() - c.y.front());
    return chord > 0 ? gap / chord : 0;
}

namespace {

// The points of one surface in the chord frame: fraction of the chord from
// the leading edge, and distance across the chord line in chords.
struct SurfaceInChordFrame {
    std::vector<double> along, across;
};

// Distance across the chord line of the surface at the fraction `at`, along
// the first of its segments that spans it; nothing when none does.
std::optional<double> acrossAt(const SurfaceInChordFrame& s, double at)
{
    for (std::size_t k = 0; k + 1 < s.along.size(); ++k) {
        const double a = s.along[k], b = s.along[k + 1];
        if (at < std::min(a, b) || at > std::max(a, b)) continue;
        if (a == b) return std::max(s.across[k], s.across[k + 1]);
        const double f = (at - a) / (b - a);
        return s.across[k] + f * (s.across[k + 1] - s.across[k]);
    }
    return std::nullopt;
}

}  // namespace

double sectionThickness(const Contour& c)
{
    const std::size_t n = c.x.size();
    if (n < 3) return 0;
    const std::size_t le = static_cast<std::size_t>(leadingEdgeIndex(c));
    const double lx = c.x[le], ly = c.y[le];
    const double cx = (c.x.front() + c.x.back()) / 2 - lx;
    const double cy = (c.y.front() + c.y.back()) / 2 - ly;
    const double chord2 = cx * cx + cy * cy;
    if (chord2 == 0) return 0;
    SurfaceInChordFrame first, second;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = c.x[i] - lx, dy = c.y[i] - ly;
        SurfaceInChordFrame& s = i <= le ? first : second;
        if (i == le) {
            second.along.push_back(0);
            second.across.push_back(0);
        }
        s.along.push_back((dx * cx + dy * cy) / chord2);
        s.across.push_back((dy * cx - dx * cy) / chord2);
    }
    double thickest = 0;
    const std::pair<const SurfaceInChordFrame*, const SurfaceInChordFrame*> pairs[] = {
        {&first, &second}, {&second, &first}};
    for (const auto& [from, to] : pairs) {
        for (std::size_t k = 0; k < from->along.size(); ++k) {
            if (const auto other = acrossAt(*to, from->along[k]))
                thickest = std::max(thickest, std::fabs(from->across[k] - *other));
        }
    }
    return thickest;
}

double closeTrailingEdge(Contour& c)
{
    const std::size_t n = c.x.size();
    if (n < 3 || (c.x.front() == c.x.back() && c.y.front() == c.y.back())) return 0;
    const double gap = trailingEdgeGap(c);
    const std::size_t le = static_cast<std::size_t>(leadingEdgeIndex(c));
    const double lx = c.x[le], ly = c.y[le];
    const double mx = (c.x.front() + c.x.back()) / 2, my = (c.y.front() + c.y.back()) / 2;
    const double cx = mx - lx, cy = my - ly;
    const double chord2 = cx * cx + cy * cy;
    if (chord2 == 0) return 0;
    // The first surface moves by the fraction of half the gap that carries its
    // trailing-edge point onto the mid point, the second likewise.
    const double firstDx = mx - c.x.front(), firstDy = my - c.y.front();
    const double lastDx = mx - c.x.back(), lastDy = my - c.y.back();
    for (std::size_t i = 0; i < n; ++i) {
        double f = ((c.x[i] - lx) * cx + (c.y[i] - ly) * cy) / chord2;
        f = std::clamp(f, 0.0, 1.0);
        if (i < le) {
            c.x[i] = c.x[i] + f * firstDx;
            c.y[i] = c.y[i] + f * firstDy;
        } else if (i > le) {
            c.x[i] = c.x[i] + f * lastDx;
            c.y[i] = c.y[i] + f * lastDy;
        }
    }
    c.x.front() = c.x.back() = mx;
    c.y.front() = c.y.back() = my;
    return gap;
}

void dropRepeatedPoints(Contour& c)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < c.x.size(); ++i) {
        if (kept > 0 && c.x[i] == c.x[kept - 1] && c.y[i] == c.y[kept - 1]) continue;
        c.x[kept] = c.x[i];
        c.y[kept] = c.y[i];
        ++kept;
    }
    c.x.resize(kept);
    c.y.resize(kept);
}

std::optional<std::pair<int, int>> firstCrossing(const Contour& c)
{
    const std::size_t n = c.x.size();
    if (n < 4) return std::nullopt;
    const std::size_t segments = n - 1;
    const bool closed = c.x.front() == c.x.back() && c.y.front() == c.y.back();
    auto candidate = [&](std::size_t i, std::size_t j) {
        // Neighbours share an end point; so do the first and the last
        // segment of a closed contour, at the trailing edge.
        return j >= i + 2 && !(closed && i == 0 && j == segments - 1);
    };
    const bool finite = std::all_of(c.x.begin(), c.x.end(), [](double v) { return std::isfinite(v); }) &&
                        std::all_of(c.y.begin(), c.y.end(), [](double v) { return std::isfinite(v); });
    if (!finite) {
        for (std::size_t i = 0; i < segments; ++i)
            for (std::size_t j = i + 2; j < segments; ++j)
                if (candidate(i, j) && segmentsMeet(c, i, j))
                    return std::make_pair(static_cast<int>(i + 1), static_cast<int>(j + 1));
        return std::nullopt;
    }
    // Segments whose x ranges do not overlap never meet (segmentsMeet
    // rejects them first), so only the pairs a sweep along x finds
    // overlapping are tested: for the few segments above one another at any
    // x of an airfoil that is some n pairs instead of n^2 / 2, so a contour
    // of a hundred thousand points is checked in milliseconds. The pair
    // reported is still the first in the order of the points.
    std::vector<std::size_t> order(segments);
    std::vector<double> low(segments), high(segments);
    for (std::size_t k = 0; k < segments; ++k) {
        order[k] = k;
        low[k] = std::min(c.x[k], c.x[k + 1]);
        high[k] = std::max(c.x[k], c.x[k + 1]);
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return low[a] < low[b] || (low[a] == low[b] && a < b);
    });
    std::optional<std::pair<std::size_t, std::size_t>> first;
    for (std::size_t a = 0; a < segments; ++a) {
        const std::size_t s = order[a];
        for (std::size_t b = a + 1; b < segments && low[order[b]] <= high[s]; ++b) {
            const std::size_t i = std::min(s, order[b]), j = std::max(s, order[b]);
            if (first && std::make_pair(i, j) >= *first) continue;
            if (candidate(i, j) && segmentsMeet(c, i, j)) first = std::make_pair(i, j);
        }
    }
    if (!first) return std::nullopt;
    return std::make_pair(static_cast<int>(first->first + 1), static_cast<int>(first->second + 1));
}

}  // namespace tavrix
