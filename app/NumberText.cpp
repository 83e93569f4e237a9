#include "app/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <langinfo.h>
#include <locale.h>
#include <string>
#include <system_error>

namespace tavrix {

namespace {

bool isIgnoredBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whole number from hexadecimal digits (no prefix), correctly rounded.
LeadingNumber fromHexDigits(const std::string& digits)
{
    if (digits.empty()) return {};
    double value = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                     std::chars_format::hex);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) return {0, true};
    return {value, false};
}

// Octal digits regrouped as hexadecimal digits of the same bit pattern.
std::string octalToHex(const std::string& octal)
{
    std::string bits;
    for (char c : octal) {
        const int d = c - '0';
        bits += (d & 4) ? '1' : '0';
        bits += (d & 2) ? '1' : '0';
        bits += (d & 1) ? '1' : '0';
    }
    while (bits.size() % 4 != 0) bits.insert(bits.begin(), '0');
    std::string hex;
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        const int v = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                      (bits[i + 3] - '0');
        hex += "0123456789abcdef"[v];
    }
    return hex;
}

LeadingNumber readDecimal(const std::string& s)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string mantissa;  // digits with at most one point, as from_chars reads them
    std::size_t intDigits = 0;
    bool anyDigit = false;
    while (i < s.size() && isDigit(s[i])) {
        mantissa += s[i++];
        ++intDigits;
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        mantissa += s[i++];
        while (i < s.size() && isDigit(s[i])) {
            mantissa += s[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit) return {};

    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) {
                if (exponent < 1000000000LL) exponent = exponent * 10 + (s[j] - '0');
                ++j;
            }
            if (expNegative) exponent = -exponent;
        }
    }

    const std::string literal = mantissa + "e" + std::to_string(exponent);
    double value = 0;
    auto [ptr, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), value,
                                     std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Overflow or underflow: the position of the first significant digit decides.
        long long firstDigit = static_cast<long long>(intDigits);  // power of ten + 1
        bool significant = false;
        for (char c : mantissa) {
            if (c == '.') continue;
            if (c != '0') {
                significant = true;
                break;
            }
            --firstDigit;
        }
        if (!significant || firstDigit + exponent <= 0) return {negative ? -0.0 : 0.0, false};
        return {0, true};
    }
    return {negative ? -value : value, false};
}

}  // namespace

LeadingNumber readLeadingNumber(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!isIgnoredBlank(c)) s += c;
    }
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = s[1];
        std::string digits;
        if (kind == 'h' || kind == 'H') {
            for (std::size_t i = 2; i < s.size() && hexDigit(s[i]) >= 0; ++i) digits += s[i];
            return fromHexDigits(digits);
        }
        if (kind == 'o' || kind == 'O') {
            for (std::size_t i = 2; i < s.size() && s[i] >= '0' && s[i] <= '7'; ++i)
                digits += s[i];
            return fromHexDigits(digits.empty() ? digits : octalToHex(digits));
        }
        return {};
    }
    return readDecimal(s);
}

std::string numberTooLargeMessage(std::string_view text)
{
    return "Number too large: " + std::string(text);
}

double roundHalfEven(double v, int decimals)
{
    if (!std::isfinite(v)) return v;
    char buffer[512];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed,
                             decimals);
    if (res.ec != std::errc()) return v;
    double rounded = v;
    std::from_chars(buffer, res.ptr, rounded, std::chars_format::fixed);
    return rounded;
}

std::string generalForm(double v, char decimalSeparator)
{
    if (v == 0) return "0";
    char buffer[64];
    if (!std::isfinite(v)) {
        // As the general number form's own rule writes them: NAN, INF, -INF.
        std::snprintf(buffer, sizeof buffer, "%.15G", v);
        return buffer;
    }
    auto res = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
    std::string out(buffer, res.ptr);
    for (char& c : out) {
        if (c == 'e') c = 'E';
        else if (c == '.') c = decimalSeparator;
    }
    return out;
}

std::string bareNumber(double v, char decimalSeparator)
{
    std::string out(1, v < 0 ? '-' : ' ');
    out += generalForm(std::fabs(v), decimalSeparator);
    out += ' ';
    return out;
}

std::string formatPattern(double v, Pattern pattern, char decimalSeparator)
{
    const bool negative = v < 0;
    const double magnitude = std::fabs(v);
    if (pattern == Pattern::Index) {
        char buffer[512];
        auto res = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                 std::chars_format::fixed, 0);
        std::string digits(buffer, res.ptr);
        if (digits == "0") digits.clear();  // "#" writes only significant digits
        if (negative && !digits.empty()) digits.insert(digits.begin(), '-');
        return digits;
    }
    const int decimals = pattern == Pattern::FiveDecimals ? 5 : 4;
    std::string out = negative ? std::string(1, '-') : std::string();
    if (!std::isfinite(magnitude)) return out + generalForm(magnitude);
    char buffer[512];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed,
                             decimals);
    const std::string fixed(buffer, res.ptr);
    const std::size_t point = fixed.find('.');
    const std::string whole = fixed.substr(0, point);
    const std::string fraction = fixed.substr(point + 1);
    // The optional places keep a digit only where it or a digit to its right is
    // not zero; the last place always writes its digit.
    std::string optional = fraction.substr(0, fraction.size() - 1);
    if (fraction.back() == '0') {
        while (!optional.empty() && optional.back() == '0') optional.pop_back();
    }
    out += whole;
    out += decimalSeparator;
    out += optional;
    out += fraction.back();
    return out;
}

char localeDecimalSeparator()
{
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    char sep = '.';
    if (radix != nullptr && radix[0] != '\0' && radix[1] == '\0' &&
        static_cast<unsigned char>(radix[0]) < 0x80)
        sep = radix[0];
    freelocale(loc);
    return sep;
}

}  // namespace tavrix
