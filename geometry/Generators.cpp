#include "geometry/Generators.h"

#include <cmath>
#include <cstddef>

namespace tavrix {

namespace {

// Pi as the program computes it at start-up.
double startUpPi() { return 4 * std::atan(1.0); }

Contour sized(const char* name, int NP)
{
    Contour contour;
    contour.name = name;
    const std::size_t n = NP > 0 ? static_cast<std::size_t>(NP) : 0;
    contour.x.assign(n, 0.0);
    contour.y.assign(n, 0.0);
    return contour;
}

}  // namespace

Contour circleContour(int NP)
{
    Contour c = sized("Circle", NP);
    // Clockwise from the rear point: the angle falls from 0 to -2 pi, so the
    // first half of the points lies on the lower side. The last point comes
    // from its angle like the others, so it is (1, 0) only to rounding.
    const int NPanel = NP - 1;
    const double dTheta = 2 * startUpPi() / NPanel;
    for (int i = 1; i <= NP; ++i) {
        const double theta = -(i - 1) * dTheta;
        const auto k = static_cast<std::size_t>(i - 1);
        c.x[k] = 0.5 * std::cos(theta) + 0.5;
        c.y[k] = 0.5 * std::sin(theta);
    }
    return c;
}

Contour naca0012Contour(int NP)
{
    Contour c = sized("NACA 0012", NP);
    // Cosine spacing, dense at both edges. M is a real quotient: for an odd
    // number of panels no point falls on the leading edge.
    const int NPanel = NP - 1;
    const double M = NPanel / 2.0;
    const double dTheta = startUpPi() / M;
    const double chord = 1;
    for (int i = 1; i <= M + 1; ++i) {
        const double x = (std::cos((i - 1) * dTheta) + 1) * 0.5;
        // Half-thickness / 0.6 of a 12 % section whose coefficients sum to zero,
        // which closes the trailing edge exactly.
        const double t =
            0.298223 * std::sqrt(x) +
            x * (-0.127125 + x * (-0.357908 + x * (0.291985 + x * (-0.105175))));
        const auto k = static_cast<std::size_t>(i - 1);
        c.x[k] = x * chord;
        c.y[k] = (-0.6 * t) * chord;
        // The upper surface mirrors the lower one; the leading edge of an even
        // number of panels is its own mirror image.
        const auto mirror = static_cast<std::size_t>(NP - i);
        c.x[mirror] = c.x[k];
        c.y[mirror] = -c.y[k];
    }
    return c;
}

}  // namespace tavrix
