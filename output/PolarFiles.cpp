#include "output/PolarFiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "output/FileReplace.h"

namespace tavrix {

std::string fixedField(double value, int decimals, int width)
{
    char digits[64];
    const auto r = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed,
                                 decimals);
    std::string s(digits, r.ec == std::errc() ? r.ptr : digits);
    if (s.empty()) s = "NaN";
    // A value that rounds to zero is written without a sign.
    if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    // A number wider than its field still stands apart from its neighbour.
    const std::size_t blanks =
        static_cast<int>(s.size()) < width ? static_cast<std::size_t>(width) - s.size() : 1;
    s.insert(0, blanks, ' ');
    return s;
}

namespace {

// The shortest text that reads back as the same double.
std::string exact(double value)
{
    char digits[64];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, r.ec == std::errc() ? r.ptr : digits);
}

double lowestCp(const std::vector<double>& Cu)
{
    double lowest = INFINITY;
    for (double cu : Cu) lowest = std::min(lowest, 1 - cu);
    return lowest;
}

}  // namespace

CorrectionValidity pointValidity(const OperatingPoint& point, double mach,
                                 Compressibility correction)
{
    return correctionValidity(lowestCp(point.CuIncompressible), mach, correction);
}

std::string angleRuns(std::span<const double> alphas, const std::vector<bool>& flagged)
{
    std::string t;
    for (std::size_t k = 0; k < alphas.size() && k < flagged.size();) {
        if (!flagged[k]) {
            ++k;
            continue;
        }
        std::size_t end = k;
        while (end + 1 < alphas.size() && end + 1 < flagged.size() && flagged[end + 1]) ++end;
        if (!t.empty()) t += ", ";
        t += exact(alphas[k]);
        if (end > k)
            t += " to " + exact(alphas[end]) + " (" + std::to_string(end - k + 1) + " angles)";
        k = end + 1;
    }
    return t;
}

std::string_view correctionName(Compressibility correction)
{
    return correction == Compressibility::KarmanTsien ? "Karman-Tsien" : "Prandtl-Glauert";
}

std::vector<std::string> correctionWarnings(const SweepConditions& conditions,
                                            const MethodSweep& sweep, std::string_view alphaWord)
{
    std::vector<std::string> lines;
    if (conditions.mach == 0) return lines;
    std::vector<double> alphas;
    std::vector<bool> supercritical, vacuum;
    for (const OperatingPoint& p : sweep.outcome.points) {
        const CorrectionValidity v = pointValidity(p, conditions.mach, conditions.correction);
        alphas.push_back(p.alphaDeg);
        supercritical.push_back(v == CorrectionValidity::Supercritical);
        vacuum.push_back(v == CorrectionValidity::BeyondVacuum);
    }
    const std::string head = std::string(methodName(sweep.method)) + ": the " +
                             std::string(correctionName(conditions.correction)) +
                             " correction is not valid at " + std::string(alphaWord) + " ";
    if (const std::string runs = angleRuns(alphas, supercritical); !runs.empty())
        lines.push_back(head + runs + ": past the critical Mach number");
    if (const std::string runs = angleRuns(alphas, vacuum); !runs.empty())
        lines.push_back(head + runs + ": the corrected Cp falls below the vacuum limit");
    return lines;
}

std::string_view methodKey(PanelMethod method)
{
    return methodInfo(method).word;
}

std::string PolarFileText(const SweepConditions& conditions, const MethodSweep& sweep)
{
    const std::string_view correction = correctionName(conditions.correction);
    std::string name = conditions.sectionName.empty() ? "unnamed section" : conditions.sectionName;
    std::replace(name.begin(), name.end(), '\n', ' ');
    std::replace(name.begin(), name.end(), '\r', ' ');
    const bool viscous = conditions.layer.Re > 0 &&
                         sweep.viscous.size() == sweep.outcome.points.size();
    std::string t;
    t += " \n";
    t += "       Tavrix-S  inviscid panel method: " + std::string(methodName(sweep.method));
    if (conditions.mach != 0) t += ", " + std::string(correction) + " correction";
    t += "\n";
    // The two drags of this program never share a name: the inviscid
    // pressure integral is CDp inviscid, the boundary layer's drag is CD.
    // (Said in words: a reader of this layout takes the first header line
    // holding a column's name for the line of column names.)
    t += viscous ? " Boundary layer: drag by Squire-Young, pressure drag = drag - skin friction\n"
                 : " Inviscid flow: pressure drag = integrated Cp, drag = 0 (no boundary layer)\n";
    t += " Calculated polar for: " + name + "\n";
    t += " \n";
    t += " 1 1 Reynolds number fixed          Mach number fixed\n";
    t += " \n";
    const BoundaryLayerSetup& layer = conditions.layer;
    t += " xtrf = " + fixedField(viscous ? layer.forcedTransitionUpper.value_or(1.0) : 1.0, 3, 7) +
         " (top)      " +
         fixedField(viscous ? layer.forcedTransitionLower.value_or(1.0) : 1.0, 3, 7) + " (bottom)\n";
    t += " Mach = " + fixedField(std::fabs(conditions.mach), 3, 7) + "     Re =" +
         fixedField(viscous ? layer.Re / 1e6 : 0.0, 3, 10) + " e 6" + "     Ncrit =" +
         fixedField(viscous && layer.transition.criterion == TransitionCriterion::Envelope
                   ? layer.transition.Ncrit
                   : 0.0,
               3, 8) +
         "\n";
    t += " \n";
    t += "   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr\n";
    t += "  ------ -------- --------- --------- -------- -------- --------\n";
    for (std::size_t k = 0; k < sweep.outcome.points.size(); ++k) {
        const OperatingPoint& p = sweep.outcome.points[k];
        if (!viscous) {
            t += fixedField(p.alphaDeg, 3, 8) + fixedField(p.CL, 4, 9) + fixedField(0.0, 5, 10) +
                 fixedField(p.CD, 5, 10) + fixedField(p.CM, 4, 9) + fixedField(0.0, 4, 9) + fixedField(0.0, 4, 9) +
                 "\n";
            continue;
        }
        const ViscousPoint& v = sweep.viscous[k];
        if (!v.ok || !v.reliable) continue;
        t += fixedField(p.alphaDeg, 3, 8) + fixedField(p.CL, 4, 9) + fixedField(v.CD, 5, 10) +
             fixedField(v.CD - v.CDfriction, 5, 10) + fixedField(p.CM, 4, 9) +
             fixedField(transitionXc(v.transitionUpper), 4, 9) +
             fixedField(transitionXc(v.transitionLower), 4, 9) + "\n";
    }
    return t;
}

std::string CoefficientsCsvText(const SweepConditions& conditions,
                                std::span<const MethodSweep> sweeps)
{
    const bool viscous = conditions.layer.Re > 0;
    std::string t = "method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit";
    if (viscous) t += ",CD_boundary_layer,CD_friction,Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,reliable";
    const bool compressible = conditions.mach != 0;
    if (compressible) t += ",correction_valid";
    if (conditions.flap) t += ",CH";
    t += "\n";
    for (const MethodSweep& s : sweeps) {
        const bool layered = viscous && s.viscous.size() == s.outcome.points.size();
        for (std::size_t k = 0; k < s.outcome.points.size(); ++k) {
            const OperatingPoint& p = s.outcome.points[k];
            const double cp0Min = lowestCp(p.CuIncompressible);
            const ViscousPoint* v = layered && s.viscous[k].ok ? &s.viscous[k] : nullptr;
            t += std::string(methodName(s.method)) + "," + exact(p.alphaDeg) + "," + exact(p.CL) +
                 "," + exact(p.CD) + "," + exact(p.CM) + "," + exact(lowestCp(p.Cu)) + "," +
                 exact(CriticalMach(cp0Min, conditions.correction));
            if (viscous) {
                auto separation = [](const SurfacePoint& at) {
                    return at.found ? exact(at.xc) : std::string();
                };
                if (v == nullptr) {
                    t += ",,,,,,,";
                } else {
                    t += "," + exact(v->CD) + "," + exact(v->CDfriction) + "," + exact(transitionXc(v->transitionUpper)) +
                         "," + exact(transitionXc(v->transitionLower)) + "," +
                         separation(v->separationUpper) + "," + separation(v->separationLower) +
                         "," + (v->reliable ? "1" : "0");
                }
            }
            if (compressible)
                t += pointValidity(p, conditions.mach, conditions.correction) ==
                             CorrectionValidity::Valid
                         ? ",1"
                         : ",0";
            if (conditions.flap)
                t += "," + exact(hingeMomentCoefficient(conditions.flap->contour, p.Cu,
                                                        conditions.flap->hinge));
            t += "\n";
        }
    }
    return t;
}

std::string PressureCsvText(std::span<const MethodSweep> sweeps)
{
    std::string t = "method,alpha,panel,x,y,Cp,Cp_incompressible\n";
    for (const MethodSweep& s : sweeps) {
        const std::string method(methodName(s.method));
        for (const OperatingPoint& p : s.outcome.points) {
            const std::string alpha = exact(p.alphaDeg);
            for (std::size_t i = 0; i < p.Cu.size(); ++i) {
                t += method + "," + alpha + "," + std::to_string(i + 1) + "," + exact(p.XM[i]) +
                     "," + exact(p.YM[i]) + "," + exact(1 - p.Cu[i]) + "," +
                     exact(1 - p.CuIncompressible[i]) + "\n";
            }
        }
    }
    return t;
}

std::optional<std::string> WriteTextFile(const std::filesystem::path& file, std::string_view text)
{
    const std::optional<std::string> failure = replaceFileContents(file, text);
    if (!failure) return std::nullopt;
    return "Cannot write \"" + file.string() + "\": " + *failure;
}

std::filesystem::path PolarFileFor(const std::filesystem::path& file, PanelMethod method)
{
    std::filesystem::path named = file.parent_path() / file.stem();
    named += "_" + std::string(methodKey(method));
    named += file.extension();
    return named;
}

}  // namespace tavrix
