// Cost of the coupled viscous-inviscid iteration against the number of panel
// end points: NACA 4415 at 4 degrees, Re 3e6, vortex panel method. Each run
// starts the layers from the march on the inviscid speed; the runs of one
// and of three Newton steps are timed apart, so that the difference over two
// is the cost of one step (assembly with its dual-number derivatives, the
// stagnation point's sensitivity, the dense LU of the whole system and the
// line search).
#include <benchmark/benchmark.h>

#include <variant>

#include "geometry/NacaSections.h"
#include "viscous/CoupledSolver.h"
#include "viscous/InviscidCoupling.h"

namespace {

using namespace tavrix;

void coupledSteps(benchmark::State& state)
{
    const auto d = std::get<NacaDesignation>(parseNacaDesignation("4415"));
    const Contour c = makeNacaSection(d, static_cast<int>(state.range(0)), false, kPi);
    const PanelSolution solution =
        *solvePanels(*buildPanelGeometry(c.x, c.y, 0), PanelMethod::VortexPanel);
    const coupled::CouplingStations stations = *coupled::buildCoupling(solution, 4.0);
    coupled::CoupledOptions options;
    options.re = 3e6;
    options.maxIterations = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const coupled::CoupledResult r = coupled::solveCoupled(stations, options);
        benchmark::DoNotOptimize(r.residual);
    }
    state.counters["stations"] = stations.size();
    state.counters["unknowns"] = 4 * stations.size();
}

BENCHMARK(coupledSteps)
    ->ArgsProduct({{81, 121, 161, 241}, {1, 3}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
