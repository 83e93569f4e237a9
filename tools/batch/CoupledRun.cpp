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

// The shortest text that reads back as the same double, with a point.
std::string exact(double v)
{
    char digits[64];
    const auto r = std::to_chars(digits, digits + sizeof digits, v);
    return std::string(digits, r.ec == std::errc() ? r.ptr : digits);
}

// Fixed decimals right-aligned in a field, with a point; a value that rounds
// to zero has no sign, and a number wider than its field keeps one blank.
std::string fixed(double v, int decimals, int width)
{
    char digits[64];
    const auto r = std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed,
                                 decimals);
    std::string s(digits, r.ec == std::errc() ? r.ptr : digits);
    if (!s.empty() && s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    const std::size_t blanks =
        static_cast<int>(s.size()) < width ? static_cast<std::size_t>(width) - s.size() : 1;
    s.insert(0, blanks, ' ');
    return s;
}

std::string quoted(const std::string& field)
{
    std::string q = "\"";
    for (char ch : field) {
        if (ch == '"') q += '"';
        q += ch;
    }
    return q + "\"";
}

// Chord fraction of transition in xfoil's convention: 1 when laminar to the edge.
double transitionXc(const std::optional<double>& x) { return x.value_or(1.0); }

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

std::string coupledPolarText(const SweepConditions& conditions, PanelMethod method,
                             const coupled::CoupledOptions& options,
                             std::span<const CoupledPoint> points)
{
    std::string name = conditions.sectionName.empty() ? "unnamed section" : conditions.sectionName;
    std::replace(name.begin(), name.end(), '\n', ' ');
    std::replace(name.begin(), name.end(), '\r', ' ');
    auto trip = [](double x) { return x <= 1 ? x : 1.0; };
    std::string t;
    t += " \n";
    t += "       Tavrix-S  coupled viscous-inviscid analysis, panel method: " +
         std::string(methodName(method)) + "\n";
    t += " CD: Squire-Young at the end of the wake, CDp = CD - CDf\n";
    t += " Calculated polar for: " + name + "\n";
    t += " \n";
    t += " 1 1 Reynolds number fixed          Mach number fixed\n";
    t += " \n";
    t += " xtrf = " + fixed(trip(options.tripUpperX), 3, 7) + " (top)      " +
         fixed(trip(options.tripLowerX), 3, 7) + " (bottom)\n";
    t += " Mach = " + fixed(0.0, 3, 7) + "     Re =" + fixed(options.re / 1e6, 3, 10) + " e 6" +
         "     Ncrit =" + fixed(options.ncrit, 3, 8) + "\n";
    t += " \n";
    t += "   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr\n";
    t += "  ------ -------- --------- --------- -------- -------- --------\n";
    for (const CoupledPoint& p : points) {
        if (!p.converged) continue;
        t += fixed(p.alphaDeg, 3, 8) + fixed(p.CL, 4, 9) + fixed(p.CD, 5, 10) +
             fixed(p.CDp, 5, 10) + fixed(p.CM, 4, 9) +
             fixed(transitionXc(p.transitionUpper), 4, 9) +
             fixed(transitionXc(p.transitionLower), 4, 9) + "\n";
    }
    return t;
}

std::string coupledCsvText(const SweepConditions& conditions, std::span<const MethodSweep> sweeps,
                           std::span<const std::vector<CoupledPoint>> points)
{
    SweepConditions inviscid = conditions;
    inviscid.layer = {};
    const std::string table = CoefficientsCsvText(inviscid, sweeps);
    std::vector<std::string> extra = {
        ",CL_viscous,CM_viscous,CD,CDp,CDf,Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,converged,reason"};
    for (std::size_t m = 0; m < sweeps.size(); ++m) {
        for (std::size_t k = 0; k < sweeps[m].outcome.points.size(); ++k) {
            const CoupledPoint* p =
                m < points.size() && k < points[m].size() ? &points[m][k] : nullptr;
            if (p == nullptr) {
                extra.push_back(",,,,,,,,,,no," + quoted("not computed"));
            } else if (!p->converged) {
                extra.push_back(",,,,,,,,,,no," + quoted(p->reason));
            } else {
                auto optional = [](const std::optional<double>& v) {
                    return v ? exact(*v) : std::string();
                };
                extra.push_back("," + exact(p->CL) + "," + exact(p->CM) + "," + exact(p->CD) +
                                "," + exact(p->CDp) + "," + exact(p->CDf) + "," +
                                exact(transitionXc(p->transitionUpper)) + "," +
                                exact(transitionXc(p->transitionLower)) + "," +
                                optional(p->separationUpper) + "," + optional(p->separationLower) +
                                ",yes,");
            }
        }
    }
    // Row by row: the hinge moment, when there is one, stays the last column.
    std::string t;
    std::size_t row = 0, start = 0;
    while (start < table.size()) {
        const std::size_t end = table.find('\n', start);
        std::string line = table.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? table.size() : end + 1;
        const std::string& added = row < extra.size() ? extra[row] : std::string();
        ++row;
        const std::size_t at = conditions.flap ? line.rfind(',') : std::string::npos;
        if (at == std::string::npos)
            line += added;
        else
            line.insert(at, added);
        t += line + "\n";
    }
    return t;
}

std::string layerCsvText(PanelMethod method, std::span<const CoupledPoint> points, bool withHeader)
{
    std::string t;
    if (withHeader) t = "method,alpha,side,x,y,xi,ue,theta,delta_star,H,Cf,n,C_tau,turbulent\n";
    const std::string name(methodName(method));
    for (const CoupledPoint& p : points) {
        if (!p.converged) continue;
        const std::string alpha = exact(p.alphaDeg);
        for (const coupled::StationResult& s : p.stations) {
            const bool wake = s.side == coupled::Side::Wake;
            const bool turbulent = wake || s.turbulent;
            const char* side = wake ? "wake" : s.side == coupled::Side::Upper ? "upper" : "lower";
            t += name + "," + alpha + "," + side + "," + exact(s.x) + "," + exact(s.y) + "," +
                 exact(s.xi) + "," + exact(s.ue) + "," + exact(s.theta) + "," + exact(s.dstar) +
                 "," + exact(s.H) + "," + exact(s.cf) + "," + (turbulent ? "" : exact(s.n)) + "," +
                 (turbulent ? exact(s.ctau) : "") + "," + (turbulent ? "1" : "0") + "\n";
        }
    }
    return t;
}

}  // namespace tavrix
