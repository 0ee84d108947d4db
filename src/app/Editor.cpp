#include "app/Editor.h"

#include <cstring>
#include <stdexcept>

namespace brivant {

Feature& Editor::Hook(const char* name) {
    for (Feature& f : features)
        if (std::strcmp(f.name, name) == 0) return f;
    throw std::logic_error(std::string("no feature ") + name);
}

}  // namespace brivant
