#include "solvers/LiftTarget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace tavrix {

namespace {

std::string shortNumber(double v)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.6g", v == 0 ? 0.0 : v);
    return text;
}

constexpr int kMostSteps = 60;

}  // namespace

Outcome<LiftTarget> alphaForLift(const PanelSolution& solution, double targetCL,
                                 const FlowConditions& conditions)
{
    if (!std::isfinite(targetCL))
        return Refusal{Refusal::Kind::OutOfReach, "The target CL must be a finite number"};
    // The residual of an angle: CL(alpha) - target, or the refusal of the solve.
    struct Trial {
        double alpha = 0, residual = 0, CL = 0, CM = 0;
    };
    std::optional<Refusal> refused;
    const auto trial = [&](double alpha) {
        Trial t{alpha, 0, 0, 0};
        const Outcome<OperatingPoint> p = solution.at(alpha, conditions);
        if (!p) {
            refused = p.refusal();
            return t;
        }
        t.CL = p->CL;
        t.CM = p->CM;
        t.residual = p->CL - targetCL;
        return t;
    };

    Trial low = trial(-kLiftTargetRange);
    if (refused) return *refused;
    Trial high = trial(kLiftTargetRange);
    if (refused) return *refused;
    const double tolerance = 1e-10 * (1 + std::fabs(targetCL));
    if ((low.residual > tolerance && high.residual > tolerance) ||
        (low.residual < -tolerance && high.residual < -tolerance) || low.CL == high.CL) {
        const double lo = std::min(low.CL, high.CL), hi = std::max(low.CL, high.CL);
        return Refusal{Refusal::Kind::OutOfReach,
                       "CL = " + shortNumber(targetCL) + " is not reached between \u03b1 = -" +
                           shortNumber(kLiftTargetRange) + "\u00b0 and " +
                           shortNumber(kLiftTargetRange) + "\u00b0: the " +
                           std::string(methodName(solution.method())) + " method gives CL from " +
                           shortNumber(lo) + " to " + shortNumber(hi) + " there"};
    }
    if (std::fabs(low.residual) <= tolerance) return LiftTarget{low.alpha, low.CL, low.CM, 0};
    if (std::fabs(high.residual) <= tolerance) return LiftTarget{high.alpha, high.CL, high.CM, 0};
    // The bracket: `low` on the side of the residual at -30 degrees.
    const double lowSign = low.residual < 0 ? -1 : 1;

    // Two starting angles near the attached-flow line: 0 and 2 degrees.
    Trial previous = trial(0);
    if (refused) return *refused;
    Trial current = trial(2);
    if (refused) return *refused;
    for (int step = 1; step <= kMostSteps; ++step) {
        for (const Trial* t : {&previous, &current}) {
            if (t->residual * lowSign > 0 && t->alpha > low.alpha) low = *t;
            else if (t->residual * lowSign < 0 && t->alpha < high.alpha) high = *t;
        }
        if (std::fabs(current.residual) <= tolerance)
            return LiftTarget{current.alpha, current.CL, current.CM, step - 1};
        double next = current.alpha;
        const double slope = current.residual - previous.residual;
        if (slope != 0) next = current.alpha - current.residual * (current.alpha - previous.alpha) / slope;
        // Outside the bracket (or no step at all): halve the bracket instead.
        if (!(next > low.alpha && next < high.alpha) || next == current.alpha)
            next = 0.5 * (low.alpha + high.alpha);
        previous = current;
        current = trial(next);
        if (refused) return *refused;
        // The bracket has shrunk to adjacent doubles: nothing closer exists.
        if (std::nextafter(low.alpha, high.alpha) >= high.alpha)
            return LiftTarget{current.alpha, current.CL, current.CM, step};
    }
    return LiftTarget{current.alpha, current.CL, current.CM, kMostSteps};
}

Outcome<LiftTarget> alphaForLift(std::span<const double> x, std::span<const double> y,
                                 const FlowSetup& setup, double targetCL)
{
    if (std::optional<Refusal> refusal =
            capacityRefusal(setup.method, static_cast<int>(std::min(x.size(), y.size()))))
        return *refusal;
    if (!machAllowed(setup.mach)) return Refusal{Refusal::Kind::Mach, kMachMessage};
    const Outcome<PanelGeometry> geometry = buildPanelGeometry(x, y, setup.etaDeg);
    if (!geometry) return geometry.refusal();
    SolveOptions options;
    options.noCirculation = setup.noCirculation;
    options.keepAssembled = false;
    const Outcome<PanelSolution> solution = solvePanels(*geometry, setup.method, options);
    if (!solution) return solution.refusal();
    FlowConditions conditions;
    conditions.mach = setup.mach;
    conditions.correction = setup.correction;
    return alphaForLift(*solution, targetCL, conditions);
}

}  // namespace tavrix
