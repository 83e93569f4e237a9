#include "output/Form_ShowMat.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/NumberText.h"
#include "output/MatrixSummary.h"

namespace tavrix {

void Show_CoefficientMatrix(const Common& common, ui::Toolkit& ui, int N)
{
    constexpr std::string_view picture = "Picture_ShowMat";
    ui.showWindow("Form_ShowMat");

    // Sixteen shades from white (level 0) to nearly pure red (level 15).
    std::array<ui::Rgb, 16> palette;
    for (int k = 0; k < 16; ++k) palette[k] = matrixLevelColour(k);

    const Matrix& AN = common.AN;
    N = std::clamp(N, 0, std::min(AN.upper(), kStrengthLast));

    double Max = 0;
    double Min = 0;
    for (int I = 1; I <= N; ++I) {
        for (int J = 1; J <= N; ++J) {
            if (AN(I, J) > Max) Max = AN(I, J);
            if (AN(I, J) < Min) Min = AN(I, J);
        }
    }
    // The level follows the magnitude over the full signed range, so an entry
    // and its negative share a colour. A block of zeros has no range and is
    // drawn white throughout.
    const double R = Max - Min;
    auto level = [&](int I, int J) {
        if (R == 0) return 0;
        const double shade = roundHalfEven(std::fabs((AN(I, J) / R) * 15), 0);
        if (!(shade >= 0)) return 0;  // an entry that is not a number
        return static_cast<int>(std::min(shade, 15.0));
    };

    ui.clear(picture);
    ui.scale(picture, 0, 0, N, N);
    for (int I = 1; I <= N; ++I) {
        for (int J = 1; J <= N; ++J) {
            ui.filledBox(picture, static_cast<float>(J - 1), static_cast<float>(I - 1),
                         static_cast<float>(J), static_cast<float>(I), palette[level(I, J)]);
        }
    }
    Show_MatrixSummary(common, ui, N, R);
}

}  // namespace tavrix
