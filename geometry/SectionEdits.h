// Edits of a section's shape, each a new contour from a contour: a plain
// flap deflected about a hinge, thickness and camber scaled, the
// trailing-edge gap set over a blending length; and the hinge moment of the
// flap from the pressure on its panels. The contour is in the program's
// order (clockwise from the trailing edge along the lower surface), its
// chord along x; x/c is counted from the leading edge (the point farthest
// from the trailing-edge mid point) to the trailing-edge mid point.
// A refusal is returned as its message.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "geometry/Contour.h"

namespace tavrix {

// Where the hinge is and how far the flap is turned.
struct FlapSettings {
    double hingeXc = 0.75;  // x/c of the hinge, strictly inside the chord
    // The hinge's height: a fraction of the local thickness above the lower
    // surface (0 on the lower surface, 1 on the upper), or, when set, an
    // absolute y in units of the chord.
    double thicknessFraction = 0.5;
    std::optional<double> hingeY;
    double deflectionDeg = 0;  // positive trailing edge down, |deflection| <= 90
};

// A hinge as laid into a contour: its point, the flap's deflection and the
// chord of the section before the deflection (the reference length of the
// hinge moment).
struct FlapHinge {
    double x = 0, y = 0;
    double deflectionDeg = 0;
    double chord = 1;
};

struct FlappedSection {
    Contour contour;
    FlapHinge hinge;
};

// The section with the part behind the hinge turned about it by the
// deflection (clockwise, trailing edge down, for a positive angle). On the
// side the rotation compresses, each surface is cut at the point where the
// turned flap's surface meets the fixed part's; on the side it stretches, the
// gap is bridged by points on the circle about the hinge through the surface
// point above (or below) it, spaced as the panels there. The result is
// simple and closed when the original is; a deflection of 0 gives the
// contour as it is.
std::variant<FlappedSection, std::string> deflectFlap(const Contour& contour,
                                                      const FlapSettings& settings);

// Splits the section into mean line and thickness and recombines them with
// the thickness scaled by `thicknessFactor` and the mean line's height by
// `camberFactor`. Each surface keeps its own x stations; at each, the other
// surface's height is interpolated along x, so that mean line and thickness
// are taken at a common station. Factors of 1 give the contour back (to
// rounding); a camber factor of 0 a section symmetric about y = 0.
std::variant<Contour, std::string> scaleThicknessCamber(const Contour& contour,
                                                        double thicknessFactor,
                                                        double camberFactor);

// Opens (or narrows) the trailing edge to `width` (chords) over the last
// `blend` of the chord: each surface is moved across the chord by half the
// change of the gap times a blending function that rises smoothly from 0 at
// x/c = 1 - blend (value and slope) to 1 at the trailing edge (slope 0).
// The result is open when `width` is not 0; a width of 0 closes an open edge
// over the blending length and leaves a closed one as it is.
std::variant<Contour, std::string> setTrailingEdgeGap(const Contour& contour, double width,
                                                      double blend);

// The hinge moment coefficient H / (q c^2) of the flap: the pressure of the
// panels behind the hinge (panel i from point i to i + 1, Cp = 1 - cu[i]),
// taken about the hinge, c the hinge's chord. Positive when the moment turns
// the flap's trailing edge down (the sense of a positive deflection), so a
// flap deflected down under lift has a negative hinge moment. The flap's
// panels are those whose mid point lies behind the line through the hinge
// that bisects the angle between the fixed part's chord direction and the
// flap's: where the compressed side was cut and the middle of the bridging
// arc. The moment does not depend on a rotation of contour and hinge
// together, so the contour as the source made it may be used.
double hingeMomentCoefficient(const Contour& contour, std::span<const double> cu,
                              const FlapHinge& hinge);

}  // namespace tavrix
