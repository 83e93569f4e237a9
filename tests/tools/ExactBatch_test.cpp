// tavrixs-batch --exact: the press compared with the exact flow of the
// Karman-Trefftz section.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/Batch.h"

namespace tavrix {
namespace {

using testing::batch;
using testing::BatchResult;

// The number after `label` on its own line of the output, or NaN.
double valueAfter(const std::string& out, const std::string& label)
{
    const auto at = out.find("\n" + label);
    if (at == std::string::npos) return std::nan("");
    return std::stod(out.substr(at + 1 + label.size()));
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return out;
}

TEST(ExactBatch, PrintsTheExactCoefficientsAfterThePress)
{
    testing::TempDir dir;
    const BatchResult r = batch(
        {"--karman-trefftz", "--alpha", "5", "--method", "soinne", "--points", "101", "--exact"},
        dir);
    ASSERT_EQ(r.status, 0) << r.err;
    // The lines follow the two boxes of the press, in this order.
    std::size_t previous = 0;
    for (const char* label : {"\nCL = ", "\nCL exact = ", "\nCMc/4 exact = ", "\nmax |Cp - Cp exact| = "}) {
        const auto at = r.out.find(label);
        ASSERT_NE(at, std::string::npos) << label;
        EXPECT_GE(at, previous) << label;
        previous = at + 1;
    }
    EXPECT_EQ(r.out.back(), '\n');
    // Default inputs: the 10 % Joukowsky section, whose lift slope is
    // 2 pi (1 + F/(1 + F)) with F = 0.0835 (about 2 pi (1 + 0.77 t/c)).
    const double pi = std::numbers::pi;
    const double expected = 2 * pi * (1 + 0.0835 / 1.0835) * std::sin(5 * pi / 180);
    EXPECT_NEAR(valueAfter(r.out, "CL exact = "), expected, 2e-4);
    // Calculated and exact CL agree to the discretisation error.
    EXPECT_NEAR(valueAfter(r.out, "CL = "), valueAfter(r.out, "CL exact = "), 0.005);
    EXPECT_GT(valueAfter(r.out, "max |Cp - Cp exact| = "), 0);
}

TEST(ExactBatch, ExactColumnFileSitsBesideTheColumnFile)
{
    testing::TempDir dir;
    const BatchResult r = batch({"--karman-trefftz", "--thickness", "0.12", "--camber", "0.04",
                                 "--te-angle", "10", "--alpha", "3", "--method", "kennedy",
                                 "--points", "41", "--exact"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> exact = lines(testing::readFile(dir.path() / "Exact.xls"));
    const std::vector<std::string> columns = lines(testing::readFile(dir.path() / kColumnFile));
    ASSERT_EQ(exact.size(), 40u) << "one line per control point";
    ASSERT_EQ(columns.size(), 41u) << "and TavrixS.xls has the CL/CM line besides";
    double largest = 0;
    for (std::size_t i = 0; i < exact.size(); ++i) {
        // XM and the calculated Cu are the texts of TavrixS.xls; zones start
        // in columns 1, 15, 29, ... and every bare number has a sign place.
        const std::string& line = exact[i];
        const std::string& reference = columns[i];
        EXPECT_EQ(line.substr(0, reference.size()), reference) << i;
        EXPECT_EQ(line[0], ' ');
        std::istringstream fields(line);
        double xm = 0, cu = 0, cuExact = -1;
        fields >> xm >> cu >> cuExact;
        ASSERT_FALSE(fields.fail()) << line;
        const auto third = line.find_first_not_of(' ', reference.size());
        EXPECT_EQ(third % 14, line[third] == '-' ? 0u : 1u) << line;
        EXPECT_GE(cuExact, 0);
        EXPECT_LT(cuExact, 4);
        largest = std::max(largest, std::fabs(cu - cuExact));
    }
    EXPECT_NEAR(valueAfter(r.out, "max |Cp - Cp exact| = "), largest, 0.5e-4);
}

TEST(ExactBatch, SymmetricSectionAtZeroIncidence)
{
    testing::TempDir dir;
    const BatchResult r = batch(
        {"--karman-trefftz", "--te-angle", "12", "--exact", "--mach=0", "--eta", "0.0"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nCL exact = 0\nCMc/4 exact = 0\n"), std::string::npos) << r.out;
}

TEST(ExactBatch, OnlyTheKarmanTrefftzSourceInIncompressibleUnrotatedFlow)
{
    testing::TempDir dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--exact"}, {"--naca0012", "--exact"}, {"--exact", "--circle"},
             {"--file", "x.arf", "--exact"}, {"--karman-trefftz", "--exact", "--mach", "0.3"},
             {"--karman-trefftz", "--exact", "--eta", "2"}, {"--karman-trefftz", "--exact=1"}}) {
        const BatchResult r = batch(args, dir);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1 % args.size()];
        EXPECT_NE(r.err.find("usage: tavrixs-batch"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Exact.xls"));
}

TEST(ExactBatch, RefusedPressPrintsNoComparison)
{
    testing::TempDir dir;
    const BatchResult r =
        batch({"--karman-trefftz", "--points", "31", "--exact", "--alpha", "1e400"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "message: Number too large: 1e400\n");
    EXPECT_EQ(r.out.find("exact"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Exact.xls"));
}

}  // namespace
}  // namespace tavrix
