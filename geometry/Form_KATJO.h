// The Karman-Trefftz / Joukowsky source: designs a section from its thickness
// ratio, camber ratio, trailing-edge angle and (optionally) the location of
// its greatest thickness, and hands the contour to the main window.
#pragma once

#include <array>
#include <functional>
#include <numbers>
#include <optional>
#include <string>

#include "app/Module_Common.h"
#include "ui/Toolkit.h"

namespace tavrix {

// The section in closed form. The circle in the zeta plane has its centre at
// (F, G) and passes through zeta = -1 (the trailing edge) and zeta = 1 + 2F
// (the leading edge). The Karman-Trefftz map
//     w = ((zeta - 1) / (zeta + 1))^m,   z = m BB (1 + w) / (1 - w)
// takes it to a section whose trailing edge lies at x = -m BB with the
// internal angle (2 - m) pi, and whose chord is 1. The contour handed to the
// main window is the mirror image x' = 1 - m BB - x, y' = y, which puts the
// leading edge at (0, 0) and the trailing edge at (1, 0).
struct KarmanTrefftzSection {
    double F = 0;
    double G = 0;
    double m = 2;
    double BB = 0;
};

struct PlanePoint {
    double x = 0;
    double y = 0;
};

// Image in the section plane (trailing edge on the left) of the circle point
// seen from the origin at the polar angle theta. The argument of
// (zeta - 1)/(zeta + 1) is taken in (-3pi/2, pi/2]; for circles with G >= 0
// that is the principal branch.
PlanePoint mapCirclePoint(double F, double G, double m, double theta, double BB,
                          double pi = std::numbers::pi);

// One line of the iteration list: F, G, thickness, camber and thickness
// location, each rounded to 5 decimals, joined by "  ,".
std::string measuredSectionLine(double F, double G, double DMAX, double GMAX, double XDMAXC,
                                char decimalSeparator);

class Form_KATJO {
public:
    static constexpr int kStationLast = 200;
    using StationTable = std::array<double, kStationLast + 1>;

    Form_KATJO(Common& common, ui::Toolkit& ui) : common_(common), ui_(ui) {}

    // The point count typed in the main window when this window was opened;
    // the section produced by the next "Calculate" has this many end points.
    void setPointCount(int np) { pointCount_ = np; }
    int pointCount() const { return pointCount_; }

    // "Calculate": returns true when a new contour was handed to the main window.
    bool Command1_Click();
    // Called after every "Calculate", whether it produced a section or was
    // refused, so the main window can show the contour in use.
    void setAfterCalculate(std::function<void()> call) { afterCalculate_ = std::move(call); }

    // Parameters of the contour this window last handed to the main window;
    // empty before the first section was produced.
    const std::optional<KarmanTrefftzSection>& lastSection() const { return lastSection_; }

    // Maps the circle points at +TETA and -TETA to the section plane, station I.
    void XY(double F, double G, double EM, double& TETA, int I, double BB);
    // Measures the section of F, G, m: thickness, camber, thickness location.
    void DGX(double F, double G, double EM, double& DMAX, double& GMAX, double& XDMAXC);
    // Secant iteration for the F and G that give the wanted thickness and camber.
    void FGITER(double EM, double& XDMAXC, double DELTA, double GAMMA, double& F3, double& G3);

    StationTable XPos{}, YPos{}, XNeg{}, YNeg{};

private:
    bool calculate();
    bool refuse(const std::string& text);
    std::string listNumber(double v) const;

    Common& common_;
    ui::Toolkit& ui_;
    int pointCount_ = 51;
    std::optional<KarmanTrefftzSection> lastSection_;
    std::function<void()> afterCalculate_;
};

}  // namespace tavrix
