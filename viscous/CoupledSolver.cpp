#include "viscous/CoupledSolver.h"

#include "viscous/CoupledNewtonSystem.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace tavrix::coupled {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Below this largest residual (the tolerance's order) the stagnation point
// is held where it is. Held from 1e-7 on, the step after the hold met a
// floor of about 1e-8 at the stagnation station and cost one more step: the
// point's arc length moves with the edge speeds to the end, its sensitivity
// in the Jacobian, and the rate stays quadratic.
constexpr double kFreezeStagnation = 1e-9;
// The backward error a Newton step is solved to: kForcing times the square
// of the largest residual, at most kLoosestStep. (At most 1e-6, NACA 2412 at
// Re 3e6 lost its points from 17 to 20 degrees, past the maximum lift,
// where the path of the iteration decides whether it converges.)
constexpr double kForcing = 1e-4;
constexpr double kLoosestStep = 1e-8;
// A station within a quarter of its interval of the stagnation point copies
// its neighbour's layer; its own edge speed enters the coupling alone, and
// may fall this far below zero when the point lies a little beyond it (the
// layout holds the interval while that speed is small: see the relocation).
// Held at a hair below zero, the coupling's row of the station could not be
// met where the point settles just past it, and the iteration stood still
// near the stall (NACA 2412 at Re 1e6, 18 to 20 degrees).
constexpr double kCopyUeFloor = -0.02;
// The reach of that copy, as a share of the stagnation interval, and the
// reach it keeps once the stations about the point have started or stopped
// copying kCopyFlips times within one interval. Where the point settles
// near a quarter of its interval, the Newton step with the copy put it at a
// third, the one without it at an eighth, and the iteration went round that
// cycle until its steps ran out (the Kennedy-Marsden coupling of the
// default press at 10 degrees and Re 3e6: residual 0.2 after 60 steps, 24
// flips). The wider reach from the first flip on moved many converged
// points within their transition band and lost as many angles as it gained;
// from the fourth on it still changed the path of a few long tries.
constexpr double kCopyNear = 0.25;
constexpr double kCopyLeave = 0.4;
constexpr int kCopyFlips = 8;
// Moves of the transition intervals allowed before they need the margin, and
// the margin in n (see classifyTransition). The margin is a band of
// hysteresis: a transition that converges inside it stays at the end of its
// interval from which the iteration came, and with half a unit of n that
// end hung on the path to the point (NACA 4415 at Re 3e6 and 3 degrees:
// lower transition 0.72 reached by half degrees, 0.78 by whole ones, where
// n grows slowly along the chord). With 0.3 the paths agree within 0.02
// chord; a narrower band lets more stations flip on the way (a fifth of a
// unit: 0.006 chord, but 10 to 40 % more Newton steps on NACA 4415).
constexpr int kFreeTransitionMoves = 6;
constexpr double kTransitionMargin = 0.3;
// A transition interval that has turned back this many times on its surface
// (downstream, then upstream, ...) is held where it is until the Newton
// iteration has converged with it, and moved only then. Near a trailing edge
// on short stations the laminar layer runs close to separation, its
// amplification grows quickly, and n upstream answers the interval's own
// place: judged on iterates far from convergence, the interval walked
// downstream a station per step and jumped back for good (NACA 0012 of 51
// points at Re 3e6, 9 and 10 degrees, lower transition at 0.996 to 0.999).
// Judged on a converged layer it moves only where the converged n asks for it.
constexpr int kTransitionTurns = 4;
// The first few steps of a warm start are taken (within the limits on the
// unknowns) even where they raise the residual, up to this factor: a warm
// start from neighbouring angles has its transition intervals a few
// stations from where they belong, and the step that moves one raises the
// residual of the station that changes kind before the iteration settles.
// A line search that asks for a fall from the first step on creeps there
// (steps of a tenth), and the attempt spends most of its iterations on it.
// (A fresh start, from a march far from the coupled flow, keeps its line
// search: taken freely, its first steps converge less often.)
constexpr int kFreeSteps = 4;
constexpr double kFreeGrowth = 30;
// An attempt whose largest residual has not halved in this many Newton
// steps, none of them longer than this fraction of Newton's, is given up.
constexpr int kStalledWindow = 10;
constexpr double kStalledFall = 0.5;
constexpr double kSliverStep = 0.1;
// The inviscid speed of a trailing edge with a finite angle falls towards
// its stagnation point over the last few panels, the faster the finer they
// are. A layer marched on that fall separates violently (theta grows as the
// speed ratio to the power H + 2): a first iterate far from the coupled
// flow, whose displacement removes the fall. A fresh start that fails is
// tried again from a march that holds, over this arc length (chords) before
// the edge, the edge speed of the last station ahead of it; only the first
// iterate changes, not the equations.
constexpr double kEdgeHoldArc = 0.02;

// How the stations are strung into layers for one stagnation point.
struct Layout {
    int nA = 0, nW = 0, n = 0;
    int stag = -1;
    double sStag = 0;
    std::vector<Side> side;
    std::vector<int> prev;       // upstream station on its layer; -1: similarity start; -2: wake
                                 // start; -3: at the stagnation point (copies station copyOf)
    std::vector<int> copyOf;
    std::vector<double> sigma;   // sign of q: -1 on the lower surface
    std::vector<double> xi;
    std::vector<int> lower, upper, wake;  // stations in marching order
    double tripXiUpper = kInfinity, tripXiLower = kInfinity;
};

double tripXi(const std::vector<int>& order, const Layout& L, const CouplingStations& st,
              double tripX)
{
    if (tripX > 1.0 + 1e-12 || order.empty()) return kInfinity;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int g = order[k];
        if (st.x[g] >= tripX) {
            if (k == 0) return L.xi[g];
            const int p = order[k - 1];
            const double w = (tripX - st.x[p]) / (st.x[g] - st.x[p]);
            return L.xi[p] + std::clamp(w, 0.0, 1.0) * (L.xi[g] - L.xi[p]);
        }
    }
    return kInfinity;
}

// Arc length of the stagnation point between stations k and k + 1 where the
// signed speed goes from q_k <= 0 to q_{k+1} > 0.
double stagnationArc(const CouplingStations& st, int k, double qk, double qk1)
{
    double w = qk1 - qk > 0 ? -qk / (qk1 - qk) : 0.5;
    w = std::clamp(w, 1e-3, 1 - 1e-3);
    return st.s[k] + w * (st.s[k + 1] - st.s[k]);
}

// The stations about the stagnation point and the layout around it. A
// station that copies its neighbour's layer in `held` (a layout of the same
// stagnation interval) goes on copying up to kCopyLeave of the interval
// (see kCopyFlips).
Layout makeLayout(const CouplingStations& st, int k, double sStag, const CoupledOptions& o,
                  const Layout* held = nullptr)
{
    Layout L;
    L.nA = st.nAirfoil;
    L.nW = st.nWake;
    L.n = st.size();
    L.stag = k;
    L.sStag = sStag;
    L.side.assign(L.n, Side::Wake);
    L.prev.assign(L.n, -1);
    L.sigma.assign(L.n, 1.0);
    L.xi.assign(L.n, 0.0);
    // A station within a quarter of its interval from the stagnation point
    // sits in the similarity region of constant theta and H: it copies the
    // state of the next station of its surface, where the layer starts, so
    // that no interval starts at a vanishing xi and ue.
    const double interval = st.s[k + 1] - st.s[k];
    const bool same = held && held->stag == k;
    const bool lowerCopied = same && held->copyOf[static_cast<std::size_t>(k)] >= 0;
    const bool upperCopied = same && held->copyOf[static_cast<std::size_t>(k + 1)] >= 0;
    const bool lowerAtStag =
        sStag - st.s[k] < (lowerCopied ? kCopyLeave : kCopyNear) * interval && k >= 3;
    const bool upperAtStag =
        st.s[k + 1] - sStag < (upperCopied ? kCopyLeave : kCopyNear) * interval && k + 1 <= L.nA - 4;
    L.copyOf.assign(L.n, -1);
    for (int j = k; j >= 0; --j) {
        L.side[j] = Side::Lower;
        L.sigma[j] = -1;
        L.xi[j] = std::max(sStag - st.s[j], 1e-9);
        const int first = lowerAtStag ? k - 1 : k;
        if (j > first) {
            L.prev[j] = -3;
            L.copyOf[j] = first;
            continue;
        }
        L.prev[j] = j == first ? -1 : j + 1;
        L.lower.push_back(j);
    }
    for (int j = k + 1; j < L.nA; ++j) {
        L.side[j] = Side::Upper;
        L.xi[j] = std::max(st.s[j] - sStag, 1e-9);
        const int first = upperAtStag ? k + 2 : k + 1;
        if (j < first) {
            L.prev[j] = -3;
            L.copyOf[j] = first;
            continue;
        }
        L.prev[j] = j == first ? -1 : j - 1;
        L.upper.push_back(j);
    }
    const double xiTE = 0.5 * (L.xi[0] + L.xi[L.nA - 1]);
    for (int j = L.nA; j < L.n; ++j) {
        L.xi[j] = xiTE + st.s[j];
        L.prev[j] = j == L.nA ? -2 : j - 1;
        L.wake.push_back(j);
    }
    L.tripXiUpper = tripXi(L.upper, L, st, o.tripUpperX);
    L.tripXiLower = tripXi(L.lower, L, st, o.tripLowerX);
    return L;
}

// The layout with the stagnation point moved within its interval: the same
// stations on each surface, their xi (and the trips') from sStag.
Layout shiftedLayout(const Layout& base, const CouplingStations& st, double sStag,
                     const CoupledOptions& o)
{
    Layout L = base;
    L.sStag = sStag;
    for (int j = 0; j < L.nA; ++j)
        L.xi[j] = L.side[j] == Side::Lower ? std::max(sStag - st.s[j], 1e-9)
                                           : std::max(st.s[j] - sStag, 1e-9);
    const double xiTE = 0.5 * (L.xi[0] + L.xi[L.nA - 1]);
    for (int j = L.nA; j < L.n; ++j) L.xi[j] = xiTE + st.s[j];
    L.tripXiUpper = tripXi(L.upper, L, st, o.tripUpperX);
    L.tripXiLower = tripXi(L.lower, L, st, o.tripLowerX);
    return L;
}

// The stagnation point within interval k from the edge speeds of the two
// stations on either side of it (ue growing linearly from the point on both
// sides), and its derivatives with respect to those speeds; zero where the
// point is held at the clamp near either station.
struct StagnationPlace {
    double s = 0, dsdUeLower = 0, dsdUeUpper = 0;
};

StagnationPlace stagnationPlace(const CouplingStations& st, int k, double ueLower, double ueUpper)
{
    StagnationPlace p;
    p.s = stagnationArc(st, k, -ueLower, ueUpper);
    const double sum = ueLower + ueUpper;
    if (!(sum > 0)) return p;
    const double w = ueLower / sum;
    if (w <= 1e-3 || w >= 1 - 1e-3) return p;
    const double ds = st.s[k + 1] - st.s[k];
    p.dsdUeLower = ds * ueUpper / (sum * sum);
    p.dsdUeUpper = -ds * ueLower / (sum * sum);
    return p;
}

LayerKind kindOf(const Layout& L, const std::vector<char>& turbulent, int g)
{
    if (L.side[g] == Side::Wake) return LayerKind::Wake;
    return turbulent[g] ? LayerKind::Turbulent : LayerKind::Laminar;
}

IntervalSetup intervalSetup(const Layout& L, const std::vector<char>& turbulent, int a, int b,
                          const CoupledOptions& o)
{
    IntervalSetup setup;
    setup.kindA = kindOf(L, turbulent, a);
    setup.kindB = kindOf(L, turbulent, b);
    setup.xiA = L.xi[a];
    setup.xiB = L.xi[b];
    setup.re = o.re;
    setup.ncrit = o.ncrit;
    setup.tripXi = L.side[b] == Side::Upper   ? L.tripXiUpper
                  : L.side[b] == Side::Lower ? L.tripXiLower
                                             : kInfinity;
    return setup;
}

// The signed speed the coupling gives for the current state.
std::vector<double> speedOfState(const CouplingStations& st, const Layout& L,
                                 const std::vector<LayerVars<double>>& v,
                                 const std::vector<double>& qInv)
{
    const int n = L.n;
    std::vector<double> mt(n);
    for (int j = 0; j < n; ++j) mt[j] = L.sigma[j] * v[j].ue * v[j].dstar;
    std::vector<double> q(qInv.begin(), qInv.end());
    for (int i = 0; i < n; ++i) {
        const double* row = st.D.data() + static_cast<std::size_t>(i) * n;
        double s = 0;
        for (int j = 0; j < n; ++j) s += row[j] * mt[j];
        q[i] += s;
    }
    return q;
}

// The angle of attack as an unknown (CL-prescribed runs): its value and the
// derivative of the inviscid speed with respect to it (per radian).
struct AngleUnknown {
    double alphaDeg = 0;
    std::vector<double> dqda;
};

// The inviscid speed at an angle from the stations' speed and its derivative
// at their angle: q = A cos(alpha) + B sin(alpha), exactly.
void inviscidAt(const CouplingStations& st, double alphaDeg, std::vector<double>& q,
                std::vector<double>& dqda)
{
    const double a0 = st.alphaDeg * M_PI / 180, a = alphaDeg * M_PI / 180;
    const std::size_t n = st.qInviscid.size();
    q.resize(n);
    dqda.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double q0 = st.qInviscid[i], d0 = i < st.dqdAlpha.size() ? st.dqdAlpha[i] : 0.0;
        const double A = q0 * std::cos(a0) - d0 * std::sin(a0);
        const double B = q0 * std::sin(a0) + d0 * std::cos(a0);
        q[i] = A * std::cos(a) + B * std::sin(a);
        dqda[i] = -A * std::sin(a) + B * std::cos(a);
    }
}

// The layer residuals are evaluated on dual numbers: with the derivatives
// with respect to the unknowns of the two stations of a row (8), or the
// three of the start of the wake (12), for the Jacobian; with none for the
// residual alone, whose values are the same to the bit.
template <int N>
LayerVars<Dual<N>> typedVars(const LayerVars<double>& v, int offset)
{
    if constexpr (N == 0) {
        (void)offset;
        return {Dual<0>(v.theta), Dual<0>(v.dstar), Dual<0>(v.c), Dual<0>(v.ue)};
    } else {
        return {Dual<N>::variable(v.theta, offset), Dual<N>::variable(v.dstar, offset + 1),
                Dual<N>::variable(v.c, offset + 2), Dual<N>::variable(v.ue, offset + 3)};
    }
}

// Residuals, and with J the Jacobian (the layer rows, the coupling rows'
// unit diagonal and the angle's row and column as entries, the interaction
// by D and the state), of the whole system.
template <bool withJacobian>
void assembleWith(const CouplingStations& st, const Layout& L,
                  const std::vector<LayerVars<double>>& v, const std::vector<char>& turbulent,
                  const CoupledOptions& o, const std::vector<double>& qInv,
                  const AngleUnknown* angle, Eigen::VectorXd& R, NewtonSystem* J,
                  const std::vector<double>* speed)
{
    const int n = L.n;
    const int size = 4 * n + (angle ? 1 : 0);
    R.setZero(size);
    if (J) {
        J->stations = n;
        J->airfoilStations = L.nA;
        J->size = size;
        J->rows.clear();
        J->columns.clear();
        J->values.clear();
        J->left.clear();
        J->right.clear();
        const std::size_t expected = 40 * static_cast<std::size_t>(n) + 3;
        J->rows.reserve(expected);
        J->columns.reserve(expected);
        J->values.reserve(expected);
        J->influence = st.D.data();
        J->sigma = L.sigma;
        J->ue.resize(n);
        J->dstar.resize(n);
        for (int j = 0; j < n; ++j) {
            J->ue[j] = v[j].ue;
            J->dstar[j] = v[j].dstar;
        }
    }
    constexpr int N2 = withJacobian ? 8 : 0, N3 = withJacobian ? 12 : 0;
    using T2 = Dual<N2>;
    using T3 = Dual<N3>;
    auto put = [&](int g, const auto& r, std::initializer_list<int> stations) {
        for (int e = 0; e < 3; ++e) {
            R[4 * g + e] = r[e].v;
            if constexpr (withJacobian) {
                if (!J) continue;
                int slot = 0;
                for (int s : stations) {
                    for (int k = 0; k < 4; ++k) J->add(4 * g + e, 4 * s + k, r[e].d[4 * slot + k]);
                    ++slot;
                }
            } else {
                (void)stations;
            }
        }
    };
    for (int g = 0; g < n; ++g) {
        const int p = L.prev[g];
        if (p >= 0) {
            const IntervalSetup setup = intervalSetup(L, turbulent, p, g, o);
            put(g, intervalResidual(typedVars<N2>(v[p], 0), typedVars<N2>(v[g], 4), setup), {p, g});
        } else if (p == -3) {
            const int c = L.copyOf[g];
            const LayerVars<T2> vg = typedVars<N2>(v[g], 0), vc = typedVars<N2>(v[c], 4);
            put(g, std::array<T2, 3>{log(vg.theta / vc.theta), log(vg.dstar / vc.dstar), vg.c}, {g, c});
        } else if (p == -1) {
            // The next station downstream gives the exponent of ue = K xi^m.
            const std::vector<int>& order = L.side[g] == Side::Lower ? L.lower : L.upper;
            const int nx = order.size() > 1 ? order[1] : g;
            const LayerVars<T2> vg = typedVars<N2>(v[g], 0), vn = typedVars<N2>(v[nx], 4);
            const T2 m = nx != g && L.xi[nx] > L.xi[g]
                             ? startExponent(vg.ue, L.xi[g], vn.ue, L.xi[nx])
                             : T2(1.0);
            if (nx != g) put(g, similarityResidual(vg, L.xi[g], o.re, m), {g, nx});
            else put(g, similarityResidual(vg, L.xi[g], o.re, m), {g});
        } else {
            const int u = L.nA - 1, l = 0;
            const LayerVars<T3> vu = typedVars<N3>(v[u], 0), vl = typedVars<N3>(v[l], 4),
                                vw = typedVars<N3>(v[g], 8);
            const LayerVars<T3> start = wakeStart(vu, turbulent[u] != 0, vl, turbulent[l] != 0,
                                                  st.trailingEdgeGap, o.re);
            std::array<T3, 3> r;
            if (st.s[g] < 1e-9) {
                r[0] = log(vw.theta / start.theta);
                r[1] = log(vw.dstar / start.dstar);
                r[2] = log(vw.c / start.c);
            } else {
                const double xiTE = L.xi[g] - st.s[g];
                r = segmentResidual(LayerKind::Wake, start, xiTE, T3(xiTE), vw, T3(L.xi[g]), o.re);
            }
            put(g, r, {u, l, g});
        }
    }
    // Coupling: ue_i - sigma_i (qInviscid_i + sum_j D_ij sigma_j ue_j delta*_j) = 0.
    const std::vector<double> q = speed ? *speed : speedOfState(st, L, v, qInv);
    if (angle) {
        // The angle's row, CL(q, alpha) - target with q = sigma ue at the
        // airfoil stations, and its column in the coupling rows.
        std::vector<double> qa(L.nA);
        for (int i = 0; i < L.nA; ++i) qa[i] = L.sigma[i] * v[i].ue;
        const double cl = o.liftOf(qa, angle->alphaDeg);
        R[4 * n] = cl - *o.targetCl;
        if (J) {
            for (int i = 0; i < L.nA; ++i) {
                const double h = 1e-7 * std::max(std::abs(qa[i]), 1e-2);
                std::vector<double> qp = qa, qm = qa;
                qp[i] += h;
                qm[i] -= h;
                J->add(4 * n, 4 * i + 3,
                       (o.liftOf(qp, angle->alphaDeg) - o.liftOf(qm, angle->alphaDeg)) / (2 * h) *
                           L.sigma[i]);
            }
            const double ha = 1e-6;
            J->add(4 * n, 4 * n,
                   (o.liftOf(qa, angle->alphaDeg + ha * 180 / M_PI) -
                    o.liftOf(qa, angle->alphaDeg - ha * 180 / M_PI)) / (2 * ha));
            for (int i = 0; i < n; ++i) J->add(4 * i + 3, 4 * n, -L.sigma[i] * angle->dqda[i]);
        }
    }
    for (int i = 0; i < n; ++i) {
        R[4 * i + 3] = v[i].ue - L.sigma[i] * q[i];
        if (J) J->add(4 * i + 3, 4 * i + 3, 1.0);
    }
    if (J) J->residual.assign(R.data(), R.data() + size);
}

void assemble(const CouplingStations& st, const Layout& L, const std::vector<LayerVars<double>>& v,
              const std::vector<char>& turbulent, const CoupledOptions& o,
              const std::vector<double>& qInv, const AngleUnknown* angle, Eigen::VectorXd& R,
              NewtonSystem* J, const std::vector<double>* speed = nullptr)
{
    if (J) assembleWith<true>(st, L, v, turbulent, o, qInv, angle, R, J, speed);
    else assembleWith<false>(st, L, v, turbulent, o, qInv, angle, R, nullptr, speed);
}

// Whether the entries and rank-one terms of J are finite (the interaction's
// part is, with D and the state).
bool jacobianFinite(const NewtonSystem& J)
{
    auto finite = [](const std::vector<double>& x) {
        return std::all_of(x.begin(), x.end(), [](double e) { return std::isfinite(e); });
    };
    if (!finite(J.values)) return false;
    for (std::size_t k = 0; k < J.left.size(); ++k)
        if (!finite(J.left[k]) || !finite(J.right[k])) return false;
    return true;
}

double sqrtTransitionCtau(const LayerVars<double>& v, double re)
{
    const StationClosures c = stationClosures(LayerKind::Turbulent, v, re);
    return std::sqrt(std::max(transitionCtau(c.hk, c.ctauEq), 1e-8));
}

// The place in its marching order of a surface's first turbulent station
// (the first is the laminar similarity start); the surface's length where
// it is laminar throughout.
int firstTurbulent(const std::vector<int>& order, const std::vector<char>& turbulent)
{
    const int m = static_cast<int>(order.size());
    for (int k = 1; k < m; ++k)
        if (turbulent[order[k]]) return k;
    return m;
}

// Where the stagnation point and the two transition intervals sit: the
// first turbulent station of each surface in its marching order.
struct Placement {
    int stag, lower, upper;
    bool operator==(const Placement&) const = default;
};

Placement placementOf(const Layout& L, const std::vector<char>& turbulent)
{
    return {L.stag, firstTurbulent(L.lower, turbulent), firstTurbulent(L.upper, turbulent)};
}

// Moves the transition interval of one surface to where n reaches Ncrit (or
// the trip). A laminar station is made turbulent once its n is `margin`
// beyond Ncrit, and the first turbulent station laminar again once the
// amplification there falls 0.1 + margin short of it: with margin 0 the
// interval follows n = Ncrit to the station; a margin lets the transition
// interval itself carry a transition point that sits on one of its ends
// (n of the laminar end a little past Ncrit puts it at that end), which stops
// a station near Ncrit from flipping between the two kinds at every step.
// With laminarShape, a station made laminar again takes the shape factor of
// the laminar station before it. Returns whether anything changed.
bool classifyTransition(const Layout& L, const std::vector<int>& order, double tripXi,
                        std::vector<LayerVars<double>>& v, std::vector<char>& turbulent,
                        const CoupledOptions& o, double margin, bool laminarShape)
{
    const int m = static_cast<int>(order.size());
    const int t0 = firstTurbulent(order, turbulent);
    int t1 = t0;
    // Upstream: a laminar station already past Ncrit or the trip.
    // (The first station is the laminar similarity start.)
    for (int k = 1; k < t0; ++k) {
        const int g = order[k];
        if (v[g].c >= o.ncrit + margin || L.xi[g] > tripXi) {
            t1 = k;
            break;
        }
    }
    // Downstream: the first turbulent station not yet reached by n = Ncrit
    // becomes laminar (one station per step: the stations after it hold
    // sqrt(C_tau), not n).
    if (t1 == t0) {
        if (t1 < m && t1 > 0) {
            const int a = order[t1 - 1], b = order[t1];
            IntervalSetup setup;
            setup.xiA = L.xi[a];
            setup.xiB = L.xi[b];
            setup.re = o.re;
            setup.ncrit = o.ncrit;
            const double nb = amplificationAt(v[a], v[b], setup, L.xi[b]);
            // (A margin: the laminar interval's own n at b differs a little
            // from this estimate, and the station must not flip back.)
            if (nb < o.ncrit - 0.1 - margin && L.xi[b] < tripXi) {
                v[b].c = nb;
                if (laminarShape) v[b].dstar = v[b].theta * (v[a].dstar / v[a].theta);
                turbulent[b] = 0;
                ++t1;
            }
        }
    }
    bool changed = t1 != t0;
    for (int k = 0; k < m; ++k) {
        const int g = order[k];
        const bool turb = k >= t1;
        if (turb && !turbulent[g]) v[g].c = sqrtTransitionCtau(v[g], o.re);
        turbulent[g] = turb;
    }
    return changed;
}

// The layers marched on the inviscid speed: the first iterate.
void initialise(const CouplingStations& st, const Layout& L, const CoupledOptions& o,
                const std::vector<double>& speed, bool holdEdge, std::vector<LayerVars<double>>& v,
                std::vector<char>& turbulent)
{
    v.assign(L.n, LayerVars<double>{});
    turbulent.assign(L.nA, 0);
    auto marchSurface = [&](const std::vector<int>& order, double trip) {
        std::vector<double> xi, ue;
        for (int g : order) {
            xi.push_back(L.xi[g]);
            ue.push_back(std::max(std::abs(speed[g]), 1e-3));
        }
        if (holdEdge) {
            std::size_t held = xi.size();
            while (held > 1 && xi.back() - xi[held - 1] < kEdgeHoldArc) --held;
            for (std::size_t k = held; k < xi.size(); ++k) ue[k] = ue[held - 1];
        }
        MarchOptions mo;
        mo.re = o.re;
        mo.ncrit = o.ncrit;
        mo.tripXi = trip;
        const MarchResult r = marchLayer(xi, ue, mo);
        for (std::size_t k = 0; k < order.size(); ++k) {
            v[order[k]] = r.stations[k].v;
            turbulent[order[k]] = r.stations[k].kind != LayerKind::Laminar;
        }
    };
    marchSurface(L.lower, L.tripXiLower);
    marchSurface(L.upper, L.tripXiUpper);
    for (int g = 0; g < L.nA; ++g)
        if (L.copyOf[g] >= 0) {
            v[g] = v[L.copyOf[g]];
            v[g].ue = std::max(std::abs(speed[g]), 1e-3);
        }
    if (L.nW == 0) return;
    const int u = L.nA - 1, l = 0;
    const LayerVars<double> start =
        wakeStart(v[u], turbulent[u] != 0, v[l], turbulent[l] != 0, st.trailingEdgeGap, o.re);
    std::vector<double> xi{L.xi[L.nA] - st.s[L.nA]}, ue{start.ue};
    for (int g : L.wake) {
        xi.push_back(L.xi[g]);
        ue.push_back(std::max(std::abs(speed[g]), 1e-3));
    }
    MarchOptions mo;
    mo.re = o.re;
    mo.wake = true;
    mo.start = start;
    mo.hkMaxTurbulent = 3.0;
    const bool atEdge = st.s[L.nA] < 1e-9;
    if (atEdge) {
        xi.erase(xi.begin());
        ue.erase(ue.begin());
    }
    const MarchResult r = marchLayer(xi, ue, mo);
    for (std::size_t k = 0; k < L.wake.size(); ++k)
        v[L.wake[k]] = r.stations[k + (atEdge ? 0 : 1)].v;
}

// Finds the stagnation interval (q_k <= 0 < q_{k+1}) nearest to `near`.
int findStagnation(const std::vector<double>& q, int nA, int near)
{
    int best = -1;
    for (int k = 0; k + 1 < nA; ++k)
        if (q[k] <= 0 && q[k + 1] > 0 && (best < 0 || std::abs(k - near) < std::abs(best - near)))
            best = k;
    return best;
}

std::string whereText(const Layout& L, const CouplingStations& st, int g)
{
    std::ostringstream os;
    os.precision(3);
    os << (L.side[g] == Side::Upper ? "upper surface" : L.side[g] == Side::Lower ? "lower surface" : "wake")
       << " at x/c = " << std::fixed << st.x[g];
    return os.str();
}

// The first station where the edge speed or the momentum thickness zigzags
// along a surface or the wake. (Not the shape factor: ahead of transition,
// where the layer nears laminar separation, it wiggles by a few per cent in
// xfoil's layer as well.)
std::optional<int> zigzagStation(const Layout& L, const std::vector<LayerVars<double>>& v)
{
    for (const std::vector<int>* order : {&L.lower, &L.upper, &L.wake}) {
        std::vector<double> ue, theta;
        for (int g : *order) {
            ue.push_back(v[g].ue);
            theta.push_back(v[g].theta);
        }
        for (const std::vector<double>* run : {&ue, &theta})
            if (const std::optional<std::size_t> k = firstZigzag(*run)) return (*order)[*k];
    }
    return std::nullopt;
}

bool finiteState(const std::vector<LayerVars<double>>& v)
{
    for (const auto& s : v)
        if (!std::isfinite(s.theta) || !std::isfinite(s.dstar) || !std::isfinite(s.c) ||
            !std::isfinite(s.ue))
            return false;
    return true;
}

void fillResults(const CouplingStations& st, const Layout& L, const std::vector<LayerVars<double>>& v,
                 const std::vector<char>& turbulent, const CoupledOptions& o, CoupledResult& res)
{
    const double ca = std::cos(res.alphaDeg * M_PI / 180), sa = std::sin(res.alphaDeg * M_PI / 180);
    res.stations.assign(L.n, StationResult{});
    res.q.assign(L.nA, 0.0);
    for (int g = 0; g < L.n; ++g) {
        const LayerKind kind = kindOf(L, turbulent, g);
        const StationClosures c = stationClosures(kind, v[g], o.re);
        StationResult& s = res.stations[g];
        s.side = L.side[g];
        s.x = st.x[g];
        s.y = st.y[g];
        s.xi = L.side[g] == Side::Wake ? st.s[g] : L.xi[g];
        // (a station on the stagnation point may hold a vanishing speed of
        // either sign: it is reported as none)
        s.ue = std::max(v[g].ue, 0.0);
        s.q = L.sigma[g] * s.ue;
        s.theta = v[g].theta;
        s.dstar = v[g].dstar;
        s.H = v[g].dstar / v[g].theta;
        s.cf = c.cf;
        s.turbulent = kind != LayerKind::Laminar;
        s.n = s.turbulent ? 0 : v[g].c;
        s.ctau = s.turbulent ? v[g].c * v[g].c : 0;
        if (g < L.nA) res.q[g] = s.q;
    }
    res.qPanels = panelMidSpeeds(st, res.q);
    res.circulationLift = 0;
    for (int g = 0; g + 1 < L.nA; ++g)
        res.circulationLift += (res.q[g] + res.q[g + 1]) * (st.s[g + 1] - st.s[g]);
    // Friction drag: the wall shear projected on the free-stream direction.
    res.cdf = 0;
    for (const auto* order : {&L.lower, &L.upper}) {
        for (std::size_t k = 1; k < order->size(); ++k) {
            const int a = (*order)[k - 1], b = (*order)[k];
            const double ta = res.stations[a].cf * v[a].ue * v[a].ue;
            const double tb = res.stations[b].cf * v[b].ue * v[b].ue;
            const double dx = (st.x[b] - st.x[a]) * ca + (st.y[b] - st.y[a]) * sa;
            res.cdf += 0.5 * (ta + tb) * dx;
        }
    }
    // Squire-Young at the end of the wake (or of the trailing edge without one).
    if (L.nW > 0) {
        const LayerVars<double>& e = v[L.n - 1];
        res.cd = 2 * e.theta * std::pow(e.ue, 0.5 * (e.dstar / e.theta + 5));
    } else {
        const LayerVars<double> w = wakeStart(v[L.nA - 1], turbulent[L.nA - 1] != 0, v[0],
                                              turbulent[0] != 0, st.trailingEdgeGap, o.re);
        res.cd = 2 * w.theta * std::pow(w.ue, 0.5 * (w.dstar / w.theta + 5));
    }
    res.cdp = res.cd - res.cdf;
    // Transition and separation of each surface.
    for (int sideIndex = 0; sideIndex < 2; ++sideIndex) {
        const std::vector<int>& order = sideIndex == 0 ? L.lower : L.upper;
        std::optional<double>& tr = sideIndex == 0 ? res.transitionLower : res.transitionUpper;
        std::optional<double>& sep = sideIndex == 0 ? res.separationLower : res.separationUpper;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const int g = order[k];
            if (!tr && turbulent[g]) {
                if (k == 0) {
                    tr = st.x[g];
                } else {
                    const int a = order[k - 1];
                    double xt = L.xi[g];
                    intervalResidual(v[a], v[g], intervalSetup(L, turbulent, a, g, o), &xt);
                    const double w = std::clamp((xt - L.xi[a]) / (L.xi[g] - L.xi[a]), 0.0, 1.0);
                    tr = st.x[a] + w * (st.x[g] - st.x[a]);
                }
            }
            if (!sep && k > 0 && res.stations[g].cf < 0) {
                const int a = order[k - 1];
                const double ca0 = res.stations[a].cf, cb = res.stations[g].cf;
                const double w = ca0 > 0 ? ca0 / (ca0 - cb) : 0.0;
                sep = st.x[a] + w * (st.x[g] - st.x[a]);
            }
        }
    }
}

}  // namespace

std::optional<std::size_t> firstZigzag(const std::vector<double>& speed)
{
    // Values below a twentieth of the run's largest (edge speeds by the
    // stagnation point) are judged against that twentieth.
    double largest = 0;
    for (double x : speed) largest = std::max(largest, std::abs(x));
    const double floor = 0.05 * largest;
    int run = 0;
    double last = 0, previous = 0;
    for (std::size_t k = 1; k < speed.size(); ++k) {
        const double d = speed[k] - speed[k - 1];
        const double scale = std::max(std::abs(speed[k]), floor);
        const bool large = std::abs(d) > 0.005 * scale;
        run = large && last != 0 && d * last < 0 ? run + 1 : (large ? 1 : 0);
        // A jump of a fifth of the value and straight back.
        if (d * previous < 0 && std::abs(d) > 0.2 * scale &&
            std::abs(previous) > 0.2 * std::max(std::abs(speed[k - 1]), floor))
            return k;
        last = large ? d : 0;
        previous = d;
        if (run >= 4) return k;
    }
    return std::nullopt;
}

namespace {

// The Newton iteration from a warm start, or from the layers marched on the
// inviscid speed (with holdEdge, held before the trailing edge); with
// laminarShape, a station the transition leaves takes the laminar shape
// (see classifyTransition).
CoupledResult solveFrom(const CouplingStations& st, const CoupledOptions& o,
                        const CoupledState* warm, bool holdEdge, NewtonSolver& newton,
                        bool laminarShape)
{
    CoupledResult res;
    const int nA = st.nAirfoil, n = st.size();
    const std::size_t nn = static_cast<std::size_t>(std::max(n, 0));
    if (nA < 6 || st.nWake < 0 || st.x.size() != nn || st.y.size() != nn || st.s.size() != nn ||
        st.qInviscid.size() != nn || st.D.size() != nn * nn || !(o.re > 0) || !(o.ncrit > 0)) {
        res.reason = "the stations of the coupling are incomplete";
        return res;
    }
    for (std::size_t i = 0; i < nn; ++i)
        if (!std::isfinite(st.qInviscid[i]) || !std::isfinite(st.s[i])) {
            res.reason = "the inviscid speed is not finite";
            return res;
        }

    std::vector<LayerVars<double>> v;
    std::vector<char> turbulent;
    int k = -1;
    bool warmStarted = false;
    const bool warmFits = warm && warm->valid() && static_cast<int>(warm->vars.size()) == n &&
                          static_cast<int>(warm->turbulent.size()) == nA &&
                          warm->stagnation < nA - 3 && warm->stagnation >= 2;
    // Where the inviscid flow has no stagnation point on the contour, or has
    // it at the trailing edge, there is no room for the layers, whatever the
    // start (a neighbouring angle's layers as much as a march).
    k = findStagnation(st.qInviscid, nA, warmFits ? warm->stagnation : nA / 2);
    if (warmFits && k >= 2 && k <= nA - 4) {
        v = warm->vars;
        turbulent = warm->turbulent;
        k = warm->stagnation;
        warmStarted = true;
    }
    if (k < 0) {
        res.reason = "no stagnation point on the contour";
        return res;
    }
    if (k < 2 || k > nA - 4) {
        res.reason = "the stagnation point lies at the trailing edge, with no room for a layer";
        return res;
    }
    const std::vector<double>& q0 = st.qInviscid;
    std::vector<double> qInv = q0;
    std::optional<AngleUnknown> angle;
    if (o.targetCl && o.liftOf) {
        if (st.dqdAlpha.size() != nn || !std::isfinite(*o.targetCl)) {
            res.reason = "the speed's derivative with respect to the angle is missing";
            return res;
        }
        angle = AngleUnknown{st.alphaDeg, {}};
        inviscidAt(st, st.alphaDeg, qInv, angle->dqda);
    }
    AngleUnknown* angleUnknown = angle ? &*angle : nullptr;
    Layout L = makeLayout(st, k, stagnationArc(st, k, q0[k], q0[k + 1]), o);
    if (v.empty()) {
        // The layers marched on the inviscid speed, then a few passes marched
        // on the speed their displacement gives (half of the change each
        // time): near the nose the displacement moves the stagnation point
        // and the speeds well away from the inviscid ones.
        std::vector<double> speed = q0;
        initialise(st, L, o, speed, holdEdge, v, turbulent);
        double qMax = 0;
        for (double x : q0) qMax = std::max(qMax, std::abs(x));
        for (int pass = 0; pass < 3 && finiteState(v); ++pass) {
            const std::vector<double> q = speedOfState(st, L, v, qInv);
            std::vector<double> next(n);
            bool sane = true;
            for (int i = 0; i < n; ++i) {
                next[i] = 0.5 * (speed[i] + q[i]);
                sane = sane && std::isfinite(next[i]) && std::abs(next[i]) < 1.5 * qMax + 0.5;
            }
            const int k1 = findStagnation(next, nA, L.stag);
            // A march that separates strongly can give wild speeds: keep
            // the last start then.
            if (!sane || k1 < 2 || k1 > nA - 4) break;
            const Layout L1 = makeLayout(st, k1, stagnationArc(st, k1, next[k1], next[k1 + 1]), o);
            std::vector<LayerVars<double>> v1;
            std::vector<char> t1;
            initialise(st, L1, o, next, holdEdge, v1, t1);
            if (!finiteState(v1)) break;
            speed = std::move(next);
            L = L1;
            v = std::move(v1);
            turbulent = std::move(t1);
        }
    }
    if (!finiteState(v)) {
        res.reason = "the layer could not be started on the inviscid speed";
        return res;
    }

    if (warmStarted) {
        // The neighbour's layers on this angle's speeds: the edge speeds
        // start from what the coupling gives for their displacement.
        const std::vector<double> q = speedOfState(st, L, v, qInv);
        for (int j = 0; j < n; ++j) v[j].ue = std::max(L.sigma[j] * q[j], 1e-3);
    }

    Eigen::VectorXd R;
    NewtonSystem J;
    const bool influenceFinite =
        std::all_of(st.D.begin(), st.D.end(), [](double x) { return std::isfinite(x); });
    std::vector<LayerVars<double>> lastGood = v;
    double rmax = kInfinity;
    int worst = 0;
    int transitionMoves = 0;
    // Per surface (lower, upper): the first turbulent station's place in its
    // marching order, the direction of its last move and the turns so far.
    struct TransitionWalk {
        int place = -1, direction = 0, turns = 0;
    };
    std::array<TransitionWalk, 2> walks{};
    bool transitionHeld = false;
    // The placements of the intervals at which a layer of this try
    // converged and was then reclassified.
    std::vector<Placement> convergedPlacements;
    std::vector<double> relaxations;  // each step's factor
    // The coupling's speed of the state when the line search has it.
    std::vector<double> trialSpeed;
    bool haveSpeed = false;
    int copyFlips = 0;
    for (int it = 0; it <= o.maxIterations; ++it) {
        // Relocate the stagnation point and the transition intervals.
        bool changed = false;
        const std::vector<double> q =
            haveSpeed ? std::move(trialSpeed) : speedOfState(st, L, v, qInv);
        haveSpeed = false;
        int k1 = findStagnation(q, nA, L.stag);
        {
            // A stagnation point that sits on a station (a symmetric section
            // at no incidence has it on the nose point, where q vanishes to
            // rounding) stays in its interval while the sign of that speed
            // flickers: moving it to and fro would change the layout at
            // every step.
            if (std::abs(k1 - L.stag) == 1 && L.stag >= 2 && L.stag <= nA - 4) {
                const int j = std::max(k1, L.stag);  // the station between the two intervals
                if (std::abs(q[j]) < 0.1 * std::min(std::abs(q[j - 1]), std::abs(q[j + 1])))
                    k1 = L.stag;
            }
        }
        bool stagnationMoves = false;
        bool relocated = false;  // stations changed surface, edge speeds restarted
        if (k1 >= 2 && k1 <= nA - 4 && (k1 != L.stag || rmax > kFreezeStagnation)) {
            stagnationMoves = true;
            if (k1 != L.stag) {
                changed = true;
                relocated = true;
                // Stations that change surface start from the state of the
                // first station of the surface they join.
                const int from = k1 > L.stag ? L.stag : L.stag + 1;
                for (int j = std::min(k1, L.stag) + 1; j <= std::max(k1, L.stag); ++j) {
                    v[j] = v[from];
                    v[j].ue = std::max(std::abs(q[j]), 1e-3);
                    v[j].c = 0;
                    turbulent[j] = 0;
                }
                // The stations whose surface changed, and the two about the
                // point, take their edge speeds from the coupling, which
                // moved the point. The others keep the iterate's: where
                // the panels at the trailing edge are short (a cosine
                // spacing: a few ten-thousandths of the chord), the
                // coupling's speed there answers their mass defects a
                // thousandfold, and an edge speed started again from it
                // with the displacement thickness kept moved the mass
                // defect by as much (NACA 4415 of 401 points at Re 3e6
                // lost every angle from 8 degrees on, the residual growing
                // to 1e3 at the edge).
                for (int j = std::min(k1, L.stag); j <= std::max(k1, L.stag) + 1; ++j) {
                    const double sign = j <= k1 ? -1.0 : 1.0;
                    v[j].ue = std::max(sign * q[j], 1e-3);
                }
            }
            // Within the stagnation interval the edge speeds of the state
            // (not the coupling's speeds, which lag behind until convergence)
            // place the point: ue grows linearly from it on both sides.
            Layout next = makeLayout(st, k1, stagnationArc(st, k1, -v[k1].ue, v[k1 + 1].ue), o,
                                     copyFlips >= kCopyFlips ? &L : nullptr);
            if (next.stag == L.stag && next.copyOf != L.copyOf) ++copyFlips;
            L = std::move(next);
        }
        for (int g = 0; g < nA; ++g)
            if (L.copyOf[g] >= 0) {
                turbulent[g] = 0;
                v[g].c = 0;
            }
        // After a few moves of the transition intervals, they move only
        // for a clear reason (see classifyTransition).
        const double margin = transitionMoves >= kFreeTransitionMoves ? kTransitionMargin : 0.0;
        bool moved = false;
        const bool classify = !transitionHeld || rmax < o.tolerance;
        if (classify) {
            // A converged layer is kept as it is once its classification
            // would send it back to a placement of the intervals at which an
            // earlier layer of this try converged: the two converged layers
            // then send each other to and fro. Their transition points lie
            // within a station of each other, where the laminar and the
            // turbulent estimates of n at the station between them disagree
            // (a bubble at the nose: the laminar layer's n there is past
            // Ncrit and the margin, the turbulent layer's short of it by as
            // much); either is a solution of its equations. The iteration
            // went round that cycle until its steps ran out (NACA 0006 of
            // 101 points at Re 1e6 and 8 degrees, Hess: every layer
            // converged to 3e-12, upper transition at station 158, 159,
            // 158, ...).
            const bool atConvergence = rmax < o.tolerance && !changed;
            std::vector<LayerVars<double>> before;
            std::vector<char> turbulentBefore;
            if (atConvergence) {
                before = v;
                turbulentBefore = turbulent;
            }
            moved = classifyTransition(L, L.lower, L.tripXiLower, v, turbulent, o, margin, laminarShape);
            moved = classifyTransition(L, L.upper, L.tripXiUpper, v, turbulent, o, margin, laminarShape) || moved;
            if (atConvergence && moved) {
                const Placement to = placementOf(L, turbulent);
                if (std::find(convergedPlacements.begin(), convergedPlacements.end(), to) !=
                    convergedPlacements.end()) {
                    v = std::move(before);
                    turbulent = std::move(turbulentBefore);
                    moved = false;
                } else {
                    convergedPlacements.push_back(placementOf(L, turbulentBefore));
                }
            }
        }
        if (moved) ++transitionMoves;
        for (int side = 0; side < 2; ++side) {
            TransitionWalk& w = walks[static_cast<std::size_t>(side)];
            const int place = firstTurbulent(side == 0 ? L.lower : L.upper, turbulent);
            // (a relocated stagnation point shifts the places: not a move)
            if (w.place >= 0 && place != w.place && !relocated) {
                const int direction = place > w.place ? 1 : -1;
                if (w.direction != 0 && direction != w.direction) ++w.turns;
                w.direction = direction;
                if (w.turns >= kTransitionTurns) transitionHeld = true;
            }
            w.place = place;
        }
        changed = moved || changed;

        // The coupling's speed of the state: the one above unless the
        // relocation restarted the edge speeds, or a station the transition
        // left took the laminar shape (its delta*, and with it the mass
        // defect, changed); otherwise the transition moves only n and
        // C_tau, and the layout's shifts below keep the signs of q.
        const bool reshaped = moved && laminarShape;
        const std::vector<double> qState = relocated || reshaped ? speedOfState(st, L, v, qInv) : q;
        assemble(st, L, v, turbulent, o, qInv, angleUnknown, R, &J, &qState);
        if (stagnationMoves) {
            // While the stagnation point follows the edge speeds of the two
            // stations around it, the xi of every station moves with them:
            // that sensitivity enters the columns of those two speeds (a
            // forward difference of the residuals in the point's arc length:
            // a central one gave the same iterates, at one more assembly).
            const StagnationPlace place = stagnationPlace(st, L.stag, v[L.stag].ue, v[L.stag + 1].ue);
            if (place.dsdUeLower != 0 || place.dsdUeUpper != 0) {
                const double h = 1e-6 * (st.s[L.stag + 1] - st.s[L.stag]);
                Eigen::VectorXd Rp;
                assemble(st, shiftedLayout(L, st, L.sStag + h, o), v, turbulent, o, qInv,
                         angleUnknown, Rp, nullptr, &qState);
                const Eigen::VectorXd dRds = (Rp - R) / h;
                std::vector<double> row(J.size, 0.0);
                row[4 * L.stag + 3] = place.dsdUeLower;
                row[4 * (L.stag + 1) + 3] = place.dsdUeUpper;
                J.left.emplace_back(dRds.data(), dRds.data() + dRds.size());
                J.right.push_back(std::move(row));
            }
        }
        if (!R.allFinite() || !influenceFinite || !jacobianFinite(J)) {
            v = lastGood;
            res.reason = "the residual became infinite at iteration " + std::to_string(it);
            break;
        }
        Eigen::Index wi = 0;
        rmax = R.cwiseAbs().maxCoeff(&wi);
        worst = static_cast<int>(wi / 4);
        res.residualHistory.push_back(rmax);
        res.iterations = it;
        lastGood = v;
        if (rmax < o.tolerance && !changed) {
            if (classify) {
                res.converged = true;
                break;
            }
            // A held transition is judged on this converged layer first.
            relaxations.push_back(1.0);
            continue;
        }
        if (it == o.maxIterations) break;
        // Newton steps that the limits and the line search have cut to
        // slivers for many iterations running do not get anywhere: the
        // attempt is given up (a warm start, a fresh one or smaller angle
        // steps do better than the remaining iterations would).
        if (it >= kStalledWindow &&
            rmax > kStalledFall * res.residualHistory[static_cast<std::size_t>(it - kStalledWindow)] &&
            *std::max_element(relaxations.end() - kStalledWindow, relaxations.end()) < kSliverStep) {
            std::ostringstream os;
            os.precision(2);
            os << "no progress in " << kStalledWindow << " iterations (residual " << std::scientific
               << rmax << " after " << it << "), largest on the " << whereText(L, st, worst);
            res.reason = os.str();
            break;
        }
        // An inexact Newton step: a loose linear solve while the residual
        // is large, to round-off as it vanishes (the error the step leaves,
        // of the order of its backward error, stays below the square of the
        // residual, so that the convergence stays quadratic).
        const NewtonStep step =
            newton.solve(J, std::clamp(kForcing * rmax * rmax, 1e-15, kLoosestStep));
        const Eigen::Map<const Eigen::VectorXd> dU(step.step.data(), J.size);
        if (!dU.allFinite()) {
            res.reason = "the Newton system is singular at iteration " + std::to_string(it);
            break;
        }
        // One relaxation factor for the whole update.
        double omega = 1.0;
        int limitingUnknown = -1;
        int unknownIndex = 0;
        auto limitRelative = [&](double x, double dx, double down, double up) {
            const double r = dx / x;
            const double before = omega;
            if (r < -down) omega = std::min(omega, -down / r);
            if (r > up) omega = std::min(omega, up / r);
            if (omega < before) limitingUnknown = unknownIndex;
        };
        // The angle moves by half a degree at most.
        const double maxAngleStep = 0.5 * M_PI / 180;
        if (angle && std::abs(dU[4 * n]) > maxAngleStep) omega = maxAngleStep / std::abs(dU[4 * n]);
        for (int g = 0; g < n; ++g) {
            // The first turbulent station of a surface holds what the
            // transition point left it: as that point moves in its interval,
            // the station's shape goes from the laminar profile's to the
            // turbulent one's, so its thicknesses may change by more.
            const bool afterTransition = g < nA && turbulent[g] && L.prev[g] >= 0 &&
                                         L.prev[g] < nA && !turbulent[L.prev[g]];
            const double down = afterTransition ? 0.8 : 0.5, up = afterTransition ? 4.0 : 2.0;
            unknownIndex = 4 * g;
            limitRelative(v[g].theta, dU[4 * g], down, up);
            unknownIndex = 4 * g + 1;
            limitRelative(v[g].dstar, dU[4 * g + 1], down, up);
            unknownIndex = 4 * g + 3;
            // Next to the stagnation point a step may carry the edge speed
            // through zero: the point moves past the station, which the next
            // relocation makes of it. Those speeds are held above zero by
            // the update itself rather than holding the whole step back.
            const bool byStagnation = g >= L.stag - 1 && g <= L.stag + 2;
            if (!byStagnation)
                limitRelative(std::max(v[g].ue, 0.05), dU[4 * g + 3], 0.5, 0.5);
            unknownIndex = 4 * g + 2;
            if (g < nA && !turbulent[g]) {
                if (std::abs(dU[4 * g + 2]) > 2.0 && 2.0 / std::abs(dU[4 * g + 2]) < omega) {
                    omega = 2.0 / std::abs(dU[4 * g + 2]);
                    limitingUnknown = unknownIndex;
                }
            } else {
                limitRelative(v[g].c, dU[4 * g + 2], 0.5, 1.0);
            }
        }
        auto updated = [&](double f) {
            std::vector<LayerVars<double>> w = v;
            for (int g = 0; g < n; ++g) {
                LayerVars<double>& s = w[g];
                s.theta += f * dU[4 * g];
                s.dstar += f * dU[4 * g + 1];
                s.c += f * dU[4 * g + 2];
                s.ue += f * dU[4 * g + 3];
                const LayerKind kind = kindOf(L, turbulent, g);
                s.theta = std::max(s.theta, 1e-10);
                s.dstar = std::max(s.dstar, hkMinimum(kind) * 1.0001 * s.theta);
                // A station on the stagnation point itself (which copies
                // its neighbour's layer) may see the point a little beyond it:
                // its speed may vanish or change sign there.
                s.ue = std::max(s.ue, L.prev[g] == -3 ? kCopyUeFloor : 1e-6);
                if (kind == LayerKind::Laminar) s.c = std::max(s.c, 0.0);
                else s.c = std::max(s.c, 1e-4);
            }
            return w;
        };
        // Backtracking: the Newton direction lowers |R| for a short enough
        // step; far from the solution the full (limited) step may not.
        const double norm0 = R.norm();
        std::vector<LayerVars<double>> trial = updated(omega);
        AngleUnknown trialAngle;
        std::vector<double> trialQ = qInv;
        auto moveAngle = [&](double f) {
            if (!angle) return;
            trialAngle.alphaDeg = angle->alphaDeg + f * dU[4 * n] * 180 / M_PI;
            inviscidAt(st, trialAngle.alphaDeg, trialQ, trialAngle.dqda);
        };
        moveAngle(omega);
        Eigen::VectorXd Rt;
        // (the coupling's speed of the trial that is taken, when it was
        // assembled: the next iteration starts from it)
        bool acceptedSpeed = false;
        for (int half = 0; half < 6; ++half) {
            // (with the stagnation point where the trial's edge speeds put it)
            const Layout trialLayout =
                stagnationMoves
                    ? shiftedLayout(L, st,
                                    stagnationPlace(st, L.stag, trial[L.stag].ue, trial[L.stag + 1].ue).s, o)
                    : L;
            trialSpeed = speedOfState(st, trialLayout, trial, trialQ);
            assemble(st, trialLayout, trial, turbulent, o, trialQ, angle ? &trialAngle : nullptr, Rt,
                     nullptr, &trialSpeed);
            const double nt = Rt.allFinite() ? Rt.norm() : kInfinity;
            if (nt < norm0 || (warmStarted && it < kFreeSteps && nt < kFreeGrowth * norm0)) {
                acceptedSpeed = true;
                break;
            }
            omega *= 0.5;
            trial = updated(omega);
            moveAngle(omega);
        }
        if (o.monitor) {
            IterationReport report;
            report.iteration = it;
            report.residual = rmax;
            report.worstStation = worst;
            report.worstEquation = static_cast<int>(wi % 4);
            report.relaxation = omega;
            report.limitingStation = limitingUnknown >= 0 ? limitingUnknown / 4 : -1;
            report.limitingUnknown = limitingUnknown >= 0 ? limitingUnknown % 4 : -1;
            report.stagnation = L.stag;
            for (int g : L.lower)
                if (turbulent[g]) {
                    report.transitionLower = g;
                    break;
                }
            for (int g : L.upper)
                if (turbulent[g]) {
                    report.transitionUpper = g;
                    break;
                }
            report.classificationChanged = changed;
            report.system = &J;
            report.solveRoute = static_cast<int>(step.route);
            o.monitor(report);
        }
        relaxations.push_back(omega);
        v = std::move(trial);
        if (angle) {
            *angle = trialAngle;
            qInv = trialQ;
        }
        haveSpeed = acceptedSpeed;
        if (!finiteState(v)) {
            v = lastGood;
            res.reason = "the update became infinite at iteration " + std::to_string(it);
            break;
        }
    }
    res.residual = std::isfinite(rmax) ? rmax : 0.0;
    if (!res.converged && res.reason.empty()) {
        std::ostringstream os;
        os.precision(2);
        if (rmax < o.tolerance)
            // (every layer converged; its classification moved it on again)
            os << "the transition intervals kept moving between converged layers for " << o.maxIterations
               << " iterations";
        else
            os << o.maxIterations << " iterations, residual " << std::scientific << rmax
               << ", largest on the " << whereText(L, st, worst);
        res.reason = os.str();
    }
    res.alphaDeg = angle ? angle->alphaDeg : st.alphaDeg;
    fillResults(st, L, v, turbulent, o, res);
    if (res.converged) {
        // A converged iterate that zigzags is a mode of the discrete system,
        // not a flow: it is reported as such, not as a result.
        if (const std::optional<int> at = zigzagStation(L, v)) {
            res.converged = false;
            std::ostringstream os;
            os.precision(3);
            os << "the converged layer zigzags on the " << whereText(L, st, *at)
               << " (a mode of the discretisation, not a flow)";
            res.reason = os.str();
        }
    }
    res.state.vars = v;
    res.state.turbulent = turbulent;
    res.state.stagnation = L.stag;
    return res;
}

}  // namespace

// solveCoupled with the Newton solver's work space of the caller: the
// tries of a sweep's branch keep it from one angle to the next.
CoupledResult solveCoupledWith(const CouplingStations& st, const CoupledOptions& o,
                               const CoupledState* warm, NewtonSolver& newton)
{
    const bool fresh = !(warm && warm->valid());
    if (!fresh) return solveFrom(st, o, warm, false, newton, false);
    // Three fresh starts, each far from the last: a station the transition
    // leaves takes the laminar shape (a station made laminar again keeps
    // its fuller turbulent profile otherwise, whose waves hardly grow, so
    // that the next one downstream is judged laminar too and the transition
    // runs off downstream: NACA 4415 at 0 degrees on xfoil's nodes, Re
    // 3e6); then as the classification leaves it; then from the march that
    // holds the edge speed.
    CoupledResult first = solveFrom(st, o, nullptr, false, newton, true);
    if (first.converged || first.iterations == 0) return first;
    CoupledResult second = solveFrom(st, o, nullptr, false, newton, false);
    if (second.converged) return second;
    CoupledResult held = solveFrom(st, o, nullptr, true, newton, false);
    return held.converged ? held : first;
}

CoupledResult solveCoupled(const CouplingStations& st, const CoupledOptions& o,
                           const CoupledState* warm)
{
    NewtonSolver newton;
    return solveCoupledWith(st, o, warm, newton);
}

}  // namespace tavrix::coupled
