#include "tools/batch/CasesRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <tuple>
#include <sstream>

#include "support/Batch.h"

namespace tavrix {
namespace {

namespace fs = std::filesystem;
using testing::BatchResult;

BatchResult batch(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = runBatch(args, out, err);
    return {status, out.str(), err.str()};
}

void writeText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The fields of a results line that holds no quoted field.
std::vector<std::string> splitFields(const std::string& line)
{
    std::vector<std::string> fields;
    for (std::size_t start = 0, comma = 0; comma != std::string::npos; start = comma + 1) {
        comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
    }
    return fields;
}

TEST(CaseList, HeaderNamesTheColumnsInAnyOrderAndRowsMayBeQuoted)
{
    const CaseList list = parseCaseList(
        "\xEF\xBB\xBF" "Method , airfoil,alpha_to\r\n"
        "\r\n"
        "# a comment line\r\n"
        "vortex,\"NACA 2412\",4\r\n"
        ",,\r\n"
        "  hess , \"my, \"\"odd\"\" file.dat\" ,\r"
        "soinne,0012,2\n");
    ASSERT_EQ(list.error, "");
    ASSERT_EQ(list.rows.size(), 3u);
    // Line, airfoil, method, alpha_to and no reason; a lone CR ends a line too.
    const std::tuple<std::size_t, std::string, std::string, std::string, std::string> want[] = {
        {4, "NACA 2412", "vortex", "4", ""}, {6, "my, \"odd\" file.dat", "hess", "", ""},
        {7, "0012", "soinne", "2", ""}};
    for (std::size_t k = 0; k < 3; ++k) {
        const CaseRow& r = list.rows[k];
        EXPECT_EQ(std::tie(r.line, r.fields[0], r.fields[2], r.fields[4], r.malformed), want[k]);
    }
}

TEST(CaseList, AListThatCannotBeUsedSaysWhy)
{
    const std::map<std::string, std::string> lists = {
        {"", "no header row"},
        {"\n# only a comment\n", "no header row"},
        {"airfoil,alpha\n0012,1\n", "unknown column \"alpha\""},
        {"airfoil,points,Points\n", "points is named twice"},
        {"points,method\n51,hess\n", "no airfoil column"},
        {"airfoil,,mach\n", "unknown column \"\""},
        {"\"airfoil,mach\n", "not closed"},
    };
    for (const auto& [text, reason] : lists) {
        const CaseList list = parseCaseList(text);
        EXPECT_NE(list.error.find(reason), std::string::npos) << text << " gave " << list.error;
    }
}

TEST(CaseList, AMalformedRowIsACaseWithItsReasonNotTheEndOfTheList)
{
    const CaseList list = parseCaseList(
        "airfoil,mach\n"
        "0012,0.1,extra\n"
        "0012\n"
        "\"0012,0.1\n"
        "\"0012\"x,0.1\n"
        "00\"12,0.1\n"
        "0012,0.2\n");
    ASSERT_EQ(list.error, "");
    ASSERT_EQ(list.rows.size(), 6u);
    EXPECT_EQ(list.rows[0].malformed, "line 2 has 3 fields, the header row names 2 columns");
    EXPECT_EQ(list.rows[1].malformed, "line 3 has 1 fields, the header row names 2 columns");
    EXPECT_NE(list.rows[2].malformed.find("line 4: a quoted field is not closed"), std::string::npos);
    EXPECT_NE(list.rows[3].malformed.find("line 5: text follows the closing quote"),
              std::string::npos);
    EXPECT_NE(list.rows[4].malformed.find("line 6: a quote inside"), std::string::npos);
    EXPECT_EQ(list.rows[5].malformed, "");
}

// The results file of this case list, run from the folder with this many threads.
std::string runList(const testing::TempDir& dir, const std::string& list, int jobs = 2)
{
    const fs::path file = dir.path() / "list.csv", results = dir.path() / "results.csv";
    writeText(file, list);
    const BatchResult r = batch({"--cases", file.string(), "--jobs", std::to_string(jobs), "--out",
                                 results.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    return testing::readFile(results);
}

TEST(Cases, TheResultsHoldTheSameBytesWhateverTheNumberOfThreads)
{
    testing::TempDir dir;
    // A slow case first, so that later ones finish before it and wait.
    std::string list = "airfoil,points,method,alpha_from,alpha_to,alpha_step,re,ncrit\n"
                       "0012,999,soinne,-10,10,0.5,,\n";
    const char* sections[] = {"2412", "4415", "0006", "23012", "6409", "0018"};
    const char* methods[] = {"hess", "vortex", "kennedy", "soinne"};
    for (int k = 0; k < 12; ++k)
        list += std::string(sections[k % 6]) + "," + std::to_string(61 + 10 * k) + "," +
                methods[k % 4] + ",-2,6,2," + (k % 3 == 0 ? "2e6,9" : ",") + "\n";
    list += "2419x,,,,,,,\n";
    const std::string one = runList(dir, list, 1);
    EXPECT_EQ(runList(dir, list, 2), one);
    EXPECT_EQ(runList(dir, list, 7), one);
    const auto lines = splitLines(one);
    ASSERT_EQ(lines.size(), 1u + 41 + 12 * 5 + 1);
    EXPECT_EQ(lines.front() + "\n", kCaseResultHeader);
    // In the order of the list, the angles of each case in order.
    std::size_t previous = 0;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::size_t number = std::stoul(lines[k]);
        EXPECT_TRUE(number == previous || number == previous + 1) << lines[k];
        previous = number;
    }
    EXPECT_EQ(previous, 14u);
}

// The lines of the CSV table of --sweep with these options, run in the folder.
std::vector<std::string> sweptTable(const testing::TempDir& dir, std::vector<std::string> args)
{
    args.insert(args.end(), {"--csv", (dir.path() / "s.csv").string()});
    const BatchResult sweep = testing::batch(args, dir);
    EXPECT_EQ(sweep.status, 0) << sweep.err;
    return splitLines(testing::readFile(dir.path() / "s.csv"));
}

// The inviscid polar of a case is the sweep of --sweep on the same section,
// bit for bit (the sweep's CSV prints the same shortest forms).
TEST(Cases, AnInviscidCaseIsTheSweepOfTheSameSection)
{
    testing::TempDir dir;
    const auto rows = splitLines(runList(dir, "alpha_step,alpha_to,airfoil,mach,correction\n"
                                              "0.1,0.3,NACA 4412,0.4,karman-tsien\n"
                                              ",,2412,,\n"));
    ASSERT_EQ(rows.size(), 1u + 4 + 1);
    const auto swept = sweptTable(dir, {"--naca", "4412", "--points", "51", "--sweep", "0:0.3:0.1",
                                        "--mach", "0.4", "--correction", "karman-tsien"});
    ASSERT_EQ(swept.size(), 5u);
    for (std::size_t k = 0; k < 4; ++k) {
        const auto ours = splitFields(rows[k + 1]);
        const auto theirs = splitFields(swept[k + 1]);
        // alpha, CL, CDp, CM of method,alpha,CL,CDp_inviscid,CM,...
        for (const auto& [o, t] : {std::pair{5, 1}, {6, 2}, {8, 3}, {9, 4}})
            EXPECT_EQ(ours[o], theirs[t]) << rows[k + 1];
        EXPECT_EQ(ours[7], ours[8]);  // inviscid: CD is the pressure drag
        EXPECT_EQ(ours[12], "1");
    }
    EXPECT_EQ(splitFields(rows[2])[5], "0.1");
    EXPECT_EQ(splitFields(rows[4])[5], "0.3");  // as typed, not 0.1 + 0.1 + 0.1
    // The defaults: 51 points, Hess, alpha 0, no Mach number; 2412 has lift at 0.
    const auto last = splitFields(rows[5]);
    EXPECT_EQ(last[2], "hess");
    EXPECT_EQ(last[4], "0");
    EXPECT_EQ(last[5], "0");
    EXPECT_GT(std::stod(last[6]), 0.2);
}

// With viscous coupled a case is the coupled sweep of --sweep --re on the
// same section, to the bit: the viscous CL and CM, the drags and transition
// points; an angle that does not converge has no numbers and its reason.
TEST(Cases, ACoupledCaseIsTheCoupledSweepOfTheSameSection)
{
    testing::TempDir dir;
    const auto rows = splitLines(
        runList(dir, "airfoil,points,method,alpha_from,alpha_to,alpha_step,re,viscous,mach\n"
                     "2412,161,soinne,0,4,2,3e6,coupled,\n"
                     "0012,161,soinne,2,24,22,1e5,coupled,\n"
                     "0012,61,hess,0,0,1,1e6,two-way,\n"
                     "0012,61,hess,0,0,1,,coupled,\n"
                     "0012,61,hess,0,0,1,1e6,coupled,0.3\n"));
    ASSERT_EQ(rows.size(), 1u + 3 + 2 + 3);
    const auto swept = sweptTable(dir, {"--naca", "2412", "--points", "161", "--method", "soinne",
                                        "--sweep", "0:4:2", "--re", "3e6"});
    ASSERT_EQ(swept.size(), 4u);
    // method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit,CL_viscous,CM_viscous,CD,CDp,CDf,
    // Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,converged,reason
    for (std::size_t k = 0; k < 3; ++k) {
        const auto ours = splitFields(rows[k + 1]);
        const auto theirs = splitFields(swept[k + 1]);
        ASSERT_EQ(theirs[16], "yes");
        // alpha, viscous CL, CD, CDp, viscous CM, Top_Xtr, Bot_Xtr
        for (const auto& [o, t] : {std::pair{5, 1}, {6, 7}, {7, 9}, {8, 10}, {9, 8}, {10, 12}, {11, 13}})
            EXPECT_EQ(ours[o], theirs[t]) << rows[k + 1];
        EXPECT_EQ(ours[12], "1");
    }
    // Far past the stall at a low Reynolds number: no numbers, the reason.
    EXPECT_EQ(splitFields(rows[4])[12], "1");
    const auto stalled = splitFields(rows[5]);
    EXPECT_EQ(stalled[5], "24");
    for (std::size_t f = 6; f <= 11; ++f) EXPECT_EQ(stalled[f], "") << rows[5];
    EXPECT_EQ(stalled[12], "0");
    EXPECT_NE(rows[5].find("iterations"), std::string::npos) << rows[5];
    EXPECT_NE(rows[6].find("unknown viscous model two-way (one-way or coupled)"), std::string::npos);
    EXPECT_NE(rows[7].find("viscous coupled needs re"), std::string::npos);
    EXPECT_NE(rows[8].find("viscous coupled takes no mach"), std::string::npos);
}

TEST(Cases, BadCasesGiveRowsWithTheirReasonNeverACrashOrANumberThatIsNone)
{
    testing::TempDir dir;
    // Two loops crossing at mid chord.
    writeText(dir.path() / "crossing.dat",
              "crossing\n1 0\n0.5 -0.1\n0 0\n0.5 0.1\n1 0\n0.75 -0.05\n0.25 0.05\n0 0\n"
              "0.25 -0.05\n0.75 0.05\n1 0\n");
    writeText(dir.path() / "nan.dat", "NaN section\n1 0\nnan 0.1\n0 0\n0.5 -0.1\n1 0\n");
    std::ostringstream ellipse;
    ellipse << "fine ellipse\n";
    for (int k = 0; k <= 1200; ++k) {
        const double t = 2 * 3.14159265358979 * k / 1200;
        ellipse << 0.5 + 0.5 * std::cos(t) << ' ' << 0.06 * std::sin(t) << '\n';
    }
    writeText(dir.path() / "fine.dat", ellipse.str());
    // Each row of the list and a text each of its result rows holds
    // (nullptr: a converged result).
    const std::pair<std::string, std::vector<const char*>> cases[] = {
        {"crossing.dat,,,,,,,,,", {"crosses itself"}},
        {"nan.dat,,,,,,,,,", {"nan.dat"}},
        {"0012,,vortex,1e9,1e9,0,,,,", {nullptr}},  // 1e9 degrees is an angle like any other
        {"0012,,vortex,-1e9,1e9,1,,,,", {"at most 10001 angles"}},
        // Three points make two panels, a flat plate traced out and back.
        {"0012,3,hess,0,2,1,,,,", {"5,0012,hess,,0,0,", "", ""}},
        {"0012,100000,hess,,,,,,,", {"whole number from 2 to 1000"}},
        {"0012,51.5,hess,,,,,,,", {"whole number from 2 to 1000"}},
        {"0012,1e300,hess,,,,,,,", {"whole number from 2 to 1000"}},
        {"0012,,panel,,,,,,,", {"unknown method panel"}},
        {"0012,,,,,,,1.2,,", {"Mach number must be less than 1"}},
        {"0012,,,,,,1e12,,,", {"re needs a Reynolds number from 1e3 to 1e9"}},
        {"0012,,,,,,1e6,,30,", {"ncrit needs"}},
        {"0012,,,,,,1e6,,,1.5", {"xtr_upper needs"}},
        {"0012,,,abc,,,,,,", {"alpha_from \"\"abc\"\" is not a number"}},
        {"0012,,,nan,,,,,,", {"alpha_from \"\"nan\"\" is not a number"}},
        {"fine.dat,,vortex,,,,,,,", {"at most 1000 panel end points"}},
        {"fine.dat,161,vortex,,,,,,,", {nullptr}},  // repanelled to 161 points
        {"0012,1000,soinne,,,,,,,", {"at most 999 panel end points"}},
        // At 90 degrees the layer finds no stagnation point: the angle's row
        // keeps CL and says why it has no drag.
        {"0012,121,vortex,0,90,90,1e6,,9,", {nullptr, "0,No stagnation point"}},
        {"missing.dat,,,,,,,,,", {"missing.dat"}},
    };
    std::string list = "airfoil,points,method,alpha_from,alpha_to,alpha_step,re,mach,ncrit,xtr_upper\n";
    for (const auto& c : cases) list += c.first + "\n";
    const auto rows = splitLines(runList(dir, list));
    for (const std::string& line : rows)
        for (const std::string& field : splitFields(line))
            for (const char* none : {"nan", "inf", "NaN", "Inf"}) EXPECT_NE(field, none) << line;
    std::size_t k = 1;
    for (const auto& [row, texts] : cases)
        for (const char* text : texts) {
            const std::string& line = rows.at(k++);
            if (text == nullptr)
                EXPECT_EQ(splitFields(line)[12], "1") << row << " gave " << line;
            else
                EXPECT_NE(line.find(text), std::string::npos) << row << " gave " << line;
        }
    EXPECT_EQ(rows.size(), k);
}

TEST(Cases, ExitStatusAndRefusalsOfTheRun)
{
    testing::TempDir dir;
    const std::string list = (dir.path() / "list.csv").string();
    writeText(list, "airfoil\n0012\n");
    // Command lines not understood.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--cases", list, "--jobs", "0"}, {"--cases", list, "--jobs", "2.5"},
             {"--cases", list, "--jobs", "abc"}, {"--jobs", "2"}, {"--out", "r.csv"},
             {"--cases", list, "--alpha", "2"}, {"--cases", list, "--naca", "2412"},
             {"--cases", list, "--compare"}, {"--cases", list, "--circle"}}) {
        const BatchResult r = batch(args);
        EXPECT_EQ(r.status, 2) << args[2];
        EXPECT_NE(r.err.find("usage: tavrixs-batch"), std::string::npos);
    }
    // A list or a results file that cannot be used.
    EXPECT_EQ(batch({"--cases", (dir.path() / "none.csv").string()}).status, 1);
    EXPECT_EQ(batch({"--cases", dir.path().string()}).status, 1);
    writeText(dir.path() / "bad.csv", "airfoil,speed\n0012,3\n");
    const BatchResult unknown = batch({"--cases", (dir.path() / "bad.csv").string()});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("unknown column \"speed\""), std::string::npos) << unknown.err;
    EXPECT_EQ(unknown.out, "");
    const BatchResult folder = batch({"--cases", list, "--out", dir.path().string()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("message: Cannot write"), std::string::npos);
    // Without --out the results go to standard output.
    const BatchResult out = batch({"--cases", list, "--jobs", "1"});
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(splitLines(out.out).size(), 2u);
    const BatchResult help = batch({"--help"});
    for (const char* option : {"--cases FILE.csv", "--jobs N", "--out RESULTS.csv"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    // A device that takes no bytes is no results file either.
    if (fs::exists("/dev/full")) {
        const BatchResult full = batch({"--cases", list, "--out", "/dev/full"});
        EXPECT_EQ(full.status, 1);
        EXPECT_NE(full.err.find("Cannot write \"/dev/full\""), std::string::npos) << full.err;
    }
}

}  // namespace
}  // namespace tavrix
