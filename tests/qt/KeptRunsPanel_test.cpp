// Kept polars and imported xfoil polars over the analysis window's polar
// plots, their export, and the angle of attack for a target CL, driven by
// object name on the real windows.
#include <QAction>
#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QTableWidget>
#include <cmath>

#include "output/XfoilPolarFile.h"
#include "support/QtWindowDriver.h"
#include "support/Session.h"
#include "ui/qt/AnalysisWindow.h"
#include "ui/qt/KeptRunsPanel.h"
#include "ui/qt/PlotView.h"

class KeptRunsPanelTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    const QString reference =
        QString(TAVRIX_SOURCE_DIR) + "/tests/data/xfoil_viscous/naca4415_re3e6.pol";

    ui::AnalysisWindow* analysis()
    {
        return static_cast<ui::AnalysisWindow*>(windows->window(ui::kAnalysisForm));
    }
    ui::KeptRunsPanel* panel() { return find<ui::KeptRunsPanel>("Panel_KeptRuns"); }
    QListWidget* list() { return find<QListWidget>("List_KeptRuns"); }
    ui::PlotView* plot(const char* name) { return find<ui::PlotView>(name); }
    static QStringList names(ui::PlotView* view)
    {
        QStringList n;
        for (QAbstractSeries* s : view->chart()->series()) n << s->name();
        return n;
    }
    static QList<QPointF> points(ui::PlotView* view, const QString& series)
    {
        for (QAbstractSeries* s : view->chart()->series())
            if (s->name() == series) return static_cast<QLineSeries*>(s)->points();
        return {};
    }
    void openAnalysis()
    {
        windows->mainWindow()->findChild<QAction*>("Mn_Analysis")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(analysis()));
    }
    void pressNaca(const char* points, const char* alpha)
    {
        type("Text_NP", points);
        click("Option_N0012");
        type("Text_AlfaD", alpha);
        click("Command_Calculate");
        QVERIFY(windows->logic().lastPressCompleted());
    }
    void runPolar(const char* from, const char* to, const char* step, int method)
    {
        type("Text_AlphaFrom", from);
        type("Text_AlphaTo", to);
        type("Text_AlphaStep", step);
        find<QComboBox>("Combo_PolarMethod")->setCurrentIndex(method);
        click("Command_RunPolar");
        QTRY_VERIFY_WITH_TIMEOUT(!analysis()->running(), 60000);
    }
    static std::string fileText(const QString& path)
    {
        return tavrix::testing::readFile(path.toStdString());
    }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void keptRunsAreCurvesOfTheirOwnThatCanBeHiddenAndOutliveANewPolar()
    {
        openAnalysis();
        QVERIFY(!find<QPushButton>("Command_KeepRun")->isEnabled());  // nothing to keep yet
        pressNaca("61", "2");
        runPolar("-2", "6", "2", 0);  // Hess
        click("Command_KeepRun");
        runPolar("-2", "6", "2", 1);  // vortex panel
        click("Command_KeepRun");
        QCOMPARE(list()->count(), 2);
        QCOMPARE(list()->item(0)->text(), QString("NACA 0012, inviscid, Hess"));
        QCOMPARE(list()->item(1)->text(), QString("NACA 0012, inviscid, Vortex panel"));
        // The two kept runs under the current vortex polar and its
        // thin-airfoil line.
        ui::PlotView* lift = plot("Plot_PolarCL");
        QCOMPARE(names(lift), (QStringList{"NACA 0012, inviscid, Hess",
                                           "NACA 0012, inviscid, Vortex panel", "Vortex panel",
                                           QString::fromUtf8("Thin airfoil 2\u03c0(\u03b1 \u2212 \u03b1\u2080)")}));
        // The kept Hess curve is the Hess polar as it was computed.
        const QList<QPointF> hess = points(lift, "NACA 0012, inviscid, Hess");
        QCOMPARE(hess.size(), 5);
        QCOMPARE(hess[2].x(), 2.0);
        QCOMPARE(hess[2].y(), panel()->runs()[0].CL[2]);
        QVERIFY(names(plot("Plot_PolarCM")).contains("NACA 0012, inviscid, Hess"));
        // Inviscid runs have no drag: the drag plots stay empty of them.
        QCOMPARE(plot("Plot_PolarCD")->seriesCount(), 0);

        // Unticked, the run leaves the plots and stays in the list.
        list()->item(0)->setCheckState(Qt::Unchecked);
        QVERIFY(!names(lift).contains("NACA 0012, inviscid, Hess"));
        QCOMPARE(list()->count(), 2);
        list()->item(0)->setCheckState(Qt::Checked);
        QVERIFY(names(lift).contains("NACA 0012, inviscid, Hess"));

        // Renamed, the legend follows.
        list()->item(1)->setText("vortex, first try");
        QVERIFY(names(lift).contains("vortex, first try"));

        // A press of another contour makes the current polar out of date;
        // the kept runs stay.
        pressNaca("81", "2");
        QVERIFY(analysis()->polarOutOfDate());
        QCOMPARE(list()->count(), 2);
        QVERIFY(names(lift).contains("NACA 0012, inviscid, Hess"));

        // Removed, it is gone from list and plots.
        list()->setCurrentRow(0);
        click("Command_RemoveRun");
        QCOMPARE(list()->count(), 1);
        QVERIFY(!names(lift).contains("NACA 0012, inviscid, Hess"));
        QVERIFY(messages.empty());
    }

    void anImportedXfoilPolarOverlaysUnderItsOwnNameAndADamagedOneIsRefused()
    {
        openAnalysis();
        // Before any press or polar: the plots show the file alone.
        QVERIFY(panel()->importXfoilPolar(reference));
        const QString name = "xfoil: NACA 4415, Re 3e6, Ncrit 9";
        QCOMPARE(list()->item(0)->text(), name);
        const tavrix::Outcome<tavrix::KeptRun> file =
            tavrix::readXfoilPolarFile(reference.toStdString());
        QVERIFY(file.ok());
        const QList<QPointF> cl = points(plot("Plot_PolarCL"), name);
        QCOMPARE(cl.size(), static_cast<int>(file->alpha.size()));
        for (int i = 0; i < cl.size(); ++i)
            QCOMPARE(cl[i], QPointF(file->alpha[static_cast<std::size_t>(i)],
                                    file->CL[static_cast<std::size_t>(i)]));
        // xfoil's first row: 0 degrees, CL 0.4369.
        QCOMPARE(cl.front(), QPointF(0, 0.4369));
        // Every other plot holds it too (the kept runs' own test pins which
        // column goes where).
        for (const char* view : {"Plot_PolarCM", "Plot_PolarCD", "Plot_DragPolar"})
            QCOMPARE(points(plot(view), name).size(), cl.size());
        for (const char* side : {" upper", " lower"})
            QCOMPARE(points(plot("Plot_PolarTransition"), name + side).size(), cl.size());

        // A damaged or missing file is refused with a message and changes nothing.
        const QStringList before = names(plot("Plot_PolarCL"));
        const std::string text = fileText(reference);
        // (The reader's own test covers each kind of damage.)
        const QString cut = dir.filePath("cut.pol");
        QFile f(cut);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(text.substr(0, text.find("  ------"))));
        f.close();
        for (const QString& damaged : {cut, dir.filePath("missing.pol")}) {
            messages.clear();
            QVERIFY(!panel()->importXfoilPolar(damaged));
            QCOMPARE(messages.size(), std::size_t(1));
            QVERIFY2(messages[0].rfind("Cannot read polar file \"" + damaged.toStdString() + "\": ", 0) == 0,
                     messages[0].c_str());
            QCOMPARE(list()->count(), 1);
            QCOMPARE(names(plot("Plot_PolarCL")), before);
        }
        QVERIFY(messages[0].find("no such file") != std::string::npos);
        messages.clear();

        // Over a computed polar it joins the curves of the method.
        pressNaca("61", "2");
        runPolar("0", "8", "2", 1);
        QCOMPARE(names(plot("Plot_PolarCL")).filter(name).size(), 1);
        QVERIFY(names(plot("Plot_PolarCL")).contains("Vortex panel"));
        QVERIFY(plot("Plot_PolarCL")->titleText().contains("NACA 0012"));
        QVERIFY(messages.empty());
    }

    // The export of a kept run names its case; the angle for a target CL of
    // the same press matches thin-airfoil theory.
    void theExportOfAKeptRunNamesItsCaseAndATargetCLFindsItsAngle()
    {
        openAnalysis();
        pressNaca("101", "2");
        runPolar("-2", "4", "2", 0);
        click("Command_KeepRun");
        QVERIFY(panel()->importXfoilPolar(reference));
        const QString own = dir.filePath("hess.csv"), xfoil = dir.filePath("xfoil.csv");
        QVERIFY(panel()->exportRun(0, own));
        QVERIFY(panel()->exportRun(1, xfoil));
        const std::string a = fileText(own);
        QVERIFY(a.rfind("# polar: NACA 0012, inviscid, Hess\n# airfoil: NACA 0012\n# method: Hess\n"
                        "# model: inviscid\n# Re: none\n# Ncrit: none\n# Mach: 0\n"
                        "# alpha range: -2 to 4 deg (4 angles)\n",
                        0) == 0);
        QVERIFY(a.find("\nalpha,CL,CDp_inviscid,CM\n-2,") != std::string::npos);
        const std::string b = fileText(xfoil);
        QVERIFY(b.find("# airfoil: NACA 4415\n# method: xfoil\n") != std::string::npos);
        QVERIFY(b.find("# Re: 3e6\n# Ncrit: 9\n# Mach: 0\n# alpha range: -4 to 20 deg") !=
                std::string::npos);
        QVERIFY(b.find("\nalpha,CL,CDp,CM,CD,Top_Xtr,Bot_Xtr\n0,0.4369,6e-05,-0.0932,0.00642,") !=
                std::string::npos);
        // A folder that does not exist: a message, nothing written.
        QVERIFY(!panel()->exportRun(0, dir.filePath("no/such/hess.csv")));
        QCOMPARE(messages.size(), std::size_t(1));
        messages.clear();

        type("Text_LiftTarget", "0.5");
        click("Command_FindAlpha");
        QVERIFY(analysis()->liftTarget().has_value());
        const double alpha = analysis()->liftTarget()->alphaDeg;
        // Thin-airfoil theory: 0.5 / 2π rad = 4.56°; the 12 % thickness adds
        // some 9 % to the lift slope.
        const double thin = 0.5 / (2 * M_PI) * 180 / M_PI;
        QVERIFY2(alpha < thin && alpha > 0.85 * thin, qPrintable(QString::number(alpha)));
        QVERIFY(find<QLabel>("Label_LiftTargetInfo")->text().contains(QString::number(alpha, 'f', 4)));
        QVERIFY(find<QLabel>("Label_LiftTargetInfo")->text().contains("Hess"));

        // Out of reach: a message, and the answer stays.
        type("Text_LiftTarget", "9");
        click("Command_FindAlpha");
        QCOMPARE(messages.size(), std::size_t(1));
        QVERIFY(messages[0].find("CL = 9 is not reached") != std::string::npos);
        QCOMPARE(analysis()->liftTarget()->alphaDeg, alpha);
        type("Text_LiftTarget", "abc");
        click("Command_FindAlpha");
        QCOMPARE(messages.size(), std::size_t(2));

        // A new press: the earlier answer is no longer shown.
        pressNaca("101", "3");
        QVERIFY(!analysis()->liftTarget().has_value());
        QVERIFY(find<QLabel>("Label_LiftTargetInfo")->text().isEmpty());
    }
};

QTEST_MAIN(KeptRunsPanelTest)
#include "KeptRunsPanel_test.moc"
