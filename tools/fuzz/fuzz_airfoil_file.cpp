// libFuzzer entry point for the coordinate-file parser. Besides crashes and
// sanitizer reports it checks what a caller relies on: a parsed file holds
// count points, all finite, with count in 2..1000; a text cut short is never
// read differently from the whole text; and a parsed contour written out again
// reads back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "app/NumberText.h"
#include "geometry/AirfoilFile.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

void checkContents(const tavrix::AirfoilFileContents& c)
{
    check(c.count >= tavrix::kAirfoilFileMinPoints && c.count <= tavrix::kAirfoilFileMaxPoints);
    check(c.x.size() == static_cast<std::size_t>(c.count));
    check(c.y.size() == static_cast<std::size_t>(c.count));
    for (std::size_t i = 0; i < c.x.size(); ++i) check(std::isfinite(c.x[i]) && std::isfinite(c.y[i]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Copy into a buffer of exactly `size` bytes so that ASan sees any read past it.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto whole = tavrix::parseAirfoilFile(text, true);
    const auto cut = tavrix::parseAirfoilFile(text, false);

    if (const auto* reason = std::get_if<std::string>(&whole)) {
        check(!reason->empty() && reason->size() < 300);
    } else {
        const auto& c = std::get<tavrix::AirfoilFileContents>(whole);
        checkContents(c);

        std::string again = "\"copy\"\n" + std::to_string(c.count) + "\n";
        for (int i = 0; i < c.count; ++i)
            again += std::to_string(i + 1) + ", " + tavrix::shortestText(c.x[i]) + ", " +
                     tavrix::shortestText(c.y[i]) + "\r\n";
        const auto reread = tavrix::parseAirfoilFile(again, true);
        check(std::holds_alternative<tavrix::AirfoilFileContents>(reread));
        const auto& r = std::get<tavrix::AirfoilFileContents>(reread);
        check(r.count == c.count && r.x == c.x && r.y == c.y && r.name == "copy");
    }

    if (const auto* c = std::get_if<tavrix::AirfoilFileContents>(&cut)) {
        // What a cut text yields, the whole text yields too.
        checkContents(*c);
        check(std::holds_alternative<tavrix::AirfoilFileContents>(whole));
        const auto& w = std::get<tavrix::AirfoilFileContents>(whole);
        check(w.name == c->name && w.count == c->count && w.x == c->x && w.y == c->y);
    }
    return 0;
}
