#pragma once

#include <cstdint>
#include <vector>

#include "core/HexText.h"

namespace brivant {

// A one-bit picture of exactly width x height pixels: the preview, the editor's picture
// and what bitmap files are read into and written from.
struct BitmapCanvas {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dark;  // row after row; 1 = black

    BitmapCanvas() = default;
    BitmapCanvas(int w, int h);  // all white

    bool Empty() const { return width <= 0 || height <= 0; }
    bool Dark(int x, int y) const;       // false outside the canvas
    void Set(int x, int y, bool black);  // ignored outside the canvas
    void Fill(bool black);
    bool operator==(const BitmapCanvas&) const = default;
};

// Eight rows per band, the last band possibly part-used; one byte per column and band.
int BandCount(int height);
std::int32_t PixelByteCount(int width, int height);

// The canvas the pixel bytes describe: byte k is column k mod W of band k div W, bit 0 the
// top row of the band. Bits below the last row are not drawn; missing bytes stay white.
BitmapCanvas RenderPixels(const Bytes& pixels, int width, int height);
// The pixel bytes of a canvas; rows past its height give clear bits.
Bytes PixelsOf(const BitmapCanvas& canvas);

// Run-length form: groups [counts, p, q], p repeated by the high nibble, q by the low one.
// Expands one group and appends it.
void ExpandGroup(const std::uint8_t* group, Bytes& out);
// Encodes with runs of at most 9; data ending on a first run ends in a group whose second
// count is 0 (a well-formed three-byte group).
Bytes EncodeRunLength(const Bytes& plain);
// Decodes whole groups from `packed` until at least `count` bytes are produced (or the
// groups run out).
Bytes DecodeRunLength(const Bytes& packed, std::int32_t count);

// Pads data for the MCU area to a multiple of 4 bytes with the Thumb fillers C0 46 C0,
// 46 C0 or C0.
void PadWithFillers(Bytes& data);

}  // namespace brivant
