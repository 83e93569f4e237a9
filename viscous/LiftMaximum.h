// The maximum lift of a viscous polar, read from its converged points.
#pragma once

#include <optional>
#include <span>

namespace tavrix::coupled {

struct LiftMaximum {
    double cl = 0;
    double alphaDeg = 0;
};

// One point of a polar as the maximum is read from it.
struct LiftPoint {
    double alphaDeg = 0;
    double cl = 0;
    bool converged = false;
};

// The converged point of largest lift, provided it is a maximum inside the
// range: converged points at lower and at higher angles both have less lift.
// A polar whose lift still rises at its last converged angle (or falls from
// its first) has none in range, nor has one with fewer than three converged
// points. The points may come in any order of angle; those that did not
// converge are ignored, whatever their lift.
std::optional<LiftMaximum> liftMaximum(std::span<const LiftPoint> points);

}  // namespace tavrix::coupled
