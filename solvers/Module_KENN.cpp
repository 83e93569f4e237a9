#include "solvers/Module_KENN.h"

#include <cmath>

#include "app/NumberText.h"
#include "output/PrintFile.h"
#include "solvers/Capacity.h"
#include "solvers/PanelFrame.h"

namespace tavrix {

namespace {

void writeKuttaControlPoint(const Common& c, ui::Toolkit& ui)
{
    // The record ends inside its last line; the empty line that opens the
    // next record ends it.
    PrintSection out(c.DecimalSeparator);
    out.emptyLine();
    out.text("Kutta şartı için kontrol noktası").endLine();
    out.emptyLine();
    out.text("XM(").number(c.NP).text(")=").number(roundHalfEven(c.XM[c.NP], 4));
    out.text("YM(").number(c.NP).text(")=").number(roundHalfEven(c.YM[c.NP], 4));
    writeSection(c, ui, kPanelPropertiesFile, out, FileMode::Append);
}

}  // namespace

bool KENN_Solve(Common& c, ui::Toolkit& ui)
{
    if (!systemFits(c, ui, kMaxPointsPerSystem)) return false;
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    Matrix& AN = c.AN;
    AN.redim(NPanel + 2);
    c.AT.redim(NPanel + 2);

    // Kutta control point: just behind the trailing edge, one hundredth of the
    // distance to the mid point of the next pair of end points further in.
    const double XTE = (c.X[1] + c.X[NP]) / 2;
    const double YTE = (c.Y[1] + c.Y[NP]) / 2;
    const double XB = (c.X[2] + c.X[NPanel]) / 2;
    const double YB = (c.Y[2] + c.Y[NPanel]) / 2;
    c.XM[NP] = XTE + 0.01 * std::fabs(XTE - XB);
    c.YM[NP] = YTE + 0.01 * std::fabs(YTE - YB);

    if (ui.value("Check_WritePanel") == 1) writeKuttaControlPoint(c, ui);

    for (int I = 1; I <= NP; ++I) {
        for (int J = 1; J <= NPanel; ++J) {
            // Stream function at control point I of a unit-strength uniform
            // vortex sheet on panel J: 1/(2 pi) times the integral of ln r
            // along the panel.
            const PanelFrame f = panelFrame(c, c.XM[I], c.YM[I], J);
            const double beta = f.subtendedAngle(f.twiceAcrossTimesHalfLength(), c.Pi);
            const double A =
                timesLog(f.XP + f.H, std::log(f.YP * f.YP + (f.XP + f.H) * (f.XP + f.H)));
            const double B =
                timesLog(f.XP - f.H, std::log(f.YP * f.YP + (f.XP - f.H) * (f.XP - f.H)));
            AN(I, J) = (((A - B) + (2 * f.YP) * beta) - 4 * f.H) / (4 * c.Pi);
        }
        // The common value of the stream function on the contour, and the
        // free stream's stream function at the control point.
        AN(I, NP) = 1;
        AN(I, NP + 1) = c.YM[I] * c.CosAlfa - c.XM[I] * c.SinAlfa;
    }

    if (!closingSequence(c, ui, NP)) return false;

    for (int I = 1; I <= NPanel; ++I) c.Vt[I] = std::fabs(c.Strength[I]);
    return true;
}

}  // namespace tavrix
