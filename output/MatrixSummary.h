// What the coefficient-matrix window tells beside its picture: the method and
// the size of the system, its condition number, what each of the 16 colour
// levels stands for, and which row and column numbers to write along the edges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/Module_Common.h"
#include "ui/Drawing.h"
#include "ui/Toolkit.h"

namespace tavrix {

inline constexpr int kMatrixLevels = 16;

// Colour of level k: white at 0, nearly pure red at 15.
inline ui::Rgb matrixLevelColour(int k) { return ui::Rgb{255, 255 - 16 * k, 255 - 16 * k}; }

// Level k holds the entries whose magnitude, over the range R, rounds to k of
// 15ths: from (k - 1/2) R / 15 to (k + 1/2) R / 15, level 0 from 0.
// "0.0733 to 0.22"; with R = 0 every level reads "0".
std::string matrixLevelText(int k, double R, char decimalSeparator);

// "Condition number (1-norm) 3.2E+03: up to 3 of 16 digits may be lost", or
// the words for a singular matrix or one that holds entries not finite.
std::string conditionText(double kappa, char decimalSeparator);

// "Hess Method: 51 unknowns; the picture shows rows and columns 1 to 50".
std::string systemText(std::string_view method, int unknowns, int shown);

// Row and column numbers for an N x N picture: 1, then multiples of a round
// step (1, 2, 5, 10, 20, 50 ...), at most `most` of them, and N itself when it
// is not too close to the last multiple.
std::vector<int> matrixTickNumbers(int N, int most);

// Sets the window's texts for the system in AN, after its picture of the
// leading N x N block with the range R was painted. Reads which method option
// is selected; the system is the one the method dimensioned AN for.
void Show_MatrixSummary(const Common& common, ui::Toolkit& ui, int N, double R);

}  // namespace tavrix
