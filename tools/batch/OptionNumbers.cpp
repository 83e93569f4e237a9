#include "tools/batch/OptionNumbers.h"

#include <charconv>
#include <cmath>

#include "app/NumberText.h"

namespace tavrix {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::optional<double> wholeNumber(std::string_view text)
{
    std::string_view t = text;
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    // After the sign a digit or the point: no "inf", "nan" or second sign.
    const std::string_view body = !t.empty() && t.front() == '-' && text.front() != '+'
                                      ? t.substr(1)
                                      : t;
    if (body.empty() || !(isDigit(body.front()) || body.front() == '.')) return std::nullopt;
    double value = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool readWhole(std::string_view text)
{
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    if (s.empty()) return true;
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'h' || s[1] == 'H' || s[1] == 'o' || s[1] == 'O')) {
        const bool hex = s[1] == 'h' || s[1] == 'H';
        i = 2;
        const std::size_t first = i;
        while (i < s.size() && (hex ? isHexDigit(s[i]) : (s[i] >= '0' && s[i] <= '7'))) ++i;
        return i > first && i == s.size();
    }
    if (s[i] == '+' || s[i] == '-') ++i;
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) ++i, digits = true;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j == s.size() || !isDigit(s[j])) return false;  // an exponent letter without digits
        while (j < s.size() && isDigit(s[j])) ++j;
        i = j;
    }
    return i == s.size();
}

std::string leadingNumberWarning(std::string_view option, std::string_view text)
{
    if (readWhole(text)) return {};
    const LeadingNumber n = readLeadingNumber(text);
    if (n.tooLarge) return {};
    return "warning: " + std::string(option) + " \"" + std::string(text) + "\" reads as " +
           generalForm(n.value);
}

}  // namespace tavrix
