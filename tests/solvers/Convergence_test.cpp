// The four methods against the exact flow of a Karman-Trefftz section with a
// finite trailing-edge angle, where the discretisation error must vanish as
// the panels shrink.
#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "geometry/ExactFlow.h"
#include "tests/solvers/SolverTestSupport.h"

namespace tavrix {
namespace {

struct Errors {
    double CL = 0;
    double CpAwayFromEdge = 0;  // largest |Cp - Cp exact| without the two edge panels
};

// One session per point count: the section from the window's four inputs,
// then one press at 5 degrees per method.
std::vector<Errors> runMethods(int np, const std::vector<std::string>& options)
{
    testing::Session s;
    testing::chooseKarmanTrefftz(s, np);
    EXPECT_EQ(s.c.NP, np);
    s.tk.type("Text_AlfaD", "5");
    const KarmanTrefftzFlow flow(*s.form.katjo().lastSection(), 5);
    std::vector<Errors> out;
    for (const std::string& option : options) {
        s.chooseMethod(option);
        s.press();
        EXPECT_TRUE(s.form.lastPressCompleted()) << option;
        const auto panels = static_cast<std::size_t>(s.c.NPanel);
        const std::vector<double> cu =
            exactCu(std::span<const double>(s.c.XM).subspan(1, panels),
                    std::span<const double>(s.c.YM).subspan(1, panels), flow);
        Errors e;
        e.CL = IntegrateForces(s.c).CL - flow.CL();
        for (int i = 2; i < s.c.NPanel; ++i)
            e.CpAwayFromEdge = std::max(e.CpAwayFromEdge,
                                        std::fabs(s.c.Cu[i] - cu[static_cast<std::size_t>(i - 1)]));
        out.push_back(e);
    }
    return out;
}

TEST(Convergence, EveryMethodsLiftErrorFallsAsThePanelsShrink)
{
    const std::vector<std::string> options = {"Option_HESS", "Option_VORPAN", "Option_KENN",
                                              "Option_Soinne"};
    // Bounds at 199 points, above the measured errors (CL: +0.0076, -0.00025,
    // -0.00085, -0.00001; Cp away from the edge: 0.036, 0.053, 0.015, 0.019).
    const double clBound[] = {0.01, 0.0005, 0.0015, 0.0001};
    const double cpBound[] = {0.05, 0.07, 0.03, 0.03};
    std::vector<std::vector<Errors>> byCount;
    for (int np : {25, 51, 101, 199}) byCount.push_back(runMethods(np, options));
    for (std::size_t k = 0; k < options.size(); ++k) {
        for (std::size_t n = 1; n < byCount.size(); ++n) {
            EXPECT_LT(std::fabs(byCount[n][k].CL), std::fabs(byCount[n - 1][k].CL))
                << options[k] << ", step " << n;
        }
        EXPECT_LT(std::fabs(byCount.back()[k].CL), clBound[k]) << options[k];
        EXPECT_LT(byCount.back()[k].CpAwayFromEdge, cpBound[k]) << options[k];
    }
}

}  // namespace
}  // namespace tavrix
