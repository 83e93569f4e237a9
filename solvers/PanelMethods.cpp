#include "solvers/PanelMethods.h"

#include <string>

#include "solvers/Module_HESS.h"
#include "solvers/Module_KENN.h"
#include "solvers/Module_Soinne.h"
#include "solvers/Module_VORPAN.h"

namespace tavrix {

namespace {

// Every system holds at most kMaxPoints unknowns: the Soinne-Laine method
// has one more than it has end points.
constexpr PanelMethodInfo kMethods[] = {
    {PanelMethod::Hess, "Hess", "hess", "Option_HESS", "Hess Method", kMaxPoints, 0, true,
     HESS_AssembleMatrix, HESS_RightHandSide, HESS_SurfaceSpeed},
    {PanelMethod::VortexPanel, "Vortex panel", "vortex", "Option_VORPAN", "Vortex Panel Method",
     kMaxPoints, 0, false, VORPAN_AssembleMatrix, VORPAN_RightHandSide, VORPAN_SurfaceSpeed},
    {PanelMethod::KennedyMarsden, "Kennedy-Marsden", "kennedy", "Option_KENN",
     "Kennedy-Marsden Method", kMaxPoints, 0, false, KENN_AssembleMatrix, KENN_RightHandSide,
     KENN_SurfaceSpeed},
    {PanelMethod::SoinneLaine, "Soinne-Laine", "soinne", "Option_Soinne", "Soinne-Laine Method",
     kMaxPoints - 1, 1, false, Soinne_AssembleMatrix, Soinne_RightHandSide, Soinne_SurfaceSpeed},
};

static_assert(std::size(kMethods) == std::size(kAllMethods));

}  // namespace

std::span<const PanelMethodInfo> panelMethods() { return kMethods; }

const PanelMethodInfo& methodInfo(PanelMethod method)
{
    for (const PanelMethodInfo& info : kMethods)
        if (info.method == method) return info;
    return kMethods[0];
}

std::optional<PanelMethod> methodFromWord(std::string_view word)
{
    for (const PanelMethodInfo& info : kMethods)
        if (info.word == word) return info.method;
    return std::nullopt;
}

std::optional<Refusal> capacityRefusal(PanelMethod method, int NP)
{
    const int maxPoints = methodInfo(method).maxPoints;
    if (NP > maxPoints) {
        return Refusal{Refusal::Kind::Capacity, "This panel method allows at most " +
                                                    std::to_string(maxPoints) +
                                                    " panel end points"};
    }
    if (NP < 2) return Refusal{Refusal::Kind::NoContour, kNoContourMessage};
    return std::nullopt;
}

}  // namespace tavrix
