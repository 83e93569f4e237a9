// The look of the analysis window's curves, shared by its plots and by the
// batch front end's pictures so that both draw a case alike: one colour per
// method, grey for references and the incompressible curve, black for the
// exact flow; the lower surface lighter and dashed.
#pragma once

#include <QBrush>
#include <QColor>
#include <QPen>

#include "output/AnalysisSeries.h"

namespace ui {

QColor paletteColour(int index);

// Not cosmetic: a picture exported at twice the size keeps the proportions.
QPen seriesPen(const tavrix::Series& s);

// A series drawn as markers alone (not joined): circles this many pixels
// across, outlined in the series' colour with a solid pen, filled with it or,
// hollow, not filled at all (a point that is no result).
inline constexpr double kUnjoinedMarkerSize = 9;
// A marked value (a maximum): a star, larger, outlined in black.
inline constexpr double kHighlightedMarkerSize = 17;
QPen markerPen(const tavrix::Series& s);
QBrush markerBrush(const tavrix::Series& s);

}  // namespace ui
