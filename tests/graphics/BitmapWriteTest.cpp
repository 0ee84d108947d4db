#include <gtest/gtest.h>

#include "graphics/BitmapCommands.h"
#include "graphics/GraphicsTestSupport.h"
#include "image/Address.h"
#include "image/McuSpace.h"

namespace brivant::test {
namespace {

// Picture of the entry's own size with a new first column.
BitmapCanvas Changed(const SampleBitmap& b) {
    Bytes p = b.pixels;
    p[0] ^= 0x3C;
    return CanvasOf(b.width, b.height, p);
}

// Same size: "3310" writes over the old pixels and keeps the record's address;
// "3410" appends at FreeOffset (encoded for the main table, plain for an extra bitmap),
// points the record there and moves FreeOffset by the padded length.
TEST(SaveBmpHex, InPlaceOrAtFreeOffsetByFamily) {
    struct Case {
        int family;
        int id;
        bool inPlace;
        bool encoded;
    };
    const Case cases[] = {{k3310, 4, true, false},
                          {k3310, 16, true, false},
                          {k3410, 4, false, true},
                          {k3410, 16, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.family) + " id " + std::to_string(c.id));
        GraphicsFixture f(c.family);
        GraphicsState& g = f.g();
        SelectBitmap(f.ed, g, c.id);
        const BitmapEntry before = g.bitmaps[static_cast<std::size_t>(c.id)];
        const int mains = g.mainCount;
        const SampleBitmap& b = c.id < mains
                                    ? SampleMainBitmaps()[static_cast<std::size_t>(c.id)]
                                    : SampleExtraBitmaps()[static_cast<std::size_t>(c.id - mains)];
        const std::int32_t free = f.ed.FreeOffset;
        const BitmapCanvas pic = Changed(b);
        ASSERT_TRUE(ImportPicture(f.ed, g, f.ui, pic)) << f.ui.Last();

        Bytes stored = c.encoded ? EncodeRunLength(PixelsOf(pic)) : PixelsOf(pic);
        if (!c.inPlace) PadWithFillers(stored);
        const BitmapEntry& after = g.bitmaps[static_cast<std::size_t>(c.id)];
        const std::int64_t at = c.inPlace ? ToImageOffset(before.Address()) : free;
        EXPECT_EQ(f.At(at, stored.size()), stored);
        EXPECT_EQ(f.ed.FreeOffset,
                  c.inPlace ? free : free + static_cast<std::int32_t>(stored.size()));
        EXPECT_EQ(ToImageOffset(after.Address()), at);
        EXPECT_EQ(Bytes(after.record.begin() + 4, after.record.end()),
                  Bytes(before.record.begin() + 4, before.record.end()));
        EXPECT_EQ(f.At(after.recordOffset, 12), after.record);
        EXPECT_EQ(after.kept, PixelsOf(pic));
        ASSERT_TRUE(after.edited);
        EXPECT_EQ(after.edited->pixels, PixelsOf(pic));

        // What the catalog now shows for the ID is the edited bitmap.
        SelectBitmap(f.ed, g, c.id);
        EXPECT_EQ(g.pixels, PixelsOf(pic));
    }
}

// 3 x 8, 6 x 8 and 5 x 8 bitmaps of a "3310" image. Replaced in place, exactly their own
// bytes change: the bytes behind them belong to something else. Written at FreeOffset in a
// new size, they are followed by the fillers C0, 46 C0 and C0 46 C0.
TEST(SaveBmpHex, FillersOnlyWhereTheDataGoesToFreeSpace) {
    GraphicsFixture f(k3310);
    GraphicsState& g = f.g();
    const struct {
        int id;
        const char* tail;
    } cases[] = {{5, "C0"}, {6, "46C0"}, {7, "C046C0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        SelectBitmap(f.ed, g, c.id);
        const SampleBitmap& b = SampleMainBitmaps()[static_cast<std::size_t>(c.id)];
        const auto at = ToImageOffset(g.bitmaps[static_cast<std::size_t>(c.id)].Address());
        Bytes expected = f.Image();
        const BitmapCanvas pic = Changed(b);
        ASSERT_TRUE(ImportPicture(f.ed, g, f.ui, pic));
        const Bytes stored = PixelsOf(pic);
        std::copy(stored.begin(), stored.end(), expected.begin() + at);
        EXPECT_TRUE(f.Image() == expected);

        const std::int32_t free = f.ed.FreeOffset;
        const BitmapCanvas smaller = CanvasOf(b.width, 4, Bytes(b.pixels.size(), 0x05));
        ASSERT_TRUE(ImportPicture(f.ed, g, f.ui, smaller)) << f.ui.Last();
        const Bytes tail = HexToBytes(c.tail);
        EXPECT_EQ(f.At(free, b.pixels.size()), PixelsOf(smaller));
        EXPECT_EQ(f.At(free + static_cast<std::int64_t>(b.pixels.size()), tail.size()), tail);
        EXPECT_EQ(f.ed.FreeOffset, free + static_cast<std::int32_t>(b.pixels.size() + tail.size()));
    }
}

// A new size goes to FreeOffset for every family; the same picture loaded twice writes
// nothing the second time; an edit after that finds the record the first write left.
TEST(SaveBmpHex, NewSizeSamePictureAndRepeatedEdits) {
    for (int family : {k3310, k3410}) {
        SCOPED_TRACE(family);
        GraphicsFixture f(family);
        GraphicsState& g = f.g();
        SelectBitmap(f.ed, g, 11);
        const std::int32_t free = f.ed.FreeOffset;
        const BitmapCanvas wide = CanvasOf(13, 9, Bytes(26, 0x21));
        ASSERT_TRUE(ImportPicture(f.ed, g, f.ui, wide));
        EXPECT_EQ(ToImageOffset(g.bitmaps[11].Address()), free);
        EXPECT_EQ(g.bitmaps[11].Width(), 13);
        EXPECT_EQ(g.bitmaps[11].Height(), 9);
        EXPECT_GT(f.ed.FreeOffset, free);

        const Bytes image = f.Image();
        const std::int32_t after = f.ed.FreeOffset;
        ASSERT_TRUE(ImportPicture(f.ed, g, f.ui, wide));
        EXPECT_EQ(f.Image(), image);
        EXPECT_EQ(f.ed.FreeOffset, after);

        Bytes again(26, 0x21);
        again[3] = 0x01;
        ASSERT_TRUE(ImportPicture(f.ed, g, f.ui, CanvasOf(13, 9, again)));
        EXPECT_EQ(f.At(g.bitmaps[11].recordOffset, 12), g.bitmaps[11].record);
        // Only the size change of the first import was told; nothing was refused.
        ASSERT_EQ(f.ui.told.size(), 1u) << f.ui.Last();
        EXPECT_EQ(f.ui.LastKind(), MessageKind::Info);
        EXPECT_EQ(f.ui.Last().rfind("Bitmap 00B is now 13 × 9 (was 10 × 10) and was moved", 0), 0u);
    }
}

// Two entries share the same record bytes: a change of the second one rewrites its own
// record, not the first one's.
TEST(SaveBmpHex, IdenticalRecordsEachKeepTheirOwn) {
    GraphicsFixture f(k3410);
    GraphicsState& g = f.g();
    const Bytes shared = g.bitmaps[9].record;
    SelectBitmap(f.ed, g, 10);
    ASSERT_TRUE(ImportPicture(f.ed, g, f.ui, Changed(SampleMainBitmaps()[10])));
    EXPECT_EQ(f.At(g.bitmaps[9].recordOffset, 12), shared);
    EXPECT_NE(f.At(g.bitmaps[10].recordOffset, 12), shared);
    EXPECT_EQ(g.bitmaps[9].record, shared);
}

// Refusals change nothing: neither the image, nor FreeOffset, nor the catalog's memory.
TEST(SaveBmpHex, RefusalsLeaveEverything) {
    struct Case {
        const char* what;
        BitmapCanvas picture;
        std::function<void(GraphicsFixture&)> setup;
        const char* message;
    };
    const Case cases[] = {
        {"width 0", BitmapCanvas(0, 8), nullptr, kBadBitmapSize},
        {"width 256", BitmapCanvas(256, 8), nullptr, kBadBitmapSize},
        {"height 256", BitmapCanvas(4, 256), nullptr, kBadBitmapSize},
        {"no free offset", BitmapCanvas(9, 9), [](GraphicsFixture& f) { f.ed.FreeOffset = -1; },
         kNoMcuSpace},
        {"no room", BitmapCanvas(200, 200),
         [](GraphicsFixture& f) { f.ed.FreeOffset = McuFreeEnd(f.ed) - 100; }, kNoMcuSpace},
        {"record changed", BitmapCanvas(9, 9),
         [](GraphicsFixture& f) {
             f.ed.MainHex.WriteAt(f.g().bitmaps[4].recordOffset + 10, {0x77});
         },
         kRecordMoved},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphicsFixture f(k3310);
        GraphicsState& g = f.g();
        SelectBitmap(f.ed, g, 4);
        if (c.setup) c.setup(f);
        const Bytes image = f.Image();
        const std::int32_t free = f.ed.FreeOffset;
        const BitmapEntry before = g.bitmaps[4];
        const Bytes shown = g.pixels;
        EXPECT_FALSE(ImportPicture(f.ed, g, f.ui, c.picture));
        EXPECT_EQ(f.ui.Last(), c.message);
        EXPECT_EQ(f.ui.LastKind(), MessageKind::Error);
        EXPECT_EQ(f.Image(), image);
        EXPECT_EQ(f.ed.FreeOffset, free);
        EXPECT_FALSE(g.bitmaps[4].edited);
        EXPECT_EQ(g.bitmaps[4].record, before.record);
        EXPECT_EQ(g.pixels, shown);
    }
}

}  // namespace
}  // namespace brivant::test
