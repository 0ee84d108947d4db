#include <gtest/gtest.h>

#include "core/UserError.h"
#include "tones/BitText.h"
#include "tones/ToneCatalog.h"
#include "tones/ToneTestSupport.h"

namespace brivant::test {
namespace {

TEST(BitText, HexToBitsAndBack) {
    EXPECT_EQ(HexToBits("A"), "1010");
    EXPECT_EQ(HexToBits("0f"), "00001111");
    EXPECT_EQ(HexToBits("1G"), "0");
    EXPECT_EQ(BitsToHex("0"), "0");
    EXPECT_EQ(BitsToHex("101"), "5");
    EXPECT_EQ(BitsToHex("111110100"), "1F4");
    EXPECT_EQ(BitsToHex("10201"), "0");
    EXPECT_EQ(BitsToHex(HexToBits("C0FFEE")), "C0FFEE");
}

// The sample's common catalog: plain names, tag names, a name that ends at 00 00 02 before
// its length byte says, a two-letter name, and a last name without any 00 00 02 behind it.
TEST(RingtoneCatalog, ListsTheSampleWithEveryNameRule) {
    SampleFixture f;
    const auto& rows = f.ed.tones.ringtones;
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(f.ed.tones.ringtoneCount, "Ringtones Count: 10");
    EXPECT_EQ(rows[0].name, "Ring Ring");
    EXPECT_EQ(rows[1].name, "STND");      // name length 0
    EXPECT_EQ(rows[2].name, "BEEP");      // name length 1
    EXPECT_EQ(rows[3].name, "Hi");        // bytes 14-16 of its header read 00 00 02
    EXPECT_EQ(rows[4].name, "Bells");     // length byte 9, ends at the tone data
    EXPECT_EQ(rows[9].name, "Nocturne");  // no 00 00 02 behind it: its 8 bytes
    EXPECT_EQ(rows[0].id, "00000001");

    // Each row's Length is the stored field, and the walk goes on by exactly that much.
    const Bytes tone = f.Chunk(Piece::TONE);
    std::size_t p = 20;
    for (const auto& r : rows) {
        EXPECT_EQ(BytesToHex(&tone[p], 4), r.id);
        EXPECT_EQ(BytesToHex(&tone[p + 4], 4), r.length);
        p += static_cast<std::size_t>(HexTextToInt(r.length));
    }
    EXPECT_EQ(p, tone.size() - 16);
}

TEST(RingtoneCatalog, EmptyChunkAndWideNames) {
    SampleOptions none;
    none.ringtones = 0;
    SampleFixture empty(4, none);
    EXPECT_TRUE(empty.ed.tones.ringtones.empty());
    EXPECT_EQ(empty.ed.tones.ringtoneCount, "Ringtones Count: 0");
    EXPECT_EQ(empty.Chunk(Piece::TONE).size(), 36u);

    SampleFixture wide(18);
    const auto& rows = wide.ed.tones.ringtones;
    ASSERT_EQ(rows.size(), 98u);
    EXPECT_EQ(wide.ed.tones.ringtoneCount, "Ringtones Count: 98");
    EXPECT_EQ(rows[3].name, "Fanfares");  // length byte 9: 16 bytes, 8 characters
    EXPECT_EQ(rows[25].name, "STND");
    EXPECT_EQ(rows[0].name, "Ring Ring");
}

// Builds a TONE piece from records and lists it.
struct Listing : SampleFixture {
    void List(const std::vector<Bytes>& records) {
        Bytes body(8, 0);
        for (const auto& r : records) body.insert(body.end(), r.begin(), r.end());
        ed.ppm[Piece::TONE] = BytesToHex(MakeChunk("TONE", body));
        ShowRingtones(ed, ed.tones, ui);
    }
};

TEST(RingtoneCatalog, LengthAsStoredAndTheWalkAfterIt) {
    Listing f;
    Bytes big = ToneRecord("00000040", "TONE", "Big", "0A01" + std::string(2 * 270, '1'));
    big.resize(300, 0x11);
    PutBE32(&big[4], 300);
    f.List({big, ToneRecord("00000041", "TONE", "Next", "0A0111")});
    ASSERT_EQ(f.ed.tones.ringtones.size(), 2u);
    EXPECT_EQ(f.ed.tones.ringtones[0].length, "0000012C");
    EXPECT_EQ(f.ed.tones.ringtones[1].name, "Next");
}

TEST(RingtoneCatalog, ZeroOrNegativeLengthEndsTheWalk) {
    for (std::uint32_t bad : {0u, 0xFFFFFFF0u}) {
        Listing f;
        Bytes broken = ToneRecord("00000002", "TONE", "Stuck", "0A0122");
        PutBE32(&broken[4], bad);
        f.List({ToneRecord("00000001", "TONE", "First", "0A0111"), broken,
                ToneRecord("00000003", "TONE", "Never", "0A0133")});
        ASSERT_EQ(f.ed.tones.ringtones.size(), 2u);
        EXPECT_EQ(f.ed.tones.ringtones[1].name, "Stuck");
        EXPECT_EQ(f.ed.tones.ringtoneCount, "Ringtones Count: 2");
    }
}

TEST(RingtoneCatalog, RecordPastTheEndStopsWithTheBufferErrorKeepingEarlierRows) {
    Listing f;
    Bytes cut = ToneRecord("00000002", "TONE", "AB", "0A0122");
    cut.resize(19);  // the chunk ends inside this record's name ...
    cut[16] = 40;    // ... which claims 40 bytes
    f.ed.tones.ringtoneCount = "Ringtones Count: 7";
    EXPECT_THROW(
        {
            try {
                f.List({ToneRecord("00000001", "TONE", "First", "0A0111"), cut});
            } catch (const UserError& e) {
                EXPECT_STREQ(e.what(), "Invalid selection end");
                throw;
            }
        },
        UserError);
    ASSERT_EQ(f.ed.tones.ringtones.size(), 1u);
    EXPECT_EQ(f.ed.tones.ringtoneCount, "Ringtones Count: 7");
}

TEST(RingtoneCatalog, NeedsTypeAndImage) {
    Editor ed;
    FakeUi ui;
    ShowRingtones(ed, ed.tones, ui);
    EXPECT_EQ(ui.Last(), "Please choose correct phone model");
    ed.phoneList.selected = 4;
    ShowRingtones(ed, ed.tones, ui);
    EXPECT_EQ(ui.Last(), "Please open Flash file first");
}

TEST(RingtoneCatalog, RemoveAllScansWithoutOverlap) {
    EXPECT_EQ(RemoveAll("00410042", "00"), "4142");
    EXPECT_EQ(RemoveAll("A000B", "00"), "A0B");
    EXPECT_EQ(RemoveAll("0A0A0A", "0A0A"), "0A");
    EXPECT_EQ(DecodeName("41424"), "AB");
}

}  // namespace
}  // namespace brivant::test
