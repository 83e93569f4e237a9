// The picture module's labelled plot: a PlotData of the analysis window drawn
// with a title, axes with their ticks, labels and a grid, and a legend, as
// PNG or SVG.
#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#ifdef TAVRIX_PICTURES_SVG
#include <QSvgGenerator>
#endif

#include "output/AnalysisSeries.h"
#include "output/AxisTicks.h"
#include "tools/batch/PictureApplication.h"
#include "tools/batch/PictureModule.h"
#include "ui/qt/SeriesStyle.h"

namespace {

using ui::paletteColour;
using ui::seriesPen;

constexpr int kWidth = 900;
constexpr int kHeight = 620;

QString qs(const std::string& s) { return QString::fromStdString(s); }

struct Range {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void add(double v)
    {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    // Widened to whole steps of about eight intervals.
    std::vector<tavrix::AxisTick> ticks()
    {
        if (!(lo <= hi)) lo = 0, hi = 1;
        if (hi - lo < 1e-12 * std::max(1.0, std::fabs(lo))) lo -= 0.5, hi += 0.5;
        const double step = tavrix::NiceStep((hi - lo) / 8);
        lo = std::floor(lo / step) * step;
        hi = std::ceil(hi / step) * step;
        return tavrix::AxisTicks(lo, hi, static_cast<int>(std::lround((hi - lo) / step)));
    }
};

void paint(QPainter& p, const tavrix::PlotData& plot)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), Qt::white);
    QFont font = QGuiApplication::font();
    font.setPixelSize(13);
    QFont titleFont = font;
    titleFont.setPixelSize(16);
    titleFont.setBold(true);

    Range xr, yr;
    for (const tavrix::Series& s : plot.series)
        for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i)
            if (std::isfinite(s.x[i]) && std::isfinite(s.y[i])) xr.add(s.x[i]), yr.add(s.y[i]);
    const std::vector<tavrix::AxisTick> xt = xr.ticks(), yt = yr.ticks();

    // Legend rows below the axis label, as many entries a row as fit.
    const QFontMetricsF fm(font);
    const double entryGap = 28, sample = 34;
    std::vector<double> widths;
    for (const tavrix::Series& s : plot.series) widths.push_back(sample + 6 + fm.horizontalAdvance(qs(s.name)));
    const double legendWidth = kWidth - 80;
    int rows = plot.series.empty() ? 0 : 1;
    {
        double x = 0;
        for (double w : widths) {
            if (x > 0 && x + w > legendWidth) ++rows, x = 0;
            x += w + entryGap;
        }
    }
    const double line = fm.height() + 6;
    const QRectF area(78, 50, kWidth - 78 - 28, kHeight - 50 - 62 - rows * line);
    auto px = [&](double x) { return area.left() + (x - xr.lo) / (xr.hi - xr.lo) * area.width(); };
    auto py = [&](double y) { return area.bottom() - (y - yr.lo) / (yr.hi - yr.lo) * area.height(); };

    p.setFont(titleFont);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 8, kWidth, 34), Qt::AlignCenter, qs(plot.title));

    // Grid, ticks and their labels.
    p.setFont(font);
    for (const auto& t : xt) {
        const double x = px(t.value);
        p.setPen(QPen(QColor(220, 220, 220), 1));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 5));
        p.drawText(QRectF(x - 40, area.bottom() + 6, 80, line), Qt::AlignHCenter | Qt::AlignTop,
                   qs(t.label));
    }
    for (const auto& t : yt) {
        const double y = py(t.value);
        p.setPen(QPen(QColor(220, 220, 220), 1));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(area.left() - 5, y), QPointF(area.left(), y));
        p.drawText(QRectF(area.left() - 70, y - line / 2, 62, line), Qt::AlignRight | Qt::AlignVCenter,
                   qs(t.label));
    }
    // The zero line of -Cp, where there is one.
    if (yr.lo < 0 && yr.hi > 0) {
        p.setPen(QPen(QColor(150, 150, 150), 1));
        p.drawLine(QPointF(area.left(), py(0)), QPointF(area.right(), py(0)));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
    p.drawText(QRectF(area.left(), area.bottom() + line + 6, area.width(), line), Qt::AlignCenter,
               qs(plot.xLabel));
    p.save();
    p.translate(18, area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-area.height() / 2, -line / 2, area.height(), line), Qt::AlignCenter,
               qs(plot.yLabel));
    p.restore();

    // The curves, clipped to the frame.
    p.save();
    p.setClipRect(area);
    for (const tavrix::Series& s : plot.series) {
        QPainterPath path;
        bool open = false;
        for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
            if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) {
                open = false;
                continue;
            }
            const QPointF at(px(s.x[i]), py(s.y[i]));
            if (open) path.lineTo(at); else path.moveTo(at);
            open = true;
        }
        p.setPen(seriesPen(s));
        p.drawPath(path);
        if (s.markers) {
            p.setBrush(paletteColour(s.colour));
            for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i)
                if (std::isfinite(s.x[i]) && std::isfinite(s.y[i]))
                    p.drawEllipse(QPointF(px(s.x[i]), py(s.y[i])), 2.5, 2.5);
            p.setBrush(Qt::NoBrush);
        }
    }
    p.restore();

    // Legend.
    double x = 40, y = area.bottom() + 2 * line + 14;
    for (std::size_t k = 0; k < plot.series.size(); ++k) {
        if (x > 40 && x + widths[k] > 40 + legendWidth) x = 40, y += line;
        p.setPen(seriesPen(plot.series[k]));
        p.drawLine(QPointF(x, y + line / 2), QPointF(x + sample, y + line / 2));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + sample + 6, y, widths[k], line), Qt::AlignLeft | Qt::AlignVCenter,
                   qs(plot.series[k].name));
        x += widths[k] + entryGap;
    }
}

}  // namespace

namespace tavrix {

bool renderPlotPicture(const PlotData& plot, bool svg, std::string& bytes)
{
    if (!ensurePictureApplication()) return false;
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    if (svg) {
#ifdef TAVRIX_PICTURES_SVG
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(kWidth, kHeight));
        generator.setViewBox(QRect(0, 0, kWidth, kHeight));
        generator.setTitle(qs(plot.title));
        QPainter painter(&generator);
        paint(painter, plot);
        painter.end();
#else
        return false;
#endif
    } else {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        paint(painter, plot);
        painter.end();
        if (!image.save(&buffer, "PNG")) return false;
    }
    bytes.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return !bytes.empty();
}

}  // namespace tavrix
