// The linear system of one Newton step of the coupled viscous-inviscid
// analysis, J dU = -R, with the Jacobian kept in its structure:
//
//     J = T - P E W^T + sum_k a_k b_k^T
//
// T: the entries of the layer rows (each touches its own station, the one
// upstream and a few more at the stagnation point and the trailing edge),
// the unit diagonal of ue in the coupling rows and the angle's row and
// column of a CL-prescribed run; P E W^T: the displacement interaction,
// dense, with E_ij = sigma_i D_ij sigma_j acting in the coupling rows (P
// selects row 4i+3) on the change of the mass defect of every station,
// W^T dU = ue_j d(delta*_j) + delta*_j d(ue_j); a_k b_k^T: rank-one terms (the
// columns of the two edge speeds that place the stagnation point).
//
// Unknowns per station g: theta, delta*, c, ue at 4g..4g+3; the angle, when
// it is an unknown, last.
#pragma once

#include <memory>
#include <vector>

namespace tavrix::coupled {

struct NewtonSystem {
    int stations = 0;
    int airfoilStations = 0;  // the airfoil's stations come first, then the wake's
    int size = 0;             // 4 stations, +1 with the angle as an unknown
    // T as (row, column, value) entries; repeated entries add up.
    std::vector<int> rows, columns;
    std::vector<double> values;
    // D (stations x stations, row-major; owned by the caller) and the signs
    // sigma of q of the stations.
    const double* influence = nullptr;
    std::vector<double> sigma;
    // The layer state the mass defect is linearised about.
    std::vector<double> ue, dstar;
    // The rank-one terms a_k b_k^T (each of `size`).
    std::vector<std::vector<double>> left, right;
    std::vector<double> residual;  // R

    void add(int row, int column, double value)
    {
        rows.push_back(row);
        columns.push_back(column);
        values.push_back(value);
    }
};

// J as a dense matrix, row-major.
std::vector<double> denseJacobian(const NewtonSystem& system);

// J x without forming J.
std::vector<double> multiplyJacobian(const NewtonSystem& system, const std::vector<double>& x);

// The backward error of a step dU: the largest |J dU + R| of a row against
// the sum of the magnitudes of its terms (|J| |dU| + |R|); about the unit
// round-off for a step as good as the dense LU's.
double backwardError(const NewtonSystem& system, const std::vector<double>& step);

// How a step was solved.
enum class NewtonSolveRoute {
    Structured,  // the sparse part with the interaction's band, and a capacitance system for the rest
    Refined,     // the same with a step of iterative refinement
    Dense,       // the dense LU of J (the structured solve failed its residual check)
    Iterative,   // GMRES on the stations' mass defects, with an approximate inverse of J
};

struct NewtonStep {
    std::vector<double> step;  // dU; not finite where J is singular
    NewtonSolveRoute route = NewtonSolveRoute::Structured;
    double backwardError = 0;  // of the step returned
};

// The step by the Sherman-Morrison-Woodbury formula: J = S + U V^T with S
// sparse (T, and E between each station and its neighbours along the
// contour or the wake, which keeps S regular where the layer alone, at
// separation, is not) factored by a sparse LU, and the rest of E, the
// rank-one terms and the angle's row and column in a dense capacitance
// system of about the number of stations. The residual of the step is
// checked with J applied without forming it; one step of iterative
// refinement, then the dense LU, when it is not small enough.
//
// With many stations, first an iterative solve: S with the interaction of
// the stations up to three apart, and the rest of D by a basis of a few
// columns (computed once per D), make an approximate inverse M of J; the
// part of D that M leaves out acts on the mass defects of the stations
// alone, so that GMRES solves for those (a system of one unknown a
// station, with M applied at each step), restarted from the exact residual
// until the backward error is of the order of the round-off. When it does
// not get there, the solve above.
NewtonStep solveNewtonSystem(const NewtonSystem& system);

// The same, keeping its work space from one step to the next (and the
// compressed D, while the system's D stays the same). An inexact Newton
// iteration asks for less: the iterative solve stops once the step's
// backward error is below `accuracy` (far from the solution, the
// linearisation's own error is much larger than a loose step's); the
// direct solves are exact to round-off whatever it asks.
class NewtonSolver {
public:
    NewtonSolver();
    ~NewtonSolver();
    NewtonSolver(const NewtonSolver&) = delete;
    NewtonSolver& operator=(const NewtonSolver&) = delete;
    NewtonStep solve(const NewtonSystem& system, double accuracy = 1e-15);

private:
    struct Work;
    std::unique_ptr<Work> work_;
};

// The step by the dense LU of J with partial pivoting.
std::vector<double> solveNewtonSystemDense(const NewtonSystem& system);

}  // namespace tavrix::coupled
