#include "solvers/Sweep.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tavrix {

SweepOutcome Sweep(const PanelSolution& solution, const FlowSetup& setup,
                   std::span<const double> alphasDeg, const SweepProgress& keepGoing)
{
    SweepOutcome outcome;
    FlowConditions conditions;
    conditions.mach = setup.mach;
    conditions.correction = setup.correction;
    conditions.keepEndPoints = setup.keepSignedSpeed;
    outcome.points.reserve(alphasDeg.size());
    for (std::size_t k = 0; k < alphasDeg.size(); ++k) {
        if (keepGoing && !keepGoing(k, alphasDeg.size())) {
            outcome.cancelled = true;
            break;
        }
        Outcome<OperatingPoint> point = solution.at(alphasDeg[k], conditions);
        if (!point) {
            outcome.message = point.refusal().message;
            break;
        }
        outcome.points.push_back(std::move(*point));
    }
    return outcome;
}

SweepOutcome Sweep(std::span<const double> x, std::span<const double> y, const FlowSetup& setup,
                   std::span<const double> alphasDeg, const SweepProgress& keepGoing)
{
    SweepOutcome outcome;
    // The press's refusals, in its order: the system's size, the Mach number,
    // coincident end points, then a zero pivot.
    if (std::optional<Refusal> refusal =
            capacityRefusal(setup.method, static_cast<int>(std::min(x.size(), y.size())))) {
        outcome.message = refusal->message;
        return outcome;
    }
    if (!machAllowed(setup.mach)) {
        outcome.message = kMachMessage;
        return outcome;
    }
    const Outcome<PanelGeometry> geometry = buildPanelGeometry(x, y, setup.etaDeg);
    if (!geometry) {
        outcome.message = geometry.refusal().message;
        return outcome;
    }
    SolveOptions options;
    options.noCirculation = setup.noCirculation;
    options.keepAssembled = false;
    const Outcome<PanelSolution> solution = solvePanels(*geometry, setup.method, options);
    if (!solution) {
        outcome.message = solution.refusal().message;
        return outcome;
    }
    return Sweep(*solution, setup, alphasDeg, keepGoing);
}

namespace {

bool allFinite(const std::vector<double>& values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

void endAtFirstNonFinite(SweepOutcome& outcome)
{
    const auto bad = std::find_if(outcome.points.begin(), outcome.points.end(),
                                  [](const OperatingPoint& p) {
                                      return !std::isfinite(p.CL) || !std::isfinite(p.CD) ||
                                             !std::isfinite(p.CM) || !allFinite(p.Cu) ||
                                             !allFinite(p.CuIncompressible);
                                  });
    if (bad == outcome.points.end()) return;
    outcome.points.erase(bad, outcome.points.end());
    outcome.message = kNoFiniteResultMessage;
}

}  // namespace tavrix
