// The sweep run of the headless front end: the contour the source made, the
// main window's eta and Moo boxes, one method or all four, the angles of a
// FROM:TO:STEP range; no press, so no result file of a press is written.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/Form_TavrixS.h"
#include "app/PressSolvers.h"
#include "solvers/Sweep.h"
#include "tools/batch/CoupledRun.h"
#include "viscous/BoundaryLayer.h"

namespace tavrix {

struct SweepRequest {
    std::vector<double> alphasDeg;
    std::vector<PanelMethod> methods;
    Compressibility correction = Compressibility::PrandtlGlauert;
    bool noCirculation = false;
    std::string polarFile, csvFile, cpCsvFile;  // empty: not written
    std::string sectionName;  // for the polar, when the contour carries no name
    // A boundary layer on every angle (Re > 0): its drag and transition go
    // to the lines and fill those columns of the polar and the CSV.
    BoundaryLayerSetup layer;
    // Or the coupled analysis on every angle: its viscous coefficients go to
    // the lines, the polar (converged angles only) and the CSV.
    std::optional<CoupledRequest> coupled;
};

// The angles FROM, FROM + STEP, ... up to TO (inclusive, to rounding), each
// the number its decimal text would be; nothing for a text that is not such
// a range of at most kMaxSweepAngles angles.
inline constexpr std::size_t kMaxSweepAngles = 10001;
std::optional<std::vector<double>> SweepAngles(std::string_view range);

// Prints one line per method and angle, "Hess: alpha = 2.5 CL = 0.3155 CMc/4 = -0.0061"
// (the window's four decimals), with a boundary layer followed by
// " CD = 0.00612 CDf = 0.00501 transition upper = 0.4123 lower = 1 separation
// upper = none lower = none" (CD "not reliable (estimate 0.01234)" after a
// separation ahead of x/c = 0.95, "none (REASON)" without a layer) and at the end the line
// "note: CL is the inviscid lift: ..."; with the coupled analysis followed by
// " viscous CL = ... converged = yes" or " converged = no (REASON)" (see
// coupledSweepLine). Writes the requested files and returns the
// exit status: 0 every angle solved, 1 a message ended a method's sweep, 3 a
// file could not be written. Messages go to the form's toolkit; with a Mach
// number, a line "warning: METHOD: the ... correction is not valid at alpha
// ..." goes to err for the angles past the critical Mach number or below the
// vacuum limit (their CL is still printed and flagged in the CSV).
int runSweep(Form_TavrixS& form, const SweepRequest& request, std::ostream& out,
             std::ostream& err);

}  // namespace tavrix
