#include "app/PressSolvers.h"
#include "output/PolarFiles.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/Session.h"

namespace tavrix {
namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::vector<std::string> words(const std::string& line, char separator = ' ')
{
    std::vector<std::string> out;
    std::string word;
    for (char ch : line + separator) {
        if (ch == separator || (separator == ' ' && ch == '\t')) {
            if (!word.empty() || separator != ' ') out.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    return out;
}

bool number(const std::string& text, double& value)
{
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// The number a field holds; a field that is no number fails the test.
double numberIn(const std::string& text)
{
    double v = 0;
    if (number(text, v)) return v;
    ADD_FAILURE() << "not a number: \"" << text << '"';
    return std::nan("");
}

// A polar as the readers of saved polars take it in: the line before the
// dashed line names the columns, every later line holds one number per column.
struct ReadPolar {
    std::vector<std::string> columns;
    std::vector<std::vector<double>> rows;
    std::string section;
    double mach = -1;
    bool ok = false;
};

ReadPolar readPolar(const std::string& text)
{
    ReadPolar polar;
    const std::vector<std::string> all = lines(text);
    std::size_t dashed = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string& line = all[i];
        if (const auto at = line.find("Calculated polar for:"); at != std::string::npos)
            polar.section = line.substr(at + 22);
        if (const auto at = line.find("Mach ="); at != std::string::npos && polar.mach < 0)
            number(words(line.substr(at + 6))[0], polar.mach);
        if (line.find("------") != std::string::npos && i > 0) {
            dashed = i;
            break;
        }
    }
    if (dashed == 0) return polar;
    polar.columns = words(all[dashed - 1]);
    for (std::size_t i = dashed + 1; i < all.size(); ++i) {
        std::vector<double> row;
        for (const std::string& w : words(all[i])) {
            double v;
            if (!number(w, v)) return polar;
            row.push_back(v);
        }
        if (row.size() != polar.columns.size()) return polar;
        polar.rows.push_back(row);
    }
    polar.ok = true;
    return polar;
}

OperatingPoint point(double alpha, double CL, double CD, double CM)
{
    return {alpha, CL, CD, CM, {0.75, 0.25}, {-0.03125, 0.0625}, {}, {0.5, 1.5}, {0.25, 1.75}};
}

TEST(PolarFile, readsBackAsAPolarWithItsColumnsSectionAndMachNumberEvenWhenEmpty)
{
    MethodSweep sweep;
    sweep.method = PanelMethod::KennedyMarsden;
    sweep.outcome.points = {point(-2.5, -0.31236, 0.000123, 0.01234),
                            point(10, 1.23456, -0.00002, -0.0999)};
    SweepConditions conditions{"NACA 0012", 0.5, Compressibility::KarmanTsien};
    const std::string text = PolarFileText(conditions, sweep);
    const ReadPolar polar = readPolar(text);
    ASSERT_TRUE(polar.ok) << text;
    EXPECT_EQ(polar.columns, (std::vector<std::string>{"alpha", "CL", "CD", "CDp", "CM",
                                                       "Top_Xtr", "Bot_Xtr"}));
    EXPECT_EQ(polar.section, "NACA 0012");
    EXPECT_EQ(polar.mach, 0.5);
    ASSERT_EQ(polar.rows.size(), 2u);
    // alpha to 3 decimals, CL and CM to 4, the drags to 5; no friction drag
    // and no transition in inviscid flow.
    EXPECT_EQ(polar.rows[0], (std::vector<double>{-2.5, -0.3124, 0, 0.00012, 0.0123, 0, 0}));
    EXPECT_EQ(polar.rows[1], (std::vector<double>{10, 1.2346, 0, -0.00002, -0.0999, 0, 0}));
    EXPECT_NE(text.find("Kennedy-Marsden, Karman-Tsien correction"), std::string::npos);
    // The header says which drag is which: the inviscid file's CDp is the
    // pressure integral, its CD the absent boundary layer.
    EXPECT_NE(text.find("\n Inviscid flow: pressure drag = integrated Cp, drag = 0 (no boundary layer)\n"),
              std::string::npos);
    // The rows line up under the dashed line as saved polars do.
    const std::vector<std::string> all = lines(text);
    EXPECT_EQ(all[all.size() - 2], "  -2.500  -0.3124   0.00000   0.00012   0.0123   0.0000   0.0000");

    // An incompressible empty sweep still has its header.
    const ReadPolar empty = readPolar(PolarFileText(SweepConditions{"", 0, {}}, MethodSweep{}));
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.mach, 0);
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_EQ(empty.section, "unnamed section");
}

ViscousPoint layer(double CD, double CDf, double topXtr, double botXtr)
{
    ViscousPoint v;
    v.ok = true;
    v.CD = CD;
    v.CDfriction = CDf;
    v.transitionUpper = {topXtr < 1, 0, 0, 0, topXtr};
    v.transitionLower = {botXtr < 1, 0, 0, 0, botXtr};
    return v;
}

TEST(PolarFile, withABoundaryLayerCarriesItsDragTransitionAndReynoldsNumber)
{
    MethodSweep sweep;
    sweep.outcome.points = {point(0, 0, 0.0001, 0), point(4, 0.48, 0.0002, -0.001),
                            point(9, 1.01, 0.0003, -0.002), point(16, 1.6, 0.0004, -0.003)};
    sweep.viscous = {layer(0.00525, 0.00400, 0.75, 0.75), layer(0.00625, 0.0045, 0.125, 1),
                     ViscousPoint{}, layer(0.05, 0.001, 0.01, 1)};
    sweep.viscous[3].reliable = false;
    SweepConditions conditions{"NACA 0012", 0, {}};
    conditions.layer.Re = 3e6;
    conditions.layer.forcedTransitionLower = 0.5;
    const std::string text = PolarFileText(conditions, sweep);
    const ReadPolar polar = readPolar(text);
    ASSERT_TRUE(polar.ok) << text;
    EXPECT_NE(text.find(" xtrf =   1.000 (top)        0.500 (bottom)\n"), std::string::npos);
    EXPECT_NE(text.find("\n Boundary layer: drag by Squire-Young, pressure drag = drag - skin friction\n"),
              std::string::npos);
    // Michel's criterion has no Ncrit; the envelope method's is written.
    EXPECT_NE(text.find(" Mach =   0.000     Re =     3.000 e 6     Ncrit =   0.000\n"),
              std::string::npos);
    conditions.layer.transition = {TransitionCriterion::Envelope, 9};
    EXPECT_NE(PolarFileText(conditions, sweep).find("     Ncrit =   9.000\n"), std::string::npos);
    // CDp is what is not friction; a surface without transition reads 1. The
    // angle without a layer and the separated one have no row.
    ASSERT_EQ(polar.rows.size(), 2u) << text;
    EXPECT_EQ(polar.rows[0], (std::vector<double>{0, 0, 0.00525, 0.00125, 0, 0.75, 0.75}));
    EXPECT_EQ(polar.rows[1], (std::vector<double>{4, 0.48, 0.00625, 0.00175, -0.001, 0.125, 1}));
}

TEST(SweepCsv, withABoundaryLayerAddsItsColumnsAndMarksWhatIsMissing)
{
    std::vector<MethodSweep> sweeps(1);
    sweeps[0].outcome.points = {point(2, 0.25, 0.0001, 0), point(3, 0.375, 0, 0),
                                point(20, 1.5, 0, 0)};
    sweeps[0].viscous = {layer(0.0075, 0.005, 0.5, 1), ViscousPoint{}, layer(0.125, 0.001, 0.25, 1)};
    sweeps[0].viscous[2].separationUpper = {true, 0, 0, 0, 0.625};
    sweeps[0].viscous[2].reliable = false;
    SweepConditions conditions{"", 0, {}};
    conditions.layer.Re = 1e6;
    const std::vector<std::string> rows = lines(CoefficientsCsvText(conditions, sweeps));
    ASSERT_EQ(rows.size(), 4u);
    // The inviscid pressure integral and the layer's drag each have their own
    // named column, whether or not the layer gave a result.
    EXPECT_EQ(rows[0], "method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit,CD_boundary_layer,"
                       "CD_friction,Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,reliable");
    const std::vector<std::string> first = words(rows[1], ','), none = words(rows[2], ','),
                                   separated = words(rows[3], ',');
    for (const auto* fields : {&first, &none, &separated}) ASSERT_EQ(fields->size(), 14u);
    EXPECT_EQ(numberIn(first[3]), 0.0001);
    EXPECT_EQ(std::vector<std::string>(first.begin() + 7, first.end()),
              (std::vector<std::string>{"0.0075", "0.005", "0.5", "1", "", "", "1"}));
    EXPECT_EQ(none[3], "0");
    EXPECT_EQ(std::vector<std::string>(none.begin() + 7, none.end()),
              std::vector<std::string>(7, ""));
    EXPECT_EQ(separated[7], "0.125");
    EXPECT_EQ(separated[11], "0.625");
    EXPECT_EQ(separated[13], "0");
}

TEST(SweepCsv, headerRowThenNumbersThatReadBackExactly)
{
    testing::Session s;
    s.chooseNaca("41");
    std::vector<MethodSweep> sweeps;
    const std::vector<double> alphas = {0.1, 4};
    for (PanelMethod m : {PanelMethod::Hess, PanelMethod::SoinneLaine}) {
        FlowSetup setup;
        setup.method = m;
        setup.mach = 0.3;
        sweeps.push_back({m, Sweep(s.c, setup, alphas)});
    }
    const SweepConditions conditions{"NACA 0012", 0.3, Compressibility::PrandtlGlauert};

    const std::vector<std::string> table = lines(CoefficientsCsvText(conditions, sweeps));
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[0], "method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit,correction_valid");
    for (std::size_t r = 0; r < 4; ++r) {
        const std::vector<std::string> f = words(table[r + 1], ',');
        ASSERT_EQ(f.size(), 8u);
        EXPECT_EQ(f[7], "1");  // subcritical, as M_crit says
        const OperatingPoint& p = sweeps[r / 2].outcome.points[r % 2];
        EXPECT_EQ(f[0], methodName(sweeps[r / 2].method));
        EXPECT_EQ(numberIn(f[1]), alphas[r % 2]);
        EXPECT_EQ(numberIn(f[2]), p.CL);
        EXPECT_EQ(numberIn(f[3]), p.CD);
        EXPECT_EQ(numberIn(f[4]), p.CM);
        const double cpMin = numberIn(f[5]), mCrit = numberIn(f[6]);
        EXPECT_LT(cpMin, 0);
        EXPECT_GT(mCrit, 0.3);  // a thin section at small incidence is subcritical at 0.3
        EXPECT_LT(mCrit, 1);
    }

    const std::vector<std::string> cp = lines(PressureCsvText(sweeps));
    EXPECT_EQ(cp[0], "method,alpha,panel,x,y,Cp,Cp_incompressible");
    ASSERT_EQ(cp.size(), 1u + 2 * 2 * 40);
    // Second method, second angle, panel 7.
    const std::vector<std::string> f = words(cp[1 + 2 * 40 + 40 + 6], ',');
    ASSERT_EQ(f.size(), 7u);
    const OperatingPoint& p = sweeps[1].outcome.points[1];
    EXPECT_EQ(f[0], "Soinne-Laine");
    EXPECT_EQ(f[2], "7");
    EXPECT_EQ(numberIn(f[3]), p.XM[6]);
    EXPECT_EQ(numberIn(f[4]), p.YM[6]);
    EXPECT_EQ(numberIn(f[5]), 1 - p.Cu[6]);
    EXPECT_EQ(numberIn(f[6]), 1 - p.CuIncompressible[6]);
}

TEST(SweepCsv, aMachNumberFlagsTheAnglesWhereTheCorrectionFailsAndTheWarningsSayWhere)
{
    // The lowest incompressible Cp of point() is 1 - 1.5 = -0.5; a steeper
    // one, -3, at the last two angles.
    MethodSweep sweep;
    sweep.method = PanelMethod::VortexPanel;
    for (double alpha : {0.0, 1.0, 2.0, 3.0, 4.0}) sweep.outcome.points.push_back(point(alpha, 0, 0, 0));
    sweep.outcome.points[3].CuIncompressible = {0.5, 4};
    sweep.outcome.points[4].CuIncompressible = {0.5, 4};
    // M = 0.6, Prandtl-Glauert: -0.5 / 0.8 = -0.625 above Cp* = -1.2943;
    // -3 / 0.8 = -3.75 below Cp* but above the vacuum -2 / (1.4 0.36) = -3.9683:
    // those two angles are supercritical only.
    SweepConditions conditions{"", 0.6, Compressibility::PrandtlGlauert};
    std::vector<std::string> rows = lines(CoefficientsCsvText(conditions, {&sweep, 1}));
    ASSERT_EQ(rows.size(), 6u);
    for (std::size_t r = 1; r < rows.size(); ++r)
        EXPECT_EQ(words(rows[r], ',').back(), r <= 3 ? "1" : "0") << rows[r];
    EXPECT_EQ(correctionWarnings(conditions, sweep),
              std::vector<std::string>{"Vortex panel: the Prandtl-Glauert correction is not valid "
                                       "at alpha 3 to 4 (2 angles): past the critical Mach number"});
    // At M = 0.8 the vacuum is -2 / (1.4 0.64) = -2.2321 and -3 / 0.6 = -5
    // lies below it; -0.5 / 0.6 = -0.8333 is below Cp* = -0.4346 too.
    conditions.mach = 0.8;
    EXPECT_EQ(correctionWarnings(conditions, sweep, "a"),
              (std::vector<std::string>{
                  "Vortex panel: the Prandtl-Glauert correction is not valid at a 0 to 2 (3 "
                  "angles): past the critical Mach number",
                  "Vortex panel: the Prandtl-Glauert correction is not valid at a 3 to 4 (2 "
                  "angles): the corrected Cp falls below the vacuum limit"}));
    // Incompressible: no flag column and nothing to warn of.
    conditions.mach = 0;
    EXPECT_EQ(lines(CoefficientsCsvText(conditions, {&sweep, 1}))[0],
              "method,alpha,CL,CDp_inviscid,CM,Cp_min,M_crit");
    EXPECT_TRUE(correctionWarnings(conditions, sweep).empty());

    // The warnings' ranges: consecutive flagged angles become one range.
    const std::vector<double> alphas = {-1, -0.5, 0, 0.5, 1, 1.5, 2};
    EXPECT_EQ(angleRuns(alphas, {false, true, true, true, false, true, false}),
              "-0.5 to 0.5 (3 angles), 1.5");
    EXPECT_EQ(angleRuns(alphas, std::vector<bool>(7, true)), "-1 to 2 (7 angles)");
    EXPECT_EQ(angleRuns(alphas, std::vector<bool>(7, false)), "");
}

TEST(TextFile, writesWholeOrReportsAndKeepsTheEarlierFile)
{
    testing::TempDir dir;
    const auto file = dir.path() / "polar.txt";
    EXPECT_FALSE(WriteTextFile(file, "first\n"));
    EXPECT_EQ(testing::readFile(file), "first\n");
    const auto missing = dir.path() / "no" / "such" / "polar.txt";
    const std::optional<std::string> error = WriteTextFile(missing, "x");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->rfind("Cannot write \"" + missing.string() + "\": ", 0), 0u);
    EXPECT_EQ(testing::readFile(file), "first\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "polar.txt.part"));
    EXPECT_EQ(PolarFileFor(dir.path() / "p.pol", PanelMethod::VortexPanel),
              dir.path() / "p_vortex.pol");
    EXPECT_EQ(PolarFileFor("polar", PanelMethod::Hess), "polar_hess");
}

}  // namespace
}  // namespace tavrix
