// The labelled pressure plot of the batch front end (--cp-plot): the plot the
// analysis window shows of a press, with the case in its title, for the press
// of the run or for the last angle of a sweep.
#pragma once

#include <optional>
#include <string>

#include "app/Form_TavrixS.h"
#include "output/AnalysisSeries.h"
#include "tools/batch/SweepRun.h"

namespace tavrix {

// -Cp against x/c of the completed press, made with `method` (and, for the
// Hess method, without the trailing-edge condition when noCirculation).
PlotData pressPressurePlot(Form_TavrixS& form, PanelMethod method, bool noCirculation);

// The same for the last angle of the sweep: its one method, or with more than
// one method (--compare) a curve for each. Nothing when the first method has
// no solution at that angle (its refusal has been shown by the sweep).
std::optional<PlotData> sweepPressurePlot(Form_TavrixS& form, const SweepRequest& request);

// Whether the file name asks for an SVG drawing (".svg", any case) rather than
// a PNG picture (".png"); nothing for another extension.
std::optional<bool> plotFileIsSvg(const std::string& file);

}  // namespace tavrix
