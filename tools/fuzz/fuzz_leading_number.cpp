// libFuzzer entry point for the leading-number rule and the number forms that
// write the value again. Checks, besides crashes and sanitizer reports: the
// value is finite and 0 when flagged too large; blanks, tabs and line feeds
// inserted anywhere change nothing; a minus sign before a decimal number
// negates it; the shortest decimal form of the value reads back to the value.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/NumberText.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

bool same(const tavrix::LeadingNumber& a, const tavrix::LeadingNumber& b)
{
    return a.tooLarge == b.tooLarge && a.value == b.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const tavrix::LeadingNumber n = tavrix::readLeadingNumber(text);
    check(std::isfinite(n.value));
    if (n.tooLarge) check(n.value == 0);

    // Ignored blanks, placed at positions taken from the text itself.
    std::string spaced;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c % 7 == 0) spaced += " \t\n"[c % 3];
        spaced += text[i];
    }
    spaced += ' ';
    check(same(tavrix::readLeadingNumber(spaced), n));

    if (!text.empty() && ((text[0] >= '0' && text[0] <= '9') || text[0] == '.')) {
        const tavrix::LeadingNumber negated = tavrix::readLeadingNumber("-" + text);
        check(negated.tooLarge == n.tooLarge && negated.value == -n.value);
    }

    char buffer[64];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, n.value);
    const tavrix::LeadingNumber back = tavrix::readLeadingNumber(std::string_view(buffer, res.ptr - buffer));
    check(!back.tooLarge && back.value == n.value);

    // The writers must take any value the reader can produce.
    for (char separator : {'.', ','}) {
        check(!tavrix::generalForm(n.value, separator).empty());
        check(!tavrix::bareNumber(n.value, separator).empty());
        for (auto pattern : {tavrix::Pattern::Index, tavrix::Pattern::FourDecimals,
                             tavrix::Pattern::FiveDecimals, tavrix::Pattern::MatrixEntry})
            (void)tavrix::formatPattern(n.value, pattern, separator);
    }
    const double rounded = tavrix::roundHalfEven(n.value, 4);
    check(std::isfinite(rounded));
    return 0;
}
