// What the analysis window shows of the boundary layer, computed without any
// window: the layer on the last press (the airfoil with its transition and
// separation points, Cf, theta and H along each surface against x/c) and the
// drag side of a polar (CD and the transition points against alpha, CL
// against CD).
#pragma once

#include <string>
#include <vector>

#include "output/AnalysisSeries.h"
#include "viscous/BoundaryLayer.h"
#include "viscous/ViscousPolar.h"

namespace tavrix {

// The range of Reynolds numbers the layer's correlations hold for.
inline constexpr double kReynoldsFrom = 1e3;
inline constexpr double kReynoldsTo = 1e9;

// The Reynolds number as typed: empty, blank or 0 means no boundary layer
// (false with an empty refusal); a text that is not a number as a whole, or a
// number outside kReynoldsFrom..kReynoldsTo, is refused with a message.
// Re on success.
bool readReynolds(const std::string& text, double& Re, std::string& refusal);

// The e^n method's Ncrit as typed: a number (the whole text) greater than 0
// and at most kLargestNcrit, otherwise refused with a message.
bool readNcrit(const std::string& text, double& Ncrit, std::string& refusal);

// The layer on the speeds of the press's method.
ViscousResult pressLayer(const PressCase& press, const BoundaryLayerSetup& setup);

// The rotated contour, the stagnation point and each surface's transition and
// separation points, one marked series per point.
PlotData layerAirfoilPlot(const PressCase& press, const ViscousResult& layer);

enum class LayerQuantity { Cf, Theta, H };
// The quantity against x/c, upper surface solid, lower dashed.
PlotData layerPlot(const ViscousResult& layer, LayerQuantity quantity);

// One line per fact: CD (or "CD not reliable ..."), friction, transition and
// separation per surface, and the note that CL is inviscid.
std::vector<std::string> layerSummary(const ViscousResult& layer);

// CD against alpha per method; angles whose layer failed or is not reliable
// are left out (listed by unreliableAngles).
PlotData polarDragPlot(const PolarResult& polar);
// The transition points, upper solid and lower dashed, against alpha.
PlotData polarTransitionPlot(const PolarResult& polar);
// The drag polar CL(CD).
PlotData dragPolarPlot(const PolarResult& polar);
// "Hess: CD not reliable at alpha 11.4 to 15 (37 angles), 18: turbulent
// separation ahead of x/c = 0.95, or no layer", one text per method with such
// angles, the consecutive angles of the sweep written as runs.
std::vector<std::string> unreliableAngles(const PolarResult& polar);

}  // namespace tavrix
