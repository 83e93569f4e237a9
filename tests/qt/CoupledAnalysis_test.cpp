// The coupled viscous-inviscid analysis in the analysis window, driven by
// object name: the point of the press with its viscous pressure, displacement
// body and layer; the viscous polar with CLmax as the batch finds it; a point
// that does not converge; kept runs of a Reynolds sweep and an xfoil polar
// over them; the exports naming the case.
#include <QAction>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QScatterSeries>
#include <QTableWidget>

#include "app/NumberText.h"
#include "app/PressSolvers.h"
#include "support/QtWindowDriver.h"
#include "support/Session.h"
#include "tools/batch/CoupledRun.h"
#include "ui/qt/AirfoilFileMenu.h"
#include "ui/qt/AnalysisWindow.h"
#include "ui/qt/KeptRunsPanel.h"
#include "ui/qt/PlotView.h"

namespace {

const QString kData = QString(TAVRIX_SOURCE_DIR) + "/tests/data/xfoil_viscous/";

// The heavy polars run in the optimised build only: unoptimised and
// instrumented, a coupled polar through the stall takes many minutes.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeavyRuns = false;
#else
constexpr bool kHeavyRuns = true;
#endif

}  // namespace

class CoupledAnalysisTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    ui::AnalysisWindow* analysis()
    {
        return static_cast<ui::AnalysisWindow*>(windows->window(ui::kAnalysisForm));
    }
    ui::PlotView* plot(const char* name) { return find<ui::PlotView>(name); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
    static QAbstractSeries* series(ui::PlotView* view, const QString& name)
    {
        for (QAbstractSeries* s : view->chart()->series())
            if (s->name() == name) return s;
        return nullptr;
    }
    static QList<QPointF> points(ui::PlotView* view, const QString& name)
    {
        auto* s = qobject_cast<QXYSeries*>(series(view, name));
        return s ? s->points() : QList<QPointF>{};
    }
    static QStringList names(ui::PlotView* view)
    {
        QStringList n;
        for (QAbstractSeries* s : view->chart()->series()) n << s->name();
        return n;
    }
    void openAnalysis()
    {
        windows->mainWindow()->findChild<QAction*>("Mn_Analysis")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(analysis()));
    }
    ui::AirfoilFileMenu* fileMenu()
    {
        return windows->mainWindow()->findChild<ui::AirfoilFileMenu*>("AirfoilFileMenu");
    }
    // xfoil's own nodes of a section, pressed with a method at an angle.
    void pressFile(const char* file, tavrix::PanelMethod method, const char* alpha)
    {
        QVERIFY(fileMenu()->openPath(kData + file));
        press(method, alpha);
    }
    void press(tavrix::PanelMethod method, const char* alpha)
    {
        click(tavrix::methodOption(method));
        type("Text_AlfaD", alpha);
        type("Text_Moo", "0");
        click("Command_Calculate");
        QVERIFY(windows->logic().lastPressCompleted());
    }
    void enter(const char* name, const QString& value)
    {
        type(name, value);
        QTest::keyClick(find<QLineEdit>(name), Qt::Key_Return);
    }
    // A Reynolds number confirmed, and the coupled point of the press awaited.
    void enterReynolds(const char* re)
    {
        enter("Text_Reynolds", re);
        QTRY_VERIFY_WITH_TIMEOUT(!analysis()->coupledPointRunning(), 120000);
    }
    void chooseMethod(tavrix::PanelMethod method)
    {
        auto* combo = find<QComboBox>("Combo_PolarMethod");
        combo->setCurrentIndex(combo->findText(QString::fromUtf8(tavrix::methodName(method).data())));
    }
    void setSweep(const char* from, const char* to, const char* step)
    {
        type("Text_AlphaFrom", from);
        type("Text_AlphaTo", to);
        type("Text_AlphaStep", step);
    }
    void runPolar(const char* from, const char* to, const char* step)
    {
        setSweep(from, to, step);
        click("Command_RunPolar");
        QTRY_VERIFY_WITH_TIMEOUT(!analysis()->running(), 600000);
    }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void thePressGetsItsViscousPressureBodyAndLayer()
    {
        openAnalysis();
        QVERIFY(analysis()->coupledModel());
        pressFile("naca0012_161.dat", tavrix::PanelMethod::SoinneLaine, "2");
        // No Reynolds number: inviscid as before, no coupled point.
        QVERIFY(!analysis()->coupledPoint());
        QVERIFY(!plot("Plot_DisplacementBody")->isVisible());
        enterReynolds("3e6");
        QVERIFY(analysis()->coupledPoint());
        const tavrix::CoupledPoint& p = *analysis()->coupledPoint();
        QVERIFY2(p.converged, p.reason.c_str());
        // The same point as the batch's press at this angle computes.
        const tavrix::Outcome<tavrix::PanelSolution> solution = tavrix::solvePanels(
            tavrix::panelsInUse(common), tavrix::PanelMethod::SoinneLaine);
        QVERIFY(solution.ok());
        tavrix::coupled::CoupledOptions options;
        options.re = 3e6;
        const tavrix::CoupledPoint batch = tavrix::coupledPointAt(*solution, 2, options);
        QCOMPARE(p.CL, batch.CL);
        QCOMPARE(p.CD, batch.CD);
        // The viscous lift lies below the inviscid one, the drag near xfoil's
        // 0.00578 at 2 degrees (its polar on the same nodes).
        QVERIFY(p.CL < tavrix::IntegrateForces(windows->logic().common()).CL);
        QVERIFY(std::fabs(p.CD / 0.00578 - 1) < 0.1);
        // Pressure: viscous over inviscid; the body and the wake beside it.
        const QStringList pressure = names(plot("Plot_Pressure"));
        QVERIFY2(pressure.size() >= 4, qPrintable(pressure.join("|")));
        QVERIFY(plot("Plot_DisplacementBody")->isVisible());
        QVERIFY(plot("Plot_DisplacementBody")->seriesCount() >= 3);
        QVERIFY(label("Label_PressureInfo").contains("viscous"));
        // The layer tab: every quantity along the surfaces and the wake.
        for (const char* name : {"Plot_CoupledUe", "Plot_CoupledTheta", "Plot_CoupledDstar",
                                 "Plot_CoupledH", "Plot_CoupledCf"}) {
            // (no wall in the wake: its friction is none)
            const int least = std::string(name) == "Plot_CoupledCf" ? 2 : 3;
            QVERIFY2(plot(name)->seriesCount() >= least, name);
            QVERIFY2(plot(name)->titleText().contains("Re 3e6"), name);
        }
        const QString info = label("Label_CoupledInfo");
        QVERIFY(info.contains("viscous CL = " + QString::number(p.CL, 'f', 4)));
        QVERIFY(info.contains("Ncrit 9"));
        QVERIFY(!info.contains("subdivided"));  // (161 points: the layer on the press's)

        // The one-way model for teaching: the layer of the inviscid speeds.
        find<QComboBox>("Combo_ViscousModel")->setCurrentIndex(1);
        QVERIFY(analysis()->layer().ok);
        QCOMPARE(find<QComboBox>("Combo_ViscousModel")->currentText(), QString("One-way (teaching)"));
    }

    // The press's default 51 points: the layer runs on the contour
    // subdivided (265 points: each panel in five, the nose's further; the
    // press's own among them), near xfoil's
    // point on its own nodes of the section (NACA 2412 at 6 degrees, Re 1e6:
    // CL 0.9245, CD 0.00920), and the window says so.
    void aCoarsePressRunsTheLayerOnTheSubdividedContourAndSaysSo()
    {
        openAnalysis();
        QVERIFY(fileMenu()->makeNaca("2412", false));
        QCOMPARE(common.NP, 51);
        press(tavrix::PanelMethod::SoinneLaine, "6");
        enterReynolds("1e6");
        QVERIFY(analysis()->coupledPoint());
        const tavrix::CoupledPoint& p = *analysis()->coupledPoint();
        QVERIFY2(p.converged, p.reason.c_str());
        QCOMPARE(p.contourPoints, 51);
        QCOMPARE(p.layerPoints, 265);
        QVERIFY(std::fabs(p.CL / 0.9245 - 1) < 0.05);
        QVERIFY(std::fabs(p.CD / 0.00920 - 1) < 0.05);
        QVERIFY(label("Label_CoupledInfo")
                    .contains("the layer on 265 points, the contour's 51 subdivided"));
    }

    // "Compare methods" in the coupled model: the coupled formulations at
    // the press's point, each one's viscous pressure and its lift and drag.
    // Then a viscous polar of the four formulations over 81 angles runs
    // behind a window that keeps answering: the bar moves, Cancel ends the
    // run and keeps the angles solved before it.
    void compareMethodsAndALongFourMethodPolarThatCancelKeepsWhatIsDone()
    {
        if (!kHeavyRuns) QSKIP("coupled points and polars in the optimised build only");
        openAnalysis();
        pressFile("naca0012_161.dat", tavrix::PanelMethod::SoinneLaine, "2");
        enterReynolds("3e6");
        find<QCheckBox>("Check_CompareMethods")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!analysis()->coupledPointRunning(), 300000);
        const QStringList curves = names(plot("Plot_Pressure"));
        const QString info = label("Label_PressureInfo");
        for (tavrix::PanelMethod m : tavrix::kAllMethods) {
            const QString name = QString::fromUtf8(tavrix::methodName(m).data());
            QVERIFY2(info.contains(name + " viscous: CL = ") || info.contains(name + ": not converged"),
                     qPrintable(info));
            // A method that converged draws its surfaces; one that did not, none.
            QCOMPARE(curves.contains(name + ", upper"), info.contains(name + " viscous: CL = "));
        }
        // The press's own method as the single point gives it.
        QVERIFY(info.contains("Soinne-Laine viscous: CL = " +
                              QString::number(analysis()->coupledPoint()->CL, 'f', 4)));

        find<QComboBox>("Combo_PolarMethod")->setCurrentIndex(4);  // all four
        setSweep("-10", "10", "0.25");
        click("Command_RunPolar");
        QVERIFY(analysis()->running());
        // The event loop runs while the points are solved: a timer of the
        // window's thread fires on time, again and again, and the bar moves.
        auto* bar = find<QProgressBar>("Progress_Polar");
        QElapsedTimer clock;
        clock.start();
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(50);
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0 || !analysis()->running(), 120000);
        const qint64 waited = clock.elapsed();
        QVERIFY2(ticks >= waited / 50 / 4, qPrintable(QString("%1 ticks in %2 ms").arg(ticks).arg(waited)));
        QVERIFY(find<QPushButton>("Command_CancelPolar")->isEnabled());
        click("Command_CancelPolar");
        QTRY_VERIFY_WITH_TIMEOUT(!analysis()->running(), 120000);
        const tavrix::PolarResult& polar = analysis()->polar();
        QVERIFY(polar.cancelled);
        // (The polar's own test pins which angles are flagged as cancelled.)
        int solved = 0;
        for (const auto& points : polar.coupled)
            for (const tavrix::CoupledPoint& p : points) solved += p.iterations > 0;
        QVERIFY(solved > 0);
        QVERIFY(label("Label_PolarInfo").contains("Cancelled"));
        QVERIFY(find<QPushButton>("Command_RunPolar")->isEnabled());
    }

    // On NACA 4415 at Re 3e6: the vortex panel coupling does not converge,
    // and its point is a failure with its reason, hollow, never joined; the
    // Soinne-Laine polar marks CLmax as the batch does, and its runs are
    // kept beside an xfoil polar.
    void viscousPolarMarksFailuresAndCLmaxAsTheBatchAndKeepsRunsWithAnXfoilPolar()
    {
        if (!kHeavyRuns) QSKIP("coupled polars in the optimised build only");
        openAnalysis();
        // (30 degrees, far past the stall: the vortex panel coupling fails
        // there from a fresh start and walked to from 0 alike)
        pressFile("naca4415_161.dat", tavrix::PanelMethod::VortexPanel, "30");
        enter("Text_Reynolds", "3e6");
        chooseMethod(tavrix::PanelMethod::VortexPanel);
        runPolar("30", "30", "1");
        QCOMPARE(analysis()->polar().coupled.size(), std::size_t(1));
        const tavrix::CoupledPoint& failed = analysis()->polar().coupled[0][0];
        QVERIFY(!failed.converged);
        {
            auto* table = find<QTableWidget>("Table_Polar");
            QVERIFY(table->item(0, 7)->text().startsWith("no: "));
            QVERIFY(table->item(0, 1) == nullptr || table->item(0, 1)->text().isEmpty());
            // No converged curve holds it; where it stopped it is hollow, alone.
            QVERIFY(points(plot("Plot_PolarCL"), "Vortex panel").isEmpty());
            if (failed.lastIterateCL) {
                auto* hollow = qobject_cast<QScatterSeries*>(
                    series(plot("Plot_PolarCL"), "Vortex panel not converged"));
                QVERIFY2(hollow != nullptr, qPrintable(names(plot("Plot_PolarCL")).join("|")));
                QCOMPARE(hollow->points().size(), 1);
                QCOMPARE(hollow->brush().style(), Qt::NoBrush);
            }
            const QString converges = "The Soinne-Laine method's coupling converges at more angles";
            QVERIFY(label("Label_PolarInfo").contains("did not converge"));
            QVERIFY(label("Label_PolarInfo").contains(converges));
            // The press's own point fails as well, and the layer's line points
            // to the coupling that converges.
            QTRY_VERIFY_WITH_TIMEOUT(!analysis()->coupledPointRunning(), 120000);
            QVERIFY(analysis()->coupledPoint() && !analysis()->coupledPoint()->converged);
            QVERIFY(label("Label_CoupledInfo").contains(converges));
        }

        press(tavrix::PanelMethod::SoinneLaine, "0");
        chooseMethod(tavrix::PanelMethod::SoinneLaine);
        runPolar("0", "18", "3");
        const tavrix::PolarResult& polar = analysis()->polar();
        QCOMPARE(polar.coupled.size(), std::size_t(1));
        // CL(alpha), CD(alpha) and the drag polar hold every converged point.
        int converged = 0;
        for (const tavrix::CoupledPoint& p : polar.coupled[0]) converged += p.converged;
        QVERIFY(converged >= 6);
        // (The series' own test pins the drag plots alike.)
        QCOMPARE(points(plot("Plot_PolarCL"), "Soinne-Laine").size(), converged);
        QVERIFY(points(plot("Plot_PolarCL"), "Soinne-Laine inviscid").size() == 7);

        // CLmax: the marker and the note carry the batch's value.
        std::vector<double> x(common.XCoord.begin() + 1, common.XCoord.begin() + 1 + common.NP);
        std::vector<double> y(common.YCoord.begin() + 1, common.YCoord.begin() + 1 + common.NP);
        tavrix::coupled::CoupledOptions options;
        options.re = 3e6;
        const std::vector<tavrix::CoupledPoint> batch = tavrix::coupledSweep(
            x, y, 0, tavrix::PanelMethod::SoinneLaine, {0, 3, 6, 9, 12, 15, 18}, options);
        const std::string line = tavrix::liftMaximumLine(batch, '.');
        QVERIFY2(line.rfind("CLmax = ", 0) == 0 && line.find("none") == std::string::npos,
                 line.c_str());
        const auto maximum = tavrix::polarLiftMaximum(polar, 0);
        QVERIFY(maximum);
        QCOMPARE(line, "CLmax = " + tavrix::generalForm(tavrix::roundHalfEven(maximum->cl, 4)) +
                           " at alpha = " + tavrix::generalForm(maximum->alphaDeg));
        QList<QPointF> marker;
        for (const QString& n : names(plot("Plot_PolarCL")))
            if (n.startsWith("CLmax")) marker = points(plot("Plot_PolarCL"), n);
        QCOMPARE(marker.size(), 1);
        QCOMPARE(marker[0].x(), maximum->alphaDeg);
        QCOMPARE(marker[0].y(), maximum->cl);
        QVERIFY(label("Label_PolarInfo").contains("CLmax = " + QString::number(maximum->cl, 'f', 4)));

        // The exports carry the case: the table's header and the plot's title.
        QVERIFY(plot("Plot_PolarCL")->exportCsv(dir.filePath("cl.csv")).isEmpty());
        const std::string csv = tavrix::testing::readFile(dir.filePath("cl.csv").toStdString());
        for (const char* part : {"Re 3e6", "Ncrit 9", "viscous"})
            QVERIFY2(csv.find(part) != std::string::npos, csv.substr(0, 300).c_str());
        QVERIFY(plot("Plot_PolarCL")->titleText().contains("Re 3e6"));

        // Keep it, then a Reynolds sweep adds a run per Reynolds number: the
        // lift plot shows each kept curve by its name.
        click("Command_KeepRun");
        auto* list = find<QListWidget>("List_KeptRuns");
        QCOMPARE(list->count(), 1);
        QVERIFY2(list->item(0)->text().contains("Re 3e6"), qPrintable(list->item(0)->text()));
        setSweep("0", "6", "3");
        type("Text_ReynoldsSweep", "1e6 6e6");
        click("Command_RunReynoldsSweep");
        QTRY_VERIFY_WITH_TIMEOUT(!analysis()->running(), 600000);
        QCOMPARE(list->count(), 3);
        const QStringList lift = names(plot("Plot_PolarCL"));
        for (int i = 0; i < list->count(); ++i)
            QVERIFY2(lift.contains(list->item(i)->text()), qPrintable(lift.join("|")));

        // An xfoil polar of the same case overlays under its own name.
        auto* kept = find<ui::KeptRunsPanel>("Panel_KeptRuns");
        QVERIFY(kept->importXfoilPolar(kData + "naca4415_re3e6.pol"));
        QCOMPARE(list->count(), 4);
        QVERIFY(names(plot("Plot_PolarCL")).contains(list->item(3)->text()));
    }
};

QTEST_MAIN(CoupledAnalysisTest)
#include "CoupledAnalysis_test.moc"
