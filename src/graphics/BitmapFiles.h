#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "graphics/BitmapFormat.h"
#include "graphics/BitmapPicture.h"

namespace brivant {

// What a bitmap is written as: a 1-bit BMP unless PNG is asked for.
enum class PictureFormat { Bmp, Png };

// An animation as a file: its frames one after another in an animated GIF, or side by
// side on one PNG strip.
enum class AnimationFormat { ByName, Gif, PngStrip };
struct AnimationFile {
    std::vector<BitmapCanvas> frames;
    int scale = 1;      // file pixels per bitmap pixel, 1 to 8
    int delayMs = 300;  // per frame, as the window plays it
    // ByName: a GIF when the path ends in ".gif" (any case), else a PNG strip. A name that
    // says nothing (standard output's stand-in) needs the format given.
    AnimationFormat format = AnimationFormat::ByName;

    // The scale kept to what a file takes.
    int Scale() const { return std::clamp(scale, 1, 8); }
    // Width and height of the picture every frame is drawn in: the largest frame, scaled.
    std::pair<int, int> Cell() const {
        int width = 1, height = 1;
        for (const BitmapCanvas& f : frames) {
            width = std::max(width, f.width * Scale());
            height = std::max(height, f.height * Scale());
        }
        return {width, height};
    }
    // Whether the file written to `path` is a GIF (else a PNG strip).
    bool IsGif(const std::string& path) const {
        if (format != AnimationFormat::ByName) return format == AnimationFormat::Gif;
        const std::string suffix = ".gif";
        return path.size() >= suffix.size() &&
               std::equal(suffix.begin(), suffix.end(), path.end() - 4, [](char a, char b) {
                   return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
               });
    }
};

// Picture files, read and written by the platform (the window and the command line share
// one adapter).
class BitmapFiles {
  public:
    virtual ~BitmapFiles() = default;
    // The whole file, checked against its header and decoded, or a UserError in the
    // program's words; nothing the picture library prints reaches the user.
    virtual Picture ReadPicture(const std::string& path) = 0;
    // Writes black and white pixels of exactly the canvas's size, the same bytes for the
    // same canvas every time; throws UserError.
    virtual void Write(const std::string& path, const BitmapCanvas& canvas,
                       PictureFormat format = PictureFormat::Bmp) = 0;
    // A GIF or a PNG strip, as `animation.format` says; throws UserError.
    virtual void WriteAnimation(const std::string& path, const AnimationFile& animation) = 0;

    // The picture as the editor has always taken it: two colours keep their exact black.
    BitmapCanvas Read(const std::string& path) { return ToCanvas(ReadPicture(path), {}); }
};

inline constexpr const char* kCannotOpenPicture = "Cannot open file %s";
inline constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* kUnknownExtension = "Unknown picture file extension (.%s)";

}  // namespace brivant
