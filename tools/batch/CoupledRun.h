// The coupled viscous-inviscid analysis in the batch front end: after a
// press, the operating point of the press's contour, method and angle with a
// boundary layer and wake that act back on the flow; in a sweep, every angle
// of it. A point either converged, with finite coefficients, or did not, with
// its reason and no coefficients.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "app/Form_TavrixS.h"
#include "output/PolarFiles.h"
#include "solvers/PanelGeometry.h"
#include "output/CoupledFiles.h"
#include "viscous/CoupledPolar.h"

namespace tavrix {

// The flag that keeps the one-way layer of --re (the layer on the press's
// speeds, without acting back on them).
inline constexpr const char* kOneWay = "--one-way";

// Whether --re asks for the coupled analysis (given, and without --one-way).
bool coupledRequested(const std::map<std::string, std::string>& values,
                      const std::set<std::string>& flags);

// The options that belong to the coupled analysis (--cl, --bl-csv), to the
// one-way layer (--no-natural-transition) or to neither (--no-circulation,
// a Mach number), checked against --re, --one-way and --sweep; `methods` are
// those the run would use. An error text, or nothing.
std::optional<std::string> coupledOptionError(const std::map<std::string, std::string>& values,
                                              const std::set<std::string>& flags,
                                              std::span<const PanelMethod> methods);

// What the command line asks of the coupled analysis.
struct CoupledRequest {
    coupled::CoupledOptions options;  // Re, Ncrit (9 unless given), trips (beyond 1: free)
    std::string layerCsvFile;         // --bl-csv; empty: not written
};
// From --re, --ncrit, --transition-upper/-lower, --cl and --bl-csv, as
// coupledOptionError and viscousOptionError accepted them.
CoupledRequest coupledRequest(const std::map<std::string, std::string>& values);

// The coupled point of the last press of `form` with its method, at its
// angle of attack (or, with a target lift, from it). Prints after the press's
// lines either
//   [alpha = A]  viscous CL =  viscous CMc/4 =  CD =  CDp =  CDf =
//   transition upper/lower x/c = X (CAUSE) | none (laminar to the trailing edge)
//   separation upper/lower x/c = X (laminar|turbulent) | none
//   converged = yes
// or "converged = no (REASON)" alone, and writes the stations to the layer
// table when it converged. Returns the exit status: 0, 1 when the panels
// cannot be solved again, 3 when the table cannot be written, 4 when the
// point did not converge.
int runCoupledPress(Form_TavrixS& form, PanelMethod method, const CoupledRequest& request,
                    std::ostream& out, std::ostream& err);

// The end of a sweep's line: " viscous CL = ... converged = yes" or
// " converged = no (REASON)".
std::string coupledSweepLine(const CoupledPoint& point, char decimalSeparator);

// The line that ends a coupled sweep: "CLmax = C at alpha = A" from the
// converged points, or "CLmax = none in range" when the lift still rises at
// the last converged angle (see coupled::liftMaximum).
std::string liftMaximumLine(std::span<const CoupledPoint> points, char decimalSeparator);

}  // namespace tavrix
