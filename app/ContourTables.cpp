#include "app/ContourTables.h"

#include <cstddef>

#include "output/Plots.h"

namespace tavrix {

bool setContourInUse(Common& c, const Contour& contour, ContourSource source)
{
    const int np = contour.size();
    if (np < 2 || np > kTableLast || contour.y.size() != contour.x.size()) return false;
    c.NP = np;
    c.NPanel = np - 1;
    for (int i = 1; i <= np; ++i) {
        c.XCoord[static_cast<std::size_t>(i)] = contour.x[static_cast<std::size_t>(i - 1)];
        c.YCoord[static_cast<std::size_t>(i)] = contour.y[static_cast<std::size_t>(i - 1)];
    }
    c.AirfoilSource = source;
    c.AirfoilName = contour.name;
    return true;
}

bool showContourInUse(Common& c, ui::Toolkit& ui, const Contour& contour, ContourSource source)
{
    if (!setContourInUse(c, contour, source)) return false;
    Show_Airfoil(c, ui, c.XCoord, c.YCoord);
    c.AirfoilReady = true;
    return true;
}

Contour contourInUse(const Common& c)
{
    Contour contour;
    contour.name = c.AirfoilName;
    for (int i = 1; i <= c.NP; ++i) {
        contour.x.push_back(c.XCoord[static_cast<std::size_t>(i)]);
        contour.y.push_back(c.YCoord[static_cast<std::size_t>(i)]);
    }
    return contour;
}

}  // namespace tavrix
