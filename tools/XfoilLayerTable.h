// xfoil's converged boundary layer of one operating point (its DUMP file,
// written by tools/xfoil_layer_dump.sh), carried onto the stations of this
// program's coupling: a peer state to feed the coupling with; and one
// surface's converged states (tools/xfoil_layer_states.sh) put into this
// program's layer equations, interval by interval. Header only, shared by
// tools/coupling_from_xfoil.cpp, tools/layer_residuals.cpp and the tests.
//
// The dump lists the airfoil's nodes from the upper trailing edge over the
// nose to the lower trailing edge (s from 0, the edge speed signed: positive
// on the upper surface), then the wake from the trailing edge (x > 1).
#pragma once

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "viscous/IntegralLayer.h"
#include "viscous/InviscidCoupling.h"

namespace tavrix::xfoilpeer {

struct LayerRow {
    double s = 0, x = 0, y = 0, ue = 0, dstar = 0, theta = 0;
};

struct LayerTable {
    std::vector<LayerRow> airfoil, wake;
    bool ok() const { return airfoil.size() >= 3 && wake.size() >= 2; }
};

// The dump's rows, the first airfoilNodes of them the airfoil's.
inline LayerTable readLayerTable(const std::string& path, int airfoilNodes)
{
    LayerTable table;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream is(line);
        LayerRow r;
        if (!(is >> r.s >> r.x >> r.y >> r.ue >> r.dstar >> r.theta)) continue;
        if (static_cast<int>(table.airfoil.size()) < airfoilNodes) table.airfoil.push_back(r);
        else table.wake.push_back(r);
    }
    return table;
}

// The row at arc length s of a run of rows (s increasing), linear in s.
inline LayerRow rowAt(const std::vector<LayerRow>& rows, double s)
{
    if (s <= rows.front().s) return rows.front();
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i].s >= s) {
            const LayerRow &a = rows[i - 1], &b = rows[i];
            const double w = b.s > a.s ? (s - a.s) / (b.s - a.s) : 0.0;
            LayerRow r = a;
            r.s = s;
            r.x = a.x + w * (b.x - a.x);
            r.ue = a.ue + w * (b.ue - a.ue);
            r.dstar = a.dstar + w * (b.dstar - a.dstar);
            r.theta = a.theta + w * (b.theta - a.theta);
            return r;
        }
    return rows.back();
}

// xfoil's signed edge speed and mass defect at the coupling's stations, in
// the coupling's signs (q positive along the contour from the lower trailing
// edge, mTilde = q delta*). The airfoil's stations by their share of the
// contour's length (the two contours are the same nodes, walked the other
// way round), the wake's by the distance from the trailing edge.
struct PeerState {
    std::vector<double> q, mTilde;
};

inline PeerState peerState(const coupled::CouplingStations& st, const LayerTable& t)
{
    PeerState out;
    out.q.assign(static_cast<std::size_t>(st.size()), 0.0);
    out.mTilde = out.q;
    const double ours = st.s[static_cast<std::size_t>(st.nAirfoil - 1)];
    const double theirs = t.airfoil.back().s;
    for (int i = 0; i < st.nAirfoil; ++i) {
        const LayerRow r = rowAt(t.airfoil, (ours - st.s[static_cast<std::size_t>(i)]) * theirs / ours);
        out.q[static_cast<std::size_t>(i)] = r.ue;
        out.mTilde[static_cast<std::size_t>(i)] = r.ue * r.dstar;
    }
    std::vector<LayerRow> wake = t.wake;
    const double s0 = wake.front().s;
    for (LayerRow& r : wake) r.s -= s0;
    for (int k = 0; k < st.nWake; ++k) {
        const std::size_t i = static_cast<std::size_t>(st.nAirfoil + k);
        const LayerRow r = rowAt(wake, st.s[i]);
        out.q[i] = r.ue;
        out.mTilde[i] = r.ue * r.dstar;
    }
    return out;
}

// One surface's converged layer, station by station from the stagnation
// point (tools/xfoil_layer_states.sh): x/c, the arc length xi from the
// stagnation point, ue, theta, delta*, the kind, n or sqrt(C_tau), and the
// peer's own sqrt(C_tau,EQ).
struct LayerState {
    double x = 0, xi = 0, ue = 0, theta = 0, dstar = 0, c = 0, ctauEqRoot = 0;
    bool turbulent = false;
};

// The table's rows; empty where a row cannot be read or holds a state no
// layer has (a thickness or speed not positive).
inline std::vector<LayerState> readLayerStates(const std::string& path)
{
    std::vector<LayerState> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream is(line);
        LayerState s;
        std::string kind;
        if (!(is >> s.x >> s.xi >> s.ue >> s.theta >> s.dstar >> kind >> s.c >> s.ctauEqRoot) ||
            (kind != "L" && kind != "T") || !(s.theta > 0) || !(s.dstar > 0) || !(s.ue > 0))
            return {};
        s.turbulent = kind == "T";
        out.push_back(s);
    }
    return out;
}

// The residuals this program's discrete layer leaves on the interval from
// station a to the next (momentum, shape, amplification or shear lag), and
// for a transition interval the x/c of the transition point it puts there.
struct IntervalCheck {
    const LayerState* a = nullptr;
    const LayerState* b = nullptr;
    std::array<double, 3> residual{};
    double transitionX = std::numeric_limits<double>::quiet_NaN();
};

// Every interval from the fifth station on (the first lie about the
// stagnation point, where the two similarity starts differ in detail), but
// one that goes from turbulent back to laminar, which no layer here forms.
inline std::vector<IntervalCheck> layerResiduals(const std::vector<LayerState>& st, double re,
                                                 double ncrit)
{
    using namespace coupled;
    std::vector<IntervalCheck> out;
    for (std::size_t j = 4; j + 1 < st.size(); ++j) {
        const LayerState &a = st[j], &b = st[j + 1];
        if (a.turbulent && !b.turbulent) continue;
        IntervalSetup setup;
        setup.kindA = a.turbulent ? LayerKind::Turbulent : LayerKind::Laminar;
        setup.kindB = b.turbulent ? LayerKind::Turbulent : LayerKind::Laminar;
        setup.xiA = a.xi;
        setup.xiB = b.xi;
        setup.re = re;
        setup.ncrit = ncrit;
        const LayerVars<double> va{a.theta, a.dstar, a.c, a.ue}, vb{b.theta, b.dstar, b.c, b.ue};
        double xt = std::numeric_limits<double>::quiet_NaN();
        IntervalCheck c;
        c.a = &a;
        c.b = &b;
        c.residual = intervalResidual(va, vb, setup, &xt);
        if (!a.turbulent && b.turbulent && std::isfinite(xt))
            c.transitionX = a.x + (xt - a.xi) / (b.xi - a.xi) * (b.x - a.x);
        out.push_back(c);
    }
    return out;
}

// This program's sqrt(C_tau,EQ) of a turbulent station's state.
inline double equilibriumShearRoot(const LayerState& s, double re)
{
    const coupled::ClosureValues<double> c = coupled::evaluateClosures(
        coupled::LayerKind::Turbulent, s.theta, s.dstar, s.ue, s.c * s.c, re);
    return std::sqrt(c.ctauEq);
}

}  // namespace tavrix::xfoilpeer
