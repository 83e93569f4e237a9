// The "Geometry" menu of the main window, driven by object name: the dialogs
// are filled in and applied as a user does, and the press that follows
// gives what the batch front end gives for the same edit.
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <sstream>

#include "app/GeometryEdits.h"
#include "support/QtWindowDriver.h"
#include "tools/batch/BatchRun.h"
#include "ui/Controls.h"
#include "ui/qt/AnalysisWindow.h"

class GeometryMenuTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    QAction* action(const char* name)
    {
        auto* a = windows->mainWindow()->findChild<QAction*>(name);
        if (a == nullptr) qFatal("no action %s", name);
        return a;
    }
    // NACA 2412 with 161 points, the vortex panel method at alpha 4.
    void naca2412()
    {
        type("Text_NP", "161");
        QVERIFY(windows->logic().airfoilMenu().makeNaca("2412", false));
        type("Text_AlfaD", "4");
        click("Option_VORPAN");
    }
    QString pressCL()
    {
        click("Command_Calculate");
        return text("Text_CL");
    }
    void applyFlap(const char* x, const char* height, const char* deg)
    {
        action("Mn_Flap")->trigger();
        QVERIFY(find<QDialog>("Dialog_Flap")->isVisible());
        type("Text_FlapHingeX", x);
        type("Text_FlapHingeHeight", height);
        type("Text_FlapDeflection", deg);
        click("Command_FlapApply");
    }
    // The batch's CL and CH lines for the same section and edit.
    std::string batchLines(const std::vector<std::string>& edit)
    {
        std::vector<std::string> args = {"--naca", "2412", "--points", "161", "--alpha", "4",
                                         "--method", "vortex",
                                         "--dir=" + dir.path().toStdString()};
        args.insert(args.end(), edit.begin(), edit.end());
        std::ostringstream out, err;
        if (tavrix::runBatch(args, out, err) != 0) qFatal("batch failed: %s", err.str().c_str());
        return out.str();
    }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void theGeometryMenuComesBeforeAnalysisWithItsThreeEntries()
    {
        const auto top = windows->mainWindow()->menuBar()->actions();
        int geometry = -1, analysis = -1;
        for (int i = 0; i < top.size(); ++i) {
            if (top[i]->text() == "Geometry") geometry = i;
            if (top[i]->text() == "Analysis") analysis = i;
        }
        QVERIFY(geometry > 0 && geometry + 1 == analysis);
        QCOMPARE(action("Mn_Flap")->text(), QString("Flap..."));
        QCOMPARE(action("Mn_ScaleSection")->text(), QString("Scale thickness and camber..."));
        QCOMPARE(action("Mn_TrailingEdgeGap")->text(), QString("Trailing-edge gap..."));
    }

    void aFlapFromTheDialogChangesThePressAsTheBatchFlapDoes()
    {
        naca2412();
        const QString plain = pressCL();
        applyFlap("0.75", "0.5", "10");
        QVERIFY(messages.empty());
        QVERIFY(!find<QDialog>("Dialog_Flap")->isVisible());
        QVERIFY(tavrix::flapInUse(common).has_value());
        QVERIFY(text("Text_NP").toInt() > 161);  // the bridging points on the arc
        const QString flapped = pressCL();
        QVERIFY(flapped.toDouble() > plain.toDouble() + 0.3);
        const std::string lines = batchLines({"--flap", "0.75:0.5:10"});
        QVERIFY2(lines.find("CL = " + flapped.toStdString() + "\n") != std::string::npos,
                 lines.c_str());
        const auto ch = tavrix::pressHingeMoment(common);
        QVERIFY(ch.has_value() && *ch < 0);
        QVERIFY(lines.find("CH = " + QString::number(*ch, 'f', 4).toStdString()) !=
                std::string::npos);
    }

    void refusedInputKeepsTheAirfoilAndTheDialogOpenThenAHingeAtAHeight()
    {
        naca2412();
        const std::vector<double> x = tavrix::contourX(common);
        for (const auto& [hinge, deg] : {std::pair{"1.2", "10"}, {"0.75", "95"}, {"0.75", "ten"}}) {
            applyFlap(hinge, "0.5", deg);
            QCOMPARE(messages.size(), std::size_t{1});
            messages.clear();
            QVERIFY(find<QDialog>("Dialog_Flap")->isVisible());
            QCOMPARE(tavrix::contourX(common), x);
            QCOMPARE(common.NP, 161);
        }
        click("Command_FlapClose");
        QVERIFY(!find<QDialog>("Dialog_Flap")->isVisible());

        // The hinge at an absolute height instead of a share of the thickness.
        action("Mn_Flap")->trigger();
        click("Option_FlapHingeY");
        QVERIFY(find<QRadioButton>("Option_FlapHingeY")->isChecked());
        applyFlap("0.7", "0.02", "-10");
        QVERIFY(messages.empty());
        const auto hinge = tavrix::flapInUse(common);
        QVERIFY(hinge.has_value());
        QCOMPARE(hinge->y, 0.02);
        QCOMPARE(hinge->deflectionDeg, -10.0);
    }

    void scaleAndGapDialogsEditTheSectionInUse()
    {
        naca2412();
        action("Mn_ScaleSection")->trigger();
        type("Text_ScaleThickness", "1");
        type("Text_ScaleCamber", "0");
        click("Command_ScaleApply");
        QVERIFY(messages.empty());
        // A symmetric section: no lift at alpha 0.
        type("Text_AlfaD", "0");
        QVERIFY(std::fabs(pressCL().toDouble()) < 0.002);
        QCOMPARE(common.NP, 161);

        action("Mn_TrailingEdgeGap")->trigger();
        type("Text_GapWidth", "0.5");  // wider than the section is thick
        click("Command_GapApply");
        QCOMPARE(messages.size(), std::size_t{1});
        QVERIFY(find<QDialog>("Dialog_TrailingEdgeGap")->isVisible());
        messages.clear();
        type("Text_GapWidth", "0.01");
        click("Command_GapApply");
        // Opened and closed again, as an open coordinate file is closed.
        QCOMPARE(messages.size(), std::size_t{1});
        QVERIFY(messages[0].find("0.01 chord wide") != std::string::npos);
        QCOMPARE(common.XCoord[1], common.XCoord[static_cast<std::size_t>(common.NP)]);
        QCOMPARE(common.YCoord[1], common.YCoord[static_cast<std::size_t>(common.NP)]);
    }

    void theAnalysisWindowShowsTheHingeMomentOnlyWithAFlap()
    {
        naca2412();
        pressCL();
        windows->mainWindow()->findChild<QAction*>("Mn_Analysis")->trigger();
        auto* analysis = static_cast<ui::AnalysisWindow*>(windows->window(ui::kAnalysisForm));
        QVERIFY(QTest::qWaitForWindowExposed(analysis));
        auto* info = find<QLabel>("Label_PressureInfo");
        QVERIFY(!info->text().contains("CH"));
        auto* table = find<QTableWidget>("Table_Polar");
        auto runPolar = [&] {
            type("Text_AlphaFrom", "0");
            type("Text_AlphaTo", "4");
            type("Text_AlphaStep", "4");
            find<QComboBox>("Combo_PolarMethod")->setCurrentIndex(1);  // vortex panel
            click("Command_RunPolar");
            QTRY_VERIFY_WITH_TIMEOUT(!analysis->running(), 60000);
        };
        runPolar();
        QCOMPARE(table->columnCount(), 4);

        applyFlap("0.75", "0.5", "10");
        pressCL();
        const auto ch = tavrix::pressHingeMoment(common);
        QVERIFY(ch.has_value());
        QVERIFY2(info->text().contains("CH = " + QString::number(*ch, 'f', 4)),
                 qPrintable(info->text()));
        runPolar();
        QCOMPARE(table->columnCount(), 5);
        QCOMPARE(table->horizontalHeaderItem(4)->text(), QString("Vortex panel CH"));
        // The row of the press's angle holds the press's hinge moment.
        QCOMPARE(table->item(1, 4)->text(), QString::number(*ch, 'f', 5));
        QVERIFY(find<QLabel>("Label_PolarInfo")->text().contains("positive trailing edge down"));
    }
};

QTEST_MAIN(GeometryMenuTest)
#include "GeometryMenu_test.moc"
