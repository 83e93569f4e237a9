#include "viscous/CoupledPolar.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "geometry/Contour.h"
#include "geometry/Repanel.h"
#include "viscous/InviscidCoupling.h"

namespace tavrix {

namespace {

bool finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }

// The contour of the panels' end points, in the frame the panels hold them
// (turned by the press's eta).
Contour endPoints(const PanelGeometry& g)
{
    Contour c;
    c.x.assign(g.X.begin() + 1, g.X.begin() + 1 + g.NP);
    c.y.assign(g.Y.begin() + 1, g.Y.begin() + 1 + g.NP);
    return c;
}

// x/c of each panel's mid point (1-based, index 0 unused) along the chord
// from the nose (leadingEdgeIndex) to the trailing edge's mid point, and the
// longest panel, in chords, whose mid point lies within kLayerNoseReach.
struct NoseFrame {
    std::vector<double> xc;
    double longestNosePanel = 0;
    double xte = 0, yte = 0;  // the trailing edge's mid point
    double chord = 0;         // from the nose to it
};

NoseFrame noseFrame(const PanelGeometry& g, const Contour& points)
{
    NoseFrame f;
    f.xc.assign(static_cast<std::size_t>(g.NPanel) + 1, 1.0);
    const std::size_t nose = static_cast<std::size_t>(leadingEdgeIndex(points));
    const double xte = (points.x.front() + points.x.back()) / 2;
    const double yte = (points.y.front() + points.y.back()) / 2;
    f.xte = xte;
    f.yte = yte;
    const double chord = std::hypot(xte - points.x[nose], yte - points.y[nose]);
    if (!(chord > 0)) return f;
    f.chord = chord;
    const double cx = (xte - points.x[nose]) / chord, cy = (yte - points.y[nose]) / chord;
    for (std::size_t i = 1; i < f.xc.size(); ++i) {
        f.xc[i] = ((g.XM[i] - points.x[nose]) * cx + (g.YM[i] - points.y[nose]) * cy) / chord;
        if (f.xc[i] < kLayerNoseReach) f.longestNosePanel = std::max(f.longestNosePanel, g.DS[i] / chord);
    }
    return f;
}

// The trailing edge's wedge in degrees: the angle between the chords from
// its two end points (the contour's first and last) to the first points at
// least kLayerEdgeReach of the chord along each surface.
double trailingEdgeWedge(const Contour& points, double chord)
{
    const std::size_t n = points.x.size();
    if (n < 3 || !(chord > 0)) return 180;
    const auto reach = [&](bool fromFront) {
        const std::size_t edge = fromFront ? 0 : n - 1;
        for (std::size_t k = 1; k < n; ++k) {
            const std::size_t i = fromFront ? k : n - 1 - k;
            if (std::hypot(points.x[i] - points.x[edge], points.y[i] - points.y[edge]) >=
                kLayerEdgeReach * chord)
                return i;
        }
        return fromFront ? n - 1 : std::size_t{0};
    };
    const std::size_t a = reach(true), b = reach(false);
    const double ta = std::atan2(points.y[a] - points.y[0], points.x[a] - points.x[0]);
    const double tb = std::atan2(points.y[b] - points.y[n - 1], points.x[b] - points.x[n - 1]);
    double w = std::abs(ta - tb) * 180 / std::numbers::pi;
    if (w > 180) w = 360 - w;
    return w;
}

// Whether the layer splits every panel of the contour (the first rule of
// layerPanels).
bool subdividedThroughout(const PanelGeometry& g) { return g.NP < kLayerLeastPoints; }

}  // namespace

double longestNosePanel(const PanelGeometry& g)
{
    return g.NP < 3 ? 0 : noseFrame(g, endPoints(g)).longestNosePanel;
}

std::optional<PanelSolution> layerPanels(const PanelSolution& press, double re)
{
    const PanelGeometry& g = press.geometry();
    if (g.NP < 3) return std::nullopt;
    // (the spline through the end points is the same curve in any frame)
    const Contour points = endPoints(g);
    const NoseFrame f = noseFrame(g, points);
    // Every panel of a contour of few points; then the nose's, further.
    const int forCount = subdividedThroughout(g) ? (kLayerPoints - 1 + g.NPanel - 1) / g.NPanel : 1;
    const double noseRe = re > 0 && std::isfinite(re) ? std::min(re, kLayerFinestNoseReynolds)
                                                      : kLayerCoarseNoseReynolds;
    const double nosePanel =
        forCount > 1 ? std::min(kLayerNosePanel, kLayerCoarseNosePanel * std::sqrt(kLayerCoarseNoseReynolds / noseRe))
                     : kLayerNosePanel;
    const int forNose = static_cast<int>(std::ceil(f.longestNosePanel / nosePanel));
    std::vector<int> parts(static_cast<std::size_t>(g.NPanel), forCount);
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (f.xc[i + 1] < kLayerNoseSplit) parts[i] = std::max(forCount, forNose);
    // A thin edge on long panels: those near it graded down to
    // kLayerEdgePanel at the edge.
    if (f.chord > 0 && trailingEdgeWedge(points, f.chord) < kLayerThinEdge) {
        const std::size_t last = parts.size() - 1;
        const double lastPanel = g.DS[static_cast<std::size_t>(g.NPanel)] / parts[last];
        const double edgePanel = std::max(g.DS[1] / parts[0], lastPanel) / f.chord;
        if (edgePanel > 2 * kLayerEdgePanel) {
            const auto fromEdge = [&](std::size_t i) {
                return std::hypot(points.x[i] - f.xte, points.y[i] - f.yte) / f.chord;
            };
            for (std::size_t i = 0; i < parts.size(); ++i) {
                const double d = std::min(fromEdge(i), fromEdge(i + 1));
                if (d >= kLayerEdgeSplit) continue;
                const double longest = std::max(kLayerEdgePanel, d / 2);
                const int want = static_cast<int>(std::ceil(g.DS[i + 1] / f.chord / longest));
                parts[i] = std::max(parts[i], want);
            }
        }
    }
    if (*std::max_element(parts.begin(), parts.end()) < 2) return std::nullopt;
    const Contour fine = subdivided(points, parts);
    Outcome<PanelGeometry> geometry = buildPanelGeometry(fine.x, fine.y, 0);
    if (!geometry || geometry->NP <= g.NP) return std::nullopt;
    geometry->etaDeg = g.etaDeg;
    Outcome<PanelSolution> solution = solvePanels(*geometry, press.method());
    if (!solution) return std::nullopt;
    return std::move(*solution);
}

Outcome<coupled::CouplingBasis> layerBasis(const PanelSolution& press, double re)
{
    const std::optional<PanelSolution> refined = layerPanels(press, re);
    if (!refined) return coupled::couplingBasis(press);
    return coupled::couplingBasis(*refined, subdividedThroughout(press.geometry())
                                                ? coupled::VortexEdgeRow::Always
                                                : coupled::VortexEdgeRow::WhereIllDetermined);
}

CoupledPoint notConvergedPoint(double alphaDeg, const std::string& reason)
{
    CoupledPoint p;
    p.alphaDeg = alphaDeg;
    p.reason = reason;
    for (char& ch : p.reason)
        if (ch == '\n' || ch == '\r') ch = ' ';
    if (p.reason.empty()) p.reason = "not converged";
    return p;
}

CoupledPoint coupledPointOf(const PanelGeometry& geometry, const coupled::CoupledResult& result)
{
    auto failed = [&](const std::string& reason) {
        CoupledPoint p = notConvergedPoint(result.alphaDeg, reason);
        p.iterations = result.iterations;
        p.contourPoints = p.layerPoints = geometry.NP;
        // Where the iteration stopped, when the iterate has a finite lift
        // and drag (the speeds of a point refused before any step are none).
        if (result.iterations > 0 && !result.qPanels.empty()) {
            const double cl = coupled::viscousForces(geometry, result.qPanels, result.alphaDeg).CL;
            if (std::isfinite(cl)) p.lastIterateCL = cl;
            if (std::isfinite(result.cd) && result.cd > 0) p.lastIterateCD = result.cd;
        }
        return p;
    };
    if (!result.converged) return failed(result.reason);
    CoupledPoint p;
    p.alphaDeg = result.alphaDeg;
    p.iterations = result.iterations;
    p.contourPoints = p.layerPoints = geometry.NP;
    const Coefficients forces = coupled::viscousForces(geometry, result.qPanels, result.alphaDeg);
    p.CL = forces.CL;
    p.CM = forces.CM;
    p.CD = result.cd;
    p.CDp = result.cdp;
    p.CDf = result.cdf;
    p.transitionUpper = result.transitionUpper;
    p.transitionLower = result.transitionLower;
    p.separationUpper = result.separationUpper;
    p.separationLower = result.separationLower;
    for (double v : {p.alphaDeg, p.CL, p.CM, p.CD, p.CDp, p.CDf})
        if (!std::isfinite(v)) return failed("the forces of the layer are not finite");
    for (const auto* x : {&p.transitionUpper, &p.transitionLower, &p.separationUpper,
                          &p.separationLower})
        if (!finite(*x)) return failed("the layer's transition or separation is not finite");
    for (const coupled::StationResult& s : result.stations)
        for (double v : {s.x, s.y, s.xi, s.ue, s.theta, s.dstar, s.H, s.cf, s.n, s.ctau})
            if (!std::isfinite(v)) return failed("the layer's stations are not finite");
    p.stations = result.stations;
    p.converged = true;
    return p;
}

CoupledPoint coupledPointAt(const PanelSolution& press, double alphaDeg,
                            coupled::CoupledOptions options)
{
    const Outcome<coupled::CouplingBasis> basis = layerBasis(press, options.re);
    if (!basis) return notConvergedPoint(alphaDeg, basis.refusal().message);
    const PanelGeometry& geometry = basis->solution.geometry();
    const Outcome<coupled::CouplingStations> stations = coupled::buildCoupling(*basis, alphaDeg);
    if (!stations) return notConvergedPoint(alphaDeg, stations.refusal().message);
    const coupled::StationsOfAngle stationsOf = [&](double a) {
        return a == alphaDeg ? stations : coupled::buildCoupling(*basis, a);
    };
    coupled::SweepPoint solved;
    if (options.targetCl) {
        const coupled::LiftOfStations lift = [&geometry](const coupled::CouplingStations& st,
                                                         const std::vector<double>& q, double a) {
            return coupled::viscousForces(geometry, st, q, a).CL;
        };
        solved = coupled::solveForLift(alphaDeg, *options.targetCl, stationsOf, options, lift);
    } else {
        // A point that does not converge from a fresh start is reached from 0
        // degrees by whole degrees before it is given up.
        solved = coupled::solveWithContinuation(alphaDeg, stationsOf, options);
    }
    CoupledPoint point = coupledPointOf(geometry, solved.result);
    point.contourPoints = press.geometry().NP;
    return point;
}

CoupledPoint coupledPointAt(std::span<const double> x, std::span<const double> y, double etaDeg,
                            PanelMethod method, double alphaDeg,
                            const coupled::CoupledOptions& options)
{
    const Outcome<PanelGeometry> geometry = buildPanelGeometry(x, y, etaDeg);
    if (!geometry) return notConvergedPoint(alphaDeg, geometry.refusal().message);
    const Outcome<PanelSolution> solution = solvePanels(*geometry, method);
    if (!solution) return notConvergedPoint(alphaDeg, solution.refusal().message);
    return coupledPointAt(*solution, alphaDeg, options);
}

std::vector<CoupledPoint> coupledSweep(const PanelSolution& press,
                                       const std::vector<double>& alphasDeg,
                                       const coupled::CoupledOptions& options,
                                       const CoupledProgress& keepGoing)
{
    const Outcome<coupled::CouplingBasis> basis = layerBasis(press, options.re);
    if (!basis) {
        std::vector<CoupledPoint> refused;
        for (double a : alphasDeg) refused.push_back(notConvergedPoint(a, basis.refusal().message));
        return refused;
    }
    const std::vector<coupled::SweepPoint> swept = coupled::sweepCoupled(
        alphasDeg, [&basis](double a) { return coupled::buildCoupling(*basis, a); }, options,
        keepGoing, kCancelledReason);
    std::vector<CoupledPoint> points;
    points.reserve(swept.size());
    for (const coupled::SweepPoint& s : swept) {
        CoupledPoint p = coupledPointOf(basis->solution.geometry(), s.result);
        // The sweep's angle, as given, names the point.
        p.alphaDeg = s.alphaDeg;
        p.contourPoints = press.geometry().NP;
        points.push_back(std::move(p));
    }
    return points;
}

std::vector<CoupledPoint> coupledSweep(std::span<const double> x, std::span<const double> y,
                                       double etaDeg, PanelMethod method,
                                       const std::vector<double>& alphasDeg,
                                       const coupled::CoupledOptions& options,
                                       const CoupledProgress& keepGoing)
{
    std::vector<CoupledPoint> points;
    auto refuseAll = [&](const std::string& reason) {
        for (double a : alphasDeg) points.push_back(notConvergedPoint(a, reason));
        return points;
    };
    const Outcome<PanelGeometry> geometry = buildPanelGeometry(x, y, etaDeg);
    if (!geometry) return refuseAll(geometry.refusal().message);
    const Outcome<PanelSolution> solution = solvePanels(*geometry, method);
    if (!solution) return refuseAll(solution.refusal().message);
    return coupledSweep(*solution, alphasDeg, options, keepGoing);
}

std::optional<coupled::LiftMaximum> liftMaximumOf(std::span<const CoupledPoint> points)
{
    std::vector<coupled::LiftPoint> polar;
    polar.reserve(points.size());
    for (const CoupledPoint& p : points) polar.push_back({p.alphaDeg, p.CL, p.converged});
    return coupled::liftMaximum(polar);
}

}  // namespace tavrix
