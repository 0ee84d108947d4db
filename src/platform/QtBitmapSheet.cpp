#include "platform/QtBitmapSheet.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cstdint>

#include "core/FileIO.h"
#include "core/UserError.h"

namespace brivant {

namespace {

constexpr const char* kCannotCreate = "Cannot create file %s";

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
// QImage refuses larger pictures; this keeps a sheet well inside its limits.
constexpr std::int64_t kMaxSheetPixels = 64LL * 1024 * 1024;

const QColor kFrameColor(160, 160, 160);
const QColor kLabelColor(0, 0, 160);

int LabelWidth(const std::string& label) {
    return label.empty() ? 0 : static_cast<int>(label.size()) * kGlyphAdvance - 1;
}

int Clamp(int scale) {
    return std::clamp(scale, kMinSheetScale, kMaxSheetScale);
}

void DrawLabel(QPainter& p, const std::string& label, int x, int y, int u) {
    for (std::size_t i = 0; i < label.size(); ++i) {
        const char* at = std::char_traits<char>::find(kGlyphChars, kGlyphs.size(), label[i]);
        if (!at) continue;
        const auto& glyph = kGlyphs[static_cast<std::size_t>(at - kGlyphChars)];
        const int gx = x + static_cast<int>(i) * kGlyphAdvance * u;
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col)
                if (glyph[static_cast<std::size_t>(row)] & (4 >> col))
                    p.fillRect(gx + col * u, y + row * u, u, u, kLabelColor);
    }
}

}  // namespace

SheetLayout LayoutBitmapSheet(const std::vector<SheetBitmap>& bitmaps, int scale) {
    const int u = Clamp(scale);
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

void WriteBitmapSheet(const std::string& path, const std::vector<SheetBitmap>& bitmaps, int scale) {
    const int u = Clamp(scale);
    const SheetLayout layout = LayoutBitmapSheet(bitmaps, u);
    if (std::int64_t{layout.width} * layout.height > kMaxSheetPixels)
        throw UserError(
            Format(kSheetTooLarge, {std::to_string(layout.width), std::to_string(layout.height)}));
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull())
        throw UserError(
            Format(kSheetTooLarge, {std::to_string(layout.width), std::to_string(layout.height)}));
    image.fill(Qt::white);
    // The same file for the same sheet on every machine, whatever its screen.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QPainter p(&image);
    for (std::size_t i = 0; i < bitmaps.size(); ++i) {
        const BitmapCanvas& c = bitmaps[i].canvas;
        const SheetCell& cell = layout.cells[i];
        DrawLabel(p, bitmaps[i].label, cell.labelX, cell.labelY, u);
        const int w = std::max(c.width, 0) * u, h = std::max(c.height, 0) * u;
        p.setPen(kFrameColor);
        p.drawRect(cell.x - 1, cell.y - 1, w + 1, h + 1);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (c.Dark(x, y)) p.fillRect(cell.x + x * u, cell.y + y * u, u, u, Qt::black);
    }
    p.end();
    // Encoded in memory, then written as every other file: only a regular file is replaced.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw UserError(Format(kCannotCreate, {path}));
    WriteFileAtomic(path, Bytes(encoded.begin(), encoded.end()));
}

}  // namespace brivant
