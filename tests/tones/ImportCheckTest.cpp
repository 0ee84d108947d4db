#include <gtest/gtest.h>

#include "core/UserError.h"
#include "ppm/PpmCopy.h"
#include "texts/Languages.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"
#include "tones/ToneTestSupport.h"

namespace brivant::test {
namespace {

// Everything an import may change: the image, the PPM copy, the flag and the rows.
struct State {
    Bytes image;
    std::vector<std::string> pieces;
    bool ppmChanged;
    std::int32_t freeOffset;
    std::vector<std::string> rows;
    explicit State(const Editor& ed)
        : image(ed.MainHex.Data()),
          pieces(ed.ppm.pieces.begin(), ed.ppm.pieces.end()),
          ppmChanged(ed.PpmChanged),
          freeOffset(ed.FreeOffset) {
        for (const auto& r : ed.tones.ringtones) rows.push_back(r.id + r.length + r.name);
    }
    bool operator==(const State&) const = default;
};

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A ringtone as Retrieve writes it, from a sample of this family.
Bytes RetrievedTone(int family, int row) {
    SampleFixture f(family);
    const std::string out = f.dir.Path("r.re");
    f.ui.saveAnswers.push_back(out);
    RetrieveRingtone(f.ed, f.ed.tones, f.ui, row);
    return ReadFile(out);
}

// The sample's first language chunk as a language file (padded to whole words).
Bytes LanguageFile() {
    SampleFixture f;
    const Bytes text = f.Chunk(Piece::TEXT);
    const Bytes comm = Text("COMM");
    const auto at = std::search(text.begin(), text.end(), comm.begin(), comm.end()) - 8;
    Bytes lng(at, at + GetBE32(&*(at + 4)));
    while (lng.size() % 4) lng.push_back(0xFF);
    return lng;
}

struct BadFile {
    const char* name;
    Bytes bytes;
};

std::vector<BadFile> BadToneFiles() {
    Bytes truncated = RetrievedTone(4, 0);
    truncated.resize(truncated.size() / 2);
    return {
        {"random.re", NoiseBytes(300, 7)},
        {"notes.re", Text("Shopping list:\nmilk\nbread\n0A01 and 070B are tone bytes\n")},
        {"truncated.re", truncated},
        {"language.re", LanguageFile()},
        {"wide.re", RetrievedTone(18, 3)},
        {"empty.re", {}},
    };
}

// Every tone import path of a 3310 refuses every kind of bad file by name, and nothing at
// all changes.
TEST(ImportChecks, BadToneFilesAreRefusedByEveryPath) {
    struct Path {
        const char* what;
        std::function<void(Editor&, FakeUi&)> run;
    };
    const Path paths[] = {
        {"change", [](Editor& ed, FakeUi& ui) { ChangeRingtone(ed, ed.tones, ui, 2); }},
        {"add", [](Editor& ed, FakeUi& ui) { AddRingtone(ed, ed.tones, ui); }},
        {"alert",
         [](Editor& ed, FakeUi& ui) {
             ui.dialogs.On<ToptionFrm>() = [](ToptionFrm& m) { return !m.PressOk(); };
             AlertToneDoIt(ed, ed.tones, ui, kStandard, true);
         }},
    };
    for (const BadFile& bad : BadToneFiles()) {
        for (const Path& path : paths) {
            SampleFixture f(4);
            if (std::string(path.what) == "add") {
                // ... and Change on a 62XX/7110 image, which converts what it is given.
                SampleFixture w(18);
                const State wideBefore(w.ed);
                w.ui.openAnswers.push_back(w.File(bad.name, bad.bytes));
                const std::string error =
                    ErrorOf([&] { ChangeRingtone(w.ed, w.ed.tones, w.ui, 40); });
                if (std::string(bad.name) != "wide.re") {
                    EXPECT_NE(error.find(bad.name), std::string::npos) << bad.name << ": " << error;
                    EXPECT_TRUE(State(w.ed) == wideBefore) << bad.name;
                }
            }
            const State before(f.ed);
            f.ui.openAnswers.push_back(f.File(bad.name, bad.bytes));
            const std::string error = ErrorOf([&] { path.run(f.ed, f.ui); });
            EXPECT_NE(error.find(bad.name), std::string::npos)
                << path.what << " " << bad.name << ": " << error;
            EXPECT_TRUE(State(f.ed) == before) << path.what << " " << bad.name;
        }
    }
}

TEST(ImportChecks, MessagesSayWhatIsWrong) {
    SampleFixture f(4);
    Bytes tone = ToneRecord("00000009", "TONE", "Short", "0A0111");
    const std::size_t size = tone.size();
    PutBE32(&tone[4], 5120);
    f.ui.openAnswers.push_back(f.File("x.re", tone));
    EXPECT_EQ(ErrorOf([&] { AddRingtone(f.ed, f.ed.tones, f.ui); }),
              Format(kNotAToneFile, {"x.re", "its length field says 5120 bytes, the file has " +
                                                 std::to_string(size)}));
    f.ui.openAnswers.push_back(f.File("w.re", RetrievedTone(18, 3)));
    EXPECT_EQ(ErrorOf([&] { ChangeRingtone(f.ed, f.ed.tones, f.ui, 0); }),
              Format(kToneOf62xxLayout, {"w.re"}));
}

// Two identical records are two rows: each command acts on the row it is given, and the
// list always agrees with the saved chunk.
TEST(ImportChecks, TwinRowsAreDeletedAndChangedOneByOne) {
    SampleFixture f(4);
    const Bytes twin = RetrievedTone(4, 5);
    const std::string file = f.File("twin.re", twin);
    f.ui.openAnswers = {file, file};
    AddRingtone(f.ed, f.ed.tones, f.ui);
    AddRingtone(f.ed, f.ed.tones, f.ui);
    auto& rows = f.ed.tones.ringtones;
    ASSERT_EQ(rows.size(), 12u);
    const auto agree = [&] {
        const ToneWalk w = WalkTones(f.Chunk(Piece::TONE), false);
        ASSERT_EQ(w.fault, "");
        ASSERT_EQ(w.rows.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(w.rows[i].offset, rows[i].offset) << i;
            EXPECT_EQ(w.rows[i].name, rows[i].name) << i;
        }
        EXPECT_EQ(f.ed.tones.ringtoneCount, RingtoneCountText(rows.size()));
    };
    agree();

    // Change the last twin (row 11): rows 5 and 10 keep the old bytes.
    const Bytes other = ToneRecord("00000005", "TONE", "Changed", "0A01" + std::string(40, '3'));
    f.ui.openAnswers.push_back(f.File("other.re", other));
    ChangeRingtone(f.ed, f.ed.tones, f.ui, 11);
    agree();
    EXPECT_EQ(rows[11].name, "Changed");
    EXPECT_EQ(rows[10].name, rows[5].name);
    Bytes chunk = f.Chunk(Piece::TONE);
    EXPECT_TRUE(std::equal(other.begin(), other.end(), chunk.begin() + rows[11].offset));

    // Delete the second of the two remaining twins (row 10), then the first one (row 5).
    DeleteRingtone(f.ed, f.ed.tones, f.ui, 10);
    agree();
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[10].name, "Changed");
    chunk = f.Chunk(Piece::TONE);
    EXPECT_TRUE(std::equal(twin.begin(), twin.end(), chunk.begin() + rows[5].offset));
    DeleteRingtone(f.ed, f.ed.tones, f.ui, 5);
    agree();
    EXPECT_EQ(rows.size(), 10u);
    chunk = f.Chunk(Piece::TONE);
    EXPECT_EQ(std::search(chunk.begin(), chunk.end(), twin.begin(), twin.end()), chunk.end());

    // A row whose record is no longer where it says is refused, nothing changed.
    const State before(f.ed);
    RingtoneRow stale = rows[3];
    stale.offset += 4;
    rows[3] = stale;
    EXPECT_EQ(ErrorOf([&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 3); }),
              Format(kToneRecordMoved, {stale.name}));
    EXPECT_TRUE(State(f.ed).pieces == before.pieces);
}

// What the editor writes loads back: each ringtone of every family by Change on its own
// row, the common families' by Add, and every alert tone of every MCU family.
TEST(ImportChecks, ExportsLoadBackOnEveryFamily) {
    for (int family = 1; family <= 18; ++family) {
        SampleFixture f(family);
        const bool wide = family == 18;
        const Bytes chunk = f.Chunk(Piece::TONE);
        for (int row : {0, 3, 7}) {
            const std::string out = f.dir.Path("t" + std::to_string(row) + ".re");
            f.ui.saveAnswers.push_back(out);
            RetrieveRingtone(f.ed, f.ed.tones, f.ui, row);
            f.ui.openAnswers.push_back(out);
            ChangeRingtone(f.ed, f.ed.tones, f.ui, row);
            const Bytes after = f.Chunk(Piece::TONE);
            EXPECT_TRUE(std::equal(after.begin() + 4, after.end(), chunk.begin() + 4, chunk.end()))
                << family << " row " << row;
            if (!wide) {
                f.ui.openAnswers.push_back(out);
                AddRingtone(f.ed, f.ed.tones, f.ui);
                f.ed.ppm[Piece::TONE] = BytesToHex(chunk);
                ShowRingtones(f.ed, f.ed.tones, f.ui);
            }
        }
        EXPECT_TRUE(f.ui.told.empty()) << family << ": " << f.ui.Last();
        if (wide) continue;
        f.ui.dialogs.On<ToptionFrm>() = [](ToptionFrm& m) { return !m.PressOk(); };
        for (int kind = 0; kind < kAlertKindCount; ++kind) {
            if (AlertTableFor(family)->offsets[static_cast<std::size_t>(kind)] < 0) continue;
            const std::string out = f.dir.Path("a" + std::to_string(kind) + ".re");
            f.ui.saveAnswers.push_back(out);
            AlertToneRetrieve(f.ed, f.ui, kind);
            f.ui.openAnswers.push_back(out);
            const std::string error =
                ErrorOf([&] { AlertToneChange(f.ed, f.ed.tones, f.ui, kind); });
            EXPECT_EQ(error, "") << family << " kind " << kind;
        }
    }
}

}  // namespace
}  // namespace brivant::test
