// Cost of the panel methods: one whole press of "Calculate velocities and show"
// per method at three sizes, with and without writing the coefficient
// matrices; the method alone through the value API (assembly, elimination
// and one operating point) up to the largest system; the assembly alone; the
// elimination alone, also with each variant of its row updates.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/ContourTables.h"
#include "app/Form_TavrixS.h"
#include "app/Module_Common.h"
#include "bench/ScratchDir.h"
#include "geometry/Generators.h"
#include "solvers/Module_Gauss.h"
#include "solvers/PanelSolution.h"
#include "solvers/RowElimination.h"
#include "ui/HeadlessToolkit.h"

namespace {

using namespace tavrix;

using bench::ScratchDir;

// NACA 0012 with NP end points, panels built as the press builds them.
PanelGeometry nacaPanels(int NP)
{
    const Contour contour = naca0012Contour(NP);
    return *buildPanelGeometry(contour.x, contour.y, 0);
}

// The report grows by the whole matrix on every run; keep it from filling the disk.
void dropReport(const std::filesystem::path& dir, benchmark::State& state)
{
    state.PauseTiming();
    std::error_code ignored;
    std::filesystem::remove(dir / kReportFile, ignored);
    state.ResumeTiming();
}

// The method through the value API: assembly, elimination and the operating
// point at 5 degrees.
void solverRun(benchmark::State& state, PanelMethod method)
{
    const PanelGeometry panels = nacaPanels(static_cast<int>(state.range(0)));
    SolveOptions options;
    options.keepAssembled = false;
    for (auto _ : state) {
        const Outcome<PanelSolution> solution = solvePanels(panels, method, options);
        if (!solution) {
            state.SkipWithError(solution.refusal().message.c_str());
            break;
        }
        const Outcome<OperatingPoint> point = solution->at(5);
        benchmark::DoNotOptimize(point->CL);
    }
}

// The coefficient matrix alone: the logarithms, arctangents and divisions of
// every pair of a panel and a point.
void assemblyRun(benchmark::State& state, PanelMethod method)
{
    const PanelGeometry panels = nacaPanels(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const Outcome<PanelSystem> system = assemblePanels(panels, method);
        benchmark::DoNotOptimize(system->AN(2, 3));
    }
}

void BM_AssembleHess(benchmark::State& s) { assemblyRun(s, PanelMethod::Hess); }
void BM_AssembleVortexPanel(benchmark::State& s) { assemblyRun(s, PanelMethod::VortexPanel); }
void BM_AssembleKennedyMarsden(benchmark::State& s)
{
    assemblyRun(s, PanelMethod::KennedyMarsden);
}
void BM_AssembleSoinneLaine(benchmark::State& s) { assemblyRun(s, PanelMethod::SoinneLaine); }
BENCHMARK(BM_AssembleHess)->Arg(200)->ArgName("NP")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleVortexPanel)->Arg(200)->ArgName("NP")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleKennedyMarsden)->Arg(200)->ArgName("NP")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleSoinneLaine)->Arg(199)->ArgName("NP")->Unit(benchmark::kMillisecond);

void BM_Hess(benchmark::State& s) { solverRun(s, PanelMethod::Hess); }
void BM_VortexPanel(benchmark::State& s) { solverRun(s, PanelMethod::VortexPanel); }
void BM_KennedyMarsden(benchmark::State& s) { solverRun(s, PanelMethod::KennedyMarsden); }
void BM_SoinneLaine(benchmark::State& s) { solverRun(s, PanelMethod::SoinneLaine); }

BENCHMARK(BM_Hess)->Arg(51)->Arg(101)->Arg(200)->Arg(1000)->ArgName("NP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VortexPanel)->Arg(51)->Arg(101)->Arg(200)->Arg(1000)->ArgName("NP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KennedyMarsden)->Arg(51)->Arg(101)->Arg(200)->Arg(1000)->ArgName("NP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SoinneLaine)->Arg(51)->Arg(101)->Arg(199)->Arg(999)->ArgName("NP")
    ->Unit(benchmark::kMillisecond);

// The vortex panel system of NP points as assembled.
Matrix assembledVortexSystem(int NP)
{
    return assemblePanels(nacaPanels(NP), PanelMethod::VortexPanel)->AN;
}

// Elimination of the vortex panel system alone, restored before every run.
void BM_GaussSolve(benchmark::State& state)
{
    const int NP = static_cast<int>(state.range(0));
    Matrix assembled = assembledVortexSystem(NP);
    // A right-hand side: the free stream at 5 degrees.
    for (int I = 1; I <= NP; ++I) assembled(I, NP + 1) = 0.1 * I;
    std::vector<double> strength(static_cast<std::size_t>(NP) + 1, 0.0);
    Matrix A;
    for (auto _ : state) {
        state.PauseTiming();
        A = assembled;
        state.ResumeTiming();
        if (Gauss_Solve(A, NP, strength) != 0) state.SkipWithError("zero pivot");
        benchmark::DoNotOptimize(strength[1]);
    }
}
BENCHMARK(BM_GaussSolve)->Arg(51)->Arg(101)->Arg(200)->Arg(1000)->ArgName("N")
    ->Unit(benchmark::kMillisecond);

// The elimination as it was written before the pivot row's quotients were
// formed once: the quotient inside the innermost loop, the pivot tested
// before every entry. Kept here as the yardstick of the figures above.
bool eliminateEntryByEntry(Matrix& A, std::vector<double>& strength, int N)
{
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
    strength[N] = A(N, N + 1) / A(N, N);
    for (int K = N - 1; K >= 1; --K) {
        double sum = 0;
        for (int J = K + 1; J <= N; ++J) sum = sum + A(K, J) * strength[J];
        strength[K] = (A(K, N + 1) - sum) / A(K, K);
    }
    return true;
}

void BM_GaussSolveEntryByEntry(benchmark::State& state)
{
    const int NP = static_cast<int>(state.range(0));
    Matrix assembled = assembledVortexSystem(NP);
    for (int I = 1; I <= NP; ++I) assembled(I, NP + 1) = 0.1 * I;
    std::vector<double> strength(static_cast<std::size_t>(NP) + 1, 0.0);
    Matrix A;
    for (auto _ : state) {
        state.PauseTiming();
        A = assembled;
        state.ResumeTiming();
        if (!eliminateEntryByEntry(A, strength, NP)) state.SkipWithError("zero pivot");
        benchmark::DoNotOptimize(strength[1]);
    }
}
BENCHMARK(BM_GaussSolveEntryByEntry)->Arg(51)->Arg(101)->Arg(200)->ArgName("N")
    ->Unit(benchmark::kMillisecond);

// The row update alone over a row of 201 entries, plain x86-64, AVX2 and AVX-512.
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
void BM_RowUpdateAvx512(benchmark::State& s) { rowUpdateRun(s, avx512RowUpdate()); }
BENCHMARK(BM_RowUpdatePortable);
BENCHMARK(BM_RowUpdateAvx2);
BENCHMARK(BM_RowUpdateAvx512);

// The forward elimination alone with one variant of the row updates, at the
// program's largest system and at five times it. The system is dense with a
// dominant diagonal (seeded), so no pivot comes near zero and the entries stay
// normal numbers at every size; it is restored before every run.
Matrix denseSystem(int N)
{
    Matrix A;
    A.redim(N + 1);
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> value(-1, 1);
    for (int I = 1; I <= N; ++I) {
        for (int J = 1; J <= N + 1; ++J) A(I, J) = value(random);
        A(I, I) = A(I, I) + N;
    }
    return A;
}

void eliminationRun(benchmark::State& state, const RowEliminationKernels& kernels)
{
    if (kernels.row == nullptr) {
        state.SkipWithError("not available on this processor");
        return;
    }
    const int N = static_cast<int>(state.range(0));
    const Matrix system = denseSystem(N);
    Matrix A;
    for (auto _ : state) {
        state.PauseTiming();
        A = system;
        state.ResumeTiming();
        if (Gauss_Eliminate(A, N, nullptr, kernels) != 0) state.SkipWithError("zero pivot");
        benchmark::DoNotOptimize(A(N, N));
    }
}
void BM_EliminatePortable(benchmark::State& s) { eliminationRun(s, portableKernels()); }
void BM_EliminateAvx2(benchmark::State& s) { eliminationRun(s, avx2Kernels()); }
void BM_EliminateAvx512(benchmark::State& s) { eliminationRun(s, avx512Kernels()); }
BENCHMARK(BM_EliminatePortable)->Arg(200)->Arg(1000)->ArgName("N")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EliminateAvx2)->Arg(200)->Arg(1000)->ArgName("N")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EliminateAvx512)->Arg(200)->Arg(1000)->ArgName("N")
    ->Unit(benchmark::kMillisecond);

// One press of "Calculate velocities and show": panels, method, Cu, plot,
// forces, the results block and the column file.
void pressRun(benchmark::State& state, PanelMethod method)
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
    ui.select(methodInfo(method).option);
    ui.type("Text_AlfaD", "5");
    ui.setValue("Check_WriteMat", state.range(1) != 0 ? 1 : 0);
    for (auto _ : state) {
        form.Command_Calculate_Click();
        if (!ui.messages().empty()) state.SkipWithError(ui.messages().front().c_str());
        dropReport(dir.path(), state);
    }
}

void BM_PressHess(benchmark::State& s) { pressRun(s, PanelMethod::Hess); }
void BM_PressVortexPanel(benchmark::State& s) { pressRun(s, PanelMethod::VortexPanel); }
void BM_PressKennedyMarsden(benchmark::State& s) { pressRun(s, PanelMethod::KennedyMarsden); }
void BM_PressSoinneLaine(benchmark::State& s) { pressRun(s, PanelMethod::SoinneLaine); }

BENCHMARK(BM_PressHess)->ArgsProduct({{51, 101, 200}, {0, 1}})->ArgNames({"NP", "writeMat"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressVortexPanel)->ArgsProduct({{51, 101, 200}, {0, 1}})
    ->ArgNames({"NP", "writeMat"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressKennedyMarsden)->ArgsProduct({{51, 101, 200}, {0, 1}})
    ->ArgNames({"NP", "writeMat"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressSoinneLaine)->ArgsProduct({{51, 101, 199}, {0, 1}})
    ->ArgNames({"NP", "writeMat"})->Unit(benchmark::kMillisecond);

}  // namespace
