// What the flow-field picture shows, computed without any window: the speed
// or the pressure coefficient on a grid over a view rectangle, streamlines
// seeded upstream of it, the two dividing streamlines (into the front
// stagnation point, away from the trailing edge), the panels and their
// control points, the colour scale's range and the texts. The analysis
// window's tab and the batch front end's picture draw the same value.
#pragma once

#include <string>
#include <vector>

#include "output/AnalysisSeries.h"
#include "solvers/FlowField.h"

namespace tavrix {

enum class FieldQuantity { Speed, Cp };

struct FieldViewRequest {
    // The view rectangle in the frame of the panels (chords); empty (x0 ==
    // x1) asks for the default box around the section.
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    // Nodes of the colour map across the view's width; the height follows
    // the view's aspect.
    int columns = 160;
    FieldQuantity quantity = FieldQuantity::Speed;
    int streamlines = 31;  // seeded upstream, across the stream
};

struct FieldView {
    std::string title;  // "Flow field: NACA 0012, 161 points, Vortex panel method, α = 4°"
    std::string note;   // incompressible, surface-only correction
    FieldQuantity quantity = FieldQuantity::Speed;
    std::string scaleLabel;     // "V/V∞" or "Cp"
    double low = 0, high = 1;   // the colour scale's range
    FieldGrid grid;             // over the view rectangle
    std::vector<double> value;  // the quantity at every node (inside the body: 0)
    std::vector<Streamline> streamlines;
    DividingStreamlines dividing;
    DividingPoints points;
    std::vector<double> X, Y;    // end points of the rotated contour
    std::vector<double> XM, YM;  // control points
    double CL = 0;
};

// The default view: the section with half a chord in front and behind and
// 0.4 chords above and below.
FieldBox defaultFieldBox(const PanelGeometry& panels, int nx = 101);
// The view of the leading edge: a tenth of the chord round the foremost end
// point, with the aspect of the default view.
FieldBox leadingEdgeBox(const PanelGeometry& panels, double aspect);

// The flow field of the press at its angle of attack, with its method, on
// its panels. A press that was refused has no field (the refusal).
Outcome<FieldView> makeFieldView(const PressCase& press, const FieldViewRequest& request);

// The same from a field already solved and the operating point at its angle.
FieldView makeFieldView(const FlowField& field, const OperatingPoint& point,
                        const FieldViewRequest& request);

// "x,y,u,v,Cp" and one row per node, row by row from the bottom, the numbers
// as the shortest texts that read back as the same doubles; nodes inside the
// section keep x and y and leave u, v and Cp empty.
std::string fieldCsv(const FieldGrid& grid);

// The note the picture and the batch give with the field.
std::string fieldNote(double mach);

}  // namespace tavrix
