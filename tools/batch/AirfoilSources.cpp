#include "tools/batch/AirfoilSources.h"

#include <cmath>

#include "app/AirfoilMenu.h"
#include "app/NumberText.h"
#include "geometry/Repanel.h"

namespace tavrix {

bool runNacaSource(Form_TavrixS& form, const std::string& designation, bool openTrailingEdge)
{
    return form.airfoilMenu().makeNaca(designation, openTrailingEdge);
}

bool runRepanelledFile(Form_TavrixS& form, const std::string& path, const std::string& count)
{
    const LeadingNumber n = readLeadingNumber(count);
    if (n.tooLarge) {
        form.toolkit().message(numberTooLargeMessage(count));
        return false;
    }
    if (n.value != std::floor(n.value) || n.value < kRepanelMinPoints ||
        n.value > kRepanelMaxPoints) {
        form.toolkit().message(repanelCountRefusal());
        return false;
    }
    return form.airfoilMenu().openFile(path, static_cast<int>(n.value));
}

bool runRepanel(Form_TavrixS& form, const std::string& count)
{
    return form.airfoilMenu().repanelCurrent(count);
}

bool runSaveContour(Form_TavrixS& form, const std::string& file)
{
    return form.airfoilMenu().saveContour(file);
}

}  // namespace tavrix
