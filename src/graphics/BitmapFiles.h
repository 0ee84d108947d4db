#pragma once

#include <string>

#include "graphics/BitmapFormat.h"

namespace brivant {

// Bitmap files, read and written by the platform (the window and the command line share
// one adapter). A pixel counts as dark only when it is exactly black.
class BitmapFiles {
  public:
    virtual ~BitmapFiles() = default;
    // Throws UserError with the reader's message when the file cannot be read.
    virtual BitmapCanvas Read(const std::string& path) = 0;
    // Writes black and white pixels of exactly the canvas's size; throws UserError.
    virtual void Write(const std::string& path, const BitmapCanvas& canvas) = 0;
};

inline constexpr const char* kCannotOpenPicture = "Cannot open file %s";
inline constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* kUnknownExtension = "Unknown picture file extension (.%s)";

}  // namespace brivant
