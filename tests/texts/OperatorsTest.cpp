#include <gtest/gtest.h>

#include "core/UserError.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "texts/TOpEdit.h"
#include "texts/TextTestSupport.h"

using namespace brivant;
using namespace brivant::test;

// The sample's PLMN chunk: PH 515 (Globe 02, Smart 03, Sun 05), UK 234 (none), FIN 244
// (Ra\x0Edio 91) and DEUT 262 (T-D1 01, D2\x01 02, E-Plus\x1F 03).

namespace {
constexpr std::size_t kPhRecord = 48;

SampleFixture Operators() {
    return SampleFixture(4, Tab::Operators);
}

std::size_t Find(const Bytes& in, const Bytes& what) {
    const auto it = std::search(in.begin(), in.end(), what.begin(), what.end());
    return it == in.end() ? std::string::npos : static_cast<std::size_t>(it - in.begin());
}

bool Ok(TOpEdit& m) {
    std::string error;
    return m.Ok(&error);
}
}  // namespace

TEST(OperatorCodes, PackedDigitsBothWays) {
    EXPECT_EQ(CountryCodeToBcd("515"), Hex("15F5"));
    EXPECT_EQ(BcdToCountryCode(0x15, 0xF5), "515");
    EXPECT_EQ(BcdToCountryCode(0x32, 0xF4), "234");
    EXPECT_EQ(NetworkCodeToByte("02"), 0x20);
    EXPECT_EQ(NetworkCodeText(0x20), "02");
    EXPECT_TRUE(IsCountryCode("007"));
    EXPECT_FALSE(IsCountryCode("07"));
    EXPECT_FALSE(IsCountryCode("5150"));
    EXPECT_FALSE(IsCountryCode("5a5"));
    EXPECT_FALSE(IsNetworkCode("2"));
    EXPECT_FALSE(IsNetworkCode("0x"));
}

TEST(OperatorEntries, LengthIsAMultipleOfFourCountingItsOwnByte) {
    EXPECT_EQ(BuildOperatorEntry(Bytes{'G', 'l', 'o', 'b', 'e'}, "02"),
              Hex("0C20F005476C6F6265000000"));
    EXPECT_EQ(BuildOperatorEntry(Bytes{'S', 'm', 'a', 'r', 't'}, "03").size(), 12u);
    EXPECT_EQ(BuildOperatorEntry(Bytes{'S', 'u', 'n'}, "05").size(), 8u);
    EXPECT_EQ(BuildOperatorEntry(Bytes{'T', '-', 'D', '1'}, "01"), Hex("0810F004542D4431"));
}

TEST(GetOperators, RowsShowNamesWithoutPaddingAndTheCountInHex) {
    SampleFixture img = Operators();
    const auto& rows = img.ed.texts.countries;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].country, "PH");
    EXPECT_EQ(rows[0].code, "515");
    EXPECT_EQ(rows[0].operators, "03");
    EXPECT_EQ(rows[1].country, "UK");
    EXPECT_EQ(rows[1].nameBytes, std::string("UK\0\0", 4));
    EXPECT_EQ(rows[1].operators, "00");
    EXPECT_EQ(rows[3].country, "DEUT");
    EXPECT_EQ(img.ed.texts.countryCount, "Countries Count: 4");
    // While the list has rows it is not read again.
    img.ed.texts.countries.pop_back();
    GetOperators(img.ed, img.ed.texts);
    EXPECT_EQ(rows.size(), 3u);
}

TEST(EditOperators, TheEditorShowsNamesAndSwappedCodes) {
    SampleFixture img = Operators();
    std::vector<OperatorItem> shown;
    std::string code;
    img.ui.dialogs.On<TOpEdit>() = [&](TOpEdit& m) {
        shown = m.Operators();
        code = m.CountryCode();
        EXPECT_EQ(m.Selected(), 0);
        EXPECT_EQ(m.NameField(), "T-D1");
        EXPECT_EQ(m.CodeField(), "01");
        return false;
    };
    EditOperators(img.ed, img.ed.texts, img.ui, 3);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(code, "262");
    EXPECT_EQ(shown[1].name, "D2\\x01");
    EXPECT_EQ(shown[2].name, "E-Plus\\x1F");
    EXPECT_EQ(shown[2].code, "03");
}

TEST(EditOperators, CancelLeavesEverythingUntouched) {
    SampleFixture img = Operators();
    const std::string piece = img.ed.ppm[Piece::PLMN];
    img.ui.dialogs.On<TOpEdit>() = [](TOpEdit& m) {
        m.Add();
        m.Cancel();
        return false;
    };
    EditOperators(img.ed, img.ed.texts, img.ui, 0);
    EditOperators(img.ed, img.ed.texts, img.ui, -1);
    EXPECT_EQ(img.ed.ppm[Piece::PLMN], piece);
    EXPECT_FALSE(img.ed.PpmChanged);
}

TEST(EditOperators, AllDeletedGivesASixteenByteRecord) {
    SampleFixture img = Operators();
    const std::size_t before = img.Chunk(Piece::PLMN).size();
    img.ui.dialogs.On<TOpEdit>() = [](TOpEdit& m) {
        while (m.Count()) {
            m.Select(0);
            m.Delete();
        }
        EXPECT_EQ(m.Selected(), -1);
        EXPECT_EQ(m.NameField(), "");
        return Ok(m);
    };
    EditOperators(img.ed, img.ed.texts, img.ui, 0);
    const Bytes p = img.Chunk(Piece::PLMN);
    EXPECT_EQ(p.size(), before - (kPhRecord - 16));
    EXPECT_EQ(Bytes(p.begin() + 12, p.begin() + 28), Hex("434E545200000010504800"
                                                         "0015F50000"));
    EXPECT_EQ(img.ed.texts.countries[0].operators, "00");
    EXPECT_TRUE(img.ChecksumOk(Piece::PLMN));
    EXPECT_EQ(GetBE32(p.data() + 4), p.size());
    EXPECT_TRUE(img.ed.PpmChanged);
}

TEST(EditOperators, AddRenameAndRecodeBuildTheNewEntries) {
    SampleFixture img = Operators();
    img.ui.dialogs.On<TOpEdit>() = [](TOpEdit& m) {
        m.Add();
        EXPECT_EQ(m.Operators().back().name, "NewOperator");
        EXPECT_EQ(m.Operators().back().code, "00");
        m.Select(3);
        m.SetName("Globe");
        m.SetCode("2");  // one digit gets its leading zero
        EXPECT_EQ(m.Operators()[3].code, "02");
        m.Select(1);
        m.Delete();
        return Ok(m);
    };
    EditOperators(img.ed, img.ed.texts, img.ui, 0);
    const Bytes p = img.Chunk(Piece::PLMN);
    const Bytes record = Hex("434E5452000000305048000015F50300") + Hex("0C20F005476C6F6265000000") +
                         Hex("0850F00353756E00") + Hex("0C20F005476C6F6265000000");
    EXPECT_EQ(Find(p, record), 12u);
    EXPECT_EQ(img.ed.texts.countries[0].operators, "03");
    EXPECT_EQ(img.ed.texts.countries.size(), 4u);
}

TEST(EditOperators, EmptyNamesAreDroppedWhenTheEditorOpens) {
    TOpEdit m("515", {{"", "01", "01"}, {"A", "02", "02"}, {"", "03", "03"}});
    m.Show();
    ASSERT_EQ(m.Count(), 1);
    EXPECT_EQ(m.Selected(), 0);
    EXPECT_EQ(m.NameField(), "A");
    TOpEdit none("515", {});
    none.Show();
    EXPECT_EQ(none.Selected(), -1);
    EXPECT_EQ(none.CodeField(), "");
}

TEST(EditOperators, BadCodesAndNamesKeepTheDialogOpen) {
    TOpEdit m("515", {{"Globe", "02", "02"}});
    m.Show();
    std::string error;
    m.SetCode("2x");
    EXPECT_FALSE(m.Ok(&error));
    EXPECT_EQ(error, "The network code of Globe must be two digits (00 to 99)");
    EXPECT_FALSE(m.Accepted());
    m.SetCode("123");
    EXPECT_FALSE(m.Ok(&error));
    m.SetCode("12");
    m.SetName(std::string(249, 'n'));
    EXPECT_FALSE(m.Ok(&error));
    EXPECT_EQ(error.substr(0, 9), "The name ");
    m.SetName(std::string(248, 'n'));
    ASSERT_TRUE(m.Ok(&error));
    EXPECT_EQ(m.Entries()[0], 252);
    m.SetName("G\\xZZ");
    EXPECT_FALSE(m.Ok(&error));
    // A stored code that is not two plain digits is written back as it was.
    TOpEdit stored("515", {{"Odd", "1F", "1F"}});
    stored.Show();
    ASSERT_TRUE(stored.Ok(&error)) << error;
    EXPECT_EQ(stored.Entries()[1], 0xF1);
}

TEST(NewCountry, LongNamesAreRefusedAndShortOnesPaddedWithZeros) {
    SampleFixture img = Operators();
    img.ui.textAnswers = {"ABCDE", "\xE2\x82\xAC", "ABCD", "123"};
    NewCountry(img.ed, img.ed.texts, img.ui);
    ASSERT_EQ(img.ui.Messages().size(), 2u);
    EXPECT_EQ(img.ui.Messages()[0],
              "The country name \"ABCDE\" has 5 characters: at most 4 fit, please enter a "
              "shorter one");
    EXPECT_NE(img.ui.Messages()[1].find("(U+20AC)"), std::string::npos);
    img.ui.textAsked.erase(img.ui.textAsked.begin(), img.ui.textAsked.begin() + 2);
    img.ui.textAnswers = {"UK", "235"};
    NewCountry(img.ed, img.ed.texts, img.ui);
    ASSERT_EQ(img.ui.textAsked.size(), 4u);
    EXPECT_EQ(img.ui.textAsked[0],
              std::make_pair(std::string("Enter Country Name"),
                             std::string("Please enter country name, maximum of 4 characters")));
    EXPECT_EQ(img.ui.textAsked[1], std::make_pair(std::string("Enter Country Code"),
                                                  std::string("Please enter country code")));
    const Bytes p = img.Chunk(Piece::PLMN);
    EXPECT_EQ(Bytes(p.end() - 48, p.end() - 16),
              Hex("434E5452000000104142434421F30000") + Hex("434E545200000010554B000032F50000"));
    ASSERT_EQ(img.ed.texts.countries.size(), 6u);
    EXPECT_EQ(img.ed.texts.countries[4].country, "ABCD");
    EXPECT_EQ(img.ed.texts.countries[5].country, "UK");
    EXPECT_EQ(img.ed.texts.countryCount, "Countries Count: 6");
    EXPECT_TRUE(img.ChecksumOk(Piece::PLMN));
}

TEST(NewCountry, EmptyAnswersAskAgainAndBadCodesAreRefused) {
    SampleFixture img = Operators();
    img.ui.textAnswers = {"", "FR", "", "FRA", "33", "3x3", "208"};
    NewCountry(img.ed, img.ed.texts, img.ui);
    // name, name, code (empty: back to the name), name, code, code, code
    ASSERT_EQ(img.ui.textAsked.size(), 7u);
    EXPECT_EQ(img.ui.textAsked[3].first, "Enter Country Name");
    EXPECT_EQ(img.ui.Messages(),
              std::vector<std::string>(2, "The country code must be three digits (000 to 999)"));
    EXPECT_EQ(img.ed.texts.countries.back().country, "FRA");
    EXPECT_EQ(img.ed.texts.countries.back().code, "208");
}

// A refused answer comes back as typed: the prompt shows it again to be mended.
TEST(NewCountry, RefusedAnswersComeBackAsTyped) {
    struct Prompts : FakeUi {
        std::vector<std::string> shown;
        std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                           const std::string& initial) override {
            shown.push_back(initial);
            return FakeUi::askText(title, prompt, initial);
        }
    } ui;
    SampleFixture img = Operators();
    ui.textAnswers = {"ABCDE", "ABCD", "3x3", "", "ABC", "208"};
    NewCountry(img.ed, img.ed.texts, ui);
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"", "ABCDE", "", "3x3", "ABCD", ""}));
    EXPECT_EQ(img.ed.texts.countries.back().country, "ABC");
}

// With no operator selected, Add takes the typed name and code, or says why it cannot;
// it never adds a placeholder behind the user's back.
TEST(EditOperators, AddWithNothingSelectedUsesWhatWasTyped) {
    TOpEdit m("515", {{"Globe", "02", "02"}});
    m.Show();
    m.Select(-1);
    std::string error;
    EXPECT_FALSE(m.Add(&error));
    EXPECT_EQ(error, kOperatorNameMissing);
    m.SetName("Sunny");
    m.SetCode("7x");
    EXPECT_FALSE(m.Add(&error));
    EXPECT_EQ(error, "The network code of Sunny must be two digits (00 to 99)");
    EXPECT_EQ(m.Count(), 1);
    EXPECT_EQ(m.NameField(), "Sunny");  // what was typed stays
    m.SetCode("7");
    ASSERT_TRUE(m.Add(&error));
    ASSERT_EQ(m.Count(), 2);
    EXPECT_EQ(m.Operators().back().name, "Sunny");
    EXPECT_EQ(m.Operators().back().code, "07");
    EXPECT_EQ(m.Selected(), 1);
    // With an operator selected, Add makes a new one, selected so that typing names it.
    ASSERT_TRUE(m.Add(&error));
    EXPECT_EQ(m.Selected(), 2);
    EXPECT_EQ(m.NameField(), kNewOperatorName);
}

TEST(NewCountry, CancellingEitherPromptAddsNothing) {
    SampleFixture img = Operators();
    const std::string piece = img.ed.ppm[Piece::PLMN];
    img.ui.textAnswers = {"FR"};  // the code prompt is then cancelled
    NewCountry(img.ed, img.ed.texts, img.ui);
    NewCountry(img.ed, img.ed.texts, img.ui);
    EXPECT_EQ(img.ed.ppm[Piece::PLMN], piece);
    EXPECT_FALSE(img.ed.PpmChanged);
}

TEST(CountryFiles, RetrieveDeleteAndLoadRoundTrip) {
    SampleFixture img = Operators();
    const Bytes before = img.Chunk(Piece::PLMN);
    img.ui.saveAnswers = {img.dir.Path("ph.opr")};
    RetrieveCountry(img.ed, img.ed.texts, img.ui, 0);
    EXPECT_EQ(img.ui.saveAsked.at(0).title, "Save Operator As...");
    EXPECT_EQ(img.ui.saveAsked[0].filter, "Operators Chunk (*.opr) | *.opr");
    EXPECT_EQ(img.ui.saveAsked[0].defaultExt, "opr");
    EXPECT_EQ(img.ui.saveAsked[0].defaultName, "PH");
    const Bytes ph = ReadFile(img.dir.Path("ph.opr"));
    EXPECT_EQ(ph, Bytes(before.begin() + 12, before.begin() + 12 + kPhRecord));

    DeleteCountry(img.ed, img.ed.texts, img.ui, -1);
    DeleteCountry(img.ed, img.ed.texts, img.ui, 0);
    Bytes p = img.Chunk(Piece::PLMN);
    EXPECT_EQ(p.size(), before.size() - kPhRecord);
    EXPECT_EQ(GetBE32(p.data() + 4), p.size());
    EXPECT_EQ(img.ed.texts.countries.size(), 3u);
    EXPECT_EQ(img.ed.texts.countryCount, "Countries Count: 3");
    EXPECT_TRUE(img.ChecksumOk(Piece::PLMN));

    img.ui.openAnswers = {img.dir.Path("ph.opr")};
    LoadCountry(img.ed, img.ed.texts, img.ui);
    EXPECT_EQ(img.ui.openAsked.at(0).title, "Open Operators Chunk...");
    EXPECT_EQ(img.ui.openAsked[0].filter, "Operators Chunks (*.opr)|*.opr");
    p = img.Chunk(Piece::PLMN);
    EXPECT_EQ(p.size(), before.size());
    EXPECT_EQ(Find(p, ph), p.size() - 16 - kPhRecord);
    EXPECT_EQ(img.ed.texts.countries.back().country, "PH");
    EXPECT_TRUE(img.ChecksumOk(Piece::PLMN));
}

TEST(CountryFiles, RecordsAreFoundByTheirOwnFieldsOnly) {
    SampleFixture img = Operators();
    // An operator name of PH holding UK's code and count must not be taken for UK.
    img.ui.dialogs.On<TOpEdit>() = [](TOpEdit& m) {
        m.SetName("\\x32\\xF4\\x00");
        return Ok(m);
    };
    EditOperators(img.ed, img.ed.texts, img.ui, 0);
    const std::size_t before = img.Chunk(Piece::PLMN).size();
    DeleteCountry(img.ed, img.ed.texts, img.ui, 1);
    EXPECT_EQ(img.Chunk(Piece::PLMN).size(), before - 16);
    EXPECT_EQ(img.ed.texts.countries[0].country, "PH");
    img.ed.texts.countries.clear();
    GetOperators(img.ed, img.ed.texts);
    EXPECT_EQ(img.ed.texts.countries[1].country, "FIN");
}

TEST(CountryFiles, LoadFromFileCancelledStillSeals) {
    SampleFixture img = Operators();
    Bytes p = img.Chunk(Piece::PLMN);
    p[0] ^= 0x11;
    img.ed.ppm[Piece::PLMN] = BytesToHex(p);
    img.ed.texts.countries.pop_back();
    LoadCountry(img.ed, img.ed.texts, img.ui);
    EXPECT_TRUE(img.ed.PpmChanged);
    EXPECT_TRUE(img.ChecksumOk(Piece::PLMN));
    EXPECT_EQ(img.ed.texts.countries.size(), 4u);  // rebuilt
}

TEST(LoadAllOperators, GuardsThenReplacesThePieceAndRereads) {
    SampleFixture img = Operators();
    DeleteCountry(img.ed, img.ed.texts, img.ui, 0);
    WriteFile(img.dir.Path("p.bin"), img.Chunk(Piece::PLMN));

    SampleFixture fresh = Operators();
    fresh.ed.phoneList.selected = 0;
    LoadAllOperators(fresh.ed, fresh.ed.texts, fresh.ui);
    EXPECT_EQ(fresh.ui.Last(), "Please choose correct phone model");
    fresh.ed.phoneList.selected = 4;
    fresh.ui.openAnswers = {img.dir.Path("p.bin")};
    LoadAllOperators(fresh.ed, fresh.ed.texts, fresh.ui);
    EXPECT_EQ(fresh.ui.openAsked.at(0).title, "Open Operator Files...");
    EXPECT_EQ(fresh.ed.texts.countries.size(), 3u);
    EXPECT_EQ(fresh.ed.texts.countryCount, "Countries Count: 3");
    EXPECT_TRUE(fresh.ed.PpmChanged);
}
