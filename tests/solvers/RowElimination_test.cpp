#include "solvers/RowElimination.h"

#include <gtest/gtest.h>

#include <array>
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

// The portable variant, the plain reference and whichever vector variants the
// processor has.
template <class Update>
std::vector<Update> variants(Update portable, Update reference, Update avx2, Update avx512)
{
    std::vector<Update> all = {portable, reference};
    for (Update v : {avx2, avx512})
        if (v != nullptr) all.push_back(v);
    return all;
}

// A value drawn from [-scale, scale], or one of `special` once in `oneIn` draws.
double draw(std::mt19937_64& random, double scale, unsigned oneIn = 0)
{
    if (oneIn != 0 && random() % oneIn == 0) return special[random() % special.size()];
    return std::uniform_real_distribution<double>(-scale, scale)(random);
}

// Four rows of one matrix, `stride` entries apart.
std::array<double*, 4> fourRows(std::vector<double>& matrix, std::size_t stride)
{
    return {matrix.data(), matrix.data() + stride, matrix.data() + 2 * stride,
            matrix.data() + 3 * stride};
}

// Every row length the elimination meets (0 .. 201), at every offset from a
// 64-byte boundary, with special values among the entries and, for the short
// rows that are all tail, every extreme factor: each entry must be the rounded
// difference of the rounded product, and the entries beyond the row untouched.
TEST(RowElimination, eachEntryIsTheRoundedDifferenceOfTheRoundedProduct)
{
    std::mt19937_64 random(11);
    const std::vector<RowUpdate> updates =
        variants(portableRowUpdate(), subtractScaledRow, avx2RowUpdate(), avx512RowUpdate());
    constexpr int kBeyond = 9;  // more than one vector past the row's end
    for (int count = 0; count <= 201; ++count) {
        std::vector<double> factors = {count % 5 == 0 ? 1e300 : draw(random, 7)};
        if (count <= 40) factors = extremeFactors;
        for (int offset = 0; offset < 8; ++offset) {
            std::vector<double> quotient(static_cast<std::size_t>(count + offset + kBeyond));
            std::vector<double> row(quotient.size());
            for (std::size_t j = 0; j < row.size(); ++j) {
                quotient[j] = draw(random, 1, 7);
                row[j] = draw(random, 3, 7);
            }
            for (const double factor : factors) {
                std::vector<double> expected = row;
                for (int j = 0; j < count; ++j) {
                    volatile double product = quotient[offset + j] * factor;
                    expected[offset + j] = row[offset + j] - product;
                }
                for (RowUpdate update : updates) {
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
    const std::vector<FourRowUpdate> updates = variants(
        portableFourRowUpdate(), subtractScaledRows, avx2FourRowUpdate(), avx512FourRowUpdate());
    for (int count = 0; count <= 201; ++count) {
        for (int round = 0; round < (count <= 40 ? 4 : 1); ++round) {
            const unsigned awkward = round > 0 ? 5 : 0;  // one special value in five
            std::vector<double> quotient(static_cast<std::size_t>(count));
            for (double& q : quotient) q = draw(random, 1, awkward);
            const std::size_t stride = static_cast<std::size_t>(count) + 11;
            std::vector<double> matrix(4 * stride);
            for (double& a : matrix) a = draw(random, 5, awkward);
            double factor[4] = {draw(random, 1), 0.0, -1e200, draw(random, 1e-3)};
            if (awkward)
                for (double& f : factor) f = extremeFactors[random() % extremeFactors.size()];
            std::vector<double> expected = matrix;
            for (std::size_t r = 0; r < 4; ++r)
                portableRowUpdate()(expected.data() + r * stride, quotient.data(), factor[r],
                                    count);
            for (FourRowUpdate update : updates) {
                std::vector<double> got = matrix;
                update(fourRows(got, stride).data(), quotient.data(), factor, count);
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
    const std::vector<FourRowPairUpdate> updates =
        variants(portableFourRowPairUpdate(), subtractScaledRowsTwice, avx2FourRowPairUpdate(),
                 avx512FourRowPairUpdate());
    for (int count = 2; count <= 202; ++count) {
        for (int round = 0; round < 3; ++round) {
            const bool awkward = round > 0;
            const unsigned oneIn = awkward ? 6 : 0;
            // Quotient rows of pivots K and K + 1 from column K; the leading
            // entry of each is the pivot's own quotient, one for a finite pivot.
            std::vector<double> first(static_cast<std::size_t>(count));
            std::vector<double> second(static_cast<std::size_t>(count));  // from column K + 1
            for (double& q : first) q = draw(random, 2, oneIn);
            for (double& q : second) q = draw(random, 2, oneIn);
            if (round != 2) first[0] = second[0] = 1.0;
            const std::size_t stride = static_cast<std::size_t>(count) + 9;
            std::vector<double> matrix(4 * stride);
            for (double& a : matrix) a = draw(random, 9, oneIn);
            // Awkward factors for both passes: the leading two entries of each row.
            if (awkward) {
                matrix[0] = 1e300;
                matrix[stride] = -0.0;
                matrix[2 * stride + 1] = 4.9e-324;
                matrix[3 * stride + 1] = nan;
            }

            std::vector<double> expected = matrix;
            std::array<double*, 4> expectedRows = fourRows(expected, stride);
            double expectedFirst[4], expectedSecond[4];
            for (int r = 0; r < 4; ++r) expectedFirst[r] = expectedRows[r][0];
            portableFourRowUpdate()(expectedRows.data(), first.data(), expectedFirst, count);
            for (int r = 0; r < 4; ++r) expectedSecond[r] = *++expectedRows[r];
            portableFourRowUpdate()(expectedRows.data(), second.data(), expectedSecond, count - 1);

            for (FourRowPairUpdate update : updates) {
                std::vector<double> got = matrix;
                double gotFirst[4], gotSecond[4];
                update(fourRows(got, stride).data(), first.data(), second.data(), gotFirst,
                       gotSecond, count);
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
