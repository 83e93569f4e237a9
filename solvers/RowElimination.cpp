#include "solvers/RowElimination.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace tavrix {

namespace {

#define TAVRIX_ROW_UPDATE_BODY                                                      \
    for (int j = 0; j < count; ++j) row[j] = row[j] - quotient[j] * factor

// The four rows, which never overlap each other or the quotients.
#define TAVRIX_FOUR_ROWS                                                            \
    double* __restrict r0 = rows[0];                                                \
    double* __restrict r1 = rows[1];                                                \
    double* __restrict r2 = rows[2];                                                \
    double* __restrict r3 = rows[3];

// Each quotient is loaded once for four rows.
#define TAVRIX_FOUR_ROW_UPDATE_BODY                                                 \
    TAVRIX_FOUR_ROWS                                                                \
    const double f0 = factor[0], f1 = factor[1], f2 = factor[2], f3 = factor[3];   \
    for (int j = 0; j < count; ++j) {                                               \
        const double q = quotient[j];                                               \
        r0[j] = r0[j] - q * f0;                                                     \
        r1[j] = r1[j] - q * f1;                                                     \
        r2[j] = r2[j] - q * f2;                                                     \
        r3[j] = r3[j] - q * f3;                                                     \
    }

// Two passes over four rows. Column K sees pass K only. At column K + 1 pass K
// leaves the factor of pass K + 1, which then takes away its own multiple of
// the unit quotient. Every later column gets both passes in turn, each a
// rounded product then a rounded difference.
#define TAVRIX_FOUR_ROW_PAIR_HEAD                                                   \
    TAVRIX_FOUR_ROWS                                                                \
    const double a0 = r0[0], a1 = r1[0], a2 = r2[0], a3 = r3[0];                    \
    r0[0] = a0 - first[0] * a0;                                                     \
    r1[0] = a1 - first[0] * a1;                                                     \
    r2[0] = a2 - first[0] * a2;                                                     \
    r3[0] = a3 - first[0] * a3;                                                     \
    const double b0 = r0[1] - first[1] * a0;                                        \
    const double b1 = r1[1] - first[1] * a1;                                        \
    const double b2 = r2[1] - first[1] * a2;                                        \
    const double b3 = r3[1] - first[1] * a3;                                        \
    r0[1] = b0 - second[0] * b0;                                                    \
    r1[1] = b1 - second[0] * b1;                                                    \
    r2[1] = b2 - second[0] * b2;                                                    \
    r3[1] = b3 - second[0] * b3;

#define TAVRIX_FOUR_ROW_PAIR_FACTORS                                                \
    firstFactor[0] = a0;                                                            \
    firstFactor[1] = a1;                                                            \
    firstFactor[2] = a2;                                                            \
    firstFactor[3] = a3;                                                            \
    secondFactor[0] = b0;                                                           \
    secondFactor[1] = b1;                                                           \
    secondFactor[2] = b2;                                                           \
    secondFactor[3] = b3;

#define TAVRIX_FOUR_ROW_PAIR_UPDATE_BODY                                            \
    TAVRIX_FOUR_ROW_PAIR_HEAD                                                       \
    for (int j = 2; j < count; ++j) {                                               \
        const double p = first[j];                                                  \
        const double q = second[j - 1];                                             \
        r0[j] = (r0[j] - p * a0) - q * b0;                                          \
        r1[j] = (r1[j] - p * a1) - q * b1;                                          \
        r2[j] = (r2[j] - p * a2) - q * b2;                                          \
        r3[j] = (r3[j] - p * a3) - q * b3;                                          \
    }                                                                               \
    TAVRIX_FOUR_ROW_PAIR_FACTORS

void portable(double* __restrict row, const double* __restrict quotient, double factor,
              int count)
{
    TAVRIX_ROW_UPDATE_BODY;
}

void portableFour(double* const rows[4], const double* __restrict quotient,
                  const double factor[4], int count)
{
    TAVRIX_FOUR_ROW_UPDATE_BODY
}

void portableFourPair(double* const rows[4], const double* __restrict first,
                      const double* __restrict second, double firstFactor[4],
                      double secondFactor[4], int count)
{
    TAVRIX_FOUR_ROW_PAIR_UPDATE_BODY
}

#if defined(__x86_64__) && defined(__GNUC__)
#define TAVRIX_HAVE_X86_VARIANTS 1
// AVX2 without FMA: four lanes of the same two roundings.
__attribute__((target("avx2"))) void avx2(double* __restrict row,
                                          const double* __restrict quotient, double factor,
                                          int count)
{
    TAVRIX_ROW_UPDATE_BODY;
}

__attribute__((target("avx2"))) void avx2Four(double* const rows[4],
                                              const double* __restrict quotient,
                                              const double factor[4], int count)
{
    TAVRIX_FOUR_ROW_UPDATE_BODY
}

__attribute__((target("avx2"))) void avx2FourPair(double* const rows[4],
                                                  const double* __restrict first,
                                                  const double* __restrict second,
                                                  double firstFactor[4],
                                                  double secondFactor[4], int count)
{
    TAVRIX_FOUR_ROW_PAIR_UPDATE_BODY
}

bool haveAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

// AVX-512 without FMA: eight lanes, each a rounded product and then a rounded
// difference in the scalar loop's order. Each step takes a lane mask: full
// blocks pass all eight lanes, the last partial block only its own, so no
// entry past the row is read or written, and lanes outside the row do no
// arithmetic (no spurious invalid-operation flag from 0 * inf there).
#define TAVRIX_AVX512 __attribute__((target("avx512f"), always_inline)) inline

constexpr __mmask8 kAllLanes = 0xFF;

TAVRIX_AVX512 __mmask8 leadingLanes(int n) { return static_cast<__mmask8>((1u << n) - 1u); }

// row - quotient * factor on the lanes of mask.
TAVRIX_AVX512 void lessProduct(__mmask8 mask, double* row, __m512d quotient, __m512d factor)
{
    const __m512d product = _mm512_maskz_mul_pd(mask, quotient, factor);
    _mm512_mask_storeu_pd(row, mask,
                          _mm512_maskz_sub_pd(mask, _mm512_maskz_loadu_pd(mask, row), product));
}

// (row - p * a) - q * b on the lanes of mask.
TAVRIX_AVX512 void lessTwoProducts(__mmask8 mask, double* row, __m512d p, __m512d a, __m512d q,
                                   __m512d b)
{
    const __m512d afterFirst = _mm512_maskz_sub_pd(mask, _mm512_maskz_loadu_pd(mask, row),
                                                   _mm512_maskz_mul_pd(mask, p, a));
    _mm512_mask_storeu_pd(row, mask,
                          _mm512_maskz_sub_pd(mask, afterFirst, _mm512_maskz_mul_pd(mask, q, b)));
}

__attribute__((target("avx512f"))) void avx512(double* __restrict row,
                                               const double* __restrict quotient,
                                               double factor, int count)
{
    const __m512d f = _mm512_set1_pd(factor);
    int j = 0;
    for (; j + 8 <= count; j += 8)
        lessProduct(kAllLanes, row + j, _mm512_loadu_pd(quotient + j), f);
    if (j < count) {
        const __mmask8 tail = leadingLanes(count - j);
        lessProduct(tail, row + j, _mm512_maskz_loadu_pd(tail, quotient + j), f);
    }
}

TAVRIX_AVX512 void fourRowStep(__mmask8 mask, double* const r[4], const double* quotient,
                               const __m512d f[4])
{
    const __m512d q = _mm512_maskz_loadu_pd(mask, quotient);
    for (int k = 0; k < 4; ++k) lessProduct(mask, r[k], q, f[k]);
}

__attribute__((target("avx512f"))) void avx512Four(double* const rows[4],
                                                   const double* __restrict quotient,
                                                   const double factor[4], int count)
{
    TAVRIX_FOUR_ROWS
    const __m512d f[4] = {_mm512_set1_pd(factor[0]), _mm512_set1_pd(factor[1]),
                          _mm512_set1_pd(factor[2]), _mm512_set1_pd(factor[3])};
    int j = 0;
    for (; j + 8 <= count; j += 8) {
        double* const r[4] = {r0 + j, r1 + j, r2 + j, r3 + j};
        fourRowStep(kAllLanes, r, quotient + j, f);
    }
    if (j < count) {
        double* const r[4] = {r0 + j, r1 + j, r2 + j, r3 + j};
        fourRowStep(leadingLanes(count - j), r, quotient + j, f);
    }
}

TAVRIX_AVX512 void fourRowPairStep(__mmask8 mask, double* const r[4], const double* first,
                                   const double* second, const __m512d a[4],
                                   const __m512d b[4])
{
    const __m512d p = _mm512_maskz_loadu_pd(mask, first);
    const __m512d q = _mm512_maskz_loadu_pd(mask, second);
    for (int k = 0; k < 4; ++k) lessTwoProducts(mask, r[k], p, a[k], q, b[k]);
}

// Columns K and K + 1 as in the scalar loop; from K + 2 on eight columns at a
// time, the quotient of pass K + 1 one column behind that of pass K.
__attribute__((target("avx512f"))) void avx512FourPair(double* const rows[4],
                                                       const double* __restrict first,
                                                       const double* __restrict second,
                                                       double firstFactor[4],
                                                       double secondFactor[4], int count)
{
    TAVRIX_FOUR_ROW_PAIR_HEAD
    const __m512d a[4] = {_mm512_set1_pd(a0), _mm512_set1_pd(a1), _mm512_set1_pd(a2),
                          _mm512_set1_pd(a3)};
    const __m512d b[4] = {_mm512_set1_pd(b0), _mm512_set1_pd(b1), _mm512_set1_pd(b2),
                          _mm512_set1_pd(b3)};
    int j = 2;
    for (; j + 8 <= count; j += 8) {
        double* const r[4] = {r0 + j, r1 + j, r2 + j, r3 + j};
        fourRowPairStep(kAllLanes, r, first + j, second + j - 1, a, b);
    }
    if (j < count) {
        double* const r[4] = {r0 + j, r1 + j, r2 + j, r3 + j};
        fourRowPairStep(leadingLanes(count - j), r, first + j, second + j - 1, a, b);
    }
    TAVRIX_FOUR_ROW_PAIR_FACTORS
}

bool haveAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f");
}
#endif

}  // namespace

RowUpdate portableRowUpdate() { return portable; }
FourRowUpdate portableFourRowUpdate() { return portableFour; }
FourRowPairUpdate portableFourRowPairUpdate() { return portableFourPair; }

RowUpdate avx2RowUpdate()
{
#ifdef TAVRIX_HAVE_X86_VARIANTS
    if (haveAvx2()) return avx2;
#endif
    return nullptr;
}

FourRowUpdate avx2FourRowUpdate()
{
#ifdef TAVRIX_HAVE_X86_VARIANTS
    if (haveAvx2()) return avx2Four;
#endif
    return nullptr;
}

FourRowPairUpdate avx2FourRowPairUpdate()
{
#ifdef TAVRIX_HAVE_X86_VARIANTS
    if (haveAvx2()) return avx2FourPair;
#endif
    return nullptr;
}

RowUpdate avx512RowUpdate()
{
#ifdef TAVRIX_HAVE_X86_VARIANTS
    if (haveAvx512()) return avx512;
#endif
    return nullptr;
}

FourRowUpdate avx512FourRowUpdate()
{
#ifdef TAVRIX_HAVE_X86_VARIANTS
    if (haveAvx512()) return avx512Four;
#endif
    return nullptr;
}

FourRowPairUpdate avx512FourRowPairUpdate()
{
#ifdef TAVRIX_HAVE_X86_VARIANTS
    if (haveAvx512()) return avx512FourPair;
#endif
    return nullptr;
}

namespace {

// The widest of the three variants this processor runs.
template <typename Update>
Update widest(Update avx512Variant, Update avx2Variant, Update portableVariant)
{
    if (avx512Variant != nullptr) return avx512Variant;
    if (avx2Variant != nullptr) return avx2Variant;
    return portableVariant;
}

}  // namespace

RowEliminationKernels portableKernels()
{
    return {portableRowUpdate(), portableFourRowUpdate(), portableFourRowPairUpdate()};
}

RowEliminationKernels avx2Kernels()
{
    return {avx2RowUpdate(), avx2FourRowUpdate(), avx2FourRowPairUpdate()};
}

RowEliminationKernels avx512Kernels()
{
    return {avx512RowUpdate(), avx512FourRowUpdate(), avx512FourRowPairUpdate()};
}

const RowEliminationKernels& widestKernels()
{
    static const RowEliminationKernels chosen = {
        widest(avx512RowUpdate(), avx2RowUpdate(), portableRowUpdate()),
        widest(avx512FourRowUpdate(), avx2FourRowUpdate(), portableFourRowUpdate()),
        widest(avx512FourRowPairUpdate(), avx2FourRowPairUpdate(), portableFourRowPairUpdate())};
    return chosen;
}

void subtractScaledRow(double* row, const double* quotient, double factor, int count)
{
    widestKernels().row(row, quotient, factor, count);
}

void subtractScaledRows(double* const rows[4], const double* quotient, const double factor[4],
                        int count)
{
    widestKernels().fourRows(rows, quotient, factor, count);
}

void subtractScaledRowsTwice(double* const rows[4], const double* first, const double* second,
                             double firstFactor[4], double secondFactor[4], int count)
{
    widestKernels().fourRowPairs(rows, first, second, firstFactor, secondFactor, count);
}

}  // namespace tavrix
