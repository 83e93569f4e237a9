// What the batch front end does to the files around it: pictures replaced
// whole, outputs that are not plain files refused, and the press's own files
// touched only by a run that presses.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/Module_Common.h"
#include "support/Batch.h"

namespace tavrix {
namespace {

namespace fs = std::filesystem;
using testing::batch;
using testing::BatchResult;
using testing::readFile;
using testing::TempDir;

void put(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// A limit on the size of any file this process writes, as a full disk would
// set one; lifted again at the end of the scope.
struct FileSizeLimit {
    rlimit before{};
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &before);
        rlimit limited = before;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &before); std::signal(SIGXFSZ, previous); }
    FileSizeLimit(const FileSizeLimit&) = delete;
};

TEST(BatchFiles, aPictureThatCannotBeWrittenLeavesTheEarlierOneWhole)
{
    TempDir dir;
    const std::string plot = (dir.path() / "plot.png").string();
    const std::string matrix = (dir.path() / "matrix.png").string();
    ASSERT_EQ(batch({"--points", "31", "--alpha", "3", "--plot", plot, "--matrix", matrix}, dir)
                  .status,
              0);
    const std::string plotBefore = readFile(plot);
    const std::string matrixBefore = readFile(matrix);
    ASSERT_GT(plotBefore.size(), 4096u);
    ASSERT_GT(matrixBefore.size(), 0u);
    BatchResult r;
    {
        // Room for the result files of 31 points, not for a picture.
        const FileSizeLimit full(4096);
        r = batch({"--points", "31", "--alpha", "5", "--method", "vortex", "--plot", plot,
                   "--matrix", matrix},
                  dir);
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + plot + ": File too large"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("cannot write " + plot), r.err.rfind("cannot write " + plot));  // said once
    EXPECT_EQ(readFile(plot), plotBefore);
    // The matrix picture is small enough to fit: either way a whole picture.
    const std::string matrixAfter = readFile(matrix);
    EXPECT_EQ(matrixAfter.rfind("\x89PNG\r\n\x1a\n", 0), 0u);
    EXPECT_EQ(matrixAfter.substr(matrixAfter.size() - 8), std::string("IEND\xae\x42\x60\x82", 8));
    // Nothing but the pictures and the result files is left in the folder.
    std::size_t names = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++names;
    EXPECT_EQ(names, 4u);
}

TEST(BatchFiles, outputsThatAreNotPlainFilesAreRefusedBeforeAnythingIsDone)
{
    TempDir dir;
    const fs::path fifo = dir.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A reader on the pipe, so that a program writing into it does not wait.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const fs::path linkToFifo = dir.path() / "link";
    fs::create_symlink("pipe", linkToFifo);
    put(dir.path() / kReportFile, "earlier report\r\n");

    const struct {
        std::vector<std::string> args;
        std::string named;
    } cases[] = {
        {{"--plot", fifo.string()}, fifo.string()},
        {{"--matrix", linkToFifo.string()}, linkToFifo.string()},
        {{"--save-contour", fifo.string()}, fifo.string()},
        {{"--sweep", "0:2:1", "--polar", fifo.string()}, fifo.string()},
        {{"--sweep", "0:2:1", "--csv", linkToFifo.string()}, linkToFifo.string()},
        {{"--sweep", "0:2:1", "--cp-csv", dir.path().string()}, dir.path().string()},
    };
    for (const auto& c : cases) {
        const BatchResult r = batch(c.args, dir);
        EXPECT_EQ(r.status, 1) << c.named;
        EXPECT_EQ(r.out, "") << c.named;
        const std::string why = fs::is_directory(c.named) ? "Is a directory" : "Not a regular file";
        EXPECT_EQ(r.err, "message: Cannot write \"" + c.named + "\": " + why + "\n");
        EXPECT_TRUE(fs::is_fifo(fifo));
        EXPECT_TRUE(fs::is_symlink(linkToFifo));
        EXPECT_EQ(readFile(dir.path() / kReportFile), "earlier report\r\n");
    }
    // With --compare, each method's polar.
    const fs::path vortexPolar = dir.path() / "p_vortex.txt";
    ASSERT_EQ(::mkfifo(vortexPolar.c_str(), 0600), 0);
    const BatchResult compare =
        batch({"--sweep", "0:2:1", "--compare", "--polar", (dir.path() / "p.txt").string()}, dir);
    EXPECT_EQ(compare.status, 1);
    EXPECT_TRUE(fs::is_fifo(vortexPolar));
    EXPECT_FALSE(fs::exists(dir.path() / "p_hess.txt"));
    ::close(reader);

    // The press's own files in the working folder.
    TempDir pressDir;
    const fs::path columns = pressDir.path() / kColumnFile;
    ASSERT_EQ(::mkfifo(columns.c_str(), 0600), 0);
    const BatchResult press = batch({"--alpha", "2"}, pressDir);
    EXPECT_EQ(press.status, 1);
    EXPECT_EQ(press.out, "");
    EXPECT_EQ(press.err, "message: Cannot write \"TavrixS.xls\": Not a regular file\n");
    EXPECT_TRUE(fs::is_fifo(columns));
    EXPECT_EQ(readFile(pressDir.path() / kReportFile), "");
}

TEST(BatchFiles, outputsAreWrittenThroughLinksAndBesideTheUsersFiles)
{
    TempDir dir;
    fs::create_directory(dir.path() / "kept");
    put(dir.path() / "kept" / "polar.txt", "old polar");
    const fs::path link = dir.path() / "polar.txt";
    fs::create_symlink("kept/polar.txt", link);
    put(dir.path() / "polar.txt.part", "the user's own file");
    put(dir.path() / "c.csv.part", "another");
    const std::string csv = (dir.path() / "c.csv").string();
    const BatchResult r =
        batch({"--sweep", "0:4:2", "--polar", link.string(), "--csv", csv}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(readFile(dir.path() / "kept" / "polar.txt").find("alpha"), std::string::npos);
    EXPECT_EQ(readFile(dir.path() / "polar.txt.part"), "the user's own file");
    EXPECT_EQ(readFile(dir.path() / "c.csv.part"), "another");
    EXPECT_EQ(readFile(csv).rfind("method,alpha,", 0), 0u);
}

TEST(BatchFiles, onlyARunThatPressesTouchesTheReport)
{
    TempDir dir;
    const std::string earlier = "results of yesterday\r\n";
    const fs::path report = dir.path() / kReportFile;
    put(report, earlier);
    // A sweep, a refused source, a command line not understood: the report stays.
    EXPECT_EQ(batch({"--sweep", "0:4:2", "--compare"}, dir).status, 0);
    EXPECT_EQ(readFile(report), earlier);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--file", (dir.path() / "missing.dat").string()},
             {"--points", "1"},
             {"--karman-trefftz", "--thickness", "1.5"},
             {"--naca", "2412", "--repanel", "2"},
             {"--no-such-option"}}) {
        const BatchResult r = batch(args, dir);
        EXPECT_NE(r.status, 0) << args[0];
        EXPECT_EQ(readFile(report), earlier) << args[0];
        EXPECT_FALSE(fs::exists(dir.path() / kColumnFile)) << args[0];
    }

    // A missing report is made empty, as the program's start-up makes it.
    TempDir fresh;
    EXPECT_EQ(batch({"--sweep", "0:4:2"}, fresh).status, 0);
    EXPECT_TRUE(fs::exists(fresh.path() / kReportFile));
    EXPECT_EQ(readFile(fresh.path() / kReportFile), "");

    // A press starts the report afresh, as the program's start-up does; a
    // press refused at the button still counts as the program started.
    const BatchResult press = batch({"--alpha", "2"}, dir);
    ASSERT_EQ(press.status, 0);
    EXPECT_EQ(readFile(report).rfind("\r\n\r\nAlfa =  2 \r\n", 0), 0u);
    put(report, earlier);
    EXPECT_EQ(batch({"--mach", "1"}, dir).status, 1);
    EXPECT_EQ(readFile(report), "");
}

}  // namespace
}  // namespace tavrix
