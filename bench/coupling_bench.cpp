// Cost of the inviscid side of the coupled analysis for one operating point:
// the wake traced along the streamline and the map D from the mass defect
// to the surface speed (one solve per source panel on the kept factors),
// against the number of panel end points, for every method.
#include <benchmark/benchmark.h>

#include <variant>

#include "geometry/NacaSections.h"
#include "viscous/InviscidCoupling.h"

namespace {

using namespace tavrix;

void buildCouplingMap(benchmark::State& state)
{
    const auto method = static_cast<PanelMethod>(state.range(1));
    const auto d = std::get<NacaDesignation>(parseNacaDesignation("4415"));
    const Contour c = makeNacaSection(d, static_cast<int>(state.range(0)), false, kPi);
    const PanelSolution solution = *solvePanels(*buildPanelGeometry(c.x, c.y, 0), method);
    int stations = 0;
    for (auto _ : state) {
        const Outcome<coupled::CouplingStations> st = coupled::buildCoupling(solution, 4.0);
        stations = st->size();
        benchmark::DoNotOptimize(st->D.data());
    }
    state.counters["stations"] = stations;
    state.SetComplexityN(stations);
}

BENCHMARK(buildCouplingMap)
    ->ArgsProduct({{81, 161, 241, 321},
                   {static_cast<int>(PanelMethod::Hess), static_cast<int>(PanelMethod::VortexPanel),
                    static_cast<int>(PanelMethod::KennedyMarsden),
                    static_cast<int>(PanelMethod::SoinneLaine)}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
