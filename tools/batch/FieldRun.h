// The flow-field run of the batch front end: after a completed press, the
// velocity and Cp on a grid round the section (--field) and its picture
// (--field-png), with the press's section, method and angle of attack.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "app/Form_TavrixS.h"
#include "solvers/FlowField.h"

namespace tavrix {

// Usage lines of the options below.
extern const char* const kFieldUsage;

// The names of the options that take a value.
inline constexpr const char* kFieldOptions[] = {"--field", "--field-box", "--field-png"};

// Whether the field options, as given in `values` (option name -> text),
// can be used; an error text if not. A sweep has no single flow to show.
std::optional<std::string> fieldOptionError(const std::map<std::string, std::string>& values);

// X0:X1:Y0:Y1:NX:NY, X0 < X1, Y0 < Y1, NX and NY from 2 to 1000 nodes.
std::optional<FieldBox> parseFieldBox(const std::string& text);

// Writes the field and its picture after the completed press of `form`, made
// with `method` (and, for the Hess method, without the trailing-edge
// condition when noCirculation); prints the note and the nodes inside the
// section. Returns the exit status: 0, 1 when the field could not be made or
// the picture not drawn, 3 when a file could not be written.
int runField(Form_TavrixS& form, const std::map<std::string, std::string>& values,
             PanelMethod method, bool noCirculation, std::ostream& out, std::ostream& err);

}  // namespace tavrix
