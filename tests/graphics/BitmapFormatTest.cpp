#include <gtest/gtest.h>

#include "graphics/BitmapFormat.h"

namespace brivant::test {
namespace {

TEST(RunLength, DecodesGroupsWhole) {
    // 32 AA 55: three AA then two 55; a group with counts 00 gives nothing and the next
    // group follows; decoding stops after the group that reaches the count.
    EXPECT_EQ(BytesToHex(DecodeRunLength(HexToBytes("32AA55"), 5)), "AAAAAA5555");
    EXPECT_EQ(BytesToHex(DecodeRunLength(HexToBytes("001234"
                                                    "11AB CD"
                                                    "2101 02"),
                                         3)),
              "ABCD010102");
    EXPECT_EQ(BytesToHex(DecodeRunLength(HexToBytes("9900 11"
                                                    "1122 33"),
                                         4)),
              "000000000000000000111111111111111111");
}

TEST(RunLength, EncodesRunsOfAtMostNineAndEndsOnWholeGroups) {
    struct Case {
        const char* plain;
        const char* packed;
    };
    const Case cases[] = {
        {"AAAAAA5555", "32AA55"},
        {"000000000000000000000000", "930000"},  // 12 bytes: 9 then 3 of the same byte
        {"7E", "107E00"},                        // a first run alone: second count 0
        {"0101010101010101010101", "920101"},    // 11 = 9 + 2
        {"010101010101010101010101010101010101010101", "990101300100"},  // 21 = 9 + 9 + 3
        {"12345678", "111234115678"},
    };
    for (const Case& c : cases) {
        const Bytes plain = HexToBytes(c.plain);
        const Bytes packed = EncodeRunLength(plain);
        EXPECT_EQ(BytesToHex(packed), c.packed) << c.plain;
        EXPECT_EQ(packed.size() % 3, 0u) << c.plain;
        for (std::size_t g = 0; g < packed.size(); g += 3) {
            EXPECT_LE(packed[g] >> 4, 9) << c.plain;
            EXPECT_LE(packed[g] & 15, 9) << c.plain;
        }
        EXPECT_EQ(DecodeRunLength(packed, static_cast<std::int32_t>(plain.size())), plain)
            << c.plain;
    }
    // Long and mixed data comes back exactly, never longer than asked for.
    Bytes mixed;
    for (int i = 0; i < 700; ++i) mixed.push_back(static_cast<std::uint8_t>((i / 13) * 7 % 5));
    EXPECT_EQ(DecodeRunLength(EncodeRunLength(mixed), 700), mixed);
}

TEST(PixelLayout, BandsColumnsAndFillers) {
    EXPECT_EQ(BandCount(0), 0);
    EXPECT_EQ(BandCount(8), 1);
    EXPECT_EQ(BandCount(12), 2);
    EXPECT_EQ(PixelByteCount(0, 12), 0);
    EXPECT_EQ(PixelByteCount(84, 48), 504);

    // Byte k is column k mod W of band k div W, bit 0 on top; height 12 never draws
    // rows 12 to 15 of the second band, and missing bytes are white.
    const BitmapCanvas c = RenderPixels(HexToBytes("01 80 FF F1"), 2, 12);
    EXPECT_TRUE(c.Dark(0, 0));
    EXPECT_FALSE(c.Dark(0, 1));
    EXPECT_TRUE(c.Dark(1, 7));
    for (int y = 8; y < 12; ++y) EXPECT_TRUE(c.Dark(0, y));
    EXPECT_TRUE(c.Dark(1, 8));
    EXPECT_FALSE(c.Dark(1, 9));
    EXPECT_EQ(BytesToHex(PixelsOf(c)), "01800F01");  // hidden rows come back clear
    EXPECT_EQ(RenderPixels(HexToBytes("FF"), 2, 8).Dark(1, 0), false);

    const char* padded[] = {"", "AAC046C0", "AABB46C0", "AABBCCC0", "AABBCCDD"};
    const char* data[] = {"", "AA", "AABB", "AABBCC", "AABBCCDD"};
    for (int i = 0; i < 5; ++i) {
        Bytes b = HexToBytes(data[i]);
        PadWithFillers(b);
        EXPECT_EQ(BytesToHex(b), padded[i]);
    }
}

}  // namespace
}  // namespace brivant::test
