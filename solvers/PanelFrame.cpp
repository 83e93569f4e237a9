#include "solvers/PanelFrame.h"

#include <string>

#include "output/Form_ShowMat.h"
#include "output/ResultFiles.h"
#include "solvers/Module_Gauss.h"

namespace tavrix {

bool closingSequence(Common& common, ui::Toolkit& ui, int n, int shownBlock)
{
    if (ui.value("Check_WriteMat") == 1) WriteCoeffMatrix(common, ui, n);
    if (ui.value("Check_ShowMat") == 1) Show_CoefficientMatrix(common, ui, shownBlock);
    if (!Gauss_Solve(common, ui, n)) return false;
    if (ui.value("Check_WriteSingularities") == 1) WriteSingularities(common, ui);
    return true;
}

}  // namespace tavrix
