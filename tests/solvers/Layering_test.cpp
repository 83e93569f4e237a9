// The computing units stay free of the windows: nothing under solvers/ or
// viscous/ includes a header of ui/ or app/ (the window session's state), and
// of geometry/ only the source handlers that fill the main window's contour
// (the file reader and the Karman-Trefftz window) reach them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string windowIncludes(const fs::path& folder, const std::set<std::string>& allowed)
{
    std::string found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path& file = entry.path();
        if (file.extension() != ".h" && file.extension() != ".cpp") continue;
        if (allowed.count(file.stem().string()) != 0) continue;
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("#include", 0) != 0) continue;
            if (line.find("\"ui/") != std::string::npos || line.find("\"app/") != std::string::npos ||
                line.find("<Q") != std::string::npos)
                found += file.filename().string() + ": " + line + "\n";
        }
    }
    return found;
}

TEST(Layering, computingUnitsIncludeNoWindowHeader)
{
    const fs::path root = TAVRIX_SOURCE_DIR;
    EXPECT_EQ(windowIncludes(root / "solvers", {}), "");
    EXPECT_EQ(windowIncludes(root / "viscous", {}), "");
}

}  // namespace
