#include "viscous/InviscidCoupling.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "solvers/FieldVelocity.h"
#include "solvers/GaussFactors.h"
#include "solvers/PanelFrame.h"
#include "solvers/PanelSolution.h"

namespace tavrix::coupled {

namespace {

constexpr double kTwoPi = 2 * kPi;
// Fraction of its panel, downstream, at which a wake station of the
// Soinne-Laine coupling sits (see the header).
constexpr double kWakeStationLean = 0.75;

std::size_t at(int i) { return static_cast<std::size_t>(i); }

// One term of a linear combination of the stations' mass defects.
struct Term {
    int station = 0;  // 0-based, airfoil first
    double weight = 0;
};
using Combination = std::vector<Term>;

Combination scaled(const Combination& c, double factor)
{
    Combination out = c;
    for (Term& t : out) t.weight *= factor;
    return out;
}

Combination joined(const Combination& a, const Combination& b)
{
    Combination out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

// The value at an end point from the two stations on either side of it,
// distances da and db away: interpolation (both positive) or, with the
// point outside the pair, extrapolation.
Combination interpolated(int a, int b, double da, double db)
{
    return {{a, db / (da + db)}, {b, da / (da + db)}};
}
Combination extrapolated(int near, int far, double beyond, double spacing)
{
    return {{near, 1 + beyond / spacing}, {far, -beyond / spacing}};
}

// sigma of each source panel as a combination of the stations' mTilde: the
// airfoil panels 1..N, then the wake panels. The airfoil stations sit on the
// panels' end points (nodal: 0..N) or on the two trailing-edge points and
// the control points between them (0, 1..N, N + 1); then the wake's, each at
// `fraction` of its panel. `length` holds the source panels' lengths
// (airfoil, then wake).
std::vector<Combination> sigmaCombinations(int N, int nWake, const std::vector<double>& length,
                                           const std::vector<double>& fraction, bool nodal)
{
    const int wake0 = nodal ? N + 1 : N + 2;  // station of the first wake panel
    // Distances of the station of source panel p from its two ends.
    const auto before = [&](int p) { return fraction[at(p)] * length[at(p)]; };
    const auto after = [&](int p) { return (1 - fraction[at(p)]) * length[at(p)]; };
    std::vector<Combination> node(at(N) + 1);  // airfoil end points 1..N + 1 at 0..N
    if (nodal) {
        for (int J = 0; J <= N; ++J) node[at(J)] = {{J, 1}};
    } else {
        node[0] = {{0, 1}};
        for (int J = 1; J < N; ++J) node[at(J)] = interpolated(J, J + 1, after(J - 1), before(J));
        node[at(N)] = {{N + 1, 1}};
    }
    std::vector<Combination> wakeNode(at(nWake) + 1);
    wakeNode[0] = joined(node[at(N)], scaled(node[0], -1));
    for (int k = 1; k < nWake; ++k)
        wakeNode[at(k)] = interpolated(wake0 + k - 1, wake0 + k, after(N + k - 1), before(N + k));
    if (nWake == 1) {
        wakeNode[1] = {{wake0, 1}};
    } else if (nWake > 1) {
        const int last = nWake - 1;
        wakeNode[at(nWake)] = extrapolated(wake0 + last, wake0 + last - 1, after(N + last),
                                           before(N + last) + after(N + last - 1));
    }

    std::vector<Combination> sigma;
    sigma.reserve(at(N + nWake));
    for (int J = 0; J < N; ++J)
        sigma.push_back(scaled(joined(node[at(J + 1)], scaled(node[at(J)], -1)),
                               1 / length[at(J)]));
    for (int k = 0; k < nWake; ++k)
        sigma.push_back(scaled(joined(wakeNode[at(k + 1)], scaled(wakeNode[at(k)], -1)),
                               1 / length[at(N + k)]));
    return sigma;
}

// Stream function at the field point of a unit source sheet on the segment,
// up to a constant of the segment: the integral over the sheet of the polar
// angle of the field point seen from each source point, over 2 pi. The
// antiderivative of the angle phi(u) of (u, YP) is u phi + YP ln r; it holds
// along the sheet where phi is continuous, that is away from the branch cut
// (and across a jump of phi where u is 0, since u phi is 0 there). With
// cutAlongNormal the cut runs from every source point along the sheet's
// left normal (out of an airfoil into the fluid); a point on the sheet
// itself gets the value on its right side (the inside of the contour).
// Otherwise (a wake) the angle is the one continuous across the sheet's
// line both upstream and downstream of each source point, on the sheet the
// mean of its two sides: half of its jump lies on each side of the normal
// through the source point. The Kennedy-Marsden Kutta point lies a
// hundredth of a panel behind the trailing edge, beside the wake's first
// panel; with the cut along the sheet downstream of each source point it
// took the stream function of one side or the other as the wake passed
// above or below it, and the viscous lift jumped by 0.005 at 0 degrees
// (NACA 0012 on xfoil's nodes at Re 3e6: CL 0.0025 at 0 and -0.0025 just
// below). The airfoil lies upstream of the wake, where both forms agree.
double sourceStreamFunction(const SegmentFrame& s, bool cutAlongNormal)
{
    const double YP = s.YP;
    const auto phi = [&](double u) {
        if (cutAlongNormal) {
            const double angle = std::atan2(YP, u);
            return angle > kPi / 2 ? angle - kTwoPi : angle;
        }
        return u > 0 ? std::atan2(YP, u) : std::atan2(-YP, -u);
    };
    const auto F = [&](double u) {
        const double rsq = u * u + YP * YP;
        const double logTerm = YP == 0 || rsq == 0 ? 0 : YP * (std::log(rsq) / 2);
        return u * phi(u) + logTerm;
    };
    return (F(s.XP + s.H) - F(s.XP - s.H)) / kTwoPi;
}

// Velocity of a unit source sheet in the segment's frame, or on the inside
// of the sheet at its own mid point (ownPanel).
void sourceVelocityLocal(const SegmentFrame& s, bool ownPanel, double& along, double& across)
{
    if (ownPanel) {
        along = 0;
        across = -0.5;
        return;
    }
    const double r1sq = (s.XP + s.H) * (s.XP + s.H) + s.YP * s.YP;
    const double r2sq = (s.XP - s.H) * (s.XP - s.H) + s.YP * s.YP;
    along = (std::log(r1sq / r2sq) / 2) / kTwoPi;
    const double beta = std::atan2(s.YP, s.XP - s.H) - std::atan2(s.YP, s.XP + s.H);
    across = beta / kTwoPi;
}

// The velocity of a unit source sheet resolved along (tx, ty) and along its
// left normal (-ty, tx).
void sourceComponents(const SegmentFrame& s, bool ownPanel, double tx, double ty,
                      double& tangential, double& normal)
{
    double along, across;
    sourceVelocityLocal(s, ownPanel, along, across);
    const double u = along * s.cosD - across * s.sinD;
    const double v = along * s.sinD + across * s.cosD;
    tangential = u * tx + v * ty;
    normal = -u * ty + v * tx;
}

struct Segment {
    double x1, y1, x2, y2;
};

// Tangential speed at the control point of airfoil panel i (1-based) of a
// unit source sheet on src (ownPanel: src is that panel).
double airfoilTangential(const PanelGeometry& g, const Segment& src, bool ownPanel, int i)
{
    double t, n;
    sourceComponents(segmentFrame(src.x1, src.y1, src.x2, src.y2, g.XM[at(i)], g.YM[at(i)]),
                     ownPanel, g.CosDelta[at(i)], g.SinDelta[at(i)], t, n);
    return t;
}

// Sum of a geometric series of n terms from `first` with ratio r.
double seriesLength(double first, double r, int n)
{
    if (std::fabs(r - 1) < 1e-12) return first * n;
    return first * (std::pow(r, n) - 1) / (r - 1);
}

// The ratio whose n lengths from `first` add up to `total` (bisection in ln r).
double growthRatio(double first, double total, int n)
{
    if (n <= 1) return 1;
    double lo = std::log(1e-3), hi = std::log(1e3);
    for (int it = 0; it < 200; ++it) {
        const double mid = (lo + hi) / 2;
        if (seriesLength(first, std::exp(mid), n) < total)
            lo = mid;
        else
            hi = mid;
    }
    return std::exp((lo + hi) / 2);
}

Refusal wakeRefusal(const std::string& why)
{
    return Refusal{Refusal::Kind::NoFiniteResult, "The wake could not be traced: " + why};
}

// The stream-function weight, at the field point, of the value at the
// segment's first end point of a linear vortex sheet that falls to zero at
// its second, as the Soinne-Laine assembly forms it (integrals of ln r and
// of t ln r along the segment; the logarithm of a vanishing distance stands
// beside a vanishing factor and is left out).
double linearVortexStreamFunction(const SegmentFrame& s)
{
    const double XP = s.XP, YP = s.YP, H = s.H;
    const double r1sq = (XP + H) * (XP + H) + YP * YP;
    const double r2sq = (XP - H) * (XP - H) + YP * YP;
    const double L1 = r1sq >= 1e-14 ? std::log(r1sq) / 2 : 0;
    const double L2 = r2sq >= 1e-14 ? std::log(r2sq) / 2 : 0;
    const double Q = XP * XP + YP * YP - H * H;
    const double beta = subtendedAngle(Q, YP, Q == 0 ? 0 : ((2 * YP) * H) / Q, kPi);
    const double P0 = ((XP + H) * L1 - (XP - H) * L2 - 2 * H) + YP * beta;
    const double P1 =
        (0.5 * ((XP * XP - YP * YP) - H * H)) * (L1 - L2) - XP * H + (XP * YP) * beta;
    return (P0 - P1 / H) / (4 * kPi);
}

// The factors of the solution's system as assembled (the augmented matrix,
// right-hand side last; assembled afresh where the elimination worked on
// it) with the rows `edit` changes.
Outcome<GaussFactors> factoredWith(const PanelSolution& solution,
                                   const std::function<Outcome<bool>(Matrix&)>& edit)
{
    const int n = solution.unknowns();
    Matrix A;
    if (solution.system().AN.upper() >= n + 1) {
        A = solution.system().AN;
    } else {
        Outcome<PanelSystem> assembled = assemblePanels(solution.geometry(), solution.method());
        if (!assembled) return assembled.refusal();
        A = std::move(assembled->AN);
    }
    if (const Outcome<bool> edited = edit(A); !edited) return edited.refusal();
    GaussFactors factors;
    if (factors.factor(std::move(A), n) != 0)
        return Refusal{Refusal::Kind::ZeroPivot, kZeroPivotMessage};
    return factors;
}

// The Soinne-Laine system with the coupling's trailing-edge closure in
// place of the method's two rows gamma(1) = 0 and gamma(NP) = 0. Those rows
// make the trailing edge a stagnation point on both surfaces, which the
// displacement body (blunt at the edge) does not have: the flow leaves it
// at a finite speed. The closure keeps the stream-function rows at end
// points 2..NP (on a closed contour a row at end point 1 would repeat the
// one at NP) and imposes
//   - equal speeds leaving the edge on both surfaces: gamma(1) + gamma(NP) = 0;
//   - no flow through the contour at the control points of the two
//     trailing-edge panels, on average (the vortex panel method's condition
//     there, with its rows): the stream-function rows hold the contour a
//     streamline at the end points only, and between the two edge points
//     the vorticity is otherwise free to follow any linear extrapolation
//     of its surface. With this row the edge speed falls below that
//     extrapolation over the last panel as the outer flow turns to leave
//     the edge, and the layer's displacement there takes the lift it takes.
//     (An extrapolation row instead, equal departures of the two edge
//     values from the linear extrapolation of their surfaces, held the edge
//     speed up and gave a lift 6 to 8 per cent above xfoil's at 0 to 5
//     degrees with the same layer.)
Outcome<GaussFactors> soinneCouplingFactors(const PanelSolution& solution)
{
    const PanelGeometry& g = solution.geometry();
    const int n = solution.unknowns();
    return factoredWith(solution, [&](Matrix& A) -> Outcome<bool> {
        const int NP = g.NP, N = g.NPanel;
        // The method's stream-function rows leave out gamma(1), which its own
        // condition holds at zero; here it is free and its share of panel 1's
        // sheet joins them.
        for (int I = 2; I <= NP; ++I)
            A(I, 1) = -linearVortexStreamFunction(
                segmentFrame(g.X[1], g.Y[1], g.X[2], g.Y[2], g.X[at(I)], g.Y[at(I)]));
        for (int j = 1; j <= n + 1; ++j) {
            A(1, j) = 0;
            A(NP + 1, j) = 0;
        }
        A(NP + 1, 1) = 1;
        A(NP + 1, NP) = 1;
        const Outcome<PanelSystem> vortex = assemblePanels(g, PanelMethod::VortexPanel);
        if (!vortex) return vortex.refusal();
        for (int j = 1; j <= NP; ++j) A(1, j) = (vortex->AN(1, j) + vortex->AN(N, j)) / 2;
        return true;
    });
}

// The vortex panel method's conditions of no flow through the panels are
// nearly dependent: a vortex sheet carries no net flux through a closed
// contour, so their sum weighted by the panel lengths nearly vanishes
// whatever the strengths. Besides the circulation, which the Kutta
// condition fixes, the strengths then keep a second, nearly free pattern,
// concentrated at the trailing edge: what fixes it is the remainder of that
// near-dependence, the difference of the two edge panels' conditions. Where
// the edge panels are short against the next (cosine spacing: a third) the
// edge vorticity swings with that remainder, and the speed on the edge
// panel falls far below the next panel's or turns over (the program's NACA
// 0012 of 161 points at 4 degrees: +0.13 against -0.71). Where they are
// long (xfoil's nodes: 0.009 chord, three quarters of the next) the inviscid
// speeds are sound, but the response to the sources at the edge is still
// that remainder's: NACA 0012's coupled lift at 4 degrees rose by 5 % when
// the edge panels were split, the polygon kept (0.405 to 0.426, Re 3e6),
// and on NACA 4415 the iteration converged at no angle. The coupling
// therefore replaces one condition, the one the others imply best (on the
// longest panel), on every contour:
//   - by the condition of a fluid at rest inside the contour near the edge
//     (interiorRestPoint), which the surface speed gamma of the method
//     presumes. It fixes the edge pattern by the flow it makes inside: the
//     coupled lift on xfoil's nodes comes within 0.6 % (0.3 % in the median)
//     of its value on the same polygon with the edge panels split;
//   - by a row of equal departures of the two edge strengths from the
//     linear extrapolation (in arc length) of their surfaces, where the
//     method's own edge is ill-determined (the speed on an edge panel more
//     than a quarter from the next panel's at zero incidence) or where
//     edgeRow asks it (contours subdivided for the layer throughout). The
//     edge speeds then come within 0.03 of those the Hess and
//     Kennedy-Marsden methods give on the same panels, and the circulation
//     a displacement takes stays the exact flow's.
// Either way the conditions on the edge panels themselves stay and the
// inviscid lift moves by less than 0.1 %.
bool vortexEdgeIllDetermined(const PanelSolution& solution)
{
    const PanelGeometry& g = solution.geometry();
    const int N = g.NPanel;
    const std::vector<double> gamma = solution.strengths(0.0);
    const auto speed = [&](int I) { return (gamma[at(I)] + gamma[at(I + 1)]) / 2; };
    const auto departs = [&](int edge, int next) {
        return !(std::abs(speed(edge) - speed(next)) <= 0.25 * std::abs(speed(next)));
    };
    return departs(1, 2) || departs(N, N - 1);
}

// The row replaced: the condition on the longest panel but the two at the
// edge (0 where the contour is too small to spare one).
int vortexReplacedRow(const PanelSolution& solution)
{
    const PanelGeometry& g = solution.geometry();
    const int N = g.NPanel;
    if (solution.method() != PanelMethod::VortexPanel || N < 6) return 0;
    int longest = 2;
    for (int I = 3; I < N; ++I)
        if (g.DS[at(I)] > g.DS[at(longest)]) longest = I;
    return longest;
}

// The point where the coupling of the vortex panel method holds the fluid
// inside the contour at rest: midway between the control points of the
// panels m and NPanel + 1 - m, the first pair from the edge (m >= 2) that
// lies at least a quarter of the longer panel's length apart, so that the
// point sits inside, clear of either sheet, where the edge pattern of the
// strengths moves the fluid most. The velocity held there is its component
// towards the trailing edge, along the wedge. None when no such pair lies
// within the last quarter of the panels on either side (a cusped edge),
// or the point is not inside the contour.
std::optional<CouplingBasis::InteriorRest> interiorRestPoint(const PanelGeometry& g)
{
    const int N = g.NPanel;
    for (int m = 2; m <= N / 4; ++m) {
        const int other = N + 1 - m;
        const double gap = std::hypot(g.XM[at(m)] - g.XM[at(other)], g.YM[at(m)] - g.YM[at(other)]);
        if (!(gap >= 0.25 * std::max(g.DS[at(m)], g.DS[at(other)]))) continue;
        CouplingBasis::InteriorRest rest;
        rest.x = (g.XM[at(m)] + g.XM[at(other)]) / 2;
        rest.y = (g.YM[at(m)] + g.YM[at(other)]) / 2;
        const double ex = (g.X[1] + g.X[at(g.NP)]) / 2 - rest.x;
        const double ey = (g.Y[1] + g.Y[at(g.NP)]) / 2 - rest.y;
        const double length = std::hypot(ex, ey);
        if (!(length > 0) || !insideContour(g, rest.x, rest.y)) return std::nullopt;
        rest.dx = ex / length;
        rest.dy = ey / length;
        return rest;
    }
    return std::nullopt;
}

// The vortex panel system with row k replaced by the coupling's row
// (vortexReplacedRow): the fluid at rest at `rest`, or the edge
// extrapolation where there is none.
Outcome<GaussFactors> vortexCouplingFactors(const PanelSolution& solution, int k,
                                            const std::optional<CouplingBasis::InteriorRest>& rest)
{
    const PanelGeometry& g = solution.geometry();
    const int n = solution.unknowns();
    return factoredWith(solution, [&](Matrix& A) -> Outcome<bool> {
        const int NP = g.NP, N = g.NPanel;
        for (int j = 1; j <= n + 1; ++j) A(k, j) = 0;
        if (rest) {
            // The strengths' velocity at the point along the direction,
            // with the sign of the rows of no flow through the panels (the
            // free stream's and the sources' velocity on the right).
            std::vector<double> du, dv;
            inducedVelocityRows(g, solution.system(), rest->x, rest->y, du, dv);
            for (int j = 1; j <= n; ++j) A(k, j) = -(du[at(j)] * rest->dx + dv[at(j)] * rest->dy);
            return true;
        }
        const double lower = g.DS[1] / g.DS[2], upper = g.DS[at(N)] / g.DS[at(N - 1)];
        // (gamma(1) - extrapolated) - (gamma(NP) - extrapolated) = 0
        A(k, 1) += 1;
        A(k, 2) -= 1 + lower;
        A(k, 3) += lower;
        A(k, NP) -= 1;
        A(k, NP - 1) += 1 + upper;
        A(k, NP - 2) -= upper;
        return true;
    });
}

// The free stream's share of the Soinne-Laine coupling's trailing-edge row
// (see soinneCouplingFactors): the mean of the vortex panel method's
// right-hand sides at the control points of the two edge panels.
double soinneEdgeRightHandSide(const PanelGeometry& g, const PanelSystem& system, double cosAlfa,
                               double sinAlfa)
{
    std::vector<double> rhs(at(g.NP) + 2, 0.0);
    methodInfo(PanelMethod::VortexPanel).rightHandSide(g, system, cosAlfa, sinAlfa, rhs.data());
    return (rhs[1] + rhs[at(g.NPanel)]) / 2;
}

// The free stream's right-hand side of the coupling's system: the method's,
// with the rows its closure changes (the Soinne-Laine edge row, the vortex
// panel method's replaced row).
std::vector<double> closedRightHandSide(const CouplingBasis& basis, double cosAlfa, double sinAlfa)
{
    const PanelSolution& solution = basis.solution;
    const PanelGeometry& g = solution.geometry();
    std::vector<double> rhs(at(solution.unknowns()) + 1, 0.0);
    solution.info().rightHandSide(g, solution.system(), cosAlfa, sinAlfa, rhs.data());
    if (solution.method() == PanelMethod::SoinneLaine)
        rhs[1] = soinneEdgeRightHandSide(g, solution.system(), cosAlfa, sinAlfa);
    // (the fluid at rest inside: the free stream's velocity along the
    // direction; the edge extrapolation holds strengths alone)
    if (basis.replacedRow > 0)
        rhs[at(basis.replacedRow)] =
            basis.atRest ? cosAlfa * basis.atRest->dx + sinAlfa * basis.atRest->dy : 0;
    return rhs;
}

}  // namespace

bool couplingAvailable(PanelMethod method)
{
    switch (method) {
    case PanelMethod::Hess:
    case PanelMethod::VortexPanel:
    case PanelMethod::KennedyMarsden:
    case PanelMethod::SoinneLaine:
        return true;
    }
    return false;
}

Refusal couplingRefusal(PanelMethod method)
{
    std::vector<std::string_view> coupled;
    for (const PanelMethodInfo& info : panelMethods())
        if (couplingAvailable(info.method)) coupled.push_back(info.caption);
    std::string list;
    for (std::size_t i = 0; i < coupled.size(); ++i) {
        if (i > 0) list += i + 1 == coupled.size() ? " and the " : ", the ";
        list += coupled[i];
    }
    return Refusal{Refusal::Kind::Capacity,
                   "The viscous analysis is not coupled to the " +
                       std::string(methodInfo(method).caption) + "; it is coupled to the " +
                       list};
}

std::vector<double> coupledSpeed(const CouplingStations& st, const std::vector<double>& mTilde)
{
    std::vector<double> q = st.qInviscid;
    const int n = st.size();
    for (int i = 0; i < n; ++i) {
        const double* row = &st.D[at(i) * at(n)];
        double sum = 0;
        for (int j = 0; j < n; ++j) sum += row[j] * mTilde[at(j)];
        q[at(i)] += sum;
    }
    return q;
}

std::vector<double> sourceStrengths(const CouplingStations& st, const std::vector<double>& mTilde)
{
    const std::vector<Combination> sigma = sigmaCombinations(
        st.airfoilPanels(), st.nWake, st.panelLength, st.fraction, st.onEndPoints());
    std::vector<double> out(sigma.size(), 0.0);
    for (std::size_t p = 0; p < sigma.size(); ++p)
        for (const Term& t : sigma[p]) out[p] += t.weight * mTilde[at(t.station)];
    return out;
}

namespace {

// The source panel p's right-hand side of the method's conditions (the
// strengths' response to a unit sigma on it is the solve of this), with the
// airfoil's stations only where the rows need them: a panel of the airfoil
// or of the wake, seen from the method's points.
void sourceRightHandSide(const PanelSolution& solution, const Segment& src, int p,
                         std::vector<double>& rhs, std::vector<double>& normal,
                         const CouplingBasis& basis)
{
    const PanelGeometry& g = solution.geometry();
    const PanelSystem& system = solution.system();
    const PanelMethod method = solution.method();
    const int N = g.NPanel;
    const bool onAirfoil = p < N;
    const auto view = [&](double x, double y) {
        return segmentFrame(src.x1, src.y1, src.x2, src.y2, x, y);
    };
    // The normal velocity the sheet adds on the inside of the control
    // points 1..N. On the inside of a closed contour the sources' normal
    // velocity carries no net flux; the mid-point values add up to a
    // small remainder of the polygon's discretisation, which would make
    // the Hess sources a net source and provoke a spurious response of
    // the vortex sheet (which can carry no flux) near the trailing edge.
    // It is taken out evenly along the contour.
    const auto insideNormals = [&](std::vector<double>& out) {
        double flux = 0, perimeter = 0;
        for (int I = 1; I <= N; ++I) {
            double t;
            sourceComponents(view(g.XM[at(I)], g.YM[at(I)]), onAirfoil && p + 1 == I,
                             g.CosDelta[at(I)], g.SinDelta[at(I)], t, out[at(I)]);
            flux += out[at(I)] * g.DS[at(I)];
            perimeter += g.DS[at(I)];
        }
        for (int I = 1; I <= N; ++I) out[at(I)] -= flux / perimeter;
    };
    std::fill(rhs.begin(), rhs.end(), 0.0);
    switch (method) {
    case PanelMethod::VortexPanel:
    case PanelMethod::Hess:
        // (joining the free stream's at each control point)
        insideNormals(rhs);
        // (the vortex panel coupling's row in place of one: the sheet's
        // velocity at the point of rest along its direction, or nothing in
        // the edge extrapolation)
        if (const int k = basis.replacedRow; k > 0) {
            rhs[at(k)] = 0;
            if (const auto& rest = basis.atRest) {
                const Velocity v =
                    sourceSegmentVelocity(src.x1, src.y1, src.x2, src.y2, 1.0, rest->x, rest->y);
                rhs[at(k)] = v.u * rest->dx + v.v * rest->dy;
            }
        }
        if (method == PanelMethod::Hess && !system.noCirculation)
            rhs[at(g.NP)] = -(airfoilTangential(g, src, onAirfoil && p + 1 == 1, 1) +
                              airfoilTangential(g, src, onAirfoil && p + 1 == N, N));
        break;
    case PanelMethod::SoinneLaine:
        // The trailing-edge row: the mean of the two edge panels'.
        insideNormals(normal);
        rhs[1] = (normal[1] + normal[at(N)]) / 2;
        for (int I = 2; I <= g.NP; ++I)
            rhs[at(I)] = sourceStreamFunction(view(g.X[at(I)], g.Y[at(I)]), onAirfoil);
        break;
    case PanelMethod::KennedyMarsden:
        for (int I = 1; I <= N; ++I)
            rhs[at(I)] = sourceStreamFunction(view(g.XM[at(I)], g.YM[at(I)]), onAirfoil);
        rhs[at(g.NP)] = sourceStreamFunction(view(system.kuttaX, system.kuttaY), onAirfoil);
        break;
    }
}

// The method's strengths' response to a unit sigma on each of `sources`
// (source panel first + k for the k-th), all solved at once: row i, column
// k at [i * sources.size() + k], row 0 unused, with the basis's factors.
std::vector<double> strengthResponses(const CouplingBasis& basis, const std::vector<Segment>& sources,
                                      int first)
{
    const PanelSolution& solution = basis.solution;
    const int unknowns = solution.unknowns();
    const std::size_t columns = sources.size();
    std::vector<double> rhs(at(unknowns) + 1), normal(at(solution.geometry().NPanel) + 1);
    std::vector<double> many((at(unknowns) + 1) * columns, 0.0), responses(many.size(), 0.0);
    for (std::size_t k = 0; k < columns; ++k) {
        sourceRightHandSide(solution, sources[k], first + static_cast<int>(k), rhs, normal, basis);
        for (int i = 1; i <= unknowns; ++i) many[at(i) * columns + k] = rhs[at(i)];
    }
    if (columns > 0) basis.factors().solveMany(many, responses, static_cast<int>(columns));
    return responses;
}

// The trailing-edge stations between control points take the speed (and
// every response of it) extrapolated linearly in arc length from the two
// control points next to the edge on their own surface. (The vorticity of
// the end point itself, which the vortex panel method has, answers the
// sources next to the edge with the swing of its Kutta condition: tried,
// it holds the coupled iteration back more than the extrapolation does.)
// v holds the stations 0..N + 1 at v[i * stride + column].
void toEdges(const PanelGeometry& g, std::vector<double>& v, std::size_t stride,
             std::size_t column)
{
    const int N = g.NPanel;
    const double betaLower = (g.DS[1] / 2) / ((g.DS[1] + g.DS[2]) / 2);
    const double betaUpper = (g.DS[at(N)] / 2) / ((g.DS[at(N)] + g.DS[at(N - 1)]) / 2);
    auto e = [&](int i) -> double& { return v[at(i) * stride + column]; };
    e(0) = (1 + betaLower) * e(1) - betaLower * e(2);
    e(N + 1) = (1 + betaUpper) * e(N) - betaUpper * e(N - 1);
}

// The change of q at the airfoil stations for the strengths' response ds to
// a unit sigma on source panel p (src; p < NPanel on the airfoil), into
// G[i * stride + column]: the end-point vorticity for stations on the end
// points, else the method's surface speed at the control points (with the
// sheet's own tangential speed for the Hess method) and the edges
// extrapolated.
void airfoilStationSpeeds(const PanelSolution& solution, const std::vector<double>& ds,
                          const Segment& src, int p, std::vector<double>& speed,
                          std::vector<double>& G, std::size_t stride, std::size_t column)
{
    const PanelGeometry& g = solution.geometry();
    const int N = g.NPanel;
    auto out = [&](int i) -> double& { return G[at(i) * stride + column]; };
    if (solution.method() == PanelMethod::SoinneLaine) {
        for (int i = 1; i <= g.NP; ++i) out(i - 1) = ds[at(i)];
        return;
    }
    solution.info().surfaceSpeed(g, solution.system(), ds.data(), 0, 0, speed.data());
    for (int i = 1; i <= N; ++i) {
        double q = speed[at(i)];
        if (solution.method() == PanelMethod::Hess) q += airfoilTangential(g, src, p + 1 == i, i);
        out(i) = q;
    }
    toEdges(g, G, stride, column);
}

}  // namespace

Outcome<CouplingBasis> couplingBasis(const PanelSolution& solution, VortexEdgeRow edgeRow)
{
    const PanelMethod method = solution.method();
    if (!couplingAvailable(method)) return couplingRefusal(method);
    const PanelGeometry& g = solution.geometry();
    const int N = g.NPanel;
    const int unknowns = solution.unknowns();
    if (N < 3) return Refusal{Refusal::Kind::NoContour, kNoContourMessage};
    CouplingBasis basis{solution, {}, {}, {}, 0, std::nullopt};
    // The factors every right-hand side of the coupling is solved with: the
    // method's own, or the Soinne-Laine system with the coupling's
    // trailing-edge closure (soinneCouplingFactors).
    if (method == PanelMethod::SoinneLaine) {
        Outcome<GaussFactors> built = soinneCouplingFactors(solution);
        if (!built) return built.refusal();
        basis.closure = std::move(*built);
    }
    // The vortex panel system with one condition replaced: the fluid at
    // rest inside, or the edge extrapolation where the method's own edge is
    // ill-determined or edgeRow asks it (or no point of rest is found).
    if (const int k = vortexReplacedRow(solution); k > 0) {
        if (edgeRow == VortexEdgeRow::WhereIllDetermined && !vortexEdgeIllDetermined(solution))
            basis.atRest = interiorRestPoint(g);
        Outcome<GaussFactors> built = vortexCouplingFactors(solution, k, basis.atRest);
        if (!built) return built.refusal();
        basis.closure = std::move(*built);
        basis.replacedRow = k;
    }
    const int nAirfoil = method == PanelMethod::SoinneLaine ? N + 1 : N + 2;
    // The airfoil's source panels: the strengths' response and the airfoil
    // stations' speed per unit sigma (neither depends on the angle or the
    // wake).
    basis.airfoilResponse.assign(at(N) * at(unknowns + 1), 0.0);
    basis.airfoilSpeed.assign(at(nAirfoil) * at(N), 0.0);
    std::vector<double> ds(at(unknowns) + 1), speed(at(N) + 1, 0.0);
    std::vector<Segment> panels;
    for (int p = 0; p < N; ++p)
        panels.push_back({g.X[at(p + 1)], g.Y[at(p + 1)], g.X[at(p + 2)], g.Y[at(p + 2)]});
    const std::vector<double> responses = strengthResponses(basis, panels, 0);
    for (int p = 0; p < N; ++p) {
        for (int i = 1; i <= unknowns; ++i) ds[at(i)] = responses[at(i) * at(N) + at(p)];
        std::copy(ds.begin(), ds.end(), basis.airfoilResponse.begin() + at(p) * at(unknowns + 1));
        airfoilStationSpeeds(solution, ds, panels[at(p)], p, speed, basis.airfoilSpeed, at(N), at(p));
    }
    return basis;
}

namespace {

// Adds the local interaction law of kAlternatingDefectLaw (InviscidCoupling.h)
// with strength kappa to D.
void answerAlternatingDefects(CouplingStations& st, double kappa)
{
    const int size = st.size();
    const auto law = [&](int i) {
        const double before = st.s[at(i)] - st.s[at(i - 1)];
        const double after = st.s[at(i + 1)] - st.s[at(i)];
        if (!(before > 0 && after > 0)) return;
        double* row = &st.D[at(i) * at(size)];
        row[at(i - 1)] -= kappa / before;
        row[at(i)] += kappa / before + kappa / after;
        row[at(i + 1)] -= kappa / after;
    };
    for (int i = 1; i + 1 < st.nAirfoil; ++i) law(i);
    for (int k = 1; k + 1 < st.nWake; ++k) law(st.nAirfoil + k);
}

}  // namespace

Outcome<CouplingStations> buildCoupling(const PanelSolution& solution, double alphaDeg, int nWake,
                                        double wakeLengthChords)
{
    const Outcome<CouplingBasis> basis = couplingBasis(solution);
    if (!basis) return basis.refusal();
    return buildCoupling(*basis, alphaDeg, nWake, wakeLengthChords);
}

Outcome<CouplingStations> buildCoupling(const CouplingBasis& basis, double alphaDeg, int nWake,
                                        double wakeLengthChords)
{
    const PanelSolution& solution = basis.solution;
    const PanelMethod method = solution.method();
    const PanelGeometry& g = solution.geometry();
    const PanelSystem& system = solution.system();
    const PanelMethodInfo& info = solution.info();
    const int N = g.NPanel;
    const int unknowns = solution.unknowns();
    if (!std::isfinite(alphaDeg) || !std::isfinite(wakeLengthChords) || wakeLengthChords <= 0 ||
        nWake < 0 || nWake > kMaxPoints)
        return wakeRefusal("it needs a finite angle, a positive length and at most " +
                           std::to_string(kMaxPoints) + " panels");
    if (nWake == 0) nWake = std::clamp(N / 5, 10, 40);

    // The Soinne-Laine method's stations sit on the panels' end points,
    // where its vorticity is the surface speed and its stream-function
    // conditions hold; the others' on the two trailing-edge points and the
    // control points between them.
    const bool nodal = method == PanelMethod::SoinneLaine;
    CouplingStations st;
    st.method = method;
    st.alphaDeg = alphaDeg;
    st.nAirfoil = nodal ? N + 1 : N + 2;
    st.nWake = nWake;
    const int size = st.size();
    const int sources = N + nWake;
    const int wake0 = st.nAirfoil;  // the first wake station

    const double a = alphaDeg * kDegToRad;
    const double cosAlfa = std::cos(a), sinAlfa = std::sin(a);
    const GaussFactors& factors = basis.factors();
    // (the press's, or those of the coupling's own closure)
    std::vector<double> strength = solution.strengths(alphaDeg);
    if (method == PanelMethod::SoinneLaine || basis.replacedRow > 0)
        factors.solve(closedRightHandSide(basis, cosAlfa, sinAlfa), strength);

    st.strength = strength;

    // Airfoil stations and the inviscid speed, as the press forms it.
    std::vector<double> speed(at(N) + 1, 0.0);
    info.surfaceSpeed(g, system, strength.data(), cosAlfa, sinAlfa, speed.data());
    st.x.resize(at(size));
    st.y.resize(at(size));
    st.s.resize(at(size));
    st.qInviscid.resize(at(size));
    st.dqdAlpha.resize(at(size));
    st.panelLength.resize(at(sources));
    st.fraction.assign(at(sources), nodal ? 0.0 : 0.5);
    for (int i = 1; i <= N; ++i) st.panelLength[at(i - 1)] = g.DS[at(i)];
    if (nodal) {
        double sNode = 0;
        for (int i = 1; i <= g.NP; ++i) {
            st.x[at(i - 1)] = g.X[at(i)];
            st.y[at(i - 1)] = g.Y[at(i)];
            st.s[at(i - 1)] = sNode;
            st.qInviscid[at(i - 1)] = strength[at(i)];
            if (i <= N) sNode += g.DS[at(i)];
        }
    } else {
        for (int i = 1; i <= N; ++i) {
            st.x[at(i)] = g.XM[at(i)];
            st.y[at(i)] = g.YM[at(i)];
            st.s[at(i)] =
                i == 1 ? g.DS[1] / 2 : st.s[at(i - 1)] + (g.DS[at(i - 1)] + g.DS[at(i)]) / 2;
            st.qInviscid[at(i)] = speed[at(i)];
        }
        st.x[0] = g.X[1];
        st.y[0] = g.Y[1];
        st.s[0] = 0;
        st.x[at(N + 1)] = g.X[at(g.NP)];
        st.y[at(N + 1)] = g.Y[at(g.NP)];
        st.s[at(N + 1)] = st.s[at(N)] + g.DS[at(N)] / 2;
    }
    if (!nodal) toEdges(g, st.qInviscid, 1, 0);

    // The wake along the streamline from the trailing edge.
    const double xte = (g.X[1] + g.X[at(g.NP)]) / 2, yte = (g.Y[1] + g.Y[at(g.NP)]) / 2;
    st.trailingEdgeGap = std::hypot(g.X[at(g.NP)] - g.X[1], g.Y[at(g.NP)] - g.Y[1]);
    double chord = 0;
    for (int i = 1; i <= g.NP; ++i) chord = std::max(chord, std::hypot(g.X[at(i)] - xte, g.Y[at(i)] - yte));
    const double first = (g.DS[1] + g.DS[at(N)]) / 2;
    const double total = wakeLengthChords * chord;
    const double ratio = nWake == 1 ? 1 : growthRatio(first, total, nWake);
    const double firstLength = nWake == 1 ? total : first;
    double dirX = g.CosDelta[at(N)] - g.CosDelta[1];
    double dirY = g.SinDelta[at(N)] - g.SinDelta[1];
    if (double n = std::hypot(dirX, dirY); n > 1e-12) {
        dirX /= n;
        dirY /= n;
    } else {
        dirX = cosAlfa;
        dirY = sinAlfa;
    }
    st.wakeX.assign(1, xte);
    st.wakeY.assign(1, yte);
    st.wakeCos.resize(at(nWake));
    st.wakeSin.resize(at(nWake));
    double sWake = 0;
    for (int k = 0; k < nWake; ++k) {
        const double L = firstLength * std::pow(ratio, k);
        const double x0 = st.wakeX.back(), y0 = st.wakeY.back();
        // The panel points along the velocity at its own mid point: the
        // direction theta with g(theta) = theta, g the direction of the
        // velocity at the mid point of the panel laid along theta. g turns
        // little with theta (by a few hundredths), so that the plain
        // iteration gains two digits a step; secant steps on g - theta, from
        // its second value on, gain them faster.
        double theta = std::atan2(dirY, dirX);
        if (k >= 2) {
            // (from the last panel's direction turned on as the streamline
            // turned from the panel before, per length)
            const double before = std::atan2(st.wakeSin[at(k - 2)], st.wakeCos[at(k - 2)]);
            const double lengths = (L + st.panelLength[at(N + k - 1)]) /
                                   (st.panelLength[at(N + k - 1)] + st.panelLength[at(N + k - 2)]);
            theta += std::remainder(theta - before, 2 * M_PI) * lengths;
        }
        double lastTheta = 0, lastMiss = 0;
        for (int it = 0; it < 50; ++it) {
            const Velocity V = fieldVelocity(solution, strength, alphaDeg, x0 + std::cos(theta) * L / 2,
                                             y0 + std::sin(theta) * L / 2);
            const double speedHere = std::hypot(V.u, V.v);
            if (!std::isfinite(speedHere) || speedHere < 1e-9)
                return wakeRefusal("the flow stands still or has no finite speed behind the edge");
            const double along = std::atan2(V.v, V.u);
            const double miss = std::remainder(along - theta, 2 * M_PI);
            dirX = V.u / speedHere;
            dirY = V.v / speedHere;
            if (std::abs(miss) < 1e-13) break;
            double next = theta + miss;
            if (it > 0 && miss != lastMiss) {
                const double secant = theta - miss * (theta - lastTheta) / (miss - lastMiss);
                // (kept to the plain step's neighbourhood)
                if (std::isfinite(secant) && std::abs(secant - next) < std::abs(miss)) next = secant;
            }
            lastTheta = theta;
            lastMiss = miss;
            theta = next;
        }
        st.wakeX.push_back(x0 + dirX * L);
        st.wakeY.push_back(y0 + dirY * L);
        st.wakeCos[at(k)] = dirX;
        st.wakeSin[at(k)] = dirY;
        const std::size_t w = at(wake0 + k);
        const double f = st.fraction[at(N + k)] = nodal ? kWakeStationLean : 0.5;
        st.x[w] = x0 + dirX * L * f;
        st.y[w] = y0 + dirY * L * f;
        st.s[w] = sWake + L * f;
        st.panelLength[at(N + k)] = L;
        sWake += L;
    }

    // The method's singularities seen from the wake stations, along the wake.
    std::vector<double> wakeRows(at(nWake) * at(unknowns + 1), 0.0);
    {
        std::vector<double> du, dv;
        for (int k = 0; k < nWake; ++k) {
            const std::size_t w = at(wake0 + k);
            inducedVelocityRows(g, system, st.x[w], st.y[w], du, dv);
            for (int j = 1; j <= unknowns; ++j)
                wakeRows[at(k) * at(unknowns + 1) + at(j)] =
                    du[at(j)] * st.wakeCos[at(k)] + dv[at(j)] * st.wakeSin[at(k)];
        }
    }
    const auto wakeSpeed = [&](int k, const std::vector<double>& s, double cosA, double sinA) {
        double q = cosA * st.wakeCos[at(k)] + sinA * st.wakeSin[at(k)];
        for (int j = 1; j <= unknowns; ++j)
            q += wakeRows[at(k) * at(unknowns + 1) + at(j)] * s[at(j)];
        return q;
    };
    for (int k = 0; k < nWake; ++k)
        st.qInviscid[at(wake0 + k)] = wakeSpeed(k, strength, cosAlfa, sinAlfa);

    // The derivative with the angle: the right-hand sides and the speeds are
    // linear in (cos alpha, sin alpha), whose derivative is (-sin, cos).
    {
        std::vector<double> ds(at(unknowns) + 1, 0.0);
        factors.solve(closedRightHandSide(basis, -sinAlfa, cosAlfa), ds);
        if (nodal) {
            for (int i = 1; i <= g.NP; ++i) st.dqdAlpha[at(i - 1)] = ds[at(i)];
        } else {
            info.surfaceSpeed(g, system, ds.data(), -sinAlfa, cosAlfa, speed.data());
            for (int i = 1; i <= N; ++i) st.dqdAlpha[at(i)] = speed[at(i)];
            toEdges(g, st.dqdAlpha, 1, 0);
        }
        for (int k = 0; k < nWake; ++k)
            st.dqdAlpha[at(wake0 + k)] = wakeSpeed(k, ds, -sinAlfa, cosAlfa);
    }

    // The source panels: the airfoil's panels, then the wake's.
    std::vector<Segment> panels;
    panels.reserve(at(sources));
    for (int J = 1; J <= N; ++J)
        panels.push_back({g.X[at(J)], g.Y[at(J)], g.X[at(J + 1)], g.Y[at(J + 1)]});
    for (int k = 0; k < nWake; ++k)
        panels.push_back({st.wakeX[at(k)], st.wakeY[at(k)], st.wakeX[at(k + 1)],
                          st.wakeY[at(k + 1)]});

    // The speed along the wake of the airfoil sources' strengths, all at
    // once: the wake rows times the basis's responses.
    using RowMajor = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
    const Eigen::Map<const RowMajor> rows(wakeRows.data(), nWake, unknowns + 1);
    const Eigen::Map<const RowMajor> responses(basis.airfoilResponse.data(), N, unknowns + 1);
    const RowMajor airfoilOnWake = rows * responses.transpose();  // nWake x N

    // G(i, p): the change of q at station i per unit sigma on source panel p.
    std::vector<double> G(at(size) * at(sources), 0.0);
    std::vector<double> ds(at(unknowns) + 1);
    // The strengths' response to each wake source panel (column k for panel
    // N + k; the factors are of the method's unknowns: the basis made them so).
    const std::vector<Segment> wakePanels(panels.begin() + N, panels.end());
    const std::size_t columns = at(nWake);
    const std::vector<double> wakeResponse = strengthResponses(basis, wakePanels, N);
    for (int p = 0; p < sources; ++p) {
        const Segment& src = panels[at(p)];
        const bool onAirfoil = p < N;
        const auto view = [&](double x, double y) {
            return segmentFrame(src.x1, src.y1, src.x2, src.y2, x, y);
        };
        if (onAirfoil) {
            // (the airfoil's speeds from the basis)
            for (int i = 0; i < st.nAirfoil; ++i)
                G[at(i) * at(sources) + at(p)] = basis.airfoilSpeed[at(i) * at(N) + at(p)];
        } else {
            for (int i = 1; i <= unknowns; ++i) ds[at(i)] = wakeResponse[at(i) * columns + at(p - N)];
            airfoilStationSpeeds(solution, ds, src, p, speed, G, at(sources), at(p));
        }
        for (int k = 0; k < nWake; ++k) {
            const std::size_t w = at(wake0 + k);
            double t, n;
            const bool ownMiddle = p == N + k && st.fraction[at(p)] == 0.5;
            sourceComponents(view(st.x[w], st.y[w]), ownMiddle, st.wakeCos[at(k)],
                             st.wakeSin[at(k)], t, n);
            if (ownMiddle) t = 0;  // a sheet induces nothing along itself at its middle
            G[w * at(sources) + at(p)] = (onAirfoil ? airfoilOnWake(k, p) : wakeSpeed(k, ds, 0, 0)) + t;
        }
    }

    // D = G S with S the sparse map from mTilde to sigma.
    st.D.assign(at(size) * at(size), 0.0);
    const std::vector<Combination> sigma =
        sigmaCombinations(N, nWake, st.panelLength, st.fraction, nodal);
    for (int p = 0; p < sources; ++p)
        for (const Term& term : sigma[at(p)])
            for (int i = 0; i < size; ++i)
                st.D[at(i) * at(size) + at(term.station)] +=
                    G[at(i) * at(sources) + at(p)] * term.weight;

    // (the couplings on control points: see kAlternatingDefectLaw)
    if (!nodal && (method != PanelMethod::VortexPanel || basis.replacedRow > 0))
        answerAlternatingDefects(st, kAlternatingDefectLaw);

    for (double v : st.D)
        if (!std::isfinite(v))
            return Refusal{Refusal::Kind::NoFiniteResult, kNoFiniteResultMessage};
    return st;
}

std::vector<double> panelMidSpeeds(const CouplingStations& st, const std::vector<double>& q)
{
    const int N = st.airfoilPanels();
    if (N < 1 || q.size() < at(st.nAirfoil)) return {};
    if (!st.onEndPoints()) return std::vector<double>(q.begin(), q.begin() + st.nAirfoil);
    // Stations on the end points: the mean of the linear vorticity.
    std::vector<double> mid(at(N) + 2, 0.0);
    mid[0] = q[0];
    for (int i = 1; i <= N; ++i) mid[at(i)] = (q[at(i - 1)] + q[at(i)]) / 2;
    mid[at(N + 1)] = q[at(N)];
    return mid;
}

Coefficients viscousForces(const PanelGeometry& g, const CouplingStations& st,
                           const std::vector<double>& q, double alphaDeg)
{
    return viscousForces(g, panelMidSpeeds(st, q), alphaDeg);
}

Coefficients viscousForces(const PanelGeometry& g, const std::vector<double>& q, double alphaDeg)
{
    if (q.size() < at(g.NPanel) + 2) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan, nan};
    }
    const double a = alphaDeg * kDegToRad;
    std::vector<double> Cu(at(g.NPanel) + 1, 0.0);
    for (int i = 1; i <= g.NPanel; ++i) {
        const double speed = std::fabs(q[at(i)]);
        Cu[at(i)] = speed * speed;
    }
    return integrateForces(g, Cu.data(), std::cos(a), std::sin(a));
}

}  // namespace tavrix::coupled
