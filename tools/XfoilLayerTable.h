// xfoil's converged boundary layer of one operating point (its DUMP file,
// written by tools/xfoil_layer_dump.sh), carried onto the stations of this
// program's coupling: a peer state to feed the coupling with. Header only,
// shared by tools/coupling_from_xfoil.cpp and the tests.
//
// The dump lists the airfoil's nodes from the upper trailing edge over the
// nose to the lower trailing edge (s from 0, the edge speed signed: positive
// on the upper surface), then the wake from the trailing edge (x > 1).
#pragma once

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

}  // namespace tavrix::xfoilpeer
