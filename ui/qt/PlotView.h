// A chart of one PlotData: labelled axes with ticks and a grid, a legend, the
// value under the pointer, zoom by dragging a rectangle (double click resets)
// and export as PNG, SVG and the CSV of the plotted numbers.
#pragma once

#include <QChartView>
#include <QString>
#include <cstddef>
#include <vector>

#include "output/AnalysisSeries.h"

class QGraphicsEllipseItem;
class QGraphicsTextItem;
class QLabel;

namespace ui {

class PlotView : public QChartView {
    Q_OBJECT

public:
    explicit PlotView(const QString& name, QWidget* parent = nullptr);

    void setPlot(const tavrix::PlotData& plot);
    const tavrix::PlotData& plot() const { return plot_; }
    // Series drawn in the chart (reference lines included).
    int seriesCount() const;
    // Text of the pointer read-out: the point of a curve nearest to the
    // pointer, with the curve's name ("x/c = 0.25    −Cp = 1.031    Hess")
    // and the point's note when the curve has one ("α (deg) = 17    CL = 1.31
    //    Vortex panel not converged: <why>").
    // A series that is not joined is drawn as markers alone (QScatterSeries).
    QString readout() const;
    // The legend below the plot, in plain text, and its place in the view. It
    // wraps onto as many lines as the names need, so no name is cut short.
    QString legendText() const;
    // The title above the plot, wrapped onto a second line where it is long.
    QString titleText() const;
    QRect legendRect() const;

    // Each returns an empty string on success, otherwise why it failed. The
    // picture keeps the view's proportions: PNG at twice its size, SVG at its size.
    QString exportPng(const QString& path);
    QString exportSvg(const QString& path);
    QString exportCsv(const QString& path);
    // Asks for a file name; the suffix .png, .svg or .csv chooses the format.
    void exportWithDialog();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeReadout();
    // Shows the nearest point of the nearest curve to `at` (view pixels), or
    // hides the read-out when `at` lies outside the plot area.
    void snapReadout(const QPoint& at);
    // The legend takes the chart's width and as much height as it needs.
    void placeLegend();

    tavrix::PlotData plot_;
    // Per chart series (in the order of plot_.series), the index in its
    // Series of each point drawn: non-finite points are left out.
    std::vector<std::vector<std::size_t>> pointOf_;
    QLabel* readout_ = nullptr;
    QGraphicsTextItem* legend_ = nullptr;
    QGraphicsTextItem* title_ = nullptr;   // likewise: Qt's own title cuts a long one
    QGraphicsEllipseItem* snapMark_ = nullptr;  // the point the read-out gives
    QPoint pointer_;                            // where the pointer last was  // in the chart's scene, so exports draw it
};

}  // namespace ui
