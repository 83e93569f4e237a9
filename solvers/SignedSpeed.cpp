#include "solvers/SignedSpeed.h"

namespace tavrix {

std::vector<double> SignedSurfaceSpeed(const Common& c, PanelMethod method)
{
    std::vector<double> speed;
    speed.reserve(static_cast<std::size_t>(c.NPanel > 0 ? c.NPanel : 0));
    for (int i = 1; i <= c.NPanel; ++i) {
        double v = 0;
        switch (method) {
        case PanelMethod::Hess:
            // Free stream along the panel plus the sources and the vortex
            // amplitude, summed as the method sums them.
            v = c.CosAlfa * c.CosDelta[i] + c.SinAlfa * c.SinDelta[i];
            for (int j = 1; j <= c.NP; ++j) v = v + c.AT(i, j) * c.Strength[j];
            break;
        case PanelMethod::VortexPanel:
        case PanelMethod::SoinneLaine:
            // With the fluid inside at rest the whole jump of a vortex sheet
            // lies outside: the outer speed along the panel is the strength.
            v = (c.Strength[i] + c.Strength[i + 1]) / 2;
            break;
        case PanelMethod::KennedyMarsden:
            // Its stream-function rows take the sheets with the opposite sign
            // of rotation, so the strength is the speed against the panel.
            v = -c.Strength[i];
            break;
        }
        speed.push_back(v);
    }
    return speed;
}

}  // namespace tavrix
