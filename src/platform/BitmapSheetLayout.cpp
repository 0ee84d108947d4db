#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/QtBitmapSheet.h"

// Where things go on a bitmap sheet, apart from how it is drawn and encoded.

namespace brivant {

namespace {

// Labels are drawn from a small built-in pixel font rather than the system's fonts: the
// command line runs without a display or installed fonts, and a label must read the same
// everywhere. Each glyph is 3 x 5 dots, one row of 3 bits per entry, top row first.
constexpr int kGlyphWidth = 3;
constexpr int kGlyphHeight = 5;
constexpr int kGlyphAdvance = 4;
constexpr const char* kGlyphChars = "0123456789ABCDEFx";
constexpr std::array<std::array<std::uint8_t, kGlyphHeight>, 17> kGlyphs = {{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
    {2, 5, 7, 5, 5},
    {6, 5, 6, 5, 6},
    {3, 4, 4, 4, 3},
    {6, 5, 5, 5, 6},
    {7, 4, 7, 4, 7},
    {7, 4, 7, 4, 4},
    {0, 5, 2, 5, 0},
}};

// Spacing in units of the scale: around the sheet, between cells, and between a label and
// its bitmap's frame.
constexpr int kMargin = 4;
constexpr int kGap = 6;
constexpr int kLabelGap = 2;
// Rows wrap at this width (in units of the scale) unless one cell is wider.
constexpr int kRowWidth = 320;

int LabelWidth(const std::string& label) {
    return label.empty() ? 0 : static_cast<int>(label.size()) * kGlyphAdvance - 1;
}

}  // namespace

std::vector<std::pair<int, int>> LabelDots(const std::string& label) {
    std::vector<std::pair<int, int>> dots;
    for (std::size_t i = 0; i < label.size(); ++i) {
        const char* at = std::char_traits<char>::find(kGlyphChars, kGlyphs.size(), label[i]);
        if (!at) continue;
        const auto& glyph = kGlyphs[static_cast<std::size_t>(at - kGlyphChars)];
        const int left = static_cast<int>(i) * kGlyphAdvance;
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col)
                if (glyph[static_cast<std::size_t>(row)] & (4 >> col))
                    dots.emplace_back(left + col, row);
    }
    return dots;
}

SheetLayout LayoutBitmapSheet(const std::vector<SheetBitmap>& bitmaps, int scale) {
    const int u = ClampSheetScale(scale);
    SheetLayout layout;
    int widest = 0;
    std::vector<std::pair<int, int>> sizes;  // cell width and height
    for (const SheetBitmap& b : bitmaps) {
        const int w = std::max(std::max(b.canvas.width, 0) * u + 2, LabelWidth(b.label) * u);
        const int h = (kGlyphHeight + kLabelGap) * u + std::max(b.canvas.height, 0) * u + 2;
        sizes.emplace_back(w, h);
        widest = std::max(widest, w);
    }
    const int rowWidth = std::max(widest, kRowWidth * u);
    int x = kMargin * u, y = kMargin * u, rowHeight = 0;
    for (const auto& [w, h] : sizes) {
        if (x > kMargin * u && x + w > kMargin * u + rowWidth) {
            x = kMargin * u;
            y += rowHeight + kGap * u;
            rowHeight = 0;
        }
        // The bitmap sits one pixel inside its frame, the frame under the label.
        layout.cells.push_back({x, y, x + 1, y + (kGlyphHeight + kLabelGap) * u + 1});
        layout.width = std::max(layout.width, x + w);
        rowHeight = std::max(rowHeight, h);
        x += w + kGap * u;
    }
    layout.width += kMargin * u;
    layout.height = y + rowHeight + kMargin * u;
    return layout;
}

}  // namespace brivant
