#include "geometry/CoordinateFormats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include "app/NumberText.h"

namespace tavrix {

namespace {

bool isFieldSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }

struct Line {
    int number = 0;  // line number in the file, from 1
    std::string_view text;
    std::vector<std::string_view> fields;
};

// The lines that carry something: not blank, not a comment.
std::vector<Line> meaningfulLines(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::vector<Line> lines;
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // A line ends at LF, CR LF or a lone CR (the old Macintosh convention).
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        Line line;
        line.number = number;
        line.text = text.substr(pos, end - pos);
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        std::size_t i = 0;
        const std::string_view t = line.text;
        while (i < t.size()) {
            while (i < t.size() && isFieldSeparator(t[i])) ++i;
            const std::size_t begin = i;
            while (i < t.size() && !isFieldSeparator(t[i])) ++i;
            if (i > begin) line.fields.push_back(t.substr(begin, i - begin));
        }
        if (line.fields.empty() || line.fields.front().front() == '#') continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

// A plain decimal number filling the whole field, finite.
std::optional<double> number(std::string_view field)
{
    std::string_view f = field;
    bool negative = false;
    if (!f.empty() && (f.front() == '+' || f.front() == '-')) {
        negative = f.front() == '-';
        f.remove_prefix(1);
    }
    if (f.empty() || !(std::isdigit(static_cast<unsigned char>(f.front())) || f.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(f.data(), f.data() + f.size(), value,
                                        std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != f.data() + f.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

bool allNumbers(const Line& line)
{
    return std::all_of(line.fields.begin(), line.fields.end(),
                       [](std::string_view f) { return number(f).has_value(); });
}

// A Lednicer count line: two whole numbers of at least 2 (the x of a point
// never exceeds about 1).
bool isCountLine(const Line& line)
{
    if (line.fields.size() != 2) return false;
    for (std::string_view f : line.fields) {
        const auto v = number(f);
        if (!v || *v < 2 || *v != std::floor(*v)) return false;
    }
    return true;
}

// Whether the surface counts of a Lednicer count line (the second line) add
// up to the points below it.
bool lednicerCountsMatch(const std::vector<Line>& lines)
{
    const double upper = *number(lines[1].fields[0]);
    const double lower = *number(lines[1].fields[1]);
    return upper + lower == static_cast<double>(lines.size() - 2);
}

std::string shown(std::string_view field)
{
    constexpr std::size_t kShown = 40;
    if (field.size() <= kShown) return "\"" + std::string(field) + "\"";
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + std::string(field.substr(0, cut)) + "...\"";
}

std::string nameOf(const Line& line)
{
    std::string_view t = line.text;
    while (!t.empty() && (t.back() == '\r' || t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    return std::string(t);
}

// Reads the x y lines [first, last) into the contour.
std::optional<std::string> readPairs(const std::vector<Line>& lines, std::size_t first,
                                     std::size_t last, Contour& c)
{
    for (std::size_t k = first; k < last; ++k) {
        const Line& line = lines[k];
        if (line.fields.size() != 2) {
            return "line " + std::to_string(line.number) + " holds " +
                   std::to_string(line.fields.size()) +
                   " fields where a point's x and y were expected";
        }
        const auto x = number(line.fields[0]);
        const auto y = number(line.fields[1]);
        if (!x || !y) {
            return "the " + std::string(!x ? "x" : "y") + " on line " +
                   std::to_string(line.number) + ", " + shown(line.fields[!x ? 0 : 1]) +
                   ", is not a plain finite decimal number";
        }
        // Far beyond any chord: sums and mid points of such values overflow.
        if (std::fabs(*x) > 1e15 || std::fabs(*y) > 1e15) {
            return "the point on line " + std::to_string(line.number) +
                   " lies too far out to be part of an airfoil";
        }
        if (c.size() >= kCoordinateFileMaxPoints)
            return "it holds more than " + std::to_string(kCoordinateFileMaxPoints) + " points";
        c.x.push_back(*x);
        c.y.push_back(*y);
    }
    return std::nullopt;
}

std::string shortest(double v)
{
    return shortestText(v == 0 ? 0.0 : v);  // no "-0"
}

}  // namespace

CoordinateFormat detectCoordinateFormat(std::string_view text)
{
    const std::vector<Line> lines = meaningfulLines(text);
    if (lines.empty()) return CoordinateFormat::Arf;
    const Line& first = lines.front();
    if (allNumbers(first)) {
        if (first.fields.size() == 2) return CoordinateFormat::Plain;
        // A name that is a number ("4415") above x y lines.
        if (first.fields.size() == 1 && lines.size() > 1 && lines[1].fields.size() == 2 &&
            !isCountLine(lines[1]))
            return CoordinateFormat::Selig;
        return CoordinateFormat::Arf;
    }
    // All on one line: only the program's own layout, with its quoted name,
    // can be read from that.
    if (lines.size() < 2) {
        return first.text.find('"') != std::string_view::npos ? CoordinateFormat::Arf
                                                              : CoordinateFormat::Selig;
    }
    const Line& second = lines[1];
    // The program's own layout: the count alone after the name, or the
    // records of three numbers.
    if (second.fields.size() != 2) return CoordinateFormat::Arf;
    if (isCountLine(second)) return CoordinateFormat::Lednicer;
    return CoordinateFormat::Selig;
}

std::variant<Contour, std::string> parseCoordinatePoints(std::string_view text,
                                                         CoordinateFormat format,
                                                         std::string_view fallbackName)
{
    const std::vector<Line> lines = meaningfulLines(text);
    Contour c;
    std::size_t first = 0;
    if (format == CoordinateFormat::Plain) {
        c.name = fallbackName;
    } else {
        if (lines.empty()) return std::string("the file holds no points");
        c.name = nameOf(lines.front());
        first = 1;
    }
    if (format == CoordinateFormat::Lednicer) {
        if (lines.size() < 2 || !isCountLine(lines[1]))
            return std::string("its second line does not hold the two surface point counts");
        const double upperCount = *number(lines[1].fields[0]);
        const double lowerCount = *number(lines[1].fields[1]);
        const std::size_t pairs = lines.size() - 2;
        if (upperCount + lowerCount != static_cast<double>(pairs)) {
            return "its count line (line " + std::to_string(lines[1].number) + ") announces " +
                   shortest(upperCount) + " upper and " + shortest(lowerCount) +
                   " lower surface points, but the file holds " + std::to_string(pairs) +
                   " points";
        }
        const std::size_t nu = static_cast<std::size_t>(upperCount);
        Contour upper, lower;
        if (auto e = readPairs(lines, 2, 2 + nu, upper)) return *e;
        if (auto e = readPairs(lines, 2 + nu, lines.size(), lower)) return *e;
        // Over the upper surface from the trailing edge, then the lower one,
        // the leading-edge point taken once when both surfaces list it.
        for (std::size_t k = upper.x.size(); k-- > 0;) {
            c.x.push_back(upper.x[k]);
            c.y.push_back(upper.y[k]);
        }
        std::size_t from = 0;
        if (!lower.x.empty() && lower.x.front() == upper.x.front() &&
            lower.y.front() == upper.y.front())
            from = 1;
        for (std::size_t k = from; k < lower.x.size(); ++k) {
            c.x.push_back(lower.x[k]);
            c.y.push_back(lower.y[k]);
        }
    } else if (auto e = readPairs(lines, first, lines.size(), c)) {
        return *e;
    }
    if (c.size() < 3)
        return "it holds " + std::to_string(c.size()) + " point" + (c.size() == 1 ? "" : "s") +
               ", fewer than the three a contour needs";
    return c;
}

std::variant<PreparedContour, std::string> prepareContour(Contour contour, char decimalSeparator)
{
    PreparedContour p;
    dropRepeatedPoints(contour);
    // A closed contour listed with its trailing-edge point twice counts it
    // once for the area.
    if (contour.size() < 3) return std::string("it holds fewer than three distinct points");
    if (significantArea(contour) == 0) return std::string("its points enclose no area");
    makeClockwise(contour);
    const double gap = closeTrailingEdge(contour);
    // Of the closed section: the open one is at least as thick as its gap.
    const double thickness = sectionThickness(contour);
    auto chords = [&](double v) {
        const double rounded = roundHalfEven(v, 5);
        return generalForm(rounded != 0 ? rounded : roundHalfEven(v, 7), decimalSeparator);
    };
    if (contour.x.front() != contour.x.back() || contour.y.front() != contour.y.back()) {
        contour.x.push_back(contour.x.front());
        contour.y.push_back(contour.y.front());
    }
    // Closing a gap as wide as the section itself leaves nothing of it.
    if (contour.size() < 4 || !(significantArea(contour) < 0)) {
        std::string reason = "its points enclose no area once the trailing edge is closed";
        if (gap > 0) reason += " (it is open " + chords(gap) + " chord wide)";
        return reason;
    }
    // The closure draws the surfaces together over the whole chord: a gap of
    // more than a tenth of the chord, or wider than the section is thick, is
    // no open trailing edge but a contour that is not a whole section (a
    // surface alone, points out of order).
    if (gap > kLargestClosedGap || gap > thickness) {
        return "its trailing edge is open " + chords(gap) + " chord wide, too wide to be closed (" +
               (gap > kLargestClosedGap
                    ? std::string("more than a tenth of the chord")
                    : "wider than the section's thickness of " + chords(thickness) + " chord") +
               ")";
    }
    if (auto crossing = firstCrossing(contour)) {
        return "the contour crosses itself: segments " + std::to_string(crossing->first) +
               " and " + std::to_string(crossing->second) + " meet";
    }
    // A gap in the last digits of the coordinates (files written with the
    // trailing edge closed) is closed without a word.
    p.gap = gap < kSmallestOpenGap ? 0 : gap;
    // Coordinates in per cent of the chord, in millimetres, or shifted: the
    // chord from the leading edge (the point farthest from the trailing
    // edge) to the trailing edge becomes 1, the leading edge the origin. The
    // section keeps its incidence to the x axis. The farthest point of a
    // cambered section lies a few thousandths off its nominal nose at the
    // origin, so a section whose trailing edge is at (1, 0) counts as placed.
    const std::size_t le = static_cast<std::size_t>(leadingEdgeIndex(contour));
    const double lx = contour.x[le], ly = contour.y[le];
    const double tx = contour.x.front(), ty = contour.y.front();
    const double chord = std::hypot(tx - lx, ty - ly);
    const bool placed = std::hypot(lx, ly) <= kUnitChordTolerance ||
                        std::hypot(tx - 1, ty) <= kUnitChordTolerance;
    if (std::fabs(chord - 1) > kUnitChordTolerance || !placed) {
        for (std::size_t i = 0; i < contour.x.size(); ++i) {
            contour.x[i] = (contour.x[i] - lx) / chord;
            contour.y[i] = (contour.y[i] - ly) / chord;
        }
        p.rescaled = true;
        p.chord = chord;
        p.leadingEdgeX = lx;
        p.leadingEdgeY = ly;
    }
    p.contour = std::move(contour);
    return p;
}

std::variant<PreparedContour, std::string> readCoordinateContour(std::string_view text,
                                                                CoordinateFormat format,
                                                                std::string_view fallbackName,
                                                                char decimalSeparator)
{
    auto read = [&](CoordinateFormat as) -> std::variant<PreparedContour, std::string> {
        auto parsed = parseCoordinatePoints(text, as, fallbackName);
        if (auto* reason = std::get_if<std::string>(&parsed)) return *reason;
        return prepareContour(std::get<Contour>(std::move(parsed)), decimalSeparator);
    };
    auto result = read(format);
    if (format != CoordinateFormat::Lednicer || !std::holds_alternative<std::string>(result))
        return result;
    // Two whole numbers after the name may as well be the first point of a
    // section on a larger chord: when the counts do not match the blocks
    // below, the file is read as Selig. Should that fail too, the broken
    // count line is the likelier fault, and its reason is given.
    const std::vector<Line> lines = meaningfulLines(text);
    if (lines.size() < 2 || !isCountLine(lines[1]) || lednicerCountsMatch(lines)) return result;
    auto asSelig = read(CoordinateFormat::Selig);
    return std::holds_alternative<PreparedContour>(asSelig) ? asSelig : result;
}

std::string writeSelig(const Contour& c)
{
    std::string out = c.name.empty() ? std::string("Airfoil") : c.name;
    out += '\n';
    for (std::size_t k = c.x.size(); k-- > 0;) {
        out += shortest(c.x[k]);
        out += ' ';
        out += shortest(c.y[k]);
        out += '\n';
    }
    return out;
}

}  // namespace tavrix
