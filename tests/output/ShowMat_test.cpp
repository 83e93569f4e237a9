#include "output/Form_ShowMat.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/HeadlessToolkit.h"

namespace tavrix {
namespace {

ui::Rgb level(int k) { return ui::Rgb{255, 255 - 16 * k, 255 - 16 * k}; }

struct MatrixView : ::testing::Test {
    // Fills AN row by row with the N x N block; column N + 1 holds 1000, which
    // the view leaves out.
    void show(const std::vector<std::vector<double>>& rows)
    {
        const int N = static_cast<int>(rows.size());
        common.AN.redim(N + 1);
        int i = 0;
        for (const auto& row : rows) {
            ++i;
            for (int j = 1; j <= N; ++j) common.AN(i, j) = row[j - 1];
            common.AN(i, N + 1) = 1000;
        }
        Show_CoefficientMatrix(common, ui, N);
    }
    std::vector<ui::Rgb> colours() const
    {
        std::vector<ui::Rgb> out;
        for (const auto& p : ui.drawing("Picture_ShowMat").items) out.push_back(p.colour);
        return out;
    }

    Common common;
    ui::HeadlessToolkit ui;
};

TEST_F(MatrixView, levelIsTheMagnitudeOverTheLargestInFifteenthsRoundedHalfToEven)
{
    struct Case {
        const char* what;
        std::vector<std::vector<double>> rows;
        std::vector<ui::Rgb> colours;
    };
    const Case cases[] = {
        // R = 4: 1 -> 3.75 -> 4, 2 -> 7.5 -> 8, 4 -> 15; zero stays white.
        {"one-signed block", {{0, 1}, {2, 4}}, {level(0), level(4), level(8), level(15)}},
        // R = 2: |1 / 2 * 15| = 7.5 goes to the even level 8, for either sign.
        {"entry and its negative", {{1, -1}, {0, 0}}, {level(8), level(8), level(0), level(0)}},
        // R = 30: 5 -> 2.5 -> 2 and 7 -> 3.5 -> 4.
        {"half-way levels", {{30, 5}, {7, 0}}, {level(15), level(2), level(4), level(0)}},
        {"zeros", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, std::vector<ui::Rgb>(9, level(0))},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        show(k.rows);
        EXPECT_EQ(colours(), k.colours);
    }
    EXPECT_EQ(level(15), (ui::Rgb{255, 15, 15}));
}

TEST_F(MatrixView, singleCellFillsTheWholeArea)
{
    show({{-0.25}});
    const ui::Drawing& d = ui.drawing("Picture_ShowMat");
    EXPECT_EQ(d.scale, (ui::UserScale{0, 0, 1, 1, ui.width("Picture_ShowMat"),
                                      ui.height("Picture_ShowMat")}));
    ASSERT_EQ(d.items.size(), 1u);
    EXPECT_EQ(d.items[0].kind, ui::Primitive::Kind::FilledBox);
    EXPECT_EQ((std::vector<float>{d.items[0].x1, d.items[0].y1, d.items[0].x2, d.items[0].y2}),
              (std::vector<float>{0, 0, 1, 1}));
    EXPECT_EQ(d.items[0].colour, level(15));
}

TEST_F(MatrixView, cellsRunAlongTheRowsFromTheTopLeftCorner)
{
    show({{1, 2}, {3, 4}});  // an earlier drawing is cleared first
    show({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    EXPECT_EQ(ui.windowsShown().back(), "Form_ShowMat");
    const ui::Drawing& d = ui.drawing("Picture_ShowMat");
    EXPECT_EQ(d.scale, (ui::UserScale{0, 0, 3, 3, ui.width("Picture_ShowMat"),
                                      ui.height("Picture_ShowMat")}));
    ASSERT_EQ(d.items.size(), 9u);
    for (int I = 1; I <= 3; ++I) {
        for (int J = 1; J <= 3; ++J) {
            const ui::Primitive& p = d.items[(I - 1) * 3 + (J - 1)];
            EXPECT_EQ((std::vector<float>{p.x1, p.y1, p.x2, p.y2}),
                      (std::vector<float>{J - 1.0f, I - 1.0f, 1.0f * J, 1.0f * I}));
        }
    }
}

}  // namespace
}  // namespace tavrix
