// A number typed into a box of the analysis window. Unlike the main window's
// boxes, which read the leading number of any text, these boxes take a text
// only when all of it is one number, so that "abc" or "1,5e6" is refused
// instead of running silently at 0 or at 1.
#pragma once

#include <string>
#include <string_view>

namespace tavrix {

struct TypedNumber {
    enum class Kind {
        Empty,      // nothing but blanks
        Number,     // value holds it
        NotNumber,  // anything beyond an optional sign, digits, one point, an exponent
        TooLarge,   // a number beyond a double
    };
    Kind kind = Kind::Empty;
    double value = 0;
};

// Blanks and tabs around the number are ignored; the decimal separator is the
// point.
TypedNumber readTypedNumber(std::string_view text);

// The refusal of a box `what` ("The Reynolds number") whose text is not a
// number: `The Reynolds number must be a number: "abc"`.
std::string notANumberMessage(std::string_view what, std::string_view text);

}  // namespace tavrix
