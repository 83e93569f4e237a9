#include "solvers/RowElimination.h"

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
#define TAVRIX_FOUR_ROW_PAIR_UPDATE_BODY                                            \
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
    r3[1] = b3 - second[0] * b3;                                                    \
    for (int j = 2; j < count; ++j) {                                               \
        const double p = first[j];                                                  \
        const double q = second[j - 1];                                             \
        r0[j] = (r0[j] - p * a0) - q * b0;                                          \
        r1[j] = (r1[j] - p * a1) - q * b1;                                          \
        r2[j] = (r2[j] - p * a2) - q * b2;                                          \
        r3[j] = (r3[j] - p * a3) - q * b3;                                          \
    }                                                                               \
    firstFactor[0] = a0;                                                            \
    firstFactor[1] = a1;                                                            \
    firstFactor[2] = a2;                                                            \
    firstFactor[3] = a3;                                                            \
    secondFactor[0] = b0;                                                           \
    secondFactor[1] = b1;                                                           \
    secondFactor[2] = b2;                                                           \
    secondFactor[3] = b3;

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
#define TAVRIX_HAVE_AVX2_VARIANT 1
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
#endif

}  // namespace

RowUpdate portableRowUpdate() { return portable; }
FourRowUpdate portableFourRowUpdate() { return portableFour; }
FourRowPairUpdate portableFourRowPairUpdate() { return portableFourPair; }

RowUpdate avx2RowUpdate()
{
#ifdef TAVRIX_HAVE_AVX2_VARIANT
    if (haveAvx2()) return avx2;
#endif
    return nullptr;
}

FourRowUpdate avx2FourRowUpdate()
{
#ifdef TAVRIX_HAVE_AVX2_VARIANT
    if (haveAvx2()) return avx2Four;
#endif
    return nullptr;
}

FourRowPairUpdate avx2FourRowPairUpdate()
{
#ifdef TAVRIX_HAVE_AVX2_VARIANT
    if (haveAvx2()) return avx2FourPair;
#endif
    return nullptr;
}

void subtractScaledRow(double* row, const double* quotient, double factor, int count)
{
    static const RowUpdate chosen =
        avx2RowUpdate() != nullptr ? avx2RowUpdate() : portableRowUpdate();
    chosen(row, quotient, factor, count);
}

void subtractScaledRows(double* const rows[4], const double* quotient, const double factor[4],
                        int count)
{
    static const FourRowUpdate chosen =
        avx2FourRowUpdate() != nullptr ? avx2FourRowUpdate() : portableFourRowUpdate();
    chosen(rows, quotient, factor, count);
}

void subtractScaledRowsTwice(double* const rows[4], const double* first, const double* second,
                             double firstFactor[4], double secondFactor[4], int count)
{
    static const FourRowPairUpdate chosen = avx2FourRowPairUpdate() != nullptr
                                                ? avx2FourRowPairUpdate()
                                                : portableFourRowPairUpdate();
    chosen(rows, first, second, firstFactor, secondFactor, count);
}

}  // namespace tavrix
