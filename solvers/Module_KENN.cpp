#include "solvers/Module_KENN.h"

#include <array>
#include <cmath>
#include <vector>

#include "solvers/PanelFrame.h"

namespace tavrix {

void KENN_KuttaControlPoint(const PanelGeometry& c, double& x, double& y)
{
    // Just behind the trailing edge, one hundredth of the distance to the mid
    // point of the next pair of end points further in.
    const int NP = c.NP;
    const double XTE = (c.X[1] + c.X[NP]) / 2;
    const double YTE = (c.Y[1] + c.Y[NP]) / 2;
    const double XB = (c.X[2] + c.X[c.NPanel]) / 2;
    const double YB = (c.Y[2] + c.Y[c.NPanel]) / 2;
    x = XTE + 0.01 * std::fabs(XTE - XB);
    y = YTE + 0.01 * std::fabs(YTE - YB);
}

void KENN_AssembleMatrix(const PanelGeometry& c, PanelSystem& system)
{
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    KENN_KuttaControlPoint(c, system.kuttaX, system.kuttaY);
    Matrix& AN = system.AN;
    AN.redim(NPanel + 2);
    const std::vector<double> H = halfLengths(c);
    const double fourPi = 4 * kPi;

    // Per control point, the frame of every panel first, in a loop without
    // calls that the compiler turns into vector code (the same operations on
    // the same operands, so the same bits); then the logarithms and arctangents;
    // then the divisions, again as vector code.
    using Row = std::array<double, kMaxPoints + 2>;
    Row XP{}, YP{}, Q{}, S1{}, S2{}, ARG{}, NUM{};
    const double Pi = kPi;

    for (int I = 1; I <= NP; ++I) {
        const double x = I < NP ? c.XM[I] : system.kuttaX;
        const double y = I < NP ? c.YM[I] : system.kuttaY;
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

void KENN_RightHandSide(const PanelGeometry& c, const PanelSystem& system, double CosAlfa,
                        double SinAlfa, double* rhs)
{
    // The free stream's stream function at the control point.
    for (int I = 1; I < c.NP; ++I) rhs[I] = c.YM[I] * CosAlfa - c.XM[I] * SinAlfa;
    rhs[c.NP] = system.kuttaY * CosAlfa - system.kuttaX * SinAlfa;
}

void KENN_SurfaceSpeed(const PanelGeometry& c, const PanelSystem&, const double* strength, double,
                       double, double* speed)
{
    for (int I = 1; I <= c.NPanel; ++I) speed[I] = -strength[I];
}

}  // namespace tavrix
