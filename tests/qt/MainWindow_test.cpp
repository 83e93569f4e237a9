// The real Qt windows, driven by clicking their widgets by object name.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <fstream>

#include "support/QtWindowDriver.h"
#include "support/Session.h"
#include "ui/qt/PictureBox.h"

class MainWindowTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    // Whether the picture box shows some of the red of a contour or a curve.
    bool hasRed(const char* picture)
    {
        const QImage image = find<ui::PictureBox>(picture)->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 120 && c.blue() < 120) return true;
            }
        return false;
    }
    void clickFile(QListWidgetItem* item)
    {
        auto* files = find<QListWidget>("File1");
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(item).center());
    }
    std::string report() { return tavrix::testing::readFile(dir.filePath("TavrixS.txt").toStdString()); }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void startsWithTheDocumentedControls()
    {
        QCOMPARE(windows->mainWindow()->windowTitle(),
                 QString("Tavrix-S Panel Methods for Single Element Airfoils"));
        for (const auto& [box, value] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"Text_NP", "51"}, {"Text_AlfaD", "0"}, {"Text_ItaD", "0"}, {"Text_Moo", "0"},
                 {"Text_CL", ""}, {"Text_CM", ""}})
            QVERIFY2(text(box) == value, box);
        QVERIFY(find<QRadioButton>("Option_HESS")->isChecked());
        for (const char* name : {"Option_CIRCLE", "Option_N0012", "Option_DOSYA", "Option_KATJO",
                                 "Option_VORPAN", "Option_KENN", "Option_Soinne"})
            QVERIFY2(!find<QRadioButton>(name)->isChecked(), name);
        for (const char* name : {"Check_WritePanel", "Check_WriteMat", "Check_WriteSingularities",
                                 "Check_ShowMat", "Check_Circulation"})
            QVERIFY2(!find<QCheckBox>(name)->isChecked(), name);
        QCOMPARE(find<QCheckBox>("Check_WritePanel")->text(), QString("Save panel  properties"));
        QCOMPARE(find<QRadioButton>("Option_KATJO")->text(),
                 QString("Karman-Trefftz or Joukowsky airfoil"));
        QCOMPARE(find<QPushButton>("Command_Calculate")->text(),
                 QString("Calculate velocities and show"));
        QVERIFY(find<QPushButton>("Command_Calculate")->isDefault());
        QCOMPARE(find<QGroupBox>("Frame_Coefficients")->title(), QString("Aerodynamic Coefficients"));
        QCOMPARE(find<QLabel>("Label_AlfaD")->text(), QString::fromUtf8("\u03b1 ="));
        QVERIFY(!find<QWidget>("Frame_FileBrowser")->isVisible());
        auto* about = windows->mainWindow()->findChild<QAction*>("Mn_About");
        QVERIFY(about != nullptr);
        QCOMPARE(about->text(), QString("About"));
    }

    void refusesToCalculateWithoutAnAirfoilAndReadsTheCountAtTheSource()
    {
        click("Command_Calculate");
        QCOMPARE(messages, std::vector<std::string>{"Calculate airfoil coordinates"});
        QCOMPARE(text("Text_CL"), QString());
        messages.clear();
        // The count is read when the source is selected, not at the press.
        click("Option_CIRCLE");
        QCOMPARE(common.NP, 51);
        type("Text_NP", "101");
        click("Command_Calculate");
        QCOMPARE(common.NP, 51);
        QCOMPARE(text("Text_CL"), QString("0"));
        QCOMPARE(text("Text_CM"), QString("0"));
        QVERIFY(messages.empty());
    }

    void showsLiftAndMomentAfterAPress()
    {
        type("Text_NP", "61");
        click("Option_N0012");
        type("Text_AlfaD", "5");
        click("Option_VORPAN");
        click("Command_Calculate");
        QVERIFY(messages.empty());
        bool ok = false;
        const double cl = text("Text_CL").toDouble(&ok);
        QVERIFY(ok);
        QVERIFY(cl > 0.59 && cl < 0.61);
        QVERIFY(text("Text_CM").startsWith("-0.0"));
        // Enter in an input box presses the default button as well.
        type("Text_AlfaD", "0");
        QTest::keyClick(find<QLineEdit>("Text_AlfaD"), Qt::Key_Return);
        QCOMPARE(text("Text_CL"), QString("0"));
    }

    // A sample file of the program, read by a click in the browser and pressed.
    void fileBrowserReadsTheClickedSampleFile()
    {
        click("Option_DOSYA");
        QVERIFY(find<QWidget>("Frame_FileBrowser")->isVisible());
        windows->setPath("Dir1", TAVRIX_SOURCE_DIR "/data");
        auto* files = find<QListWidget>("File1");
        const auto found = files->findItems("naca0012_61.arf", Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        clickFile(found[0]);
        QVERIFY(messages.empty());
        QCOMPARE(common.NP, 61);
        QCOMPARE(text("Text_NP"), QString("61"));
        QVERIFY(!find<QWidget>("Frame_FileBrowser")->isVisible());
        QVERIFY(hasRed("Picture_Airfoil"));
        type("Text_AlfaD", "5");
        click("Option_VORPAN");
        click("Command_Calculate");
        QVERIFY(messages.empty());
        QVERIFY(text("Text_CL").startsWith("0.60"));
    }

    void everyMethodAndEveryReportOptionFromTheWindow()
    {
        type("Text_NP", "21");
        click("Option_N0012");
        type("Text_AlfaD", "3");
        for (const char* box : {"Check_WritePanel", "Check_WriteMat", "Check_WriteSingularities",
                                "Check_ShowMat"})
            click(box);
        for (const char* method : {"Option_HESS", "Option_VORPAN", "Option_KENN", "Option_Soinne"}) {
            windows->logic().Form_Load();  // start each method on an empty report
            click(method);
            click("Command_Calculate");
            QVERIFY2(messages.empty(), method);
            const std::string once = report();
            for (const char* section : {" Panel properties", " Matrix for induced normal velocities",
                                        " Matrix for induced tangential velocities",
                                        "Singularity Strengths", "Alfa =  3 "})
                QVERIFY2(once.find(section) != std::string::npos, section);
            QCOMPARE(once.find("Parabolic distribution") != std::string::npos,
                     std::string(method) == "Option_HESS");
            QVERIFY(windows->window("Form_ShowMat")->isVisible());
            // A second press appends the same sections again.
            click("Command_Calculate");
            QCOMPARE(report(), once + once);
        }
        QVERIFY(std::ifstream((dir.path() + "/Panel Properties.txt").toStdString()).good());
    }

    // The window opens with a Joukowsky section; a Karman-Trefftz section
    // from it is pressed by every method, the window left open.
    void karmanTrefftzWindowMakesJoukowskyThenKarmanTrefftzSections()
    {
        type("Text_NP", "61");
        click("Option_KATJO");
        QWidget* katjo = windows->window("Form_KATJO");
        QVERIFY(katjo->isVisible());
        QCOMPARE(katjo->windowTitle(), QString("Karman-Trefftz or Joukowsky airfoil"));
        QCOMPARE(text("Text_Delta"), QString("0.10"));
        QCOMPARE(text("Text_Gamma"), QString("0.00"));
        QCOMPARE(text("Text_Tau"), QString("0"));
        QCOMPARE(text("Text_xDltc"), QString("0.00"));
        click("Command1");
        QCOMPARE(text("Text_Sonuc"), QString("JOUKOWSKY PROFILI"));
        QCOMPARE(text("Text_m"), QString("2"));
        QVERIFY(find<QListWidget>("List1")->count() > 6);
        QVERIFY(common.AirfoilReady);

        type("Text_Delta", "0.12");
        type("Text_Gamma", "0.04");
        type("Text_Tau", "10");
        click("Command1");
        QVERIFY(messages.empty());
        QCOMPARE(text("Text_Sonuc"), QString("KARMAN-TREFFTZ PROFILI"));
        QCOMPARE(text("Text_m"), QString("1.94444"));
        QVERIFY(!text("Text_F").isEmpty());
        QVERIFY(text("Text_G").toDouble() > 0);
        QCOMPARE(common.NP, 61);
        QVERIFY(hasRed("Picture_Airfoil"));
        type("Text_AlfaD", "5");
        for (const char* method : {"Option_HESS", "Option_VORPAN", "Option_KENN", "Option_Soinne"}) {
            click(method);
            click("Command_Calculate");
            QVERIFY2(messages.empty(), method);
            const double cl = text("Text_CL").toDouble();
            QVERIFY2(cl > 0.9 && cl < 1.2, method);  // cambered: well above 2 pi sin 5 deg
        }
        QVERIFY(katjo->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
