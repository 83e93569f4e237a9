// The Karman-Trefftz / Joukowsky window: reads the wanted characteristics
// from its boxes, has the section designed, lists the iteration's progress,
// shows the transformation parameters and hands the contour to the main
// window.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/Module_Common.h"
#include "geometry/KarmanTrefftz.h"
#include "ui/Toolkit.h"

namespace tavrix {

class Form_KATJO {
public:
    static constexpr int kStationLast = KarmanTrefftzIteration::kStationLast;

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

private:
    bool calculate();
    bool refuse(const std::string& text);

    Common& common_;
    ui::Toolkit& ui_;
    int pointCount_ = 51;
    std::optional<KarmanTrefftzSection> lastSection_;
    std::function<void()> afterCalculate_;
};

}  // namespace tavrix
