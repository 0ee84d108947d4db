#include "platform/Pictures.h"

#include "platform/QtBitmapFiles.h"

namespace brivant {

PictureBackend LinkedPictures() {
    return {&PlatformBitmapFiles(), &WriteBitmapSheet};
}

}  // namespace brivant

extern "C" __attribute__((visibility("default"))) int brivant_picture_backend(
    brivant::PictureBackend* out) {
    *out = brivant::LinkedPictures();
    return brivant::kPictureBackendVersion;
}
