// Redistribution of a contour's points along a cubic spline through them.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "geometry/Contour.h"

namespace tavrix {

inline constexpr int kRepanelMinPoints = 3;
inline constexpr int kRepanelMaxPoints = 1000;

// Cubic spline through the points of a contour, parametrised by the arc
// length of the polygon through them, with vanishing curvature at both ends.
class ContourSpline {
public:
    explicit ContourSpline(const Contour& contour);
    double length() const { return s_.back(); }
    int knots() const { return static_cast<int>(s_.size()); }
    void at(double s, double& x, double& y) const;
    // The arc length of the leading edge: the point farthest from the
    // trailing-edge mid point, refined between the polygon's points.
    double leadingEdge() const;
    // The parameter of knot i (0 .. knots() - 1): the polygon's arc length at
    // the contour's i-th distinct point.
    double knot(int i) const { return s_[static_cast<std::size_t>(i)]; }
    // The index in the contour of the point knot i was made from.
    std::size_t pointOf(int i) const { return point_[static_cast<std::size_t>(i)]; }

private:
    void derivative(double s, double& dx, double& dy) const;
    std::vector<double> s_, x_, y_, x2_, y2_;  // knots and second derivatives
    std::vector<std::size_t> point_;
};

// The contour with np end points (kRepanelMinPoints..kRepanelMaxPoints) on the
// spline, clockwise from the trailing edge: each surface cosine-spaced between
// the trailing and the leading edge, so that points cluster at both, on the
// stations of the NACA 0012 generator (for an even number of panels a point on
// the leading edge, for an odd number none). The two end points stay exactly
// the contour's first and last. The reason, when np is out of range or the
// contour has fewer than three points.
std::variant<Contour, std::string> repanel(const Contour& contour, int np, double Pi);

std::string repanelCountRefusal();

// The contour with each of its panels split into `parts` panels by equal
// steps of the spline's parameter (the polygon's arc length) along the
// spline through its points: every point of the contour stays where it was
// (a flap's hinge, a file's own nose and trailing edge), parts - 1 new ones
// lie between each two on the curve the points describe. A point that
// repeats its predecessor is kept once. With parts below 2, or fewer than
// three distinct points, the contour as it is.
Contour subdivided(const Contour& contour, int parts);
// The same with parts[i] parts for the panel from the contour's point i to
// i + 1 (1 where the table ends; a repeated point's panel of no length is
// no panel, and the point is kept once even where no panel is split).
Contour subdivided(const Contour& contour, const std::vector<int>& parts);

}  // namespace tavrix
