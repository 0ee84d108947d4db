#include <gtest/gtest.h>

#include "core/UserError.h"
#include "ppm/Checksums.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"
#include "tones/ToneConvert.h"
#include "tones/ToneTestSupport.h"

namespace brivant::test {
namespace {

// Everything a command may change, to prove that a refused or cancelled one changed nothing.
struct Snapshot {
    std::string tone;
    std::vector<RingtoneRow> rows;
    std::string count;
    bool ppmChanged;
    explicit Snapshot(const Editor& ed)
        : tone(ed.ppm[Piece::TONE]),
          rows(ed.tones.ringtones),
          count(ed.tones.ringtoneCount),
          ppmChanged(ed.PpmChanged) {}
    void ExpectSame(const Editor& ed) const {
        EXPECT_EQ(ed.ppm[Piece::TONE], tone);
        EXPECT_EQ(ed.tones.ringtones.size(), rows.size());
        for (std::size_t i = 0; i < rows.size() && i < ed.tones.ringtones.size(); ++i)
            EXPECT_EQ(ed.tones.ringtones[i].name, rows[i].name);
        EXPECT_EQ(ed.tones.ringtoneCount, count);
        EXPECT_EQ(ed.PpmChanged, ppmChanged);
    }
};

void ExpectSealed(const Bytes& chunk) {
    ASSERT_GE(chunk.size(), 36u);
    EXPECT_EQ(GetBE32(&chunk[4]), chunk.size());
    EXPECT_EQ(GetBE32(&chunk[0]), *ChunkChecksum(chunk));
}

TEST(RingtoneCommands, RetrieveThenChangeLeavesTheChunkAsItWas) {
    for (int row : {0, 3, 9}) {
        SampleFixture f;
        const Bytes before = f.Chunk(Piece::TONE);
        const std::string out = f.dir.Path("tone.re");
        f.ui.saveAnswers.push_back(out);
        RetrieveRingtone(f.ed, f.ed.tones, f.ui, row);
        ASSERT_EQ(f.ui.saveAsked.size(), 1u);
        EXPECT_EQ(f.ui.saveAsked[0].title, "Save Tone As...");
        EXPECT_EQ(f.ui.saveAsked[0].filter, "Tone Chunks (*.re) | *.re");
        EXPECT_EQ(f.ui.saveAsked[0].defaultExt, "re");
        EXPECT_EQ(f.ui.saveAsked[0].defaultName,
                  f.ed.tones.ringtones[static_cast<std::size_t>(row)].name);
        EXPECT_EQ(ReadFile(out).size(),
                  static_cast<std::size_t>(
                      HexTextToInt(f.ed.tones.ringtones[static_cast<std::size_t>(row)].length)));
        EXPECT_FALSE(f.ed.PpmChanged);

        f.ui.openAnswers.push_back(out);
        ChangeRingtone(f.ed, f.ed.tones, f.ui, row);
        ASSERT_EQ(f.ui.openAsked.size(), 1u);
        EXPECT_EQ(f.ui.openAsked[0].title, "Open Tone Chunk...");
        EXPECT_EQ(f.ui.openAsked[0].filter, "Tone Chunks (*.re)|*.re");
        EXPECT_TRUE(f.ed.PpmChanged);
        const Bytes after = f.Chunk(Piece::TONE);
        ASSERT_EQ(after.size(), before.size());
        EXPECT_TRUE(std::equal(after.begin() + 4, after.end(), before.begin() + 4)) << row;
        ExpectSealed(after);
        EXPECT_TRUE(f.ui.told.empty());
    }
}

TEST(RingtoneCommands, ChangeReplacesTheRecordAndItsRow) {
    SampleFixture f;
    const Bytes tone = ToneRecord("00000077", "TONE", "Brand New", "0A01" + std::string(60, '2'));
    f.ui.openAnswers.push_back(f.File("new.re", tone));
    const Bytes before = f.Chunk(Piece::TONE);
    const std::size_t oldLength =
        static_cast<std::size_t>(HexTextToInt(f.ed.tones.ringtones[1].length));
    ChangeRingtone(f.ed, f.ed.tones, f.ui, 1);
    const auto& row = f.ed.tones.ringtones[1];
    EXPECT_EQ(row.name, "Brand New");
    EXPECT_EQ(row.id, "00000077");
    EXPECT_EQ(row.length, IntToHex(static_cast<std::uint32_t>(tone.size()), 8));
    const Bytes after = f.Chunk(Piece::TONE);
    EXPECT_EQ(after.size(), before.size() - oldLength + tone.size());
    ExpectSealed(after);
    // The rest of the chunk still lists the same.
    ShowRingtones(f.ed, f.ed.tones, f.ui);
    EXPECT_EQ(f.ed.tones.ringtones[1].name, "Brand New");
    EXPECT_EQ(f.ed.tones.ringtones[2].name, "BEEP");
}

TEST(RingtoneCommands, DeleteOfTheOnlyRecordLeavesHeaderAndTrailer) {
    SampleOptions one;
    one.ringtones = 1;
    SampleFixture f(4, one);
    ASSERT_EQ(f.ed.tones.ringtones.size(), 1u);
    DeleteRingtone(f.ed, f.ed.tones, f.ui, 0);
    const Bytes after = f.Chunk(Piece::TONE);
    EXPECT_EQ(after.size(), 36u);
    EXPECT_EQ(GetBE32(&after[4]), 36u);
    ExpectSealed(after);
    EXPECT_TRUE(f.ed.tones.ringtones.empty());
    EXPECT_EQ(f.ed.tones.ringtoneCount, "Ringtones Count: 0");
    EXPECT_TRUE(f.ed.PpmChanged);
}

TEST(RingtoneCommands, DeleteTakesOutExactlyThatRecord) {
    SampleFixture f;
    const Bytes before = f.Chunk(Piece::TONE);
    const std::size_t len = static_cast<std::size_t>(HexTextToInt(f.ed.tones.ringtones[0].length));
    DeleteRingtone(f.ed, f.ed.tones, f.ui, 0);
    const Bytes after = f.Chunk(Piece::TONE);
    ASSERT_EQ(after.size(), before.size() - len);
    EXPECT_TRUE(std::equal(after.begin() + 20, after.end(),
                           before.begin() + 20 + static_cast<std::ptrdiff_t>(len)));
    EXPECT_EQ(f.ed.tones.ringtones.size(), 9u);
    EXPECT_EQ(f.ed.tones.ringtones[0].name, "STND");
    EXPECT_EQ(f.ed.tones.ringtoneCount, "Ringtones Count: 9");
}

TEST(RingtoneCommands, AddAppendsBeforeTheTrailer) {
    SampleFixture f;
    Bytes tone = ToneRecord("00000063", "TONE", "Added", "0A01" + std::string(2 * 60, '3'));
    ASSERT_LE(tone.size(), 100u);
    tone.resize(100, 0x33);
    PutBE32(&tone[4], 100);
    f.ui.openAnswers.push_back(f.File("add.re", tone));
    const Bytes before = f.Chunk(Piece::TONE);
    AddRingtone(f.ed, f.ed.tones, f.ui);
    const Bytes after = f.Chunk(Piece::TONE);
    ASSERT_EQ(after.size(), before.size() + 100);
    EXPECT_TRUE(std::equal(tone.begin(), tone.end(), after.end() - 116));
    EXPECT_EQ(BytesToHex(Bytes(after.end() - 16, after.end())), kTrailerHex);
    ExpectSealed(after);
    ASSERT_EQ(f.ed.tones.ringtones.size(), 11u);
    EXPECT_EQ(f.ed.tones.ringtones.back().name, "Added");
    EXPECT_EQ(f.ed.tones.ringtones.back().length, "00000064");
    EXPECT_EQ(f.ed.tones.ringtoneCount, "Ringtones Count: 11");
}

// Bytes 12-15 zero and a two-letter name: 14-16 read 00 00 02. The name is still found.
TEST(RingtoneCommands, AddOfATwoLetterNameKeepsTheName) {
    SampleFixture f;
    f.ui.openAnswers.push_back(f.File("ab.re", ToneRecord("00000064", "TONE", "AB", "0A0144")));
    AddRingtone(f.ed, f.ed.tones, f.ui);
    EXPECT_EQ(f.ed.tones.ringtones.back().name, "AB");
    f.ui.openAnswers.push_back(f.File("tag.re", ToneRecord("00000065", "ALRM", "", "0A0144")));
    AddRingtone(f.ed, f.ed.tones, f.ui);
    EXPECT_EQ(f.ed.tones.ringtones.back().name, "ALRM");
}

TEST(RingtoneCommands, CancelledOrRefusedCommandsChangeNothing) {
    SampleFixture f;
    const Snapshot s(f.ed);
    AddRingtone(f.ed, f.ed.tones, f.ui);  // dialog cancelled
    ChangeRingtone(f.ed, f.ed.tones, f.ui, 2);
    RetrieveRingtone(f.ed, f.ed.tones, f.ui, 2);
    LoadAllRingtones(f.ed, f.ed.tones, f.ui);
    s.ExpectSame(f.ed);
    EXPECT_EQ(f.ui.openAsked.size(), 3u);
    EXPECT_TRUE(f.ui.told.empty());

    ChangeRingtone(f.ed, f.ed.tones, f.ui, 10);
    DeleteRingtone(f.ed, f.ed.tones, f.ui, -1);
    EXPECT_EQ(f.ui.Messages(),
              (std::vector<std::string>{kNoRingtoneSelected, kNoRingtoneSelected}));
    s.ExpectSame(f.ed);

    // A tone file too short for a record, and a row whose record is gone.
    f.ui.openAnswers.push_back(f.File("short.re", HexToBytes("0000000100")));
    EXPECT_THROW(ChangeRingtone(f.ed, f.ed.tones, f.ui, 2), UserError);
    f.ed.tones.ringtones[2].id = "7777777";
    EXPECT_THROW(DeleteRingtone(f.ed, f.ed.tones, f.ui, 2), UserError);
    f.ed.tones.ringtones[2] = s.rows[2];
    s.ExpectSame(f.ed);
}

TEST(RingtoneCommands, RetrieveAllAndLoadAllRebuildTheList) {
    SampleFixture f;
    DeleteRingtone(f.ed, f.ed.tones, f.ui, 0);
    const std::string bin = f.dir.Path("tone.bin");
    f.ui.saveAnswers.push_back(bin);
    RetrieveAllRingtones(f.ed, f.ui);
    EXPECT_EQ(f.ui.saveAsked.at(0).title, "Save Tone File As...");
    EXPECT_EQ(BytesToHex(ReadFile(bin)), f.ed.ppm[Piece::TONE]);

    SampleFixture g;
    g.ui.openAnswers.push_back(bin);
    LoadAllRingtones(g.ed, g.ed.tones, g.ui);
    EXPECT_EQ(g.ui.openAsked.at(0).title, "Open Tone Files...");
    EXPECT_EQ(g.ed.ppm[Piece::TONE], f.ed.ppm[Piece::TONE]);
    EXPECT_EQ(g.ed.tones.ringtones.size(), 9u);
    EXPECT_EQ(g.ed.tones.ringtoneCount, "Ringtones Count: 9");
    EXPECT_TRUE(g.ed.PpmChanged);
}

// The tone file of the worked conversions: name "AB", body 0A01AABB.
const char* kWorkedTone = "00000005000000205453543100000000024142000002FC090A01AABB070BFFFF";

TEST(ToneConversion62xx, WorkedConversionsByteForByte) {
    // 98 rows, so the limit is 63. ID 48: the phone's own tone, old header kept.
    EXPECT_EQ(ConvertFor62xx(kWorkedTone, "00000030", "00000040",
                             "00000030000000404E414D450000000002", 98),
              "000000300000002C4E414D45000000000203004100420000000"
              "2FD0A8005020A01AABB060A7F0A0E0BFFFFFF");
    // ID 80: a user tone; a whole number of words gets no padding.
    EXPECT_EQ(ConvertFor62xx(kWorkedTone, "00000050", "00000040",
                             "00000050000000404E414D450000000002", 98),
              "00000050000000245453543100000000020300410042000000"
              "02FC090A01AABB0A0E070B");
}

TEST(ToneConversion62xx, AtTheLimitTheOldHeaderIsKeptButTheStartStays) {
    const std::string t = ConvertFor62xx(kWorkedTone, "0000003F", "00000040",
                                         "0000003F000000404E414D450000000002", 98);
    EXPECT_NE(t.find("060A7F0A0E0B"), std::string::npos);
    EXPECT_NE(t.find("00000002FC09"), std::string::npos);
    EXPECT_EQ(t.find("FD0A8005"), std::string::npos);
    EXPECT_EQ(t.substr(16, 8), "4E414D45");
}

// The tag holds the name's digits, the ID the old length's: each field is changed where
// it lies, not wherever its digits happen to appear first.
TEST(ToneConversion62xx, FieldsAreChangedWhereTheyLie) {
    const std::string tone = "00000004000000405453543100000000025453000002FC090A01AABB070B";
    const std::string t =
        ConvertFor62xx(tone, "00000004", "00000040", "00000004000000404E414D450000000002", 10);
    EXPECT_EQ(t.substr(0, 16), "00000004" + IntToHex(static_cast<std::uint32_t>(t.size() / 2), 8));
    EXPECT_EQ(t.substr(16, 8), "54535431");     // the tag, untouched
    EXPECT_EQ(t.substr(32, 4), "0203");         // the name length as the wide layout counts it
    EXPECT_EQ(t.substr(36, 10), "0054005300");  // the name, widened
}

TEST(ToneConversion62xx, RefusesFilesThatAreNoTone) {
    auto message = [](const std::string& tone) {
        try {
            ConvertFor62xx(tone, "00000050", "00000040", std::string(34, '0'), 98);
        } catch (const UserError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(message("00000005000000205453543100000000024142000002FC090A01AABB"), kNoToneEnd);
    EXPECT_EQ(message("000000050000002054535431000000000241420000FC090A01AABB070B"), kNoToneStart);
    EXPECT_EQ(message("0000000500000020070B"), kToneTooShort);
}

TEST(ToneConversion62xx, ChangeOnAWideCatalogConvertsAndRelists) {
    SampleFixture f(18);
    const Snapshot s(f.ed);
    // A file without its end is refused before anything changes.
    f.ui.openAnswers.push_back(
        f.File("bad.re", HexToBytes("00000005000000205453543100000000024142000002FC09")));
    EXPECT_THROW(ChangeRingtone(f.ed, f.ed.tones, f.ui, 70), UserError);
    s.ExpectSame(f.ed);

    f.ui.openAnswers.push_back(f.File("ab.re", HexToBytes(kWorkedTone)));
    ChangeRingtone(f.ed, f.ed.tones, f.ui, 70);  // ID 71, above 63
    const auto& row = f.ed.tones.ringtones[70];
    EXPECT_EQ(row.id, "00000047");
    EXPECT_EQ(row.length, "00000024");
    EXPECT_EQ(row.name, "AB");  // the whole name: the length counts one more than it shows
    ShowRingtones(f.ed, f.ed.tones, f.ui);
    EXPECT_EQ(f.ed.tones.ringtones.size(), 98u);
    EXPECT_EQ(f.ed.tones.ringtones[71].name, s.rows[71].name);
    const Bytes tone = f.Chunk(Piece::TONE);
    ExpectSealed(tone);
    EXPECT_NE(BytesToHex(tone).find("000000470000002454535431000000000203004100420000000"),
              std::string::npos);
}

TEST(RingtoneCommands, AddAndDeleteAreRefusedForWideCatalogs) {
    SampleFixture f(18);
    const Snapshot s(f.ed);
    AddRingtone(f.ed, f.ed.tones, f.ui);
    EXPECT_EQ(f.ui.Last(), kNoAdd62xx);
    EXPECT_TRUE(f.ui.openAsked.empty());
    s.ExpectSame(f.ed);
    // Every row, the Delete key's included: the alert tones are found at fixed rows.
    for (int row : {-1, 0, 3, static_cast<int>(f.ed.tones.ringtones.size()) - 1}) {
        DeleteRingtone(f.ed, f.ed.tones, f.ui, row);
        EXPECT_EQ(f.ui.Last(), kNoDelete62xx) << row;
        s.ExpectSame(f.ed);
    }
}

}  // namespace
}  // namespace brivant::test

namespace brivant::test {
namespace {

// A record of the common layout from its parts: the name length byte need not match the
// name, and the body need not hold the 00 00 02 that ends a name.
std::string RawRecord(const std::string& id, int nameLength, const std::string& name,
                      const std::string& bodyHex) {
    std::string hex = id + "00000000" + BytesToHex(Bytes{'T', 'O', 'N', 'E'}) + "00000000";
    hex += IntToHex(static_cast<std::uint32_t>(nameLength), 2);
    hex += BytesToHex(Bytes(name.begin(), name.end())) + bodyHex;
    while ((hex.size() / 2) % 4) hex += "FF";
    hex.replace(8, 8, IntToHex(static_cast<std::uint32_t>(hex.size() / 2), 8));
    return hex;
}

// The sample's TONE chunk with these records instead of its own, listed.
void UseRecords(SampleFixture& f, const std::vector<std::string>& records) {
    std::string hex = f.ed.ppm[Piece::TONE].substr(0, 40);
    for (const std::string& r : records) hex += r;
    hex += kTrailerHex;
    hex.replace(8, 8, IntToHex(static_cast<std::uint32_t>(hex.size() / 2), 8));
    f.ed.ppm[Piece::TONE] = hex;
    ShowRingtones(f.ed, f.ed.tones, f.ui);
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
}

// Retrieve then Change on every row gives the chunk back byte for byte (the checksum aside).
void ExpectEveryRowRoundTrips(SampleFixture& f) {
    const Bytes before = f.Chunk(Piece::TONE);
    for (int row = 0; row < static_cast<int>(f.ed.tones.ringtones.size()); ++row) {
        const std::string name = f.ed.tones.ringtones[static_cast<std::size_t>(row)].name;
        const std::string out = f.dir.Path("row" + std::to_string(row) + ".re");
        f.ui.saveAnswers.push_back(out);
        RetrieveRingtone(f.ed, f.ed.tones, f.ui, row);
        f.ui.openAnswers.push_back(out);
        EXPECT_EQ(ErrorOf([&] { ChangeRingtone(f.ed, f.ed.tones, f.ui, row); }), "") << row;
        const Bytes after = f.Chunk(Piece::TONE);
        ASSERT_EQ(after.size(), before.size()) << row;
        EXPECT_TRUE(std::equal(after.begin() + 4, after.end(), before.begin() + 4)) << row;
        EXPECT_EQ(f.ed.tones.ringtones[static_cast<std::size_t>(row)].name, name) << row;
    }
}

TEST(RingtoneRoundTrips, EveryRecordTheListReadsLoadsBack) {
    SampleFixture f(4);
    UseRecords(f, {
                      // The name runs on past its length byte to the data's 00 00 02.
                      RawRecord("00000001", 3, "ABCDEFG", "000002FC090A013333070B"),
                      // Zero and one: listed under the tag.
                      RawRecord("00000002", 0, "", "000002FC090A01070B"),
                      RawRecord("00000003", 1, "Q", "000002FC090A01070B"),
                      // No 00 00 02 of its own: its name ends in the next record.
                      RawRecord("00000004", 200, "LONG", "0A013344070B"),
                      RawRecord("00000005", 4, "NEXT", "000002FC090A0155070B"),
                  });
    ASSERT_EQ(f.ed.tones.ringtones.size(), 5u);
    EXPECT_EQ(f.ed.tones.ringtones[0].name, "ABCDEFG");
    EXPECT_EQ(f.ed.tones.ringtones[1].name, "TONE");
    ExpectEveryRowRoundTrips(f);
}

TEST(RingtoneRoundTrips, EverySampleRowLoadsBack) {
    for (int family : {1, 4, 11, 18}) {
        SCOPED_TRACE(family);
        SampleFixture f(family);
        ExpectEveryRowRoundTrips(f);
    }
}

// After an Add the last name runs on into the new record (the list's name search): the name
// Retrieve offers as the file's name has no control bytes and no "/".
TEST(RingtoneRoundTrips, RetrieveOffersANameAFileCanHave) {
    SampleFixture f(4);
    UseRecords(f, {RawRecord("00000004", 9, "a/b", "0A0133070B")});
    f.ui.openAnswers.push_back(
        f.File("next.re", ToneRecord("00000005", "TONE", "Next", "0A01" + std::string(8, '3'))));
    AddRingtone(f.ed, f.ed.tones, f.ui);
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    const std::string shown = f.ed.tones.ringtones[0].name;
    ASSERT_NE(shown.find_first_of(std::string("/\x01\x05", 3)), std::string::npos);
    f.ui.saveAnswers.push_back(f.dir.Path("r.re"));
    RetrieveRingtone(f.ed, f.ed.tones, f.ui, 0);
    ASSERT_EQ(f.ui.saveAsked.size(), 1u);
    const std::string offered = f.ui.saveAsked[0].defaultName;
    for (const char c : offered) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x20u) << offered;
        EXPECT_NE(c, '/') << offered;
    }
    EXPECT_EQ(offered.substr(0, 3), "a_b");
}

}  // namespace
}  // namespace brivant::test
