// The main window used as a newcomer uses it: refusals that must not leave a
// wrong source selected, the plots after a resize, the file browser by
// keyboard, the About window, quitting, the window's size on small screens and
// its remembered place. Under a real X server, TAVRIX_SCREENSHOTS=DIR saves a
// picture of the screen after the scenes worth looking at.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTreeView>
#include <fstream>

#include "support/QtWindowDriver.h"
#include "ui/qt/PictureBox.h"

class MainWindowUseTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    QStringList checkedSources()
    {
        QStringList on;
        for (const char* name : {"Option_CIRCLE", "Option_N0012", "Option_DOSYA", "Option_KATJO"})
            if (find<QRadioButton>(name)->isChecked()) on << name;
        return on;
    }
    QString status() { return find<QLabel>("Label_AirfoilInUse")->text(); }

    // Leftmost and rightmost pixel columns holding red in the picture.
    static std::pair<int, int> redColumns(const QImage& image)
    {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 140 && c.blue() < 140) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
            }
        return {first, last};
    }

    void screenshot(const QString& name)
    {
        const QString shots = qEnvironmentVariable("TAVRIX_SCREENSHOTS");
        if (shots.isEmpty()) return;
        QTest::qWait(400);
        QApplication::primaryScreen()->grabWindow(0).save(shots + "/" + name + ".png");
    }

private slots:
    void init()
    {
        QVERIFY(start());
        // Shortcuts reach the active window only.
        windows->mainWindow()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(windows->mainWindow()));
    }
    void cleanup() { stop(); }

    void refusedCountKeepsTheSourceInUseSelected()
    {
        QCOMPARE(status(), QString("Airfoil in use: none yet"));
        click("Option_N0012");
        QCOMPARE(status(), QString("Airfoil in use: NACA 0012, 51 points"));
        type("Text_NP", "5000");
        click("Option_CIRCLE");
        QCOMPARE(messages.size(), 1u);
        QCOMPARE(checkedSources(), QStringList{"Option_N0012"});
        QCOMPARE(status(), QString("Airfoil in use: NACA 0012, 51 points"));
        // Before any contour, a refusal leaves every source clear.
        windows.reset();
        init();
        type("Text_NP", "1");
        click("Option_CIRCLE");
        QCOMPARE(checkedSources(), QStringList());
    }

    void karmanTrefftzWindowRefusedOrClosedKeepsTheSourceInUseSelected()
    {
        click("Option_CIRCLE");
        click("Option_KATJO");
        QCOMPARE(checkedSources(), QStringList{"Option_KATJO"});
        type("Text_Delta", "0");
        click("Command1");
        QCOMPARE(messages.size(), 1u);
        QCOMPARE(checkedSources(), QStringList{"Option_CIRCLE"});
        click("Option_KATJO");
        windows->window("Form_KATJO")->close();
        QCOMPARE(checkedSources(), QStringList{"Option_CIRCLE"});
        QCOMPARE(status(), QString("Airfoil in use: Circle, 51 points"));
    }

    void afterAResizeBothPlotsAreFittedAlike()
    {
        click("Option_N0012");
        type("Text_AlfaD", "3");
        click("Command_Calculate");
        windows->mainWindow()->resize(windows->mainWindow()->width() + 300,
                                      windows->mainWindow()->height() - 60);
        QApplication::processEvents();
        click("Command_Calculate");
        auto* airfoil = find<ui::PictureBox>("Picture_Airfoil");
        auto* pressure = find<ui::PictureBox>("Picture_PressureDistribution");
        QCOMPARE(airfoil->width(), pressure->width());
        const auto [aLeft, aRight] = redColumns(airfoil->grab().toImage());
        const auto [pLeft, pRight] = redColumns(pressure->grab().toImage());
        QVERIFY(aLeft >= 0 && pLeft >= 0);  // both pictures drawn at all
        // The contour ends at the leading and trailing edges, the curve at the
        // first and last control points a fraction of a percent inside.
        const int tolerance = 3 + airfoil->width() / 200;
        QVERIFY2(std::abs(aLeft - pLeft) <= tolerance, qPrintable(QString("%1 %2").arg(aLeft).arg(pLeft)));
        QVERIFY2(std::abs(aRight - pRight) <= tolerance, qPrintable(QString("%1 %2").arg(aRight).arg(pRight)));
    }

    void compressibleCurveStaysInsideThePressureBox()
    {
        click("Option_N0012");
        type("Text_AlfaD", "5");
        type("Text_Moo", "0.8");
        click("Command_Calculate");
        const QImage image = find<ui::PictureBox>("Picture_PressureDistribution")->grab().toImage();
        // No blue on the top and bottom rows (inside the grey frame).
        for (int row : {1, image.height() - 2})
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, row);
                QVERIFY(!(c.blue() > 200 && c.red() < 120 && c.green() < 120));
            }
        screenshot("main-mach08");
    }

    void fileBrowserClosesAndFollowsTheKeyboard()
    {
        QDir(dir.path()).mkpath("a");
        QDir(dir.path()).mkpath("b");
        std::ofstream((dir.path() + "/b/square.arf").toStdString())
            << "Square\n5\n1, 1.0, 0.0\n2, 0.5, -0.5\n3, 0.0, 0.0\n4, 0.5, 0.5\n5, 1.0, 0.0\n";
        click("Option_N0012");
        click("Option_DOSYA");
        auto* browser = find<QWidget>("Frame_FileBrowser");
        QVERIFY(browser->isVisible());
        click("Command_CloseBrowser");
        QVERIFY(!browser->isVisible());
        QCOMPARE(checkedSources(), QStringList{"Option_N0012"});

        click("Option_DOSYA");
        QVERIFY(browser->isVisible());
        windows->setPath("Dir1", (dir.path() + "/a").toStdString());
        auto* files = find<QListWidget>("File1");
        QCOMPARE(files->count(), 0);
        auto* tree = find<QTreeView>("Dir1");
        tree->setFocus();
        // The folders are listed as the file system model finds them.
        QTRY_COMPARE(tree->model()->rowCount(tree->currentIndex().parent()), 2);
        QCOMPARE(tree->currentIndex().data().toString(), QString("a"));
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(tree->currentIndex().data().toString(), QString("b"));
        QCOMPARE(files->count(), 1);
        QCOMPARE(files->item(0)->text(), QString("square.arf"));
        screenshot("browser");

        QTest::keyClick(tree, Qt::Key_Escape);
        QVERIFY(!browser->isVisible());

        // Choosing another source hides it as well.
        click("Option_DOSYA");
        click("Option_CIRCLE");
        QVERIFY(!browser->isVisible());

        // A typed path: a folder moves the browser, a file is read.
        click("Option_DOSYA");
        for (const QString& path : {dir.path() + "/b", dir.path() + "/b/square.arf"}) {
            type("Text_FilePath", path);
            QTest::keyClick(find<QLineEdit>("Text_FilePath"), Qt::Key_Return);
            QVERIFY(messages.empty());
            QCOMPARE(files->count(), 1);
        }
        QCOMPARE(common.NP, 5);
        QVERIFY(!browser->isVisible());
        QCOMPARE(checkedSources(), QStringList{"Option_DOSYA"});
        QCOMPARE(status(), QString("Airfoil in use: Square, 5 points"));
        QCOMPARE(text("Text_CL"), QString());  // typing the path pressed nothing else
    }

    void matrixWindowTellsTheSystemAndItsCondition()
    {
        type("Text_NP", "41");
        click("Option_N0012");
        click("Check_ShowMat");
        click("Option_VORPAN");
        click("Command_Calculate");
        QWidget* matrix = windows->window("Form_ShowMat");
        QVERIFY(matrix->isVisible());
        QCOMPARE(matrix->windowTitle(), QString("Coefficients Matrix"));
        QCOMPARE(find<ui::PictureBox>("Picture_ShowMat")->drawing().items.size(), 41u * 41u);
        QCOMPARE(find<QLabel>("Label_MatrixSystem")->text(),
                 QString("Vortex Panel Method: 41 unknowns; the picture shows rows and columns 1 to 41"));
        QVERIFY(find<QLabel>("Label_MatrixCondition")->text().startsWith("Condition number (1-norm) "));
        for (int k = 0; k < 16; ++k)
            QVERIFY(!find<QLabel>(qPrintable(QString("Label_MatrixLevel%1").arg(k)))->text().isEmpty());
        auto* picture = find<ui::PictureBox>("Picture_ShowMat");
        QCOMPARE(picture->width(), picture->height());
        screenshot("matrix");
    }

    void aboutShowsTheVersionAndClosesWithOkOrEscape()
    {
        QWidget* about = windows->window("Form_About");
        for (bool escape : {false, true}) {
            windows->mainWindow()->findChild<QAction*>("Mn_About")->trigger();
            QVERIFY(QTest::qWaitForWindowExposed(about));
            QCOMPARE(about->windowTitle(), QString("About"));
            QStringList lines;
            for (auto* l : about->findChildren<QLabel*>()) lines << l->text();
            QCOMPARE(lines, QStringList({"Tavrix-S", "Potential Flow Calculation Program",
                                         "using panel methods", "for Single Element Airfoils"}));
            QCOMPARE(text("Text_AboutVersion"), QString("Version 1.0"));
            if (escape) QTest::keyClick(about, Qt::Key_Escape);
            else click("Command_AboutOK");
            QVERIFY(!about->isVisible());
        }
    }

    void controlQQuits()
    {
        auto* quit = windows->mainWindow()->findChild<QAction*>("Mn_Quit");
        QVERIFY(quit != nullptr);
        QCOMPARE(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QTest::keyClick(windows->mainWindow(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!windows->mainWindow()->isVisible());
    }

    void fitsSmallScreens()
    {
        // 1366 x 768 at scale 1, and 1920 x 1080 at scale 1.5 (1280 x 720
        // device-independent pixels), less room for a title bar and a panel.
        const QSize least = windows->mainWindow()->minimumSizeHint();
        qInfo("least size of the main window: %d x %d", least.width(), least.height());
        QVERIFY2(least.width() <= 1280 && least.height() <= 720 - 60,
                 qPrintable(QString("%1 x %2").arg(least.width()).arg(least.height())));
    }

    void remembersItsSizeAndPlace()
    {
        const QString file = dir.filePath("settings.ini");
        windows->rememberGeometry(std::make_unique<QSettings>(file, QSettings::IniFormat));
        windows->mainWindow()->resize(900, 640);
        windows->mainWindow()->move(40, 30);
        QApplication::processEvents();
        const QSize size = windows->mainWindow()->size();
        windows->mainWindow()->close();
        QVERIFY(QSettings(file, QSettings::IniFormat).contains("MainWindow/geometry"));

        windows.reset();
        init();
        windows->rememberGeometry(std::make_unique<QSettings>(file, QSettings::IniFormat));
        QCOMPARE(windows->mainWindow()->size(), size);
    }
};

QTEST_MAIN(MainWindowUseTest)
#include "MainWindowUse_test.moc"
