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

// The #include lines of the folder's units (outside `allowed`) that reach a
// window header: ui/, app/ (where allowed, but the number-text utility),
// output/ drawing, or Qt.
std::string windowIncludes(const fs::path& folder, const std::set<std::string>& allowed,
                           bool numberTextAllowed = false)
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
            const bool window = line.find("\"ui/") != std::string::npos ||
                                (line.find("\"app/") != std::string::npos &&
                                 (!numberTextAllowed ||
                                  line.find("\"app/NumberText.h\"") == std::string::npos)) ||
                                line.find("\"output/") != std::string::npos ||
                                line.find("<Q") != std::string::npos;
            if (window)
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
    // The generators and readers return contours; only the source handlers
    // that put a contour into the main window draw it.
    EXPECT_EQ(windowIncludes(root / "geometry", {"Form_KATJO", "AirfoilFile"}, true), "");
}

}  // namespace
