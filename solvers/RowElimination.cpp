#include "solvers/RowElimination.h"

namespace tavrix {

namespace {

#define TAVRIX_ROW_UPDATE_BODY                                                      \
    for (int j = 0; j < count; ++j) row[j] = row[j] - quotient[j] * factor

// Each quotient is loaded once for four rows.
#define TAVRIX_FOUR_ROW_UPDATE_BODY                                                 \
    double* __restrict r0 = rows[0];                                                \
    double* __restrict r1 = rows[1];                                                \
    double* __restrict r2 = rows[2];                                                \
    double* __restrict r3 = rows[3];                                                \
    const double f0 = factor[0], f1 = factor[1], f2 = factor[2], f3 = factor[3];   \
    for (int j = 0; j < count; ++j) {                                               \
        const double q = quotient[j];                                               \
        r0[j] = r0[j] - q * f0;                                                     \
        r1[j] = r1[j] - q * f1;                                                     \
        r2[j] = r2[j] - q * f2;                                                     \
        r3[j] = r3[j] - q * f3;                                                     \
    }

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

bool haveAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

}  // namespace

RowUpdate portableRowUpdate() { return portable; }
FourRowUpdate portableFourRowUpdate() { return portableFour; }

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

}  // namespace tavrix
