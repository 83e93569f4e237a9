#include "tools/batch/CpPlotRun.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "app/NumberText.h"

namespace tavrix {

namespace {

std::string number(double v) { return generalForm(roundHalfEven(v, 4)); }

// "Pressure distribution: NACA 0012, 61 points, Vortex panel method, α = 5°"
// and the rotation and Mach number when they are not 0.
void nameTheCase(PlotData& plot, const PressCase& press, bool allMethods)
{
    std::string title = plot.title + ": " + sectionName(press) + ", " +
                        std::to_string(press.common.NP) + " points, ";
    if (!allMethods) title += std::string(methodName(press.setup.method)) + " method, ";
    title += "\u03b1 = " + number(press.alphaDeg) + "\u00b0";
    if (press.setup.etaDeg != 0) title += ", \u03b7 = " + number(press.setup.etaDeg) + "\u00b0";
    if (press.setup.mach != 0) title += ", M\u221e = " + number(std::fabs(press.setup.mach));
    plot.title = title;
}

// The main window's eta and Moo boxes as the press reads them (a number too
// large has refused the run before).
double box(Form_TavrixS& form, const char* name)
{
    return readLeadingNumber(form.toolkit().text(name)).value;
}

std::optional<KarmanTrefftzSection> lastSection(Form_TavrixS& form)
{
    if (!form.katjoCreated()) return std::nullopt;
    return form.katjo().lastSection();
}

}  // namespace

PlotData pressPressurePlot(Form_TavrixS& form, PanelMethod method, bool noCirculation)
{
    FlowSetup setup;
    setup.method = method;
    setup.etaDeg = box(form, "Text_ItaD");
    setup.mach = box(form, "Text_Moo");
    setup.noCirculation = method == PanelMethod::Hess && noCirculation;
    const PressCase press = makePressCase(form.common(), setup, lastSection(form));
    PlotData plot = pressurePlot(press, PressureRequest{}).plot;
    nameTheCase(plot, press, false);
    return plot;
}

std::optional<PlotData> sweepPressurePlot(Form_TavrixS& form, const SweepRequest& request)
{
    if (request.alphasDeg.empty() || request.methods.empty()) return std::nullopt;
    FlowSetup setup;
    setup.method = request.methods.front();
    setup.etaDeg = box(form, "Text_ItaD");
    setup.mach = box(form, "Text_Moo");
    setup.correction = request.correction;
    setup.noCirculation = request.noCirculation;
    const double alpha[] = {request.alphasDeg.back()};
    const SweepOutcome outcome = Sweep(form.common(), setup, alpha);
    if (outcome.points.empty()) return std::nullopt;
    const OperatingPoint& point = outcome.points.front();
    // The state a press at that angle leaves, kept apart from the program's
    // own: nothing of a press is written or shown.
    Common c = form.common();
    c.AlfaD = point.alphaDeg;
    c.CosAlfa = std::cos(c.AlfaD * c.DegToRad);
    c.SinAlfa = std::sin(c.AlfaD * c.DegToRad);
    BuildPanels(c, setup.etaDeg);
    for (int i = 1; i <= c.NPanel && static_cast<std::size_t>(i) <= point.Vt.size(); ++i) {
        c.Vt[i] = point.Vt[static_cast<std::size_t>(i - 1)];
        c.Cu[i] = point.Cu[static_cast<std::size_t>(i - 1)];
    }
    const PressCase press = makePressCase(c, setup, lastSection(form));
    PressureRequest pressure;
    pressure.correction = request.correction;
    pressure.compareMethods = request.methods.size() > 1;
    PlotData plot = pressurePlot(press, pressure).plot;
    nameTheCase(plot, press, pressure.compareMethods);
    return plot;
}

std::optional<bool> plotFileIsSvg(const std::string& file)
{
    std::string ext = std::filesystem::path(file).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (ext == ".svg") return true;
    if (ext == ".png") return false;
    return std::nullopt;
}

}  // namespace tavrix
