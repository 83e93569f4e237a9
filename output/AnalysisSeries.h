// What the analysis window plots, computed without any window: the pressure
// distribution of the last press (incompressible, corrected, the critical Cp,
// the four methods side by side, the exact flow of a Karman-Trefftz section),
// polars over a range of angles of attack and the convergence of CL with the
// number of panel end points. Every plot is a PlotData that can be written as
// CSV, so what is drawn and what is exported are the same numbers.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/Module_Common.h"
#include "geometry/KarmanTrefftz.h"
#include "output/PolarFiles.h"
#include "solvers/Compressibility.h"
#include "app/PressSolvers.h"
#include "solvers/Sweep.h"
#include "viscous/CoupledPolar.h"
#include "viscous/ViscousPolar.h"

namespace tavrix {

// One curve of a plot. Reference lines (the critical Cp, the thin-airfoil
// line, the exact flow) are drawn thinner or dashed by the window.
struct Series {
    enum class Role { Computed, LowerSurface, Exact, Reference };
    std::string name;
    Role role = Role::Computed;
    int colour = 0;  // index into the window's palette: one colour per method
    bool markers = false;
    std::vector<double> x, y;
    // Markers alone, never joined by a line (points that did not converge,
    // a marked maximum); hollow markers for points that are no result.
    bool joined = true;
    bool hollow = false;
    // A marked value among the curves (a maximum): a larger marker, outlined.
    bool highlighted = false;
    // Per point, a text the pointer read-out adds (why a point did not
    // converge); empty: none.
    std::vector<std::string> notes = {};
};

// The palette index of a method's curves: the same colour on every plot.
int methodColour(PanelMethod method);
// "Hess: MESSAGE", a method's refusal in a polar's notes.
std::string methodMessage(PanelMethod method, const std::string& message);

// Above this many points a curve is drawn without markers: on a fine polar
// they would merge into a thick smear over the line.
inline constexpr std::size_t kMostMarkedPoints = 60;

// Whether the curve is drawn with a marker on each point: markers alone (not
// joined), or it asks for them and has at most kMostMarkedPoints points.
bool drawsMarkers(const Series& series);

struct PlotData {
    std::string title;
    std::string xLabel, yLabel;  // with units
    bool logX = false, logY = false;
    std::vector<Series> series;
    // Lines the CSV opens with, each after "# " (the case a plot belongs to).
    std::vector<std::string> comments = {};
};

// A field of a CSV line: as it is, or quoted (quotes doubled) when it holds
// a comma, a quote or a line break; csvQuoted quotes it always.
std::string csvField(const std::string& text);
std::string csvQuoted(const std::string& text);

// The comment lines ("# ..."), then "series,<x label>,<y label>" and one row
// per point, the numbers with 17 significant digits so that they read back
// to the same doubles.
std::string csvText(const PlotData& plot);

// Everything a completed press leaves that the analysis needs: a copy of the
// shared state, the conditions and the method, and for a Karman-Trefftz
// section its parameters.
struct PressCase {
    Common common;
    FlowSetup setup;
    double alphaDeg = 0;
    // Circle, Naca0012 or KarmanTrefftz when the contour is exactly what that
    // source gives at this point count; None otherwise (a coordinate file).
    ContourSource source = ContourSource::None;
    std::optional<KarmanTrefftzSection> section;  // with source KarmanTrefftz only
};

// The case of a press that left `common`: the source is the contour's own
// (`AirfoilSource`), kept when its generator draws the same points again at
// the press's point count, so a contour changed since it was drawn counts as
// a contour of its own.
PressCase makePressCase(const Common& common, const FlowSetup& setup,
                        const std::optional<KarmanTrefftzSection>& lastSection);

// Abscissa x/c of every control point of the press: the chord runs from the
// foremost to the hindmost end point of the rotated contour.
std::vector<double> chordStations(const Common& common);
// Index (1-based) of the foremost end point: panels before it lie on the
// lower surface, the others on the upper surface.
int leadingEdgePoint(const Common& common);

struct PressureRequest {
    Compressibility correction = Compressibility::PrandtlGlauert;
    bool compareMethods = false;
    bool exact = true;  // the exact Cp, where the section has one
};

struct PressureResult {
    PlotData plot;
    double cpStar = 0;          // critical Cp at the free-stream Mach number (0 when Moo = 0)
    double criticalMach = 0;    // where the lowest Cp of the press's method reaches Cp*
    double exactCL = 0;         // for a Karman-Trefftz section
    bool hasExact = false;
    std::string message;        // why the overlay is missing (a refusal of a method)
    // The press's angle solved again with the plotted correction, so the
    // coefficients beside the plot belong to the curve on it (the main
    // window keeps the Prandtl-Glauert values of the press).
    bool hasCoefficients = false;
    double CL = 0, CM = 0;
    // Whether the correction holds for the press's method: past the critical
    // Mach number the coefficients are no result, below the vacuum limit the
    // corrected curves are left out as well.
    CorrectionValidity validity = CorrectionValidity::Valid;
};

// -Cp against x/c, upper surface solid and lower surface dashed, for the
// method of the press; with a Mach number the incompressible and the
// corrected curves and the Cp* line. With compareMethods one curve per method
// over the whole contour (corrected when a Mach number is given).
PressureResult pressurePlot(const PressCase& press, const PressureRequest& request);

// Angles from..to by step (degrees); empty with a refusal in `refusal` when
// the step is zero, points away from `to` or gives more than 1001 angles.
std::vector<double> sweepAngles(double from, double to, double step, std::string& refusal);

struct PolarResult {
    std::vector<PanelMethod> methods;
    std::vector<std::vector<OperatingPoint>> points;  // per method, per angle
    // The boundary layer per method and angle (see computePolar); empty
    // for an inviscid polar.
    std::vector<std::vector<ViscousPoint>> viscous = {};
    BoundaryLayerSetup layer = {};
    // The free-stream Mach number and the correction the points carry.
    double mach = 0;
    Compressibility correction = Compressibility::PrandtlGlauert;
    double alpha0Deg = 0;  // zero-lift angle of the first method's CL curve
    bool hasAlpha0 = false;
    std::string message;
    bool cancelled = false;
    // The coupled viscous-inviscid analysis per method and angle (see
    // computeCoupledPolar); empty otherwise. The points above are then the
    // incompressible inviscid flow at the same angles, for reference.
    std::vector<std::vector<CoupledPoint>> coupled = {};
    coupled::CoupledOptions coupledOptions = {};  // Re, Ncrit and trips of the coupled points
};

// The polar of the press's contour and conditions (its eta, Moo and the
// chosen correction) for each method; the first method's CL curve gives the
// zero-lift angle of the thin-airfoil line.
// With layer.Re > 0 the boundary layer of every angle goes to polar.viscous.
PolarResult computePolar(const PressCase& press, std::span<const PanelMethod> methods,
                         std::span<const double> alphasDeg, Compressibility correction,
                         const SweepProgress& keepGoing = {},
                         const BoundaryLayerSetup& layer = {});

// Zero-lift angle of a CL curve: interpolated between the two angles where CL
// changes sign, or the secant through the two points nearest CL = 0.
std::optional<double> zeroLiftAngle(std::span<const OperatingPoint> points);

// Whether the correction holds at each angle of method k (all true without a
// Mach number).
std::vector<bool> validPoints(const PolarResult& polar, std::size_t k);
// What the plots leave out: one line per method and kind, as the batch warns.
std::vector<std::string> correctionWarnings(const PolarResult& polar);

// The plots leave out the angles where the correction does not hold. The
// thin-airfoil line takes the Prandtl-Glauert factor with a Mach number.
PlotData polarLiftPlot(const PolarResult& polar);
PlotData polarMomentPlot(const PolarResult& polar);
// The polar as the sweep's writers take it (the xfoil-layout polar, the
// coefficient CSV), with the section named as the window names it.
std::vector<MethodSweep> methodSweeps(const PolarResult& polar);
SweepConditions polarConditions(const PressCase& press, Compressibility correction);
// "Circle", "NACA 0012", "Karman-Trefftz section", or the contour's own name.
std::string sectionName(const PressCase& press);

// The case in words, for the titles of the plots and the window's header:
// "NACA 0012, 101 points, Hess, α = 2°, η = 0°, M∞ = 0.5". The angle of
// attack is left out with withAlpha false (a polar sweeps it), the method
// with withMethod false (a polar or study names its own methods), the Mach
// number with incompressible (the convergence study).
struct CaseText {
    bool withAlpha = true;
    bool withMethod = true;
    bool incompressible = false;
};
std::string caseTitle(const PressCase& press, CaseText parts = {});
// "title — case": a plot named for the case it was computed for.
PlotData titledForCase(PlotData plot, const std::string& caseText);
// The same, the case also in the comment line its CSV opens with.
PlotData namedForCase(PlotData plot, const std::string& caseText);

// Whether two presses share the contour (the same end points), eta and Mach
// number, and with alpha also the angle of attack: a polar or a convergence
// study computed for one holds for the other.
bool sameFlowCase(const PressCase& a, const PressCase& b, bool alpha);

// The counts of the convergence study.
inline constexpr int kConvergenceCounts[] = {25, 51, 101, 199};

struct ConvergenceResult {
    std::vector<int> counts;
    // CL per method and count; NaN where the method refused.
    std::vector<std::vector<double>> CL;
    bool hasExact = false;
    double exactCL = 0;
    std::string message;
    bool cancelled = false;
};

// The press's contour regenerated with np end points (circle, NACA 0012,
// Karman-Trefftz section); false for a source that cannot be regenerated.
bool regeneratedContour(const PressCase& press, int np, Common& out);

// CL of the four methods at the press's alpha and eta, incompressible, for
// every count of the study.
ConvergenceResult computeConvergence(const PressCase& press,
                                     const SweepProgress& keepGoing = {});

PlotData convergenceLiftPlot(const ConvergenceResult& result);
// |CL - CL exact| on logarithmic scales; empty series without an exact CL.
PlotData convergenceErrorPlot(const ConvergenceResult& result);

}  // namespace tavrix
