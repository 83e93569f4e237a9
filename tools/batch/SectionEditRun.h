// The section edits of tavrixs-batch: --flap X:YT:DEG, --scale-thickness F,
// --scale-camber F and --te-gap W:BLEND, applied to the contour the source
// made in the order the command line gives them, together with --repanel;
// and the hinge moment of a press with a flap.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Form_TavrixS.h"

namespace tavrix {

// The value options of the command line as given, in order.
using OrderedOptions = std::vector<std::pair<std::string, std::string>>;

extern const char* const kSectionEditUsage;

bool isSectionEditOption(std::string_view name);

// Why an edit's value is not understood (each number must be the whole of
// its field), or nothing.
std::optional<std::string> sectionEditError(const OrderedOptions& options);

bool hasSectionEdits(const OrderedOptions& options);
bool flapGiven(const OrderedOptions& options);

// Whether --repanel comes before every edit (a file is then read with its
// points redistributed, as without edits).
bool repanelBeforeEdits(const OrderedOptions& options);

// Applies the edits and the repanellings in their order; the first
// --repanel is left out when the source already did it. False after a
// refusal (its message shown).
bool runSectionEdits(Form_TavrixS& form, const OrderedOptions& options, bool firstRepanelDone);

// "CH = " and the hinge moment coefficient of the press (four decimals),
// empty when the press did not complete.
void printHingeMoment(Form_TavrixS& form, std::ostream& out);

}  // namespace tavrix
