// The coupled analysis of a contour as its users read it: an operating point
// with the forces of the viscous surface speed, its drag and the points where
// the layers turn turbulent and separate, or no coefficients at all and the
// reason the point did not converge; a polar of such points swept outward
// from 0 degrees, and its maximum lift.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "solvers/PanelGeometry.h"
#include "solvers/PanelSolution.h"
#include "viscous/CoupledSolver.h"
#include "viscous/LiftMaximum.h"

namespace tavrix {

// One coupled operating point as it is shown, printed and written.
struct CoupledPoint {
    double alphaDeg = 0;  // the angle of the point (found, for a prescribed lift)
    bool converged = false;
    std::string reason;  // one line, when not converged
    int iterations = 0;  // Newton steps of the last attempt
    // The rest only when converged, all finite.
    double CL = 0, CM = 0;  // of the viscous surface speed; CM about the quarter chord
    double CD = 0, CDp = 0, CDf = 0;
    std::optional<double> transitionUpper, transitionLower;  // x/c; none: laminar to the edge
    std::optional<double> separationUpper, separationLower;  // first Cf < 0; none: attached
    std::vector<coupled::StationResult> stations;
    // The end points of the contour pressed and of the panels the layer ran
    // on (more where the contour was subdivided for it: layerPanels).
    int contourPoints = 0, layerPoints = 0;
    // A point that did not converge: the lift and drag of its last finite
    // iterate, for a plot that marks where the iteration stopped (hollow,
    // never as a result); none when they are not finite.
    std::optional<double> lastIterateCL, lastIterateCD;
};

// Chord fraction of a transition point in xfoil's convention: 1 when the
// layer stays laminar to the trailing edge.
inline double transitionXc(const std::optional<double>& x) { return x.value_or(1.0); }

// The panels the coupled analysis runs on. The layer's stations are the
// panels' points, and the nose carries its stagnation point, its laminar
// separation bubble and its transition within a few hundredths of the chord:
// on 51 points (the press's default) or 101 they fall on one or two stations,
// and the iteration fails at a fifth to a half of the angles (NACA 0012 at
// Re 3e6, -4 to 16 degrees) where it converges on the same section finely
// panelled; on 161 cosine-spaced points, whose panels near the nose are half
// as long again as xfoil's, at a few. A contour is therefore subdivided for
// the layer, panels split into equal parts along the spline through the
// points (its own points all kept), and solved again with the method:
// - where it has fewer than kLayerLeastPoints, every panel into the fewest
//   parts that give at least kLayerPoints end points;
// - where a panel whose mid point lies within kLayerNoseReach of the chord
//   from the nose is longer than kLayerNosePanel of the chord (xfoil's 161
//   nodes: 0.004; 161 cosine-spaced points: 0.0058), the panels within
//   kLayerNoseSplit of it into the fewest parts that make that one short
//   enough (NACA 0012 of 161 such points: 183 points, where every panel
//   split in two, 321 points, took three times as long a polar); on a
//   contour subdivided throughout (the first rule), to kLayerCoarseNosePanel
//   at Re 1e6, as 1/sqrt(Re) about it as the nose's laminar layer and its
//   bubble thin or thicken (0.00144 at 3e6, 0.00079 from 1e7 on; no longer
//   than kLayerNosePanel, which holds below Re 2.5e5: there the finer nose
//   lost points stalled from the nose that the sweep reaches through half
//   the Reynolds number). On the parts of 0.003 to 0.004 chord the nose had
//   before, the bubble at high angles spans three or four stations, and its
//   end could reattach the turbulent layer within one interval onto a
//   branch whose shape factor stays near 1.15, held there by the shear
//   stress it starts with (the press's NACA 0012 of 51 points, Hess method,
//   Re 1e6: CL 1.374 at 13 degrees between 1.256 at 12.5 and 1.323 at 13.5,
//   printed as the maximum lift); at Re 3e6 the couplings on control points
//   failed from 10 to 12.5 degrees and their lift jumped by 0.05 to 0.1 from
//   one half degree to the next through the maximum. On the finer nose the
//   lift curves run smooth through their maximum and the couplings converge
//   at more angles (figures in docs/validation.md);
// - where the trailing edge's wedge (between the chords from its end points
//   to the points kLayerEdgeReach along each surface) is narrower than
//   kLayerThinEdge degrees and its panels are longer than twice
//   kLayerEdgePanel of the chord, the panels within kLayerEdgeSplit of the
//   edge into the fewest parts no longer than kLayerEdgePanel or half
//   their distance from the edge, whichever is longer. The coupling slows
//   the flow at the edge point below the speed the layer leaves it with,
//   the more the thinner the edge, and on a thin edge the layer separates
//   over a long last panel (NACA 0006 of 161 points with 0.008-chord edge
//   panels converged at no angle at Re 3e6, NACA 0008's at 0 and 1 degrees
//   on a layer separated at the edge). NACA 0010 (a 13-degree wedge on
//   xfoil's nodes, where the split edge moved the lift from 1 to 5 % below
//   xfoil's to 4 % above it), NACA 0012 (16 degrees) and fine cosine-spaced
//   edges (0.0004 chord) are left as they are.
// The refined panels, or none where the contour needs no parts (or the
// subdivision cannot be solved: the press's panels then).
inline constexpr int kLayerLeastPoints = 161;
inline constexpr int kLayerPoints = 241;
inline constexpr double kLayerNoseReach = 0.02;
inline constexpr double kLayerNosePanel = 0.005;
inline constexpr double kLayerCoarseNosePanel = 0.0025;
inline constexpr double kLayerCoarseNoseReynolds = 1e6;  // (where it is kLayerCoarseNosePanel)
inline constexpr double kLayerFinestNoseReynolds = 1e7;
inline constexpr double kLayerNoseSplit = 0.05;
inline constexpr double kLayerThinEdge = 12;
inline constexpr double kLayerEdgeReach = 0.02;
inline constexpr double kLayerEdgePanel = 0.0005;
inline constexpr double kLayerEdgeSplit = 0.1;
std::optional<PanelSolution> layerPanels(const PanelSolution& press, double re);
// The coupling's basis on the layer's panels of a press at Reynolds number
// re (the press's own where layerPanels leaves them), the vortex panel
// coupling with its edge row on every contour subdivided throughout (fewer
// than kLayerLeastPoints points), elsewhere where the method's conditions
// leave the edge vorticity ill-determined, and with the condition of a
// fluid at rest inside the contour where they fix it
// (coupled::VortexEdgeRow).
Outcome<coupled::CouplingBasis> layerBasis(const PanelSolution& press, double re);
// The longest panel, in chords, whose mid point lies within kLayerNoseReach
// of the chord from the nose (the point farthest from the trailing edge's
// mid point), x/c measured along the chord.
double longestNosePanel(const PanelGeometry& geometry);

// The point of a result on the panels it was computed on. A result that
// converged to forces or drags that are not finite is a point that did not
// converge.
CoupledPoint coupledPointOf(const PanelGeometry& geometry, const coupled::CoupledResult& result);

// A point that did not converge, for the reason given (on one line).
CoupledPoint notConvergedPoint(double alphaDeg, const std::string& reason);

// The coupled point of the solved panels (layerPanels) at an angle: with options.targetCl
// the angle is found for that lift, walking from alphaDeg
// (coupled::solveForLift); otherwise a
// point that does not converge from a fresh start is walked to from 0
// degrees (coupled::solveWithContinuation).
CoupledPoint coupledPointAt(const PanelSolution& solution, double alphaDeg,
                            coupled::CoupledOptions options);

// The same on the panels of a contour (x, y the end points, eta the
// rotation), solved with the method; a contour or method refused is a
// point not converged with the refusal as its reason.
CoupledPoint coupledPointAt(std::span<const double> x, std::span<const double> y, double etaDeg,
                            PanelMethod method, double alphaDeg,
                            const coupled::CoupledOptions& options);

// keepGoing(done, total) is asked before each angle of a coupled sweep;
// false cancels it: the angles solved so far are kept, the others are
// reported as not converged, cancelled.
using CoupledProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The reason of an angle a cancelled sweep did not reach.
inline constexpr const char* kCancelledReason = "cancelled before this angle was solved";

// The coupled points of a sweep's angles with one method on the solved
// panels (layerPanels), outward from the angle nearest 0 with warm starts and retries
// (coupled::sweepCoupled), in the order of the angles.
std::vector<CoupledPoint> coupledSweep(const PanelSolution& solution,
                                       const std::vector<double>& alphasDeg,
                                       const coupled::CoupledOptions& options,
                                       const CoupledProgress& keepGoing = {});

// The same on the contour (x[i], y[i]) turned by etaDeg; a refusal of the
// panels makes every point one that did not converge, with the refusal as
// its reason.
std::vector<CoupledPoint> coupledSweep(std::span<const double> x, std::span<const double> y,
                                       double etaDeg, PanelMethod method,
                                       const std::vector<double>& alphasDeg,
                                       const coupled::CoupledOptions& options,
                                       const CoupledProgress& keepGoing = {});

// The maximum lift of the converged points (coupled::liftMaximum): none
// when the lift still rises at the last converged angle.
std::optional<coupled::LiftMaximum> liftMaximumOf(std::span<const CoupledPoint> points);

}  // namespace tavrix
