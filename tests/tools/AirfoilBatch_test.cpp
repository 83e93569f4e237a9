#include "tools/batch/BatchRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "geometry/CoordinateFormats.h"
#include "geometry/NacaSections.h"
#include "support/Batch.h"

namespace tavrix {
namespace {

using testing::batch;
using testing::BatchResult;

double cl(const BatchResult& r)
{
    const auto at = r.out.find("CL = ");
    return at == std::string::npos ? NAN : std::stod(r.out.substr(at + 5));
}

TEST(AirfoilBatch, seriesSectionsLiftLikeTheBuiltInOneAndThinAerofoilTheory)
{
    testing::TempDir a, b;
    const BatchResult series =
        batch({"--naca", "0012", "--points", "161", "--alpha", "5", "--method", "vortex"}, a);
    const BatchResult builtIn =
        batch({"--naca0012", "--points", "161", "--alpha", "5", "--method", "vortex"}, b);
    ASSERT_EQ(series.status, 0) << series.err;
    // The two thickness distributions differ by a few ten-thousandths.
    EXPECT_NEAR(cl(series), cl(builtIn), 0.003);
    EXPECT_EQ(series.err, "");
    // A cambered section lifts at zero incidence; thin-aerofoil theory:
    // CL0 = 2 pi times the zero-lift angle, 2.1 deg for 2412.
    const BatchResult cambered = batch({"--naca", "2412", "--points", "161", "--method", "vortex"}, a);
    ASSERT_EQ(cambered.status, 0);
    EXPECT_GT(cl(cambered), 0.2);
    EXPECT_LT(cl(cambered), 0.3);
}

TEST(AirfoilBatch, openTrailingEdgeIsClosedAndSaid)
{
    testing::TempDir dir;
    const BatchResult r = batch({"--naca", "4415", "--open-te", "--points", "81"}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("message: The trailing edge of NACA 4415 was open, 0.00315 chord wide"),
              std::string::npos)
        << r.err;
}

TEST(AirfoilBatch, saveContourWritesSeligThatReadsBackAsTheSameResults)
{
    testing::TempDir dir, again;
    const std::string file = (dir.path() / "s.dat").string();
    const BatchResult first = batch({"--naca", "23012", "--points", "101", "--alpha", "3",
                                     "--save-contour", file},
                                    dir);
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string text = testing::readFile(file);
    EXPECT_EQ(detectCoordinateFormat(text), CoordinateFormat::Selig);
    const BatchResult second = batch({"--file", file, "--alpha", "3"}, again);
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(testing::readFile(dir.path() / kReportFile),
              testing::readFile(again.path() / kReportFile));
}

TEST(AirfoilBatch, repanelMakesALargeFileUsable)
{
    testing::TempDir dir;
    const Contour dense = makeNacaSection(
        std::get<NacaDesignation>(parseNacaDesignation("4415")), 1500, false, M_PI);
    const std::string file = (dir.path() / "dense.dat").string();
    std::ofstream(file) << writeSelig(dense);
    BatchResult r = batch({"--file", file}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("1500 points"), std::string::npos);
    r = batch({"--file", file, "--repanel", "161", "--method", "vortex"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    const BatchResult direct = batch({"--naca", "4415", "--points", "161", "--method", "vortex"}, dir);
    EXPECT_NEAR(cl(r), cl(direct), 0.005 * cl(direct)) << r.out;
    r = batch({"--naca", "4415", "--points", "301", "--repanel", "151", "--method", "soinne"},
              dir);
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST(AirfoilBatch, refusalsAndUsageErrors)
{
    testing::TempDir dir;
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"--naca", "2512x"}, 1, "known"},
        {{"--naca", "2412", "--repanel", "2"}, 1, "from 3 to 1000"},
        // Two panels out and back have no inside: no absurd lift from them.
        {{"--circle", "--points", "3", "--repanel", "4", "--alpha", "2"}, 1, "encloses no area"},
        {{"--naca", "2412", "--repanel", "3"}, 1, "3 points enclose no area"},
        {{"--naca", "2412", "--circle"}, 2, "usage: tavrixs-batch"},
        {{"--circle", "--open-te"}, 2, "usage: tavrixs-batch"},
        {{"--naca", "2412", "--save-contour", (dir.path() / "no" / "x.dat").string()}, 3,
         "message: Cannot write"},
    };
    for (const auto& c : cases) {
        const BatchResult r = batch(c.args, dir);
        EXPECT_EQ(r.status, c.status) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out.empty(), c.status != 3) << c.says;  // refused before any press
    }
}

}  // namespace
}  // namespace tavrix
