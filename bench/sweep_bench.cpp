// Cost of a sweep of 41 angles of attack (-10 to 10 degrees by 0.5) against
// 41 separate presses of "Calculate velocities and show" at the same angles,
// per method, on NACA 0012 with NP = 161 and 200 (199 for the Soinne-Laine
// method); and a sweep of one angle, from which the cost of one further
// angle follows as (sweep of 41 - sweep of 1) / 40.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Form_TavrixS.h"
#include "app/Module_Common.h"
#include "bench/ScratchDir.h"
#include "app/PressSolvers.h"
#include "solvers/Sweep.h"
#include "ui/HeadlessToolkit.h"

namespace {

using namespace tavrix;

using bench::ScratchDir;

std::vector<double> angles(int count)
{
    std::vector<double> a;
    for (int k = 0; k < count; ++k) a.push_back(-10 + 0.5 * k);
    return a;
}

PanelMethod methodOf(int index) { return kAllMethods[index]; }

int pointsFor(PanelMethod m, int NP) { return m == PanelMethod::SoinneLaine && NP > 199 ? 199 : NP; }

// Start-up and the NACA 0012 option, as a user does.
struct Program {
    ScratchDir dir;
    Common c;
    ui::HeadlessToolkit ui;
    Form_TavrixS form{c, ui};
    explicit Program(int NP)
    {
        c.WorkDir = dir.path();
        form.Form_Load();
        ui.type("Text_NP", std::to_string(NP));
        ui.select("Option_N0012");
        form.Option_N0012_Click();
    }
};

void sweepRun(benchmark::State& state, int count)
{
    const PanelMethod method = methodOf(static_cast<int>(state.range(0)));
    const int NP = pointsFor(method, static_cast<int>(state.range(1)));
    Program p(NP);
    FlowSetup setup;
    setup.method = method;
    const std::vector<double> alphas = angles(count);
    for (auto _ : state) {
        const SweepOutcome r = Sweep(p.c, setup, alphas);
        if (r.points.size() != alphas.size()) state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(r.points.back().CL);
    }
    state.SetLabel(std::string(methodName(method)) + " NP=" + std::to_string(NP));
}

void BM_Sweep41(benchmark::State& s) { sweepRun(s, 41); }
void BM_Sweep1(benchmark::State& s) { sweepRun(s, 1); }

// 41 presses; the report, which grows by a results block per press, is
// dropped between iterations.
void BM_Presses41(benchmark::State& state)
{
    const PanelMethod method = methodOf(static_cast<int>(state.range(0)));
    const int NP = pointsFor(method, static_cast<int>(state.range(1)));
    Program p(NP);
    p.ui.select(methodOption(method));
    std::vector<std::string> texts;
    for (double a : angles(41)) texts.push_back(std::to_string(a));
    for (auto _ : state) {
        for (const std::string& alpha : texts) {
            p.ui.type("Text_AlfaD", alpha);
            p.form.Command_Calculate_Click();
        }
        if (!p.ui.messages().empty()) state.SkipWithError(p.ui.messages().front().c_str());
        state.PauseTiming();
        std::error_code ignored;
        std::filesystem::remove(p.dir.path() / kReportFile, ignored);
        state.ResumeTiming();
    }
    state.SetLabel(std::string(methodName(method)) + " NP=" + std::to_string(NP));
}

#define TAVRIX_SWEEP_ARGS                                                                   \
    ArgsProduct({{0, 1, 2, 3}, {161, 200}})->ArgNames({"method", "NP"})->Unit(              \
        benchmark::kMillisecond)

BENCHMARK(BM_Sweep41)->TAVRIX_SWEEP_ARGS;
BENCHMARK(BM_Sweep1)->TAVRIX_SWEEP_ARGS;
BENCHMARK(BM_Presses41)->TAVRIX_SWEEP_ARGS;

}  // namespace
