#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/Pictures.h"
#include "core/UserError.h"

#ifndef BRIVANT_PICTURE_MODULE
#define BRIVANT_PICTURE_MODULE "libbrivant_pictures.so"
#endif
#ifndef BRIVANT_PICTURE_MODULE_DIR
#define BRIVANT_PICTURE_MODULE_DIR "../lib/brivant-pro/modules"
#endif

namespace brivant {

PictureBackend LoadPictureModule() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    std::vector<fs::path> places;
    if (!ec) {
        places.push_back(self.parent_path() / BRIVANT_PICTURE_MODULE);
        places.push_back(self.parent_path() / BRIVANT_PICTURE_MODULE_DIR / BRIVANT_PICTURE_MODULE);
    }
    std::string reason = "the picture module was not found";
    for (const fs::path& p : places) {
        if (!fs::is_regular_file(p, ec)) continue;
        void* handle = ::dlopen(p.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* e = ::dlerror();
            reason = e ? e : "it could not be loaded";
            continue;
        }
        auto entry = reinterpret_cast<PictureEntry>(::dlsym(handle, kPictureEntry));
        PictureBackend backend;
        if (entry && entry(&backend) == kPictureBackendVersion) return backend;
        reason = p.string() + " is from another build";
        ::dlclose(handle);
    }
    throw UserError(reason);
}

}  // namespace brivant
