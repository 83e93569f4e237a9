#include "viscous/Closure.h"

#include <algorithm>
#include <cmath>

namespace tavrix::closure {

double ThwaitesH(double lambda)
{
    const double l = std::clamp(lambda, -0.1, 0.25);
    if (l >= 0) return 2.61 - 3.75 * l + 5.24 * (l * l);
    return 2.088 + 0.0731 / (l + 0.14);
}

double ThwaitesShear(double lambda)
{
    const double l = std::clamp(lambda, -0.1, 0.25);
    if (l >= 0) return 0.22 + 1.57 * l - 1.8 * (l * l);
    return 0.22 + 1.402 * l + (0.018 * l) / (l + 0.107);
}

double MichelCriticalReTheta(double reS)
{
    return 1.174 * (1 + 22400 / reS) * std::pow(reS, 0.46);
}

double EnvelopeCriticalReTheta(double H)
{
    const double r = 1 / (H - 1);
    const double log10Re = (1.415 * r - 0.489) * std::tanh(20 * r - 12.9) + 3.295 * r + 0.44;
    return std::pow(10.0, log10Re);
}

double EnvelopeRatePerReTheta(double H)
{
    const double a = 2.4 * H - 3.7 + 2.5 * std::tanh(1.5 * H - 4.65);
    return 0.01 * std::sqrt(a * a + 0.25);
}

double EnvelopeRate(double H, double theta, double reTheta)
{
    if (!(theta > 0) || !(H > 1) || !(reTheta > EnvelopeCriticalReTheta(H))) return 0;
    // (m + 1) l / 2 with l = (6.54 H - 14.07) / H^2 and
    // m l = 0.058 (H - 4)^2 / (H - 1) - 0.068. Below H of about 2.2 (strongly
    // accelerated flow, where the critical Re_theta is out of reach anyway)
    // the fits turn negative; waves are then taken not to grow.
    const double l = (6.54 * H - 14.07) / (H * H);
    const double ml = 0.058 * (H - 4) * (H - 4) / (H - 1) - 0.068;
    const double growth = (ml + l) / 2;
    if (!(growth > 0)) return 0;
    return EnvelopeRatePerReTheta(H) * growth / theta;
}

// The two branches meet at H = 1.6, H1 = 5.3 (Cebeci and Bradshaw's fit to
// Head's curve); H1 falls towards 3.3 as H grows without bound.
double HeadH1(double H)
{
    if (H <= 1.6) return 3.3 + 0.8234 * std::pow(H - 1.1, -1.287);
    return 3.3 + 1.5501 * std::pow(H - 0.6778, -3.064);
}

double HeadHFromH1(double H1)
{
    if (H1 >= 5.3) return 1.1 + std::pow((H1 - 3.3) / 0.8234, -1 / 1.287);
    return 0.6778 + std::pow((H1 - 3.3) / 1.5501, -1 / 3.064);
}

double HeadEntrainment(double H1) { return 0.0306 * std::pow(H1 - 3, -0.6169); }

double LudwiegTillmannCf(double H, double reTheta)
{
    return 0.246 * std::pow(10.0, -0.678 * H) * std::pow(reTheta, -0.268);
}

}  // namespace tavrix::closure
