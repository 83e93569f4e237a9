#include "output/FlowFieldView.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "app/Form_TavrixS.h"

namespace tavrix {

namespace {

struct Extent {
    double xmin, xmax, ymin, ymax;
};

Extent extentOf(const PanelGeometry& g)
{
    Extent e{g.X[1], g.X[1], g.Y[1], g.Y[1]};
    for (int i = 2; i <= g.NP; ++i) {
        e.xmin = std::min(e.xmin, g.X[i]);
        e.xmax = std::max(e.xmax, g.X[i]);
        e.ymin = std::min(e.ymin, g.Y[i]);
        e.ymax = std::max(e.ymax, g.Y[i]);
    }
    return e;
}

// A round number at or above (up) or at or below v: 1, 2 or 5 times a power
// of ten, in steps of a tenth of it.
double roundTo(double v, bool up)
{
    if (v == 0 || !std::isfinite(v)) return 0;
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(v)))) / 10;
    return (up ? std::ceil(v / unit) : std::floor(v / unit)) * unit;
}

void appendNumber(std::string& out, double v)
{
    char digits[32];
    const auto r = std::to_chars(digits, digits + sizeof digits, v);
    out.append(digits, r.ptr);
}

}  // namespace

FieldBox defaultFieldBox(const PanelGeometry& panels, int nx)
{
    const Extent e = extentOf(panels);
    const double chord = std::max(e.xmax - e.xmin, 1e-9);
    FieldBox box;
    box.x0 = e.xmin - 0.5 * chord;
    box.x1 = e.xmax + 0.5 * chord;
    box.y0 = e.ymin - 0.4 * chord;
    box.y1 = e.ymax + 0.4 * chord;
    box.nx = std::max(nx, 2);
    box.ny = std::clamp(
        static_cast<int>(std::lround((box.y1 - box.y0) / (box.x1 - box.x0) * (box.nx - 1))) + 1, 2,
        1000);
    return box;
}

FieldBox leadingEdgeBox(const PanelGeometry& panels, double aspect)
{
    const Extent e = extentOf(panels);
    const double chord = std::max(e.xmax - e.xmin, 1e-9);
    int lead = 1;
    for (int i = 2; i <= panels.NP; ++i)
        if (panels.X[i] < panels.X[lead]) lead = i;
    FieldBox box;
    const double width = 0.1 * chord;
    const double height = width * std::clamp(aspect, 0.2, 5.0);
    box.x0 = panels.X[lead] - 0.3 * width;
    box.x1 = box.x0 + width;
    box.y0 = panels.Y[lead] - height / 2;
    box.y1 = box.y0 + height;
    return box;
}

std::string fieldNote(double mach)
{
    std::string note =
        "The field is the incompressible potential flow of the panels (speed over the "
        "free-stream speed, Cp = 1 - V\u00b2/V\u221e\u00b2)";
    if (mach != 0) note += "; the Mach number corrects the surface pressure only, not the field";
    return note + ".";
}

Outcome<FieldView> makeFieldView(const PressCase& press, const FieldViewRequest& request)
{
    const Common& c = press.common;
    const auto panels = buildPanelGeometry(contourX(c), contourY(c), press.setup.etaDeg);
    if (!panels) return panels.refusal();
    SolveOptions options;
    options.noCirculation = press.setup.noCirculation && press.setup.method == PanelMethod::Hess;
    const auto solution = solvePanels(*panels, press.setup.method, options);
    if (!solution) return solution.refusal();
    // The press's own point (incompressible: the field has no Mach number).
    const auto point = solution->at(press.alphaDeg);
    if (!point) return point.refusal();
    const FlowField field(*solution, press.alphaDeg);
    FieldView view = makeFieldView(field, *point, request);
    view.title = "Flow field: " + caseTitle(press);
    view.note = fieldNote(press.setup.mach);
    return view;
}

FieldView makeFieldView(const FlowField& field, const OperatingPoint& point,
                        const FieldViewRequest& request)
{
    const PanelGeometry& g = field.geometry();
    FieldView view;
    view.quantity = request.quantity;
    view.scaleLabel = request.quantity == FieldQuantity::Speed ? "V/V\u221e" : "Cp";
    view.note = fieldNote(0);
    view.CL = point.CL;

    FieldBox box = defaultFieldBox(g, std::clamp(request.columns, 2, 1000));
    if (request.x1 > request.x0 && request.y1 > request.y0) {
        box.x0 = request.x0;
        box.x1 = request.x1;
        box.y0 = request.y0;
        box.y1 = request.y1;
        box.ny = std::clamp(static_cast<int>(std::lround((box.y1 - box.y0) / (box.x1 - box.x0) *
                                                         (box.nx - 1))) + 1,
                            2, 1000);
    }
    view.grid = evaluateGrid(field, box);

    // The colour of every node, and a range that leaves out the few nodes
    // next to the panels' end points, where the sheets' own logarithms show.
    const std::size_t n = view.grid.u.size();
    view.value.assign(n, 0.0);
    std::vector<double> seen;
    seen.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        if (view.grid.inside[k]) continue;
        const double s2 = view.grid.u[k] * view.grid.u[k] + view.grid.v[k] * view.grid.v[k];
        view.value[k] = request.quantity == FieldQuantity::Speed ? std::sqrt(s2) : 1 - s2;
        seen.push_back(view.value[k]);
    }
    std::sort(seen.begin(), seen.end());
    auto quantile = [&](double q) {
        if (seen.empty()) return 0.0;
        return seen[static_cast<std::size_t>(q * static_cast<double>(seen.size() - 1))];
    };
    if (request.quantity == FieldQuantity::Speed) {
        view.low = 0;
        view.high = std::max(1.2, roundTo(quantile(0.995), true));
    } else {
        view.high = 1;
        view.low = std::min(-0.5, roundTo(quantile(0.005), false));
    }

    view.X.assign(g.X.begin() + 1, g.X.begin() + 1 + g.NP);
    view.Y.assign(g.Y.begin() + 1, g.Y.begin() + 1 + g.NP);
    view.XM = point.XM;
    view.YM = point.YM;

    // Streamlines from a line across the stream, upstream of the view, traced
    // through a rectangle round it that holds their way in.
    const double width = box.x1 - box.x0, height = box.y1 - box.y0;
    const double diagonal = std::hypot(width, height);
    const double cx = (box.x0 + box.x1) / 2, cy = (box.y0 + box.y1) / 2;
    const double margin = 0.8 * diagonal;
    const double xmin = box.x0 - margin, xmax = box.x1 + margin;
    const double ymin = box.y0 - margin, ymax = box.y1 + margin;
    const double step = diagonal / 160;
    const double wx = field.cosAlfa(), wy = field.sinAlfa();
    const int seeds = std::max(request.streamlines, 0);
    view.streamlines.resize(static_cast<std::size_t>(seeds));
    forEachInParallel(seeds, [&](int s) {
        const double across = seeds > 1 ? (-0.6 + 1.2 * s / (seeds - 1)) * diagonal : 0;
        const double sx = cx - 0.75 * diagonal * wx - across * wy;
        const double sy = cy - 0.75 * diagonal * wy + across * wx;
        view.streamlines[static_cast<std::size_t>(s)] =
            traceStreamline(field, sx, sy, xmin, xmax, ymin, ymax, step, false, 4000);
    });
    view.points = dividingPoints(g, point.signedSpeed);
    view.dividing = traceDividingStreamlines(field, view.points, xmin, xmax, ymin, ymax, step);
    return view;
}

std::string fieldCsv(const FieldGrid& grid)
{
    std::string out = "x,y,u,v,Cp\n";
    out.reserve(out.size() + grid.u.size() * 80);
    for (int j = 0; j < grid.box.ny; ++j) {
        for (int i = 0; i < grid.box.nx; ++i) {
            const std::size_t k = grid.index(i, j);
            appendNumber(out, grid.box.x(i));
            out += ',';
            appendNumber(out, grid.box.y(j));
            out += ',';
            if (!grid.inside[k]) {
                appendNumber(out, grid.u[k]);
                out += ',';
                appendNumber(out, grid.v[k]);
                out += ',';
                appendNumber(out, 1 - (grid.u[k] * grid.u[k] + grid.v[k] * grid.v[k]));
            } else {
                out += ",,";
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace tavrix
