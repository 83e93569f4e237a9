#include "tools/batch/BatchRun.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <span>

#include <fcntl.h>
#include <unistd.h>

#include "app/Form_TavrixS.h"
#include "app/NumberText.h"
#include "geometry/ExactFlow.h"
#include "output/FileReplace.h"
#include "output/Plots.h"
#include "output/PolarFiles.h"
#include "output/PrintFile.h"
#include "tools/batch/ViscousRun.h"
#include "tools/batch/SweepRun.h"
#include "tools/batch/AirfoilSources.h"
#include "tools/batch/CasesRun.h"
#include "tools/batch/CoupledRun.h"
#include "tools/batch/CpPlotRun.h"
#include "tools/batch/FieldRun.h"
#include "tools/batch/OptionNumbers.h"
#include "ui/Controls.h"
#include "tools/batch/PictureModule.h"
#include "tools/batch/SectionEditRun.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix {

namespace {

constexpr const char* kExactFile = "Exact.xls";

constexpr const char* kUsage = R"(usage: tavrixs-batch [options]
  source, one of:  --circle | --naca0012 (default) | --file PATH | --karman-trefftz
  --points TEXT                     "Number of panel end points" (default 51)
  --thickness TEXT --camber TEXT --te-angle TEXT --xd TEXT
                                    Karman-Trefftz window inputs (defaults 0.10, 0.00, 0, 0.00)
  --alpha TEXT --eta TEXT --mach TEXT    free-flow conditions (default 0)
  --method hess|vortex|kennedy|soinne    (default hess)
  --save-panel --save-matrix --save-singularities --no-circulation   the four check boxes
  --plot FILE.png       the main window's two plots after the press, as one picture
  --matrix FILE.png     tick "Show coefficients matrix" and save the matrix view
  --cp-plot FILE        the analysis window's pressure plot of the press, labelled: -Cp
                        against x/c, a legend, the case in the title; PNG or SVG by the
                        extension (.png, .svg). With --sweep, of the last angle (with
                        --compare, the four methods)
  --dir DIR             working directory for the result files (default: current)
  --naca DIGITS         source: the NACA 4- or 5-digit section (2412, 23012, 23112 ...)
                        with --points end points
  --open-te             with --naca: the classic open trailing edge, then closed
  --file PATH           reads Selig, Lednicer, plain x y and .arf files alike
  --repanel N           redistribute the contour to N end points (3 to 1000) before
                        the press; with --file, before the file's points are used
  --save-contour FILE   write the contour in use in the Selig layout
  --exact               Karman-Trefftz source only, with no --eta and no --mach: after
                        the press also print "CL exact = ", "CMc/4 exact = " (the exact
                        potential flow of the section, four decimals) and
                        "max |Cp - Cp exact| = " (largest difference over the control
                        points, four decimals), and write "Exact.xls" beside
                        "TavrixS.xls": XM, calculated Cu, exact Cu per control point
  --sweep FROM:TO:STEP  instead of the press, the angles of attack FROM, FROM + STEP ...
                        up to TO (degrees) with --eta and --mach on the same panels, the
                        system eliminated once; prints one line per method and angle,
                        "Hess: alpha = 2.5 CL = 0.3155 CMc/4 = -0.0061", and writes no
                        result file of a press. Only with --sweep:
  --compare             all four methods instead of --method
  --correction prandtl-glauert|karman-tsien    compressibility correction (default
                        prandtl-glauert, the main window's)
  --polar FILE          the polar in the columns of xfoil's saved polars; with --compare
                        one file per method, FILE_hess, FILE_vortex ... (before the extension)
  --csv FILE            CSV: method, alpha, CL, CD, CM, lowest Cp, critical Mach number
  --cp-csv FILE         CSV: method, alpha, panel, x, y, Cp, incompressible Cp
)";

// Message boxes go to standard error as they are shown.
class BatchToolkit : public ui::HeadlessToolkit {
public:
    explicit BatchToolkit(std::ostream& err) : err_(err) {}
    void message(std::string_view text) override
    {
        HeadlessToolkit::message(text);
        err_ << "message: " << text << '\n';
    }

private:
    std::ostream& err_;
};

struct Options {
    std::string source = "naca0012";
    std::map<std::string, std::string> values;  // option name -> text
    std::set<std::string> flags;
    OrderedOptions ordered;  // the value options in the order given
};

const std::map<std::string, std::string>& sourceFlags()
{
    static const std::map<std::string, std::string> flags = {
        {"--circle", "circle"}, {"--naca0012", "naca0012"}, {"--karman-trefftz", "karman-trefftz"}};
    return flags;
}

const std::set<std::string>& valueOptions()
{
    static const std::set<std::string> names = {
        "--file", "--points", "--thickness", "--camber", "--te-angle", "--xd", "--alpha",
        "--eta", "--mach", "--method", "--plot", "--matrix", "--dir",
        "--re", "--transition-upper", "--transition-lower", "--ncrit",
        "--sweep", "--correction", "--polar", "--csv", "--cp-csv",
        "--naca", "--repanel", "--save-contour", "--cp-plot",
        "--flap", "--scale-thickness", "--scale-camber", "--te-gap",
        "--field", "--field-box", "--field-png", "--cases", "--jobs", "--out",
        "--cl", "--bl-csv"};
    return names;
}

const std::set<std::string>& plainFlags()
{
    static const std::set<std::string> names = {"--save-panel", "--save-matrix",
                                                "--save-singularities", "--no-circulation",
                                                "--exact", "--no-natural-transition", "--compare",
                                                "--open-te", kOneWay};
    return names;
}

// A sweep makes no press: the options of a press do not go with it, and the
// sweep's options need it.
std::optional<std::string> checkSweepOptions(const Options& o)
{
    auto given = [&](const std::string& name) {
        return o.values.count(name) != 0 || o.flags.count(name) != 0;
    };
    if (!given("--sweep")) {
        for (const char* name : {"--compare", "--correction", "--polar", "--csv", "--cp-csv"})
            if (given(name)) return std::string(name) + " needs --sweep";
        return std::nullopt;
    }
    for (const char* name : {"--alpha", "--exact", "--plot", "--matrix", "--save-panel",
                             "--save-matrix", "--save-singularities"})
        if (given(name)) return std::string("--sweep takes no ") + name;
    if (given("--compare") && given("--method")) return "--compare takes no --method";
    if (!SweepAngles(o.values.at("--sweep")))
        return "--sweep needs FROM:TO:STEP in degrees, STEP towards TO, at most " +
               std::to_string(kMaxSweepAngles) + " angles";
    if (auto c = o.values.find("--correction"); c != o.values.end()) {
        if (c->second != "prandtl-glauert" && c->second != "karman-tsien")
            return "unknown correction " + c->second;
    }
    return std::nullopt;
}

// Parses the command line; returns an error text, or nothing.
std::optional<std::string> parse(const std::vector<std::string>& args, Options& o)
{
    std::optional<std::string> chosenSource;
    auto chooseSource = [&](const std::string& s) -> bool {
        if (chosenSource && *chosenSource != s) return false;
        chosenSource = s;
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "-h" || name == "--help") {
            o.flags.insert("--help");
            continue;
        }
        if (auto s = sourceFlags().find(name); s != sourceFlags().end()) {
            if (value) return "option " + name + " takes no value";
            if (!chooseSource(s->second)) return "two different airfoil sources";
            continue;
        }
        if (plainFlags().count(name) != 0) {
            if (value) return "option " + name + " takes no value";
            o.flags.insert(name);
            continue;
        }
        if (valueOptions().count(name) != 0) {
            if (!value) {
                if (i + 1 >= args.size()) return "option " + name + " needs a value";
                value = args[++i];
            }
            if (name == "--file" && !chooseSource("file")) return "two different airfoil sources";
            if (name == "--naca" && !chooseSource("naca")) return "two different airfoil sources";
            o.values[name] = *value;
            o.ordered.emplace_back(name, *value);
            continue;
        }
        return "unknown option " + args[i];
    }
    if (auto error = casesOptionError(o.values, o.flags, chosenSource.has_value())) return error;
    if (chosenSource) o.source = *chosenSource;
    if (auto m = o.values.find("--method"); m != o.values.end()) {
        if (!methodFromWord(m->second)) return "unknown method " + m->second;
    }
    if (o.flags.count("--open-te") != 0 && o.source != "naca")
        return "--open-te needs the source --naca";
    if (o.flags.count("--exact") != 0) {
        // The exact flow is known for the Karman-Trefftz section as made, in
        // incompressible flow.
        if (o.source != "karman-trefftz") return "--exact needs the source --karman-trefftz";
        for (const char* name : {"--eta", "--mach"}) {
            auto v = o.values.find(name);
            if (v == o.values.end()) continue;
            const LeadingNumber n = readLeadingNumber(v->second);
            if (n.tooLarge || n.value != 0) return std::string("--exact takes no ") + name;
        }
    }
    if (auto error = viscousOptionError(o.values)) return error;
    {
        std::vector<PanelMethod> methods;
        if (o.flags.count("--compare") != 0)
            methods.assign(std::begin(kAllMethods), std::end(kAllMethods));
        else if (auto m = o.values.find("--method"); m != o.values.end())
            methods.push_back(*methodFromWord(m->second));
        else
            methods.push_back(PanelMethod::Hess);
        if (auto error = coupledOptionError(o.values, o.flags, methods)) return error;
    }
    if (auto error = fieldOptionError(o.values)) return error;
    if (auto f = o.values.find("--cp-plot"); f != o.values.end() && !plotFileIsSvg(f->second))
        return "--cp-plot needs a file name ending in .png or .svg";
    if (auto r = o.values.find("--repanel"); r != o.values.end() && !wholeNumber(r->second))
        return "--repanel needs a number of points, not \"" + r->second + "\"";
    if (o.flags.count(kNaturalTransitionOff) != 0 && o.values.count("--re") == 0)
        return std::string(kNaturalTransitionOff) + " needs --re";
    if (auto error = sectionEditError(o.ordered)) return error;
    if (auto error = checkSweepOptions(o)) return error;
    if (auto d = o.values.find("--dir"); d != o.values.end()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(d->second, ec))
            return "no such directory: " + d->second;
    }
    return std::nullopt;
}

SweepRequest sweepRequest(const Options& o)
{
    SweepRequest r;
    r.alphasDeg = *SweepAngles(o.values.at("--sweep"));
    if (o.flags.count("--compare") != 0) {
        r.methods.assign(std::begin(kAllMethods), std::end(kAllMethods));
    } else {
        const auto m = o.values.find("--method");
        r.methods = {m == o.values.end() ? PanelMethod::Hess : *methodFromWord(m->second)};
    }
    if (auto c = o.values.find("--correction"); c != o.values.end() && c->second == "karman-tsien")
        r.correction = Compressibility::KarmanTsien;
    r.noCirculation = o.flags.count("--no-circulation") != 0;
    auto file = [&](const char* name) {
        const auto v = o.values.find(name);
        return v == o.values.end() ? std::string() : v->second;
    };
    r.polarFile = file("--polar");
    r.csvFile = file("--csv");
    r.cpCsvFile = file("--cp-csv");
    if (coupledRequested(o.values, o.flags))
        r.coupled = coupledRequest(o.values);
    else if (o.values.count("--re") != 0)
        r.layer = viscousSetup(o.values, o.flags.count(kNaturalTransitionOff) != 0);
    if (o.source == "circle") r.sectionName = "Circle";
    if (o.source == "naca0012") r.sectionName = "NACA 0012";
    if (o.source == "karman-trefftz") r.sectionName = "Karman-Trefftz section";
    if (o.source == "file") r.sectionName = std::filesystem::path(file("--file")).stem().string();
    return r;
}

PictureBox pictureBox(const ui::HeadlessToolkit& tk, const char* picture)
{
    return {&tk.drawing(picture), tk.width(picture), tk.height(picture)};
}

// The picture module, loaded at the first picture; says why when it cannot be.
const PictureModule* pictures(std::ostream& err)
{
    std::string error;
    const PictureModule* module = loadPictureModule(error);
    if (module == nullptr) err << "tavrixs-batch: " << error << '\n';
    return module;
}

// Writes an encoded picture through a temporary file and a rename, so that a
// failed write leaves an earlier picture whole; says why when it cannot.
bool writePicture(bool encoded, const std::string& bytes, const std::string& file,
                  std::ostream& err)
{
    if (!encoded) {
        err << "tavrixs-batch: cannot write " << file << '\n';
        return false;
    }
    if (const auto failure = replaceFileContents(file, bytes)) {
        err << "tavrixs-batch: cannot write " << file << ": " << *failure << '\n';
        return false;
    }
    return true;
}

bool savePlots(const ui::HeadlessToolkit& tk, const std::string& file, std::ostream& err)
{
    const PictureModule* module = pictures(err);
    std::string png;
    const bool encoded = module != nullptr &&
                         module->plotsPng(pictureBox(tk, kAirfoilPicture),
                                          pictureBox(tk, kPressurePicture), png);
    return writePicture(encoded, png, file, err);
}

bool saveCpPlot(const PlotData& plot, const std::string& file, std::ostream& err)
{
    const PictureModule* module = pictures(err);
    std::string bytes;
    const bool encoded =
        module != nullptr && module->plotPicture(plot, plotFileIsSvg(file).value_or(false), bytes);
    return writePicture(encoded, bytes, file, err);
}

// The press against the exact flow of the section the window made: prints the
// exact coefficients and the largest pressure difference, writes "Exact.xls".
bool compareWithExact(Form_TavrixS& form, std::ostream& out)
{
    const Common& c = form.common();
    const KarmanTrefftzFlow flow(*form.katjo().lastSection(), c.AlfaD);
    const auto panels = static_cast<std::size_t>(c.NPanel);
    const std::vector<double> cuExact =
        exactCu(std::span<const double>(c.XM).subspan(1, panels),
                std::span<const double>(c.YM).subspan(1, panels), flow);
    double largest = 0;
    PrintSection columns(c.DecimalSeparator);
    for (int i = 1; i <= c.NPanel; ++i) {
        const double exact = cuExact[static_cast<std::size_t>(i - 1)];
        // Cp = 1 - Cu, so the Cp difference is the Cu difference.
        largest = std::max(largest, std::fabs(c.Cu[i] - exact));
        columns.number(c.XM[i]).zone().number(c.Cu[i]).zone().number(exact).endLine();
    }
    const char sep = c.DecimalSeparator;
    out << "CL exact = " << generalForm(roundHalfEven(flow.CL(), 4), sep) << '\n';
    out << "CMc/4 exact = " << generalForm(roundHalfEven(flow.CM(), 4), sep) << '\n';
    out << "max |Cp - Cp exact| = " << generalForm(roundHalfEven(largest, 4), sep) << '\n';
    return writeSection(c, form.toolkit(), kExactFile, columns, FileMode::Replace);
}

bool saveMatrix(const ui::HeadlessToolkit& tk, const std::string& file, std::ostream& err)
{
    const PictureModule* module = pictures(err);
    std::string png;
    const bool encoded =
        module != nullptr && module->matrixPng(pictureBox(tk, "Picture_ShowMat"), png);
    return writePicture(encoded, png, file, err);
}

// Creates the report empty when there is none; anything under its name,
// whatever it is, stays as it is. A run that does not press writes nothing
// there, so a folder where it cannot be made is no failure of that run.
void makeMissingReport(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) ::close(fd);
}

// The files this run would write, each with the name its messages give it.
// A pipe, a device or a folder under one of these names is refused before
// anything is done: a write into a pipe waits for ever, and a device node
// must not be replaced by a plain file.
std::vector<std::pair<std::filesystem::path, std::string>> outputFiles(
    const Options& o, const std::filesystem::path& dir)
{
    std::vector<std::pair<std::filesystem::path, std::string>> files;
    auto add = [&](const std::filesystem::path& file) { files.emplace_back(file, file.string()); };
    for (const char* name : {"--plot", "--matrix", "--cp-plot", "--save-contour", "--csv", "--cp-csv",
                             "--field", "--field-png", "--bl-csv"})
        if (auto v = o.values.find(name); v != o.values.end()) add(v->second);
    if (auto polar = o.values.find("--polar"); polar != o.values.end()) {
        if (o.flags.count("--compare") != 0) {
            for (PanelMethod method : kAllMethods) add(PolarFileFor(polar->second, method));
        } else {
            add(polar->second);
        }
    }
    if (o.values.count("--sweep") == 0) {
        // The press's own files in the working directory, named as its messages name them.
        std::vector<const char*> names = {kReportFile, kColumnFile};
        if (o.flags.count("--save-panel") != 0) names.push_back(kPanelPropertiesFile);
        if (o.flags.count("--exact") != 0) names.push_back(kExactFile);
        for (const char* name : names) files.emplace_back(dir / name, name);
    }
    return files;
}

bool refuseUnwritableOutputs(const Options& o, const Common& common, ui::Toolkit& tk)
{
    for (const auto& [file, shown] : outputFiles(o, common.WorkDir)) {
        if (const auto refusal = outputFileRefusal(file)) {
            tk.message("Cannot write \"" + shown + "\": " + *refusal);
            return true;
        }
    }
    return false;
}

}  // namespace

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Options o;
    if (auto error = parse(args, o)) {
        err << "tavrixs-batch: " << *error << '\n' << kUsage << kViscousUsage << kSectionEditUsage
            << kFieldUsage << kCasesUsage;
        return 2;
    }
    if (o.flags.count("--help") != 0) {
        out << kUsage << kViscousUsage << kSectionEditUsage << kFieldUsage << kCasesUsage;
        return 0;
    }
    if (o.values.count("--cases") != 0) return runCases(o.values, out, err);
    auto value = [&](const std::string& name, const std::string& fallback) {
        auto it = o.values.find(name);
        return it == o.values.end() ? fallback : it->second;
    };

    // The boxes' own rule drops what follows the number: said, not refused,
    // so that the run still does what the window does with that text.
    for (const char* name : {"--points", "--alpha", "--eta", "--mach", "--thickness", "--camber",
                             "--te-angle", "--xd"}) {
        if (auto v = o.values.find(name); v != o.values.end()) {
            if (const std::string warning = leadingNumberWarning(name, v->second); !warning.empty())
                err << warning << '\n';
        }
    }

    const bool edits = hasSectionEdits(o.ordered);
    BatchToolkit tk(err);
    Common common;
    common.DecimalSeparator = localeDecimalSeparator();
    common.WorkDir = value("--dir", ".");
    Form_TavrixS form(common, tk);
    // The window's start-up without its emptying of "TavrixS.txt": that
    // belongs to the press, so a sweep or a refused run leaves the report as
    // it was. A missing report is made, empty, as the start-up makes it.
    SetConstants(common);
    form.showAirfoilInUse();
    makeMissingReport(common.WorkDir / kReportFile);
    if (refuseUnwritableOutputs(o, common, tk)) return 1;

    // The boxes as a person would fill them before choosing the airfoil.
    tk.type("Text_NP", value("--points", "51"));
    tk.type("Text_AlfaD", value("--alpha", "0"));
    tk.type("Text_ItaD", value("--eta", "0"));
    tk.type("Text_Moo", value("--mach", "0"));
    tk.select(methodInfo(*methodFromWord(value("--method", "hess"))).option);
    tk.setValue("Check_WritePanel", o.flags.count("--save-panel") != 0 ? 1 : 0);
    tk.setValue("Check_WriteMat", o.flags.count("--save-matrix") != 0 ? 1 : 0);
    tk.setValue("Check_WriteSingularities", o.flags.count("--save-singularities") != 0 ? 1 : 0);
    tk.setValue("Check_Circulation", o.flags.count("--no-circulation") != 0 ? 1 : 0);
    tk.setValue("Check_ShowMat", o.values.count("--matrix") != 0 ? 1 : 0);

    if (o.source == "circle") {
        tk.select("Option_CIRCLE");
        form.Option_CIRCLE_Click();
    } else if (o.source == "naca0012") {
        tk.select("Option_N0012");
        form.Option_N0012_Click();
    } else if (o.source == "naca") {
        if (!runNacaSource(form, value("--naca", ""), o.flags.count("--open-te") != 0)) return 1;
    } else if (o.source == "file" && o.values.count("--repanel") != 0 &&
               (!edits || repanelBeforeEdits(o.ordered))) {
        if (!runRepanelledFile(form, value("--file", ""), value("--repanel", ""))) return 1;
    } else if (o.source == "file") {
        tk.select("Option_DOSYA");
        form.Option_DOSYA_Click();
        form.openAirfoilFile(value("--file", ""));
    } else {
        tk.select("Option_KATJO");
        form.Option_KATJO_Click();
        if (!form.katjoCreated() || tk.windowsShown().empty()) return 1;
        tk.type("Text_Delta", value("--thickness", "0.10"));
        tk.type("Text_Gamma", value("--camber", "0.00"));
        tk.type("Text_Tau", value("--te-angle", "0"));
        tk.type("Text_xDltc", value("--xd", "0.00"));
        const bool made = form.katjo().Command1_Click();
        for (const std::string& line : tk.list("List1")) out << line << '\n';
        if (!made) return 1;
    }
    if (!common.AirfoilReady) return 1;
    if (edits) {
        const bool repanelledAtRead = o.source == "file" && repanelBeforeEdits(o.ordered);
        if (!runSectionEdits(form, o.ordered, repanelledAtRead)) return 1;
    } else if (o.values.count("--repanel") != 0 && o.source != "file" &&
               !runRepanel(form, value("--repanel", ""))) {
        return 1;
    }
    const bool contourSaved =
        o.values.count("--save-contour") == 0 || runSaveContour(form, value("--save-contour", ""));
    if (o.values.count("--sweep") != 0) {
        const SweepRequest request = sweepRequest(o);
        int swept = runSweep(form, request, out, err);
        // The pressure plot of the last angle, when every angle was solved.
        if (auto cp = o.values.find("--cp-plot"); cp != o.values.end() && swept != 1) {
            const std::optional<PlotData> plot = sweepPressurePlot(form, request);
            if (!plot || !saveCpPlot(*plot, cp->second, err)) swept = 1;
        }
        return swept == 0 && !contourSaved ? 3 : swept;
    }

    form.Form_Load();
    form.Command_Calculate_Click();
    out << "CL = " << tk.text("Text_CL") << '\n';
    out << "CMc/4 = " << tk.text("Text_CM") << '\n';
    if (flapGiven(o.ordered)) printHingeMoment(form, out);

    int status = form.lastPressCompleted() ? 0 : 1;
    if (status == 0 && !common.FilesNotWritten.empty()) status = 3;
    if (status == 0 && o.flags.count("--exact") != 0 && !compareWithExact(form, out)) status = 1;
    if (status == 0 && !contourSaved) status = 3;
    if (form.lastPressCompleted() && coupledRequested(o.values, o.flags)) {
        const PanelMethod method = *methodFromWord(value("--method", "hess"));
        // A refusal before it stays the run's status.
        if (const int v = runCoupledPress(form, method, coupledRequest(o.values), out, err);
            v != 0 && status != 1)
            status = v;
    } else if (form.lastPressCompleted() && o.values.count("--re") != 0) {
        const bool off = o.flags.count(kNaturalTransitionOff) != 0;
        if (const int v = runViscous(form, o.values, off, out, err))
            status = v;
    }
    if (auto plot = o.values.find("--plot"); plot != o.values.end()) {
        if (!savePlots(tk, plot->second, err)) status = 1;
    }
    if (auto cp = o.values.find("--cp-plot"); cp != o.values.end() && form.lastPressCompleted()) {
        static const std::map<std::string, PanelMethod> methods = {
            {"hess", PanelMethod::Hess}, {"vortex", PanelMethod::VortexPanel},
            {"kennedy", PanelMethod::KennedyMarsden}, {"soinne", PanelMethod::SoinneLaine}};
        const PlotData plot = pressPressurePlot(form, methods.at(value("--method", "hess")),
                                                o.flags.count("--no-circulation") != 0);
        if (!saveCpPlot(plot, cp->second, err)) status = 1;
    }
    if (auto matrix = o.values.find("--matrix"); matrix != o.values.end()) {
        if (!saveMatrix(tk, matrix->second, err)) status = 1;
    }
    if (form.lastPressCompleted() &&
        (o.values.count("--field") != 0 || o.values.count("--field-png") != 0)) {
        const int field = runField(form, o.values, *methodFromWord(value("--method", "hess")),
                                   o.flags.count("--no-circulation") != 0, out, err);
        if (field == 1 || (field == 3 && status == 0)) status = field;
    }
    return status;
}

}  // namespace tavrix
