#include <gtest/gtest.h>

#include "core/Stream.h"
#include "graphics/AniTestSupport.h"
#include "image/PhoneTypes.h"

namespace brivant::test {
namespace {

// Every family: the type gate (61XX only with P5.23), the mark and the second run of FF
// for the families that have it, the first pointer's range check, the pointer list and the
// length table behind the last list. Families whose first pointer lies above 2 MiB of
// image have no animations in a small sample: their controls stay disabled, silently.
TEST(AniCatalog, ReadsEveryFamily) {
    struct Case {
        int family;
        bool p523;
        std::int32_t size;
        bool enabled;
    };
    std::vector<Case> cases = {{1, false, 6 * kMiB, false},
                               {k61xx, false, 2 * kMiB, false},
                               {k61xx, true, 2 * kMiB, true},
                               {18, false, 2 * kMiB, false},
                               {k3330, false, 2 * kMiB, false}};
    for (int family = 3; family <= 17; ++family) cases.push_back({family, false, 6 * kMiB, true});
    for (const Case& c : cases) {
        SCOPED_TRACE(PhoneTypeTexts()[static_cast<std::size_t>(c.family)]);
        AniFixture f(c.family, c.p523, c.size);
        EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
        EXPECT_EQ(f.a().enabled, c.enabled);
        if (!c.enabled) {
            EXPECT_TRUE(f.a().catalog.empty());
            continue;
        }
        ASSERT_EQ(f.a().catalog.size(), 4u);
        EXPECT_EQ(f.a().lengthTableText, "12060A06");
        EXPECT_EQ(f.Hex(f.a().lengthTableOffset, 4), "12060A06");
        EXPECT_EQ(f.a().lengthTableOffset, f.List(3) + 8);
        EXPECT_TRUE(IntToHex(f.a().catalog[0].address, 8).starts_with(FirstPointerPrefix(f.ed)));
        for (const AniEntry& e : f.a().catalog)
            EXPECT_EQ(GetBE32(&f.ed.MainHex.Data()[static_cast<std::size_t>(e.slot)]), e.address);
        // Animation 0 on show, its first frame's bitmap current; reading wrote nothing.
        EXPECT_EQ(f.a().current, 0);
        EXPECT_EQ(f.a().shownCount, 9);
        EXPECT_EQ(f.a().frames.back().label, "008");
        EXPECT_EQ(f.a().frame, 0);
        EXPECT_EQ(f.ed.graphics.current, 1 + FrameValueOffset(f.ed));
        EXPECT_EQ(f.a().bitmapIds.size(), f.ed.graphics.bitmaps.size());
        EXPECT_FALSE(f.ed.MainHex.Modified());
    }
}

// Length byte 0A: five frames "000" ... "004" with the list's values.
TEST(AniCatalog, LengthByteGivesFrames) {
    AniFixture f;
    f.Show(2);
    ASSERT_EQ(f.a().frames.size(), 5u);
    EXPECT_EQ(f.a().shownCount, 5);
    EXPECT_EQ(f.a().frames[4].label, "004");
    EXPECT_EQ(f.a().frames[2].value, 5);
}

// Tables that run into the end of the image are told and leave the controls disabled.
TEST(AniCatalog, TablesMissingAreTold) {
    struct Case {
        const char* image;
        int family;
        const char* message;
    };
    const std::string mark = std::string("80") + kAniMarkHex + "8080";
    const Case cases[] = {
        {"", k3310, kNoAniTable},          // no pointers
        {"80808080", k8210, kNoAniTable},  // no second FF run
        {"80808080"
         "00200004"
         "00200025"
         "0001000200030004",
         k3310, kNoLengthTable},  // no table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        FakeUi ui;
        Editor ed;
        ed.MainHex.LoadStream(MemStream(HexToBytes(mark + c.image)));
        ed.phoneList.selected = c.family;
        GetAni(ed, ed.ani, ed.graphics, ui);
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{c.message});
        // A notice: the bitmaps and the commands on them stay usable.
        EXPECT_EQ(ui.LastKind(), MessageKind::Info);
        EXPECT_FALSE(ed.ani.enabled);
        GetAni(ed, ed.ani, ed.graphics, ui);  // not searched again for this image
        EXPECT_EQ(ui.told.size(), 1u);
    }
}

// The length table is found behind the last list also when the first animation has fewer
// than 8 frames, whose length byte looks like a frame value.
TEST(AniCatalog, LengthTableBehindLastList) {
    // 4 bytes before the list, the list 0001 0002 0003 + 46C0, the table.
    const struct {
        const char* table;
        std::int32_t at;
    } cases[] = {{"12060A06", 12}, {"0A060A06", 12}, {"0A0A0A06", 10}, {"C0060A06", 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        std::string hex = std::string("000446C0") + "000100020003" + (c.at == 12 ? "46C0" : "") +
                          c.table + "80808080";
        EXPECT_EQ(FindLengthTable(HexToBytes(hex), 4, 4), c.at);
    }
    EXPECT_EQ(FindLengthTable(HexToBytes("000446C000010002000346C0"), 4, 4), -1);
}

}  // namespace
}  // namespace brivant::test
