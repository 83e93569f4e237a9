#include "viscous/LiftMaximum.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tavrix::coupled {

std::optional<LiftMaximum> liftMaximum(std::span<const LiftPoint> points)
{
    std::vector<LiftPoint> kept;
    for (const LiftPoint& p : points)
        if (p.converged && std::isfinite(p.alphaDeg) && std::isfinite(p.cl)) kept.push_back(p);
    if (kept.size() < 3) return std::nullopt;
    std::stable_sort(kept.begin(), kept.end(), [](const LiftPoint& a, const LiftPoint& b) {
        return a.alphaDeg < b.alphaDeg;
    });
    std::size_t best = 0;
    for (std::size_t j = 1; j < kept.size(); ++j)
        if (kept[j].cl > kept[best].cl) best = j;
    // At either end of the converged range the lift may still rise beyond it.
    if (best == 0 || best + 1 == kept.size()) return std::nullopt;
    return LiftMaximum{kept[best].cl, kept[best].alphaDeg};
}

}  // namespace tavrix::coupled
