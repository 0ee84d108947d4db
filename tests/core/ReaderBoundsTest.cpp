#include <gtest/gtest.h>

#include <limits>

#include "app/FileFlow.h"
#include "core/HexText.h"
#include "graphics/BitmapCatalog.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

// Field texts too short for their field give what they have instead of throwing an
// exception that no caller expects.
TEST(ReaderBounds, MenuRecordFieldsOfShortTexts) {
    EXPECT_EQ(TextPointerOf("0012"), "0012");
    EXPECT_EQ(FuncPointerOf("00"), "");
    EXPECT_EQ(FuncPointerValue(""), 0u);
    EXPECT_EQ(ItemsPointerOf("0010"), 0x10u);
    EXPECT_EQ(ItemCountOf("00102030"), 0);
    EXPECT_EQ(ItemCountOf("001020300A"), 10);
    EXPECT_FALSE(IsSubMenuRecord("0387"));
}

// Pointers read from the image that lead past its end (or past what 32 bits of offset can
// name) end the reader with a UserError and leave the lists as they were.
TEST(ReaderBounds, MenuAndBitmapPointersOutsideTheImage) {
    for (const std::uint32_t pointer : {0xFFFFFFFFu, 0x80000000u, 0x00200000u + 0x7FFFFFF0u}) {
        SampleFixture f(4);
        // The root descriptor: its Items Pointer sent past the image.
        const std::int32_t root = f.ed.MainHex.Search(HexToBytes("10010100").data(), 4, 1,
                                                      f.ed.MainHex.Size() - 1, false) -
                                  5;
        ASSERT_GT(root, 0);
        Bytes field(4);
        PutBE32(field.data(), pointer);
        f.ed.MainHex.WriteAt(root, field);
        TabChanged(f.ed, f.ui, Tab::Menu);
        EXPECT_NE(ErrorOf([&] { ChooseMenuLanguage(f.ed, f.ed.menu, f.ed.texts, f.ui, 1); }), "");
        EXPECT_TRUE(f.ed.menu.tab.rows.empty());

        TabChanged(f.ed, f.ui, Tab::Graphics);
        GraphicsState& g = f.ed.graphics;
        ASSERT_FALSE(g.bitmaps.empty());
        // A bitmap record whose address lies outside: showing it fails cleanly.
        BitmapEntry& e = g.bitmaps.back();
        PutBE32(e.record.data(), pointer);
        e.record[8] = e.record[9] = 0xFF;
        const int last = static_cast<int>(g.bitmaps.size()) - 1;
        EXPECT_NE(ErrorOf([&] { SelectBitmap(f.ed, g, last); }), "");
        EXPECT_NE(ErrorOf([&] { ReadBitmapPixels(f.ed, g, last); }), "");
    }
}
