#pragma once

#include "platform/Pictures.h"

namespace brivant {

// Where the command line gets its picture adapter from: the program installs a loader
// before it runs (the module beside it), the tests the adapter they link. Without one the
// picture commands are refused with `unavailable`.
using PictureLoader = PictureBackend (*)();
void SetPictureLoader(PictureLoader loader);
// The adapter, loaded on first use; throws UserError(unavailable, with the reason when the
// loader gave one) when there is none.
const PictureBackend& Pictures(const char* unavailable);

}  // namespace brivant

namespace brivant {

// Loads the picture module: beside the program (a build tree), else in the library folder
// of an installed tree. Throws UserError with the loader's reason.
PictureBackend LoadPictureModule();

}  // namespace brivant
