#include "app/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tavrix {
namespace {

double read(const char* text) { return readLeadingNumber(text).value; }

TEST(LeadingNumber, TakesAsManyCharactersAsFormANumber)
{
    EXPECT_EQ(read("0,5"), 0);  // the comma is no decimal separator
    EXPECT_EQ(read("5deg"), 5);
    EXPECT_EQ(read("5,5"), 5);
    EXPECT_EQ(read("1.5.3"), 1.5);
    EXPECT_EQ(read("-2.25"), -2.25);
    EXPECT_EQ(read("+7"), 7);
    EXPECT_EQ(read(".5"), 0.5);
    EXPECT_EQ(read("5."), 5);
    EXPECT_EQ(read("1e3"), 1000);
    EXPECT_EQ(read("2.5E-1x"), 0.25);
    EXPECT_EQ(read("3e"), 3);  // an exponent letter without digits is not part of it
    EXPECT_EQ(read("3e+"), 3);
    EXPECT_EQ(read("1d2"), 1);  // only E or e introduce an exponent
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsWhereverTheyStand)
{
    EXPECT_EQ(read("1 2"), 12);
    EXPECT_EQ(read("  - 1\t2 . 5\n"), -12.5);
    EXPECT_EQ(read("1 e 2"), 100);
    // A carriage return is not ignored: it ends the number.
    EXPECT_EQ(read("1\r2"), 1);
}

TEST(LeadingNumber, TextWithoutLeadingNumberGivesZero)
{
    EXPECT_EQ(read(""), 0);
    EXPECT_EQ(read("abc"), 0);
    EXPECT_EQ(read("."), 0);
    EXPECT_EQ(read("-"), 0);
    EXPECT_EQ(read("+-5"), 0);
    EXPECT_EQ(read("e5"), 0);
}

TEST(LeadingNumber, HexadecimalAndOctalWholeNumbersAreUnsigned)
{
    EXPECT_EQ(read("&H1F"), 31);
    EXPECT_EQ(read("&hff"), 255);
    EXPECT_EQ(read("&HFFFF"), 65535);
    EXPECT_EQ(read("&O17"), 15);
    EXPECT_EQ(read("&o777"), 511);
    EXPECT_EQ(read("&O19"), 1);  // 9 is no octal digit
    EXPECT_EQ(read("&HG"), 0);
    EXPECT_EQ(read("&X12"), 0);
    EXPECT_EQ(read("-&H10"), 0);  // a sign before & gives 0
    EXPECT_EQ(read("&H 1 0"), 16);
    EXPECT_EQ(read("&H10000000000000"), 4503599627370496.0);  // 16^13, exact
}

TEST(LeadingNumber, OverflowIsReportedUnderflowIsZero)
{
    EXPECT_TRUE(readLeadingNumber("1e400").tooLarge);
    EXPECT_TRUE(readLeadingNumber("-1e400").tooLarge);
    EXPECT_TRUE(readLeadingNumber(std::string(400, '9')).tooLarge);
    EXPECT_TRUE(readLeadingNumber("&H" + std::string(300, 'F')).tooLarge);
    EXPECT_FALSE(readLeadingNumber("1e308").tooLarge);
    const LeadingNumber tiny = readLeadingNumber("1e-400");
    EXPECT_FALSE(tiny.tooLarge);
    EXPECT_EQ(tiny.value, 0);
    EXPECT_FALSE(readLeadingNumber("0e999999999999999").tooLarge);
    EXPECT_FALSE(readLeadingNumber("0.000001e-999999").tooLarge);
    EXPECT_EQ(numberTooLargeMessage("1e400"), "Number too large: 1e400");
}

TEST(LeadingNumber, DigitsAreConvertedCorrectlyRounded)
{
    EXPECT_EQ(read("0.1"), 0.1);
    EXPECT_EQ(read("0.30000000000000004"), 0.1 + 0.2);
    EXPECT_EQ(read("2.2250738585072014e-308"), std::numeric_limits<double>::min());
}

TEST(RoundHalfEven, DecidesOnTheExactBinaryValue)
{
    EXPECT_EQ(roundHalfEven(0.5, 0), 0);
    EXPECT_EQ(roundHalfEven(1.5, 0), 2);
    EXPECT_EQ(roundHalfEven(2.5, 0), 2);
    EXPECT_EQ(roundHalfEven(-2.5, 0), -2);
    EXPECT_EQ(roundHalfEven(1.25, 1), 1.2);    // 1.25 is exact: a tie, to even
    EXPECT_EQ(roundHalfEven(1.35, 1), 1.4);    // 1.35 is stored above the half
    EXPECT_EQ(roundHalfEven(0.125, 2), 0.12);  // exact tie
    EXPECT_EQ(roundHalfEven(2.675, 2), 2.67);  // stored below the half
    EXPECT_EQ(roundHalfEven(0.43715, 4), 0.4371);  // stored just below
    EXPECT_EQ(roundHalfEven(-0.026549, 4), -0.0265);
    EXPECT_TRUE(std::signbit(roundHalfEven(-0.00001, 4)));
}

TEST(GeneralForm, NumbersThatAreNotFiniteAreWrittenAsPrintfWritesThem)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(generalForm(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(generalForm(inf), "INF");
    EXPECT_EQ(generalForm(-inf), "-INF");
    EXPECT_EQ(bareNumber(-inf), "-INF ");
    EXPECT_EQ(formatPattern(inf, Pattern::FiveDecimals), "INF");
}

TEST(GeneralForm, FifteenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(generalForm(0.4371), "0.4371");
    EXPECT_EQ(generalForm(-0.0265), "-0.0265");
    EXPECT_EQ(generalForm(0), "0");
    EXPECT_EQ(generalForm(-0.0), "0");
    EXPECT_EQ(generalForm(2), "2");
    EXPECT_EQ(generalForm(0.1 + 0.2), "0.3");
    EXPECT_EQ(generalForm(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(generalForm(123456789012345), "123456789012345");
    EXPECT_EQ(generalForm(0.0001), "0.0001");
    EXPECT_EQ(generalForm(1.5e-7), "1.5E-07");
    EXPECT_EQ(generalForm(1e15), "1E+15");
    EXPECT_EQ(generalForm(0.5, ','), "0,5");
}

TEST(BareNumber, SignBlankOrMinusThenValueThenBlank)
{
    EXPECT_EQ(bareNumber(5), " 5 ");
    EXPECT_EQ(bareNumber(-0.0265), "-0.0265 ");
    EXPECT_EQ(bareNumber(-0.0), " 0 ");
    EXPECT_EQ(bareNumber(1.25, ','), " 1,25 ");
}

TEST(Patterns, FourDecimalPatternKeepsSignificantPlacesAndTheLastOne)
{
    EXPECT_EQ(formatPattern(0.5, Pattern::FourDecimals), "0.50");
    EXPECT_EQ(formatPattern(1.25, Pattern::FourDecimals), "1.250");
    EXPECT_EQ(formatPattern(0.502, Pattern::FourDecimals), "0.5020");
    EXPECT_EQ(formatPattern(0.12346, Pattern::FourDecimals), "0.1235");
    EXPECT_EQ(formatPattern(0, Pattern::FourDecimals), "0.0");
    EXPECT_EQ(formatPattern(-1.5, Pattern::FourDecimals), "-1.50");
    EXPECT_EQ(formatPattern(12.00004, Pattern::FourDecimals), "12.0");
    EXPECT_EQ(formatPattern(0.00005, Pattern::FourDecimals), "0.0001");  // above the half
    EXPECT_EQ(formatPattern(0.5, Pattern::FourDecimals, ','), "0,50");
}

TEST(Patterns, MinusSignExactlyWhenTheValueIsBelowZero)
{
    EXPECT_EQ(formatPattern(-0.00001, Pattern::FourDecimals), "-0.0");
    EXPECT_EQ(formatPattern(-0.0, Pattern::FourDecimals), "0.0");
    EXPECT_EQ(formatPattern(-0.0, Pattern::MatrixEntry), "0.0");
}

TEST(Patterns, FiveDecimalAndMatrixAndIndexPatterns)
{
    EXPECT_EQ(formatPattern(0.5, Pattern::FiveDecimals), "0.50");
    EXPECT_EQ(formatPattern(0.123456, Pattern::FiveDecimals), "0.12346");
    EXPECT_EQ(formatPattern(-0.1591549, Pattern::MatrixEntry), "-0.1592");
    EXPECT_EQ(formatPattern(123.5, Pattern::MatrixEntry), "123.50");
    EXPECT_EQ(formatPattern(1, Pattern::Index), "1");
    EXPECT_EQ(formatPattern(12, Pattern::Index), "12");
    EXPECT_EQ(formatPattern(123, Pattern::Index), "123");
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

std::string withSeparator(std::string s, char separator)
{
    for (char& c : s) {
        if (c == '.') c = separator;
    }
    return s;
}

std::string general(double v, char separator)
{
    if (v == 0) return "0";
    if (!std::isfinite(v)) return printed("%.*G", 15, v);
    return withSeparator(printed("%.*G", 15, v), separator);
}

std::string bare(double v, char separator)
{
    std::string out(1, v < 0 ? '-' : ' ');
    out += general(std::fabs(v), separator);
    out += ' ';
    return out;
}

std::string pattern(double v, Pattern p, char separator)
{
    const std::string sign = v < 0 ? "-" : "";
    const double magnitude = std::fabs(v);
    if (p == Pattern::Index) {
        const std::string digits = printed("%.*f", 0, magnitude);
        if (digits == "0") return "";
        return std::string(sign).append(digits);
    }
    if (!std::isfinite(magnitude)) return std::string(sign).append(general(magnitude, '.'));
    const int places = p == Pattern::FiveDecimals ? 5 : 4;
    const std::string fixed = printed("%.*f", places, magnitude);
    const std::size_t point = fixed.find('.');
    std::string fraction = fixed.substr(point + 1);
    const char last = fraction.back();
    fraction.pop_back();
    if (last == '0') {
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    }
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
    for (int k = -2000; k <= 2000; ++k) {
        values.push_back(k / 2.0);
        values.push_back(k / 32.0);
        values.push_back(k / 64.0);
        values.push_back(std::nextafter(k / 32.0, inf));
        values.push_back(std::nextafter(k / 64.0, -inf));
    }
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
        double v = 0;
        switch (i % 16 == 0 ? 0 : 1 + i % 2) {
        case 0: {  // any bit pattern: every magnitude, denormals, NaNs (slow to print whole)
            const std::uint64_t bits = random();
            std::memcpy(&v, &bits, sizeof v);
            break;
        }
        case 1:  // the values of the tables: coordinates, strengths, pressures
            v = ordinary(random);
            break;
        default:  // short decimals, whose nearest doubles sit beside a half
            v = std::round(ordinary(random) * 1e5) / std::pow(10.0, places(random));
            break;
        }
        expectAsPrintf(v);
    }
}

}  // namespace
}  // namespace tavrix
