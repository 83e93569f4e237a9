// Numbers as text: the leading-number rule by which every numeric box is read,
// rounding with ties to even on the exact binary value, the general number form
// (15 significant digits) and the digit patterns of the result files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrix {

struct LeadingNumber {
    double value = 0;
    bool tooLarge = false;  // the digits denote a magnitude beyond a double
};

// Blanks, tabs and line feeds are ignored wherever they stand; then as many
// characters as form a number are taken: sign, digits, a point, an exponent
// (E or e), or the whole-number prefixes &H and &O. No leading number gives 0.
LeadingNumber readLeadingNumber(std::string_view text);

// The message that refuses an action whose input overflowed.
std::string numberTooLargeMessage(std::string_view text);

// v rounded to `decimals` places, an exact half going to the even neighbour.
double roundHalfEven(double v, int decimals);

// The general number form: up to 15 significant digits, no trailing zeros,
// exponent form outside 1E-04..1E+15; zero (also negative zero) is "0".
std::string generalForm(double v, char decimalSeparator = '.');

// The shortest text that reads back to the same double, whatever the locale
// ("-0" for negative zero): the numbers of CSV and coordinate files.
std::string shortestText(double v);

// Six significant digits as printf's "%.6g" writes them, negative zero as
// "0": the numbers of run names, captions and messages.
std::string sixFigures(double v);

// A bare number of the result files: a blank or the minus sign, the general
// form, one trailing blank.
std::string bareNumber(double v, char decimalSeparator = '.');

// Digit patterns of the result files.
enum class Pattern {
    Index,          // "###"
    FourDecimals,   // "#0.###0"
    FiveDecimals,   // "#0.####0"
    MatrixEntry,    // "##0.###0"
};
std::string formatPattern(double v, Pattern pattern, char decimalSeparator = '.');

// The same three texts written into a buffer of at least kNumberTextCapacity
// characters, without allocating; each returns the end of what it wrote.
// (The widest text is a pattern of the largest double: 309 digits, the
// separator, five decimals and the sign.)
inline constexpr std::size_t kNumberTextCapacity = 330;
char* writeGeneralForm(char* out, double v, char decimalSeparator = '.');
char* writeBareNumber(char* out, double v, char decimalSeparator = '.');
char* writePattern(char* out, double v, Pattern pattern, char decimalSeparator = '.');

// Decimal separator of the user's locale (LC_NUMERIC of the environment).
char localeDecimalSeparator();

}  // namespace tavrix
