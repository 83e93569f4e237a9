#include "geometry/Form_KATJO.h"

#include <string_view>

#include "app/ContourTables.h"
#include "app/NumberText.h"
#include "output/Plots.h"

namespace tavrix {

namespace {

constexpr std::string_view kList = "List1";

}  // namespace

bool Form_KATJO::refuse(const std::string& text)
{
    ui_.message(text);
    return false;
}

bool Form_KATJO::Command1_Click()
{
    const bool made = calculate();
    if (afterCalculate_) afterCalculate_();
    return made;
}

bool Form_KATJO::calculate()
{
    constexpr std::string_view kInputs[] = {"Text_Delta", "Text_Gamma", "Text_Tau", "Text_xDltc"};
    double inputs[4] = {};
    for (int k = 0; k < 4; ++k) {
        const std::string text = ui_.text(kInputs[k]);
        const LeadingNumber number = readLeadingNumber(text);
        if (number.tooLarge) return refuse(numberTooLargeMessage(text));
        inputs[k] = number.value;
    }
    const char sep = common_.DecimalSeparator;
    KarmanTrefftzDesign design =
        designKarmanTrefftz({inputs[0], inputs[1], inputs[2], inputs[3], pointCount_, sep});

    // A refusal after the iterations keeps their lines in view.
    if (!design.lines.empty()) {
        ui_.listClear(kList);
        for (const std::string& line : design.lines) ui_.listAdd(kList, line);
    }
    if (design.refusal) return refuse(*design.refusal);

    const KarmanTrefftzSection& s = design.section;
    const bool joukowsky = design.joukowsky();
    design.contour.name = std::string(joukowsky ? "Joukowsky" : "Karman-Trefftz") +
                          " section \u03b4 = " + generalForm(inputs[0], sep) + ", \u03b3 = " +
                          generalForm(inputs[1], sep) + ", \u03c4 = " +
                          generalForm(inputs[2], sep) + "\u00b0";
    if (!setContourInUse(common_, design.contour, ContourSource::KarmanTrefftz))
        return refuse("No section found for these characteristics");
    ui_.setText("Text_Sonuc", joukowsky ? "JOUKOWSKY PROFILI" : "KARMAN-TREFFTZ PROFILI");
    ui_.setText("Text_F", generalForm(roundHalfEven(s.F, 5), sep));
    ui_.setText("Text_G", generalForm(roundHalfEven(s.G, 5), sep));
    ui_.setText("Text_m", generalForm(roundHalfEven(s.m, 5), sep));
    lastSection_ = s;
    Show_Airfoil(common_, ui_, common_.XCoord, common_.YCoord);
    common_.AirfoilReady = true;
    return true;
}

}  // namespace tavrix
