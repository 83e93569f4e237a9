// The real Qt windows, driven by clicking their widgets by object name.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <fstream>

#include "output/Plots.h"
#include "ui/qt/PictureBox.h"
#include "ui/qt/QtWindows.h"

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    tavrix::Common common;
    std::unique_ptr<ui::QtWindows> windows;
    std::vector<std::string> messages;
    QTemporaryDir dir;

    template <class W>
    W* find(const char* name)
    {
        auto* w = qobject_cast<W*>(windows->control(name));
        if (w == nullptr) qFatal("no control %s", name);
        return w;
    }
    QString text(const char* name) { return find<QLineEdit>(name)->text(); }
    void type(const char* name, const QString& value)
    {
        auto* edit = find<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClicks(edit, value);
    }
    // Click where a user aims: on the indicator of a check or option button,
    // in the middle of a push button.
    void click(const char* name)
    {
        auto* b = find<QAbstractButton>(name);
        const QPoint at = qobject_cast<QPushButton*>(b) != nullptr
                              ? b->rect().center()
                              : QPoint(8, b->height() / 2);
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }

    static bool hasRed(const QImage& image)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 120 && c.blue() < 120) return true;
            }
        return false;
    }

private slots:
    void init()
    {
        common = tavrix::Common();
        common.WorkDir = dir.path().toStdString();
        windows = std::make_unique<ui::QtWindows>(common);
        messages.clear();
        windows->setMessageHandler([this](const std::string& m) { messages.push_back(m); });
        windows->logic().Form_Load();
        windows->mainWindow()->show();
        QVERIFY(QTest::qWaitForWindowExposed(windows->mainWindow()));
    }
    void cleanup() { windows.reset(); }

    void startsWithTheDocumentedControls()
    {
        QCOMPARE(windows->mainWindow()->windowTitle(),
                 QString("Tavrix-S Panel Methods for Single Element Airfoils"));
        QCOMPARE(text("Text_NP"), QString("51"));
        QCOMPARE(text("Text_AlfaD"), QString("0"));
        QCOMPARE(text("Text_ItaD"), QString("0"));
        QCOMPARE(text("Text_Moo"), QString("0"));
        QCOMPARE(text("Text_CL"), QString());
        QCOMPARE(text("Text_CM"), QString());
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

    void refusesToCalculateWithoutAnAirfoil()
    {
        click("Command_Calculate");
        QCOMPARE(messages, std::vector<std::string>{"Calculate airfoil coordinates"});
        QCOMPARE(text("Text_CL"), QString());
    }

    void readsThePointCountWhenTheSourceIsSelected()
    {
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

    void plotsSurviveResizing()
    {
        click("Option_N0012");
        type("Text_AlfaD", "4");
        click("Command_Calculate");
        auto* airfoil = find<ui::PictureBox>("Picture_Airfoil");
        auto* pressure = find<ui::PictureBox>("Picture_PressureDistribution");
        QVERIFY(hasRed(airfoil->grab().toImage()));
        QVERIFY(hasRed(pressure->grab().toImage()));
        windows->mainWindow()->resize(windows->mainWindow()->width() + 200,
                                      windows->mainWindow()->height() + 100);
        QApplication::processEvents();
        QVERIFY(hasRed(airfoil->grab().toImage()));
        QVERIFY(hasRed(pressure->grab().toImage()));
    }

    void fileBrowserListsOnlyAirfoilFilesAndReadsTheClickedOne()
    {
        {
            std::ofstream(dir.filePath("square.arf").toStdString())
                << "Square\n5\n1, 1.0, 0.0\n2, 0.5, -0.5\n3, 0.0, 0.0\n4, 0.5, 0.5\n5, 1.0, 0.0\n";
            std::ofstream(dir.filePath("notes.txt").toStdString()) << "not an airfoil\n";
        }
        click("Option_DOSYA");
        QVERIFY(find<QWidget>("Frame_FileBrowser")->isVisible());
        windows->setPath("Dir1", dir.path().toStdString());
        auto* files = find<QListWidget>("File1");
        QCOMPARE(files->count(), 1);
        QCOMPARE(files->item(0)->text(), QString("square.arf"));
        const QRect row = files->visualItemRect(files->item(0));
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(messages.empty());
        QCOMPARE(common.NP, 5);
        QCOMPARE(text("Text_NP"), QString("5"));
        QVERIFY(!find<QWidget>("Frame_FileBrowser")->isVisible());
        click("Command_Calculate");
        QVERIFY(messages.empty());
        QVERIFY(!text("Text_CL").isEmpty());
    }

    void secondaryWindowsOpenWithoutBlocking()
    {
        windows->mainWindow()->findChild<QAction*>("Mn_About")->trigger();
        QWidget* about = windows->window("Form_About");
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QString("About"));
        QStringList lines;
        for (auto* l : about->findChildren<QLabel*>()) lines << l->text();
        QCOMPARE(lines, QStringList({"Tavrix-S", "Potential Flow Calculation Program",
                                     "using panel methods", "for Single Element Airfoils"}));

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
        QCOMPARE(common.NP, 51);

        find<QCheckBox>("Check_ShowMat")->setChecked(true);
        click("Option_VORPAN");
        click("Command_Calculate");
        QWidget* matrix = windows->window("Form_ShowMat");
        QVERIFY(matrix->isVisible());
        QCOMPARE(matrix->windowTitle(), QString("Coefficients Matrix"));
        QVERIFY(hasRed(find<ui::PictureBox>("Picture_ShowMat")->grab().toImage()));
        QCOMPARE(find<ui::PictureBox>("Picture_ShowMat")->drawing().items.size(), 51u * 51u);
        // The main window stays usable while the other windows are open.
        click("Command_Calculate");
        QVERIFY(messages.empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
