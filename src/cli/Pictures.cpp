#include "cli/Pictures.h"

#include <optional>
#include <string>

#include "core/UserError.h"

namespace brivant {

namespace {
PictureLoader& Loader() {
    static PictureLoader loader = nullptr;
    return loader;
}
std::optional<PictureBackend>& Loaded() {
    static std::optional<PictureBackend> loaded;
    return loaded;
}
}  // namespace

void SetPictureLoader(PictureLoader loader) {
    Loader() = loader;
    Loaded().reset();
}

const PictureBackend& Pictures(const char* unavailable) {
    if (!Loaded()) {
        if (!Loader()) throw UserError(unavailable);
        try {
            Loaded() = Loader()();
        } catch (const UserError& e) {
            throw UserError(std::string(unavailable) + " (" + e.what() + ")");
        }
    }
    if (!Loaded()->files || !Loaded()->writeSheet) throw UserError(unavailable);
    return *Loaded();
}

}  // namespace brivant
