#include "geometry/Generators.h"

#include <cmath>

#include "output/Plots.h"

namespace tavrix {

void Make_Circle(Common& c, ui::Toolkit& ui)
{
    // Clockwise from the rear point: the angle falls from 0 to -2 pi, so the
    // first half of the points lies on the lower side.
    const double dTheta = 2 * c.Pi / c.NPanel;
    for (int i = 1; i <= c.NP; ++i) {
        const double theta = -(i - 1) * dTheta;
        c.XCoord[i] = 0.5 * std::cos(theta) + 0.5;
        c.YCoord[i] = 0.5 * std::sin(theta);
    }
    Show_Airfoil(c, ui, c.XCoord, c.YCoord);
    c.AirfoilReady = true;
}

void Make_NACA0012(Common& c, ui::Toolkit& ui)
{
    // Cosine spacing, dense at both edges. M is a real quotient: for an odd
    // number of panels no point falls on the leading edge.
    const double M = c.NPanel / 2.0;
    const double dTheta = c.Pi / M;
    const double chord = 1;
    for (int i = 1; i <= M + 1; ++i) {
        const double x = (std::cos((i - 1) * dTheta) + 1) * 0.5;
        // Half-thickness / 0.6 of a 12 % section whose coefficients sum to zero,
        // which closes the trailing edge exactly.
        const double t =
            0.298223 * std::sqrt(x) +
            x * (-0.127125 + x * (-0.357908 + x * (0.291985 + x * (-0.105175))));
        c.XCoord[i] = x * chord;
        c.YCoord[i] = (-0.6 * t) * chord;
        const int j = c.NP + 1 - i;
        c.XCoord[j] = c.XCoord[i];
        c.YCoord[j] = -c.YCoord[i];
    }
    Show_Airfoil(c, ui, c.XCoord, c.YCoord);
    c.AirfoilReady = true;
}

}  // namespace tavrix
