#include "viscous/CoupledNewtonSystem.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// The iterative solve: from this many stations on (below it the direct one
// is cheaper), with the interaction of the stations within kWideBand of
// each other in its band matrix and at most kFarRank columns for the rest;
// GMRES cycles of at most kKrylov steps, restarted from the exact residual
// kCycles times at most, until the backward error is below kIterateTo.
constexpr int kIterativeFrom = 120;
constexpr int kWideBand = 3;
constexpr int kFarRank = 20;
constexpr int kKrylov = 30;
constexpr int kCycles = 3;
constexpr double kIterateTo = 1e-15;

// The stations whose interaction stays in the band of S: each with its
// neighbours within `width` along the contour, or along the wake.
// The non-zero entries (column, value) of each of the vectors.
std::vector<std::vector<std::pair<int, double>>> nonZeros(const std::vector<Eigen::VectorXd>& rows)
{
    std::vector<std::vector<std::pair<int, double>>> out(rows.size());
    for (std::size_t q = 0; q < rows.size(); ++q)
        for (Eigen::Index c = 0; c < rows[q].size(); ++c)
            if (rows[q][c] != 0) out[q].emplace_back(static_cast<int>(c), rows[q][c]);
    return out;
}

bool inBand(const NewtonSystem& s, int i, int j, int width)
{
    const bool wakeI = i >= s.airfoilStations, wakeJ = j >= s.airfoilStations;
    return wakeI == wakeJ && std::abs(i - j) <= width;
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
            const double* pivotRow = &at(k, k + 1);
            for (int r = k + 1; r <= last; ++r) {
                const double l = at(r, k) / d;
                lower_[static_cast<std::size_t>(k) * kl_ + (r - k - 1)] = l;
                at(r, k) = 0;
                if (l == 0) continue;
                double* row = &at(r, k + 1);
                for (int c = 0; c < end - k; ++c) row[c] -= l * pivotRow[c];
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

    // The same for one right-hand side, with the reciprocals of U's
    // diagonal and the sums of the back substitution split in four: faster,
    // and rounded otherwise (for an approximate inverse). quickSetup() once
    // after factor().
    void quickSetup()
    {
        inverse_.resize(n_);
        for (int k = 0; k < n_; ++k) inverse_[k] = 1 / band_[static_cast<std::size_t>(k) * width_ + kl_];
    }
    void quickSolve(double* x) const
    {
        for (int k = 0; k < n_; ++k) {
            if (pivot_[k] != k) std::swap(x[k], x[pivot_[k]]);
            const int last = std::min(k + kl_, n_ - 1);
            const double* l = lower_.data() + static_cast<std::size_t>(k) * kl_ - (k + 1);
            const double xk = x[k];
            for (int r = k + 1; r <= last; ++r) x[r] -= l[r] * xk;
        }
        // (the unknown just found enters last, outside the sums of the
        // others, which need not wait for it)
        for (int k = n_ - 1; k >= 0; --k) {
            const int end = std::min(k + kl_ + ku_, n_ - 1);
            const double* row = band_.data() + static_cast<std::size_t>(k) * width_ + kl_ - k;
            double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
            int c = end;
            for (; c - 3 > k + 1; c -= 4) {
                s0 += row[c] * x[c];
                s1 += row[c - 1] * x[c - 1];
                s2 += row[c - 2] * x[c - 2];
                s3 += row[c - 3] * x[c - 3];
            }
            for (; c > k + 1; --c) s0 += row[c] * x[c];
            const double others = x[k] - ((s0 + s1) + (s2 + s3));
            x[k] = k + 1 < n_ ? (others - row[k + 1] * x[k + 1]) * inverse_[k] : others * inverse_[k];
        }
    }

private:
    int n_ = 0, kl_ = 0, ku_ = 0, width_ = 1;
    std::vector<double> band_, lower_, inverse_;
    std::vector<int> pivot_;
};

// T and the interaction of the stations within `width` of each other split
// into a band matrix S, factored, and rank-one terms a_k b_k^T for the rest
// of T: entries of T that lie further from the diagonal than kFarEntry
// (those of the start of the wake on the first station of the lower
// surface) become rank-one terms of their rows, and the angle's row and
// column two more, with S holding 1 in the angle's place. The system's own
// rank-one terms come first. False when a pivot of S vanishes.
bool factorBand(const NewtonSystem& system, int width, BandLU& lu, std::vector<Eigen::VectorXd>& a,
                std::vector<Eigen::VectorXd>& b)
{
    const int n = system.stations, N = system.size;
    const bool angle = N > 4 * n;
    const int corner = 4 * n;
    a.clear();
    b.clear();
    for (std::size_t k = 0; k < system.left.size(); ++k) {
        a.push_back(Eigen::Map<const Eigen::VectorXd>(system.left[k].data(), N));
        b.push_back(Eigen::Map<const Eigen::VectorXd>(system.right[k].data(), N));
    }
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
    // The interaction's band: row 4i+3 on the columns 4j+1 and 4j+3 of the
    // stations j within `width` of i.
    kl = std::max(kl, 4 * width + 2);
    ku = std::max(ku, 4 * width);
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
        for (int j = std::max(i - width, 0); j <= std::min(i + width, n - 1); ++j) {
            if (!inBand(system, i, j, width)) continue;
            const double f = e(system, i, j);
            lu.at(4 * i + 3, 4 * j + 3) -= f * system.dstar[j];
            lu.at(4 * i + 3, 4 * j + 1) -= f * system.ue[j];
        }
    return lu.factor();
}

// D outside the band of `width`, F, split into a part of low rank, Q R (Q of
// orthonormal columns), and the rest, F - Q R. The influence of the source
// panels on distant stations is smooth, so that few columns of Q take most
// of F; they are found by a randomised range finder (a fixed sketch, the
// same basis for the same D), their number by the singular values of the
// sketch. The next D of the same stations (the next angle of a polar: the
// airfoil's part of D is the same, the wake's moves a little) keeps the
// basis, R = Q^T F, while the rest stays about as small as the basis left
// it: a projection instead of the five products of the range finder.
struct FarField {
    const double* influence = nullptr;
    int stations = -1, airfoilStations = -1, width = -1;
    bool usable = false;
    Eigen::MatrixXd Q;  // stations x rank
    RowMatrix R;        // rank x stations
    RowMatrix rest;     // F - Q R
    RowMatrix absD;     // |D|, for the scale of the backward error
    RowMatrix F;
    // |F - Q R| / |F| (Frobenius) where the basis was found.
    double restFound = 0;

    std::vector<double> diagonal;  // of the D compressed: a D rewritten in place shows there

    bool matches(const NewtonSystem& s, int w) const
    {
        if (influence != s.influence || stations != s.stations || airfoilStations != s.airfoilStations ||
            width != w)
            return false;
        for (int i = 0; i < stations; ++i)
            if (!(s.influence[static_cast<std::size_t>(i) * stations + i] == diagonal[i])) return false;
        return true;
    }

    void compress(const NewtonSystem& s, int w, int rank)
    {
        const bool sameStations = usable && stations == s.stations &&
                                  airfoilStations == s.airfoilStations && width == w && Q.cols() > 0;
        influence = s.influence;
        stations = s.stations;
        airfoilStations = s.airfoilStations;
        width = w;
        usable = false;
        const int n = s.stations;
        const Eigen::Map<const RowMatrix> D(s.influence, n, n);
        diagonal.assign(n, 0.0);
        for (int i = 0; i < n; ++i) diagonal[i] = D(i, i);
        if (!D.allFinite()) return;
        absD = D.cwiseAbs();
        F = D;
        for (int i = 0; i < n; ++i)
            for (int j = std::max(i - w, 0); j <= std::min(i + w, n - 1); ++j)
                if (inBand(s, i, j, w)) F(i, j) = 0;
        const double normF = F.norm();
        if (sameStations) {
            R.noalias() = Q.transpose() * F;
            rest = F;
            rest.noalias() -= Q * R;
            // (a basis that takes clearly less of the new F is found anew)
            if (rest.allFinite() && R.allFinite() && rest.norm() <= 2 * restFound * normF + 1e-300) {
                usable = true;
                return;
            }
        }
        const int p = std::min(rank + 8, n);
        Eigen::MatrixXd omega(n, p);
        std::uint64_t state = 0x9E3779B97F4A7C15ull;
        for (int c = 0; c < p; ++c)
            for (int r = 0; r < n; ++r) {
                state = state * 6364136223846793005ull + 1442695040888963407ull;
                omega(r, c) = static_cast<double>(state >> 11) * 0x1.0p-53 - 0.5;
            }
        // Orthonormal columns by Gram-Schmidt, twice over.
        auto orthonormal = [](Eigen::MatrixXd A) {
            for (Eigen::Index c = 0; c < A.cols(); ++c)
                for (int pass = 0; pass < 2; ++pass) {
                    if (c > 0) {
                        const Eigen::VectorXd h = A.leftCols(c).transpose() * A.col(c);
                        A.col(c).noalias() -= A.leftCols(c) * h;
                    }
                    const double norm = A.col(c).norm();
                    if (norm > 0) A.col(c) /= norm;
                }
            return A;
        };
        // One power iteration sharpens the range of the slowly decaying
        // singular values.
        const Eigen::MatrixXd basis = orthonormal(F * orthonormal(F.transpose() * orthonormal(F * omega)));
        const Eigen::MatrixXd sketch = basis.transpose() * F;  // p x n
        // Its left singular vectors and values from the eigenpairs of
        // sketch sketch^T, largest first; those under 1e-6 of the largest
        // are left out.
        Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eig(sketch * sketch.transpose());
        const Eigen::VectorXd lambda = eig.eigenvalues().reverse();
        int kept = 0;
        while (kept < std::min(rank, p) && lambda[kept] > 1e-12 * lambda[0]) ++kept;
        const Eigen::MatrixXd U = eig.eigenvectors().rowwise().reverse().leftCols(kept);
        Q = basis * U;
        R = U.transpose() * sketch;
        rest = F;
        rest.noalias() -= Q * R;
        restFound = normF > 0 ? rest.norm() / normF : 0;
        usable = Q.allFinite() && R.allFinite() && rest.allFinite();
    }
};

// The exact residual b - J x and the scale of each row, |J| |x| + |b|
// (the terms of backwardError, with |D| at hand).
void residual(const NewtonSystem& s, const RowMatrix& absD, const Eigen::VectorXd& b, const Eigen::VectorXd& x,
              Eigen::VectorXd& r, Eigen::VectorXd& scale)
{
    const int n = s.stations;
    r = b;
    scale = b.cwiseAbs();
    for (std::size_t k = 0; k < s.values.size(); ++k) {
        const double p = s.values[k] * x[s.columns[k]];
        r[s.rows[k]] -= p;
        scale[s.rows[k]] += std::abs(p);
    }
    Eigen::VectorXd mass(n), massScale(n);
    for (int j = 0; j < n; ++j) {
        const double a = s.ue[j] * x[4 * j + 1], c = s.dstar[j] * x[4 * j + 3];
        mass[j] = s.sigma[j] * (a + c);
        massScale[j] = std::abs(a) + std::abs(c);
    }
    const Eigen::Map<const RowMatrix> D(s.influence, n, n);
    const Eigen::VectorXd q = D * mass;
    const Eigen::VectorXd qScale = absD * massScale;
    for (int i = 0; i < n; ++i) {
        r[4 * i + 3] += s.sigma[i] * q[i];
        scale[4 * i + 3] += qScale[i];
    }
    for (std::size_t k = 0; k < s.left.size(); ++k) {
        double bx = 0, bxScale = 0;
        for (int c = 0; c < s.size; ++c) {
            bx += s.right[k][c] * x[c];
            bxScale += std::abs(s.right[k][c] * x[c]);
        }
        if (bxScale == 0) continue;
        for (int q2 = 0; q2 < s.size; ++q2) {
            r[q2] -= s.left[k][q2] * bx;
            scale[q2] += std::abs(s.left[k][q2]) * bxScale;
        }
    }
}

// The largest |r| of a row against its scale (infinite for a residual that
// is not finite).
double worstRow(const Eigen::VectorXd& r, const Eigen::VectorXd& scale)
{
    double worst = 0;
    for (Eigen::Index k = 0; k < r.size(); ++k) {
        if (!std::isfinite(r[k]) || !std::isfinite(scale[k])) return kInfinity;
        if (r[k] == 0) continue;
        worst = std::max(worst, scale[k] > 0 ? std::abs(r[k]) / scale[k] : kInfinity);
    }
    return worst;
}

// M = S + U V^T, an approximation of J: S with the interaction of the
// stations within `width` of each other, U = [-P sigma Q | A], V^T =
// [R sigma W^T ; B]; so that J = M - P sigma (F - Q R) sigma W^T. Held,
// like the exact Woodbury form below, as Y = S^-1 U and the LU of
// C = I + V^T Y, here of the order of the rank of Q and the rank-one terms.
struct ApproxInverse {
    BandLU lu;
    RowMatrix Y;  // S^-1 U
    Eigen::PartialPivLU<Eigen::MatrixXd> capacitance;
    RowMatrix H;  // R sigma
    std::vector<std::vector<std::pair<int, double>>> B;
    std::vector<double> ue, dstar;
    int k = 0, m = 0;

    template <class X>
    Eigen::VectorXd applyVt(const X& x) const
    {
        const int n = static_cast<int>(ue.size());
        Eigen::VectorXd mass(n), out(k + m);
        for (int j = 0; j < n; ++j) mass[j] = ue[j] * x[4 * j + 1] + dstar[j] * x[4 * j + 3];
        out.head(k).noalias() = H * mass;
        for (int q = 0; q < m; ++q) {
            double sum = 0;
            for (const auto& [c, value] : B[q]) sum += value * x[c];
            out[k + q] = sum;
        }
        return out;
    }

    bool build(const NewtonSystem& s, const FarField& far, int width, std::vector<Eigen::VectorXd>& a,
               std::vector<Eigen::VectorXd>& b)
    {
        if (!factorBand(s, width, lu, a, b)) return false;
        lu.quickSetup();
        const int n = s.stations, N = s.size;
        k = static_cast<int>(far.Q.cols());
        m = static_cast<int>(a.size());
        ue = s.ue;
        dstar = s.dstar;
        H = far.R * Eigen::Map<const Eigen::VectorXd>(s.sigma.data(), n).asDiagonal();
        Y.setZero(N, k + m);
        for (int i = 0; i < n; ++i) Y.row(4 * i + 3).head(k) = -s.sigma[i] * far.Q.row(i);
        for (int q = 0; q < m; ++q) Y.col(k + q) = a[q];
        lu.solve(Y);
        B = nonZeros(b);
        Eigen::MatrixXd C(k + m, k + m);
        for (int c = 0; c < k + m; ++c) C.col(c) = applyVt(Y.col(c));
        C.diagonal().array() += 1.0;
        capacitance.compute(C);
        return C.allFinite();
    }

    // M^-1 r; with massOnly, right only in the rows of delta* and ue (all
    // that the mass defect needs).
    void apply(const Eigen::VectorXd& r, Eigen::VectorXd& x, bool massOnly = false) const
    {
        x = r;
        lu.quickSolve(x.data());
        const Eigen::VectorXd z = capacitance.solve(applyVt(x));
        if (!massOnly) {
            x.noalias() -= Y * z;
            return;
        }
        for (std::size_t j = 0; j < ue.size(); ++j) {
            x[4 * j + 1] -= Y.row(4 * j + 1).dot(z);
            x[4 * j + 3] -= Y.row(4 * j + 3).dot(z);
        }
    }
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
        if (!factorBand(system, 1, lu, a, b)) return false;

        m = static_cast<int>(a.size());
        // Y = S^-1 U, U = [-P F | A] with F = E outside the band.
        Y.setZero(N, n + m);
        for (int i = 0; i < n; ++i) {
            double* row = Y.data() + static_cast<std::size_t>(4 * i + 3) * (n + m);
            const double* d = system.influence + static_cast<std::size_t>(i) * n;
            for (int j = 0; j < n; ++j) row[j] = -(system.sigma[i] * d[j] * system.sigma[j]);
            for (int j = std::max(i - 1, 0); j <= std::min(i + 1, n - 1); ++j)
                if (inBand(system, i, j, 1)) row[j] = 0;
        }
        for (int k = 0; k < m; ++k) Y.col(n + k) = a[k];
        lu.solve(Y);
        B = nonZeros(b);
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

    // The iterative solve: M (ApproxInverse) with the interaction of the
    // stations within kWideBand of each other in its band matrix, and the
    // rest of D compressed once per D.
    FarField far;
    ApproxInverse approx;
    std::vector<Eigen::VectorXd> wideA, wideB;

    bool prepare(const NewtonSystem& system)
    {
        s = &system;
        if (!far.matches(system, kWideBand)) far.compress(system, kWideBand, kFarRank);
        return far.usable && approx.build(system, far, kWideBand, wideA, wideB);
    }

    // J x = b through J = M - P sigma G sigma W^T with G = F - Q R, the part
    // of D that M leaves out: with the signed mass defect mu = sigma W^T x,
    // x = M^-1 (b + P sigma G mu), so that (I - K G) mu = sigma W^T M^-1 b
    // with K = sigma W^T M^-1 P sigma, a system of one unknown a station,
    // solved by GMRES. Then the exact residual, and the same again on it
    // while the backward error is above kIterateTo. The step, with its
    // backward error.
    Eigen::VectorXd iterate(const Eigen::VectorXd& b, double target, double& error)
    {
        const NewtonSystem& sys = *s;
        const int n = sys.stations, N = sys.size;
        auto signedMass = [&](const Eigen::VectorXd& x, double* out) {
            for (int j = 0; j < n; ++j)
                out[j] = sys.sigma[j] * (sys.ue[j] * x[4 * j + 1] + sys.dstar[j] * x[4 * j + 3]);
        };
        Eigen::VectorXd lifted(N), Gv(n);
        // out = M^-1 (c + P sigma G v)
        auto lift = [&](const Eigen::VectorXd& c, const double* v, Eigen::VectorXd& out, bool massOnly) {
            Gv.noalias() = far.rest * Eigen::Map<const Eigen::VectorXd>(v, n);
            lifted = c;
            for (int i = 0; i < n; ++i) lifted[4 * i + 3] += sys.sigma[i] * Gv[i];
            approx.apply(lifted, out, massOnly);
        };
        const Eigen::VectorXd zero = Eigen::VectorXd::Zero(N);
        Eigen::VectorXd x = Eigen::VectorXd::Zero(N), r = b, scale, y(N), y0(N);
        Eigen::MatrixXd V(n, kKrylov + 1), H(kKrylov + 1, kKrylov);
        Eigen::VectorXd cs(kKrylov), sn(kKrylov), g(kKrylov + 1), t(n), mu0(n), mu(n);
        error = kInfinity;
        for (int cycle = 0;; ++cycle) {
            // The first cycle to the last digits; a correction only as far
            // as the bound needs, with a margin.
            const double tolerance = cycle == 0 ? target : std::max(kIterateTo, 0.1 * target / error);
            approx.apply(r, y0, true);
            signedMass(y0, mu0.data());
            const double beta = mu0.norm();
            mu.setZero();
            if (beta > 0 && std::isfinite(beta)) {
                V.col(0) = mu0 / beta;
                H.setZero();
                g.setZero();
                g[0] = beta;
                int used = 0;
                for (int j = 0; j < kKrylov; ++j) {
                    lift(zero, V.col(j).data(), y, true);
                    signedMass(y, t.data());
                    t = V.col(j) - t;
                    // Gram-Schmidt twice over
                    for (int pass = 0; pass < 2; ++pass) {
                        const Eigen::VectorXd h = V.leftCols(j + 1).transpose() * t;
                        H.col(j).head(j + 1) += h;
                        t.noalias() -= V.leftCols(j + 1) * h;
                    }
                    H(j + 1, j) = t.norm();
                    used = j + 1;
                    if (H(j + 1, j) > 0) V.col(j + 1) = t / H(j + 1, j);
                    for (int i = 0; i < j; ++i) {
                        const double h0 = cs[i] * H(i, j) + sn[i] * H(i + 1, j);
                        H(i + 1, j) = -sn[i] * H(i, j) + cs[i] * H(i + 1, j);
                        H(i, j) = h0;
                    }
                    const double rho = std::hypot(H(j, j), H(j + 1, j));
                    if (!(rho > 0) || !std::isfinite(rho)) {
                        used = j;
                        break;
                    }
                    cs[j] = H(j, j) / rho;
                    sn[j] = H(j + 1, j) / rho;
                    H(j, j) = rho;
                    H(j + 1, j) = 0;
                    g[j + 1] = -sn[j] * g[j];
                    g[j] = cs[j] * g[j];
                    if (std::abs(g[j + 1]) <= tolerance * beta) break;
                }
                if (used > 0)
                    mu.noalias() =
                        V.leftCols(used) * H.topLeftCorner(used, used).triangularView<Eigen::Upper>().solve(g.head(used));
            }
            lift(r, mu.data(), y, false);
            x += y;
            if (!x.allFinite()) {
                error = kInfinity;
                return x;
            }
            residual(sys, far.absD, b, x, r, scale);
            error = worstRow(r, scale);
            if (!(error > target) || cycle + 1 == kCycles) return x;
        }
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
    const RowMatrix absD = Eigen::Map<const RowMatrix>(s.influence, n, n).cwiseAbs();
    Eigen::VectorXd r, scale;
    residual(s, absD, -Eigen::Map<const Eigen::VectorXd>(s.residual.data(), s.size),
             Eigen::Map<const Eigen::VectorXd>(x.data(), s.size), r, scale);
    return worstRow(r, scale);
}

std::vector<double> solveNewtonSystemDense(const NewtonSystem& system)
{
    const Eigen::VectorXd r = -Eigen::Map<const Eigen::VectorXd>(system.residual.data(), system.size);
    const Eigen::VectorXd x = denseMatrix(system).partialPivLu().solve(r);
    return std::vector<double>(x.data(), x.data() + x.size());
}

NewtonSolver::NewtonSolver() : work_(std::make_unique<Work>()) {}
NewtonSolver::~NewtonSolver() = default;

NewtonStep NewtonSolver::solve(const NewtonSystem& system, double accuracy)
{
    const double target = std::max(accuracy, kIterateTo);
    NewtonStep out;
    auto error = [&](const std::vector<double>& x) { return backwardError(system, x); };
    const bool finiteSystem = finite(system);
    if (system.stations >= kIterativeFrom && finiteSystem && work_->prepare(system)) {
        const Eigen::VectorXd rhs = -Eigen::Map<const Eigen::VectorXd>(system.residual.data(), system.size);
        double iterated = kInfinity;
        const Eigen::VectorXd x = work_->iterate(rhs, target, iterated);
        if (iterated <= std::max(target, kRefineAbove)) {
            out.step.assign(x.data(), x.data() + x.size());
            out.backwardError = iterated;
            out.route = NewtonSolveRoute::Iterative;
            return out;
        }
    }
    if (finiteSystem && work_->factor(system)) {
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
