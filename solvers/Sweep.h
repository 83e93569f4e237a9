// Several angles of attack on one contour with one panel method. The panels
// are built and the system assembled and eliminated once; every further angle
// re-solves only the right-hand side with the stored multipliers and pivots,
// so it costs O(N^2) instead of O(N^3). The elimination repeats the same
// operations on the same numbers, so each angle gives bit for bit the
// coefficients and surface speeds of a separate press at that angle.
// A sweep writes no result file and shows nothing.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/Module_Common.h"
#include "solvers/Compressibility.h"

namespace tavrix {

enum class PanelMethod { Hess, VortexPanel, KennedyMarsden, SoinneLaine };
inline constexpr PanelMethod kAllMethods[] = {PanelMethod::Hess, PanelMethod::VortexPanel,
                                             PanelMethod::KennedyMarsden,
                                             PanelMethod::SoinneLaine};

// "Hess", "Vortex panel", "Kennedy-Marsden", "Soinne-Laine".
std::string_view methodName(PanelMethod method);

// The main window's option button of the method ("Option_HESS" ...).
const char* methodOption(PanelMethod method);

struct FlowSetup {
    PanelMethod method = PanelMethod::Hess;
    double etaDeg = 0;  // rotation of the section, degrees, nose up for eta > 0
    double mach = 0;    // free-stream Mach number, |mach| < 1
    Compressibility correction = Compressibility::PrandtlGlauert;
    bool noCirculation = false;  // Hess method without the trailing-edge condition
    // Keep in every OperatingPoint what a boundary layer needs (the rotated
    // end points and the signed surface speed); off, those stay empty and the
    // sweep costs what it did without them.
    bool keepSignedSpeed = false;
};

// One angle of attack. The coefficients are those a press at that angle shows
// (from the corrected pressure when a Mach number is given). Per-panel tables
// hold panel 1 at index 0.
struct OperatingPoint {
    double alphaDeg = 0;
    double CL = 0;
    double CD = 0;
    double CM = 0;  // about the quarter chord
    std::vector<double> XM, YM;              // control points of the rotated contour
    std::vector<double> Vt;                  // surface speed over free-stream speed
    std::vector<double> CuIncompressible;    // Vt^2 = 1 - Cp, incompressible
    std::vector<double> Cu;                  // 1 - Cp after the correction
    // With FlowSetup::keepSignedSpeed, what a boundary layer needs of the
    // angle: the end points 1..NP of the
    // rotated contour (point 1 at index 0), the speed at every control point
    // with its sign (see SignedSurfaceSpeed) and the wind direction.
    std::vector<double> X = {}, Y = {};
    std::vector<double> signedSpeed = {};
    double cosAlfa = 1, sinAlfa = 0;
};

struct SweepOutcome {
    std::vector<OperatingPoint> points;  // the angles solved, in the order given
    // Why the sweep ended before the last angle (the refusal or elimination
    // message a press would show); empty when every angle was solved.
    std::string message;
    bool cancelled = false;
};

// keepGoing(done, total) is asked before each angle; false cancels the sweep
// (the angles solved so far are kept).
using SweepProgress = std::function<bool(std::size_t done, std::size_t total)>;

SweepOutcome Sweep(const Common& contour, const FlowSetup& setup,
                   std::span<const double> alphasDeg, const SweepProgress& keepGoing = {});

}  // namespace tavrix
