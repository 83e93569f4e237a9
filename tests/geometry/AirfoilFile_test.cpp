#include "geometry/AirfoilFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/ContourTables.h"
#include "geometry/Generators.h"
#include "geometry/KarmanTrefftz.h"
#include "output/Plots.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix {
namespace {

namespace fs = std::filesystem;

const char* const kSpecimen =
    "Sample section\n"
    "5\n"
    "1, 1.0, 0.0\n"
    "2, 0.5, -0.06\n"
    "3, 0.0, 0.0\n"
    "4, 0.5, 0.06\n"
    "5, 1.0, 0.0\n";

const double kSpecimenX[] = {1.0, 0.5, 0.0, 0.5, 1.0};
const double kSpecimenY[] = {0.0, -0.06, 0.0, 0.06, 0.0};

class AirfoilFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("tavrix_airfoil_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);

        // An earlier contour of six points, drawn, with its count in the box.
        common_.NP = 6;
        common_.NPanel = 5;
        const double x[] = {1, 0.6, 0.1, 0.1, 0.6, 1};
        const double y[] = {0, -0.05, -0.02, 0.02, 0.05, 0};
        for (int i = 1; i <= 6; ++i) {
            common_.XCoord[i] = x[i - 1];
            common_.YCoord[i] = y[i - 1];
        }
        common_.AirfoilReady = true;
        ui_.setText("Text_NP", "6");
        Show_Airfoil(common_, ui_, common_.XCoord, common_.YCoord);
    }

    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& name, const std::string& content)
    {
        const fs::path file = folder_ / name;
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }

    bool readPath(const std::string& path)
    {
        common_.AirfoilFilePath = path;
        return Read_AirfoilFile(common_, ui_);
    }

    bool read(const std::string& content) { return readPath(write("test.arf", content)); }

    void expectContour(const double* x, const double* y, int n)
    {
        ASSERT_EQ(common_.NP, n);
        for (int i = 1; i <= n; ++i) {
            EXPECT_EQ(common_.XCoord[i], x[i - 1]) << "point " << i;
            EXPECT_EQ(common_.YCoord[i], y[i - 1]) << "point " << i;
        }
    }

    // Reads `path` and expects a refusal that names the file, gives a reason
    // containing `reasonPart`, and leaves everything as it was.
    void expectRefused(const std::string& path, const std::string& reasonPart)
    {
        SCOPED_TRACE(reasonPart);
        const Common before = common_;
        const std::string textBefore = ui_.text("Text_NP");
        const std::size_t drawnBefore = ui_.drawing(kAirfoilPicture).items.size();
        ui_.clearMessages();

        EXPECT_FALSE(readPath(path));

        ASSERT_EQ(ui_.messages().size(), 1u);
        const std::string& message = ui_.messages()[0];
        const std::string prefix = "Cannot read airfoil file \"" + path + "\": ";
        EXPECT_EQ(message.substr(0, prefix.size()), prefix) << message;
        EXPECT_NE(message.find(reasonPart, prefix.size()), std::string::npos) << message;
        EXPECT_EQ(common_.XCoord, before.XCoord);
        EXPECT_EQ(common_.YCoord, before.YCoord);
        EXPECT_EQ(common_.NP, before.NP);
        EXPECT_EQ(common_.NPanel, before.NPanel);
        EXPECT_EQ(common_.AirfoilReady, before.AirfoilReady);
        EXPECT_EQ(ui_.text("Text_NP"), textBefore);
        EXPECT_EQ(ui_.drawing(kAirfoilPicture).items.size(), drawnBefore);
    }

    void expectRefusedContent(const std::string& content, const std::string& reasonPart)
    {
        expectRefused(write("refused.arf", content), reasonPart);
    }

    fs::path folder_;
    Common common_;
    ui::HeadlessToolkit ui_;
};

AirfoilFileContents parsed(std::string_view text, bool wholeFile = true)
{
    auto result = parseAirfoilFile(text, wholeFile);
    if (auto* reason = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << "refused: " << *reason;
        return {};
    }
    return std::get<AirfoilFileContents>(result);
}

std::string refusal(std::string_view text, bool wholeFile = true)
{
    auto result = parseAirfoilFile(text, wholeFile);
    if (auto* reason = std::get_if<std::string>(&result)) return *reason;
    ADD_FAILURE() << "read, expected a refusal";
    return {};
}


TEST(AirfoilFileParse, blanksTabsCommasAndLineBreaksAllSeparateAndARunCountsOnce)
{
    const std::vector<double> x(kSpecimenX, kSpecimenX + 5);
    const std::vector<double> y(kSpecimenY, kSpecimenY + 5);
    for (const char* text : {
             kSpecimen,
             "Sample section\n5\n1\n1.0\n0.0\n2\n0.5\n-0.06\n3\n0.0\n0.0\n4\n0.5\n0.06\n5\n1.0\n0.0\n",
             "Sample section\n5\n1 1.0 0.0\n2 0.5 -0.06\n3 0.0 0.0\n4 0.5 0.06\n5 1.0 0.0",
             "Sample section\n5\n1\t1.0\t0.0\n2\t 0.5 ,\t-0.06\n3,,0.0,  ,0.0\n\n\n"
             "4 , 0.5 , 0.06 ,\n5, 1.0, 0.0",
             "Sample section,5,1,1.0,0.0,2,0.5,-0.06,3,0.0,0.0,4,0.5,0.06,5,1.0,0.0",
             "  \n\n  Sample section  \n 5 1 1.0 0.0 2 0.5 -0.06 3 0.0 0.0 4 0.5 0.06 5 1.0 0.0 ",
             "Sample section\r\n5\r\n1, 1.0, 0.0\r\n2, 0.5, -0.06\r\n3, 0.0, 0.0\r\n"
             "4, 0.5, 0.06\r\n5, 1.0, 0.0\r\n",
             "\xEF\xBB\xBFSample section\r5\r1, 1.0, 0.0\r2, 0.5, -0.06\r3, 0.0, 0.0\r"
             "4, 0.5, 0.06\r5, 1.0, 0.0\r",
         }) {
        SCOPED_TRACE(text);
        const AirfoilFileContents c = parsed(text);
        EXPECT_EQ(c.name, "Sample section");
        EXPECT_EQ(c.count, 5);
        EXPECT_EQ(c.x, x);
        EXPECT_EQ(c.y, y);
    }
}

TEST(AirfoilFileParse, theNameEndsAtACommaOrLineBreakAndMayBeQuoted)
{
    EXPECT_EQ(parsed("\"NACA 0012, modified\"\n2\n1 1 0\n2 0 0").name, "NACA 0012, modified");
    EXPECT_EQ(parsed("\"NACA 0012, modified\",2,1,1,0,2,0,0").count, 2);
    // Text after the closing quote belongs to the dropped name field.
    EXPECT_EQ(parsed("\"Wing\" root 3\n2\n1 1 0\n2 0 0").name, "Wing");
    // Unquoted, blanks stay inside the name; the comma ends it.
    const AirfoilFileContents c = parsed("Wing root 3, 2, 1 1 0 2 0 0");
    EXPECT_EQ(c.name, "Wing root 3");
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(parsed(",2,1,1,0,2,0,0").name, "");
}

// Point numbers, records beyond the count and text after them are ignored.
TEST_F(AirfoilFileTest, readsTheSpecimenTakesItsCountAndDrawsIt)
{
    for (const std::string& text : {
             std::string(kSpecimen),
             std::string(kSpecimen) + "6, 7.0, 8.0\n7, 9, 9\nend of file; not a number\n",
             std::string("From zero\n5\n0, 1.0, 0.0\n1, 0.5, -0.06\n2, 0.0, 0.0\n3, 0.5, 0.06\n"
                         "4, 1.0, 0.0\n"),
             std::string("Shuffled\n5\n17, 1.0, 0.0\n-3, 0.5, -0.06\n2.5, 0.0, 0.0\n3, 0.5, 0.06\n"
                         "3, 1.0, 0.0\n")}) {
        SCOPED_TRACE(text);
        ui_.type("Text_NP", "101");
        common_.AirfoilReady = false;
        ui_.clear(kAirfoilPicture);
        ui_.clearMessages();
        ASSERT_TRUE(read(text));
        EXPECT_TRUE(ui_.messages().empty());
        expectContour(kSpecimenX, kSpecimenY, 5);
        EXPECT_EQ(common_.NPanel, 4);
        EXPECT_TRUE(common_.AirfoilReady);
        EXPECT_EQ(ui_.text("Text_NP"), "5");
        // Points above the new count keep the earlier contour, not record 6.
        EXPECT_EQ(common_.XCoord[6], 1.0);
        EXPECT_EQ(common_.YCoord[6], 0.0);
        EXPECT_FALSE(ui_.drawing(kAirfoilPicture).items.empty());
    }
}

TEST(AirfoilFileParse, plainDecimalNumbers)
{
    const AirfoilFileContents c =
        parsed("n\n4\n+1 1. -.5\n2 1E-3 1e+3\n3 -0 2.5e0\n4 1e-400 0012.50");
    EXPECT_EQ(c.x, (std::vector<double>{1.0, 0.001, 0.0, 0.0}));
    EXPECT_EQ(c.y, (std::vector<double>{-0.5, 1000.0, 2.5, 12.5}));
    EXPECT_TRUE(std::signbit(c.x[2]));
    // A count written as a whole number in another form.
    EXPECT_EQ(parsed("n\n2.0E0\n1 0 0\n2 1 0").count, 2);
    std::string thousand = "n\n1000\n";
    for (int i = 1; i <= 1000; ++i) thousand += "1 0 0\n";
    EXPECT_EQ(parsed(thousand).count, 1000);
}

TEST(AirfoilFileParse, fieldsThatAreNotPlainFiniteNumbersAreNamedInTheReason)
{
    struct Case {
        const char* field;
        const char* reason;
    };
    const char* const notPlain = "not a plain decimal number";
    for (const Case& c : {
             Case{"abc", notPlain}, Case{"1.2.3", notPlain}, Case{"nan", notPlain},
             Case{"NaN", notPlain}, Case{"inf", notPlain}, Case{"-Infinity", notPlain},
             Case{"0x1p3", notPlain}, Case{"1e", notPlain}, Case{"1e+", notPlain},
             Case{".", notPlain}, Case{"-", notPlain}, Case{"1.0D+00", notPlain},
             Case{"5deg", notPlain}, Case{"--1", notPlain}, Case{"1e999", "too large"},
             Case{"-1.8e308", "too large"},
         }) {
        SCOPED_TRACE(c.field);
        const std::string reason =
            refusal(std::string("n\n3\n1 0 0\n2 0.5 0.1\n3 ") + c.field + " 0\n");
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_NE(reason.find(std::string("\"") + c.field + "\""), std::string::npos) << reason;
        EXPECT_NE(reason.find("x of point record 3"), std::string::npos) << reason;
        EXPECT_NE(reason.find("line 5"), std::string::npos) << reason;
    }
    // A long bad field is shown shortened.
    const std::string reason = refusal("n\n2\n1 0 0\n2 0 " + std::string(100000, 'z'));
    EXPECT_LT(reason.size(), 200u);
    EXPECT_NE(reason.find("y of point record 2"), std::string::npos) << reason;
}

TEST(AirfoilFileParse, aTextCutShortIsReadOnlyUpToItsLastWholeField)
{
    const std::string text = "n\n2\n1 0 0\n2 1 0.25";
    EXPECT_EQ(parsed(text + "\n", false).y, (std::vector<double>{0.0, 0.25}));
    for (const std::string cut : {text.c_str(), "n\n2\n1 0", "a name without end", "\"quoted"})
        EXPECT_NE(refusal(cut, false).find("do not end within"), std::string::npos) << cut;
}

TEST_F(AirfoilFileTest, refusesAFileThatCannotBeUsedAndKeepsTheEarlierAirfoil)
{
    struct Case {
        std::string content;
        const char* reason;
    };
    const std::string records = "\n1, 1.0, 0.0\n2, 0.0, 0.0\n3, 1.0, 0.0\n";
    for (const std::string count : {"0", "1", "1001", "12.5", "-3", "three", "1e999"})
        expectRefusedContent("n\n" + count + records,
                             "\"" + count + "\" on line 2 is not a whole number from 2 to 1000");
    const Case cases[] = {
        {"", "empty"},
        {" \n\r\n\t\n", "empty"},
        {"Only a name\n", "no point count"},
        {"\"Never closed, 3" + records, "never closed"},
        {"n\n4" + records, "ends after 3 complete point records, but its point count is 4"},
        {"n\n3\n1, 1.0, 0.0\n2, 0.0, 0.0\n3, 1.0\n",
         "ends after 2 complete point records, but its point count is 3"},
        {"n\n3\n1, 1.0, 0.0\n2, abc, 0.0\n3, 1.0, 0.0\n",
         "the x of point record 2, \"abc\" on line 4, is not a plain decimal number"},
        {"n\n3\n1, 1.0, 0.0\n2, 0.0, 1.2.3\n3, 1.0, 0.0\n",
         "the y of point record 2, \"1.2.3\" on line 4, is not a plain decimal number"},
        {"n\n3\n#1, 1.0, 0.0\n2, 0.0, 0.0\n3, 1.0, 0.0\n",
         "the point number of point record 1, \"#1\" on line 3"},
        {"n\r\n3\r\n1, 1.0, 0.0\r\n2, 0.0, 0.0\r\n3, 1.0, 1e400\r\n",
         "the y of point record 3, \"1e400\" on line 5, is too large"},
    };
    for (const Case& c : cases) expectRefusedContent(c.content, c.reason);
    // No file under the name, no name at all, a folder.
    expectRefused((folder_ / "missing.arf").string(), "does not exist");
    expectRefused("", "does not exist");
    fs::create_directories(folder_ / "folder.arf");
    expectRefused((folder_ / "folder.arf").string(), "folder");
}

TEST_F(AirfoilFileTest, aFileLargerThanTheReadLimitIsReadWhenItsRecordsComeFirst)
{
    std::string tail(kAirfoilFileReadLimit + 1000, ' ');
    tail.back() = 'x';
    ASSERT_TRUE(read(kSpecimen + tail));
    expectContour(kSpecimenX, kSpecimenY, 5);

    expectRefusedContent(std::string(kAirfoilFileReadLimit + 10, ' ') + kSpecimen,
                         "do not end within the first 4 MB");
    expectRefusedContent("Long name " + std::string(kAirfoilFileReadLimit, 'n') + "\n" + kSpecimen,
                         "do not end within the first 4 MB");
}

// The sample files hold the generators' points, written so that they read back exactly.

void expectSampleEqualsGenerator(const char* file, int points, Contour (*make)(int NP))
{
    SCOPED_TRACE(file);
    Common generated;
    ASSERT_TRUE(setContourInUse(generated, make(points), ContourSource::None));

    ui::HeadlessToolkit ui;
    Common read;
    read.AirfoilFilePath = std::string(TAVRIX_SOURCE_DIR) + "/data/" + file;
    ASSERT_TRUE(Read_AirfoilFile(read, ui)) << (ui.messages().empty() ? "" : ui.messages()[0]);
    EXPECT_EQ(read.NP, points);
    EXPECT_EQ(read.NPanel, points - 1);
    EXPECT_EQ(ui.text("Text_NP"), std::to_string(points));
    EXPECT_EQ(read.XCoord, generated.XCoord);
    EXPECT_EQ(read.YCoord, generated.YCoord);
}

// The Karman-Trefftz window's section from the inputs it opens with.
Contour defaultJoukowsky(int NP)
{
    KarmanTrefftzInputs inputs;
    inputs.pointCount = NP;
    KarmanTrefftzDesign design = designKarmanTrefftz(inputs);
    EXPECT_FALSE(design.refusal.has_value());
    return design.contour;
}

TEST(AirfoilFileSamples, readBackAsTheGeneratorsMadeThem)
{
    expectSampleEqualsGenerator("naca0012_61.arf", 61, naca0012Contour);
    expectSampleEqualsGenerator("circle_41.arf", 41, circleContour);
    expectSampleEqualsGenerator("joukowsky_51.arf", 51, defaultJoukowsky);
}

}  // namespace
}  // namespace tavrix
