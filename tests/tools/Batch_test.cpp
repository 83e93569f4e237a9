#include "tools/batch/BatchRun.h"

#include <gtest/gtest.h>

#include <QImage>
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
    BatchResult r = batch({"--circle", "--points", "1"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");  // a refused source ends the run before any press
    EXPECT_EQ(r.err,
              "message: Number of panel end points must be a whole number from 2 to 1000\n");

    r = batch({"--mach", "1.2"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "CL = \nCMc/4 = \n");
    EXPECT_EQ(r.err, "message: The free-stream Mach number must be less than 1\n");

    r = batch({"--points", "250", "--method", "vortex"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "message: This panel method allows at most 200 panel end points\n");

    r = batch({"--file", (dir.path() / "missing.arf").string()}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("message: Cannot read airfoil file \"", 0), 0u);
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
    EXPECT_NE(out.str().find("--karman-trefftz"), std::string::npos);
}

TEST(Batch, PlotsAndMatrixPictures)
{
    testing::TempDir dir;
    const std::string plot = (dir.path() / "plots.png").string();
    const std::string matrix = (dir.path() / "matrix.png").string();
    const BatchResult r = batch({"--alpha", "5", "--method", "vortex", "--plot", plot, "--matrix",
                         matrix},
                        dir);
    ASSERT_EQ(r.status, 0);
    QImage plots(QString::fromStdString(plot));
    ASSERT_FALSE(plots.isNull());
    EXPECT_GT(plots.height(), plots.width() / 2);  // the two boxes, one above the other
    // Some red of the contour and the curve is on it.
    bool red = false;
    for (int y = 0; y < plots.height() && !red; ++y)
        for (int x = 0; x < plots.width() && !red; ++x) {
            const QColor c = plots.pixelColor(x, y);
            red = c.red() > 200 && c.green() < 100 && c.blue() < 100;
        }
    EXPECT_TRUE(red);
    QImage cells(QString::fromStdString(matrix));
    ASSERT_FALSE(cells.isNull());
    EXPECT_EQ(cells.width(), cells.height());
}

}  // namespace
}  // namespace tavrix
