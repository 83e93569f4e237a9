// The analysis window on the real main window, driven by object name.
#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSvgRenderer>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>
#include <QTableWidget>
#include <QValueAxis>

#include "support/QtWindowDriver.h"
#include "support/Session.h"
#include "ui/Controls.h"
#include "ui/qt/AnalysisWindow.h"
#include "ui/qt/PlotView.h"
#include "ui/qt/WindowPlacement.h"
#include "viscous/BoundaryLayer.h"
#include "viscous/SurfaceFlow.h"

class AnalysisWindowTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    ui::AnalysisWindow* analysis()
    {
        return static_cast<ui::AnalysisWindow*>(windows->window(ui::kAnalysisForm));
    }
    ui::PlotView* plot(const char* name) { return find<ui::PlotView>(name); }
    static QList<QPointF> points(ui::PlotView* view, const QString& series)
    {
        for (QAbstractSeries* s : view->chart()->series())
            if (s->name() == series) return static_cast<QLineSeries*>(s)->points();
        return {};
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
    void pressNaca(const char* points, const char* alpha, const char* mach = "0")
    {
        type("Text_NP", points);
        click("Option_N0012");
        type("Text_AlfaD", alpha);
        type("Text_Moo", mach);
        click("Command_Calculate");
        QVERIFY(windows->logic().lastPressCompleted());
    }
    void pressKarmanTrefftz(const char* points, const char* alpha, bool cambered)
    {
        type("Text_NP", points);
        click("Option_KATJO");
        if (cambered) {
            type("Text_Delta", "0.12");
            type("Text_Gamma", "0.04");
            type("Text_Tau", "10");
        }
        click("Command1");
        type("Text_AlfaD", alpha);
        click("Command_Calculate");
        QVERIFY(windows->logic().lastPressCompleted());
    }
    // Typed and confirmed with Enter, as the layer's boxes are.
    void enter(const char* name, const QString& value)
    {
        type(name, value);
        QTest::keyClick(find<QLineEdit>(name), Qt::Key_Return);
    }
    // The one-way layer on the inviscid speeds (the model for teaching).
    void chooseOneWay() { find<QComboBox>("Combo_ViscousModel")->setCurrentIndex(1); }
    // The sweep's angles and, from 0 (Hess) to 4 (all four), its method.
    void setSweep(const char* from, const char* to, const char* step, int method = -1)
    {
        type("Text_AlphaFrom", from);
        type("Text_AlphaTo", to);
        type("Text_AlphaStep", step);
        if (method >= 0) find<QComboBox>("Combo_PolarMethod")->setCurrentIndex(method);
    }
    void runPolar(const char* from, const char* to, const char* step, int method = -1)
    {
        setSweep(from, to, step, method);
        click("Command_RunPolar");
        waitForRun();
    }
    // The layer of the press's own Hess speeds.
    tavrix::ViscousResult layerOfThePress(tavrix::BoundaryLayerSetup setup)
    {
        setup.Re = 3e6;
        return tavrix::AnalyseBoundaryLayer(
            tavrix::SurfaceFlowAfterPress(common), setup);
    }
    static std::string fileText(const QString& path) { return tavrix::testing::readFile(path.toStdString()); }
    void waitForRun() { QTRY_VERIFY_WITH_TIMEOUT(!analysis()->running(), 60000); }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void opensFromItsMenuWithoutAPressThenItsPolarMethodFollowsThePress()
    {
        auto* menu = windows->mainWindow()->findChild<QMenu*>("Mn_AnalysisMenu");
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->title(), QString("Analysis"));
        auto* action = windows->mainWindow()->findChild<QAction*>("Mn_Analysis");
        QCOMPARE(action->text(), QString("Analysis..."));
        QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F5));
        openAnalysis();
        QCOMPARE(analysis()->windowTitle(), QString("Analysis"));
        QVERIFY(!analysis()->hasPress());
        QCOMPARE(plot("Plot_Pressure")->seriesCount(), 0);
        // No press yet: refused in a box whose parent is the analysis window,
        // so the main window is not raised over it.
        windows->setMessageHandler({});
        QWidget* owner = nullptr;
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box != nullptr);
            owner = box->parentWidget();
            shown = box->findChild<QLabel*>("qt_msgbox_label")->text();
            box->close();
        });
        click("Command_RunPolar");
        QVERIFY(shown.startsWith("Calculate velocities first"));
        QCOMPARE(owner, static_cast<QWidget*>(analysis()));
        QVERIFY(!analysis()->running());
        windows->setMessageHandler([this](const std::string& m) { messages.push_back(m); });

        // The polar's method follows the press until the user picks one.
        auto* method = find<QComboBox>("Combo_PolarMethod");
        click("Option_VORPAN");
        pressNaca("51", "2");
        QCOMPARE(method->currentText(), QString("Vortex panel"));
        click("Option_KENN");
        pressNaca("51", "2");
        QCOMPARE(method->currentText(), QString("Kennedy-Marsden"));
        // A choice of the user's stays over further presses.
        method->setCurrentIndex(4);
        emit method->activated(4);
        click("Option_HESS");
        pressNaca("51", "2");
        QCOMPARE(method->currentIndex(), 4);
    }

    // The pressure plot follows every press, and its export writes a picture,
    // a drawing and the plotted numbers.
    void pressureFollowsEveryPressAndExportsItsNumbers()
    {
        openAnalysis();
        pressNaca("51", "5");
        ui::PlotView* p = plot("Plot_Pressure");
        QCOMPARE(names(p), (QStringList{"Hess, upper", "Hess, lower"}));
        // -Cp = V^2 - 1 of the press, panel by panel, lower surface first.
        const QList<QPointF> all = points(p, "Hess, lower") + points(p, "Hess, upper");
        QCOMPARE(all.size(), common.NPanel);
        for (int i = 1; i <= common.NPanel; ++i) {
            QCOMPARE(all[i - 1].y(), -(1 - common.Vt[i] * common.Vt[i]));
            QCOMPARE(all[i - 1].x(), common.XM[i]);  // chord 0..1 of NACA 0012
        }

        const QString png = dir.filePath("cp.png"), svg = dir.filePath("cp.svg"),
                      csv = dir.filePath("cp.csv");
        QCOMPARE(p->exportPng(png), QString());
        QCOMPARE(p->exportSvg(svg), QString());
        QCOMPARE(p->exportCsv(csv), QString());
        QVERIFY(QImage(png).width() > 600);  // a null image is 0 wide
        const std::string drawing = fileText(svg);
        QVERIFY(drawing.find("<svg") != std::string::npos);
        QVERIFY(drawing.find("Pressure distribution") != std::string::npos);
        QSvgRenderer renderer(svg);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBox().size(), p->viewport()->size());
        // The csv writer's own test pins the numbers; here: its header, a row
        // per plotted point, the lower surface's rows under their name.
        const QStringList rows = QString::fromStdString(fileText(csv)).trimmed().split('\n');
        QCOMPARE(rows.front(), QString::fromUtf8("series,x/c,\u2212Cp"));
        QCOMPARE(rows.size(), 1 + common.NPanel);
        QCOMPARE(rows.filter("\"Hess, lower\",").size(), points(p, "Hess, lower").size());
        // A folder that does not exist: a reason, nothing written.
        QVERIFY(!p->exportCsv(dir.filePath("no/such/folder/cp.csv")).isEmpty());

        pressNaca("51", "5", "0.5");
        QCOMPARE(p->seriesCount(), 5);  // incompressible and corrected, both surfaces; Cp*
        QVERIFY(names(p).contains(QString::fromUtf8("Cp* at M\u221e = 0.50")));
        find<QComboBox>("Combo_Correction")->setCurrentIndex(1);
        QVERIFY(names(p).contains(QString::fromUtf8("Hess, Karman-Tsien M\u221e = 0.50, upper")));
    }

    void polarRunsInTheBackgroundAndFillsPlotsAndTableThenTheDragSide()
    {
        openAnalysis();
        chooseOneWay();
        pressNaca("101", "2");
        const std::string report = fileText(dir.filePath("TavrixS.txt"));
        const std::string columns = fileText(dir.filePath("TavrixS.xls"));
        runPolar("-2", "4", "2", 4);
        QCOMPARE(plot("Plot_PolarCL")->seriesCount(), 5);  // four methods, thin-airfoil line
        QCOMPARE(plot("Plot_PolarCM")->seriesCount(), 4);
        const QList<QPointF> hess = points(plot("Plot_PolarCL"), "Hess");
        QCOMPARE(hess.size(), 4);
        // The angle of the press gives the press's CL.
        QCOMPARE(hess[2].x(), 2.0);
        QCOMPARE(hess[2].y(), tavrix::IntegrateForces(common).CL);
        auto* table = find<QTableWidget>("Table_Polar");
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(table->columnCount(), 13);
        QCOMPARE(table->item(2, 1)->text(), QString::number(hess[2].y(), 'f', 5));

        // A step of zero is refused and the polar stays.
        messages.clear();
        type("Text_AlphaStep", "0");
        click("Command_RunPolar");
        QCOMPARE(messages, std::vector<std::string>{"The step of the sweep must not be 0"});
        QCOMPARE(plot("Plot_PolarCL")->seriesCount(), 5);

        // With a Reynolds number the Hess polar fills the drag side.
        enter("Text_Reynolds", "3e6");
        const double pressCD = analysis()->layer().CD;
        runPolar("-2", "4", "2", 0);
        const QList<QPointF> cd = points(plot("Plot_PolarCD"), "Hess");
        QCOMPARE(cd.size(), 4);
        // The angle of the press gives the press's drag; symmetric section,
        // so -2 and 2 degrees have the same drag nearly, and 4 more.
        QCOMPARE(cd[2].x(), 2.0);
        QCOMPARE(cd[2].y(), pressCD);
        QVERIFY(std::fabs(cd[0].y() / cd[2].y() - 1) < 1e-6);
        QVERIFY(cd[3].y() > cd[2].y());
        const QList<QPointF> polar = points(plot("Plot_DragPolar"), "Hess");
        QCOMPARE(polar.size(), 4);
        QCOMPARE(polar[2].x(), pressCD);
        QCOMPARE(polar[2].y(), hess[2].y());
        const QList<QPointF> upper = points(plot("Plot_PolarTransition"), "Hess upper");
        QCOMPARE(upper.size(), 4);
        QVERIFY(upper[3].y() < upper[2].y());
        QVERIFY(find<QLabel>("Label_PolarInfo")->text().contains(
            QString::fromUtf8(tavrix::kInviscidLiftNote)));
        // The inviscid pressure integral and the layer's drag never share a
        // name; the layer's column holds the plotted drag.
        const auto header = [&](int c) { return table->horizontalHeaderItem(c)->text(); };
        QCOMPARE(header(2), QString("Hess CDp inviscid"));
        QCOMPARE(header(4), QString("Hess CD boundary layer"));
        QCOMPARE(table->item(2, 4)->text(), QString::number(pressCD, 'f', 5));
        QCOMPARE(table->item(2, 2)->text(),
                 QString::number(analysis()->polar().points[0][2].CD, 'f', 5));

        // Nothing of the main window changed.
        QCOMPARE(fileText(dir.filePath("TavrixS.txt")), report);
        QCOMPARE(fileText(dir.filePath("TavrixS.xls")), columns);
    }

    // The one-way layer of the press: its plots, the transition criterion and
    // Ncrit, the boxes' refusals, a separated layer, and 0 for inviscid flow.
    void boundaryLayerPlotsFillAfterAPressWithAReynoldsNumber()
    {
        openAnalysis();
        chooseOneWay();
        pressNaca("101", "2");
        // An empty box is the inviscid flow, as before.
        QCOMPARE(plot("Plot_LayerCf")->seriesCount(), 0);
        QVERIFY(!analysis()->layer().ok);
        enter("Text_Reynolds", "3e6");
        const tavrix::ViscousResult& layer = analysis()->layer();
        QVERIFY(layer.ok);
        const tavrix::ViscousResult expected = layerOfThePress({});
        QCOMPARE(layer.CD, expected.CD);
        for (const char* name : {"Plot_LayerCf", "Plot_LayerTheta", "Plot_LayerH"}) {
            QCOMPARE(names(plot(name)), (QStringList{"Upper surface", "Lower surface"}));
            const QList<QPointF> upper = points(plot(name), "Upper surface");
            QVERIFY(upper.size() > 20);
            QVERIFY(upper.front().x() >= 0 && upper.back().x() <= 1);
        }
        // The laminar Cf falls from the nose, the turbulent H lies near 1.4.
        const QList<QPointF> cf = points(plot("Plot_LayerCf"), "Upper surface");
        QVERIFY(cf[3].y() > cf[6].y());
        const QList<QPointF> transition = points(plot("Plot_LayerAirfoil"), "Transition upper");
        QCOMPARE(transition.size(), 1);
        QCOMPARE(transition[0].x(), expected.upper.transition.x);
        const QString info = find<QLabel>("Label_LayerInfo")->text();
        QVERIFY(info.contains(QString::fromUtf8(tavrix::kInviscidLiftNote)));
        QVERIFY(!info.contains("NOT RELIABLE"));

        // Michel's criterion by default; the e^n envelope with its Ncrit box.
        const double michelCD = analysis()->layer().CD;
        QCOMPARE(analysis()->layer().upper.transitionCause, tavrix::TransitionCause::Michel);
        QVERIFY(!find<QLineEdit>("Text_Ncrit")->isEnabled());
        find<QComboBox>("Combo_Transition")->setCurrentIndex(1);
        QVERIFY(find<QLineEdit>("Text_Ncrit")->isEnabled());
        tavrix::BoundaryLayerSetup envelope;
        envelope.transition = {tavrix::TransitionCriterion::Envelope, 9};
        QCOMPARE(analysis()->layer().upper.transitionCause, tavrix::TransitionCause::Envelope);
        QCOMPARE(analysis()->layer().CD, layerOfThePress(envelope).CD);
        QVERIFY(analysis()->layer().CD != michelCD);
        QVERIFY(find<QLabel>("Label_LayerInfo")->text().contains("e^n"));
        // A disturbed stream moves transition forward; a refused Ncrit keeps
        // the layer that was shown.
        const double quietXc = analysis()->layer().upper.transition.xc;
        enter("Text_Ncrit", "4");
        const double disturbedXc = analysis()->layer().upper.transition.xc;
        QVERIFY(disturbedXc < quietXc);
        for (const char* refused : {"0", "abc"}) {
            messages.clear();
            enter("Text_Ncrit", refused);
            QCOMPARE(messages, std::vector<std::string>{
                                   "Ncrit must be a number greater than 0 and at most 20"});
            QCOMPARE(analysis()->layer().upper.transition.xc, disturbedXc);
        }
        find<QComboBox>("Combo_Transition")->setCurrentIndex(0);
        QCOMPARE(analysis()->layer().CD, michelCD);

        // Not a number, a comma for the point, a number beyond the layer's
        // range: each refused with its message, the layer kept.
        const std::pair<const char*, const char*> refused[] = {
            {"abc", "The Reynolds number must be a number: \"abc\" (empty or 0: no boundary layer)"},
            {"1,5e6",
             "The Reynolds number must be a number: \"1,5e6\" (empty or 0: no boundary layer)"},
            {"1e-300",
             "The Reynolds number must be from 1e3 to 1e9 (empty or 0: no boundary layer)"}};
        for (const auto& [text, message] : refused) {
            messages.clear();
            enter("Text_Reynolds", text);
            QCOMPARE(messages, std::vector<std::string>{message});
            QVERIFY(analysis()->layer().ok);
            QCOMPARE(analysis()->layer().CD, michelCD);
            QCOMPARE(plot("Plot_LayerCf")->seriesCount(), 2);
        }
        // A new press with the box still refused says why it has no layer.
        pressNaca("101", "3");
        QVERIFY(!analysis()->layer().ok);
        QVERIFY(find<QLabel>("Label_LayerInfo")->text().contains("must be from 1e3 to 1e9"));
        // A polar is refused too, rather than run without its layer.
        messages.clear();
        setSweep("0", "2", "1");
        click("Command_RunPolar");
        QCOMPARE(messages.size(), std::size_t(1));
        QVERIFY(!analysis()->running());
        // The angles of the sweep: a text that is not a number is refused, the
        // polar not run.
        enter("Text_Reynolds", "3e6");
        for (const char* box : {"Text_AlphaFrom", "Text_AlphaTo", "Text_AlphaStep"}) {
            setSweep("0", "2", "1");
            type(box, "abc");
            messages.clear();
            click("Command_RunPolar");
            QCOMPARE(messages.size(), std::size_t(1));
            QVERIFY2(messages[0].find("must be a number: \"abc\"") != std::string::npos,
                     messages[0].c_str());
            QVERIFY(!analysis()->running());
            QCOMPARE(analysis()->polar().points.size(), std::size_t(0));
        }

        // A separated layer says plainly that its drag is not reliable.
        type("Text_Reynolds", "1e6");
        click("Option_VORPAN");
        pressNaca("121", "16");
        QVERIFY(!analysis()->layer().reliable);
        QVERIFY(find<QLabel>("Label_LayerInfo")->text().contains("NOT RELIABLE"));
        QVERIFY(names(plot("Plot_LayerAirfoil")).contains("Turbulent separation upper"));

        // 0 is the inviscid flow again.
        enter("Text_Reynolds", "0");
        QCOMPARE(plot("Plot_LayerCf")->seriesCount(), 0);
    }

    void polarAndConvergenceSayWhenTheyBelongToAnotherCase()
    {
        openAnalysis();
        chooseOneWay();
        auto* tabs = find<QTabWidget>("Tab_Analysis");
        auto* polarCase = find<QLabel>("Label_PolarCase");
        pressNaca("101", "2");
        QVERIFY(plot("Plot_Pressure")->titleText().contains("NACA 0012, 101 points, Hess"));
        runPolar("0", "2", "1");
        QVERIFY(!analysis()->polarOutOfDate());
        QCOMPARE(tabs->tabText(1), QString("Polar"));
        QVERIFY(polarCase->text().contains("Computed for NACA 0012, 101 points"));
        QVERIFY(plot("Plot_PolarCL")->titleText().contains("NACA 0012, 101 points"));
        // Another angle of attack leaves the polar as it is.
        pressNaca("101", "4");
        QVERIFY(!analysis()->polarOutOfDate());

        // Another section: the old polar is marked, naming its own case.
        pressKarmanTrefftz("61", "2", true);
        QVERIFY(analysis()->polarOutOfDate());
        QCOMPARE(tabs->tabText(1), QString("Polar (out of date)"));
        QVERIFY(polarCase->text().contains("OUT OF DATE"));
        QVERIFY(polarCase->text().contains("NACA 0012, 101 points"));
        QVERIFY(plot("Plot_PolarCL")->titleText().contains("NACA 0012"));
        click("Command_RunPolar");
        waitForRun();
        QVERIFY(!analysis()->polarOutOfDate());
        QVERIFY(plot("Plot_PolarCL")->titleText().contains("Karman-Trefftz section, 61 points"));

        // The boundary layer and the correction belong to the polar too.
        enter("Text_Reynolds", "3e6");
        QVERIFY(analysis()->polarOutOfDate());
        click("Command_RunPolar");
        waitForRun();
        QVERIFY(!analysis()->polarOutOfDate());
        QVERIFY(polarCase->text().contains("Re = 3e+06"));
        find<QComboBox>("Combo_Transition")->setCurrentIndex(1);
        QVERIFY(analysis()->polarOutOfDate());
        find<QComboBox>("Combo_Transition")->setCurrentIndex(0);
        QVERIFY(!analysis()->polarOutOfDate());

        // The convergence study holds for its section, rotation and angle.
        click("Command_RunConvergence");
        waitForRun();
        QVERIFY(!analysis()->convergenceOutOfDate());
        QVERIFY(plot("Plot_ConvergenceCL")->titleText().contains("incompressible"));
        type("Text_AlfaD", "5");
        click("Command_Calculate");
        QVERIFY(analysis()->convergenceOutOfDate());
        QCOMPARE(tabs->tabText(2), QString("Convergence (out of date)"));
        QVERIFY(find<QLabel>("Label_ConvergenceCase")->text().contains("OUT OF DATE"));
    }

    // Karman-Trefftz sections, with their exact flow: the convergence study
    // of the four methods, and "Compare methods" over the exact Cp.
    void convergenceAndCompareMethodsForKarmanTrefftzSections()
    {
        openAnalysis();
        pressKarmanTrefftz("51", "5", false);
        const QString cl = find<QLineEdit>("Text_CL")->text();
        const double pressCL = tavrix::IntegrateForces(common).CL;
        click("Command_RunConvergence");
        waitForRun();
        QCOMPARE(plot("Plot_ConvergenceCL")->seriesCount(), 5);  // four methods and the exact CL
        QCOMPARE(plot("Plot_ConvergenceError")->seriesCount(), 4);
        const QList<QPointF> hess = points(plot("Plot_ConvergenceCL"), "Hess");
        QCOMPARE(hess.size(), 4);
        QCOMPARE(hess[1].x(), 51.0);
        QCOMPARE(hess[1].y(), pressCL);  // the press had 51 points
        // Against the exact CL of the section: within 5 % at every count.
        for (const QPointF& e : points(plot("Plot_ConvergenceError"), "Soinne-Laine"))
            QVERIFY(e.y() > 0 && e.y() < 0.05);
        QCOMPARE(find<QLineEdit>("Text_CL")->text(), cl);

        pressKarmanTrefftz("61", "4", true);
        ui::PlotView* p = plot("Plot_Pressure");
        QVERIFY(names(p).contains("Exact (incompressible)"));
        click("Check_CompareMethods");
        QCOMPARE(names(p), (QStringList{"Hess", "Vortex panel", "Kennedy-Marsden", "Soinne-Laine",
                                        "Exact (incompressible)"}));
        QCOMPARE(points(p, "Hess").size(), common.NPanel);
        click("Check_ExactCp");
        QCOMPARE(p->seriesCount(), 4);
    }

    // Axis labels are round numbers, zero reads "0.0", a zoom labels its new
    // range. The read-out gives the point of a curve nearest to the pointer,
    // not the pointer's own position, before and after a zoom and its reset.
    void axisLabelsAndPointerReadoutThroughAZoom()
    {
        openAnalysis();
        pressNaca("51", "5");
        ui::PlotView* p = plot("Plot_Pressure");
        auto* x = static_cast<QValueAxis*>(p->chart()->axes(Qt::Horizontal).front());
        QCOMPARE(x->min(), 0.0);
        QCOMPARE(x->max(), 1.0);
        auto* hess = static_cast<QLineSeries*>(p->chart()->series().front());
        const auto pixel = [p](const QPointF& inChart) {
            return p->mapFromScene(p->chart()->mapToScene(inChart));
        };
        // The offscreen platform moves no pointer: the event a move produces.
        const auto moveTo = [p](const QPoint& at) {
            QMouseEvent move(QEvent::MouseMove, QPointF(at), p->viewport()->mapToGlobal(QPointF(at)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(p->viewport(), &move);
        };
        // The pointer 4 pixels right of and below the point of the curve nearest
        // to x/c = `near`: the read-out names that point, to its 4 digits.
        const auto readsPointNear = [&](double near) {
            QPointF point;
            for (const QPointF& q : hess->points())
                if (std::fabs(q.x() - near) < std::fabs(point.x() - near)) point = q;
            moveTo(pixel(p->chart()->mapToPosition(point, hess)) + QPoint(4, 4));
            const QString expected = QString::fromUtf8("x/c = %1    \u2212Cp = %2    %3")
                                         .arg(point.x(), 0, 'g', 4)
                                         .arg(point.y(), 0, 'g', 4)
                                         .arg(hess->name());
            QCOMPARE(p->readout(), expected);
        };
        readsPointNear(0.5);
        const QRectF area = p->chart()->plotArea();
        const QPoint a = pixel(area.topLeft() + QPointF(area.width() * 0.25, 2));
        const QPoint b = pixel(area.topLeft() + QPointF(area.width() * 0.5, area.height() - 2));
        QTest::mousePress(p->viewport(), Qt::LeftButton, {}, a);
        QTest::mouseMove(p->viewport(), b);
        QTest::mouseRelease(p->viewport(), Qt::LeftButton, {}, b);
        QVERIFY(std::fabs(x->min() - 0.25) < 0.01);
        QVERIFY(std::fabs(x->max() - 0.5) < 0.01);
        QCoreApplication::processEvents();
        readsPointNear(0.4);
        // After the zoom's reset the read-out at the same pointer follows the
        // point that moved, and names a point of the whole range again.
        QTest::mouseDClick(p->viewport(), Qt::LeftButton, {}, b);
        QCOMPARE(x->min(), 0.0);
        QCOMPARE(x->max(), 1.0);
        QCoreApplication::processEvents();
        readsPointNear(0.8);

        for (ui::PlotView* view : {p, plot("Plot_LayerCf")})
            for (QAbstractAxis* axis : view->chart()->axes()) {
                auto* a = qobject_cast<QCategoryAxis*>(axis);
                QVERIFY(a != nullptr);
                for (const QString& label : a->categoriesLabels())
                    QVERIFY2(!label.contains('e') && label != "-0.0", qPrintable(label));
            }
        auto* y = qobject_cast<QCategoryAxis*>(p->chart()->axes(Qt::Vertical).front());
        QVERIFY(y->categoriesLabels().contains("0.0"));
        QCOMPARE(y->endValue("0.0"), 0.0);
        y->setRange(0.31, 0.79);
        QVERIFY(!y->categoriesLabels().contains("0.0"));
        for (const QString& label : y->categoriesLabels())
            QVERIFY(y->endValue(label) >= 0.31 && y->endValue(label) <= 0.79);
    }

    // The bar starts empty, and after Cancel shows the share of the points
    // that were computed, not a full bar; the window is usable again.
    void progressStartsAtZeroAndACancelOrClosingEndsTheRun()
    {
        openAnalysis();
        pressNaca("199", "3");
        setSweep("-10", "10", "0.02", 4);  // 1001 angles
        auto* bar = find<QProgressBar>("Progress_Polar");
        for (int run = 0; run < 2; ++run) {  // the second run starts from a cancelled one
            click("Command_RunPolar");
            QVERIFY(analysis()->running());
            QCOMPARE(bar->value(), 0);
            QCOMPARE(bar->text(), QString("0%"));
            click("Command_CancelPolar");
            waitForRun();
            const tavrix::PolarResult& polar = analysis()->polar();
            QVERIFY(polar.cancelled);
            std::size_t done = 0;
            for (const auto& points : polar.points) done += points.size();
            QCOMPARE(bar->value(), static_cast<int>(100 * done / (4 * 1001)));
            QVERIFY(bar->value() < 100);
            QVERIFY(find<QPushButton>("Command_RunPolar")->isEnabled());
            QVERIFY(!find<QPushButton>("Command_CancelPolar")->isEnabled());
        }
        // Closing the main window during a run ends the program and the run:
        // no window is left on screen to keep the program alive.
        click("Command_RunPolar");
        QVERIFY(analysis()->running());
        windows->mainWindow()->close();
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        waitForRun();
        QVERIFY(analysis()->polar().cancelled);
    }

    // The least size fits a 1366x768 screen with room for the frame and a
    // panel. At that size, with the four methods and the boundary layer, every
    // legend names each curve in full below its plot, and no two labels of a
    // horizontal axis share the room of one interval.
    void legendsAndTickLabelsAreWholeAtTheLeastSize()
    {
        openAnalysis();
        chooseOneWay();
        pressNaca("199", "3");
        find<QCheckBox>("Check_CompareMethods")->setChecked(true);
        enter("Text_Reynolds", "3e6");
        runPolar("-4", "10", "1", 4);
        const QSize least = analysis()->minimumSizeHint().expandedTo(analysis()->minimumSize());
        QVERIFY2(least.width() <= 1000 && least.height() <= 600,
                 qPrintable(QString("%1x%2").arg(least.width()).arg(least.height())));
        analysis()->resize(analysis()->minimumSizeHint());
        auto* tabs = find<QTabWidget>("Tab_Analysis");
        auto* pages = find<QTabWidget>("Tab_PolarPlots");
        const struct {
            int tab, page;
            const char* plot;
        } views[] = {{0, 0, "Plot_Pressure"},     {1, 0, "Plot_PolarCL"},
                     {1, 1, "Plot_PolarTransition"}, {1, 1, "Plot_PolarCD"},
                     {1, 1, "Plot_DragPolar"}, {3, 0, "Plot_LayerCf"},
                     {3, 0, "Plot_LayerTheta"}};
        for (const auto& v : views) {
            tabs->setCurrentIndex(v.tab);
            pages->setCurrentIndex(v.page);
            QCoreApplication::processEvents();
            ui::PlotView* p = plot(v.plot);
            QVERIFY2(p->isVisible(), v.plot);
            const QStringList curves = names(p);
            QVERIFY2(curves.size() >= 2, v.plot);
            const QString legend = p->legendText();
            for (const QString& name : curves)
                QVERIFY2(legend.contains(name), qPrintable(QString(v.plot) + ": " + name));
            const QRect area = p->mapFromScene(p->chart()->mapToScene(p->chart()->plotArea()))
                                   .boundingRect();
            QVERIFY2(p->viewport()->rect().contains(p->legendRect()), v.plot);
            QVERIFY2(p->legendRect().top() > area.bottom(), v.plot);
            for (QAbstractAxis* axis : p->chart()->axes(Qt::Horizontal)) {
                auto* a = qobject_cast<QCategoryAxis*>(axis);
                if (a == nullptr) continue;
                const QStringList labels = a->categoriesLabels();
                QVERIFY2(labels.size() >= 2, qPrintable(QString("%1: %2 px, %3").arg(v.plot).arg(p->chart()->plotArea().width()).arg(labels.join(" "))));
                const QFontMetricsF metrics(a->labelsFont());
                const double interval = (a->endValue(labels[1]) - a->endValue(labels[0])) /
                                        (a->max() - a->min()) * p->chart()->plotArea().width();
                for (const QString& label : labels)
                    QVERIFY2(metrics.horizontalAdvance(label) < interval,
                             qPrintable(QString("%1: %2 in %3 px").arg(v.plot, label).arg(interval)));
            }
        }
    }

    // On a 1366x768 screen with a 30-pixel panel: the analysis window beside
    // the main window where the room allows, otherwise as little over it as
    // the screen allows; a window never reaches past the screen.
    void windowsOpenBesideTheMainWindowAndOnScreen()
    {
        const QRect room(0, 0, 1366, 738);
        const QSize wanted(1180, 750), least(820, 510);
        const struct {
            QRect main, screen, beside;
        } beside[] = {
            // Room on the right: beside it, as wide as that room, as high as the screen.
            {{0, 0, 500, 700}, room, {500, 0, 866, 738}},
            // A centred main window leaves 283 pixels each side: the least
            // width, pushed back onto the screen from the right.
            {{283, 20, 800, 700}, room, {546, 0, 820, 738}},
            // A centred main window on a 1920-pixel screen: half the screen, at its edge.
            {{489, 100, 941, 600}, {0, 0, 1920, 1050}, {960, 100, 960, 750}},
            // More room on the left.
            {{800, 10, 566, 700}, room, {0, 0, 820, 738}}};
        for (const auto& c : beside)
            QCOMPARE(ui::besideWindow(c.main, wanted, least, c.screen), c.beside);
        // A window pushed back onto the screen; larger at least than the
        // screen, its title bar stays on it.
        const struct {
            QRect window;
            QSize least;
            QRect within;
        } within[] = {{{1000, 600, 400, 300}, {100, 100}, {966, 438, 400, 300}},
                      {{-50, -40, 1500, 900}, {100, 100}, room},
                      {{200, 100, 1400, 800}, {1400, 800}, {0, 0, 1400, 800}}};
        for (const auto& c : within)
            QCOMPARE(ui::withinScreen(c.window, c.least, room), c.within);

        // The real windows: About opened from a main window at the screen's
        // corner lies on the screen.
        QWidget* main = windows->mainWindow();
        const QRect screen = main->screen()->availableGeometry();
        main->move(screen.right() - 200, screen.bottom() - 150);
        QCoreApplication::processEvents();
        main->findChild<QAction*>("Mn_About")->trigger();
        QWidget* about = windows->window(ui::kAboutForm);
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QVERIFY2(screen.contains(about->frameGeometry()),
                 qPrintable(QString("%1,%2 %3x%4").arg(about->x()).arg(about->y())
                                .arg(about->width()).arg(about->height())));
        openAnalysis();
        // (This test screen is narrower than the window's least width.)
        QVERIFY(screen.contains(analysis()->frameGeometry().topLeft()));
        // The side with the more room: here the left, away from the main window.
        QVERIFY(analysis()->frameGeometry().left() < main->frameGeometry().left());
    }
};

QTEST_MAIN(AnalysisWindowTest)
#include "AnalysisWindow_test.moc"
