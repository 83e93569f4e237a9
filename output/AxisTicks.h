// Tick marks of a linear plot axis: values on 1, 2, 2.5 or 5 times a power of
// ten, each labelled from its whole multiple of the step, so that the tick at
// zero reads "0" and not the rounding residue of summing steps (6.9e-18).
#pragma once

#include <string>
#include <vector>

namespace tavrix {

struct AxisTick {
    double value;
    std::string label;
};

// A step of 1, 2, 2.5 or 5 times a power of ten, at least `rough`.
double NiceStep(double rough);

// The ticks inside [lo, hi] (with a relative tolerance of 1e-9 of the step at
// the ends) for about `intervals` intervals, labelled with the decimals the
// step needs; none when the range is empty or not finite.
std::vector<AxisTick> AxisTicks(double lo, double hi, int intervals = 8);

}  // namespace tavrix
