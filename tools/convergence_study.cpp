// Convergence of the four panel methods towards the exact potential flow of
// two Karman-Trefftz sections, as the number of panel end points grows.
//
// Each case is run as a person runs it: start-up, "Number of panel end
// points", the Karman-Trefftz window with its four inputs and "Calculate",
// α, the method, "Calculate velocities and show". The calculated CL is the
// driver's own force integration of the press (unrounded); the exact CL and
// Cp come from the circle flow carried through the section's map. Prints
// markdown tables on standard output; the result files of the presses go to a
// temporary folder that is removed at the end.
//
//   convergence_study            the full study
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "app/Form_TavrixS.h"
#include "geometry/ExactFlow.h"
#include "solvers/PanelMethods.h"
#include "ui/HeadlessToolkit.h"

namespace {

using namespace tavrix;

struct Section {
    const char* title;
    const char* thickness;
    const char* camber;
    const char* teAngle;
};

constexpr Section kSections[] = {
    {"Joukowsky section, δ = 0.10, γ = 0, τ = 0 (cusped trailing edge)", "0.10", "0.00", "0"},
    {"Karman-Trefftz section, δ = 0.12, γ = 0.04, τ = 10°", "0.12", "0.04", "10"},
};
constexpr int kPointCounts[] = {25, 51, 101, 199};
constexpr const char* kAngles[] = {"0", "5", "10"};
constexpr int kMethodCount = static_cast<int>(std::size(kPanelMethods));

struct Errors {
    double CL = 0;           // calculated minus exact
    double CpAll = 0;        // largest |Cp - Cp exact| over all control points
    double CpInterior = 0;   // the same without the two panels at the trailing edge
};

struct Row {
    const char* alpha;
    int np;
    double exactCL = 0;
    Errors method[kMethodCount];
};

class Study {
public:
    explicit Study(const std::filesystem::path& dir)
    {
        common_.WorkDir = dir;
        form_.Form_Load();
    }

    bool makeSection(const Section& s, int np)
    {
        tk_.type("Text_NP", std::to_string(np));
        tk_.select("Option_KATJO");
        form_.Option_KATJO_Click();
        tk_.type("Text_Delta", s.thickness);
        tk_.type("Text_Gamma", s.camber);
        tk_.type("Text_Tau", s.teAngle);
        tk_.type("Text_xDltc", "0.00");
        return form_.katjo().Command1_Click() && common_.NP == np;
    }

    bool press(const PanelMethodInfo& m, const char* alpha, Errors& e, double& exactCL)
    {
        tk_.type("Text_AlfaD", alpha);
        tk_.select(m.option);
        form_.Command_Calculate_Click();
        if (!form_.lastPressCompleted()) return false;
        const KarmanTrefftzFlow flow(*form_.katjo().lastSection(), common_.AlfaD);
        const auto panels = static_cast<std::size_t>(common_.NPanel);
        const std::vector<double> cuExact =
            exactCu(std::span<const double>(common_.XM).subspan(1, panels),
                    std::span<const double>(common_.YM).subspan(1, panels), flow);
        exactCL = flow.CL();
        e.CL = IntegrateForces(common_).CL - exactCL;
        e.CpAll = 0;
        e.CpInterior = 0;
        for (int i = 1; i <= common_.NPanel; ++i) {
            const double d = std::fabs(common_.Cu[i] - cuExact[static_cast<std::size_t>(i - 1)]);
            e.CpAll = std::max(e.CpAll, d);
            if (i != 1 && i != common_.NPanel) e.CpInterior = std::max(e.CpInterior, d);
        }
        return true;
    }

private:
    ui::HeadlessToolkit tk_;
    Common common_;
    Form_TavrixS form_{common_, tk_};
};

void printTable(const std::vector<Row>& rows, const char* heading, bool withExact,
                double Errors::*field, const char* format)
{
    std::printf("\n%s\n\n| α (deg) | NP |%s", heading, withExact ? " CL exact |" : "");
    for (const PanelMethodInfo& m : kPanelMethods) std::printf(" %s |", m.name.data());
    std::printf("\n|---:|---:|%s", withExact ? "---:|" : "");
    for (int k = 0; k < kMethodCount; ++k) std::printf("---:|");
    std::printf("\n");
    for (const Row& r : rows) {
        std::printf("| %s | %d |", r.alpha, r.np);
        if (withExact) std::printf(" %.4f |", r.exactCL);
        for (const Errors& e : r.method) {
            std::printf(" ");
            std::printf(format, e.*field);
            std::printf(" |");
        }
        std::printf("\n");
    }
}

}  // namespace

int main()
{
    std::random_device rd;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tavrix-convergence-" + std::to_string(rd()));
    std::filesystem::create_directories(dir);

    int status = 0;
    for (const Section& section : kSections) {
        std::vector<Row> rows;
        for (const char* alpha : kAngles) {
            for (int np : kPointCounts) {
                Row row{alpha, np, 0, {}};
                Study study(dir);
                if (!study.makeSection(section, np)) {
                    std::fprintf(stderr, "no section for %s at NP = %d\n", section.title, np);
                    status = 1;
                    continue;
                }
                for (int k = 0; k < kMethodCount; ++k) {
                    if (!study.press(kPanelMethods[k], alpha, row.method[k], row.exactCL)) {
                        std::fprintf(stderr, "press refused: %s, NP = %d\n", kPanelMethods[k].name.data(), np);
                        status = 1;
                    }
                }
                rows.push_back(row);
            }
        }
        std::printf("\n### %s\n", section.title);
        printTable(rows, "CL error (calculated − exact):", true, &Errors::CL, "%+.5f");
        printTable(rows, "Largest |Cp − Cp exact| over all control points:", false,
                   &Errors::CpAll, "%.4f");
        printTable(rows,
                   "Largest |Cp − Cp exact| without the two panels at the trailing edge:", false,
                   &Errors::CpInterior, "%.4f");
    }

    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return status;
}
