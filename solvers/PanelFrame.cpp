#include "solvers/PanelFrame.h"

#include <string>

#include "output/Form_ShowMat.h"
#include "output/ResultFiles.h"
#include "solvers/Module_Gauss.h"

namespace tavrix {

PanelFrame panelFrame(const Common& c, double x, double y, int J)
{
    PanelFrame f;
    f.XP = (x - c.XM[J]) * c.CosDelta[J] + (y - c.YM[J]) * c.SinDelta[J];
    f.YP = (y - c.YM[J]) * c.CosDelta[J] - (x - c.XM[J]) * c.SinDelta[J];
    f.H = c.DS[J] / 2;
    f.Q = f.XP * f.XP + f.YP * f.YP - f.H * f.H;
    return f;
}

bool closingSequence(Common& common, ui::Toolkit& ui, int n, int shownBlock)
{
    if (ui.value("Check_WriteMat") == 1) WriteCoeffMatrix(common, ui, n);
    if (ui.value("Check_ShowMat") == 1) Show_CoefficientMatrix(common, ui, shownBlock);
    if (!Gauss_Solve(common, ui, n)) return false;
    if (ui.value("Check_WriteSingularities") == 1) WriteSingularities(common, ui);
    return true;
}

}  // namespace tavrix
