// The sweeps of the coupled analysis over angles of attack: the outward
// sweep of a polar on two threads, and the single point not given up
// lightly (see CoupledSolver.h).
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <iomanip>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <sstream>
#include <thread>

#include "viscous/CoupledNewtonSystem.h"
#include "viscous/CoupledSolver.h"
#include "viscous/DragClosures.h"

namespace tavrix::coupled {

namespace {

// The thin-airfoil lift slope, 2 pi per radian, per degree: how fast a lift
// curve rises at most, and the first guess of its slope.
constexpr double kThinAirfoilSlope = 2 * std::numbers::pi * std::numbers::pi / 180;

// How far a point's friction drag may stand above both neighbours'
// (frictionStandsOut): over the 1584 converged points of 104 polars (four
// sections, four couplings, Re 2e5 to 9e6, by 1 and 2 degrees) the ratio to
// the larger neighbour's has its median at 0.97 and its 99th percentile at
// 1.08; the margin keeps the small and scattered friction of a stalled
// section out (NACA 0006 at Re 9e6 and 18 degrees: 0.0014 between 0.0007
// and 0.0011).
constexpr double kFrictionSpike = 1.15;
constexpr double kFrictionSpikeMargin = 3e-4;

// The stations of the last few angles asked for, kept: a point that does
// not converge at once is tried again at the same angle (warm, fresh, in
// steps), and each try would build its wake and D again.
StationsOfAngle remembered(const StationsOfAngle& stationsOf)
{
    constexpr std::size_t kKept = 4;
    auto kept = std::make_shared<std::deque<std::pair<double, Outcome<CouplingStations>>>>();
    return [stationsOf, kept](double alpha) -> Outcome<CouplingStations> {
        for (const auto& [a, stations] : *kept)
            if (a == alpha) return stations;
        kept->emplace_front(alpha, stationsOf(alpha));
        if (kept->size() > kKept) kept->pop_back();
        return kept->front().second;
    };
}

// The first iterate of an angle from the last two converged angles of a
// sweep, `last` and `previous` before it, f = (alpha - alpha_last) /
// (alpha_last - alpha_previous): every unknown continued along the secant
// of the two, c only where both hold the same kind of layer; a station the
// line would carry out of range (theta, ue or c below zero, delta* below
// theta) keeps the last angle's state. The transition intervals then start
// near where they move to (a warm start from the last angle alone walks
// them there a station per Newton step), and the stagnation point is
// relocated from there as from any warm start.
CoupledState extrapolatedState(const CoupledState& previous, const CoupledState& last, double f)
{
    if (previous.vars.size() != last.vars.size() ||
        previous.turbulent.size() != last.turbulent.size() || !std::isfinite(f))
        return last;
    CoupledState guess = last;
    for (std::size_t g = 0; g < guess.vars.size(); ++g) {
        const LayerVars<double>& a = previous.vars[g];
        LayerVars<double>& b = guess.vars[g];
        b.theta += f * (b.theta - a.theta);
        b.dstar += f * (b.dstar - a.dstar);
        b.ue += f * (b.ue - a.ue);
        if (g >= guess.turbulent.size() || guess.turbulent[g] == previous.turbulent[g])
            b.c += f * (b.c - a.c);
        if (!(b.theta > 0) || !(b.dstar > b.theta) || !(b.ue > 0) || !(b.c >= 0) ||
            !std::isfinite(b.theta + b.dstar + b.ue + b.c))
            b = last.vars[g];
    }
    return guess;
}

// The first iterate at `alpha` on the secant through two converged angles,
// `a` before `b` (extrapolatedState); none when the two angles coincide.
std::optional<CoupledState> secantGuess(double alphaA, const CoupledState& a, double alphaB,
                                        const CoupledState& b, double alpha)
{
    if (!(std::abs(alphaB - alphaA) > 1e-12)) return std::nullopt;
    return extrapolatedState(a, b, (alpha - alphaB) / (alphaB - alphaA));
}

// The point at an angle, warm from `warm` when given (the refusal of its
// stations as the reason when there are none); whether it converged.
// (`newton`: the caller's work space, kept from its last solve)
bool solveAtAngle(const StationsOfAngle& stationsOf, const CoupledOptions& options, double alpha,
                  const CoupledState* warm, CoupledResult& out, NewtonSolver& newton)
{
    const Outcome<CouplingStations> st = stationsOf(alpha);
    if (!st.ok()) {
        out = CoupledResult{};
        out.reason = st.refusal().message;
        return false;
    }
    out = solveCoupledWith(*st, options, warm, newton);
    return out.converged;
}

// From a converged state at angle `from` to angle `to` in `parts` equal
// steps, each warm from the last; `out` holds the last step's result. With
// `onSecants`, a step after the first starts from the secant through the
// two steps before it, and from the last one alone where that fails.
bool reachInSteps(const StationsOfAngle& stationsOf, const CoupledOptions& options,
                  const CoupledState& start, double from, double to, int parts,
                  CoupledResult& out, NewtonSolver& newton, bool onSecants = false)
{
    CoupledState s = start;
    std::optional<CoupledState> before;
    const auto angle = [&](int k) { return from + (to - from) * k / parts; };
    for (int k = 1; k <= parts; ++k) {
        bool ok = false;
        if (onSecants && before)
            if (const auto guess = secantGuess(angle(k - 2), *before, angle(k - 1), s, angle(k)))
                ok = solveAtAngle(stationsOf, options, angle(k), &*guess, out, newton);
        if (!ok && !solveAtAngle(stationsOf, options, angle(k), &s, out, newton)) return false;
        before = std::move(s);
        s = out.state;
    }
    return true;
}

// From a converged state at angle `from` to angle `to`: warm at once, then
// in two and four equal steps.
bool reachWarm(const StationsOfAngle& stationsOf, const CoupledOptions& options,
               const CoupledState& start, double from, double to, CoupledResult& out,
               NewtonSolver& newton)
{
    bool ok = solveAtAngle(stationsOf, options, to, &start, out, newton);
    for (int parts = 2; !ok && parts <= 4; parts *= 2)
        ok = reachInSteps(stationsOf, options, start, from, to, parts, out, newton);
    return ok;
}

// Stations built ahead and not yet taken, at most this many bytes of them.
constexpr std::size_t kAheadBytes = std::size_t{64} << 20;

// Stations built ahead for a sweep's branch by the thread whose branch is
// done: the two branches seldom take the same time (on a cambered section
// the one towards the stall moves its transition points across the chord
// and takes half again as many Newton steps), and the wake and D of an
// angle (a fifth of an angle's work) do not depend on any layer. Each
// angle is built once, by whichever thread asks first; the other waits
// for it. The stations are those stationsOf gives, to the bit, whoever
// builds them.
class StationsAhead {
public:
    explicit StationsAhead(StationsOfAngle stationsOf) : stationsOf_(std::move(stationsOf)) {}

    // The stations of the angle: built here, or taken from the thread that
    // built or is building them (and no longer kept).
    Outcome<CouplingStations> take(double alpha)
    {
        std::shared_future<Outcome<CouplingStations>> ready;
        std::promise<Outcome<CouplingStations>> mine;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            const auto it = slots_.find(alpha);
            if (it != slots_.end()) {
                ready = it->second.stations;
                if (it->second.ahead) --ahead_;
                slots_.erase(it);
            } else {
                // (claimed, so that the helper does not build it as well)
                slots_.emplace(alpha, Slot{mine.get_future().share(), false});
            }
        }
        if (ready.valid()) return ready.get();
        Outcome<CouplingStations> built = buildInto(alpha, mine);
        const std::lock_guard<std::mutex> lock(mutex_);
        slots_.erase(alpha);
        return built;
    }

    // Builds, for a later take(), the stations of the first angle of
    // `order` from position `from()` on that no thread has claimed; while
    // stop() is false, again and again, until kAheadBytes of stations wait
    // untaken (the size of one angle's known from the first built), every
    // angle is claimed or `most` angles are built.
    void buildAhead(const std::vector<double>& order, const std::function<std::size_t()>& from,
                    const std::function<bool()>& stop,
                    std::size_t most = std::numeric_limits<std::size_t>::max())
    {
        std::size_t built = 0;
        for (std::size_t k = from(); k < order.size() && built < most && !stop();
             k = std::max(k + 1, from())) {
            std::promise<Outcome<CouplingStations>> mine;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                if (ahead_ >= kAheadBytes / std::max<std::size_t>(bytes_, 1) && ahead_ > 0) return;
                if (slots_.count(order[k])) continue;
                slots_.emplace(order[k], Slot{mine.get_future().share(), true});
                ++ahead_;
            }
            buildInto(order[k], mine);
            ++built;
        }
    }

private:
    struct Slot {
        std::shared_future<Outcome<CouplingStations>> stations;
        bool ahead = false;  // built for a later take()
    };

    Outcome<CouplingStations> buildInto(double alpha, std::promise<Outcome<CouplingStations>>& promise)
    {
        try {
            Outcome<CouplingStations> built = stationsOf_(alpha);
            if (built) {
                const std::lock_guard<std::mutex> lock(mutex_);
                bytes_ = std::max(bytes_, built->D.size() * sizeof(double));
            }
            promise.set_value(built);
            return built;
        } catch (...) {
            promise.set_exception(std::current_exception());
            throw;
        }
    }

    StationsOfAngle stationsOf_;
    std::mutex mutex_;
    std::map<double, Slot> slots_;
    std::size_t ahead_ = 0;   // built ahead, not yet taken
    std::size_t bytes_ = 0;   // of one angle's stations
};

// here() on this thread and there() on a second one at once; an exception
// of either is passed on once both are done.
void bothAtOnce(const std::function<void()>& there, const std::function<void()>& here)
{
    std::exception_ptr failure;
    std::thread second([&] {
        try {
            there();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        here();
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

bool frictionStandsOut(double cdf, double cdfBelow, double cdfAbove)
{
    return cdf > kFrictionSpike * std::max(cdfBelow, cdfAbove) + kFrictionSpikeMargin;
}

std::vector<BranchJump> liftAheadOfTheCurve(const std::vector<double>& alphas,
                                            const std::vector<double>& lift,
                                            const std::vector<char>& converged)
{
    std::vector<BranchJump> jumps;
    const std::size_t n = std::min({alphas.size(), lift.size(), converged.size()});
    if (n == 0) return jumps;
    std::size_t start = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (std::abs(alphas[i]) < std::abs(alphas[start])) start = i;
    if (!converged[start]) return jumps;
    std::vector<std::size_t> up, down;
    for (std::size_t i = 0; i < n; ++i) (alphas[i] >= alphas[start] ? up : down).push_back(i);
    std::sort(up.begin(), up.end(),
              [&](std::size_t a, std::size_t b) { return alphas[a] < alphas[b]; });
    std::sort(down.begin(), down.end(),
              [&](std::size_t a, std::size_t b) { return alphas[a] > alphas[b]; });
    // A lift curve rises at most at the thin-airfoil slope: half as much
    // again is no flow's.
    constexpr double kSteepestRise = 1.5;
    // The slope the curve is continued at beyond a failure: the steepest
    // secant from the last converged angle back to the one before it or to
    // any within this many degrees, so that it does not hang on the sweep's
    // step (a dip of the lift at the last half degree before the failure
    // would otherwise stand for the whole curve).
    constexpr double kSlopeBase = 2;
    for (const std::vector<std::size_t>* branch : {&up, &down}) {
        const double sign = branch == &up ? 1.0 : -1.0;
        std::size_t last = start;
        double slope = kThinAirfoilSlope;
        bool failed = false;
        // Whether the lift has fallen from one converged angle to the next.
        bool turned = false;
        // The converged angles of the branch so far.
        std::vector<std::size_t> before{start};
        for (std::size_t i : *branch) {
            if (i == start) continue;
            if (!converged[i]) {
                failed = true;
                continue;
            }
            if (!failed) {
                const double d = alphas[i] - alphas[last];
                if (turned && sign * (lift[i] - lift[last]) >
                                  kSteepestRise * kThinAirfoilSlope * std::abs(d) + 0.02) {
                    // After the lift has fallen, a rise far steeper than
                    // any lift curve's: the attached branch again, not the
                    // stalled flow.
                    jumps.push_back({i, last});
                    continue;
                }
                double steepest = -kThinAirfoilSlope;
                for (std::size_t k : before) {
                    const double dk = alphas[i] - alphas[k];
                    if (std::abs(dk) > 1e-12 && (k == last || std::abs(dk) <= kSlopeBase + 1e-9))
                        steepest = std::max(steepest, (lift[i] - lift[k]) / dk);
                }
                if (std::abs(d) > 1e-12) slope = std::max(steepest, 0.0);
                if (sign * lift[i] < sign * lift[last]) turned = true;
                last = i;
                before.push_back(i);
                continue;
            }
            const double span = std::abs(alphas[i] - alphas[last]);
            if (sign * lift[i] > sign * lift[last] + 1.2 * slope * span + 0.02)
                jumps.push_back({i, last});
        }
    }
    return jumps;
}

namespace {

// A point that fails at its Reynolds number may still be reached along the
// Reynolds number. Past the maximum lift at a small Reynolds number the
// nose's laminar bubble bursts and the flow stalls from the nose; the
// iteration walking up in angle stays on the branch whose bubble still
// reattaches until that branch ends, and a fresh start finds neither. At
// half the Reynolds number the stalled flow is reached by the sweep, and
// carried back up from there it stays stalled: each step of the Reynolds
// number kReynoldsStep, warm from the last, its square root after a step
// that fails, given up below kSmallestReynoldsStep.
constexpr double kLowerReynolds = 0.5;
constexpr double kReynoldsStep = 1.2;
constexpr double kSmallestReynoldsStep = 1.02;
// How far (in CL) the lift must have fallen from its largest value.
constexpr double kPastMaximumMargin = 1e-3;

// The nearest converged angle below and above point i, when both exist.
std::optional<std::array<std::size_t, 2>> convergedNeighbours(const std::vector<double>& alphas,
                                                              const std::vector<SweepPoint>& points,
                                                              std::size_t i)
{
    std::array<std::size_t, 2> nb{points.size(), points.size()};
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double d = alphas[k] - alphas[i];
        if (!points[k].result.converged || d == 0) continue;
        std::size_t& j = nb[d < 0 ? 0 : 1];
        if (j == points.size() || std::abs(d) < std::abs(alphas[j] - alphas[i])) j = k;
    }
    if (nb[0] == points.size() || nb[1] == points.size()) return std::nullopt;
    return nb;
}

// From a converged state at `options.re * kLowerReynolds` (same angle,
// same stations) up to options.re; whether it got there (`out` then holds
// the point at options.re).
bool walkUpInReynolds(const StationsOfAngle& stationsOf, const CoupledOptions& options,
                      double alpha, CoupledState state, double lowRe, CoupledResult& out,
                      NewtonSolver& newton, const std::function<bool()>& goOn)
{
    double re = lowRe, factor = kReynoldsStep;
    while (goOn()) {
        CoupledOptions o = options;
        o.re = std::min(options.re, re * factor);
        CoupledResult r;
        if (solveAtAngle(stationsOf, o, alpha, &state, r, newton)) {
            state = r.state;
            re = o.re;
            if (re >= options.re) {
                out = std::move(r);
                return true;
            }
        } else {
            factor = std::sqrt(factor);
            if (factor < kSmallestReynoldsStep) return false;
        }
    }
    return false;
}

std::vector<SweepPoint> sweepCoupledOnce(
    const std::vector<double>& alphas, const StationsOfAngle& stationsOf,
    const CoupledOptions& options,
    const std::function<bool(std::size_t done, std::size_t total)>& keepGoing,
    const std::string& cancelledReason, int halvings);
// solveWithContinuation, and how many times over a point past the maximum
// lift may go through half the Reynolds number (a sweep there may need it
// once more to start: NACA 0012 on xfoil's nodes at Re 2e5 and 17 degrees
// went through 1e5, whose sweep started at 16 degrees through 5e4).
SweepPoint solveWithContinuationOnce(double alphaDeg, const StationsOfAngle& stationsOfAngle,
                                     const CoupledOptions& options, int halvings);
// Halvings of the Reynolds number a point may go through.
constexpr int kReynoldsHalvings = 2;

// Whether the converged lift, outward from 0 to the converged angle `at` on
// its side, has passed its largest value there (of its sign): the sweep or
// walk stands past the maximum lift.
bool pastLiftMaximum(const std::vector<double>& alphas, const std::vector<double>& lift,
                     const std::vector<char>& converged, std::size_t at)
{
    const double side = alphas[at] < 0 ? -1.0 : 1.0;
    for (std::size_t k = 0; k < alphas.size(); ++k)
        if (converged[k] && side * alphas[k] >= 0 && side * alphas[k] < side * alphas[at] &&
            side * lift[k] > side * lift[at] + kPastMaximumMargin)
            return true;
    return false;
}

// The sweep's points that failed (not those cancelled) beyond the maximum
// lift, reached through half the Reynolds number: the failed angles swept
// there, each with the converged angle next to its run on the side of 0
// (where the sweep at the lower Reynolds number starts), then walked up
// (walkUpInReynolds). (Where the lift still rose at the last converged
// angle the iteration failed for another reason than the stall, and a
// second sweep would only double the time of the first.)
// (`sweepStations` is called from the lower sweep's two threads at once,
// `stationsOf` from this thread alone.)
void reachThroughLowerReynolds(const std::vector<double>& alphas, std::vector<SweepPoint>& points,
                               const StationsOfAngle& sweepStations,
                               const StationsOfAngle& stationsOf, const CoupledOptions& options,
                               const std::function<bool()>& goOn,
                               const std::string& cancelledReason, int halvings)
{
    std::vector<double> lift(points.size());
    std::vector<char> converged(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        lift[k] = points[k].result.circulationLift;
        converged[k] = points[k].result.converged;
    }
    std::vector<std::size_t> failed;
    std::vector<double> sub;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].result.converged || points[i].result.iterations == 0) continue;
        std::size_t next = points.size();  // the nearest converged angle towards 0
        for (std::size_t k = 0; k < points.size(); ++k) {
            if (!points[k].result.converged) continue;
            const bool towardsZero = std::abs(alphas[k]) < std::abs(alphas[i]) &&
                                     (alphas[k] - alphas[i]) * alphas[i] <= 0;
            if (!towardsZero) continue;
            if (next == points.size() ||
                std::abs(alphas[k] - alphas[i]) < std::abs(alphas[next] - alphas[i]))
                next = k;
        }
        if (next == points.size() || !pastLiftMaximum(alphas, lift, converged, next)) continue;
        failed.push_back(i);
        sub.push_back(alphas[i]);
        sub.push_back(alphas[next]);
    }
    if (failed.empty() || !goOn()) return;
    std::sort(sub.begin(), sub.end());
    sub.erase(std::unique(sub.begin(), sub.end()), sub.end());
    CoupledOptions low = options;
    low.re = options.re * kLowerReynolds;
    const std::vector<SweepPoint> lowPoints = sweepCoupledOnce(
        sub, sweepStations, low, [&goOn](std::size_t, std::size_t) { return goOn(); },
        cancelledReason, halvings - 1);
    NewtonSolver newton;
    for (std::size_t i : failed) {
        const auto at = std::find(sub.begin(), sub.end(), alphas[i]);
        const SweepPoint& lowPoint = lowPoints[static_cast<std::size_t>(at - sub.begin())];
        if (!lowPoint.result.converged) continue;
        CoupledResult r;
        if (walkUpInReynolds(stationsOf, options, alphas[i], lowPoint.result.state, low.re, r,
                             newton, goOn)) {
            points[i].result = std::move(r);
            points[i].route = 3;
        }
    }
}

std::vector<SweepPoint> sweepCoupledOnce(
    const std::vector<double>& alphas, const StationsOfAngle& stationsOf,
    const CoupledOptions& options,
    const std::function<bool(std::size_t done, std::size_t total)>& keepGoing,
    const std::string& cancelledReason, int halvings)
{
    std::vector<SweepPoint> points(alphas.size());
    if (alphas.empty()) return points;
    for (std::size_t i = 0; i < alphas.size(); ++i) {
        points[i].alphaDeg = alphas[i];
        points[i].result.reason = cancelledReason;
    }
    // The two branches run on two threads; the progress callback is never
    // asked from both at once.
    std::atomic<bool> cancelled{false};
    std::atomic<std::size_t> done{0};
    std::mutex asking;
    // (the count of angles done read under the lock, so that the callback
    // sees it grow; all of them once the outward pass is over)
    auto goOn = [&] {
        if (cancelled.load()) return false;
        if (keepGoing) {
            const std::lock_guard<std::mutex> lock(asking);
            const std::size_t d = done.load();
            if (!cancelled.load() && !keepGoing(d, alphas.size())) cancelled = true;
        }
        return !cancelled.load();
    };
    // Asked again before every attempt (a point that fails tries several),
    // so that a cancel does not wait for the retries of a point: once
    // cancelled, no stations are built. Each branch keeps the stations of
    // its own last angles.
    StationsAhead ahead(stationsOf);
    auto anglesOf = [&](const std::vector<std::size_t>& order) {
        std::vector<double> angles;
        for (std::size_t i : order) angles.push_back(alphas[i]);
        return angles;
    };
    const StationsOfAngle shared = [&ahead](double alpha) { return ahead.take(alpha); };
    auto stationsOrStop = [&]() -> StationsOfAngle {
        const StationsOfAngle built = remembered(shared);
        return [&goOn, &cancelledReason, built](double alpha) -> Outcome<CouplingStations> {
            if (!goOn()) return Refusal{Refusal::Kind::Cancelled, cancelledReason};
            return built(alpha);
        };
    };
    // The same for a caller that may call from two threads at once (a walk
    // that sweeps at a lower Reynolds number): the caller's stations, unkept.
    const StationsOfAngle stopping = [&goOn, &cancelledReason,
                                      &stationsOf](double alpha) -> Outcome<CouplingStations> {
        if (!goOn()) return Refusal{Refusal::Kind::Cancelled, cancelledReason};
        return stationsOf(alpha);
    };
    // The start: the angle nearest 0 from a fresh start; where that does not
    // converge, the nearest of the next two whose fresh start does, so that
    // the angles between are reached warm from it rather than fresh (NACA
    // 4415 on xfoil's nodes at Re 3e6 fails fresh at -0.5 degrees).
    std::vector<std::size_t> nearest(alphas.size());
    for (std::size_t i = 0; i < alphas.size(); ++i) nearest[i] = i;
    std::stable_sort(nearest.begin(), nearest.end(), [&](std::size_t a, std::size_t b) {
        return std::abs(alphas[a]) < std::abs(alphas[b]);
    });
    std::size_t start = nearest.front();
    {
        // (each try with stations of its own: two run at once)
        auto freshAt = [&](std::size_t i) {
            points[i].route = 0;
            NewtonSolver newton;
            return solveAtAngle(stationsOrStop(), options, alphas[i], nullptr, points[i].result, newton);
        };
        // The nearest alone first: where it converges (the common case) the
        // branches start at once. Where it does not, the next two at once,
        // one on each thread, and the nearer that converges starts.
        // (meanwhile the other thread builds the stations of the angles
        // nearest 0 after it, where the branches will begin)
        bool nearestConverged = false;
        if (goOn()) {
            std::atomic<bool> started{false};
            bothAtOnce(
                [&] {
                    ahead.buildAhead(
                        anglesOf(nearest), [] { return std::size_t{1}; },
                        [&] { return started.load() || !goOn(); });
                },
                [&] {
                    nearestConverged = freshAt(nearest[0]);
                    started = true;
                });
        }
        if (!nearestConverged && nearest.size() > 1 && goOn()) {
            bool nextConverged = false, afterConverged = false;
            if (nearest.size() > 2)
                bothAtOnce([&] { afterConverged = freshAt(nearest[2]); },
                           [&] { nextConverged = freshAt(nearest[1]); });
            else
                nextConverged = freshAt(nearest[1]);
            if (nextConverged) {
                start = nearest[1];
                // (the one after is solved again in its branch, warm)
                if (nearest.size() > 2) {
                    points[nearest[2]].result = CoupledResult{};
                    points[nearest[2]].result.reason = cancelledReason;
                }
            } else if (afterConverged) {
                start = nearest[2];
            }
        }
        // Where no fresh start converged, the nearest angle is walked to
        // from 0 degrees as a single point is (solveWithContinuation), and
        // the branches leave from there: a sweep that does not hold 0 (NACA
        // 0012 of 241 points at Re 1e5 from 2 degrees, whose fresh start
        // fails) would otherwise start every angle fresh.
        if (!points[start].result.converged && points[start].result.iterations > 0 && goOn()) {
            SweepPoint walked =
                solveWithContinuationOnce(alphas[nearest[0]], stopping, options, halvings);
            if (walked.result.converged) {
                start = nearest[0];
                points[start].result = std::move(walked.result);
                points[start].route = 2;
            }
        }
        ++done;
    }
    std::vector<std::size_t> up, down;
    for (std::size_t i = 0; i < alphas.size(); ++i)
        if (i != start) (alphas[i] >= alphas[start] ? up : down).push_back(i);
    auto byAngle = [&](std::size_t a, std::size_t b) { return alphas[a] < alphas[b]; };
    std::sort(up.begin(), up.end(), byAngle);
    std::sort(down.begin(), down.end(), [&](std::size_t a, std::size_t b) { return byAngle(b, a); });

    // The angles of a branch in order, each from the last converged one
    // (the first from `from` when given).
    // (the position in its branch of the angle each branch is at)
    std::atomic<std::size_t> upAt{0}, downAt{0};
    // A branch ahead of the other (more of its angles done, by share) builds
    // the other's next stations, one after each of its own angles: the
    // branch towards the stall of a cambered section, whose transition
    // points cross the chord, takes half again as many Newton steps, and
    // the stations of its angles, a fifth of an angle's work, need no layer.
    auto helpAhead = [&](const std::vector<std::size_t>& other, const std::atomic<std::size_t>& at,
                         std::size_t most) {
        ahead.buildAhead(
            anglesOf(other), [&] { return at.load() + 1; }, [&] { return !goOn(); }, most);
    };
    auto runBranch = [&](const std::vector<std::size_t>& branch, const SweepPoint* from,
                         std::atomic<std::size_t>& at, const std::vector<std::size_t>& other,
                         const std::atomic<std::size_t>& otherAt) {
        const StationsOfAngle stations = stationsOrStop();
        NewtonSolver newton;
        // The branch's last three converged angles, the neighbour last.
        struct Converged {
            double alpha;
            CoupledState state;
        };
        std::deque<Converged> history;
        if (from && from->result.converged) history.push_back({from->alphaDeg, from->result.state});
        for (std::size_t position = 0; position < branch.size(); ++position) {
            at = position;
            const std::size_t i = branch[position];
            if (!goOn()) break;
            SweepPoint& p = points[i];
            const std::size_t n = history.size();
            // The first iterate on the secant through two converged angles
            // (none when they coincide).
            auto secant = [&](const Converged& a, const Converged& b) {
                return secantGuess(a.alpha, a.state, b.alpha, b.state, alphas[i]);
            };
            // Warm first (the layers of neighbouring angles are a few Newton
            // steps from this one's, and past the stall they keep the sweep
            // on the stalled branch): from the secant of the last two
            // converged angles, then from the last one alone; a fresh start
            // when both fail.
            bool ok = false;
            if (n >= 2) {
                if (const auto guess = secant(history[n - 2], history[n - 1])) {
                    ok = solveAtAngle(stations, options, alphas[i], &*guess, p.result, newton);
                    if (ok) p.route = 1;
                }
            }
            if (!ok && n >= 1) {
                ok = solveAtAngle(stations, options, alphas[i], &history.back().state, p.result, newton);
                if (ok) p.route = 1;
            }
            // Then through two and four smaller steps from the neighbour (a
            // point refused before any Newton step, with no stations for the
            // angle or no stagnation point on the contour, is not one
            // smaller steps would reach), and last from a fresh start: the
            // neighbour's layer in smaller steps is a short walk, a fresh
            // start a long one (up to three tries from a march) that, past
            // the stall, may end on another branch of the equations.
            const bool iterated = p.result.iterations > 0;
            for (int parts = 2; !ok && n >= 1 && iterated && parts <= 4; parts *= 2) {
                CoupledResult r;
                if (reachInSteps(stations, options, history.back().state, history.back().alpha, alphas[i],
                                 parts, r, newton)) {
                    p.result = std::move(r);
                    p.route = 2;
                    ok = true;
                }
            }
            // Then from the secant of the two converged angles before the
            // neighbour, as if the neighbour were not there: near the stall
            // the neighbour may stand on a lower branch of the lift curve
            // (NACA 2412 at Re 3e6 by half degrees: 1.593 at 16.5 after
            // 1.646 at 16), from which the next angles are not reached,
            // where the curve before it leads on (to 1.695 at 17, as a
            // sweep by whole degrees goes from 15 and 16).
            if (!ok && n >= 3 && iterated) {
                if (const auto guess = secant(history[n - 3], history[n - 2])) {
                    CoupledResult r;
                    if (solveAtAngle(stations, options, alphas[i], &*guess, r, newton)) {
                        p.result = std::move(r);
                        p.route = 2;
                        ok = true;
                    }
                }
            }
            if (!ok) {
                CoupledResult r;
                ok = solveAtAngle(stations, options, alphas[i], nullptr, r, newton);
                if (ok || n == 0 || p.result.iterations == 0) {
                    p.result = std::move(r);
                    p.route = 0;
                }
            }
            // Last, smaller steps again, each after the first from the
            // secant through the two before it. Where the attached branch
            // ends in a fold between two angles, the secant leads the layer
            // over it onto the stalled branch, where a warm start from the
            // last attached layer stays stuck at the fold (NACA 0006 of 161
            // points at Re 1e6, 8 to 10 degrees: 9 converged attached, 10
            // from 9 failed; from the secant through 8 and 9 it converges
            // stalled, CL 0.773, as xfoil's 0.705 on the same points).
            for (int parts = 2; !ok && n >= 1 && iterated && parts <= 4; parts *= 2) {
                CoupledResult r;
                if (reachInSteps(stations, options, history.back().state, history.back().alpha, alphas[i],
                                 parts, r, newton, true)) {
                    p.result = std::move(r);
                    p.route = 2;
                    ok = true;
                }
            }
            if (ok) {
                history.push_back({alphas[i], p.result.state});
                if (history.size() > 3) history.pop_front();
            }
            ++done;
            // (ahead when fewer of its angles are left, in share, than of
            // the other's)
            const std::size_t left = branch.size() - position - 1;
            const std::size_t otherLeft = other.size() - std::min(other.size(), otherAt.load() + 1);
            if (left * other.size() < otherLeft * branch.size()) helpAhead(other, otherAt, 1);
        }
    };
    // Both branches from the start at once (each is the same
    // sequence of solves whichever runs first: the results do not depend on
    // the threads).
    if (!down.empty() && !up.empty()) {
        // (a branch that is done builds the other's stations ahead of it,
        // the nearest first, within kAheadBytes of stations waiting)
        constexpr std::size_t all = std::numeric_limits<std::size_t>::max();
        bothAtOnce(
            [&] {
                runBranch(down, &points[start], downAt, up, upAt);
                helpAhead(up, upAt, all);
            },
            [&] {
                runBranch(up, &points[start], upAt, down, downAt);
                helpAhead(down, downAt, all);
            });
    } else {
        const std::vector<std::size_t> none;
        runBranch(up.empty() ? down : up, &points[start], upAt, none, downAt);
    }
    // A point that failed before any neighbour had converged (the start of
    // a branch on a cambered section, say) is reached back from the nearest
    // converged point on either side of it, through two steps (four from
    // more than a degree away), for as long as that brings more points in.
    std::vector<std::array<bool, 2>> tried(points.size(), {false, false});
    const StationsOfAngle backStations = stationsOrStop();
    NewtonSolver backNewton;
    for (bool progress = !cancelled.load(); progress;) {
        progress = false;
        for (std::size_t i = 0; i < points.size(); ++i) {
            SweepPoint& p = points[i];
            if (p.result.converged || p.result.iterations == 0) continue;
            if (!goOn()) break;
            for (int side = 0; side < 2 && !p.result.converged; ++side) {
                // the nearest converged angle below (side 0) or above
                std::size_t j = points.size();
                for (std::size_t k = 0; k < points.size(); ++k) {
                    const double d = alphas[k] - alphas[i];
                    if (!points[k].result.converged || (side == 0 ? d >= 0 : d <= 0)) continue;
                    if (j == points.size() || std::abs(d) < std::abs(alphas[j] - alphas[i])) j = k;
                }
                if (j == points.size() || tried[i][side]) continue;
                tried[i][side] = true;
                CoupledResult res;
                const int parts = std::abs(alphas[j] - alphas[i]) > 1.01 ? 4 : 2;
                if (reachInSteps(backStations, options, points[j].result.state, alphas[j], alphas[i],
                                 parts, res, backNewton)) {
                    p.result = std::move(res);
                    p.route = 2;
                    progress = true;
                }
            }
        }
    }
    // A point that still fails between two converged ones is solved as a
    // single point is (solveWithContinuation: a fresh start, then from a
    // fresh start a degree nearer 0 or by whole degrees from 0), so that a
    // sweep converges wherever a press of the same angle does (NACA 4415 of
    // 101 points, Hess, Re 9e6, Ncrit 6, swept by 2 degrees: 0 and 8 failed
    // between converged neighbours, reached back from them through the
    // transition's fast move along the lower surface; pressed alone, each
    // converges).
    for (std::size_t i = 0; i < points.size() && !cancelled.load(); ++i) {
        SweepPoint& p = points[i];
        if (p.result.converged || p.result.iterations == 0) continue;
        bool below = false, above = false;
        for (std::size_t k = 0; k < points.size(); ++k) {
            if (!points[k].result.converged) continue;
            below = below || alphas[k] < alphas[i];
            above = above || alphas[k] > alphas[i];
        }
        if (!below || !above || !goOn()) continue;
        SweepPoint single = solveWithContinuationOnce(alphas[i], stopping, options, 0);
        if (single.result.converged) {
            p.result = std::move(single.result);
            p.route = single.route;
        }
    }
    // What still fails, through half the Reynolds number.
    if (halvings > 0 && !cancelled.load())
        reachThroughLowerReynolds(alphas, points, stopping, stationsOrStop(), options, goOn,
                                  cancelledReason, halvings);
    // A converged layer can sit on another branch of the equations behind
    // a bubble near the nose (see frictionStandsOut); every such point
    // checked came back to the same layer when solved again warm from either
    // neighbour, so it is reported, not replaced. The flags come from the
    // converged points as they stand, all at once.
    {
        std::vector<std::string> spikes(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const std::optional<std::array<std::size_t, 2>> nb = convergedNeighbours(alphas, points, i);
            if (!nb || !points[i].result.converged) continue;
            const double below = points[(*nb)[0]].result.cdf, above = points[(*nb)[1]].result.cdf;
            if (!frictionStandsOut(points[i].result.cdf, below, above)) continue;
            std::ostringstream os;
            const auto cdf = [&](double v) {
                std::ostringstream f;
                f << std::fixed << std::setprecision(5) << v;
                return f.str();
            };
            os.precision(3);
            os << "the friction drag stands out above both neighbours' (CDf "
               << cdf(points[i].result.cdf) << " against " << cdf(below) << " at "
               << alphas[(*nb)[0]] << " and " << cdf(above) << " at " << alphas[(*nb)[1]]
               << " degrees): a layer on another branch of the equations";
            spikes[i] = os.str();
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (spikes[i].empty()) continue;
            points[i].result.converged = false;
            points[i].result.reason = spikes[i];
        }
    }
    // Past the stall a fresh start can land on another branch of the
    // equations (see liftAheadOfTheCurve).
    {
        std::vector<double> lift(points.size());
        std::vector<char> converged(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            lift[i] = points[i].result.circulationLift;
            converged[i] = points[i].result.converged;
        }
        for (const BranchJump& jump : liftAheadOfTheCurve(alphas, lift, converged)) {
            CoupledResult& r = points[jump.point].result;
            r.converged = false;
            std::ostringstream os;
            os.precision(3);
            os << "the lift runs ahead of the lift curve swept to "
               << alphas[jump.lastBefore] << " degrees: another branch of the equations, "
                                             "not the stalled flow";
            r.reason = os.str();
        }
    }
    return points;
}

}  // namespace

double flatPlateShapeFactor(double reTheta)
{
    // (Hk - 1)/Hk rises with Hk and Cf falls: one root, by bisection (to
    // 2e-9, far below what the check needs)
    double low = 1.01, high = 3.0;
    for (int k = 0; k < 30; ++k) {
        const double hk = 0.5 * (low + high);
        const double cf = std::max(turbulentCf(hk, reTheta), 0.0);
        if ((hk - 1.0) / hk > kLocusA * std::sqrt(0.5 * cf))
            high = hk;
        else
            low = hk;
    }
    return 0.5 * (low + high);
}

ShapeShortfall turbulentShapeShortfall(const CoupledResult& result, double re)
{
    ShapeShortfall worst;
    for (const StationResult& s : result.stations) {
        // (the flat plate's shape factor stays below 1.6 at every Re_theta
        // the closure admits: a station above it cannot fall short)
        if (s.side == Side::Wake || !s.turbulent || !(s.theta > 0) || !(s.ue > 0) || s.H >= 1.6)
            continue;
        const double flat = flatPlateShapeFactor(re * s.ue * s.theta);
        if (flat - s.H > worst.shortfall) worst = {flat - s.H, s.side, s.x, s.H, flat};
    }
    return worst;
}

void reportShapeBelowTurbulent(SweepPoint& point, double re)
{
    if (!point.result.converged) return;
    const ShapeShortfall w = turbulentShapeShortfall(point.result, re);
    if (!(w.shortfall > kShapeShortfallOfAnotherBranch)) return;
    std::ostringstream os;
    os << std::fixed << std::setprecision(2) << "the turbulent layer on the "
       << (w.side == Side::Upper ? "upper" : "lower") << " surface at x/c = "
       << std::setprecision(3) << w.x << " runs at H " << std::setprecision(2) << w.H
       << ", below the " << w.flatPlate
       << " of a turbulent layer in equilibrium on a flat plate: a layer on another branch of "
          "the equations";
    point.result.converged = false;
    point.result.reason = os.str();
}

std::vector<SweepPoint> sweepCoupled(
    const std::vector<double>& alphas, const StationsOfAngle& stationsOf,
    const CoupledOptions& options,
    const std::function<bool(std::size_t done, std::size_t total)>& keepGoing,
    const std::string& cancelledReason)
{
    std::vector<SweepPoint> points = sweepCoupledOnce(alphas, stationsOf, options, keepGoing,
                                                      cancelledReason, kReynoldsHalvings);
    for (SweepPoint& p : points) reportShapeBelowTurbulent(p, options.re);
    return points;
}

// Beyond this angle (degrees) a point that fails from a fresh start is not
// walked to from 0; up to the other a fresh start that converges is taken as
// it is (below the stall there is one branch).
constexpr double kLargestContinuedAngle = 25;
constexpr double kTrustedFreshAngle = 8;

SweepPoint solveWithContinuation(double alphaDeg, const StationsOfAngle& stationsOfAngle,
                                 const CoupledOptions& options)
{
    SweepPoint point = solveWithContinuationOnce(alphaDeg, stationsOfAngle, options, kReynoldsHalvings);
    reportShapeBelowTurbulent(point, options.re);
    return point;
}

namespace {

SweepPoint solveWithContinuationOnce(double alphaDeg, const StationsOfAngle& stationsOfAngle,
                                     const CoupledOptions& options, int halvings)
{
    const StationsOfAngle stationsOf = remembered(stationsOfAngle);
    NewtonSolver newton;  // (its work space from angle to angle of the walk)
    SweepPoint point;
    point.alphaDeg = alphaDeg;
    const Outcome<CouplingStations> st = stationsOf(alphaDeg);
    if (st.ok())
        point.result = solveCoupledWith(*st, options, nullptr, newton);
    else
        point.result.reason = st.refusal().message;
    if (!std::isfinite(alphaDeg) || std::abs(alphaDeg) > kLargestContinuedAngle ||
        (point.result.converged && std::abs(alphaDeg) <= kTrustedFreshAngle))
        return point;
    if (std::abs(alphaDeg) < 1) {
        // Within a degree of 0 no walk leads there from 0: from a fresh
        // start one degree away (on the angle's side first), warm, then in
        // two and four steps.
        const double sign = alphaDeg < 0 ? -1.0 : 1.0;
        for (double from : {sign, -sign}) {
            CoupledResult start, r;
            if (!solveAtAngle(stationsOf, options, from, nullptr, start, newton)) continue;
            if (reachWarm(stationsOf, options, start.state, from, alphaDeg, r, newton)) {
                point.result = std::move(r);
                point.route = 2;
                return point;
            }
        }
        return point;
    }
    // From 0 outward by whole degrees to the angle itself, each warm from the
    // last (in two and four steps when it does not converge at once, then
    // from a fresh start); the walk ends at the first angle it cannot reach.
    std::vector<double> angles;
    const double sign = alphaDeg < 0 ? -1.0 : 1.0;
    for (int k = 0; k < std::abs(alphaDeg); ++k) angles.push_back(sign * k);
    angles.push_back(alphaDeg);
    std::vector<double> walkedAlpha, walkedLift;
    std::vector<char> walkedConverged;
    CoupledResult last;
    // (from the first whole degree outward from 0 whose fresh start
    // converges: on some sections 0 itself does not)
    std::size_t first = 0;
    bool reached = solveAtAngle(stationsOf, options, angles.front(), nullptr, last, newton);
    while (!reached && first + 2 < angles.size())
        reached = solveAtAngle(stationsOf, options, angles[++first], nullptr, last, newton);
    if (reached) {
        walkedAlpha.push_back(angles[first]);
        walkedLift.push_back(last.circulationLift);
        walkedConverged.push_back(1);
    }
    for (std::size_t k = first + 1; reached && k < angles.size(); ++k) {
        CoupledResult r;
        bool ok = reachWarm(stationsOf, options, last.state, angles[k - 1], angles[k], r, newton);
        // (and, as a sweep does, from a fresh start at the angle)
        if (!ok) ok = solveAtAngle(stationsOf, options, angles[k], nullptr, r, newton);
        if (!ok) {
            reached = false;
            if (k + 1 < angles.size()) {
                walkedAlpha.push_back(angles[k]);  // the angle that failed
                walkedLift.push_back(0);
                walkedConverged.push_back(0);
            }
            break;
        }
        last = std::move(r);
        if (k + 1 < angles.size()) {
            walkedAlpha.push_back(angles[k]);
            walkedLift.push_back(last.circulationLift);
            walkedConverged.push_back(1);
        }
    }
    // (whether the walk's lift had passed its largest value where it ended)
    bool pastMaximum = false;
    for (std::size_t k = walkedAlpha.size(); k-- > 0;)
        if (walkedConverged[k]) {
            pastMaximum = pastLiftMaximum(walkedAlpha, walkedLift, walkedConverged, k);
            break;
        }
    if (reached) {
        // The continuous branch from 0, whatever the fresh start found.
        point.result = std::move(last);
        point.route = 2;
        return point;
    }
    // The fresh start converged where the walk from 0 could not reach: past
    // the stall it may be another branch of the equations (see
    // liftAheadOfTheCurve).
    if (point.result.converged && !walkedAlpha.empty()) {
        walkedAlpha.push_back(alphaDeg);
        walkedLift.push_back(point.result.circulationLift);
        walkedConverged.push_back(1);
        for (const BranchJump& jump : liftAheadOfTheCurve(walkedAlpha, walkedLift, walkedConverged))
            if (jump.point + 1 == walkedAlpha.size()) {
                point.result.converged = false;
                std::ostringstream os;
                os.precision(3);
                os << "the lift runs ahead of the lift curve walked from 0 degrees (to "
                   << walkedAlpha[jump.lastBefore] << " degrees, beyond which the walk failed): "
                      "another branch of the equations, not the stalled flow";
                point.result.reason = os.str();
            }
    }
    // Past the maximum lift of the walk: through half the Reynolds number,
    // the walk's angles swept there, then the point walked up to its own
    // (see walkUpInReynolds).
    if (!point.result.converged && pastMaximum && halvings > 0) {
        CoupledOptions low = options;
        low.re = options.re * kLowerReynolds;
        // (the caller's stations: the sweep calls them from two threads)
        const std::vector<SweepPoint> lowPoints =
            sweepCoupledOnce(angles, stationsOfAngle, low, {}, "cancelled", halvings - 1);
        CoupledResult r;
        if (!lowPoints.empty() && lowPoints.back().result.converged &&
            walkUpInReynolds(stationsOf, options, alphaDeg, lowPoints.back().result.state, low.re,
                             r, newton, [] { return true; })) {
            point.result = std::move(r);
            point.route = 3;
        }
    }
    return point;
}

// The longest step of the walk towards a prescribed lift (degrees), and
// how many of them at most.
constexpr double kLiftWalkStep = 1;
constexpr int kLiftWalkSteps = 40;

std::string liftText(double v)
{
    std::ostringstream os;
    os.precision(4);
    os << v;
    return os.str();
}

}  // namespace

namespace {

SweepPoint solveForLiftOnce(double startDeg, double targetCl, const StationsOfAngle& stationsOfAngle,
                            const CoupledOptions& options, const LiftOfStations& liftOf)
{
    const StationsOfAngle stationsOf = remembered(stationsOfAngle);
    CoupledOptions plain = options;
    plain.targetCl.reset();
    plain.liftOf = {};
    SweepPoint point;
    point.alphaDeg = startDeg;
    if (!std::isfinite(targetCl) || !std::isfinite(startDeg) || !liftOf) {
        point.result.reason = "no finite target lift or starting angle";
        return point;
    }
    // The lift of a converged point at its angle.
    auto liftAt = [&](double alpha, const CoupledResult& r) -> std::optional<double> {
        const Outcome<CouplingStations> st = stationsOf(alpha);
        if (!st.ok()) return std::nullopt;
        const double cl = liftOf(*st, r.q, alpha);
        return std::isfinite(cl) ? std::optional<double>(cl) : std::nullopt;
    };

    // (the caller's stations, which allow two threads at once: the point's
    // walk may sweep at a lower Reynolds number)
    SweepPoint start = solveWithContinuation(startDeg, stationsOfAngle, plain);
    const std::optional<double> startLift =
        start.result.converged ? liftAt(startDeg, start.result) : std::nullopt;
    if (!startLift) {
        point.result = std::move(start.result);
        point.result.converged = false;
        point.result.reason = "the point at the starting angle of " + liftText(startDeg) +
                              " degrees did not converge: " + point.result.reason;
        return point;
    }
    struct Walked {
        double alpha = 0, cl = 0;
        CoupledState state;
    };
    Walked last{startDeg, *startLift, std::move(start.result.state)};
    std::optional<Walked> before;
    double slope = kThinAirfoilSlope;
    NewtonSolver newton;
    CoupledResult reached;  // the last point walked to, for a report
    auto stopped = [&](const std::string& why) {
        point.alphaDeg = last.alpha;
        point.result = std::move(reached);
        point.result.converged = false;
        point.result.alphaDeg = last.alpha;
        point.result.reason = why;
        return point;
    };

    for (int walk = 0; walk < kLiftWalkSteps; ++walk) {
        const double miss = targetCl - last.cl;
        const double ahead = miss / slope;
        if (std::abs(ahead) <= kLiftWalkStep) {
            // The angle an unknown, from the stations at the predicted angle,
            // then at the angle found while the two differ.
            CoupledOptions prescribed = options;
            prescribed.targetCl = targetCl;
            double alpha = last.alpha + ahead;
            CoupledState warm = last.state;
            std::optional<CoupledResult> found;
            for (int round = 0; round < 4; ++round) {
                const Outcome<CouplingStations> st = stationsOf(alpha);
                if (!st.ok()) break;
                prescribed.liftOf = [&liftOf, &stations = *st](const std::vector<double>& q, double a) {
                    return liftOf(stations, q, a);
                };
                CoupledResult r = solveCoupledWith(*st, prescribed, &warm, newton);
                if (!r.converged) break;
                const bool settled = std::abs(r.alphaDeg - alpha) <= kLiftWakeAngle;
                alpha = r.alphaDeg;
                warm = r.state;
                found = std::move(r);
                if (settled) break;
            }
            if (found) {
                point.alphaDeg = found->alphaDeg;
                point.result = std::move(*found);
                point.route = 2;
                return point;
            }
            // Not from here: half the way along the curve, and again.
        }
        const double step = std::abs(ahead) <= kLiftWalkStep ? 0.5 * ahead
                                                             : std::copysign(kLiftWalkStep, ahead);
        double alpha = last.alpha + step;
        if (std::abs(alpha) > kLargestContinuedAngle)
            return stopped("the lift of " + liftText(targetCl) + " lies beyond " +
                           liftText(kLargestContinuedAngle) + " degrees: the walk from " +
                           liftText(startDeg) + " degrees reached CL = " + liftText(last.cl) +
                           " at " + liftText(last.alpha) + " degrees");
        // Warm from the secant of the last two points or from the last,
        // then (at the next angle) in two and four steps and, as a sweep
        // does, from a fresh start. Where the next angle cannot be reached
        // at all, the one after it, as a sweep goes on past an angle that
        // failed alone.
        CoupledResult r, failure;
        bool ok = false;
        for (int leap = 1; !ok && leap <= 2; ++leap) {
            const double a = last.alpha + leap * step;
            if (std::abs(a) > kLargestContinuedAngle) break;
            if (before) {
                if (const auto guess = secantGuess(before->alpha, before->state, last.alpha, last.state, a))
                    ok = solveAtAngle(stationsOf, plain, a, &*guess, r, newton);
            }
            if (!ok && leap == 1) ok = reachWarm(stationsOf, plain, last.state, last.alpha, a, r, newton);
            if (!ok && leap > 1) ok = solveAtAngle(stationsOf, plain, a, &last.state, r, newton);
            if (!ok) ok = solveAtAngle(stationsOf, plain, a, nullptr, r, newton);
            if (ok) alpha = a;
            if (leap == 1 && !ok) failure = r;  // the next angle's, for the report
        }
        if (!ok) r = std::move(failure);
        const std::optional<double> cl = ok ? liftAt(alpha, r) : std::nullopt;
        if (!cl)
            return stopped("the walk towards CL = " + liftText(targetCl) + " from " +
                           liftText(startDeg) + " degrees stopped at " + liftText(alpha) +
                           " degrees (CL = " + liftText(last.cl) + " at " + liftText(last.alpha) +
                           "): " + (r.reason.empty() ? std::string("its lift is not finite") : r.reason));
        if ((*cl - last.cl) * miss <= 0) {
            reached = std::move(r);
            return stopped("the lift moves away from CL = " + liftText(targetCl) + " beyond " +
                           liftText(last.alpha) + " degrees (CL = " + liftText(last.cl) + ", at " +
                           liftText(alpha) + " degrees " + liftText(*cl) +
                           "): the target lies beyond the lift the section reaches");
        }
        slope = (*cl - last.cl) / (alpha - last.alpha);
        before = std::move(last);
        last = Walked{alpha, *cl, r.state};
        reached = std::move(r);
    }
    return stopped("no angle of CL = " + liftText(targetCl) + " within " +
                   std::to_string(kLiftWalkSteps) + " steps of the walk from " +
                   liftText(startDeg) + " degrees");
}

}  // namespace

SweepPoint solveForLift(double startDeg, double targetCl, const StationsOfAngle& stationsOfAngle,
                        const CoupledOptions& options, const LiftOfStations& liftOf)
{
    SweepPoint point = solveForLiftOnce(startDeg, targetCl, stationsOfAngle, options, liftOf);
    reportShapeBelowTurbulent(point, options.re);
    return point;
}

}  // namespace tavrix::coupled
