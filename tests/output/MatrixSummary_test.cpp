#include "output/MatrixSummary.h"

#include <gtest/gtest.h>

#include "support/Session.h"

namespace tavrix {
namespace {

TEST(MatrixSummary, EachLevelStandsForHalfAFifteenthOfTheRangeEitherSide)
{
    // R = 15: level k covers magnitudes from k - 0.5 to k + 0.5.
    EXPECT_EQ(matrixLevelText(0, 15, '.'), "0 to 0.5");
    EXPECT_EQ(matrixLevelText(1, 15, '.'), "0.5 to 1.5");
    EXPECT_EQ(matrixLevelText(15, 15, '.'), "14.5 to 15.5");
    EXPECT_EQ(matrixLevelText(3, 0.015, ','), "0,0025 to 0,0035");
    EXPECT_EQ(matrixLevelText(7, 0, '.'), "0");
}

TEST(MatrixSummary, ConditionNumberTellsTheDigitsThatMayBeLost)
{
    EXPECT_EQ(conditionText(748, '.'), "Condition number (1-norm) 748: up to 2 of 16 digits may be lost");
    EXPECT_EQ(conditionText(1, '.'), "Condition number (1-norm) 1: up to 0 of 16 digits may be lost");
    EXPECT_EQ(conditionText(INFINITY, '.'), "Condition number: infinite, the matrix is singular");
}

TEST(MatrixSummary, RowAndColumnNumbersAtRoundSteps)
{
    EXPECT_EQ(matrixTickNumbers(51, 10), (std::vector<int>{1, 10, 20, 30, 40, 50}));
    EXPECT_EQ(matrixTickNumbers(8, 10), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(matrixTickNumbers(200, 12), (std::vector<int>{1, 20, 40, 60, 80, 100, 120, 140,
                                                           160, 180, 200}));
    EXPECT_EQ(matrixTickNumbers(27, 4), (std::vector<int>{1, 10, 20, 27}));
    EXPECT_EQ(matrixTickNumbers(1, 10), (std::vector<int>{1}));
}

TEST(MatrixSummary, TheWindowNamesTheMethodTheSystemAndItsCondition)
{
    testing::Session s;
    s.tk.setValue("Check_ShowMat", 1);
    s.chooseNaca("21");
    s.press();
    EXPECT_EQ(s.tk.text("Label_MatrixSystem"),
              "Hess Method: 21 unknowns; the picture shows rows and columns 1 to 20");
    EXPECT_EQ(s.tk.text("Label_MatrixCondition").rfind("Condition number (1-norm) ", 0), 0u);
    EXPECT_NE(s.tk.text("Label_MatrixLevel15"), "");

    s.chooseMethod("Option_Soinne");
    s.press();
    EXPECT_EQ(s.tk.text("Label_MatrixSystem"),
              "Soinne-Laine Method: 22 unknowns; the picture shows rows and columns 1 to 22");
}

}  // namespace
}  // namespace tavrix
