#include "solvers/Compressibility.h"

#include <cmath>

namespace tavrix {

namespace {

double beta(double mach) { return std::sqrt(1 - mach * mach); }

// Denominator of the Karman-Tsien rule; where it reaches zero the corrected
// suction peak has become infinite and the rule has lost its meaning.
double karmanTsienDenominator(double cp0, double mach)
{
    const double b = beta(mach);
    return b + ((mach * mach) / (1 + b)) * (cp0 / 2);
}

}  // namespace

double PrandtlGlauertCp(double cp0, double mach) { return cp0 / beta(mach); }

double KarmanTsienCp(double cp0, double mach)
{
    return cp0 / karmanTsienDenominator(cp0, mach);
}

double CorrectedCp(Compressibility correction, double cp0, double mach)
{
    if (correction == Compressibility::KarmanTsien) return KarmanTsienCp(cp0, mach);
    return PrandtlGlauertCp(cp0, mach);
}

double CriticalCp(double mach, double gamma)
{
    // Isentropic flow from the free stream to a local Mach number of one.
    const double m2 = mach * mach;
    const double ratio = (2 + (gamma - 1) * m2) / (gamma + 1);
    return (2 / (gamma * m2)) * (std::pow(ratio, gamma / (gamma - 1)) - 1);
}

double VacuumCp(double mach, double gamma) { return -2 / (gamma * (mach * mach)); }

CorrectionValidity correctionValidity(double cp0Min, double mach, Compressibility correction,
                                      double gamma)
{
    if (mach == 0) return CorrectionValidity::Valid;
    if (correction == Compressibility::KarmanTsien && karmanTsienDenominator(cp0Min, mach) <= 0)
        return CorrectionValidity::BeyondVacuum;
    const double cp = CorrectedCp(correction, cp0Min, mach);
    if (!(cp >= VacuumCp(mach, gamma))) return CorrectionValidity::BeyondVacuum;
    if (cp < CriticalCp(mach, gamma)) return CorrectionValidity::Supercritical;
    return CorrectionValidity::Valid;
}

double CriticalMach(double cp0Min, Compressibility correction, double gamma)
{
    if (std::isnan(cp0Min)) return cp0Min;
    // The corrected peak falls and Cp* rises with the Mach number, so the
    // peak has reached Cp* above one Mach number and not below it: bisect.
    // Past a zero of the Karman-Tsien denominator the peak counts as reached.
    auto reached = [&](double mach) {
        if (correction == Compressibility::KarmanTsien &&
            karmanTsienDenominator(cp0Min, mach) <= 0)
            return true;
        return CorrectedCp(correction, cp0Min, mach) <= CriticalCp(mach, gamma);
    };
    double lo = 0;
    double hi = 1;
    for (int step = 0; step < 200 && hi - lo > 1e-15; ++step) {
        const double mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi) break;
        if (reached(mid))
            hi = mid;
        else
            lo = mid;
    }
    // A peak that is not a suction (cp0Min >= 0) reaches Cp* only at Mach 1.
    return hi < 1 ? hi : lo;
}

}  // namespace tavrix
