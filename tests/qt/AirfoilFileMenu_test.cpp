// The "File" menu of the main window, driven by object name. The file dialogs
// are skipped through the entries that take a path; the small dialogs are
// filled in and confirmed as a user does.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <fstream>

#include "support/QtWindowDriver.h"
#include "ui/qt/AirfoilFileMenu.h"

class AirfoilFileMenuTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    QAction* action(const char* name)
    {
        auto* a = windows->mainWindow()->findChild<QAction*>(name);
        if (a == nullptr) qFatal("no action %s", name);
        return a;
    }
    ui::AirfoilFileMenu* menu()
    {
        return windows->mainWindow()->findChild<ui::AirfoilFileMenu*>("AirfoilFileMenu");
    }
    QString write(const char* name, const char* text)
    {
        const QString path = dir.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path;
    }
    static constexpr const char* kDiamond =
        "Diamond\n1 0\n0.5 0.05\n0 0\n0.5 -0.05\n1 0\n";

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void theFileMenuComesBeforeAboutWithItsEntries()
    {
        const auto top = windows->mainWindow()->menuBar()->actions();
        QVERIFY(top.size() >= 2);
        QCOMPARE(top[0]->text(), QString("File"));
        QCOMPARE(top.back()->objectName(), QString("Mn_About"));
        for (const auto& [name, title] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"Mn_OpenAirfoil", "Open airfoil file..."}, {"Mn_NacaSection", "NACA section..."},
                 {"Mn_Repanel", "Repanel..."}, {"Mn_SaveContour", "Save contour as..."}})
            QCOMPARE(action(name)->text(), QString(title));
        QCOMPARE(action("Mn_OpenAirfoil")->shortcut(), QKeySequence("Ctrl+O"));
        // The entries in their order, the sessions' among them.
        const QStringList want = {"Mn_OpenAirfoil", "Mn_NacaSection", "Mn_Repanel",
                                  "Mn_SaveContour", "Mn_OpenSession", "Mn_SaveSession", "Mn_Quit"};
        QStringList got;
        for (QAction* a : windows->mainWindow()->findChild<QMenu*>("Mn_File")->actions())
            if (want.contains(a->objectName())) got << a->objectName();
        QCOMPARE(got, want);
        QVERIFY(ui::AirfoilFileMenu::fileFilters().contains("*.dat *.arf *.txt"));
        QVERIFY(ui::AirfoilFileMenu::fileFilters().contains("All files (*)"));
    }

    void openingASeligFileSetsTheContourAndTheRecentFiles()
    {
        const QString path = write("diamond.dat", kDiamond);
        QVERIFY(menu()->openPath(path));
        QVERIFY(messages.empty());
        QCOMPARE(common.NP, 5);
        QCOMPARE(text("Text_NP"), QString("5"));
        // Clockwise from the trailing edge: the lower surface first.
        QCOMPARE(common.YCoord[2], -0.05);
        QCOMPARE(action("Mn_Recent_1")->text(), path);
        QCOMPARE(common.AirfoilName, std::string("Diamond"));
    }

    void recentFilesOutliveTheSession()
    {
        const QString settings = dir.filePath("settings.ini");
        windows->rememberGeometry(std::make_unique<QSettings>(settings, QSettings::IniFormat));
        const QString first = write("first.dat", kDiamond), second = write("second.dat", kDiamond);
        QVERIFY(menu()->openPath(first));
        QVERIFY(menu()->openPath(second));
        windows->mainWindow()->close();

        stop();
        QVERIFY(start());
        QVERIFY(windows->logic().airfoilMenu().recentFiles().empty());
        windows->rememberGeometry(std::make_unique<QSettings>(settings, QSettings::IniFormat));
        const std::vector<std::string> expected = {second.toStdString(), first.toStdString()};
        QCOMPARE(windows->logic().airfoilMenu().recentFiles(), expected);
        auto* recent = windows->mainWindow()->findChild<QMenu*>("Mn_RecentFiles");
        QVERIFY(recent != nullptr);
        emit recent->aboutToShow();
        QCOMPARE(action("Mn_Recent_1")->text(), second);

        // A list written by hand keeps its order, without repeats or blanks.
        windows->logic().airfoilMenu().setRecentFiles({"a", "", "b", "a", "c"});
        QCOMPARE(windows->logic().airfoilMenu().recentFiles(),
                 (std::vector<std::string>{"a", "b", "c"}));
    }

    void theNacaDialogMakesTheSectionWithTheTypedCount()
    {
        find<QLineEdit>("Text_NP")->setText("81");
        action("Mn_NacaSection")->trigger();
        auto* dialog = find<QDialog>("Dialog_Naca");
        QVERIFY(dialog->isVisible());
        find<QLineEdit>("Text_NacaDesignation")->setText("4415");
        find<QCheckBox>("Check_NacaOpenTE")->setChecked(true);
        QTest::mouseClick(find<QPushButton>("Command_NacaOK"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(common.NP, 81);
        QCOMPARE(common.AirfoilName, std::string("NACA 4415"));
        QCOMPARE(messages.size(), std::size_t{1});
        QVERIFY(messages[0].find("0.00315 chord") != std::string::npos);
    }

    void anUnknownDesignationIsRefusedAndTheContourStays()
    {
        QVERIFY(menu()->makeNaca("2412", false));
        QVERIFY(!menu()->makeNaca("2512x", false));
        QCOMPARE(messages.size(), std::size_t{1});
        QCOMPARE(common.AirfoilName, std::string("NACA 2412"));
        QCOMPARE(common.NP, 51);
    }

    void theRepanelDialogRedistributesThePoints()
    {
        QVERIFY(menu()->makeNaca("23012", false));
        // 2000 points are refused and the 101 of before stay.
        for (const char* count : {"101", "2000"}) {
            action("Mn_Repanel")->trigger();
            find<QLineEdit>("Text_RepanelCount")->setText(count);
            QTest::mouseClick(find<QPushButton>("Command_RepanelOK"), Qt::LeftButton);
            QCOMPARE(common.NP, 101);
            QCOMPARE(text("Text_NP"), QString("101"));
        }
        QCOMPARE(messages.size(), std::size_t{1});
    }

    void saveContourWritesTheSeligLayout()
    {
        QVERIFY(menu()->makeNaca("0012", false));
        const QString path = dir.filePath("out.dat");
        QVERIFY(menu()->savePath(path));
        std::ifstream in(path.toStdString());
        std::string first, second;
        QVERIFY(std::getline(std::getline(in, first), second));
        QCOMPARE(first + "|" + second, std::string("NACA 0012|1 0"));
    }

    void theFileBrowserListsDatFilesToo()
    {
        QDir(dir.path()).mkdir("browse");
        write("browse/a.dat", kDiamond);
        write("browse/b.arf", "B\n3\n1 1 0\n2 0 0\n3 1 0\n");
        write("browse/c.txt", kDiamond);
        windows->setPath("File1", dir.filePath("browse").toStdString());
        auto* files = find<QListWidget>("File1");
        QStringList names;
        for (int i = 0; i < files->count(); ++i) names << files->item(i)->text();
        QCOMPARE(names, QStringList({"a.dat", "b.arf"}));
        files->setCurrentRow(0);
        emit files->itemClicked(files->item(0));
        QCOMPARE(common.NP, 5);
        QVERIFY(messages.empty());
    }
};

QTEST_MAIN(AirfoilFileMenuTest)
#include "AirfoilFileMenu_test.moc"
