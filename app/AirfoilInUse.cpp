#include "app/AirfoilInUse.h"

namespace tavrix {

std::string airfoilInUseText(const Common& c)
{
    if (!c.AirfoilReady) return "Airfoil in use: none yet";
    std::string name = c.AirfoilName.empty() ? std::string("unnamed contour") : c.AirfoilName;
    return "Airfoil in use: " + name + ", " + std::to_string(c.NP) + " points";
}

std::string_view sourceOption(ContourSource source)
{
    switch (source) {
    case ContourSource::Circle: return "Option_CIRCLE";
    case ContourSource::Naca0012: return "Option_N0012";
    case ContourSource::File: return "Option_DOSYA";
    case ContourSource::KarmanTrefftz: return "Option_KATJO";
    default: return {};
    }
}

}  // namespace tavrix
