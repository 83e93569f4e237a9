// Cost of the coupled viscous-inviscid iteration against the number of panel
// end points: NACA 4415 at 4 degrees, Re 3e6, vortex panel method. Each run
// starts the layers from the march on the inviscid speed; the runs of one
// and of three Newton steps are timed apart, so that the difference over two
// is the cost of one step (assembly with its dual-number derivatives, the
// stagnation point's sensitivity, the solve of the linear system and the
// line search). Then the solve of one step's system alone (the third step
// of the same iteration): by the dense LU of the whole Jacobian, and in its
// structure (band LU and capacitance system; from 120 stations on, 121
// nodes and more, the iterative solve with its compressed D, computed on
// the first step and kept); and the first step of a solver, which pays for
// the compression of D as well.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <variant>

#include "geometry/NacaSections.h"
#include "viscous/CoupledNewtonSystem.h"
#include "viscous/CoupledSolver.h"
#include "viscous/IntegralLayer.h"
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

// The march that starts a fresh iterate: the upper surface of NACA 4415 at
// 4 degrees (Re 3e6, 161 nodes) marched on its inviscid speed, through the
// laminar layer, transition and the turbulent layer to the trailing edge.
void marchUpperSurface(benchmark::State& state)
{
    const auto d = std::get<NacaDesignation>(parseNacaDesignation("4415"));
    const Contour c = makeNacaSection(d, 161, false, kPi);
    const PanelSolution solution =
        *solvePanels(*buildPanelGeometry(c.x, c.y, 0), PanelMethod::SoinneLaine);
    const coupled::CouplingStations st = *coupled::buildCoupling(solution, 4.0);
    // From the stagnation point (where q changes sign) to the trailing edge.
    int k = 0;
    while (k + 1 < st.nAirfoil && !(st.qInviscid[k] <= 0 && st.qInviscid[k + 1] > 0)) ++k;
    std::vector<double> xi, ue;
    for (int i = k + 1; i < st.nAirfoil; ++i) {
        xi.push_back(st.s[i] - st.s[k]);
        ue.push_back(st.qInviscid[i]);
    }
    coupled::MarchOptions options;
    options.re = 3e6;
    for (auto _ : state) {
        const coupled::MarchResult r = coupled::marchLayer(xi, ue, options);
        benchmark::DoNotOptimize(r.stations.data());
    }
    state.counters["stations"] = static_cast<double>(xi.size());
}

BENCHMARK(marchUpperSurface)->Unit(benchmark::kMillisecond);

// The stations (which own D) and the Newton system of the third step.
struct StepSystem {
    coupled::CouplingStations stations;
    coupled::NewtonSystem system;
};

const StepSystem& stepSystem(int nodes)
{
    static std::map<int, std::unique_ptr<StepSystem>> cache;
    std::unique_ptr<StepSystem>& entry = cache[nodes];
    if (!entry) {
        entry = std::make_unique<StepSystem>();
        const auto d = std::get<NacaDesignation>(parseNacaDesignation("4415"));
        const Contour c = makeNacaSection(d, nodes, false, kPi);
        const PanelSolution solution =
            *solvePanels(*buildPanelGeometry(c.x, c.y, 0), PanelMethod::VortexPanel);
        entry->stations = *coupled::buildCoupling(solution, 4.0);
        coupled::CoupledOptions options;
        options.re = 3e6;
        options.maxIterations = 3;
        options.monitor = [&](const coupled::IterationReport& r) {
            if (r.iteration == 2) entry->system = *r.system;
        };
        coupled::solveCoupled(entry->stations, options);
    }
    return *entry;
}

void newtonSolveDense(benchmark::State& state)
{
    const StepSystem& s = stepSystem(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::vector<double> step = coupled::solveNewtonSystemDense(s.system);
        benchmark::DoNotOptimize(step.data());
    }
    state.counters["unknowns"] = s.system.size;
}

void newtonSolveStructured(benchmark::State& state)
{
    const StepSystem& s = stepSystem(static_cast<int>(state.range(0)));
    coupled::NewtonSolver solver;
    for (auto _ : state) {
        const coupled::NewtonStep step = solver.solve(s.system);
        benchmark::DoNotOptimize(step.step.data());
    }
    state.counters["unknowns"] = s.system.size;
}

void newtonSolveFirstStep(benchmark::State& state)
{
    const StepSystem& s = stepSystem(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        coupled::NewtonSolver solver;
        const coupled::NewtonStep step = solver.solve(s.system);
        benchmark::DoNotOptimize(step.step.data());
    }
    state.counters["unknowns"] = s.system.size;
}

BENCHMARK(newtonSolveDense)->Arg(81)->Arg(121)->Arg(161)->Arg(241)->Unit(benchmark::kMillisecond);
BENCHMARK(newtonSolveStructured)
    ->Arg(81)
    ->Arg(121)
    ->Arg(161)
    ->Arg(241)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(newtonSolveFirstStep)->Arg(161)->Arg(241)->Unit(benchmark::kMillisecond);

}  // namespace
