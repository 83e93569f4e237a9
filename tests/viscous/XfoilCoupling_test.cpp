// The coupling fed xfoil's converged layer: xfoil's displacement thickness
// of NACA 4415 at 2 degrees, Re 3e6 (tests/data/xfoil_viscous/
// naca4415_re3e6_a2.dump, tools/xfoil_layer_dump.sh) on its own 161 nodes,
// carried onto the stations of this program's coupling of the same nodes.
// Where the map from mass defect to edge speed is the same in both programs,
// q = qInviscid + D mTilde is xfoil's edge speed: a peer check of the
// source influence, the wake and the trailing-edge closure, free of the
// layer equations.
//
// It is the same but at the stations next to the trailing edge: the end
// points on either side of it and the first wake station of the
// Soinne-Laine coupling (0.03 to 0.04 there, as much on 321 nodes as on
// 161), the last few hundredths of the chord of the vortex panel coupling,
// whose edge speeds are extrapolated. Those stations are left out here;
// docs/validation.md says what they do to the lift.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <variant>

#include "geometry/AirfoilFile.h"
#include "solvers/PanelGeometry.h"
#include "solvers/PanelSolution.h"
#include "tools/XfoilLayerTable.h"
#include "viscous/InviscidCoupling.h"

namespace tavrix::coupled {
namespace {

namespace fs = std::filesystem;

const fs::path kReference = fs::path(TAVRIX_SOURCE_DIR) / "tests/data/xfoil_viscous";

// xfoil's viscous CL at 2 degrees (naca4415_re3e6.pol).
constexpr double kXfoilLift = 0.6378;

struct Fed {
    CouplingStations stations;
    xfoilpeer::PeerState peer;
    std::vector<double> q;
    double lift = 0;
};

Fed feedXfoilsLayer(PanelMethod method)
{
    const fs::path nodes = kReference / "naca4415_161.dat";
    auto read = readAirfoilFileContour(nodes.string(), "naca4415_161.dat");
    const Contour& contour = std::get<Contour>(read);
    const auto geometry = buildPanelGeometry(contour.x, contour.y, 0);
    const auto solution = solvePanels(*geometry, method);
    auto stations = buildCoupling(*solution, 2.0);
    Fed out;
    out.stations = std::move(*stations);
    const auto table =
        xfoilpeer::readLayerTable((kReference / "naca4415_re3e6_a2.dump").string(), 161);
    EXPECT_TRUE(table.ok());
    out.peer = xfoilpeer::peerState(out.stations, table);
    out.q = coupledSpeed(out.stations, out.peer.mTilde);
    out.lift = viscousForces(*geometry, out.stations, out.q, 2.0).CL;
    return out;
}

TEST(XfoilCoupling, theSoinneLaineCouplingGivesXfoilsSpeedForXfoilsLayer)
{
    const Fed f = feedXfoilsLayer(PanelMethod::SoinneLaine);
    const CouplingStations& st = f.stations;
    ASSERT_EQ(st.nAirfoil, 161);
    // (station 1 and nAirfoil - 2: the end points next to the edge)
    for (int i = 0; i < st.nAirfoil; ++i) {
        if (i == 1 || i == st.nAirfoil - 2) continue;
        EXPECT_NEAR(f.q[static_cast<std::size_t>(i)], f.peer.q[static_cast<std::size_t>(i)], 0.005)
            << "station " << i << " at x/c " << st.x[static_cast<std::size_t>(i)];
    }
    for (int k = 2; k < st.nWake; ++k) {
        const std::size_t i = static_cast<std::size_t>(st.nAirfoil + k);
        EXPECT_NEAR(f.q[i], f.peer.q[i], 0.003) << "wake station " << k << " at x/c " << st.x[i];
    }
    // The lift of that speed is xfoil's.
    EXPECT_NEAR(f.lift, kXfoilLift, 0.003 * kXfoilLift);
}

TEST(XfoilCoupling, theVortexPanelCouplingGivesXfoilsSpeedAwayFromTheEdge)
{
    const Fed f = feedXfoilsLayer(PanelMethod::VortexPanel);
    const CouplingStations& st = f.stations;
    int compared = 0;
    for (int i = 0; i < st.size(); ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (std::abs(st.x[k] - 1.0) < 0.1) continue;
        // (xfoil's speeds are on the end points, these stations on the
        // panels' mid points: near the nose the interpolation between
        // them is good to a few thousandths)
        EXPECT_NEAR(f.q[k], f.peer.q[k], 0.006) << "station " << i << " at x/c " << st.x[k];
        ++compared;
    }
    EXPECT_GT(compared, 150);
    EXPECT_NEAR(f.lift, kXfoilLift, 0.01 * kXfoilLift);
}

}  // namespace
}  // namespace tavrix::coupled
