// The flow around the section away from its surface: the velocity that a
// method's singularities induce at any field point, plus the free stream, on
// a grid, and streamlines traced through it. Everything is in the frame of
// the panels (the contour turned by eta) and over the free-stream speed.
//
// The field is that of the incompressible potential flow the panels solve:
// a Mach number corrects the surface pressure of a press only, never this.
#pragma once

#include <functional>
#include <vector>

#include "solvers/PanelSolution.h"

namespace tavrix {

struct FlowVelocity {
    double u = 0;
    double v = 0;
};

// The singularities of one solution at one angle of attack, ready to be
// evaluated anywhere: the strengths are solved for once, each point then
// costs one pass over the panels.
class FlowField {
public:
    FlowField(const PanelSolution& solution, double alphaDeg);
    // The same from strengths found elsewhere (1-based, as the system orders
    // its unknowns); `vortexShape` is the Hess method's d(j), empty otherwise.
    FlowField(const PanelGeometry& geometry, PanelMethod method, std::vector<double> strength,
              std::vector<double> vortexShape, double alphaDeg);

    // Free stream plus the velocity every panel induces at (x, y). Not
    // meaningful inside the body; a point on a panel's end point gives the
    // logarithm's infinity.
    FlowVelocity velocity(double x, double y) const;
    // Whether (x, y) lies inside the closed contour (even-odd rule).
    bool inside(double x, double y) const;
    // Distance from (x, y) to the nearest panel.
    double distanceToSurface(double x, double y) const;

    const PanelGeometry& geometry() const { return geometry_; }
    PanelMethod method() const { return method_; }
    double alphaDeg() const { return alphaDeg_; }
    double cosAlfa() const { return cosAlfa_; }
    double sinAlfa() const { return sinAlfa_; }
    // Circulation clockwise (the lifting sense) of the whole sheet or vortex
    // system, over free-stream speed times chord: CL / 2 by Kutta-Joukowski.
    double circulation() const;

private:
    PanelGeometry geometry_;
    PanelMethod method_;
    std::vector<double> strength_;
    std::vector<double> vortexShape_;
    double alphaDeg_ = 0, cosAlfa_ = 1, sinAlfa_ = 0;
};

// Calls work(0) .. work(count - 1) on the machine's cores; each call must
// touch only its own results.
void forEachInParallel(int count, const std::function<void(int)>& work);

// Shorthand for one point: solves for the strengths first (O(N^2)); use a
// FlowField for many points.
FlowVelocity flowVelocity(const PanelSolution& solution, double alphaDeg, double x, double y);

// A rectangle of field points: nx by ny nodes, both at least 2, from x0 to x1
// and from y0 to y1 inclusive.
struct FieldBox {
    double x0 = -0.5, x1 = 1.5, y0 = -0.6, y1 = 0.6;
    int nx = 81, ny = 49;
    double x(int i) const { return x0 + (x1 - x0) * i / (nx - 1); }
    double y(int j) const { return y0 + (y1 - y0) * j / (ny - 1); }
};

// The velocity at every node, row by row from y0 (node (i, j) at j * nx + i).
// Nodes inside the body are flagged and hold u = v = 0.
struct FieldGrid {
    FieldBox box;
    std::vector<double> u, v;
    std::vector<unsigned char> inside;
    std::size_t index(int i, int j) const { return static_cast<std::size_t>(j) * box.nx + i; }
    double speed(int i, int j) const;
    // Incompressible pressure coefficient, 1 - (u^2 + v^2).
    double cp(int i, int j) const { return 1 - speed(i, j) * speed(i, j); }
};

FieldGrid evaluateGrid(const FlowField& field, const FieldBox& box);

struct Streamline {
    enum class End { LeftBox, ReachedBody, Stagnation, StepLimit };
    std::vector<double> x, y;
    End end = End::StepLimit;
};

// Traces the streamline through (x0, y0) with the flow (or against it, for
// `upstream`) by fourth-order Runge-Kutta steps along the flow direction,
// until it leaves the rectangle [xmin, xmax] x [ymin, ymax], enters the body,
// meets a stagnation point or has taken maxSteps steps. The step is `step`
// in the open, smaller near the surface.
Streamline traceStreamline(const FlowField& field, double x0, double y0, double xmin,
                           double xmax, double ymin, double ymax, double step,
                           bool upstream = false, int maxSteps = 20000);

// Where the flow divides: the front stagnation point on the surface, and the
// point where the flow leaves it (the trailing edge when the Kutta condition
// holds), each with the outward direction the dividing streamline takes.
struct DividingPoints {
    double frontX = 0, frontY = 0, frontNx = -1, frontNy = 0;
    double rearX = 0, rearY = 0, rearNx = 1, rearNy = 0;
    bool rearAtTrailingEdge = true;
};

// From the signed surface speed of the operating point (positive along the
// panels, lower surface from the trailing edge first): the front stagnation
// point where it rises through zero, the rear one where it falls through
// zero, interpolated between control points. Where it changes sign across
// the trailing edge the flow leaves there, along the bisector of the edge.
DividingPoints dividingPoints(const PanelGeometry& geometry, const std::vector<double>& signedSpeed);

// The two dividing streamlines: from the box's edge upstream to the front
// stagnation point, and from the rear point downstream to the box's edge.
struct DividingStreamlines {
    Streamline front, rear;
};
DividingStreamlines traceDividingStreamlines(const FlowField& field, const DividingPoints& points,
                                             double xmin, double xmax, double ymin, double ymax,
                                             double step);

}  // namespace tavrix
