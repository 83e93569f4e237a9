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

TEST(Batch, BoxTextsBeyondTheirNumberRunAsTheWindowReadsThemWithAWarning)
{
    testing::TempDir dir;
    const BatchResult plain = batch({"--points", "61", "--alpha", "5"}, dir);
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    const BatchResult trailing = batch({"--points", "61x", "--alpha", "5,5"}, dir);
    EXPECT_EQ(trailing.status, 0);
    EXPECT_EQ(trailing.out, plain.out);  // the window reads 61 and 5 from these too
    EXPECT_EQ(trailing.err, "warning: --points \"61x\" reads as 61\n"
                            "warning: --alpha \"5,5\" reads as 5\n");
    const BatchResult none = batch({"--alpha", "abc", "--mach", "0.2m", "--eta", "0e"}, dir);
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "CL = 0\nCMc/4 = 0\n");
    EXPECT_EQ(none.err, "warning: --alpha \"abc\" reads as 0\n"
                        "warning: --eta \"0e\" reads as 0\n"
                        "warning: --mach \"0.2m\" reads as 0.2\n");
    // Texts the rule reads whole: blanks anywhere, &H and &O, an exponent.
    for (const char* alpha : {" 0 . 2 5", "&H10", "&o7", "-3.25e0", "+2E+1", ""})
        EXPECT_EQ(batch({"--alpha", alpha}, dir).err, "") << alpha;
    // Too large is refused as the window refuses it, without a warning.
    EXPECT_EQ(batch({"--alpha", "1e400x"}, dir).err, "message: Number too large: 1e400x\n");
    // The Karman-Trefftz inputs are boxes too.
    const BatchResult kt = batch({"--karman-trefftz", "--thickness", "0.12;"}, dir);
    EXPECT_EQ(kt.status, 0);
    EXPECT_EQ(kt.err, "warning: --thickness \"0.12;\" reads as 0.12\n");
    // An option without a box takes a number only when all of it is one.
    const BatchResult repanel = batch({"--repanel", "61 points"}, dir);
    EXPECT_EQ(repanel.status, 2);
    EXPECT_NE(repanel.err.find("--repanel needs a number of points"), std::string::npos);
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
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--circle", "--naca0012"}, {"--circle", "--file", "x.arf"}, {"--method", "panel"},
             {"--bogus"}, {"--alpha"}, {"--circle=1"}, {"--dir", "/no/such/folder"}}) {
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
