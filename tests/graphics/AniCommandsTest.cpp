#include <gtest/gtest.h>

#include "core/UserError.h"
#include "graphics/AniTestSupport.h"
#include "graphics/BitmapCatalog.h"
#include "image/McuSpace.h"

namespace brivant::test {
namespace {

// Frame value and bitmap ID by the family's offset: 3310 v, 8210 v + 1, 3210 v - 1. A
// chosen bitmap is stored as its value in the image; the two IDs without a value and a
// value without a bitmap are told and change nothing.
TEST(AniCommands, FrameValueAndBitmapId) {
    struct Case {
        int family;
        int shownId;         // for value 0005
        int chosenId;        // chosen for frame 2 ...
        const char* stored;  // ... gives this value
        int refusedId;       // -1: the last ID
        const char* noBitmapValue;
    };
    const Case cases[] = {{k3310, 5, 7, "0007", -2, "FFFF"},
                          {k8210, 6, 7, "0006", 0, "FFFF"},
                          {k3210, 4, 7, "0008", -1, "0000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        AniFixture f(c.family);
        f.Show(2);  // values 1 3 5 3 1
        ASSERT_TRUE(ShowFrame(f.ed, f.a(), f.ed.graphics, f.ui, 2));
        EXPECT_EQ(f.a().frameBitmap, c.shownId);
        EXPECT_EQ(f.ed.graphics.current, c.shownId);
        EXPECT_FALSE(f.ed.MainHex.Modified());

        ASSERT_TRUE(FrameBitmapChosen(f.ed, f.a(), f.ed.graphics, f.ui, c.chosenId));
        EXPECT_EQ(f.Hex(f.List(2), 12), std::string("00010003") + c.stored + "0003000146C0");
        EXPECT_EQ(f.ed.graphics.current, c.chosenId);

        const int count = static_cast<int>(f.ed.graphics.bitmaps.size());
        const Bytes before = f.ed.MainHex.Data();
        if (c.refusedId != -2) {
            const int id = c.refusedId < 0 ? count - 1 : c.refusedId;
            f.a().animate = true;
            EXPECT_FALSE(FrameBitmapChosen(f.ed, f.a(), f.ed.graphics, f.ui, id));
            EXPECT_EQ(f.ui.Last(), Format(kBitmapWithoutValue, {BitmapIdText(id)}));
            EXPECT_FALSE(f.a().animate);
            EXPECT_EQ(f.ed.graphics.current, c.chosenId);
            EXPECT_EQ(f.ed.MainHex.Data(), before);
        }
        // A value that names nothing, read from the image: told once, playing stops.
        f.ed.MainHex.WriteAt(f.List(2) + 4, HexToBytes(c.noBitmapValue));
        f.Show(2);
        f.a().animate = true;
        f.ui.told.clear();
        EXPECT_TRUE(AnimateTick(f.ed, f.a(), f.ed.graphics, f.ui));
        EXPECT_FALSE(AnimateTick(f.ed, f.a(), f.ed.graphics, f.ui));
        EXPECT_FALSE(AnimateTick(f.ed, f.a(), f.ed.graphics, f.ui));
        EXPECT_EQ(f.ui.Messages(),
                  std::vector<std::string>{Format(kFrameWithoutBitmap, {c.noBitmapValue})});
        EXPECT_EQ(f.a().frames[2].value, HexTextToInt(c.noBitmapValue));
    }
}

// 3 -> 4 frames in place (only the length byte changes), 4 -> 5 to FreeOffset with the
// animation's own pointer rewritten, and the next open reads the result.
TEST(AniCommands, GrowsInPlaceThenMoves) {
    AniFixture f;
    const std::int32_t list = f.List(1);
    const std::int32_t free = f.ed.FreeOffset;
    const std::int32_t slot = f.a().catalog[1].slot;
    f.Show(1);
    ASSERT_EQ(f.Hex(list, 8), "00020003000446C0");

    f.Count(4);
    EXPECT_EQ(f.Hex(list, 8), "0002000300040004");
    EXPECT_EQ(f.Hex(f.a().lengthTableOffset, 4), "12080A06");
    EXPECT_EQ(f.ed.FreeOffset, free);
    EXPECT_EQ(f.a().frame, 3);
    EXPECT_EQ(f.a().frames[3].label, "003");

    f.Count(5);
    EXPECT_EQ(f.Hex(free, 12), "0002000300040004000446C0");
    EXPECT_EQ(f.ed.FreeOffset, free + 12);
    EXPECT_EQ(f.Hex(slot, 4), IntToHex(ToPhoneAddress(free), 8));
    EXPECT_EQ(f.Hex(list, 8), "0002000300040004");
    EXPECT_EQ(f.Hex(f.a().lengthTableOffset, 4), "120A0A06");
    EXPECT_EQ(f.a().lengthTableText, "120A0A06");
    EXPECT_EQ(f.a().shownCount, 5);
    EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();

    // The first animation below 8 frames, saved and opened again.
    f.Show(0);
    for (int n = 8; n >= 5; --n) f.Count(n);
    EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
    SavePath(f.ed, f.ui, f.dir.Path("y.fls"));
    OpenPath(f.ed, f.ui, f.dir.Path("y.fls"));
    TabChanged(f.ed, f.ui, Tab::Graphics);
    EXPECT_EQ(f.a().lengthTableText, "0A0A0A06");
    EXPECT_EQ(f.List(1), free);
    EXPECT_EQ(f.a().frames.size(), 5u);
}

// Lowering removes the last frame whatever frame is on show, and stops at one frame.
TEST(AniCommands, LowersFromTheEnd) {
    AniFixture f;
    f.Show(1);
    ShowFrame(f.ed, f.a(), f.ed.graphics, f.ui, 0);
    f.Count(2);  // 8 bytes -> 4: moves
    f.Count(1);  // 4 bytes -> 4: in place
    EXPECT_EQ(f.a().frame, 0);
    EXPECT_EQ(f.Hex(f.List(1), 4), "000246C0");
    EXPECT_EQ(f.Hex(f.a().lengthTableOffset, 4), "12020A06");

    const Bytes before = f.ed.MainHex.Data();
    f.Count(0);
    EXPECT_EQ(f.ui.Last(), kNoEmptyAni);
    EXPECT_EQ(f.ed.MainHex.Data(), before);
    EXPECT_EQ(f.a().shownCount, 1);
    EXPECT_EQ(f.a().catalog[1].lengthByte, 2);

    f.Show(2);
    ShowFrame(f.ed, f.a(), f.ed.graphics, f.ui, 4);
    f.Count(4);
    EXPECT_EQ(f.a().frame, 3);
    EXPECT_EQ(f.Hex(f.List(2), 8), "0001000300050003");
}

// Every refusal is told before anything changes: the image, FreeOffset and the catalog
// stay as they were.
TEST(AniCommands, RefusalsChangeNothing) {
    struct Case {
        const char* what;
        int family;
        std::int32_t size;
        int ani;
        std::vector<int> counts;
        std::function<void(AniFixture&)> spoil;
        const char* message;
    };
    const Case cases[] = {
        {"last list moves", k3310, 2 * kMiB, 3, {4, 5}, nullptr, kLastAniStays},
        {"last list shrinks", k3310, 2 * kMiB, 3, {2}, nullptr, kLastAniStays},
        {"no free offset",
         k3310,
         2 * kMiB,
         1,
         {4, 5},
         [](AniFixture& f) { f.ed.FreeOffset = -1; },
         kNoMcuSpace},
        {"free run too short",
         k3310,
         2 * kMiB,
         1,
         {4, 5},
         [](AniFixture& f) { f.ed.MainHex.WriteAt(f.ed.FreeOffset + 8, {0x00}); },
         kNoMcuSpace},
        {"pointer gone",
         k3310,
         2 * kMiB,
         1,
         {4, 5},
         [](AniFixture& f) {
             f.ed.MainHex.WriteAt(f.a().catalog[1].slot, {0, 0x21, 0, 0});
         },
         kAniPointerMoved},
        {"length table gone",
         k3310,
         2 * kMiB,
         1,
         {4},
         [](AniFixture& f) { f.ed.MainHex.WriteAt(f.a().lengthTableOffset + 1, {0x08}); },
         kLengthTableMoved},
        {"list gone",
         k3310,
         2 * kMiB,
         1,
         {4},
         [](AniFixture& f) {
             f.ed.MainHex.WriteAt(f.List(1) + 6, {0x00, 0x00});
         },
         kAniListMoved},
        {"first list leaves its range", k3330, 6 * kMiB, 0, {8}, nullptr, kFirstAniStays},
        // The catalog says another list begins inside this one: writing would change it.
        {"another list inside",
         k3310,
         2 * kMiB,
         1,
         {4},
         [](AniFixture& f) { f.a().catalog[2].address = f.a().catalog[1].address + 4; },
         kAniWouldDamage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AniFixture f(c.family, false, c.size);
        f.Show(c.ani);
        for (std::size_t i = 0; i + 1 < c.counts.size(); ++i) f.Count(c.counts[i]);
        if (c.spoil) c.spoil(f);
        const Bytes before = f.ed.MainHex.Data();
        const std::int32_t free = f.ed.FreeOffset;
        const AniState state = f.a();
        f.ui.told.clear();
        f.Count(c.counts.back());
        EXPECT_EQ(f.ui.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(f.ed.MainHex.Data(), before);
        EXPECT_EQ(f.ed.FreeOffset, free);
        EXPECT_EQ(f.a().shownCount, state.shownCount);
        EXPECT_EQ(f.a().frames.size(), state.frames.size());
        EXPECT_EQ(f.a().catalog[static_cast<std::size_t>(c.ani)].address,
                  state.catalog[static_cast<std::size_t>(c.ani)].address);
        EXPECT_EQ(f.a().lengthTableText, state.lengthTableText);
    }
}

// Playing shows frame after frame (back to 0 after the last) and rewrites the list with its
// own bytes: no edit to save. Opening another file stops it.
TEST(AniCommands, PlayingWritesNothing) {
    AniFixture f;
    SetAnimate(f.a(), true);
    std::vector<int> shown;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(AnimateTick(f.ed, f.a(), f.ed.graphics, f.ui));
        shown.push_back(f.a().frame);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 0, 1}));
    EXPECT_EQ(f.ed.graphics.current, 2);
    EXPECT_FALSE(f.ed.MainHex.HasUnsavedChanges());
    SetAnimate(f.a(), false);
    EXPECT_FALSE(AnimateTick(f.ed, f.a(), f.ed.graphics, f.ui));

    SetAnimate(f.a(), true);
    OpenPath(f.ed, f.ui, f.dir.Path("image.fls"));
    EXPECT_FALSE(f.a().animate);
    EXPECT_TRUE(f.a().catalog.empty());
}

}  // namespace
}  // namespace brivant::test
