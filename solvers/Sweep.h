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
#include <vector>

#include "solvers/Compressibility.h"
#include "solvers/PanelSolution.h"

namespace tavrix {

struct FlowSetup {
    PanelMethod method = PanelMethod::Hess;
    double etaDeg = 0;  // rotation of the section, degrees, nose up for eta > 0
    double mach = 0;    // free-stream Mach number, |mach| < 1
    Compressibility correction = Compressibility::PrandtlGlauert;
    bool noCirculation = false;  // Hess method without the trailing-edge condition
    // Keep in every OperatingPoint the rotated end points, which a boundary
    // layer needs beside the signed surface speed.
    bool keepSignedSpeed = false;
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

// The contour (x[i], y[i]), clockwise from the trailing edge and back to it,
// as the sources deliver it.
SweepOutcome Sweep(std::span<const double> x, std::span<const double> y, const FlowSetup& setup,
                   std::span<const double> alphasDeg, const SweepProgress& keepGoing = {});

// The same on a solution already factored.
SweepOutcome Sweep(const PanelSolution& solution, const FlowSetup& setup,
                   std::span<const double> alphasDeg, const SweepProgress& keepGoing = {});

// A degenerate contour can leave overflowed speeds. Like a press, a sweep
// that is shown or written ends at the first angle whose coefficients or
// pressures are not finite, with the press's message: nothing printed or
// written may come from them.
void endAtFirstNonFinite(SweepOutcome& outcome);

}  // namespace tavrix
