#include "solvers/Module_VORPAN.h"

#include <array>
#include <cmath>

#include "solvers/Capacity.h"
#include "solvers/PanelFrame.h"

namespace tavrix {

void VORPAN_AssembleMatrix(Common& c)
{
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    Matrix& AN = c.AN;
    AN.redim(NPanel + 2);
    c.AT.redim(NPanel + 2);

    // For mid point I and panel J: CN1 and CT1 are the normal and tangential
    // velocities of a unit-strength uniform vortex sheet on panel J, CN2 the
    // normal velocity of a sheet growing linearly from 0 at its first end
    // point to 1 at its second.
    std::array<double, kStrengthLast + 1> CN1{};
    std::array<double, kStrengthLast + 1> CT1{};
    std::array<double, kStrengthLast + 1> CN2{};
    const Table halfLength = halfLengths(c);

    for (int I = 1; I <= NPanel; ++I) {
        for (int J = 1; J <= NPanel; ++J) {
            const double H = halfLength[J];
            const PanelFrame f = panelFrame(c, c.XM[I], c.YM[I], J, H);
            const double XP = f.XP;
            const double YP = f.YP;
            const double CDIJ = c.CosDelta[I] * c.CosDelta[J] + c.SinDelta[I] * c.SinDelta[J];
            const double SDIJ = c.SinDelta[I] * c.CosDelta[J] - c.CosDelta[I] * c.SinDelta[J];
            if (J == I) {
                // On its own panel a sheet only carries the flow along: the
                // velocity jumps by the strength across the sheet, half of it
                // on the flow side.
                CN1[J] = 0;
                CT1[J] = -0.5;
            } else {
                const double R1 = std::sqrt((XP + H) * (XP + H) + YP * YP);
                const double R2 = std::sqrt((XP - H) * (XP - H) + YP * YP);
                const double LN = std::log(R1 / R2);
                const double beta = f.subtendedAngle(f.acrossTimesLength(c.DS[J]), c.Pi);
                CN1[J] = (timesLog(CDIJ, LN) + SDIJ * beta) / c.TwoPi;
                CT1[J] = (timesLog(SDIJ, LN) - CDIJ * beta) / c.TwoPi;
            }
            CN2[J] = (CN1[J] * (H + XP)) / c.DS[J] - (CT1[J] * YP) / c.DS[J] - CDIJ / c.TwoPi;
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

void VORPAN_RightHandSide(Common& c)
{
    // Free stream along the flow-side normal of panel I, sin(alpha - delta).
    for (int I = 1; I <= c.NPanel; ++I)
        c.AN(I, c.NP + 1) = c.SinAlfa * c.CosDelta[I] - c.CosAlfa * c.SinDelta[I];
}

void VORPAN_SurfaceSpeed(Common& c)
{
    for (int I = 1; I <= c.NPanel; ++I)
        c.Vt[I] = std::fabs(c.Strength[I] + c.Strength[I + 1]) / 2;
}

bool VORPAN_Solve(Common& c, ui::Toolkit& ui)
{
    if (!systemFits(c, ui, kMaxPointsPerSystem)) return false;
    for (int I = 1; I <= c.NP; ++I) c.Strength[I] = 0;
    VORPAN_AssembleMatrix(c);
    VORPAN_RightHandSide(c);
    if (!closingSequence(c, ui, c.NP)) return false;
    VORPAN_SurfaceSpeed(c);
    return true;
}

}  // namespace tavrix
