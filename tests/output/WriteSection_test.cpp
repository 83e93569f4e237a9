// Result files under a failing disk: the kernel's file-size limit refuses
// writes past a given length exactly as a full disk does (a short write, then
// an error), so a press can be run into it without a special file system.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>

#include "output/PrintFile.h"
#include "support/Session.h"
#include "tools/batch/BatchRun.h"

namespace tavrix {
namespace {

using testing::Session;

// Files may grow to `bytes` and no further while this lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

std::size_t countStartingWith(const std::vector<std::string>& lines, const std::string& start)
{
    std::size_t n = 0;
    for (const auto& l : lines) n += l.rfind(start, 0) == 0 ? 1 : 0;
    return n;
}

TEST(WriteSection, AFailedRewriteLeavesTheEarlierColumnFileWhole)
{
    Session s;
    s.chooseNaca("101");
    s.press();
    const std::string earlier = s.columns();
    ASSERT_GT(earlier.size(), 2000u);
    chmod((s.dir.path() / kColumnFile).c_str(), 0640);

    PrintSection longer;
    for (int i = 0; i < 400; ++i) longer.number(i).zone().number(i * 0.5).endLine();
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(writeSection(s.c, s.tk, kColumnFile, longer, FileMode::Replace));
    }
    EXPECT_EQ(s.columns(), earlier);
    ASSERT_EQ(s.tk.messages().size(), 1u);
    EXPECT_EQ(s.tk.messages()[0], "Cannot write \"TavrixS.xls\": File too large");
    // No half-written replacement is left beside it.
    const std::filesystem::directory_iterator entries(s.dir.path()), end;
    EXPECT_EQ(std::distance(entries, end), 2);  // TavrixS.txt and TavrixS.xls

    // A rewrite that succeeds keeps the file's permissions.
    s.c.FilesNotWritten.clear();
    EXPECT_TRUE(writeSection(s.c, s.tk, kColumnFile, longer, FileMode::Replace));
    EXPECT_EQ(s.columns(), longer.contents());
    struct stat st {};
    ASSERT_EQ(stat((s.dir.path() / kColumnFile).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(WriteSection, ARewriteThroughALinkReplacesTheFileItPointsTo)
{
    Session s;
    std::filesystem::create_directory(s.dir.path() / "kept");
    const std::filesystem::path target = s.dir.path() / "kept" / "columns.txt";
    std::ofstream(target) << "earlier";
    std::filesystem::create_symlink(target, s.dir.path() / kColumnFile);
    PrintSection section;
    section.text("later").endLine();
    EXPECT_TRUE(writeSection(s.c, s.tk, kColumnFile, section, FileMode::Replace));
    EXPECT_TRUE(std::filesystem::is_symlink(s.dir.path() / kColumnFile));
    EXPECT_EQ(testing::readFile(target), "later\r\n");
}

TEST(WriteSection, ASectionThatDoesNotFitIsCutBackToTheEarlierLength)
{
    Session s;
    s.chooseNaca("51");
    s.press();
    const std::string earlier = s.report();
    PrintSection section;
    for (int i = 0; i < 100; ++i) section.text("a line of the section").endLine();
    {
        // Room for part of the section only: the write stops in its middle.
        FileSizeLimit limit(earlier.size() + 700);
        EXPECT_FALSE(writeSection(s.c, s.tk, kReportFile, section, FileMode::Append));
    }
    EXPECT_EQ(s.report(), earlier);
    EXPECT_EQ(s.tk.messages().size(), 1u);
}

TEST(WriteSection, APressOnAFullDiskReportsEachFileOnceAndKeepsTheEarlierFiles)
{
    Session s;
    s.chooseNaca("51");
    s.tk.type("Text_AlfaD", "2");
    s.press();
    const std::string report = s.report();
    const std::string columns = s.columns();

    // Panel table, Hess distribution, both matrices, strengths and results:
    // six sections for "TavrixS.txt" in one press.
    for (const char* box : {"Check_WritePanel", "Check_WriteMat", "Check_WriteSingularities"})
        s.tk.setValue(box, 1);
    s.tk.type("Text_AlfaD", "6");
    {
        FileSizeLimit limit(report.size() + 500);
        s.press();
    }
    EXPECT_TRUE(s.form.lastPressCompleted());
    EXPECT_EQ(countStartingWith(s.tk.messages(), "Cannot write \"TavrixS.txt\": "), 1u);
    EXPECT_EQ(countStartingWith(s.tk.messages(), "Cannot write \"TavrixS.xls\": "), 1u);
    EXPECT_EQ(s.tk.messages().size(), 2u);
    EXPECT_EQ(s.report(), report);
    EXPECT_EQ(s.columns(), columns);
    // The press itself went on: its coefficients are those of the same press
    // in a session with room on the disk.
    Session roomy;
    roomy.chooseNaca("51");
    roomy.tk.type("Text_AlfaD", "6");
    roomy.press();
    EXPECT_EQ(s.tk.text("Text_CL"), roomy.tk.text("Text_CL"));
    EXPECT_NE(s.tk.text("Text_CL"), "");

    // The next press with room again writes everything.
    s.tk.clearMessages();
    s.press();
    EXPECT_TRUE(s.tk.messages().empty());
    EXPECT_GT(s.report().size(), report.size());
}

TEST(WriteSection, BatchExitsWithThreeWhenAResultFileCouldNotBeWritten)
{
    testing::TempDir dir;
    std::ostringstream out, err;
    int status = -1;
    {
        FileSizeLimit limit(600);
        status = runBatch({"--naca0012", "--alpha", "3", "--dir=" + dir.path().string()}, out, err);
    }
    EXPECT_EQ(status, 3);
    EXPECT_EQ(out.str().rfind("CL = 0.", 0), 0u);
    EXPECT_NE(err.str().find("message: Cannot write \"TavrixS.txt\": File too large"),
              std::string::npos);
    EXPECT_NE(err.str().find("message: Cannot write \"TavrixS.xls\": File too large"),
              std::string::npos);
    EXPECT_EQ(testing::readFile(dir.path() / kReportFile), "");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / kColumnFile));
}

}  // namespace
}  // namespace tavrix
