// tavrixs-batch with --re: the coupled viscous-inviscid point after the
// press and its stations' table, a prescribed lift and the sweep's polar.
#include "tools/batch/CoupledRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/NumberText.h"
#include "support/Batch.h"
#include "viscous/InviscidCoupling.h"

namespace tavrix {
namespace {

using testing::batch;
using testing::BatchResult;

// xfoil's own 161 nodes of NACA 0012 with a closed trailing edge, and the
// vortex panel method: the iteration converges there over the attached range
// (the program's own 101-point section, with its trailing-edge panels a tenth
// of a per cent of the chord long, does not converge yet).
const std::string kSection =
    std::string(TAVRIX_SOURCE_DIR) + "/tests/data/xfoil_viscous/naca0012_161.dat";

std::vector<std::string> onSection(std::vector<std::string> args)
{
    args.insert(args.begin(), {"--file", kSection, "--method", "vortex"});
    return args;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> fieldsOf(const std::string& row)
{
    std::vector<std::string> fields;
    std::istringstream in(row);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    if (!row.empty() && row.back() == ',') fields.emplace_back();
    return fields;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

double numberAfter(const std::string& line, const std::string& prefix)
{
    EXPECT_TRUE(startsWith(line, prefix)) << line;
    return std::stod(line.substr(prefix.size()));
}

std::string rounded(double v, int decimals) { return generalForm(roundHalfEven(v, decimals), '.'); }

void expectNoNonFiniteNumber(const std::string& text)
{
    for (const char* word : {"nan", "NaN", "inf"}) EXPECT_EQ(text.find(word), std::string::npos) << text;
}

TEST(CoupledBatch, aConvergedPointPrintsTheViscousLinesAfterThePress)
{
    testing::TempDir plain, coupled;
    const std::string table = (coupled.path() / "layer.csv").string();
    const std::vector<std::string> press = onSection({"--alpha", "2"});
    std::vector<std::string> withRe = press;
    withRe.insert(withRe.end(), {"--re", "3e6", "--bl-csv", table});
    const BatchResult a = batch(press, plain), b = batch(withRe, coupled);
    ASSERT_EQ(b.status, 0) << b.err;
    const std::vector<std::string> lines = linesOf(b.out);
    ASSERT_EQ(lines.size(), 12u) << b.out;
    // The press's lines and files are those of a press without the layer.
    EXPECT_EQ(lines[0] + "\n" + lines[1] + "\n", a.out);
    for (const char* file : {kReportFile, kColumnFile})
        EXPECT_EQ(testing::readFile(plain.path() / file), testing::readFile(coupled.path() / file));

    EXPECT_TRUE(startsWith(lines[3], "viscous CMc/4 = ")) << lines[3];
    // The displacement of the layer takes lift off the inviscid flow; the
    // drag is its pressure part and the friction.
    const double inviscidCL = numberAfter(lines[0], "CL = ");
    const double CL = numberAfter(lines[2], "viscous CL = ");
    EXPECT_GT(CL, 0.8 * inviscidCL);
    EXPECT_LT(CL, inviscidCL);
    const double CD = numberAfter(lines[4], "CD = ");
    const double CDp = numberAfter(lines[5], "CDp = ");
    const double CDf = numberAfter(lines[6], "CDf = ");
    EXPECT_NEAR(CDp + CDf, CD, 1.5e-5);
    EXPECT_GT(CDf, CDp);
    EXPECT_GT(CD, 0.004);
    EXPECT_LT(CD, 0.008);
    // Free transition by e^n, further aft on the lower surface at a positive angle.
    EXPECT_LT(numberAfter(lines[7], "transition upper x/c = "),
              numberAfter(lines[8], "transition lower x/c = "));
    EXPECT_NE(lines[7].find(" (e^n)"), std::string::npos);
    EXPECT_EQ(lines[9], "separation upper x/c = none");
    EXPECT_EQ(lines[10], "separation lower x/c = none");
    EXPECT_EQ(lines[11], "converged = yes");

    // The stations' table holds every station of the layer and wake.
    const std::string text = testing::readFile(table);
    expectNoNonFiniteNumber(text);
    const std::vector<std::string> rows = linesOf(text);
    // 160 panels between the two trailing-edge points, and a wake of a fifth
    // as many panels (at least 10).
    ASSERT_EQ(rows.size(), 1u + 162 + 32);
    EXPECT_EQ(rows[0], "method,alpha,side,x,y,xi,ue,theta,delta_star,H,Cf,n,C_tau,turbulent");
    int upper = 0, lower = 0, wake = 0;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const std::vector<std::string> f = fieldsOf(rows[k]);
        ASSERT_EQ(f.size(), 14u) << rows[k];
        EXPECT_EQ(f[0], "Vortex panel");
        EXPECT_EQ(f[1], "2");
        upper += f[2] == "upper";
        lower += f[2] == "lower";
        wake += f[2] == "wake";
        // n belongs to laminar stations, C_tau to turbulent ones.
        EXPECT_EQ(f[13] == "1", f[11].empty()) << rows[k];
        EXPECT_EQ(f[13] == "1", !f[12].empty()) << rows[k];
        EXPECT_GT(std::stod(f[7]), 0);  // theta
        EXPECT_GT(std::stod(f[9]), 1);  // H
    }
    EXPECT_EQ(upper + lower, 162);
    EXPECT_EQ(wake, 32);
    // At a positive angle the stagnation point lies on the lower surface.
    EXPECT_GT(upper, lower);
    // The printed drag is Squire and Young's at the last wake station,
    // 2 theta ue^((H + 5) / 2).
    const std::vector<std::string> last = fieldsOf(rows.back());
    const double theta = std::stod(last[7]), ue = std::stod(last[6]), H = std::stod(last[9]);
    const double squireYoung = 2 * theta * std::pow(ue, (H + 5) / 2);
    EXPECT_EQ(lines[4], "CD = " + rounded(squireYoung, 5));

    // A trip ahead of free transition moves it there and is named so.
    withRe.insert(withRe.end(), {"--transition-lower", "0.5"});
    const BatchResult tripped = batch(withRe, coupled);
    ASSERT_EQ(tripped.status, 0) << tripped.out;
    EXPECT_EQ(linesOf(tripped.out).at(8), "transition lower x/c = 0.5 (forced)");
    EXPECT_GT(numberAfter(linesOf(tripped.out).at(4), "CD = "), CD);
}

TEST(CoupledBatch, aPointThatDoesNotConvergeSaysWhyAndExitsFour)
{
    // Far past the stall of the section, beyond the angles a failed point
    // is walked to from 0 (a fresh start only, cheap under the sanitizers).
    testing::TempDir dir;
    const std::string table = (dir.path() / "layer.csv").string();
    const BatchResult r =
        batch(onSection({"--alpha", "30", "--re", "3e6", "--bl-csv", table}), dir);
    EXPECT_EQ(r.status, 4);
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_TRUE(startsWith(lines[0], "CL = 3."));
    EXPECT_TRUE(startsWith(lines[2], "converged = no (")) << lines[2];
    EXPECT_EQ(lines[2].back(), ')');
    expectNoNonFiniteNumber(r.out);
    // No table of an iterate that is no solution.
    EXPECT_FALSE(std::filesystem::exists(table));
    EXPECT_NE(r.err.find("not written"), std::string::npos);
}

// The default press (NACA 0012 of 51 points) at Re 3e6, 9 and 10 degrees:
// the lower layer runs laminar nearly to the trailing edge, where its
// stations are a thousandth of the chord apart, and the transition there
// walked to and fro without end. Each point converges on its own, with the
// transition in the last hundredth of the chord and the lift of xfoil's
// polar on its own 161 nodes of the section (0.9922 and 1.1160; lower
// transition 0.9937 and 0.9977). No laminar station of the converged layer
// lies past Ncrit by more than the band of hysteresis (0.3). The
// Kennedy-Marsden coupling at 10 degrees then went round a cycle at the
// stagnation point, which settles there about a quarter of its interval from
// a station: the Newton step with that station copying its neighbour's layer
// put the point at a third, the one without the copy at an eighth.
TEST(CoupledBatch, theDefaultPressConvergesWithItsLowerTransitionAtTheTrailingEdge)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "five single points of Newton solves on 300 stations; run in the optimised build";
#endif
    const std::map<std::string, double> xfoilCl{{"9", 0.9922}, {"10", 1.1160}};
    const std::pair<const char*, const char*> presses[] = {
        {"soinne", "9"}, {"soinne", "10"}, {"vortex", "9"}, {"vortex", "10"}, {"kennedy", "10"}};
    for (const auto& [method, alpha] : presses) {
        const double cl = xfoilCl.at(alpha);
        SCOPED_TRACE(std::string(method) + " " + alpha);
        testing::TempDir dir;
        const std::string table = (dir.path() / "layer.csv").string();
        const BatchResult r =
            batch({"--method", method, "--alpha", alpha, "--re", "3e6", "--bl-csv", table}, dir);
        ASSERT_EQ(r.status, 0) << r.out;
        const std::vector<std::string> lines = linesOf(r.out);
        ASSERT_EQ(lines.size(), 12u) << r.out;
        const std::vector<std::string> rows = linesOf(testing::readFile(table));
        int laminar = 0;
        for (std::size_t k = 1; k < rows.size(); ++k) {
            const std::vector<std::string> f = fieldsOf(rows[k]);
            if (f.at(13) != "0") continue;
            ++laminar;
            EXPECT_LT(std::stod(f.at(11)), 9.3) << rows[k];
        }
        EXPECT_GT(laminar, 0);
        EXPECT_EQ(lines[11], "converged = yes");
        EXPECT_NEAR(numberAfter(lines[2], "viscous CL = "), cl, 0.015 * cl);
        // (or at the edge itself: the Kennedy-Marsden coupling's lower layer
        // reaches it with n 8.77, laminar throughout)
        if (lines[8] == "transition lower x/c = none (laminar to the trailing edge)" &&
            std::string(method) == "kennedy")
            continue;
        const double lowerTransition = numberAfter(lines[8], "transition lower x/c = ");
        EXPECT_GT(lowerTransition, 0.99);
        EXPECT_LT(lowerTransition, 1.0);
    }
}

TEST(CoupledBatch, aPrescribedLiftFindsItsAngle)
{
    testing::TempDir dir;
    const BatchResult r =
        batch(onSection({"--alpha", "3", "--re", "3e6", "--cl", "0.3"}), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 13u) << r.out;
    const double inviscidCL = numberAfter(lines[0], "CL = ");
    const double alpha = numberAfter(lines[2], "alpha = ");
    EXPECT_EQ(lines[3], "viscous CL = 0.3");
    // The inviscid lift of the symmetric section is linear through zero: it
    // reaches 0.3 at 3 * 0.3 / CL(3); the layer costs lift, so the angle of
    // the viscous lift lies beyond that, but not by a degree.
    const double inviscidAlpha = 3 * 0.3 / inviscidCL;
    EXPECT_GT(alpha, inviscidAlpha);
    EXPECT_LT(alpha, inviscidAlpha + 1);
    EXPECT_EQ(lines[12], "converged = yes");
}

TEST(CoupledBatch, theSweepPolarLeavesOutThePointsThatDidNotConverge)
{
    testing::TempDir dir;
    const std::string polar = (dir.path() / "p.pol").string();
    const std::string csv = (dir.path() / "c.csv").string();
    const std::string table = (dir.path() / "layer.csv").string();
    // (89 degrees: no stagnation point on the contour, refused at once.)
    const BatchResult r = batch(onSection({"--sweep", "2:89:87", "--re", "3e6", "--polar",
                                 polar, "--csv", csv, "--bl-csv", table}),
                                dir);
    EXPECT_EQ(r.status, 0) << r.err;  // a sweep flags its points
    expectNoNonFiniteNumber(r.out);
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    // One converged point: no maximum of the lift inside the range.
    EXPECT_EQ(lines[2], "CLmax = none in range");
    EXPECT_NE(lines[0].find(" viscous CL = "), std::string::npos);
    EXPECT_TRUE(lines[0].ends_with(" converged = yes")) << lines[0];
    EXPECT_NE(lines[1].find("CMc/4 = -0.0013 converged = no (the stagnation point lies at the "
                            "trailing edge"),
              std::string::npos)
        << lines[1];

    // The angle of 2 degrees is the press's point at that angle.
    const BatchResult point = batch(onSection({"--alpha", "2", "--re", "3e6"}), dir);
    ASSERT_EQ(point.status, 0);
    const std::string viscousCL = linesOf(point.out).at(2).substr(13);
    const std::string CD = linesOf(point.out).at(4).substr(5);
    EXPECT_NE(lines[0].find(" viscous CL = " + viscousCL + " "), std::string::npos);
    EXPECT_NE(lines[0].find(" CD = " + CD + " "), std::string::npos);

    const std::vector<std::string> polarRows = linesOf(testing::readFile(polar));
    ASSERT_EQ(polarRows.size(), 13u);  // twelve lines of header, one angle
    EXPECT_NE(polarRows[8].find("Re =     3.000 e 6     Ncrit =   9.000"), std::string::npos);
    EXPECT_EQ(polarRows[10], "   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr");
    std::istringstream row(polarRows[12]);
    double alpha = 0, CL = 0;
    row >> alpha >> CL;
    EXPECT_EQ(alpha, 2);
    EXPECT_NEAR(CL, std::stod(viscousCL), 5e-5);

    const std::vector<std::string> csvRows = linesOf(testing::readFile(csv));
    ASSERT_EQ(csvRows.size(), 3u);
    EXPECT_TRUE(csvRows[0].ends_with(",CL_viscous,CM_viscous,CD,CDp,CDf,Top_Xtr,Bot_Xtr,"
                                     "Top_Xsep,Bot_Xsep,converged,reason"));
    EXPECT_TRUE(csvRows[1].ends_with(",yes,")) << csvRows[1];
    EXPECT_NE(csvRows[2].find(",,,,,,,,,,no,\""), std::string::npos) << csvRows[2];
    EXPECT_EQ(fieldsOf(csvRows[0]).size(), fieldsOf(csvRows[1]).size());

    // The stations of the converged angle alone.
    EXPECT_EQ(linesOf(testing::readFile(table)).size(), 1u + 162 + 32);
}

// The line that ends a coupled sweep: the largest converged lift inside
// the range, in the press's decimal separator; a larger lift at a point that
// did not converge does not count.
TEST(CoupledBatch, theSweepEndsWithTheMaximumLiftOfTheConvergedPoints)
{
    std::vector<CoupledPoint> points(5);
    const double alpha[] = {10, 12, 14, 16, 18}, cl[] = {1.2, 1.31, 1.25, 1.6, 1.1};
    for (std::size_t k = 0; k < points.size(); ++k) {
        points[k].alphaDeg = alpha[k];
        points[k].CL = cl[k];
        points[k].converged = k != 3;
    }
    EXPECT_EQ(liftMaximumLine(points, '.'), "CLmax = 1.31 at alpha = 12");
    EXPECT_EQ(liftMaximumLine(points, ','), "CLmax = 1,31 at alpha = 12");
    points.resize(2);
    EXPECT_EQ(liftMaximumLine(points, '.'), "CLmax = none in range");
}

TEST(CoupledBatch, optionsTheCoupledAnalysisCannotTakeAreUsageErrors)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--cl", "0.3"}, {"--re", "3e6", "--cl", "0.3x"}, {"--re", "3e6", "--cl", "abc"},
             {"--re", "3e6", "--cl", "nan"}, {"--re", "3e6", "--cl", ""},
             {"--re", "3e6", "--one-way", "--cl", "0.3"},
             {"--sweep", "0:2:1", "--re", "3e6", "--cl", "0.3"}, {"--bl-csv", "layer.csv"},
             {"--re", "3e6", "--one-way", "--bl-csv", "layer.csv"}, {"--one-way"},
             {"--re", "3e6", "--no-natural-transition"}, {"--re", "3e6", "--no-circulation"},
             {"--re", "3e6", "--mach", "0.3"}, {"--sweep", "0:2:1", "--re", "3e6", "--mach", "0.3"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(runBatch(args, out, err), 2) << args.back();
        EXPECT_NE(err.str().find("usage: tavrixs-batch"), std::string::npos);
    }
}

TEST(CoupledBatch, everyMethodWithoutACouplingIsRefusedNamingThoseWithOne)
{
    const std::map<std::string, std::string> values = {{"--re", "3e6"}};
    for (PanelMethod method : kAllMethods) {
        const PanelMethod one[] = {method};
        const std::string refusal =
            coupled::couplingAvailable(method) ? "" : coupled::couplingRefusal(method).message;
        EXPECT_EQ(coupledOptionError(values, {}, one).value_or(""), refusal);
        EXPECT_FALSE(coupledOptionError(values, {kOneWay}, one));  // the one-way layer takes any
    }
}

}  // namespace
}  // namespace tavrix
