// A converged layer of a peer code put into this program's layer equations:
// the table of tools/xfoil_layer_states.sh (per station x/c, xi, ue, theta,
// delta*, kind, n or sqrt(C_tau), the peer's sqrt(C_tau,EQ)), and per
// interval the residuals of the momentum equation, the shape equation and
// the amplification or shear-lag equation that this program's discrete
// layer leaves on it. Where the two codes solve the same equations the same
// way, each residual is of the order of the table's rounding; an interval
// where one stands out is where they differ. For a transition interval the
// line gives the transition point this program's amplification puts into it;
// for each turbulent station, this program's sqrt(C_tau,EQ) of the peer's
// state against the peer's own.
//
//   layer_residuals STATES RE [NCRIT]   (NCRIT default 9)
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/XfoilLayerTable.h"

int main(int argc, char** argv)
{
    using namespace tavrix::xfoilpeer;
    if (argc < 3 || argc > 4) {
        std::fputs("usage: layer_residuals STATES RE [NCRIT]\n", stderr);
        return 2;
    }
    const double re = std::strtod(argv[2], nullptr);
    const double ncrit = argc == 4 ? std::strtod(argv[3], nullptr) : 9.0;
    if (!(re > 0) || !(ncrit > 0) || !std::isfinite(re) || !std::isfinite(ncrit)) {
        std::fputs("layer_residuals: RE and NCRIT must be positive numbers\n", stderr);
        return 2;
    }
    const std::vector<LayerState> states = readLayerStates(argv[1]);
    if (states.size() < 6) {
        std::fprintf(stderr, "layer_residuals: no table of a layer's states in %s\n", argv[1]);
        return 1;
    }
    std::printf("# x/c from  to     kinds  Hk from    to   momentum    shape  3rd eq.  (transition x/c)\n");
    for (const IntervalCheck& c : layerResiduals(states, re, ncrit)) {
        std::printf("%.5f %.5f  %c%c  %7.3f %7.3f  %+9.4f %+9.4f %+9.4f", c.a->x, c.b->x,
                    c.a->turbulent ? 'T' : 'L', c.b->turbulent ? 'T' : 'L', c.a->dstar / c.a->theta,
                    c.b->dstar / c.b->theta, c.residual[0], c.residual[1], c.residual[2]);
        if (std::isfinite(c.transitionX)) std::printf("  (%.5f)", c.transitionX);
        std::printf("\n");
    }
    std::printf("# turbulent stations: x/c, sqrt(C_tau,EQ) here and in the table\n");
    for (const LayerState& s : states)
        if (s.turbulent) std::printf("%.5f %.5f %.5f\n", s.x, equilibriumShearRoot(s, re), s.ctauEqRoot);
    return 0;
}
