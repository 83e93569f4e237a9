#include "tools/batch/SweepRun.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "app/GeometryEdits.h"
#include "app/NumberText.h"
#include "output/PolarFiles.h"
#include "viscous/ViscousPolar.h"

namespace tavrix {

namespace {

// A plain decimal number and the count of its decimals; exponent forms give
// no decimal count (-1).
bool plainNumber(std::string_view text, double& value, int& decimals)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value))
        return false;
    const auto point = text.find('.');
    decimals = point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
    if (text.find_first_of("eE") != std::string_view::npos) decimals = -1;
    return true;
}

// The number the decimal text of v with this many decimals reads as, so that
// 0.1 + 2 x 0.1 is the 0.3 a user would type.
double asTyped(double v, int decimals)
{
    if (decimals < 0 || decimals > 12) return v;
    char digits[64];
    const auto w = std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed,
                                 decimals);
    double typed = v;
    if (w.ec == std::errc()) std::from_chars(digits, w.ptr, typed);
    return typed;
}

std::string fourDecimals(double v, char sep) { return generalForm(roundHalfEven(v, 4), sep); }

// The boundary layer's numbers at the end of an angle's line.
std::string viscousLine(const ViscousPoint& v, char sep)
{
    if (!v.ok) return " CD = none (" + v.message + ")";
    std::string t = " CD = ";
    const std::string cd = generalForm(roundHalfEven(v.CD, 5), sep);
    t += v.reliable ? cd : "not reliable (estimate " + cd + ")";
    t += " CDf = " + generalForm(roundHalfEven(v.CDfriction, 5), sep);
    t += " transition upper = " + fourDecimals(transitionXc(v.transitionUpper), sep);
    t += " lower = " + fourDecimals(transitionXc(v.transitionLower), sep);
    auto separation = [&](const SurfacePoint& at) {
        return at.found ? fourDecimals(at.xc, sep) : std::string("none");
    };
    t += " separation upper = " + separation(v.separationUpper);
    t += " lower = " + separation(v.separationLower);
    return t;
}

}  // namespace

std::optional<std::vector<double>> SweepAngles(std::string_view range)
{
    const auto first = range.find(':');
    const auto second = first == std::string_view::npos ? first : range.find(':', first + 1);
    if (second == std::string_view::npos || range.find(':', second + 1) != std::string_view::npos)
        return std::nullopt;
    double from, to, step;
    int dFrom, dTo, dStep;
    if (!plainNumber(range.substr(0, first), from, dFrom) ||
        !plainNumber(range.substr(first + 1, second - first - 1), to, dTo) ||
        !plainNumber(range.substr(second + 1), step, dStep))
        return std::nullopt;
    if (step == 0) {
        if (from != to) return std::nullopt;
        return std::vector<double>{from};
    }
    const double intervals = (to - from) / step;
    if (!(intervals > -1e-9) || intervals + 1 > static_cast<double>(kMaxSweepAngles))
        return std::nullopt;
    const auto count = static_cast<std::size_t>(std::floor(intervals + 1e-9)) + 1;
    const int decimals = (dFrom < 0 || dStep < 0) ? -1 : std::max(dFrom, dStep);
    std::vector<double> alphas;
    alphas.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        alphas.push_back(asTyped(from + static_cast<double>(k) * step, decimals));
    return alphas;
}

int runSweep(Form_TavrixS& form, const SweepRequest& request, std::ostream& out,
             std::ostream& err)
{
    Common& c = form.common();
    ui::Toolkit& tk = form.toolkit();
    const char sep = c.DecimalSeparator;

    // Eta and Moo as the window reads its boxes.
    double inputs[2];
    const char* boxes[2] = {"Text_ItaD", "Text_Moo"};
    for (int k = 0; k < 2; ++k) {
        const std::string text = tk.text(boxes[k]);
        const LeadingNumber n = readLeadingNumber(text);
        if (n.tooLarge) {
            tk.message(numberTooLargeMessage(text));
            return 1;
        }
        inputs[k] = n.value;
    }

    int status = 0;
    const std::optional<FlappedSection> flap = flappedSectionInUse(c);
    std::vector<MethodSweep> sweeps;
    std::vector<std::vector<CoupledPoint>> coupledPoints;  // per method, per angle solved
    std::string lastMessage;
    for (PanelMethod method : request.methods) {
        FlowSetup setup;
        setup.method = method;
        setup.etaDeg = inputs[0];
        setup.mach = inputs[1];
        setup.correction = request.correction;
        setup.noCirculation = request.noCirculation;
        setup.keepSignedSpeed = request.layer.Re > 0;
        MethodSweep s{method, Sweep(c, setup, request.alphasDeg)};
        endAtFirstNonFinite(s.outcome);
        const bool viscous = request.layer.Re > 0;
        if (viscous) s.viscous = ViscousPolar(s.outcome.points, request.layer);
        if (request.coupled) {
            std::vector<double> solved;
            for (const OperatingPoint& p : s.outcome.points) solved.push_back(p.alphaDeg);
            const int n = std::clamp(c.NP, 0, kTableLast);
            coupledPoints.push_back(coupledSweep(
                std::span<const double>(c.XCoord.data() + 1, static_cast<std::size_t>(n)),
                std::span<const double>(c.YCoord.data() + 1, static_cast<std::size_t>(n)),
                inputs[0], method, solved, request.coupled->options));
        }
        for (std::size_t k = 0; k < s.outcome.points.size(); ++k) {
            const OperatingPoint& p = s.outcome.points[k];
            out << methodName(method) << ": alpha = " << generalForm(p.alphaDeg, sep)
                << " CL = " << generalForm(roundHalfEven(p.CL, 4), sep)
                << " CMc/4 = " << generalForm(roundHalfEven(p.CM, 4), sep);
            if (viscous) out << viscousLine(s.viscous[k], sep);
            if (request.coupled) out << coupledSweepLine(coupledPoints.back()[k], sep);
            if (flap)
                out << " CH = "
                    << generalForm(roundHalfEven(hingeMomentCoefficient(flap->contour, p.Cu,
                                                                        flap->hinge), 4), sep);
            out << '\n';
        }
        if (!s.outcome.message.empty()) {
            // A refusal common to the methods (the Mach number, the contour) is shown once.
            if (s.outcome.message != lastMessage) tk.message(s.outcome.message);
            lastMessage = s.outcome.message;
            status = 1;
        }
        sweeps.push_back(std::move(s));
    }

    // A coupled sweep ends with the maximum lift of each method's polar.
    for (std::size_t m = 0; m < coupledPoints.size() && m < sweeps.size(); ++m) {
        if (coupledPoints.size() > 1) out << methodName(sweeps[m].method) << ": ";
        out << liftMaximumLine(coupledPoints[m], sep) << '\n';
    }
    if (request.layer.Re > 0) out << "note: " << kInviscidLiftNote << '\n';

    const SweepConditions conditions{c.AirfoilName.empty() ? request.sectionName : c.AirfoilName,
                                     inputs[1], request.correction, request.layer, flap};
    for (const MethodSweep& s : sweeps)
        for (const std::string& line : correctionWarnings(conditions, s))
            err << "warning: " << line << '\n';
    auto write = [&](const std::filesystem::path& file, const std::string& text) {
        if (const auto error = WriteTextFile(file, text)) {
            tk.message(*error);
            if (status == 0) status = 3;
        }
    };
    if (!request.polarFile.empty()) {
        for (std::size_t m = 0; m < sweeps.size(); ++m) {
            const MethodSweep& s = sweeps[m];
            if (s.outcome.points.empty() && !s.outcome.message.empty()) continue;
            const std::filesystem::path file =
                sweeps.size() == 1 ? std::filesystem::path(request.polarFile)
                                   : PolarFileFor(request.polarFile, s.method);
            write(file, request.coupled ? coupledPolarText(conditions, s.method,
                                                           request.coupled->options,
                                                           coupledPoints[m])
                                        : PolarFileText(conditions, s));
        }
    }
    if (!request.csvFile.empty())
        write(request.csvFile, request.coupled
                                   ? coupledCsvText(conditions, sweeps, coupledPoints)
                                   : CoefficientsCsvText(conditions, sweeps));
    if (request.coupled && !request.coupled->layerCsvFile.empty()) {
        std::string table;
        for (std::size_t m = 0; m < sweeps.size(); ++m)
            table += layerCsvText(sweeps[m].method, coupledPoints[m], m == 0);
        if (sweeps.empty()) table = layerCsvText(PanelMethod::Hess, {});
        write(request.coupled->layerCsvFile, table);
    }
    if (!request.cpCsvFile.empty()) write(request.cpCsvFile, PressureCsvText(sweeps));
    return status;
}

}  // namespace tavrix
