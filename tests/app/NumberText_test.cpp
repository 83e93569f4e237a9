#include "app/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tavrix {
namespace {

struct ReadCase {
    const char* text;
    double value;
};

void expectRead(std::initializer_list<ReadCase> cases)
{
    for (const ReadCase& k : cases) EXPECT_EQ(readLeadingNumber(k.text).value, k.value) << k.text;
}

TEST(LeadingNumber, TakesAsManyCharactersAsFormANumber)
{
    // The comma is no decimal separator; an exponent letter without digits is
    // not part of the number, and only E or e introduce an exponent.
    expectRead({{"0,5", 0}, {"5deg", 5}, {"5,5", 5}, {"1.5.3", 1.5}, {"-2.25", -2.25}, {"+7", 7},
                {".5", 0.5}, {"5.", 5}, {"1e3", 1000}, {"2.5E-1x", 0.25}, {"3e", 3}, {"3e+", 3},
                {"1d2", 1}});
    // Blanks, tabs and line feeds are ignored wherever they stand; a carriage
    // return is not: it ends the number.
    expectRead({{"1 2", 12}, {"  - 1\t2 . 5\n", -12.5}, {"1 e 2", 100}, {"1\r2", 1}});
    // Text without a leading number gives zero.
    expectRead({{"", 0}, {"abc", 0}, {".", 0}, {"-", 0}, {"+-5", 0}, {"e5", 0}});
    // Correctly rounded conversion of the digits.
    expectRead({{"0.1", 0.1}, {"0.30000000000000004", 0.1 + 0.2},
                {"2.2250738585072014e-308", std::numeric_limits<double>::min()}});
}

TEST(LeadingNumber, HexadecimalAndOctalWholeNumbersAreUnsigned)
{
    // 9 is no octal digit; a sign before & gives 0; 16^13 is exact.
    expectRead({{"&H1F", 31}, {"&hff", 255}, {"&HFFFF", 65535}, {"&O17", 15}, {"&o777", 511},
                {"&O19", 1}, {"&HG", 0}, {"&X12", 0}, {"-&H10", 0}, {"&H 1 0", 16},
                {"&H10000000000000", 4503599627370496.0}});
}

TEST(LeadingNumber, OverflowIsReportedUnderflowIsZero)
{
    for (const std::string& big : {std::string("1e400"), std::string("-1e400"),
                                   std::string(400, '9'), "&H" + std::string(300, 'F')})
        EXPECT_TRUE(readLeadingNumber(big).tooLarge) << big;
    for (const char* fits : {"1e308", "1e-400", "0e999999999999999", "0.000001e-999999"})
        EXPECT_FALSE(readLeadingNumber(fits).tooLarge) << fits;
    EXPECT_EQ(readLeadingNumber("1e-400").value, 0);
    EXPECT_EQ(numberTooLargeMessage("1e400"), "Number too large: 1e400");
}

TEST(RoundHalfEven, DecidesOnTheExactBinaryValue)
{
    struct { double v; int places; double rounded; } const cases[] = {
        {0.5, 0, 0}, {1.5, 0, 2}, {2.5, 0, 2}, {-2.5, 0, -2},
        {1.25, 1, 1.2},        // 1.25 is exact: a tie, to even
        {1.35, 1, 1.4},        // 1.35 is stored above the half
        {0.125, 2, 0.12},      // exact tie
        {2.675, 2, 2.67},      // stored below the half
        {0.43715, 4, 0.4371},  // stored just below
        {-0.026549, 4, -0.0265}};
    for (const auto& k : cases) EXPECT_EQ(roundHalfEven(k.v, k.places), k.rounded) << k.v;
    EXPECT_TRUE(std::signbit(roundHalfEven(-0.00001, 4)));
}

// Hand-written expectations for the forms printf does not decide alone: the
// separator, the sign of zero, the trimmed and kept places of the patterns.
TEST(GeneralForm, FifteenSignificantDigitsWithoutTrailingZerosAndPrintfsInfinities)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> cases[] = {
        {0.4371, "0.4371"}, {-0.0265, "-0.0265"}, {0, "0"}, {-0.0, "0"}, {2, "2"},
        {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"}, {123456789012345, "123456789012345"},
        {0.0001, "0.0001"}, {1.5e-7, "1.5E-07"}, {1e15, "1E+15"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"}, {inf, "INF"}, {-inf, "-INF"}};
    for (const auto& [v, text] : cases) EXPECT_EQ(generalForm(v), text) << text;
    EXPECT_EQ(generalForm(0.5, ','), "0,5");
    // The bare number: a blank or a minus, the value, a blank.
    EXPECT_EQ(bareNumber(-inf), "-INF ");
    EXPECT_EQ(bareNumber(-0.0), " 0 ");
    EXPECT_EQ(bareNumber(1.25, ','), " 1,25 ");
    EXPECT_EQ(formatPattern(inf, Pattern::FiveDecimals), "INF");
}

TEST(Patterns, KeepSignificantPlacesTheLastOneAndAMinusExactlyBelowZero)
{
    struct { double v; Pattern p; const char* text; } const cases[] = {
        {0.5, Pattern::FourDecimals, "0.50"}, {1.25, Pattern::FourDecimals, "1.250"},
        {0.502, Pattern::FourDecimals, "0.5020"}, {0.12346, Pattern::FourDecimals, "0.1235"},
        {0, Pattern::FourDecimals, "0.0"}, {-1.5, Pattern::FourDecimals, "-1.50"},
        {12.00004, Pattern::FourDecimals, "12.0"},
        {0.00005, Pattern::FourDecimals, "0.0001"},  // above the half
        {-0.00001, Pattern::FourDecimals, "-0.0"}, {-0.0, Pattern::FourDecimals, "0.0"},
        {-0.0, Pattern::MatrixEntry, "0.0"}, {0.5, Pattern::FiveDecimals, "0.50"},
        {0.123456, Pattern::FiveDecimals, "0.12346"}, {-0.1591549, Pattern::MatrixEntry, "-0.1592"},
        {123.5, Pattern::MatrixEntry, "123.50"}, {1, Pattern::Index, "1"},
        {12, Pattern::Index, "12"}, {123, Pattern::Index, "123"}};
    for (const auto& k : cases) EXPECT_EQ(formatPattern(k.v, k.p), k.text) << k.v;
    EXPECT_EQ(formatPattern(0.5, Pattern::FourDecimals, ','), "0,50");
}

// The patterns and the general form against C's printf, which rounds the exact
// binary value with ties to even, on seeded random doubles of every magnitude
// and on the values where rounding is decided: exact binary halves at each
// number of places, carries across the separator, zeros of both signs, the
// smallest and largest doubles, infinities and NaN.
namespace printf_reference {

std::string printed(const char* format, int precision, double v)
{
    char buffer[400];
    const int n = std::snprintf(buffer, sizeof buffer, format, precision, v);
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string general(double v, char separator)
{
    if (v == 0) return "0";
    std::string s = printed("%.*G", 15, v);
    std::replace(s.begin(), s.end(), '.', separator);
    return s;
}

std::string bare(double v, char separator)
{
    return std::string(1, v < 0 ? '-' : ' ') + general(std::fabs(v), separator) + ' ';
}

std::string pattern(double v, Pattern p, char separator)
{
    const std::string sign = v < 0 ? "-" : "";
    const double magnitude = std::fabs(v);
    if (p == Pattern::Index) {
        const std::string digits = printed("%.*f", 0, magnitude);
        return digits == "0" ? "" : sign + digits;
    }
    if (!std::isfinite(magnitude)) return std::string(sign).append(general(magnitude, '.'));
    const int places = p == Pattern::FiveDecimals ? 5 : 4;
    const std::string fixed = printed("%.*f", places, magnitude);
    const std::size_t point = fixed.find('.');
    std::string fraction = fixed.substr(point + 1);
    const char last = fraction.back();
    fraction.pop_back();
    while (last == '0' && !fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string out(sign);
    out.append(fixed, 0, point).append(1, separator).append(fraction).append(1, last);
    return out;
}

}  // namespace printf_reference

void expectAsPrintf(double v)
{
    using namespace printf_reference;
    for (char separator : {'.', ','}) {
        ASSERT_EQ(generalForm(v, separator), general(v, separator)) << v;
        ASSERT_EQ(bareNumber(v, separator), bare(v, separator)) << v;
        for (Pattern p : {Pattern::Index, Pattern::FourDecimals, Pattern::FiveDecimals,
                          Pattern::MatrixEntry})
            ASSERT_EQ(formatPattern(v, p, separator), pattern(v, p, separator))
                << v << " pattern " << static_cast<int>(p);
    }
}

TEST(NumberTextAgainstPrintf, DecidingValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, -2.5, 0.00005, 0.000049999,
                                  0.99995, 9.99995, 99.999951, -0.00001, 1e-5, 5e-6, 1e-4,
                                  9.99999999999999e14, 1e15, 1e16, 1e-300, 4.9e-324, -4.9e-324,
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  -std::numeric_limits<double>::max(), inf, -inf,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::quiet_NaN()};
    // Exact binary halves between neighbours of 0, 4 and 5 places: k/2, k/32, k/64.
    for (int k = -2000; k <= 2000; ++k)
        values.insert(values.end(), {k / 2.0, k / 32.0, k / 64.0, std::nextafter(k / 32.0, inf),
                                     std::nextafter(k / 64.0, -inf)});
    for (double v : values) expectAsPrintf(v);
}

TEST(NumberTextAgainstPrintf, SeededRandomDoubles)
{
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kCount = 1 << 17;
#else
    constexpr int kCount = 1 << 21;
#endif
    std::mt19937_64 random(4121);
    std::uniform_real_distribution<double> ordinary(-20, 20);
    std::uniform_int_distribution<int> places(0, 7);
    for (int i = 0; i < kCount; ++i) {
        if (i % 16 == 0)  // any bit pattern: every magnitude, denormals, NaNs (slow to print whole)
            expectAsPrintf(std::bit_cast<double>(static_cast<std::uint64_t>(random())));
        else if (i % 2 == 0)  // the values of the tables: coordinates, strengths, pressures
            expectAsPrintf(ordinary(random));
        else  // short decimals, whose nearest doubles sit beside a half
            expectAsPrintf(std::round(ordinary(random) * 1e5) / std::pow(10.0, places(random)));
    }
}

}  // namespace
}  // namespace tavrix
