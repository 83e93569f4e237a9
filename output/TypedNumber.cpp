#include "output/TypedNumber.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <cmath>
#include <system_error>

namespace tavrix {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether t is [sign] digits [. digits] [e [sign] digits], with a digit on
// at least one side of the point.
bool isPlainNumber(std::string_view t)
{
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digits = false;
    while (i < t.size() && isDigit(t[i])) ++i, digits = true;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (i == t.size() || !isDigit(t[i])) return false;
        while (i < t.size() && isDigit(t[i])) ++i;
    }
    return i == t.size();
}

// The decimal exponent of a plain number's leading digit, roughly: positive
// for magnitudes above 1, negative below.
long decimalMagnitude(std::string_view t)
{
    std::size_t i = (t.front() == '+' || t.front() == '-') ? 1 : 0;
    long magnitude = 0;
    bool leading = true;
    for (; i < t.size() && isDigit(t[i]); ++i) {
        if (t[i] != '0') leading = false;
        if (!leading) ++magnitude;
    }
    if (i < t.size() && t[i] == '.')
        for (++i; leading && i < t.size() && isDigit(t[i]); ++i) {
            if (t[i] != '0') leading = false;
            else --magnitude;
        }
    const std::size_t e = t.find_first_of("eE");
    if (e != std::string_view::npos) {
        long exponent = 0;
        std::string_view x = t.substr(e + 1);
        const bool negative = x.front() == '-';
        if (x.front() == '+' || x.front() == '-') x.remove_prefix(1);
        for (char c : x) exponent = std::min(exponent * 10 + (c - '0'), 100000L);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

}  // namespace

TypedNumber readTypedNumber(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    std::string_view t = text.substr(first, last - first + 1);
    if (!isPlainNumber(t)) return {TypedNumber::Kind::NotNumber, 0};
    // from_chars takes no plus sign; the syntax is already checked.
    const bool plus = t.front() == '+';
    if (plus) t.remove_prefix(1);
    double value = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond a double, or closer to 0 than its least magnitude: the
        // latter is kept as that least magnitude, so that a range check still
        // sees a number that is not 0.
        if (decimalMagnitude(t) > 0) return {TypedNumber::Kind::TooLarge, 0};
        const double least = std::numeric_limits<double>::denorm_min();
        return {TypedNumber::Kind::Number, t.front() == '-' ? -least : least};
    }
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(value))
        return {TypedNumber::Kind::NotNumber, 0};
    return {TypedNumber::Kind::Number, value};
}

std::string notANumberMessage(std::string_view what, std::string_view text)
{
    return std::string(what) + " must be a number: \"" + std::string(text) + "\"";
}

}  // namespace tavrix
