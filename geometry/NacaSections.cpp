#include "geometry/NacaSections.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <span>

namespace tavrix {

namespace {

// Published five-digit mean-line constants at design lift coefficient 0.3:
// maximum-camber code P, then r and k1 (standard) or r, k1 and k2/k1 (reflexed).
struct FiveDigitLine {
    int p;
    double r, k1, k2k1;
};
constexpr FiveDigitLine kStandard[] = {
    {1, 0.0580, 361.400, 0}, {2, 0.1260, 51.640, 0}, {3, 0.2025, 15.957, 0},
    {4, 0.2900, 6.643, 0},   {5, 0.3910, 3.230, 0}};
constexpr FiveDigitLine kReflexed[] = {
    {2, 0.1300, 51.990, 0.000764}, {3, 0.2170, 15.793, 0.00677},
    {4, 0.3180, 6.520, 0.0303},    {5, 0.4410, 3.191, 0.1355}};

constexpr const char* kKnown =
    "the known sections are the four-digit MPTT (camber M %, at P tenths of the chord, "
    "thickness TT % from 01 to 99; M 0 with P 0, or M 1..9 with P 1..9) and the five-digit "
    "LPQTT with L 1..9 and mean line PQ 10, 20, 30, 40, 50 or reflexed 21, 31, 41, 51";

}  // namespace

std::variant<NacaDesignation, std::string> parseNacaDesignation(std::string_view text)
{
    std::string digits;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (text.size() - i >= 4) {
        std::string head(text.substr(i, 4));
        for (char& ch : head) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (head == "NACA") i += 4;
    }
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '-')) ++i;
    std::size_t end = text.size();
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    for (std::size_t k = i; k < end; ++k) {
        if (!std::isdigit(static_cast<unsigned char>(text[k])))
            return "\"" + std::string(text) + "\" is not a NACA section the program knows: " +
                   kKnown;
        digits += text[k];
    }
    auto unknown = [&] {
        return "NACA " + digits + " is not a section the program knows: " + kKnown;
    };
    if (digits.size() != 4 && digits.size() != 5) {
        if (digits.empty()) return std::string("No NACA designation given: ") + kKnown;
        return unknown();
    }
    auto digit = [&](std::size_t k) { return digits[k] - '0'; };

    NacaDesignation d;
    d.digits = digits;
    const std::size_t n = digits.size();
    const int tt = digit(n - 2) * 10 + digit(n - 1);
    if (tt == 0) return unknown();
    d.thickness = tt / 100.0;
    if (n == 4) {
        const int m = digit(0), p = digit(1);
        if ((m == 0) != (p == 0)) return unknown();
        d.camber = m / 100.0;
        d.camberPosition = p / 10.0;
        return d;
    }
    const int l = digit(0), p = digit(1), q = digit(2);
    if (l == 0 || q > 1) return unknown();
    d.fiveDigit = true;
    d.reflexed = q == 1;
    d.designLift = 0.15 * l;
    bool found = false;
    for (const FiveDigitLine& line : d.reflexed ? std::span<const FiveDigitLine>(kReflexed)
                                                : std::span<const FiveDigitLine>(kStandard)) {
        if (line.p != p) continue;
        d.r = line.r;
        d.k1 = line.k1;
        d.k2k1 = line.k2k1;
        found = true;
    }
    if (!found) return unknown();
    return d;
}

double nacaHalfThickness(double x, double t, bool openTrailingEdge)
{
    const double last = openTrailingEdge ? -0.1015 : -0.1036;
    const double shape =
        0.2969 * std::sqrt(x) + x * (-0.1260 + x * (-0.3516 + x * (0.2843 + x * last)));
    return (5 * t) * shape;
}

double nacaCamber(const NacaDesignation& d, double x)
{
    if (d.fiveDigit) {
        const double r = d.r, scale = d.designLift / 0.3;
        if (d.reflexed) {
            const double a = (1 - r) * (1 - r) * (1 - r), r3 = r * r * r;
            const double cube = (x - r) * (x - r) * (x - r);
            const double y = x < r ? cube - d.k2k1 * a * x - r3 * x + r3
                                   : d.k2k1 * cube - d.k2k1 * a * x - r3 * x + r3;
            return scale * (d.k1 / 6 * y);
        }
        if (x < r) return scale * (d.k1 / 6 * (x * x * x - 3 * r * x * x + r * r * (3 - r) * x));
        return scale * (d.k1 * r * r * r / 6 * (1 - x));
    }
    const double m = d.camber, p = d.camberPosition;
    if (m == 0) return 0;
    if (x < p) return m / (p * p) * (2 * p * x - x * x);
    return m / ((1 - p) * (1 - p)) * ((1 - 2 * p) + 2 * p * x - x * x);
}

double nacaCamberSlope(const NacaDesignation& d, double x)
{
    if (d.fiveDigit) {
        const double r = d.r, scale = d.designLift / 0.3;
        if (d.reflexed) {
            const double a = (1 - r) * (1 - r) * (1 - r), r3 = r * r * r;
            const double sq = 3 * (x - r) * (x - r);
            const double s = x < r ? sq - d.k2k1 * a - r3 : d.k2k1 * sq - d.k2k1 * a - r3;
            return scale * (d.k1 / 6 * s);
        }
        if (x < r) return scale * (d.k1 / 6 * (3 * x * x - 6 * r * x + r * r * (3 - r)));
        return scale * (-d.k1 * r * r * r / 6);
    }
    const double m = d.camber, p = d.camberPosition;
    if (m == 0) return 0;
    if (x < p) return 2 * m / (p * p) * (p - x);
    return 2 * m / ((1 - p) * (1 - p)) * (p - x);
}

Contour makeNacaSection(const NacaDesignation& d, int np, bool openTrailingEdge, double Pi)
{
    Contour c;
    c.name = "NACA " + d.digits;
    c.x.assign(static_cast<std::size_t>(np), 0.0);
    c.y.assign(static_cast<std::size_t>(np), 0.0);
    // The stations of the NACA 0012 generator: M is a real quotient, so for an
    // odd number of panels no point falls on the leading edge.
    const int nPanel = np - 1;
    const double M = nPanel / 2.0;
    const double dTheta = Pi / M;
    for (int i = 1; i <= M + 1; ++i) {
        const double x = (std::cos((i - 1) * dTheta) + 1) * 0.5;
        const double yt = nacaHalfThickness(x, d.thickness, openTrailingEdge);
        const double yc = nacaCamber(d, x);
        const double theta = std::atan(nacaCamberSlope(d, x));
        const double s = std::sin(theta), co = std::cos(theta);
        const std::size_t lower = static_cast<std::size_t>(i - 1);
        const std::size_t upper = static_cast<std::size_t>(np - i);
        c.x[upper] = x - yt * s;
        c.y[upper] = yc + yt * co;
        c.x[lower] = x + yt * s;
        c.y[lower] = yc - yt * co;
    }
    if (!openTrailingEdge) {
        c.x.front() = c.x.back() = 1;
        c.y.front() = c.y.back() = 0;
    }
    return c;
}

}  // namespace tavrix
