// The solvers' own sections of the result files: the Hess method's vortex
// distribution, the Kennedy-Marsden method's Kutta control point, the
// coefficient matrices as assembled and the singularity strengths after the
// solve.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "app/NumberText.h"
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

void WriteVortexDistribution(const Common& c, ui::Toolkit& ui, const std::vector<double>& d)
{
    PrintSection out(c.DecimalSeparator);
    out.emptyLine();
    out.text("  Parabolic distribution for vortex strength").endLine();
    out.emptyLine();
    out.text("  I       X      d").endLine();
    out.emptyLine();
    for (int I = 1; I <= c.NP; ++I) {
        const double dI = static_cast<std::size_t>(I) < d.size() ? d[static_cast<std::size_t>(I)] : 0.0;
        out.format(I, Pattern::Index).text("  ");
        out.format(c.X[I], Pattern::FiveDecimals).text("  ");
        out.format(dI, Pattern::FiveDecimals).endLine();
    }
    writeSection(c, ui, kReportFile, out, FileMode::Append);
}

void WriteKuttaControlPoint(const Common& c, ui::Toolkit& ui)
{
    // The record ends inside its last line; the empty line that opens the
    // next record ends it.
    PrintSection out(c.DecimalSeparator);
    out.emptyLine();
    out.text("Kutta şartı için kontrol noktası").endLine();
    out.emptyLine();
    out.text("XM(").number(c.NP).text(")=").number(roundHalfEven(c.XM[c.NP], 4));
    out.text("YM(").number(c.NP).text(")=").number(roundHalfEven(c.YM[c.NP], 4));
    writeSection(c, ui, kPanelPropertiesFile, out, FileMode::Append);
}

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
