// The airfoil sources of the airfoil menu, driven from the command line of
// tavrixs-batch: NACA sections, files of every layout, repanelling, saving
// the contour in the Selig layout.
#pragma once

#include <string>

#include "app/Form_TavrixS.h"

namespace tavrix {

// --naca DIGITS [--open-te]: the section with the count typed in Text_NP.
bool runNacaSource(Form_TavrixS& form, const std::string& designation, bool openTrailingEdge);

// --file PATH --repanel N: the file's points redistributed before use, so a
// file of more points than the tables hold can be read.
bool runRepanelledFile(Form_TavrixS& form, const std::string& path, const std::string& count);

// --repanel N after any other source.
bool runRepanel(Form_TavrixS& form, const std::string& count);

// --save-contour FILE: the contour in use in the Selig layout.
bool runSaveContour(Form_TavrixS& form, const std::string& file);

}  // namespace tavrix
