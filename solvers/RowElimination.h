// The innermost step of the elimination: a row less a multiple of a pivot
// row's quotients. Each entry is rounded twice, product then difference, with
// no fused multiply-add, so the scalar loop and every vector width give the
// same bits.
#pragma once

namespace tavrix {

using RowUpdate = void (*)(double* row, const double* quotient, double factor, int count);
// Four rows against the same quotients: rows[r][j] <- rows[r][j] - quotient[j] * factor[r].
using FourRowUpdate = void (*)(double* const rows[4], const double* quotient,
                               const double factor[4], int count);

// row[j] <- row[j] - quotient[j] * factor for j = 0 .. count - 1, with the
// widest variant this processor runs.
void subtractScaledRow(double* row, const double* quotient, double factor, int count);
void subtractScaledRows(double* const rows[4], const double* quotient, const double factor[4],
                        int count);

// The variants themselves: plain x86-64 (SSE2) and, where the processor has
// it, AVX2 (nullptr otherwise).
RowUpdate portableRowUpdate();
RowUpdate avx2RowUpdate();
FourRowUpdate portableFourRowUpdate();
FourRowUpdate avx2FourRowUpdate();

}  // namespace tavrix
