// Files of a sweep for other tools: the polar in the column layout of xfoil's
// saved polars, a CSV table of the coefficients (one row per angle and
// method) and a CSV table of the pressure on every panel. Numbers are
// written with a point whatever the locale, as those tools read them; lines
// end with a line feed.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/SectionEdits.h"
#include "solvers/Sweep.h"
#include "viscous/ViscousPolar.h"

namespace tavrix {

// One method's sweep over the angles.
struct MethodSweep {
    PanelMethod method = PanelMethod::Hess;
    SweepOutcome outcome;
    // The boundary layer on each point of the outcome, in the same order;
    // empty for an inviscid polar.
    std::vector<ViscousPoint> viscous = {};
};

// What the coefficients were computed for.
struct SweepConditions {
    std::string sectionName;  // "NACA 0012", the file's name line ...
    double mach = 0;
    Compressibility correction = Compressibility::PrandtlGlauert;
    // The boundary layer's Reynolds number and forced transition; Re = 0 for
    // an inviscid polar.
    BoundaryLayerSetup layer = {};
    // The contour with its flap, for a hinge moment column; none without a flap.
    std::optional<FlappedSection> flap = {};
};

// Fixed decimals, right-aligned in a field of the width, with a point
// whatever the locale (xfoil's columns): a value that rounds to zero has no
// sign, and a number wider than its field keeps one blank before it.
std::string fixedField(double value, int decimals, int width);

// The polar of one method: a header naming the section, the method and the
// Mach number, a line that says what CD and CDp hold in this file, the line
// "alpha CL CD CDp CM Top_Xtr Bot_Xtr", a dashed line, then one row per angle. The inviscid flow has no friction drag and no
// transition, so CD, Top_Xtr and Bot_Xtr are 0; CDp is the drag of the
// integrated pressure (zero in exact inviscid flow, so it shows the
// discretisation error).
// With a boundary layer (sweep.viscous filled, conditions.layer.Re > 0) the
// header gives Re and the forced transition (xtrf, 1 where free), CD is the
// Squire-Young drag, CDp the part of it that is not wall shear (CD - CDf, as
// xfoil defines it) and Top_Xtr, Bot_Xtr the chord fractions of transition
// (1 when laminar to the trailing edge). An angle whose layer gave no result
// or separates ahead of x/c = 0.95 has no row, as xfoil leaves out the
// angles where its boundary layer fails: the CSV keeps them, marked.
std::string PolarFileText(const SweepConditions& conditions, const MethodSweep& sweep);

// Header "method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit", one row per method
// and angle: the drag of the integrated inviscid pressure, the lowest Cp
// after the correction, and the critical Mach number of the section at that
// angle for the chosen correction. With a Mach number the row ends in
// ",correction_valid": 0 where the free stream is past the critical Mach
// number or the corrected Cp below the vacuum limit, 1 otherwise.
// With a boundary layer the header goes on ",CD_boundary_layer,CD_friction,
// Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,reliable": the Squire-Young drag (empty,
// like the rest of the layer's columns, where the layer gave no result),
// its friction part, the chord fractions of transition (1 when laminar to the trailing edge) and of
// turbulent separation (empty when attached), reliable 0 after a separation
// ahead of x/c = 0.95.
// With a flap (conditions.flap) the header ends in ",CH": the hinge moment
// coefficient about the hinge per chord squared, positive trailing edge down.
std::string CoefficientsCsvText(const SweepConditions& conditions,
                                std::span<const MethodSweep> sweeps);

// Whether the compressibility correction holds at this operating point (its
// lowest incompressible Cp at the free-stream Mach number).
CorrectionValidity pointValidity(const OperatingPoint& point, double mach,
                                 Compressibility correction);

// The angles whose flag is set, as runs of consecutive angles of the sweep:
// "11.4 to 15 (37 angles), 18". Empty when no flag is set.
std::string angleRuns(std::span<const double> alphasDeg, const std::vector<bool>& flagged);

// "Prandtl-Glauert" or "Karman-Tsien".
std::string_view correctionName(Compressibility correction);

// One line per kind of failure of the correction in a method's sweep:
// "Hess: the Karman-Tsien correction is not valid at alpha 4 to 8 (3 angles):
// past the critical Mach number". Nothing for an incompressible sweep.
std::vector<std::string> correctionWarnings(const SweepConditions& conditions,
                                            const MethodSweep& sweep,
                                            std::string_view alphaWord = "alpha");

// Header "method,alpha,panel,x,y,Cp,Cp_incompressible", one row per method,
// angle and panel, at the panel's control point on the rotated contour.
std::string PressureCsvText(std::span<const MethodSweep> sweeps);

// Writes the whole text into the file through a temporary file beside it and
// a rename, so a failure leaves an earlier file as it was; a pipe, a device or
// a folder of that name is refused (see FileReplace.h). Returns the
// message "Cannot write "NAME": REASON" on failure.
std::optional<std::string> WriteTextFile(const std::filesystem::path& file,
                                         std::string_view text);

// The name of one method's polar when several methods share a file name:
// "polar.txt" becomes "polar_hess.txt", "polar_vortex.txt" ...
std::filesystem::path PolarFileFor(const std::filesystem::path& file, PanelMethod method);

// "hess", "vortex", "kennedy", "soinne": the method's name on the command line.
std::string_view methodKey(PanelMethod method);

}  // namespace tavrix
