// The line syntax shared by every result file: text items, bare numbers,
// digit patterns, the 14-column print zones of the comma separator and CR LF
// line ends. A writer builds a section with these items, then appends it to
// (or replaces) its file in one go.
#pragma once

#include <string>
#include <string_view>

#include "app/Module_Common.h"
#include "app/NumberText.h"

namespace ui {
class Toolkit;
}

namespace tavrix {

class PrintSection {
public:
    static constexpr std::size_t kZoneWidth = 14;

    explicit PrintSection(char decimalSeparator = '.') : separator_(decimalSeparator) {}

    PrintSection& text(std::string_view item)
    {
        contents_.append(item.data(), item.size());
        column_ += item.size();
        return *this;
    }
    PrintSection& number(double value);  // bare number
    PrintSection& format(double value, Pattern pattern);
    // Comma separator: blanks up to the first zone start (columns 1, 15, 29 ...)
    // at or after the current column.
    PrintSection& zone();
    PrintSection& endLine();
    PrintSection& emptyLine() { return endLine(); }

    const std::string& contents() const { return contents_; }

private:
    char separator_;
    std::string contents_;
    std::size_t column_ = 0;  // characters written on the current line
};

enum class FileMode { Append, Replace };

// Writes the section into the file `name` in the working directory: appended
// in one piece and cut back to its earlier length when that fails, or replaced
// through a new file and a rename, so a failed write never damages the earlier
// file. On failure shows "Cannot write "NAME": REASON" (once per file between
// two clearings of FilesNotWritten) and returns false; the caller carries on.
bool writeSection(const Common& common, ui::Toolkit& ui, std::string_view name,
                  const PrintSection& section, FileMode mode);

}  // namespace tavrix
