// How the batch front end reads the numbers of its options. An option that
// mirrors a box of the main window reads its text by the box's leading-number
// rule, so that a run does what the window does; an option without a box
// takes a number only when the whole text is one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrix {

// The number the whole text is: an optional sign, digits with at most one
// point, an optional exponent; finite. Nothing for anything else ("1,5e6",
// "3e6x", " 3e6", "inf", a number beyond a double).
std::optional<double> wholeNumber(std::string_view text);

// Whether the leading-number rule reads all of the text (blanks, tabs and
// line feeds aside), so that nothing typed is silently dropped. An empty text
// holds nothing to drop.
bool readWhole(std::string_view text);

// The warning for an option read by the leading-number rule that leaves part
// of its text unread, `warning: --alpha "abc" reads as 0`; empty when the
// whole text was read (or the number is too large, which the run refuses).
std::string leadingNumberWarning(std::string_view option, std::string_view text);

}  // namespace tavrix
