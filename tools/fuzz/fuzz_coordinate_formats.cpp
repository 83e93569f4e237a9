// libFuzzer entry point for the reader of Selig, Lednicer and plain x y
// files. Besides crashes and sanitizer reports it checks what a caller relies
// on: a prepared contour has at least three finite points, is closed and runs
// clockwise; written in the Selig layout it reads back to the same points;
// and repanelling it gives finite points.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

#include "geometry/CoordinateFormats.h"
#include "geometry/Repanel.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tavrix;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CoordinateFormat format = detectCoordinateFormat(text);
    if (format == CoordinateFormat::Arf) return 0;  // the program's own layout has its own target
    auto parsed = parseCoordinatePoints(text, format, "fuzz");
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        check(!reason->empty() && reason->size() < 300);
        return 0;
    }
    auto prepared = prepareContour(std::get<Contour>(parsed));
    if (const auto* reason = std::get_if<std::string>(&prepared)) {
        check(!reason->empty() && reason->size() < 300);
        return 0;
    }
    const Contour& c = std::get<PreparedContour>(prepared).contour;
    check(c.size() >= 3 && c.x.size() == c.y.size());
    for (int i = 0; i < c.size(); ++i) check(std::isfinite(c.x[i]) && std::isfinite(c.y[i]));
    check(c.x.front() == c.x.back() && c.y.front() == c.y.back());
    check(doubleSignedArea(c) <= 0 || !std::isfinite(doubleSignedArea(c)));

    // A Selig file whose first point has two whole coordinates of 2 or more
    // reads like a Lednicer count line; no airfoil in chords has such a point.
    const double fx = c.x.back(), fy = c.y.back();
    if (fx >= 2 && fy >= 2 && fx == std::floor(fx) && fy == std::floor(fy)) return 0;
    Contour named = c;
    named.name = "copy";
    const std::string again = writeSelig(named);
    auto reread = parseCoordinatePoints(again, detectCoordinateFormat(again), "fuzz");
    check(std::holds_alternative<Contour>(reread));
    auto again2 = prepareContour(std::get<Contour>(reread));
    check(std::holds_alternative<PreparedContour>(again2));
    const Contour& back = std::get<PreparedContour>(again2).contour;
    check(back.x == c.x && back.y == c.y && std::get<PreparedContour>(again2).gap == 0);

    auto redone = repanel(c, 41, 3.141592653589793);
    if (const auto* r = std::get_if<Contour>(&redone)) {
        check(r->size() == 41);
        for (int i = 0; i < r->size(); ++i) check(!std::isnan(r->x[i]) || !std::isfinite(c.x[0]));
    }
    return 0;
}
