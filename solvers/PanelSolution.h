// The value API of the panel methods. A contour and the rotation give the
// panels (PanelGeometry); a method assembles its system on them
// (assemblePanels) and the system is eliminated once (factorPanels), or both
// at once (solvePanels). The solution then gives any angle of attack at the
// cost of one right-hand side: surface speed, Cp and the force and moment
// coefficients, the same bits a separate press at that angle gives. Every
// step returns a value or a refusal; nothing is shown, written or shared, so
// solutions may be computed in parallel threads.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "solvers/Compressibility.h"
#include "solvers/GaussFactors.h"
#include "solvers/PanelMethods.h"

namespace tavrix {

// Free-stream conditions of one operating point beyond the angle of attack.
struct FlowConditions {
    double mach = 0;  // |mach| < 1
    Compressibility correction = Compressibility::PrandtlGlauert;
    // Keep the rotated end points in the point (what a boundary layer needs
    // besides the signed speed); off, they stay empty.
    bool keepEndPoints = false;
};

// One angle of attack. Per-panel tables hold panel 1 at index 0. The
// coefficients are those of the corrected pressure when a Mach number is
// given.
struct OperatingPoint {
    double alphaDeg = 0;
    double CL = 0;
    double CD = 0;
    double CM = 0;  // about the quarter chord
    std::vector<double> XM, YM;            // control points of the rotated contour
    std::vector<double> Vt;                // surface speed over free-stream speed
    std::vector<double> CuIncompressible;  // Vt^2 = 1 - Cp, incompressible
    std::vector<double> Cu;                // 1 - Cp after the correction
    // The speed at every control point with its sign, positive along the
    // panel from end point I to I + 1: |signedSpeed| is Vt bit for bit.
    std::vector<double> signedSpeed = {};
    // The singularity strengths, unknown 1 at index 0.
    std::vector<double> strength = {};
    // With FlowConditions::keepEndPoints: end points 1..NP of the rotated
    // contour (point 1 at index 0).
    std::vector<double> X = {}, Y = {};
    double cosAlfa = 1, sinAlfa = 0;
};

// The operating point that the strengths strength[1..N] of `system` give at
// the angle: the signed and absolute surface speed, Cu incompressible and
// corrected, the force and moment coefficients (not checked: they may be
// infinite or NaN). The Mach number must be below 1.
OperatingPoint operatingPointOf(const PanelGeometry& geometry, const PanelSystem& system,
                                const std::vector<double>& strength, double alphaDeg,
                                const FlowConditions& conditions = {});

// Puts the right-hand side of the angle into column N + 1 of system.AN.
void fillRightHandSide(const PanelGeometry& geometry, PanelSystem& system, double alphaDeg);

// One angle without keeping factors, at the cost of a single elimination:
// fills the right-hand side and eliminates system.AN in place into the
// strengths, 1..N. Refuses a zero pivot (the strengths then stay as they were).
std::optional<Refusal> solveInPlace(const PanelGeometry& geometry, PanelSystem& system,
                                    double alphaDeg, std::vector<double>& strength);

// The capacity refusal, or the assembled system of `method` on the panels.
// `recycled` may hand over an earlier system whose matrices' storage is then
// reused (its values play no part): a caller that solves one contour after
// another saves the allocation and the first touch of every page.
Outcome<PanelSystem> assemblePanels(const PanelGeometry& geometry, PanelMethod method,
                                    const SolveOptions& options = {},
                                    PanelSystem recycled = {});

class PanelSolution {
public:
    PanelMethod method() const { return system_->method; }
    const PanelMethodInfo& info() const { return methodInfo(system_->method); }
    const PanelGeometry& geometry() const { return *geometry_; }
    // The system as assembled, before the elimination (right-hand side zero).
    const PanelSystem& system() const { return *system_; }
    const GaussFactors& factors() const { return factors_; }
    int unknowns() const { return system_->unknowns; }

    // Right-hand side rows 1..N for the angle (index 0 unused).
    std::vector<double> rightHandSide(double alphaDeg) const;
    // The augmented matrix of the angle, as the method assembles it: what
    // the report lists and the matrix view shows.
    Matrix augmented(double alphaDeg) const;
    // Strengths 1..N for the angle (index 0 unused).
    std::vector<double> strengths(double alphaDeg) const;

    // The refusal of a Mach number of 1 or more or of coefficients that are
    // not finite, or the operating point.
    Outcome<OperatingPoint> at(double alphaDeg, const FlowConditions& conditions = {}) const;
    // The operating point without the checks of at(): its coefficients may
    // be infinite or NaN, and the Mach number must be below 1. For callers
    // that report the strengths before they judge the result.
    OperatingPoint evaluate(double alphaDeg, const FlowConditions& conditions = {}) const;

private:
    friend Outcome<PanelSolution> factorPanels(PanelSystem system,
                                               std::shared_ptr<const PanelGeometry> geometry,
                                               bool keepAssembled);
    std::shared_ptr<const PanelGeometry> geometry_;
    std::shared_ptr<const PanelSystem> system_;
    GaussFactors factors_;
};

// Eliminates the system once; a zero pivot is refused. The geometry must be
// the one the system was assembled on. Without keepAssembled the elimination
// works on the system's own matrix, which is then no longer available.
Outcome<PanelSolution> factorPanels(PanelSystem system,
                                    std::shared_ptr<const PanelGeometry> geometry,
                                    bool keepAssembled = true);

// assemblePanels and factorPanels in one.
Outcome<PanelSolution> solvePanels(const PanelGeometry& geometry, PanelMethod method,
                                   const SolveOptions& options = {});

}  // namespace tavrix
