#include "solvers/Module_HESS.h"

#include <array>
#include <cmath>
#include <vector>

#include "solvers/PanelFrame.h"

namespace tavrix {

std::vector<double> HESS_VortexShape(const PanelGeometry& c)
{
    // The vortex strength follows the parabola s(s - 1) of the arc length s
    // (0 at the trailing edge on the lower side, 1 on the upper side), zero at
    // both ends of the contour; d(j) is its mean over panel j's end points.
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    std::vector<double> s(NP + 2, 0.0);
    std::vector<double> d(NP + 2, 0.0);
    s[1] = 0;
    for (int i = 1; i <= NPanel; ++i) s[i + 1] = s[i] + c.DS[i];
    const double L = s[NP];
    for (int i = 1; i <= NP; ++i) s[i] = s[i] / L;
    for (int j = 1; j <= NPanel; ++j)
        d[j] = 0.5 * (s[j] * (s[j] - 1) + s[j + 1] * (s[j + 1] - 1));
    return d;
}

void HESS_AssembleMatrix(const PanelGeometry& c, PanelSystem& system)
{
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    const bool noCirculation = system.noCirculation;
    system.vortexShape = HESS_VortexShape(c);
    const std::vector<double>& d = system.vortexShape;
    Matrix& AN = system.AN;
    Matrix& AT = system.AT;
    AN.redim(NP + 1);
    AT.redim(NP + 1);
    const std::vector<double> H = halfLengths(c);

    // Per mid point, the frame of every panel first, in a loop without calls
    // that the compiler turns into vector code (the same operations on the
    // same operands, so the same bits); then the logarithms and arctangents.
    // Fixed rows, so that the compiler knows they alias nothing.
    using Row = std::array<double, kMaxPoints + 2>;
    Row XP{}, YP{}, Q{}, RSQ{}, ARG{};
    const double Pi = kPi;
    const double TwoPi = 2 * kPi;

    for (int i = 1; i <= NPanel; ++i) {
        const double xm = c.XM[i];
        const double ym = c.YM[i];
        for (int j = 1; j <= NPanel; ++j) {
            const double h = H[j];
            XP[j] = (xm - c.XM[j]) * c.CosDelta[j] + (ym - c.YM[j]) * c.SinDelta[j];
            YP[j] = (ym - c.YM[j]) * c.CosDelta[j] - (xm - c.XM[j]) * c.SinDelta[j];
            Q[j] = XP[j] * XP[j] + YP[j] * YP[j] - h * h;
            const double r1sq = (XP[j] + h) * (XP[j] + h) + YP[j] * YP[j];
            const double r2sq = (XP[j] - h) * (XP[j] - h) + YP[j] * YP[j];
            RSQ[j] = r1sq / r2sq;
            ARG[j] = (YP[j] * c.DS[j]) / Q[j];  // used only where Q is not 0
        }
        for (int j = 1; j <= NPanel; ++j) {
            if (j == i) {
                // A source sheet pushes the flow off its own panel at half its
                // strength and induces no velocity along it.
                AN(i, i) = -0.5;
                AT(i, i) = 0;
                continue;
            }
            const double lambda = std::log(RSQ[j]) / 2;
            const double beta = subtendedAngle(Q[j], YP[j], ARG[j], Pi);
            const double cij = c.CosDelta[i] * c.CosDelta[j] + c.SinDelta[i] * c.SinDelta[j];
            const double sij = c.SinDelta[i] * c.CosDelta[j] - c.CosDelta[i] * c.SinDelta[j];
            // Velocity of a unit source sheet on panel j at mid point i, resolved
            // along panel i (AT) and along its flow-side normal (AN).
            AT(i, j) = (timesLog(cij, lambda) + sij * beta) / TwoPi;
            AN(i, j) = (timesLog(sij, lambda) - cij * beta) / TwoPi;
        }
        // The vortex sheet of shape d induces, at each point, the source
        // velocity turned through a right angle: its normal part is the source
        // tangential part and its tangential part minus the source normal part.
        // Both sums run over j in order, side by side, so that each one's
        // additions wait for each other only.
        double SN = 0;
        double ST = 0;
        for (int j = 1; j <= NPanel; ++j) {
            SN = SN + AN(i, j) * d[j];
            ST = ST + AT(i, j) * d[j];
        }
        AN(i, NP) = ST;
        AT(i, NP) = -SN;
    }

    if (noCirculation) {
        // The closing row holds the vortex amplitude at zero.
        AN(NP, NP) = 1;
    } else {
        // Trailing-edge condition: the tangential velocities on the first and
        // the last panel, which point in opposite directions there, cancel.
        for (int j = 1; j <= NP; ++j) AN(NP, j) = AT(1, j) + AT(NPanel, j);
    }
}

void HESS_RightHandSide(const PanelGeometry& c, const PanelSystem& system, double CosAlfa,
                        double SinAlfa, double* rhs)
{
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    // The free stream's component along the panel's flow-side normal, which
    // the singularities must cancel.
    for (int i = 1; i <= NPanel; ++i) rhs[i] = SinAlfa * c.CosDelta[i] - CosAlfa * c.SinDelta[i];
    if (system.noCirculation) {
        rhs[NP] = 0;
    } else {
        rhs[NP] = -CosAlfa * (c.CosDelta[1] + c.CosDelta[NPanel]) -
                  SinAlfa * (c.SinDelta[1] + c.SinDelta[NPanel]);
    }
}

void HESS_SurfaceSpeed(const PanelGeometry& c, const PanelSystem& system, const double* strength,
                       double CosAlfa, double SinAlfa, double* speed)
{
    // Free stream along the panel plus the sources and the vortex amplitude.
    for (int i = 1; i <= c.NPanel; ++i) {
        double v = CosAlfa * c.CosDelta[i] + SinAlfa * c.SinDelta[i];
        for (int j = 1; j <= c.NP; ++j) v = v + system.AT(i, j) * strength[j];
        speed[i] = v;
    }
}

}  // namespace tavrix
