// Square matrix with both subscripts running 0..upper, as the panel methods
// index their systems (row and column 0 unused). Redim discards the old
// contents; an entry never assigned reads as 0.
#pragma once

#include <cstddef>
#include <vector>

namespace tavrix {

class Matrix {
public:
    void redim(int upper)
    {
        upper_ = upper;
        const auto n = static_cast<std::size_t>(upper + 1);
        cells_.assign(n * n, 0.0);
    }
    int upper() const { return upper_; }
    double& operator()(int i, int j) { return cells_[index(i, j)]; }
    double operator()(int i, int j) const { return cells_[index(i, j)]; }
    // Row i from column j on lies side by side.
    const double* at(int i, int j) const { return &cells_[index(i, j)]; }

private:
    std::size_t index(int i, int j) const
    {
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(upper_ + 1) +
               static_cast<std::size_t>(j);
    }
    int upper_ = -1;
    std::vector<double> cells_;
};

}  // namespace tavrix
