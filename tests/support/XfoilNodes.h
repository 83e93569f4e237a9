// xfoil's own 161 nodes of a NACA section (tests/data/xfoil_viscous, with its
// polars there), read as the airfoil menu reads a coordinate file and solved
// with a panel method: the sections the coupled analysis is compared on.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <variant>

#include "geometry/CoordinateFormats.h"
#include "solvers/PanelGeometry.h"
#include "solvers/PanelSolution.h"

namespace tavrix::testing {

inline const std::filesystem::path kXfoilViscous =
    std::filesystem::path(TAVRIX_SOURCE_DIR) / "tests/data/xfoil_viscous";

// name: "naca0012", "naca2412" or "naca4415"; with wholeName the file's
// name without ".dat" ("naca0012_161_split": the same polygon with the
// panels next to the trailing edge split).
inline PanelSolution xfoilNodesSolved(const std::string& name, PanelMethod method,
                                      bool wholeName = false)
{
    std::ifstream in(kXfoilViscous / (name + (wholeName ? ".dat" : "_161.dat")));
    std::stringstream text;
    text << in.rdbuf();
    auto read = readCoordinateContour(text.str(), detectCoordinateFormat(text.str()), name);
    EXPECT_TRUE(std::holds_alternative<PreparedContour>(read));
    const Contour contour = std::get<PreparedContour>(read).contour;
    auto geometry = buildPanelGeometry(contour.x, contour.y, 0);
    EXPECT_TRUE(geometry.ok());
    auto solution = solvePanels(*geometry, method);
    EXPECT_TRUE(solution.ok());
    return *solution;
}

}  // namespace tavrix::testing
