#include "platform/QtBitmapSheet.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cstdint>

#include "core/FileIO.h"
#include "core/UserError.h"
#include "graphics/BitmapFileCheck.h"

namespace brivant {

namespace {

const QColor kFrameColor(160, 160, 160);
const QColor kLabelColor(0, 0, 160);

void DrawLabel(QPainter& p, const std::string& label, int x, int y, int u) {
    for (const auto& [dx, dy] : LabelDots(label))
        p.fillRect(x + dx * u, y + dy * u, u, u, kLabelColor);
}

}  // namespace

void WriteBitmapSheet(const std::string& path, const std::vector<SheetBitmap>& bitmaps, int scale) {
    const int u = ClampSheetScale(scale);
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
        throw UserError(Format(kCannotCreatePicture, {path}));
    WriteFileAtomic(path, Bytes(encoded.begin(), encoded.end()));
}

}  // namespace brivant
