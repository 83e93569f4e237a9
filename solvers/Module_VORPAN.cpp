#include "solvers/Module_VORPAN.h"

#include <array>
#include <cmath>
#include <vector>

#include "solvers/PanelFrame.h"

namespace tavrix {

void VORPAN_AssembleMatrix(const PanelGeometry& c, PanelSystem& system)
{
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    Matrix& AN = system.AN;
    AN.redim(NPanel + 2);

    // For mid point I and panel J: CN1 and CT1 are the normal and tangential
    // velocities of a unit-strength uniform vortex sheet on panel J, CN2 the
    // normal velocity of a sheet growing linearly from 0 at its first end
    // point to 1 at its second.
    std::array<double, kMaxPoints + 1> CN1{};
    std::array<double, kMaxPoints + 1> CT1{};
    std::array<double, kMaxPoints + 1> CN2{};
    const std::vector<double> halfLength = halfLengths(c);

    // Per mid point, the frame of every panel first, in a loop without calls
    // that the compiler turns into vector code (each operation on the same
    // operands, so the same bits as one pair at a time); then the logarithms
    // and arctangents pair by pair. The quotient of the distances to the end
    // points is formed one panel ahead, so that its square roots and division
    // run while the previous panel's logarithm and arctangent are evaluated.
    using Row = std::array<double, kMaxPoints + 2>;
    Row XP{}, YP{}, Q{}, CDIJ{}, SDIJ{}, R1SQ{}, R2SQ{}, ARG{};
    const double Pi = kPi;
    const double TwoPi = 2 * kPi;
    const auto distanceRatio = [&](int J) { return std::sqrt(R1SQ[J]) / std::sqrt(R2SQ[J]); };

    for (int I = 1; I <= NPanel; ++I) {
        const double xm = c.XM[I];
        const double ym = c.YM[I];
        const double cosI = c.CosDelta[I];
        const double sinI = c.SinDelta[I];
        for (int J = 1; J <= NPanel; ++J) {
            const double H = halfLength[J];
            XP[J] = (xm - c.XM[J]) * c.CosDelta[J] + (ym - c.YM[J]) * c.SinDelta[J];
            YP[J] = (ym - c.YM[J]) * c.CosDelta[J] - (xm - c.XM[J]) * c.SinDelta[J];
            Q[J] = XP[J] * XP[J] + YP[J] * YP[J] - H * H;
            CDIJ[J] = cosI * c.CosDelta[J] + sinI * c.SinDelta[J];
            SDIJ[J] = sinI * c.CosDelta[J] - cosI * c.SinDelta[J];
            R1SQ[J] = (XP[J] + H) * (XP[J] + H) + YP[J] * YP[J];
            R2SQ[J] = (XP[J] - H) * (XP[J] - H) + YP[J] * YP[J];
            ARG[J] = (YP[J] * c.DS[J]) / Q[J];  // used only where Q is not 0
        }
        double ratio = distanceRatio(1);
        for (int J = 1; J <= NPanel; ++J) {
            const double ratioJ = ratio;
            if (J < NPanel) ratio = distanceRatio(J + 1);
            if (J == I) {
                // On its own panel a sheet only carries the flow along: the
                // velocity jumps by the strength across the sheet, half of it
                // on the flow side.
                CN1[J] = 0;
                CT1[J] = -0.5;
            } else {
                const double LN = std::log(ratioJ);
                const double beta = subtendedAngle(Q[J], YP[J], ARG[J], Pi);
                CN1[J] = (timesLog(CDIJ[J], LN) + SDIJ[J] * beta) / TwoPi;
                CT1[J] = (timesLog(SDIJ[J], LN) - CDIJ[J] * beta) / TwoPi;
            }
            CN2[J] = (CN1[J] * (halfLength[J] + XP[J])) / c.DS[J] - (CT1[J] * YP[J]) / c.DS[J] -
                     CDIJ[J] / TwoPi;
        }
        // Panel J contributes gamma(J) * (CN1 - CN2) + gamma(J+1) * CN2.
        AN(I, 1) = CN1[1] - CN2[1];
        for (int J = 2; J <= NPanel; ++J) AN(I, J) = (CN2[J - 1] + CN1[J]) - CN2[J];
        AN(I, NP) = CN2[NPanel];
    }

    // Kutta condition: the strengths at the two trailing-edge end points
    // cancel, so the flow leaves the edge smoothly.
    AN(NP, 1) = 1;
    AN(NP, NP) = 1;
}

void VORPAN_RightHandSide(const PanelGeometry& c, const PanelSystem&, double CosAlfa,
                          double SinAlfa, double* rhs)
{
    // Free stream along the flow-side normal of panel I, sin(alpha - delta).
    for (int I = 1; I <= c.NPanel; ++I) rhs[I] = SinAlfa * c.CosDelta[I] - CosAlfa * c.SinDelta[I];
}

void VORPAN_SurfaceSpeed(const PanelGeometry& c, const PanelSystem&, const double* strength,
                         double, double, double* speed)
{
    for (int I = 1; I <= c.NPanel; ++I) speed[I] = (strength[I] + strength[I + 1]) / 2;
}

}  // namespace tavrix
