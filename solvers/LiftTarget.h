// The angle of attack at which a section gives a prescribed lift: the
// inverse of CL(alpha) for one panel method, found on the factored system so
// that each trial angle costs one right-hand side.
#pragma once

#include <span>

#include "solvers/PanelSolution.h"
#include "solvers/Sweep.h"

namespace tavrix {

// The angles of attack searched, in degrees: a lift that the section does
// not reach between -kLiftTargetRange and +kLiftTargetRange is refused.
inline constexpr double kLiftTargetRange = 30;

struct LiftTarget {
    double alphaDeg = 0;
    double CL = 0;  // the lift at alphaDeg (the target within the tolerance)
    double CM = 0;
    int iterations = 0;  // secant steps after the two starting angles
};

// The angle where CL(alpha) = targetCL for the flow conditions (the Mach
// number and its correction act on CL). Secant iterations on CL(alpha),
// kept inside a bracket of angles whose lifts lie on either side of the
// target; a secant step that leaves the bracket is replaced by its middle.
// Stops when |CL - target| <= 1e-10 (1 + |target|). Refuses a target that lies
// outside the lifts at -30 and +30 degrees (Refusal::Kind::OutOfReach), and
// passes on the refusals of PanelSolution::at.
Outcome<LiftTarget> alphaForLift(const PanelSolution& solution, double targetCL,
                                 const FlowConditions& conditions = {});

// The same on a contour (clockwise from the trailing edge and back), with
// the refusals of a sweep before the search: the size of the system, the
// Mach number, coincident end points, a zero pivot.
Outcome<LiftTarget> alphaForLift(std::span<const double> x, std::span<const double> y,
                                 const FlowSetup& setup, double targetCL);

}  // namespace tavrix
