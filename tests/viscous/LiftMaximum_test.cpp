#include "viscous/LiftMaximum.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tavrix::coupled::liftMaximum;
using tavrix::coupled::LiftPoint;

std::vector<LiftPoint> polar(const std::vector<double>& alpha, const std::vector<double>& cl,
                             const std::vector<bool>& converged)
{
    std::vector<LiftPoint> p;
    for (std::size_t k = 0; k < alpha.size(); ++k) p.push_back({alpha[k], cl[k], converged[k]});
    return p;
}

// A polar that bends over: the largest converged lift inside the range is
// the maximum, whatever order the points come in and whatever the lift of a
// point that did not converge.
TEST(LiftMaximum, InteriorMaximumOfTheConvergedPoints)
{
    const std::vector<double> alpha{12, 10, 14, 16, 18};
    const std::vector<double> cl{1.40, 1.25, 1.52, 1.49, 1.90};
    const auto m = liftMaximum(polar(alpha, cl, {true, true, true, true, false}));
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->cl, 1.52);
    EXPECT_EQ(m->alphaDeg, 14);
}

// Lift still rising at the last converged angle, falling from the first,
// or too few converged points: no maximum in range.
TEST(LiftMaximum, NoneAtTheEndsOfTheConvergedRange)
{
    const std::vector<double> alpha{0, 2, 4, 6};
    const std::vector<double> rising{0.2, 0.4, 0.6, 0.7};
    const std::vector<bool> all{true, true, true, true};
    EXPECT_FALSE(liftMaximum(polar(alpha, rising, all)).has_value());
    // The maximum at 6 degrees did not converge: 4 degrees ends the range.
    const std::vector<double> peak{0.2, 0.4, 0.6, 0.5};
    EXPECT_FALSE(liftMaximum(polar(alpha, peak, {true, true, true, false})).has_value());
    // (the same polar with every point converged has it)
    ASSERT_TRUE(liftMaximum(polar(alpha, peak, all)).has_value());
    EXPECT_EQ(liftMaximum(polar(alpha, peak, all))->alphaDeg, 4);
    const std::vector<double> falling{0.9, 0.8, 0.7, 0.6};
    EXPECT_FALSE(liftMaximum(polar(alpha, falling, all)).has_value());
    EXPECT_FALSE(liftMaximum(polar(alpha, peak, {false, true, true, false})).has_value());
    EXPECT_FALSE(liftMaximum({}).has_value());
}

}  // namespace
