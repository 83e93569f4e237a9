#include "output/BoundaryLayerSeries.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/NumberText.h"
#include "output/PolarFiles.h"
#include "output/TypedNumber.h"
#include "viscous/SurfaceFlow.h"

namespace tavrix {

namespace {

constexpr int kUpperColour = 0;
constexpr int kTransitionColour = 1;
constexpr int kSeparationColour = 3;
constexpr int kGreyColour = 4;

std::string decimals(double v, int n)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", n, v);
    return text;
}

std::string shortNumber(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

Series pointSeries(const std::string& name, int colour, const SurfacePoint& at)
{
    return {name, Series::Role::Computed, colour, true, {at.x}, {at.y}};
}

}  // namespace

bool readReynolds(const std::string& text, double& Re, std::string& refusal)
{
    refusal.clear();
    Re = 0;
    const TypedNumber n = readTypedNumber(text);
    switch (n.kind) {
    case TypedNumber::Kind::Empty: return false;
    case TypedNumber::Kind::TooLarge: refusal = numberTooLargeMessage(text); return false;
    case TypedNumber::Kind::NotNumber:
        refusal = notANumberMessage("The Reynolds number", text) +
                  " (empty or 0: no boundary layer)";
        return false;
    case TypedNumber::Kind::Number: break;
    }
    if (n.value == 0) return false;
    // Outside this range the layer's correlations are extrapolated beyond
    // any sense (Re = 1e-300 gives a drag of order 1e150).
    if (!(n.value >= kReynoldsFrom && n.value <= kReynoldsTo)) {
        refusal = "The Reynolds number must be from 1e3 to 1e9 (empty or 0: no boundary layer)";
        return false;
    }
    Re = n.value;
    return true;
}

bool readNcrit(const std::string& text, double& Ncrit, std::string& refusal)
{
    refusal.clear();
    const TypedNumber n = readTypedNumber(text);
    if (n.kind == TypedNumber::Kind::TooLarge) {
        refusal = numberTooLargeMessage(text);
        return false;
    }
    if (n.kind != TypedNumber::Kind::Number || !(n.value > 0 && n.value <= kLargestNcrit)) {
        refusal = "Ncrit must be a number greater than 0 and at most 20";
        return false;
    }
    Ncrit = n.value;
    return true;
}

ViscousResult pressLayer(const PressCase& press, const BoundaryLayerSetup& setup)
{
    return AnalyseBoundaryLayer(SurfaceFlowAfterPress(press.common), setup);
}

PlotData layerAirfoilPlot(const PressCase& press, const ViscousResult& layer)
{
    PlotData plot{"Transition and separation", "x", "y", false, false, {}};
    Series contour{"Contour", Series::Role::Reference, kGreyColour, false, {}, {}};
    for (int i = 1; i <= press.common.NP; ++i) {
        contour.x.push_back(press.common.X[i]);
        contour.y.push_back(press.common.Y[i]);
    }
    plot.series.push_back(std::move(contour));
    if (!layer.ok) return plot;
    plot.series.push_back(pointSeries("Stagnation point", kGreyColour, layer.stagnation));
    const struct {
        const char* name;
        const SurfaceLayer& surface;
    } surfaces[] = {{"upper", layer.upper}, {"lower", layer.lower}};
    for (const auto& s : surfaces) {
        if (s.surface.transition.found)
            plot.series.push_back(pointSeries(std::string("Transition ") + s.name,
                                              kTransitionColour, s.surface.transition));
        if (s.surface.laminarSeparation.found)
            plot.series.push_back(pointSeries(std::string("Laminar separation ") + s.name,
                                              kSeparationColour, s.surface.laminarSeparation));
        if (s.surface.turbulentSeparation.found)
            plot.series.push_back(pointSeries(std::string("Turbulent separation ") + s.name,
                                              kSeparationColour, s.surface.turbulentSeparation));
    }
    return plot;
}

PlotData layerPlot(const ViscousResult& layer, LayerQuantity quantity)
{
    PlotData plot;
    plot.xLabel = "x/c";
    switch (quantity) {
    case LayerQuantity::Cf:
        plot.title = "Skin friction";
        plot.yLabel = "Cf";
        break;
    case LayerQuantity::Theta:
        plot.title = "Momentum thickness";
        plot.yLabel = "\u03b8 / c";
        break;
    case LayerQuantity::H:
        plot.title = "Shape factor";
        plot.yLabel = "H";
        break;
    }
    if (!layer.ok) return plot;
    const struct {
        const char* name;
        Series::Role role;
        const SurfaceLayer& surface;
    } surfaces[] = {{"Upper surface", Series::Role::Computed, layer.upper},
                    {"Lower surface", Series::Role::LowerSurface, layer.lower}};
    for (const auto& s : surfaces) {
        const std::vector<double>& y = quantity == LayerQuantity::Cf      ? s.surface.Cf
                                       : quantity == LayerQuantity::Theta ? s.surface.theta
                                                                          : s.surface.H;
        plot.series.push_back({s.name, s.role, kUpperColour, false, s.surface.xc, y});
    }
    return plot;
}

std::vector<std::string> layerSummary(const ViscousResult& layer)
{
    std::vector<std::string> lines;
    if (!layer.ok) {
        lines.push_back("No boundary layer: " + layer.message);
        return lines;
    }
    if (layer.reliable) {
        lines.push_back("CD = " + decimals(layer.CD, 5) + " (Squire-Young)");
    } else {
        const bool upper = layer.upper.turbulentSeparation.found &&
                           layer.upper.turbulentSeparation.xc < kReliableSeparationXc;
        const SurfaceLayer& L = upper ? layer.upper : layer.lower;
        lines.push_back("CD NOT RELIABLE: the " + std::string(upper ? "upper" : "lower") +
                        " surface separates at x/c = " + decimals(L.turbulentSeparation.xc, 4) +
                        ", where the flow is not modelled; estimate " + decimals(layer.CD, 5));
    }
    lines.push_back("friction CD = " + decimals(layer.CDfriction, 5));
    const struct {
        const char* name;
        const SurfaceLayer& surface;
    } surfaces[] = {{"upper", layer.upper}, {"lower", layer.lower}};
    for (const auto& s : surfaces) {
        std::string line = std::string("transition ") + s.name + " x/c = ";
        line += s.surface.transition.found ? decimals(s.surface.transition.xc, 4) + " (" +
                                                 transitionCauseName(s.surface.transitionCause) + ")"
                                           : "none (laminar to the trailing edge)";
        line += ", separation ";
        line += s.surface.turbulentSeparation.found
                    ? "x/c = " + decimals(s.surface.turbulentSeparation.xc, 4)
                    : "none";
        lines.push_back(line);
    }
    lines.push_back(layer.couplingNote);
    return lines;
}

namespace {

template <class Y>
PlotData polarOf(const PolarResult& polar, const char* title, const char* xLabel,
                 const char* yLabel, Y y)
{
    PlotData plot{title, xLabel, yLabel, false, false, {}};
    for (std::size_t k = 0; k < polar.methods.size() && k < polar.viscous.size(); ++k) {
        Series s{std::string(methodName(polar.methods[k])), Series::Role::Computed,
                 methodColour(polar.methods[k]), true, {}, {}};
        for (std::size_t i = 0; i < polar.viscous[k].size(); ++i) {
            const ViscousPoint& v = polar.viscous[k][i];
            if (!v.ok || !v.reliable) continue;
            const auto [px, py] = y(v);
            s.x.push_back(px);
            s.y.push_back(py);
        }
        plot.series.push_back(std::move(s));
    }
    return plot;
}

}  // namespace

PlotData polarDragPlot(const PolarResult& polar)
{
    return polarOf(polar, "Drag coefficient (boundary layer)", "\u03b1 (deg)", "CD",
                   [](const ViscousPoint& v) { return std::pair{v.alphaDeg, v.CD}; });
}

PlotData dragPolarPlot(const PolarResult& polar)
{
    return polarOf(polar, "Drag polar", "CD", "CL (inviscid)",
                   [](const ViscousPoint& v) { return std::pair{v.CD, v.CL}; });
}

PlotData polarTransitionPlot(const PolarResult& polar)
{
    PlotData plot{"Transition", "\u03b1 (deg)", "x/c", false, false, {}};
    for (std::size_t k = 0; k < polar.methods.size() && k < polar.viscous.size(); ++k) {
        const std::string name(methodName(polar.methods[k]));
        Series upper{name + " upper", Series::Role::Computed, methodColour(polar.methods[k]),
                     true, {}, {}};
        Series lower{name + " lower", Series::Role::LowerSurface, methodColour(polar.methods[k]),
                     true, {}, {}};
        for (const ViscousPoint& v : polar.viscous[k]) {
            if (!v.ok) continue;
            upper.x.push_back(v.alphaDeg);
            upper.y.push_back(transitionXc(v.transitionUpper));
            lower.x.push_back(v.alphaDeg);
            lower.y.push_back(transitionXc(v.transitionLower));
        }
        plot.series.push_back(std::move(upper));
        plot.series.push_back(std::move(lower));
    }
    return plot;
}

std::vector<std::string> unreliableAngles(const PolarResult& polar)
{
    std::vector<std::string> texts;
    for (std::size_t k = 0; k < polar.methods.size() && k < polar.viscous.size(); ++k) {
        // As runs of consecutive angles: a fine polar stays one short line.
        std::vector<double> alphas;
        std::vector<bool> flagged;
        for (const ViscousPoint& v : polar.viscous[k]) {
            // The angle as typed (11.4, not the sum 11.400000000000002 of the steps).
            alphas.push_back(std::strtod(shortNumber(v.alphaDeg).c_str(), nullptr));
            flagged.push_back(!v.ok || !v.reliable);
        }
        const std::string runs = angleRuns(alphas, flagged);
        if (!runs.empty())
            texts.push_back(std::string(methodName(polar.methods[k])) +
                            ": CD not reliable at \u03b1 " + runs +
                            ": turbulent separation ahead of x/c = 0.95, or no layer");
    }
    return texts;
}

}  // namespace tavrix
