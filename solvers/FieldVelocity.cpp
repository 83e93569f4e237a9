#include "solvers/FieldVelocity.h"

#include <cmath>
#include <cstddef>

#include "solvers/PanelFrame.h"

namespace tavrix {

namespace {

constexpr double kTwoPi = 2 * kPi;

// A field point seen from a straight segment: its frame and the segment's
// sheet integrals there.
struct SegmentView : SegmentFrame {
    SheetIntegrals sheet;
};

SegmentView viewFrom(double x1, double y1, double x2, double y2, double x, double y)
{
    SegmentView s;
    static_cast<SegmentFrame&>(s) = segmentFrame(x1, y1, x2, y2, x, y);
    s.sheet = sheetIntegrals(s.XP, s.YP, s.H);
    return s;
}

Velocity toGlobal(const SegmentView& s, double along, double across)
{
    return {along * s.cosD - across * s.sinD, along * s.sinD + across * s.cosD};
}

// Local velocity of a unit uniform source sheet.
void uniformSource(const SegmentView& s, double& along, double& across)
{
    along = s.sheet.us;
    across = s.sheet.vs;
}

// Local velocity of a unit uniform counter-clockwise vortex sheet: the
// source's velocity turned through a right angle.
void uniformVortex(const SegmentView& s, double& along, double& across)
{
    along = -s.sheet.vs;
    across = s.sheet.us;
}

// Local velocity of a counter-clockwise vortex sheet of strength t, the
// distance along the segment from its mid point.
void firstMomentVortex(const SegmentView& s, double& along, double& across)
{
    along = -s.sheet.vt;
    across = s.sheet.ut;
}

// Velocities of the linear sheet that is 1 at the first end point and 0 at
// the second (a) and the other way round (b), counter-clockwise positive.
void linearVortexPair(const SegmentView& s, Velocity& a, Velocity& b)
{
    double u0, v0, u1, v1;
    uniformVortex(s, u0, v0);
    firstMomentVortex(s, u1, v1);
    const double twoH = 2 * s.H;
    a = toGlobal(s, u0 / 2 - u1 / twoH, v0 / 2 - v1 / twoH);
    b = toGlobal(s, u0 / 2 + u1 / twoH, v0 / 2 + v1 / twoH);
}

}  // namespace

SheetIntegrals sheetIntegrals(double XP, double YP, double H, bool firstMoment)
{
    const double r1sq = (XP + H) * (XP + H) + YP * YP;
    const double r2sq = (XP - H) * (XP - H) + YP * YP;
    const double lambda = std::log(r1sq / r2sq) / 2;
    const double Q = XP * XP + YP * YP - H * H;
    const double beta = subtendedAngle(Q, YP, Q == 0 ? 0 : ((2 * YP) * H) / Q, kPi);
    SheetIntegrals s;
    s.us = lambda / kTwoPi;
    s.vs = beta / kTwoPi;
    if (firstMoment) {
        s.ut = (XP * lambda - 2 * H + YP * beta) / kTwoPi;
        s.vt = (XP * beta - YP * lambda) / kTwoPi;
    }
    return s;
}

Velocity sourceSegmentVelocity(double x1, double y1, double x2, double y2, double sigma,
                               double x, double y)
{
    const SegmentView s = viewFrom(x1, y1, x2, y2, x, y);
    double along, across;
    uniformSource(s, along, across);
    return toGlobal(s, sigma * along, sigma * across);
}

Velocity vortexSegmentVelocity(double x1, double y1, double x2, double y2, double gamma1,
                               double gamma2, double x, double y)
{
    const SegmentView s = viewFrom(x1, y1, x2, y2, x, y);
    Velocity a, b;
    linearVortexPair(s, a, b);
    return {gamma1 * a.u + gamma2 * b.u, gamma1 * a.v + gamma2 * b.v};
}

void inducedVelocityRows(const PanelGeometry& g, const PanelSystem& system, double x, double y,
                         std::vector<double>& du, std::vector<double>& dv)
{
    const auto n = static_cast<std::size_t>(system.unknowns) + 1;
    du.assign(n, 0.0);
    dv.assign(n, 0.0);
    for (int J = 1; J <= g.NPanel; ++J) {
        const SegmentView s = viewFrom(g.X[J], g.Y[J], g.X[J + 1], g.Y[J + 1], x, y);
        switch (system.method) {
        case PanelMethod::VortexPanel:
        case PanelMethod::SoinneLaine: {
            // Vorticity linear along each panel, its end-point values the
            // unknowns, clockwise positive (the surface speed is +gamma with
            // the fluid inside at rest).
            Velocity a, b;
            linearVortexPair(s, a, b);
            du[J] -= a.u;
            dv[J] -= a.v;
            du[J + 1] -= b.u;
            dv[J + 1] -= b.v;
            break;
        }
        case PanelMethod::KennedyMarsden: {
            // A uniform counter-clockwise vortex sheet per panel.
            double along, across;
            uniformVortex(s, along, across);
            const Velocity w = toGlobal(s, along, across);
            du[J] += w.u;
            dv[J] += w.v;
            break;
        }
        case PanelMethod::Hess: {
            // A uniform source sheet per panel; the last unknown is the
            // amplitude of a clockwise vortex sheet of the panels' shape d(j).
            double along, across;
            uniformSource(s, along, across);
            const Velocity q = toGlobal(s, along, across);
            du[J] += q.u;
            dv[J] += q.v;
            uniformVortex(s, along, across);
            const Velocity w = toGlobal(s, along, across);
            const double d = system.vortexShape[static_cast<std::size_t>(J)];
            du[g.NP] -= d * w.u;
            dv[g.NP] -= d * w.v;
            break;
        }
        }
    }
}

Velocity inducedVelocity(const PanelGeometry& g, const PanelSystem& system,
                         const std::vector<double>& strength, double x, double y)
{
    std::vector<double> du, dv;
    inducedVelocityRows(g, system, x, y, du, dv);
    Velocity w;
    for (int j = 1; j <= system.unknowns; ++j) {
        w.u += du[static_cast<std::size_t>(j)] * strength[static_cast<std::size_t>(j)];
        w.v += dv[static_cast<std::size_t>(j)] * strength[static_cast<std::size_t>(j)];
    }
    return w;
}

Velocity fieldVelocity(const PanelSolution& solution, const std::vector<double>& strength,
                       double alphaDeg, double x, double y)
{
    const double a = alphaDeg * kDegToRad;
    const Velocity w = inducedVelocity(solution.geometry(), solution.system(), strength, x, y);
    return {std::cos(a) + w.u, std::sin(a) + w.v};
}

}  // namespace tavrix
