#include "output/TypedNumber.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavrix {
namespace {

using Kind = TypedNumber::Kind;

TEST(TypedNumber, takesATextOnlyWhenAllOfItIsOneNumber)
{
    const struct {
        const char* text;
        double value;
    } numbers[] = {{"3e6", 3e6},       {" 250000\t", 250000}, {"-4", -4},   {"+2.5", 2.5},
                   {".5", 0.5},        {"5.", 5},             {"1E-3", 1e-3}, {"0", 0},
                   {"-0.25e+1", -2.5}, {"007", 7}};
    for (const auto& n : numbers) {
        const TypedNumber r = readTypedNumber(n.text);
        EXPECT_EQ(r.kind, Kind::Number) << n.text;
        EXPECT_EQ(r.value, n.value) << n.text;
    }
    // The main window's boxes would read these as 0, 1, 3e6, 1, 2 or 0.
    for (const char* text : {"abc", "1,5e6", "3e6x", "1 000", "e5", ".", "-", "+-1", "1e",
                             "1e+", "inf", "nan", "0x10", "&H10", "1.2.3", "--1"})
        EXPECT_EQ(readTypedNumber(text).kind, Kind::NotNumber) << text;
    for (const char* text : {"", "   ", "\t"}) EXPECT_EQ(readTypedNumber(text).kind, Kind::Empty);
}

TEST(TypedNumber, aMagnitudeBeyondADoubleIsTooLargeAndOneBelowItStaysApartFromZero)
{
    for (const char* text : {"1e999", "-1e400", "123456789e305"})
        EXPECT_EQ(readTypedNumber(text).kind, Kind::TooLarge) << text;
    // Below the least magnitude, but typed as no zero: a range check must
    // still see a number different from 0.
    const double least = std::numeric_limits<double>::denorm_min();
    for (const char* text : {"1e-400", "0.0001e-330"}) {
        const TypedNumber r = readTypedNumber(text);
        EXPECT_EQ(r.kind, Kind::Number) << text;
        EXPECT_EQ(r.value, least) << text;
    }
    EXPECT_EQ(readTypedNumber("-1e-999").value, -least);
    EXPECT_EQ(notANumberMessage("The Reynolds number", "1,5e6"),
              "The Reynolds number must be a number: \"1,5e6\"");
}

}  // namespace
}  // namespace tavrix
