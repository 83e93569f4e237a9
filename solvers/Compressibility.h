// Compressibility corrections of an incompressible pressure coefficient, and
// the critical pressure coefficient and Mach number of a section.
#pragma once

namespace tavrix {

enum class Compressibility { PrandtlGlauert, KarmanTsien };

// Cp at the free-stream Mach number from the incompressible Cp0.
double PrandtlGlauertCp(double cp0, double mach);
double KarmanTsienCp(double cp0, double mach);
double CorrectedCp(Compressibility correction, double cp0, double mach);

// Pressure coefficient at which the local flow reaches the speed of sound.
double CriticalCp(double mach, double gamma = 1.4);

// Pressure coefficient of a vacuum, the lowest any flow can reach.
double VacuumCp(double mach, double gamma = 1.4);

// Whether a corrected pressure distribution still means anything. Both rules
// are linearised for subsonic flow: once the corrected lowest Cp falls below
// Cp* the flow is locally supersonic (the free stream is past the critical
// Mach number of this case), and below the vacuum limit (or where the
// Karman-Tsien denominator reaches zero) the corrected Cp is no pressure at
// all. An incompressible case is always valid.
enum class CorrectionValidity { Valid, Supercritical, BeyondVacuum };
CorrectionValidity correctionValidity(double cp0Min, double mach, Compressibility correction,
                                      double gamma = 1.4);

// Free-stream Mach number at which the corrected lowest Cp of the section
// (cp0Min, incompressible) reaches the critical Cp; 0 <= result < 1.
double CriticalMach(double cp0Min, Compressibility correction, double gamma = 1.4);
// (Found by bisection to 1e-15. A peak that is no suction, cp0Min >= 0, turns
// critical only at Mach 1: the result is then the largest value below 1 the
// bisection reaches. NaN gives NaN.)

}  // namespace tavrix
