// Writes sample coordinate files (".arf") from the program's own generators
// into the folder given on the command line:
//   naca0012_61.arf   NACA 0012, 61 points
//   circle_41.arf     circle of diameter 1, 41 points
//   joukowsky_51.arf  the Karman-Trefftz window's section from its default
//                     inputs (10 % thick, no camber, cusped edge), 51 points
// Every number is written in its shortest form that reads back to the same
// double, so a file read back gives the generator's points bit for bit.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/NumberText.h"
#include "geometry/Generators.h"
#include "geometry/KarmanTrefftz.h"

namespace {

bool writeSample(const std::filesystem::path& file, const std::string& name,
                 const tavrix::Contour& c)
{
    std::ofstream out(file, std::ios::binary);
    out << name << '\n' << c.size() << '\n';
    for (int i = 1; i <= c.size(); ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        out << i << ", " << tavrix::shortestText(c.x[k]) << ", " << tavrix::shortestText(c.y[k])
            << '\n';
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", file.string().c_str());
        return false;
    }
    std::printf("%s\n", file.string().c_str());
    return true;
}

bool generateJoukowsky(const std::filesystem::path& folder)
{
    // The window's initial inputs: 10 % thick, no camber, cusped edge.
    tavrix::KarmanTrefftzInputs inputs;
    inputs.pointCount = 51;
    const tavrix::KarmanTrefftzDesign design = tavrix::designKarmanTrefftz(inputs);
    if (design.refusal) {
        std::fprintf(stderr, "no Joukowsky section: %s\n", design.refusal->c_str());
        return false;
    }
    return writeSample(folder / "joukowsky_51.arf", "Joukowsky section (51 points)",
                       design.contour);
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
    bool ok = writeSample(folder / "naca0012_61.arf", "NACA 0012 (61 points)",
                          tavrix::naca0012Contour(61));
    ok = writeSample(folder / "circle_41.arf", "Circle (41 points)", tavrix::circleContour(41)) &&
         ok;
    ok = generateJoukowsky(folder) && ok;
    return ok ? 0 : 1;
}
