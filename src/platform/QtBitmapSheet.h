#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "graphics/BitmapFormat.h"

namespace brivant {

// One bitmap on a sheet: the label above it and its pixels.
struct SheetBitmap {
    std::string label;  // hex digits, "x" and spaces ("00A 10x10"); other characters leave a gap
    BitmapCanvas canvas;
};

// Where a sheet puts one bitmap, in sheet pixels: its label's top-left corner and its own
// (bitmap pixel (x, y) covers scale x scale sheet pixels from there). A one-pixel frame
// surrounds the bitmap, so that its white edges show.
struct SheetCell {
    int labelX = 0, labelY = 0;
    int x = 0, y = 0;
};

struct SheetLayout {
    int width = 0, height = 0;
    std::vector<SheetCell> cells;
};

inline constexpr int kMinSheetScale = 1;
inline constexpr int kMaxSheetScale = 8;
inline constexpr int kDefaultSheetScale = 2;

inline int ClampSheetScale(int scale) {
    return std::clamp(scale, kMinSheetScale, kMaxSheetScale);
}

inline constexpr const char* kSheetTooLarge =
    "The sheet would be %s x %s pixels, too large to draw; choose a smaller scale";

// The toolkit's pictures refuse larger sheets; this keeps one well inside every limit.
inline constexpr std::int64_t kMaxSheetPixels = 64LL * 1024 * 1024;
// The colours of the frames and of the labels (0xRRGGBB) on a white sheet.
inline constexpr std::uint32_t kSheetFrameRgb = 0xA0A0A0;
inline constexpr std::uint32_t kSheetLabelRgb = 0x0000A0;

// The dots a label is drawn with, each as (column, row) in units of the scale from the
// label's top-left corner; characters without a glyph leave a gap.
std::vector<std::pair<int, int>> LabelDots(const std::string& label);

// The bitmaps in order, left to right in rows, each under its label; labels are drawn with
// the same scale as the pixels.
SheetLayout LayoutBitmapSheet(const std::vector<SheetBitmap>& bitmaps, int scale);

// Draws the sheet and writes it as a PNG file, beside the target first and then renamed over
// it. Throws UserError ("Cannot create file %s", or kSheetTooLarge).
void WriteBitmapSheet(const std::string& path, const std::vector<SheetBitmap>& bitmaps, int scale);

}  // namespace brivant
