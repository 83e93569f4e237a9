// Why a computation gave no result, as a value: the kind for code that reacts
// to it, the message in the words the windows and the batch show.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tavrix {

struct Refusal {
    enum class Kind {
        NoContour,        // fewer than two end points
        Capacity,         // more end points than the method's system holds
        Mach,             // free-stream Mach number of 1 or more
        DegeneratePanel,  // two consecutive end points coincide
        ZeroPivot,        // the elimination met a pivot that is exactly zero
        NoFiniteResult,   // the coefficients came out infinite or NaN
        OutOfReach,       // a prescribed value the flow cannot reach
        UnreadableFile,   // a file that is not in the layout it should have
        Cancelled,        // the user stopped a run before this value was computed
    };
    Kind kind = Kind::NoContour;
    std::string message;
};

// The message texts of the refusals.
inline constexpr const char* kNoContourMessage = "Calculate airfoil coordinates";
inline constexpr const char* kMachMessage = "The free-stream Mach number must be less than 1";
inline constexpr const char* kZeroPivotMessage = " sıfır diyagonal elemanı";
inline constexpr const char* kNoFiniteResultMessage =
    "The calculation gave no finite result for this contour";

// A value or the refusal that stands in its place.
template <class T>
class Outcome {
public:
    Outcome(T value) : content_(std::move(value)) {}
    Outcome(Refusal refusal) : content_(std::move(refusal)) {}

    bool ok() const { return content_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(content_); }
    const T& value() const { return std::get<0>(content_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const Refusal& refusal() const { return std::get<1>(content_); }

private:
    std::variant<T, Refusal> content_;
};

}  // namespace tavrix
