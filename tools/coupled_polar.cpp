// A viscous polar of the coupled viscous-inviscid analysis for a coordinate
// file: the contour read as the airfoil menu reads it, the panels solved once
// by the method (a contour of fewer than 161 points subdivided first, as the
// program's coupled analysis does), the coupling stations (wake and source influence) built per
// angle, and the angles swept outward from the one nearest zero with warm
// starts and retries.
//
//   coupled_polar FILE METHOD RE NCRIT FROM TO STEP
//
// METHOD is the method's command-line word (vortex, soinne, hess, kennedy).
// One line per angle, in the order FROM, FROM + STEP, ... up to TO:
//
//   alpha converged CL CM CD CDf CDp Top_Xtr Bot_Xtr iterations reason
//
// CL and CM (about the quarter chord) integrate the viscous surface speed, CD
// is Squire-Young's at the end of the wake. A point that did not converge
// prints "no", dashes in place of the numbers, its iterations and its reason;
// a transition that does not occur (laminar to the trailing edge) prints a
// dash. No number printed is ever NaN or infinite. Exit status 0 when the
// polar was computed (converged or not), 1 when the file or the method is
// refused, 2 on bad arguments.
//
// With TAVRIX_TRACE set, every Newton step goes to standard error (residual,
// where it is largest, the relaxation and the unknown that limited it, the
// stagnation point and the first turbulent stations); with
// TAVRIX_STATIONS=FILE the stations of every angle go to FILE (side, x, ue,
// theta, delta*, H, Cf, n, C_tau; the last iterate where it did not
// converge).
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "geometry/AirfoilFile.h"
#include "solvers/PanelGeometry.h"
#include "solvers/PanelMethods.h"
#include "solvers/PanelSolution.h"
#include "viscous/CoupledPolar.h"
#include "viscous/CoupledSolver.h"
#include "viscous/InviscidCoupling.h"

namespace {

using namespace tavrix;

constexpr const char* kUsage =
    "usage: coupled_polar FILE METHOD RE NCRIT FROM TO STEP\n"
    "  METHOD: vortex, soinne, hess or kennedy; angles in degrees\n";

std::optional<double> numberOf(const std::string& text)
{
    double v = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), v);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string fixed(double v, int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, v);
    return buffer;
}

std::string transitionText(const std::optional<double>& x)
{
    return x && std::isfinite(*x) ? fixed(*x, 4) : "-";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 8) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string file = argv[1];
    const std::string word = argv[2];
    std::optional<PanelMethod> method;
    for (const auto& info : kPanelMethods)
        if (info.word == word) method = info.method;
    const auto re = numberOf(argv[3]);
    const auto ncrit = numberOf(argv[4]);
    const auto from = numberOf(argv[5]);
    const auto to = numberOf(argv[6]);
    const auto step = numberOf(argv[7]);
    if (!method || !re || *re <= 0 || !ncrit || *ncrit <= 0 || !from || !to || !step ||
        *step == 0 || (*to - *from) / *step < -1e-9 || (*to - *from) / *step > 10000) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!coupled::couplingAvailable(*method)) {
        std::fprintf(stderr, "coupled_polar: %s\n", coupled::couplingRefusal(*method).message.c_str());
        return 1;
    }

    auto read = readAirfoilFileContour(file, std::filesystem::path(file).filename().string());
    if (auto* reason = std::get_if<std::string>(&read)) {
        std::fprintf(stderr, "coupled_polar: %s\n", reason->c_str());
        return 1;
    }
    const Contour& contour = std::get<Contour>(read);
    auto geometry = buildPanelGeometry(contour.x, contour.y, 0);
    if (!geometry) {
        std::fprintf(stderr, "coupled_polar: %s\n", geometry.refusal().message.c_str());
        return 1;
    }
    auto solution = solvePanels(*geometry, *method);
    if (!solution) {
        std::fprintf(stderr, "coupled_polar: %s\n", solution.refusal().message.c_str());
        return 1;
    }

    // Angles as FROM + k STEP, so that a long sweep does not gather rounding.
    std::vector<double> alphas;
    const int count = static_cast<int>(std::floor((*to - *from) / *step + 1e-9)) + 1;
    for (int k = 0; k < count; ++k) alphas.push_back(*from + k * *step);

    coupled::CoupledOptions options;
    options.re = *re;
    options.ncrit = *ncrit;
    // With TAVRIX_TRACE set, every Newton step on standard error.
    if (std::getenv("TAVRIX_TRACE"))
        options.monitor = [](const coupled::IterationReport& r) {
            std::fprintf(stderr,
                         "step %2d residual %.3e at station %d equation %d relaxation %.3g "
                         "(limit: station %d unknown %d) "
                         "stagnation %d turbulent from %d (lower) %d (upper)%s\n",
                         r.iteration, r.residual, r.worstStation, r.worstEquation, r.relaxation,
                         r.limitingStation, r.limitingUnknown,
                         r.stagnation, r.transitionLower, r.transitionUpper,
                         r.classificationChanged ? " moved" : "");
        };
    // (a contour of few points subdivided for the layer, as the program does)
    const auto basis = layerBasis(*solution, *re);
    if (!basis) {
        std::fprintf(stderr, "coupled_polar: %s\n", basis.refusal().message.c_str());
        return 1;
    }
    const auto points = coupled::sweepCoupled(
        alphas, [&](double alphaDeg) { return coupled::buildCoupling(*basis, alphaDeg); }, options);

    std::printf("# %s, %s, Re %g, Ncrit %g\n", contour.name.c_str(),
                std::string(methodInfo(*method).name).c_str(), *re, *ncrit);
    std::printf("alpha converged CL CM CD CDf CDp Top_Xtr Bot_Xtr iterations reason\n");
    for (const auto& point : points) {
        const auto& r = point.result;
        std::string reason = r.reason;
        bool converged = r.converged;
        Coefficients forces;
        if (converged) {
            forces = coupled::viscousForces(basis->solution.geometry(), r.qPanels, point.alphaDeg);
            for (double v : {forces.CL, forces.CM, r.cd, r.cdf, r.cdp})
                if (!std::isfinite(v)) converged = false;
            if (!converged) reason = "the forces of the converged layer are not finite";
        }
        if (converged) {
            std::printf("%s yes %s %s %s %s %s %s %s %d\n", fixed(point.alphaDeg, 3).c_str(),
                        fixed(forces.CL, 4).c_str(), fixed(forces.CM, 4).c_str(),
                        fixed(r.cd, 5).c_str(), fixed(r.cdf, 5).c_str(), fixed(r.cdp, 5).c_str(),
                        transitionText(r.transitionUpper).c_str(),
                        transitionText(r.transitionLower).c_str(), r.iterations);
        } else {
            if (reason.empty()) reason = "not converged";
            for (char& c : reason)
                if (c == '\n' || c == '\r') c = ' ';
            std::printf("%s no - - - - - - - %d %s\n", fixed(point.alphaDeg, 3).c_str(),
                        r.iterations, reason.c_str());
        }
    }
    // With TAVRIX_STATIONS=FILE set, the stations of every point, the last
    // iterate of one that did not converge (for comparisons of the layer
    // itself, and to see where a try stalled).
    if (const char* dump = std::getenv("TAVRIX_STATIONS")) {
        if (FILE* f = std::fopen(dump, "w")) {
            for (const auto& point : points) {
                std::fprintf(f, "# alpha %g%s\n# side x ue theta dstar H cf n ctau\n", point.alphaDeg,
                             point.result.converged ? "" : " (not converged: the last iterate)");
                for (const auto& st : point.result.stations)
                    std::fprintf(f, "%d %.5f %.5f %.6e %.6e %.4f %.6e %.3f %.6e\n",
                                 static_cast<int>(st.side), st.x, st.ue, st.theta, st.dstar, st.H,
                                 st.cf, st.n, st.ctau);
            }
            std::fclose(f);
        }
    }
    return 0;
}
