#include "ui/qt/RenderDrawing.h"

#include <QPen>
#include <algorithm>

namespace ui {

namespace {

// The part of the target that the box had when the scale was set, enlarged
// or reduced evenly and centred, so the drawing keeps its proportions.
QRectF keptAspect(const UserScale& s, const QRectF& target)
{
    if (s.boxWidth <= 0 || s.boxHeight <= 0) return target;
    const double k = std::min(target.width() / s.boxWidth, target.height() / s.boxHeight);
    const QSizeF size(s.boxWidth * k, s.boxHeight * k);
    return QRectF(target.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

QPointF toDevice(const UserScale& s, double x, double y, const QRectF& box)
{
    const QRectF target = keptAspect(s, box);
    const double w = s.right - s.left;
    const double h = s.bottom - s.top;
    const double u = w != 0 ? (x - s.left) / w : 0;
    const double v = h != 0 ? (y - s.top) / h : 0;
    return {target.left() + u * target.width(), target.top() + v * target.height()};
}

QColor toColor(const Rgb& c) { return QColor(c.red, c.green, c.blue); }

}  // namespace

void paintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target)
{
    painter.save();
    painter.setClipRect(target);
    for (const Primitive& p : drawing.items) {
        const QPointF a = toDevice(p.scale, p.x1, p.y1, target);
        const QPointF b = toDevice(p.scale, p.x2, p.y2, target);
        if (p.kind == Primitive::Kind::Line) {
            painter.setRenderHint(QPainter::Antialiasing, true);
            QPen pen(toColor(p.colour));
            pen.setWidthF(1.2);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawLine(a, b);
        } else {
            // Cells of a matrix picture tile the box: no smoothing, no seams.
            painter.setRenderHint(QPainter::Antialiasing, false);
            const QRectF cell = QRectF(a, b).normalized();
            painter.fillRect(cell.adjusted(0, 0, 0.5, 0.5), toColor(p.colour));
        }
    }
    painter.restore();
}

QImage renderDrawing(const Drawing& drawing, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintDrawing(painter, drawing, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

}  // namespace ui
