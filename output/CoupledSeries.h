// What the analysis window plots of the coupled viscous-inviscid analysis,
// computed without any window: the viscous polar of every coupled method
// (lift with its maximum and the inviscid line for reference, drag, the drag
// polar, moment, transition), and at one operating point the viscous
// against the inviscid pressure, the displacement body with the wake, and
// the boundary layer's quantities along both surfaces and the wake. Points
// that did not converge are marked hollow where their iteration stopped and
// never joined into a curve; what is drawn is what is exported.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "output/AnalysisSeries.h"
#include "viscous/CoupledPolar.h"

namespace tavrix {

// The coupled polar of the press's contour for each method (the methods
// that are not coupled refused with their message in polar.message), at
// the angles given, swept outward from the angle nearest 0. The coupled
// analysis is incompressible: polar.points hold the inviscid flow at M = 0
// at the same angles (the reference line), polar.mach is 0.
// keepGoing(done, total) counts the angles of all methods; a cancelled run
// keeps what it solved (polar.cancelled).
PolarResult computeCoupledPolar(const PressCase& press, std::span<const PanelMethod> methods,
                                std::span<const double> alphasDeg,
                                const coupled::CoupledOptions& options,
                                const SweepProgress& keepGoing = {});

// The coupled point of the press's contour with `method` at the press's
// angle (with options.targetCl, at the angle of that lift); the inviscid
// reference is the press itself.
CoupledPoint computeCoupledPoint(const PressCase& press, PanelMethod method,
                                 const coupled::CoupledOptions& options);

// The maximum lift of method k of a coupled polar (none in range when the
// lift still rises at the last converged angle).
std::optional<coupled::LiftMaximum> polarLiftMaximum(const PolarResult& polar, std::size_t k);

// The polar plots of a coupled polar, one colour per method:
// - lift: the viscous CL(alpha) of the converged points joined, the points
//   that did not converge hollow at their last iterate's lift (notes: the
//   reason), the inviscid CL as a reference line, and CLmax as a single
//   marker named "CLmax = 1.52 at α = 15°" (per method when several);
// - drag: CD(alpha), likewise with hollow points at the last iterate's CD;
// - drag polar: CL against CD of the converged points;
// - moment: CMc/4(alpha) of the converged points;
// - transition: x/c of upper and lower transition against alpha (1 when
//   laminar to the trailing edge).
PlotData coupledLiftPlot(const PolarResult& polar);
PlotData coupledDragPlot(const PolarResult& polar);
PlotData coupledDragPolarPlot(const PolarResult& polar);
PlotData coupledMomentPlot(const PolarResult& polar);
PlotData coupledTransitionPlot(const PolarResult& polar);

// The pressure of one coupled point against the inviscid pressure of the
// press (`inviscid`, the plot of pressurePlot for the same method): -Cp
// against x/c, the viscous upper surface solid and lower dashed over the
// inviscid curves drawn as references; transition and separation marked.
PlotData coupledPressurePlot(const CoupledPoint& point, const PlotData& inviscid,
                             PanelMethod method);

// The viscous -Cp of several coupled methods at one point, each method's
// surfaces in its colour (upper solid, lower dashed); the points that did
// not converge are left out (named in the window's notes).
PlotData coupledPressureComparison(std::span<const CoupledPoint> points,
                                   std::span<const PanelMethod> methods);

// The airfoil, its displacement body (each station moved by delta* along
// the outward normal of its surface) and the wake (its centre line and
// delta*/2 to either side), y against x in chords; transition and separation
// marked.
PlotData displacementBodyPlot(const CoupledPoint& point);

// One quantity of the layer along the upper and lower surfaces and the wake
// against x/c (the wake beyond 1).
enum class CoupledLayerQuantity { EdgeSpeed, Theta, DisplacementThickness, ShapeFactor, SkinFriction,
                           Amplification, ShearStress };
PlotData coupledLayerPlot(const CoupledPoint& point, CoupledLayerQuantity quantity);

// The case of a coupled run in words, for titles and CSV headers:
// "NACA 4415, Vortex panel, viscous (coupled), Re 3e6, Ncrit 9, M 0,
// α −4° to 20°" (the angle range left out when alphas is empty, the method
// when methodName is empty).
std::string coupledCaseText(const PressCase& press, const std::string& methodName,
                            const coupled::CoupledOptions& options,
                            std::span<const double> alphasDeg);

// coupledCaseText of a coupled polar (its angles, its methods unnamed) and
// of a coupled point of the press's method (", α = 4°" after it).
std::string coupledPolarCaseText(const PressCase& press, const PolarResult& polar);
std::string coupledPointCaseText(const PressCase& press, const coupled::CoupledOptions& options,
                                 const CoupledPoint& point);

// The polar as CSV: the case lines (caseCommentLines), then
// "method,alpha,converged,CL,CD,CDp,CDf,CM,Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,CL_inviscid,reason"
// and a row per method and angle (empty numbers on a point that did not
// converge), numbers that read back to the same doubles.
std::string coupledPolarCsvText(const PressCase& press, const PolarResult& polar);

}  // namespace tavrix
