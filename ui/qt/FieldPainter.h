// Paints a flow-field view with Qt's painter: the speed or Cp as a colour map
// with its colour scale, the streamlines and the dividing streamlines, the
// section with its panels and control points, the title, axes in chords and
// the note that the field is incompressible. The analysis window's tab and
// the batch front end's picture both use it.
#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>

#include "output/FlowFieldView.h"

namespace ui {

struct FieldPaintOptions {
    bool streamlines = true;
    bool panels = true;  // the panels' end points and control points
};

// The part of `target` the field takes (the rest holds the title, the
// scale, the axes and the note).
QRectF fieldArea(const QRectF& target);
// The rectangle of the view box in `target`, at equal scales in x and y,
// centred in the field area.
QRectF fieldPlotRect(const QRectF& target, const tavrix::FieldBox& box);
// Pixel and field coordinates of that rectangle.
QPointF fieldToPixel(const QRectF& plot, const tavrix::FieldBox& box, double x, double y);
QPointF pixelToField(const QRectF& plot, const tavrix::FieldBox& box, QPointF p);

void paintFieldView(QPainter& painter, const tavrix::FieldView& view, const QRectF& target,
                    const FieldPaintOptions& options = {});

}  // namespace ui
