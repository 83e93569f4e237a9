#include "tools/batch/PictureModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace tavrix {

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
    const std::string file = (self.parent_path() / kPictureModuleFile).string();
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

}  // namespace tavrix
