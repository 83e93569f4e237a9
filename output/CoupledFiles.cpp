#include "output/CoupledFiles.h"

#include <algorithm>
#include <optional>

#include "app/NumberText.h"
#include "output/AnalysisSeries.h"

namespace tavrix {

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
    // (in words: see PolarFileText)
    t += " Coupled layer: drag by Squire-Young at the end of the wake, pressure drag = drag - skin friction\n";
    t += " Calculated polar for: " + name + "\n";
    t += " \n";
    t += " 1 1 Reynolds number fixed          Mach number fixed\n";
    t += " \n";
    t += " xtrf = " + fixedField(trip(options.tripUpperX), 3, 7) + " (top)      " +
         fixedField(trip(options.tripLowerX), 3, 7) + " (bottom)\n";
    t += " Mach = " + fixedField(0.0, 3, 7) + "     Re =" + fixedField(options.re / 1e6, 3, 10) + " e 6" +
         "     Ncrit =" + fixedField(options.ncrit, 3, 8) + "\n";
    t += " \n";
    t += "   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr\n";
    t += "  ------ -------- --------- --------- -------- -------- --------\n";
    for (const CoupledPoint& p : points) {
        if (!p.converged) continue;
        t += fixedField(p.alphaDeg, 3, 8) + fixedField(p.CL, 4, 9) + fixedField(p.CD, 5, 10) +
             fixedField(p.CDp, 5, 10) + fixedField(p.CM, 4, 9) +
             fixedField(transitionXc(p.transitionUpper), 4, 9) +
             fixedField(transitionXc(p.transitionLower), 4, 9) + "\n";
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
                extra.push_back(",,,,,,,,,,no," + csvQuoted("not computed"));
            } else if (!p->converged) {
                extra.push_back(",,,,,,,,,,no," + csvQuoted(p->reason));
            } else {
                auto optional = [](const std::optional<double>& v) {
                    return v ? shortestText(*v) : std::string();
                };
                extra.push_back("," + shortestText(p->CL) + "," + shortestText(p->CM) + "," + shortestText(p->CD) +
                                "," + shortestText(p->CDp) + "," + shortestText(p->CDf) + "," +
                                shortestText(transitionXc(p->transitionUpper)) + "," +
                                shortestText(transitionXc(p->transitionLower)) + "," +
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
        const std::string alpha = shortestText(p.alphaDeg);
        for (const coupled::StationResult& s : p.stations) {
            const bool wake = s.side == coupled::Side::Wake;
            const bool turbulent = wake || s.turbulent;
            const char* side = wake ? "wake" : s.side == coupled::Side::Upper ? "upper" : "lower";
            t += name + "," + alpha + "," + side + "," + shortestText(s.x) + "," + shortestText(s.y) + "," +
                 shortestText(s.xi) + "," + shortestText(s.ue) + "," + shortestText(s.theta) + "," + shortestText(s.dstar) +
                 "," + shortestText(s.H) + "," + shortestText(s.cf) + "," + (turbulent ? "" : shortestText(s.n)) + "," +
                 (turbulent ? shortestText(s.ctau) : "") + "," + (turbulent ? "1" : "0") + "\n";
        }
    }
    return t;
}

}  // namespace tavrix
