#include "viscous/CoupledNewtonSystem.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace tavrix::coupled {

using RowMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

namespace {

// The structured step is refined while its backward error exceeds the
// first bound (the dense LU's steps have a few units of round-off), and
// taken when it ends below the second.
constexpr double kRefineAbove = 1e-14;
constexpr int kRefinements = 3;
constexpr double kAcceptBelow = 1e-11;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Entries of T this far from the diagonal leave the band of S.
constexpr int kFarEntry = 8;

// The stations whose interaction stays in the band of S: each with its
// neighbours along the contour, and along the wake.
bool inBand(const NewtonSystem& s, int i, int j)
{
    const bool wakeI = i >= s.airfoilStations, wakeJ = j >= s.airfoilStations;
    return wakeI == wakeJ && std::abs(i - j) <= 1;
}

double e(const NewtonSystem& s, int i, int j)
{
    return s.sigma[i] * s.influence[static_cast<std::size_t>(i) * s.stations + j] * s.sigma[j];
}

Eigen::MatrixXd denseMatrix(const NewtonSystem& s)
{
    const int n = s.stations;
    Eigen::MatrixXd J = Eigen::MatrixXd::Zero(s.size, s.size);
    for (std::size_t k = 0; k < s.values.size(); ++k) J(s.rows[k], s.columns[k]) += s.values[k];
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double f = e(s, i, j);
            J(4 * i + 3, 4 * j + 3) -= f * s.dstar[j];
            J(4 * i + 3, 4 * j + 1) -= f * s.ue[j];
        }
    for (std::size_t k = 0; k < s.left.size(); ++k)
        for (int c = 0; c < s.size; ++c) {
            const double b = s.right[k][c];
            if (b == 0) continue;
            for (int r = 0; r < s.size; ++r) J(r, c) += s.left[k][r] * b;
        }
    return J;
}

// An LU factorisation with partial pivoting of a band matrix (kl
// sub-diagonals, ku super-diagonals): rows are swapped within the band as
// the elimination goes, which widens U to kl + ku super-diagonals. Each row
// r holds the columns r - kl .. r + kl + ku.
class BandLU {
public:
    void reset(int size, int kl, int ku)
    {
        n_ = size;
        kl_ = kl;
        ku_ = ku;
        width_ = 2 * kl + ku + 1;
        band_.assign(static_cast<std::size_t>(n_) * width_, 0.0);
        lower_.assign(static_cast<std::size_t>(n_) * std::max(kl, 1), 0.0);
        pivot_.assign(n_, 0);
    }
    double& at(int r, int c) { return band_[static_cast<std::size_t>(r) * width_ + (c - r + kl_)]; }

    // False when a pivot vanishes (or is not finite).
    bool factor()
    {
        for (int k = 0; k < n_; ++k) {
            const int last = std::min(k + kl_, n_ - 1);
            int p = k;
            for (int r = k + 1; r <= last; ++r)
                if (std::abs(at(r, k)) > std::abs(at(p, k))) p = r;
            pivot_[k] = p;
            const int end = std::min(k + kl_ + ku_, n_ - 1);
            if (p != k)
                for (int c = k; c <= end; ++c) std::swap(at(k, c), at(p, c));
            const double d = at(k, k);
            if (d == 0 || !std::isfinite(d)) return false;
            for (int r = k + 1; r <= last; ++r) {
                const double l = at(r, k) / d;
                lower_[static_cast<std::size_t>(k) * kl_ + (r - k - 1)] = l;
                at(r, k) = 0;
                if (l == 0) continue;
                for (int c = k + 1; c <= end; ++c) at(r, c) -= l * at(k, c);
            }
        }
        return true;
    }

    // Solves in place for every column of B (rows of B: the unknowns).
    void solve(RowMatrix& B) const
    {
        for (int k = 0; k < n_; ++k) {
            if (pivot_[k] != k) B.row(k).swap(B.row(pivot_[k]));
            const int last = std::min(k + kl_, n_ - 1);
            for (int r = k + 1; r <= last; ++r) {
                const double l = lower_[static_cast<std::size_t>(k) * kl_ + (r - k - 1)];
                if (l != 0) B.row(r) -= l * B.row(k);
            }
        }
        for (int k = n_ - 1; k >= 0; --k) {
            const int end = std::min(k + kl_ + ku_, n_ - 1);
            const double* row = band_.data() + static_cast<std::size_t>(k) * width_ + kl_ - k;
            for (int c = k + 1; c <= end; ++c)
                if (row[c] != 0) B.row(k) -= row[c] * B.row(c);
            B.row(k) /= row[k];
        }
    }
    void solve(Eigen::VectorXd& b) const
    {
        for (int k = 0; k < n_; ++k) {
            if (pivot_[k] != k) std::swap(b[k], b[pivot_[k]]);
            const int last = std::min(k + kl_, n_ - 1);
            for (int r = k + 1; r <= last; ++r)
                b[r] -= lower_[static_cast<std::size_t>(k) * kl_ + (r - k - 1)] * b[k];
        }
        for (int k = n_ - 1; k >= 0; --k) {
            const int end = std::min(k + kl_ + ku_, n_ - 1);
            const double* row = band_.data() + static_cast<std::size_t>(k) * width_ + kl_ - k;
            double sum = b[k];
            for (int c = k + 1; c <= end; ++c) sum -= row[c] * b[c];
            b[k] = sum / row[k];
        }
    }

private:
    int n_ = 0, kl_ = 0, ku_ = 0, width_ = 1;
    std::vector<double> band_, lower_;
    std::vector<int> pivot_;
};

}  // namespace

// The Woodbury form of J = S + U V^T: S banded, factored; U = [-P F | A]
// with P the coupling rows' unit columns, F = E outside the band and A the
// left vectors of the rank-one terms; V = [W | B^T]. Held as Y = S^-1 U (a
// band solve with n + m right-hand sides, where forming S^-1 P first would
// need a product of two dense matrices of n x n) and the LU of the
// capacitance matrix C = I + V^T Y. Entries of T that lie
// further from the diagonal than kFarEntry (those of the start of the wake
// on the first station of the lower surface) become rank-one terms of
// their rows; the angle's row and column are two more.
struct NewtonSolver::Work {
    const NewtonSystem* s = nullptr;
    BandLU lu;
    RowMatrix Y;
    Eigen::MatrixXd C;
    // The rows of B (the right vectors of the rank-one terms), by their
    // non-zero entries: (column, value).
    std::vector<std::vector<std::pair<int, double>>> B;
    Eigen::PartialPivLU<Eigen::MatrixXd> capacitance;
    std::vector<Eigen::VectorXd> a, b;
    int m = 0;

    // V^T X: per station ue_j X(4j+1, .) + delta*_j X(4j+3, .), then B X.
    Eigen::MatrixXd applyVt(const RowMatrix& X) const
    {
        const int n = s->stations;
        Eigen::MatrixXd out(n + m, X.cols());
        for (int j = 0; j < n; ++j)
            out.row(j) = s->ue[j] * X.row(4 * j + 1) + s->dstar[j] * X.row(4 * j + 3);
        for (int k = 0; k < m; ++k) {
            auto row = out.row(n + k);
            row.setZero();
            for (const auto& [c, value] : B[k]) row += value * X.row(c);
        }
        return out;
    }

    Eigen::VectorXd applyVt(const Eigen::VectorXd& x) const
    {
        const int n = s->stations;
        Eigen::VectorXd out(n + m);
        for (int j = 0; j < n; ++j) out[j] = s->ue[j] * x[4 * j + 1] + s->dstar[j] * x[4 * j + 3];
        for (int k = 0; k < m; ++k) {
            double sum = 0;
            for (const auto& [c, value] : B[k]) sum += value * x[c];
            out[n + k] = sum;
        }
        return out;
    }

    bool factor(const NewtonSystem& system)
    {
        s = &system;
        const int n = system.stations, N = system.size;
        const bool angle = N > 4 * n;
        const int corner = 4 * n;
        a.clear();
        b.clear();
        for (std::size_t k = 0; k < system.left.size(); ++k) {
            a.push_back(Eigen::Map<const Eigen::VectorXd>(system.left[k].data(), N));
            b.push_back(Eigen::Map<const Eigen::VectorXd>(system.right[k].data(), N));
        }
        // Which entries stay in S, and its band.
        auto far = [&](int r, int c) { return std::abs(r - c) > kFarEntry; };
        int kl = 1, ku = 1;
        std::vector<int> farRows;
        Eigen::VectorXd angleRow, angleColumn;
        if (angle) {
            angleRow = Eigen::VectorXd::Zero(N);
            angleColumn = Eigen::VectorXd::Zero(N);
        }
        for (std::size_t k = 0; k < system.values.size(); ++k) {
            const int r = system.rows[k], c = system.columns[k];
            if (angle && (r == corner || c == corner)) continue;
            if (far(r, c)) {
                if (std::find(farRows.begin(), farRows.end(), r) == farRows.end()) farRows.push_back(r);
                continue;
            }
            kl = std::max(kl, r - c);
            ku = std::max(ku, c - r);
        }
        // (the interaction's band: a station and its neighbours)
        kl = std::max(kl, 6);
        ku = std::max(ku, 4);
        lu.reset(N, kl, ku);
        std::vector<Eigen::VectorXd> farRow(farRows.size());
        for (auto& row : farRow) row = Eigen::VectorXd::Zero(N);
        for (std::size_t k = 0; k < system.values.size(); ++k) {
            const int r = system.rows[k], c = system.columns[k];
            const double value = system.values[k];
            if (angle && r == corner) angleRow[c] += value;
            else if (angle && c == corner) angleColumn[r] += value;
            else if (far(r, c)) {
                const std::size_t i = std::find(farRows.begin(), farRows.end(), r) - farRows.begin();
                farRow[i][c] += value;
            } else lu.at(r, c) += value;
        }
        for (std::size_t i = 0; i < farRows.size(); ++i) {
            a.push_back(Eigen::VectorXd::Unit(N, farRows[i]));
            b.push_back(farRow[i]);
        }
        if (angle) {
            // S holds 1 in the angle's place; the row carries the rest.
            lu.at(corner, corner) += 1.0;
            angleRow[corner] -= 1.0;
            a.push_back(Eigen::VectorXd::Unit(N, corner));
            b.push_back(angleRow);
            a.push_back(angleColumn);
            b.push_back(Eigen::VectorXd::Unit(N, corner));
        }
        for (int i = 0; i < n; ++i)
            for (int j = std::max(i - 1, 0); j <= std::min(i + 1, n - 1); ++j) {
                if (!inBand(system, i, j)) continue;
                const double f = e(system, i, j);
                lu.at(4 * i + 3, 4 * j + 3) -= f * system.dstar[j];
                lu.at(4 * i + 3, 4 * j + 1) -= f * system.ue[j];
            }
        if (!lu.factor()) return false;

        m = static_cast<int>(a.size());
        // Y = S^-1 U, U = [-P F | A] with F = E outside the band.
        Y.setZero(N, n + m);
        for (int i = 0; i < n; ++i) {
            double* row = Y.data() + static_cast<std::size_t>(4 * i + 3) * (n + m);
            const double* d = system.influence + static_cast<std::size_t>(i) * n;
            for (int j = 0; j < n; ++j) row[j] = -(system.sigma[i] * d[j] * system.sigma[j]);
            for (int j = std::max(i - 1, 0); j <= std::min(i + 1, n - 1); ++j)
                if (inBand(system, i, j)) row[j] = 0;
        }
        for (int k = 0; k < m; ++k) Y.col(n + k) = a[k];
        lu.solve(Y);
        B.assign(m, {});
        for (int k = 0; k < m; ++k)
            for (int c = 0; c < N; ++c)
                if (b[k][c] != 0) B[k].emplace_back(c, b[k][c]);
        C = applyVt(Y);
        C.diagonal().array() += 1.0;
        capacitance.compute(C);
        // (a singular or overflowing system shows in the step's backward error)
        return true;
    }

    // J^-1 r = x0 - Y C^-1 V^T x0 with x0 = S^-1 r.
    Eigen::VectorXd solve(const Eigen::VectorXd& r) const
    {
        Eigen::VectorXd x = r;
        lu.solve(x);
        const Eigen::VectorXd z = capacitance.solve(applyVt(x));
        x.noalias() -= Y * z;
        return x;
    }
};

namespace {

bool finite(const NewtonSystem& s)
{
    auto all = [](const std::vector<double>& x) {
        return std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); });
    };
    if (!all(s.values) || !all(s.ue) || !all(s.dstar) || !all(s.residual)) return false;
    for (std::size_t k = 0; k < s.left.size(); ++k)
        if (!all(s.left[k]) || !all(s.right[k])) return false;
    return true;
}

}  // namespace

std::vector<double> denseJacobian(const NewtonSystem& system)
{
    const Eigen::MatrixXd J = denseMatrix(system);
    std::vector<double> out(static_cast<std::size_t>(system.size) * system.size);
    for (int r = 0; r < system.size; ++r)
        for (int c = 0; c < system.size; ++c) out[static_cast<std::size_t>(r) * system.size + c] = J(r, c);
    return out;
}

std::vector<double> multiplyJacobian(const NewtonSystem& s, const std::vector<double>& x)
{
    const int n = s.stations;
    std::vector<double> y(s.size, 0.0);
    for (std::size_t k = 0; k < s.values.size(); ++k) y[s.rows[k]] += s.values[k] * x[s.columns[k]];
    std::vector<double> mass(n);
    for (int j = 0; j < n; ++j) mass[j] = s.sigma[j] * (s.ue[j] * x[4 * j + 1] + s.dstar[j] * x[4 * j + 3]);
    for (int i = 0; i < n; ++i) {
        const double* row = s.influence + static_cast<std::size_t>(i) * n;
        double sum = 0;
        for (int j = 0; j < n; ++j) sum += row[j] * mass[j];
        y[4 * i + 3] -= s.sigma[i] * sum;
    }
    for (std::size_t k = 0; k < s.left.size(); ++k) {
        double bx = 0;
        for (int c = 0; c < s.size; ++c) bx += s.right[k][c] * x[c];
        if (bx == 0) continue;
        for (int r = 0; r < s.size; ++r) y[r] += s.left[k][r] * bx;
    }
    return y;
}

double backwardError(const NewtonSystem& s, const std::vector<double>& x)
{
    const int n = s.stations;
    std::vector<double> y(s.size, 0.0), scale(s.size, 0.0);
    for (int k = 0; k < s.size; ++k) scale[k] = std::abs(s.residual[k]);
    for (std::size_t k = 0; k < s.values.size(); ++k) {
        const double p = s.values[k] * x[s.columns[k]];
        y[s.rows[k]] += p;
        scale[s.rows[k]] += std::abs(p);
    }
    std::vector<double> mass(n), massScale(n);
    for (int j = 0; j < n; ++j) {
        const double a = s.ue[j] * x[4 * j + 1], b = s.dstar[j] * x[4 * j + 3];
        mass[j] = s.sigma[j] * (a + b);
        massScale[j] = std::abs(a) + std::abs(b);
    }
    for (int i = 0; i < n; ++i) {
        const double* row = s.influence + static_cast<std::size_t>(i) * n;
        double sum = 0, sumScale = 0;
        for (int j = 0; j < n; ++j) {
            sum += row[j] * mass[j];
            sumScale += std::abs(row[j]) * massScale[j];
        }
        y[4 * i + 3] -= s.sigma[i] * sum;
        scale[4 * i + 3] += sumScale;
    }
    for (std::size_t k = 0; k < s.left.size(); ++k) {
        double bx = 0, bxScale = 0;
        for (int c = 0; c < s.size; ++c) {
            bx += s.right[k][c] * x[c];
            bxScale += std::abs(s.right[k][c] * x[c]);
        }
        for (int r = 0; r < s.size; ++r) {
            y[r] += s.left[k][r] * bx;
            scale[r] += std::abs(s.left[k][r]) * bxScale;
        }
    }
    double worst = 0;
    for (int k = 0; k < s.size; ++k) {
        const double r = std::abs(y[k] + s.residual[k]);
        if (r == 0) continue;
        worst = std::max(worst, scale[k] > 0 ? r / scale[k] : kInfinity);
    }
    return worst;
}

std::vector<double> solveNewtonSystemDense(const NewtonSystem& system)
{
    const Eigen::VectorXd r = -Eigen::Map<const Eigen::VectorXd>(system.residual.data(), system.size);
    const Eigen::VectorXd x = denseMatrix(system).partialPivLu().solve(r);
    return std::vector<double>(x.data(), x.data() + x.size());
}

NewtonSolver::NewtonSolver() : work_(std::make_unique<Work>()) {}
NewtonSolver::~NewtonSolver() = default;

NewtonStep NewtonSolver::solve(const NewtonSystem& system)
{
    NewtonStep out;
    auto error = [&](const std::vector<double>& x) { return backwardError(system, x); };
    if (finite(system) && work_->factor(system)) {
        const Eigen::VectorXd rhs = -Eigen::Map<const Eigen::VectorXd>(system.residual.data(), system.size);
        Eigen::VectorXd x = work_->solve(rhs);
        out.step.assign(x.data(), x.data() + x.size());
        out.backwardError = x.allFinite() ? error(out.step) : kInfinity;
        // Iterative refinement, for as long as it helps: the correction of
        // the residual left.
        for (int pass = 0; pass < kRefinements && std::isfinite(out.backwardError) &&
                           out.backwardError > kRefineAbove;
             ++pass) {
            const std::vector<double> r = multiplyJacobian(system, out.step);
            Eigen::VectorXd left(system.size);
            for (int k = 0; k < system.size; ++k) left[k] = -(r[k] + system.residual[k]);
            const Eigen::VectorXd refinedX = x + work_->solve(left);
            std::vector<double> refined(refinedX.data(), refinedX.data() + refinedX.size());
            const double refinedError = refinedX.allFinite() ? error(refined) : kInfinity;
            if (!(refinedError < out.backwardError)) break;
            x = refinedX;
            out.step = std::move(refined);
            out.backwardError = refinedError;
            out.route = NewtonSolveRoute::Refined;
        }
        if (out.backwardError <= kAcceptBelow) return out;
    }
    out.step = solveNewtonSystemDense(system);
    out.route = NewtonSolveRoute::Dense;
    const bool finiteStep =
        std::all_of(out.step.begin(), out.step.end(), [](double v) { return std::isfinite(v); });
    out.backwardError = finiteStep ? error(out.step) : kInfinity;
    return out;
}

NewtonStep solveNewtonSystem(const NewtonSystem& system)
{
    NewtonSolver solver;
    return solver.solve(system);
}

}  // namespace tavrix::coupled
