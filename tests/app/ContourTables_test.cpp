#include "app/ContourTables.h"

#include <gtest/gtest.h>

#include "output/Plots.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix {
namespace {

Contour triangle()
{
    return {"Triangle", {1, 0, 0.5, 1}, {0, 0, 0.5, 0}};
}

TEST(ContourTables, PutsPointIAtTableIndexIAndKeepsTheEntriesAboveNP)
{
    Common c;
    c.XCoord.fill(7);
    c.YCoord.fill(-7);
    ASSERT_TRUE(setContourInUse(c, triangle(), ContourSource::File));
    EXPECT_EQ(c.NP, 4);
    EXPECT_EQ(c.NPanel, 3);
    const double x[] = {7, 1, 0, 0.5, 1, 7};
    const double y[] = {-7, 0, 0, 0.5, 0, -7};
    for (int i = 0; i <= 5; ++i) {
        EXPECT_EQ(c.XCoord[i], x[i]) << i;
        EXPECT_EQ(c.YCoord[i], y[i]) << i;
    }
    EXPECT_EQ(c.AirfoilSource, ContourSource::File);
    EXPECT_EQ(c.AirfoilName, "Triangle");
    EXPECT_FALSE(c.AirfoilReady) << "setting the points neither draws nor readies them";
}

TEST(ContourTables, RefusesWhatTheTablesCannotHoldAndChangesNothing)
{
    Common c;
    ASSERT_TRUE(setContourInUse(c, triangle(), ContourSource::File));
    const Common before = c;
    Contour tooMany;
    tooMany.x.assign(kTableLast + 1, 0.5);
    tooMany.y.assign(kTableLast + 1, 0.0);
    const Contour onePoint{"Point", {1}, {0}};
    Contour ragged = triangle();
    ragged.y.pop_back();
    for (const Contour& bad : {tooMany, onePoint, ragged, Contour{}}) {
        EXPECT_FALSE(setContourInUse(c, bad, ContourSource::Naca));
        EXPECT_EQ(c.NP, before.NP);
        EXPECT_EQ(c.XCoord, before.XCoord);
        EXPECT_EQ(c.AirfoilSource, ContourSource::File);
        EXPECT_EQ(c.AirfoilName, "Triangle");
    }
    Contour full;
    full.x.assign(kTableLast, 0.25);
    full.y.assign(kTableLast, 0.0);
    EXPECT_TRUE(setContourInUse(c, full, ContourSource::Naca));
    EXPECT_EQ(c.XCoord[kTableLast], 0.25);
}

TEST(ContourTables, ShowingAContourDrawsItAndMakesItReady)
{
    Common c;
    SetConstants(c);
    ui::HeadlessToolkit ui;
    ASSERT_TRUE(showContourInUse(c, ui, triangle(), ContourSource::Naca));
    EXPECT_TRUE(c.AirfoilReady);
    // Two grey axes, then one red segment per panel.
    const auto& items = ui.drawing(kAirfoilPicture).items;
    ASSERT_EQ(items.size(), 2u + 3u);
    EXPECT_EQ(items[2].colour, kCurveRed);

    Common untouched;
    ui::HeadlessToolkit quiet;
    EXPECT_FALSE(showContourInUse(untouched, quiet, Contour{}, ContourSource::Naca));
    EXPECT_FALSE(untouched.AirfoilReady);
    EXPECT_TRUE(quiet.drawing(kAirfoilPicture).items.empty());
}

TEST(ContourTables, ContourInUseReadsBackWhatWasPut)
{
    Common c;
    ASSERT_TRUE(setContourInUse(c, triangle(), ContourSource::File));
    const Contour back = contourInUse(c);
    EXPECT_EQ(back.name, "Triangle");
    EXPECT_EQ(back.x, triangle().x);
    EXPECT_EQ(back.y, triangle().y);
}

}  // namespace
}  // namespace tavrix
