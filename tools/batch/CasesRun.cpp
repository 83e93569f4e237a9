#include "tools/batch/CasesRun.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>
#include <system_error>
#include <thread>
#include <variant>

#include "app/NumberText.h"
#include "geometry/AirfoilFile.h"
#include "geometry/NacaSections.h"
#include "geometry/Repanel.h"
#include "output/FileReplace.h"
#include "solvers/PanelMethods.h"
#include "solvers/Refusal.h"
#include "solvers/Sweep.h"
#include "tools/batch/OptionNumbers.h"
#include "tools/batch/SweepRun.h"
#include "viscous/BoundaryLayer.h"
#include "viscous/CoupledPolar.h"
#include "viscous/InviscidCoupling.h"
#include "viscous/ViscousPolar.h"

namespace tavrix {

const char* const kCasesUsage =
    R"(  --cases FILE.csv      instead of a press, every row of FILE a polar: a header row names
                        the columns, in any order (only airfoil is needed):
                          airfoil     a NACA designation (2412, NACA 23012) or the path
                                      of a coordinate file of any layout (relative: from
                                      FILE's folder)
                          points      end points of a NACA section (default 51); for a
                                      file, its own unless given (then repanelled to it)
                          method      hess, vortex, kennedy or soinne (default hess)
                          alpha_from, alpha_to, alpha_step
                                      degrees (defaults 0, alpha_from, 1)
                          mach        free-stream Mach number (default 0), correction
                                      prandtl-glauert (default) or karman-tsien
                          re          the one-way boundary layer at this Reynolds number
                                      (1e3 to 1e9; empty or 0: inviscid)
                          ncrit       with re: e^n transition at N (default: Michel's
                                      criterion)
                          xtr_upper, xtr_lower
                                      with re: transition forced at x/c
                          viscous     one-way (default) or coupled: with re, the
                                      coupled viscous-inviscid analysis of --re instead
                                      of the one-way layer (no mach; ncrit default 9);
                                      CL and CM are then the viscous ones
                        Fields may be quoted ("..."); blank lines and lines starting with
                        # are skipped; an empty field takes the default.
  --out RESULTS.csv     the results (default: standard output), one row per case and angle:
                          case,airfoil,method,re,mach,alpha,CL,CD,CDp,CM,Top_Xtr,Bot_Xtr,
                          converged,reason
                        numbers in the shortest form that reads back as the same double;
                        inviscid: CD = CDp = the pressure drag, Top_Xtr = Bot_Xtr = 1.
                        A case refused as a whole (the source, a number, the method) is
                        one row with an empty alpha; an angle without a result has empty
                        numbers, converged 0 and the reason. Rows are written as the
                        cases finish, in the order of the list: the same bytes whatever
                        --jobs.
  --jobs N              cases computed at once, on N threads (default: the machine's cores)
  Exit status of --cases: 0 when the list was run to its end, also when cases were
  refused or did not converge (see the converged and reason columns); 1 when the list
  cannot be read (missing, no header row, an unknown or repeated column, no airfoil
  column) or the results file cannot be written at all; 3 when the results could not
  all be written; 2 for a command line it does not understand.
)";

namespace {

namespace fs = std::filesystem;

// The pi of the program's shared state, so that sections made here have the
// bits of the window's and the batch's.
const double kPi = 4 * std::atan(1.0);

constexpr std::size_t columnIndex(std::string_view name)
{
    for (std::size_t k = 0; k < kCaseColumnCount; ++k)
        if (name == kCaseColumns[k]) return k;
    return kCaseColumnCount;
}

enum Column : std::size_t {
    kAirfoil = columnIndex("airfoil"),
    kPoints = columnIndex("points"),
    kMethod = columnIndex("method"),
    kAlphaFrom = columnIndex("alpha_from"),
    kAlphaTo = columnIndex("alpha_to"),
    kAlphaStep = columnIndex("alpha_step"),
    kRe = columnIndex("re"),
    kMach = columnIndex("mach"),
    kNcrit = columnIndex("ncrit"),
    kXtrUpper = columnIndex("xtr_upper"),
    kXtrLower = columnIndex("xtr_lower"),
    kCorrection = columnIndex("correction"),
    kViscous = columnIndex("viscous"),
};

std::string trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

// ASCII letters only: the user's locale must not change how a column or a
// designation reads (a Turkish locale lowers I to a dotless i).
std::string lowerCase(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The fields of one line of CSV; the reason when the line is not CSV.
// A quoted field ends on its own line: a case list has no multi-line values,
// and an unclosed quote must not swallow the cases after it.
std::variant<std::vector<std::string>, std::string> csvFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        std::string field;
        if (i < line.size() && line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += line[i++];
            }
            if (!closed) return std::string("a quoted field is not closed on its line");
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
            if (i < line.size() && line[i] != ',')
                return std::string("text follows the closing quote of a field");
        } else {
            const std::size_t end = std::min(line.find(',', i), line.size());
            const std::string_view raw = line.substr(i, end - i);
            if (raw.find('"') != std::string_view::npos)
                return std::string("a quote inside a field that does not start with one");
            field = trimmed(raw);
            i = end;
        }
        for (char c : field)
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                return std::string("a field holds a control character");
        fields.push_back(std::move(field));
        if (i >= line.size()) break;
        ++i;  // the comma
    }
    return fields;
}

// The lines of a text, with their numbers; LF, CR LF and CR all end a line.
std::vector<std::pair<std::size_t, std::string_view>> lines(std::string_view text)
{
    std::vector<std::pair<std::size_t, std::string_view>> out;
    std::size_t number = 1, start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
        if (i > start || i < text.size()) out.emplace_back(number, text.substr(start, i - start));
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
        ++number;
    }
    return out;
}

bool skipped(std::string_view line)
{
    const std::string t = trimmed(line);
    return t.empty() || t.front() == '#' || t.find_first_not_of(", \t") == std::string::npos;
}

// The shortest text that reads back as the same double.
std::string exact(double value)
{
    char digits[64];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, r.ec == std::errc() ? r.ptr : digits);
}

// A field of the results, quoted when it holds a comma, a quote or a line end.
std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string q = "\"";
    for (char c : text) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

// Why a case cannot be run, for its row.
struct CaseRefusal {
    std::string reason;
};

[[noreturn]] void refuse(std::string reason) { throw CaseRefusal{std::move(reason)}; }

double numberField(const CaseRow& row, Column column, double fallback)
{
    const std::string& text = row.fields[column];
    if (text.empty()) return fallback;
    const std::optional<double> v = wholeNumber(text);
    if (!v) refuse(std::string(kCaseColumns[column]) + " \"" + text + "\" is not a number");
    return *v;
}

// A count of points: a whole number within [low, high], else `refusal`.
int countField(const CaseRow& row, int fallback, int low, int high, const std::string& refusal)
{
    const double v = numberField(row, kPoints, fallback);
    if (!(v >= low && v <= high) || v != std::floor(v)) refuse(refusal);
    return static_cast<int>(v);
}

// A text meant as a designation rather than a path: "NACA ..." or a word
// starting with a digit, with no folder or extension in it.
bool looksLikeNaca(const std::string& text)
{
    const std::string t = lowerCase(text);
    return t.rfind("naca", 0) == 0 ||
           (!t.empty() && t.front() >= '0' && t.front() <= '9' &&
            t.find_first_of("/.") == std::string::npos);
}

// The contour of a file of any layout, as the airfoil menu reads it.
Contour fileContour(const std::string& shown, const fs::path& path)
{
    auto read = readAirfoilFileContour(path.string(), shown);
    if (auto* reason = std::get_if<std::string>(&read)) refuse(*reason);
    return std::get<Contour>(std::move(read));
}

// The section of the airfoil column: a NACA designation, else a file.
Contour caseContour(const CaseRow& row, const fs::path& folder)
{
    const std::string& airfoil = row.fields[kAirfoil];
    if (airfoil.empty()) refuse("no airfoil given");
    auto naca = parseNacaDesignation(airfoil);
    if (auto* d = std::get_if<NacaDesignation>(&naca)) {
        const int points = countField(row, 51, 2, kMaxPoints,
                                      "Number of panel end points must be a whole number from 2 to " +
                                          std::to_string(kMaxPoints));
        return makeNacaSection(*d, points, false, kPi);
    }
    const fs::path path = fs::path(airfoil).is_absolute() ? fs::path(airfoil) : folder / airfoil;
    std::error_code ec;
    if (looksLikeNaca(airfoil) && !fs::exists(fs::symlink_status(path, ec)))
        refuse(std::get<std::string>(naca));
    Contour contour = fileContour(airfoil, path);
    if (!row.fields[kPoints].empty()) {
        const int points =
            countField(row, 0, kRepanelMinPoints, kRepanelMaxPoints, repanelCountRefusal());
        auto redone = repanel(contour, points, kPi);
        if (auto* reason = std::get_if<std::string>(&redone)) refuse(*reason);
        contour = std::get<Contour>(std::move(redone));
    }
    return contour;
}

struct CaseSetup {
    FlowSetup flow;
    std::optional<BoundaryLayerSetup> layer;     // the one-way layer
    std::optional<coupled::CoupledOptions> coupled;  // or the coupled analysis
    std::vector<double> alphas;
};

CaseSetup caseSetup(const CaseRow& row)
{
    CaseSetup s;
    const std::string& word = row.fields[kMethod];
    const auto method = methodFromWord(word.empty() ? "hess" : word);
    if (!method) refuse("unknown method " + word + " (hess, vortex, kennedy or soinne)");
    s.flow.method = *method;
    s.flow.mach = numberField(row, kMach, 0);
    const std::string& correction = row.fields[kCorrection];
    if (correction == "karman-tsien")
        s.flow.correction = Compressibility::KarmanTsien;
    else if (!correction.empty() && correction != "prandtl-glauert")
        refuse("unknown correction " + correction + " (prandtl-glauert or karman-tsien)");

    // The angles as --sweep FROM:TO:STEP reads them, so that 0:1:0.1 gives
    // exactly the 0.3 a user types.
    std::string texts[3];
    const Column columns[3] = {kAlphaFrom, kAlphaTo, kAlphaStep};
    for (int k = 0; k < 3; ++k) {
        numberField(row, columns[k], 0);  // refuses a text that is not a number
        texts[k] = row.fields[columns[k]];
    }
    if (texts[0].empty()) texts[0] = "0";
    if (texts[1].empty()) texts[1] = texts[0];
    if (texts[2].empty()) texts[2] = "1";
    auto alphas = SweepAngles(texts[0] + ":" + texts[1] + ":" + texts[2]);
    if (!alphas)
        refuse("alpha_from, alpha_to, alpha_step need a step towards alpha_to and at most " +
               std::to_string(kMaxSweepAngles) + " angles");
    s.alphas = std::move(*alphas);

    const double re = numberField(row, kRe, 0);
    const double ncrit = numberField(row, kNcrit, 9);
    const double upper = numberField(row, kXtrUpper, 1);
    const double lower = numberField(row, kXtrLower, 1);
    const std::string& model = row.fields[kViscous];
    const bool coupledModel = model == "coupled";
    if (!model.empty() && !coupledModel && model != "one-way")
        refuse("unknown viscous model " + model + " (one-way or coupled)");
    if (re == 0) {  // inviscid: the layer's columns have nothing to act on
        if (coupledModel) refuse("viscous coupled needs re, the Reynolds number");
        return s;
    }
    // The limits of --re, --ncrit and --transition-* (an empty ncrit reads
    // as 9, within them).
    if (!(re >= 1e3 && re <= 1e9)) refuse("re needs a Reynolds number from 1e3 to 1e9");
    if (!(ncrit > 0 && ncrit <= kLargestNcrit))
        refuse("ncrit needs a number greater than 0 and at most 20");
    if (!(upper >= 0 && upper <= 1)) refuse("xtr_upper needs a chord fraction from 0 to 1");
    if (!(lower >= 0 && lower <= 1)) refuse("xtr_lower needs a chord fraction from 0 to 1");
    if (coupledModel) {
        if (s.flow.mach != 0)
            refuse("viscous coupled takes no mach: the coupled boundary layer is incompressible "
                   "(viscous one-way takes a Mach number)");
        if (!coupled::couplingAvailable(s.flow.method))
            refuse(coupled::couplingRefusal(s.flow.method).message);
        coupled::CoupledOptions o;
        o.re = re;
        o.ncrit = ncrit;
        // (a trip at the trailing edge is none: free transition)
        o.tripUpperX = upper < 1 ? upper : 2;
        o.tripLowerX = lower < 1 ? lower : 2;
        s.coupled = o;
        return s;
    }
    BoundaryLayerSetup layer;
    layer.Re = re;
    if (!row.fields[kNcrit].empty()) {
        layer.transition.criterion = TransitionCriterion::Envelope;
        layer.transition.Ncrit = ncrit;
    }
    if (!row.fields[kXtrUpper].empty()) layer.forcedTransitionUpper = upper;
    if (!row.fields[kXtrLower].empty()) layer.forcedTransitionLower = lower;
    s.layer = layer;
    s.flow.keepSignedSpeed = true;
    return s;
}

// The numbers of one result row; an empty optional is an empty field.
struct ResultNumbers {
    std::optional<double> CL, CD, CDp, CM, top, bottom;
    bool converged = false;
    std::string reason;
};

std::string reliabilityNote(const ViscousPoint& v)
{
    const bool upper = v.separationUpper.found && v.separationUpper.xc < kReliableSeparationXc;
    const SurfacePoint& at = upper ? v.separationUpper : v.separationLower;
    return std::string("drag not reliable: the ") + (upper ? "upper" : "lower") +
           " surface separates at x/c = " + generalForm(roundHalfEven(at.xc, 4), '.');
}

}  // namespace

std::optional<std::string> casesOptionError(const std::map<std::string, std::string>& values,
                                            const std::set<std::string>& flags,
                                            bool sourceGiven)
{
    const bool cases = values.count("--cases") != 0;
    if (!cases) {
        for (const char* name : {"--jobs", "--out"})
            if (values.count(name) != 0) return std::string(name) + " needs --cases";
        return std::nullopt;
    }
    for (const auto& [name, value] : values)
        if (std::find_if(std::begin(kCasesOptions), std::end(kCasesOptions),
                         [&](const char* n) { return name == n; }) == std::end(kCasesOptions))
            return "--cases takes no " + name;
    for (const std::string& flag : flags)
        if (flag != "--help") return "--cases takes no " + flag;
    if (sourceGiven) return "--cases takes no airfoil source: the list names the sections";
    if (auto j = values.find("--jobs"); j != values.end()) {
        const std::optional<double> n = wholeNumber(j->second);
        if (!n || *n < 1 || *n > kMaxJobs || *n != std::floor(*n))
            return "--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs);
    }
    if (values.at("--cases").empty()) return "--cases needs a file name";
    if (auto o = values.find("--out"); o != values.end() && o->second.empty())
        return "--out needs a file name";
    return std::nullopt;
}

CaseList parseCaseList(std::string_view text)
{
    CaseList list;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::size_t> slots;  // column of each field of a row
    bool header = false;
    for (const auto& [number, line] : lines(text)) {
        if (skipped(line)) continue;
        auto parsed = csvFields(line);
        const std::string where = "line " + std::to_string(number);
        if (!header) {
            if (auto* reason = std::get_if<std::string>(&parsed)) {
                list.error = where + " (the header row): " + *reason;
                return list;
            }
            std::vector<bool> seen(kCaseColumnCount, false);
            for (const std::string& raw : std::get<std::vector<std::string>>(parsed)) {
                const std::string name = lowerCase(raw);
                const std::size_t k = columnIndex(name);
                if (k == kCaseColumnCount) {
                    std::string known;
                    for (const char* c : kCaseColumns) known += (known.empty() ? "" : ", ") + std::string(c);
                    list.error = where + " (the header row): unknown column \"" + raw +
                                 "\" (the columns are " + known + ")";
                    return list;
                }
                if (seen[k]) {
                    list.error = where + " (the header row): the column " + name + " is named twice";
                    return list;
                }
                seen[k] = true;
                slots.push_back(k);
            }
            if (!seen[kAirfoil]) {
                list.error = where + " (the header row): there is no airfoil column";
                return list;
            }
            header = true;
            continue;
        }
        CaseRow row;
        row.line = number;
        if (auto* reason = std::get_if<std::string>(&parsed)) {
            row.malformed = where + ": " + *reason;
        } else {
            auto& fields = std::get<std::vector<std::string>>(parsed);
            if (fields.size() != slots.size()) {
                row.malformed = where + " has " + std::to_string(fields.size()) +
                                " fields, the header row names " + std::to_string(slots.size()) +
                                " columns";
            } else {
                for (std::size_t k = 0; k < fields.size(); ++k)
                    row.fields[slots[k]] = std::move(fields[k]);
            }
        }
        list.rows.push_back(std::move(row));
    }
    if (!header) list.error = "there is no header row naming the columns";
    return list;
}

std::string caseResultRows(std::size_t caseNumber, const CaseRow& row, const fs::path& folder)
{
    const std::string number = std::to_string(caseNumber);
    const std::string& word = row.fields[kMethod];
    const std::string& mach = row.fields[kMach];
    const std::string& re = row.fields[kRe];
    // case,airfoil,method,re,mach, as the list gives them (with the defaults)
    const std::string lead = number + "," + csvField(row.fields[kAirfoil]) + "," +
                             csvField(word.empty() ? "hess" : word) + "," + csvField(re) + "," +
                             csvField(mach.empty() ? "0" : mach) + ",";
    auto refusedRow = [&](const std::string& reason) {
        return lead + ",,,,,,,0," + csvField(reason) + "\n";
    };
    if (!row.malformed.empty()) return number + ",,,,,,,,,,,,0," + csvField(row.malformed) + "\n";

    try {
        const CaseSetup setup = caseSetup(row);
        const Contour contour = caseContour(row, folder);
        SweepOutcome outcome = Sweep(contour.x, contour.y, setup.flow, setup.alphas);
        // Like a press, the polar ends at the first angle whose coefficients
        // or pressures are not finite.
        endAtFirstNonFinite(outcome);
        if (outcome.points.empty()) refuse(outcome.message);
        std::vector<ViscousPoint> layers;
        if (setup.layer) layers = ViscousPolar(outcome.points, *setup.layer);
        // The coupled analysis at the angles the panels solved, as
        // --sweep --re sweeps them.
        std::vector<CoupledPoint> coupledPoints;
        if (setup.coupled) {
            std::vector<double> solved;
            for (const OperatingPoint& p : outcome.points) solved.push_back(p.alphaDeg);
            coupledPoints = coupledSweep(contour.x, contour.y, 0, setup.flow.method, solved,
                                         *setup.coupled);
        }

        std::string text;
        for (std::size_t k = 0; k < setup.alphas.size(); ++k) {
            ResultNumbers r;
            if (k >= outcome.points.size()) {
                r.reason = outcome.message;
            } else {
                const OperatingPoint& p = outcome.points[k];
                r.CL = p.CL;
                r.CM = p.CM;
                if (setup.coupled) {
                    // The viscous lift and moment, none where the point did
                    // not converge.
                    r.CL = r.CM = std::nullopt;
                    if (k >= coupledPoints.size()) {
                        r.reason = "not solved";
                    } else if (const CoupledPoint& c = coupledPoints[k]; !c.converged) {
                        r.reason = c.reason;
                    } else {
                        r.CL = c.CL;
                        r.CM = c.CM;
                        r.CD = c.CD;
                        r.CDp = c.CDp;
                        r.top = transitionXc(c.transitionUpper);
                        r.bottom = transitionXc(c.transitionLower);
                        r.converged = true;
                    }
                } else if (!setup.layer) {
                    r.CD = r.CDp = p.CD;
                    r.top = r.bottom = 1;
                    r.converged = true;
                } else if (const ViscousPoint& v = layers[k]; !v.ok) {
                    r.reason = v.message;
                } else {
                    r.CD = v.CD;
                    r.CDp = v.CD - v.CDfriction;
                    r.top = transitionXc(v.transitionUpper);
                    r.bottom = transitionXc(v.transitionLower);
                    r.converged = true;
                    if (!v.reliable) r.reason = reliabilityNote(v);
                }
            }
            // No number that is not finite is printed as a result.
            for (std::optional<double>* v : {&r.CL, &r.CD, &r.CDp, &r.CM, &r.top, &r.bottom}) {
                if (*v && !std::isfinite(**v)) {
                    r = ResultNumbers{};
                    r.reason = kNoFiniteResultMessage;
                    break;
                }
            }
            text += lead + exact(setup.alphas[k]);
            for (const std::optional<double>& v : {r.CL, r.CD, r.CDp, r.CM, r.top, r.bottom})
                text += "," + (v ? exact(*v) : std::string());
            text += r.converged ? ",1," : ",0,";
            text += csvField(r.reason) + "\n";
        }
        return text;
    } catch (const CaseRefusal& r) {
        return refusedRow(r.reason);
    } catch (const std::bad_alloc&) {
        return refusedRow("not enough memory for this case");
    } catch (const std::exception& e) {
        return refusedRow(std::string("the case failed: ") + e.what());
    }
}

int runCases(const std::map<std::string, std::string>& values, std::ostream& out,
             std::ostream& err)
{
    const std::string casesFile = values.at("--cases");
    const auto outFile = values.find("--out");
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    if (auto j = values.find("--jobs"); j != values.end())
        jobs = static_cast<unsigned>(*wholeNumber(j->second));

    // The list, read whole before anything is written.
    std::string text;
    {
        std::error_code ec;
        const fs::file_status status = fs::status(casesFile, ec);
        std::string failure;
        if (status.type() == fs::file_type::not_found)
            failure = "the file does not exist";
        else if (ec)
            failure = "the file cannot be reached (" + ec.message() + ")";
        else if (fs::is_directory(status))
            failure = "it is a folder, not a file";
        else if (!fs::is_regular_file(status))
            failure = "it is not an ordinary file";
        if (failure.empty()) {
            std::ifstream in(casesFile, std::ios::binary);
            std::ostringstream all;
            all << in.rdbuf();
            if (!in || in.bad()) failure = "the file cannot be read";
            text = std::move(all).str();
        }
        if (!failure.empty()) {
            err << "tavrixs-batch: cannot read the case list \"" << casesFile << "\": " << failure
                << '\n';
            return 1;
        }
    }
    const CaseList list = parseCaseList(text);
    if (!list.error.empty()) {
        err << "tavrixs-batch: case list \"" << casesFile << "\", " << list.error << '\n';
        return 1;
    }
    const fs::path folder = fs::path(casesFile).parent_path();

    // The results file, refused before any case runs when it cannot be one.
    std::FILE* file = nullptr;
    std::string shown;
    if (outFile != values.end()) {
        shown = outFile->second;
        std::string failure;
        if (const auto refusal = outputFileRefusal(shown)) failure = *refusal;
        if (failure.empty() && (file = std::fopen(shown.c_str(), "wb")) == nullptr)
            failure = std::strerror(errno);
        if (!failure.empty()) {
            err << "message: Cannot write \"" << shown << "\": " << failure << '\n';
            return 1;
        }
    }
    bool writeFailed = false;
    std::string writeFailure;
    auto write = [&](const std::string& rows) {
        if (file == nullptr) {
            out << rows << std::flush;
            writeFailed = writeFailed || !out;
            return !writeFailed;
        }
        if (std::fwrite(rows.data(), 1, rows.size(), file) != rows.size() ||
            std::fflush(file) != 0) {
            writeFailure = std::strerror(errno);
            writeFailed = true;
        }
        return !writeFailed;
    };

    // Every thread, this one among them, takes the next case of the list,
    // computes it and files its rows; whichever thread files the case that
    // is next to be written writes it and every finished case after it. So
    // rows go out as soon as the cases before them are done, always in the
    // order of the list, and no thread waits for another's case.
    const std::size_t count = list.rows.size();
    std::vector<std::optional<std::string>> finished(count);
    std::mutex mutex;  // guards finished, nextToWrite and the writes
    std::size_t nextToWrite = 0;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    auto worker = [&] {
        for (;;) {
            const std::size_t k = next.fetch_add(1);
            if (k >= count || stop) return;
            std::string rows = caseResultRows(k + 1, list.rows[k], folder);
            std::lock_guard lock(mutex);
            finished[k] = std::move(rows);
            while (nextToWrite < count && finished[nextToWrite] && !stop) {
                if (!write(*finished[nextToWrite])) stop = true;
                finished[nextToWrite].reset();
                ++nextToWrite;
            }
        }
    };

    if (write(kCaseResultHeader)) {
        std::vector<std::thread> threads;
        const std::size_t n = std::min<std::size_t>(jobs, std::max<std::size_t>(count, 1));
        try {
            for (std::size_t t = 1; t < n; ++t) threads.emplace_back(worker);
        } catch (const std::system_error&) {
            // Fewer threads than asked: those started and this one do the work.
        }
        worker();
        for (std::thread& t : threads) t.join();
    }
    if (file != nullptr && std::fclose(file) != 0 && !writeFailed) {
        writeFailure = std::strerror(errno);
        writeFailed = true;
    }
    if (writeFailed) {
        err << "message: Cannot write \"" << (file != nullptr ? shown : "standard output")
            << "\": " << (writeFailure.empty() ? "the write failed" : writeFailure) << '\n';
        return 3;
    }
    return 0;
}

}  // namespace tavrix
