// Set-up shared by the solver tests: a state with its constants, a contour
// from one of the built-in generators turned into panels, a scratch working
// directory, and a toolkit that keeps a copy of the system as the matrix view
// sees it, that is as assembled, before the elimination.
#pragma once

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "app/PressSolvers.h"
#include "app/ContourTables.h"
#include "app/Form_TavrixS.h"
#include "app/Module_Common.h"
#include "geometry/Generators.h"
#include "support/Session.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix::testing {

// A cambered Karman-Trefftz section with a finite trailing-edge angle, from
// the window's four inputs: every method sees lift at zero incidence on a
// contour unlike the NACA one.
inline void chooseKarmanTrefftz(Session& s, int NP)
{
    s.tk.type("Text_NP", std::to_string(NP));
    s.tk.select("Option_KATJO");
    s.form.Option_KATJO_Click();
    s.tk.type("Text_Delta", "0.12");
    s.tk.type("Text_Gamma", "0.04");
    s.tk.type("Text_Tau", "10");
    s.tk.type("Text_xDltc", "0");
    ASSERT_TRUE(s.form.katjo().Command1_Click());
    ASSERT_TRUE(s.c.AirfoilReady);
}

// Scratch working directory for the result files of a test.
using ScratchDir = TempDir;

// Records the matrices at the moment the coefficient-matrix window is shown.
class SnapshotToolkit : public ui::HeadlessToolkit {
public:
    explicit SnapshotToolkit(const Common& common) : common_(common) {}
    void showWindow(std::string_view form) override
    {
        HeadlessToolkit::showWindow(form);
        if (form == "Form_ShowMat") {
            AN = common_.AN;
            AT = common_.AT;
        }
    }
    Matrix AN;
    Matrix AT;

private:
    const Common& common_;
};

inline void setIncidence(Common& c, double alphaDegrees)
{
    c.AlfaD = alphaDegrees;
    const double a = alphaDegrees * c.DegToRad;
    c.CosAlfa = std::cos(a);
    c.SinAlfa = std::sin(a);
}

// One of the four methods' solve steps, as the press calls it.
using Solver = bool (*)(Common&, ui::Toolkit&);

// A calculation's state without the main window: contour, panels, angle.
struct Flow {
    Flow() : ui(common)
    {
        SetConstants(common);
        common.WorkDir = dir.path();
    }

    enum class Section { Circle, Naca0012 };
    void make(Section section, int NP, double alphaDegrees)
    {
        const bool circle = section == Section::Circle;
        ASSERT_TRUE(showContourInUse(common, ui, circle ? circleContour(NP) : naca0012Contour(NP),
                                     circle ? ContourSource::Circle : ContourSource::Naca0012));
        BuildPanels(common, 0);
        setIncidence(common, alphaDegrees);
    }

    // End points given directly (no rotation), panels built as the driver does.
    void points(std::initializer_list<std::pair<double, double>> xy, double alphaDegrees)
    {
        int i = 0;
        for (const auto& [x, y] : xy) {
            ++i;
            common.XCoord[i] = x;
            common.YCoord[i] = y;
        }
        common.NP = i;
        common.NPanel = i - 1;
        BuildPanels(common, 0);
        setIncidence(common, alphaDegrees);
    }

    // Runs a solver with these boxes of the main window ticked.
    bool solve(Solver solver, std::initializer_list<const char*> boxes = {})
    {
        for (const char* box : boxes) ui.setValue(box, 1);
        return solver(common, ui);
    }

    // Lift and moment from the surface speeds the solver left.
    Coefficients forces()
    {
        for (int i = 1; i <= common.NPanel; ++i) common.Cu[i] = common.Vt[i] * common.Vt[i];
        return IntegrateForces(common);
    }

    std::string report() const { return readFile(dir.path() / kReportFile); }

    ScratchDir dir;
    Common common;
    SnapshotToolkit ui;
};

// Lift and moment of a built-in section at an incidence as one solver gives them.
inline Coefficients solvedForces(Solver solver, Flow::Section section, int NP, double alphaDegrees)
{
    Flow f;
    f.make(section, NP, alphaDegrees);
    EXPECT_TRUE(f.solve(solver)) << NP;
    return f.forces();
}

}  // namespace tavrix::testing
