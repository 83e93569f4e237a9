#pragma once

#include <string>

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Largest number of panel end points each method's system can hold: every
// system has at most 200 unknowns, and the Soinne-Laine method has NP + 1.
inline constexpr int kMaxPointsPerSystem = 200;
inline constexpr int kMaxPointsSoinne = 199;

// Whether NP lies in 2..maxPoints, so that the method's system fits the
// strength table. Too many points show the capacity message.
inline bool systemFits(const Common& common, ui::Toolkit& ui, int maxPoints)
{
    if (common.NP > maxPoints) {
        ui.message("This panel method allows at most " + std::to_string(maxPoints) +
                   " panel end points");
        return false;
    }
    return common.NP >= 2 && common.NPanel == common.NP - 1;
}

}  // namespace tavrix
