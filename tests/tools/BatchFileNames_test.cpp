// The coordinate file of the batch front end: every path that cannot be read
// is refused with its reason, naming the path as it was given.
#include <gtest/gtest.h>

#include "support/Batch.h"

namespace tavrix {
namespace {

TEST(BatchFile, EmptyFolderAndSlashPathsAreRefusedWithAReason)
{
    testing::TempDir dir;
    const std::string folder = dir.path().string();
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {"", "message: Cannot read airfoil file \"\": the file does not exist\n"},
        {folder, "message: Cannot read airfoil file \"" + folder + "\": it is a folder, not a file\n"},
        {folder + "/",
         "message: Cannot read airfoil file \"" + folder +
             "/\": the path ends in \"/\", so it names a folder, not a file\n"},
        {"bad.arf", "message: Cannot read airfoil file \"bad.arf\": the file does not exist\n"},
    };
    for (const auto& c : cases) {
        const testing::BatchResult r = testing::batch({"--file", c.path}, dir);
        EXPECT_EQ(r.status, 1) << c.path;
        EXPECT_EQ(r.err, c.message) << c.path;
    }
}

}  // namespace
}  // namespace tavrix
