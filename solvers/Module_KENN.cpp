#include "solvers/Module_KENN.h"

#include <array>
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

void KENN_KuttaControlPoint(Common& c)
{
    // Just behind the trailing edge, one hundredth of the distance to the mid
    // point of the next pair of end points further in.
    const int NP = c.NP;
    const double XTE = (c.X[1] + c.X[NP]) / 2;
    const double YTE = (c.Y[1] + c.Y[NP]) / 2;
    const double XB = (c.X[2] + c.X[c.NPanel]) / 2;
    const double YB = (c.Y[2] + c.Y[c.NPanel]) / 2;
    c.XM[NP] = XTE + 0.01 * std::fabs(XTE - XB);
    c.YM[NP] = YTE + 0.01 * std::fabs(YTE - YB);
}

void KENN_AssembleMatrix(Common& c)
{
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    Matrix& AN = c.AN;
    AN.redim(NPanel + 2);
    c.AT.redim(NPanel + 2);
    const Table H = halfLengths(c);
    const double fourPi = 4 * c.Pi;

    // Per control point, the frame of every panel first, in a loop without
    // calls that the compiler turns into vector code (the same operations on
    // the same operands, so the same bits); then the logarithms and arctangents;
    // then the divisions, again as vector code.
    using Row = std::array<double, kStrengthLast + 2>;
    Row XP{}, YP{}, Q{}, S1{}, S2{}, ARG{}, NUM{};
    const double Pi = c.Pi;

    for (int I = 1; I <= NP; ++I) {
        const double x = c.XM[I];
        const double y = c.YM[I];
        for (int J = 1; J <= NPanel; ++J) {
            const double h = H[J];
            XP[J] = (x - c.XM[J]) * c.CosDelta[J] + (y - c.YM[J]) * c.SinDelta[J];
            YP[J] = (y - c.YM[J]) * c.CosDelta[J] - (x - c.XM[J]) * c.SinDelta[J];
            Q[J] = XP[J] * XP[J] + YP[J] * YP[J] - h * h;
            S1[J] = YP[J] * YP[J] + (XP[J] + h) * (XP[J] + h);
            S2[J] = YP[J] * YP[J] + (XP[J] - h) * (XP[J] - h);
            ARG[J] = ((2 * YP[J]) * h) / Q[J];  // used only where Q is not 0
        }
        for (int J = 1; J <= NPanel; ++J) {
            // Stream function at control point I of a unit-strength uniform
            // vortex sheet on panel J: 1/(2 pi) times the integral of ln r
            // along the panel.
            const double beta = subtendedAngle(Q[J], YP[J], ARG[J], Pi);
            const double A = timesLog(XP[J] + H[J], std::log(S1[J]));
            const double B = timesLog(XP[J] - H[J], std::log(S2[J]));
            NUM[J] = ((A - B) + (2 * YP[J]) * beta) - 4 * H[J];
        }
        for (int J = 1; J <= NPanel; ++J) AN(I, J) = NUM[J] / fourPi;
        // The common value of the stream function on the contour.
        AN(I, NP) = 1;
    }
}

void KENN_RightHandSide(Common& c)
{
    // The free stream's stream function at the control point.
    for (int I = 1; I <= c.NP; ++I)
        c.AN(I, c.NP + 1) = c.YM[I] * c.CosAlfa - c.XM[I] * c.SinAlfa;
}

void KENN_SurfaceSpeed(Common& c)
{
    for (int I = 1; I <= c.NPanel; ++I) c.Vt[I] = std::fabs(c.Strength[I]);
}

bool KENN_Solve(Common& c, ui::Toolkit& ui)
{
    if (!systemFits(c, ui, kMaxPointsPerSystem)) return false;
    KENN_KuttaControlPoint(c);
    if (ui.value("Check_WritePanel") == 1) writeKuttaControlPoint(c, ui);
    KENN_AssembleMatrix(c);
    KENN_RightHandSide(c);
    if (!closingSequence(c, ui, c.NP)) return false;
    KENN_SurfaceSpeed(c);
    return true;
}

}  // namespace tavrix
