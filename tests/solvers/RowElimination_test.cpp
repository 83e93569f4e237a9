#include "solvers/RowElimination.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace tavrix {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The same bits, or NaN for NaN (which NaN's payload survives a product of two
// is not a property of the elimination).
bool same(double a, double b) { return sameBits(a, b) || (std::isnan(a) && std::isnan(b)); }

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

// Zeros of both signs, denormals, the edge of the normal range, overflow,
// infinities, NaN, and values whose roundings differ when a product and a
// difference are fused.
const std::vector<double> special = {0.0,  -0.0, 1e-310, -4.9e-324, 2.2e-308, 1e308, -1e308,
                                     inf,  -inf, nan,    0.5,       1.0 / 3,  1.0};

// Factors a pass can meet: the same kinds, and ordinary ones.
const std::vector<double> extremeFactors = {1e300, -1e300, inf,   -inf, nan, 0.0,
                                            -0.0,  1e-310, 1e-300, 0.7, -3.0};

std::vector<RowUpdate> rowUpdates()
{
    std::vector<RowUpdate> variants = {portableRowUpdate(), subtractScaledRow};
    for (RowUpdate v : {avx2RowUpdate(), avx512RowUpdate()})
        if (v != nullptr) variants.push_back(v);
    return variants;
}

// Every row length the elimination meets (0 .. 201), at every offset from a
// 64-byte boundary, with special values among the entries and, for the short
// rows that are all tail, every extreme factor: each entry must be the rounded
// difference of the rounded product, and the entries beyond the row untouched.
TEST(RowElimination, eachEntryIsTheRoundedDifferenceOfTheRoundedProduct)
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> value(-1, 1);
    const std::vector<RowUpdate> variants = rowUpdates();
    constexpr int kBeyond = 9;  // more than one vector past the row's end
    for (int count = 0; count <= 201; ++count) {
        std::vector<double> factors = {count % 5 == 0 ? 1e300 : value(random) * 7};
        if (count <= 40) factors = extremeFactors;
        for (int offset = 0; offset < 8; ++offset) {
            std::vector<double> quotient(static_cast<std::size_t>(count + offset + kBeyond));
            std::vector<double> row(quotient.size());
            for (std::size_t j = 0; j < row.size(); ++j) {
                quotient[j] = value(random);
                row[j] = value(random) * 3;
                if (random() % 7 == 0) quotient[j] = special[random() % special.size()];
                if (random() % 7 == 0) row[j] = special[random() % special.size()];
            }
            for (const double factor : factors) {
                std::vector<double> expected = row;
                for (int j = 0; j < count; ++j) {
                    volatile double product = quotient[offset + j] * factor;
                    expected[offset + j] = row[offset + j] - product;
                }
                for (RowUpdate update : variants) {
                    std::vector<double> got = row;
                    update(got.data() + offset, quotient.data() + offset, factor, count);
                    for (std::size_t j = 0; j < got.size(); ++j)
                        ASSERT_TRUE(same(got[j], expected[j]))
                            << "count " << count << " offset " << offset << " factor " << factor
                            << " entry " << j;
                }
            }
        }
    }
}


// Four rows of one matrix, side by side with a gap of more than one vector, as
// the elimination passes them; plain values with ordinary and extreme factors,
// then special values among the entries for the short lengths.
TEST(RowElimination, fourRowsAtOnceGiveTheBitsOfOneRowAtATime)
{
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> value(-1, 1);
    std::vector<FourRowUpdate> variants = {portableFourRowUpdate(), subtractScaledRows};
    for (FourRowUpdate v : {avx2FourRowUpdate(), avx512FourRowUpdate()})
        if (v != nullptr) variants.push_back(v);
    for (int count = 0; count <= 201; ++count) {
        for (int round = 0; round < (count <= 40 ? 4 : 1); ++round) {
            const bool awkward = round > 0;
            std::vector<double> quotient(static_cast<std::size_t>(count));
            for (double& q : quotient) {
                q = value(random);
                if (awkward && random() % 5 == 0) q = special[random() % special.size()];
            }
            const std::size_t stride = static_cast<std::size_t>(count) + 11;
            std::vector<double> matrix(4 * stride);
            for (double& a : matrix) {
                a = value(random) * 5;
                if (awkward && random() % 5 == 0) a = special[random() % special.size()];
            }
            double factor[4] = {value(random), 0.0, -1e200, value(random) * 1e-3};
            if (awkward)
                for (double& f : factor) f = extremeFactors[random() % extremeFactors.size()];
            std::vector<double> expected = matrix;
            for (std::size_t r = 0; r < 4; ++r)
                portableRowUpdate()(expected.data() + r * stride, quotient.data(), factor[r],
                                    count);
            for (FourRowUpdate update : variants) {
                std::vector<double> got = matrix;
                double* const rows[4] = {got.data(), got.data() + stride,
                                         got.data() + 2 * stride, got.data() + 3 * stride};
                update(rows, quotient.data(), factor, count);
                for (std::size_t j = 0; j < got.size(); ++j)
                    ASSERT_TRUE(same(got[j], expected[j]))
                        << "count " << count << " round " << round << " entry " << j;
            }
        }
    }
}

// Two pivot rows in one sweep against two single sweeps, for every length the
// elimination meets, with rows and quotients that carry zeros of both signs,
// denormals, overflow, infinities and NaN (a NaN pivot quotient included):
// every entry and both factor sets must come out with the same bits.
TEST(RowElimination, twoPivotsInOneSweepGiveTheBitsOfTwoSweeps)
{
    std::mt19937_64 random(13);
    std::uniform_real_distribution<double> value(-1, 1);
    std::vector<FourRowPairUpdate> variants = {portableFourRowPairUpdate(),
                                               subtractScaledRowsTwice};
    for (FourRowPairUpdate v : {avx2FourRowPairUpdate(), avx512FourRowPairUpdate()})
        if (v != nullptr) variants.push_back(v);
    for (int count = 2; count <= 202; ++count) {
        for (int round = 0; round < 3; ++round) {
            const bool awkward = round > 0;
            // Quotient rows of pivots K and K + 1 from column K; the leading
            // entry of each is the pivot's own quotient, one for a finite pivot.
            std::vector<double> first(static_cast<std::size_t>(count));
            std::vector<double> second(static_cast<std::size_t>(count));  // from column K + 1
            for (std::size_t j = 0; j < first.size(); ++j) {
                first[j] = value(random) * 2;
                second[j] = value(random) * 2;
                if (awkward && random() % 6 == 0) first[j] = special[random() % special.size()];
                if (awkward && random() % 6 == 0) second[j] = special[random() % special.size()];
            }
            if (round != 2) first[0] = second[0] = 1.0;
            const std::size_t stride = static_cast<std::size_t>(count) + 9;
            std::vector<double> matrix(4 * stride);
            for (double& a : matrix) {
                a = value(random) * 9;
                if (awkward && random() % 6 == 0) a = special[random() % special.size()];
            }
            // Awkward factors for both passes: the leading two entries of each row.
            if (awkward) {
                matrix[0] = 1e300;
                matrix[stride] = -0.0;
                matrix[2 * stride + 1] = 4.9e-324;
                matrix[3 * stride + 1] = nan;
            }

            std::vector<double> expected = matrix;
            double* const expectedRows[4] = {expected.data(), expected.data() + stride,
                                             expected.data() + 2 * stride,
                                             expected.data() + 3 * stride};
            double expectedFirst[4], expectedSecond[4];
            for (int r = 0; r < 4; ++r) expectedFirst[r] = expectedRows[r][0];
            portableFourRowUpdate()(expectedRows, first.data(), expectedFirst, count);
            double* const nextRows[4] = {expectedRows[0] + 1, expectedRows[1] + 1,
                                         expectedRows[2] + 1, expectedRows[3] + 1};
            for (int r = 0; r < 4; ++r) expectedSecond[r] = nextRows[r][0];
            portableFourRowUpdate()(nextRows, second.data(), expectedSecond, count - 1);

            for (FourRowPairUpdate update : variants) {
                std::vector<double> got = matrix;
                double* const rows[4] = {got.data(), got.data() + stride,
                                         got.data() + 2 * stride, got.data() + 3 * stride};
                double gotFirst[4], gotSecond[4];
                update(rows, first.data(), second.data(), gotFirst, gotSecond, count);
                for (std::size_t j = 0; j < got.size(); ++j)
                    ASSERT_TRUE(same(got[j], expected[j]))
                        << "count " << count << " round " << round << " entry " << j;
                for (int r = 0; r < 4; ++r) {
                    ASSERT_TRUE(same(gotFirst[r], expectedFirst[r])) << count << " row " << r;
                    ASSERT_TRUE(same(gotSecond[r], expectedSecond[r])) << count << " row " << r;
                }
            }
        }
    }
}

// The elimination runs the widest variant the processor has.
TEST(RowElimination, theWidestAvailableVariantIsChosen)
{
    const RowEliminationKernels& chosen = widestKernels();
    const RowEliminationKernels widest = avx512RowUpdate() != nullptr ? avx512Kernels()
                                         : avx2RowUpdate() != nullptr ? avx2Kernels()
                                                                      : portableKernels();
    EXPECT_EQ(chosen.row, widest.row);
    EXPECT_EQ(chosen.fourRows, widest.fourRows);
    EXPECT_EQ(chosen.fourRowPairs, widest.fourRowPairs);
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    EXPECT_EQ(avx512RowUpdate() != nullptr, __builtin_cpu_supports("avx512f") != 0);
#endif
}

}  // namespace
}  // namespace tavrix
