#include <gtest/gtest.h>

#include "app/Editor.h"
#include "core/HexText.h"
#include "core/Search.h"
#include "core/Stream.h"

using namespace brivant;

namespace {
void Fill(HexBuffer& b, const std::string& text) {
    MemStream s(Bytes(text.begin(), text.end()));
    b.LoadStream(s);
}
}  // namespace

TEST(PatternSearch, OddHexGetsALeadingZero) {
    Editor ed;
    ed.SubHex.SetHexText("FF0A0BFF");
    FindOffSet2(ed, "a0b");  // loading left the cursor on the last byte
    EXPECT_EQ(ed.FoundOffset, -1);
    ed.SubHex.SetSelectionStart(0);
    FindOffSet2(ed, "a0b");
    EXPECT_EQ(ed.FoundOffset, 1);
    EXPECT_EQ(ed.SubHex.SelectionStart(), 2);  // cursor on the last byte of the hit
    EXPECT_EQ(ed.SubHex.SelectionEnd(), 1);
    EXPECT_EQ(ed.SubHex.SelectionLength(), 2);
    ed.SubHex.SetSelectionStart(0);
    FindOffSet2(ed, "0A-0b xyz");  // non-digits are dropped
    EXPECT_EQ(ed.FoundOffset, 1);
}

TEST(PatternSearch, UpperTIgnoresCaseLowerTDoesNot) {
    Editor ed;
    Fill(ed.MainHex, "xxABcxxabc");
    ed.MainHex.SetSelectionStart(0);
    FindOffSet1(ed, "Tabc");
    EXPECT_EQ(ed.FoundOffset, 2);
    ed.MainHex.SetSelectionStart(0);
    FindOffSet1(ed, "tabc");
    EXPECT_EQ(ed.FoundOffset, 7);
    ed.MainHex.SetSelectionStart(0);
    FindOffSet1(ed, "tABC");
    EXPECT_EQ(ed.FoundOffset, -1);
}

TEST(PatternSearch, EmptyPatternsAndBuffers) {
    Editor ed;
    ed.FoundOffset = 42;
    FindOffSet1(ed, "00");  // empty buffer: nothing at all happens
    EXPECT_EQ(ed.FoundOffset, 42);
    Fill(ed.MainHex, "TTTT");
    FindOffSet1(ed, "T");
    EXPECT_EQ(ed.FoundOffset, -1);
    ed.FoundOffset = 3;
    FindOffSet1(ed, "");
    EXPECT_EQ(ed.FoundOffset, -1);
    ed.FoundOffset = 3;
    FindOffSet1(ed, "xyz");  // no hex digits left
    EXPECT_EQ(ed.FoundOffset, -1);
}

TEST(PatternSearch, RepeatedSearchStartsOnTheLastByteOfTheHit) {
    Editor ed;
    ed.SubHex.SetHexText("0011110011");
    ed.SubHex.SetSelectionStart(0);
    FindOffSet2(ed, "11");
    EXPECT_EQ(ed.FoundOffset, 1);
    FindOffSet2(ed, "11");
    EXPECT_EQ(ed.FoundOffset, 1);  // a one-byte pattern finds the same byte again
    ed.SubHex.SetSelectionStart(0);
    FindOffSet2(ed, "1111");
    EXPECT_EQ(ed.FoundOffset, 1);
    FindOffSet2(ed, "1111");
    EXPECT_EQ(ed.FoundOffset, -1);  // from offset 2 on there is no second pair
    FindOffSet2(ed, "1100");        // overlaps the previous hit only from its last byte on
    EXPECT_EQ(ed.FoundOffset, 2);
}

TEST(PatternSearch, MissKeepsCursorAndSelection) {
    Editor ed;
    ed.SubHex.SetHexText("00112233");
    ed.SubHex.SetSelectionStart(1);
    ed.SubHex.SetSelectionEnd(2);
    FindOffSet2(ed, "4455");
    EXPECT_EQ(ed.FoundOffset, -1);
    EXPECT_EQ(ed.SubHex.SelectionStart(), 1);
    EXPECT_EQ(ed.SubHex.SelectionLength(), 2);
}

TEST(HexNumbers, HexTextToInt) {
    EXPECT_EQ(HexTextToInt("20ABCDh"), 0x20ABCD);
    EXPECT_EQ(HexTextToInt("20abcdH"), 0x20ABCD);
    EXPECT_EQ(HexTextToInt("12G4"), 0);
    EXPECT_EQ(HexTextToInt("1FFFFFFFF"), -1);  // 32-bit wrap-around
    EXPECT_EQ(HexTextToInt("00200030"), 0x200030);
}

TEST(HexNumbers, MessagesShowStoredBytesAsLatin1AndKeepUtf8) {
    EXPECT_EQ(DisplayText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(DisplayText("\x80"
                          "EUT"),
              "\xC2\x80"
              "EUT");
    EXPECT_EQ(DisplayText("ab\xC3"), "ab\xC3\x83");  // ends inside a sequence: not UTF-8
}

TEST(Streams, BigEndianHelpers) {
    MemStream s;
    WriteDWordToStream(0x12345678, s);
    WriteWordToStream(0xABCD, s);
    WriteByteToStream(0x1EF, s);
    EXPECT_EQ(BytesToHex(s.Data()), "12345678ABCDEF");
    SeekStream(s, 4, 0);
    EXPECT_EQ(ReadWordFromStream(s), 0xABCD);
    SeekStream(s, -7, 2);
    EXPECT_EQ(ReadDWordFromStream(s), 0x12345678u);
    SeekStream(s, -2, 1);
    EXPECT_EQ(ReadByteFromStream(s), 0x56);
    MemStream t(Bytes{0xFF, 0x01});
    EXPECT_EQ(ReadWordFromStream(t), 0xFF01);
}
