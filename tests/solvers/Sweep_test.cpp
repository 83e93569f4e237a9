#include "app/PressSolvers.h"
#include "solvers/Sweep.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Form_TavrixS.h"
#include "solvers/Compressibility.h"
#include "tests/solvers/SolverTestSupport.h"

namespace tavrix {
namespace {

using testing::Session;

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// The shortest text that reads back as v.
std::string text(double v)
{
    char buffer[40];
    return {buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr};
}

// A press of "Calculate velocities and show" with these inputs.
void press(Session& s, const FlowSetup& setup, double alpha)
{
    s.tk.select(methodOption(setup.method));
    s.tk.setValue("Check_Circulation", setup.noCirculation ? 1 : 0);
    s.tk.type("Text_AlfaD", text(alpha));
    s.tk.type("Text_ItaD", text(setup.etaDeg));
    s.tk.type("Text_Moo", text(setup.mach));
    s.press();
}

// The sweep over the angles holds everything a press at each angle derives,
// bit for bit: the coefficients, the surface speeds and pressures, the
// incompressible pressures and the control points.
void expectSweepIsThePresses(Session& s, const FlowSetup& setup, const std::vector<double>& alphas)
{
    const SweepOutcome sweep = Sweep(s.c, setup, alphas);
    ASSERT_EQ(sweep.message, "");
    ASSERT_FALSE(sweep.cancelled);
    ASSERT_EQ(sweep.points.size(), alphas.size());
    for (std::size_t a = 0; a < alphas.size(); ++a) {
        SCOPED_TRACE(::testing::Message() << "alpha " << alphas[a]);
        press(s, setup, alphas[a]);
        ASSERT_TRUE(s.form.lastPressCompleted());
        const Common& c = s.c;
        const OperatingPoint& p = sweep.points[a];
        const Coefficients k = IntegrateForces(c);
        EXPECT_EQ(bits(p.CL), bits(k.CL));
        EXPECT_EQ(bits(p.CD), bits(k.CD));
        EXPECT_EQ(bits(p.CM), bits(k.CM));
        EXPECT_EQ(p.alphaDeg, c.AlfaD);
        ASSERT_EQ(p.Vt.size(), static_cast<std::size_t>(c.NPanel));
        ASSERT_EQ(p.Cu.size(), p.Vt.size());
        ASSERT_EQ(p.CuIncompressible.size(), p.Vt.size());
        int differing = 0;
        for (int i = 1; i <= c.NPanel; ++i) {
            const auto j = static_cast<std::size_t>(i - 1);
            if (bits(p.Vt[j]) != bits(c.Vt[i]) || bits(p.Cu[j]) != bits(c.Cu[i]) ||
                bits(p.CuIncompressible[j]) != bits(c.Vt[i] * c.Vt[i]) ||
                bits(p.XM[j]) != bits(c.XM[i]) || bits(p.YM[j]) != bits(c.YM[i]))
                ++differing;
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST(SweepAgainstPresses, everyMethodGivesThePressBitForBitAtEveryAngle)
{
    const std::vector<double> alphas = {-4, 0, 2.5, 7.25, 12};
    const double conditions[][2] = {{0, 0}, {3, 0.5}, {-2.5, -0.3}};  // eta, Mach
    for (bool cambered : {false, true}) {
        Session s;
        cambered ? testing::chooseKarmanTrefftz(s, 41) : s.chooseNaca("41");
        for (PanelMethod method : kAllMethods) {
            for (bool noCirculation : {false, true}) {
                if (noCirculation && method != PanelMethod::Hess) continue;
                for (const auto& [eta, mach] : conditions) {
                    SCOPED_TRACE(::testing::Message()
                                 << methodName(method) << (noCirculation ? " no circulation" : "")
                                 << (cambered ? " Karman-Trefftz" : " NACA") << " eta " << eta
                                 << " Moo " << mach);
                    expectSweepIsThePresses(s, {.method = method, .etaDeg = eta, .mach = mach,
                                                .noCirculation = noCirculation},
                                            alphas);
                }
            }
        }
    }
}

TEST(SweepAgainstPresses, largestSystemsOfEachMethodAgreeToo)
{
    Session s;
    s.chooseNaca("199");
    for (PanelMethod method : kAllMethods) {
        SCOPED_TRACE(methodName(method));
        expectSweepIsThePresses(s, {.method = method}, {1, 6});
    }
}

TEST(SweepState, leavesTheCallersStateAndTheResultFilesAlone)
{
    Session s;
    s.chooseNaca("51");
    press(s, FlowSetup{}, 3);
    const std::string report = s.report(), columns = s.columns();
    const Common before = s.c;
    const std::vector<double> alphas = {-2, 8};
    for (PanelMethod method : kAllMethods)
        ASSERT_EQ(Sweep(s.c, {.method = method, .etaDeg = 4, .mach = 0.4}, alphas).points.size(), 2u);
    EXPECT_EQ(s.report(), report);
    EXPECT_EQ(s.columns(), columns);
    EXPECT_FALSE(std::filesystem::exists(s.c.WorkDir / kPanelPropertiesFile));
    EXPECT_TRUE(s.tk.messages().empty());
    EXPECT_TRUE(s.c.X == before.X && s.c.XM == before.XM && s.c.YM == before.YM);
    EXPECT_TRUE(s.c.Vt == before.Vt && s.c.Cu == before.Cu && s.c.Strength == before.Strength);
    EXPECT_EQ(s.c.AlfaD, before.AlfaD);
    ASSERT_EQ(s.c.AN.upper(), before.AN.upper());
    for (int i = 0; i <= s.c.AN.upper(); ++i)
        for (int j = 0; j <= s.c.AN.upper(); ++j) ASSERT_EQ(s.c.AN(i, j), before.AN(i, j));
}

TEST(SweepCorrections, karmanTsienCorrectsTheIncompressiblePressure)
{
    Session s;
    s.chooseNaca("61");
    FlowSetup setup{.method = PanelMethod::VortexPanel, .mach = 0.6,
                    .correction = Compressibility::KarmanTsien};
    const std::vector<double> alphas = {4};
    const SweepOutcome kt = Sweep(s.c, setup, alphas);
    setup.correction = Compressibility::PrandtlGlauert;
    const SweepOutcome pg = Sweep(s.c, setup, alphas);
    ASSERT_EQ(kt.points.size(), 1u);
    const OperatingPoint& p = kt.points[0];
    EXPECT_EQ(p.CuIncompressible, pg.points[0].CuIncompressible);
    for (std::size_t i = 0; i < p.Cu.size(); ++i)
        EXPECT_EQ(p.Cu[i], 1 - KarmanTsienCp(1 - p.CuIncompressible[i], 0.6)) << i;
    // Prandtl-Glauert divides every Cp by beta = 0.8; the constant 1 of Cu
    // integrates to nothing on the closed contour, so CL is divided too.
    setup.mach = 0;
    const SweepOutcome incompressible = Sweep(s.c, setup, alphas);
    EXPECT_NEAR(pg.points[0].CL, incompressible.points[0].CL / 0.8, 1e-12);
    EXPECT_NEAR(incompressible.points[0].CL, 0.48, 0.01);
    // Without a Mach number neither correction touches the pressure.
    setup.correction = Compressibility::KarmanTsien;
    const SweepOutcome still = Sweep(s.c, setup, alphas);
    EXPECT_EQ(still.points[0].Cu, still.points[0].CuIncompressible);
    EXPECT_EQ(still.points[0].CL, incompressible.points[0].CL);
}

TEST(SweepEnd, refusalsAndAZeroPivotAreThoseOfAPress)
{
    Session s;
    // The message of a sweep that solved no angle.
    const std::vector<double> alphas = {0, 5};
    const auto refusal = [&](const FlowSetup& setup) {
        const SweepOutcome r = Sweep(s.c, setup, alphas);
        EXPECT_TRUE(r.points.empty()) << r.message;
        return r.message;
    };
    EXPECT_EQ(refusal({}), "Calculate airfoil coordinates");

    s.chooseNaca("1000");
    const std::string capacity = refusal({.method = PanelMethod::SoinneLaine});
    EXPECT_EQ(capacity, "This panel method allows at most 999 panel end points");
    press(s, {.method = PanelMethod::SoinneLaine}, 0);
    EXPECT_EQ(s.tk.messages(), std::vector<std::string>{capacity});
    s.tk.clearMessages();
    EXPECT_EQ(refusal({.mach = -1}), "The free-stream Mach number must be less than 1");

    // Two coincident end points.
    s.c.XCoord[7] = s.c.XCoord[6];
    s.c.YCoord[7] = s.c.YCoord[6];
    EXPECT_EQ(refusal({}), "Panel end points 6 and 7 coincide");

    // A single panel: the Hess trailing-edge row compares the panel with
    // itself and is all zero. The sweep shows no message of its own.
    s.chooseCircle("2");
    s.c.XCoord[1] = 1;
    s.c.YCoord[1] = s.c.XCoord[2] = s.c.YCoord[2] = 0;
    EXPECT_EQ(refusal({}), " sıfır diyagonal elemanı");
    EXPECT_TRUE(s.tk.messages().empty());
}

TEST(SweepProgress, cancellingKeepsTheAnglesSolvedSoFar)
{
    Session s;
    s.chooseNaca("41");
    const std::vector<double> alphas = {0, 1, 2, 3, 4};
    std::vector<std::size_t> asked;
    const SweepOutcome r =
        Sweep(s.c, FlowSetup{}, alphas, [&](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, alphas.size());
            asked.push_back(done);
            return done < 3;
        });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.message, "");
    ASSERT_EQ(r.points.size(), 3u);
    EXPECT_EQ(r.points[2].alphaDeg, 2);
    EXPECT_EQ(asked, (std::vector<std::size_t>{0, 1, 2, 3}));
}

}  // namespace
}  // namespace tavrix
