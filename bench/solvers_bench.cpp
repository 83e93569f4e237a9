// Cost of the panel methods: one whole press of "Calculate velocities and show"
// per method at three sizes, with and without writing the coefficient
// matrices; the method alone (assembly and elimination); the elimination alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ContourTables.h"
#include "app/Form_TavrixS.h"
#include "app/Module_Common.h"
#include "bench/ScratchDir.h"
#include "geometry/Generators.h"
#include "solvers/Module_Gauss.h"
#include "solvers/Module_HESS.h"
#include "solvers/Module_KENN.h"
#include "solvers/Module_Soinne.h"
#include "solvers/Module_VORPAN.h"
#include "solvers/RowElimination.h"
#include "ui/HeadlessToolkit.h"

namespace {

using namespace tavrix;
using Solver = bool (*)(Common&, ui::Toolkit&);

using bench::ScratchDir;

// NACA 0012 with NP end points at 5 degrees, panels built as the driver does.
void prepare(Common& c, ui::Toolkit& ui, int NP, const std::filesystem::path& dir)
{
    SetConstants(c);
    c.WorkDir = dir;
    if (!showContourInUse(c, ui, naca0012Contour(NP), ContourSource::Naca0012)) std::abort();
    BuildPanels(c, 0);
    c.AlfaD = 5;
    c.CosAlfa = std::cos(5 * c.DegToRad);
    c.SinAlfa = std::sin(5 * c.DegToRad);
}

// The report grows by the whole matrix on every run; keep it from filling the disk.
void dropReport(const std::filesystem::path& dir, benchmark::State& state)
{
    state.PauseTiming();
    std::error_code ignored;
    std::filesystem::remove(dir / kReportFile, ignored);
    state.ResumeTiming();
}

void solverRun(benchmark::State& state, Solver solve)
{
    const int NP = static_cast<int>(state.range(0));
    ScratchDir dir;
    Common c;
    ui::HeadlessToolkit ui;
    prepare(c, ui, NP, dir.path());
    for (auto _ : state) {
        if (!solve(c, ui)) state.SkipWithError("zero pivot");
        benchmark::DoNotOptimize(c.Vt[1]);
    }
}

// The coefficient matrix alone: the logarithms, arctangents and divisions of
// every pair of a panel and a point.
template <typename Assemble>
void assemblyRun(benchmark::State& state, Assemble assemble)
{
    const int NP = static_cast<int>(state.range(0));
    ScratchDir dir;
    Common c;
    ui::HeadlessToolkit ui;
    prepare(c, ui, NP, dir.path());
    for (auto _ : state) {
        assemble(c);
        benchmark::DoNotOptimize(c.AN(2, 3));
    }
}

void BM_AssembleHess(benchmark::State& s)
{
    assemblyRun(s, [](Common& c) { HESS_AssembleMatrix(c, HESS_VortexShape(c), false); });
}
void BM_AssembleVortexPanel(benchmark::State& s) { assemblyRun(s, VORPAN_AssembleMatrix); }
void BM_AssembleKennedyMarsden(benchmark::State& s) { assemblyRun(s, KENN_AssembleMatrix); }
void BM_AssembleSoinneLaine(benchmark::State& s) { assemblyRun(s, Soinne_AssembleMatrix); }
BENCHMARK(BM_AssembleHess)->Arg(200)->ArgName("NP")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleVortexPanel)->Arg(200)->ArgName("NP")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleKennedyMarsden)->Arg(200)->ArgName("NP")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleSoinneLaine)->Arg(199)->ArgName("NP")->Unit(benchmark::kMillisecond);

void BM_Hess(benchmark::State& s) { solverRun(s, HESS_Solve); }
void BM_VortexPanel(benchmark::State& s) { solverRun(s, VORPAN_Solve); }
void BM_KennedyMarsden(benchmark::State& s) { solverRun(s, KENN_Solve); }
void BM_SoinneLaine(benchmark::State& s) { solverRun(s, Soinne_Solve); }

BENCHMARK(BM_Hess)->Arg(51)->Arg(101)->Arg(200)->ArgName("NP")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VortexPanel)->Arg(51)->Arg(101)->Arg(200)->ArgName("NP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KennedyMarsden)->Arg(51)->Arg(101)->Arg(200)->ArgName("NP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SoinneLaine)->Arg(51)->Arg(101)->Arg(199)->ArgName("NP")
    ->Unit(benchmark::kMillisecond);

// The vortex panel system of the prepared contour as assembled, captured
// through the matrix view before the solve.
Matrix assembledVortexSystem(Common& c)
{
    struct Capture : ui::HeadlessToolkit {
        const Common* common = nullptr;
        Matrix AN;
        void showWindow(std::string_view form) override
        {
            HeadlessToolkit::showWindow(form);
            AN = common->AN;
        }
    } capture;
    capture.common = &c;
    capture.setValue("Check_ShowMat", 1);
    VORPAN_Solve(c, capture);
    return capture.AN;
}

// Elimination of the vortex panel system alone, restored before every run.
void BM_GaussSolve(benchmark::State& state)
{
    const int NP = static_cast<int>(state.range(0));
    ScratchDir dir;
    Common c;
    ui::HeadlessToolkit ui;
    prepare(c, ui, NP, dir.path());
    const Matrix assembled = assembledVortexSystem(c);
    for (auto _ : state) {
        state.PauseTiming();
        c.AN = assembled;
        state.ResumeTiming();
        if (!Gauss_Solve(c, ui, NP)) state.SkipWithError("zero pivot");
        benchmark::DoNotOptimize(c.Strength[1]);
    }
}
BENCHMARK(BM_GaussSolve)->Arg(51)->Arg(101)->Arg(200)->ArgName("N")
    ->Unit(benchmark::kMillisecond);

// The elimination as it was written before the pivot row's quotients were
// formed once: the quotient inside the innermost loop, the pivot tested
// before every entry. Kept here as the yardstick of the figures above.
bool eliminateEntryByEntry(Common& common, int N)
{
    Matrix& A = common.AN;
    for (int K = 1; K < N; ++K) {
        for (int I = K + 1; I <= N; ++I) {
            const double F = A(I, K);
            for (int J = K; J <= N + 1; ++J) {
                if (A(K, K) == 0) return false;
                A(I, J) = A(I, J) - (A(K, J) / A(K, K)) * F;
            }
        }
    }
    if (A(N, N) == 0) return false;
    common.Strength[N] = A(N, N + 1) / A(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + A(K, J) * common.Strength[J];
        common.Strength[K] = (A(K, N + 1) - sum) / A(K, K);
    }
    return true;
}

void BM_GaussSolveEntryByEntry(benchmark::State& state)
{
    const int NP = static_cast<int>(state.range(0));
    ScratchDir dir;
    Common c;
    ui::HeadlessToolkit ui;
    prepare(c, ui, NP, dir.path());
    const Matrix assembled = assembledVortexSystem(c);
    for (auto _ : state) {
        state.PauseTiming();
        c.AN = assembled;
        state.ResumeTiming();
        if (!eliminateEntryByEntry(c, NP)) state.SkipWithError("zero pivot");
        benchmark::DoNotOptimize(c.Strength[1]);
    }
}
BENCHMARK(BM_GaussSolveEntryByEntry)->Arg(51)->Arg(101)->Arg(200)->ArgName("N")
    ->Unit(benchmark::kMillisecond);

// The row update alone over a row of 201 entries, plain x86-64 and AVX2.
void rowUpdateRun(benchmark::State& state, RowUpdate update)
{
    if (update == nullptr) {
        state.SkipWithError("not available on this processor");
        return;
    }
    std::vector<double> row(201, 1.25), quotient(201, 0.5);
    for (auto _ : state) {
        update(row.data(), quotient.data(), 1e-3, 201);
        benchmark::DoNotOptimize(row.data());
    }
}
void BM_RowUpdatePortable(benchmark::State& s) { rowUpdateRun(s, portableRowUpdate()); }
void BM_RowUpdateAvx2(benchmark::State& s) { rowUpdateRun(s, avx2RowUpdate()); }
BENCHMARK(BM_RowUpdatePortable);
BENCHMARK(BM_RowUpdateAvx2);

// One press of "Calculate velocities and show": panels, method, Cu, plot,
// forces, the results block and the column file.
void pressRun(benchmark::State& state, const char* option)
{
    const int NP = static_cast<int>(state.range(0));
    ScratchDir dir;
    Common c;
    c.WorkDir = dir.path();
    ui::HeadlessToolkit ui;
    Form_TavrixS form(c, ui);
    form.Form_Load();
    ui.type("Text_NP", std::to_string(NP));
    ui.select("Option_N0012");
    form.Option_N0012_Click();
    ui.select(option);
    ui.type("Text_AlfaD", "5");
    ui.setValue("Check_WriteMat", state.range(1) != 0 ? 1 : 0);
    for (auto _ : state) {
        form.Command_Calculate_Click();
        if (!ui.messages().empty()) state.SkipWithError(ui.messages().front().c_str());
        dropReport(dir.path(), state);
    }
}

void BM_PressHess(benchmark::State& s) { pressRun(s, "Option_HESS"); }
void BM_PressVortexPanel(benchmark::State& s) { pressRun(s, "Option_VORPAN"); }
void BM_PressKennedyMarsden(benchmark::State& s) { pressRun(s, "Option_KENN"); }
void BM_PressSoinneLaine(benchmark::State& s) { pressRun(s, "Option_Soinne"); }

BENCHMARK(BM_PressHess)->ArgsProduct({{51, 101, 200}, {0, 1}})->ArgNames({"NP", "writeMat"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressVortexPanel)->ArgsProduct({{51, 101, 200}, {0, 1}})
    ->ArgNames({"NP", "writeMat"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressKennedyMarsden)->ArgsProduct({{51, 101, 200}, {0, 1}})
    ->ArgNames({"NP", "writeMat"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressSoinneLaine)->ArgsProduct({{51, 101, 199}, {0, 1}})
    ->ArgNames({"NP", "writeMat"})->Unit(benchmark::kMillisecond);

}  // namespace
