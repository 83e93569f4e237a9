#include "output/MatrixSummary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "solvers/ConditionNumber.h"
#include "solvers/Sweep.h"
#include "ui/Controls.h"

namespace tavrix {

namespace {

std::string threeDigits(double v, char decimalSeparator)
{
    if (v == 0) return "0";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3G", v);
    std::string out(buffer);
    for (char& c : out)
        if (c == '.') c = decimalSeparator;
    return out;
}

}  // namespace

std::string matrixLevelText(int k, double R, char sep)
{
    if (R == 0) return "0";
    const double low = k == 0 ? 0.0 : (k - 0.5) * R / 15;
    const double high = (k + 0.5) * R / 15;
    return threeDigits(low, sep) + " to " + threeDigits(high, sep);
}

std::string conditionText(double kappa, char sep)
{
    if (std::isnan(kappa))
        return "Condition number: not known, the matrix holds entries that are not numbers";
    if (std::isinf(kappa)) return "Condition number: infinite, the matrix is singular";
    const double digits = std::clamp(std::floor(std::log10(std::max(kappa, 1.0))), 0.0, 16.0);
    return "Condition number (1-norm) " + threeDigits(kappa, sep) + ": up to " +
           std::to_string(static_cast<int>(digits)) + " of 16 digits may be lost";
}

std::string systemText(std::string_view method, int unknowns, int shown)
{
    std::string text(method);
    if (!text.empty()) text += ": ";
    text += std::to_string(unknowns) + " unknowns; the picture shows rows and columns 1 to " +
            std::to_string(shown);
    return text;
}

std::vector<int> matrixTickNumbers(int N, int most)
{
    std::vector<int> ticks;
    if (N < 1) return ticks;
    most = std::max(most, 2);
    int step = 1;
    for (int decade = 1;; decade *= 10) {
        bool found = false;
        for (int m : {1, 2, 5}) {
            if (N / (m * decade) + 1 <= most) {
                step = m * decade;
                found = true;
                break;
            }
        }
        if (found) break;
    }
    ticks.push_back(1);
    for (int t = step; t <= N; t += step)
        if (t > 1) ticks.push_back(t);
    if (ticks.back() != N && N - ticks.back() > step / 2) ticks.push_back(N);
    return ticks;
}

void Show_MatrixSummary(const Common& common, ui::Toolkit& ui, int N, double R)
{
    const char sep = common.DecimalSeparator;
    std::string_view method;
    for (PanelMethod m : kAllMethods) {
        if (ui.isSelected(methodOption(m))) {
            method = ui::findControl(methodOption(m))->caption;
            break;
        }
    }
    // Every method dimensions AN for its n unknowns and the right-hand side.
    const int unknowns = std::min(common.AN.upper() - 1, kStrengthLast);
    ui.setText("Label_MatrixSystem", systemText(method, unknowns, N));
    ui.setText("Label_MatrixCondition",
               conditionText(conditionNumber1(common.AN, unknowns), sep));
    for (int k = 0; k < kMatrixLevels; ++k)
        ui.setText("Label_MatrixLevel" + std::to_string(k), matrixLevelText(k, R, sep));
}

}  // namespace tavrix
