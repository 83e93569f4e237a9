#include "tools/batch/CoupledRun.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "app/NumberText.h"
#include "app/PressSolvers.h"
#include "solvers/PanelSolution.h"
#include "tools/batch/OptionNumbers.h"
#include "viscous/InviscidCoupling.h"
#include "viscous/LiftMaximum.h"

namespace tavrix {

namespace {

// A transition this close ahead of its trip, or behind it, counts as forced:
// free transition can only come first.
constexpr double kAtTheTrip = 1e-3;

std::optional<double> optionNumber(const std::map<std::string, std::string>& values,
                                   const std::string& name)
{
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return wholeNumber(it->second);
}

std::string text(double v, int decimals, char sep)
{
    return generalForm(roundHalfEven(v, decimals), sep);
}

std::string transitionLine(const std::optional<double>& x, double trip, char sep)
{
    if (!x) return "none (laminar to the trailing edge)";
    const bool forced = trip <= 1 && *x >= trip - kAtTheTrip;
    return text(*x, 4, sep) + (forced ? " (forced)" : " (e^n)");
}

// A separation ahead of the transition is of the laminar layer.
std::string separationLine(const std::optional<double>& separation,
                           const std::optional<double>& transition, char sep)
{
    if (!separation) return "none";
    const bool laminar = !transition || *separation < *transition;
    return text(*separation, 4, sep) + (laminar ? " (laminar)" : " (turbulent)");
}

}  // namespace

bool coupledRequested(const std::map<std::string, std::string>& values,
                      const std::set<std::string>& flags)
{
    return values.count("--re") != 0 && flags.count(kOneWay) == 0;
}

std::optional<std::string> coupledOptionError(const std::map<std::string, std::string>& values,
                                              const std::set<std::string>& flags,
                                              std::span<const PanelMethod> methods)
{
    const bool re = values.count("--re") != 0;
    const bool oneWay = flags.count(kOneWay) != 0;
    if (oneWay && !re) return std::string(kOneWay) + " needs --re";
    for (const char* name : {"--cl", "--bl-csv"}) {
        if (values.count(name) == 0) continue;
        if (!re) return std::string(name) + " needs --re";
        if (oneWay) return std::string(name) + " belongs to the coupled analysis, not to --one-way";
    }
    if (auto cl = values.find("--cl"); cl != values.end()) {
        if (values.count("--sweep") != 0) return "--cl takes no --sweep";
        if (!wholeNumber(cl->second))
            return "--cl needs a lift coefficient written as a number, not \"" + cl->second + "\"";
    }
    if (!re || oneWay) return std::nullopt;
    if (flags.count("--no-natural-transition") != 0)
        return "--no-natural-transition belongs to the one-way layer (--one-way); the coupled "
               "analysis has free transition by the e^n method (--ncrit) and trips "
               "(--transition-upper, --transition-lower)";
    if (flags.count("--no-circulation") != 0)
        return "--re takes no --no-circulation: the coupled analysis needs the trailing-edge "
               "condition (the one-way layer, --one-way, takes it)";
    if (auto mach = values.find("--mach"); mach != values.end()) {
        const LeadingNumber n = readLeadingNumber(mach->second);
        if (n.tooLarge || n.value != 0)
            return "--re takes no --mach: the coupled boundary layer is incompressible (the "
                   "one-way layer, --one-way, takes a Mach number)";
    }
    for (PanelMethod method : methods)
        if (!coupled::couplingAvailable(method)) return coupled::couplingRefusal(method).message;
    return std::nullopt;
}

CoupledRequest coupledRequest(const std::map<std::string, std::string>& values)
{
    CoupledRequest r;
    r.options.re = optionNumber(values, "--re").value_or(0);
    r.options.ncrit = optionNumber(values, "--ncrit").value_or(9);
    r.options.tripUpperX = optionNumber(values, "--transition-upper").value_or(2);
    r.options.tripLowerX = optionNumber(values, "--transition-lower").value_or(2);
    r.options.targetCl = optionNumber(values, "--cl");
    if (auto f = values.find("--bl-csv"); f != values.end()) r.layerCsvFile = f->second;
    return r;
}

int runCoupledPress(Form_TavrixS& form, PanelMethod method, const CoupledRequest& request,
                    std::ostream& out, std::ostream& err)
{
    const Common& c = form.common();
    const char sep = c.DecimalSeparator;
    // The panels the press solved, solved once more into a solution whose
    // factors give the displacement sources' influence.
    const Outcome<PanelSolution> solution = solvePanels(panelsInUse(c), method);
    if (!solution) {
        err << "tavrixs-batch: " << solution.refusal().message << '\n';
        return 1;
    }
    const coupled::CoupledOptions& options = request.options;
    const CoupledPoint point = coupledPointAt(*solution, c.AlfaD, options);

    if (!point.converged) {
        out << "converged = no (" << point.reason << ")\n";
        if (!request.layerCsvFile.empty())
            err << "tavrixs-batch: " << request.layerCsvFile
                << " not written: the coupled analysis did not converge\n";
        return 4;
    }
    if (options.targetCl) out << "alpha = " << text(point.alphaDeg, 4, sep) << '\n';
    out << "viscous CL = " << text(point.CL, 4, sep) << '\n';
    out << "viscous CMc/4 = " << text(point.CM, 4, sep) << '\n';
    out << "CD = " << text(point.CD, 5, sep) << '\n';
    out << "CDp = " << text(point.CDp, 5, sep) << '\n';
    out << "CDf = " << text(point.CDf, 5, sep) << '\n';
    out << "transition upper x/c = "
        << transitionLine(point.transitionUpper, options.tripUpperX, sep) << '\n';
    out << "transition lower x/c = "
        << transitionLine(point.transitionLower, options.tripLowerX, sep) << '\n';
    out << "separation upper x/c = "
        << separationLine(point.separationUpper, point.transitionUpper, sep) << '\n';
    out << "separation lower x/c = "
        << separationLine(point.separationLower, point.transitionLower, sep) << '\n';
    out << "converged = yes\n";
    if (!request.layerCsvFile.empty()) {
        const CoupledPoint points[] = {point};
        if (const auto error = WriteTextFile(request.layerCsvFile, layerCsvText(method, points))) {
            form.toolkit().message(*error);
            return 3;
        }
    }
    return 0;
}

std::string coupledSweepLine(const CoupledPoint& p, char sep)
{
    if (!p.converged) return " converged = no (" + p.reason + ")";
    auto separation = [&](const std::optional<double>& at) {
        return at ? text(*at, 4, sep) : std::string("none");
    };
    return " viscous CL = " + text(p.CL, 4, sep) + " CMc/4 = " + text(p.CM, 4, sep) +
           " CD = " + text(p.CD, 5, sep) + " CDp = " + text(p.CDp, 5, sep) +
           " CDf = " + text(p.CDf, 5, sep) +
           " transition upper = " + text(transitionXc(p.transitionUpper), 4, sep) +
           " lower = " + text(transitionXc(p.transitionLower), 4, sep) +
           " separation upper = " + separation(p.separationUpper) +
           " lower = " + separation(p.separationLower) + " converged = yes";
}

std::string liftMaximumLine(std::span<const CoupledPoint> points, char sep)
{
    const std::optional<coupled::LiftMaximum> m = liftMaximumOf(points);
    if (!m) return "CLmax = none in range";
    return "CLmax = " + text(m->cl, 4, sep) + " at alpha = " + generalForm(m->alphaDeg, sep);
}

}  // namespace tavrix
