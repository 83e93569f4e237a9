#include "solvers/PanelMethods.h"

#include <string>


namespace tavrix {

std::optional<PanelMethod> methodFromWord(std::string_view word)
{
    for (const PanelMethodInfo& info : kPanelMethods)
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
