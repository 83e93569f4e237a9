// The edge speed this program's coupling gives for xfoil's converged
// displacement thickness: xfoil's layer of one point (its DUMP file, from
// tools/xfoil_layer_dump.sh) carried onto the stations of the coupling of the
// same nodes and angle, q = qInviscid + D mTilde, against xfoil's own edge
// speed, station by station, and the lift of both speeds. Where the two
// agree, the map from mass defect to edge speed is the same in both
// programs; where they differ, a layer converged here cannot be xfoil's.
//
//   coupling_from_xfoil FILE DUMP ALPHA METHOD [EVERY]
//     FILE: the nodes (xfoil's SAVE), DUMP: xfoil's layer at ALPHA degrees,
//     METHOD: soinne, vortex, hess or kennedy; every EVERY-th station is
//     printed (default 1), and all of those within 0.03 chord of the
//     trailing edge.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <variant>

#include "geometry/AirfoilFile.h"
#include "solvers/PanelGeometry.h"
#include "solvers/PanelMethods.h"
#include "solvers/PanelSolution.h"
#include "tools/XfoilLayerTable.h"
#include "viscous/InviscidCoupling.h"

int main(int argc, char** argv)
{
    using namespace tavrix;
    if (argc < 5 || argc > 6) {
        std::fputs("usage: coupling_from_xfoil FILE DUMP ALPHA METHOD [EVERY]\n", stderr);
        return 2;
    }
    const std::string file = argv[1], dump = argv[2], word = argv[4];
    char* end = nullptr;
    const double alpha = std::strtod(argv[3], &end);
    const int every = argc == 6 ? std::atoi(argv[5]) : 1;
    const PanelMethodInfo* info = nullptr;
    for (const auto& candidate : kPanelMethods)
        if (candidate.word == word) info = &candidate;
    if (!info || *end != '\0' || !std::isfinite(alpha) || every < 1) {
        std::fputs("coupling_from_xfoil: bad angle, method or step\n", stderr);
        return 2;
    }
    auto read = readAirfoilFileContour(file, std::filesystem::path(file).filename().string());
    if (auto* reason = std::get_if<std::string>(&read)) {
        std::fprintf(stderr, "coupling_from_xfoil: %s\n", reason->c_str());
        return 1;
    }
    const Contour& contour = std::get<Contour>(read);
    auto geometry = buildPanelGeometry(contour.x, contour.y, 0);
    if (!geometry) {
        std::fprintf(stderr, "coupling_from_xfoil: %s\n", geometry.refusal().message.c_str());
        return 1;
    }
    auto solution = solvePanels(*geometry, info->method);
    if (!solution) {
        std::fprintf(stderr, "coupling_from_xfoil: %s\n", solution.refusal().message.c_str());
        return 1;
    }
    const auto stations = coupled::buildCoupling(*solution, alpha);
    if (!stations) {
        std::fprintf(stderr, "coupling_from_xfoil: %s\n", stations.refusal().message.c_str());
        return 1;
    }
    const xfoilpeer::LayerTable table =
        xfoilpeer::readLayerTable(dump, static_cast<int>(contour.x.size()));
    if (!table.ok()) {
        std::fprintf(stderr, "coupling_from_xfoil: %s holds no layer of %zu nodes and a wake\n",
                     dump.c_str(), contour.x.size());
        return 1;
    }
    const coupled::CouplingStations& st = *stations;
    const xfoilpeer::PeerState peer = xfoilpeer::peerState(st, table);
    const std::vector<double> q = coupled::coupledSpeed(st, peer.mTilde);
    const Coefficients here = coupled::viscousForces(*geometry, st, q, alpha);
    const Coefficients there = coupled::viscousForces(*geometry, st, peer.q, alpha);
    std::printf("# %s at %g degrees, %s: CL of the coupling's speed %.4f (CM %.4f), of xfoil's "
                "speed %.4f (CM %.4f)\n",
                contour.name.c_str(), alpha, std::string(info->name).c_str(), here.CL, here.CM,
                there.CL, there.CM);
    std::printf("station x y q xfoil difference\n");
    for (int i = 0; i < st.size(); ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        const bool nearEdge = std::abs(st.x[k] - 1.0) < 0.03;
        if (i % every != 0 && !nearEdge) continue;
        std::printf("%d %.4f %+.4f %.4f %.4f %+.4f\n", i, st.x[k], st.y[k], q[k], peer.q[k],
                    q[k] - peer.q[k]);
    }
    return 0;
}
