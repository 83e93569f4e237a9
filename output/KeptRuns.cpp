#include "output/KeptRuns.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/NumberText.h"

namespace tavrix {

namespace {

bool envelope(const BoundaryLayerSetup& layer)
{
    return layer.transition.criterion == TransitionCriterion::Envelope;
}

}  // namespace

std::string reynoldsText(double Re)
{
    if (!(Re > 0) || !std::isfinite(Re)) return sixFigures(Re);
    int exponent = static_cast<int>(std::floor(std::log10(Re)));
    char mantissa[32];
    std::snprintf(mantissa, sizeof mantissa, "%.3g", Re / std::pow(10.0, exponent));
    // 9.9996e5 rounds to a mantissa of 10: one decade up.
    if (std::string(mantissa) == "10") {
        ++exponent;
        std::snprintf(mantissa, sizeof mantissa, "1");
    }
    return std::string(mantissa) + "e" + std::to_string(exponent);
}

std::string defaultRunName(const RunCase& c)
{
    std::string name = c.airfoil.empty() ? "unnamed section" : c.airfoil;
    if (c.Re > 0) {
        name += ", Re " + reynoldsText(c.Re);
        if (c.Ncrit > 0) name += ", Ncrit " + sixFigures(c.Ncrit);
        if (c.model.rfind("one-way", 0) == 0) name += ", one-way layer";
        if (c.model.rfind(kCoupledModel, 0) == 0) name += std::string(", ") + kCoupledModel;
    } else {
        name += ", inviscid";
    }
    if (c.mach != 0) name += ", M " + sixFigures(c.mach);
    if (!c.method.empty()) name += ", " + c.method;
    return name;
}

RunCase polarRunCase(const PressCase& press, const PolarResult& polar, PanelMethod method)
{
    RunCase c;
    c.airfoil = sectionName(press);
    c.method = std::string(methodName(method));
    const bool viscous = !polar.viscous.empty() && polar.layer.Re > 0;
    if (!polar.coupled.empty()) {
        c.model = kCoupledModel;
        c.Re = polar.coupledOptions.re;
        c.Ncrit = polar.coupledOptions.ncrit;
    } else if (viscous) {
        c.Re = polar.layer.Re;
        c.model = envelope(polar.layer)
                      ? "one-way boundary layer on the inviscid flow, e^n transition"
                      : "one-way boundary layer on the inviscid flow, Michel transition";
        if (envelope(polar.layer)) c.Ncrit = polar.layer.transition.Ncrit;
    } else {
        c.model = "inviscid";
    }
    c.mach = polar.mach;
    c.origin = std::to_string(press.common.NP) + " points, \u03b7 = " +
               sixFigures(press.setup.etaDeg) + "\u00b0";
    if (polar.mach != 0) c.origin += ", " + std::string(correctionName(polar.correction));
    return c;
}

std::vector<KeptRun> keptRunsOf(const PressCase& press, const PolarResult& polar)
{
    std::vector<KeptRun> runs;
    if (!polar.coupled.empty()) {
        // The converged points of each coupled method, with their viscous
        // lift and moment; the inviscid reference is not kept.
        for (std::size_t k = 0; k < polar.methods.size() && k < polar.coupled.size(); ++k) {
            KeptRun run;
            run.runCase = polarRunCase(press, polar, polar.methods[k]);
            run.name = defaultRunName(run.runCase);
            for (const CoupledPoint& p : polar.coupled[k]) {
                if (!p.converged) continue;
                run.alpha.push_back(p.alphaDeg);
                run.CL.push_back(p.CL);
                run.CD.push_back(p.CD);
                run.CDp.push_back(p.CDp);
                run.CM.push_back(p.CM);
                run.topXtr.push_back(transitionXc(p.transitionUpper));
                run.botXtr.push_back(transitionXc(p.transitionLower));
            }
            if (run.rows() > 0) runs.push_back(std::move(run));
        }
        return runs;
    }
    for (std::size_t k = 0; k < polar.methods.size() && k < polar.points.size(); ++k) {
        KeptRun run;
        run.runCase = polarRunCase(press, polar, polar.methods[k]);
        run.name = defaultRunName(run.runCase);
        const std::vector<bool> holds = validPoints(polar, k);
        const bool viscous = run.runCase.Re > 0 && k < polar.viscous.size() &&
                             polar.viscous[k].size() == polar.points[k].size();
        for (std::size_t i = 0; i < polar.points[k].size(); ++i) {
            if (!holds[i]) continue;
            const OperatingPoint& p = polar.points[k][i];
            if (viscous) {
                const ViscousPoint& v = polar.viscous[k][i];
                if (!v.ok || !v.reliable) continue;
                run.CD.push_back(v.CD);
                run.CDp.push_back(v.CD - v.CDfriction);
                run.topXtr.push_back(transitionXc(v.transitionUpper));
                run.botXtr.push_back(transitionXc(v.transitionLower));
            } else {
                run.CDp.push_back(p.CD);
            }
            run.alpha.push_back(p.alphaDeg);
            run.CL.push_back(p.CL);
            run.CM.push_back(p.CM);
        }
        // A method that gave no angle (refused, or cancelled before it) has nothing to keep.
        if (run.rows() > 0) runs.push_back(std::move(run));
    }
    return runs;
}

std::string caseCommentLines(const RunCase& c, std::span<const double> alphas)
{
    const auto oneLine = [](std::string s) {
        std::replace(s.begin(), s.end(), '\n', ' ');
        std::replace(s.begin(), s.end(), '\r', ' ');
        return s;
    };
    std::string t;
    t += "# airfoil: " + oneLine(c.airfoil) + "\n";
    t += "# method: " + oneLine(c.method) + "\n";
    t += "# model: " + oneLine(c.model) + "\n";
    t += "# Re: " + (c.Re > 0 ? reynoldsText(c.Re) : std::string("none")) + "\n";
    t += "# Ncrit: " + (c.Ncrit > 0 ? sixFigures(c.Ncrit) : std::string("none")) + "\n";
    t += "# Mach: " + sixFigures(c.mach) + "\n";
    if (alphas.empty()) {
        t += "# alpha range: no angles\n";
    } else {
        const auto [lo, hi] = std::minmax_element(alphas.begin(), alphas.end());
        t += "# alpha range: " + sixFigures(*lo) + " to " + sixFigures(*hi) + " deg (" +
             std::to_string(alphas.size()) + (alphas.size() == 1 ? " angle)\n" : " angles)\n");
    }
    if (!c.origin.empty()) t += "# from: " + oneLine(c.origin) + "\n";
    return t;
}

std::string polarCaseLines(const PressCase& press, const PolarResult& polar)
{
    RunCase c = polarRunCase(press, polar, polar.methods.empty() ? press.setup.method
                                                                 : polar.methods.front());
    if (polar.methods.size() > 1) {
        c.method.clear();
        for (PanelMethod m : polar.methods)
            c.method += (c.method.empty() ? "" : ", ") + std::string(methodName(m));
    }
    std::vector<double> alphas;
    if (!polar.points.empty())
        for (const OperatingPoint& p : polar.points.front()) alphas.push_back(p.alphaDeg);
    return caseCommentLines(c, alphas);
}

std::string keptRunCsvText(const KeptRun& run)
{
    std::string name = run.name;
    std::replace(name.begin(), name.end(), '\n', ' ');
    std::string t = "# polar: " + name + "\n" + caseCommentLines(run.runCase, run.alpha);
    const bool drag = run.hasDrag();
    // Without a layer the pressure drag is the inviscid integral, named so.
    t += drag ? "alpha,CL,CDp,CM,CD,Top_Xtr,Bot_Xtr\n" : "alpha,CL,CDp_inviscid,CM\n";
    for (std::size_t i = 0; i < run.rows(); ++i) {
        t += shortestText(run.alpha[i]) + "," + shortestText(run.CL[i]) + "," +
             shortestText(run.CDp[i]) + "," + shortestText(run.CM[i]);
        if (drag)
            t += "," + shortestText(run.CD[i]) + "," + shortestText(run.topXtr[i]) + "," +
                 shortestText(run.botXtr[i]);
        t += "\n";
    }
    return t;
}

PlotData withKeptRuns(PlotData plot, std::span<const KeptRun> runs, KeptPlot which)
{
    // The kept runs go under the plot's own curves: a run kept from the
    // current polar must not hide the curve it was kept from.
    std::vector<Series> own = std::move(plot.series);
    plot.series.clear();
    const bool drag = which != KeptPlot::Lift && which != KeptPlot::Moment;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const KeptRun& run = runs[r];
        if (!run.shown || (drag && !run.hasDrag())) continue;
        Series s{run.name, Series::Role::Computed, keptColour(r), true, {}, {}};
        switch (which) {
        case KeptPlot::Lift: s.x = run.alpha; s.y = run.CL; break;
        case KeptPlot::Moment: s.x = run.alpha; s.y = run.CM; break;
        case KeptPlot::Drag: s.x = run.alpha; s.y = run.CD; break;
        case KeptPlot::DragPolar:
            s.x = run.CD;
            s.y = run.CL;
            // Only the one-way layer leaves CL inviscid.
            if (run.runCase.model.rfind("one-way", 0) != 0) plot.yLabel = "CL";
            break;
        case KeptPlot::Transition: {
            Series lower{run.name + " lower", Series::Role::LowerSurface, keptColour(r), true,
                         run.alpha, run.botXtr};
            s.name += " upper";
            s.x = run.alpha;
            s.y = run.topXtr;
            plot.series.push_back(std::move(s));
            plot.series.push_back(std::move(lower));
            continue;
        }
        }
        plot.series.push_back(std::move(s));
    }
    for (Series& s : own) plot.series.push_back(std::move(s));
    return plot;
}

}  // namespace tavrix
