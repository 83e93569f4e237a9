// Axis ticks: nice steps, labels from whole multiples of the step.
#include "output/AxisTicks.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavrix {
namespace {

std::vector<std::string> labels(const std::vector<AxisTick>& ticks)
{
    std::vector<std::string> out;
    for (const AxisTick& t : ticks) out.push_back(t.label);
    return out;
}

TEST(AxisTicks, zeroReadsZeroWhereSummedStepsWouldLeaveAResidue)
{
    // -0.6 + 3 * 0.2 is not 0 in binary; the label comes from the multiple.
    const std::vector<AxisTick> t = AxisTicks(-0.6, 1.0, 8);
    EXPECT_EQ(labels(t), (std::vector<std::string>{"-0.6", "-0.4", "-0.2", "0.0", "0.2", "0.4",
                                                   "0.6", "0.8", "1.0"}));
    EXPECT_EQ(t[3].value, 0.0);
    // Steps of 2.5 need two decimals, of 5e-4 four; whole steps none.
    EXPECT_EQ(labels(AxisTicks(0, 0.2, 8)).at(1), "0.025");
    EXPECT_EQ(labels(AxisTicks(-0.001, 0.003, 8)),
              (std::vector<std::string>{"-0.0010", "-0.0005", "0.0000", "0.0005", "0.0010",
                                        "0.0015", "0.0020", "0.0025", "0.0030"}));
    EXPECT_EQ(labels(AxisTicks(-10, 30, 8)),
              (std::vector<std::string>{"-10", "-5", "0", "5", "10", "15", "20", "25", "30"}));
}

TEST(AxisTicks, ticksStayInsideAZoomedRange)
{
    // A dragged rectangle gives any range: the ticks are the nice values in it.
    const std::vector<AxisTick> t = AxisTicks(0.2513, 0.4987, 8);
    ASSERT_FALSE(t.empty());
    EXPECT_GE(t.front().value, 0.2513);
    EXPECT_LE(t.back().value, 0.4987);
    EXPECT_EQ(t.front().label, "0.30");
    EXPECT_EQ(t.back().label, "0.45");
    for (std::size_t i = 1; i < t.size(); ++i) EXPECT_NE(t[i].label, t[i - 1].label);
}

TEST(AxisTicks, degenerateRangesGiveNoTicks)
{
    EXPECT_TRUE(AxisTicks(1, 1).empty());
    EXPECT_TRUE(AxisTicks(2, 1).empty());
    EXPECT_TRUE(AxisTicks(0, std::numeric_limits<double>::infinity()).empty());
    EXPECT_EQ(NiceStep(0.19999999999999998), 0.2);
    EXPECT_EQ(NiceStep(0.26), 0.5);
    EXPECT_EQ(NiceStep(7), 10);
}

}  // namespace
}  // namespace tavrix
