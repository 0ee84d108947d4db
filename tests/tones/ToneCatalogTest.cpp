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

// A length that does not lead on to the end marker ends the walk with a message naming the
// record; the rows before it stay and the count keeps its old text. Lengths near 2^31 are
// taken in wide arithmetic (they once overflowed the walk's offset).
TEST(RingtoneCatalog, BadLengthsEndTheWalkWithAMessage) {
    const Bytes first = ToneRecord("00000001", "TONE", "First", "0A0111");
    const std::string at = std::to_string(20 + first.size());
    struct Case {
        std::uint32_t length;
        std::string message;
    };
    const Case cases[] = {
        {0u, Format(kToneLengthBad, {at, "0"})},
        {0xFFFFFFF0u, Format(kToneLengthBad, {at, "-16"})},
        {0x80000000u, Format(kToneLengthBad, {at, "-2147483648"})},
        {0x7FFFFFFFu, Format(kToneLengthPast, {at, "2147483647", "36"})},
        {0x7FFFFFF0u, Format(kToneLengthPast, {at, "2147483632", "36"})},
        {37u, Format(kToneLengthPast, {at, "37", "36"})},
    };
    for (const Case& c : cases) {
        Listing f;
        Bytes broken = ToneRecord("00000002", "TONE", "Stuck", "0A0122");
        ASSERT_EQ(broken.size(), 36u);
        PutBE32(&broken[4], c.length);
        f.ed.tones.ringtoneCount = "Ringtones Count: 7";
        f.List({first, broken});
        ASSERT_EQ(f.ed.tones.ringtones.size(), 1u) << c.length;
        EXPECT_EQ(f.ed.tones.ringtones[0].name, "First");
        EXPECT_EQ(f.ed.tones.ringtoneCount, "Ringtones Count: 7");
        EXPECT_EQ(f.ui.Messages(), std::vector<std::string>{c.message});
        EXPECT_FALSE(ToneChunkFault(f.Chunk(Piece::TONE), false).empty());
    }
}

TEST(RingtoneCatalog, RowsKnowWhereTheirRecordsLie) {
    Listing f;
    const Bytes a = ToneRecord("00000001", "TONE", "Twin", "0A0111");
    const Bytes b = ToneRecord("00000002", "TONE", "Other", "0A01112233");
    f.List({a, b, a});
    const auto& rows = f.ed.tones.ringtones;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].offset, 20);
    EXPECT_EQ(rows[1].offset, static_cast<std::int32_t>(20 + a.size()));
    EXPECT_EQ(rows[2].offset, static_cast<std::int32_t>(20 + a.size() + b.size()));
    EXPECT_EQ(rows[2].size, static_cast<std::int32_t>(a.size()));
    // The key search confirms each twin at its own place, and refuses a place that moved.
    f.ed.SubHex.SetHexText(f.ed.ppm[Piece::TONE]);
    EXPECT_EQ(FindRecord(f.ed, rows[2]), rows[2].offset);
    RingtoneRow moved = rows[2];
    moved.offset = rows[1].offset;
    EXPECT_EQ(ErrorOf([&] { FindRecord(f.ed, moved); }), Format(kToneRecordMoved, {"Twin"}));
    RingtoneRow unplaced = rows[2];
    unplaced.offset = -1;
    EXPECT_EQ(FindRecord(f.ed, unplaced), 20);
}

// What a tone file must be to be read back whole, in each layout.
TEST(ToneFiles, FaultsOfSingleRecords) {
    const Bytes good = ToneRecord("00000005", "TONE", "AB", "0A01AABB");
    EXPECT_EQ(ToneFileFault(good, false), "");
    Bytes lengthOff = good;
    PutBE32(&lengthOff[4], 5120);
    EXPECT_EQ(ToneFileFault(lengthOff, false),
              "its length field says 5120 bytes, the file has " + std::to_string(good.size()));
    EXPECT_NE(ToneFileFault(HexToBytes("0000000100"), false), "");
    Bytes tiny = HexToBytes("000000010000000C54414721");
    EXPECT_NE(ToneFileFault(tiny, false), "");
    // The name length byte says 2, but the name runs on to the first 00 00 02 far behind:
    // the list reads it so, and so it loads back.
    Bytes runOn = HexToBytes("00000001000000205441473100000000024142434445464748000002FC09070B");
    EXPECT_EQ(ToneFileFault(runOn, false), "");
    EXPECT_TRUE(NameRunsOn(runOn));
    // A name that ends early at the tone data is fine.
    Bytes early = ToneRecord("00000001", "TONE", "Bells", "0A01");
    early[16] = 9;
    EXPECT_EQ(ToneFileFault(early, false), "");
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
