// The main window's "Geometry" menu: a flap laid into the contour in use,
// its thickness and camber scaled, its trailing-edge gap set. Each edit
// reads its values as typed (a whole number each, with a point), makes the
// edited contour the one in use as a source does (Text_NP, the airfoil
// picture, the status line) and keeps the flap's hinge for the hinge moment.
// A refusal shows its message and leaves the contour in use as it was.
#pragma once

#include <optional>
#include <string_view>

#include "app/Module_Common.h"
#include "geometry/SectionEdits.h"

namespace tavrix {

class Form_TavrixS;

// The number the whole text is (blanks around it aside): sign, digits, one
// point, an exponent; finite. Nothing for anything else.
std::optional<double> editNumber(std::string_view text);

// Flap: hinge at x/c `hingeXc`, at the fraction `hingeHeight` of the local
// thickness, or at the absolute y `hingeHeight` (chords) when `absoluteY`;
// deflection in degrees, positive trailing edge down.
bool applyFlap(Form_TavrixS& form, std::string_view hingeXc, std::string_view hingeHeight,
               std::string_view deflectionDeg, bool absoluteY = false);

// Thickness and camber scaled by the two factors.
bool scaleThicknessAndCamber(Form_TavrixS& form, std::string_view thicknessFactor,
                             std::string_view camberFactor);

// Trailing-edge gap of `width` chords over the last `blend` of the chord; the
// open edge is then closed at the mid point of the gap as the file reader
// closes one (and says so), since the panel methods take closed contours.
bool setTrailingEdgeGapOf(Form_TavrixS& form, std::string_view width, std::string_view blend);

// The flap of the contour in use: the hinge the geometry menu set, while the
// points are still those it was set on.
std::optional<FlapHinge> flapInUse(const Common& common);
// The contour in use with its flap, for the hinge moment of a sweep.
std::optional<FlappedSection> flappedSectionInUse(const Common& common);

// Ties the hinge to the contour now in use (after a repanelling that keeps
// the flap where it was).
void tieFlapToContourInUse(Common& common, const FlapHinge& hinge);

// The hinge moment coefficient of the last completed press with a flap (from
// its Cu), or nothing.
std::optional<double> pressHingeMoment(const Common& common);

}  // namespace tavrix
