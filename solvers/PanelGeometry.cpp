#include "solvers/PanelGeometry.h"

#include <cmath>
#include <algorithm>
#include <cstddef>

namespace tavrix {

namespace {

// Point i (0-based) turned clockwise by the angle whose cosine and sine are
// ce and se: a positive eta raises the nose.
void rotated(std::span<const double> x, std::span<const double> y, std::size_t i, double ce,
             double se, double& xr, double& yr)
{
    xr = x[i] * ce + y[i] * se;
    yr = y[i] * ce - x[i] * se;
}

}  // namespace

bool insideContour(const PanelGeometry& g, double x, double y)
{
    bool in = false;
    for (int J = 1; J <= g.NP; ++J) {
        const int K = J < g.NP ? J + 1 : 1;
        const double ax = g.X[J], ay = g.Y[J], bx = g.X[K], by = g.Y[K];
        if ((ay > y) != (by > y)) {
            const double xCross = ax + (y - ay) * (bx - ax) / (by - ay);
            if (x < xCross) in = !in;
        }
    }
    return in;
}

int firstDegeneratePanel(std::span<const double> x, std::span<const double> y, double etaDeg)
{
    const double e = kDegToRad * etaDeg;
    const double ce = std::cos(e), se = std::sin(e);
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2) return 0;
    double x0, y0;
    rotated(x, y, 0, ce, se, x0, y0);
    for (std::size_t i = 1; i < n; ++i) {
        double x1, y1;
        rotated(x, y, i, ce, se, x1, y1);
        const double dx = x1 - x0, dy = y1 - y0;
        if (std::sqrt(dx * dx + dy * dy) == 0) return static_cast<int>(i);
        x0 = x1;
        y0 = y1;
    }
    return 0;
}

Outcome<PanelGeometry> buildPanelGeometry(std::span<const double> x, std::span<const double> y,
                                          double etaDeg)
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2) return Refusal{Refusal::Kind::NoContour, kNoContourMessage};
    if (const int panel = firstDegeneratePanel(x, y, etaDeg); panel != 0) {
        return Refusal{Refusal::Kind::DegeneratePanel,
                       "Panel end points " + std::to_string(panel) + " and " +
                           std::to_string(panel + 1) + " coincide"};
    }
    return panelGeometry(x, y, etaDeg);
}

PanelGeometry panelGeometry(std::span<const double> x, std::span<const double> y, double etaDeg)
{
    const std::size_t n = std::min(x.size(), y.size());
    PanelGeometry g;
    g.NP = static_cast<int>(n);
    g.NPanel = g.NP - 1;
    g.etaDeg = etaDeg;
    const std::size_t size = n + 2;
    for (auto* table : {&g.X, &g.Y, &g.XM, &g.YM, &g.DS, &g.CosDelta, &g.SinDelta})
        table->assign(size, 0.0);

    const double e = kDegToRad * etaDeg;
    const double ce = std::cos(e), se = std::sin(e);
    for (int i = 1; i <= g.NP; ++i)
        rotated(x, y, static_cast<std::size_t>(i - 1), ce, se, g.X[i], g.Y[i]);
    for (int i = 1; i <= g.NPanel; ++i) {
        g.XM[i] = (g.X[i] + g.X[i + 1]) / 2;
        g.YM[i] = (g.Y[i] + g.Y[i + 1]) / 2;
        const double dx = g.X[i + 1] - g.X[i];
        const double dy = g.Y[i + 1] - g.Y[i];
        g.DS[i] = std::sqrt(dx * dx + dy * dy);
        g.CosDelta[i] = dx / g.DS[i];
        g.SinDelta[i] = dy / g.DS[i];
    }
    return g;
}

Coefficients integrateForces(int NPanel, const double* XM, const double* YM, const double* DS,
                             const double* CosDelta, const double* SinDelta, const double* Cu,
                             double cosAlfa, double sinAlfa)
{
    // Cu = 1 - Cp stands in for -Cp: on a closed contour the constant adds
    // nothing to the force or the moment.
    double Cx = 0, Cy = 0, CM = 0;
    for (int i = 1; i <= NPanel; ++i) {
        const double f = Cu[i] * DS[i];
        const double fx = SinDelta[i] * f;
        const double fy = CosDelta[i] * f;
        Cx = Cx - fx;
        Cy = Cy + fy;
        CM = (CM - fy * (XM[i] - 0.25)) - fx * YM[i];
    }
    Coefficients k;
    k.CD = cosAlfa * Cx + sinAlfa * Cy;
    k.CL = cosAlfa * Cy - sinAlfa * Cx;
    k.CM = CM;
    return k;
}

}  // namespace tavrix
