// The solvers' own sections of "TavrixS.txt": the coefficient matrices as
// assembled and the singularity strengths after the solve.
#include <algorithm>

#include "output/PrintFile.h"
#include "output/ResultFiles.h"

namespace tavrix {

namespace {

// An entry outside the dimensioned range was never assigned and reads as 0.
double entry(const Matrix& M, int i, int j)
{
    return i <= M.upper() && j <= M.upper() ? M(i, j) : 0.0;
}

void writeMatrixRows(PrintSection& out, const Matrix& M, int n)
{
    for (int I = 1; I <= n; ++I) {
        for (int J = 1; J <= n + 1; ++J)
            out.text("  ").format(entry(M, I, J), Pattern::MatrixEntry).text("  ");
        out.endLine();
    }
}

}  // namespace

void WriteCoeffMatrix(const Common& common, ui::Toolkit& ui, int n)
{
    PrintSection out(common.DecimalSeparator);
    out.emptyLine();
    out.text(" Matrix for induced normal velocities").endLine();
    out.emptyLine();
    writeMatrixRows(out, common.AN, n);
    out.emptyLine();
    out.text(" Matrix for induced tangential velocities").endLine();
    out.emptyLine();
    writeMatrixRows(out, common.AT, n);
    writeSection(common, ui, kReportFile, out, FileMode::Append);
}

void WriteSingularities(const Common& common, ui::Toolkit& ui)
{
    PrintSection out(common.DecimalSeparator);
    out.emptyLine();
    out.text("Singularity Strengths").endLine();
    out.emptyLine();
    const int last = std::min(common.NP, kStrengthLast);
    for (int I = 1; I <= last; ++I) {
        out.format(I, Pattern::Index).text("  ");
        out.format(common.Strength[I], Pattern::FiveDecimals).endLine();
    }
    writeSection(common, ui, kReportFile, out, FileMode::Append);
}

}  // namespace tavrix
