// The section edits on the command line: their order, their refusals and
// exit statuses, the hinge moment line and column, and nothing new in the
// output of a run without them.
#include "tools/batch/BatchRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "support/Batch.h"

namespace tavrix {
namespace {

using testing::batch;
using testing::BatchResult;

std::vector<std::string> naca2412(std::vector<std::string> more)
{
    std::vector<std::string> args = {"--naca", "2412", "--points", "161", "--method", "vortex",
                                     "--alpha", "4"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

double value(const BatchResult& r, const std::string& key)
{
    const auto at = r.out.find(key + " = ");
    if (at == std::string::npos) return NAN;
    const std::string rest = r.out.substr(at + key.size() + 3);
    return rest.empty() || rest[0] == '\n' ? NAN : std::stod(rest);
}

TEST(SectionEditBatch, aFlapAddsTheHingeMomentLineAndEditsApplyInTheOrderGiven)
{
    testing::TempDir plainDir, flapDir;
    const BatchResult plain = batch(naca2412({}), plainDir);
    const BatchResult flap = batch(naca2412({"--flap", "0.75:0.5:10"}), flapDir);
    ASSERT_EQ(flap.status, 0) << flap.err;
    EXPECT_EQ(plain.out.find("CH"), std::string::npos);
    const auto cl = flap.out.find("CL = "), cm = flap.out.find("CMc/4 = "),
               ch = flap.out.find("CH = ");
    EXPECT_TRUE(cl < cm && cm < ch && ch != std::string::npos) << flap.out;
    // A flap deflected down raises the lift (thin-airfoil theory: 2 pi times
    // 0.69 of the deflection for a quarter-chord flap, 0.76 at 10 degrees)
    // and its load turns the trailing edge up.
    EXPECT_NEAR(value(flap, "CL") - value(plain, "CL"), 0.76, 0.05);
    EXPECT_LT(value(flap, "CH"), 0);
    EXPECT_EQ(flap.err, "");
    // Repanelling after the flap keeps its hinge.
    const BatchResult repanelled =
        batch(naca2412({"--flap", "0.75:0.5:10", "--repanel", "201"}), plainDir);
    ASSERT_EQ(repanelled.status, 0) << repanelled.err;
    EXPECT_NEAR(value(repanelled, "CL"), value(flap, "CL"), 0.01);
    EXPECT_NEAR(value(repanelled, "CH"), value(flap, "CH"), 0.001);

    // Edits apply in the order given, and edits of zero change nothing.
    const BatchResult none = batch(naca2412({"--scale-thickness", "1", "--scale-camber", "1",
                                             "--te-gap", "0:0.3", "--flap", "0.75:0.5:0"}),
                                   plainDir);
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(value(none, "CL"), value(plain, "CL"));
    // No camber first: the flap then acts on a symmetric section; the other
    // order takes the camber of the flap away too.
    const BatchResult flapLast =
        batch(naca2412({"--scale-camber", "0", "--flap", "0.75:0.5:10"}), plainDir);
    const BatchResult flapFirst =
        batch(naca2412({"--flap", "0.75:0.5:10", "--scale-camber", "0"}), flapDir);
    ASSERT_EQ(flapLast.status, 0) << flapLast.err;
    ASSERT_EQ(flapFirst.status, 0) << flapFirst.err;
    EXPECT_GT(value(flapLast, "CL"), value(flapFirst, "CL") + 0.3);
    // The hinge moment goes with the flap through the later edit.
    EXPECT_FALSE(std::isnan(value(flapFirst, "CH")));
}

TEST(SectionEditBatch, badValuesAreUsageErrorsAndImpossibleEditsRefusals)
{
    // Status 2: a value that is no edit; status 1: an edit the section cannot take.
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"--flap", "0.75:0.5"}, 2},        {{"--flap", "0.75:half:10"}, 2},
        {{"--scale-thickness", "2x"}, 2},   {{"--te-gap", "0.01"}, 2},
        {{"--scale-camber", "inf"}, 2},     {{"--flap", "1.2:0.5:10"}, 1},
        {{"--flap", "0.75:0.5:95"}, 1},     {{"--flap", "0.75:1.5:10"}, 1},
        {{"--scale-thickness", "0"}, 1},    {{"--te-gap", "0.5:0.3"}, 1}};
    for (const auto& [args, status] : cases) {
        testing::TempDir dir;
        const BatchResult r = batch(naca2412(args), dir);
        EXPECT_EQ(r.status, status) << args[1];
        EXPECT_EQ(r.out, "");  // no press
        if (status == 1) {
            EXPECT_NE(r.err.find("message: "), std::string::npos) << r.err;
        }
    }
}

TEST(SectionEditBatch, aSweepWithAFlapGivesTheHingeMomentOfEachAngle)
{
    testing::TempDir dir, press;
    const std::string csv = (dir.path() / "c.csv").string();
    const BatchResult r = batch({"--naca", "0012", "--points", "121", "--method", "vortex",
                                 "--flap", "0.8:0.5:5", "--sweep", "0:4:4", "--csv", csv},
                                dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(csv);
    std::string header, row0, row4;
    std::getline(in, header);
    std::getline(in, row0);
    std::getline(in, row4);
    EXPECT_EQ(header, "method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit,CH");
    // Each row's hinge moment is the press's at that angle.
    const BatchResult at4 = batch({"--naca", "0012", "--points", "121", "--method", "vortex",
                                   "--flap", "0.8:0.5:5", "--alpha", "4"},
                                  press);
    const double ch = std::stod(row4.substr(row4.rfind(',') + 1));
    EXPECT_NEAR(ch, value(at4, "CH"), 0.00005);
    EXPECT_NE(r.out.find("alpha = 4 CL = " ), std::string::npos);
    EXPECT_NE(r.out.find(" CH = "), std::string::npos);
}

}  // namespace
}  // namespace tavrix
