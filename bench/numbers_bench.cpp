// Cost of turning numbers into the texts of the result files: one matrix
// entry, one velocity-table entry and one bare number, written into a section
// as the writers do; and the whole coefficient-matrix section at 200 unknowns.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "app/NumberText.h"
#include "output/PrintFile.h"

namespace {

using namespace tavrix;

std::vector<double> sampleValues()
{
    // Influence coefficients and strengths: mostly of order one, some zeros.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> value(-2, 2);
    std::vector<double> v(4096);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = i % 17 == 0 ? 0.0 : value(random);
    return v;
}

template <typename Write>
void writeValues(benchmark::State& state, Write write)
{
    const std::vector<double> values = sampleValues();
    std::size_t i = 0;
    PrintSection section;
    for (auto _ : state) {
        if (i % values.size() == 0) section = PrintSection();  // keep the section short
        write(section, values[i % values.size()]);
        ++i;
    }
    benchmark::DoNotOptimize(section.contents().data());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_PatternMatrixEntry(benchmark::State& state)
{
    writeValues(state, [](PrintSection& s, double v) { s.format(v, Pattern::MatrixEntry); });
}
void BM_PatternFiveDecimals(benchmark::State& state)
{
    writeValues(state, [](PrintSection& s, double v) { s.format(v, Pattern::FiveDecimals); });
}
void BM_BareNumber(benchmark::State& state)
{
    writeValues(state, [](PrintSection& s, double v) { s.number(v); });
}
BENCHMARK(BM_PatternMatrixEntry);
BENCHMARK(BM_PatternFiveDecimals);
BENCHMARK(BM_BareNumber);

// The two matrices of a system of 200 unknowns, as "Save coefficients matrix"
// writes them, without the file itself.
void BM_CoefficientMatrixSection(benchmark::State& state)
{
    const std::vector<double> values = sampleValues();
    const int n = 200;
    for (auto _ : state) {
        PrintSection out;
        std::size_t k = 0;
        for (int matrix = 0; matrix < 2; ++matrix) {
            for (int I = 1; I <= n; ++I) {
                for (int J = 1; J <= n + 1; ++J)
                    out.text("  ")
                        .format(matrix == 0 ? values[k++ % values.size()] : 0.0,
                                Pattern::MatrixEntry)
                        .text("  ");
                out.endLine();
            }
        }
        benchmark::DoNotOptimize(out.contents().data());
    }
}
BENCHMARK(BM_CoefficientMatrixSection)->Unit(benchmark::kMillisecond);

}  // namespace
