#include "geometry/Form_KATJO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "app/NumberText.h"
#include "output/Plots.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix {
namespace {

constexpr double kPi = std::numbers::pi;
const std::string kHeading = " İterasyonun adım adım gelişimi";
const std::string kColumnHeader = " F        G      DELTA    GAMMA    XDLTC ";
const std::string kFGNotConverged = " F VE G İÇİN İTERASYON 20 ADIMDA YAKINSAMADI !";

// The Karman-Trefftz image of the circle point seen from the origin at angle
// theta, computed in complex arithmetic with the principal branch of the power.
std::complex<double> referenceImage(double F, double G, double m, double theta, double BB)
{
    const std::complex<double> centre(F, G);
    const double radius = std::hypot(1 + F, G);
    const std::complex<double> ray = std::polar(1.0, theta);
    // |r ray - centre| = radius, the root with r > 0.
    const double b = (std::conj(ray) * centre).real();
    const double r = b + std::sqrt(b * b + radius * radius - std::norm(centre));
    const std::complex<double> zeta = r * ray;
    const std::complex<double> w = std::pow((zeta - 1.0) / (zeta + 1.0), m);
    return m * BB * (1.0 + w) / (1.0 - w);
}

// Exponents of the FGITER blocks (" M=.." lines), in the order they ran.
std::vector<std::string> exponentsOf(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const auto& line : lines)
        if (line.rfind(" M=", 0) == 0) out.push_back(line.substr(3));
    return out;
}

// The circle and scale of a section, to compare sections as a whole.
std::array<double, 4> parameters(const KarmanTrefftzSection& s) { return {s.F, s.G, s.m, s.BB}; }

struct Measure {
    double thickness = 0;
    double camber = 0;
    double location = 0;
};

// Thickness and camber as the section is defined through its circle: the
// greatest distance, and the greatest mean height, of the images of the circle
// points at +theta and -theta; found by a dense scan.
Measure scanSection(double F, double G, double m)
{
    const double leadingEdge = referenceImage(F, G, m, 0, 1).real();
    const double chord = leadingEdge + m;  // the trailing edge lies at -m
    Measure best;
    const int steps = 200000;
    for (int k = 1; k < steps; ++k) {
        const double theta = kPi * k / steps;
        const auto a = referenceImage(F, G, m, theta, 1);
        const auto b = referenceImage(F, G, m, -theta, 1);
        const double d = std::abs(a - b) / chord;
        if (d > best.thickness) {
            best.thickness = d;
            best.location = (leadingEdge - (a.real() + b.real()) / 2) / chord;
        }
        best.camber = std::max(best.camber, (a.imag() + b.imag()) / (2 * chord));
    }
    return best;
}

class KarmanTrefftzTest : public ::testing::Test {
protected:
    KarmanTrefftzTest()
    {
        SetConstants(common_);
    }

    bool calculate(const char* delta, const char* gamma, const char* tau, const char* xd,
                   int np = 51)
    {
        ui_.type("Text_Delta", delta);
        ui_.type("Text_Gamma", gamma);
        ui_.type("Text_Tau", tau);
        ui_.type("Text_xDltc", xd);
        form_.setPointCount(np);
        return form_.Command1_Click();
    }

    const std::vector<std::string>& list() const { return ui_.list("List1"); }

    // The head of an FGITER block from line `at`: blank, " M=..", blank, columns, blank.
    static void expectBlockHead(const std::vector<std::string>& lines, std::size_t at,
                                const std::string& m)
    {
        ASSERT_GE(lines.size(), at + 5);
        const std::vector<std::string> head(lines.begin() + at, lines.begin() + at + 5);
        EXPECT_EQ(head, (std::vector<std::string>{"", " M=" + m, "", kColumnHeader, ""}));
    }

    std::vector<std::string> exponentsTried() const { return exponentsOf(list()); }

    Common common_;
    ui::HeadlessToolkit ui_;
    Form_KATJO form_{common_, ui_};
    KarmanTrefftzIteration kt_;  // the iteration on its own, lines kept in order
};

// ---------------------------------------------------------------------------
// The mapping

TEST_F(KarmanTrefftzTest, XYAgreesWithTheComplexMapOnBothSidesOfTheCircle)
{
    const double cases[][3] = {{0.08, 0, 2},        {0.1, 0.08, 2}, {0.05, 0.03, 1.9444},
                               {0.3, 0.2, 1.7},     {0.09, 0, 1.9}, {0.09, 0, 1.6}};
    for (const auto& c : cases) {
        for (double theta : {0.3, 1.2, 2.0, 2.9, 3.3, 4.0, 5.0, 6.0}) {
            double teta = theta;
            kt_.XY(c[0], c[1], c[2], teta, 7, 0.25);
            EXPECT_EQ(teta, theta) << "the angle comes back unchanged";
            const auto plus = referenceImage(c[0], c[1], c[2], theta, 0.25);
            const auto minus = referenceImage(c[0], c[1], c[2], -theta, 0.25);
            EXPECT_NEAR(kt_.XPos[7], plus.real(), 1e-12);
            EXPECT_NEAR(kt_.YPos[7], plus.imag(), 1e-12);
            EXPECT_NEAR(kt_.XNeg[7], minus.real(), 1e-12);
            EXPECT_NEAR(kt_.YNeg[7], minus.imag(), 1e-12);
            if (c[1] == 0) {  // a circle on the real axis gives exact mirror images
                EXPECT_EQ(kt_.XNeg[7], kt_.XPos[7]);
                EXPECT_EQ(kt_.YNeg[7], -kt_.YPos[7]);
            }
        }
    }
}

TEST_F(KarmanTrefftzTest, EdgesLieWhereTheMapPutsThemAndTheUnitCircleCrossingIsNotMirrored)
{
    // Leading edge: zeta = 1 + 2F goes to x = A - m C with the chord
    // A = 2 m C (1 + F)^m / ((1 + F)^m - F^m); trailing edge at x = -m C.
    const double F = 0.12, G = 0.05, m = 1.9, C = 0.7;
    const double A = 2 * m * C * std::pow(1 + F, m) / (std::pow(1 + F, m) - std::pow(F, m));
    const PlanePoint le = mapCirclePoint(F, G, m, 0, C);
    EXPECT_NEAR(le.x, A - m * C, 1e-12);
    EXPECT_NEAR(le.y, 0, 1e-12);
    const PlanePoint te = mapCirclePoint(F, G, m, kPi - 1e-7, C);
    EXPECT_NEAR(te.x, -m * C, 1e-6);
    EXPECT_NEAR(te.y, 0, 1e-6);

    // For F = 0.1, G = 0.08 the circle meets |zeta| = 1 again at this angle,
    // where the distance along the ray evaluates to exactly 1.
    const double theta = 4.491074538036897;
    const auto expected = referenceImage(0.1, 0.08, 1.9, theta, 1);
    const PlanePoint p = mapCirclePoint(0.1, 0.08, 1.9, theta, 1);
    EXPECT_NEAR(p.x, expected.real(), 1e-9);
    EXPECT_NEAR(p.y, expected.imag(), 1e-9);
}

// ---------------------------------------------------------------------------
// Measuring a section and iterating for F and G

TEST_F(KarmanTrefftzTest, DGXMeasuresThicknessCamberAndLocation)
{
    const double cases[][3] = {{0.0835, 0, 2}, {0.1, 0.08, 2}, {0.06, 0.05, 1.9}};
    for (const auto& c : cases) {
        const Measure expected = scanSection(c[0], c[1], c[2]);
        double dmax = -1, gmax = -1, location = -1;
        kt_.DGX(c[0], c[1], c[2], dmax, gmax, location);
        EXPECT_NEAR(dmax, expected.thickness, 1e-7) << c[0] << " " << c[1];
        EXPECT_NEAR(gmax, expected.camber, 1e-7) << c[0] << " " << c[1];
        EXPECT_NEAR(location, expected.location, 5e-4) << c[0] << " " << c[1];
        if (c[1] == 0) {
            EXPECT_EQ(gmax, 0);
        }
    }
    EXPECT_EQ(kt_.lines().size(), 3u) << "one list line per measured section";
}

TEST_F(KarmanTrefftzTest, DGXStopsWithoutALineOrOverrunWhenASearchNeverFalls)
{
    // The thickness of a section that cannot be evaluated never falls: no line.
    double dmax = -1, gmax = -1, location = 0.77;
    kt_.DGX(std::nan(""), 0.1, 2, dmax, gmax, location);
    EXPECT_EQ(location, 0.77);
    EXPECT_EQ(gmax, 0);
    EXPECT_TRUE(kt_.lines().empty());
    // A camber parameter too small to move any point: every station has the
    // same mean height 0, so the search runs on until the tables end.
    kt_.YPos.fill(123);
    gmax = -1;
    kt_.DGX(0.1, 1e-300, 2, dmax, gmax, location);
    EXPECT_EQ(kt_.YPos[KarmanTrefftzIteration::kStationLast], 123);
    EXPECT_NE(kt_.YPos[KarmanTrefftzIteration::kStationLast - 1], 123);
    EXPECT_EQ(gmax, 0);
}

TEST(KarmanTrefftzList, LineShowsFiveRoundedValuesJoinedAndNonFiniteOnesAsPrintfWritesThem)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(measuredSectionLine(0.076923, 0, 0.1, 0, 0.25, '.'),
              "0.07692  ,0  ,0.1  ,0  ,0.25");
    EXPECT_EQ(measuredSectionLine(0.076923, 0, 0.1, 0, 0.25, ','),
              "0,07692  ,0  ,0,1  ,0  ,0,25");
    EXPECT_EQ(measuredSectionLine(-0.0000049, 0.123456789, 1.5, 2, 0.999996, '.'),
              "0  ,0.12346  ,1.5  ,2  ,1");
    EXPECT_EQ(measuredSectionLine(std::nan(""), 0.1, inf, -inf, 0.25, '.'),
              "NAN  ,0.1  ,INF  ,-INF  ,0.25");
}

TEST_F(KarmanTrefftzTest, FGITERStartsFromThicknessOver1Point3AndTwiceTheCamber)
{
    double location = 0, F = 0, G = 0;
    kt_.FGITER(2, location, 0.12, 0.04, F, G);
    const std::vector<std::string>& lines = kt_.lines();
    expectBlockHead(lines, 0, "2");
    ASSERT_GE(lines.size(), 7u);
    // 0.12 / 1.3 = 0.0923077, then 1.1 times: 0.1015385; G: 0.08, 0.088.
    EXPECT_EQ(lines[5].rfind("0.09231  ,0.08  ,", 0), 0u) << lines[5];
    EXPECT_EQ(lines[6].rfind("0.10154  ,0.088  ,", 0), 0u) << lines[6];

    const Measure found = scanSection(F, G, 2);
    EXPECT_NEAR(found.thickness, 0.12, 2e-5);
    EXPECT_NEAR(found.camber, 0.04, 2e-5);
}

// ---------------------------------------------------------------------------
// The window: defaults, families, exponent iteration

// The window opens with 10 %, no camber, no edge angle and 51 points.
TEST_F(KarmanTrefftzTest, InitialInputsGiveTheSymmetricJoukowskySectionWithPoint26OnTheNose)
{
    ASSERT_TRUE(form_.Command1_Click());
    EXPECT_EQ(ui_.text("Text_Sonuc"), "JOUKOWSKY PROFILI");
    EXPECT_EQ(ui_.text("Text_m"), "2");
    EXPECT_EQ(ui_.text("Text_G"), "0");
    const double F = std::stod(ui_.text("Text_F"));
    EXPECT_NEAR(F, 0.0835, 0.0002);

    ASSERT_GE(list().size(), 9u);
    EXPECT_EQ(list()[0], kHeading);
    expectBlockHead(list(), 1, "2");
    // Starting values 0.10 / 1.3 = 0.0769231 and 1.1 times that, G = 0.
    EXPECT_EQ(list()[6].rfind("0.07692  ,0  ,", 0), 0u) << list()[6];
    EXPECT_EQ(list()[7].rfind("0.08462  ,0  ,", 0), 0u) << list()[7];
    for (std::size_t k = 6; k < list().size(); ++k) {
        EXPECT_EQ(list()[k].rfind("0.0", 0), 0u) << list()[k];
        EXPECT_NE(list()[k].find("  ,0  ,"), std::string::npos) << list()[k];
    }
    EXPECT_LE(list().size(), 6u + 22u);

    EXPECT_EQ(common_.NP, 51);
    EXPECT_EQ(common_.NPanel, 50);
    EXPECT_TRUE(common_.AirfoilReady);
    EXPECT_FALSE(ui_.drawing(kAirfoilPicture).items.empty());
    ASSERT_TRUE(form_.lastSection().has_value());
    EXPECT_NEAR(form_.lastSection()->F, F, 0.000005);

    EXPECT_EQ(common_.XCoord[1], 1);
    EXPECT_EQ(common_.YCoord[1], 0);
    EXPECT_EQ(common_.XCoord[51], 1);
    EXPECT_EQ(common_.YCoord[51], 0);
    EXPECT_NEAR(common_.XCoord[26], 0, 1e-12);
    EXPECT_NEAR(common_.YCoord[26], 0, 1e-12);
    for (int i = 2; i <= 25; ++i) {
        EXPECT_LT(common_.YCoord[i], 0) << i;
        EXPECT_LT(common_.XCoord[i + 1], common_.XCoord[i]) << i;  // towards the nose
        EXPECT_EQ(common_.XCoord[52 - i], common_.XCoord[i]) << i;
        EXPECT_EQ(common_.YCoord[52 - i], -common_.YCoord[i]) << i;
    }
}

TEST_F(KarmanTrefftzTest, FiftyTwoPointsLeaveTheLeadingEdgeBetweenTwoMirrorPoints)
{
    ASSERT_TRUE(calculate("0.10", "0.00", "0", "0.00", 52));
    EXPECT_EQ(common_.NP, 52);
    EXPECT_EQ(common_.NPanel, 51);
    EXPECT_EQ(common_.XCoord[52], 1);
    EXPECT_EQ(common_.YCoord[52], 0);
    for (int i = 1; i <= 52; ++i) EXPECT_GT(common_.XCoord[i], 1e-6) << i;
    EXPECT_EQ(common_.XCoord[26], common_.XCoord[27]);
    EXPECT_EQ(common_.YCoord[26], -common_.YCoord[27]);
    EXPECT_LT(common_.YCoord[26], 0);
    for (int i = 2; i <= 25; ++i) EXPECT_GT(common_.XCoord[i], common_.XCoord[26]) << i;
}

TEST_F(KarmanTrefftzTest, TrailingEdgeAngleGivesAKarmanTrefftzExponentAndNoExponentSearch)
{
    // The thickness location is ignored when an edge angle is given.
    ASSERT_TRUE(calculate("0.10", "0.00", "10", "0.40"));
    EXPECT_EQ(ui_.text("Text_m"), "1.94444");  // 2 - 10/180
    EXPECT_EQ(ui_.text("Text_Sonuc"), "KARMAN-TREFFTZ PROFILI");
    EXPECT_EQ(exponentsTried(), std::vector<std::string>{"1.94444"});

    // The outputs use the locale's separator.
    common_.DecimalSeparator = ',';
    ASSERT_TRUE(calculate("0.10", "0.00", "10", "0.00"));
    EXPECT_EQ(ui_.text("Text_m"), "1,94444");
    EXPECT_EQ(exponentsTried(), std::vector<std::string>{"1,94444"});
    EXPECT_NE(ui_.text("Text_F").find(','), std::string::npos);
    for (std::size_t k = 6; k < list().size(); ++k)
        EXPECT_EQ(list()[k].find('.'), std::string::npos) << list()[k];
}

TEST_F(KarmanTrefftzTest, ThicknessLocationFreesTheExponentOfACuspedSection)
{
    ASSERT_TRUE(calculate("0.10", "0.00", "0", "0.35", 399));
    const auto tried = exponentsTried();
    ASSERT_GE(tried.size(), 3u);  // 2, 1.95, then one block per secant step
    EXPECT_EQ(tried[0], "2");
    EXPECT_EQ(tried[1], "1.95");
    EXPECT_EQ(ui_.text("Text_m"), tried.back());
    EXPECT_EQ(std::count(list().begin(), list().end(), "iteration for m is not converged at 10 step"),
              0);
    EXPECT_EQ(ui_.text("Text_Sonuc"), "KARMAN-TREFFTZ PROFILI");
    const double m = form_.lastSection()->m;
    EXPECT_LT(m, 2);

    // The greatest thickness of the contour lies at the station asked for.
    double thickest = 0, at = 0;
    for (int i = 2; i < 200; ++i) {
        const double t = common_.YCoord[400 - i] - common_.YCoord[i];
        if (t > thickest) {
            thickest = t;
            at = common_.XCoord[i];
        }
    }
    EXPECT_NEAR(at, 0.35, 0.005);
    EXPECT_NEAR(thickest, 0.10, 1e-4);
}

// ---------------------------------------------------------------------------
// The section against its mathematics, measured on a fine contour

TEST_F(KarmanTrefftzTest, ContourHasTheWantedThicknessCamberAndTrailingEdgeAngle)
{
    const char* const sections[][3] = {{"0.12", "0.00", "0"},  {"0.12", "0.04", "0"},
                                       {"0.15", "0.00", "10"}, {"0.15", "0.02", "10"},
                                       {"0.15", "0.00", "20"}, {"0.18", "0.03", "20"}};
    const int np = 399;
    for (const auto& w : sections) {
        SCOPED_TRACE(std::string("thickness ") + w[0] + ", camber " + w[1] + ", edge angle " + w[2]);
        ASSERT_TRUE(calculate(w[0], w[1], w[2], "0", np));
        // Points i (lower surface) and np + 1 - i (upper surface) are the images
        // of one pair of circle points; the chord is 1 in this frame.
        double thickness = 0, camber = 0;
        for (int i = 2; i <= np / 2; ++i) {
            const int j = np + 1 - i;
            const double dx = common_.XCoord[j] - common_.XCoord[i];
            const double dy = common_.YCoord[j] - common_.YCoord[i];
            thickness = std::max(thickness, std::sqrt(dx * dx + dy * dy));
            camber = std::max(camber, (common_.YCoord[i] + common_.YCoord[j]) / 2);
        }
        // The image of zeta = 1 + 2F, the end of the chord (a cambered nose
        // reaches slightly ahead of it).
        EXPECT_NEAR(common_.XCoord[(np + 1) / 2], 0, 1e-12);
        EXPECT_NEAR(common_.YCoord[(np + 1) / 2], 0, 1e-12);
        // Iteration tolerance 1e-5, plus the stations missing the very top.
        EXPECT_NEAR(thickness, std::stod(w[0]), 2e-5);
        EXPECT_NEAR(camber, std::stod(w[1]), 2e-5);

        // Angle at (1, 0) between the chords to the k-th point of each surface;
        // its error is proportional to the circle angle, so two stations
        // extrapolate it to the edge.
        auto angleAt = [&](int k) {
            const double lx = common_.XCoord[k] - 1, ly = common_.YCoord[k];
            const double ux = common_.XCoord[np + 1 - k] - 1, uy = common_.YCoord[np + 1 - k];
            return std::atan2(lx * uy - ly * ux, lx * ux + ly * uy) * 180 / kPi;
        };
        const double atEdge = 2 * angleAt(2) - angleAt(3);
        EXPECT_NEAR(std::fabs(atEdge), std::stod(w[2]), 0.01);
        EXPECT_NEAR(std::fabs(angleAt(2)), std::stod(w[2]), 0.25);
    }
}

// ---------------------------------------------------------------------------
// Refusals: a message, and the contour, the outputs and the count stay

const char* const kThickness = "Thickness ratio must be greater than 0 and less than 1";
const char* const kCamber = "Camber ratio must be at least 0 and less than 1";
const char* const kAngle = "TE internal angle must be at least 0 and less than 180 degrees";
const char* const kLocation = "Max thickness location must be at least 0 and less than 1";
const char* const kCount =
    "Number of panel end points must be a whole number from 3 to 400 for this airfoil";
const char* const kNoSection = "No section found for these characteristics";
const char* const kCrossed =
    "No section found for these characteristics: the surfaces would cross at the trailing edge";

TEST_F(KarmanTrefftzTest, RefusalLeavesEverythingAsItWas)
{
    const struct {
        const char *delta, *gamma, *tau, *xd;
        const char* message;
        bool afterIterations;
    } cases[] = {
        {"0", "0", "0", "0", kThickness, false},
        // A number too large is refused while reading, before the range checks.
        {"1e999", "1", "0", "0", "Number too large: 1e999", false},
        {"0", "0", "1e999", "0", "Number too large: 1e999", false},
        {"0.1", "0", "0", "-1E999", "Number too large: -1E999", false},
        {"0.095", "0.029", "0", "0.2", kCrossed, true},
        // A lens with this edge angle is already thicker than wanted.
        {"0.066", "0", "20", "0", kNoSection, true},
    };
    for (const auto& r : cases) {
        SCOPED_TRACE(std::string(r.delta) + " " + r.gamma + " " + r.tau + " " + r.xd);
        ASSERT_TRUE(calculate("0.10", "0.00", "10", "0.00", 61));
        const Table x = common_.XCoord, y = common_.YCoord;
        const std::vector<std::string> listBefore = list();
        const auto sectionBefore = parameters(*form_.lastSection());
        const std::size_t drawnBefore = ui_.drawing(kAirfoilPicture).items.size();
        auto outputs = [&] {
            return std::vector{ui_.text("Text_F"), ui_.text("Text_G"), ui_.text("Text_m"),
                               ui_.text("Text_Sonuc")};
        };
        const std::vector<std::string> outputsBefore = outputs();
        common_.AirfoilReady = false;  // tells whether the handler set it again
        ui_.clearMessages();

        EXPECT_FALSE(calculate(r.delta, r.gamma, r.tau, r.xd));

        EXPECT_EQ(ui_.messages(), std::vector<std::string>{r.message});
        EXPECT_FALSE(common_.AirfoilReady);
        EXPECT_EQ(common_.NP, 61);
        EXPECT_EQ(common_.NPanel, 60);
        EXPECT_EQ(common_.XCoord, x);
        EXPECT_EQ(common_.YCoord, y);
        EXPECT_EQ(ui_.drawing(kAirfoilPicture).items.size(), drawnBefore);
        EXPECT_EQ(outputs(), outputsBefore);
        EXPECT_EQ(parameters(*form_.lastSection()), sectionBefore);
        if (r.afterIterations) {
            ASSERT_GE(list().size(), 7u);
            EXPECT_EQ(list()[0], kHeading);
            EXPECT_NE(list(), listBefore);
        } else {
            EXPECT_EQ(list(), listBefore);
        }
    }
}

// ---------------------------------------------------------------------------
// The design as a value, without the window

KarmanTrefftzInputs wanted(double delta, double gamma, double tau, double xd, int np = 51)
{
    return {delta, gamma, tau, xd, np, '.'};
}

TEST_F(KarmanTrefftzTest, DesignGivesTheLinesTheWindowListsAndTheContourItHandsOn)
{
    const struct {
        const char *delta, *gamma, *tau, *xd;
        int np;
    } cases[] = {{"0.10", "0.00", "0", "0.00", 51}, {"0.12", "0.04", "0", "0", 52},
                 {"0.15", "0.02", "10", "0.4", 3},  {"0.10", "0.00", "0", "0.35", 400},
                 {"0.3", "0.08", "0", "0.22", 61},  {"0.095", "0.029", "0", "0.2", 51},
                 {"0.066", "0", "20", "0", 51}};
    for (const auto& t : cases) {
        SCOPED_TRACE(std::string(t.delta) + " " + t.gamma + " " + t.tau + " " + t.xd + " " +
                     std::to_string(t.np));
        ui_.clearMessages();
        const bool made = calculate(t.delta, t.gamma, t.tau, t.xd, t.np);
        const KarmanTrefftzDesign design = designKarmanTrefftz(wanted(
            std::stod(t.delta), std::stod(t.gamma), std::stod(t.tau), std::stod(t.xd), t.np));
        EXPECT_EQ(design.lines, list());
        EXPECT_EQ(!design.refusal, made);
        if (!made) {
            EXPECT_EQ(std::vector<std::string>{*design.refusal}, ui_.messages());
            EXPECT_TRUE(design.contour.x.empty());
            continue;
        }
        EXPECT_EQ(design.contour.x,
                  std::vector(common_.XCoord.begin() + 1, common_.XCoord.begin() + 1 + t.np));
        EXPECT_EQ(design.contour.y,
                  std::vector(common_.YCoord.begin() + 1, common_.YCoord.begin() + 1 + t.np));
        EXPECT_EQ(parameters(design.section), parameters(*form_.lastSection()));
        EXPECT_EQ(ui_.text("Text_Sonuc"),
                  design.joukowsky() ? "JOUKOWSKY PROFILI" : "KARMAN-TREFFTZ PROFILI");
    }
}

TEST(KarmanTrefftzDesign, RefusesBadInputsBeforeAnyIterationWithItsOwnText)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        KarmanTrefftzInputs in;
        const char* refusal;
    } cases[] = {
        {wanted(0, 0, 0, 0), kThickness},         {wanted(1, 0, 0, 0), kThickness},
        {wanted(-0.1, 0, 0, 0), kThickness},      {wanted(nan, 0, 0, 0), kThickness},
        {wanted(0.1, -1e-9, 0, 0), kCamber},      {wanted(0.1, 1, 0, 0), kCamber},
        {wanted(0.1, 0, -1e-9, 0), kAngle},       {wanted(0.1, 0, 180, 0), kAngle},
        {wanted(0.1, 0, 0, -0.1), kLocation},     {wanted(0.1, 0, 0, 1), kLocation},
        {wanted(0.1, 0, 0, 0, 2), kCount},        {wanted(0.1, 0, 0, 0, 401), kCount},
        // The checks run in this order; the first failing one speaks.
        {wanted(0, 1, 180, 1, 2), kThickness},    {wanted(0.1, 1, 180, 1, 2), kCamber},
        {wanted(0.1, 0, 180, 1, 2), kAngle},      {wanted(0.1, 0, 0, 1, 2), kLocation},
    };
    for (const auto& c : cases) {
        const KarmanTrefftzDesign design = designKarmanTrefftz(c.in);
        ASSERT_TRUE(design.refusal.has_value()) << c.refusal;
        EXPECT_EQ(*design.refusal, c.refusal);
        EXPECT_TRUE(design.lines.empty()) << c.refusal;
        EXPECT_TRUE(design.contour.x.empty()) << c.refusal;
    }
}

TEST(KarmanTrefftzDesign, RefusalsAfterTheIterationsKeepTheirLines)
{
    // An exponent above 2 would make the trailing-edge angle (2 - m) pi negative.
    const KarmanTrefftzDesign crossed = designKarmanTrefftz(wanted(0.095, 0.029, 0, 0.2));
    EXPECT_EQ(crossed.refusal.value_or(""), kCrossed);
    const std::vector<std::string> tried = exponentsOf(crossed.lines);
    ASSERT_FALSE(tried.empty());
    EXPECT_NEAR(std::stod(tried.back()), 2.165, 0.001);
    // A lens of 20 degrees edge angle is already thicker than 6.6 %.
    const KarmanTrefftzDesign lens = designKarmanTrefftz(wanted(0.066, 0, 20, 0));
    EXPECT_EQ(lens.refusal.value_or(""), kNoSection);
    ASSERT_GE(lens.lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lens.lines.end() - 2, lens.lines.end()),
              (std::vector<std::string>{" ", kFGNotConverged}));
}

TEST(KarmanTrefftzDesign, ExponentThatDoesNotConvergeKeepsTheNewestOneTried)
{
    const KarmanTrefftzDesign design = designKarmanTrefftz(wanted(0.3, 0.08, 0, 0.22));
    ASSERT_FALSE(design.refusal.has_value());
    const std::string notConverged = "iteration for m is not converged at 10 step";
    EXPECT_EQ(design.lines.back(), notConverged);
    EXPECT_EQ(std::count(design.lines.begin(), design.lines.end(), notConverged), 1);
    // m = 2 for the edge angle, 1.95, then ten secant steps.
    const std::vector<std::string> tried = exponentsOf(design.lines);
    ASSERT_EQ(tried.size(), 12u);
    EXPECT_EQ(tried[0], "2");
    EXPECT_EQ(tried[1], "1.95");
    EXPECT_EQ(generalForm(roundHalfEven(design.section.m, 5)), tried[11]);
    EXPECT_FALSE(design.joukowsky());
}

TEST(KarmanTrefftzDesign, ContourOfASectionFoundEarlierIsTheSamePointForPoint)
{
    // A cusped and an angled trailing edge; three points are the trailing edge
    // twice and, between them, the image of zeta = 1 + 2F, the end of the chord.
    const double sections[][3] = {{0.12, 0.04, 0}, {0.15, 0.02, 10}};
    for (const auto& w : sections) {
        for (int np : {3, 4, 51, 52, 400}) {
            SCOPED_TRACE(std::to_string(w[2]) + " degrees, " + std::to_string(np) + " points");
            const KarmanTrefftzDesign design = designKarmanTrefftz(wanted(w[0], w[1], w[2], 0, np));
            ASSERT_FALSE(design.refusal.has_value());
            ASSERT_EQ(design.contour.size(), np);
            EXPECT_EQ(design.contour.x.front(), 1);
            EXPECT_EQ(design.contour.x.back(), 1);
            if (np == 3) {
                EXPECT_NEAR(design.contour.x[1], 0, 1e-12);
                EXPECT_NEAR(design.contour.y[1], 0, 1e-12);
            }
            const std::optional<Contour> again = karmanTrefftzContour(design.section, np);
            ASSERT_TRUE(again.has_value());
            EXPECT_EQ(again->x, design.contour.x);
            EXPECT_EQ(again->y, design.contour.y);
        }
    }
    const KarmanTrefftzSection joukowsky{0.0835, 0, 2, 0.25};
    EXPECT_FALSE(karmanTrefftzContour(joukowsky, 2).has_value());
    EXPECT_FALSE(karmanTrefftzContour(joukowsky, 401).has_value());
}

}  // namespace
}  // namespace tavrix
