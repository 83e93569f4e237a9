// The four panel methods and the one table that names them. Each method is a
// formulation: how it assembles its system from the panels, the right-hand
// side of an angle of attack, and the surface speed from the solved
// strengths. Everything that lists the methods (the windows, the batch, the
// polar files, the benchmarks) reads this table; adding a method means a row
// here, the method's own file and its tests.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "solvers/Matrix.h"
#include "solvers/PanelGeometry.h"

namespace tavrix {

enum class PanelMethod { Hess, VortexPanel, KennedyMarsden, SoinneLaine };
inline constexpr PanelMethod kAllMethods[] = {PanelMethod::Hess, PanelMethod::VortexPanel,
                                             PanelMethod::KennedyMarsden,
                                             PanelMethod::SoinneLaine};

// How a system is set up beyond the panels.
struct SolveOptions {
    // Hess method only: the closing row holds the vortex amplitude at zero
    // instead of imposing the trailing-edge condition (no lift).
    bool noCirculation = false;
    // Keep the assembled matrix beside its factors, for the report and the
    // matrix view; without it the elimination works on the matrix itself.
    bool keepAssembled = true;
};

// A method's system as assembled, before the elimination. AN is the
// augmented matrix: the coefficients of unknowns 1..N in columns 1..N and the
// right-hand side in column N + 1, zero until an angle of attack fills it.
struct PanelSystem {
    PanelMethod method = PanelMethod::Hess;
    int unknowns = 0;
    bool noCirculation = false;
    Matrix AN;
    Matrix AT;  // Hess method: tangential velocities, the same layout (empty otherwise)
    std::vector<double> vortexShape;  // Hess method: d(j) over panels 1..NPanel
    // Kennedy-Marsden method: the control point NP of the trailing-edge
    // (Kutta) condition, just behind the edge.
    double kuttaX = 0, kuttaY = 0;
};

struct PanelMethodInfo {
    PanelMethod method;
    std::string_view name;     // in tables and legends: "Vortex panel"
    std::string_view word;     // on the command line: "vortex"
    std::string_view option;   // the main window's option button: "Option_VORPAN"
    std::string_view caption;  // the option button's caption: "Vortex Panel Method"
    int maxPoints;             // largest number of panel end points its system holds
    int extraUnknowns;         // unknowns = NP + extraUnknowns
    // Rows and columns shown by the coefficient-matrix view: the Hess method
    // leaves out its vortex column and closing row.
    bool viewLeavesOutClosingRow;
    // Dimensions and fills system.AN (and AT), rows and columns 1..N.
    void (*assemble)(const PanelGeometry& g, PanelSystem& system);
    // rhs[1..N] for the free stream at the angle whose cosine and sine are given.
    void (*rightHandSide)(const PanelGeometry& g, const PanelSystem& system, double cosAlfa,
                          double sinAlfa, double* rhs);
    // speed[1..NPanel]: the tangential speed over the free-stream speed at every
    // control point, positive along the panel from end point I to I + 1.
    void (*surfaceSpeed)(const PanelGeometry& g, const PanelSystem& system,
                         const double* strength, double cosAlfa, double sinAlfa, double* speed);

    int unknowns(int NP) const { return NP + extraUnknowns; }
    int shownBlock(int NP) const { return viewLeavesOutClosingRow ? NP - 1 : unknowns(NP); }
};

// Every method, in the order of the main window's options.
std::span<const PanelMethodInfo> panelMethods();
const PanelMethodInfo& methodInfo(PanelMethod method);
// By its command-line word ("hess", "vortex", "kennedy", "soinne").
std::optional<PanelMethod> methodFromWord(std::string_view word);

// "Hess", "Vortex panel", "Kennedy-Marsden", "Soinne-Laine".
inline std::string_view methodName(PanelMethod method) { return methodInfo(method).name; }
// The main window's option button of the method ("Option_HESS" ...).
inline const char* methodOption(PanelMethod method) { return methodInfo(method).option.data(); }

// The largest number of end points over all methods: the size of every table.
inline constexpr int kMaxPoints = 1000;

// "This panel method allows at most N panel end points" where NP exceeds the
// method's system; NP below 2 gives the refusal of a missing contour.
std::optional<Refusal> capacityRefusal(PanelMethod method, int NP);

}  // namespace tavrix
