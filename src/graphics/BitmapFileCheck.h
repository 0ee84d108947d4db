#pragma once

#include <string>

#include "core/HexText.h"

namespace brivant {

// What a picture file's header says, checked against the whole file before anything
// decodes it: the decoders stop quietly at the end of a file and hand back whatever the
// memory held, so a file cut short must never reach them.
struct PictureFileInfo {
    const char* format = "";  // the decoder's name for it: "bmp", "png", "gif", "jpeg", ...
    int width = 0;
    int height = 0;
};

// A bitmap's width and height are one byte each in its record.
inline constexpr int kMaxBitmapSide = 255;

inline constexpr const char* kPictureFormats = "BMP, PNG, GIF, JPEG, PBM, XBM";
inline constexpr const char* kPictureCutShort =
    "%s is cut short: its header needs %s bytes of pixels, the file has %s";
inline constexpr const char* kPictureEndsEarly =
    "%s is cut short: its %s data ends before the end of the picture";
inline constexpr const char* kPictureDamaged = "%s is damaged: its %s data cannot be read";
inline constexpr const char* kPictureUnknown =
    "%s is not a picture file this program reads (BMP, PNG, GIF, JPEG, PBM, XBM)";
inline constexpr const char* kPictureSize =
    "%s is %s × %s pixels; a bitmap must be 1 to 255 pixels wide and high";
// A picture file (a bitmap, an animation, a sheet) that could not be written.
inline constexpr const char* kCannotCreatePicture = "Cannot create file %s";

// The format from the content (never the name), the size the header declares, and that the
// data the header promises is all there. Throws UserError in the words above, `name`
// standing for the file.
PictureFileInfo CheckPictureFile(const Bytes& bytes, const std::string& name);

}  // namespace brivant
