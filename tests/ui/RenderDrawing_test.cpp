#include "ui/qt/RenderDrawing.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

bool isDark(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)).red() < 128; }

TEST(RenderDrawing, ReplayAtAnotherSizeKeepsTheProportionsOfTheBox)
{
    // A box 100 x 50 wide when the scale was set, user coordinates 0..2 by 0..1.
    Drawing d;
    d.setScale(0, 0, 2, 1, 100, 50);
    d.filledBox(0, 0, 2, 1, Rgb{0, 0, 0});
    const QImage same = renderDrawing(d, QSize(100, 50));
    EXPECT_TRUE(isDark(same, 1, 1));
    EXPECT_TRUE(isDark(same, 98, 48));

    // Twice as wide, four times as tall: the box is drawn 200 x 100, centred.
    const QImage taller = renderDrawing(d, QSize(200, 200));
    EXPECT_FALSE(isDark(taller, 100, 20));
    EXPECT_TRUE(isDark(taller, 100, 60));
    EXPECT_TRUE(isDark(taller, 2, 100));
    EXPECT_TRUE(isDark(taller, 197, 140));
    EXPECT_FALSE(isDark(taller, 100, 180));
}

TEST(RenderDrawing, EachPrimitiveUsesTheScaleInForceWhenItWasDrawn)
{
    Drawing d;
    d.setScale(0, 0, 10, 10, 100, 100);
    d.filledBox(0, 0, 5, 10, Rgb{0, 0, 0});  // left half
    d.setScale(0, 0, 1, 1, 100, 100);
    d.clear();
    d.filledBox(0.5f, 0, 1, 1, Rgb{0, 0, 0});  // right half, in the new scale
    const QImage image = renderDrawing(d, QSize(100, 100));
    EXPECT_FALSE(isDark(image, 20, 50));
    EXPECT_TRUE(isDark(image, 80, 50));
}

}  // namespace
}  // namespace ui
