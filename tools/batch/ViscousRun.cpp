#include "tools/batch/ViscousRun.h"

#include <cmath>
#include <limits>

#include "app/NumberText.h"
#include "app/PressSolvers.h"
#include "output/BoundaryLayerSeries.h"
#include "tools/batch/OptionNumbers.h"
#include "viscous/BoundaryLayer.h"

namespace tavrix {

const char* const kViscousUsage =
    R"usage(  --re NUMBER           after the press, the coupled viscous-inviscid analysis at this
                        Reynolds number (on the unit length and the free stream): the
                        boundary layer and its wake act back on the press's flow, at the
                        press's angle, panels and method (the panels split along a spline
                        through the points where they are coarse for the layer: every one,
                        to 241 points or more, on a contour of fewer than 161, those near
                        its nose to 0.0025 chord at Re 1e6, as 1/sqrt(Re) about it (to
                        Re 1e7, at most 0.005); those near the nose of a finer contour
                        where it has panels longer than 0.005 chord; those near a
                        trailing edge of a wedge under 12 degrees on panels longer than
                        0.001 chord, graded to 0.0005 chord at it); prints
                        after the press's lines
                          viscous CL = L               of the viscous surface speed
                          viscous CMc/4 = M
                          CD = D                       Squire-Young at the end of the wake
                          CDp = D                      CD - CDf
                          CDf = D                      wall shear alone
                          transition upper x/c = X (CAUSE)   CAUSE e^n or forced; "none
                          transition lower x/c = X (CAUSE)   (laminar to the trailing edge)"
                          separation upper x/c = X (laminar|turbulent)   first Cf < 0, or
                          separation lower x/c = X (laminar|turbulent)   "none"
                          converged = yes
                        or, when the iteration did not converge, only
                          converged = no (REASON)
                        and exit status 4. Incompressible: no --mach, no --no-circulation.
  --cl TARGET           with --re: the angle of attack of this viscous lift, searched from
                        the press's --alpha; printed first as "alpha = A"
  --bl-csv FILE         with --re: the layer's stations (CSV, a point for decimals):
                        method,alpha,side,x,y,xi,ue,theta,delta_star,H,Cf,n,C_tau,turbulent
                        side upper, lower or wake; n on laminar stations, C_tau on turbulent
                        ones and the wake; written only for converged points
  --transition-upper X --transition-lower X
                        with --re: transition forced at chord fraction X (0 to 1) unless
                        the layer turns turbulent ahead of it
  --ncrit N             with --re: free transition by the e^n envelope method, where the
                        most amplified wave has grown e^N times (9, the default of the
                        coupled analysis: a quiet free stream, as in flight; 4 to 6: a
                        wind tunnel); the one-way layer uses Michel's criterion without it
  --one-way             with --re: instead of the coupled analysis, the one-way layer on
                        the press's speeds (it does not act back on them); prints
                          CD = D                      Squire-Young, both surfaces summed
                          CD friction = D             wall shear alone
                          transition upper x/c = X (CAUSE)   CAUSE Michel, e^n, laminar
                          transition lower x/c = X (CAUSE)   separation or forced; "none" if laminar
                          separation upper x/c = X (turbulent)   or "none"
                          separation lower x/c = X (turbulent)
                          note: CL is the inviscid lift: ...
                        After a turbulent separation ahead of x/c = 0.95 the first line is
                          CD = not reliable (SURFACE separates at x/c = X); estimate D
  --no-natural-transition
                        with --re --one-way: free transition off (Michel's criterion or the
                        e^n method); the layer turns turbulent only where forced or where
                        it separates laminar
  With --sweep, --re puts the coupled point of every angle at the end of its line
  (viscous CL, CMc/4, CD, CDp, CDf, transition and separation x/c, converged = yes, or
  converged = no (REASON)), fills --polar with the viscous CL, CD, CDp, CM, Top_Xtr and
  Bot_Xtr of the converged angles and --csv with the columns CL_viscous, CM_viscous, CD,
  CDp, CDf, Top_Xtr, Bot_Xtr, Top_Xsep, Bot_Xsep, converged, reason of every angle; the
  sweep exits 0 whichever converged. With --one-way the one-way layer of every angle
  goes at the end of its line (CD, CDf, transition and separation x/c) and fills CD and
  Top_Xtr, Bot_Xtr of --polar and the layer's columns of --csv.
)usage";

namespace {

constexpr double kSmallestReynolds = 1e3;
constexpr double kLargestReynolds = 1e9;

// The option's number; NaN when its text is not a number as a whole (which
// viscousOptionError refuses).
std::optional<double> numberOf(const std::map<std::string, std::string>& values,
                               const std::string& name)
{
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return wholeNumber(it->second).value_or(std::numeric_limits<double>::quiet_NaN());
}

std::string text(double v, int decimals, char sep) { return generalForm(roundHalfEven(v, decimals), sep); }

std::string transitionLine(const SurfaceLayer& L, char sep)
{
    if (!L.transition.found) return "none (laminar to the trailing edge)";
    return text(L.transition.xc, 4, sep) + " (" + transitionCauseName(L.transitionCause) + ")";
}

std::string separationLine(const SurfaceLayer& L, char sep)
{
    if (!L.turbulentSeparation.found) return "none";
    return text(L.turbulentSeparation.xc, 4, sep) + " (turbulent)";
}

}  // namespace

std::optional<std::string> viscousOptionError(const std::map<std::string, std::string>& values)
{
    const std::optional<double> re = numberOf(values, "--re");
    if (!re) {
        if (values.count("--transition-upper") != 0 || values.count("--transition-lower") != 0)
            return "--transition-upper and --transition-lower need --re";
        if (values.count("--ncrit") != 0) return "--ncrit needs --re";
        return std::nullopt;
    }
    // Outside this range the layer's correlations are extrapolated beyond
    // any sense (Re = 1e-300 gave a drag of 3.5e150).
    if (!(*re >= kSmallestReynolds && *re <= kLargestReynolds))
        return "--re needs a Reynolds number from 1e3 to 1e9, written as a number";
    if (const std::optional<double> ncrit = numberOf(values, "--ncrit");
        ncrit && !(*ncrit > 0 && *ncrit <= kLargestNcrit))
        return "--ncrit needs a number greater than 0 and at most 20";
    for (const char* name : {"--transition-upper", "--transition-lower"}) {
        const std::optional<double> x = numberOf(values, name);
        if (x && !(*x >= 0 && *x <= 1)) return std::string(name) + " needs a chord fraction from 0 to 1";
    }
    return std::nullopt;
}

BoundaryLayerSetup viscousSetup(const std::map<std::string, std::string>& values,
                                bool naturalTransitionOff)
{
    BoundaryLayerSetup setup;
    setup.Re = numberOf(values, "--re").value_or(0);
    setup.forcedTransitionUpper = numberOf(values, "--transition-upper");
    setup.forcedTransitionLower = numberOf(values, "--transition-lower");
    setup.naturalTransition = !naturalTransitionOff;
    if (const std::optional<double> ncrit = numberOf(values, "--ncrit")) {
        setup.transition.criterion = TransitionCriterion::Envelope;
        setup.transition.Ncrit = *ncrit;
    }
    return setup;
}

int runViscous(Form_TavrixS& form, const std::map<std::string, std::string>& values,
               bool naturalTransitionOff, std::ostream& out, std::ostream& err)
{
    const Common& c = form.common();
    const BoundaryLayerSetup setup = viscousSetup(values, naturalTransitionOff);
    const ViscousResult r = AnalyseBoundaryLayer(SurfaceFlowAfterPress(c), setup);
    if (!r.ok) {
        err << "tavrixs-batch: " << r.message << '\n';
        return 1;
    }
    const char sep = c.DecimalSeparator;
    if (r.reliable) {
        out << "CD = " << text(r.CD, 5, sep) << '\n';
    } else {
        const bool upper = r.upper.turbulentSeparation.found &&
                           r.upper.turbulentSeparation.xc < kReliableSeparationXc;
        const SurfaceLayer& L = upper ? r.upper : r.lower;
        out << "CD = not reliable (" << (upper ? "upper" : "lower")
            << " surface separates at x/c = " << text(L.turbulentSeparation.xc, 4, sep)
            << "); estimate " << text(r.CD, 5, sep) << '\n';
    }
    out << "CD friction = " << text(r.CDfriction, 5, sep) << '\n';
    out << "transition upper x/c = " << transitionLine(r.upper, sep) << '\n';
    out << "transition lower x/c = " << transitionLine(r.lower, sep) << '\n';
    out << "separation upper x/c = " << separationLine(r.upper, sep) << '\n';
    out << "separation lower x/c = " << separationLine(r.lower, sep) << '\n';
    out << "note: " << r.couplingNote << '\n';
    return 0;
}

}  // namespace tavrix
