#include "solvers/RowElimination.h"

namespace tavrix {

namespace {

void portable(double* __restrict row, const double* __restrict quotient, double factor,
              int count)
{
    for (int j = 0; j < count; ++j) row[j] = row[j] - quotient[j] * factor;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define TAVRIX_HAVE_AVX2_VARIANT 1
// AVX2 without FMA: four lanes of the same two roundings.
__attribute__((target("avx2"))) void avx2(double* __restrict row,
                                          const double* __restrict quotient, double factor,
                                          int count)
{
    for (int j = 0; j < count; ++j) row[j] = row[j] - quotient[j] * factor;
}
#endif

RowUpdate chooseRowUpdate()
{
    const RowUpdate wide = avx2RowUpdate();
    return wide != nullptr ? wide : portable;
}

}  // namespace

RowUpdate portableRowUpdate() { return portable; }

RowUpdate avx2RowUpdate()
{
#ifdef TAVRIX_HAVE_AVX2_VARIANT
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return avx2;
#endif
    return nullptr;
}

void subtractScaledRow(double* row, const double* quotient, double factor, int count)
{
    static const RowUpdate chosen = chooseRowUpdate();
    chosen(row, quotient, factor, count);
}

}  // namespace tavrix
