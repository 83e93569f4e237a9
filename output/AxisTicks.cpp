#include "output/AxisTicks.h"

#include <cmath>
#include <cstdio>

namespace tavrix {

double NiceStep(double rough)
{
    if (!(rough > 0) || !std::isfinite(rough)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double f : {1.0, 2.0, 2.5, 5.0}) {
        // A rough step just above a nice one (from rounding) keeps the nice one.
        if (f * power >= rough * (1 - 1e-12)) return f * power;
    }
    return 10 * power;
}

std::vector<AxisTick> AxisTicks(double lo, double hi, int intervals)
{
    std::vector<AxisTick> ticks;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi) || intervals < 1) return ticks;
    const double step = NiceStep((hi - lo) / intervals);
    // Decimals of the step: the fewest with which it is a whole number of
    // units of the last decimal (0.25 needs two, 5e-4 four).
    int decimals = 0;
    double scale = 1;
    while (decimals < 15) {
        const double units = step * scale;
        if (std::fabs(units - std::round(units)) <= 1e-9 * units) break;
        ++decimals;
        scale *= 10;
    }
    const double first = std::ceil(lo / step - 1e-9);
    const double last = std::floor(hi / step + 1e-9);
    if (!(last - first < 1000)) return ticks;
    for (double k = first; k <= last; ++k) {
        const double value = k * step;
        char text[64];
        if (decimals < 15 && std::fabs(value) < 1e15) {
            // k times the step in units of the last decimal, a whole number;
            // zero has no sign.
            const long long units = std::llround(k * std::round(step * scale));
            const long long whole = units / static_cast<long long>(std::llround(scale));
            const long long part = std::llabs(units % static_cast<long long>(std::llround(scale)));
            if (decimals == 0)
                std::snprintf(text, sizeof text, "%lld", units);
            else
                std::snprintf(text, sizeof text, "%s%lld.%0*lld", units < 0 && whole == 0 ? "-" : "",
                              whole, decimals, part);
        } else {
            std::snprintf(text, sizeof text, "%.4g", value);
        }
        ticks.push_back({value, text});
    }
    return ticks;
}

}  // namespace tavrix
