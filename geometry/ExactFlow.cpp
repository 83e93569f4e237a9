#include "geometry/ExactFlow.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrix {

namespace {

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;

// Contour samples for the nearest-point search, uniform in the centre angle.
constexpr int kScanPoints = 2048;
// Trapezoidal rule on a circle outside the body: the integrands are analytic
// in the annulus, so the rule is exact to rounding long before this count.
constexpr int kBlasiusPoints = 512;

}  // namespace

// Circle plane: centre (F, G), radius R, through zeta = -1. The section plane
// z = m BB (1 + w) / (1 - w), w = ((zeta - 1)/(zeta + 1))^m, behaves as
// z = BB zeta far away (w = 1 - 2m/zeta + ...), a real positive scale. The
// main window's frame is Z = (1 - m BB) - conj(z), a mirror; its conjugate
// Y = conj(Z) = (1 - m BB) - z(zeta) is conformal with Y = -BB zeta far away.
// A free stream e^{i alpha} in Z is the complex velocity dPhi/dY = e^{i alpha}
// in Y, hence dPhi/dzeta = -BB e^{i alpha} far away: U = BB and
// e^{-i alpha'} = -e^{i alpha}, alpha' = -(alpha + pi).
KarmanTrefftzFlow::KarmanTrefftzFlow(const KarmanTrefftzSection& section, double alphaDegrees)
    : section_(section), alpha_(alphaDegrees * kPi / 180)
{
    const double F = section_.F;
    const double G = section_.G;
    centre_ = Complex(F, G);
    radius_ = std::hypot(1 + F, G);
    thetaTE_ = std::atan2(-G, -(1 + F));
    speedU_ = section_.BB;
    alphaCircle_ = -(alpha_ + kPi);
    // Kutta condition W(-1) = 0. On the circle, at the centre angle theta,
    // W e^{i theta} = i (2 U sin(theta - alpha') + Gamma / (2 pi R)).
    gammaCircle_ = -4 * kPi * radius_ * speedU_ * std::sin(thetaTE_ - alphaCircle_);
    // The mirror reverses the sense of rotation: the circle plane's Gamma
    // (clockwise positive in W above) is anticlockwise in the chord frame.
    // Per unit free-stream speed, and V = 1 here.
    circulation_ = -gammaCircle_;
    integrateBlasius();
    scan_.resize(kScanPoints);
    for (int k = 0; k < kScanPoints; ++k) {
        const PlanePoint q = pointAtCentreAngle(thetaTE_ + kTwoPi * k / kScanPoints);
        scan_[static_cast<std::size_t>(k)] = Complex(q.x, q.y);
    }
}

Complex KarmanTrefftzFlow::zetaAt(double centreAngle) const
{
    return centre_ + std::polar(radius_, centreAngle);
}

Complex KarmanTrefftzFlow::map(Complex zeta) const
{
    const double m = section_.m;
    const Complex w = std::exp(m * std::log((zeta - 1.0) / (zeta + 1.0)));
    return m * section_.BB * (1.0 + w) / (1.0 - w);
}

Complex KarmanTrefftzFlow::mapDerivative(Complex zeta) const
{
    // dw/dzeta = 2 m w / (zeta^2 - 1), dz/dw = 2 m BB / (1 - w)^2.
    const double m = section_.m;
    const Complex w = std::exp(m * std::log((zeta - 1.0) / (zeta + 1.0)));
    const Complex oneMinusW = 1.0 - w;
    return 4 * m * m * section_.BB * w / (oneMinusW * oneMinusW * (zeta * zeta - 1.0));
}

Complex KarmanTrefftzFlow::circleVelocity(Complex zeta) const
{
    const Complex d = zeta - centre_;
    const Complex e = std::polar(1.0, alphaCircle_);
    return speedU_ * (std::conj(e) - radius_ * radius_ * e / (d * d)) +
           Complex(0, gammaCircle_ / kTwoPi) / d;
}

PlanePoint KarmanTrefftzFlow::pointAtCentreAngle(double centreAngle) const
{
    const Complex zeta = zetaAt(centreAngle);
    const Complex z = map(zeta);
    if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return {1, 0};
    return {(1 - section_.m * section_.BB) - z.real(), z.imag()};
}

// |V| / V = |W| / (U |dz/dzeta| / BB). On the circle, with the Kutta Gamma,
// |W| = 4 U |cos((theta + thetaTE)/2 - alpha') sin((theta - thetaTE)/2)|, and
// |dz/dzeta| = 4 m^2 BB rho^m / (|1 - w|^2 |zeta - 1| |zeta + 1|) with
// rho = |zeta - 1| / |zeta + 1|, |zeta + 1| = 2 R |sin((theta - thetaTE)/2)|.
// Both carry the factor sin((theta - thetaTE)/2); written without it the
// speed stays exact up to the trailing edge: it behaves like
// |zeta + 1|^(2 - m), zero at an edge with an angle, finite at a cusp (m = 2).
double KarmanTrefftzFlow::speedAtCentreAngle(double centreAngle) const
{
    const double m = section_.m;
    const double R = radius_;
    const double sh = std::sin((centreAngle - thetaTE_) / 2);
    const double ch = std::cos((centreAngle + thetaTE_) / 2 - alphaCircle_);
    const Complex zeta = zetaAt(centreAngle);
    const double a = std::abs(zeta - 1.0);
    const double b = 2 * R * std::fabs(sh);
    const double phi = std::atan2(2 * zeta.imag(), std::norm(zeta) - 1);
    const double shsh = sh * sh;
    const double nearEdge = std::pow(a, m) * std::pow(std::fabs(sh), 2 - m) / std::pow(2 * R, m);
    const double farTerm = shsh * std::pow(b, m) / std::pow(a, m);
    const double cross = 2 * shsh * std::cos(m * phi);
    return 2 * R * std::fabs(ch) * a * (nearEdge + farTerm - cross) / (m * m);
}

double KarmanTrefftzFlow::centreAngle(double theta) const
{
    if (std::remainder(theta - kPi, kTwoPi) == 0) return thetaTE_;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double F = section_.F;
    const double G = section_.G;
    const double p = F * c + G * s;
    const double r = p + std::sqrt(1 + 2 * F + p * p);
    return std::atan2(r * s - G, r * c - F);
}

double KarmanTrefftzFlow::polarAngle(double centreAngle) const
{
    if (std::remainder(centreAngle - thetaTE_, kTwoPi) == 0) return kPi;
    const Complex zeta = zetaAt(centreAngle);
    double theta = std::atan2(zeta.imag(), zeta.real());
    if (theta < 0) theta += kTwoPi;
    return theta;
}

PlanePoint KarmanTrefftzFlow::contourPoint(double theta) const
{
    return pointAtCentreAngle(centreAngle(theta));
}

double KarmanTrefftzFlow::surfaceSpeed(double theta) const
{
    return speedAtCentreAngle(centreAngle(theta));
}

double KarmanTrefftzFlow::nearestTheta(double x, double y) const
{
    const Complex P(x, y);
    // Centre angles thetaTE + 2 pi k / K run clockwise round the section from
    // the trailing edge (k = 0 and k = K) along the lower surface.
    auto angle = [&](int k) { return thetaTE_ + kTwoPi * k / kScanPoints; };
    auto point = [&](double t) {
        const PlanePoint q = pointAtCentreAngle(t);
        return Complex(q.x, q.y);
    };
    int best = 0;
    double bestDistance = std::norm(Complex(1, 0) - P);
    for (int k = 1; k < kScanPoints; ++k) {
        const double d = std::norm(scan_[static_cast<std::size_t>(k)] - P);
        if (d < bestDistance) {
            bestDistance = d;
            best = k;
        }
    }
    if (best == 0) return kPi;

    // Half the derivative of the squared distance along the contour:
    // dZ/dtheta = -conj(z'(zeta) i R e^{i theta}).
    auto slope = [&](double t) {
        const Complex zeta = zetaAt(t);
        const Complex dZ = -std::conj(mapDerivative(zeta) * Complex(0, 1) * (zeta - centre_));
        return ((point(t) - P) * std::conj(dZ)).real();
    };
    // The distance falls towards the best sample and rises past it; at the
    // trailing edge (an end of the scan) the map's derivative vanishes, so
    // its sign there is taken from that fact rather than evaluated.
    double lo = angle(best - 1);
    double hi = angle(best + 1);
    const double slopeLo = best - 1 == 0 ? -1 : slope(lo);
    const double slopeHi = best + 1 == kScanPoints ? 1 : slope(hi);
    if (!(slopeLo <= 0 && slopeHi >= 0)) return polarAngle(angle(best));
    for (int n = 0; n < 200 && lo < hi; ++n) {
        const double mid = lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi) break;
        if (slope(mid) <= 0) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return polarAngle(lo + (hi - lo) / 2);
}

// Blasius in the conformal plane Y = conj(Z):
//     Fx - i Fy = (i rho / 2) closed-integral W_Y^2 dY,
//     M (anticlockwise about P) = Re(-(rho / 2) closed-integral (Y - P) W_Y^2 dY),
// and W_Y^2 dY = W^2 / Y'(zeta) dzeta with Y' = -z'. Back in Z the mirror
// keeps Fx and reverses Fy and the sense of the moment, so the nose-up moment
// in Z is the anticlockwise one in Y. Coefficients with rho = V = c = 1.
void KarmanTrefftzFlow::integrateBlasius()
{
    const double mBB = section_.m * section_.BB;
    const Complex reference(0.25, 0);
    const double contourRadius = 2 * radius_;
    Complex force(0, 0);
    Complex moment(0, 0);
    for (int k = 0; k < kBlasiusPoints; ++k) {
        const double t = kTwoPi * k / kBlasiusPoints;
        const Complex offset = std::polar(contourRadius, t);
        const Complex zeta = centre_ + offset;
        const Complex W = circleVelocity(zeta);
        const Complex dY = -mapDerivative(zeta);
        const Complex Y = (1 - mBB) - map(zeta);
        const Complex dzeta = Complex(0, 1) * offset * (kTwoPi / kBlasiusPoints);
        const Complex f = W * W / dY * dzeta;
        force += f;
        moment += (Y - reference) * f;
    }
    const Complex xMinusIy = Complex(0, 0.5) * force;  // Fx - i Fy in Y
    const double Cx = 2 * xMinusIy.real();
    const double Cy = 2 * xMinusIy.imag();  // Fy in Z is -Fy in Y
    blasiusCM_ = 2 * (-0.5 * moment.real());
    const double ca = std::cos(alpha_);
    const double sa = std::sin(alpha_);
    blasiusCD_ = ca * Cx + sa * Cy;
    blasiusCL_ = ca * Cy - sa * Cx;
}

std::vector<double> exactCu(std::span<const double> xm, std::span<const double> ym,
                            const KarmanTrefftzFlow& flow)
{
    const std::size_t n = std::min(xm.size(), ym.size());
    std::vector<double> cu(n, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
        const double v = flow.surfaceSpeedNear(xm[k], ym[k]);
        cu[k] = v * v;
    }
    return cu;
}

}  // namespace tavrix
