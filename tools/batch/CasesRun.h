// Case lists of the headless front end: `--cases FILE.csv --jobs N --out
// RESULTS.csv`. Every row of the list is one polar (a section, a method, a
// range of angles, optionally a Mach number and a one-way boundary layer),
// computed on the value API alone (no window state), several cases at once
// on threads of their own. The results are written as the cases finish, but
// always in the order of the list, so the file holds the same bytes whatever
// the number of threads.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

// Usage lines of the options below.
extern const char* const kCasesUsage;

// The options of a case-list run; nothing else goes with --cases.
inline constexpr const char* kCasesOptions[] = {"--cases", "--jobs", "--out"};

// Whether the case-list options given can be used: --jobs and --out need
// --cases, which takes no other option, and --jobs a whole number from 1 to
// kMaxJobs. An error text if not.
inline constexpr unsigned kMaxJobs = 256;
std::optional<std::string> casesOptionError(const std::map<std::string, std::string>& values,
                                            const std::set<std::string>& flags,
                                            bool sourceGiven);

// The columns a case list may name, in the order of their documentation.
inline constexpr const char* kCaseColumns[] = {
    "airfoil", "points", "method", "alpha_from", "alpha_to", "alpha_step",
    "re",      "mach",   "ncrit",  "xtr_upper",  "xtr_lower", "correction", "viscous"};
inline constexpr std::size_t kCaseColumnCount = std::size(kCaseColumns);

// The header of the results.
inline constexpr const char* kCaseResultHeader =
    "case,airfoil,method,re,mach,alpha,CL,CD,CDp,CM,Top_Xtr,Bot_Xtr,converged,reason\n";

// One row of a case list: its line in the file, the text of every column
// (empty where the list has no such column or leaves the field empty), or why
// the row itself cannot be read.
struct CaseRow {
    std::size_t line = 0;
    std::string fields[kCaseColumnCount];
    std::string malformed;  // empty for a row that was read
};

struct CaseList {
    std::vector<CaseRow> rows;
    std::string error;  // the list cannot be used at all (header, file): its reason
};

// The text of a case list: the header row names its columns in any order,
// every further row is a case. Fields are separated by commas, may be quoted
// ("..." with "" for a quote) and are trimmed of blanks and tabs outside the
// quotes; lines end in LF, CR LF or CR; a byte-order mark at the start,
// blank lines, lines of empty fields and lines starting with '#' are skipped.
CaseList parseCaseList(std::string_view text);

// The result rows of one case: one per angle, or one with an empty alpha for
// a case refused as a whole. Relative airfoil paths are taken from `folder`.
// Never throws; a row that cannot be printed as a number is written empty and
// not converged.
std::string caseResultRows(std::size_t caseNumber, const CaseRow& row,
                           const std::filesystem::path& folder);

// Runs the case list `--cases` names with `--jobs` threads, writing to
// `--out` (standard output `out` without it). Returns the exit status: 0 the
// list was run to its end (whatever the cases gave), 1 the list or the
// results file could not be used, 3 the results could not all be written.
int runCases(const std::map<std::string, std::string>& values, std::ostream& out,
             std::ostream& err);

}  // namespace tavrix
