#include "output/ResultFiles.h"

#include "output/PrintFile.h"

namespace tavrix {

void EmptyReportFile(const Common& c, ui::Toolkit& ui)
{
    writeSection(c, ui, kReportFile, PrintSection(c.DecimalSeparator), FileMode::Replace);
}

void WritePanelTable(const Common& c, ui::Toolkit& ui)
{
    PrintSection s(c.DecimalSeparator);
    s.text(" Panel properties").endLine();
    s.emptyLine();
    s.text("  I       X        Y        XM       YM      DS     CosDelta     SinDelta    d")
        .endLine();
    s.emptyLine();
    for (int i = 1; i <= c.NPanel; ++i) {
        s.text("  ").format(i, Pattern::Index);
        for (const Table* column : {&c.X, &c.Y, &c.XM, &c.YM, &c.DS, &c.CosDelta, &c.SinDelta})
            s.text("    ").format((*column)[i], Pattern::FourDecimals);
        s.endLine();
    }
    writeSection(c, ui, kReportFile, s, FileMode::Append);
}

void WriteResultsBlock(const Common& c, ui::Toolkit& ui, double CD, double CL, double CM)
{
    PrintSection s(c.DecimalSeparator);
    s.emptyLine().emptyLine();
    s.text("Alfa = ").number(roundHalfEven(c.AlfaD, 1)).endLine();
    s.emptyLine();
    s.text(" I    X      Y     Cu").endLine();
    s.emptyLine();
    for (int i = 1; i <= c.NPanel; ++i) {
        s.format(i, Pattern::Index)
            .text("  ")
            .format(c.XM[i], Pattern::FiveDecimals)
            .text("  ")
            .format(c.YM[i], Pattern::FiveDecimals)
            .text("  ")
            .format(c.Cu[i], Pattern::FiveDecimals)
            .endLine();
    }
    s.emptyLine();
    s.text("   CD = ")
        .number(roundHalfEven(CD, 4))
        .text("   CL = ")
        .number(roundHalfEven(CL, 4))
        .text("   Cm c/4 = ")
        .number(roundHalfEven(CM, 4))
        .endLine();
    writeSection(c, ui, kReportFile, s, FileMode::Append);
}

void WriteColumnFile(const Common& c, ui::Toolkit& ui, double CL, double CM)
{
    PrintSection s(c.DecimalSeparator);
    for (int i = 1; i <= c.NPanel; ++i) s.number(c.XM[i]).zone().number(c.Cu[i]).endLine();
    s.number(CL).zone().number(CM).endLine();
    writeSection(c, ui, kColumnFile, s, FileMode::Replace);
}

}  // namespace tavrix
