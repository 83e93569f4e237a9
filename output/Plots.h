// The main window's two plots: the airfoil contour and the distribution of
// -Cu (Cp - 1) over the control points, centred on the same XCenter.
#pragma once

#include "app/Module_Common.h"
#include "ui/Drawing.h"
#include "ui/Toolkit.h"

namespace tavrix {

inline constexpr ui::Rgb kAxisGrey{200, 200, 200};
inline constexpr ui::Rgb kCurveRed{250, 0, 0};
inline constexpr ui::Rgb kCompressibleBlue{0, 0, 255};

inline constexpr const char* kAirfoilPicture = "Picture_Airfoil";
inline constexpr const char* kPressurePicture = "Picture_PressureDistribution";

void Show_Airfoil(Common& common, ui::Toolkit& ui, const Table& xG, const Table& yG);
void Show_PressureDistribution(Common& common, ui::Toolkit& ui);

// What the pressure box shows after a press: the control points and Cu of
// panels 1..NPanel, and Cu after the compressibility correction when a Mach
// number was given. Kept so that the box can be drawn again at another size.
struct PressurePlot {
    int NPanel = 0;
    Table XM{};
    Table Cu{};
    bool compressible = false;
    Table CuCompressible{};
};

// The pressure box of a press: the red curve fitted as Show_PressureDistribution
// fits it, and the blue corrected curve over it. With a corrected curve the
// vertical extent covers both curves, a tenth of their span left free above
// and below; without one the picture is exactly Show_PressureDistribution's.
void Show_PressurePlot(Common& common, ui::Toolkit& ui, const PressurePlot& plot);

}  // namespace tavrix
