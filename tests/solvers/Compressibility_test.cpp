#include "solvers/Compressibility.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavrix {
namespace {

using enum Compressibility;

TEST(CompressibilityRules, prandtlGlauertDividesByBetaAndNoMachNumberLeavesThePressure)
{
    for (double cp0 : {-3.0, -0.5, 0.0, 0.25, 1.0}) {
        EXPECT_EQ(PrandtlGlauertCp(cp0, 0), cp0);
        EXPECT_EQ(KarmanTsienCp(cp0, 0), cp0);
        EXPECT_EQ(CorrectedCp(KarmanTsien, cp0, 0), cp0);
    }
    // beta = sqrt(1 - 0.36) = 0.8 at Mach 0.6.
    EXPECT_NEAR(PrandtlGlauertCp(-0.4, 0.6), -0.5, 1e-15);
    EXPECT_NEAR(CorrectedCp(PrandtlGlauert, 0.8, -0.6), 1.0, 1e-15);
}

TEST(CompressibilityRules, karmanTsienAgainstAHandValueAndPrandtlGlauertForSmallCp)
{
    // Mach 0.5, Cp0 = -0.5: beta = 0.8660254, M^2/(1 + beta) = 0.1339746,
    // denominator 0.8660254 - 0.1339746 * 0.25 = 0.8325318, Cp = -0.6005777.
    EXPECT_NEAR(KarmanTsienCp(-0.5, 0.5), -0.6005777, 5e-8);
    EXPECT_NEAR(CorrectedCp(KarmanTsien, -0.5, 0.5), -0.6005777, 5e-8);
    // A suction peak is deepened more than by Prandtl-Glauert, a pressure
    // peak raised less.
    EXPECT_LT(KarmanTsienCp(-0.5, 0.5), PrandtlGlauertCp(-0.5, 0.5));
    EXPECT_LT(KarmanTsienCp(0.5, 0.5), PrandtlGlauertCp(0.5, 0.5));
    // KT = PG / (1 + M^2 Cp0 / (2 beta (1 + beta))): the relative difference
    // is of the order of Cp0 itself.
    for (double mach : {0.3, 0.6, 0.8}) {
        const double beta = std::sqrt(1 - mach * mach);
        double previous = 1;
        for (double cp0 : {-1e-1, -1e-2, -1e-3, -1e-4, 1e-4}) {
            const double pg = PrandtlGlauertCp(cp0, mach);
            const double relative = std::fabs(KarmanTsienCp(cp0, mach) - pg) / std::fabs(pg);
            EXPECT_NEAR(relative, mach * mach * std::fabs(cp0) / (2 * beta * (1 + beta)),
                        2 * relative * std::fabs(cp0) + 1e-15);
            EXPECT_LE(relative, previous);
            previous = relative;
        }
    }
}

TEST(CriticalPressure, valuesOfTheIsentropicRelation)
{
    // Cp* = 2 / (gamma M^2) [((2 + (gamma - 1) M^2) / (gamma + 1))^(gamma / (gamma - 1)) - 1];
    // at M = 0.8 the bracket is 0.94^3.5 - 1 = -0.194727 and Cp* = -0.4346.
    EXPECT_NEAR(CriticalCp(0.6), -1.2943, 5e-5);
    EXPECT_NEAR(CriticalCp(0.7), -0.7791, 5e-5);
    EXPECT_NEAR(CriticalCp(0.8), -0.4346, 5e-5);
    // At Mach 1 the free stream itself is sonic.
    EXPECT_EQ(CriticalCp(1.0), 0);
    // Cp* rises towards 0 as the free stream speeds up.
    EXPECT_LT(CriticalCp(0.5), CriticalCp(0.9));
}

TEST(CriticalMach, lowestPressureReachesTheCriticalOneAndStaysBelowOneWithoutSuction)
{
    // NACA 0012 at zero incidence, lowest incompressible Cp about -0.43: the
    // critical Mach number by Prandtl-Glauert is about 0.74.
    const double pg = CriticalMach(-0.43, PrandtlGlauert);
    EXPECT_NEAR(pg, 0.737, 0.001);
    EXPECT_NEAR(PrandtlGlauertCp(-0.43, pg), CriticalCp(pg), 1e-12);
    // Karman-Tsien deepens the peak faster, so it reaches Cp* earlier.
    const double kt = CriticalMach(-0.43, KarmanTsien);
    EXPECT_NEAR(KarmanTsienCp(-0.43, kt), CriticalCp(kt), 1e-12);
    EXPECT_LT(kt, pg);
    EXPECT_GT(kt, 0.7);
    // A stronger peak turns critical at a lower Mach number.
    EXPECT_LT(CriticalMach(-1.5, PrandtlGlauert), pg);
    EXPECT_LT(CriticalMach(-1.5, KarmanTsien), CriticalMach(-1.5, PrandtlGlauert));
    for (auto correction : {PrandtlGlauert, KarmanTsien}) {
        const double m = CriticalMach(0.2, correction);
        EXPECT_LT(m, 1);
        EXPECT_GT(m, 0.999999);
        EXPECT_GE(CriticalMach(-50, correction), 0);
        EXPECT_TRUE(std::isnan(CriticalMach(std::nan(""), correction)));
    }
}

TEST(CorrectionValidity, holdsBelowTheCriticalPressureAndFailsPastItOrPastAVacuum)
{
    using enum CorrectionValidity;
    // Incompressible flow needs no correction.
    EXPECT_EQ(correctionValidity(-5, 0, KarmanTsien), Valid);
    // Cp0 = -1 at M = 0.5: Prandtl-Glauert -1.1547 above Cp* = -2.1344.
    EXPECT_EQ(correctionValidity(-1, 0.5, PrandtlGlauert), Valid);
    // At M = 0.7: -1.4003 below Cp* = -0.7791, still above the vacuum -2.9155.
    EXPECT_EQ(correctionValidity(-1, 0.7, PrandtlGlauert), Supercritical);
    EXPECT_EQ(correctionValidity(-1, 0.7, KarmanTsien), Supercritical);
    // At M = 0.9 the vacuum is -2 / (1.4 0.81) = -1.7637; Prandtl-Glauert
    // gives -1 / 0.43589 = -2.2942, below it.
    EXPECT_NEAR(VacuumCp(0.9), -1.7637, 5e-5);
    EXPECT_EQ(correctionValidity(-1, 0.9, PrandtlGlauert), BeyondVacuum);
    // Karman-Tsien's denominator 0.43589 + 0.81 / 1.43589 (-2 / 2) = -0.1282
    // has changed sign: the corrected Cp is positive, and meaningless.
    EXPECT_GT(KarmanTsienCp(-2, 0.9), 0);
    EXPECT_EQ(correctionValidity(-2, 0.9, KarmanTsien), BeyondVacuum);
    // Exactly at the critical Mach number the peak is sonic, not beyond.
    const double mCrit = CriticalMach(-1, PrandtlGlauert);
    EXPECT_EQ(correctionValidity(-1, mCrit * (1 - 1e-9), PrandtlGlauert), Valid);
    EXPECT_EQ(correctionValidity(-1, mCrit * (1 + 1e-9), PrandtlGlauert), Supercritical);
}

}  // namespace
}  // namespace tavrix
