#include "output/AnalysisSeries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/GeometryEdits.h"
#include "app/NumberText.h"
#include "geometry/ExactFlow.h"
#include "geometry/Generators.h"

namespace tavrix {

namespace {

std::string machText(double mach)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", mach);
    return std::string("M\u221e = ") + buffer;
}

int methodIndex(PanelMethod method) { return static_cast<int>(method); }

constexpr int kGreyColour = 4;
constexpr int kExactColour = 5;


// Surface speed of the exact flow at each control point of the press. The
// exact flow lives in the frame of the unrotated section, where the free
// stream comes at alpha + eta.
std::vector<double> exactSpeeds(const PressCase& press, double& exactCL)
{
    const Common& c = press.common;
    const KarmanTrefftzFlow flow(*press.section, press.alphaDeg + press.setup.etaDeg);
    exactCL = flow.CL();
    const double e = c.DegToRad * press.setup.etaDeg;
    const double ce = std::cos(e), se = std::sin(e);
    std::vector<double> speeds;
    for (int i = 1; i <= c.NPanel; ++i) {
        const double x = c.XM[i] * ce - c.YM[i] * se;
        const double y = c.XM[i] * se + c.YM[i] * ce;
        speeds.push_back(flow.surfaceSpeedNear(x, y));
    }
    return speeds;
}

void addSurfaces(PlotData& plot, const std::string& name, int colour,
                 const std::vector<double>& xc, const std::vector<double>& minusCp, int le)
{
    Series upper{name + ", upper", Series::Role::Computed, colour, false, {}, {}};
    Series lower{name + ", lower", Series::Role::LowerSurface, colour, false, {}, {}};
    // Panels before the leading-edge point run along the lower surface.
    for (std::size_t i = 0; i < xc.size(); ++i) {
        Series& surface = static_cast<int>(i) + 1 < le ? lower : upper;
        surface.x.push_back(xc[i]);
        surface.y.push_back(minusCp[i]);
    }
    plot.series.push_back(std::move(upper));
    plot.series.push_back(std::move(lower));
}

}  // namespace

std::string csvQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

std::string csvField(const std::string& text)
{
    return text.find_first_of(",\"\n\r") == std::string::npos ? text : csvQuoted(text);
}

int methodColour(PanelMethod method) { return static_cast<int>(method); }

std::string methodMessage(PanelMethod method, const std::string& message)
{
    return std::string(methodName(method)) + ": " + message;
}

bool drawsMarkers(const Series& series)
{
    // A series that is not joined is its markers, however many.
    if (!series.joined) return true;
    return series.markers && std::min(series.x.size(), series.y.size()) <= kMostMarkedPoints;
}

std::string csvText(const PlotData& plot)
{
    std::string text;
    for (const std::string& line : plot.comments) {
        std::string one = line;
        std::replace(one.begin(), one.end(), '\n', ' ');
        text += "# " + one + "\n";
    }
    text += "series," + csvField(plot.xLabel) + "," + csvField(plot.yLabel) + "\n";
    for (const Series& s : plot.series) {
        const std::string name = csvField(s.name);
        for (std::size_t i = 0; i < s.x.size(); ++i)
            text += name + "," + shortestText(s.x[i]) + "," + shortestText(s.y[i]) + "\n";
    }
    return text;
}

std::vector<double> chordStations(const Common& c)
{
    double xMin = c.X[1], xMax = c.X[1];
    for (int i = 2; i <= c.NP; ++i) {
        xMin = std::min(xMin, c.X[i]);
        xMax = std::max(xMax, c.X[i]);
    }
    const double chord = xMax > xMin ? xMax - xMin : 1;
    std::vector<double> xc;
    for (int i = 1; i <= c.NPanel; ++i) xc.push_back((c.XM[i] - xMin) / chord);
    return xc;
}

int leadingEdgePoint(const Common& c)
{
    int le = 1;
    for (int i = 2; i <= c.NP; ++i)
        if (c.X[i] < c.X[le]) le = i;
    return le;
}

PressureResult pressurePlot(const PressCase& press, const PressureRequest& request)
{
    const Common& c = press.common;
    const double mach = std::fabs(press.setup.mach);
    PressureResult result;
    PlotData& plot = result.plot;
    plot.title = "Pressure distribution";
    plot.xLabel = "x/c";
    plot.yLabel = "\u2212Cp";
    const std::vector<double> xc = chordStations(c);
    const int le = leadingEdgePoint(c);
    double cp0Min = std::numeric_limits<double>::infinity();
    for (int i = 1; i <= c.NPanel; ++i) cp0Min = std::min(cp0Min, 1 - c.Vt[i] * c.Vt[i]);
    result.validity = correctionValidity(cp0Min, mach, request.correction);

    if (request.compareMethods) {
        const double alpha[] = {press.alphaDeg};
        for (PanelMethod method : kAllMethods) {
            FlowSetup setup = press.setup;
            setup.method = method;
            setup.correction = request.correction;
            const SweepOutcome outcome = Sweep(c, setup, alpha, {});
            if (outcome.points.empty()) {
                if (!result.message.empty()) result.message += "\n";
                result.message += methodMessage(method, outcome.message);
                continue;
            }
            const OperatingPoint& p = outcome.points.front();
            // Below the vacuum limit the method's curve stays incompressible.
            const bool holds =
                pointValidity(p, mach, request.correction) != CorrectionValidity::BeyondVacuum;
            Series s{std::string(methodName(method)) +
                         (holds ? "" : " (incompressible: the correction fails below the vacuum limit)"),
                     Series::Role::Computed, methodIndex(method), false, xc, {}};
            for (double cu : holds ? p.Cu : p.CuIncompressible) s.y.push_back(cu - 1);
            plot.series.push_back(std::move(s));
        }
    } else {
        // The press's angle once more with the plotted correction: the
        // coefficients shown beside the plot are those of its curve.
        if (mach != 0) {
            FlowSetup setup = press.setup;
            setup.correction = request.correction;
            const double alpha[] = {press.alphaDeg};
            const SweepOutcome outcome = Sweep(c, setup, alpha, {});
            if (!outcome.points.empty()) {
                result.CL = outcome.points.front().CL;
                result.CM = outcome.points.front().CM;
                result.hasCoefficients = true;
            }
        }
        std::vector<double> incompressible, corrected;
        for (int i = 1; i <= c.NPanel; ++i) {
            const double cp0 = 1 - c.Vt[i] * c.Vt[i];
            incompressible.push_back(-cp0);
            if (mach != 0) corrected.push_back(-CorrectedCp(request.correction, cp0, mach));
        }
        const std::string method(methodName(press.setup.method));
        // Past the critical Mach number the corrected curve still shows,
        // against the Cp* line, where the flow turns supersonic; below the
        // vacuum limit it shows nothing real and is left out.
        if (result.validity == CorrectionValidity::BeyondVacuum) {
            addSurfaces(plot, method + ", incompressible (the " +
                                  std::string(correctionName(request.correction)) +
                                  " correction fails below the vacuum limit)",
                        methodIndex(press.setup.method), xc, incompressible, le);
        } else if (mach == 0) {
            addSurfaces(plot, method, methodIndex(press.setup.method), xc, incompressible, le);
        } else {
            addSurfaces(plot, method + ", incompressible", kGreyColour, xc, incompressible, le);
            addSurfaces(plot,
                        method + ", " + std::string(correctionName(request.correction)) + " " +
                            machText(mach),
                        methodIndex(press.setup.method), xc, corrected, le);
        }
    }
    // The overlay's curves are named by method only: the title names their correction.
    if (mach != 0 && request.compareMethods)
        plot.title += " (" + std::string(correctionName(request.correction)) + " " +
                      machText(mach) + ")";

    if (mach != 0) {
        result.cpStar = CriticalCp(mach);
        if (cp0Min < 0) result.criticalMach = CriticalMach(cp0Min, request.correction);
        plot.series.push_back({"Cp* at " + machText(mach), Series::Role::Reference, kGreyColour,
                               false, {0.0, 1.0}, {-result.cpStar, -result.cpStar}});
    }

    if (press.section && request.exact) {
        const std::vector<double> speeds = exactSpeeds(press, result.exactCL);
        Series exact{"Exact (incompressible)", Series::Role::Exact, kExactColour, false, xc, {}};
        for (double v : speeds) exact.y.push_back(v * v - 1);
        plot.series.push_back(std::move(exact));
        result.hasExact = true;
    }
    return result;
}

std::vector<double> sweepAngles(double from, double to, double step, std::string& refusal)
{
    refusal.clear();
    if (!std::isfinite(from) || !std::isfinite(to) || !std::isfinite(step)) {
        refusal = "The angles of the sweep must be finite numbers";
        return {};
    }
    if (step == 0) {
        refusal = "The step of the sweep must not be 0";
        return {};
    }
    if ((to - from) * step < 0) {
        refusal = "The step must lead from the first angle to the last";
        return {};
    }
    // A last angle that the steps miss by rounding alone still belongs to the sweep.
    const double steps = std::floor((to - from) / step + 1e-9);
    if (steps >= 1001) {
        refusal = "A sweep has at most 1001 angles";
        return {};
    }
    std::vector<double> alphas;
    for (int k = 0; k <= static_cast<int>(steps); ++k) alphas.push_back(from + k * step);
    return alphas;
}

std::optional<double> zeroLiftAngle(std::span<const OperatingPoint> p)
{
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i].CL == 0) return p[i].alphaDeg;
        if (i + 1 < p.size() && (p[i].CL < 0) != (p[i + 1].CL < 0) && p[i + 1].CL != 0)
            return p[i].alphaDeg -
                   p[i].CL * (p[i + 1].alphaDeg - p[i].alphaDeg) / (p[i + 1].CL - p[i].CL);
    }
    if (p.size() < 2) return std::nullopt;
    std::vector<std::size_t> order(p.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::fabs(p[a].CL) < std::fabs(p[b].CL);
    });
    const OperatingPoint& a = p[order[0]];
    const OperatingPoint& b = p[order[1]];
    if (a.CL == b.CL || !std::isfinite(a.CL) || !std::isfinite(b.CL)) return std::nullopt;
    return a.alphaDeg - a.CL * (b.alphaDeg - a.alphaDeg) / (b.CL - a.CL);
}

PolarResult computePolar(const PressCase& press, std::span<const PanelMethod> methods,
                         std::span<const double> alphasDeg, Compressibility correction,
                         const SweepProgress& keepGoing, const BoundaryLayerSetup& layer)
{
    PolarResult polar;
    const std::size_t total = methods.size() * alphasDeg.size();
    for (std::size_t k = 0; k < methods.size(); ++k) {
        FlowSetup setup = press.setup;
        setup.method = methods[k];
        setup.correction = correction;
        setup.keepSignedSpeed = layer.Re > 0;
        const std::size_t offset = k * alphasDeg.size();
        SweepProgress progress;
        if (keepGoing)
            progress = [&](std::size_t done, std::size_t) { return keepGoing(offset + done, total); };
        SweepOutcome outcome = Sweep(press.common, setup, alphasDeg, progress);
        if (!outcome.message.empty()) {
            if (!polar.message.empty()) polar.message += "\n";
            polar.message += methodMessage(methods[k], outcome.message);
        }
        polar.methods.push_back(methods[k]);
        if (layer.Re > 0) polar.viscous.push_back(ViscousPolar(outcome.points, layer));
        polar.points.push_back(std::move(outcome.points));
        if (outcome.cancelled) {
            polar.cancelled = true;
            break;
        }
    }
    if (layer.Re > 0) polar.layer = layer;
    polar.mach = std::fabs(press.setup.mach);
    polar.correction = correction;
    if (!polar.points.empty()) {
        // The zero-lift angle from the angles whose correction holds.
        std::vector<OperatingPoint> valid;
        const std::vector<bool> holds = validPoints(polar, 0);
        for (std::size_t i = 0; i < holds.size(); ++i)
            if (holds[i]) valid.push_back(polar.points.front()[i]);
        if (const std::optional<double> a0 = zeroLiftAngle(valid)) {
            polar.alpha0Deg = *a0;
            polar.hasAlpha0 = true;
        }
    }
    return polar;
}

namespace {

// One series per method: a coefficient of the operating points against
// alpha, where the correction holds.
PlotData perMethodPlot(const PolarResult& polar, PlotData plot, double OperatingPoint::*coefficient)
{
    for (std::size_t k = 0; k < polar.methods.size(); ++k) {
        Series s{std::string(methodName(polar.methods[k])), Series::Role::Computed,
                 methodIndex(polar.methods[k]), true, {}, {}};
        const std::vector<bool> holds = validPoints(polar, k);
        for (std::size_t i = 0; i < polar.points[k].size(); ++i) {
            const OperatingPoint& p = polar.points[k][i];
            if (!holds[i]) continue;
            s.x.push_back(p.alphaDeg);
            s.y.push_back(p.*coefficient);
        }
        plot.series.push_back(std::move(s));
    }
    return plot;
}

}  // namespace

std::vector<bool> validPoints(const PolarResult& polar, std::size_t k)
{
    std::vector<bool> holds;
    if (k >= polar.points.size()) return holds;
    for (const OperatingPoint& p : polar.points[k])
        holds.push_back(pointValidity(p, polar.mach, polar.correction) ==
                        CorrectionValidity::Valid);
    return holds;
}

std::vector<std::string> correctionWarnings(const PolarResult& polar)
{
    std::vector<std::string> lines;
    const SweepConditions conditions{{}, polar.mach, polar.correction, {}};
    for (const MethodSweep& sweep : methodSweeps(polar))
        for (std::string& line : correctionWarnings(conditions, sweep, "\u03b1 ="))
            lines.push_back(std::move(line));
    return lines;
}

PlotData polarLiftPlot(const PolarResult& polar)
{
    PlotData plot = perMethodPlot(
        polar, {"Lift coefficient", "\u03b1 (deg)", "CL", false, false, {}}, &OperatingPoint::CL);
    double aMin = std::numeric_limits<double>::infinity(), aMax = -aMin;
    for (const std::vector<OperatingPoint>& points : polar.points)
        for (const OperatingPoint& p : points) {
            aMin = std::min(aMin, p.alphaDeg);
            aMax = std::max(aMax, p.alphaDeg);
        }
    if (polar.hasAlpha0 && aMin <= aMax) {
        // Thin-airfoil theory: dCL/dalpha = 2 pi per radian, divided by
        // sqrt(1 - M^2) in compressible flow (Prandtl-Glauert).
        const double pi = 4 * std::atan(1.0);
        const double factor = polar.mach != 0 ? std::sqrt(1 - polar.mach * polar.mach) : 1;
        const double perDegree = 2 * pi * (pi / 180) / factor;
        const std::string name =
            polar.mach != 0
                ? "Thin airfoil 2\u03c0(\u03b1 \u2212 \u03b1\u2080)/\u221a(1 \u2212 M\u221e\u00b2)"
                : "Thin airfoil 2\u03c0(\u03b1 \u2212 \u03b1\u2080)";
        plot.series.push_back({name, Series::Role::Reference, kGreyColour, false, {aMin, aMax},
                               {perDegree * (aMin - polar.alpha0Deg),
                                perDegree * (aMax - polar.alpha0Deg)}});
    }
    return plot;
}

PlotData polarMomentPlot(const PolarResult& polar)
{
    return perMethodPlot(polar,
                         {"Moment coefficient about the quarter chord", "\u03b1 (deg)", "CM c/4",
                          false, false, {}},
                         &OperatingPoint::CM);
}

std::vector<MethodSweep> methodSweeps(const PolarResult& polar)
{
    std::vector<MethodSweep> sweeps;
    for (std::size_t k = 0; k < polar.methods.size(); ++k) {
        MethodSweep sweep;
        sweep.method = polar.methods[k];
        sweep.outcome.points = polar.points[k];
        if (k < polar.viscous.size()) sweep.viscous = polar.viscous[k];
        sweeps.push_back(std::move(sweep));
    }
    return sweeps;
}

std::string sectionName(const PressCase& press)
{
    switch (press.source) {
    case ContourSource::Circle: return "Circle";
    case ContourSource::Naca0012: return "NACA 0012";
    case ContourSource::KarmanTrefftz: return "Karman-Trefftz section";
    default: break;
    }
    return press.common.AirfoilName.empty() ? "Contour" : press.common.AirfoilName;
}

std::string caseTitle(const PressCase& press, CaseText parts)
{
    std::string t = sectionName(press) + ", " + std::to_string(press.common.NP) + " points";
    if (parts.withMethod) t += ", " + std::string(methodName(press.setup.method));
    if (parts.withAlpha) t += ", \u03b1 = " + sixFigures(press.alphaDeg) + "\u00b0";
    t += ", \u03b7 = " + sixFigures(press.setup.etaDeg) + "\u00b0";
    if (parts.incompressible) t += ", incompressible";
    else t += ", M\u221e = " + sixFigures(std::fabs(press.setup.mach));
    return t;
}

PlotData titledForCase(PlotData plot, const std::string& caseText)
{
    plot.title += " \u2014 " + caseText;
    return plot;
}

PlotData namedForCase(PlotData plot, const std::string& caseText)
{
    plot.comments = {caseText};
    return titledForCase(std::move(plot), caseText);
}

bool sameFlowCase(const PressCase& a, const PressCase& b, bool alpha)
{
    const Common& p = a.common;
    const Common& q = b.common;
    if (p.NP != q.NP || a.setup.etaDeg != b.setup.etaDeg || a.setup.mach != b.setup.mach ||
        a.setup.noCirculation != b.setup.noCirculation)
        return false;
    if (alpha && a.alphaDeg != b.alphaDeg) return false;
    for (int i = 1; i <= p.NP; ++i)
        if (p.XCoord[i] != q.XCoord[i] || p.YCoord[i] != q.YCoord[i]) return false;
    return true;
}

SweepConditions polarConditions(const PressCase& press, Compressibility correction)
{
    return {sectionName(press), std::fabs(press.setup.mach), correction, {},
            flappedSectionInUse(press.common)};
}

namespace {

bool drawContour(ContourSource source, const std::optional<KarmanTrefftzSection>& section,
                 const Common& base, int np, Common& out)
{
    out = base;
    std::optional<Contour> contour;
    switch (source) {
    case ContourSource::Circle: contour = circleContour(np); break;
    case ContourSource::Naca0012: contour = naca0012Contour(np); break;
    case ContourSource::KarmanTrefftz:
        if (section) contour = karmanTrefftzContour(*section, np);
        break;
    default: break;
    }
    if (!contour || contour->size() != np || np > kTableLast) return false;
    // The points only: the contour keeps the name and source it has in `base`.
    out.NP = np;
    out.NPanel = np - 1;
    for (int i = 1; i <= np; ++i) {
        out.XCoord[static_cast<std::size_t>(i)] = contour->x[static_cast<std::size_t>(i - 1)];
        out.YCoord[static_cast<std::size_t>(i)] = contour->y[static_cast<std::size_t>(i - 1)];
    }
    out.AirfoilReady = true;
    return true;
}

bool sameContour(const Common& a, const Common& b)
{
    for (int i = 1; i <= a.NP; ++i)
        if (a.XCoord[i] != b.XCoord[i] || a.YCoord[i] != b.YCoord[i]) return false;
    return true;
}

}  // namespace

PressCase makePressCase(const Common& common, const FlowSetup& setup,
                        const std::optional<KarmanTrefftzSection>& lastSection)
{
    PressCase press{common, setup, common.AlfaD, ContourSource::None, std::nullopt};
    if (common.NP < 2 || common.NP > kTableLast) return press;
    // Only the generator that drew the contour can draw it again; the points
    // are still compared, so a contour changed after it was drawn stays its own.
    const ContourSource source = common.AirfoilSource;
    if (source != ContourSource::Circle && source != ContourSource::Naca0012 &&
        source != ContourSource::KarmanTrefftz)
        return press;
    Common candidate;
    if (drawContour(source, lastSection, common, common.NP, candidate) &&
        sameContour(common, candidate)) {
        press.source = source;
        if (source == ContourSource::KarmanTrefftz) press.section = lastSection;
    }
    return press;
}

bool regeneratedContour(const PressCase& press, int np, Common& out)
{
    return drawContour(press.source, press.section, press.common, np, out);
}

ConvergenceResult computeConvergence(const PressCase& press, const SweepProgress& keepGoing)
{
    ConvergenceResult result;
    constexpr std::size_t kMethods = std::size(kAllMethods);
    const std::size_t total = std::size(kConvergenceCounts) * kMethods;
    result.CL.assign(kMethods, {});
    const double alpha[] = {press.alphaDeg};
    std::size_t done = 0;
    for (int np : kConvergenceCounts) {
        Common contour;
        if (!regeneratedContour(press, np, contour)) {
            result.message =
                "The convergence study needs a circle, the NACA 0012 section or a Karman-Trefftz "
                "section: this contour cannot be drawn with other point counts";
            return result;
        }
        result.counts.push_back(np);
        for (std::size_t k = 0; k < kMethods; ++k, ++done) {
            if (keepGoing && !keepGoing(done, total)) {
                result.counts.pop_back();
                for (std::size_t j = 0; j < k; ++j) result.CL[j].pop_back();
                result.cancelled = true;
                return result;
            }
            FlowSetup setup = press.setup;
            setup.method = kAllMethods[k];
            setup.mach = 0;
            const SweepOutcome outcome = Sweep(contour, setup, alpha, {});
            if (outcome.points.empty()) {
                result.CL[k].push_back(std::numeric_limits<double>::quiet_NaN());
                if (result.message.empty())
                    result.message = methodMessage(kAllMethods[k], outcome.message);
            } else {
                result.CL[k].push_back(outcome.points.front().CL);
            }
        }
    }
    if (press.section) {
        result.exactCL = KarmanTrefftzFlow(*press.section, press.alphaDeg + press.setup.etaDeg).CL();
        result.hasExact = true;
    }
    return result;
}

PlotData convergenceLiftPlot(const ConvergenceResult& r)
{
    PlotData plot{"Lift coefficient against the number of points",
                  "Number of panel end points NP", "CL", false, false, {}};
    for (std::size_t k = 0; k < r.CL.size(); ++k) {
        Series s{std::string(methodName(kAllMethods[k])), Series::Role::Computed,
                 methodIndex(kAllMethods[k]), true, {}, {}};
        for (std::size_t i = 0; i < r.CL[k].size(); ++i) {
            if (!std::isfinite(r.CL[k][i])) continue;
            s.x.push_back(r.counts[i]);
            s.y.push_back(r.CL[k][i]);
        }
        plot.series.push_back(std::move(s));
    }
    if (r.hasExact && !r.counts.empty()) {
        plot.series.push_back({"Exact", Series::Role::Exact, kExactColour, false,
                               {static_cast<double>(r.counts.front()),
                                static_cast<double>(r.counts.back())},
                               {r.exactCL, r.exactCL}});
    }
    return plot;
}

PlotData convergenceErrorPlot(const ConvergenceResult& r)
{
    PlotData plot{"Error of CL against the exact flow", "Number of panel end points NP",
                  "|CL \u2212 CL exact|", true, true, {}};
    if (!r.hasExact) {
        plot.title = "Error of CL (needs the exact flow of a Karman-Trefftz section)";
        return plot;
    }
    for (std::size_t k = 0; k < r.CL.size(); ++k) {
        Series s{std::string(methodName(kAllMethods[k])), Series::Role::Computed,
                 methodIndex(kAllMethods[k]), true, {}, {}};
        for (std::size_t i = 0; i < r.CL[k].size(); ++i) {
            const double error = std::fabs(r.CL[k][i] - r.exactCL);
            // A logarithmic axis has no place for an exact zero.
            if (!std::isfinite(error) || error == 0) continue;
            s.x.push_back(r.counts[i]);
            s.y.push_back(error);
        }
        plot.series.push_back(std::move(s));
    }
    return plot;
}

}  // namespace tavrix
