#include "tools/batch/BatchRun.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/Batch.h"

namespace tavrix {
namespace {

using testing::batch;
using testing::BatchResult;

TEST(Batch, DefaultRunIsTheNacaSectionWithTheHessMethod)
{
    testing::TempDir dir;
    const BatchResult r = batch({}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "CL = 0\nCMc/4 = 0\n");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / kColumnFile));
}

TEST(Batch, SameInputsGiveTheSameFilesByteForByte)
{
    testing::TempDir a, b;
    const std::vector<std::string> args = {"--naca0012", "--points", "61", "--alpha", "5",
                                           "--method=soinne", "--save-matrix", "--save-panel",
                                           "--save-singularities"};
    const BatchResult ra = batch(args, a), rb = batch(args, b);
    ASSERT_EQ(ra.status, 0);
    EXPECT_EQ(ra.out, rb.out);
    EXPECT_EQ(testing::readFile(a.path() / kReportFile),
              testing::readFile(b.path() / kReportFile));
    EXPECT_EQ(testing::readFile(a.path() / kColumnFile),
              testing::readFile(b.path() / kColumnFile));
    EXPECT_NE(ra.out.find("CL = 0.60"), std::string::npos);
}

TEST(Batch, RefusalsEndTheRunWithStatusOne)
{
    testing::TempDir dir;
    const std::string folder = dir.path().string();
    const std::string unreadable = "message: Cannot read airfoil file \"";
    const struct {
        std::vector<std::string> args;
        std::string out;
        std::string err;
    } cases[] = {
        // A refused source ends the run before any press.
        {{"--circle", "--points", "1"}, "",
         "message: Number of panel end points must be a whole number from 2 to 1000\n"},
        {{"--mach", "1.2"}, "CL = \nCMc/4 = \n",
         "message: The free-stream Mach number must be less than 1\n"},
        {{"--points", "1000", "--method", "soinne"}, "CL = \nCMc/4 = \n",
         "message: This panel method allows at most 999 panel end points\n"},
        // A coordinate file that cannot be read: its path as given, and why.
        {{"--file", ""}, "", unreadable + "\": the file does not exist\n"},
        {{"--file", folder}, "", unreadable + folder + "\": it is a folder, not a file\n"},
        {{"--file", folder + "/"}, "",
         unreadable + folder + "/\": the path ends in \"/\", so it names a folder, not a file\n"},
        {{"--file", "bad.arf"}, "", unreadable + "bad.arf\": the file does not exist\n"},
    };
    for (const auto& c : cases) {
        const BatchResult r = batch(c.args, dir);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.out, c.out) << c.err;
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(Batch, CommandLineErrorsGiveStatusTwoAndTheUsage)
{
    testing::TempDir dir;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--circle", "--naca0012"},
                                               {"--circle", "--file", "x.arf"},
                                               {"--method", "panel"},
                                               {"--bogus"},
                                               {"--alpha"},
                                               {"--circle=1"},
                                               {"--dir", "/no/such/folder"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(runBatch(args, out, err), 2) << args[0];
        EXPECT_NE(err.str().find("usage: tavrixs-batch"), std::string::npos);
    }
    // The same source twice is no conflict.
    EXPECT_EQ(batch({"--circle", "--circle"}, dir).status, 0);
    std::ostringstream out, err;
    EXPECT_EQ(runBatch({"--help"}, out, err), 0);
    for (const char* option : {"--karman-trefftz", "--exact", "--sweep", "--re NUMBER"})
        EXPECT_NE(out.str().find(option), std::string::npos) << option;
}

#if !TAVRIX_BATCH_PICTURES
// A build without Qt has no picture module: the press still runs and writes
// its files, then each picture is refused with the reason and status 1.
TEST(Batch, WithoutPicturesInTheBuildPlotAndMatrixSaySoAndFail)
{
    for (const char* option : {"--plot", "--matrix"}) {
        testing::TempDir dir;
        const std::string picture = (dir.path() / "p.png").string();
        const BatchResult r = batch({"--points", "61", "--alpha", "5", option, picture}, dir);
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_NE(r.out.find("CL = 0."), std::string::npos);
        EXPECT_NE(r.err.find("tavrixs-batch: pictures are not available in this build"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("tavrixs-batch: cannot write " + picture), std::string::npos);
        EXPECT_TRUE(std::filesystem::exists(dir.path() / kColumnFile));
        EXPECT_FALSE(std::filesystem::exists(picture));
    }
}
#endif

}  // namespace
}  // namespace tavrix
