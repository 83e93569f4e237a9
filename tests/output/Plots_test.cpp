#include "output/Plots.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/Session.h"

namespace tavrix {
namespace {

using testing::Session;

TEST(AirfoilPlot, CircleInAWideBoxIsFittedByItsHeight)
{
    Session s;
    s.chooseCircle("101");
    const auto& d = s.tk.drawing(kAirfoilPicture);
    const double H = s.tk.height(kAirfoilPicture);
    const double W = s.tk.width(kAirfoilPicture);
    ASSERT_GT(W, H);
    // s = 1.9 H / dy with dy = 1: the circle fills 95 % of the height.
    EXPECT_NEAR(d.scale.top, -1 / 1.9, 1e-12);
    EXPECT_NEAR(d.scale.bottom, 1 / 1.9, 1e-12);
    EXPECT_NEAR(d.scale.right, W / (1.9 * H), 1e-12);
    EXPECT_NEAR(s.c.XCenter, 0.5, 1e-15);
    ASSERT_EQ(d.items.size(), 102u);
    // Horizontal axis through the middle of the bounding box, vertical axis at
    // the leftmost point over the full height.
    EXPECT_FLOAT_EQ(d.items[0].x1, -0.5f);
    EXPECT_FLOAT_EQ(d.items[0].x2, 0.5f);
    EXPECT_FLOAT_EQ(d.items[1].y1, static_cast<float>(-1 / 1.9));
    EXPECT_FLOAT_EQ(d.items[1].y2, static_cast<float>(1 / 1.9));
    // Larger airfoil y is drawn higher: the upper point (0.5, 0.5) at user y -0.5.
    EXPECT_NEAR(d.items[2 + 75].y1, -0.5, 1e-6);
}

TEST(AirfoilPlot, FlatPlateGetsAMinimumHeightAndIsFittedByWidth)
{
    Session s;
    s.c.NP = 3;
    s.c.NPanel = 2;
    Table x{}, y{};
    x[1] = 1;
    x[2] = 0;
    x[3] = 1;
    Show_Airfoil(s.c, s.tk, x, y);
    const auto& d = s.tk.drawing(kAirfoilPicture);
    const double W = s.tk.width(kAirfoilPicture);
    const double H = s.tk.height(kAirfoilPicture);
    EXPECT_NEAR(d.scale.right, W / (1.9 * W), 1e-12);
    EXPECT_NEAR(d.scale.bottom, H / (1.9 * W), 1e-12);
    // A single point has no extent either way and still gets a finite scale.
    x[1] = x[2] = x[3] = 0.3;
    Show_Airfoil(s.c, s.tk, x, y);
    EXPECT_TRUE(std::isfinite(s.tk.drawing(kAirfoilPicture).scale.right));
}

TEST(PressurePlot, HighestValueAndZeroLineSitATwelfthFromTheEdgesEvenWithAllSpeedsZero)
{
    Session s;
    s.chooseMethod("Option_VORPAN");
    s.tk.type("Text_AlfaD", "5");
    s.chooseNaca("51");
    s.press();
    const double M = *std::max_element(s.c.Cu.begin() + 1, s.c.Cu.begin() + 51);
    const auto& d = s.tk.drawing(kPressurePicture);
    EXPECT_DOUBLE_EQ(d.scale.top, -1.1 * M);
    EXPECT_DOUBLE_EQ(d.scale.bottom, 0.1 * M);  // a twelfth of 1.2 M above M and below 0
    // Two axes and NPanel - 1 segments joining the control points in order.
    ASSERT_EQ(d.items.size(), 2u + 49u);
    EXPECT_FLOAT_EQ(d.items[2].y1, static_cast<float>(-s.c.Cu[1]));
    EXPECT_FLOAT_EQ(d.items.back().y2, static_cast<float>(-s.c.Cu[50]));

    // All speeds zero still give a finite scale.
    for (int i = 1; i <= 50; ++i) s.c.Cu[i] = 0;
    Show_PressureDistribution(s.c, s.tk);
    EXPECT_DOUBLE_EQ(s.tk.drawing(kPressurePicture).scale.top, -1.1);
    EXPECT_DOUBLE_EQ(s.tk.drawing(kPressurePicture).scale.bottom, 0.1);
}

TEST(PressurePlot, WithoutAMachNumberTheBoxFitsTheRedCurveWithOneNeitherCurveLeavesIt)
{
    Session s;
    s.tk.type("Text_AlfaD", "4");
    s.chooseNaca("51");
    s.press();
    const ui::Drawing atZero = s.tk.drawing(kPressurePicture);
    Show_PressureDistribution(s.c, s.tk);
    const ui::Drawing plain = s.tk.drawing(kPressurePicture);
    EXPECT_EQ(atZero.scale, plain.scale);
    ASSERT_EQ(atZero.items.size(), plain.items.size());
    for (std::size_t k = 0; k < plain.items.size(); ++k) {
        EXPECT_EQ(atZero.items[k].y1, plain.items[k].y1);
        EXPECT_EQ(atZero.items[k].y2, plain.items[k].y2);
        EXPECT_EQ(atZero.items[k].colour, plain.items[k].colour);
    }

    s.tk.type("Text_Moo", "0.8");
    s.press();
    // beta = 0.6: near the stagnation point Cu = 0 would become 1 - 1/0.6 =
    // -2/3, far below the old box's bottom edge at a tenth of the peak; the
    // suction peak rises by (Cu - 1) / 0.6 - (Cu - 1).
    const auto& d = s.tk.drawing(kPressurePicture);
    double highest = 0, lowest = 0;
    std::size_t blue = 0;
    for (const auto& p : d.items) {
        for (float y : {p.y1, p.y2}) {
            EXPECT_GE(y, d.scale.top);
            EXPECT_LE(y, d.scale.bottom);
            highest = std::max(highest, -static_cast<double>(y));
            lowest = std::min(lowest, -static_cast<double>(y));
        }
        if (p.colour == kCompressibleBlue) ++blue;
    }
    EXPECT_EQ(blue, 49u);
    EXPECT_LT(lowest, -0.4);
    // A tenth of the span free above the peak and below the lowest value.
    const double span = highest - lowest;
    EXPECT_NEAR(-d.scale.top, highest + 0.1 * span, 1e-6 * span);
    EXPECT_NEAR(d.scale.bottom, -lowest + 0.1 * span, 1e-6 * span);
}

}  // namespace
}  // namespace tavrix
