#include "output/Plots.h"

#include <algorithm>
#include <cmath>

namespace tavrix {

void Show_Airfoil(Common& c, ui::Toolkit& ui, const Table& xG, const Table& yG)
{
    double xMin = xG[1], xMax = xG[1], yMin = yG[1], yMax = yG[1];
    for (int i = 1; i <= c.NP; ++i) {
        if (xG[i] < xMin) xMin = xG[i];
        if (xG[i] > xMax) xMax = xG[i];
        if (yG[i] < yMin) yMin = yG[i];
        if (yG[i] > yMax) yMax = yG[i];
    }
    double dx = std::fabs(xMax - xMin);
    double dy = std::fabs(yMax - yMin);
    if (dy == 0) dy = 0.00001;  // a flat plate still gets a height
    if (dx == 0) dx = 0.00001;
    const double W = ui.width(kAirfoilPicture);
    const double H = ui.height(kAirfoilPicture);
    // The contour fills about 95 % of the box in the limiting direction.
    const double s = 1.9 * std::min(W / dx, H / dy);
    c.XCenter = (xMax + xMin) / 2;
    const double yc = (yMax + yMin) / 2;

    ui.clear(kAirfoilPicture);
    ui.scale(kAirfoilPicture, -W / s, -H / s, W / s, H / s);
    ui.line(kAirfoilPicture, static_cast<float>(xMin - c.XCenter), 0.0f,
            static_cast<float>(xMax - c.XCenter), 0.0f, kAxisGrey);
    ui.line(kAirfoilPicture, static_cast<float>(xMin - c.XCenter), static_cast<float>(-H / s),
            static_cast<float>(xMin - c.XCenter), static_cast<float>(H / s), kAxisGrey);
    // User y grows downward: negate so that larger airfoil y is drawn higher.
    for (int i = 1; i <= c.NPanel; ++i) {
        ui.line(kAirfoilPicture, static_cast<float>(xG[i] - c.XCenter),
                static_cast<float>(yc - yG[i]), static_cast<float>(xG[i + 1] - c.XCenter),
                static_cast<float>(yc - yG[i + 1]), kCurveRed);
    }
}

void Show_PressureDistribution(Common& c, ui::Toolkit& ui)
{
    PressurePlot plot;
    plot.NPanel = c.NPanel;
    plot.XM = c.XM;
    plot.Cu = c.Cu;
    Show_PressurePlot(c, ui, plot);
}

void Show_PressurePlot(Common& c, ui::Toolkit& ui, const PressurePlot& p)
{
    // The scan covers the panels of this calculation only, so values left
    // beyond NPanel by an earlier run cannot change the scale.
    double xMin = p.XM[1], xMax = p.XM[1];
    double M = 0;
    for (int i = 1; i <= p.NPanel; ++i) {
        if (p.XM[i] < xMin) xMin = p.XM[i];
        if (p.XM[i] > xMax) xMax = p.XM[i];
        if (p.Cu[i] > M) M = p.Cu[i];
    }
    double dx = std::fabs(xMax - xMin);
    if (dx == 0) dx = 0.00001;
    // The corrected curve reaches further both ways: 1 - Cu grows by 1/beta,
    // above the suction peak and below the stagnation point.
    double lowest = 0;
    if (p.compressible) {
        for (int i = 1; i <= p.NPanel; ++i) {
            if (p.CuCompressible[i] > M) M = p.CuCompressible[i];
            if (p.CuCompressible[i] < lowest) lowest = p.CuCompressible[i];
        }
    }
    if (M == 0 && lowest == 0) M = 1;
    // Same horizontal scale as the airfoil drawing: the airfoil box's width.
    const double W = ui.width(kAirfoilPicture);
    const double s = 1.9 * W / dx;
    c.XCenter = (xMin + xMax) / 2;

    if (lowest == 0) {
        ui.scale(kPressurePicture, -W / s, -1.1 * M, W / s, 0.1 * M);
    } else {
        const double margin = 0.1 * (M - lowest);
        ui.scale(kPressurePicture, -W / s, -(M + margin), W / s, margin - lowest);
    }
    ui.clear(kPressurePicture);
    ui.line(kPressurePicture, static_cast<float>(xMin - c.XCenter), 0.0f,
            static_cast<float>(xMax - c.XCenter), 0.0f, kAxisGrey);
    ui.line(kPressurePicture, static_cast<float>(xMin - c.XCenter), static_cast<float>(-M),
            static_cast<float>(xMin - c.XCenter), lowest == 0 ? 0.0f : static_cast<float>(-lowest),
            kAxisGrey);
    for (int i = 2; i <= p.NPanel; ++i) {
        ui.line(kPressurePicture, static_cast<float>(p.XM[i - 1] - c.XCenter),
                static_cast<float>(-p.Cu[i - 1]), static_cast<float>(p.XM[i] - c.XCenter),
                static_cast<float>(-p.Cu[i]), kCurveRed);
    }
    if (!p.compressible) return;
    for (int i = 2; i <= p.NPanel; ++i) {
        ui.line(kPressurePicture, static_cast<float>(p.XM[i - 1] - c.XCenter),
                static_cast<float>(-p.CuCompressible[i - 1]),
                static_cast<float>(p.XM[i] - c.XCenter),
                static_cast<float>(-p.CuCompressible[i]), kCompressibleBlue);
    }
}

}  // namespace tavrix
