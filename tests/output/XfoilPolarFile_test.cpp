// Reading polars in xfoil's column layout: the files xfoil itself saved, the
// polars this program writes, and damaged files, which are refused whole.
#include "output/XfoilPolarFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/Generators.h"
#include "output/CoupledFiles.h"
#include "output/PolarFiles.h"
#include "solvers/Sweep.h"
#include "support/Session.h"

namespace tavrix {
namespace {

namespace fs = std::filesystem;

const fs::path kReference = fs::path(TAVRIX_SOURCE_DIR) / "tests/data/xfoil_viscous";

// The rows of a polar file as plain text fields, counted independently of
// the reader: every non-blank line after the line of dashes.
std::vector<std::vector<double>> rowsOf(const std::string& text)
{
    std::vector<std::vector<double>> rows;
    std::istringstream in(text);
    bool body = false;
    for (std::string line; std::getline(in, line);) {
        if (!body) {
            body = line.find("------") != std::string::npos;
            continue;
        }
        std::istringstream fields(line);
        std::vector<double> row;
        for (double v; fields >> v;) row.push_back(v);
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

TEST(XfoilPolarFile, readsEveryReferencePolarOfXfoilWithItsNameReynoldsNumberAndRows)
{
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kReference)) {
        if (entry.path().extension() != ".pol") continue;
        ++files;
        const std::string stem = entry.path().stem().string();  // naca4415_re3e6
        const std::string digits = stem.substr(4, 4);
        const std::string re = stem.substr(stem.find("_re") + 3);
        const Outcome<KeptRun> run = readXfoilPolarFile(entry.path());
        ASSERT_TRUE(run.ok()) << run.refusal().message;
        EXPECT_EQ(run->name, "xfoil: NACA " + digits + ", Re " + re + ", Ncrit 9") << stem;
        EXPECT_EQ(run->runCase.airfoil, "NACA " + digits);
        EXPECT_EQ(run->runCase.Re, std::stod(re));
        EXPECT_EQ(run->runCase.Ncrit, 9.0);
        EXPECT_EQ(run->runCase.mach, 0.0);
        EXPECT_EQ(run->runCase.method, "xfoil");
        EXPECT_NE(run->runCase.origin.find(stem + ".pol"), std::string::npos);
        // Column by column as the file has them: alpha CL CD CDp CM Top_Xtr Bot_Xtr.
        const std::vector<std::vector<double>> rows = rowsOf(testing::readFile(entry.path()));
        ASSERT_EQ(run->rows(), rows.size()) << stem;
        ASSERT_TRUE(run->hasDrag());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::vector<double> read{run->alpha[i], run->CL[i],     run->CD[i],    run->CDp[i],
                                           run->CM[i],    run->topXtr[i], run->botXtr[i]};
            EXPECT_EQ(std::vector<double>(rows[i].begin(), rows[i].begin() + 7), read) << stem << " row " << i;
        }
    }
    // three sections at three Reynolds numbers, NACA 0006 at 3e6, and the
    // three sections' polygons with their edge panels split at 1e6 and 3e6
    EXPECT_EQ(files, 16);

    // The first and the last row of NACA 4415 at Re 3e6, read off the file.
    const Outcome<KeptRun> naca = readXfoilPolarFile(kReference / "naca4415_re3e6.pol");
    ASSERT_TRUE(naca.ok());
    EXPECT_EQ((std::vector<double>{naca->alpha.front(), naca->CL.front(), naca->CD.front(),
                                   naca->CM.front(), naca->alpha.back(), naca->CL.back()}),
              (std::vector<double>{0.0, 0.4369, 0.00642, -0.0932, 20.0, 1.6810}));
    EXPECT_EQ(naca->botXtr.back(), 1.0);
}

// xfoil's header carries the Mach number and Ncrit of the run; an inviscid
// polar (Re = 0) keeps no drag, whatever its CD column holds.
TEST(XfoilPolarFile, readsTheMachNumberAndNcritAndTakesAnInviscidPolarWithoutDrag)
{
    const fs::path samples = fs::path(TAVRIX_SOURCE_DIR) / "tests/data/xfoil_polars";
    const Outcome<KeptRun> viscous = readXfoilPolarFile(samples / "naca2412_re1e6_m02_ncrit5.pol");
    ASSERT_TRUE(viscous.ok()) << viscous.refusal().message;
    EXPECT_EQ(viscous->name, "xfoil: NACA 2412, Re 1e6, Ncrit 5, M 0.2");
    EXPECT_EQ(viscous->runCase.mach, 0.2);
    EXPECT_EQ(viscous->runCase.Ncrit, 5.0);
    ASSERT_EQ(viscous->rows(), 7u);
    EXPECT_EQ(viscous->alpha.back(), 6.0);
    EXPECT_EQ(viscous->CL.back(), 0.9095);
    EXPECT_EQ(viscous->topXtr.back(), 0.1081);

    const Outcome<KeptRun> inviscid = readXfoilPolarFile(samples / "naca2412_inviscid_m03.pol");
    ASSERT_TRUE(inviscid.ok()) << inviscid.refusal().message;
    EXPECT_EQ(inviscid->name, "xfoil: NACA 2412, inviscid, M 0.3");
    EXPECT_EQ(inviscid->runCase.model, "inviscid");
    EXPECT_EQ(inviscid->runCase.Ncrit, 0.0);  // no layer: its Ncrit means nothing
    EXPECT_FALSE(inviscid->hasDrag());
    ASSERT_EQ(inviscid->rows(), 4u);
    EXPECT_EQ(inviscid->CL[1], 0.5278);
    EXPECT_EQ(inviscid->CDp[3], -0.00596);
}

// This program's own polar file (the same layout) reads back: an inviscid
// polar keeps no drag column, and the coefficients agree to the file's
// four decimals.
TEST(XfoilPolarFile, readsThePolarThisProgramWritesAsAnInviscidPolar)
{
    const Contour naca = naca0012Contour(81);
    FlowSetup setup;
    setup.method = PanelMethod::VortexPanel;
    const std::vector<double> alphas = {-2, 0, 3, 6};
    MethodSweep sweep;
    sweep.method = setup.method;
    sweep.outcome = Sweep(naca.x, naca.y, setup, alphas);
    ASSERT_EQ(sweep.outcome.points.size(), alphas.size());
    const std::string text = PolarFileText({"NACA 0012", 0, {}, {}}, sweep);

    const Outcome<KeptRun> run = readXfoilPolar(text, "/tmp/naca0012.pol");
    ASSERT_TRUE(run.ok()) << run.refusal().message;
    EXPECT_EQ(run->name, "Tavrix-S: NACA 0012, inviscid");
    EXPECT_FALSE(run->hasDrag());
    EXPECT_EQ(run->runCase.Re, 0.0);
    EXPECT_EQ(run->runCase.model, "inviscid");
    ASSERT_EQ(run->rows(), alphas.size());
    for (std::size_t i = 0; i < alphas.size(); ++i) {
        EXPECT_EQ(run->alpha[i], alphas[i]);
        EXPECT_NEAR(run->CL[i], sweep.outcome.points[i].CL, 0.5e-4);
        EXPECT_NEAR(run->CM[i], sweep.outcome.points[i].CM, 0.5e-4);
        EXPECT_NEAR(run->CDp[i], sweep.outcome.points[i].CD, 0.5e-5);
    }
}

// xfoil's own reader (PGET) takes the first header line holding a column's
// name ("alpha", "CL", "CD", ...) for the line of column names and reads every
// row into the wrong columns (Inf and Infinity) when a note above it names
// one. Every header line above the column names of the inviscid, the
// one-way layer's and the coupled polar names none.
TEST(XfoilPolarFile, noHeaderLineAboveTheColumnNamesNamesAColumn)
{
    MethodSweep sweep;
    sweep.method = PanelMethod::SoinneLaine;
    SweepConditions inviscid{"NACA 0012", 0.3, {}, {}};
    SweepConditions layer = inviscid;
    layer.layer.Re = 1e6;
    coupled::CoupledOptions options;
    const std::string texts[] = {PolarFileText(inviscid, sweep), PolarFileText(layer, sweep),
                                 coupledPolarText(layer, sweep.method, options, {})};
    const std::vector<std::string> names = {"alpha", "CL", "CD", "CM", "Xtr", "Itr"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        std::istringstream in(text);
        int above = 0;
        for (std::string line; std::getline(in, line) && line.find("   alpha") != 0;) {
            ++above;
            for (const std::string& name : names) EXPECT_EQ(line.find(name), std::string::npos) << line;
        }
        EXPECT_EQ(above, 10);  // xfoil's header is ten lines deep
    }
}

// A file damaged in any of the ways a file gets damaged is refused whole,
// with the file's name and where it went wrong.
TEST(XfoilPolarFile, refusesDamagedFilesWholeAndSaysWhere)
{
    const std::string good = testing::readFile(kReference / "naca0012_re1e6.pol");
    ASSERT_TRUE(readXfoilPolar(good, "good.pol").ok());
    const std::size_t dashesAt = good.find("  ------");
    const std::size_t columnsAt = good.find("   alpha");
    const std::size_t firstRow = good.find('\n', dashesAt) + 1;
    const std::size_t secondRow = good.find('\n', firstRow) + 1;
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string damaged = good;
        const std::size_t at = damaged.find(from, firstRow);
        damaged.replace(at, from.size(), to);
        return damaged;
    };
    const std::string firstCL = good.substr(firstRow + 8, 9);  // "   0.0000" of the first row
    const struct {
        const char* what;
        std::string text;
        const char* says;
    } cases[] = {
        {"cut in the middle of a row", good.substr(0, secondRow + 20), "line 14"},
        {"cut before the dashes", good.substr(0, dashesAt), "no line of dashes"},
        {"cut in the header", good.substr(0, good.find(" Mach =") + 20), "Mach ="},
        {"cut before the column line", good.substr(0, columnsAt), "no column line"},
        {"no column line", good.substr(0, columnsAt) + good.substr(dashesAt), "no column line"},
        {"a column missing", std::string(good).replace(good.find("CDp"), 3, "CDx"),
         "no column CDp"},
        {"NaN in a row", replaced(firstCL, "      NaN"), "\"NaN\" is not a finite number"},
        {"an overflowed field", replaced(firstCL, " ********"), "\"********\" is not a finite number"},
        {"text in a number", replaced(firstCL, "  0.00x00"), "\"0.00x00\" is not a finite number"},
        {"no rows", good.substr(0, firstRow), "no rows"},
        {"no name line", std::string(good).replace(good.find("Calculated"), 10, "Calculatex"),
         "Calculated polar for"},
        {"no Reynolds number", std::string(good).replace(good.find("Re ="), 4, "R  ="), "Mach ="},
        {"empty file", "", "Calculated polar for"},
    };
    for (const auto& c : cases) {
        const Outcome<KeptRun> run = readXfoilPolar(c.text, "/data/naca.pol");
        ASSERT_FALSE(run.ok()) << c.what;
        EXPECT_EQ(run.refusal().kind, Refusal::Kind::UnreadableFile) << c.what;
        EXPECT_EQ(run.refusal().message.rfind("Cannot read polar file \"/data/naca.pol\": ", 0), 0u)
            << c.what;
        EXPECT_NE(run.refusal().message.find(c.says), std::string::npos)
            << c.what << ": " << run.refusal().message;
    }

    testing::TempDir dir;
    EXPECT_FALSE(readXfoilPolarFile(dir.path() / "missing.pol").ok());
    EXPECT_FALSE(readXfoilPolarFile(dir.path()).ok());  // a folder
}

}  // namespace
}  // namespace tavrix
