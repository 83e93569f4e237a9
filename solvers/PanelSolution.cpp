#include "solvers/PanelSolution.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "solvers/Module_Gauss.h"

namespace tavrix {

Outcome<PanelSystem> assemblePanels(const PanelGeometry& geometry, PanelMethod method,
                                    const SolveOptions& options, PanelSystem recycled)
{
    if (std::optional<Refusal> refusal = capacityRefusal(method, geometry.NP))
        return std::move(*refusal);
    const PanelMethodInfo& info = methodInfo(method);
    PanelSystem system;
    system.AN = std::move(recycled.AN);
    system.AT = std::move(recycled.AT);
    if (method != PanelMethod::Hess) system.AT = Matrix();
    system.method = method;
    system.unknowns = info.unknowns(geometry.NP);
    system.noCirculation = options.noCirculation && method == PanelMethod::Hess;
    info.assemble(geometry, system);
    return system;
}

Outcome<PanelSolution> factorPanels(PanelSystem system,
                                    std::shared_ptr<const PanelGeometry> geometry,
                                    bool keepAssembled)
{
    PanelSolution solution;
    solution.geometry_ = std::move(geometry);
    const int n = system.unknowns;
    const int zero = keepAssembled ? solution.factors_.factor(system.AN, n)
                                   : solution.factors_.factor(std::move(system.AN), n);
    if (zero != 0) return Refusal{Refusal::Kind::ZeroPivot, kZeroPivotMessage};
    if (!keepAssembled) system.AN = Matrix();
    solution.system_ = std::make_shared<const PanelSystem>(std::move(system));
    return solution;
}

Outcome<PanelSolution> solvePanels(const PanelGeometry& geometry, PanelMethod method,
                                   const SolveOptions& options)
{
    Outcome<PanelSystem> system = assemblePanels(geometry, method, options);
    if (!system) return system.refusal();
    return factorPanels(std::move(*system), std::make_shared<const PanelGeometry>(geometry),
                        options.keepAssembled);
}

namespace {

void windAxes(double alphaDeg, double& cosAlfa, double& sinAlfa)
{
    const double a = alphaDeg * kDegToRad;
    cosAlfa = std::cos(a);
    sinAlfa = std::sin(a);
}

}  // namespace

std::vector<double> PanelSolution::rightHandSide(double alphaDeg) const
{
    double cosAlfa, sinAlfa;
    windAxes(alphaDeg, cosAlfa, sinAlfa);
    std::vector<double> rhs(static_cast<std::size_t>(unknowns()) + 1, 0.0);
    info().rightHandSide(*geometry_, *system_, cosAlfa, sinAlfa, rhs.data());
    return rhs;
}

Matrix PanelSolution::augmented(double alphaDeg) const
{
    Matrix A = system_->AN;
    const int n = unknowns();
    if (A.upper() < n + 1) return A;
    const std::vector<double> rhs = rightHandSide(alphaDeg);
    for (int I = 1; I <= n; ++I) A(I, n + 1) = rhs[static_cast<std::size_t>(I)];
    return A;
}

std::vector<double> PanelSolution::strengths(double alphaDeg) const
{
    std::vector<double> strength(static_cast<std::size_t>(unknowns()) + 1, 0.0);
    factors_.solve(rightHandSide(alphaDeg), strength);
    return strength;
}

Outcome<OperatingPoint> PanelSolution::at(double alphaDeg,
                                          const FlowConditions& conditions) const
{
    if (!machAllowed(conditions.mach)) return Refusal{Refusal::Kind::Mach, kMachMessage};
    OperatingPoint p = evaluate(alphaDeg, conditions);
    // A degenerate contour can leave overflowed speeds: nothing may be
    // derived from them.
    if (!std::isfinite(p.CL) || !std::isfinite(p.CD) || !std::isfinite(p.CM))
        return Refusal{Refusal::Kind::NoFiniteResult, kNoFiniteResultMessage};
    return p;
}

OperatingPoint PanelSolution::evaluate(double alphaDeg, const FlowConditions& conditions) const
{
    return operatingPointOf(*geometry_, *system_, strengths(alphaDeg), alphaDeg, conditions);
}

OperatingPoint operatingPointOf(const PanelGeometry& g, const PanelSystem& system,
                                const std::vector<double>& strength, double alphaDeg,
                                const FlowConditions& conditions)
{
    const auto panels = static_cast<std::size_t>(g.NPanel);
    const PanelMethodInfo& info = methodInfo(system.method);

    OperatingPoint p;
    p.alphaDeg = alphaDeg;
    windAxes(alphaDeg, p.cosAlfa, p.sinAlfa);

    // Per-panel tables 1-based while they are worked on, as the formulas
    // index them.
    std::vector<double> speed(panels + 1, 0.0), Cu(panels + 1, 0.0);
    info.surfaceSpeed(g, system, strength.data(), p.cosAlfa, p.sinAlfa, speed.data());
    p.signedSpeed.assign(speed.begin() + 1, speed.end());
    p.Vt.resize(panels);
    for (std::size_t i = 1; i <= panels; ++i) {
        p.Vt[i - 1] = std::fabs(speed[i]);
        Cu[i] = p.Vt[i - 1] * p.Vt[i - 1];
    }
    p.CuIncompressible.assign(Cu.begin() + 1, Cu.end());
    if (conditions.mach != 0) {
        for (std::size_t i = 1; i <= panels; ++i)
            Cu[i] = 1 - CorrectedCp(conditions.correction, 1 - Cu[i], conditions.mach);
    }
    p.Cu.assign(Cu.begin() + 1, Cu.end());

    const Coefficients k = integrateForces(g, Cu.data(), p.cosAlfa, p.sinAlfa);
    p.CL = k.CL;
    p.CD = k.CD;
    p.CM = k.CM;

    p.XM.assign(g.XM.begin() + 1, g.XM.begin() + 1 + static_cast<std::ptrdiff_t>(panels));
    p.YM.assign(g.YM.begin() + 1, g.YM.begin() + 1 + static_cast<std::ptrdiff_t>(panels));
    p.strength.assign(strength.begin() + 1,
                      strength.begin() + 1 + static_cast<std::ptrdiff_t>(system.unknowns));
    if (conditions.keepEndPoints) {
        const auto points = static_cast<std::ptrdiff_t>(g.NP);
        p.X.assign(g.X.begin() + 1, g.X.begin() + 1 + points);
        p.Y.assign(g.Y.begin() + 1, g.Y.begin() + 1 + points);
    }
    return p;
}

void fillRightHandSide(const PanelGeometry& g, PanelSystem& system, double alphaDeg)
{
    double cosAlfa, sinAlfa;
    windAxes(alphaDeg, cosAlfa, sinAlfa);
    const int n = system.unknowns;
    std::vector<double> rhs(static_cast<std::size_t>(n) + 1, 0.0);
    methodInfo(system.method).rightHandSide(g, system, cosAlfa, sinAlfa, rhs.data());
    for (int I = 1; I <= n; ++I) system.AN(I, n + 1) = rhs[static_cast<std::size_t>(I)];
}

std::optional<Refusal> solveInPlace(const PanelGeometry& g, PanelSystem& system, double alphaDeg,
                                    std::vector<double>& strength)
{
    fillRightHandSide(g, system, alphaDeg);
    const int n = system.unknowns;
    if (strength.size() < static_cast<std::size_t>(n) + 1)
        strength.resize(static_cast<std::size_t>(n) + 1, 0.0);
    if (Gauss_Solve(system.AN, n, strength) != 0)
        return Refusal{Refusal::Kind::ZeroPivot, kZeroPivotMessage};
    return std::nullopt;
}

}  // namespace tavrix
