// Writes sample coordinate files (".arf") from the program's own generators
// into the folder given on the command line:
//   naca0012_61.arf   NACA 0012, 61 points
//   circle_41.arf     circle of diameter 1, 41 points
//   joukowsky_51.arf  the Karman-Trefftz window's section from its default
//                     inputs (10 % thick, no camber, cusped edge), 51 points
// Every number is written in its shortest form that reads back to the same
// double, so a file read back gives the generator's points bit for bit.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/Module_Common.h"
#include "geometry/Form_KATJO.h"
#include "geometry/Generators.h"
#include "ui/HeadlessToolkit.h"

namespace {

using tavrix::Common;

Common startUpState()
{
    Common common;
    SetConstants(common);
    return common;
}

std::string shortest(double v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

bool writeSample(const std::filesystem::path& file, const std::string& name, const Common& c)
{
    std::ofstream out(file, std::ios::binary);
    out << name << '\n' << c.NP << '\n';
    for (int i = 1; i <= c.NP; ++i)
        out << i << ", " << shortest(c.XCoord[i]) << ", " << shortest(c.YCoord[i]) << '\n';
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", file.string().c_str());
        return false;
    }
    std::printf("%s\n", file.string().c_str());
    return true;
}

bool generate(const std::filesystem::path& folder, const char* fileName, const std::string& name,
              int points, void (*make)(Common&, ui::Toolkit&))
{
    Common common = startUpState();
    ui::HeadlessToolkit ui;
    common.NP = points;
    common.NPanel = points - 1;
    make(common, ui);
    return writeSample(folder / fileName, name, common);
}

bool generateJoukowsky(const std::filesystem::path& folder)
{
    Common common = startUpState();
    ui::HeadlessToolkit ui;
    tavrix::Form_KATJO katjo(common, ui);
    katjo.setPointCount(51);
    if (!katjo.Command1_Click()) {
        std::fprintf(stderr, "no Joukowsky section: %s\n",
                     ui.messages().empty() ? "" : ui.messages().back().c_str());
        return false;
    }
    return writeSample(folder / "joukowsky_51.arf", "Joukowsky section (51 points)", common);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argc > 0 ? argv[0] : "make_sample_airfoils");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr, "%s is not a folder\n", argv[1]);
        return 2;
    }
    bool ok = generate(folder, "naca0012_61.arf", "NACA 0012 (61 points)", 61,
                       tavrix::Make_NACA0012);
    ok = generate(folder, "circle_41.arf", "Circle (41 points)", 41, tavrix::Make_Circle) && ok;
    ok = generateJoukowsky(folder) && ok;
    return ok ? 0 : 1;
}
