#include "geometry/Form_KATJO.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "app/NumberText.h"
#include "output/Plots.h"

namespace tavrix {

namespace {

constexpr std::string_view kList = "List1";

// The thickness search gives up at this station; the camber search, which
// counts on the same tables, stops before the last station of the tables.
constexpr int kThicknessStationLimit = 100;

constexpr int kFGIterationLimit = 20;
constexpr int kExponentIterationLimit = 10;
constexpr int kPointCountMin = 3;
constexpr int kPointCountMax = 2 * Form_KATJO::kStationLast;

// One secant step from (x1, y1), (x2, y2) towards y = target. A flat secant
// has no root: NaN, which the caller's finiteness check turns into a refusal.
double secantStep(double x1, double x2, double y1, double y2, double target)
{
    if (y2 == y1) return std::numeric_limits<double>::quiet_NaN();
    return x1 + (target - y1) * (x2 - x1) / (y2 - y1);
}

std::string roundedText(double v, char decimalSeparator)
{
    return generalForm(roundHalfEven(v, 5), decimalSeparator);
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

std::string Form_KATJO::listNumber(double v) const
{
    return roundedText(v, common_.DecimalSeparator);
}

bool Form_KATJO::refuse(const std::string& text)
{
    ui_.message(text);
    return false;
}

void Form_KATJO::XY(double F, double G, double EM, double& TETA, int I, double BB)
{
    for (int J = 1; J <= 2; ++J) {
        const PlanePoint point = mapCirclePoint(F, G, EM, TETA, BB, common_.Pi);
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

void Form_KATJO::DGX(double F, double G, double EM, double& DMAX, double& GMAX, double& XDMAXC)
{
    const double pi = common_.Pi;
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
    ui_.listAdd(kList, measuredSectionLine(F, G, DMAX, GMAX, XDMAXC, common_.DecimalSeparator));
}

void Form_KATJO::FGITER(double EM, double& XDMAXC, double DELTA, double GAMMA, double& F3,
                        double& G3)
{
    ui_.listAdd(kList, "");
    ui_.listAdd(kList, " M=" + listNumber(EM));
    ui_.listAdd(kList, "");
    ui_.listAdd(kList, " F        G      DELTA    GAMMA    XDLTC ");
    ui_.listAdd(kList, "");

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
            ui_.listAdd(kList, " ");
            ui_.listAdd(kList, " F VE G İÇİN İTERASYON 20 ADIMDA YAKINSAMADI !");
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

bool Form_KATJO::Command1_Click()
{
    const bool made = calculate();
    if (afterCalculate_) afterCalculate_();
    return made;
}

bool Form_KATJO::calculate()
{
    constexpr std::string_view kInputs[] = {"Text_Delta", "Text_Gamma", "Text_Tau", "Text_xDltc"};
    double inputs[4] = {};
    for (int k = 0; k < 4; ++k) {
        const std::string text = ui_.text(kInputs[k]);
        const LeadingNumber number = readLeadingNumber(text);
        if (number.tooLarge) return refuse(numberTooLargeMessage(text));
        inputs[k] = number.value;
    }
    const double delta = inputs[0];
    const double gamma = inputs[1];
    const double tauDegrees = inputs[2];
    const double xDelta = inputs[3];

    if (!(delta > 0 && delta < 1))
        return refuse("Thickness ratio must be greater than 0 and less than 1");
    if (!(gamma >= 0 && gamma < 1)) return refuse("Camber ratio must be at least 0 and less than 1");
    if (!(tauDegrees >= 0 && tauDegrees < 180))
        return refuse("TE internal angle must be at least 0 and less than 180 degrees");
    if (!(xDelta >= 0 && xDelta < 1))
        return refuse("Max thickness location must be at least 0 and less than 1");
    const int np = pointCount_;
    if (np < kPointCountMin || np > kPointCountMax)
        return refuse("Number of panel end points must be a whole number from 3 to 400 for this airfoil");

    const double pi = common_.Pi;
    const double tau = tauDegrees * pi / 180;
    double m1 = 2 - tau / pi;  // exponent that gives the trailing-edge angle tau

    ui_.listClear(kList);
    ui_.listAdd(kList, " İterasyonun adım adım gelişimi");

    double XD1 = 0;
    double F = 0;
    double G = 0;
    FGITER(m1, XD1, delta, gamma, F, G);
    double m = m1;

    // A cusped section with its greatest thickness asked for at a given
    // station: the exponent is freed from the edge angle to place it.
    if (tau == 0 && xDelta != 0) {
        double m2 = 1.95;
        double XD2 = 0;
        double XD3 = 0;
        FGITER(m2, XD2, delta, gamma, F, G);
        for (int N = 1;; ++N) {
            const double m3 = secantStep(m1, m2, XD1, XD2, xDelta);
            if (N > kExponentIterationLimit) {
                ui_.listAdd(kList, "iteration for m is not converged at 10 step");
                m = m2;  // the newest exponent, whose F and G are in hand
                break;
            }
            FGITER(m3, XD3, delta, gamma, F, G);
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

    if (!std::isfinite(F) || !std::isfinite(G) || !std::isfinite(m))
        return refuse("No section found for these characteristics");
    // tau = (2 - m) pi would be negative: upper and lower surfaces cross.
    if (m > 2)
        return refuse(
            "No section found for these characteristics: the surfaces would cross at the "
            "trailing edge");

    const char* family = m == 2 ? "JOUKOWSKY PROFILI" : "KARMAN-TREFFTZ PROFILI";

    // Scale for a chord of 1.
    const double c = 1;
    const double BB = c * (std::pow(1 + F, m) - std::pow(F, m)) / (2 * m * std::pow(1 + F, m));

    // Stations uniform in the circle angle from the trailing edge (theta = pi)
    // to the leading edge (theta = 2 pi): the lower surface at +theta, the
    // upper surface at -theta.
    const int nPanel = np - 1;
    const double M1 = nPanel / 2.0 + 1;
    const double dTheta = pi / (M1 - 1);
    Table x{};
    Table y{};
    for (int i = 2; i <= M1; ++i) {
        double theta = pi + (i - 1) * dTheta;
        XY(F, G, m, theta, i, BB);
        x[i] = (1 - XPos[i]) - m * BB;
        y[i] = YPos[i];
        const int j = np - i + 1;
        x[j] = (1 - XNeg[i]) - m * BB;
        y[j] = YNeg[i];
    }
    // zeta = -1 is the singular point of the map: the trailing edge is set.
    x[1] = 1;
    y[1] = 0;
    x[np] = 1;
    y[np] = 0;
    for (int i = 1; i <= np; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]))
            return refuse("No section found for these characteristics");
    }

    ui_.setText("Text_Sonuc", family);
    ui_.setText("Text_F", listNumber(F));
    ui_.setText("Text_G", listNumber(G));
    ui_.setText("Text_m", listNumber(m));
    for (int i = 1; i <= np; ++i) {
        common_.XCoord[i] = x[i];
        common_.YCoord[i] = y[i];
    }
    common_.NP = np;
    common_.NPanel = np - 1;
    common_.AirfoilSource = ContourSource::KarmanTrefftz;
    const char sep = common_.DecimalSeparator;
    common_.AirfoilName = std::string(m == 2 ? "Joukowsky" : "Karman-Trefftz") +
                          " section \u03b4 = " + generalForm(delta, sep) + ", \u03b3 = " +
                          generalForm(gamma, sep) + ", \u03c4 = " + generalForm(tauDegrees, sep) +
                          "\u00b0";
    lastSection_ = KarmanTrefftzSection{F, G, m, BB};
    Show_Airfoil(common_, ui_, common_.XCoord, common_.YCoord);
    common_.AirfoilReady = true;
    return true;
}

}  // namespace tavrix
