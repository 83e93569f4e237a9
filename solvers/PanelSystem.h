// A panel method's linear system as assembled from the panels, before the
// elimination, and the choices that shape it.
#pragma once

#include <vector>

#include "solvers/Matrix.h"
#include "solvers/PanelGeometry.h"

namespace tavrix {

// The largest number of unknowns of any method's system, and so of panel end
// points: the size of every table.
inline constexpr int kMaxPoints = 1000;

enum class PanelMethod { Hess, VortexPanel, KennedyMarsden, SoinneLaine };

// How a system is set up beyond the panels.
struct SolveOptions {
    // Hess method only: the closing row holds the vortex amplitude at zero
    // instead of imposing the trailing-edge condition (no lift).
    bool noCirculation = false;
    // Keep the assembled matrix beside its factors, for the report and the
    // matrix view; without it the elimination works on the matrix itself.
    bool keepAssembled = true;
};

// A method's system as assembled, before the elimination. AN is the
// augmented matrix: the coefficients of unknowns 1..N in columns 1..N and the
// right-hand side in column N + 1, zero until an angle of attack fills it.
struct PanelSystem {
    PanelMethod method = PanelMethod::Hess;
    int unknowns = 0;
    bool noCirculation = false;
    Matrix AN;
    Matrix AT;  // Hess method: tangential velocities, the same layout (empty otherwise)
    std::vector<double> vortexShape;  // Hess method: d(j) over panels 1..NPanel
    // Kennedy-Marsden method: the control point NP of the trailing-edge
    // (Kutta) condition, just behind the edge.
    double kuttaX = 0, kuttaY = 0;
};

}  // namespace tavrix
