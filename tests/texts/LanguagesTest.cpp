#include <gtest/gtest.h>

#include "core/UserError.h"
#include "texts/Languages.h"
#include "texts/TLangEdit.h"
#include "texts/TextTestSupport.h"

using namespace brivant;
using namespace brivant::test;

// The sample's TEXT chunk: COMM (5 texts, Length 39), ENGL (Yes/No, Length 23), DEUT
// (H\x0Ai, Ja, "", Nein and a 255 entry, Length 285) and RUSS (two bytes a character,
// Length 31).

namespace {
std::vector<std::string> TextsOf(Editor& ed, int row) {
    const LanguageRow& r = ed.texts.languages.at(static_cast<std::size_t>(row));
    return ReadLanguageTexts(ed, r.id, r.length).texts;
}

// The user types these texts into the editor and presses "&OK".
std::function<bool(TLangEdit&)> Typing(std::vector<std::string> texts) {
    return [texts](TLangEdit& m) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            m.Select(static_cast<int>(i));
            m.KeyTyped();
            m.SetTextField(texts[i]);
        }
        std::string error;
        return m.Ok(&error);
    };
}
}  // namespace

TEST(ReadLanguages, RowsKeysSelectorAndCount) {
    SampleFixture img(4, Tab::Languages);
    const auto& rows = img.ed.texts.languages;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].language, "COMM");
    EXPECT_EQ(rows[1].language, "ENGL");
    EXPECT_EQ(rows[1].id, "0000C002");
    EXPECT_EQ(rows[1].length, "00000017");
    EXPECT_EQ(rows[2].length, "0000011D");
    EXPECT_EQ(img.ed.texts.languageKeys,
              (std::vector<std::string>{"0000C00100000027", "0000C00200000017", "0000C0030000011D",
                                        "0000C0040000001F"}));
    EXPECT_EQ(img.ed.texts.menuLanguages,
              (std::vector<std::string>{"Select Here", "ENGL", "DEUT", "RUSS"}));
    EXPECT_EQ(img.ed.texts.languageCount, "Languages Count: 4");
    EXPECT_TRUE(img.ui.told.empty());
    EXPECT_FALSE(img.ed.PpmChanged);
}

TEST(ReadLanguages, AListWithRowsIsKept) {
    SampleFixture img(4, Tab::Languages);
    img.ed.texts.languages.pop_back();
    ReadLanguages(img.ed, img.ed.texts);
    EXPECT_EQ(img.ed.texts.languages.size(), 3u);
}

TEST(ReadTexts, BothEncodingsOnEveryKindOfPhone) {
    // The read position moves by the bytes a text occupies, whatever the phone type: a
    // two-byte language on a one-byte family and a one-byte one on "62XX/7110" alike.
    for (const int family : {4, 18}) {
        SampleFixture img(family, Tab::Languages);
        EXPECT_EQ(TextsOf(img.ed, 1), (std::vector<std::string>{"Yes", "No"})) << family;
        EXPECT_EQ(TextsOf(img.ed, 2), (std::vector<std::string>{"H\\x0Ai", "Ja", "", "Nein"}));
        EXPECT_EQ(TextsOf(img.ed, 3),
                  (std::vector<std::string>{"\\x00D\\x00a", "\\x00N\\x00e\\x00t", "\\x00\\x01"}));
    }
}

TEST(ReadTexts, FirstMenuVisitOnlyCountsTheCommonTexts) {
    SampleFixture img(4, Tab::Tones);
    TabChanged(img.ed, img.ui, Tab::Menu);
    EXPECT_EQ(img.ed.texts.CommTextCount, 5);
    EXPECT_TRUE(img.ed.texts.languageTexts.empty());
    EXPECT_EQ(img.ed.texts.menuLanguages.size(), 4u);
    // Once counted, a language chosen in the Menu tab fills the menu's text list.
    ReadMenuTexts(img.ed, img.ed.texts, 1);
    EXPECT_EQ(img.ed.texts.languageTexts, (std::vector<std::string>{"Yes", "No"}));
    ReadMenuTexts(img.ed, img.ed.texts, 2);
    EXPECT_EQ(img.ed.texts.languageTexts, (std::vector<std::string>{"H\\x0Ai", "Ja", "", "Nein"}));
    // The key of a deleted language is still offered by the selector but found no more.
    DeleteLanguage(img.ed, img.ed.texts, img.ui, 3);
    EXPECT_EQ(img.ed.texts.languageKeys.size(), 4u);
    try {
        ReadMenuTexts(img.ed, img.ed.texts, 3);
        FAIL();
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), "Invalid selection start");
    }
}

TEST(EditLanguage, TypedTextsReplaceTheChunkAndTheListIsReread) {
    SampleFixture img(4, Tab::Languages);
    const std::size_t before = img.Chunk(Piece::TEXT).size();
    std::vector<std::string> shown;
    img.ui.dialogs.On<TLangEdit>() = [&](TLangEdit& m) {
        shown = m.Texts();
        EXPECT_EQ(m.Selected(), 0);
        EXPECT_EQ(m.TextField(), "Yes");
        EXPECT_EQ(m.EntriesLabel(), "Entries: 2");
        return Typing({"Yeah", "N\\x01o"})(m);
    };
    EditLanguage(img.ed, img.ed.texts, img.ui, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_TRUE(img.ed.PpmChanged);
    EXPECT_TRUE(img.ChecksumOk(Piece::TEXT));
    // 16 + 2 + 4 + 3 = 25 bytes, padded to 28 where 24 were.
    EXPECT_EQ(img.ed.texts.languages[1].length, "00000019");
    EXPECT_EQ(img.Chunk(Piece::TEXT).size(), before + 4);
    EXPECT_EQ(GetBE32(img.Chunk(Piece::TEXT).data() + 4), before + 4);
    EXPECT_EQ(TextsOf(img.ed, 1), (std::vector<std::string>{"Yeah", "N\\x01o"}));
    EXPECT_EQ(TextsOf(img.ed, 2), (std::vector<std::string>{"H\\x0Ai", "Ja", "", "Nein"}));
}

// The editor lists texts only; the entry of 255 and the bytes it counts stay as they were,
// so typing the same texts again gives the same chunk.
TEST(EditLanguage, AnEntryOf255StaysWithItsBytes) {
    SampleFixture img(4, Tab::Languages);
    const Bytes before = img.Chunk(Piece::TEXT);
    img.ui.dialogs.On<TLangEdit>() = Typing({"H\\x0Ai", "Ja", "", "Nein"});
    EditLanguage(img.ed, img.ed.texts, img.ui, 2);
    EXPECT_TRUE(img.ed.PpmChanged);
    const Bytes after = img.Chunk(Piece::TEXT);
    EXPECT_EQ(Bytes(after.begin() + 4, after.end()), Bytes(before.begin() + 4, before.end()));
}

TEST(EditLanguage, TwoByteChunkGetsCharacterCounts) {
    SampleFixture img(4, Tab::Languages);
    img.ui.dialogs.On<TLangEdit>() =
        Typing({"\\x00D\\x00a\\x00!", "\\x00N\\x00e\\x00t", "\\x00\\x01"});
    EditLanguage(img.ed, img.ed.texts, img.ui, 3);
    const Bytes t = img.Chunk(Piece::TEXT);
    const Bytes table = Hex("0000C00400000021525553538800000003030100440061002100");
    EXPECT_NE(std::search(t.begin(), t.end(), table.begin(), table.end()), t.end());
    EXPECT_EQ(TextsOf(img.ed, 3).at(0), "\\x00D\\x00a\\x00!");
}

TEST(EditLanguage, NothingIsWrittenWithoutOkOrWithoutATypedKey) {
    SampleFixture img(4, Tab::Languages);
    const std::string piece = img.ed.ppm[Piece::TEXT];
    img.ui.dialogs.On<TLangEdit>() = [](TLangEdit& m) {
        m.SetTextField("changed");
        std::string error;
        return m.Ok(&error);
    };
    EditLanguage(img.ed, img.ed.texts, img.ui, 1);
    img.ui.dialogs.On<TLangEdit>() = nullptr;  // cancelled
    EditLanguage(img.ed, img.ed.texts, img.ui, 1);
    EditLanguage(img.ed, img.ed.texts, img.ui, -1);
    EXPECT_EQ(img.ed.ppm[Piece::TEXT], piece);
    EXPECT_FALSE(img.ed.PpmChanged);
}

TEST(EditLanguage, AChunkWithoutItsPaddingIsNotReplaced) {
    SampleFixture img(4, Tab::Languages);
    // ENGL (Length 23) is followed by one FF; make it something else.
    Bytes t = img.Chunk(Piece::TEXT);
    const std::size_t engl = 12 + 40;
    ASSERT_EQ(t[engl + 23], 0xFF);
    t[engl + 23] = 0xEE;
    img.ed.ppm[Piece::TEXT] = BytesToHex(t);
    img.ui.dialogs.On<TLangEdit>() = Typing({"Si", "No"});
    EditLanguage(img.ed, img.ed.texts, img.ui, 1);
    EXPECT_EQ(img.ui.Last(),
              "The language chunk ENGL is not followed by its FF padding in the TEXT chunk, so it "
              "cannot be replaced safely; nothing was changed");
    EXPECT_EQ(img.Chunk(Piece::TEXT), t);
    EXPECT_FALSE(img.ed.PpmChanged);
    DeleteLanguage(img.ed, img.ed.texts, img.ui, 1);
    EXPECT_EQ(img.Chunk(Piece::TEXT), t);
    EXPECT_EQ(img.ed.texts.languages.size(), 4u);
}

TEST(RetrieveLanguage, WritesTheChunkPaddedToFour) {
    SampleFixture img(4, Tab::Languages);
    img.ui.saveAnswers = {img.dir.Path("e.lng")};
    RetrieveLanguage(img.ed, img.ed.texts, img.ui, 1);
    ASSERT_EQ(img.ui.saveAsked.size(), 1u);
    EXPECT_EQ(img.ui.saveAsked[0].title, "Save Language As...");
    EXPECT_EQ(img.ui.saveAsked[0].filter, "Language Chunk (*.lng) | *.lng");
    EXPECT_EQ(img.ui.saveAsked[0].defaultExt, "lng");
    EXPECT_EQ(img.ui.saveAsked[0].defaultName, "ENGL");
    const Bytes e = ReadFile(img.dir.Path("e.lng"));
    ASSERT_EQ(e.size(), 24u);
    EXPECT_EQ(e[23], 0xFF);
    RetrieveLanguage(img.ed, img.ed.texts, img.ui, -1);
    EXPECT_EQ(img.ui.saveAsked.size(), 1u);
}

TEST(AddLanguage, InsertsBeforeTheTrailerAndAChunkOfLength30ComesBackAs32Bytes) {
    SampleFixture img(4, Tab::Languages);
    Bytes chunk = Hex("0000C0090000001E4954414C00000000") + Hex("0D") + Bytes(13, 'x');
    chunk.push_back(0xFF), chunk.push_back(0xFF);
    img.ui.openAnswers = {img.dir.Path("i.lng")};
    WriteFile(img.dir.Path("i.lng"), chunk);
    const std::size_t before = img.Chunk(Piece::TEXT).size();
    AddLanguage(img.ed, img.ed.texts, img.ui);
    EXPECT_EQ(img.ui.openAsked.at(0).title, "Open Language Chunk...");
    EXPECT_EQ(img.ui.openAsked.at(0).filter, "Language Chunks (*.lng)|*.lng");
    ASSERT_EQ(img.ed.texts.languages.size(), 5u);
    EXPECT_EQ(img.ed.texts.languages[4].language, "ITAL");
    EXPECT_EQ(img.ed.texts.languages[4].length, "0000001E");
    EXPECT_EQ(img.ed.texts.languageKeys.size(), 4u);  // the keys wait for the next reading
    EXPECT_EQ(img.ed.texts.languageCount, "Languages Count: 5");
    const Bytes t = img.Chunk(Piece::TEXT);
    EXPECT_EQ(t.size(), before + 32);
    EXPECT_EQ(GetBE32(t.data() + 4), before + 32);
    EXPECT_EQ(Bytes(t.end() - 16, t.end()), Hex(kTrailerHex));
    EXPECT_TRUE(img.ChecksumOk(Piece::TEXT));

    img.ui.saveAnswers = {img.dir.Path("o.lng")};
    RetrieveLanguage(img.ed, img.ed.texts, img.ui, 4);
    EXPECT_EQ(ReadFile(img.dir.Path("o.lng")), chunk);
    EXPECT_EQ(TextsOf(img.ed, 4), (std::vector<std::string>{std::string(13, 'x')}));
}

TEST(AddLanguage, CancelledStillSealsButInsertsNothing) {
    SampleFixture img(4, Tab::Languages);
    Bytes t = img.Chunk(Piece::TEXT);
    t[0] ^= 0x55;  // a wrong checksum that the seal repairs
    img.ed.ppm[Piece::TEXT] = BytesToHex(t);
    AddLanguage(img.ed, img.ed.texts, img.ui);
    EXPECT_TRUE(img.ed.PpmChanged);
    EXPECT_TRUE(img.ChecksumOk(Piece::TEXT));
    t[0] ^= 0x55;
    EXPECT_EQ(img.Chunk(Piece::TEXT), t);
    EXPECT_EQ(img.ed.texts.languages.size(), 4u);
}

TEST(AddLanguage, AFileTooShortForAHeaderIsRefused) {
    SampleFixture img(4, Tab::Languages);
    WriteFile(img.dir.Path("s.lng"), Hex("0000C009"));
    img.ui.openAnswers = {img.dir.Path("s.lng")};
    const std::string piece = img.ed.ppm[Piece::TEXT];
    AddLanguage(img.ed, img.ed.texts, img.ui);
    EXPECT_EQ(img.ui.told.size(), 1u);
    EXPECT_EQ(img.ed.ppm[Piece::TEXT], piece);
    EXPECT_EQ(img.ed.texts.languages.size(), 4u);
}

TEST(DeleteLanguage, TheLastLanguageLeavesCommAndTheTrailer) {
    SampleFixture img(4, Tab::Languages);
    const Bytes before = img.Chunk(Piece::TEXT);
    DeleteLanguage(img.ed, img.ed.texts, img.ui, -1);
    EXPECT_FALSE(img.ed.PpmChanged);
    for (int row = 3; row >= 1; --row) DeleteLanguage(img.ed, img.ed.texts, img.ui, row);
    const Bytes t = img.Chunk(Piece::TEXT);
    // 32 + 288 + 24 padded bytes gone; COMM (40 padded bytes) and the trailer stay.
    EXPECT_EQ(t.size(), before.size() - 344);
    EXPECT_EQ(GetBE32(t.data() + 4), t.size());
    EXPECT_EQ(Bytes(t.begin() + 8, t.end()),
              Bytes(before.begin() + 8, before.begin() + 52) + Hex(kTrailerHex));
    EXPECT_EQ(img.ed.texts.languages.size(), 1u);
    EXPECT_EQ(img.ed.texts.languageCount, "Languages Count: 1");
    EXPECT_EQ(img.ed.texts.menuLanguages.size(), 4u);  // the selector waits for the next reading
    EXPECT_TRUE(img.ChecksumOk(Piece::TEXT));
    EXPECT_TRUE(img.ed.PpmChanged);
    EXPECT_TRUE(img.ui.told.empty());
}

TEST(LoadAllLanguages, GuardsThenReplacesThePieceAndRereads) {
    SampleFixture img(4, Tab::Languages);
    // A TEXT chunk holding COMM only, with a wrong checksum that the load repairs.
    DeleteLanguage(img.ed, img.ed.texts, img.ui, 3);
    DeleteLanguage(img.ed, img.ed.texts, img.ui, 2);
    DeleteLanguage(img.ed, img.ed.texts, img.ui, 1);
    Bytes only = img.Chunk(Piece::TEXT);
    only[0] ^= 1;
    WriteFile(img.dir.Path("t.bin"), only);

    SampleFixture fresh(4, Tab::Languages);
    fresh.ui.openAnswers = {fresh.dir.Path("missing.bin")};
    fresh.ed.phoneList.selected = 0;
    LoadAllLanguages(fresh.ed, fresh.ed.texts, fresh.ui);
    EXPECT_EQ(fresh.ui.Last(), "Please choose correct phone model");
    EXPECT_TRUE(fresh.ui.openAsked.empty());
    fresh.ui.openAnswers.clear();
    fresh.ed.phoneList.selected = 4;
    LoadAllLanguages(fresh.ed, fresh.ed.texts, fresh.ui);  // cancelled: nothing
    EXPECT_EQ(fresh.ed.texts.languages.size(), 4u);
    EXPECT_FALSE(fresh.ed.PpmChanged);

    fresh.ui.openAnswers = {img.dir.Path("t.bin")};
    LoadAllLanguages(fresh.ed, fresh.ed.texts, fresh.ui);
    EXPECT_EQ(fresh.ui.openAsked.back().title, "Open Language Files...");
    EXPECT_EQ(fresh.ed.texts.languages.size(), 1u);
    EXPECT_EQ(fresh.ed.texts.languageKeys.size(), 1u);
    EXPECT_EQ(fresh.ed.texts.languageCount, "Languages Count: 1");
    EXPECT_TRUE(fresh.ChecksumOk(Piece::TEXT));
    EXPECT_TRUE(fresh.ed.PpmChanged);
}
