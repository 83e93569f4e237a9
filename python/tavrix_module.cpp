// The Python module `tavrix`: airfoil sources and the panel methods' polars
// and operating points for scripts, in-process. A thin layer over the value
// API of the computing core: it converts arguments, calls the same units the
// batch front end calls (NACA sections, coordinate files, repanelling, the
// Karman-Trefftz design, Sweep, the one-way boundary layer, the coupled
// viscous-inviscid analysis) and turns their
// results into numpy arrays. A refusal of the core becomes a ValueError with
// its text; no C++ exception crosses into the interpreter. The interpreter
// lock is released while a contour is solved, so Python threads solve in
// parallel.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/AirfoilFile.h"
#include "geometry/Contour.h"
#include "geometry/CoordinateFormats.h"
#include "geometry/ExactFlow.h"
#include "geometry/KarmanTrefftz.h"
#include "geometry/NacaSections.h"
#include "geometry/Repanel.h"
#include "output/FileReplace.h"
#include "solvers/PanelGeometry.h"
#include "solvers/PanelMethods.h"
#include "solvers/Sweep.h"
#include "viscous/BoundaryLayer.h"
#include "viscous/CoupledPolar.h"
#include "viscous/SurfaceFlow.h"
#include "viscous/ViscousPolar.h"

namespace py = pybind11;
using namespace tavrix;

namespace {

// The pi of the program's shared state, so that generated sections and
// repanelled contours have the bits of the batch front end's.
const double kPi = 4 * std::atan(1.0);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// std::invalid_argument reaches Python as ValueError.
[[noreturn]] void refuse(const std::string& message) { throw std::invalid_argument(message); }

// A file that cannot be written reaches Python as OSError.
struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An airfoil as scripts hold it: the contour in the program's order
// (clockwise from the trailing edge, the trailing edge repeated last) and,
// for a Karman-Trefftz section as designed, its mapping parameters.
struct Airfoil {
    Contour contour;
    std::optional<KarmanTrefftzSection> section;
};

std::vector<double> toVector(const py::handle& values, const char* what)
{
    py::array_t<double, py::array::c_style | py::array::forcecast> a;
    try {
        a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    } catch (const py::error_already_set&) {
    }
    if (!a) refuse(std::string(what) + " must be a number or a sequence of numbers");
    return std::vector<double>(a.data(), a.data() + a.size());
}

py::array_t<double> toArray(const std::vector<double>& v)
{
    py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
}

py::array_t<bool> toArray(const std::vector<bool>& v)
{
    py::array_t<bool> a(static_cast<py::ssize_t>(v.size()));
    bool* out = a.mutable_data();
    for (std::size_t k = 0; k < v.size(); ++k) out[k] = v[k];
    return a;
}

// Airfoil(x, y, name): the points made into a usable contour as a file's are
// (clockwise, repeated points dropped, trailing edge closed, unit chord), or
// the reason why they cannot be one.
Airfoil airfoilFromPoints(const py::handle& x, const py::handle& y, const std::string& name)
{
    Contour contour{name, toVector(x, "x"), toVector(y, "y")};
    if (contour.x.size() != contour.y.size()) refuse("x and y must hold the same number of points");
    if (contour.name.empty()) contour.name = "unnamed section";
    auto prepared = prepareContour(std::move(contour));
    if (auto* reason = std::get_if<std::string>(&prepared)) refuse(*reason);
    return Airfoil{std::get<PreparedContour>(std::move(prepared)).contour, std::nullopt};
}

Airfoil naca(const std::string& designation, int points, bool openTrailingEdge)
{
    auto parsed = parseNacaDesignation(designation);
    if (auto* reason = std::get_if<std::string>(&parsed)) refuse(*reason);
    if (points < 2 || points > kMaxPoints)
        refuse("Number of panel end points must be a whole number from 2 to " +
               std::to_string(kMaxPoints));
    Contour contour =
        makeNacaSection(std::get<NacaDesignation>(parsed), points, openTrailingEdge, kPi);
    if (openTrailingEdge) closeTrailingEdge(contour);
    return Airfoil{std::move(contour), std::nullopt};
}

// Every layout the program reads, told from the content, points as the
// airfoil menu takes them. A file of more points than a system holds is
// kept, to be repanelled.
Airfoil fromFile(const std::string& path)
{
    auto read = readAirfoilFileContour(path, path);
    if (auto* reason = std::get_if<std::string>(&read)) refuse(*reason);
    return Airfoil{std::get<Contour>(std::move(read)), std::nullopt};
}

std::string inputText(double v)
{
    std::string t = py::str(py::float_(v));
    if (t.size() > 2 && t.compare(t.size() - 2, 2, ".0") == 0) t.resize(t.size() - 2);
    return t;
}

KarmanTrefftzDesign design(double thickness, double camber, double teAngle, int points,
                           double thicknessLocation)
{
    KarmanTrefftzDesign d =
        designKarmanTrefftz({thickness, camber, teAngle, thicknessLocation, points, '.'});
    if (d.refusal) refuse(*d.refusal);
    return d;
}

Airfoil karmanTrefftz(double thickness, double camber, double teAngle, int points,
                      double thicknessLocation)
{
    KarmanTrefftzDesign d = design(thickness, camber, teAngle, points, thicknessLocation);
    d.contour.name = std::string(d.joukowsky() ? "Joukowsky" : "Karman-Trefftz") +
                     " section \u03b4 = " + inputText(thickness) + ", \u03b3 = " +
                     inputText(camber) + ", \u03c4 = " + inputText(teAngle) + "\u00b0";
    return Airfoil{std::move(d.contour), d.section};
}

Airfoil repanelled(const Airfoil& af, int points)
{
    auto redone = repanel(af.contour, points, kPi);
    if (auto* reason = std::get_if<std::string>(&redone)) refuse(*reason);
    return Airfoil{std::get<Contour>(std::move(redone)), std::nullopt};
}

void save(const Airfoil& af, const std::string& path)
{
    Contour contour = af.contour;
    if (contour.name.empty()) contour.name = "Tavrix-S contour";
    if (auto failure = replaceFileContents(path, writeSelig(contour)))
        throw FileError("Cannot write \"" + path + "\": " + *failure);
}

PanelMethod methodOf(const std::string& method)
{
    const auto m = methodFromWord(method);
    if (!m) refuse("unknown method " + method + " (hess, vortex, kennedy or soinne)");
    return *m;
}

// The flow and the layer a polar or an operating point is asked for.
struct Request {
    FlowSetup setup;
    std::optional<BoundaryLayerSetup> layer;
};

Request request(const std::string& method, double mach, const std::string& correction,
                std::optional<double> re, double ncrit, double xtrUpper, double xtrLower)
{
    Request r;
    r.setup.method = methodOf(method);
    if (!std::isfinite(mach)) refuse("mach must be a finite number");
    r.setup.mach = mach;
    if (correction == "prandtl-glauert")
        r.setup.correction = Compressibility::PrandtlGlauert;
    else if (correction == "karman-tsien")
        r.setup.correction = Compressibility::KarmanTsien;
    else
        refuse("unknown correction " + correction + " (prandtl-glauert or karman-tsien)");
    if (!re) return r;
    // The limits of the batch front end's --re, --ncrit and --transition-*.
    if (!(*re >= 1e3 && *re <= 1e9)) refuse("re needs a Reynolds number from 1e3 to 1e9");
    if (!(ncrit > 0 && ncrit <= kLargestNcrit))
        refuse("ncrit needs a number greater than 0 and at most 20");
    if (!(xtrUpper >= 0 && xtrUpper <= 1)) refuse("xtr_upper needs a chord fraction from 0 to 1");
    if (!(xtrLower >= 0 && xtrLower <= 1)) refuse("xtr_lower needs a chord fraction from 0 to 1");
    BoundaryLayerSetup layer;
    layer.Re = *re;
    layer.forcedTransitionUpper = xtrUpper;
    layer.forcedTransitionLower = xtrLower;
    layer.transition.criterion = TransitionCriterion::Envelope;
    layer.transition.Ncrit = ncrit;
    r.layer = layer;
    r.setup.keepSignedSpeed = true;
    return r;
}

// The coupled analysis asked for with viscous="coupled": the limits of the
// one-way layer's words (request), the layer incompressible, a trip at the
// trailing edge or beyond it none.
coupled::CoupledOptions coupledOptions(const std::string& method, double mach,
                                       const std::string& correction, std::optional<double> re,
                                       double ncrit, double xtrUpper, double xtrLower)
{
    if (!re) refuse("viscous=\"coupled\" needs re, the Reynolds number");
    const Request r = request(method, mach, correction, re, ncrit, xtrUpper, xtrLower);
    if (mach != 0)
        refuse("viscous=\"coupled\" takes no mach: the coupled boundary layer is incompressible "
               "(viscous=\"one-way\" takes a Mach number)");
    if (!coupled::couplingAvailable(r.setup.method))
        refuse(coupled::couplingRefusal(r.setup.method).message);
    coupled::CoupledOptions o;
    o.re = *re;
    o.ncrit = ncrit;
    o.tripUpperX = xtrUpper < 1 ? xtrUpper : 2;
    o.tripLowerX = xtrLower < 1 ? xtrLower : 2;
    return o;
}

// "one-way" or "coupled": whether the coupled analysis is asked for.
bool coupledAsked(const std::string& viscous)
{
    if (viscous == "coupled") return true;
    if (viscous == "one-way") return false;
    refuse("unknown viscous model " + viscous + " (one-way or coupled)");
}

// The sweep of the batch front end: ends at the first angle whose
// coefficients or pressures are not finite, as a press would.
SweepOutcome sweep(const Contour& contour, const FlowSetup& setup,
                   const std::vector<double>& alphas)
{
    SweepOutcome outcome = Sweep(contour.x, contour.y, setup, alphas);
    endAtFirstNonFinite(outcome);
    return outcome;
}

// Angles of attack must be numbers: an angle that is not finite has no flow.
void checkAngles(const std::vector<double>& alphas)
{
    for (std::size_t k = 0; k < alphas.size(); ++k)
        if (!std::isfinite(alphas[k]))
            refuse("alpha must hold finite angles in degrees; angle " + std::to_string(k + 1) +
                   " is " + std::string(py::str(py::float_(alphas[k]))));
}

// Why an angle's drag is not to be trusted, as tavrixs-batch --cases says it:
// the x/c of the separation to four decimals.
std::string reliabilityNote(const ViscousPoint& v)
{
    const bool upper = v.separationUpper.found && v.separationUpper.xc < kReliableSeparationXc;
    const SurfacePoint& at = upper ? v.separationUpper : v.separationLower;
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.4f", at.xc);
    std::string xc = digits;
    while (xc.size() > 1 && xc.back() == '0') xc.pop_back();
    if (xc.back() == '.') xc.pop_back();
    if (xc == "-0") xc = "0";
    return std::string("drag not reliable: the ") + (upper ? "upper" : "lower") +
           " surface separates at x/c = " + xc;
}

// The columns of a polar, NaN (and not converged) until an angle gives them.
struct PolarColumns {
    explicit PolarColumns(std::size_t n)
        : CL(n, kNaN), CD(n, kNaN), CDp(n, kNaN), CDf(n, kNaN), CM(n, kNaN), top(n, kNaN),
          bottom(n, kNaN), converged(n, false), reliable(n, false), reasons(n)
    {
    }
    std::vector<double> CL, CD, CDp, CDf, CM, top, bottom;
    std::vector<bool> converged, reliable;
    // Why an angle has no result (or a drag not to be trusted); "" for none.
    std::vector<std::string> reasons;

    // The dict of numpy arrays a script gets (CDf with the coupled analysis).
    py::dict dict(const std::vector<double>& alphas, bool withFriction) const
    {
        py::dict d;
        d["alpha"] = toArray(alphas);
        d["CL"] = toArray(CL);
        d["CD"] = toArray(CD);
        d["CDp"] = toArray(CDp);
        if (withFriction) d["CDf"] = toArray(CDf);
        d["CM"] = toArray(CM);
        d["Top_Xtr"] = toArray(top);
        d["Bot_Xtr"] = toArray(bottom);
        d["converged"] = toArray(converged);
        d["reliable"] = toArray(reliable);
        d["reason"] = reasons;
        return d;
    }
};

// The polar of the coupled analysis: the viscous CL, CM, CD, CDp, CDf and
// transition points of the angles that converged, NaN and the reason where
// one did not.
py::dict coupledPolar(const Airfoil& af, const std::vector<double>& alphas,
                      const std::string& method, const coupled::CoupledOptions& options)
{
    const PanelMethod m = methodOf(method);
    std::vector<CoupledPoint> points;
    {
        py::gil_scoped_release unlocked;
        points = coupledSweep(af.contour.x, af.contour.y, 0, m, alphas, options);
    }
    PolarColumns c(alphas.size());
    for (std::size_t k = 0; k < alphas.size() && k < points.size(); ++k) {
        const CoupledPoint& p = points[k];
        if (!p.converged) {
            c.reasons[k] = p.reason;
            continue;
        }
        c.CL[k] = p.CL;
        c.CM[k] = p.CM;
        c.CD[k] = p.CD;
        c.CDp[k] = p.CDp;
        c.CDf[k] = p.CDf;
        c.top[k] = transitionXc(p.transitionUpper);
        c.bottom[k] = transitionXc(p.transitionLower);
        c.converged[k] = c.reliable[k] = true;
    }
    return c.dict(alphas, true);
}

py::dict polar(const Airfoil& af, const py::handle& alpha, const std::string& method, double mach,
               const std::string& correction, std::optional<double> re, double ncrit,
               double xtrUpper, double xtrLower, const std::string& viscous)
{
    const std::vector<double> alphas = toVector(alpha, "alpha");
    checkAngles(alphas);
    if (coupledAsked(viscous))
        return coupledPolar(af, alphas, method,
                            coupledOptions(method, mach, correction, re, ncrit, xtrUpper, xtrLower));
    const Request r = request(method, mach, correction, re, ncrit, xtrUpper, xtrLower);
    SweepOutcome outcome;
    std::vector<ViscousPoint> layers;
    {
        py::gil_scoped_release unlocked;
        outcome = sweep(af.contour, r.setup, alphas);
        if (r.layer) layers = ViscousPolar(outcome.points, *r.layer);
    }
    if (outcome.points.empty() && !outcome.message.empty()) refuse(outcome.message);

    const std::size_t n = alphas.size();
    PolarColumns c(n);
    for (std::size_t k = outcome.points.size(); k < n; ++k) c.reasons[k] = outcome.message;
    for (std::size_t k = 0; k < outcome.points.size(); ++k) {
        const OperatingPoint& p = outcome.points[k];
        c.CL[k] = p.CL;
        c.CM[k] = p.CM;
        if (!r.layer) {
            // Inviscid: the pressure drag of the panels (zero to rounding for
            // a closed contour), no transition.
            c.CD[k] = c.CDp[k] = p.CD;
            c.top[k] = c.bottom[k] = 1;
            c.converged[k] = c.reliable[k] = true;
            continue;
        }
        const ViscousPoint& v = layers[k];
        if (!v.ok) {
            c.reasons[k] = v.message;
            continue;
        }
        if (!v.reliable) c.reasons[k] = reliabilityNote(v);
        c.CD[k] = v.CD;
        c.CDp[k] = v.CD - v.CDfriction;
        c.top[k] = transitionXc(v.transitionUpper);
        c.bottom[k] = transitionXc(v.transitionLower);
        c.converged[k] = true;
        c.reliable[k] = v.reliable;
    }
    return c.dict(alphas, false);
}

py::dict surfaceLayer(const SurfaceLayer& L)
{
    py::dict d;
    d["s"] = toArray(L.s);
    d["x"] = toArray(L.x);
    d["y"] = toArray(L.y);
    d["xc"] = toArray(L.xc);
    d["Ue"] = toArray(L.Ue);
    d["theta"] = toArray(L.theta);
    d["H"] = toArray(L.H);
    d["Cf"] = toArray(L.Cf);
    d["transition"] = L.transition.found ? py::object(py::float_(L.transition.xc)) : py::none();
    d["transition_cause"] = std::string(transitionCauseName(L.transitionCause));
    d["separation"] = L.turbulentSeparation.found
                          ? py::object(py::float_(L.turbulentSeparation.xc))
                          : py::none();
    return d;
}

py::object optionalNumber(const std::optional<double>& v)
{
    return v ? py::object(py::float_(*v)) : py::none();
}

// One point of the coupled analysis, at the angle or (with a target lift)
// at the angle of that lift searched from it: its coefficients, transition
// and separation points and the layer's stations, or converged False, NaN
// coefficients and the reason.
py::dict coupledOperatingPoint(const Airfoil& af, double alpha, const std::string& method,
                               coupled::CoupledOptions options, std::optional<double> cl)
{
    if (cl && !std::isfinite(*cl)) refuse("cl must be a finite lift coefficient");
    options.targetCl = cl;
    const PanelMethod m = methodOf(method);
    CoupledPoint p;
    {
        py::gil_scoped_release unlocked;
        p = coupledPointAt(af.contour.x, af.contour.y, 0, m, alpha, options);
    }
    py::dict d;
    d["alpha"] = p.alphaDeg;
    d["converged"] = p.converged;
    d["reason"] = p.reason;
    d["iterations"] = p.iterations;
    d["layer_points"] = p.layerPoints;
    d["CL"] = p.converged ? p.CL : kNaN;
    d["CM"] = p.converged ? p.CM : kNaN;
    d["CD"] = p.converged ? p.CD : kNaN;
    d["CDp"] = p.converged ? p.CDp : kNaN;
    d["CDf"] = p.converged ? p.CDf : kNaN;
    d["transition_upper"] = optionalNumber(p.transitionUpper);
    d["transition_lower"] = optionalNumber(p.transitionLower);
    d["separation_upper"] = optionalNumber(p.separationUpper);
    d["separation_lower"] = optionalNumber(p.separationLower);
    const std::size_t n = p.stations.size();
    std::vector<double> x(n), y(n), xi(n), ue(n), theta(n), dstar(n), H(n), Cf(n), amp(n), ctau(n);
    std::vector<bool> turbulent(n);
    std::vector<std::string> side(n);
    for (std::size_t k = 0; k < n; ++k) {
        const coupled::StationResult& st = p.stations[k];
        side[k] = st.side == coupled::Side::Upper ? "upper" : st.side == coupled::Side::Lower ? "lower" : "wake";
        x[k] = st.x;
        y[k] = st.y;
        xi[k] = st.xi;
        ue[k] = st.ue;
        theta[k] = st.theta;
        dstar[k] = st.dstar;
        H[k] = st.H;
        Cf[k] = st.cf;
        turbulent[k] = st.turbulent;
        amp[k] = st.turbulent || st.side == coupled::Side::Wake ? kNaN : st.n;
        ctau[k] = st.turbulent || st.side == coupled::Side::Wake ? st.ctau : kNaN;
    }
    py::dict stations;
    stations["side"] = side;
    stations["x"] = toArray(x);
    stations["y"] = toArray(y);
    stations["xi"] = toArray(xi);
    stations["ue"] = toArray(ue);
    stations["theta"] = toArray(theta);
    stations["delta_star"] = toArray(dstar);
    stations["H"] = toArray(H);
    stations["Cf"] = toArray(Cf);
    stations["n"] = toArray(amp);
    stations["C_tau"] = toArray(ctau);
    stations["turbulent"] = toArray(turbulent);
    d["stations"] = stations;
    return d;
}

py::dict operatingPoint(const Airfoil& af, double alpha, const std::string& method, double mach,
                        const std::string& correction, std::optional<double> re, double ncrit,
                        double xtrUpper, double xtrLower, const std::string& viscous,
                        std::optional<double> cl)
{
    checkAngles({alpha});
    if (coupledAsked(viscous))
        return coupledOperatingPoint(
            af, alpha, method, coupledOptions(method, mach, correction, re, ncrit, xtrUpper, xtrLower),
            cl);
    if (cl) refuse("cl belongs to the coupled analysis (viscous=\"coupled\")");
    const Request r = request(method, mach, correction, re, ncrit, xtrUpper, xtrLower);
    SweepOutcome outcome;
    ViscousResult layer;
    {
        py::gil_scoped_release unlocked;
        outcome = sweep(af.contour, r.setup, {alpha});
        if (r.layer && !outcome.points.empty())
            layer = AnalyseBoundaryLayer(SurfaceFlowOf(outcome.points.front()), *r.layer);
    }
    if (outcome.points.empty()) refuse(outcome.message);
    const OperatingPoint& p = outcome.points.front();
    std::vector<double> cp(p.Cu.size()), cp0(p.CuIncompressible.size());
    std::transform(p.Cu.begin(), p.Cu.end(), cp.begin(), [](double cu) { return 1 - cu; });
    std::transform(p.CuIncompressible.begin(), p.CuIncompressible.end(), cp0.begin(),
                   [](double cu) { return 1 - cu; });
    py::dict d;
    d["alpha"] = p.alphaDeg;
    d["CL"] = p.CL;
    d["CM"] = p.CM;
    d["CDp"] = p.CD;
    d["CD"] = p.CD;
    d["x"] = toArray(p.XM);
    d["y"] = toArray(p.YM);
    d["Cp"] = toArray(cp);
    d["Cp_incompressible"] = toArray(cp0);
    d["Vt"] = toArray(p.Vt);
    if (r.layer) {
        if (!layer.ok) refuse(layer.message);
        d["CD"] = layer.CD;
        d["CDp"] = layer.CD - layer.CDfriction;
        d["CDf"] = layer.CDfriction;
        d["reliable"] = layer.reliable;
        d["upper"] = surfaceLayer(layer.upper);
        d["lower"] = surfaceLayer(layer.lower);
    }
    return d;
}

py::dict compare(const Airfoil& af, const py::handle& alpha, double mach,
                 const std::string& correction, std::optional<double> re, double ncrit,
                 double xtrUpper, double xtrLower, const std::string& viscous)
{
    py::dict d;
    for (const PanelMethodInfo& info : panelMethods()) {
        const std::string word(info.word);
        try {
            d[word.c_str()] =
                polar(af, alpha, word, mach, correction, re, ncrit, xtrUpper, xtrLower, viscous);
        } catch (const std::invalid_argument& e) {
            refuse(std::string(info.name) + ": " + e.what());
        }
    }
    return d;
}

// The exact potential flow of a Karman-Trefftz section at the control points
// of the panels of its contour.
py::dict exactKarmanTrefftz(double thickness, double camber, double teAngle, double alpha,
                            int points, double thicknessLocation)
{
    if (!std::isfinite(alpha)) refuse("alpha must be a finite number");
    const KarmanTrefftzDesign d = design(thickness, camber, teAngle, points, thicknessLocation);
    if (d.section.G < 0) refuse("The exact flow is known for a camber of 0 or more");
    const auto panels = buildPanelGeometry(d.contour.x, d.contour.y, 0);
    if (!panels) refuse(panels.refusal().message);
    std::vector<double> cp;
    std::optional<KarmanTrefftzFlow> flow;
    {
        py::gil_scoped_release unlocked;
        flow.emplace(d.section, alpha);
        const auto n = static_cast<std::size_t>(panels->NPanel);
        cp = exactCu(std::span<const double>(panels->XM).subspan(1, n),
                     std::span<const double>(panels->YM).subspan(1, n), *flow);
        for (double& v : cp) v = 1 - v;
    }
    const auto n = static_cast<std::size_t>(panels->NPanel);
    py::dict r;
    r["alpha"] = alpha;
    r["CL"] = flow->CL();
    r["CM"] = flow->CM();
    r["CL_blasius"] = flow->blasiusCL();
    r["CD_blasius"] = flow->blasiusCD();
    r["x"] = toArray(std::vector<double>(panels->XM.begin() + 1, panels->XM.begin() + 1 + n));
    r["y"] = toArray(std::vector<double>(panels->YM.begin() + 1, panels->YM.begin() + 1 + n));
    r["Cp"] = toArray(cp);
    r["F"] = d.section.F;
    r["G"] = d.section.G;
    r["m"] = d.section.m;
    return r;
}

}  // namespace

PYBIND11_MODULE(tavrix, m)
{
    m.doc() = "Tavrix-S panel methods for scripts: airfoil sources, polars, operating points";
    py::register_exception<FileError>(m, "FileError", PyExc_OSError);

    py::class_<Airfoil>(m, "Airfoil",
                        "A closed airfoil contour, clockwise from the trailing edge")
        .def(py::init(&airfoilFromPoints), py::arg("x"), py::arg("y"), py::arg("name") = "",
             "The points as a usable contour: put clockwise, repeated points dropped, an open "
             "trailing edge closed, brought to a unit chord; ValueError with the reason if "
             "they cannot be one (a crossing contour, too few points ...)")
        .def_static("from_file", &fromFile, py::arg("path"),
                    "Reads a Selig, Lednicer, plain x y or .arf file")
        .def_property_readonly("x", [](const Airfoil& a) { return toArray(a.contour.x); })
        .def_property_readonly("y", [](const Airfoil& a) { return toArray(a.contour.y); })
        .def_property_readonly("name", [](const Airfoil& a) { return a.contour.name; })
        .def("__len__", [](const Airfoil& a) { return a.contour.x.size(); })
        .def("__repr__",
             [](const Airfoil& a) {
                 return "<tavrix.Airfoil '" + a.contour.name + "', " +
                        std::to_string(a.contour.x.size()) + " points>";
             })
        .def("repanel", &repanelled, py::arg("n"),
             "The contour with n end points (3 to 1000) on a spline through its points")
        .def("save", &save, py::arg("path"), "Writes the contour in the Selig layout")
        .def("polar", &polar, py::arg("alpha"), py::arg("method") = "vortex",
             py::arg("mach") = 0.0, py::arg("correction") = "prandtl-glauert",
             py::arg("re") = py::none(), py::arg("ncrit") = 9.0, py::arg("xtr_upper") = 1.0,
             py::arg("xtr_lower") = 1.0, py::arg("viscous") = "one-way",
             "Polar over the angles alpha (degrees): a dict of numpy arrays alpha, CL, CD, "
             "CDp, CM, Top_Xtr, Bot_Xtr, converged, reliable, and reason, a list of texts "
             "saying why an angle has no result or no reliable drag (\"\" where it has); "
             "with re and viscous=\"coupled\" the coupled viscous-inviscid analysis (viscous "
             "CL and CM, CDf too)")
        .def("operating_point", &operatingPoint, py::arg("alpha"), py::arg("method") = "vortex",
             py::arg("mach") = 0.0, py::arg("correction") = "prandtl-glauert",
             py::arg("re") = py::none(), py::arg("ncrit") = 9.0, py::arg("xtr_upper") = 1.0,
             py::arg("xtr_lower") = 1.0, py::arg("viscous") = "one-way", py::arg("cl") = py::none(),
             "One angle: CL, CD, CDp, CM and per panel the control points x, y and Cp; with re "
             "the boundary layer of both surfaces; with re and viscous=\"coupled\" the coupled "
             "analysis's point (converged, reason, viscous CL, CM, CD, CDp, CDf, transition and "
             "separation points, the layer's stations, layer_points: the end points the layer "
             "ran on, a coarse contour subdivided for it as in the batch), at the angle of "
             "the lift cl when given");

    m.def("naca", &naca, py::arg("designation"), py::arg("points") = 161,
          py::arg("open_te") = false, "NACA 4- or 5-digit section");
    m.def("karman_trefftz", &karmanTrefftz, py::arg("thickness"), py::arg("camber"),
          py::arg("te_angle"), py::arg("points") = 51, py::arg("thickness_location") = 0.0,
          "Karman-Trefftz (or Joukowsky) section of the given thickness and camber ratios and "
          "trailing-edge angle in degrees");
    m.def("compare", &compare, py::arg("airfoil"), py::arg("alpha"), py::arg("mach") = 0.0,
          py::arg("correction") = "prandtl-glauert", py::arg("re") = py::none(),
          py::arg("ncrit") = 9.0, py::arg("xtr_upper") = 1.0, py::arg("xtr_lower") = 1.0,
          py::arg("viscous") = "one-way",
          "The polar of every panel method, by its word (with re and viscous=\"coupled\", "
          "the four formulations coupled with the layer)");
    m.def("exact_karman_trefftz", &exactKarmanTrefftz, py::arg("thickness"), py::arg("camber"),
          py::arg("te_angle"), py::arg("alpha"), py::arg("points") = 51,
          py::arg("thickness_location") = 0.0,
          "Exact potential flow of a Karman-Trefftz section: CL, CM and Cp at the control "
          "points of its panels");
    py::list words;
    for (const PanelMethodInfo& info : panelMethods()) words.append(std::string(info.word));
    m.attr("methods") = words;
}
