// The inviscid side of the coupled viscous-inviscid analysis.
//
// The boundary layer and its wake act on the outer flow through their
// displacement: a source sheet of strength sigma = d(ue delta*)/ds along the
// surface and the wake. For one contour, panel method and angle of attack
// this unit gives the stations where the layer lives, the inviscid speed
// there, and the linear map from the mass defect to the change of that
// speed:
//
//     q_i = qInviscid_i + sum_j D_ij mTilde_j
//
// q is the tangential speed with its sign: on the airfoil positive along the
// contour (clockwise from the trailing edge: lower surface, nose, upper
// surface), in the wake positive downstream. mTilde_j = q_j delta*_j is the
// mass defect with the sign of the speed, so that sigma = d(mTilde)/ds
// whichever way the layer runs. A layer running against the contour (the
// lower surface) has ue = -q and m = ue delta* = -mTilde.
//
// Discretisation of the displacement sources:
// - Where the sources sit: a uniform source sheet on every airfoil panel
//   (the contour's own panels, end point I to I + 1) and on every wake panel.
// - The stations of the Soinne-Laine method: the panels' end points 1..NP,
//   where its linear vorticity is the surface speed and its stream-function
//   conditions hold (nAirfoil = NP); sigma_p = (mTilde(end) -
//   mTilde(start)) / length_p straight from the stations at the two ends of
//   panel p. Speed and mass defect sit one half panel apart (staggered):
//   the outer flow answers a defect that alternates from station to
//   station with a full swing of the speed, so that no such zigzag can
//   ride on the converged layer.
// - The stations of the other methods: the lower trailing-edge point (end
//   point 1), the mid points of the airfoil panels 1..NPanel (where their
//   speed is defined), the upper trailing-edge point (end point NP): nAirfoil
//   = NPanel + 2. No station lies on the end of a sheet but the two
//   trailing-edge points, whose speed (and its response to every source) is
//   extrapolated linearly in arc length from the two control points next
//   to them on their own surface: the layer reaches the edge itself, where
//   its defect enters the wake. sigma from mTilde: mTilde is carried to the
//   panel end points and differenced over each panel, so that the outflow
//   of any run of panels is the change of mTilde along it; an interior end
//   point takes the linear interpolation (in arc length) between the
//   stations on either side. (At the mid points the coupling is blind to
//   a defect alternating from station to station: the interpolated end
//   values cancel, and alternating sources induce no speed at the mid
//   points of a straight run. The layer equations alone hold such a mode
//   down there, but for the local interaction law that answers it:
//   kAlternatingDefectLaw.)
// - The wake's stations: one per wake panel, at its mid point, or three
//   quarters of the way down it for the Soinne-Laine method (off the middle
//   the outer flow answers an alternating defect there too). An interior
//   end point interpolates between its two stations and the last one
//   extrapolates from the last two (the last station's value with one wake
//   panel). The wake's first end point, at the trailing edge, carries the
//   sum of the two layers' defects there, mTilde(upper edge) -
//   mTilde(lower edge) (the lower surface's defect is -mTilde): no point
//   source sits at the edge.
// - Boundary conditions: the sources enter the method's own condition at
//   its own points, evaluated on the inside of the contour (a panel's own
//   sheet gives -sigma / 2 there), so that the fluid outside flows out
//   through the contour at sigma while the method's picture of the inside
//   stays as it was: zero normal velocity (vortex panel, Hess) or a constant
//   stream function on the contour (Soinne-Laine, Kennedy-Marsden; the
//   sources' stream function is taken with each branch cut running off the
//   contour into the fluid: along the outward normal from an airfoil source,
//   downstream along the wake from a wake source). The trailing-edge
//   condition stays as the method states it, but for the Soinne-Laine
//   method: its two conditions gamma = 0 at both trailing-edge points make
//   the edge a stagnation point, which the displacement body (blunt at the
//   edge) does not have. Its coupling solves, for the inviscid speed as for
//   the sources' response, the stream-function conditions at end points
//   2..NP with equal speeds leaving the edge on both surfaces, gamma(1) +
//   gamma(NP) = 0, and no flow through the contour at the control points of
//   the two trailing-edge panels on average (the vortex panel method's
//   rows there). Its qInviscid thus differs from the press's speed near the
//   edge. The vortex panel method's conditions are nearly dependent (a
//   vortex sheet carries no net flux through a closed contour), which leaves
//   a pattern of the strengths at the edge to the remainder of that
//   near-dependence; one condition is replaced by a row that fixes it
//   (CouplingBasis::replacedRow): the fluid at rest at a point inside the
//   contour near the edge, or, where the edge panels are short against the
//   next (cosine spacing) and the method's own edge vorticity ill-determined,
//   equal departures of the two edge strengths from the extrapolation of
//   their surfaces (CouplingBasis::atRest, VortexEdgeRow). The Hess
//   condition on
//   the tangential speeds of the first and last panel includes the sources'
//   speed there; the Kennedy-Marsden stream function at its point behind the
//   edge includes theirs. With the normal-velocity conditions the sources'
//   values at the mid points of a closed polygon carry a small net flux (a
//   discretisation remainder, zero for the continuous contour); it is taken
//   out evenly along the contour, since a vortex sheet can carry no flux
//   and would answer it with a spurious swing of the strengths at the
//   trailing edge.
// - Signs: sigma > 0 blows fluid out of the contour (out of both sides of
//   the wake); a layer that thickens downstream blows.
// - D is one solve per source panel with the factors of the solution
//   (O(N^2) each), then the sparse map from mTilde to sigma.
// - Speed: on the airfoil the method's own surface speed; with the fluid
//   inside at rest (vortex panel, Soinne-Laine, Kennedy-Marsden) the jump of
//   the vortex sheet already holds the sources' tangential speed, the Hess
//   method adds it to its own sum. In the wake q is the whole velocity
//   (free stream, the method's singularities, the sources) along the wake
//   panel, positive downstream.
// - The wake: nWake panels from the trailing edge (the mid point of the two
//   trailing-edge points of an open contour) along the streamline of the
//   angle: each panel points along the velocity at its own mid point (fixed
//   point iteration from the previous panel's direction; the first from the
//   bisector of the trailing edge). The first panel is as long as the mean
//   of the two trailing-edge panels; the lengths grow by one geometric
//   ratio to a total of wakeLengthChords chords (the chord from the
//   trailing-edge mid point to the farthest contour point); a single wake
//   panel takes the whole length. nWake = 0 chooses NPanel / 5, at least 10
//   and at most 40. The velocity of the panel solution anywhere in the
//   field is solvers/FieldVelocity.h.
#pragma once

#include <optional>
#include <vector>

#include "solvers/GaussFactors.h"
#include "solvers/PanelMethods.h"
#include "solvers/PanelSolution.h"
#include "solvers/Refusal.h"

namespace tavrix::coupled {

// Stations of the airfoil (the lower trailing-edge point, the control points
// of panels 1..NPanel, the upper trailing-edge point: nAirfoil = NPanel + 2)
// and of the wake (downstream from the trailing edge). All tables hold the
// airfoil's nAirfoil stations first and the wake's nWake stations after them.
struct CouplingStations {
    PanelMethod method = PanelMethod::VortexPanel;
    double alphaDeg = 0;
    int nAirfoil = 0;
    int nWake = 0;
    int size() const { return nAirfoil + nWake; }
    // The airfoil's source panels, and whether its stations are their end
    // points (the Soinne-Laine coupling) rather than their control points
    // and the two trailing-edge points.
    int airfoilPanels() const { return static_cast<int>(panelLength.size()) - nWake; }
    bool onEndPoints() const { return nAirfoil == airfoilPanels() + 1; }

    // Station points in the frame of the rotated contour, and the arc length
    // along the contour from the lower trailing-edge point (airfoil) or along
    // the wake from the trailing edge (wake).
    std::vector<double> x, y, s;
    // Wake panel end points, trailing edge first (nWake + 1 of them).
    std::vector<double> wakeX, wakeY;
    // Gap between the two trailing-edge points (0 for a closed contour).
    double trailingEdgeGap = 0;

    // The strengths of the method's unknowns (1..unknowns, index 0 unused)
    // the inviscid speeds come from: the press's at the angle, or those of
    // the Soinne-Laine coupling's own trailing-edge closure. The velocity
    // anywhere in the field is fieldVelocity with these.
    std::vector<double> strength;
    // Signed inviscid speed at the angle, and its derivative with respect to
    // the angle of attack in radians (for CL-prescribed runs).
    std::vector<double> qInviscid, dqdAlpha;
    // Row-major size() x size(): D[i * size() + j] = dq_i / dmTilde_j, the
    // source sheet's own speed plus the response of the vortex strengths
    // through the method's boundary conditions and Kutta condition.
    std::vector<double> D;
    double at(int i, int j) const { return D[static_cast<std::size_t>(i) * size() + j]; }

    // Lengths of the source panels: the airfoil's panels 1..NPanel, then the
    // wake's panels from the trailing edge, and where along each its station
    // sits, as a fraction of the length from the panel's first end (0.5: the
    // mid point; 0 on the airfoil: the stations are the end points).
    std::vector<double> panelLength, fraction;
    // The wake panels' directions (unit vectors, downstream), nWake of them.
    std::vector<double> wakeCos, wakeSin;
};

// q = qInviscid + D mTilde at every station (mTilde holds size() values).
std::vector<double> coupledSpeed(const CouplingStations& stations,
                                 const std::vector<double>& mTilde);

// sigma of every source panel (airfoil panels, then wake panels) for the
// mass defects mTilde (size() values), as D is built from them.
std::vector<double> sourceStrengths(const CouplingStations& stations,
                                    const std::vector<double>& mTilde);

// The methods whose formulation the coupling is built for; the others are
// refused with a message naming these.
bool couplingAvailable(PanelMethod method);
Refusal couplingRefusal(PanelMethod method);

// What the coupling of one panel solution shares between its angles of
// attack: the factors every right-hand side is solved with and, per source
// panel of the airfoil, the response of the method's strengths and of the
// airfoil stations' speed to a unit sigma on it (neither depends on the
// angle or on the wake). Built once for a polar, it leaves each angle the
// wake and the wake's sources: a fifth or so of the solves.
struct CouplingBasis {
    PanelSolution solution;
    // The Soinne-Laine system with the coupling's trailing-edge closure, or
    // the vortex panel system with one condition replaced (see
    // replacedRow); empty for the others, which use the solution's own
    // factors.
    GaussFactors closure;
    // Row-major NPanel x (unknowns + 1): the strengths (index 0 unused) per
    // airfoil source panel.
    std::vector<double> airfoilResponse;
    // Row-major nAirfoil x NPanel: dq at each airfoil station per unit sigma
    // on each airfoil source panel.
    std::vector<double> airfoilSpeed;
    // The vortex panel method's condition replaced by the coupling's own row
    // (one of its nearly dependent conditions of no flow through the
    // panels), its factors in closure; 0 where the method's own system
    // holds (contours of fewer than six panels).
    int replacedRow = 0;
    // The row's condition: the fluid inside the contour at rest at (x, y)
    // (the frame of the rotated contour) along (dx, dy), a unit vector
    // pointing to the trailing edge; none where the row is the edge
    // extrapolation (VortexEdgeRow).
    struct InteriorRest {
        double x = 0, y = 0, dx = 0, dy = 0;
    };
    std::optional<InteriorRest> atRest;
    const GaussFactors& factors() const
    {
        return solution.method() == PanelMethod::SoinneLaine || replacedRow > 0 ? closure
                                                                                   : solution.factors();
    }
};

// The couplings on control points (Hess, Kennedy-Marsden, vortex panel) add
// to D, at every station of the airfoil and the wake with a neighbour on
// either side, the local interaction law
//     dq_i = kappa ((mTilde_i - mTilde_i-1) / h- - (mTilde_i+1 - mTilde_i) / h+)
// with kappa = kAlternatingDefectLaw: the answer to a defect alternating
// from station to station that their stations lack (their outer flow answers
// it at 0.02 of the thin-layer interaction law's strength, the Soinne-Laine
// coupling's end points at 1.1; the law adds 4 kappa / h, 0.13 of it).
// Without it the laminar stretches of the layer (the nose's bubble, a lower
// surface laminar to the edge) zigzag and the iteration stalls there; with
// it these couplings converge about as often as the Soinne-Laine coupling
// and close to its lift (the figures in docs/validation.md). A defect
// smooth over many stations gets -kappa h mTilde'' from it, of first order
// in the spacing h. (With the vortex panel method's own conditions on long
// edge panels, before the coupling replaced one of them on every contour,
// that part moved the layer at the edge onto a separated branch above 6
// degrees.)
inline constexpr double kAlternatingDefectLaw = 0.1;

// Where the vortex panel coupling replaces a condition by its edge row
// (elsewhere by the condition of a fluid at rest inside the contour).
enum class VortexEdgeRow {
    // Where the method's own conditions leave the edge vorticity
    // ill-determined: the speed on an edge panel more than a quarter from
    // the next panel's at zero incidence.
    WhereIllDetermined,
    // On every contour. A contour that the layer subdivides throughout (its
    // panels in equal parts) leaves the edge vorticity to the remainder of
    // the conditions' near-dependence, which the parts far from the edge
    // move: the press's NACA 0012 of 51 points has the speed on its edge
    // panel 37 % below the next panel's with the nose's parts 0.0043 chord
    // long, 7 % with them 0.0025 long, and there the coupling on the
    // method's own conditions converged at no angle from -4 to 16 degrees.
    Always,
};

// The basis of a solution whose method is coupled (the refusal naming the
// coupled methods otherwise).
Outcome<CouplingBasis> couplingBasis(const PanelSolution& solution,
                                     VortexEdgeRow edgeRow = VortexEdgeRow::WhereIllDetermined);

// Builds the wake along the trailing-edge streamline of the angle (held
// fixed for the operating point), about wakeLengthChords chords long in
// nWake panels growing geometrically from the trailing edge, and the map D,
// reusing the factors of `solution`.
Outcome<CouplingStations> buildCoupling(const PanelSolution& solution, double alphaDeg,
                                        int nWake = 0, double wakeLengthChords = 1.0);
// The same from the solution's basis, to the bit.
Outcome<CouplingStations> buildCoupling(const CouplingBasis& basis, double alphaDeg,
                                        int nWake = 0, double wakeLengthChords = 1.0);

// Force and moment coefficients of the surface speed q (signed, airfoil
// stations only) at the angle: Cp = 1 - q^2 integrated as the press
// integrates it, moment about the quarter chord.
// q holds the airfoil stations' values (NPanel + 2, the trailing-edge points
// first and last; more, such as the wake's, are ignored); with fewer the
// coefficients are NaN. With q = qInviscid they are the
// press's CL and CM to the bit (but for the Soinne-Laine method, whose
// coupling closes the trailing edge in its own way, and for the vortex panel
// method, whose coupling replaces one of its conditions).
Coefficients viscousForces(const PanelGeometry& geometry, const std::vector<double>& q,
                           double alphaDeg);

// The airfoil stations' speeds q carried to the panels' mid points as
// viscousForces takes them (the trailing-edge points first and last): as
// they are for stations on the control points, the mean of the two end
// points' for stations on the end points; empty when q is short.
std::vector<double> panelMidSpeeds(const CouplingStations& stations, const std::vector<double>& q);
// The forces of the speeds q at the airfoil stations.
Coefficients viscousForces(const PanelGeometry& geometry, const CouplingStations& stations,
                           const std::vector<double>& q, double alphaDeg);

}  // namespace tavrix::coupled
