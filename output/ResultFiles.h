// Writers of the result files "TavrixS.txt" and "TavrixS.xls". Each builds its
// section with the shared line syntax and appends it (or rewrites the column
// file); a file that cannot be written is reported and the calculation goes on.
#pragma once

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Empties "TavrixS.txt" (start-up).
void EmptyReportFile(const Common& common, ui::Toolkit& ui);

// Panel table of the driver (end points, mid points, lengths, directions).
void WritePanelTable(const Common& common, ui::Toolkit& ui);

// Coefficient matrices AN and AT of a system of n unknowns, before elimination.
void WriteCoeffMatrix(const Common& common, ui::Toolkit& ui, int n);

// Singularity strengths 1..NP.
void WriteSingularities(const Common& common, ui::Toolkit& ui);

// Results block: angle of attack, the Cu table, CD, CL and Cm c/4.
void WriteResultsBlock(const Common& common, ui::Toolkit& ui, double CD, double CL, double CM);

// Column file: XM and Cu of every panel, then CL and CM.
void WriteColumnFile(const Common& common, ui::Toolkit& ui, double CL, double CM);

}  // namespace tavrix
