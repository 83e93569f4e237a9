#include "tools/batch/PictureModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#ifndef TAVRIX_BATCH_PICTURES
#define TAVRIX_BATCH_PICTURES 1
#endif
#ifndef TAVRIX_PICTURE_MODULE_INSTALLED
#define TAVRIX_PICTURE_MODULE_INSTALLED "../lib/tavrixs"
#endif

namespace tavrix {

#if TAVRIX_BATCH_PICTURES

namespace {

using Entry = const PictureModule* (*)();

const PictureModule* load(std::string& error)
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        error = "cannot find the running program: " + ec.message();
        return nullptr;
    }
    // Beside the program in the build tree; in an installed tree, in the
    // program's own folder of the library directory.
    std::string file = (self.parent_path() / kPictureModuleFile).string();
    const std::filesystem::path installed =
        self.parent_path() / TAVRIX_PICTURE_MODULE_INSTALLED / kPictureModuleFile;
    if (!std::filesystem::exists(file, ec) && std::filesystem::exists(installed, ec))
        file = installed.lexically_normal().string();
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        error = "cannot load " + file + ": " + (why != nullptr ? why : "unknown reason");
        return nullptr;
    }
    auto entry = reinterpret_cast<Entry>(::dlsym(handle, kPictureModuleEntry));
    const PictureModule* module = entry != nullptr ? entry() : nullptr;
    if (module == nullptr || module->plotsPng == nullptr || module->matrixPng == nullptr ||
        module->plotPicture == nullptr) {
        error = file + " is not the picture module of this program";
        ::dlclose(handle);
        return nullptr;
    }
    return module;  // kept loaded until the program ends
}

}  // namespace

const PictureModule* loadPictureModule(std::string& error)
{
    static std::string loadError;
    static const PictureModule* const module = load(loadError);
    if (module == nullptr) error = loadError;
    return module;
}

#else

const PictureModule* loadPictureModule(std::string& error)
{
    error = "pictures are not available in this build (it was made without Qt): "
            "--plot and --matrix cannot be used";
    return nullptr;
}

#endif

}  // namespace tavrix
