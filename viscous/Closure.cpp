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
