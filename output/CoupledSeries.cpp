#include "output/CoupledSeries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/NumberText.h"
#include "app/PressSolvers.h"
#include "output/KeptRuns.h"
#include "solvers/PanelSolution.h"
#include "viscous/InviscidCoupling.h"

namespace tavrix {

namespace {

using coupled::Side;
using coupled::StationResult;

constexpr int kUpperColour = 0;
constexpr int kTransitionColour = 1;
constexpr int kSeparationColour = 3;
constexpr int kGreyColour = 4;

void addMessage(PolarResult& polar, const std::string& line)
{
    // A method the inviscid sweep refused is usually refused by the
    // coupling for the same reason: said once.
    if (polar.message.find(line) != std::string::npos) return;
    if (!polar.message.empty()) polar.message += "\n";
    polar.message += line;
}

// An angle as it is read, with a true minus sign: "−4", "12.5".
std::string angleText(double a)
{
    std::string t = sixFigures(a);
    if (!t.empty() && t.front() == '-') t.replace(0, 1, "\u2212");
    return t;
}

std::string decimals(double v, int n)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", n, v);
    return text;
}

// Whether method k of the polar has coupled points (a method the coupling
// refused has none).
bool hasCoupled(const PolarResult& polar, std::size_t k)
{
    return k < polar.methods.size() && k < polar.coupled.size() && !polar.coupled[k].empty();
}

Series markersOnly(std::string name, int colour, bool hollow)
{
    Series s{std::move(name), Series::Role::Computed, colour, true, {}, {}};
    s.joined = false;
    s.hollow = hollow;
    return s;
}

// A coefficient of the converged points of every coupled method against
// alpha, and (with lastIterate) the points that did not converge, hollow at
// their last iterate's value with the reason as note. A point whose
// iteration left no finite value is not drawn: the window's table lists it.
PlotData perMethodPlot(const PolarResult& polar, PlotData plot, double CoupledPoint::*value,
                       std::optional<double> CoupledPoint::*lastIterate)
{
    for (std::size_t k = 0; k < polar.methods.size(); ++k) {
        if (!hasCoupled(polar, k)) continue;
        const std::string name(methodName(polar.methods[k]));
        const int colour = methodColour(polar.methods[k]);
        Series curve{name, Series::Role::Computed, colour, true, {}, {}};
        Series stopped = markersOnly(name + " not converged", colour, true);
        for (const CoupledPoint& p : polar.coupled[k]) {
            if (p.converged) {
                curve.x.push_back(p.alphaDeg);
                curve.y.push_back(p.*value);
            } else if (lastIterate != nullptr && (p.*lastIterate) &&
                       std::isfinite(*(p.*lastIterate)) && std::isfinite(p.alphaDeg)) {
                stopped.x.push_back(p.alphaDeg);
                stopped.y.push_back(*(p.*lastIterate));
                stopped.notes.push_back(p.reason);
            }
        }
        plot.series.push_back(std::move(curve));
        if (!stopped.x.empty()) plot.series.push_back(std::move(stopped));
    }
    return plot;
}

std::size_t coupledMethods(const PolarResult& polar)
{
    std::size_t n = 0;
    for (std::size_t k = 0; k < polar.methods.size(); ++k)
        if (hasCoupled(polar, k)) ++n;
    return n;
}

// The stations of one surface from the stagnation point to the trailing
// edge (of the wake: from the trailing edge downstream), in the order of xi.
std::vector<const StationResult*> surface(const CoupledPoint& point, Side side)
{
    std::vector<const StationResult*> s;
    for (const StationResult& r : point.stations)
        if (r.side == side) s.push_back(&r);
    std::stable_sort(s.begin(), s.end(),
                     [](const StationResult* a, const StationResult* b) { return a->xi < b->xi; });
    return s;
}

// The chord of the airfoil stations: x/c = (x - lo) / length.
struct Chord {
    double lo = 0, length = 1;
    double xc(double x) const { return (x - lo) / length; }
};

Chord chordOf(const CoupledPoint& point)
{
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const StationResult& s : point.stations) {
        if (s.side == Side::Wake) continue;
        lo = std::min(lo, s.x);
        hi = std::max(hi, s.x);
    }
    if (!(lo < hi)) return {};
    return {lo, hi - lo};
}

// Where along a surface (stations in the order of xi) a transition or a
// separation at x lies: in the first interval that ends on a turbulent
// station (transition) or on one of negative Cf (separation), as the
// solver places them; value(station) interpolated there linearly in x.
template <class Value>
std::optional<double> valueAt(const std::vector<const StationResult*>& stations, double x,
                              bool separation, Value value)
{
    // A layer turbulent from its first station: transition there.
    if (!separation && !stations.empty() && stations.front()->turbulent)
        return value(*stations.front());
    for (std::size_t k = 1; k < stations.size(); ++k) {
        const StationResult& b = *stations[k];
        if (separation ? !(b.cf < 0) : !b.turbulent) continue;
        const StationResult& a = *stations[k - 1];
        const double dx = b.x - a.x;
        const double w = std::fabs(dx) > 0 ? std::clamp((x - a.x) / dx, 0.0, 1.0) : 0.0;
        return value(a) + w * (value(b) - value(a));
    }
    return std::nullopt;
}

// Unit normal to the left of the direction of increasing index, from the
// neighbouring points (one-sided at the ends); zero for a single point.
void leftNormal(const std::vector<const StationResult*>& s, std::size_t i, double& nx, double& ny)
{
    nx = ny = 0;
    if (s.size() < 2) return;
    const std::size_t a = i == 0 ? 0 : i - 1;
    const std::size_t b = i + 1 < s.size() ? i + 1 : i;
    const double tx = s[b]->x - s[a]->x, ty = s[b]->y - s[a]->y;
    const double t = std::hypot(tx, ty);
    if (!(t > 0)) return;
    nx = -ty / t;
    ny = tx / t;
}

// The transition and separation points of both surfaces as single markers,
// at y = value(station) interpolated along the surface.
template <class Value>
void markPoints(PlotData& plot, const CoupledPoint& point, const Chord& chord,
                const std::vector<const StationResult*>& upper,
                const std::vector<const StationResult*>& lower, Value value)
{
    const struct {
        const char* name;
        const std::vector<const StationResult*>& stations;
        const std::optional<double>& transition;
        const std::optional<double>& separation;
    } sides[] = {{"upper", upper, point.transitionUpper, point.separationUpper},
                 {"lower", lower, point.transitionLower, point.separationLower}};
    for (const auto& s : sides) {
        if (s.transition) {
            if (const auto y = valueAt(s.stations, *s.transition, false, value)) {
                Series m = markersOnly(std::string("Transition ") + s.name, kTransitionColour,
                                       false);
                m.x = {chord.xc(*s.transition)};
                m.y = {*y};
                plot.series.push_back(std::move(m));
            }
        }
        if (s.separation) {
            if (const auto y = valueAt(s.stations, *s.separation, true, value)) {
                // Ahead of the transition it is the laminar layer that separates.
                const bool laminar = !s.transition || *s.separation < *s.transition;
                Series m = markersOnly(std::string(laminar ? "Laminar separation " :
                                                             "Turbulent separation ") +
                                           s.name,
                                       kSeparationColour, false);
                m.x = {chord.xc(*s.separation)};
                m.y = {*y};
                plot.series.push_back(std::move(m));
            }
        }
    }
}

}  // namespace

PolarResult computeCoupledPolar(const PressCase& press, std::span<const PanelMethod> methods,
                                std::span<const double> alphasDeg,
                                const coupled::CoupledOptions& options,
                                const SweepProgress& keepGoing)
{
    // The reference: the inviscid flow of the same panels at M = 0, with the
    // trailing-edge condition the coupling needs.
    PressCase incompressible = press;
    incompressible.setup.mach = 0;
    incompressible.setup.noCirculation = false;
    PolarResult polar =
        computePolar(incompressible, methods, alphasDeg, Compressibility::PrandtlGlauert);
    polar.mach = 0;
    polar.cancelled = false;

    // A polar is swept at the angles given: no lift is prescribed, and
    // nothing of the caller's (monitor, lift function) is kept with it.
    coupled::CoupledOptions sweepOptions = options;
    sweepOptions.targetCl.reset();
    sweepOptions.liftOf = {};
    sweepOptions.monitor = {};
    polar.coupledOptions = sweepOptions;

    // polar.coupled[k] belongs to polar.methods[k]; a method the coupling
    // refuses keeps an empty vector there (its refusal in polar.message), so
    // that the indices of methods, points and coupled stay aligned.
    const std::vector<double> alphas(alphasDeg.begin(), alphasDeg.end());
    const std::size_t total = methods.size() * alphas.size();
    const PanelGeometry panels = panelsInUse(press.common);
    for (std::size_t k = 0; k < polar.methods.size(); ++k) {
        const PanelMethod method = polar.methods[k];
        if (!coupled::couplingAvailable(method)) {
            addMessage(polar, methodMessage(method, coupled::couplingRefusal(method).message));
            polar.coupled.emplace_back();
            continue;
        }
        const Outcome<PanelSolution> solution = solvePanels(panels, method);
        if (!solution) {
            addMessage(polar, methodMessage(method, solution.refusal().message));
            polar.coupled.emplace_back();
            continue;
        }
        const std::size_t offset = k * alphas.size();
        bool stopped = false;
        CoupledProgress progress;
        if (keepGoing)
            progress = [&](std::size_t done, std::size_t) {
                if (keepGoing(offset + std::min(done, alphas.size()), total)) return true;
                stopped = true;
                return false;
            };
        polar.coupled.push_back(coupledSweep(*solution, alphas, sweepOptions, progress));
        if (stopped) {
            // As an inviscid polar: the methods after the cancelled one are left out.
            polar.cancelled = true;
            polar.methods.resize(k + 1);
            polar.points.resize(std::min(polar.points.size(), k + 1));
            break;
        }
    }
    return polar;
}

CoupledPoint computeCoupledPoint(const PressCase& press, PanelMethod method,
                                 const coupled::CoupledOptions& options)
{
    if (!coupled::couplingAvailable(method))
        return notConvergedPoint(press.alphaDeg, coupled::couplingRefusal(method).message);
    const Outcome<PanelSolution> solution = solvePanels(panelsInUse(press.common), method);
    if (!solution) return notConvergedPoint(press.alphaDeg, solution.refusal().message);
    return coupledPointAt(*solution, press.alphaDeg, options);
}

std::optional<coupled::LiftMaximum> polarLiftMaximum(const PolarResult& polar, std::size_t k)
{
    if (!hasCoupled(polar, k)) return std::nullopt;
    return liftMaximumOf(polar.coupled[k]);
}

PlotData coupledLiftPlot(const PolarResult& polar)
{
    PlotData plot = perMethodPlot(polar, {"Lift coefficient", "\u03b1 (deg)", "CL", false, false, {}},
                                  &CoupledPoint::CL, &CoupledPoint::lastIterateCL);
    // The inviscid lift of the same angles, for reference.
    for (std::size_t k = 0; k < polar.methods.size() && k < polar.points.size(); ++k) {
        if (!hasCoupled(polar, k) || polar.points[k].empty()) continue;
        Series s{std::string(methodName(polar.methods[k])) + " inviscid", Series::Role::Reference,
                 methodColour(polar.methods[k]), false, {}, {}};
        for (const OperatingPoint& p : polar.points[k]) {
            if (!std::isfinite(p.CL)) continue;
            s.x.push_back(p.alphaDeg);
            s.y.push_back(p.CL);
        }
        plot.series.push_back(std::move(s));
    }
    const bool several = coupledMethods(polar) > 1;
    for (std::size_t k = 0; k < polar.methods.size(); ++k) {
        const std::optional<coupled::LiftMaximum> m = polarLiftMaximum(polar, k);
        if (!m) continue;
        std::string name = "CLmax = " + decimals(m->cl, 2) + " at \u03b1 = " +
                           angleText(m->alphaDeg) + "\u00b0";
        if (several) name = std::string(methodName(polar.methods[k])) + " " + name;
        Series s = markersOnly(std::move(name), methodColour(polar.methods[k]), false);
        s.highlighted = true;
        s.x = {m->alphaDeg};
        s.y = {m->cl};
        plot.series.push_back(std::move(s));
    }
    return plot;
}

PlotData coupledDragPlot(const PolarResult& polar)
{
    return perMethodPlot(polar, {"Drag coefficient", "\u03b1 (deg)", "CD", false, false, {}},
                         &CoupledPoint::CD, &CoupledPoint::lastIterateCD);
}

PlotData coupledDragPolarPlot(const PolarResult& polar)
{
    PlotData plot{"Drag polar", "CD", "CL", false, false, {}};
    for (std::size_t k = 0; k < polar.methods.size(); ++k) {
        if (!hasCoupled(polar, k)) continue;
        Series s{std::string(methodName(polar.methods[k])), Series::Role::Computed,
                 methodColour(polar.methods[k]), true, {}, {}};
        for (const CoupledPoint& p : polar.coupled[k]) {
            if (!p.converged) continue;
            s.x.push_back(p.CD);
            s.y.push_back(p.CL);
        }
        plot.series.push_back(std::move(s));
    }
    return plot;
}

PlotData coupledMomentPlot(const PolarResult& polar)
{
    return perMethodPlot(polar,
                         {"Moment coefficient about the quarter chord", "\u03b1 (deg)", "CM c/4",
                          false, false, {}},
                         &CoupledPoint::CM, nullptr);
}

PlotData coupledTransitionPlot(const PolarResult& polar)
{
    PlotData plot{"Transition", "\u03b1 (deg)", "x/c", false, false, {}};
    for (std::size_t k = 0; k < polar.methods.size(); ++k) {
        if (!hasCoupled(polar, k)) continue;
        const std::string name(methodName(polar.methods[k]));
        const int colour = methodColour(polar.methods[k]);
        Series upper{name + " upper", Series::Role::Computed, colour, true, {}, {}};
        Series lower{name + " lower", Series::Role::LowerSurface, colour, true, {}, {}};
        for (const CoupledPoint& p : polar.coupled[k]) {
            if (!p.converged) continue;
            upper.x.push_back(p.alphaDeg);
            upper.y.push_back(transitionXc(p.transitionUpper));
            lower.x.push_back(p.alphaDeg);
            lower.y.push_back(transitionXc(p.transitionLower));
        }
        plot.series.push_back(std::move(upper));
        plot.series.push_back(std::move(lower));
    }
    return plot;
}

PlotData coupledPressurePlot(const CoupledPoint& point, const PlotData& inviscid,
                             PanelMethod method)
{
    PlotData plot{"Pressure distribution, viscous and inviscid", "x/c", "\u2212Cp", false, false,
                  {}};
    // The inviscid curves under the viscous ones, grey and dash-dotted.
    for (Series s : inviscid.series) {
        if (s.role == Series::Role::Computed || s.role == Series::Role::LowerSurface) {
            s.role = Series::Role::Reference;
            s.colour = kGreyColour;
            std::size_t comma = std::string::npos;
            for (const char* surfaceName : {", upper", ", lower"}) {
                const std::string tail(surfaceName);
                if (s.name.size() >= tail.size() &&
                    s.name.compare(s.name.size() - tail.size(), tail.size(), tail) == 0)
                    comma = s.name.size() - tail.size();
            }
            if (comma == std::string::npos) s.name += " inviscid";
            else s.name.insert(comma, " inviscid");
        }
        plot.series.push_back(std::move(s));
    }
    if (!point.converged) return plot;
    const Chord chord = chordOf(point);
    const auto upper = surface(point, Side::Upper);
    const auto lower = surface(point, Side::Lower);
    const auto minusCp = [](const StationResult& s) { return s.q * s.q - 1; };
    const int colour = methodColour(method);
    const std::string name(methodName(method));
    Series u{name + ", upper", Series::Role::Computed, colour, false, {}, {}};
    Series l{name + ", lower", Series::Role::LowerSurface, colour, false, {}, {}};
    for (const StationResult* s : upper) {
        u.x.push_back(chord.xc(s->x));
        u.y.push_back(minusCp(*s));
    }
    for (const StationResult* s : lower) {
        l.x.push_back(chord.xc(s->x));
        l.y.push_back(minusCp(*s));
    }
    plot.series.push_back(std::move(u));
    plot.series.push_back(std::move(l));
    markPoints(plot, point, chord, upper, lower, minusCp);
    return plot;
}

PlotData coupledPressureComparison(std::span<const CoupledPoint> points,
                                   std::span<const PanelMethod> methods)
{
    PlotData plot{"Pressure distribution, viscous, the coupled methods", "x/c", "\u2212Cp", false,
                  false, {}};
    for (std::size_t k = 0; k < points.size() && k < methods.size(); ++k) {
        if (!points[k].converged) continue;
        // Each method's two surfaces, without the markers and references.
        for (Series& s : coupledPressurePlot(points[k], {}, methods[k]).series)
            if (s.joined) plot.series.push_back(std::move(s));
    }
    return plot;
}

PlotData displacementBodyPlot(const CoupledPoint& point)
{
    PlotData plot{"Displacement body and wake", "x/c", "y/c", false, false, {}};
    if (!point.converged) return plot;
    const Chord chord = chordOf(point);
    const auto at = [&](double x, double y, Series& s) {
        s.x.push_back(chord.xc(x));
        s.y.push_back(y / chord.length);
    };
    Series airfoil{"Airfoil", Series::Role::Reference, kGreyColour, false, {}, {}};
    for (const StationResult& s : point.stations)
        if (s.side != Side::Wake) at(s.x, s.y, airfoil);
    plot.series.push_back(std::move(airfoil));

    // Each surface's stations moved by delta* along the outward normal: in
    // the order of xi the upper surface runs from the stagnation point aft
    // with the outside on its left, the lower surface aft with the outside
    // on its right. Drawn around the contour from the lower trailing edge.
    const auto upper = surface(point, Side::Upper);
    const auto lower = surface(point, Side::Lower);
    Series body{"Displacement body", Series::Role::Computed, kUpperColour, false, {}, {}};
    for (std::size_t j = lower.size(); j-- > 0;) {
        double nx, ny;
        leftNormal(lower, j, nx, ny);
        at(lower[j]->x - lower[j]->dstar * nx, lower[j]->y - lower[j]->dstar * ny, body);
    }
    for (std::size_t j = 0; j < upper.size(); ++j) {
        double nx, ny;
        leftNormal(upper, j, nx, ny);
        at(upper[j]->x + upper[j]->dstar * nx, upper[j]->y + upper[j]->dstar * ny, body);
    }
    plot.series.push_back(std::move(body));

    // The wake: its centre line, and half its displacement thickness to
    // either side (left of the downstream direction is above).
    const auto wake = surface(point, Side::Wake);
    if (!wake.empty()) {
        Series centre{"Wake centre line", Series::Role::Reference, kGreyColour, false, {}, {}};
        Series above{"Wake \u03b4*/2 above", Series::Role::Computed, kUpperColour, false, {}, {}};
        Series below{"Wake \u03b4*/2 below", Series::Role::LowerSurface, kUpperColour, false, {},
                     {}};
        for (std::size_t j = 0; j < wake.size(); ++j) {
            const StationResult& s = *wake[j];
            double nx, ny;
            leftNormal(wake, j, nx, ny);
            at(s.x, s.y, centre);
            at(s.x + 0.5 * s.dstar * nx, s.y + 0.5 * s.dstar * ny, above);
            at(s.x - 0.5 * s.dstar * nx, s.y - 0.5 * s.dstar * ny, below);
        }
        plot.series.push_back(std::move(centre));
        plot.series.push_back(std::move(above));
        plot.series.push_back(std::move(below));
    }
    markPoints(plot, point, chord, upper, lower,
               [&](const StationResult& s) { return s.y / chord.length; });
    return plot;
}

PlotData coupledLayerPlot(const CoupledPoint& point, CoupledLayerQuantity quantity)
{
    PlotData plot;
    plot.xLabel = "x/c";
    // Which stations carry the quantity: the amplification grows on the
    // laminar airfoil stations only, the shear stress lives on the turbulent
    // ones and the wake, and the wake has no wall to rub.
    bool laminarOnly = false, turbulentOnly = false, wake = true;
    double (*value)(const StationResult&, double chord) = nullptr;
    switch (quantity) {
    case CoupledLayerQuantity::EdgeSpeed:
        plot.title = "Edge speed";
        plot.yLabel = "ue / V\u221e";
        value = [](const StationResult& s, double) { return s.ue; };
        break;
    case CoupledLayerQuantity::Theta:
        plot.title = "Momentum thickness";
        plot.yLabel = "\u03b8 / c";
        value = [](const StationResult& s, double c) { return s.theta / c; };
        break;
    case CoupledLayerQuantity::DisplacementThickness:
        plot.title = "Displacement thickness";
        plot.yLabel = "\u03b4* / c";
        value = [](const StationResult& s, double c) { return s.dstar / c; };
        break;
    case CoupledLayerQuantity::ShapeFactor:
        plot.title = "Shape factor";
        plot.yLabel = "H";
        value = [](const StationResult& s, double) { return s.H; };
        break;
    case CoupledLayerQuantity::SkinFriction:
        plot.title = "Skin friction";
        plot.yLabel = "Cf";
        wake = false;
        value = [](const StationResult& s, double) { return s.cf; };
        break;
    case CoupledLayerQuantity::Amplification:
        plot.title = "Amplification of disturbances (laminar layer)";
        plot.yLabel = "n";
        laminarOnly = true;
        wake = false;
        value = [](const StationResult& s, double) { return s.n; };
        break;
    case CoupledLayerQuantity::ShearStress:
        plot.title = "Shear-stress coefficient (turbulent layer and wake)";
        plot.yLabel = "C\u03c4";
        turbulentOnly = true;
        value = [](const StationResult& s, double) { return s.ctau; };
        break;
    }
    if (!point.converged || value == nullptr) return plot;
    const Chord chord = chordOf(point);
    const struct {
        const char* name;
        Series::Role role;
        int colour;
        Side side;
    } parts[] = {{"Upper surface", Series::Role::Computed, kUpperColour, Side::Upper},
                 {"Lower surface", Series::Role::LowerSurface, kUpperColour, Side::Lower},
                 {"Wake", Series::Role::Computed, kGreyColour, Side::Wake}};
    for (const auto& part : parts) {
        if (part.side == Side::Wake && !wake) continue;
        Series s{part.name, part.role, part.colour, false, {}, {}};
        for (const StationResult* r : surface(point, part.side)) {
            const bool turbulent = r->side == Side::Wake || r->turbulent;
            if ((laminarOnly && turbulent) || (turbulentOnly && !turbulent)) continue;
            s.x.push_back(chord.xc(r->x));
            s.y.push_back(value(*r, chord.length));
        }
        plot.series.push_back(std::move(s));
    }
    return plot;
}

std::string coupledCaseText(const PressCase& press, const std::string& methodName,
                            const coupled::CoupledOptions& options,
                            std::span<const double> alphasDeg)
{
    std::string t = sectionName(press);
    if (!methodName.empty()) t += ", " + methodName;
    t += ", viscous (coupled), Re " + reynoldsText(options.re) + ", Ncrit " +
         sixFigures(options.ncrit);
    // A trip beyond the trailing edge is none.
    if (options.tripUpperX <= 1) t += ", upper trip x/c " + sixFigures(options.tripUpperX);
    if (options.tripLowerX <= 1) t += ", lower trip x/c " + sixFigures(options.tripLowerX);
    t += ", M 0";
    if (options.targetCl) t += ", CL " + angleText(*options.targetCl);
    if (!alphasDeg.empty()) {
        const auto [lo, hi] = std::minmax_element(alphasDeg.begin(), alphasDeg.end());
        t += ", \u03b1 " + angleText(*lo) + "\u00b0";
        if (*hi != *lo) t += " to " + angleText(*hi) + "\u00b0";
    }
    return t;
}

std::string coupledPolarCaseText(const PressCase& press, const PolarResult& polar)
{
    std::vector<double> alphas;
    if (!polar.coupled.empty())
        for (const CoupledPoint& p : polar.coupled.front()) alphas.push_back(p.alphaDeg);
    return coupledCaseText(press, "", polar.coupledOptions, alphas);
}

std::string coupledPointCaseText(const PressCase& press, const coupled::CoupledOptions& options,
                                 const CoupledPoint& point)
{
    return coupledCaseText(press, std::string(methodName(press.setup.method)), options, {}) +
           ", \u03b1 = " + angleText(point.alphaDeg) + "\u00b0";
}

std::string coupledPolarCsvText(const PressCase& press, const PolarResult& polar)
{
    std::string t = polarCaseLines(press, polar);
    // What was refused, as comments: a method asked for and absent from the
    // rows is said so.
    std::size_t start = 0;
    while (start < polar.message.size()) {
        const std::size_t end = polar.message.find('\n', start);
        const std::string line =
            polar.message.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty()) t += "# " + line + "\n";
        start = end == std::string::npos ? polar.message.size() : end + 1;
    }
    t += "method,alpha,converged,CL,CD,CDp,CDf,CM,Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,CL_inviscid,"
         "reason\n";
    const auto number = [](double v) { return std::isfinite(v) ? shortestText(v) : std::string(); };
    const auto optional = [&](const std::optional<double>& v) {
        return v ? number(*v) : std::string();
    };
    for (std::size_t k = 0; k < polar.methods.size() && k < polar.coupled.size(); ++k) {
        const std::string name = csvField(std::string(methodName(polar.methods[k])));
        for (std::size_t i = 0; i < polar.coupled[k].size(); ++i) {
            const CoupledPoint& p = polar.coupled[k][i];
            std::string row = name + "," + number(p.alphaDeg) + ",";
            if (p.converged) {
                row += "yes," + number(p.CL) + "," + number(p.CD) + "," + number(p.CDp) + "," +
                       number(p.CDf) + "," + number(p.CM) + "," +
                       number(transitionXc(p.transitionUpper)) + "," +
                       number(transitionXc(p.transitionLower)) + "," +
                       optional(p.separationUpper) + "," + optional(p.separationLower) + ",";
            } else {
                row += "no,,,,,,,,,,";
            }
            const bool inviscid = k < polar.points.size() && i < polar.points[k].size();
            row += (inviscid ? number(polar.points[k][i].CL) : std::string()) + ",";
            row += p.converged ? std::string() : csvQuoted(p.reason);
            t += row + "\n";
        }
    }
    return t;
}

}  // namespace tavrix
