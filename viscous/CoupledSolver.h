// The coupled viscous-inviscid analysis: one Newton iteration on the whole
// system of the boundary layers of both surfaces and the wake and their
// coupling with the outer flow.
//
// Unknowns per station (the augmented state): theta, delta*, c (n while
// laminar, sqrt(C_tau) once turbulent) and the edge speed ue = |q|. Equations
// per station: the three layer equations of the interval that ends there
// (the similarity start at the first station of a surface, the merge of the
// two trailing-edge layers at the start of the wake) and the coupling
//     q_i = qInviscid_i + sum_j D_ij mTilde_j,  mTilde_j = q_j delta*_j.
// Between Newton steps the stagnation point is relocated from the sign change
// of q and the transition interval from where n reaches Ncrit; each update is
// limited by one relaxation factor. Lengths are in chords, speeds in
// free-stream speeds.
#pragma once

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "viscous/InviscidCoupling.h"
#include "viscous/IntegralLayer.h"

namespace tavrix::coupled {

struct CoupledOptions {
    double re = 1e6;
    double ncrit = 9;
    // Forced transition, x/c of the station frame on each surface (beyond 1: free).
    double tripUpperX = 2;
    double tripLowerX = 2;
    int maxIterations = 60;
    // Converged once the largest residual is below this.
    double tolerance = 1e-9;
    // CL-prescribed run: with a target and the lift of a speed distribution
    // (signed q at the airfoil stations, angle in degrees), the angle of
    // attack becomes an unknown with the residual CL - targetCl. The inviscid
    // speed follows the angle exactly, q = A cos(alpha) + B sin(alpha) from
    // qInviscid and dqdAlpha; the wake keeps the stations' geometry.
    std::optional<double> targetCl;
    std::function<double(const std::vector<double>& q, double alphaDeg)> liftOf;
    // Called after each Newton step with its report (progress in a window,
    // a trace of a point that does not converge).
    std::function<void(const struct IterationReport&)> monitor;
};

// One Newton step as the monitor sees it.
struct IterationReport {
    int iteration = 0;
    double residual = 0;     // largest residual before the step
    int worstStation = 0;    // where it sits
    int worstEquation = 0;   // 0 momentum, 1 shape, 2 amplification or shear lag, 3 coupling
    double relaxation = 0;   // the step's factor after limits and line search
    // The unknown whose limit set the factor (0 theta, 1 delta*, 2 n or
    // sqrt(C_tau), 3 ue) and its station; -1: no limit acted.
    int limitingStation = -1, limitingUnknown = -1;
    int stagnation = 0;      // the stagnation interval
    // First turbulent station of each surface in marching order (-1: none).
    int transitionLower = -1, transitionUpper = -1;
    bool classificationChanged = false;
    // The step's linear system (valid during the call only), and how it was
    // solved (NewtonSolveRoute): 0 in its structure, 1 so with a step of
    // refinement, 2 by the dense LU, 3 by GMRES on the mass defects with an
    // approximate inverse.
    const struct NewtonSystem* system = nullptr;
    int solveRoute = 0;
};

enum class Side { Lower, Upper, Wake };

// The iteration's state, kept for a warm start of a neighbouring point.
struct CoupledState {
    std::vector<LayerVars<double>> vars;  // per station
    std::vector<char> turbulent;          // per airfoil station
    int stagnation = -1;                  // q changes sign between this and the next station
    bool valid() const { return !vars.empty() && stagnation >= 0; }
};

struct StationResult {
    Side side = Side::Upper;
    double x = 0, y = 0;
    double xi = 0;   // arc length from the stagnation point (wake: from the trailing edge)
    double q = 0;    // signed speed
    double ue = 0, theta = 0, dstar = 0, H = 0, cf = 0;
    bool turbulent = false;
    double n = 0;     // amplification (laminar stations)
    double ctau = 0;  // shear-stress coefficient (turbulent stations and the wake)
};

struct CoupledResult {
    bool converged = false;
    std::string reason;  // why not, when not converged
    int iterations = 0;
    double residual = 0;  // largest residual at the end
    std::vector<double> residualHistory;

    double alphaDeg = 0;  // the stations' angle, or the one found for the target CL
    // 2 x the circulation of the viscous surface speed about the airfoil
    // stations (the lift by Kutta-Joukowski, per chord, without the
    // geometry of the panels): how a sweep compares the lift of its points.
    double circulationLift = 0;
    double cd = 0, cdf = 0, cdp = 0;
    // x/c of transition (free or forced) and of the first laminar or
    // turbulent separation (Cf < 0) on each surface; empty where there is none.
    std::optional<double> transitionUpper, transitionLower;
    std::optional<double> separationUpper, separationLower;

    // Signed viscous speed at the airfoil stations (for Cp), and at the
    // panels' mid points (for the forces: viscousForces(geometry, qPanels,
    // alpha)).
    std::vector<double> q, qPanels;
    std::vector<StationResult> stations;
    CoupledState state;
};

// The index of the first point of a run of values (speeds or momentum
// thicknesses along a surface or the wake) where they zigzag: four
// successive changes alternating in sign, each more than half a per cent of
// the value, or two, each more than a fifth of it. A converged iterate that
// does so is a mode of the discrete system, not a flow, and solveCoupled
// reports it as not converged.
std::optional<std::size_t> firstZigzag(const std::vector<double>& speed);

// Runs the coupled analysis on the stations. A warm start that fits the
// stations is used as the first iterate; otherwise the layers are marched on
// the inviscid speed, and up to three tries are made from there: the
// stations the transition leaves downstream taking the laminar shape, then
// keeping their own, then from a march that holds the edge speed over the
// last panels. Never returns NaN values: a point that fails is reported as
// not converged with its reason (the first try's) and the last finite
// iterate.
CoupledResult solveCoupled(const CouplingStations& stations, const CoupledOptions& options,
                           const CoupledState* warmStart = nullptr);

class NewtonSolver;
// solveCoupled with the Newton solver's work space of the caller (the tries
// of a sweep's branch keep it from one angle to the next).
CoupledResult solveCoupledWith(const CouplingStations& stations, const CoupledOptions& options,
                               const CoupledState* warmStart, NewtonSolver& newton);

// One point of a sweep: its angle and result (not converged, with the reason,
// when the stations could not be built or the iteration failed).
struct SweepPoint {
    double alphaDeg = 0;
    CoupledResult result;
    // How the point was reached: 0 from a fresh start, 1 warm from its
    // neighbour, 2 through intermediate angles, 3 through a lower Reynolds
    // number (swept at half of it, then walked up).
    int route = 0;
};

// The stations of an angle of attack (the wake and D of that angle).
using StationsOfAngle = std::function<Outcome<CouplingStations>(double alphaDeg)>;

// A converged point of a sweep beyond an angle that failed, whose lift runs
// ahead of the lift curve before the failure, and the last point of that
// curve.
struct BranchJump {
    std::size_t point = 0, lastBefore = 0;
};

// Whether a converged point's friction drag stands out above both its
// neighbours' (the nearest converged angles below and above): by more than
// 15 % of the larger and 0.0003. Behind a bubble near the nose a layer can
// converge on another branch of the equations, a turbulent layer at H near
// 1.1 in an adverse gradient whose friction steps up at one angle and back
// down at the next (NACA 0009 of 201 points at Re 6e6, Ncrit 5, 13.5
// degrees: CDf 0.00654 between 0.00435 at 11.5 and 0.00413 at 14 degrees;
// xfoil on the same points 0.00411); the friction of a flow changes
// smoothly from angle to angle, or steps once where a transition jumps and
// stays there.
bool frictionStandsOut(double cdf, double cdfBelow, double cdfAbove);

// The shape factor of a turbulent layer in equilibrium on a flat plate at
// Re_theta: the G-beta locus with beta = 0, (Hk - 1)/Hk = A sqrt(Cf/2), with
// the closure's Cf(Hk, Re_theta) (1.47 at Re_theta 500, 1.26 at 1e6).
double flatPlateShapeFactor(double reTheta);

// How far a converged layer's turbulent stations on the airfoil fall below
// flatPlateShapeFactor at their own Re_theta (re: the chord's Reynolds
// number), at the station where they fall furthest; shortfall 0 where none
// falls below.
struct ShapeShortfall {
    double shortfall = 0;
    Side side = Side::Upper;
    double x = 0, H = 0, flatPlate = 0;
};
ShapeShortfall turbulentShapeShortfall(const CoupledResult& result, double re);

// Behind a bubble near the nose a layer can converge on another branch of
// the equations: its turbulent part runs at H 1.1 to 1.25 in an adverse
// gradient, where a turbulent layer's shape factor lies above its
// equilibrium on a flat plate. Over 1908 converged points of four couplings
// (xfoil's and the program's NACA sections, Re 2e5 to 9e6) a shortfall
// above this came only with CD 6 to 20 % above xfoil's on the same points
// (wherever xfoil's polar has the angle); the points as good as any fall
// short by 0.2 at most (NACA 0006 on xfoil's nodes, Soinne-Laine, Re 3e6, 5
// to 7 degrees: 0.19, CD within 2.6 %).
inline constexpr double kShapeShortfallOfAnotherBranch = 0.2;

// The point reported as not converged, with the reason, where its layer
// falls short of kShapeShortfallOfAnotherBranch (a converged point only).
void reportShapeBelowTurbulent(SweepPoint& point, double re);

// Past the stall a fresh start can land on another branch of the
// equations: a layer that stays attached far beyond the stall, with a lift
// the sweep never reached continuously. Walking outward from the angle
// nearest 0 (upwards, then downwards), beyond an angle that failed a
// converged point whose lift (or, downwards, negative lift) exceeds the
// lift curve before the failure continued at its last slope (2 pi per
// radian from a single point), with a fifth and 0.02 to spare, is that
// branch, not the stalled flow; so is, without a failure, a point whose
// lift rises from the last by more than one and a half times the
// thin-airfoil slope (and 0.02) once the lift has fallen from one angle to
// the next.
std::vector<BranchJump> liftAheadOfTheCurve(const std::vector<double>& alphas,
                                            const std::vector<double>& lift,
                                            const std::vector<char>& converged);

// Runs the angles outward from the one nearest 0, upwards and downwards at
// once on two threads (stationsOf is called from both and must allow it;
// the results are those of each branch run alone). Each angle starts warm:
// from the secant of the last two converged angles of its branch (each
// unknown continued linearly in the angle), then from the last one alone
// (the first angle from a fresh start: the one nearest 0; where it fails,
// the next two at once, the nearer that converges; where none of them does,
// the nearest walked to from 0 as solveWithContinuation walks); one that fails is
// retried through two and four smaller steps from the neighbour, then from
// the secant of the two converged angles before the neighbour, then from a
// fresh start. Each branch keeps the stations of its last few angles for
// the retries, and the thread of the branch done first builds the other's
// stations ahead of it (each angle's once, whichever thread asks first).
// Then a point still not converged is reached back
// from the nearest converged angle on either side of it (in two steps, four
// from more than a degree away), for as long as that brings more points in;
// one that still fails between two converged angles is solved as a single
// point is (solveWithContinuation), so that a sweep converges wherever a
// single point of the same angle does; what still fails beyond the maximum
// lift of its side (the converged lift
// there below a larger one nearer 0) is swept at half the Reynolds number
// (with the converged angle next to each run of failures, on the side of
// 0) and, where that
// converges, walked back up to the sweep's Reynolds number in steps of 1.2,
// each warm from the last (past the maximum lift at a small Reynolds number
// this reaches the flow stalled from the nose, which neither the walk in
// angle nor a fresh start finds; the sweep there, or the walk to its start,
// may halve the Reynolds number once more); what remains is reported as not
// converged. Then a converged point whose friction drag stands out above
// both its converged neighbours' is reported as not converged: another
// branch of the equations, to which every such point checked came back when
// solved again warm from either neighbour (frictionStandsOut). Last, beyond an angle that
// failed, a point whose lift runs ahead of the lift curve before the
// failure is reported as not converged: past the stall it is another,
// attached branch of the equations (liftAheadOfTheCurve). Returns the
// points in the order of `alphas`.
// keepGoing(done, total), when given, is asked before each angle of the
// outward pass and before each attempt (done of total), and before each
// angle reached back (total of total), never from two threads at once;
// false cancels the sweep: the points solved so far are kept (the other
// branch's angle under way may still finish), the others are reported as
// not converged with `cancelledReason` and no Newton steps.
std::vector<SweepPoint> sweepCoupled(
    const std::vector<double>& alphas, const StationsOfAngle& stationsOf,
    const CoupledOptions& options,
    const std::function<bool(std::size_t done, std::size_t total)>& keepGoing = {},
    const std::string& cancelledReason = "cancelled");

// One operating point that is not given up lightly: a fresh start at the
// angle, and when that does not converge or the angle lies beyond 8 degrees
// (within 25), a walk from 0 to it by whole degrees (from the first whole
// degree outward whose fresh start converges), each angle warm from the
// last (in two and four steps where one does not do, then from a fresh
// start), ending at the first angle it cannot reach. Within a degree of 0,
// a point that fails fresh is reached from a fresh start one degree away
// (on its side first), warm, then in two and four steps. The walk's point, when
// it gets there, is the answer (route 2: the branch continuous from 0); a
// fresh start that converged where the walk could not reach is reported as
// not converged when its lift runs ahead of the walked lift curve
// (liftAheadOfTheCurve). A point still not converged is reached, as a
// sweep reaches it, through half the Reynolds number (the walk's angles
// swept there, then the Reynolds number walked up at the angle: route 3).
SweepPoint solveWithContinuation(double alphaDeg, const StationsOfAngle& stationsOf,
                                 const CoupledOptions& options);

// The lift of the speeds q at the airfoil stations of the stations given, at
// an angle in degrees (the forces of the panels the stations belong to).
using LiftOfStations =
    std::function<double(const CouplingStations& stations, const std::vector<double>& q, double alphaDeg)>;

// The angle of attack of a viscous lift, searched from startDeg: the point
// at the start as solveWithContinuation reaches it, then a walk towards
// the target lift in steps of at most a degree along the lift curve
// (predicted by its secant, at first by the thin-airfoil slope), each
// angle warm from the secant of the last two or from the last (in two and
// four steps where that does not do), then from a fresh start, there or
// one step further (an angle of the curve may fail alone). Within a
// degree of the target the angle becomes an unknown of the Newton system
// (CL - target), warm from
// the nearest point walked; the stations (the wake along the streamline of
// the angle) are then built again at the angle found and the point solved
// again, until the two angles agree within kLiftWakeAngle. A walk whose
// lift moves away from the target (beyond the largest or below the
// smallest lift the section gives) or that cannot reach its next angle is
// reported as not converged, with the lift and angle it reached.
// options.targetCl and options.liftOf are ignored: the target is
// targetCl, the lift liftOf.
inline constexpr double kLiftWakeAngle = 0.005;
SweepPoint solveForLift(double startDeg, double targetCl, const StationsOfAngle& stationsOf,
                        const CoupledOptions& options, const LiftOfStations& liftOf);

}  // namespace tavrix::coupled
