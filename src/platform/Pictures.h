#pragma once

#include <string>
#include <vector>

#include "graphics/BitmapFiles.h"
#include "platform/QtBitmapSheet.h"

namespace brivant {

// What the command line needs of the QtGui adapter. The command line loads it only when a
// command reads or writes a picture, so every other command starts without the toolkit's
// libraries (loading and relocating them costs more than the commands themselves).
struct PictureBackend {
    BitmapFiles* files = nullptr;
    void (*writeSheet)(const std::string& path, const std::vector<SheetBitmap>& bitmaps,
                       int scale) = nullptr;
};

// The adapter of this library itself, for programs that link it.
PictureBackend LinkedPictures();

// The entry point of the loadable module: fills the backend; returns the version of this
// structure, so that a module from another build is refused rather than called wrongly.
inline constexpr const char* kPictureEntry = "brivant_picture_backend";
inline constexpr int kPictureBackendVersion = 2;
using PictureEntry = int (*)(PictureBackend*);

}  // namespace brivant
