#include "output/FileReplace.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/Session.h"

namespace tavrix {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;

void put(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// Names in the folder, to see that no temporary file is left behind.
std::size_t entries(const fs::path& dir)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

TEST(FileReplace, replacesAPlainFileKeepingItsPermissionsAndLeavesNothingElse)
{
    TempDir dir;
    const fs::path file = dir.path() / "polar.txt";
    put(file, "earlier");
    ::chmod(file.c_str(), 0640);
    EXPECT_FALSE(replaceFileContents(file, "new contents"));
    EXPECT_EQ(readFile(file), "new contents");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()), 1u);
    // A new file is made too.
    EXPECT_FALSE(replaceFileContents(dir.path() / "fresh.txt", ""));
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "fresh.txt"));
}

TEST(FileReplace, aFileOfTheUserBesideTheOutputIsNotTouched)
{
    // The temporary file has a name of its own, not NAME.part.
    TempDir dir;
    const fs::path file = dir.path() / "p.txt";
    put(dir.path() / "p.txt.part", "the user's notes");
    EXPECT_FALSE(replaceFileContents(file, "polar"));
    EXPECT_EQ(readFile(file), "polar");
    EXPECT_EQ(readFile(dir.path() / "p.txt.part"), "the user's notes");
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST(FileReplace, aLinkIsWrittenThroughToItsTargetAndStaysALink)
{
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    const fs::path target = dir.path() / "real" / "data.csv";
    put(target, "old");
    const fs::path link = dir.path() / "link.csv";
    fs::create_symlink("real/data.csv", link);
    const fs::path chain = dir.path() / "chain.csv";
    fs::create_symlink("link.csv", chain);
    EXPECT_EQ(linkTarget(chain), dir.path() / "real/data.csv");
    EXPECT_FALSE(replaceFileContents(chain, "through two links"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(chain));
    EXPECT_EQ(readFile(target), "through two links");
    // A link to a file not yet there makes the file, not a plain file in the link's place.
    const fs::path dangling = dir.path() / "later.csv";
    fs::create_symlink("real/later.csv", dangling);
    EXPECT_FALSE(replaceFileContents(dangling, "made"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(readFile(dir.path() / "real" / "later.csv"), "made");
}

TEST(FileReplace, aPipeOrAFolderIsRefusedAndStaysWhatItWas)
{
    TempDir dir;
    const fs::path fifo = dir.path() / "pipe.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path linkToFifo = dir.path() / "to-pipe.png";
    fs::create_symlink("pipe.png", linkToFifo);
    for (const fs::path& name : {fifo, linkToFifo}) {
        const auto refusal = replaceFileContents(name, "x");
        ASSERT_TRUE(refusal) << name;
        EXPECT_EQ(*refusal, "Not a regular file");
        EXPECT_EQ(outputFileRefusal(name), refusal);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(linkToFifo));
    const fs::path folder = dir.path() / "sub";
    fs::create_directory(folder);
    EXPECT_EQ(replaceFileContents(folder, "x"), std::optional<std::string>("Is a directory"));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(entries(dir.path()), 3u);
    // A device node is no output either (read only here: nothing is written to it).
    EXPECT_EQ(outputFileRefusal("/dev/null"), std::optional<std::string>("Not a regular file"));
    EXPECT_FALSE(outputFileRefusal(dir.path() / "missing.txt"));
}

}  // namespace
}  // namespace tavrix
