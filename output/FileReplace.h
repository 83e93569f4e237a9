// Writing an output file so that a failure never costs the user a file: the
// new contents go to a temporary file of a unique name beside the target and
// replace it by a rename, and only a plain file (or a link to one) is ever
// replaced. A pipe, a device or a directory under the output's name is
// refused instead: writing into a pipe can block for ever, and renaming over
// a device node would put a plain file in its place.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrix {

// Writes all of `text` to the descriptor, again after an interruption;
// returns 0 or the error number.
int writeAll(int fd, std::string_view text);

// The file a name stands for: a symbolic link followed to its final target
// (which need not exist yet), anything else the name itself.
std::filesystem::path linkTarget(const std::filesystem::path& name);

// Why `name` cannot be an output file (something there that is not a regular
// file, after following links), for `Cannot write "NAME": REASON`; nothing
// when it may be written.
std::optional<std::string> outputFileRefusal(const std::filesystem::path& name);

// Replaces the contents of the file `name` (of its target when it is a link)
// with `text`, through a temporary file made by mkstemp in the same folder
// and a rename. The file keeps its permissions; a new one gets those the
// umask gives. On failure nothing is left behind and the earlier file is
// whole; the reason is returned.
std::optional<std::string> replaceFileContents(const std::filesystem::path& name,
                                               std::string_view text);

}  // namespace tavrix
