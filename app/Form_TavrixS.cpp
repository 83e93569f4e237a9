#include "app/Form_TavrixS.h"

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
#include "solvers/Capacity.h"
#include "solvers/Module_HESS.h"
#include "solvers/Module_KENN.h"
#include "solvers/Module_Soinne.h"
#include "solvers/Module_VORPAN.h"
#include "ui/Controls.h"

namespace tavrix {

namespace {

constexpr const char* kNoAirfoil = "Calculate airfoil coordinates";
constexpr const char* kPointCountRefusal =
    "Number of panel end points must be a whole number from 2 to 1000";
constexpr const char* kKatjoPointCountRefusal =
    "Number of panel end points must be a whole number from 3 to 400 for this airfoil";
constexpr const char* kMachRefusal = "The free-stream Mach number must be less than 1";
constexpr const char* kNoFiniteResult = "The calculation gave no finite result for this contour";

// Contour point i turned clockwise by the angle whose cosine and sine are
// ce and se: a positive eta raises the nose.
void rotatedPoint(const Common& c, int i, double ce, double se, double& x, double& y)
{
    x = c.XCoord[i] * ce + c.YCoord[i] * se;
    y = c.YCoord[i] * ce - c.XCoord[i] * se;
}

// First panel (1-based) whose two end points coincide after the rotation, or 0.
int firstDegeneratePanel(const Common& c, double ItaD)
{
    const double e = c.DegToRad * ItaD;
    const double ce = std::cos(e), se = std::sin(e);
    double x0, y0;
    rotatedPoint(c, 1, ce, se, x0, y0);
    for (int i = 1; i <= c.NPanel; ++i) {
        double x1, y1;
        rotatedPoint(c, i + 1, ce, se, x1, y1);
        const double dx = x1 - x0, dy = y1 - y0;
        if (std::sqrt(dx * dx + dy * dy) == 0) return i;
        x0 = x1;
        y0 = y1;
    }
    return 0;
}

}  // namespace

void BuildPanels(Common& c, double ItaD)
{
    const double e = c.DegToRad * ItaD;
    const double ce = std::cos(e), se = std::sin(e);
    for (int i = 1; i <= c.NP; ++i) rotatedPoint(c, i, ce, se, c.X[i], c.Y[i]);
    for (int i = 1; i <= c.NPanel; ++i) {
        c.XM[i] = (c.X[i] + c.X[i + 1]) / 2;
        c.YM[i] = (c.Y[i] + c.Y[i + 1]) / 2;
        const double dx = c.X[i + 1] - c.X[i];
        const double dy = c.Y[i + 1] - c.Y[i];
        c.DS[i] = std::sqrt(dx * dx + dy * dy);
        c.CosDelta[i] = dx / c.DS[i];
        c.SinDelta[i] = dy / c.DS[i];
    }
}

std::string FlowRefusal(const Common& c, double ItaD, double Moo)
{
    if (std::fabs(Moo) >= 1) return kMachRefusal;
    if (const int panel = firstDegeneratePanel(c, ItaD); panel != 0) {
        return "Panel end points " + std::to_string(panel) + " and " +
               std::to_string(panel + 1) + " coincide";
    }
    return {};
}

Coefficients IntegrateForces(const Common& c)
{
    // Cu = 1 - Cp stands in for -Cp: on a closed contour the constant adds
    // nothing to the force or the moment.
    double Cx = 0, Cy = 0, CM = 0;
    for (int i = 1; i <= c.NPanel; ++i) {
        const double f = c.Cu[i] * c.DS[i];
        const double fx = c.SinDelta[i] * f;
        const double fy = c.CosDelta[i] * f;
        Cx = Cx - fx;
        Cy = Cy + fy;
        CM = (CM - fy * (c.XM[i] - 0.25)) - fx * c.YM[i];
    }
    Coefficients k;
    k.CD = c.CosAlfa * Cx + c.SinAlfa * Cy;
    k.CL = c.CosAlfa * Cy - c.SinAlfa * Cx;
    k.CM = CM;
    return k;
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

    // Refusals come before anything is changed or written.
    const bool soinne = ui_.isSelected("Option_Soinne");
    if (!systemFits(c, ui_, soinne ? kMaxPointsSoinne : kMaxPointsPerSystem)) return;
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
    if (const std::string refusal = FlowRefusal(c, ItaD, Moo); !refusal.empty()) {
        ui_.message(refusal);
        return;
    }

    c.AlfaD = inputs[0];
    const double a = c.AlfaD * c.DegToRad;
    c.CosAlfa = std::cos(a);
    c.SinAlfa = std::sin(a);

    BuildPanels(c, ItaD);
    if (ui_.value("Check_WritePanel") == 1) WritePanelTable(c, ui_);

    // A zero pivot in the elimination ends the press: there are no strengths
    // from which speeds could be derived.
    bool solved = true;
    if (ui_.isSelected("Option_HESS")) solved = HESS_Solve(c, ui_);
    if (ui_.isSelected("Option_VORPAN")) solved = VORPAN_Solve(c, ui_);
    if (ui_.isSelected("Option_KENN")) solved = KENN_Solve(c, ui_);
    if (ui_.isSelected("Option_Soinne")) solved = Soinne_Solve(c, ui_);
    if (!solved) return;

    const Table previousCu = c.Cu;
    for (int i = 1; i <= c.NPanel; ++i) c.Cu[i] = c.Vt[i] * c.Vt[i];
    PressurePlot plot;
    plot.NPanel = c.NPanel;
    plot.XM = c.XM;
    plot.Cu = c.Cu;

    if (Moo != 0) {
        // Prandtl-Glauert: the compressible Cp is the incompressible one over beta.
        const double Beta = std::sqrt(1 - Moo * Moo);
        for (int i = 1; i <= c.NPanel; ++i) c.Cu[i] = 1 - (1 - c.Cu[i]) / Beta;
        plot.compressible = true;
        plot.CuCompressible = c.Cu;
    }

    const Coefficients k = IntegrateForces(c);
    // A degenerate contour can leave overflowed speeds: like a zero pivot,
    // nothing shown or written may come from them.
    if (!std::isfinite(k.CL) || !std::isfinite(k.CD) || !std::isfinite(k.CM)) {
        c.Cu = previousCu;
        ui_.message(kNoFiniteResult);
        return;
    }
    Show_PressurePlot(c, ui_, plot);
    lastPlot_ = plot;

    ui_.setText("Text_CL", generalForm(roundHalfEven(k.CL, 4), c.DecimalSeparator));
    ui_.setText("Text_CM", generalForm(roundHalfEven(k.CM, 4), c.DecimalSeparator));

    WriteResultsBlock(c, ui_, k.CD, k.CL, k.CM);
    WriteColumnFile(c, ui_, k.CL, k.CM);
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
