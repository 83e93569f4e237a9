// tavrixs-batch with --re: the boundary-layer lines after the press.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/Session.h"
#include "tools/batch/BatchRun.h"

namespace tavrix {
namespace {

struct BatchLines {
    int status = -1;
    std::vector<std::string> lines;
    std::string err;
};

BatchLines batch(std::vector<std::string> args, const testing::TempDir& dir)
{
    args.push_back("--dir=" + dir.path().string());
    std::ostringstream out, err;
    BatchLines r;
    r.status = runBatch(args, out, err);
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) r.lines.push_back(line);
    r.err = err.str();
    return r;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

TEST(ViscousBatch, printsDragTransitionAndSeparationAfterThePress)
{
    testing::TempDir plain, viscous;
    const std::vector<std::string> args = {"--points", "101", "--alpha", "2"};
    std::vector<std::string> withRe = args;
    withRe.insert(withRe.end(), {"--re", "3e6", "--one-way"});
    const BatchLines a = batch(args, plain), b = batch(withRe, viscous);
    ASSERT_EQ(b.status, 0) << b.err;
    ASSERT_EQ(b.lines.size(), 9u);
    EXPECT_EQ(b.lines[0], a.lines[0]);  // CL and CMc/4 as without the layer
    EXPECT_EQ(b.lines[1], a.lines[1]);
    const char* starts[] = {"CD = ", "CD friction = ", "transition upper x/c = 0.",
                            "transition lower x/c = 0.", "separation upper x/c = ",
                            "separation lower x/c = "};
    for (int k = 0; k < 6; ++k) ASSERT_TRUE(startsWith(b.lines[2 + k], starts[k])) << b.lines[2 + k];
    const double CD = std::stod(b.lines[2].substr(5));
    EXPECT_GT(CD, 0.004);
    EXPECT_LT(CD, 0.01);
    EXPECT_LT(std::stod(b.lines[3].substr(14)), CD);
    EXPECT_NE(b.lines[4].find(" (Michel)"), std::string::npos);
    EXPECT_EQ(b.lines[8],
              "note: CL is the inviscid lift: the boundary layer does not act back on the flow");
    // The result files of the press are those of a press without the layer.
    for (const char* file : {kReportFile, kColumnFile})
        EXPECT_EQ(testing::readFile(plain.path() / file), testing::readFile(viscous.path() / file));
}

TEST(ViscousBatch, forcedTransitionIsReportedAsForced)
{
    testing::TempDir dir;
    const BatchLines r = batch({"--points", "101", "--alpha", "1", "--re", "3e6", "--one-way",
                                "--transition-upper", "0.05", "--transition-lower=0.1"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines[4], "transition upper x/c = 0.05 (forced)");
    EXPECT_EQ(r.lines[5], "transition lower x/c = 0.1 (forced)");

    // Behind Michel's point a trip only counts with the criterion off.
    const std::vector<std::string> late = {"--points", "101", "--re", "3e6", "--one-way", "--transition-upper",
                                           "0.6", "--transition-lower", "0.6"};
    EXPECT_NE(batch(late, dir).lines[4].find("(Michel)"), std::string::npos);
    std::vector<std::string> tripped = late;
    tripped.push_back("--no-natural-transition");
    const BatchLines t = batch(tripped, dir);
    ASSERT_EQ(t.status, 0) << t.err;
    EXPECT_EQ(t.lines[4], "transition upper x/c = 0.6 (forced)");
    EXPECT_EQ(t.lines[5], "transition lower x/c = 0.6 (forced)");
}

TEST(ViscousBatch, ncritSwitchesToTheEnvelopeMethod)
{
    testing::TempDir dir;
    const std::vector<std::string> args = {"--points", "121", "--alpha", "2", "--re", "3e6", "--one-way"};
    std::vector<std::string> quiet = args, disturbed = args;
    quiet.insert(quiet.end(), {"--ncrit", "9"});
    disturbed.insert(disturbed.end(), {"--ncrit=4"});
    const BatchLines m = batch(args, dir), q = batch(quiet, dir), d = batch(disturbed, dir);
    ASSERT_EQ(q.status, 0) << q.err;
    ASSERT_EQ(d.status, 0) << d.err;
    ASSERT_EQ(q.lines.size(), m.lines.size());
    EXPECT_NE(m.lines[4].find(" (Michel)"), std::string::npos);
    for (const BatchLines* r : {&q, &d}) {
        EXPECT_NE(r->lines[4].find(" (e^n)"), std::string::npos) << r->lines[4];
        EXPECT_NE(r->lines[5].find(" (e^n)"), std::string::npos) << r->lines[5];
    }
    // A quieter stream keeps the layer laminar longer, and with it the drag lower.
    auto xc = [](const std::string& line) { return std::stod(line.substr(23)); };
    EXPECT_GT(xc(q.lines[4]), xc(d.lines[4]));
    EXPECT_LT(std::stod(q.lines[2].substr(5)), std::stod(d.lines[2].substr(5)));
    // The press is untouched by the layer's criterion.
    EXPECT_EQ(q.lines[0], m.lines[0]);
}

TEST(ViscousBatch, aSeparatedFlowGivesNoDragAsIfItWereReliable)
{
    testing::TempDir dir;
    const BatchLines r =
        batch({"--points", "121", "--alpha", "16", "--method", "vortex", "--re", "1e6", "--one-way"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_GE(r.lines.size(), 3u);
    EXPECT_TRUE(startsWith(r.lines[2], "CD = not reliable (upper surface separates at x/c = 0."))
        << r.lines[2];
    EXPECT_NE(r.lines[2].find("; estimate "), std::string::npos);
    EXPECT_NE(r.lines[6].find(" (turbulent)"), std::string::npos);
}

TEST(ViscousBatch, lowReynoldsNumberStaysLaminar)
{
    testing::TempDir dir;
    const BatchLines r = batch({"--points", "101", "--re", "5e4", "--one-way"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    // At zero incidence the layer decelerates behind the crest and separates
    // laminar before Michel's criterion is met at this Reynolds number.
    EXPECT_EQ(r.lines[4].find("transition upper x/c = 0."), 0u);
    EXPECT_NE(r.lines[4].find("(laminar separation)"), std::string::npos);
}

TEST(ViscousBatch, badOptionsAreUsageErrorsAndARefusedPressPrintsNoLayer)
{
    testing::TempDir dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--re", "0"}, {"--re", "-3e6"}, {"--re", "abc"}, {"--re", "1e999"},
             {"--re", "3e6", "--transition-upper", "1.5"},
             {"--re", "3e6", "--transition-lower", "-0.1"},
             {"--transition-upper", "0.3"}, {"--no-natural-transition"}, {"--ncrit", "9"},
             {"--re", "3e6", "--ncrit", "0"}, {"--re", "3e6", "--ncrit", "25"},
             {"--re", "3e6", "--ncrit", "nine"},
             // Only a whole text that is a number, and a Reynolds number the
             // layer's correlations are meant for.
             {"--re", "1,5e6"}, {"--re", "3e6x"}, {"--re", " 3e6"}, {"--re", "1e-300"},
             {"--re", "999"}, {"--re", "2e9"},
             {"--re", "3e6", "--transition-upper", "abc"},
             {"--re", "3e6", "--transition-lower", "0.5,"},
             {"--re", "3e6", "--ncrit", "9x"}}) {
        const BatchLines r = batch(args, dir);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find("usage: tavrixs-batch"), std::string::npos);
        EXPECT_NE(r.err.find("--re NUMBER"), std::string::npos);
    }
    // The ends of the range and the other ways of writing a number are taken.
    for (const char* re : {"1e3", "1000000000", "+3E6", "3000000.0"})
        EXPECT_EQ(batch({"--points", "61", "--re", re, "--one-way"}, dir).status, 0) << re;
    const BatchLines refused = batch({"--mach", "1.2", "--re", "3e6", "--one-way"}, dir);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.lines, (std::vector<std::string>{"CL = ", "CMc/4 = "}));
}

}  // namespace
}  // namespace tavrix
