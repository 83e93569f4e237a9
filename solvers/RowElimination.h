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
// Four rows against two successive pivot rows K and K + 1 in one sweep. rows[r]
// and first start at column K, second at column K + 1; count covers columns
// K .. N + 1 (at least 2). Each entry meets pass K and then pass K + 1, exactly
// as two FourRowUpdate calls would leave it, so it is loaded and stored once
// instead of twice. The factors the passes used (row entries K and K + 1 as
// each pass found them) come back in firstFactor and secondFactor.
using FourRowPairUpdate = void (*)(double* const rows[4], const double* first,
                                   const double* second, double firstFactor[4],
                                   double secondFactor[4], int count);

// row[j] <- row[j] - quotient[j] * factor for j = 0 .. count - 1, with the
// widest variant this processor runs.
void subtractScaledRow(double* row, const double* quotient, double factor, int count);
void subtractScaledRows(double* const rows[4], const double* quotient, const double factor[4],
                        int count);
void subtractScaledRowsTwice(double* const rows[4], const double* first, const double* second,
                             double firstFactor[4], double secondFactor[4], int count);

// The variants themselves: plain x86-64 (SSE2) and, where the processor has
// it, AVX2 and AVX-512 (nullptr otherwise). All give the same bits.
RowUpdate portableRowUpdate();
RowUpdate avx2RowUpdate();
RowUpdate avx512RowUpdate();
FourRowUpdate portableFourRowUpdate();
FourRowUpdate avx2FourRowUpdate();
FourRowUpdate avx512FourRowUpdate();
FourRowPairUpdate portableFourRowPairUpdate();
FourRowPairUpdate avx2FourRowPairUpdate();
FourRowPairUpdate avx512FourRowPairUpdate();

// One variant's three updates, as the elimination calls them. A set of a
// variant this processor lacks holds nullptr.
struct RowEliminationKernels {
    RowUpdate row;
    FourRowUpdate fourRows;
    FourRowPairUpdate fourRowPairs;
};
RowEliminationKernels portableKernels();
RowEliminationKernels avx2Kernels();
RowEliminationKernels avx512Kernels();
// The widest variant available, chosen once; subtractScaledRow and its two
// siblings run it.
const RowEliminationKernels& widestKernels();

}  // namespace tavrix
