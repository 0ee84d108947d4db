// Where the picture adapter is part of the program itself (the WebAssembly build).

#include "cli/Pictures.h"

namespace brivant {

PictureBackend LoadPictureModule() {
    return LinkedPictures();
}

}  // namespace brivant
