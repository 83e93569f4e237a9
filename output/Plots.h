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

}  // namespace tavrix
