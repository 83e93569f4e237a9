// The boundary-layer run of the batch front end: after a completed press,
// the drag, transition and separation of the layer on the press's speeds.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "app/Form_TavrixS.h"
#include "viscous/BoundaryLayer.h"

namespace tavrix {

// Usage lines of the options below.
extern const char* const kViscousUsage;

// Whether --re, --transition-upper and --transition-lower, as given in
// `values` (option name -> text), can be used; an error text if not.
std::optional<std::string> viscousOptionError(const std::map<std::string, std::string>& values);

// --no-natural-transition, a flag, needs --re as well.
inline constexpr const char* kNaturalTransitionOff = "--no-natural-transition";

// The layer's Reynolds number and transition from --re, --transition-upper,
// --transition-lower (checked by viscousOptionError) and the flag above.
BoundaryLayerSetup viscousSetup(const std::map<std::string, std::string>& values,
                                bool naturalTransitionOff);

// Prints the lines of the boundary layer on the last press of `form`.
// Returns the exit status: 0, or 1 when the layer could not be computed.
int runViscous(Form_TavrixS& form, const std::map<std::string, std::string>& values,
               bool naturalTransitionOff, std::ostream& out, std::ostream& err);

}  // namespace tavrix
