// The main window's logic: start-up, the airfoil source options, the file
// browser, the About entry and the calculation driver. The window itself (Qt,
// or the headless toolkit) forwards its events to these handlers.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AirfoilMenu.h"
#include "app/Module_Common.h"
#include "geometry/Form_KATJO.h"
#include "output/Plots.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Rotates the contour by eta (degrees, nose up for eta > 0) into X, Y and builds
// the mid points, lengths and directions of panels 1..NPanel.
void BuildPanels(Common& common, double ItaD);

// The refusal of a press with this rotation (degrees) and Mach number, in the
// press's order: a Mach number of 1 or more, then the first two end points
// that coincide after the rotation. Empty when the flow can be calculated.
std::string FlowRefusal(const Common& common, double ItaD, double Moo);

// Integrates the state's Cu over its panels: pressure force in body axes,
// moment about (0.25, 0), then drag and lift in the wind axes of CosAlfa and
// SinAlfa.
Coefficients IntegrateForces(const Common& common);

// The contour in use, points 1..NP of XCoord and YCoord.
std::vector<double> contourX(const Common& common);
std::vector<double> contourY(const Common& common);

class Form_TavrixS {
public:
    Form_TavrixS(Common& common, ui::Toolkit& ui);

    void Form_Load();

    void Option_CIRCLE_Click();
    void Option_N0012_Click();
    void Option_DOSYA_Click();
    void Option_KATJO_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Mn_About_Click();
    void Command_Calculate_Click();

    // Shows which contour is in use (its name and point count) and selects the
    // option button of its source. Every handler that may change the contour
    // calls it, whether the change was made or refused.
    void showAirfoilInUse();

    // File browser: "Close" (and Escape) hides it; "Open" reads the path typed
    // into Text_FilePath, or moves the browser to it when it names a folder.
    void Command_CloseBrowser_Click();
    void Command_OpenPath_Click();
    // Reads the coordinate file at `path` (named in any message as given) as
    // a click on it in the file list does. Returns true when it became the
    // contour in use.
    bool openAirfoilFile(const std::string& path);

    // Draws both plots again at the boxes' present sizes: the contour in use
    // and the pressure distribution of the last completed press.
    void redrawPlots();

    // Dispatches an event by the name of its handler ("Command_Calculate_Click").
    // Returns false for an unknown name.
    bool fire(std::string_view handler);

    // The Karman-Trefftz window's logic, created on first use.
    Form_KATJO& katjo();
    bool katjoCreated() const { return katjo_ != nullptr; }

    // The airfoil menu's logic (files of every layout, NACA sections,
    // repanelling, saving the contour), created on first use.
    AirfoilMenu& airfoilMenu();

    // Whether the last press of "Calculate velocities and show" ran to the end
    // (not refused, not ended by a zero pivot).
    bool lastPressCompleted() const { return lastPressCompleted_; }

    Common& common() { return common_; }
    ui::Toolkit& toolkit() { return ui_; }

private:
    // NP from Text_NP for a source option; refuses a count outside lo..hi.
    std::optional<int> readPointCount(int lo, int hi, std::string_view refusal);
    void useGenerator(Contour (*make)(int NP), ContourSource source);

    Common& common_;
    ui::Toolkit& ui_;
    std::unique_ptr<Form_KATJO> katjo_;
    std::unique_ptr<AirfoilMenu> airfoilMenu_;
    bool lastPressCompleted_ = false;
    std::optional<PressurePlot> lastPlot_;
};

}  // namespace tavrix
