// The crossing check of a contour against the plain test of every pair of
// segments: the same first pair (in the order of the points) or none, for
// sections with and without crossings, and a contour of a hundred thousand
// points checked as a whole.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <utility>

#include "geometry/Contour.h"

namespace tavrix {
namespace {

// Segment i joins points i and i + 1; the pairs in order, every one tested,
// with the two bounding-box and orientation tests written out afresh.
int side(double ax, double ay, double bx, double by, double cx, double cy)
{
    const double d = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    return (d > 0) - (d < 0);
}

bool between(double a, double b, double v) { return std::min(a, b) <= v && v <= std::max(a, b); }

bool meet(const Contour& c, std::size_t i, std::size_t j)
{
    const double ax = c.x[i], ay = c.y[i], bx = c.x[i + 1], by = c.y[i + 1];
    const double px = c.x[j], py = c.y[j], qx = c.x[j + 1], qy = c.y[j + 1];
    const int d1 = side(ax, ay, bx, by, px, py), d2 = side(ax, ay, bx, by, qx, qy);
    const int d3 = side(px, py, qx, qy, ax, ay), d4 = side(px, py, qx, qy, bx, by);
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return (d1 == 0 && between(ax, bx, px) && between(ay, by, py)) ||
           (d2 == 0 && between(ax, bx, qx) && between(ay, by, qy)) ||
           (d3 == 0 && between(px, qx, ax) && between(py, qy, ay)) ||
           (d4 == 0 && between(px, qx, bx) && between(py, qy, by));
}

std::optional<std::pair<int, int>> everyPair(const Contour& c)
{
    const std::size_t segments = c.x.size() - 1;
    const bool closed = c.x.front() == c.x.back() && c.y.front() == c.y.back();
    for (std::size_t i = 0; i < segments; ++i)
        for (std::size_t j = i + 2; j < segments; ++j)
            if (!(closed && i == 0 && j == segments - 1) && meet(c, i, j))
                return std::make_pair(static_cast<int>(i + 1), static_cast<int>(j + 1));
    return std::nullopt;
}

// A closed thick ellipse-like section, clockwise from the trailing edge.
Contour section(int n, double thickness)
{
    Contour c;
    c.name = "test";
    for (int k = 0; k < n; ++k) {
        const double t = 2 * M_PI * k / (n - 1);
        c.x.push_back(0.5 + 0.5 * std::cos(t));
        c.y.push_back(-thickness * std::sin(t));
    }
    c.x.back() = c.x.front();
    c.y.back() = c.y.front();
    return c;
}

TEST(ContourCrossing, TheFirstPairIsThatOfTestingEveryPair)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-1, 1);
    int crossed = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 20 + trial % 200;
        Contour c = section(n, trial % 3 == 0 ? 0.002 : 0.05);
        // Disturb a few points, so that some contours cross themselves
        // (surfaces through one another, loops, touching end points).
        const int moves = trial % 5;
        for (int m = 0; m < moves; ++m) {
            const auto k = static_cast<std::size_t>(1 + random() % static_cast<unsigned>(n - 2));
            c.x[k] += 0.2 * jitter(random);
            c.y[k] += 0.1 * jitter(random);
        }
        if (trial % 7 == 0) c.x[static_cast<std::size_t>(n / 3)] = c.x[static_cast<std::size_t>(n / 3 + 5)];
        const auto expected = everyPair(c);
        crossed += expected.has_value();
        EXPECT_EQ(firstCrossing(c), expected) << "trial " << trial;
    }
    // Both kinds occurred.
    EXPECT_GT(crossed, 50);
    EXPECT_LT(crossed, 250);
    // An open contour (the ends not joined) and one with a point not finite.
    Contour open = section(50, 0.05);
    open.x.back() = 0.98;
    EXPECT_EQ(firstCrossing(open), everyPair(open));
    Contour nan = section(50, 0.05);
    nan.y[10] = NAN;
    EXPECT_EQ(firstCrossing(nan), everyPair(nan));
}

TEST(ContourCrossing, AHundredThousandPointsAreCheckedWhole)
{
    Contour c = section(100001, 0.06);
    EXPECT_FALSE(firstCrossing(c).has_value());
    // Two neighbouring points exchanged near the leading edge: the segments
    // before and after them cross.
    std::swap(c.x[50000], c.x[50001]);
    std::swap(c.y[50000], c.y[50001]);
    const auto crossing = firstCrossing(c);
    ASSERT_TRUE(crossing.has_value());
    EXPECT_EQ(*crossing, std::make_pair(50000, 50002));
}

}  // namespace
}  // namespace tavrix
