// A closed airfoil contour held outside the shared tables: any number of
// points, point i + 1 at (x[i], y[i]). Files and generators fill one; it is
// put into the program's order, closed and checked before it reaches XCoord
// and YCoord.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavrix {

struct Contour {
    std::string name;
    std::vector<double> x;
    std::vector<double> y;

    int size() const { return static_cast<int>(x.size()); }
};

// Twice the area enclosed by the polygon through the points (the last joined
// back to the first): positive when it runs counter-clockwise.
double doubleSignedArea(const Contour& contour);

// Twice the enclosed area as doubleSignedArea gives it, or 0 when it is lost
// in the rounding of points that lie on one line (below 1e-9 of the square
// of the contour's extent).
double significantArea(const Contour& contour);

// Puts the contour into the program's order, clockwise, keeping its first
// point (the trailing edge) first. Returns whether it was reversed.
bool makeClockwise(Contour& contour);

// Width of the trailing-edge gap, the distance between the first and the last
// point, in units of the chord (trailing-edge mid point to the leading edge).
double trailingEdgeGap(const Contour& contour);

// Index of the leading edge: the point farthest from the trailing-edge mid point.
int leadingEdgeIndex(const Contour& contour);

// The section's greatest thickness in units of the chord: the largest
// distance between the two surfaces (the points before and after the leading
// edge) across the chord line, at the same fraction of the chord. 0 when one
// surface is missing.
double sectionThickness(const Contour& contour);

// Closes an open trailing edge: every point is moved towards the mid point of
// the gap by the fraction of the chord it lies behind the leading edge, so the
// two surfaces meet at that mid point, the thickness falls off linearly and
// the leading edge stays where it is. Returns the gap in chords (0 when the
// first and the last point already coincide; nothing moves then).
double closeTrailingEdge(Contour& contour);

// Drops points that repeat their predecessor exactly (a zero-length panel).
void dropRepeatedPoints(Contour& contour);

// The first two segments of the closed contour that cross or touch, not
// counting neighbours sharing an end point; segment i joins points i and
// i + 1 (1-based).
std::optional<std::pair<int, int>> firstCrossing(const Contour& contour);

}  // namespace tavrix
