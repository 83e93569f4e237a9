// Polars kept for comparison: a computed polar or one read from a file,
// under a name of the user's choosing, shown over the current polar's plots
// or hidden, and written out on its own. A kept run is a plain value (a name,
// the case it belongs to and its columns), so that it can be stored and read
// back as it is.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "output/AnalysisSeries.h"
#include "solvers/Refusal.h"

namespace tavrix {

// What a polar belongs to. A computed polar fills these from its press and
// boxes; a polar read from a file from that file's header.
struct RunCase {
    std::string airfoil;  // "NACA 4415"
    std::string method;   // "Hess", "Vortex panel" ... or the program that wrote a file
    std::string model;    // "inviscid", "one-way boundary layer, Michel transition", "viscous" ...
    double Re = 0;        // 0: no boundary layer
    double Ncrit = 0;     // 0: no e^n transition
    double mach = 0;
    std::string origin;   // "101 points, η = 0°, Prandtl-Glauert", "file naca4415.pol" ...
};

// One polar: a row per angle, the columns of a polar file. CD, topXtr and
// botXtr are empty for a polar without a boundary layer (CDp then holds the
// inviscid pressure integral); otherwise every column has a value per row.
struct KeptRun {
    std::string name;
    RunCase runCase;
    bool shown = true;
    std::vector<double> alpha, CL, CD, CDp, CM, topXtr, botXtr;

    std::size_t rows() const { return alpha.size(); }
    bool hasDrag() const { return !CD.empty(); }
};

// The model of a polar of the coupled viscous-inviscid analysis.
inline constexpr const char* kCoupledModel = "viscous (coupled)";

// "3e6", "2e5", "1.5e6": a Reynolds number as it is spoken of.
std::string reynoldsText(double Re);

// "NACA 4415, Re 3e6, Ncrit 9, one-way layer, Vortex panel", "NACA 4415, Re
// 3e6, Ncrit 9, viscous (coupled), Vortex panel", "NACA 0012, inviscid, Hess",
// with ", M 0.3" for a Mach number: the airfoil, Re and Ncrit, the model, the
// Mach number and the method.
std::string defaultRunName(const RunCase& runCase);

// The case of a polar of the analysis window: its press, one of its methods,
// its boundary layer and correction (of a coupled polar: model
// kCoupledModel, Re and Ncrit of polar.coupledOptions).
RunCase polarRunCase(const PressCase& press, const PolarResult& polar, PanelMethod method);

// One kept run per method of the polar, named by defaultRunName. The rows
// are those of its polar file: the angles where the compressibility
// correction holds and, with a boundary layer, where the layer gave a
// reliable drag; of a coupled polar the converged points with their viscous
// CL, CD, CDp, CM and transition. A method without any such angle gives no
// run.
std::vector<KeptRun> keptRunsOf(const PressCase& press, const PolarResult& polar);

// The lines "# airfoil: NACA 4415", "# method: ...", "# model: ...",
// "# Re: 3e6" (or "none"), "# Ncrit: 9" (or "none"), "# Mach: 0",
// "# alpha range: -4 to 12 deg (17 angles)" and "# from: ..." that open a
// CSV file of the case; alpha range from the angles given.
std::string caseCommentLines(const RunCase& runCase, std::span<const double> alphas);

// caseCommentLines for a whole polar of the window: its methods joined
// ("Hess, Vortex panel"), the angles of its first method.
std::string polarCaseLines(const PressCase& press, const PolarResult& polar);

// The run as CSV: "# polar: NAME", the case lines, then the header
// "alpha,CL,CDp_inviscid,CM" (for a run with drag "alpha,CL,CDp,CM,CD,Top_Xtr,
// Bot_Xtr", CDp = CD - CDf as in a polar file) and a row
// per angle, numbers that read back to the same doubles.
std::string keptRunCsvText(const KeptRun& run);

// Which plot of the polar the runs are drawn on.
enum class KeptPlot { Lift, Moment, Drag, DragPolar, Transition };

// The plot with one series per shown run that has the plot's quantities (CD
// for the drag plots; on the transition plot two, "NAME upper" and "NAME
// lower"), named by the run, each in a colour of its own after the colours
// of the methods, drawn before the plot's own curves so that these stay on
// top. On the drag polar a run whose CL is not the inviscid one (a viscous
// file) makes the axis plain "CL".
PlotData withKeptRuns(PlotData plot, std::span<const KeptRun> runs, KeptPlot which);

// The palette index of the r-th kept run: after the methods, the grey of the
// references and the black of the exact flow, kKeptColours of them in turn.
inline constexpr int kFirstKeptColour = 6;
inline constexpr int kKeptColours = 8;
inline int keptColour(std::size_t r) { return kFirstKeptColour + static_cast<int>(r % kKeptColours); }

}  // namespace tavrix
