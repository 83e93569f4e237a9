#include "app/PressSolvers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <utility>

#include "output/Form_ShowMat.h"
#include "output/ResultFiles.h"
#include "solvers/Module_Gauss.h"

namespace tavrix {

ReportOptions readReportOptions(ui::Toolkit& ui)
{
    ReportOptions o;
    o.writePanel = ui.value("Check_WritePanel") == 1;
    o.writeMatrix = ui.value("Check_WriteMat") == 1;
    o.showMatrix = ui.value("Check_ShowMat") == 1;
    o.writeSingularities = ui.value("Check_WriteSingularities") == 1;
    o.noCirculation = ui.value("Check_Circulation") == 1;
    return o;
}

std::optional<PanelMethod> selectedMethod(ui::Toolkit& ui)
{
    for (const PanelMethodInfo& info : panelMethods())
        if (ui.isSelected(info.option)) return info.method;
    return std::nullopt;
}

PanelGeometry panelsInUse(const Common& c)
{
    PanelGeometry g;
    g.NP = c.NP;
    g.NPanel = c.NPanel;
    const auto size = static_cast<std::ptrdiff_t>(c.NP) + 2;
    const auto copy = [&](const Table& from, std::vector<double>& to) {
        to.assign(from.begin(), from.begin() + std::min<std::ptrdiff_t>(size, kTableLast + 1));
        to.resize(static_cast<std::size_t>(size), 0.0);
    };
    copy(c.X, g.X);
    copy(c.Y, g.Y);
    copy(c.XM, g.XM);
    copy(c.YM, g.YM);
    copy(c.DS, g.DS);
    copy(c.CosDelta, g.CosDelta);
    copy(c.SinDelta, g.SinDelta);
    // The table entry NP of XM and YM is no panel's (a Kennedy-Marsden
    // control point may sit there).
    if (c.NP >= 0 && c.NP <= kTableLast) {
        g.XM[static_cast<std::size_t>(c.NP)] = 0;
        g.YM[static_cast<std::size_t>(c.NP)] = 0;
    }
    return g;
}

void fillPanelTables(Common& c, const PanelGeometry& g)
{
    for (int i = 1; i <= g.NP; ++i) {
        c.X[i] = g.X[i];
        c.Y[i] = g.Y[i];
    }
    for (int i = 1; i <= g.NPanel; ++i) {
        c.XM[i] = g.XM[i];
        c.YM[i] = g.YM[i];
        c.DS[i] = g.DS[i];
        c.CosDelta[i] = g.CosDelta[i];
        c.SinDelta[i] = g.SinDelta[i];
    }
}

std::optional<OperatingPoint> solveForPress(Common& c, ui::Toolkit& ui, PanelMethod method,
                                            const PanelGeometry& panels,
                                            const ReportOptions& options,
                                            const FlowConditions& conditions)
{
    const PanelMethodInfo& info = methodInfo(method);
    SolveOptions solveOptions;
    solveOptions.noCirculation = options.noCirculation;
    if (const std::optional<Refusal> refusal = capacityRefusal(method, panels.NP)) {
        if (refusal->kind == Refusal::Kind::Capacity) ui.message(refusal->message);
        return std::nullopt;
    }
    // The state's matrices lend their storage to the new system.
    PanelSystem recycled;
    recycled.AN = std::move(c.AN);
    recycled.AT = std::move(c.AT);
    Outcome<PanelSystem> system =
        assemblePanels(panels, method, solveOptions, std::move(recycled));

    // The method's own lines, before its matrices.
    if (method == PanelMethod::Hess && options.writePanel)
        WriteVortexDistribution(c, ui, system->vortexShape);
    if (method == PanelMethod::KennedyMarsden) {
        c.XM[c.NP] = system->kuttaX;
        c.YM[c.NP] = system->kuttaY;
        if (options.writePanel) WriteKuttaControlPoint(c, ui);
    }

    // The state keeps the system with the right-hand side of the press's
    // angle, as the report lists it and the matrix view shows it; the
    // elimination then works on it in place, as the closing sequence has it.
    const int n = system->unknowns;
    fillRightHandSide(panels, *system, c.AlfaD);
    c.AN = std::move(system->AN);
    c.AT = std::move(system->AT);

    if (options.writeMatrix) WriteCoeffMatrix(c, ui, n);
    if (options.showMatrix) Show_CoefficientMatrix(c, ui, info.shownBlock(c.NP));

    std::vector<double> strength(static_cast<std::size_t>(n) + 1, 0.0);
    if (Gauss_Solve(c.AN, n, strength) != 0) {
        // No strengths belong to a system with a zero pivot: the press ends.
        ui.message(kZeroPivotMessage);
        return std::nullopt;
    }

    FlowConditions evaluated = conditions;
    evaluated.keepEndPoints = true;
    // The Hess method's speed needs its tangential coefficients back for a moment.
    system->AT = std::move(c.AT);
    OperatingPoint point = operatingPointOf(panels, *system, strength, c.AlfaD, evaluated);
    c.AT = std::move(system->AT);
    for (int I = 1; I <= n; ++I) c.Strength[I] = strength[static_cast<std::size_t>(I)];
    if (options.writeSingularities) WriteSingularities(c, ui);
    for (int I = 1; I <= c.NPanel; ++I) c.Vt[I] = point.Vt[static_cast<std::size_t>(I - 1)];
    c.LastPoint = point;
    return point;
}

SurfaceFlow SurfaceFlowAfterPress(const Common& c)
{
    return c.LastPoint ? SurfaceFlowOf(*c.LastPoint) : SurfaceFlow{};
}

SweepOutcome Sweep(const Common& c, const FlowSetup& setup, std::span<const double> alphasDeg,
                   const SweepProgress& keepGoing)
{
    if (!c.AirfoilReady) {
        SweepOutcome refused;
        refused.message = kNoContourMessage;
        return refused;
    }
    const int n = std::clamp(c.NP, 0, kTableLast);
    const std::span<const double> x(c.XCoord.data() + 1, static_cast<std::size_t>(n));
    const std::span<const double> y(c.YCoord.data() + 1, static_cast<std::size_t>(n));
    return Sweep(x, y, setup, alphasDeg, keepGoing);
}

namespace {

bool solveOnTables(Common& c, ui::Toolkit& ui, PanelMethod method)
{
    return solveForPress(c, ui, method, panelsInUse(c), readReportOptions(ui)).has_value();
}

}  // namespace

bool HESS_Solve(Common& c, ui::Toolkit& ui) { return solveOnTables(c, ui, PanelMethod::Hess); }
bool VORPAN_Solve(Common& c, ui::Toolkit& ui)
{
    return solveOnTables(c, ui, PanelMethod::VortexPanel);
}
bool KENN_Solve(Common& c, ui::Toolkit& ui)
{
    return solveOnTables(c, ui, PanelMethod::KennedyMarsden);
}
bool Soinne_Solve(Common& c, ui::Toolkit& ui)
{
    return solveOnTables(c, ui, PanelMethod::SoinneLaine);
}

}  // namespace tavrix
