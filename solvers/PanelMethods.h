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

#include "solvers/Module_HESS.h"
#include "solvers/Module_KENN.h"
#include "solvers/Module_Soinne.h"
#include "solvers/Module_VORPAN.h"
#include "solvers/PanelSystem.h"

namespace tavrix {

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

// Every method, in the order of the main window's options. Every system holds
// at most kMaxPoints unknowns: the Soinne-Laine method has one more than it
// has end points.
inline constexpr PanelMethodInfo kPanelMethods[] = {
    {PanelMethod::Hess, "Hess", "hess", "Option_HESS", "Hess Method", kMaxPoints, 0, true,
     HESS_AssembleMatrix, HESS_RightHandSide, HESS_SurfaceSpeed},
    {PanelMethod::VortexPanel, "Vortex panel", "vortex", "Option_VORPAN", "Vortex Panel Method",
     kMaxPoints, 0, false, VORPAN_AssembleMatrix, VORPAN_RightHandSide, VORPAN_SurfaceSpeed},
    {PanelMethod::KennedyMarsden, "Kennedy-Marsden", "kennedy", "Option_KENN",
     "Kennedy-Marsden Method", kMaxPoints, 0, false, KENN_AssembleMatrix, KENN_RightHandSide,
     KENN_SurfaceSpeed},
    {PanelMethod::SoinneLaine, "Soinne-Laine", "soinne", "Option_Soinne", "Soinne-Laine Method",
     kMaxPoints - 1, 1, false, Soinne_AssembleMatrix, Soinne_RightHandSide, Soinne_SurfaceSpeed},
};

// Every method in the table's order.
inline constexpr PanelMethod kAllMethods[] = {kPanelMethods[0].method, kPanelMethods[1].method,
                                             kPanelMethods[2].method, kPanelMethods[3].method};
static_assert(std::size(kAllMethods) == std::size(kPanelMethods));

inline constexpr std::span<const PanelMethodInfo> panelMethods() { return kPanelMethods; }
inline constexpr const PanelMethodInfo& methodInfo(PanelMethod method)
{
    for (const PanelMethodInfo& info : kPanelMethods)
        if (info.method == method) return info;
    return kPanelMethods[0];
}
// By its command-line word ("hess", "vortex", "kennedy", "soinne").
std::optional<PanelMethod> methodFromWord(std::string_view word);

// "Hess", "Vortex panel", "Kennedy-Marsden", "Soinne-Laine".
inline std::string_view methodName(PanelMethod method) { return methodInfo(method).name; }
// The main window's option button of the method ("Option_HESS" ...).
inline const char* methodOption(PanelMethod method) { return methodInfo(method).option.data(); }

// "This panel method allows at most N panel end points" where NP exceeds the
// method's system; NP below 2 gives the refusal of a missing contour.
std::optional<Refusal> capacityRefusal(PanelMethod method, int NP);

}  // namespace tavrix
