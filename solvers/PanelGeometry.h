// The panels of a contour: the end points turned by the rotation eta, and
// every panel's mid point (its control point), length and direction. Tables
// are indexed as the methods index them: end points 1..NP (point NP repeats
// point 1 at the trailing edge), panels 1..NPanel = NP - 1, index 0 unused.
#pragma once

#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "solvers/Refusal.h"

namespace tavrix {

inline constexpr double kPi = std::numbers::pi;  // 4 arctan(1) to the last bit
inline constexpr double kDegToRad = kPi / 180;

struct PanelGeometry {
    int NP = 0;
    int NPanel = 0;
    double etaDeg = 0;
    std::vector<double> X, Y;  // end points 1..NP after the rotation
    // Panel I from end point I to I + 1: mid point, length, direction cosines.
    std::vector<double> XM, YM, DS, CosDelta, SinDelta;
};

// The panels of the contour (x[0], y[0]) .. (x[n-1], y[n-1]), clockwise from
// the trailing edge with the trailing edge repeated last, turned clockwise by
// etaDeg degrees about the origin (nose up for eta > 0). Refused with fewer
// than two points, or where two consecutive points coincide after the
// rotation ("Panel end points I and I+1 coincide", the first such panel).
Outcome<PanelGeometry> buildPanelGeometry(std::span<const double> x, std::span<const double> y,
                                          double etaDeg);

// The same panels without the checks: a panel of length 0 gets NaN
// directions, as the arithmetic falls.
PanelGeometry panelGeometry(std::span<const double> x, std::span<const double> y, double etaDeg);

// The first panel (1-based) whose end points coincide after the rotation, or 0.
int firstDegeneratePanel(std::span<const double> x, std::span<const double> y, double etaDeg);

// Whether (x, y) lies inside the closed polygon of the panels' end points
// (even-odd rule; the edge from the last end point back to the first closes
// it, the gap of an open trailing edge or a difference of rounding).
bool insideContour(const PanelGeometry& g, double x, double y);

// The refusal of a Mach number of 1 or more (either sign).
inline bool machAllowed(double mach) { return !(mach >= 1 || mach <= -1); }

// Force and moment coefficients of one pressure distribution.
struct Coefficients {
    double CD = 0;
    double CL = 0;
    double CM = 0;  // nose up, about (0.25, 0) of the rotated contour
};

// Integrates Cu = 1 - Cp (1-based, panels 1..NPanel) over the panels: the
// pressure force in body axes and the moment about (0.25, 0), then drag and
// lift in the wind axes of the angle whose cosine and sine are given. The
// tables are 1-based, as the panel tables are.
Coefficients integrateForces(int NPanel, const double* XM, const double* YM, const double* DS,
                             const double* CosDelta, const double* SinDelta, const double* Cu,
                             double cosAlfa, double sinAlfa);
inline Coefficients integrateForces(const PanelGeometry& g, const double* Cu, double cosAlfa,
                                    double sinAlfa)
{
    return integrateForces(g.NPanel, g.XM.data(), g.YM.data(), g.DS.data(), g.CosDelta.data(),
                           g.SinDelta.data(), Cu, cosAlfa, sinAlfa);
}

}  // namespace tavrix
