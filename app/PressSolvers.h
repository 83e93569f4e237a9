// The solver step of a press, on top of the panel methods' value API: the
// system is assembled, then written and shown as the report options ask, then
// eliminated and solved; the window session's state is filled from the
// solution for the result files, the plots and the matrix view.
#pragma once

#include <optional>
#include <span>

#include "app/Module_Common.h"
#include "solvers/PanelSolution.h"
#include "solvers/Sweep.h"
#include "ui/Toolkit.h"
#include "viscous/SurfaceFlow.h"

namespace tavrix {

// The main window's check boxes, read once per press. A box counts as ticked
// only when its value is exactly 1.
struct ReportOptions {
    bool writePanel = false;          // "Save panel  properties"
    bool writeMatrix = false;         // "Save coefficients matrix"
    bool showMatrix = false;          // "Show coefficients matrix"
    bool writeSingularities = false;  // "Save singularities"
    bool noCirculation = false;       // "No circulation" (Hess method)
};
ReportOptions readReportOptions(ui::Toolkit& ui);

// The method whose option button is selected, testing them in the
// registry's order; empty when none is.
std::optional<PanelMethod> selectedMethod(ui::Toolkit& ui);

// The panels of the state's panel tables (X .. SinDelta, 1..NP), as a press
// left them.
PanelGeometry panelsInUse(const Common& common);
// Copies the panels into the state's tables.
void fillPanelTables(Common& common, const PanelGeometry& panels);

// The closing sequence of a press with `method` on `panels` at the state's
// angle of attack (AlfaD, CosAlfa, SinAlfa): the method's own report lines,
// the matrices to "TavrixS.txt" and the matrix view before the elimination,
// the elimination, the strengths after it. Fills AN, AT, Strength, Vt and
// LastPoint. Empty after a refusal that was shown (the capacity of the
// system, a zero pivot); the point's coefficients may still be infinite.
std::optional<OperatingPoint> solveForPress(Common& common, ui::Toolkit& ui, PanelMethod method,
                                            const PanelGeometry& panels,
                                            const ReportOptions& options,
                                            const FlowConditions& conditions = {});

// The flow along the contour as the last solve left it, for a boundary
// layer; empty before any solve.
SurfaceFlow SurfaceFlowAfterPress(const Common& common);

// A sweep on the contour in use (XCoord, YCoord, points 1..NP); refused with
// "Calculate airfoil coordinates" before any source produced one.
SweepOutcome Sweep(const Common& contour, const FlowSetup& setup,
                   std::span<const double> alphasDeg, const SweepProgress& keepGoing = {});

// One method's solver step on the panels already in the state's tables, with
// the check boxes read now: false when it was refused or met a zero pivot.
bool HESS_Solve(Common& common, ui::Toolkit& ui);
bool VORPAN_Solve(Common& common, ui::Toolkit& ui);
bool KENN_Solve(Common& common, ui::Toolkit& ui);
bool Soinne_Solve(Common& common, ui::Toolkit& ui);

}  // namespace tavrix
