// Reading a polar saved in xfoil's column layout (its PACC files, and the
// polars this program writes in the same layout): a few header lines, among
// them "Calculated polar for: NAME" and "Mach = M  Re = R e 6  Ncrit = N",
// the column line "alpha CL CD CDp CM Top_Xtr Bot_Xtr ...", a line of dashes,
// then one row of numbers per angle.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "output/KeptRuns.h"
#include "solvers/Refusal.h"

namespace tavrix {

// The polar of the file as a kept run named from its own header: "xfoil:
// NACA 4415, Re 3e6, Ncrit 9" ("NACA 0012, inviscid" without a Reynolds
// number; the program that wrote the file before the colon). `fileName`
// names the file in the messages; its last part goes into RunCase::origin.
// The whole file is refused (Kind UnreadableFile, a message that says where
// and why) when the name line, the Mach and Reynolds line, the column line
// with alpha, CL, CD, CDp, CM, Top_Xtr and Bot_Xtr, or the dashed line under
// it is missing, when a row does not have a finite number in every column,
// or when there is no row at all. A file with a Reynolds number of 0 (an
// inviscid polar, whose CD column holds 0) keeps no drag columns.
Outcome<KeptRun> readXfoilPolar(std::string_view text, std::string_view fileName);

// The file read whole and then as above; a file that cannot be opened, a
// folder, or a file of more than 16 MB (no polar is that long) is refused
// with the same beginning of the message.
Outcome<KeptRun> readXfoilPolarFile(const std::filesystem::path& file);

}  // namespace tavrix
