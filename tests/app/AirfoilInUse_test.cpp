// Which contour is in use, as the main window shows it: the status line and
// the source option, after every source that succeeds or is refused.
#include "app/AirfoilInUse.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/Session.h"
#include "ui/Controls.h"

namespace tavrix {
namespace {

using testing::Session;

const char* const kOptions[] = {"Option_CIRCLE", "Option_N0012", "Option_DOSYA", "Option_KATJO"};

// The one source option selected, or "" when none is.
std::string selectedSource(const Session& s)
{
    std::string selected;
    for (const char* option : kOptions) {
        if (!s.tk.isSelected(option)) continue;
        EXPECT_TRUE(selected.empty()) << "two sources selected";
        selected = option;
    }
    return selected;
}

std::string writeFile(const Session& s, const std::string& name, const std::string& text)
{
    const std::string path = (s.dir.path() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const char* const kSquare = "Square\n5\n1, 1.0, 0.0\n2, 0.5, -0.5\n3, 0.0, 0.0\n4, 0.5, 0.5\n5, 1.0, 0.0\n";

TEST(AirfoilInUse, StatusLineNamesTheContourAndItsPointsAndItsSourceOption)
{
    Session s;
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: none yet");
    s.chooseNaca("61");
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: NACA 0012, 61 points");
    s.chooseCircle("21");
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: Circle, 21 points");
    EXPECT_EQ(selectedSource(s), "Option_CIRCLE");

    // Sources without an option button select none.
    EXPECT_EQ(sourceOption(ContourSource::Naca), "");
    EXPECT_EQ(sourceOption(ContourSource::Repanelled), "");
    s.c.AirfoilSource = ContourSource::Naca;
    s.c.AirfoilName = "NACA 2412";
    s.form.showAirfoilInUse();
    EXPECT_EQ(selectedSource(s), "");
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: NACA 2412, 21 points");
}

TEST(AirfoilInUse, RefusedCountSelectsTheSourceInUseAgain)
{
    Session s;
    s.chooseNaca("51");
    s.chooseCircle("5000");
    ASSERT_EQ(s.tk.messages().size(), 1u);
    EXPECT_EQ(selectedSource(s), "Option_N0012");
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: NACA 0012, 51 points");
    EXPECT_EQ(s.c.AirfoilSource, ContourSource::Naca0012);

    // Before any contour exists a refusal leaves no source selected.
    Session fresh;
    fresh.chooseCircle("1");
    EXPECT_EQ(selectedSource(fresh), "");
    EXPECT_EQ(fresh.tk.text("Label_AirfoilInUse"), "Airfoil in use: none yet");
}

TEST(AirfoilInUse, RefusedFileSelectsTheSourceInUseAgain)
{
    Session s;
    s.chooseCircle("31");
    s.tk.select("Option_DOSYA");
    s.form.Option_DOSYA_Click();
    EXPECT_EQ(selectedSource(s), "Option_DOSYA");  // a file is still to be chosen
    const std::string bad = writeFile(s, "bad.arf", "Bad\n3\n1, 0, 0\n");
    EXPECT_FALSE(s.form.openAirfoilFile(bad));
    ASSERT_EQ(s.tk.messages().size(), 1u);
    EXPECT_EQ(selectedSource(s), "Option_CIRCLE");
    EXPECT_TRUE(s.tk.isVisible(ui::kFileBrowser));  // the user may choose another file
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: Circle, 31 points");

    EXPECT_TRUE(s.form.openAirfoilFile(writeFile(s, "square.arf", kSquare)));
    EXPECT_EQ(selectedSource(s), "Option_DOSYA");
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: Square, 5 points");
    // A file without a name line is named by its file name.
    EXPECT_TRUE(s.form.openAirfoilFile(
        writeFile(s, "noname.arf", ",3\n1, 1, 0\n2, 0, 0.1\n3, 1, 0\n")));
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"), "Airfoil in use: noname.arf, 3 points");
}

TEST(AirfoilInUse, KarmanTrefftzRefusalsSelectTheSourceInUseAgain)
{
    Session s;
    s.chooseNaca("51");
    // The window's own refusal.
    s.tk.type("Text_NP", "41");
    s.tk.select("Option_KATJO");
    s.form.Option_KATJO_Click();
    EXPECT_EQ(selectedSource(s), "Option_KATJO");
    s.tk.type("Text_Delta", "1.5");
    EXPECT_FALSE(s.form.katjo().Command1_Click());
    EXPECT_EQ(selectedSource(s), "Option_N0012");
    EXPECT_EQ(s.c.NP, 51);
    // The count refused before the window opens.
    s.tk.type("Text_NP", "401");
    s.tk.select("Option_KATJO");
    s.form.Option_KATJO_Click();
    EXPECT_EQ(selectedSource(s), "Option_N0012");
    // A section made: its parameters name it.
    s.tk.type("Text_Delta", "0.12");
    s.tk.type("Text_Gamma", "0.02");
    s.tk.type("Text_Tau", "10");
    EXPECT_TRUE(s.form.katjo().Command1_Click());
    EXPECT_EQ(selectedSource(s), "Option_KATJO");
    EXPECT_EQ(s.tk.text("Label_AirfoilInUse"),
              "Airfoil in use: Karman-Trefftz section \u03b4 = 0.12, \u03b3 = 0.02, "
              "\u03c4 = 10\u00b0, 41 points");
}

TEST(FileBrowser, CloseHidesItAndOtherSourcesDoToo)
{
    Session s;
    s.chooseNaca("51");
    s.tk.select("Option_DOSYA");
    s.form.Option_DOSYA_Click();
    ASSERT_TRUE(s.tk.isVisible(ui::kFileBrowser));
    EXPECT_TRUE(s.form.fire("Command_CloseBrowser_Click"));
    EXPECT_FALSE(s.tk.isVisible(ui::kFileBrowser));
    EXPECT_EQ(selectedSource(s), "Option_N0012");

    s.form.Option_DOSYA_Click();
    s.chooseCircle("21");
    EXPECT_FALSE(s.tk.isVisible(ui::kFileBrowser));
    s.form.Option_DOSYA_Click();
    s.chooseCircle("0");  // refused, but another source was chosen all the same
    EXPECT_FALSE(s.tk.isVisible(ui::kFileBrowser));
    s.form.Option_DOSYA_Click();
    s.tk.select("Option_KATJO");
    s.form.Option_KATJO_Click();
    EXPECT_FALSE(s.tk.isVisible(ui::kFileBrowser));
}

TEST(FileBrowser, TypedPathOpensAFolderOrReadsAFile)
{
    Session s;
    s.tk.select("Option_DOSYA");
    s.form.Option_DOSYA_Click();
    std::filesystem::create_directory(s.dir.path() / "sections");
    const std::string folder = (s.dir.path() / "sections").string();
    s.tk.type("Text_FilePath", folder);
    EXPECT_TRUE(s.form.fire("Command_OpenPath_Click"));
    EXPECT_TRUE(s.tk.messages().empty());
    EXPECT_EQ(s.tk.path("Dir1"), folder);
    EXPECT_EQ(s.tk.path("File1"), folder);
    EXPECT_FALSE(s.c.AirfoilReady);

    const std::string file = writeFile(s, "sections/square.arf", kSquare);
    s.tk.type("Text_FilePath", file);
    s.form.Command_OpenPath_Click();
    EXPECT_TRUE(s.tk.messages().empty());
    EXPECT_TRUE(s.c.AirfoilReady);
    EXPECT_EQ(s.c.NP, 5);
    EXPECT_FALSE(s.tk.isVisible(ui::kFileBrowser));

    s.form.Option_DOSYA_Click();
    s.tk.type("Text_FilePath", "no such.arf");
    s.form.Command_OpenPath_Click();
    ASSERT_EQ(s.tk.messages().size(), 1u);
    EXPECT_EQ(s.tk.messages()[0],
              "Cannot read airfoil file \"no such.arf\": the file does not exist");
    EXPECT_TRUE(s.tk.isVisible(ui::kFileBrowser));
    EXPECT_EQ(s.c.NP, 5);
}

}  // namespace
}  // namespace tavrix
