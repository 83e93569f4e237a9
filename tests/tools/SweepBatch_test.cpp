#include "tools/batch/SweepRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/Batch.h"
#include "tools/batch/BatchRun.h"
#include "viscous/BoundaryLayer.h"

namespace tavrix {
namespace {

using testing::batch;
using testing::BatchResult;

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(SweepAngles, stepsFromTheFirstAngleToTheLastAsTyped)
{
    // 0.1 + 2 x 0.1 is not the double 0.3; the angles are those the texts
    // 0, 0.1, 0.2, 0.3 read as.
    EXPECT_EQ(*SweepAngles("0:0.3:0.1"), (std::vector<double>{0, 0.1, 0.2, 0.3}));
    EXPECT_EQ(*SweepAngles("10:-10:-5"), (std::vector<double>{10, 5, 0, -5, -10}));
    EXPECT_EQ(*SweepAngles("0:1:0.3"), (std::vector<double>{0, 0.3, 0.6, 0.9}));
    EXPECT_EQ(*SweepAngles("+2.5:2.5:0"), (std::vector<double>{2.5}));
    EXPECT_EQ(SweepAngles("-5:15:0.5")->size(), 41u);
    EXPECT_EQ(SweepAngles("0:10000:1")->size(), kMaxSweepAngles);
    for (const char* bad : {"0:1", "0:1:2:3", "0:1:0", "0:1:-1", "a:1:1", "0:1:1x", "nan:1:1",
                            "0:inf:1", "0:10001:1", "", "::"})
        EXPECT_FALSE(SweepAngles(bad)) << bad;
}

TEST(SweepBatch, printsTheWindowsFiguresOfAPressAtEveryAngle)
{
    testing::TempDir dir;
    const BatchResult sweep = batch(
        {"--points", "61", "--sweep", "-2:5:3.5", "--method", "kennedy", "--eta", "2", "--mach", "0.4"},
        dir);
    ASSERT_EQ(sweep.status, 0) << sweep.err;
    EXPECT_EQ(sweep.err, "");
    EXPECT_EQ(count(sweep.out, "\n"), 3u);
    // Nothing of a press: the report as the start-up makes it, no column file.
    EXPECT_EQ(testing::readFile(dir.path() / kReportFile), "");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / kColumnFile));
    for (const char* alpha : {"-2", "1.5", "5"}) {
        testing::TempDir pressDir;
        const BatchResult press = batch(
            {"--points", "61", "--alpha", alpha, "--method", "kennedy", "--eta", "2", "--mach", "0.4"},
            pressDir);
        ASSERT_EQ(press.status, 0);
        // "CL = x\nCMc/4 = y\n" becomes "Kennedy-Marsden: alpha = a CL = x CMc/4 = y".
        std::string line = "Kennedy-Marsden: alpha = " + std::string(alpha) + " " + press.out;
        line[line.find('\n')] = ' ';
        EXPECT_NE(sweep.out.find(line), std::string::npos) << line << "\n" << sweep.out;
    }
}

TEST(SweepBatch, compareWritesAPolarPerMethodAndBothTables)
{
    testing::TempDir dir;
    const auto polar = dir.path() / "naca.pol", csv = dir.path() / "naca.csv",
               cp = dir.path() / "cp.csv";
    const BatchResult r =
        batch({"--points", "41", "--sweep", "0:8:4", "--compare", "--mach", "0.5",
               "--correction=karman-tsien", "--polar", polar.string(), "--csv", csv.string(),
               "--cp-csv", cp.string()},
              dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.out, "\n"), 12u);
    for (const char* method : {"hess", "vortex", "kennedy", "soinne"}) {
        const std::string text = testing::readFile(dir.path() / ("naca_" + std::string(method) + ".pol"));
        EXPECT_NE(text.find("Calculated polar for: NACA 0012"), std::string::npos) << method;
        EXPECT_NE(text.find("Mach =   0.500"), std::string::npos);
        EXPECT_NE(text.find("Karman-Tsien correction"), std::string::npos);
        const std::string rows = text.substr(text.find("  ------"));
        EXPECT_EQ(count(rows, "\n"), 1u + 3u);
        for (const char* alpha : {"\n   0.000 ", "\n   4.000 ", "\n   8.000 "})
            EXPECT_EQ(count(rows, alpha), 1u) << method << alpha;
    }
    const std::string table = testing::readFile(csv);
    EXPECT_EQ(table.rfind("method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit,correction_valid\n", 0),
              0u);
    EXPECT_EQ(count(table, "\n"), 1u + 4 * 3);
    EXPECT_EQ(count(table, "\nSoinne-Laine,4,"), 1u);
    EXPECT_EQ(count(testing::readFile(cp), "\n"), 1u + 4 * 3 * 40);
}

TEST(SweepBatch, pastTheCriticalMachNumberEveryAngleIsWarnedOfAndFlagged)
{
    testing::TempDir dir;
    const auto csv = dir.path() / "fast.csv";
    const BatchResult r = batch({"--naca", "2412", "--points", "121", "--sweep", "0:8:4", "--mach",
                                 "0.9", "--correction", "karman-tsien", "--csv", csv.string()},
                                dir);
    ASSERT_EQ(r.status, 0) << r.err;
    // The numbers are printed as computed, with a warning that they mean nothing.
    EXPECT_EQ(count(r.out, "\n"), 3u);
    EXPECT_NE(r.err.find("warning: Hess: the Karman-Tsien correction is not valid at alpha "),
              std::string::npos)
        << r.err;
    const std::string table = testing::readFile(csv);
    EXPECT_EQ(count(table, ",0\n"), 3u) << table;
    EXPECT_EQ(count(table, ",1\n"), 0u) << table;

    // At a Mach number where the section stays subcritical nothing is said.
    const BatchResult slow = batch({"--naca", "2412", "--points", "121", "--sweep", "0:4:4",
                                    "--mach", "0.3", "--csv", csv.string()},
                                   dir);
    ASSERT_EQ(slow.status, 0) << slow.err;
    EXPECT_EQ(slow.err.find("warning:"), std::string::npos) << slow.err;
    EXPECT_EQ(count(testing::readFile(csv), ",1\n"), 2u);
}

TEST(SweepBatch, aRefusedMethodEndsOnlyItsOwnSweep)
{
    testing::TempDir dir;
    const BatchResult r = batch({"--points", "1000", "--sweep", "0:2:1", "--compare"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "message: This panel method allows at most 999 panel end points\n");
    EXPECT_EQ(count(r.out, "\n"), 9u);
    EXPECT_EQ(count(r.out, "Soinne-Laine"), 0u);

    // A refusal that every method meets is shown once.
    const BatchResult mach = batch({"--sweep", "0:2:1", "--compare", "--mach", "-1"}, dir);
    EXPECT_EQ(mach.status, 1);
    EXPECT_EQ(mach.out, "");
    EXPECT_EQ(mach.err, "message: The free-stream Mach number must be less than 1\n");
}

TEST(SweepBatch, anUnwritableFileIsReportedAfterTheSweep)
{
    testing::TempDir dir;
    const auto csv = dir.path() / "missing" / "table.csv";
    const BatchResult r = batch({"--sweep", "0:1:1", "--csv", csv.string()}, dir);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(count(r.out, "\n"), 2u);
    EXPECT_EQ(r.err.rfind("message: Cannot write \"" + csv.string() + "\": ", 0), 0u);
}

// The text after "NAME = " up to the next blank or line end.
std::string valueAfter(const std::string& text, const std::string& name)
{
    const auto at = text.find(name + " = ");
    if (at == std::string::npos) return "";
    const auto from = at + name.size() + 3;
    return text.substr(from, text.find_first_of(" \n", from) - from);
}

TEST(SweepBatch, aReynoldsNumberGivesEveryAngleTheLayerOfItsPress)
{
    testing::TempDir dir;
    const std::string polar = (dir.path() / "p.pol").string(), csv = (dir.path() / "c.csv").string();
    const BatchResult sweep = batch({"--points", "101", "--sweep", "0:4:2", "--re", "3e6", "--one-way",
                                     "--transition-lower", "0.2", "--polar", polar, "--csv", csv},
                                    dir);
    ASSERT_EQ(sweep.status, 0) << sweep.err;
    std::vector<std::string> lines;
    std::istringstream in(sweep.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u) << sweep.out;
    EXPECT_EQ(lines[3], std::string("note: ") + kInviscidLiftNote);
    for (int k = 0; k < 3; ++k) {
        const std::string alpha = std::to_string(2 * k);
        const BatchResult press = batch({"--points", "101", "--alpha", alpha, "--re", "3e6", "--one-way",
                                         "--transition-lower", "0.2"},
                                        dir);
        ASSERT_EQ(press.status, 0) << press.err;
        for (const auto& [inSweep, ofPress] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"CD", "CD"}, {"transition upper", "transition upper x/c"},
                 {"lower", "transition lower x/c"}, {"separation upper", "separation upper x/c"}})
            EXPECT_EQ(valueAfter(lines[k], inSweep), valueAfter(press.out, ofPress)) << lines[k];
    }
    const std::string polarText = testing::readFile(polar);
    EXPECT_NE(polarText.find("Re =     3.000 e 6"), std::string::npos);
    EXPECT_NE(polarText.find("0.200 (bottom)"), std::string::npos);
    EXPECT_EQ(count(polarText, "\n"), 15u) << polarText;
    const std::string csvText = testing::readFile(csv);
    EXPECT_EQ(csvText.rfind("method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit,CD_boundary_layer,CD_friction,", 0), 0u);
    EXPECT_EQ(count(csvText, ",1\n"), 3u) << csvText;
}

TEST(SweepBatch, aContourWithoutFiniteResultIsRefusedAsThePressRefusesIt)
{
    // One ordinate of 1e308 overflows every panel sum that touches it.
    testing::TempDir dir;
    std::string text = testing::readFile(TAVRIX_SOURCE_DIR "/data/naca0012_61.arf");
    std::istringstream lines(text);
    std::string line, broken;
    for (int n = 1; std::getline(lines, line); ++n) {
        if (n == 12) line = line.substr(0, line.rfind(' ') + 1) + "1e308";
        broken += line + "\n";
    }
    const std::string file = (dir.path() / "overflow.arf").string();
    std::ofstream(file, std::ios::binary) << broken;

    const BatchResult press = batch({"--file", file}, dir);
    ASSERT_EQ(press.status, 1);
    const std::string refusal = "message: The calculation gave no finite result for this contour\n";
    ASSERT_EQ(press.err, refusal);

    const std::string polar = (dir.path() / "p.pol").string(), csv = (dir.path() / "c.csv").string(),
                      cp = (dir.path() / "cp.csv").string();
    const BatchResult sweep = batch({"--file", file, "--sweep", "0:2:1", "--compare", "--polar",
                                     polar, "--csv", csv, "--cp-csv", cp},
                                    dir);
    EXPECT_EQ(sweep.status, 1);
    EXPECT_EQ(sweep.out, "");  // no angle has a result to print
    EXPECT_EQ(sweep.err, refusal);  // once for the four methods
    for (const char* method : {"hess", "vortex", "kennedy", "soinne"})
        EXPECT_FALSE(std::filesystem::exists(dir.path() / ("p_" + std::string(method) + ".pol")));
    for (const std::string& table : {csv, cp}) {
        const std::string written = testing::readFile(table);
        EXPECT_EQ(count(written, "\n"), 1u) << written;  // the header alone
        EXPECT_EQ(written.find("nan"), std::string::npos);
        EXPECT_EQ(written.find("inf"), std::string::npos);
    }
}

TEST(SweepBatch, optionsOfAPressAndOfASweepDoNotMix)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--compare"}, {"--polar", "p.pol"}, {"--correction", "karman-tsien"},
             {"--sweep", "0:5:1", "--alpha", "3"}, {"--sweep", "0:5:1", "--save-matrix"},
             {"--sweep", "0:5:1", "--plot", "p.png"},
             {"--sweep", "0:5:1", "--compare", "--method", "hess"},
             {"--sweep", "0:5:1", "--correction", "laitone"}, {"--sweep", "0:5:1", "--re", "0"},
             {"--sweep", "0:5:1", "--transition-upper", "0.3"}, {"--sweep", "5:0:1"}, {"--sweep"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(runBatch(args, out, err), 2) << args[0] << " " << args.back();
        EXPECT_NE(err.str().find("usage: tavrixs-batch"), std::string::npos);
    }
}

}  // namespace
}  // namespace tavrix
