#include "ui/qt/FieldPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

#include "output/AxisTicks.h"

namespace ui {

namespace {

constexpr double kTitleHeight = 26;
constexpr double kLeftAxis = 66;
constexpr double kScaleWidth = 86;
constexpr double kBottomAxis = 34;
constexpr double kNoteHeight = 40;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Colour of t in [0, 1]: dark blue, blue, light blue, pale at the middle
// (0.5), light orange, orange, dark red.
QColor mapColour(double t)
{
    static const double stops[][3] = {{30, 40, 120},   {40, 110, 200},  {140, 200, 230},
                                      {245, 245, 225}, {245, 190, 110}, {225, 100, 50},
                                      {160, 20, 30}};
    constexpr int last = 6;
    t = std::clamp(t, 0.0, 1.0) * last;
    const int k = std::min(static_cast<int>(t), last - 1);
    const double f = t - k;
    auto mix = [&](int c) { return static_cast<int>(stops[k][c] + f * (stops[k + 1][c] - stops[k][c])); };
    return QColor(mix(0), mix(1), mix(2));
}

// Where a value sits on the map: the free stream (V/V∞ = 1, Cp = 0) in
// the pale middle, faster flow and suction towards the red end, slower flow
// and higher pressure towards the blue end, each side over its own range.
double mapPosition(const tavrix::FieldView& view, double value)
{
    const bool speed = view.quantity == tavrix::FieldQuantity::Speed;
    const double neutral = speed ? 1 : 0;
    double t = 0.5;
    if (value < neutral && neutral > view.low) t = 0.5 * (value - view.low) / (neutral - view.low);
    if (value >= neutral && view.high > neutral)
        t = 0.5 + 0.5 * (value - neutral) / (view.high - neutral);
    return speed ? t : 1 - t;
}

// The values of the nodes with those inside the section replaced by the
// mean of their outside neighbours, so that the smoothing of the map does
// not bleed the section's grey into the flow along its surface.
std::vector<double> filledValues(const tavrix::FieldView& view)
{
    const tavrix::FieldBox& b = view.grid.box;
    std::vector<double> v = view.value;
    std::vector<unsigned char> known(v.size());
    for (std::size_t k = 0; k < v.size(); ++k) known[k] = !view.grid.inside[k];
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<unsigned char> next = known;
        for (int j = 0; j < b.ny; ++j) {
            for (int i = 0; i < b.nx; ++i) {
                const std::size_t k = view.grid.index(i, j);
                if (known[k]) continue;
                double sum = 0;
                int n = 0;
                const int di[] = {-1, 1, 0, 0}, dj[] = {0, 0, -1, 1};
                for (int d = 0; d < 4; ++d) {
                    const int a = i + di[d], c = j + dj[d];
                    if (a < 0 || c < 0 || a >= b.nx || c >= b.ny) continue;
                    const std::size_t m = view.grid.index(a, c);
                    if (!known[m]) continue;
                    sum += v[m];
                    ++n;
                }
                if (n > 0) {
                    v[k] = sum / n;
                    next[k] = 1;
                }
            }
        }
        known = std::move(next);
    }
    for (std::size_t k = 0; k < v.size(); ++k)
        if (!known[k]) v[k] = view.quantity == tavrix::FieldQuantity::Speed ? 1 : 0;
    return v;
}

QPolygonF polyline(const QRectF& plot, const tavrix::FieldBox& box, const std::vector<double>& x,
                   const std::vector<double>& y)
{
    QPolygonF p;
    p.reserve(static_cast<int>(x.size()));
    for (std::size_t k = 0; k < x.size() && k < y.size(); ++k)
        p << fieldToPixel(plot, box, x[k], y[k]);
    return p;
}

}  // namespace

QRectF fieldArea(const QRectF& target)
{
    return target.adjusted(kLeftAxis, kTitleHeight, -kScaleWidth, -(kBottomAxis + kNoteHeight));
}

QRectF fieldPlotRect(const QRectF& target, const tavrix::FieldBox& box)
{
    const QRectF area = fieldArea(target);
    const double w = box.x1 - box.x0, h = box.y1 - box.y0;
    if (!(w > 0) || !(h > 0) || area.width() <= 0 || area.height() <= 0) return area;
    const double scale = std::min(area.width() / w, area.height() / h);
    const QSizeF size(w * scale, h * scale);
    return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

QPointF fieldToPixel(const QRectF& plot, const tavrix::FieldBox& box, double x, double y)
{
    return {plot.left() + (x - box.x0) / (box.x1 - box.x0) * plot.width(),
            plot.bottom() - (y - box.y0) / (box.y1 - box.y0) * plot.height()};
}

QPointF pixelToField(const QRectF& plot, const tavrix::FieldBox& box, QPointF p)
{
    return {box.x0 + (p.x() - plot.left()) / plot.width() * (box.x1 - box.x0),
            box.y0 + (plot.bottom() - p.y()) / plot.height() * (box.y1 - box.y0)};
}

void paintFieldView(QPainter& painter, const tavrix::FieldView& view, const QRectF& target,
                    const FieldPaintOptions& options)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(target, Qt::white);
    const tavrix::FieldBox& box = view.grid.box;
    const QRectF plot = fieldPlotRect(target, box);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    // Title.
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(13);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    // Above the field, which keeps the view's aspect and may not fill the
    // height it is given.
    painter.drawText(QRectF(target.left() + 8, plot.top() - kTitleHeight, target.width() - 16,
                            kTitleHeight),
                     Qt::AlignCenter | Qt::TextSingleLine,
                     QFontMetricsF(bold).elidedText(qs(view.title), Qt::ElideRight,
                                                    target.width() - 16));
    painter.setFont(font);

    // The colour map: one pixel per node, smoothed when scaled up. Nodes
    // inside the section are painted over by the section below.
    const int nx = box.nx, ny = box.ny;
    if (nx >= 2 && ny >= 2 && view.value.size() == view.grid.u.size()) {
        QImage map(nx, ny, QImage::Format_RGB32);
        const std::vector<double> values = filledValues(view);
        for (int j = 0; j < ny; ++j) {
            for (int i = 0; i < nx; ++i) {
                const std::size_t k = view.grid.index(i, j);
                const QColor c = mapColour(mapPosition(view, values[k]));
                map.setPixel(i, ny - 1 - j, c.rgb());
            }
        }
        // Node centres on the rectangle's corners: half a cell more each side,
        // clipped away.
        const double cw = plot.width() / (nx - 1), ch = plot.height() / (ny - 1);
        painter.save();
        painter.setClipRect(plot);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(plot.adjusted(-cw / 2, -ch / 2, cw / 2, ch / 2), map);
        painter.restore();
    }

    painter.save();
    painter.setClipRect(plot);
    // Streamlines.
    if (options.streamlines) {
        painter.setPen(QPen(QColor(0, 0, 0, 150), 1.0));
        for (const tavrix::Streamline& s : view.streamlines)
            painter.drawPolyline(polyline(plot, box, s.x, s.y));
    }
    // The section.
    const QPolygonF section = polyline(plot, box, view.X, view.Y);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(215, 215, 215));
    painter.drawPolygon(section);
    painter.setBrush(Qt::NoBrush);
    // The dividing streamlines: white over a dark edge, so that they read
    // on every colour.
    for (const tavrix::Streamline* s : {&view.dividing.front, &view.dividing.rear}) {
        const QPolygonF line = polyline(plot, box, s->x, s->y);
        painter.setPen(QPen(QColor(0, 0, 0), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
        painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
    }
    if (options.panels) {
        painter.setPen(QPen(QColor(20, 20, 20), 1.2));
        painter.drawPolyline(section);
        // The points of the panels that are at least 6 pixels long on screen:
        // on a fine contour they show as the view zooms in.
        painter.setPen(Qt::NoPen);
        const double r = 1.8;
        for (qsizetype k = 0; k + 1 < section.size(); ++k) {
            const QPointF a = section[k], b = section[k + 1];
            if (QLineF(a, b).length() < 6) continue;
            painter.setBrush(QColor(20, 20, 20));
            painter.drawEllipse(a, r, r);
            painter.drawEllipse(b, r, r);
            if (static_cast<std::size_t>(k) < view.XM.size()) {
                painter.setBrush(QColor(230, 0, 140));
                painter.drawEllipse(fieldToPixel(plot, box, view.XM[static_cast<std::size_t>(k)],
                                                 view.YM[static_cast<std::size_t>(k)]),
                                    r, r);
            }
        }
        painter.setBrush(Qt::NoBrush);
    } else {
        painter.setPen(QPen(QColor(20, 20, 20), 1.2));
        painter.drawPolyline(section);
    }
    // The front stagnation point.
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(fieldToPixel(plot, box, view.points.frontX, view.points.frontY), 4.0, 4.0);
    painter.setBrush(Qt::NoBrush);
    painter.restore();

    // Frame and axes in chords.
    painter.setPen(QPen(QColor(90, 90, 90), 1.0));
    painter.drawRect(plot);
    painter.setPen(Qt::black);
    const int xCount = std::max(2, static_cast<int>(plot.width() / 80));
    for (const tavrix::AxisTick& t : tavrix::AxisTicks(box.x0, box.x1, xCount)) {
        const double px = fieldToPixel(plot, box, t.value, box.y0).x();
        painter.drawLine(QPointF(px, plot.bottom()), QPointF(px, plot.bottom() + 4));
        painter.drawText(QRectF(px - 40, plot.bottom() + 4, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                         qs(t.label));
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + 18, plot.width(), 16),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("x/c"));
    const int yCount = std::max(2, static_cast<int>(plot.height() / 50));
    for (const tavrix::AxisTick& t : tavrix::AxisTicks(box.y0, box.y1, yCount)) {
        const double py = fieldToPixel(plot, box, box.x0, t.value).y();
        painter.drawLine(QPointF(plot.left() - 4, py), QPointF(plot.left(), py));
        painter.drawText(QRectF(plot.left() - 48, py - 8, 42, 16), Qt::AlignRight | Qt::AlignVCenter,
                         qs(t.label));
    }
    painter.save();
    painter.translate(plot.left() - 54, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-40, -14, 80, 14), Qt::AlignCenter, QStringLiteral("y/c"));
    painter.restore();

    // The colour scale.
    const QRectF bar(plot.right() + 16, plot.top() + 18, 16, std::max(plot.height() - 24, 20.0));
    for (int py = 0; py < static_cast<int>(bar.height()); ++py) {
        const double value = view.high - (view.high - view.low) * (py + 0.5) / bar.height();
        painter.setPen(mapColour(mapPosition(view, value)));
        painter.drawLine(QPointF(bar.left(), bar.top() + py), QPointF(bar.right(), bar.top() + py));
    }
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(bar);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(bar.left() - 12, plot.top(), 70, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     qs(view.scaleLabel));
    const int scaleCount = std::max(2, static_cast<int>(bar.height() / 40));
    for (const tavrix::AxisTick& t : tavrix::AxisTicks(view.low, view.high, scaleCount)) {
        const double py = bar.bottom() - (t.value - view.low) / (view.high - view.low) * bar.height();
        painter.drawLine(QPointF(bar.right(), py), QPointF(bar.right() + 4, py));
        painter.drawText(QRectF(bar.right() + 6, py - 8, 48, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         qs(t.label));
    }

    // The key to the lines and the note.
    const double keyTop = plot.bottom() + kBottomAxis;
    double x = target.left() + 8;
    const double y = keyTop + 8;
    painter.setPen(QPen(QColor(0, 0, 0), 4.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, y), QPointF(x + 22, y));
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, y), QPointF(x + 22, y));
    x += 28;
    painter.setPen(Qt::black);
    QString key = view.points.rearAtTrailingEdge
                      ? QStringLiteral("dividing streamlines: into the stagnation point (o), "
                                       "off the trailing edge")
                      : QStringLiteral("dividing streamlines: into the stagnation point (o), "
                                       "off the rear stagnation point");
    if (options.panels) key += QStringLiteral("   \u2022 panel end points   ");
    const double keyWidth = metrics.horizontalAdvance(key);
    painter.drawText(QRectF(x, y - 8, keyWidth + 4, 16), Qt::AlignLeft | Qt::AlignVCenter, key);
    if (options.panels) {
        x += keyWidth + 4;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(230, 0, 140));
        painter.drawEllipse(QPointF(x + 4, y), 2.5, 2.5);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + 10, y - 8, 140, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("control points"));
    }
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(QRectF(target.left() + 8, keyTop + 17, target.width() - 16, kNoteHeight - 17),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, qs(view.note));
    painter.restore();
}

}  // namespace ui
