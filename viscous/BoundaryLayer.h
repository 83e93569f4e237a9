// A one-way coupled integral boundary layer on the inviscid surface speed:
// from the stagnation point along each surface to the trailing edge, laminar
// by Thwaites' method, transition by Michel's criterion or at laminar
// separation (or where the user forces it), turbulent by Head's method, and
// the section's drag from the Squire-Young formula at the trailing edge.
//
// The layer does not act back on the inviscid flow: CL and CM stay those of
// the panel method, and the speeds are not corrected for the displacement
// thickness. Where the turbulent layer separates the flow behind it is not
// modelled.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "viscous/SurfaceFlow.h"

namespace tavrix {

inline constexpr const char* kInviscidLiftNote =
    "CL is the inviscid lift: the boundary layer does not act back on the flow";

// Turbulent separation once H exceeds this value.
inline constexpr double kTurbulentSeparationH = 2.4;
// A separation ahead of this chord fraction makes the drag not reliable.
inline constexpr double kReliableSeparationXc = 0.95;

// Stations along one surface, from the stagnation point (index 0) to the
// trailing edge (last index). s is the arc length from the stagnation point,
// x, y the point on the rotated contour, xc its chord fraction (0 at the
// leading edge, 1 at the trailing edge), Ue the edge speed over the
// free-stream speed, positive in the direction of marching.
struct SurfaceStations {
    std::vector<double> s, x, y, xc, Ue;
};

// A point on a surface where something happens.
struct SurfacePoint {
    bool found = false;
    double s = 0, x = 0, y = 0, xc = 0;
};

enum class TransitionCause { None, Michel, LaminarSeparation, Forced, Envelope };

// How the cause reads in results: "Michel", "laminar separation", "forced",
// "e^n"; "" for None.
const char* transitionCauseName(TransitionCause cause);

// Free transition: Michel's correlation of Re_theta with Re_s, or the e^n
// envelope method, which follows the growth of the unstable waves and so
// feels the pressure gradient along the whole laminar run, with the amplitude
// ratio at transition given.
enum class TransitionCriterion { Michel, Envelope };

// The largest Ncrit taken: beyond e^20 linear growth has long lost its meaning.
inline constexpr double kLargestNcrit = 20;

struct TransitionModel {
    TransitionCriterion criterion = TransitionCriterion::Michel;
    double Ncrit = 9;  // the envelope method's n at transition
};

struct SurfaceLayer {
    // Per station, the stations of SurfaceStations plus one at the transition
    // point when it falls between two of them. theta is the momentum
    // thickness, H the shape factor, Cf the wall shear over the free-stream
    // dynamic pressure (zero behind a turbulent separation).
    std::vector<double> s, x, y, xc, Ue, theta, H, Cf;
    std::size_t firstTurbulent = 0;  // stations from here on are turbulent; size() if none

    SurfacePoint transition;  // found == false: laminar to the trailing edge
    TransitionCause transitionCause = TransitionCause::None;
    SurfacePoint laminarSeparation;
    SurfacePoint turbulentSeparation;

    double CD = 0;          // Squire-Young: 2 theta Ue^((H + 5) / 2) at the trailing edge
    double CDfriction = 0;  // wall shear integrated in the wind direction
};

struct BoundaryLayerSetup {
    double Re = 0;  // on the unit length (the chord of the built-in sections) and the free stream
    std::optional<double> forcedTransitionUpper;  // chord fraction
    std::optional<double> forcedTransitionLower;
    // Free transition on (by `transition`); off, the layer turns turbulent
    // only where forced or at laminar separation (to study the laminar extent
    // alone).
    bool naturalTransition = true;
    TransitionModel transition;
};

struct ViscousResult {
    bool ok = false;
    std::string message;  // why there is no result when !ok
    // What the result is not: CL and CM come from the inviscid flow alone.
    const char* couplingNote = kInviscidLiftNote;

    SurfacePoint stagnation;
    SurfaceLayer upper, lower;
    double CD = 0;  // sum of both surfaces
    double CDfriction = 0;
    // False after a turbulent separation ahead of kReliableSeparationXc on
    // either surface: CD is then an estimate for a flow that is not modelled.
    bool reliable = true;
};

// Marches one surface. forcedXc: transition at the first station at or
// beyond this chord fraction, if the layer is still laminar there.
// (cosAlfa, sinAlfa) is the wind direction in the frame of x, y.
SurfaceLayer MarchSurface(const SurfaceStations& stations, double Re,
                          std::optional<double> forcedXc, double cosAlfa = 1,
                          double sinAlfa = 0, bool naturalTransition = true,
                          const TransitionModel& model = {});

// Finds the stagnation point (where the signed speed rises through zero
// between two control points; the one nearest the leading edge if there are
// several) and splits the contour there. Returns false when the speed does
// not change sign.
bool SplitAtStagnation(const SurfaceFlow& flow, SurfacePoint& stagnation,
                       SurfaceStations& upper, SurfaceStations& lower);

ViscousResult AnalyseBoundaryLayer(const SurfaceFlow& flow, const BoundaryLayerSetup& setup);

}  // namespace tavrix
