// Benchmark support: a scratch working directory for the result files of
// the presses being timed, removed again at the end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace tavrix::bench {

class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavrix-bench-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace tavrix::bench
