// The NACA four- and five-digit sections: the classic thickness distribution
// laid off perpendicular to the series' mean lines.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "geometry/Contour.h"

namespace tavrix {

// A designation taken apart. Four digits MPTT: camber M %, at P tenths of the
// chord, thickness TT %. Five digits LPQTT: design lift coefficient 0.15 L,
// maximum camber at P / 20 of the chord, Q = 1 for the reflexed mean line.
struct NacaDesignation {
    std::string digits;
    bool fiveDigit = false;
    double thickness = 0;  // fraction of the chord
    // Four-digit mean line.
    double camber = 0;          // m, fraction of the chord
    double camberPosition = 0;  // p, fraction of the chord
    // Five-digit mean line: the published constants of the series at design
    // lift coefficient 0.3, scaled by designLift / 0.3.
    double r = 0;    // x where the forward cubic ends
    double k1 = 0;
    double k2k1 = 0;  // k2 / k1, reflexed lines only
    bool reflexed = false;
    double designLift = 0;
};

// Reads "2412", "NACA 23012", "naca0012"; on failure the reason, naming the
// sections that are known.
std::variant<NacaDesignation, std::string> parseNacaDesignation(std::string_view text);

// Half-thickness at x for thickness ratio t; `openTrailingEdge` selects the
// classic last coefficient -0.1015 instead of -0.1036, which closes the edge.
double nacaHalfThickness(double x, double t, bool openTrailingEdge);
// Mean line height and slope at x.
double nacaCamber(const NacaDesignation& d, double x);
double nacaCamberSlope(const NacaDesignation& d, double x);

// The section with np end points (np >= 3) on the x stations of the NACA 0012
// generator, clockwise from the trailing edge along the lower surface. A
// closed section starts and ends exactly at (1, 0); an open one starts and
// ends at the two trailing-edge points of its surfaces.
Contour makeNacaSection(const NacaDesignation& d, int np, bool openTrailingEdge, double Pi);

}  // namespace tavrix
