#include "ui/qt/SeriesStyle.h"

#include <iterator>

namespace ui {

QColor paletteColour(int index)
{
    static const QColor colours[] = {
        QColor(0, 84, 180),    // Hess
        QColor(214, 64, 24),   // vortex panel
        QColor(24, 140, 56),   // Kennedy-Marsden
        QColor(136, 56, 168),  // Soinne-Laine
        QColor(110, 110, 110), // incompressible, references
        QColor(0, 0, 0),       // exact flow
        // Kept polars, after the methods: apart from the four method colours
        // (no second blue, red, green or purple) and from each other.
        QColor(0, 150, 160),   // teal
        QColor(200, 40, 130),  // magenta
        QColor(190, 150, 0),   // ochre
        QColor(120, 80, 30),   // brown
        QColor(0, 170, 230),   // sky
        QColor(110, 150, 0),   // olive
        QColor(235, 120, 175), // pink
        QColor(90, 110, 130),  // slate
    };
    const int n = static_cast<int>(std::size(colours));
    return colours[((index % n) + n) % n];
}

QPen seriesPen(const tavrix::Series& s)
{
    QPen pen(paletteColour(s.colour));
    switch (s.role) {
    case tavrix::Series::Role::Computed: pen.setWidthF(2.0); break;
    case tavrix::Series::Role::LowerSurface:
        pen.setColor(paletteColour(s.colour).lighter(135));
        pen.setWidthF(2.0);
        pen.setStyle(Qt::DashLine);
        break;
    case tavrix::Series::Role::Exact:
        pen.setWidthF(1.5);
        pen.setStyle(Qt::DotLine);
        break;
    case tavrix::Series::Role::Reference:
        pen.setWidthF(1.3);
        pen.setStyle(Qt::DashDotLine);
        break;
    }
    return pen;
}

QPen markerPen(const tavrix::Series& s)
{
    QPen pen(s.highlighted ? QColor(Qt::black) : seriesPen(s).color());
    pen.setWidthF(1.5);
    return pen;
}

QBrush markerBrush(const tavrix::Series& s)
{
    if (s.hollow) return QBrush(Qt::NoBrush);
    return QBrush(seriesPen(s).color());
}

}  // namespace ui
