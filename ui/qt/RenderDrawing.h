// Replays a recorded drawing onto a Qt paint device, mapping each primitive's
// user coordinates onto the target rectangle.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>

#include "ui/Drawing.h"

namespace ui {

void paintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target);
QImage renderDrawing(const Drawing& drawing, QSize size);

}  // namespace ui
