#include <gtest/gtest.h>

#include "support/TestSupport.h"

#ifdef BRIVANT_PLATFORM
#include <QImage>

#include "app/FileFlow.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/GraphicsState.h"
#include "platform/QtBitmapSheet.h"
#endif

namespace brivant::test {
namespace {

#ifdef BRIVANT_PLATFORM

// The bitmaps of a sample as the sheet command hands them over.
std::vector<SheetBitmap> SheetOf(const std::string& image) {
    Editor ed;
    FakeUi ui;
    OpenPath(ed, ui, image);
    TabChanged(ed, ui, Tab::Graphics);
    std::vector<SheetBitmap> sheet;
    for (std::size_t i = 0; i < ed.graphics.bitmaps.size(); ++i) {
        const BitmapEntry& e = ed.graphics.bitmaps[i];
        const int id = static_cast<int>(i);
        const std::string size = std::to_string(e.Width()) + "x" + std::to_string(e.Height());
        sheet.push_back(
            {BitmapIdText(id) + " " + size,
             RenderPixels(ReadBitmapPixels(ed, ed.graphics, id), e.Width(), e.Height())});
    }
    return sheet;
}

// Every pixel of every bitmap lies where the layout says, scale x scale sheet pixels each,
// black for a dark pixel and white for a light one; the picture is as large as the layout.
TEST(BitmapSheet, PixelsLieWhereTheLayoutPutsThemAtEveryScale) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3410"}).status, 0);
    const std::vector<SheetBitmap> bitmaps = SheetOf(x);
    ASSERT_GT(bitmaps.size(), 10u);
    for (const int scale : {1, 2, 3}) {
        const std::string out = dir.Path("sheet" + std::to_string(scale) + ".png");
        std::vector<std::string> args = {"bmp", "sheet", x, out};
        if (scale != kDefaultSheetScale) {
            args.push_back("--scale");
            args.push_back(std::to_string(scale));
        }
        const CliRun r = Cli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const QImage png(QString::fromStdString(out), "PNG");
        ASSERT_FALSE(png.isNull());
        const SheetLayout layout = LayoutBitmapSheet(bitmaps, scale);
        EXPECT_EQ(png.width(), layout.width);
        EXPECT_EQ(png.height(), layout.height);
        ASSERT_EQ(layout.cells.size(), bitmaps.size());
        for (std::size_t i = 0; i < bitmaps.size(); ++i) {
            const BitmapCanvas& c = bitmaps[i].canvas;
            const SheetCell& cell = layout.cells[i];
            if (i > 0) {
                EXPECT_LT(std::pair(layout.cells[i - 1].y, layout.cells[i - 1].x),
                          std::pair(cell.y, cell.x))
                    << "ID order, " << i;
            }
            for (int y = 0; y < c.height; ++y)
                for (int x0 = 0; x0 < c.width; ++x0)
                    for (const auto& [dx, dy] :
                         {std::pair(0, 0), std::pair(scale - 1, scale - 1)}) {
                        const QRgb px =
                            png.pixel(cell.x + x0 * scale + dx, cell.y + y * scale + dy);
                        ASSERT_EQ(px & 0xFFFFFF, c.Dark(x0, y) ? 0x000000u : 0xFFFFFFu)
                            << "ID " << i << " at " << x0 << "," << y << " scale " << scale;
                    }
        }
    }
}

// Labels take room of their own: a cell is as wide as its bitmap or its label, whichever is
// wider, and the rows wrap instead of growing one long line.
TEST(BitmapSheet, CellsMakeRoomForLabelsAndRowsWrap) {
    std::vector<SheetBitmap> bitmaps(40, SheetBitmap{"00A 10x10", BitmapCanvas(2, 2)});
    bitmaps[3] = {"003 84x48", BitmapCanvas(84, 48)};
    const SheetLayout one = LayoutBitmapSheet(bitmaps, 1);
    const SheetLayout two = LayoutBitmapSheet(bitmaps, 2);
    EXPECT_GT(one.cells[1].x - one.cells[0].x, 9 * 4 - 1);  // the label, not the 2 pixels
    EXPECT_GT(one.cells.back().y, one.cells.front().y);     // wrapped
    EXPECT_EQ(two.cells[1].labelX - two.cells[0].labelX,
              2 * (one.cells[1].labelX - one.cells[0].labelX));
    EXPECT_GE(one.cells[4].labelX - one.cells[3].labelX, 84 + 2);
    // Out-of-range scales are held to the bounds rather than drawing nothing or too much.
    EXPECT_EQ(LayoutBitmapSheet(bitmaps, 0).width, one.width);
    EXPECT_EQ(LayoutBitmapSheet(bitmaps, 99).width,
              LayoutBitmapSheet(bitmaps, kMaxSheetScale).width);
}

TEST(BitmapSheet, RefusedWithoutAnImageACatalogOrASensibleScale) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), out = dir.Path("s.png");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    // A missing image is a file that cannot be read (1), not wrong usage.
    EXPECT_EQ(Cli({"bmp", "sheet", dir.Path("missing.fls"), out}).status, 1);
    EXPECT_EQ(Cli({"bmp", "sheet", x, out, "--scale", "0"}).status, 2);
    EXPECT_EQ(Cli({"bmp", "sheet", x, out, "--scale", "9"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(out));

    Bytes b = ReadFile(x);
    for (const char* sig : {kSignature16, kSignature8}) {
        const Bytes p = HexToBytes(sig);
        const auto it = std::search(b.begin(), b.end(), p.begin(), p.end());
        if (it != b.end()) it[1] ^= 0x5A;
    }
    WriteFile(y, b);
    const CliRun r = Cli({"bmp", "sheet", y, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, kNoBitmapTable)) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

#else

TEST(BitmapSheet, RefusedInABuildWithoutPictures) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const CliRun r = Cli({"bmp", "sheet", x, dir.Path("s.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "This build draws no pictures")) << r.err;
}

#endif

}  // namespace
}  // namespace brivant::test
