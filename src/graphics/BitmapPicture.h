#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/DialogAnswers.h"
#include "graphics/BitmapFormat.h"

namespace brivant {

// A decoded picture file before it becomes a bitmap: every pixel as 0xAARRGGBB, not
// premultiplied, row after row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;

    Picture() = default;
    Picture(int w, int h, std::uint32_t fill = 0xFFFFFFFFu);
    std::uint32_t At(int x, int y) const {
        return argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)];
    }
};

// How a picture becomes black and white. The window asks for it when a picture is not
// already black and white; the command line takes it from its options.
struct PictureImport : DialogModel {
    static constexpr int kDefaultThreshold = 128;
    // Set when the luminance lies below it. Without one, a picture of at most two colours
    // keeps only its exact black pixels and any other uses kDefaultThreshold.
    std::optional<int> threshold;
    bool dither = false;  // error diffusion instead of a hard threshold
    bool fit = false;     // scaled to the bitmap's size first
    bool ask = true;      // the window asks; the command line's options answer beforehand
    bool asked = false;   // chosen for this load: a set of files is asked about once
};

// A bitmap that took a picture's other size, and the free space its pixels moved to.
struct BitmapResize {
    int id = 0;
    int width = 0, height = 0;
    int wasWidth = 0, wasHeight = 0;
    std::uint32_t address = 0;  // phone address, as the list shows it
    std::string message;
};

// The colour a pixel shows on white paper (alpha composited), as 0xRRGGBB.
std::uint32_t OnWhite(std::uint32_t argb);
// 0 (black) to 255 (white).
int Luminance(std::uint32_t rgb);
// Whether every pixel, on white, is exactly black or exactly white.
bool IsBlackAndWhite(const Picture& p);
// Whether the picture, on white, has at most two colours.
bool HasTwoColours(const Picture& p);

// Smooth scaling: each target pixel averages the source area it covers, alpha-weighted.
Picture ScalePicture(const Picture& p, int width, int height);

// The set pixels as the options choose; transparent is clear.
BitmapCanvas ToCanvas(const Picture& p, const PictureImport& how);

}  // namespace brivant
