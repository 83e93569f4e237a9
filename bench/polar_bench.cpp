// The C++ side of a scripted polar: a 41-angle inviscid polar (-4 to 16
// degrees by 0.5) of NACA 2412 with 161 end points and the vortex panel
// method, on the value API alone, as the Python module's `polar` computes it
// (the contour made beforehand, the sweep, the check that every coefficient
// is finite). tools/module_overhead.sh times the module's call on the same
// case against this.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

#include "geometry/NacaSections.h"
#include "solvers/Sweep.h"

namespace {

using namespace tavrix;

void BM_Polar41Naca2412(benchmark::State& state)
{
    const double pi = 4 * std::atan(1.0);
    const Contour contour = makeNacaSection(
        std::get<NacaDesignation>(parseNacaDesignation("2412")), 161, false, pi);
    std::vector<double> alphas;
    for (int k = 0; k < 41; ++k) alphas.push_back(-4 + 0.5 * k);
    FlowSetup setup;
    setup.method = PanelMethod::VortexPanel;
    for (auto _ : state) {
        const SweepOutcome r = Sweep(contour.x, contour.y, setup, alphas);
        const bool finite = std::all_of(r.points.begin(), r.points.end(), [](const OperatingPoint& p) {
            auto finiteAll = [](const std::vector<double>& v) {
                return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
            };
            return std::isfinite(p.CL) && std::isfinite(p.CD) && std::isfinite(p.CM) &&
                   finiteAll(p.Cu) && finiteAll(p.CuIncompressible);
        });
        if (r.points.size() != alphas.size() || !finite) state.SkipWithError("polar failed");
        benchmark::DoNotOptimize(r.points.back().CL);
    }
}

BENCHMARK(BM_Polar41Naca2412)->Unit(benchmark::kMillisecond);

}  // namespace
