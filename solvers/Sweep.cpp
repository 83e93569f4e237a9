#include "solvers/Sweep.h"

#include <cmath>
#include <vector>

#include "app/Form_TavrixS.h"
#include "solvers/Capacity.h"
#include "solvers/GaussFactors.h"
#include "solvers/SignedSpeed.h"
#include "solvers/Module_HESS.h"
#include "solvers/Module_KENN.h"
#include "solvers/Module_Soinne.h"
#include "solvers/Module_VORPAN.h"
#include "ui/HeadlessToolkit.h"

namespace tavrix {

namespace {

constexpr const char* kNoAirfoil = "Calculate airfoil coordinates";

// One method's steps in the order its solver runs them. The matrix of every
// method depends on the panels alone, so it is assembled and eliminated once;
// the right-hand side and the surface speed follow the angle.
struct MethodSteps {
    int maxPoints;
    int (*unknowns)(const Common&);
    void (*assemble)(Common&, bool noCirculation);
    void (*rightHandSide)(Common&, bool noCirculation);
    void (*surfaceSpeed)(Common&);
};

int endPoints(const Common& c) { return c.NP; }
int endPointsAndStreamFunction(const Common& c) { return c.NP + 1; }

const MethodSteps& stepsOf(PanelMethod method)
{
    static const MethodSteps hess = {
        kMaxPointsPerSystem, endPoints,
        [](Common& c, bool noCirculation) {
            HESS_AssembleMatrix(c, HESS_VortexShape(c), noCirculation);
        },
        HESS_RightHandSide, HESS_SurfaceSpeed};
    static const MethodSteps vortex = {
        kMaxPointsPerSystem, endPoints, [](Common& c, bool) { VORPAN_AssembleMatrix(c); },
        [](Common& c, bool) { VORPAN_RightHandSide(c); }, VORPAN_SurfaceSpeed};
    static const MethodSteps kennedy = {
        kMaxPointsPerSystem, endPoints,
        [](Common& c, bool) {
            KENN_KuttaControlPoint(c);
            KENN_AssembleMatrix(c);
        },
        [](Common& c, bool) { KENN_RightHandSide(c); }, KENN_SurfaceSpeed};
    static const MethodSteps soinne = {
        kMaxPointsSoinne, endPointsAndStreamFunction,
        [](Common& c, bool) { Soinne_AssembleMatrix(c); },
        [](Common& c, bool) { Soinne_RightHandSide(c); }, Soinne_SurfaceSpeed};
    switch (method) {
    case PanelMethod::VortexPanel: return vortex;
    case PanelMethod::KennedyMarsden: return kennedy;
    case PanelMethod::SoinneLaine: return soinne;
    case PanelMethod::Hess: break;
    }
    return hess;
}

// Cu, the correction and the coefficients from the surface speeds, as a
// press derives them.
OperatingPoint operatingPoint(Common& c, const FlowSetup& setup)
{
    OperatingPoint p;
    p.alphaDeg = c.AlfaD;
    const auto n = static_cast<std::size_t>(c.NPanel);
    p.XM.assign(c.XM.begin() + 1, c.XM.begin() + 1 + n);
    p.YM.assign(c.YM.begin() + 1, c.YM.begin() + 1 + n);
    p.Vt.assign(c.Vt.begin() + 1, c.Vt.begin() + 1 + n);
    for (int i = 1; i <= c.NPanel; ++i) c.Cu[i] = c.Vt[i] * c.Vt[i];
    p.CuIncompressible.assign(c.Cu.begin() + 1, c.Cu.begin() + 1 + n);
    if (setup.mach != 0) {
        for (int i = 1; i <= c.NPanel; ++i)
            c.Cu[i] = 1 - CorrectedCp(setup.correction, 1 - c.Cu[i], setup.mach);
    }
    p.Cu.assign(c.Cu.begin() + 1, c.Cu.begin() + 1 + n);
    const Coefficients k = IntegrateForces(c);
    p.CL = k.CL;
    p.CD = k.CD;
    p.CM = k.CM;
    p.cosAlfa = c.CosAlfa;
    p.sinAlfa = c.SinAlfa;
    if (setup.keepSignedSpeed) {
        p.X.assign(c.X.begin() + 1, c.X.begin() + 1 + c.NP);
        p.Y.assign(c.Y.begin() + 1, c.Y.begin() + 1 + c.NP);
        p.signedSpeed = SignedSurfaceSpeed(c, setup.method);
    }
    return p;
}

std::string firstMessage(const ui::HeadlessToolkit& quiet)
{
    return quiet.messages().empty() ? std::string(kNoAirfoil) : quiet.messages().front();
}

}  // namespace

const char* methodOption(PanelMethod method)
{
    switch (method) {
    case PanelMethod::VortexPanel: return "Option_VORPAN";
    case PanelMethod::KennedyMarsden: return "Option_KENN";
    case PanelMethod::SoinneLaine: return "Option_Soinne";
    case PanelMethod::Hess: break;
    }
    return "Option_HESS";
}

std::string_view methodName(PanelMethod method)
{
    switch (method) {
    case PanelMethod::VortexPanel: return "Vortex panel";
    case PanelMethod::KennedyMarsden: return "Kennedy-Marsden";
    case PanelMethod::SoinneLaine: return "Soinne-Laine";
    case PanelMethod::Hess: break;
    }
    return "Hess";
}

SweepOutcome Sweep(const Common& contour, const FlowSetup& setup,
                   std::span<const double> alphasDeg, const SweepProgress& keepGoing)
{
    SweepOutcome outcome;
    if (!contour.AirfoilReady) {
        outcome.message = kNoAirfoil;
        return outcome;
    }
    // A private copy and a toolkit without windows: every check box reads
    // clear, so no result file is written, and a message is only recorded.
    Common c = contour;
    ui::HeadlessToolkit quiet;
    const MethodSteps& method = stepsOf(setup.method);
    if (!systemFits(c, quiet, method.maxPoints)) {
        outcome.message = firstMessage(quiet);
        return outcome;
    }
    if (std::string refusal = FlowRefusal(c, setup.etaDeg, setup.mach); !refusal.empty()) {
        outcome.message = std::move(refusal);
        return outcome;
    }

    BuildPanels(c, setup.etaDeg);
    const bool noCirculation = setup.noCirculation && setup.method == PanelMethod::Hess;
    method.assemble(c, noCirculation);
    const int n = method.unknowns(c);
    GaussFactors factors;
    if (!factors.factor(c.AN, n, quiet)) {
        outcome.message = firstMessage(quiet);
        return outcome;
    }

    std::vector<double> rhs(static_cast<std::size_t>(n) + 1, 0.0);
    outcome.points.reserve(alphasDeg.size());
    for (std::size_t k = 0; k < alphasDeg.size(); ++k) {
        if (keepGoing && !keepGoing(k, alphasDeg.size())) {
            outcome.cancelled = true;
            break;
        }
        c.AlfaD = alphasDeg[k];
        const double a = c.AlfaD * c.DegToRad;
        c.CosAlfa = std::cos(a);
        c.SinAlfa = std::sin(a);
        method.rightHandSide(c, noCirculation);
        for (int I = 1; I <= n; ++I) rhs[static_cast<std::size_t>(I)] = c.AN(I, n + 1);
        factors.solve(rhs, c.Strength);
        method.surfaceSpeed(c);
        outcome.points.push_back(operatingPoint(c, setup));
    }
    return outcome;
}

}  // namespace tavrix
