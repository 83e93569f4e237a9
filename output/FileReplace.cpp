#include "output/FileReplace.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrix {

namespace {

// The kernel's own limit on links followed in one path.
constexpr int kMaxLinks = 40;

std::string reason(int error) { return std::strerror(error); }

}  // namespace

int writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::filesystem::path linkTarget(const std::filesystem::path& name)
{
    std::filesystem::path file = name;
    for (int k = 0; k < kMaxLinks; ++k) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(file, ec)) return file;
        const std::filesystem::path to = std::filesystem::read_symlink(file, ec);
        if (ec) return file;
        file = to.is_absolute() ? to : file.parent_path() / to;
    }
    return file;
}

std::optional<std::string> outputFileRefusal(const std::filesystem::path& name)
{
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        // Nothing there yet, or a link to nothing: a new file is made. A loop
        // of links or an unreadable folder shows when the file is written.
        return std::nullopt;
    }
    if (S_ISREG(st.st_mode)) return std::nullopt;
    if (S_ISDIR(st.st_mode)) return reason(EISDIR);
    return std::string("Not a regular file");
}

std::optional<std::string> replaceFileContents(const std::filesystem::path& name,
                                               std::string_view text)
{
    if (auto refusal = outputFileRefusal(name)) return refusal;
    const std::filesystem::path file = linkTarget(name);
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::string temporary = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return reason(errno);
    int error = writeAll(fd, text);
    // The replacement gets the earlier file's permissions, or those a newly
    // created file would get (mkstemp makes it private).
    struct stat earlier {};
    mode_t permissions = 0;
    if (::stat(file.c_str(), &earlier) == 0) {
        permissions = earlier.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        permissions = 0666 & ~mask;
    }
    if (error == 0 && ::fchmod(fd, permissions) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return reason(error);
    }
    return std::nullopt;
}

}  // namespace tavrix
