#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <filesystem>

#include "app/NumberText.h"
#include "output/Plots.h"
#include "support/Session.h"

namespace tavrix {
namespace {

using testing::Session;

// The one message box of a refused input, closed again for the next input.
void expectOnlyMessage(Session& s, const std::string& message)
{
    EXPECT_EQ(s.tk.messages(), std::vector<std::string>{message});
    s.tk.clearMessages();
}

// Types the texts into their boxes, then presses "Calculate velocities and show".
void typeAndPress(Session& s, std::initializer_list<std::pair<const char*, const char*>> boxes)
{
    for (const auto& [box, text] : boxes) s.tk.type(box, text);
    s.press();
}

TEST(StartUp, EmptiesTheReportAndKeepsTheColumnFile)
{
    testing::TempDir dir;
    std::ofstream(dir.path() / kReportFile) << "left from an earlier run";
    std::ofstream(dir.path() / kColumnFile) << "old columns";
    ui::HeadlessToolkit tk;
    Common c;
    c.WorkDir = dir.path();
    Form_TavrixS form(c, tk);
    form.Form_Load();
    EXPECT_TRUE(std::filesystem::exists(dir.path() / kReportFile));
    EXPECT_EQ(testing::readFile(dir.path() / kReportFile), "");
    EXPECT_EQ(testing::readFile(dir.path() / kColumnFile), "old columns");
    EXPECT_FALSE(c.AirfoilReady);
}

TEST(CalculationGuard, WithoutAnAirfoilOnlyTheMessageAppears)
{
    Session s;
    s.press();
    expectOnlyMessage(s, "Calculate airfoil coordinates");
    EXPECT_EQ(s.report(), "");
    EXPECT_FALSE(std::filesystem::exists(s.c.WorkDir / kColumnFile));
    EXPECT_EQ(s.tk.text("Text_CL"), "");
    EXPECT_TRUE(s.tk.drawing(kPressurePicture).items.empty());
    // Selecting the file option alone does not make an airfoil.
    s.tk.select("Option_DOSYA");
    s.form.Option_DOSYA_Click();
    s.press();
    expectOnlyMessage(s, "Calculate airfoil coordinates");
}

TEST(PanelGeometry, NoRotationKeepsTheContourExactlyAndPositiveEtaTurnsTheNoseUp)
{
    Session s;
    s.chooseNaca("51");
    BuildPanels(s.c, 0);
    for (int i = 1; i <= 51; ++i)
        EXPECT_TRUE(s.c.X[i] == s.c.XCoord[i] && s.c.Y[i] == s.c.YCoord[i]) << i;
    BuildPanels(s.c, 10);
    EXPECT_NEAR(s.c.X[1], std::cos(10 * M_PI / 180), 1e-15);
    EXPECT_NEAR(s.c.Y[1], -std::sin(10 * M_PI / 180), 1e-15);
    // The contour itself is not changed: the next press starts again from it.
    EXPECT_EQ(s.c.XCoord[1], 1);
    EXPECT_EQ(s.c.YCoord[1], 0);
}

// The exact surface speed of the circle flow whose rear point (1, 0) is a
// stagnation point: 2 |sin(theta - alpha) + sin(alpha)|.
void feedExactCircleSpeeds(Common& c, double alphaDeg)
{
    const double a = alphaDeg * M_PI / 180;
    c.AlfaD = alphaDeg;
    c.CosAlfa = std::cos(a);
    c.SinAlfa = std::sin(a);
    BuildPanels(c, 0);
    for (int i = 1; i <= c.NPanel; ++i) {
        const double theta = std::atan2(c.YM[i], c.XM[i] - 0.5);
        c.Vt[i] = 2 * std::fabs(std::sin(theta - a) + std::sin(a));
        c.Cu[i] = c.Vt[i] * c.Vt[i];
    }
}

TEST(ForceIntegration, CircleWithExactSpeedsGivesLiftAndANoseDownMomentAndNoneWithoutIncidence)
{
    Session s;
    s.chooseCircle("101");
    feedExactCircleSpeeds(s.c, 5);
    const Coefficients k = IntegrateForces(s.c);
    EXPECT_EQ(roundHalfEven(k.CL, 4), 1.0951);  // 4 pi sin(5 deg) = 1.0952 for the true circle
    EXPECT_NEAR(k.CD, 0, 1e-12);
    EXPECT_EQ(roundHalfEven(k.CM, 4), -0.2727);
    // The lift of a circle acts at its centre, a quarter chord behind (0.25, 0).
    EXPECT_NEAR(k.CM, -0.25 * (k.CL * s.c.CosAlfa + k.CD * s.c.SinAlfa), 1e-12);

    // No flow around the circle at zero incidence gives no force.
    s.chooseCircle("51");
    feedExactCircleSpeeds(s.c, 0);
    const Coefficients zero = IntegrateForces(s.c);
    for (double coefficient : {zero.CL, zero.CD, zero.CM}) EXPECT_NEAR(coefficient, 0, 1e-12);
}

TEST(Calculation, ShowsRoundedCoefficientsInTheGeneralForm)
{
    Session s;
    s.chooseCircle("51");
    s.press();
    EXPECT_TRUE(s.tk.messages().empty());
    EXPECT_EQ(s.tk.text("Text_CL"), "0");
    EXPECT_EQ(s.tk.text("Text_CM"), "0");
    EXPECT_TRUE(s.form.lastPressCompleted());

    s.chooseMethod("Option_VORPAN");
    s.chooseNaca("61");
    typeAndPress(s, {{"Text_AlfaD", "5"}});
    const double cl = readLeadingNumber(s.tk.text("Text_CL")).value;
    EXPECT_NEAR(cl, 0.60, 0.01);
    EXPECT_EQ(s.tk.text("Text_CL"), generalForm(roundHalfEven(cl, 4)));

    // A comma is no decimal separator in the angle.
    s.chooseCircle("51");
    typeAndPress(s, {{"Text_AlfaD", "5,5"}});
    EXPECT_EQ(s.c.AlfaD, 5);
}

TEST(Calculation, CommaLocaleWritesCommasAndStillReadsPoints)
{
    Session s(',');
    s.chooseMethod("Option_VORPAN");
    s.chooseNaca("61");
    typeAndPress(s, {{"Text_AlfaD", "5.0"}});
    EXPECT_EQ(s.tk.text("Text_CL").substr(0, 2), "0,");
    EXPECT_NE(s.report().find("Alfa =  5 "), std::string::npos);
    EXPECT_NE(s.columns().find(",") , std::string::npos);
    EXPECT_EQ(s.columns().find("."), std::string::npos);
}

TEST(Calculation, PrandtlGlauertDividesOneMinusCuByBeta)
{
    Session s;
    s.chooseNaca("51");
    typeAndPress(s, {{"Text_AlfaD", "3"}});
    const Table incompressible = s.c.Cu;
    const std::size_t redCurve = s.tk.drawing(kPressurePicture).items.size();
    for (const auto& p : s.tk.drawing(kPressurePicture).items)
        EXPECT_NE(p.colour, kCompressibleBlue);

    typeAndPress(s, {{"Text_Moo", "0.5"}});
    const double beta = std::sqrt(0.75);
    for (int i = 1; i <= 50; ++i)
        EXPECT_NEAR(1 - s.c.Cu[i], (1 - incompressible[i]) / beta, 1e-12) << i;
    // The blue compressible curve is drawn over the red one, in the same scale.
    const auto& items = s.tk.drawing(kPressurePicture).items;
    ASSERT_EQ(items.size(), redCurve + 49);
    EXPECT_EQ(items.back().colour, kCompressibleBlue);
    EXPECT_EQ(items.back().scale, items.front().scale);

    // A negative Mach number acts like its magnitude.
    typeAndPress(s, {{"Text_Moo", "-0.5"}});
    EXPECT_NEAR(1 - s.c.Cu[7], (1 - incompressible[7]) / beta, 1e-12);
}

class Refusals : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.chooseNaca("51");
        typeAndPress(s, {{"Text_AlfaD", "4"}});
        ASSERT_TRUE(s.tk.messages().empty());
        report = s.report();
        columns = s.columns();
        cl = s.tk.text("Text_CL");
        pressureItems = s.tk.drawing(kPressurePicture).items.size();
    }

    // The boxes, the plots and the files keep what they showed.
    void expectRefused(const std::string& message)
    {
        expectOnlyMessage(s, message);
        EXPECT_FALSE(s.form.lastPressCompleted());
        EXPECT_EQ(s.report(), report);
        EXPECT_EQ(s.columns(), columns);
        EXPECT_EQ(s.tk.text("Text_CL"), cl);
        EXPECT_EQ(s.tk.drawing(kPressurePicture).items.size(), pressureItems);
        EXPECT_EQ(s.c.AlfaD, 4);
    }

    Session s;
    std::string report, columns, cl;
    std::size_t pressureItems = 0;
};

TEST_F(Refusals, MachNumberOfOneOrMore)
{
    for (const char* mach : {"1", "-1", "1.5"}) {
        typeAndPress(s, {{"Text_Moo", mach}, {"Text_AlfaD", "7"}});
        expectRefused("The free-stream Mach number must be less than 1");
    }
}

TEST_F(Refusals, NumbersTooLargeInTheirOrderAndTooManyPointsForTheSystem)
{
    typeAndPress(s, {{"Text_AlfaD", "1e400"}, {"Text_ItaD", "2e999"}});
    expectRefused("Number too large: 1e400");
    typeAndPress(s, {{"Text_AlfaD", "7"}});
    expectRefused("Number too large: 2e999");
    // Capacity comes first, the Mach number after the overflowing texts.
    typeAndPress(s, {{"Text_Moo", "3"}});
    expectRefused("Number too large: 2e999");
    s.chooseMethod("Option_Soinne");
    s.chooseNaca("1000");
    s.press();
    expectRefused("This panel method allows at most 999 panel end points");
    // Every system holds 1000 unknowns: the Soinne-Laine method has one
    // more than its end points, the other methods as many.
    s.chooseNaca("999");
    typeAndPress(s, {{"Text_ItaD", "0"}, {"Text_Moo", "0"}});
    EXPECT_TRUE(s.form.lastPressCompleted());
}

TEST_F(Refusals, CoincidentEndPoints)
{
    s.c.XCoord[8] = s.c.XCoord[7];
    s.c.YCoord[8] = s.c.YCoord[7];
    typeAndPress(s, {{"Text_AlfaD", "7"}, {"Text_ItaD", "15"}});
    expectRefused("Panel end points 7 and 8 coincide");
}

TEST(PointCount, IsReadWhenTheSourceIsSelectedAndRefusedCountsLeaveTheContourAsItWas)
{
    Session s;
    s.chooseCircle("51");
    EXPECT_EQ(s.c.NP, 51);
    EXPECT_EQ(s.c.NPanel, 50);
    EXPECT_TRUE(s.c.AirfoilReady);
    typeAndPress(s, {{"Text_NP", "101"}});
    EXPECT_EQ(s.c.NP, 51);
    const std::string columns = s.columns();
    EXPECT_EQ(std::count(columns.begin(), columns.end(), '\n'), 51);
    s.chooseCircle("5deg");
    EXPECT_EQ(s.c.NP, 5);

    s.chooseNaca("61");
    const Table x = s.c.XCoord;
    for (const char* text : {"1", "0", "1001", "12.5", "abc", "-5"}) {
        s.chooseCircle(text);
        expectOnlyMessage(s, "Number of panel end points must be a whole number from 2 to 1000");
    }
    s.chooseCircle("1e400");
    expectOnlyMessage(s, "Number too large: 1e400");
    EXPECT_EQ(s.c.NP, 61);
    EXPECT_EQ(s.c.NPanel, 60);
    EXPECT_EQ(s.c.XCoord, x);
    s.chooseCircle("1000");
    EXPECT_EQ(s.c.NP, 1000);
    s.chooseCircle("2");
    EXPECT_EQ(s.c.NP, 2);
}

TEST(PointCount, KarmanTrefftzOptionRefusesCountsOutsideThreeTo400)
{
    Session s;
    s.chooseNaca("61");
    for (const char* text : {"2", "401", "50.5"}) {
        s.tk.type("Text_NP", text);
        s.tk.select("Option_KATJO");
        s.form.Option_KATJO_Click();
        expectOnlyMessage(s, "Number of panel end points must be a whole number from 3 to 400 for "
                             "this airfoil");
    }
    EXPECT_TRUE(s.tk.windowsShown().empty());
    // Until the window has produced a section the contour keeps its own count.
    s.tk.type("Text_NP", "101");
    s.form.Option_KATJO_Click();
    EXPECT_EQ(s.tk.windowsShown(), std::vector<std::string>{"Form_KATJO"});
    EXPECT_EQ(s.c.NP, 61);
    EXPECT_EQ(s.form.katjo().pointCount(), 101);
    s.press();
    EXPECT_TRUE(s.form.lastPressCompleted());
    EXPECT_EQ(s.c.NPanel, 60);
}

TEST(SharedState, EntriesBeyondTheCurrentCountKeepEarlierValues)
{
    Session s;
    s.chooseMethod("Option_VORPAN");
    s.chooseCircle("101");
    s.press();
    const Table x = s.c.X, xm = s.c.XM, cu = s.c.Cu;
    s.chooseCircle("51");
    s.press();
    // End points 52 to 101, panels 51 to 100.
    for (int i = 51; i <= 100; ++i)
        EXPECT_TRUE(s.c.X[i + 1] == x[i + 1] && s.c.XM[i] == xm[i] && s.c.Cu[i] == cu[i]) << i;
}

TEST(SharedState, KennedyControlPointDoesNotChangeThePressureScale)
{
    Session s;
    s.chooseMethod("Option_KENN");
    s.chooseNaca("51");
    s.press();
    ASSERT_GT(s.c.XM[51], 1);  // the Kutta control point behind the trailing edge
    const auto [xMin, xMax] = std::minmax_element(s.c.XM.begin() + 1, s.c.XM.begin() + 51);
    const double W = s.tk.width(kAirfoilPicture);
    const auto& scale = s.tk.drawing(kPressurePicture).scale;
    EXPECT_NEAR(scale.right, W / (1.9 * W / (*xMax - *xMin)), 1e-12);
}

TEST(Handlers, AboutAndFileBrowserNavigation)
{
    Session s;
    EXPECT_TRUE(s.form.fire("Mn_About_Click"));
    EXPECT_EQ(s.tk.windowsShown(), std::vector<std::string>{"Form_About"});
    EXPECT_FALSE(s.tk.isVisible("Frame_FileBrowser"));
    s.tk.select("Option_DOSYA");
    EXPECT_TRUE(s.form.fire("Option_DOSYA_Click"));
    EXPECT_TRUE(s.tk.isVisible("Frame_FileBrowser"));
    s.tk.setPath("Drive1", "/");
    s.form.Drive1_Change();
    EXPECT_EQ(s.tk.path("Dir1"), "/");
    s.tk.setPath("Dir1", "/tmp");
    s.form.Dir1_Change();
    EXPECT_EQ(s.tk.path("File1"), "/tmp");
    EXPECT_FALSE(s.form.fire("No_Such_Handler"));
}

TEST(ResultFiles, AFileThatCannotBeWrittenIsReportedAndTheCalculationGoesOn)
{
    Session s;
    s.chooseCircle("51");
    s.c.WorkDir = s.c.WorkDir / "missing-folder";
    s.press();
    ASSERT_EQ(s.tk.messages().size(), 2u);
    EXPECT_EQ(s.tk.messages()[0].rfind("Cannot write \"TavrixS.txt\": ", 0), 0u);
    EXPECT_EQ(s.tk.messages()[1].rfind("Cannot write \"TavrixS.xls\": ", 0), 0u);
    EXPECT_EQ(s.tk.text("Text_CL"), "0");
    EXPECT_TRUE(s.form.lastPressCompleted());
}

TEST_F(Refusals, NoFiniteResultEndsThePressLikeAZeroPivot)
{
    // A circle of diameter 1E200: the panel lengths overflow to infinity.
    std::string text = "Huge circle\n21\n";
    for (int i = 1; i <= 21; ++i) {
        const double t = 2 * s.c.Pi * (i - 1) / 20;
        char line[96];
        std::snprintf(line, sizeof line, "%d, %.17g, %.17g\n", i, (0.5 + 0.5 * std::cos(t)) * 1e200,
                      -0.5 * std::sin(t) * 1e200);
        text += line;
    }
    const std::filesystem::path file = s.dir.path() / "huge.arf";
    std::ofstream(file, std::ios::binary) << text;
    ASSERT_TRUE(s.form.openAirfoilFile(file.string()));
    const std::size_t airfoilItems = s.tk.drawing(kAirfoilPicture).items.size();
    const Table cu = s.c.Cu;
    s.press();
    expectRefused("The calculation gave no finite result for this contour");
    EXPECT_EQ(s.c.Cu, cu);
    EXPECT_EQ(s.tk.drawing(kAirfoilPicture).items.size(), airfoilItems);
}

TEST(Redraw, AfterAResizeAChordStationStandsAtOnePixelColumnInBothBoxes)
{
    Session s;
    s.chooseNaca("51");
    typeAndPress(s, {{"Text_AlfaD", "3"}});
    for (const char* box : {kAirfoilPicture, kPressurePicture}) s.tk.setPictureSize(box, 1100, 240);
    s.form.redrawPlots();

    // Pixel column of user x in a box of width W whose scale was set at that width.
    auto column = [](const ui::Drawing& d, double x, double W) {
        EXPECT_EQ(d.scale.boxWidth, W);
        return (x - d.scale.left) / (d.scale.right - d.scale.left) * W;
    };
    const ui::Drawing& airfoil = s.tk.drawing(kAirfoilPicture);
    const ui::Drawing& pressure = s.tk.drawing(kPressurePicture);
    const double W = 1100;
    // Every control point of the pressure curve stands above its panel's
    // mid point in the airfoil box. The two fits differ by the ratio of the
    // contour's chord to the span of the control points (0.996 for 51
    // points), a few tenths of a percent of the width at the ends.
    for (int i = 1; i <= s.c.NPanel; ++i) {
        const double xm = (s.c.XCoord[i] + s.c.XCoord[i + 1]) / 2;
        const double inAirfoil = column(airfoil, xm - 0.5, W);  // the contour's centre is 0.5
        const double inPressure = column(pressure, s.c.XM[i] - s.c.XCenter, W);
        EXPECT_NEAR(inAirfoil, inPressure, 0.003 * W) << i;
    }
    // The redrawn pressure box shows the same curve as after the press.
    EXPECT_EQ(pressure.items.size(), 2u + 49u);
}

}  // namespace
}  // namespace tavrix
