// The panel methods called as a library: values in, values out, no toolkit
// and no window state on the API side.
#include "solvers/PanelSolution.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "solvers/Sweep.h"
#include "support/Session.h"
#include "ui/Controls.h"

namespace tavrix {
namespace {

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

struct Points {
    std::vector<double> x, y;
};

// The NACA 0012 contour exactly as the main window's source makes it.
Points naca0012(int NP)
{
    testing::Session s;
    s.chooseNaca(std::to_string(NP));
    return {contourX(s.c), contourY(s.c)};
}

TEST(PanelSolution, solvesBeyondTwoHundredPoints)
{
    // NACA 0012 at 5 degrees: the vortex panel method converges on 0.603
    // (the exact potential flow of the section), so 500 points agree with
    // 161 to well within the panel error of the coarse contour.
    const Points fine = naca0012(500), coarse = naca0012(161);
    const auto lift = [](const Points& p) {
        const Outcome<PanelSolution> s =
            solvePanels(*buildPanelGeometry(p.x, p.y, 0), PanelMethod::VortexPanel);
        return s->at(5)->CL;
    };
    const double CL500 = lift(fine);
    EXPECT_NEAR(CL500, 0.603, 0.003);
    EXPECT_NEAR(CL500, lift(coarse), 0.003);
}

TEST(PanelSolution, refusalsAreValues)
{
    // Two coincident end points after the rotation: the first such panel.
    const std::vector<double> x = {1, 0.5, 0, 0, 0.5, 1}, y = {0, -0.1, 0, 0, 0.1, 0};
    const Outcome<PanelGeometry> degenerate = buildPanelGeometry(x, y, 3);
    ASSERT_FALSE(degenerate);
    EXPECT_EQ(degenerate.refusal().kind, Refusal::Kind::DegeneratePanel);
    EXPECT_EQ(degenerate.refusal().message, "Panel end points 3 and 4 coincide");

    const std::vector<double> one = {1};
    EXPECT_EQ(buildPanelGeometry(one, one, 0).refusal().kind, Refusal::Kind::NoContour);

    // Capacity: 1000 end points for every method but the Soinne-Laine one,
    // whose system has one unknown more.
    const Points p = naca0012(1000);
    const PanelGeometry panels = *buildPanelGeometry(p.x, p.y, 0);
    const Outcome<PanelSystem> soinne = assemblePanels(panels, PanelMethod::SoinneLaine);
    ASSERT_FALSE(soinne);
    EXPECT_EQ(soinne.refusal().message, "This panel method allows at most 999 panel end points");
    EXPECT_EQ(capacityRefusal(PanelMethod::Hess, 1001)->message,
              "This panel method allows at most 1000 panel end points");
    EXPECT_FALSE(capacityRefusal(PanelMethod::Hess, 1000));

    // A Mach number of 1 has no Prandtl-Glauert factor.
    const Points small = naca0012(21);
    const Outcome<PanelSolution> s =
        solvePanels(*buildPanelGeometry(small.x, small.y, 0), PanelMethod::Hess);
    EXPECT_EQ(s->at(2, {.mach = -1}).refusal().kind, Refusal::Kind::Mach);

    // A system whose first pivot is zero.
    PanelSystem zero;
    zero.unknowns = 2;
    zero.AN.redim(3);
    zero.AN(2, 2) = 1;
    const Outcome<PanelSolution> refused =
        factorPanels(zero, std::make_shared<const PanelGeometry>(panels));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.refusal().kind, Refusal::Kind::ZeroPivot);
    EXPECT_EQ(refused.refusal().message, " sıfır diyagonal elemanı");
}

TEST(PanelSolution, oneAngleInPlaceGivesTheBitsOfTheFactoredSolution)
{
    // The press solves its one angle on the augmented system in place; a
    // sweep keeps the factors. Both must give the same point.
    const Points p = naca0012(41);
    const PanelGeometry panels = *buildPanelGeometry(p.x, p.y, -2);
    const FlowConditions flow{.mach = 0.4, .correction = Compressibility::KarmanTsien};
    for (const PanelMethodInfo& info : panelMethods()) {
        SCOPED_TRACE(std::string(info.name));
        PanelSystem system = *assemblePanels(panels, info.method);
        const OperatingPoint factored = *solvePanels(panels, info.method)->at(6.5, flow);
        std::vector<double> strength;
        ASSERT_FALSE(solveInPlace(panels, system, 6.5, strength));
        const OperatingPoint once = operatingPointOf(panels, system, strength, 6.5, flow);
        EXPECT_EQ(bits(once.CL), bits(factored.CL));
        EXPECT_EQ(bits(once.CM), bits(factored.CM));
        EXPECT_EQ(once.Cu, factored.Cu);
        EXPECT_EQ(once.strength, factored.strength);
    }
}

TEST(PanelSolution, augmentedMatrixIsTheAssembledSystemWithTheAnglesRightHandSide)
{
    const Points p = naca0012(31);
    const PanelGeometry panels = *buildPanelGeometry(p.x, p.y, 0);
    for (const PanelMethodInfo& info : panelMethods()) {
        SCOPED_TRACE(std::string(info.name));
        const Outcome<PanelSolution> s = solvePanels(panels, info.method);
        ASSERT_TRUE(s);
        const Matrix A = s->augmented(4);
        const std::vector<double> strength = s->strengths(4);
        const int n = s->unknowns();
        // Every row of the system holds for the solved strengths.
        for (int I = 1; I <= n; ++I) {
            double residual = -A(I, n + 1), scale = std::fabs(A(I, n + 1));
            for (int J = 1; J <= n; ++J) {
                residual += A(I, J) * strength[static_cast<std::size_t>(J)];
                scale += std::fabs(A(I, J) * strength[static_cast<std::size_t>(J)]);
            }
            EXPECT_LE(std::fabs(residual), 1e-12 * std::max(scale, 1.0)) << I;
        }
    }
}

TEST(PanelSolution, sweepsInParallelThreadsGiveTheBitsOfTheSameSweepsInSequence)
{
    const Points p = naca0012(121);
    const std::vector<double> alphas = {-4, 0, 3.5, 8};
    std::vector<FlowSetup> setups;
    for (PanelMethod m : kAllMethods) setups.push_back({.method = m, .etaDeg = 1.5, .mach = 0.3});
    std::vector<SweepOutcome> sequential, parallel(setups.size());
    for (const FlowSetup& setup : setups) sequential.push_back(Sweep(p.x, p.y, setup, alphas));
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < setups.size(); ++k)
        threads.emplace_back([&, k] { parallel[k] = Sweep(p.x, p.y, setups[k], alphas); });
    for (std::thread& t : threads) t.join();
    for (std::size_t k = 0; k < setups.size(); ++k) {
        ASSERT_EQ(parallel[k].points.size(), alphas.size()) << parallel[k].message;
        for (std::size_t a = 0; a < alphas.size(); ++a) {
            const OperatingPoint& s = sequential[k].points[a];
            const OperatingPoint& q = parallel[k].points[a];
            EXPECT_EQ(bits(s.CL), bits(q.CL));
            EXPECT_EQ(bits(s.CM), bits(q.CM));
            EXPECT_EQ(s.Cu, q.Cu);
        }
    }
}

TEST(PanelMethods, theRegistryNamesEachMethodOnce)
{
    // Looking each word and method up again also finds a word or a method
    // given twice.
    std::set<std::string_view> options, names, captions;
    for (const PanelMethodInfo& info : panelMethods()) {
        EXPECT_EQ(methodFromWord(info.word), info.method);
        EXPECT_EQ(&methodInfo(info.method), &info);
        options.insert(info.option);
        names.insert(info.name);
        captions.insert(info.caption);
        EXPECT_LE(info.unknowns(info.maxPoints), kMaxPoints);
        // The main window shows each method as an option button of its own.
        const ui::ControlInfo* option = ui::findControl(info.option);
        ASSERT_NE(option, nullptr) << info.option;
        EXPECT_EQ(option->caption, info.caption);
    }
    EXPECT_EQ(options.size(), std::size(kAllMethods));
    EXPECT_EQ(names.size(), std::size(kAllMethods));
    EXPECT_EQ(captions.size(), std::size(kAllMethods));
    EXPECT_FALSE(methodFromWord("Hess"));
}

}  // namespace
}  // namespace tavrix
