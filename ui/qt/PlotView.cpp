#include "ui/qt/PlotView.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsEllipseItem>
#include <QGraphicsTextItem>
#include <QTextDocument>
#include <QTextOption>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "output/AxisTicks.h"
#include "ui/qt/SeriesStyle.h"

namespace ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A range that holds every value with a little room above and below and ends
// on ticks of 1, 2, 2.5 or 5 times a power of ten.
struct AxisRange {
    double lo, hi;
};

AxisRange niceRange(double lo, double hi, double padding)
{
    if (!(lo <= hi)) return {0, 1};
    if (hi - lo < 1e-12 * std::max(1.0, std::fabs(hi))) {
        const double half = std::max(0.5 * std::fabs(hi), 0.5);
        lo -= half;
        hi += half;
    }
    const double pad = (hi - lo) * padding;
    lo -= pad;
    hi += pad;
    const double step = tavrix::NiceStep((hi - lo) / 8);
    return {std::floor(lo / step + 1e-9) * step, std::ceil(hi / step - 1e-9) * step};
}

QFont sized(QFont font, double points, bool bold = false)
{
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Intervals a linear axis aims at; a vertical axis of a small plot takes fewer
// (a label must fit between two ticks, or it is shown as "...").
constexpr int kTickIntervals = 8;
constexpr double kLeastTickSpacing = 30;  // pixels
constexpr double kLabelGap = 14;          // pixels between two horizontal labels
const char* const kIntervalsProperty = "tickIntervals";
const char* const kExtentProperty = "extentOnScreen";  // pixels along the axis

// Labels the ticks of a linear axis for its present range, again after each
// zoom: nice values, each labelled from its whole multiple of the step.
void labelTicks(QCategoryAxis* axis, double lo, double hi)
{
    const QVariant wanted = axis->property(kIntervalsProperty);
    const int intervals = wanted.isValid() ? wanted.toInt() : kTickIntervals;
    for (const QString& label : axis->categoriesLabels()) axis->remove(label);
    axis->setStartValue(lo);
    for (const tavrix::AxisTick& t : tavrix::AxisTicks(lo, hi, intervals))
        axis->append(QString::fromStdString(t.label), t.value);
}

// The most intervals, up to kTickIntervals, whose labels each fit between
// their neighbours along a horizontal axis `extent` pixels long: the labels of
// fewer intervals can be longer ("0.25" against "0.2"), so each count is tried.
int horizontalIntervals(const QCategoryAxis* axis, double extent)
{
    const QFontMetricsF metrics(axis->labelsFont());
    const double span = axis->max() - axis->min();
    for (int n = kTickIntervals; n > 2; --n) {
        const std::vector<tavrix::AxisTick> ticks = tavrix::AxisTicks(axis->min(), axis->max(), n);
        if (ticks.size() < 2 || !(span > 0)) return n;
        const double spacing = extent * (ticks[1].value - ticks[0].value) / span;
        double widest = 0;
        for (const tavrix::AxisTick& t : ticks)
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(t.label)));
        if (widest + kLabelGap <= spacing) return n;
    }
    return 2;
}

// As many intervals on the axis as leave room for its labels over its present
// extent on screen: on a vertical axis their height, on a horizontal one their
// width (a label wider than its interval is cut to "0...."). Again after each
// zoom, whose labels may be longer.
void fitTicks(QCategoryAxis* a, bool rangeChanged)
{
    const QVariant extent = a->property(kExtentProperty);
    int intervals = kTickIntervals;
    if (extent.isValid()) {
        intervals = a->orientation() == Qt::Vertical
                        ? std::clamp(static_cast<int>(extent.toDouble() / kLeastTickSpacing), 2,
                                     kTickIntervals)
                        : horizontalIntervals(a, extent.toDouble());
    }
    // Labelled anew only when needed: new labels can move the plot area again.
    if (!rangeChanged && a->property(kIntervalsProperty).toInt() == intervals) return;
    a->setProperty(kIntervalsProperty, intervals);
    labelTicks(a, a->min(), a->max());
}

// After the plot area changed size.
void fitTicks(QChart* chart, const QRectF& area)
{
    for (QAbstractAxis* axis : chart->axes()) {
        auto* a = qobject_cast<QCategoryAxis*>(axis);
        if (a == nullptr) continue;
        a->setProperty(kExtentProperty,
                       a->orientation() == Qt::Vertical ? area.height() : area.width());
        fitTicks(a, false);
    }
}

QAbstractAxis* makeAxis(bool log, double lo, double hi, const QString& title, bool padded)
{
    const QFont base;
    QAbstractAxis* axis = nullptr;
    if (log) {
        auto* a = new QLogValueAxis;
        a->setBase(10);
        a->setLabelFormat("%g");
        a->setMinorTickCount(8);
        // A value on a decade would sit on the frame: leave a little room.
        const double room = padded ? 0.05 : 0.0;
        const double decadeLo = std::pow(10.0, std::floor(std::log10(lo) - room));
        const double decadeHi = std::pow(10.0, std::ceil(std::log10(hi) + room));
        a->setRange(decadeLo, decadeHi > decadeLo ? decadeHi : decadeLo * 10);
        axis = a;
    } else {
        // Qt's own value axis sums its tick steps and labels the residue at
        // zero (6.9e-18); a category axis shows the labels given.
        auto* a = new QCategoryAxis;
        a->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        const AxisRange r = niceRange(lo, hi, padded ? 0.04 : 0.0);
        a->setRange(r.lo, r.hi);
        labelTicks(a, r.lo, r.hi);
        QObject::connect(a, &QValueAxis::rangeChanged, a, [a] { fitTicks(a, true); });
        axis = a;
    }
    axis->setTitleText(title);
    axis->setTitleFont(sized(base, 10));
    axis->setLabelsFont(sized(base, 9));
    axis->setGridLineVisible(true);
    axis->setMinorGridLineVisible(true);
    QPen minor(QColor(235, 235, 235));
    axis->setMinorGridLinePen(minor);
    return axis;
}

// The legend's sample of a curve: its colour and its kind of line.
QString legendEntry(const tavrix::Series& s)
{
    QString sample;
    if (!s.joined) {
        // Markers alone: the marker itself, open for a point that is no result.
        sample = QString::fromUtf8(s.highlighted ? "\u2605" : s.hollow ? "\u25cb" : "\u25cf");
    } else switch (s.role) {
    case tavrix::Series::Role::Computed: sample = QString::fromUtf8("\u2501\u2501\u2501"); break;
    case tavrix::Series::Role::LowerSurface: sample = QString::fromUtf8("\u254d\u254d"); break;
    case tavrix::Series::Role::Exact: sample = QString::fromUtf8("\u00b7\u00b7\u00b7\u00b7"); break;
    case tavrix::Series::Role::Reference: sample = QString::fromUtf8("\u2500\u00b7\u2500"); break;
    }
    const QColor colour = seriesPen(s).color();
    // One entry never breaks; the legend breaks between entries.
    return QString("<span style=\"white-space:nowrap\"><span style=\"color:%1\">%2</span>"
                   "&nbsp;%3</span>")
        .arg(colour.name(), sample, qs(s.name).toHtmlEscaped());
}

}  // namespace

PlotView::PlotView(const QString& name, QWidget* parent) : QChartView(parent)
{
    setObjectName(name);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // Small enough for three plots side by side on a 1366-pixel-wide screen.
    setMinimumSize(200, 150);
    readout_ = new QLabel(this);
    readout_->setObjectName(name + "_Readout");
    readout_->setStyleSheet(
        "QLabel { background: rgba(255,255,255,220); border: 1px solid #b0b0b0; padding: 2px 6px; }");
    readout_->setFont(sized(font(), 9));
    readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
    readout_->hide();
    setPlot({});
}

void PlotView::setPlot(const tavrix::PlotData& plot)
{
    plot_ = plot;
    auto* chart = new QChart;
    // The title names the case and can be long: it wraps, where Qt's own
    // title would end in "...".
    title_ = new QGraphicsTextItem(chart);
    title_->setFont(sized(font(), 11, true));
    title_->setDefaultTextColor(QColor(40, 40, 40));
    QTextOption centred(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WordWrap);
    title_->document()->setDefaultTextOption(centred);
    title_->setPlainText(qs(plot.title));
    title_->setVisible(!plot.title.empty());
    chart->setMargins(QMargins(6, 6, 12, 6));
    chart->setBackgroundRoundness(0);

    double xLo = std::numeric_limits<double>::infinity(), xHi = -xLo;
    double yLo = xLo, yHi = -xLo;
    bool markers = false;
    pointOf_.clear();
    for (const tavrix::Series& s : plot.series) {
        QXYSeries* line = nullptr;
        if (!s.joined) {
            // Markers alone, never joined, however many points they have.
            auto* scatter = new QScatterSeries;
            scatter->setMarkerShape(s.highlighted ? QScatterSeries::MarkerShapeStar
                                                  : QScatterSeries::MarkerShapeCircle);
            scatter->setMarkerSize(s.highlighted ? kHighlightedMarkerSize : kUnjoinedMarkerSize);
            line = scatter;
            markers = true;
        } else {
            line = new QLineSeries;
            line->setPen(seriesPen(s));
            if (tavrix::drawsMarkers(s)) {
                markers = true;
                line->setPointsVisible(true);
                line->setMarkerSize(5);
            }
        }
        line->setName(qs(s.name));
        std::vector<std::size_t> index;
        for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
            if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) continue;
            if (plot.logX && s.x[i] <= 0) continue;
            if (plot.logY && s.y[i] <= 0) continue;
            line->append(s.x[i], s.y[i]);
            index.push_back(i);
            xLo = std::min(xLo, s.x[i]);
            xHi = std::max(xHi, s.x[i]);
            yLo = std::min(yLo, s.y[i]);
            yHi = std::max(yHi, s.y[i]);
        }
        pointOf_.push_back(std::move(index));
        chart->addSeries(line);
        if (!s.joined) {
            // After the chart's theme has dressed the series.
            line->setPen(markerPen(s));
            line->setBrush(markerBrush(s));
        }
    }
    const bool empty = !(xLo <= xHi);
    if (empty) {
        xLo = plot.logX ? 1 : 0;
        xHi = plot.logX ? 10 : 1;
    }
    if (!(yLo <= yHi)) {
        yLo = plot.logY ? 1 : 0;
        yHi = plot.logY ? 10 : 1;
    }
    // Markers at the ends of the range would be cut in half by the plot frame.
    QAbstractAxis* xAxis = makeAxis(plot.logX, xLo, xHi, qs(plot.xLabel), markers && !empty);
    QAbstractAxis* yAxis = makeAxis(plot.logY, yLo, yHi, qs(plot.yLabel), !empty);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(xAxis);
        s->attachAxis(yAxis);
    }
    // Qt's own legend keeps one row and cuts the names ("Kennedy-Marsd..."):
    // a text that wraps between its entries instead.
    chart->legend()->setVisible(false);
    QStringList entries;
    for (const tavrix::Series& s : plot.series) entries << legendEntry(s);
    legend_ = new QGraphicsTextItem(chart);
    legend_->setFont(sized(font(), 9));
    legend_->setHtml(entries.join(" &nbsp;&nbsp; "));
    legend_->setVisible(!plot.series.empty());
    connect(chart, &QChart::plotAreaChanged, chart,
            [chart](const QRectF& area) { fitTicks(chart, area); });
    // A zoom or its reset moves the curves under the pointer: the read-out
    // follows them, so it never shows a point that has moved away.
    snapMark_ = nullptr;  // drawn in the old chart, deleted with it
    for (QAbstractAxis* axis : chart->axes()) {
        const auto again = [this] {
            if (readout_->isVisible()) snapReadout(pointer_);
        };
        if (auto* a = qobject_cast<QValueAxis*>(axis))
            connect(a, &QValueAxis::rangeChanged, this, again, Qt::QueuedConnection);
        if (auto* a = qobject_cast<QLogValueAxis*>(axis))
            connect(a, &QLogValueAxis::rangeChanged, this, again, Qt::QueuedConnection);
    }

    QChart* old = this->chart();
    setChart(chart);
    delete old;
    placeLegend();
    readout_->hide();
}

void PlotView::placeLegend()
{
    QChart* chart = this->chart();
    if (legend_ == nullptr || legend_->parentItem() != chart) return;
    const QRectF frame(QPointF(0, 0), chart->size());
    legend_->setTextWidth(std::max(60.0, frame.width() - 24));
    const double height = legend_->isVisible() ? legend_->boundingRect().height() : 0;
    legend_->setPos(12, frame.height() - height - 2);
    double top = 0;
    if (title_ != nullptr && title_->isVisible()) {
        title_->setTextWidth(std::max(60.0, frame.width() - 24));
        title_->setPos(12, 2);
        top = title_->boundingRect().height();
    }
    const QMargins margins(6, 6 + static_cast<int>(std::ceil(top)), 12,
                           6 + static_cast<int>(std::ceil(height)));
    if (chart->margins() != margins) chart->setMargins(margins);
}

QString PlotView::legendText() const
{
    return legend_ != nullptr && legend_->isVisible() ? legend_->toPlainText() : QString();
}

QString PlotView::titleText() const
{
    return title_ != nullptr && title_->isVisible() ? title_->toPlainText() : QString();
}

QRect PlotView::legendRect() const
{
    if (legend_ == nullptr || !legend_->isVisible()) return {};
    return mapFromScene(legend_->sceneBoundingRect()).boundingRect();
}

int PlotView::seriesCount() const { return static_cast<int>(chart()->series().size()); }

QString PlotView::readout() const { return readout_->isVisible() ? readout_->text() : QString(); }

void PlotView::mouseMoveEvent(QMouseEvent* event)
{
    QChartView::mouseMoveEvent(event);
    pointer_ = event->position().toPoint();
    snapReadout(pointer_);
}

void PlotView::snapReadout(const QPoint& at)
{
    QChart* chart = this->chart();
    const QPointF inChart = chart->mapFromScene(mapToScene(at));
    const QRectF area = chart->plotArea();
    const auto hide = [this] {
        readout_->hide();
        if (snapMark_ != nullptr) snapMark_->hide();
    };
    if (!area.contains(inChart)) return hide();
    // The nearest point on screen among the points in view: what the pointer
    // designates is a computed value, not a place between the curves.
    double best = std::numeric_limits<double>::infinity();
    QPointF value, position;
    QString curve;
    std::size_t bestSeries = 0, bestPoint = 0;
    const QList<QAbstractSeries*> all = chart->series();
    for (qsizetype j = 0; j < all.size(); ++j) {
        auto* line = qobject_cast<QXYSeries*>(all[j]);
        if (line == nullptr || !line->isVisible()) continue;
        const QList<QPointF> points = line->points();
        for (qsizetype k = 0; k < points.size(); ++k) {
            const QPointF& p = points[k];
            const QPointF onScreen = chart->mapToPosition(p, line);
            if (!area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(onScreen)) continue;
            const QPointF d = onScreen - inChart;
            const double distance = d.x() * d.x() + d.y() * d.y();
            if (distance < best) {
                best = distance;
                value = p;
                position = onScreen;
                curve = line->name();
                bestSeries = static_cast<std::size_t>(j);
                bestPoint = static_cast<std::size_t>(k);
            }
        }
    }
    if (!std::isfinite(best)) return hide();
    // The point's note, when its series has one ("... not converged: why").
    if (bestSeries < plot_.series.size() && bestSeries < pointOf_.size() &&
        bestPoint < pointOf_[bestSeries].size()) {
        const std::vector<std::string>& notes = plot_.series[bestSeries].notes;
        const std::size_t i = pointOf_[bestSeries][bestPoint];
        if (i < notes.size() && !notes[i].empty()) curve += ": " + qs(notes[i]);
    }
    readout_->setText(QString("%1 = %2    %3 = %4    %5")
                          .arg(qs(plot_.xLabel))
                          .arg(value.x(), 0, 'g', 4)
                          .arg(qs(plot_.yLabel))
                          .arg(value.y(), 0, 'g', 4)
                          .arg(curve));
    readout_->adjustSize();
    if (readout_->width() > viewport()->width() - 8) {
        // A narrow plot: the curve's name on a line of its own.
        readout_->setText(readout_->text().replace("    " + curve, "\n" + curve));
        readout_->adjustSize();
    }
    placeReadout();
    readout_->show();
    if (snapMark_ == nullptr || snapMark_->parentItem() != chart) {
        snapMark_ = new QGraphicsEllipseItem(-4, -4, 8, 8, chart);
        snapMark_->setPen(QPen(Qt::black, 1.5));
        snapMark_->setZValue(100);
    }
    snapMark_->setPos(position);
    snapMark_->show();
}

void PlotView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        chart()->zoomReset();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void PlotView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    placeLegend();
    placeReadout();
}

void PlotView::placeReadout()
{
    const QRectF area = chart()->mapToScene(chart()->plotArea()).boundingRect();
    const QPoint topRight = mapFromScene(area.topRight());
    readout_->move(std::max(0, topRight.x() - readout_->width() - 4), topRight.y() + 4);
}

namespace {

QString saveBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) return file.errorString();
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace

QString PlotView::exportPng(const QString& path)
{
    const QSize size = viewport()->size() * 2;
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), viewport()->rect(),
               Qt::KeepAspectRatio);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return "the picture could not be encoded";
    return saveBytes(path, bytes);
}

QString PlotView::exportSvg(const QString& path)
{
    const QSize size = viewport()->size();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(qs(plot_.title));
    {
        QPainter painter(&svg);
        render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), viewport()->rect(),
               Qt::KeepAspectRatio);
    }
    return saveBytes(path, bytes);
}

QString PlotView::exportCsv(const QString& path)
{
    return saveBytes(path, QByteArray::fromStdString(tavrix::csvText(plot_)));
}

void PlotView::exportWithDialog()
{
    QString selected;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export plot"), QString(),
        tr("PNG picture (*.png);;SVG drawing (*.svg);;CSV data (*.csv)"), &selected);
    if (path.isEmpty()) return;
    QString file = path;
    QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != "png" && suffix != "svg" && suffix != "csv") {
        suffix = selected.contains("*.svg") ? "svg" : selected.contains("*.csv") ? "csv" : "png";
        file += "." + suffix;
    }
    const QString error = suffix == "svg"   ? exportSvg(file)
                          : suffix == "csv" ? exportCsv(file)
                                            : exportPng(file);
    if (!error.isEmpty())
        QMessageBox::warning(this, "Tavrix-S",
                             QString("Cannot write \"%1\": %2").arg(file, error));
}

}  // namespace ui
