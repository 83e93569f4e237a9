// Karman-Trefftz and Joukowsky sections designed from the characteristics a
// designer thinks in: thickness ratio, camber ratio, trailing-edge angle and,
// optionally, the chordwise location of the greatest thickness.
//
// The section is the image of a circle under the Karman-Trefftz map. The
// circle in the zeta plane has its centre at (F, G) and passes through
// zeta = -1 (the trailing edge) and zeta = 1 + 2F (the leading edge); the map
//     w = ((zeta - 1) / (zeta + 1))^m,   z = m BB (1 + w) / (1 - w)
// takes it to a section whose trailing edge lies at x = -m BB with the
// internal angle (2 - m) pi. The contour handed on is the mirror image
// x' = 1 - m BB - x, y' = y, which puts the leading edge at (0, 0) and the
// trailing edge at (1, 0) for the BB of a chord of 1.
#pragma once

#include <array>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "geometry/Contour.h"

namespace tavrix {

struct KarmanTrefftzSection {
    double F = 0;
    double G = 0;
    double m = 2;
    double BB = 0;
};

struct PlanePoint {
    double x = 0;
    double y = 0;
};

// Image in the section plane (trailing edge on the left) of the circle point
// seen from the origin at the polar angle theta. The argument of
// (zeta - 1)/(zeta + 1) is taken in (-3pi/2, pi/2]; for circles with G >= 0
// that is the principal branch.
PlanePoint mapCirclePoint(double F, double G, double m, double theta, double BB,
                          double pi = std::numbers::pi);

// One line of the iteration list: F, G, thickness, camber and thickness
// location, each rounded to 5 decimals, joined by "  ,".
std::string measuredSectionLine(double F, double G, double DMAX, double GMAX, double XDMAXC,
                                char decimalSeparator);

// Point counts a section can have: the stations of one surface must fit the
// tables of the iteration.
inline constexpr int kKarmanTrefftzPointsMin = 3;
inline constexpr int kKarmanTrefftzPointsMax = 400;

// The working state of the parameter iteration: the station tables that the
// mapping fills and the measurement reads, and the progress lines in the
// order the iteration writes them.
class KarmanTrefftzIteration {
public:
    static constexpr int kStationLast = 200;
    using StationTable = std::array<double, kStationLast + 1>;

    explicit KarmanTrefftzIteration(char decimalSeparator = '.')
        : decimalSeparator_(decimalSeparator)
    {
    }

    // Maps the circle points at +TETA and -TETA to the section plane, station I
    // (1..kStationLast). TETA is negated twice and so comes back unchanged.
    void XY(double F, double G, double EM, double& TETA, int I, double BB);
    // Measures the section of F, G, m: thickness DMAX and camber GMAX as
    // fractions of the chord, and the location XDMAXC of the greatest
    // thickness from the leading edge. Adds one progress line, unless the
    // thickness search runs out of stations: then it returns at once, XDMAXC
    // unchanged.
    void DGX(double F, double G, double EM, double& DMAX, double& GMAX, double& XDMAXC);
    // Secant iteration for the F and G that give the wanted thickness DELTA
    // and camber GAMMA with the exponent EM; XDMAXC from the last measurement.
    void FGITER(double EM, double& XDMAXC, double DELTA, double GAMMA, double& F3, double& G3);

    // Adds a line of its own to the progress list.
    void addLine(std::string line) { lines_.push_back(std::move(line)); }
    const std::vector<std::string>& lines() const { return lines_; }
    std::vector<std::string> takeLines() { return std::move(lines_); }

    StationTable XPos{}, YPos{}, XNeg{}, YNeg{};

private:
    std::string listNumber(double v) const;

    char decimalSeparator_;
    std::vector<std::string> lines_;
};

// The characteristics wanted, as numbers.
struct KarmanTrefftzInputs {
    double thickness = 0.10;         // delta, fraction of the chord
    double camber = 0;               // gamma, fraction of the chord
    double trailingEdgeAngle = 0;    // tau, degrees
    double thicknessLocation = 0;    // x_delta / c; 0: not asked for
    int pointCount = 51;             // panel end points of the contour
    char decimalSeparator = '.';     // of the progress lines
};

struct KarmanTrefftzDesign {
    // The progress lines in order: a heading, then the block of every FGITER
    // call. Empty when the inputs were refused before any iteration ran.
    std::vector<std::string> lines;
    // Why no section was produced; empty when one was.
    std::optional<std::string> refusal;
    KarmanTrefftzSection section;
    // pointCount points in the program's order (point 1 at index 0), the
    // trailing edge exactly (1, 0) at both ends.
    Contour contour;

    bool joukowsky() const { return section.m == 2; }
};

// Finds F, G and m for the wanted characteristics and maps the section. The
// inputs are checked first (thickness, camber, angle, location, point
// count), each refusal with its own text; after the iterations a section
// without finite parameters or points, or with the surfaces crossing at the
// trailing edge (m above 2), is refused too.
KarmanTrefftzDesign designKarmanTrefftz(const KarmanTrefftzInputs& inputs);

// The contour of NP points of a section found earlier, as the design maps it;
// empty for NP outside kKarmanTrefftzPointsMin..kKarmanTrefftzPointsMax.
std::optional<Contour> karmanTrefftzContour(const KarmanTrefftzSection& section, int NP);

}  // namespace tavrix
