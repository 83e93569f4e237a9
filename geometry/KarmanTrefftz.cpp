#include "geometry/KarmanTrefftz.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>

#include "app/NumberText.h"

namespace tavrix {

namespace {

// The thickness search gives up at this station; the camber search, which
// counts on the same tables, stops before the last station of the tables.
constexpr int kThicknessStationLimit = 100;

constexpr int kFGIterationLimit = 20;
constexpr int kExponentIterationLimit = 10;

static_assert(kKarmanTrefftzPointsMax == 2 * KarmanTrefftzIteration::kStationLast,
              "one surface's stations fill the tables");

// Pi as the program computes it at start-up.
double startUpPi() { return 4 * std::atan(1.0); }

// One secant step from (x1, y1), (x2, y2) towards y = target. A flat secant
// has no root: NaN, which the design's finiteness check turns into a refusal.
double secantStep(double x1, double x2, double y1, double y2, double target)
{
    if (y2 == y1) return std::numeric_limits<double>::quiet_NaN();
    return x1 + (target - y1) * (x2 - x1) / (y2 - y1);
}

std::string roundedText(double v, char decimalSeparator)
{
    return generalForm(roundHalfEven(v, 5), decimalSeparator);
}

std::optional<std::string> inputRefusal(const KarmanTrefftzInputs& in)
{
    if (!(in.thickness > 0 && in.thickness < 1))
        return "Thickness ratio must be greater than 0 and less than 1";
    if (!(in.camber >= 0 && in.camber < 1))
        return "Camber ratio must be at least 0 and less than 1";
    if (!(in.trailingEdgeAngle >= 0 && in.trailingEdgeAngle < 180))
        return "TE internal angle must be at least 0 and less than 180 degrees";
    if (!(in.thicknessLocation >= 0 && in.thicknessLocation < 1))
        return "Max thickness location must be at least 0 and less than 1";
    if (in.pointCount < kKarmanTrefftzPointsMin || in.pointCount > kKarmanTrefftzPointsMax)
        return "Number of panel end points must be a whole number from 3 to 400 for this airfoil";
    return std::nullopt;
}

// Stations uniform in the circle angle from the trailing edge (theta = pi) to
// the leading edge (theta = 2 pi): the lower surface at +theta, the upper
// surface at -theta, both mirrored into the frame of a chord from (0, 0) to
// (1, 0). For an even number of panels the last station is the leading edge,
// stored twice at the same point; the image of -theta is the one kept.
Contour mapContour(KarmanTrefftzIteration& it, const KarmanTrefftzSection& s, int np,
                   double pi)
{
    Contour contour;
    contour.x.assign(static_cast<std::size_t>(np), 0.0);
    contour.y.assign(static_cast<std::size_t>(np), 0.0);
    auto at = [](int point) { return static_cast<std::size_t>(point - 1); };
    const int nPanel = np - 1;
    const double M1 = nPanel / 2.0 + 1;
    const double dTheta = pi / (M1 - 1);
    for (int i = 2; i <= M1; ++i) {
        double theta = pi + (i - 1) * dTheta;
        it.XY(s.F, s.G, s.m, theta, i, s.BB);
        contour.x[at(i)] = (1 - it.XPos[i]) - s.m * s.BB;
        contour.y[at(i)] = it.YPos[i];
        const int j = np - i + 1;
        contour.x[at(j)] = (1 - it.XNeg[i]) - s.m * s.BB;
        contour.y[at(j)] = it.YNeg[i];
    }
    // zeta = -1 is the singular point of the map: the trailing edge is set.
    contour.x[at(1)] = 1;
    contour.y[at(1)] = 0;
    contour.x[at(np)] = 1;
    contour.y[at(np)] = 0;
    return contour;
}

}  // namespace

PlanePoint mapCirclePoint(double F, double G, double m, double theta, double BB, double pi)
{
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    // Distance from the origin to the circle along the ray: root of
    // r^2 - 2 p r - (1 + 2F) = 0, the circle through -1 centred at (F, G).
    const double p = F * c + G * s;
    const double r = p + std::pow(1 + 2 * F + p * p, 0.5);
    const double R1 = std::pow(1 + r * r + 2 * r * c, 0.5);  // |zeta + 1|
    const double R2 = std::pow(1 + r * r - 2 * r * c, 0.5);  // |zeta - 1|
    const double rho = R2 / R1;
    // Argument of (zeta - 1)/(zeta + 1) = (r^2 - 1 + 2 i r s) / |zeta + 1|^2.
    // On the unit circle it is +-pi/2 with the sign of s, the limit from
    // both sides, so the point is not mirrored across the chord line.
    double phi;
    if (r != 1) {
        phi = std::atan(2 * s / (r - 1 / r));
    } else {
        phi = s < 0 ? -pi / 2 : pi / 2;
    }
    if (r < 1) phi = phi - pi;
    const double rho2m = std::pow(rho, 2 * m);
    const double rhom = std::pow(rho, m);
    const double D = 1 + rho2m - 2 * rhom * std::cos(m * phi);  // |1 - w|^2
    return {m * BB * (1 - rho2m) / D, 2 * m * BB * rhom * std::sin(m * phi) / D};
}

std::string measuredSectionLine(double F, double G, double DMAX, double GMAX, double XDMAXC,
                                char decimalSeparator)
{
    const std::string_view joint = "  ,";
    std::string line = roundedText(F, decimalSeparator);
    line += joint;
    line += roundedText(G, decimalSeparator);
    line += joint;
    line += roundedText(DMAX, decimalSeparator);
    line += joint;
    line += roundedText(GMAX, decimalSeparator);
    line += joint;
    line += roundedText(XDMAXC, decimalSeparator);
    return line;
}

std::string KarmanTrefftzIteration::listNumber(double v) const
{
    return roundedText(v, decimalSeparator_);
}

void KarmanTrefftzIteration::XY(double F, double G, double EM, double& TETA, int I, double BB)
{
    const double pi = startUpPi();
    for (int J = 1; J <= 2; ++J) {
        const PlanePoint point = mapCirclePoint(F, G, EM, TETA, BB, pi);
        if (J == 2) {
            XNeg[I] = point.x;
            YNeg[I] = point.y;
        } else {
            XPos[I] = point.x;
            YPos[I] = point.y;
        }
        TETA = -TETA;
    }
}

void KarmanTrefftzIteration::DGX(double F, double G, double EM, double& DMAX, double& GMAX,
                                 double& XDMAXC)
{
    const double pi = startUpPi();
    const double C = 1;
    // Chord and leading-edge position of the section drawn with the scale C.
    const double A = 2 * EM * C * std::pow(1 + F, EM) / (std::pow(1 + F, EM) - std::pow(F, EM));
    const double xL = A - EM * C;

    double thetaT = 3 * pi / 10;
    double thetaC = 4 * pi / 10;
    double step = pi / 10;
    int K = 0;
    double xm1 = 0;
    for (;;) {
        step = step / 10;
        DMAX = 0;
        GMAX = 0;

        // Thickness: the distance between the images of the points at +theta
        // and -theta, searched until it begins to fall.
        for (;;) {
            K = K + 1;
            if (K >= kThicknessStationLimit) return;
            thetaT = thetaT + step;
            XY(F, G, EM, thetaT, K, C);
            const double dy = YNeg[K] - YPos[K];
            const double dx = XNeg[K] - XPos[K];
            const double d = std::pow(dy * dy + dx * dx, 0.5) / A;
            if (d < DMAX) break;
            DMAX = d;
        }
        thetaT = thetaT - 2 * step;  // the finer round starts one station before the top
        xm1 = (XPos[K - 1] + XNeg[K - 1]) / 2;
        const double xm2 = (XPos[K] + XNeg[K]) / 2;
        const double e = (xm1 - xm2) / A;

        // Camber: the mean height of the two images.
        if (G != 0) {
            for (;;) {
                K = K + 1;
                if (K >= kStationLast) {
                    thetaC = thetaC - 2 * step;
                    break;
                }
                thetaC = thetaC + step;
                XY(F, G, EM, thetaC, K, C);
                const double g = (YPos[K] + YNeg[K]) / (2 * A);
                if (g < GMAX) {
                    thetaC = thetaC - 2 * step;
                    break;
                }
                GMAX = g;
            }
        }
        if (!(std::fabs(e) > 0.001)) break;
    }
    XDMAXC = (xL - xm1) / A;
    addLine(measuredSectionLine(F, G, DMAX, GMAX, XDMAXC, decimalSeparator_));
}

void KarmanTrefftzIteration::FGITER(double EM, double& XDMAXC, double DELTA, double GAMMA,
                                    double& F3, double& G3)
{
    addLine("");
    addLine(" M=" + listNumber(EM));
    addLine("");
    addLine(" F        G      DELTA    GAMMA    XDLTC ");
    addLine("");

    double F1 = DELTA / 1.3;
    double G1 = 2 * GAMMA;
    double t1 = 0;
    double h1 = 0;
    DGX(F1, G1, EM, t1, h1, XDMAXC);
    double F2 = 1.1 * F1;
    double G2 = 1.1 * G1;
    double t2 = 0;
    double h2 = 0;
    DGX(F2, G2, EM, t2, h2, XDMAXC);

    // F follows the thickness and G the camber, each along its own secant.
    for (int N = 1;; ++N) {
        F3 = secantStep(F1, F2, t1, t2, DELTA);
        G3 = 0;
        if (GAMMA != 0) G3 = secantStep(G1, G2, h1, h2, GAMMA);
        if (N > kFGIterationLimit) {
            addLine(" ");
            addLine(" F VE G İÇİN İTERASYON 20 ADIMDA YAKINSAMADI !");
            return;
        }
        double t3 = 0;
        double h3 = 0;
        DGX(F3, G3, EM, t3, h3, XDMAXC);
        if (std::fabs(DELTA - t3) <= 0.00001 && std::fabs(GAMMA - h3) <= 0.00001) return;
        F1 = F2;
        G1 = G2;
        t1 = t2;
        h1 = h2;
        F2 = F3;
        G2 = G3;
        t2 = t3;
        h2 = h3;
    }
}

KarmanTrefftzDesign designKarmanTrefftz(const KarmanTrefftzInputs& in)
{
    KarmanTrefftzDesign design;
    if (std::optional<std::string> refusal = inputRefusal(in)) {
        design.refusal = std::move(refusal);
        return design;
    }
    const double delta = in.thickness;
    const double gamma = in.camber;
    const double xDelta = in.thicknessLocation;
    const double pi = startUpPi();
    const double tau = in.trailingEdgeAngle * pi / 180;
    double m1 = 2 - tau / pi;  // exponent that gives the trailing-edge angle tau

    KarmanTrefftzIteration it(in.decimalSeparator);
    it.addLine(" İterasyonun adım adım gelişimi");

    double XD1 = 0;
    double F = 0;
    double G = 0;
    it.FGITER(m1, XD1, delta, gamma, F, G);
    double m = m1;

    // A cusped section with its greatest thickness asked for at a given
    // station: the exponent is freed from the edge angle to place it.
    if (tau == 0 && xDelta != 0) {
        double m2 = 1.95;
        double XD2 = 0;
        double XD3 = 0;
        it.FGITER(m2, XD2, delta, gamma, F, G);
        for (int N = 1;; ++N) {
            const double m3 = secantStep(m1, m2, XD1, XD2, xDelta);
            if (N > kExponentIterationLimit) {
                it.addLine("iteration for m is not converged at 10 step");
                m = m2;  // the newest exponent, whose F and G are in hand
                break;
            }
            it.FGITER(m3, XD3, delta, gamma, F, G);
            if (std::fabs(xDelta - XD3) < 0.001) {
                m = m3;
                break;
            }
            m1 = m2;
            m2 = m3;
            XD1 = XD2;
            XD2 = XD3;
        }
    }
    design.lines = it.lines();

    if (!std::isfinite(F) || !std::isfinite(G) || !std::isfinite(m)) {
        design.refusal = "No section found for these characteristics";
        return design;
    }
    // tau = (2 - m) pi would be negative: upper and lower surfaces cross.
    if (m > 2) {
        design.refusal =
            "No section found for these characteristics: the surfaces would cross at the "
            "trailing edge";
        return design;
    }

    // Scale for a chord of 1.
    const double c = 1;
    const double BB = c * (std::pow(1 + F, m) - std::pow(F, m)) / (2 * m * std::pow(1 + F, m));
    const KarmanTrefftzSection section{F, G, m, BB};
    Contour contour = mapContour(it, section, in.pointCount, pi);
    for (std::size_t k = 0; k < contour.x.size(); ++k) {
        if (!std::isfinite(contour.x[k]) || !std::isfinite(contour.y[k])) {
            design.refusal = "No section found for these characteristics";
            return design;
        }
    }
    design.section = section;
    design.contour = std::move(contour);
    return design;
}

std::optional<Contour> karmanTrefftzContour(const KarmanTrefftzSection& section, int NP)
{
    if (NP < kKarmanTrefftzPointsMin || NP > kKarmanTrefftzPointsMax) return std::nullopt;
    KarmanTrefftzIteration it;
    return mapContour(it, section, NP, startUpPi());
}

}  // namespace tavrix
