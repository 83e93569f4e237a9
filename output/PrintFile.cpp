#include "output/PrintFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "output/FileReplace.h"
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

namespace {

// Appends the section in one piece. When any part of it fails, the file is cut
// back to the length it had, so it never ends in half a section.
int appendWhole(const std::filesystem::path& file, std::string_view text)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    int error = writeAll(fd, text);
    // The write error is what gets reported; the cut back is all that can be done.
    if (error != 0) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
        [[maybe_unused]] const int cut = ::truncate(file.c_str(), before.st_size);
    }
    return error;
}

}  // namespace

bool writeSection(const Common& common, ui::Toolkit& ui, std::string_view name,
                  const PrintSection& section, FileMode mode)
{
    const std::string fileName(name);
    // A file that failed once in this press is not tried again: one message,
    // and no later section standing without the ones before it.
    if (common.FilesNotWritten.count(fileName) != 0) return false;
    const std::filesystem::path file = common.WorkDir / fileName;
    const std::string& text = section.contents();
    std::optional<std::string> failure;
    if (mode == FileMode::Replace) {
        failure = replaceFileContents(file, text);
    } else if (!(failure = outputFileRefusal(file))) {
        // Opening a pipe for appending would wait for a reader: only a plain
        // file (or a link to one) is appended to.
        if (const int error = appendWhole(file, text); error != 0) failure = std::strerror(error);
    }
    if (!failure) return true;
    common.FilesNotWritten.insert(fileName);
    ui.message("Cannot write \"" + fileName + "\": " + *failure);
    return false;
}

}  // namespace tavrix
