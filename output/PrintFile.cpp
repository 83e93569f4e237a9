#include "output/PrintFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ui/Toolkit.h"

namespace tavrix {

PrintSection& PrintSection::number(double value)
{
    char buffer[kNumberTextCapacity];
    const char* end = writeBareNumber(buffer, value, separator_);
    return text(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

PrintSection& PrintSection::format(double value, Pattern pattern)
{
    char buffer[kNumberTextCapacity];
    const char* end = writePattern(buffer, value, pattern, separator_);
    return text(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

PrintSection& PrintSection::zone()
{
    const std::size_t next = (column_ + kZoneWidth - 1) / kZoneWidth * kZoneWidth;
    contents_.append(next - column_, ' ');
    column_ = next;
    return *this;
}

PrintSection& PrintSection::endLine()
{
    contents_ += "\r\n";
    column_ = 0;
    return *this;
}

bool writeSection(const Common& common, ui::Toolkit& ui, std::string_view name,
                  const PrintSection& section, FileMode mode)
{
    const std::filesystem::path file = common.WorkDir / std::string(name);
    std::FILE* f = std::fopen(file.c_str(), mode == FileMode::Append ? "ab" : "wb");
    int error = 0;
    if (f == nullptr) {
        error = errno;
    } else {
        const std::string& text = section.contents();
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size())
            error = errno != 0 ? errno : EIO;
        if (std::fclose(f) != 0 && error == 0) error = errno != 0 ? errno : EIO;
    }
    if (error == 0) return true;
    ui.message("Cannot write \"" + std::string(name) + "\": " + std::strerror(error));
    return false;
}

}  // namespace tavrix
