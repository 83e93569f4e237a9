// Sections that the calculation driver writes, checked as whole texts derived
// by hand from chosen values.
#include <gtest/gtest.h>

#include <cmath>

#include "output/ResultFiles.h"
#include "support/Session.h"

namespace tavrix {
namespace {

using testing::Session;

TEST(ResultsBlock, WholeSectionForChosenValuesAndTheAngleRoundedToEven)
{
    Session s;
    s.c.NPanel = 2;
    s.c.AlfaD = 5;
    s.c.XM[1] = 0.75;
    s.c.YM[1] = -0.25;
    s.c.Cu[1] = 1.25;
    s.c.XM[2] = 0.123456;
    s.c.YM[2] = 0.5;
    s.c.Cu[2] = 0;
    WriteResultsBlock(s.c, s.tk, 0.00004, 1.09514, -0.27271);
    EXPECT_EQ(s.report(),
              "\r\n"
              "\r\n"
              "Alfa =  5 \r\n"
              "\r\n"
              " I    X      Y     Cu\r\n"
              "\r\n"
              "1  0.750  -0.250  1.250\r\n"
              "2  0.12346  0.50  0.0\r\n"
              "\r\n"
              "   CD =  0    CL =  1.0951    Cm c/4 = -0.2727 \r\n");

    // The angle is rounded to one decimal with ties to even.
    s.c.NPanel = 0;
    s.c.AlfaD = 2.25;  // exactly half-way: to the even 2.2
    WriteResultsBlock(s.c, s.tk, 0, 0, 0);
    s.c.AlfaD = -0.04;  // rounds to negative zero, written without a sign
    WriteResultsBlock(s.c, s.tk, 0, 0, 0);
    const std::string r = s.report();
    EXPECT_NE(r.find("Alfa =  2.2 \r\n"), std::string::npos);
    EXPECT_NE(r.find("Alfa =  0 \r\n"), std::string::npos);
}

TEST(ColumnFile, SecondNumberStartsAtTheNextPrintZone)
{
    Session s;
    s.c.NPanel = 3;
    s.c.XM[1] = 0.75;            // " 0.75 ": 6 wide, next item in column 15
    s.c.Cu[1] = 1.25;
    s.c.XM[2] = -0.123456789;    // "-0.123456789 ": 13 wide
    s.c.Cu[2] = 0;
    s.c.XM[3] = 0.12345678901;   // " 0.12345678901 ": 15 wide, next zone is column 29
    s.c.Cu[3] = 2;
    WriteColumnFile(s.c, s.tk, 1.09514, -0.27271);
    EXPECT_EQ(s.columns(),
              " 0.75          1.25 \r\n"
              "-0.123456789   0 \r\n"
              " 0.12345678901               2 \r\n"
              " 1.09514      -0.27271 \r\n");
    // A first item exactly 14 wide is followed directly, in column 15.
    s.c.NPanel = 1;
    s.c.XM[1] = 0.1234567891;  // " 0.1234567891 "
    s.c.Cu[1] = 1;
    WriteColumnFile(s.c, s.tk, 0, 0);
    EXPECT_EQ(s.columns(), " 0.1234567891  1 \r\n 0             0 \r\n");
}

TEST(PanelTable, WholeSectionOfTheSquare)
{
    Session s;
    s.chooseCircle("5");
    BuildPanels(s.c, 0);
    WritePanelTable(s.c, s.tk);
    const std::string header =
        "  I       X        Y        XM       YM      DS     CosDelta     SinDelta    d";
    ASSERT_EQ(header.size(), 78u);
    // Y(3) = 0.5 sin(-pi) is a tiny negative number: the pattern keeps its sign.
    EXPECT_EQ(s.report(),
              " Panel properties\r\n"
              "\r\n" +
                  header +
                  "\r\n"
                  "\r\n"
                  "  1    1.0    0.0    0.750    -0.250    0.7071    -0.7071    -0.7071\r\n"
                  "  2    0.50    -0.50    0.250    -0.250    0.7071    -0.7071    0.7071\r\n"
                  "  3    0.0    -0.0    0.250    0.250    0.7071    0.7071    0.7071\r\n"
                  "  4    0.50    0.50    0.750    0.250    0.7071    0.7071    -0.7071\r\n");
}

TEST(Report, OnePressWithAllBoxesClearAppendsOnlyTheResultsBlock)
{
    Session s;
    s.tk.type("Text_AlfaD", "5");
    s.chooseMethod("Option_VORPAN");
    s.chooseNaca("51");
    s.press();
    const std::string r = s.report();
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < r.size();) {
        const std::size_t end = r.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(r.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 2u + 1 + 1 + 1 + 1 + 50 + 1 + 1);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
              (std::vector<std::string>{"", "", "Alfa =  5 ", "", " I    X      Y     Cu", ""}));
    EXPECT_EQ(lines[6].substr(0, 3), "1  ");
    EXPECT_EQ(lines[55].substr(0, 4), "50  ");
    EXPECT_EQ(lines[56], "");
    EXPECT_EQ(lines[57].substr(0, 8), "   CD = ");
    EXPECT_NE(lines[57].find("   CL =  " + s.tk.text("Text_CL") + " "), std::string::npos);

    const std::string columns = s.columns();
    EXPECT_EQ(std::count(columns.begin(), columns.end(), '\n'), 51);

    // A second press appends the same sections again and rewrites the columns.
    s.press();
    EXPECT_EQ(s.report(), r + r);
    EXPECT_EQ(s.columns(), columns);
}

// The panel table has a row per panel before the results; three-digit
// indices push the row right.
TEST(Report, PanelTableHasARowPerPanelBeforeTheResults)
{
    Session s;
    s.tk.setValue("Check_WritePanel", 1);
    s.chooseMethod("Option_VORPAN");
    s.chooseNaca("121");
    s.press();
    const std::string r = s.report();
    ASSERT_EQ(r.rfind(" Panel properties\r\n", 0), 0u);
    for (const char* row : {"\r\n  99    ", "\r\n  100    ", "\r\n  120    ", "\r\n100  "})
        EXPECT_NE(r.find(row), std::string::npos) << row;
    EXPECT_EQ(r.find("\r\n  121    "), std::string::npos);
    // A greyed box (any value but 1) counts as clear.
    Session t;
    t.tk.setValue("Check_WritePanel", 2);
    t.chooseMethod("Option_VORPAN");
    t.chooseNaca("51");
    t.press();
    EXPECT_EQ(t.report().find("Panel properties"), std::string::npos);
}

}  // namespace
}  // namespace tavrix
