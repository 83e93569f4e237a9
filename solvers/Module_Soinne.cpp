#include "solvers/Module_Soinne.h"

#include <array>
#include <cmath>
#include <vector>

#include "solvers/PanelFrame.h"

namespace tavrix {

void Soinne_AssembleMatrix(const PanelGeometry& c, PanelSystem& system)
{
    const int NP = c.NP;
    const int NPanel = c.NPanel;
    Matrix& AN = system.AN;
    AN.redim(NP + 2);

    // Stream function at the field point of the linear sheet on panel J,
    // split into the weights of the strengths at its first (PS1) and second
    // (PS2) end point.
    std::array<double, kMaxPoints + 2> PS1{};
    std::array<double, kMaxPoints + 2> PS2{};
    // A logarithm of a vanishing distance is not taken: the factor beside it
    // is zero up to rounding, and the last value stands in.
    double L1 = 0;
    double L2 = 0;
    const std::vector<double> halfLength = halfLengths(c);

    // Per field point, the frame of every panel first, in a loop without calls
    // that the compiler turns into vector code (the same operations on the
    // same operands, so the same bits); then the logarithms and arctangents.
    // The distances to the end points are taken one panel ahead, so that their
    // square roots run while the previous panel's logarithms and arctangent
    // are evaluated.
    using Row = std::array<double, kMaxPoints + 2>;
    Row XPs{}, YPs{}, Qs{}, R1s{}, R2s{}, ARG{};
    const double Pi = kPi;
    const double FourPi = 4 * kPi;

    for (int I = 2; I <= NP; ++I) {
        const double x = c.X[I];
        const double y = c.Y[I];
        for (int J = 1; J <= NPanel; ++J) {
            const double H = halfLength[J];
            const double XP = (x - c.XM[J]) * c.CosDelta[J] + (y - c.YM[J]) * c.SinDelta[J];
            const double YP = (y - c.YM[J]) * c.CosDelta[J] - (x - c.XM[J]) * c.SinDelta[J];
            XPs[J] = XP;
            YPs[J] = YP;
            Qs[J] = XP * XP + YP * YP - H * H;
            R1s[J] = YP * YP + (XP + H) * (XP + H);
            R2s[J] = YP * YP + (XP - H) * (XP - H);
            ARG[J] = ((2 * YP) * H) / Qs[J];  // used only where Q is not 0
        }
        double nextR1 = std::sqrt(R1s[1]);
        double nextR2 = std::sqrt(R2s[1]);
        for (int J = 1; J <= NPanel; ++J) {
            const double XP = XPs[J];
            const double YP = YPs[J];
            const double H = halfLength[J];
            const double R1 = nextR1;
            const double R2 = nextR2;
            if (J < NPanel) {
                nextR1 = std::sqrt(R1s[J + 1]);
                nextR2 = std::sqrt(R2s[J + 1]);
            }
            if (R1 >= 1.0E-07) L1 = std::log(R1);
            if (R2 >= 1.0E-07) L2 = std::log(R2);
            const double beta = subtendedAngle(Qs[J], YP, ARG[J], Pi);
            // Integrals of ln r and of s ln r along the panel, s measured from
            // its mid point.
            const double P0 = ((XP + H) * L1 - (XP - H) * L2 - 2 * H) + YP * beta;
            const double P1 = (0.5 * ((XP * XP - YP * YP) - H * H)) * (L1 - L2) - XP * H +
                              (XP * YP) * beta;
            PS1[J] = (P0 - P1 / H) / FourPi;
            PS2[J] = (P0 + P1 / H) / FourPi;
        }
        // End point I gathers the second end of panel I-1 and the first end
        // of panel I; gamma(1) is fixed by its own row. Then the contour's
        // common stream function.
        for (int J = 2; J <= NP; ++J) AN(I, J) = -(PS2[J - 1] + PS1[J]);
        AN(I, NP + 1) = 1;
    }

    // Kutta condition: no vorticity at either trailing-edge end point.
    AN(1, 1) = 1;
    AN(NP + 1, NP) = 1;
}

void Soinne_RightHandSide(const PanelGeometry& c, const PanelSystem&, double CosAlfa,
                          double SinAlfa, double* rhs)
{
    // The free stream's stream function at the end point; the Kutta rows
    // keep 0.
    rhs[1] = 0;
    for (int I = 2; I <= c.NP; ++I) rhs[I] = c.Y[I] * CosAlfa - c.X[I] * SinAlfa;
    rhs[c.NP + 1] = 0;
}

void Soinne_SurfaceSpeed(const PanelGeometry& c, const PanelSystem&, const double* strength,
                         double, double, double* speed)
{
    for (int I = 1; I <= c.NPanel; ++I) speed[I] = (strength[I] + strength[I + 1]) / 2;
}

}  // namespace tavrix
