#include "tools/batch/FieldRun.h"

#include <cmath>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "app/NumberText.h"
#include "output/FileReplace.h"
#include "output/FlowFieldView.h"
#include "tools/batch/OptionNumbers.h"
#include "tools/batch/PictureModule.h"

namespace tavrix {

const char* const kFieldUsage =
    R"(  --field FILE.csv      after the press, the flow round the section on a grid: x, y, u, v,
                        Cp per node (u, v over the free-stream speed, x, y in chords in the
                        frame of the section turned by --eta); nodes inside the section keep
                        x and y and leave u, v and Cp empty. The field is the incompressible
                        potential flow: --mach corrects the surface pressure only
  --field-box X0:X1:Y0:Y1:NX:NY
                        the grid: NX by NY nodes (2 to 1000 each) from X0 to X1 and Y0 to Y1
                        (default: half a chord in front and behind, 0.4 chords above and
                        below, 101 nodes across)
  --field-png FILE.png  the field's picture: the speed as a colour map with its scale,
                        streamlines seeded upstream, the dividing streamlines, the panels
  --field, --field-box and --field-png go with a press, not with --sweep.
)";

namespace {

constexpr int kPictureWidth = 1100;

std::vector<std::string> split(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(sep, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

double box(Form_TavrixS& form, const char* name)
{
    return readLeadingNumber(form.toolkit().text(name)).value;
}

bool hasPngExtension(const std::string& file)
{
    std::string ext = std::filesystem::path(file).extension().string();
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return ext == ".png";
}

}  // namespace

std::optional<FieldBox> parseFieldBox(const std::string& text)
{
    const std::vector<std::string> parts = split(text, ':');
    if (parts.size() != 6) return std::nullopt;
    double v[6];
    for (std::size_t k = 0; k < 6; ++k) {
        const std::optional<double> n = wholeNumber(parts[k]);
        if (!n) return std::nullopt;
        v[k] = *n;
    }
    FieldBox b;
    b.x0 = v[0];
    b.x1 = v[1];
    b.y0 = v[2];
    b.y1 = v[3];
    if (!(b.x0 < b.x1) || !(b.y0 < b.y1)) return std::nullopt;
    for (int k : {4, 5}) {
        if (v[k] != std::floor(v[k]) || v[k] < 2 || v[k] > 1000) return std::nullopt;
    }
    b.nx = static_cast<int>(v[4]);
    b.ny = static_cast<int>(v[5]);
    return b;
}

std::optional<std::string> fieldOptionError(const std::map<std::string, std::string>& values)
{
    const bool field = values.count("--field") != 0;
    const bool png = values.count("--field-png") != 0;
    if (auto b = values.find("--field-box"); b != values.end()) {
        if (!field && !png) return "--field-box needs --field or --field-png";
        if (!parseFieldBox(b->second))
            return "--field-box needs X0:X1:Y0:Y1:NX:NY with X0 < X1, Y0 < Y1 and NX, NY whole "
                   "numbers from 2 to 1000";
    }
    if (png && !hasPngExtension(values.at("--field-png")))
        return "--field-png needs a file name ending in .png";
    if ((field || png) && values.count("--sweep") != 0)
        return "--sweep takes no --field, --field-box or --field-png: the field is that of one "
               "press";
    return std::nullopt;
}

int runField(Form_TavrixS& form, const std::map<std::string, std::string>& values,
             PanelMethod method, bool noCirculation, std::ostream& out, std::ostream& err)
{
    FlowSetup setup;
    setup.method = method;
    setup.etaDeg = box(form, "Text_ItaD");
    setup.mach = box(form, "Text_Moo");
    setup.noCirculation = method == PanelMethod::Hess && noCirculation;
    std::optional<KarmanTrefftzSection> section;
    if (form.katjoCreated()) section = form.katjo().lastSection();
    const PressCase press = makePressCase(form.common(), setup, section);

    const auto panels =
        buildPanelGeometry(contourX(press.common), contourY(press.common), setup.etaDeg);
    if (!panels) {
        err << "tavrixs-batch: no field: " << panels.refusal().message << '\n';
        return 1;
    }
    SolveOptions options;
    options.noCirculation = setup.noCirculation;
    const auto solution = solvePanels(*panels, method, options);
    if (!solution) {
        err << "tavrixs-batch: no field: " << solution.refusal().message << '\n';
        return 1;
    }
    // The point of the press, incompressible: the field has no Mach number.
    const auto point = solution->at(press.alphaDeg);
    if (!point) {
        err << "tavrixs-batch: no field: " << point.refusal().message << '\n';
        return 1;
    }
    const FlowField field(*solution, press.alphaDeg);
    FieldBox grid = defaultFieldBox(*panels);
    if (auto b = values.find("--field-box"); b != values.end()) grid = *parseFieldBox(b->second);
    const std::string note = fieldNote(setup.mach);

    int status = 0;
    if (auto f = values.find("--field"); f != values.end()) {
        const FieldGrid nodes = evaluateGrid(field, grid);
        std::size_t inside = 0;
        for (unsigned char in : nodes.inside) inside += in;
        out << "field: " << nodes.u.size() << " nodes, " << inside
            << " inside the section (left empty)\n";
        if (const auto failure = replaceFileContents(f->second, fieldCsv(nodes))) {
            err << "tavrixs-batch: cannot write " << f->second << ": " << *failure << '\n';
            status = 3;
        }
    }
    out << "note: " << note << '\n';
    if (auto f = values.find("--field-png"); f != values.end()) {
        std::string error;
        const PictureModule* module = loadPictureModule(error);
        std::string png;
        if (module == nullptr) {
            err << "tavrixs-batch: cannot draw " << f->second << ": " << error << '\n';
            return 1;
        }
        // The picture of the same rectangle, at the picture's own resolution.
        FieldViewRequest request;
        request.x0 = grid.x0;
        request.x1 = grid.x1;
        request.y0 = grid.y0;
        request.y1 = grid.y1;
        request.columns = 260;
        FieldView view = makeFieldView(field, *point, request);
        view.title = "Flow field: " + caseTitle(press);
        view.note = note;
        // As high as the rectangle needs at the picture's width.
        const double aspect = (grid.y1 - grid.y0) / (grid.x1 - grid.x0);
        const int height = std::clamp(
            static_cast<int>(std::lround((kPictureWidth - 144) * aspect)) + 126, 300, 2000);
        if (module->fieldPng == nullptr ||
            !module->fieldPng(view, kPictureWidth, height, png)) {
            err << "tavrixs-batch: cannot write " << f->second << '\n';
            return 1;
        }
        if (const auto failure = replaceFileContents(f->second, png)) {
            err << "tavrixs-batch: cannot write " << f->second << ": " << *failure << '\n';
            status = 3;
        }
    }
    return status;
}

}  // namespace tavrix
