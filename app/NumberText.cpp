#include "app/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

namespace {

char* copyText(char* out, std::string_view text)
{
    for (char c : text) *out++ = c;
    return out;
}

constexpr std::uint64_t kPowerOfTen[] = {1, 10, 100, 1000, 10000, 100000};

// magnitude * 10^decimals rounded to a whole number, an exact half to the even
// one, decided on the exact binary value m * 2^e: m * 10^decimals is a whole
// number below 2^70, so the shift by -e is exact in 128 bits. False for
// magnitudes whose result would not fit (and for infinities and NaN).
bool scaledAndRounded(double magnitude, int decimals, std::uint64_t& result)
{
    if (!(magnitude < 1e13)) return false;
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);  // the sign bit is clear
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t m = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int e = biased == 0 ? -1074 : biased - 1075;
    const unsigned __int128 scaled =
        static_cast<unsigned __int128>(m) * kPowerOfTen[decimals];
    if (e >= 0) {
        result = static_cast<std::uint64_t>(scaled << e);
        return true;
    }
    const int shift = -e;
    if (shift >= 100) {  // far below half a unit of the last place
        result = 0;
        return true;
    }
    std::uint64_t whole = static_cast<std::uint64_t>(scaled >> shift);
    const unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << shift) - 1);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
    result = whole;
    return true;
}

// What std::to_chars writes for magnitude >= 0 in fixed form with `decimals`
// places (0 to 5), by whole-number arithmetic where the value allows.
char* writeFixed(char* out, char* limit, double magnitude, int decimals)
{
    std::uint64_t scaled = 0;
    if (!scaledAndRounded(magnitude, decimals, scaled))
        return std::to_chars(out, limit, magnitude, std::chars_format::fixed, decimals).ptr;
    std::uint64_t fraction = scaled % kPowerOfTen[decimals];
    out = std::to_chars(out, limit, scaled / kPowerOfTen[decimals]).ptr;
    if (decimals == 0) return out;
    *out++ = '.';
    for (int i = decimals - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return out + decimals;
}

}  // namespace

char* writeGeneralForm(char* out, double v, char decimalSeparator)
{
    if (v == 0) return copyText(out, "0");
    // As the general number form's own rule writes them: NAN, INF, -INF.
    if (!std::isfinite(v)) return out + std::snprintf(out, 32, "%.15G", v);
    // At most "-d.dddddddddddddde-ddd": 22 characters.
    const auto res = std::to_chars(out, out + 32, v, std::chars_format::general, 15);
    for (char* p = out; p != res.ptr; ++p) {
        if (*p == 'e') *p = 'E';
        else if (*p == '.') *p = decimalSeparator;
    }
    return res.ptr;
}

char* writeBareNumber(char* out, double v, char decimalSeparator)
{
    *out++ = v < 0 ? '-' : ' ';
    out = writeGeneralForm(out, std::fabs(v), decimalSeparator);
    *out++ = ' ';
    return out;
}

char* writePattern(char* out, double v, Pattern pattern, char decimalSeparator)
{
    char* const start = out;
    char* const limit = out + kNumberTextCapacity;
    const double magnitude = std::fabs(v);
    if (v < 0) *out++ = '-';
    if (pattern == Pattern::Index) {
        char* const end = writeFixed(out, limit, magnitude, 0);
        // "#" writes only significant digits: a value that rounds to 0 writes nothing.
        if (end - out == 1 && *out == '0') return start;
        return end;
    }
    if (!std::isfinite(magnitude)) return writeGeneralForm(out, magnitude);
    const int decimals = pattern == Pattern::FiveDecimals ? 5 : 4;
    // Rounded on the exact binary value; exactly `decimals` digits follow the point.
    char* const end = writeFixed(out, limit, magnitude, decimals);
    char* const point = end - decimals - 1;
    const char last = end[-1];
    // The optional places keep a digit only where it or a digit to its right is
    // not zero; the last place always writes its digit.
    char* optionalEnd = end - 1;
    if (last == '0') {
        while (optionalEnd != point + 1 && optionalEnd[-1] == '0') --optionalEnd;
    }
    *point = decimalSeparator;
    *optionalEnd = last;
    return optionalEnd + 1;
}

std::string generalForm(double v, char decimalSeparator)
{
    char buffer[kNumberTextCapacity];
    return std::string(buffer, writeGeneralForm(buffer, v, decimalSeparator));
}

std::string sixFigures(double v)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.6g", v == 0 ? 0.0 : v);
    return text;
}

std::string bareNumber(double v, char decimalSeparator)
{
    char buffer[kNumberTextCapacity];
    return std::string(buffer, writeBareNumber(buffer, v, decimalSeparator));
}

std::string formatPattern(double v, Pattern pattern, char decimalSeparator)
{
    char buffer[kNumberTextCapacity];
    return std::string(buffer, writePattern(buffer, v, pattern, decimalSeparator));
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

std::string shortestText(double v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

}  // namespace tavrix
