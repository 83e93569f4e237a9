#include "geometry/CoordinateFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <variant>

#include "geometry/NacaSections.h"
#include "support/Session.h"

namespace tavrix {
namespace {

using testing::readFile;
using testing::Session;

std::string num(double v)
{
    char b[64];
    return std::string(b, std::to_chars(b, b + sizeof b, v).ptr);
}

Contour section(const std::string& digits, int np, bool open = false)
{
    return makeNacaSection(std::get<NacaDesignation>(parseNacaDesignation(digits)), np, open,
                           M_PI);
}

// Program order is lower surface first; the writers below turn it into each layout.
std::string asProgramOrder(const Contour& c)
{
    std::string s = c.name + "\n";
    for (int i = 0; i < c.size(); ++i) s += num(c.x[i]) + "\t" + num(c.y[i]) + "\n";
    return s;
}

std::string asLednicer(const Contour& c)
{
    const int le = (c.size() - 1) / 2;  // 0-based, an even number of panels
    std::string s = c.name + "\n" + std::to_string(c.size() - le) + ".  " +
                    std::to_string(le + 1) + ".\n\n";
    for (int i = le; i < c.size(); ++i) s += "  " + num(c.x[i]) + "  " + num(c.y[i]) + "\n";
    s += "\n";
    for (int i = le; i >= 0; --i) s += "  " + num(c.x[i]) + "  " + num(c.y[i]) + "\n";
    return s;
}

std::string asArf(const Contour& c)
{
    std::string s = c.name + "\n" + std::to_string(c.size()) + "\n";
    for (int i = 0; i < c.size(); ++i)
        s += std::to_string(i + 1) + ", " + num(c.x[i]) + ", " + num(c.y[i]) + "\n";
    return s;
}

std::string write(Session& s, const std::string& name, const std::string& text)
{
    const auto path = s.dir.path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

// Writes `text` to the file `name` and opens it in the session.
bool openText(Session& s, const std::string& name, const std::string& text)
{
    return s.form.airfoilMenu().openFile(write(s, name, text));
}

// The vortex-panel solution at 4 degrees, as the main window shows it.
void pressVortexPanelAt4(Session& s)
{
    s.tk.type("Text_AlfaD", "4");
    s.chooseMethod("Option_VORPAN");
    s.press();
}

TEST(CoordinateFormats, theLayoutIsToldFromTheContent)
{
    using enum CoordinateFormat;
    const std::pair<const char*, CoordinateFormat> cases[] = {
        {"# made by hand\n1.0, 0.0\n0.5, 0.05\n", Plain},
        {"NACA 2412\n1.0 0.0\n0.5 0.05\n", Selig},   {"Sample section\n5\n1, 1.0, 0.0\n", Arf},
        {"NACA 2412\n 61.  61.\n\n0 0\n", Lednicer}, {"\"Quoted, name\"\n3\n", Arf},
        {"4415\n1.0 0.0\n0.5 0.05\n", Selig},        {"Sample\n1 1.0 0.0\n", Arf},
        {"4415\n3\n1 1 0\n", Arf},
        // A quote in the name keeps the Selig reading; a quoted name and a count the .arf one.
        {"NACA 0012 \"smoothed\"\n1 0\n0 0\n1 0.1\n", Selig},
        {"\"Quoted, name\",3,1,1,0,2,0,0,3,1,0.1\n", Arf},
    };
    for (const auto& [text, format] : cases)
        EXPECT_EQ(detectCoordinateFormat(text), format) << text;
}

TEST(CoordinateFormats, aQuoteInTheNameOrWholeNumbersInTheFirstPointKeepTheSeligReading)
{
    // Counts that match the blocks below are Lednicer's, others a first point.
    const std::string lednicer = "L\n3 3\n0 0\n0.5 0.06\n1 0\n0 0\n0.5 -0.06\n1 0\n";
    const std::string selig = "S\n3 2\n1.5 2.18\n0 2\n1.5 1.82\n3 2\n";
    for (const std::string& text : {lednicer, selig})
        ASSERT_EQ(detectCoordinateFormat(text), CoordinateFormat::Lednicer);
    auto asLednicer = readCoordinateContour(lednicer, CoordinateFormat::Lednicer, "x");
    ASSERT_TRUE(std::holds_alternative<PreparedContour>(asLednicer))
        << std::get<std::string>(asLednicer);
    EXPECT_EQ(std::get<PreparedContour>(asLednicer).contour.size(), 5);
    auto asSelig = readCoordinateContour(selig, CoordinateFormat::Lednicer, "x");
    ASSERT_TRUE(std::holds_alternative<PreparedContour>(asSelig))
        << std::get<std::string>(asSelig);
    const Contour& read = std::get<PreparedContour>(asSelig).contour;
    ASSERT_EQ(read.size(), 5);
    EXPECT_GT(read.x.front(), read.x[2]);  // the trailing edge first, the nose in the middle
    EXPECT_LT(read.y[1], read.y[3]);       // clockwise: the lower surface first

    // A section on a 300 mm chord whose trailing edge sits at whole millimetres.
    const Contour c = section("0012", 41);
    Contour mm = c;
    mm.name = "Model rib A";
    for (int i = 0; i < mm.size(); ++i) {
        mm.x[i] = 300 * c.x[i];
        mm.y[i] = 300 * c.y[i] + 20;
    }
    Session s;
    ASSERT_TRUE(openText(s, "rib.dat", writeSelig(mm)))
        << s.tk.messages().front();
    EXPECT_EQ(s.c.AirfoilName, "Model rib A");
    EXPECT_EQ(s.c.NP, 41);
}

TEST(CoordinateFormats, everyLayoutWithLfCrLfOrCrLineEndsGivesTheSamePointsAndResultFiles)
{
    // The reference re-computation's own sample, with the old Macintosh line ends.
    {
        const std::string cr = "Sample\r5\r1 1 0\r2 0.5 -0.06\r3 0 0\r4 0.5 0.06\r5 1 0\r";
        EXPECT_EQ(detectCoordinateFormat(cr), CoordinateFormat::Arf);
        Session s;
        ASSERT_TRUE(openText(s, "cr.arf", cr));
        EXPECT_EQ(s.c.NP, 5);
        EXPECT_EQ(s.c.YCoord[2], -0.06);
    }
    const Contour c = section("2412", 61);
    std::string report, columns;
    const std::pair<const char*, std::string> files[] = {
        {"selig.dat", writeSelig(c)}, {"lednicer.dat", asLednicer(c)},
        {"reversed.txt", asProgramOrder(c)}, {"own.arf", asArf(c)}};
    for (const auto& [name, lf] : files) {
        std::string cr = lf, crlf;
        std::replace(cr.begin(), cr.end(), '\n', '\r');
        for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        for (const std::string& text : {lf, cr, crlf}) {
            SCOPED_TRACE(name + std::string(text == lf ? " LF" : text == cr ? " CR" : " CRLF"));
            EXPECT_EQ(detectCoordinateFormat(text), detectCoordinateFormat(lf));
            Session s;
            ASSERT_TRUE(openText(s, name, text))
                << s.tk.messages().front();
            EXPECT_TRUE(s.tk.messages().empty());
            EXPECT_EQ(s.c.AirfoilName, "NACA 2412");
            ASSERT_EQ(s.c.NP, 61);
            for (int i = 1; i <= 61; ++i) {
                ASSERT_EQ(s.c.XCoord[i], c.x[i - 1]) << "point " << i;
                ASSERT_EQ(s.c.YCoord[i], c.y[i - 1]) << "point " << i;
            }
            pressVortexPanelAt4(s);
            if (report.empty()) {
                report = s.report();
                columns = s.columns();
            } else {
                EXPECT_EQ(s.report(), report);
                EXPECT_EQ(s.columns(), columns);
            }
        }
    }
    EXPECT_FALSE(report.empty());
}

TEST(CoordinateFormats, blanksTabsCommasSeparateAndCommentLinesAreSkipped)
{
    const std::string a = "A\n1 0\n0.5 0.06\n0 0\n0.5 -0.06\n1 0\n";
    const std::string b = "A\r\n# note\n1,0\n0.5\t0.06\n\n 0 , 0\n0.5,\t-0.06\n# end\n1 0";
    auto pa = parseCoordinatePoints(a, detectCoordinateFormat(a), "x");
    auto pb = parseCoordinatePoints(b, detectCoordinateFormat(b), "x");
    ASSERT_TRUE(std::holds_alternative<Contour>(pa));
    ASSERT_TRUE(std::holds_alternative<Contour>(pb)) << std::get<std::string>(pb);
    EXPECT_EQ(std::get<Contour>(pa).x, std::get<Contour>(pb).x);
    EXPECT_EQ(std::get<Contour>(pa).y, std::get<Contour>(pb).y);
    EXPECT_EQ(std::get<Contour>(pb).name, "A");
}

TEST(CoordinateFormats, anOpenTrailingEdgeIsClosedAtTheMidPointOfTheGap)
{
    const Contour open = section("4415", 81, true);
    Session s;
    ASSERT_TRUE(openText(s, "open.dat", writeSelig(open)));
    // The gap of the classic coefficients: twice 5 t (0.2969 - 0.1260 - 0.3516
    // + 0.2843 - 0.1015) = 0.00315 across the mean line at the edge.
    ASSERT_EQ(s.tk.messages().size(), 1u);
    EXPECT_NE(s.tk.messages()[0].find("0.00315"), std::string::npos) << s.tk.messages()[0];
    const double mx = (open.x.front() + open.x.back()) / 2;
    const double my = (open.y.front() + open.y.back()) / 2;
    EXPECT_EQ(s.c.XCoord[1], mx);
    EXPECT_EQ(s.c.YCoord[1], my);
    EXPECT_EQ(s.c.XCoord[81], mx);
    EXPECT_EQ(s.c.YCoord[81], my);
    // The nose stays (to the fraction of the gap its small offset from the
    // farthest point gives); behind it every mirror pair comes closer by the
    // gap times the fraction of the chord, to first order.
    EXPECT_NEAR(s.c.XCoord[41], open.x[40], 1e-6);
    EXPECT_NEAR(s.c.YCoord[41], open.y[40], 1e-6);
    for (int i = 2; i < 40; ++i) {
        const double before = std::hypot(open.x[80 - (i - 1)] - open.x[i - 1],
                                         open.y[80 - (i - 1)] - open.y[i - 1]);
        const double after = std::hypot(s.c.XCoord[82 - i] - s.c.XCoord[i],
                                         s.c.YCoord[82 - i] - s.c.YCoord[i]);
        const double x = (open.x[i - 1] + open.x[80 - (i - 1)]) / 2;
        EXPECT_NEAR(before - after, 0.00315 * x, 2e-5) << i;
    }
}

TEST(CoordinateFormats, pointsOffTheUnitChordAreBroughtToItAndThatIsSaid)
{
    const Contour c = section("2412", 61);
    auto pressed = [](Session& s) {
        pressVortexPanelAt4(s);
        return std::pair{std::stod(s.tk.text("Text_CL")), std::stod(s.tk.text("Text_CM"))};
    };
    Session unit;
    ASSERT_TRUE(openText(unit, "unit.dat", writeSelig(c)));
    EXPECT_TRUE(unit.tk.messages().empty());
    const auto [cl, cm] = pressed(unit);
    ASSERT_NEAR(cl, 0.75, 0.05);  // about 2 pi (4 + 2) degrees

    const struct {
        const char* name;
        double scale, dx, dy;
        const char* said;
    } cases[] = {
        {"percent", 100, 0, 0, "had a chord of 100 with the leading edge at (0, 0)"},
        {"shifted", 1, 5, 0, "had a chord of 1 with the leading edge at (5, 0)"},
        {"millimetres", 250, 40, -12.5, "had a chord of 250 with the leading edge at (40, -12.5)"},
    };
    for (const auto& k : cases) {
        Contour moved = c;
        for (int i = 0; i < moved.size(); ++i) {
            moved.x[i] = k.scale * c.x[i] + k.dx;
            moved.y[i] = k.scale * c.y[i] + k.dy;
        }
        Session s;
        ASSERT_TRUE(openText(s, "moved.dat", writeSelig(moved)));
        ASSERT_EQ(s.tk.messages().size(), 1u) << k.name;
        EXPECT_EQ(s.tk.messages()[0], "The coordinates of NACA 2412 " + std::string(k.said) +
                                          "; they have been brought to a unit chord with the "
                                          "leading edge at the origin");
        EXPECT_EQ(s.c.XCoord[31], 0);
        EXPECT_EQ(s.c.YCoord[31], 0);
        for (int i = 1; i <= 61; ++i) {
            ASSERT_NEAR(s.c.XCoord[i], c.x[i - 1], 1e-14) << k.name << " " << i;
            ASSERT_NEAR(s.c.YCoord[i], c.y[i - 1], 1e-14) << k.name << " " << i;
        }
        const auto [movedCl, movedCm] = pressed(s);
        EXPECT_EQ(movedCl, cl) << k.name;
        EXPECT_EQ(movedCm, cm) << k.name;
    }
}

TEST(CoordinateFormats, aGapInTheLastDigitsIsClosedWithoutAWord)
{
    // Written with the trailing edge closed, the two end points differ in
    // their last digits only.
    Contour c = section("0012", 61);
    c.y.front() = -1e-13;
    c.y.back() = 1e-13;
    Session s;
    ASSERT_TRUE(openText(s, "tgap0.dat", writeSelig(c)));
    EXPECT_TRUE(s.tk.messages().empty()) << s.tk.messages().front();
    EXPECT_EQ(s.c.NP, 61);
    EXPECT_EQ(s.c.XCoord[1], s.c.XCoord[61]);
    EXPECT_EQ(s.c.YCoord[1], 0);
    EXPECT_EQ(s.c.YCoord[61], 0);
    // A gap just above it is said, in digits that show it.
    c.y.front() = -1.5e-6;
    c.y.back() = 1.5e-6;
    Session t;
    ASSERT_TRUE(openText(t, "tiny.dat", writeSelig(c)));
    ASSERT_EQ(t.tk.messages().size(), 1u);
    EXPECT_NE(t.tk.messages()[0].find("was open, 3E-06 chord wide"), std::string::npos)
        << t.tk.messages()[0];
}

TEST(CoordinateFormats, theThicknessIsTheGreatestDistanceBetweenTheSurfaces)
{
    // NACA 0012: 12 % of the chord at 30 %; the points of the generator lie on
    // stations that straddle it, so the polygon's thickness is a little less.
    const Contour c = section("0012", 101);
    EXPECT_NEAR(sectionThickness(c), 0.12, 2e-4);
    EXPECT_LE(sectionThickness(c), 0.12);
    // A lens: two arcs meeting at both ends, thickness 2 h at mid-chord.
    Contour lens{"lens", {}, {}};
    for (int i = -20; i <= 20; ++i) {  // lower surface from the trailing edge, then upper
        const double x = std::abs(i) / 20.0;
        lens.x.push_back(x);
        lens.y.push_back((i < 0 ? -0.2 : 0.2) * x * (1 - x));
    }
    EXPECT_NEAR(sectionThickness(lens), 0.1, 1e-12);
    // One surface alone has no thickness.
    Contour half{"half", {1, 0.5, 0}, {0, -0.05, 0}};
    EXPECT_EQ(sectionThickness(half), 0);
}

TEST(CoordinateFormats, filesThatCannotBeUsedAreRefusedAndTheContourStays)
{
    const Contour c = section("0012", 61);
    const std::string dense = writeSelig(section("0012", 1201));
    // The lower surface alone, trailing edge to nose: its ends are the whole
    // chord apart, the mid point between them half a chord from the nose.
    std::string lower = "Lower surface\n";
    for (int i = 0; i <= 30; ++i) lower += num(c.x[i]) + " " + num(c.y[i]) + "\n";
    // A section 2 % thick, opened by 5 % of the chord at the trailing edge.
    std::string thin = "Thin\n";
    for (int i = 60; i >= 0; --i) {
        const double t = 2.0 / 12.0, open = 0.025 * c.x[i];
        thin += num(c.x[i]) + " " + num(c.y[i] * t + (i > 30 ? open : -open)) + "\n";
    }
    const std::pair<std::string, const char*> cases[] = {
        {"NAME\n1 0\n0 0\n", "fewer than the three"},
        {"NAME\n1 0\n0.5 abc\n0 0\n", "is not a plain finite decimal number"},
        {"NAME\n1 0\n0.5 0.1 7\n0 0\n", "3 fields"},
        {"NAME\n3. 3.\n0 0\n0.5 0.1\n1 0\n0 0\n0.5 -0.1\n", "announces 3 upper and 3 lower"},
        {"NAME\n1 0\n0 0.1\n0 -0.1\n1 0.1\n0.5 -0.2\n1 0\n", "crosses itself: segments"},
        {"NAME\n0 0\n0.5 0\n1 0\n", "enclose no area"},
        // A gap as wide as the section: closing it leaves a line.
        {"NAME\n0 0\n0.5 6\n1 -0.00106\n1 -0.001\n", "enclose no area once"},
        // Trailing-edge gaps too wide to close, said with their width.
        {lower, "its trailing edge is open 2 chord wide, too wide to be closed (more than a tenth"},
        {thin, "its trailing edge is open 0.05 chord wide, too wide to be closed (wider than the "
               "section's thickness of 0.0"},
        // More points than the tables hold: the count is said, and repanelling asked for.
        {dense, "it holds 1201 points"},
        {dense, "; repanel it to fewer points"},
    };
    for (const auto& [text, reason] : cases) {
        Session s;
        s.chooseNaca("31");
        const auto before = s.c.XCoord;
        const std::string path = write(s, "bad.dat", text);
        EXPECT_FALSE(s.form.airfoilMenu().openFile(path)) << text;
        ASSERT_EQ(s.tk.messages().size(), 1u) << text;
        const std::string& m = s.tk.messages()[0];
        EXPECT_EQ(m.rfind("Cannot read airfoil file \"" + path + "\": ", 0), 0u) << m;
        EXPECT_NE(m.find(reason), std::string::npos) << m;
        EXPECT_EQ(s.c.NP, 31);
        EXPECT_EQ(s.c.XCoord, before);
        EXPECT_EQ(s.tk.text("Text_NP"), "31");
        if (text == dense) {  // repanelling takes the file that was refused
            EXPECT_TRUE(s.form.airfoilMenu().repanelCurrent("161"));
            EXPECT_EQ(s.c.NP, 161);
            EXPECT_EQ(s.tk.text("Text_NP"), "161");
        }
    }
}

TEST(CoordinateFormats, theSavedSeligFileReadsBackToTheSamePoints)
{
    Session s;
    ASSERT_TRUE(s.form.airfoilMenu().makeNaca("23012", false));
    const auto x = s.c.XCoord, y = s.c.YCoord;
    const std::string path = (s.dir.path() / "out.dat").string();
    ASSERT_TRUE(s.form.airfoilMenu().saveContour(path));
    const std::string text = readFile(path);
    EXPECT_EQ(text.substr(0, text.find('\n')), "NACA 23012");
    EXPECT_EQ(detectCoordinateFormat(text), CoordinateFormat::Selig);
    Session t;
    ASSERT_TRUE(t.form.airfoilMenu().openFile(path));
    ASSERT_EQ(t.c.NP, 51);
    EXPECT_EQ(t.c.XCoord, x);
    EXPECT_EQ(t.c.YCoord, y);
    EXPECT_EQ(t.c.AirfoilName, "NACA 23012");
}

}  // namespace
}  // namespace tavrix
