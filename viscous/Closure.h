// Closure relations of the integral boundary layer: Thwaites' laminar shape
// and shear functions; Michel's transition criterion and the e^n envelope
// method; Head's entrainment method with the Ludwieg-Tillmann skin friction
// for the turbulent layer.
#pragma once

namespace tavrix::closure {

// Thwaites' parameter lambda = theta^2 (dUe/ds) Re, at laminar separation.
inline constexpr double kLaminarSeparationLambda = -0.09;

// Laminar shape factor H = delta*/theta and shear function l = tau_w theta /
// (mu Ue), Cebeci and Bradshaw's fits to Thwaites' table, valid for
// -0.1 <= lambda <= 0.25; lambda is held to that range.
double ThwaitesH(double lambda);
double ThwaitesShear(double lambda);

// Michel: the laminar layer turns turbulent once Re_theta exceeds
// 1.174 (1 + 22400 / Re_s) Re_s^0.46, Re_s on the arc length from the
// stagnation point and the local edge speed.
double MichelCriticalReTheta(double reS);

// The envelope of the spatial amplification rates of Tollmien-Schlichting
// waves in the Falkner-Skan family, after Drela and Giles (1987): waves grow
// once Re_theta exceeds a critical value set by the shape factor H, and the
// amplitude ratio of the most amplified one, e^n, grows at
//   dn/ds = dn/dRe_theta (H) * (m(H) + 1) / 2 * l(H) / theta,
// with l = Cf Re_theta / 2 and m the pressure-gradient parameter of the
// similar profile of that H. Transition where n reaches Ncrit (9 for a quiet
// free stream, lower for a more disturbed one).
double EnvelopeCriticalReTheta(double H);
double EnvelopeRatePerReTheta(double H);
// dn/ds on the length theta is measured in; 0 below the critical Re_theta.
double EnvelopeRate(double H, double theta, double reTheta);

// Head: H1 = (delta - delta*) / theta as a function of H, its inverse, and
// the entrainment function F(H1) = (1 / Ue) d(Ue theta H1)/ds.
double HeadH1(double H);
double HeadHFromH1(double H1);
double HeadEntrainment(double H1);

// Ludwieg-Tillmann skin friction on the local edge speed.
double LudwiegTillmannCf(double H, double reTheta);

}  // namespace tavrix::closure
