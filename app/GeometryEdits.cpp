#include "app/GeometryEdits.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <variant>

#include "app/ContourTables.h"
#include "app/Form_TavrixS.h"
#include "app/NumberText.h"

namespace tavrix {

namespace {

constexpr const char* kNoAirfoil = "Calculate airfoil coordinates";

bool refuse(Form_TavrixS& form, const std::string& message)
{
    form.toolkit().message(message);
    form.showAirfoilInUse();
    return false;
}

// The value of one input, or the message that refuses it.
std::variant<double, std::string> inputValue(std::string_view text, const char* what)
{
    if (auto v = editNumber(text)) return *v;
    return std::string(what) + " must be a number, not \"" + std::string(text) + "\"";
}

// A name that says what was done to the section.
std::string editedName(const std::string& name, const std::string& what)
{
    return (name.empty() ? std::string("contour") : name) + ", " + what;
}

std::string shown(double v) { return generalForm(v, '.'); }

// Makes the edited contour the one in use; the flap (if any) goes with it.
bool install(Form_TavrixS& form, const Contour& contour, const std::optional<FlapHinge>& flap)
{
    Common& c = form.common();
    if (contour.size() > kTableLast)
        return refuse(form, "The edited contour has " + std::to_string(contour.size()) +
                                " points, more than the " + std::to_string(kTableLast) +
                                " a contour may have; repanel it to fewer points first");
    if (!showContourInUse(c, form.toolkit(), contour, ContourSource::Repanelled))
        return refuse(form, "The edited contour cannot be used");
    c.Flap.reset();
    if (flap) tieFlapToContourInUse(c, *flap);
    form.toolkit().setText("Text_NP", generalForm(c.NP, c.DecimalSeparator));
    form.showAirfoilInUse();
    return true;
}

}  // namespace

std::optional<double> editNumber(std::string_view text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t')) ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
    const std::string t(text.substr(first, last - first));
    // Plain decimal only: no hexadecimal, no inf or nan, no locale comma.
    if (t.empty() || t.find_first_not_of("+-0123456789.eE") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool applyFlap(Form_TavrixS& form, std::string_view hingeXc, std::string_view hingeHeight,
               std::string_view deflectionDeg, bool absoluteY)
{
    Common& c = form.common();
    const auto xc = inputValue(hingeXc, "The hinge x/c");
    const auto height = inputValue(hingeHeight, absoluteY ? "The hinge y/c"
                                                          : "The hinge height (fraction of the thickness)");
    const auto deg = inputValue(deflectionDeg, "The flap deflection");
    for (const auto* v : {&xc, &height, &deg})
        if (auto* m = std::get_if<std::string>(v)) return refuse(form, *m);
    if (!c.AirfoilReady) return refuse(form, kNoAirfoil);
    FlapSettings settings;
    settings.hingeXc = std::get<double>(xc);
    if (absoluteY)
        settings.hingeY = std::get<double>(height);
    else
        settings.thicknessFraction = std::get<double>(height);
    settings.deflectionDeg = std::get<double>(deg);
    auto result = deflectFlap(contourInUse(c), settings);
    if (auto* m = std::get_if<std::string>(&result)) return refuse(form, *m);
    FlappedSection& f = std::get<FlappedSection>(result);
    f.contour.name = editedName(f.contour.name, "flap " + shown(settings.deflectionDeg) +
                                                    " deg at x/c " + shown(settings.hingeXc));
    return install(form, f.contour, f.hinge);
}

bool scaleThicknessAndCamber(Form_TavrixS& form, std::string_view thicknessFactor,
                             std::string_view camberFactor)
{
    Common& c = form.common();
    const auto t = inputValue(thicknessFactor, "The thickness factor");
    const auto m = inputValue(camberFactor, "The camber factor");
    for (const auto* v : {&t, &m})
        if (auto* s = std::get_if<std::string>(v)) return refuse(form, *s);
    if (!c.AirfoilReady) return refuse(form, kNoAirfoil);
    const std::optional<FlapHinge> flap = flapInUse(c);
    auto result = scaleThicknessCamber(contourInUse(c), std::get<double>(t), std::get<double>(m));
    if (auto* s = std::get_if<std::string>(&result)) return refuse(form, *s);
    Contour& contour = std::get<Contour>(result);
    contour.name = editedName(contour.name, "thickness x " + shown(std::get<double>(t)) +
                                                ", camber x " + shown(std::get<double>(m)));
    return install(form, contour, flap);
}

bool setTrailingEdgeGapOf(Form_TavrixS& form, std::string_view width, std::string_view blend)
{
    Common& c = form.common();
    const auto w = inputValue(width, "The trailing-edge gap");
    const auto b = inputValue(blend, "The blending length");
    for (const auto* v : {&w, &b})
        if (auto* s = std::get_if<std::string>(v)) return refuse(form, *s);
    if (!c.AirfoilReady) return refuse(form, kNoAirfoil);
    const std::optional<FlapHinge> flap = flapInUse(c);
    auto result = setTrailingEdgeGap(contourInUse(c), std::get<double>(w), std::get<double>(b));
    if (auto* s = std::get_if<std::string>(&result)) return refuse(form, *s);
    Contour& contour = std::get<Contour>(result);
    contour.name = editedName(contour.name, "trailing-edge gap " + shown(std::get<double>(w)));
    const double gap = closeTrailingEdge(contour);
    if (!install(form, contour, flap)) return false;
    if (gap > 0) {
        const double rounded = roundHalfEven(gap, 5) != 0 ? roundHalfEven(gap, 5) : roundHalfEven(gap, 7);
        form.toolkit().message("The trailing edge of " + contour.name + " was open, " +
                               generalForm(rounded, c.DecimalSeparator) +
                               " chord wide; it has been closed at the mid point of the gap");
    }
    return true;
}

std::optional<FlapHinge> flapInUse(const Common& c)
{
    if (!c.Flap || !c.AirfoilReady || c.NP < 2) return std::nullopt;
    const auto n = static_cast<std::size_t>(c.NP);
    if (c.FlapX.size() != n || c.FlapY.size() != n) return std::nullopt;
    for (std::size_t i = 0; i < n; ++i)
        if (c.FlapX[i] != c.XCoord[i + 1] || c.FlapY[i] != c.YCoord[i + 1]) return std::nullopt;
    return c.Flap;
}

std::optional<FlappedSection> flappedSectionInUse(const Common& c)
{
    const std::optional<FlapHinge> hinge = flapInUse(c);
    if (!hinge) return std::nullopt;
    return FlappedSection{contourInUse(c), *hinge};
}

void tieFlapToContourInUse(Common& c, const FlapHinge& hinge)
{
    c.Flap = hinge;
    c.FlapX = contourX(c);
    c.FlapY = contourY(c);
}

std::optional<double> pressHingeMoment(const Common& c)
{
    const auto f = flappedSectionInUse(c);
    if (!f || !c.LastPoint || c.LastPoint->Cu.size() + 1 != static_cast<std::size_t>(c.NP))
        return std::nullopt;
    const double ch = hingeMomentCoefficient(f->contour, c.LastPoint->Cu, f->hinge);
    if (!std::isfinite(ch)) return std::nullopt;
    return ch;
}

}  // namespace tavrix
