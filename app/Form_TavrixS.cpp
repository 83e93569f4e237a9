#include "app/Form_TavrixS.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/AirfoilInUse.h"
#include "app/ContourTables.h"
#include "app/NumberText.h"
#include "geometry/AirfoilFile.h"
#include "geometry/Generators.h"
#include "output/Plots.h"
#include "output/ResultFiles.h"
#include "app/PressSolvers.h"
#include "solvers/PanelGeometry.h"
#include "ui/Controls.h"

namespace tavrix {

namespace {

constexpr const char* kNoAirfoil = "Calculate airfoil coordinates";
constexpr const char* kPointCountRefusal =
    "Number of panel end points must be a whole number from 2 to 1000";
constexpr const char* kKatjoPointCountRefusal =
    "Number of panel end points must be a whole number from 3 to 400 for this airfoil";
constexpr const char* kNoFiniteResult = kNoFiniteResultMessage;

}  // namespace

std::vector<double> contourX(const Common& c)
{
    const int n = std::clamp(c.NP, 0, kTableLast);
    return std::vector<double>(c.XCoord.begin() + 1, c.XCoord.begin() + 1 + n);
}

std::vector<double> contourY(const Common& c)
{
    const int n = std::clamp(c.NP, 0, kTableLast);
    return std::vector<double>(c.YCoord.begin() + 1, c.YCoord.begin() + 1 + n);
}

void BuildPanels(Common& c, double ItaD)
{
    // Coincident points give the arithmetic as it falls (a press refuses
    // such a contour before it builds panels).
    fillPanelTables(c, panelGeometry(contourX(c), contourY(c), ItaD));
}

std::string FlowRefusal(const Common& c, double ItaD, double Moo)
{
    if (!machAllowed(Moo)) return kMachMessage;
    const std::vector<double> x = contourX(c), y = contourY(c);
    if (const int panel = firstDegeneratePanel(x, y, ItaD); panel != 0) {
        return "Panel end points " + std::to_string(panel) + " and " +
               std::to_string(panel + 1) + " coincide";
    }
    return {};
}

Coefficients IntegrateForces(const Common& c)
{
    return integrateForces(c.NPanel, c.XM.data(), c.YM.data(), c.DS.data(), c.CosDelta.data(),
                           c.SinDelta.data(), c.Cu.data(), c.CosAlfa, c.SinAlfa);
}

Form_TavrixS::Form_TavrixS(Common& common, ui::Toolkit& ui) : common_(common), ui_(ui) {}

void Form_TavrixS::Form_Load()
{
    SetConstants(common_);
    common_.FilesNotWritten.clear();
    EmptyReportFile(common_, ui_);
    showAirfoilInUse();
}

std::optional<int> Form_TavrixS::readPointCount(int lo, int hi, std::string_view refusal)
{
    const std::string text = ui_.text("Text_NP");
    const LeadingNumber n = readLeadingNumber(text);
    if (n.tooLarge) {
        ui_.message(numberTooLargeMessage(text));
        return std::nullopt;
    }
    if (n.value != std::floor(n.value) || n.value < lo || n.value > hi) {
        ui_.message(refusal);
        return std::nullopt;
    }
    return static_cast<int>(n.value);
}

void Form_TavrixS::useGenerator(Contour (*make)(int NP), ContourSource source)
{
    ui_.setVisible(ui::kFileBrowser, false);
    const std::optional<int> np = readPointCount(2, kTableLast, kPointCountRefusal);
    if (np) {
        // The generators give the NP points asked for, which the tables hold.
        [[maybe_unused]] const bool shown = showContourInUse(common_, ui_, make(*np), source);
    }
    showAirfoilInUse();
}

void Form_TavrixS::Option_CIRCLE_Click()
{
    useGenerator(circleContour, ContourSource::Circle);
}

void Form_TavrixS::Option_N0012_Click()
{
    useGenerator(naca0012Contour, ContourSource::Naca0012);
}

void Form_TavrixS::Option_DOSYA_Click()
{
    // The contour in use keeps its count until a file has been read.
    ui_.setVisible(ui::kFileBrowser, true);
}

void Form_TavrixS::Option_KATJO_Click()
{
    ui_.setVisible(ui::kFileBrowser, false);
    const std::optional<int> np = readPointCount(3, 2 * Form_KATJO::kStationLast,
                                                 kKatjoPointCountRefusal);
    if (!np) {
        showAirfoilInUse();
        return;
    }
    katjo().setPointCount(*np);
    ui_.showWindow(ui::kKatjoForm);
}

void Form_TavrixS::Drive1_Change() { ui_.setPath("Dir1", ui_.path("Drive1")); }

void Form_TavrixS::Dir1_Change() { ui_.setPath("File1", ui_.path("Dir1")); }

void Form_TavrixS::File1_Click()
{
    const std::string name = ui_.fileName("File1");
    if (name.empty()) return;
    std::string dir = ui_.path("File1");
    if (!dir.empty() && dir.back() != '/') dir += '/';
    openAirfoilFile(dir + name);
}

bool Form_TavrixS::openAirfoilFile(const std::string& path)
{
    // Any layout; on a refusal the browser stays open for another choice.
    const bool read = airfoilMenu().openFile(path);
    if (read) ui_.setVisible(ui::kFileBrowser, false);
    return read;
}

void Form_TavrixS::Command_OpenPath_Click()
{
    const std::string typed = ui_.text("Text_FilePath");
    std::error_code ec;
    if (!typed.empty() && std::filesystem::is_directory(std::filesystem::path(typed), ec)) {
        ui_.setPath("Dir1", typed);
        Dir1_Change();
        return;
    }
    openAirfoilFile(typed);
}

void Form_TavrixS::Command_CloseBrowser_Click()
{
    ui_.setVisible(ui::kFileBrowser, false);
    showAirfoilInUse();
}

void Form_TavrixS::showAirfoilInUse()
{
    ui_.setText("Label_AirfoilInUse", airfoilInUseText(common_));
    const std::string_view inUse =
        common_.AirfoilReady ? sourceOption(common_.AirfoilSource) : std::string_view();
    if (!inUse.empty()) {
        ui_.setSelected(inUse, true);
        return;
    }
    for (std::string_view option : kSourceOptions) ui_.setSelected(option, false);
}

void Form_TavrixS::redrawPlots()
{
    if (common_.AirfoilReady) Show_Airfoil(common_, ui_, common_.XCoord, common_.YCoord);
    if (lastPlot_) Show_PressurePlot(common_, ui_, *lastPlot_);
}

void Form_TavrixS::Mn_About_Click() { ui_.showWindow(ui::kAboutForm); }

AirfoilMenu& Form_TavrixS::airfoilMenu()
{
    if (!airfoilMenu_) airfoilMenu_ = std::make_unique<AirfoilMenu>(*this);
    return *airfoilMenu_;
}

Form_KATJO& Form_TavrixS::katjo()
{
    if (!katjo_) {
        katjo_ = std::make_unique<Form_KATJO>(common_, ui_);
        katjo_->setAfterCalculate([this] { showAirfoilInUse(); });
    }
    return *katjo_;
}

void Form_TavrixS::Command_Calculate_Click()
{
    Common& c = common_;
    lastPressCompleted_ = false;
    c.FilesNotWritten.clear();
    if (!c.AirfoilReady) {
        ui_.message(kNoAirfoil);
        return;
    }

    // The check boxes and the method, read once; refusals come before
    // anything is changed or written.
    const ReportOptions options = readReportOptions(ui_);
    const std::optional<PanelMethod> method = selectedMethod(ui_);
    if (!method) return;
    if (const std::optional<Refusal> refusal = capacityRefusal(*method, c.NP)) {
        if (refusal->kind == Refusal::Kind::Capacity) ui_.message(refusal->message);
        return;
    }
    double inputs[3];
    const char* boxes[3] = {"Text_AlfaD", "Text_ItaD", "Text_Moo"};
    for (int k = 0; k < 3; ++k) {
        const std::string text = ui_.text(boxes[k]);
        const LeadingNumber n = readLeadingNumber(text);
        if (n.tooLarge) {
            ui_.message(numberTooLargeMessage(text));
            return;
        }
        inputs[k] = n.value;
    }
    const double ItaD = inputs[1];
    const double Moo = inputs[2];
    if (!machAllowed(Moo)) {
        ui_.message(kMachMessage);
        return;
    }
    const Outcome<PanelGeometry> panels = buildPanelGeometry(contourX(c), contourY(c), ItaD);
    if (!panels) {
        ui_.message(panels.refusal().message);
        return;
    }

    c.AlfaD = inputs[0];
    const double a = c.AlfaD * c.DegToRad;
    c.CosAlfa = std::cos(a);
    c.SinAlfa = std::sin(a);

    fillPanelTables(c, *panels);
    if (options.writePanel) WritePanelTable(c, ui_);

    // A zero pivot in the elimination ends the press: there are no strengths
    // from which speeds could be derived. The operating point carries the
    // Prandtl-Glauert correction when a Mach number is given.
    FlowConditions conditions;
    conditions.mach = Moo;
    const std::optional<OperatingPoint> point =
        solveForPress(c, ui_, *method, *panels, options, conditions);
    if (!point) return;

    // A degenerate contour can leave overflowed speeds: like a zero pivot,
    // nothing shown or written may come from them.
    if (!std::isfinite(point->CL) || !std::isfinite(point->CD) || !std::isfinite(point->CM)) {
        ui_.message(kNoFiniteResult);
        return;
    }

    // Cu = Vt^2 = 1 - Cp, then the corrected 1 - Cp when a Mach number is given.
    const auto panelCount = static_cast<std::size_t>(c.NPanel);
    for (std::size_t i = 0; i < panelCount; ++i) c.Cu[i + 1] = point->CuIncompressible[i];
    PressurePlot plot;
    plot.NPanel = c.NPanel;
    plot.XM = c.XM;
    plot.Cu = c.Cu;
    if (Moo != 0) {
        for (std::size_t i = 0; i < panelCount; ++i) c.Cu[i + 1] = point->Cu[i];
        plot.compressible = true;
        plot.CuCompressible = c.Cu;
    }

    Show_PressurePlot(c, ui_, plot);
    lastPlot_ = plot;

    ui_.setText("Text_CL", generalForm(roundHalfEven(point->CL, 4), c.DecimalSeparator));
    ui_.setText("Text_CM", generalForm(roundHalfEven(point->CM, 4), c.DecimalSeparator));

    WriteResultsBlock(c, ui_, point->CD, point->CL, point->CM);
    WriteColumnFile(c, ui_, point->CL, point->CM);
    lastPressCompleted_ = true;
}

bool Form_TavrixS::fire(std::string_view handler)
{
    struct Entry {
        std::string_view name;
        void (Form_TavrixS::*call)();
    };
    static constexpr Entry kHandlers[] = {
        {"Form_Load", &Form_TavrixS::Form_Load},
        {"Option_CIRCLE_Click", &Form_TavrixS::Option_CIRCLE_Click},
        {"Option_N0012_Click", &Form_TavrixS::Option_N0012_Click},
        {"Option_DOSYA_Click", &Form_TavrixS::Option_DOSYA_Click},
        {"Option_KATJO_Click", &Form_TavrixS::Option_KATJO_Click},
        {"Drive1_Change", &Form_TavrixS::Drive1_Change},
        {"Dir1_Change", &Form_TavrixS::Dir1_Change},
        {"File1_Click", &Form_TavrixS::File1_Click},
        {"Mn_About_Click", &Form_TavrixS::Mn_About_Click},
        {"Command_Calculate_Click", &Form_TavrixS::Command_Calculate_Click},
        {"Command_CloseBrowser_Click", &Form_TavrixS::Command_CloseBrowser_Click},
        {"Command_OpenPath_Click", &Form_TavrixS::Command_OpenPath_Click},
    };
    for (const auto& e : kHandlers) {
        if (e.name == handler) {
            (this->*e.call)();
            return true;
        }
    }
    return false;
}

}  // namespace tavrix
