// The window session's state: the constants, the contour in use, and what the
// last press left for the result files, the plots and the matrix view (the
// panel geometry, the surface speeds, the linear system). One
// instance is owned by the application and handed to the window logic;
// nothing here is global. The computing code never reads it: the press fills
// it from the values the panel methods return.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "geometry/SectionEdits.h"
#include "solvers/Matrix.h"
#include "solvers/PanelMethods.h"
#include "solvers/PanelSolution.h"

namespace tavrix {

// Index range 0..1000 of the point and panel tables and of the strengths:
// every method's system holds at most 1000 unknowns.
inline constexpr int kTableLast = kMaxPoints;
inline constexpr int kStrengthLast = kMaxPoints;

using Table = std::array<double, kTableLast + 1>;
using StrengthTable = std::array<double, kStrengthLast + 1>;

// Where the contour in use came from.
enum class ContourSource { None, Circle, Naca0012, File, KarmanTrefftz, Naca, Repanelled };

struct Common {
    // Constants, set at start-up.
    double Pi = 0;
    double TwoPi = 0;
    double FourPi = 0;
    double DegToRad = 0;

    // Panel end points (trailing edge counted twice) and panels.
    int NP = 0;
    int NPanel = 0;

    // Contour as the airfoil source produced it, clockwise from the trailing edge.
    Table XCoord{};
    Table YCoord{};
    // Contour after the rotation by eta, and the panel geometry built from it.
    Table X{};
    Table Y{};
    Table XM{};
    Table YM{};
    Table DS{};
    Table CosDelta{};
    Table SinDelta{};

    double AlfaD = 0;
    double CosAlfa = 0;
    double SinAlfa = 0;

    Table Vt{};  // surface speed / free-stream speed at the control points
    Table Cu{};  // Vt squared, 1 - Cp (compressible when a Mach number is given)

    Matrix AN;  // augmented system of the method that ran last, as the elimination left it
    Matrix AT;  // tangential-velocity coefficients (Hess method only)
    StrengthTable Strength{};
    // The operating point of the last solve, with the signed surface speed
    // and the rotated end points that a boundary layer needs.
    std::optional<OperatingPoint> LastPoint;

    double XCenter = 0;
    bool AirfoilReady = false;

    // The contour in use: its source and a name for the user ("NACA 0012",
    // the file's name line ...), set by every source together with NP.
    ContourSource AirfoilSource = ContourSource::None;
    std::string AirfoilName;

    // The flap the geometry menu laid into the contour, with the points it
    // was laid into: a contour changed since by anything else has no flap
    // (see flapInUse in app/GeometryEdits.h).
    std::optional<FlapHinge> Flap;
    std::vector<double> FlapX, FlapY;

    // Main-window field: the coordinate file chosen in the file list.
    std::string AirfoilFilePath;

    // Decimal separator of the user's locale, used by every number written.
    char DecimalSeparator = '.';
    // Folder in which the result files are opened by their bare names.
    std::filesystem::path WorkDir = ".";

    // Result files that could not be written since the press began: each is
    // reported once and left alone for the rest of the press. A record of the
    // writing, not of the flow, hence writable through a const state.
    mutable std::set<std::string> FilesNotWritten;
};

// The mathematical constants, as the start-up of the main window sets them.
inline void SetConstants(Common& c)
{
    c.Pi = 4 * std::atan(1.0);
    c.TwoPi = 2 * c.Pi;
    c.FourPi = 4 * c.Pi;
    c.DegToRad = c.Pi / 180;
}

// Names of the result files.
inline constexpr const char* kReportFile = "TavrixS.txt";
inline constexpr const char* kColumnFile = "TavrixS.xls";
inline constexpr const char* kPanelPropertiesFile = "Panel Properties.txt";

}  // namespace tavrix
