#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/Module_Common.h"
#include "geometry/Contour.h"
#include "ui/Toolkit.h"

namespace tavrix {

// Reads the coordinate file named by AirfoilFilePath: a name, the point count
// NP, then NP records of point number, x and y. On success replaces the
// contour, NP, NPanel and the text of Text_NP, sets AirfoilReady, draws the
// contour and returns true. A file that cannot be used is refused with a
// message; nothing is changed then.
bool Read_AirfoilFile(Common& common, ui::Toolkit& ui);

// Point counts a coordinate file may hold: the trailing edge counted twice,
// at most the size of the shared tables.
inline constexpr int kAirfoilFileMinPoints = 2;
inline constexpr int kAirfoilFileMaxPoints = kTableLast;

// At most this much of a file is read. A thousand records take some 50 KB, so
// a file whose records do not end within this part is refused, not slurped.
inline constexpr std::size_t kAirfoilFileReadLimit = std::size_t{4} << 20;

// What a coordinate file holds: x[i] and y[i] are point i + 1, in record order.
struct AirfoilFileContents {
    std::string name;
    int count = 0;
    std::vector<double> x;
    std::vector<double> y;
};

// Parses the text of a coordinate file. Blanks, tabs, commas and line breaks
// (LF, CR LF or CR) separate fields, a run of them counting as one; the name
// ends at a comma or a line break and may be quoted; every other field must be
// a plain finite decimal number. Nothing after the last record is looked at.
// `wholeFile` false says the text is only the start of a longer file, so a
// field touching its end may be cut short. On failure returns the reason, in
// words for the user.
std::variant<AirfoilFileContents, std::string> parseAirfoilFile(std::string_view text,
                                                                 bool wholeFile = true);

// The start of a file, at most kAirfoilFileReadLimit bytes; `whole` tells
// whether that is all of it. Returns the reason when the file cannot be read.
std::optional<std::string> readAirfoilFileStart(const std::string& path, std::string& text,
                                                bool& whole);

// The refusal message shown for a coordinate file.
std::string airfoilFileRefusal(std::string_view path, std::string_view reason);

// The contour of a coordinate file of any layout, told from its content: the
// program's own layout with its points as they stand (as many as its count
// says), a Selig, Lednicer or plain file made ready for the panel methods
// (readCoordinateContour). Named after the file, or after the name it holds.
// On failure the refusal message, naming the file as `shown`.
std::variant<Contour, std::string> readAirfoilFileContour(const std::string& path,
                                                          std::string_view shown);

}  // namespace tavrix
