// A plot's series drawn as markers alone: points that did not converge
// hollow, a marked maximum filled, never joined into a line however many
// points they have, each with its note in the pointer's read-out.
#include <QChart>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QtTest>
#include <cmath>

#include "ui/qt/PlotView.h"
#include "ui/qt/SeriesStyle.h"

class PlotViewMarkersTest : public QObject {
    Q_OBJECT

private:
    static tavrix::PlotData polarPlot()
    {
        using tavrix::Series;
        tavrix::PlotData plot{"Lift coefficient", "\u03b1 (deg)", "CL", false, false, {}};
        plot.series.push_back({"Vortex panel", Series::Role::Computed, 1, true,
                               {0, 5, 10, 12, 14}, {0, 0.55, 1.05, 1.2, 1.1}});
        Series stalled{"Vortex panel not converged", Series::Role::Computed, 1, true,
                       {16, 17}, {1.0, 1.31}};
        stalled.joined = false;
        stalled.hollow = true;
        stalled.notes = {"the Newton steps stalled", "separated flow"};
        plot.series.push_back(stalled);
        Series maximum{"CLmax = 1.20 at \u03b1 = 12\u00b0", Series::Role::Computed, 1, true,
                       {12}, {1.2}};
        maximum.joined = false;
        plot.series.push_back(maximum);
        return plot;
    }

    static QScatterSeries* scatter(ui::PlotView& view, const QString& name)
    {
        for (QAbstractSeries* s : view.chart()->series())
            if (s->name() == name) return qobject_cast<QScatterSeries*>(s);
        return nullptr;
    }

private slots:
    void unjoinedSeriesAreMarkersHollowOrFilledInTheirColour()
    {
        ui::PlotView view("Plot_Test");
        view.setPlot(polarPlot());
        QCOMPARE(view.seriesCount(), 3);
        // The converged curve stays a line.
        QVERIFY(qobject_cast<QLineSeries*>(view.chart()->series().front()) != nullptr);

        QScatterSeries* hollow = scatter(view, "Vortex panel not converged");
        QVERIFY(hollow != nullptr);
        QCOMPARE(hollow->count(), 2);
        QCOMPARE(hollow->markerSize(), ui::kUnjoinedMarkerSize);
        QCOMPARE(hollow->brush().style(), Qt::NoBrush);
        QCOMPARE(hollow->pen().color(), ui::paletteColour(1));

        QScatterSeries* filled = scatter(view, QString::fromUtf8("CLmax = 1.20 at \u03b1 = 12\u00b0"));
        QVERIFY(filled != nullptr);
        QCOMPARE(filled->brush().color(), ui::paletteColour(1));
        QCOMPARE(filled->brush().style(), Qt::SolidPattern);

        // The legend shows them beside the curve.
        QVERIFY(view.legendText().contains("Vortex panel not converged"));
        QVERIFY(view.legendText().contains("CLmax"));
    }

    void markersAloneWhateverTheirNumber()
    {
        tavrix::PlotData plot{"t", "x", "y", false, false, {}};
        tavrix::Series many{"many", tavrix::Series::Role::Computed, 0, true, {}, {}};
        for (std::size_t i = 0; i <= tavrix::kMostMarkedPoints + 10; ++i) {
            many.x.push_back(static_cast<double>(i));
            many.y.push_back(std::sin(0.1 * static_cast<double>(i)));
        }
        many.joined = false;
        plot.series.push_back(many);
        ui::PlotView view("Plot_Many");
        view.setPlot(plot);
        QScatterSeries* s = scatter(view, "many");
        QVERIFY(s != nullptr);
        QCOMPARE(s->count(), static_cast<int>(many.x.size()));
    }

    void readoutOfAMarkedPointCarriesItsNote()
    {
        ui::PlotView view("Plot_Readout");
        view.resize(800, 500);
        view.setPlot(polarPlot());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QScatterSeries* hollow = scatter(view, "Vortex panel not converged");
        QVERIFY(hollow != nullptr);
        const auto moveTo = [&view](const QPoint& at) {
            QMouseEvent move(QEvent::MouseMove, QPointF(at),
                             view.viewport()->mapToGlobal(QPointF(at)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view.viewport(), &move);
        };
        const auto pixelOf = [&view](const QPointF& value, QAbstractSeries* series) {
            return view.mapFromScene(
                view.chart()->mapToScene(view.chart()->mapToPosition(value, series)));
        };
        moveTo(pixelOf(QPointF(17, 1.31), hollow) + QPoint(2, 2));
        QCOMPARE(view.readout(), QString::fromUtf8("\u03b1 (deg) = 17    CL = 1.31    "
                                                   "Vortex panel not converged: separated flow"));
        // A point of a series without notes reads as before.
        QLineSeries* curve = qobject_cast<QLineSeries*>(view.chart()->series().front());
        moveTo(pixelOf(QPointF(5, 0.55), curve) + QPoint(2, 2));
        QCOMPARE(view.readout(), QString::fromUtf8("\u03b1 (deg) = 5    CL = 0.55    Vortex panel"));
    }
};

QTEST_MAIN(PlotViewMarkersTest)
#include "PlotViewMarkers_test.moc"
