// Every control of the program's windows: its object name, kind, window,
// caption or initial text. The Qt windows take their captions from here and
// the headless toolkit its initial state, so the two cannot drift apart.
#pragma once

#include <span>
#include <string_view>

#include "solvers/PanelMethods.h"

namespace ui {

enum class ControlKind {
    TextBox,     // editable text input
    TextOutput,  // text box written by the program
    CheckBox,
    Option,      // option (radio) button; `group` names its exclusive group
    Button,
    List,
    Group,       // frame of controls that can be shown and hidden
    Picture,
    DriveList,
    DirTree,
    FileList,
    MenuEntry,
    Label,
};

struct ControlInfo {
    std::string_view name;
    ControlKind kind;
    std::string_view form;
    std::string_view caption;      // caption, initial text or file pattern
    std::string_view group = {};   // option group, or the frame that holds the control
    bool initiallySelected = false;
};

inline constexpr std::string_view kMainForm = "Form_TavrixS";
inline constexpr std::string_view kKatjoForm = "Form_KATJO";
inline constexpr std::string_view kShowMatForm = "Form_ShowMat";
inline constexpr std::string_view kAboutForm = "Form_About";

inline constexpr std::string_view kMainCaption =
    "Tavrix-S Panel Methods for Single Element Airfoils";
inline constexpr std::string_view kKatjoCaption = "Karman-Trefftz or Joukowsky airfoil";
inline constexpr std::string_view kShowMatCaption = "Coefficients Matrix";
inline constexpr std::string_view kAboutCaption = "About";
inline constexpr std::string_view kMessageTitle = "Tavrix-S";

inline constexpr std::string_view kAboutLines[] = {
    "Tavrix-S", "Potential Flow Calculation Program", "using panel methods",
    "for Single Element Airfoils"};

// Frames of the main window.
inline constexpr std::string_view kFrameAirfoil = "Frame_Airfoil";
inline constexpr std::string_view kFrameFlow = "Frame_FreeFlow";
inline constexpr std::string_view kFrameMethod = "Frame_Method";
inline constexpr std::string_view kFrameOptions = "Frame_Options";
inline constexpr std::string_view kFrameCoefficients = "Frame_Coefficients";
inline constexpr std::string_view kFileBrowser = "Frame_FileBrowser";

inline constexpr ControlInfo kControls[] = {
    // Main window
    {kFrameAirfoil, ControlKind::Group, kMainForm, "Airfoil"},
    {"Option_CIRCLE", ControlKind::Option, kMainForm, "Circle", "Source"},
    {"Option_N0012", ControlKind::Option, kMainForm, "NACA 0012 airfoil", "Source"},
    {"Option_DOSYA", ControlKind::Option, kMainForm, "Read airfoil coordinates from a file", "Source"},
    {"Option_KATJO", ControlKind::Option, kMainForm, "Karman-Trefftz or Joukowsky airfoil", "Source"},
    {"Label_NP", ControlKind::Label, kMainForm, "Number of panel end points ="},
    {"Text_NP", ControlKind::TextBox, kMainForm, "51"},
    {kFileBrowser, ControlKind::Group, kMainForm, ""},
    {"Drive1", ControlKind::DriveList, kMainForm, "", kFileBrowser},
    {"Dir1", ControlKind::DirTree, kMainForm, "", kFileBrowser},
    {"File1", ControlKind::FileList, kMainForm, "*.arf *.dat", kFileBrowser},
    {kFrameFlow, ControlKind::Group, kMainForm, "Free flow conditions"},
    {"Label_AlfaD", ControlKind::Label, kMainForm, "\u03b1 ="},
    {"Text_AlfaD", ControlKind::TextBox, kMainForm, "0"},
    {"Label_AlfaUnit", ControlKind::Label, kMainForm, "(deg)"},
    {"Label_ItaD", ControlKind::Label, kMainForm, "\u03b7 ="},
    {"Text_ItaD", ControlKind::TextBox, kMainForm, "0"},
    {"Label_ItaUnit", ControlKind::Label, kMainForm, "(deg)"},
    {"Label_Compressibility", ControlKind::Label, kMainForm, "Compressibility"},
    {"Label_Moo", ControlKind::Label, kMainForm, "Moo ="},
    {"Text_Moo", ControlKind::TextBox, kMainForm, "0"},
    {kFrameMethod, ControlKind::Group, kMainForm, "Panel method"},
    {tavrix::kPanelMethods[0].option, ControlKind::Option, kMainForm,
     tavrix::kPanelMethods[0].caption, "Method", true},
    {tavrix::kPanelMethods[1].option, ControlKind::Option, kMainForm,
     tavrix::kPanelMethods[1].caption, "Method"},
    {tavrix::kPanelMethods[2].option, ControlKind::Option, kMainForm,
     tavrix::kPanelMethods[2].caption, "Method"},
    {tavrix::kPanelMethods[3].option, ControlKind::Option, kMainForm,
     tavrix::kPanelMethods[3].caption, "Method"},
    {"Command_Calculate", ControlKind::Button, kMainForm, "Calculate velocities and show"},
    {kFrameOptions, ControlKind::Group, kMainForm, "Options"},
    {"Check_WritePanel", ControlKind::CheckBox, kMainForm, "Save panel  properties"},
    {"Check_WriteMat", ControlKind::CheckBox, kMainForm, "Save coefficients matrix"},
    {"Check_WriteSingularities", ControlKind::CheckBox, kMainForm, "Save singularities"},
    {"Check_ShowMat", ControlKind::CheckBox, kMainForm, "Show coefficients matrix"},
    {"Check_Circulation", ControlKind::CheckBox, kMainForm, "No circulation"},
    {kFrameCoefficients, ControlKind::Group, kMainForm, "Aerodynamic Coefficients"},
    {"Label_CL", ControlKind::Label, kMainForm, "CL        ="},
    {"Text_CL", ControlKind::TextOutput, kMainForm, ""},
    {"Label_CM", ControlKind::Label, kMainForm, "CMc/4 ="},
    {"Text_CM", ControlKind::TextOutput, kMainForm, ""},
    {"Picture_Airfoil", ControlKind::Picture, kMainForm, ""},
    {"Picture_PressureDistribution", ControlKind::Picture, kMainForm, ""},
    {"Mn_About", ControlKind::MenuEntry, kMainForm, "About"},
    {"Label_AirfoilInUse", ControlKind::Label, kMainForm, ""},
    {"Text_FilePath", ControlKind::TextBox, kMainForm, "", kFileBrowser},
    {"Command_OpenPath", ControlKind::Button, kMainForm, "Open", kFileBrowser},
    {"Command_CloseBrowser", ControlKind::Button, kMainForm, "Close", kFileBrowser},

    // Karman-Trefftz / Joukowsky window
    {"Frame1", ControlKind::Group, kKatjoForm, "Airfoil characteristics"},
    {"Label_Delta", ControlKind::Label, kKatjoForm, "Thickness ratio   :"},
    {"Label_DeltaSymbol", ControlKind::Label, kKatjoForm, "\u03b4"},
    {"Text_Delta", ControlKind::TextBox, kKatjoForm, "0.10"},
    {"Label_Gamma", ControlKind::Label, kKatjoForm, "Camber ratio       :"},
    {"Label_GammaSymbol", ControlKind::Label, kKatjoForm, "\u03b3"},
    {"Text_Gamma", ControlKind::TextBox, kKatjoForm, "0.00"},
    {"Label_Tau", ControlKind::Label, kKatjoForm, "TE internal angle (deg)    :"},
    {"Label_TauSymbol", ControlKind::Label, kKatjoForm, "\u03c4"},
    {"Text_Tau", ControlKind::TextBox, kKatjoForm, "0"},
    {"Label_xDltc", ControlKind::Label, kKatjoForm, "Max thickness location   :   x   / c"},
    {"Label_xDltcSubscript", ControlKind::Label, kKatjoForm, "\u03b4"},
    {"Text_xDltc", ControlKind::TextBox, kKatjoForm, "0.00"},
    {"Frame2", ControlKind::Group, kKatjoForm, "Transformation parameters"},
    {"Label_F", ControlKind::Label, kKatjoForm, "F ="},
    {"Text_F", ControlKind::TextOutput, kKatjoForm, ""},
    {"Label_G", ControlKind::Label, kKatjoForm, "G ="},
    {"Text_G", ControlKind::TextOutput, kKatjoForm, ""},
    {"Label_m", ControlKind::Label, kKatjoForm, "m ="},
    {"Text_m", ControlKind::TextOutput, kKatjoForm, ""},
    {"Text_Sonuc", ControlKind::TextOutput, kKatjoForm, ""},
    {"Command1", ControlKind::Button, kKatjoForm, "Calculate"},
    {"List1", ControlKind::List, kKatjoForm, ""},

    // Coefficient-matrix window
    {"Picture_ShowMat", ControlKind::Picture, kShowMatForm, ""},
    {"Label_MatrixSystem", ControlKind::Label, kShowMatForm, ""},
    {"Label_MatrixCondition", ControlKind::Label, kShowMatForm, ""},
};

inline constexpr std::span<const ControlInfo> controls() { return kControls; }

inline constexpr const ControlInfo* findControl(std::string_view name)
{
    for (const auto& c : kControls) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

}  // namespace ui
