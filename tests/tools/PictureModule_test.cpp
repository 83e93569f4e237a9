#include "tools/batch/PictureModule.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/Session.h"

namespace tavrix {
namespace {

// tavrixs-batch and its picture module are built beside this test program.
std::filesystem::path besideTests(const char* name)
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

struct TracedRun {
    int status = -1;
    std::string output;  // standard output and error, and the loader's trace
};

// Runs a program in `dir` with `env`; by default the dynamic loader reports
// every library it loads, at start-up and later through dlopen alike.
TracedRun runTraced(const std::filesystem::path& program, const std::string& args,
                    const std::filesystem::path& dir, const std::string& env = "LD_DEBUG=files")
{
    const std::string command =
        "cd '" + dir.string() + "' && " + env + " '" + program.string() + "' " + args + " 2>&1";
    TracedRun r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
    const int wait = ::pclose(pipe);
    r.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    return r;
}

bool loadedQt(const TracedRun& r) { return r.output.find("libQt6Gui") != std::string::npos; }

bool isPng(const std::filesystem::path& file)
{
    return testing::readFile(file).rfind("\x89PNG\r\n\x1a\n", 0) == 0;
}

TEST(PictureModule, aPressWithoutPicturesLoadsNoWindowLibrary)
{
    testing::TempDir dir;
    const TracedRun r = runTraced(besideTests("tavrixs-batch"), "--points 61 --alpha 5", dir.path());
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("CL = 0."), std::string::npos);
    EXPECT_FALSE(loadedQt(r)) << r.output;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "p.png"));
}

TEST(PictureModule, plotsAndMatrixLoadTheModuleAndWritePictures)
{
    testing::TempDir dir;
    const TracedRun r = runTraced(besideTests("tavrixs-batch"),
                                  "--points 61 --alpha 5 --plot p.png --matrix m.png", dir.path());
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(loadedQt(r));
    EXPECT_NE(r.output.find(kPictureModuleFile), std::string::npos);
    EXPECT_TRUE(isPng(dir.path() / "p.png"));
    EXPECT_TRUE(isPng(dir.path() / "m.png"));
    const QImage plots(QString::fromStdString((dir.path() / "p.png").string()));
    EXPECT_GT(plots.height(), plots.width() / 2);  // the two boxes, one above the other
    // Some red of the contour and the curve is on it.
    bool red = false;
    for (int y = 0; y < plots.height() && !red; ++y)
        for (int x = 0; x < plots.width() && !red; ++x) {
            const QColor c = plots.pixelColor(x, y);
            red = c.red() > 200 && c.green() < 100 && c.blue() < 100;
        }
    EXPECT_TRUE(red);
    const QImage cells(QString::fromStdString((dir.path() / "m.png").string()));
    EXPECT_FALSE(cells.isNull());
    EXPECT_EQ(cells.width(), cells.height());
}

TEST(PictureModule, theLabelledPressurePlotNamesItsCaseInPngAndSvg)
{
    testing::TempDir dir;
    auto run = [&](const std::string& args) {
        return runTraced(besideTests("tavrixs-batch"), args, dir.path(), "ASAN_OPTIONS=detect_leaks=0");
    };
    // Without a display: the picture is made offscreen, and Qt's notes stay out of the output.
    TracedRun r = run("--points 61 --alpha 5 --method vortex --cp-plot cp.png --cp-plot=cp.PNG");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "CL = 0.6014\nCMc/4 = -0.0071\n");
    const QImage png(QString::fromStdString((dir.path() / "cp.PNG").string()));
    ASSERT_FALSE(png.isNull());
    EXPECT_GT(png.width(), png.height());
    // The vortex panel method's colour is drawn, and text (the title) in black.
    bool methodColour = false, black = false;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x) {
            const QColor c = png.pixelColor(x, y);
            methodColour = methodColour || (c.red() == 214 && c.green() == 64 && c.blue() == 24);
            black = black || (y < 40 && c.red() < 40 && c.green() < 40 && c.blue() < 40);
        }
    EXPECT_TRUE(methodColour);
    EXPECT_TRUE(black);

    r = run("--points 61 --alpha 5 --mach 0.3 --cp-plot cp.svg");
    ASSERT_EQ(r.status, 0) << r.output;
    std::string svg = testing::readFile(dir.path() / "cp.svg");
    EXPECT_NE(svg.find("<title>Pressure distribution: NACA 0012, 61 points, Hess method, "
                       "\u03b1 = 5\u00b0, M\u221e = 0.3</title>"),
              std::string::npos)
        << svg.substr(0, 600);
    for (const char* text : {"x/c", "\u2212Cp", "Hess, incompressible, upper",
                             "Hess, Prandtl-Glauert M\u221e = 0.30, lower", "Cp* at"})
        EXPECT_NE(svg.find(text), std::string::npos) << text;

    // A sweep with all four methods: their curves at the last angle.
    r = run("--points 61 --sweep 0:4:2 --compare --cp-plot sweep.svg");
    ASSERT_EQ(r.status, 0) << r.output;
    svg = testing::readFile(dir.path() / "sweep.svg");
    EXPECT_NE(svg.find("<title>Pressure distribution: NACA 0012, 61 points, \u03b1 = 4\u00b0</title>"),
              std::string::npos);
    for (const char* method : {">Hess<", ">Vortex panel<", ">Kennedy-Marsden<", ">Soinne-Laine<"})
        EXPECT_NE(svg.find(method), std::string::npos) << method;

    r = run("--cp-plot cp.jpg");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("--cp-plot needs a file name ending in .png or .svg"), std::string::npos);
}

TEST(PictureModule, aMissingModuleFailsThePictureOnlyAndSaysWhy)
{
    // The program alone in a folder: the press and its files as always, then
    // the picture refused with the reason, and exit status 1.
    testing::TempDir dir;
    const std::filesystem::path lonely = dir.path() / "tavrixs-batch";
    std::filesystem::copy_file(besideTests("tavrixs-batch"), lonely);
    const TracedRun r = runTraced(lonely, "--points 61 --alpha 5 --plot p.png", dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("CL = 0."), std::string::npos);
    EXPECT_NE(r.output.find("tavrixs-batch: cannot load " + (dir.path() / kPictureModuleFile).string()),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("tavrixs-batch: cannot write p.png"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / kColumnFile));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "p.png"));
}

TEST(PictureModule, anInstalledProgramFindsItInItsLibraryFolder)
{
    // The layout of an installation: the program in bin/, the module in the
    // program's folder of the library directory, named from bin/.
    testing::TempDir dir;
    const std::filesystem::path bin = dir.path() / "bin";
    const std::filesystem::path lib = bin / TAVRIX_PICTURE_MODULE_INSTALLED;
    std::filesystem::create_directories(lib);
    std::filesystem::copy_file(besideTests("tavrixs-batch"), bin / "tavrixs-batch");
    std::filesystem::copy_file(besideTests(kPictureModuleFile), lib / kPictureModuleFile);
    const TracedRun r = runTraced(bin / "tavrixs-batch", "--points 61 --alpha 5 --plot p.png",
                                  dir.path());
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find((lib / kPictureModuleFile).lexically_normal().string()),
              std::string::npos)
        << r.output;
    EXPECT_TRUE(isPng(dir.path() / "p.png"));
}

TEST(PictureModule, isFoundBesideTheRunningProgram)
{
    std::string error;
    const PictureModule* module = loadPictureModule(error);
    ASSERT_NE(module, nullptr) << error;
    EXPECT_TRUE(std::filesystem::exists(besideTests(kPictureModuleFile)));
    EXPECT_EQ(loadPictureModule(error), module);  // loaded once
}

}  // namespace
}  // namespace tavrix
