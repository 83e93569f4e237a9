// Pieces shared by the panel methods: the position of a field point in the
// frame of a panel with the angle the panel subtends there, and the product
// of a factor with a logarithm that may be infinite.
#pragma once

#include <cmath>

#include <vector>

#include "solvers/PanelGeometry.h"

namespace tavrix {

// A field point seen from panel J: XP along the panel from its mid point (the
// first end point at XP = -H, the second at +H), YP across it on the flow side,
// H the half length and Q = XP^2 + YP^2 - H^2, negative inside the circle that
// has the panel as diameter.
struct PanelFrame {
    double XP = 0;
    double YP = 0;
    double H = 0;
    double Q = 0;

    // Numerator of the arctangent's argument (over Q), in the two spellings
    // the methods use; both give the same number, but each method keeps its own.
    double twiceAcrossTimesHalfLength() const { return (2 * YP) * H; }
    double acrossTimesLength(double DS) const { return YP * DS; }

    // Angle the panel subtends at the point: the one-argument arctangent of
    // numerator / Q, moved to the far branch inside the circle that has the
    // panel as diameter. On that circle (Q = 0) the argument has no value and
    // the limit, +-Pi/2 with the side of the point, is taken; a point on the
    // panel's line there is one of its end points and gets 0.
    double subtendedAngle(double numerator, double Pi) const;
};

// The same angle from the quotient numerator / Q formed beforehand (any value
// where Q = 0, since it is not used there).
inline double subtendedAngle(double Q, double YP, double quotient, double Pi)
{
    if (Q == 0) {
        if (YP > 0) return Pi / 2;
        if (YP < 0) return -Pi / 2;
        return 0;
    }
    double beta = std::atan(quotient);
    if (Q < 0 && YP > 0) beta = beta + Pi;
    if (Q < 0 && YP < 0) beta = beta - Pi;
    return beta;
}

inline double PanelFrame::subtendedAngle(double numerator, double Pi) const
{
    return tavrix::subtendedAngle(Q, YP, Q == 0 ? 0 : numerator / Q, Pi);
}

// The frame of panel J whose half length H = DS(J) / 2 the caller formed once
// per panel; inline, so that the double loops of the methods keep the panel's
// terms in registers.
inline PanelFrame panelFrame(const PanelGeometry& c, double x, double y, int J, double H)
{
    PanelFrame f;
    f.XP = (x - c.XM[J]) * c.CosDelta[J] + (y - c.YM[J]) * c.SinDelta[J];
    f.YP = (y - c.YM[J]) * c.CosDelta[J] - (x - c.XM[J]) * c.SinDelta[J];
    f.H = H;
    f.Q = f.XP * f.XP + f.YP * f.YP - f.H * f.H;
    return f;
}

inline PanelFrame panelFrame(const PanelGeometry& c, double x, double y, int J)
{
    return panelFrame(c, x, y, J, c.DS[J] / 2);
}

// A field point seen from a straight segment given by its end points (a
// panel outside a PanelGeometry, a piece of a wake): its direction cosines,
// XP along it from its mid point, YP across it (to the left of the direction
// of travel from the first end point to the second), H its half length.
struct SegmentFrame {
    double cosD = 1, sinD = 0;
    double XP = 0, YP = 0, H = 0;
};

inline SegmentFrame segmentFrame(double x1, double y1, double x2, double y2, double x, double y)
{
    SegmentFrame s;
    const double dx = x2 - x1, dy = y2 - y1;
    const double length = std::sqrt(dx * dx + dy * dy);
    s.cosD = dx / length;
    s.sinD = dy / length;
    s.H = length / 2;
    const double xm = (x1 + x2) / 2, ym = (y1 + y2) / 2;
    s.XP = (x - xm) * s.cosD + (y - ym) * s.sinD;
    s.YP = (y - ym) * s.cosD - (x - xm) * s.sinD;
    return s;
}

// DS(J) / 2 for J = 1 .. NPanel.
inline std::vector<double> halfLengths(const PanelGeometry& c)
{
    std::vector<double> h(c.DS.size(), 0.0);
    for (int J = 1; J <= c.NPanel; ++J) h[J] = c.DS[J] / 2;
    return h;
}

// factor * ln(...) where a zero factor beside a logarithm of zero (a field
// point on a panel end point) counts as 0.
inline double timesLog(double factor, double logarithm)
{
    if (factor == 0 && std::isinf(logarithm)) return 0;
    return factor * logarithm;
}

}  // namespace tavrix
