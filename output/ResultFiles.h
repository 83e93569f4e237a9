// Writers of the result files "TavrixS.txt" and "TavrixS.xls". Each builds its
// section with the shared line syntax and appends it (or rewrites the column
// file); a file that cannot be written is reported and the calculation goes on.
#pragma once

#include <vector>

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Empties "TavrixS.txt" (start-up).
void EmptyReportFile(const Common& common, ui::Toolkit& ui);

// Panel table of the driver (end points, mid points, lengths, directions).
void WritePanelTable(const Common& common, ui::Toolkit& ui);

// Coefficient matrices AN and AT of a system of n unknowns, before elimination.
void WriteCoeffMatrix(const Common& common, ui::Toolkit& ui, int n);

// The Hess method's parabolic vortex distribution d(1..NP) over the rotated
// end points.
void WriteVortexDistribution(const Common& common, ui::Toolkit& ui, const std::vector<double>& d);

// The Kennedy-Marsden method's Kutta control point XM(NP), YM(NP), appended
// to "Panel Properties.txt".
void WriteKuttaControlPoint(const Common& common, ui::Toolkit& ui);

// Singularity strengths 1..NP.
void WriteSingularities(const Common& common, ui::Toolkit& ui);

// Results block: angle of attack, the Cu table, CD, CL and Cm c/4.
void WriteResultsBlock(const Common& common, ui::Toolkit& ui, double CD, double CL, double CM);

// Column file: XM and Cu of every panel, then CL and CM.
void WriteColumnFile(const Common& common, ui::Toolkit& ui, double CL, double CM);

}  // namespace tavrix
