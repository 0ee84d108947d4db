#include <gtest/gtest.h>

#include "texts/LanguageChunk.h"
#include "texts/TLangEdit.h"
#include "texts/TextEscapes.h"
#include "texts/TextTestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {
Bytes Chunk(std::uint8_t encoding, const Bytes& table, const Bytes& texts) {
    Bytes c = Hex("0000AA01000000004142434400000000");
    c[12] = encoding;
    c.insert(c.end(), table.begin(), table.end());
    c.insert(c.end(), texts.begin(), texts.end());
    PutBE32(&c[4], static_cast<std::uint32_t>(c.size()));
    return c;
}

Bytes Encode(const std::string& text) {
    std::string error;
    auto b = UnescapeText(text, &error);
    EXPECT_TRUE(b) << error;
    return b ? *b : Bytes{};
}
}  // namespace

TEST(LengthTable, WalkStopsWhenTheTextsReachLength) {
    const Bytes c = Chunk(0x00, {3, 2}, Bytes{'Y', 'e', 's', 'N', 'o'});
    ASSERT_EQ(c.size(), 23u);
    const LanguageTexts t = DecodeLanguageChunk(c);
    EXPECT_EQ(t.tableEntries, 2u);
    EXPECT_EQ(t.texts, (std::vector<std::string>{"Yes", "No"}));
}

TEST(LengthTable, An255EntryCountsButIsNoTextAndAZeroEntryIsAnEmptyText) {
    Bytes texts = {'A', 'B'};
    texts.insert(texts.end(), 255, 0x99);
    const LanguageTexts t = DecodeLanguageChunk(Chunk(0x00, {1, 0xFF, 0, 1}, texts));
    EXPECT_EQ(t.tableEntries, 4u);
    EXPECT_EQ(t.lengths, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(t.texts, (std::vector<std::string>{"A", "", "B"}));
}

TEST(LengthTable, TwoByteEncodingsDoubleEveryTextAndItsStep) {
    for (const std::uint8_t enc : {0x80, 0x88, 0xA8}) {
        const LanguageTexts t = DecodeLanguageChunk(Chunk(enc, {1, 2}, Hex("004100420043")));
        EXPECT_TRUE(t.twoByte);
        EXPECT_EQ(t.texts, (std::vector<std::string>{"\\x00A", "\\x00B\\x00C"})) << int(enc);
    }
    // Any other value is one byte a character: the same bytes make other texts.
    const LanguageTexts one = DecodeLanguageChunk(Chunk(0x81, {1, 2, 1}, Hex("41424344")));
    EXPECT_FALSE(one.twoByte);
    EXPECT_EQ(one.texts, (std::vector<std::string>{"A", "BC", "D"}));
}

TEST(LengthTable, ALengthPastTheChunkReadsNoForeignBytes) {
    Bytes c = Chunk(0x00, {5}, Bytes{'A', 'B'});
    PutBE32(&c[4], 0x7FFFFFFF);
    const LanguageTexts t = DecodeLanguageChunk(c);
    ASSERT_EQ(t.texts.size(), 1u);
    EXPECT_EQ(t.texts[0], "AB");
}

TEST(DisplayForm, ControlBytesRoundTripAsEscapes) {
    EXPECT_EQ(EscapeBytes(Hex("480A69")), "H\\x0Ai");
    EXPECT_EQ(Encode("H\\x0Ai"), Hex("480A69"));
    EXPECT_EQ(Encode("\\x0a"), Hex("0A"));  // digits of either case
    EXPECT_EQ(EscapeBytes(Hex("1F20FF")), "\\x1F \xFF");
    EXPECT_EQ(Encode("\\x1F \xFF"), Hex("1F20FF"));
}

// A backslash that does not start \xHH would lose what follows it: the text is refused
// with a message that says how to write one. Control characters are dropped.
TEST(DisplayForm, OtherBackslashesAreRefusedAndControlsAreDropped) {
    for (const char* text : {"a\\bcde", "ab\\", "C:\\dir\\x41 50%", "\\\\"}) {
        std::string error;
        EXPECT_FALSE(UnescapeText(text, &error)) << text;
        EXPECT_EQ(error, kBadBackslash) << text;
        EXPECT_NE(error.find("\\x5C"), std::string::npos);
    }
    const std::string typed = "C:\\dir\\A 50%";
    EXPECT_EQ(Encode("C:\\x5Cdir\\x5C\\x41 50%"), Bytes(typed.begin(), typed.end()));
    EXPECT_EQ(Encode("a\tb\n"), Hex("6162"));
}

// Stored bytes shown and read back unchanged, the backslash included.
TEST(DisplayForm, EveryByteRoundTrips) {
    Bytes all(256);
    for (int b = 0; b < 256; ++b) all[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
    EXPECT_EQ(EscapeBytes(Hex("5C")), "\\x5C");
    EXPECT_EQ(Encode(EscapeBytes(all)), all);
}

// Typed UTF-8 becomes one byte a character, or is refused naming the character.
TEST(DisplayForm, TypedTextBeyondOneByteIsRefusedByName) {
    std::string error;
    EXPECT_EQ(Utf8ToTextBytes("Caf\xC3\xA9 50%", &error), std::string("Caf\xE9 50%"));
    struct Case {
        const char* text;
        const char* named;  // in the message; empty: not UTF-8
    };
    for (const Case& c : {Case{"5 \xE2\x82\xAC", "\"\xE2\x82\xAC\" (U+20AC)"},
                          Case{"\xF0\x9F\x98\x80", "(U+1F600)"}, Case{"\xC3", ""},
                          Case{"a\xFF"
                               "b",
                               ""},
                          Case{"\xE2\x82", ""}}) {
        error.clear();
        EXPECT_FALSE(Utf8ToTextBytes(c.text, &error)) << c.text;
        if (*c.named)
            EXPECT_NE(error.find(c.named), std::string::npos) << error;
        else
            EXPECT_EQ(error, kNotUtf8);
    }
}

TEST(DisplayForm, AnEscapeWithoutTwoHexDigitsIsRefused) {
    std::string error;
    EXPECT_FALSE(UnescapeText("a\\xZ1", &error));
    EXPECT_EQ(error, kBadEscape);
    EXPECT_FALSE(UnescapeText("a\\x4", &error));
}

TEST(LanguageEditor, GoFindsTheFirstMatchIgnoringCaseAndNextContinues) {
    TLangEdit m;
    m.Load({"Menu", "Back", "Main menu", "Settings", "Menus"}, false);
    EXPECT_EQ(m.Selected(), 0);
    EXPECT_EQ(m.EntriesLabel(), "Entries: 5");
    m.Select(3);
    m.searchField = "MENU";
    EXPECT_EQ(m.SearchCaption(), "&GO");
    EXPECT_FALSE(m.Search());  // GO starts from the first text, not from the selection
    EXPECT_EQ(m.Selected(), 0);
    EXPECT_EQ(m.SearchCaption(), "&NEXT");
    EXPECT_FALSE(m.Search());
    EXPECT_EQ(m.Selected(), 2);
    EXPECT_EQ(m.TextField(), "Main menu");
    EXPECT_FALSE(m.Search());
    EXPECT_EQ(m.Selected(), 4);
    EXPECT_EQ(m.Search(), std::optional<std::string>("Sorry, no more occurence of search string"));
    EXPECT_EQ(m.SearchCaption(), "&GO");
    EXPECT_EQ(m.Selected(), 4);

    m.searchField = "xyz";
    EXPECT_EQ(m.Search(), std::optional<std::string>("Sorry, search string not found"));
    EXPECT_EQ(m.SearchCaption(), "&GO");
}

TEST(LanguageEditor, CaptionAndTypedKeyMarkOutliveOneUse) {
    TLangEdit first;
    first.Load({"abc"}, false);
    first.searchField = "b";
    first.Search();
    first.KeyTyped();
    TLangEdit second(first.Memory());
    second.Load({"xyz"}, false);
    EXPECT_EQ(second.SearchCaption(), "&NEXT");
    std::string error;
    ASSERT_TRUE(second.Ok(&error));
    EXPECT_EQ(second.Result(), Hex("0378797A"));  // written although nothing was typed now
}

TEST(LanguageEditor, OkWithoutATypedKeyWritesNothing) {
    TLangEdit m;
    m.Load({"abc"}, false);
    m.SetTextField("abcd");
    EXPECT_EQ(m.Texts()[0], "abcd");
    std::string error;
    ASSERT_TRUE(m.Ok(&error));
    EXPECT_TRUE(m.Result().empty());
}

TEST(LanguageEditor, OkBuildsTheTableThenTheTexts) {
    TLangEdit m;
    m.Load({"Yes", "No", "", "H\\x0Ai"}, false);
    m.Select(1);
    m.KeyTyped();
    m.SetTextField("Nope");
    std::string error;
    ASSERT_TRUE(m.Ok(&error)) << error;
    EXPECT_EQ(m.Result(), Hex("03040003") + Hex("596573") + Hex("4E6F7065") + Hex("480A69"));
}

TEST(LanguageEditor, TwoByteEntriesCountCharacters) {
    TLangEdit m;
    m.Load({"\\x00D\\x00a", "\\x00N\\x00e\\x00t"}, true);
    m.KeyTyped();
    std::string error;
    ASSERT_TRUE(m.Ok(&error)) << error;
    EXPECT_EQ(m.Result(), Hex("0203") + Hex("00440061") + Hex("004E00650074"));

    m.Select(0);
    m.SetTextField("\\x00Da");  // three bytes: half a character
    EXPECT_FALSE(m.Ok(&error));
    EXPECT_EQ(error,
              "Text 1 has an odd number of bytes (3): every character of this language "
              "takes two bytes");
    EXPECT_TRUE(m.Result().empty());
}

TEST(LanguageEditor, TextsThatDoNotFitTheirLengthByteAreRefused) {
    TLangEdit m;
    m.Load({std::string(254, 'a'), "b"}, false);
    m.KeyTyped();
    std::string error;
    ASSERT_TRUE(m.Ok(&error));
    EXPECT_EQ(m.Result()[0], 254);

    m.Select(1);
    m.SetTextField(std::string(255, 'b'));
    EXPECT_FALSE(m.Ok(&error));
    EXPECT_EQ(error,
              "Text 2 is too long: it holds 255 characters, at most 254 fit in one "
              "language text");

    TLangEdit wide;
    wide.Load({std::string(255 * 2, 'w')}, true);
    wide.KeyTyped();
    EXPECT_FALSE(wide.Ok(&error));
    wide.SetTextField(std::string(254 * 2, 'w'));
    EXPECT_TRUE(wide.Ok(&error));

    m.SetTextField("a\\xQQ");
    EXPECT_FALSE(m.Ok(&error));
    EXPECT_EQ(error, std::string("Text 2: ") + kBadEscape);
}
