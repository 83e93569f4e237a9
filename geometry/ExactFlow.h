// Exact potential flow past a Karman-Trefftz or Joukowsky section.
//
// The section is the conformal image of a circle, so its flow is the circle
// flow carried through the map. Everything here is in the frame of the contour
// the Karman-Trefftz window hands to the main window: leading edge at (0, 0),
// trailing edge at (1, 0), reference chord 1, free stream of unit speed at the
// angle of attack alpha, the section not rotated (eta = 0).
#pragma once

#include <complex>
#include <span>
#include <vector>

#include "geometry/KarmanTrefftz.h"

namespace tavrix {

class KarmanTrefftzFlow {
public:
    // Camber must not be negative (G >= 0): then the principal branch of the
    // power is the one the window's mapping uses on the whole contour.
    KarmanTrefftzFlow(const KarmanTrefftzSection& section, double alphaDegrees);

    // Circulation per unit free-stream speed and chord, clockwise in the
    // chord-1 frame (positive for a lifting section at positive alpha),
    // from the Kutta condition at the trailing edge.
    double circulation() const { return circulation_; }
    // Kutta-Joukowski lift coefficient, 2 circulation / (V c) with c = 1.
    double CL() const { return 2 * circulation_; }
    // Force and moment coefficients from Blasius' theorem, evaluated on a
    // circle well outside the body; CM about (0.25, 0), nose up positive.
    double blasiusCL() const { return blasiusCL_; }
    double blasiusCD() const { return blasiusCD_; }
    double CM() const { return blasiusCM_; }

    // Contour point and surface speed |V| / V-infinity at the circle point
    // seen from the circle plane's origin at the polar angle theta, the angle
    // by which the window places its stations (pi is the trailing edge, theta
    // in (pi, 2 pi) the lower surface).
    PlanePoint contourPoint(double theta) const;
    double surfaceSpeed(double theta) const;

    // Polar angle of the contour point nearest to (x, y): a scan of the
    // contour, then bisection on the derivative of the squared distance.
    double nearestTheta(double x, double y) const;
    // Surface speed at the contour point nearest to (x, y); panel control
    // points, which lie just inside the contour, are projected this way.
    double surfaceSpeedNear(double x, double y) const { return surfaceSpeed(nearestTheta(x, y)); }

    // Angle about the circle centre of the circle point at polar angle theta,
    // and back.
    double centreAngle(double theta) const;
    double polarAngle(double centreAngle) const;

    const KarmanTrefftzSection& section() const { return section_; }
    double radius() const { return radius_; }
    // Angle about the circle centre of the trailing edge zeta = -1.
    double trailingEdgeAngle() const { return thetaTE_; }

private:
    std::complex<double> zetaAt(double centreAngle) const;
    // Section-plane map and its derivative (trailing edge on the left).
    std::complex<double> map(std::complex<double> zeta) const;
    std::complex<double> mapDerivative(std::complex<double> zeta) const;
    // Complex velocity of the circle flow, d(potential)/d(zeta).
    std::complex<double> circleVelocity(std::complex<double> zeta) const;
    PlanePoint pointAtCentreAngle(double centreAngle) const;
    double speedAtCentreAngle(double centreAngle) const;
    void integrateBlasius();

    KarmanTrefftzSection section_;
    double alpha_ = 0;
    std::complex<double> centre_;
    double radius_ = 0;
    double thetaTE_ = 0;
    // Free stream in the circle plane: speed U and the angle alpha' of
    // W = U (e^{-i alpha'} - R^2 e^{i alpha'} / (zeta - zc)^2) + i Gamma / (2 pi (zeta - zc)).
    double speedU_ = 0;
    double alphaCircle_ = 0;
    double gammaCircle_ = 0;  // the Gamma of W above
    double circulation_ = 0;
    double blasiusCL_ = 0;
    double blasiusCD_ = 0;
    double blasiusCM_ = 0;
    std::vector<std::complex<double>> scan_;  // contour samples for nearestTheta
};

// Exact Cu = (|V| / V-infinity)^2 = 1 - Cp at the control points (xm[k], ym[k]),
// each projected onto the contour; entry k of the result for point k. The
// points must be those of panels on the unrotated section. Spans of unequal
// length are taken up to the shorter.
std::vector<double> exactCu(std::span<const double> xm, std::span<const double> ym,
                            const KarmanTrefftzFlow& flow);

}  // namespace tavrix
