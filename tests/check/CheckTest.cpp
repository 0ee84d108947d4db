#include "check/Check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/FileFlow.h"
#include "app/ImageReading.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/PhoneTypes.h"
#include "menu/MenuRecord.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"
#include "support/TestSupport.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"

namespace brivant {
namespace {

using test::k3310;
using test::kType62xx;
using test::SampleFixture;

std::string AllProblems(const CheckReport& r) {
    std::string text;
    for (const std::string& p : r.Problems()) text += p + "\n";
    return text;
}

TEST(CheckTest, EveryFamilysDemoImageHasNoProblems) {
    test::TempDir dir;
    for (int family = 1; family <= 18; ++family) {
        const std::string path = dir.Path("demo" + std::to_string(family) + ".fls");
        const std::string type = PhoneTypeTexts()[static_cast<std::size_t>(family)];
        ASSERT_EQ(test::Cli({"demo", path, "--type", type}).status, 0) << type;
        const CheckReport r = CheckFile(path);
        EXPECT_TRUE(r.Ok()) << type << ":\n" << AllProblems(r);
        // Every reader ran: one section per subsystem.
        for (const char* name :
             {"image", "checksums", "freeSpace", "chunks", "ringtones", "alertTones", "languages",
              "operators", "menu", "bitmaps", "animations", "patches", "overlaps"})
            EXPECT_NE(r.Find(name), nullptr) << type << " " << name;
    }
}

// A sample opened with every list read, so that a test can find the structure it damages.
struct Opened : SampleFixture {
    explicit Opened(int family = k3310) : SampleFixture(family) {
        TabChanged(ed, ui, Tab::Graphics);
        TabChanged(ed, ui, Tab::Menu);
    }
    Bytes Image() const { return ed.MainHex.Data(); }
    std::int64_t AlertTone(int kind) {
        const std::int32_t entry = LocateAlertEntry(ed, kind);
        return ToImageOffset(GetBE32(&ed.MainHex.Data()[static_cast<std::size_t>(entry)]));
    }
};

void Put32(Bytes& b, std::int64_t at, std::uint32_t v) {
    PutBE32(&b[static_cast<std::size_t>(at)], v);
}

struct Damage {
    const char* what;
    std::function<void(Opened&, Bytes&)> damage;
    const char* subsystem;
    const char* problem;  // a part of the problem's text
};

TEST(CheckTest, NamesTheProblemOfEachDamage) {
    const std::vector<Damage> damages = {
        {"MCU checksum", [](Opened&, Bytes& b) { b[34] ^= 0x01; }, "checksums",
         "MCU checksum: stored"},
        {"file check value", [](Opened&, Bytes& b) { b.back() ^= 0x01; }, "checksums",
         "File check value: stored"},
        {"chunk checksum",
         [](Opened& o, Bytes& b) { b[static_cast<std::size_t>(o.sample.layout.chunk[5])] ^= 1; },
         "chunks", "TONE chunk at"},
        {"MCU free byte",
         [](Opened& o, Bytes& b) {
             // The last byte before the end of the free space: no run of free bytes reaches
             // the end any more.
             const SampleLayout& l = o.sample.layout;
             b[static_cast<std::size_t>((l.mcuMark >= 0 ? l.mcuMark : l.ppmStart) - 1)] = 0;
         },
         "freeSpace", "The MCU free space"},
        {"PPM free byte",
         [](Opened& o, Bytes& b) { b[static_cast<std::size_t>(o.sample.layout.ppmFree + 8)] = 0; },
         "freeSpace", "The PPM free space"},
        {"PPM start field",
         [](Opened& o, Bytes& b) {
             Put32(b, o.sample.layout.dumfile + 24, ToPhoneAddress(o.sample.layout.ppmStart + 4));
         },
         "freeSpace", "The PPM start address"},
        {"ringtone length",
         [](Opened& o, Bytes& b) {
             const std::int64_t tone = o.sample.layout.chunk[5] + 20 + 4;
             Put32(b, tone, 0x00FFFFFF);
         },
         "ringtones", "The ringtone list stops early"},
        {"bitmap outside the image",
         [](Opened& o, Bytes& b) { Put32(b, o.ed.graphics.bitmaps[2].recordOffset, 0xFFFFFF00); },
         "bitmaps", "Bmp ID 002 points at"},
        {"menu items in the PPM area",
         [](Opened& o, Bytes& b) {
             Put32(b, o.ed.menu.tab.stack.levels[0].offset,
                   ToPhoneAddress(o.sample.layout.ppmStart + 0x100));
         },
         "menu", "inside the PPM area"},
        {"submenu cycle",
         [](Opened& o, Bytes& b) {
             // The first submenu item of the root opens the root itself.
             const std::string& root = o.ed.menu.tab.stack.levels[0].descriptor;
             const std::int64_t items = ToImageOffset(ItemsPointerOf(root));
             const int size = MenuRecordSize(o.ed.PhoneType());
             for (int i = 0; i <= ItemCountOf(root); ++i) {
                 const std::int64_t at = items + std::int64_t{i} * size;
                 if (!IsSubMenuRecord(BytesToHex(&b[static_cast<std::size_t>(at)],
                                                 static_cast<std::size_t>(size))))
                     continue;
                 const int func = size == kShortRecordSize ? 4 : 8;
                 Put32(b, at + func, ToPhoneAddress(o.ed.menu.tab.stack.levels[0].offset));
                 return;
             }
             FAIL() << "no submenu item in the root";
         },
         "menu", "a cycle"},
        {"frame lists over each other",
         [](Opened& o, Bytes& b) {
             Put32(b, o.ed.ani.catalog[1].slot, o.ed.ani.catalog[0].address + 2);
         },
         "overlaps", "Ani ID 000's frame list"},
        {"bitmaps over each other",
         [](Opened& o, Bytes& b) {
             Put32(b, o.ed.graphics.bitmaps[3].recordOffset,
                   o.ed.graphics.bitmaps[4].Address() + 1);
         },
         "overlaps", "Bmp ID 004"},
        {"alert tones over each other",
         [](Opened& o, Bytes& b) {
             Put32(b, LocateAlertEntry(o.ed, kSpecial), ToPhoneAddress(o.AlertTone(kStandard) + 4));
         },
         "overlaps", "the Standard alert tone"},
        {"frame naming no bitmap",
         [](Opened& o, Bytes& b) {
             Put32(b, ToImageOffset(o.ed.ani.catalog[0].address), 0xFFFFFFFF);
         },
         "animations", "names no bitmap"},
    };
    for (const Damage& d : damages) {
        Opened o;
        Bytes b = o.Image();
        d.damage(o, b);
        // The checksums stay right unless they are what is damaged.
        if (std::string(d.subsystem) != "checksums") SealSample(b);
        const CheckReport r = CheckBytes(b, "damaged.fls");
        const CheckSubsystem* s = r.Find(d.subsystem);
        ASSERT_NE(s, nullptr) << d.what << "\n" << AllProblems(r);
        EXPECT_TRUE(test::Has(AllProblems(r), d.problem)) << d.what << ":\n" << AllProblems(r);
        EXPECT_FALSE(s->Ok()) << d.what << ":\n" << AllProblems(r);
    }
}

// Bytes that are not free, strewn over the PPM free space: across the blocks the count
// takes as a whole, at their edges, and filling a block. Gaps stay shorter than the run of
// free bytes (56) that ends the range, so that every byte lies inside it.
TEST(CheckTest, CountsEveryByteOfTheFreeSpaceThatIsNotFree) {
    struct Case {
        std::vector<std::int64_t> at;  // from the first byte of the PPM free space
        std::uint8_t value;
    };
    std::vector<Case> cases = {
        {{8}, 0xFE},
        {{8, 63, 64, 100, 127, 128, 150}, 0x00},
        {{5, 50, 51, 100, 140}, 0x7F},
    };
    Case block{{}, 0xFE};
    for (std::int64_t k = 3; k < 3 + 64 + 64; ++k) block.at.push_back(k);
    cases.push_back(block);
    for (const Case& c : cases) {
        Opened o;
        Bytes b = o.Image();
        const std::int64_t from = o.sample.layout.ppmFree;
        for (const std::int64_t k : c.at) b[static_cast<std::size_t>(from + k)] = c.value;
        SealSample(b);
        const CheckReport r = CheckBytes(b, "damaged.fls");
        const std::string expected = "is not all free (FF): " + std::to_string(c.at.size()) +
                                     " bytes are not, the first at " +
                                     diff::OffsetText(from + c.at.front());
        EXPECT_TRUE(test::Has(AllProblems(r), expected)) << c.at.size() << " bytes:\n"
                                                         << AllProblems(r);
    }
}

int MenuLevelCount(const CheckReport& r) {
    return std::stoi(r.Find("menu")->summary);
}

int UnlistedMenuLevels(const CheckReport& r, const std::string& why) {
    int n = 0;
    for (const std::string& p : r.Find("menu")->problems)
        n += test::Has(p, "cannot be listed: ") && test::Has(p, why);
    return n;
}

// The menu texts are read once for the whole walk: when they cannot be read, every level
// still says why; when one level names a text the language lacks, only the levels that do
// are refused, the others are listed with the texts read.
TEST(CheckTest, MenuLevelsAreListedWithTheLanguageTextsReadOnce) {
    {
        Opened o;
        Bytes b = o.Image();
        const Bytes key = HexToBytes(o.ed.texts.languageKeys[1]);
        const auto it = std::search(b.begin(), b.end(), key.begin(), key.end());
        ASSERT_NE(it, b.end());
        it[4] = 0x7F;  // the language chunk's length: far past the end of the TEXT chunk
        SealSample(b);
        const CheckReport r = CheckBytes(b, "damaged.fls");
        EXPECT_GT(MenuLevelCount(r), 1);
        EXPECT_EQ(UnlistedMenuLevels(r, "runs past the end of the TEXT chunk"), MenuLevelCount(r))
            << AllProblems(r);
    }
    {
        Opened o;
        Bytes b = o.Image();
        // The first item of the root whose name is a text of the language.
        const std::string& root = o.ed.menu.tab.stack.levels[0].descriptor;
        const std::int64_t items = ToImageOffset(ItemsPointerOf(root));
        const int size = MenuRecordSize(o.ed.PhoneType());
        std::int64_t text = -1;
        for (int i = 0; i <= ItemCountOf(root) && text < 0; ++i) {
            const std::int64_t q = ToImageOffset(
                GetBE32(&b[static_cast<std::size_t>(items + std::int64_t{i} * size)]));
            if (q > 0 && q + 3 <= static_cast<std::int64_t>(b.size()) &&
                b[static_cast<std::size_t>(q + 1)] != 0xFF)
                text = q;
        }
        ASSERT_GE(text, 0) << "no item of the root is named by a text ID";
        PutBE16(&b[static_cast<std::size_t>(text + 1)], 0x7FFF);
        SealSample(b);
        const CheckReport r = CheckBytes(b, "damaged.fls");
        const int refused = UnlistedMenuLevels(r, "The menu text ID 7FFF lies beyond");
        EXPECT_GE(refused, 1) << AllProblems(r);
        EXPECT_LT(refused, MenuLevelCount(r)) << AllProblems(r);
        EXPECT_EQ(UnlistedMenuLevels(r, ""), refused) << AllProblems(r);
    }
}

// The 62XX/7110 alert tones sit at fixed rows: a record taken out before them (by another
// tool: the editor refuses the delete) moves them off their rows, and the check says so; the
// tones put where the user chose, even with another kind's record, are no problem.
TEST(CheckTest, FindsAlertTonesOffTheirRowsOn62xxAndOnlyThen) {
    const auto exported = [](Opened& o, int row) {
        const std::string path = o.dir.Path("row" + std::to_string(row) + ".re");
        o.ui.saveAnswers.push_back(path);
        RetrieveRingtone(o.ed, o.ed.tones, o.ui, row);
        return path;
    };
    const auto alertChange = [](Opened& o, int kind, const std::string& file) {
        o.ui.openAnswers.push_back(file);
        AlertToneDoIt(o.ed, o.ed.tones, o.ui, kind, true);
        ASSERT_TRUE(o.ui.told.empty()) << o.ui.Last();
    };
    const struct {
        const char* what;
        std::function<void(Opened&)> edit;
        const char* problem;  // nullptr: none
    } cases[] = {
        {"ringtone 3 taken out of the chunk",
         [](Opened& o) {
             Bytes piece = HexToBytes(o.ed.ppm[Piece::TONE]);
             const RingtoneRow row = WalkTones(piece, true).rows.at(3);
             piece.erase(piece.begin() + row.offset, piece.begin() + row.offset + row.size);
             o.ed.SubHex.SetHexText(BytesToHex(piece));
             SealChunk(o.ed, Piece::TONE);
         },
         "The Standard alert tone's record stands on row"},
        {"the Calendar record loaded as System Error, then Calendar changed",
         [&](Opened& o) {
             alertChange(o, kSystemError, exported(o, AlertRow62xx(kCalendar, 98)));
             alertChange(o, kCalendar, exported(o, 0));
         },
         nullptr},
        {"the Standard record loaded as ringtone 2, then Standard changed",
         [&](Opened& o) {
             o.ui.openAnswers.push_back(exported(o, AlertRow62xx(kStandard, 98)));
             ChangeRingtone(o.ed, o.ed.tones, o.ui, 2);
             alertChange(o, kStandard, exported(o, 4));
         },
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Opened o(kType62xx);
        TabChanged(o.ed, o.ui, Tab::Tones);
        ASSERT_EQ(o.ed.tones.ringtones.size(), 98u);
        o.ui.told.clear();  // this family has no menu editing
        c.edit(o);
        // The checksums are those of the file until a save repairs them.
        const std::string problems = AllProblems(CheckEditor(o.ed, {.checksums = false}));
        if (c.problem)
            EXPECT_TRUE(test::Has(problems, c.problem)) << problems;
        else
            EXPECT_EQ(problems, "");
    }
}

TEST(CheckTest, InMemoryCheckSeesChunkEditsAndLeavesTheEditorAlone) {
    Opened o;
    const Bytes before = o.Image();
    // A chunk edit is only in the PPM copy: the check looks at the image the save would write.
    std::string& tone = o.ed.ppm[Piece::TONE];
    tone[tone.size() - 40] = tone[tone.size() - 40] == '0' ? '1' : '0';
    o.ed.PpmChanged = true;
    const CheckReport r = CheckEditor(o.ed, {.checksums = false});
    EXPECT_TRUE(test::Has(AllProblems(r), "TONE chunk at")) << AllProblems(r);
    EXPECT_EQ(r.Find("checksums")->summary, "not compared");
    EXPECT_EQ(o.Image(), before);
}

TEST(CheckTest, RefusesWhatIsNoImage) {
    const CheckReport r = CheckBytes(Bytes(300, 0x41), "text.fls");
    EXPECT_FALSE(r.Ok());
    ASSERT_NE(r.Find("image"), nullptr);
    EXPECT_TRUE(test::Has(AllProblems(r), "is not a flash image")) << AllProblems(r);
}

TEST(CheckTest, CommandLineExitStatusAndJson) {
    test::TempDir dir;
    const std::string good = dir.Path("good.fls");
    ASSERT_EQ(test::Cli({"demo", good, "--type", "3310"}).status, 0);
    const test::CliRun ok = test::Cli({"check", good});
    EXPECT_EQ(ok.status, 0) << ok.out << ok.err;
    EXPECT_TRUE(test::Has(ok.out, "No problems found"));

    Bytes b = test::ReadFile(good);
    b[34] ^= 0x01;
    const std::string bad = dir.Path("bad.fls");
    test::WriteFile(bad, b);
    const test::CliRun wrong = test::Cli({"check", bad});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(test::Has(wrong.out, "checksums: MCU checksum: stored")) << wrong.out;
    EXPECT_TRUE(test::Has(wrong.out, "1 problem found")) << wrong.out;

    const test::CliRun json = test::Cli({"check", bad, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(
        test::Has(json.out, "{\"ok\":false,\"subsystems\":[{\"name\":\"image\",\"ok\":true"))
        << json.out;
    EXPECT_TRUE(test::Has(json.out, "\"name\":\"checksums\",\"ok\":false")) << json.out;

    EXPECT_EQ(test::Cli({"check"}).status, 2);
    EXPECT_EQ(test::Cli({"check", dir.Path("missing.fls")}).status, 2);
    EXPECT_EQ(test::Cli({"check", good, "--type", "9999"}).status, 2);
}

TEST(CheckTest, SaveTellsOfProblemsBeforeTheChecksumQuestion) {
    Opened o;
    // Free bytes taken by something no structure accounts for: a later write there would
    // overwrite it.
    const SampleLayout& l = o.sample.layout;
    o.ed.MainHex.WriteAt((l.mcuMark >= 0 ? l.mcuMark : l.ppmStart) - 2, Bytes{0x12, 0x34});
    bool askedYet = true;
    o.ed.written = [&](Editor& ed, Interaction& ui, const std::string& path) {
        askedYet = !o.ui.checksumAsked.empty();
        if (const auto w = SavedImageWarning(path, ed.PhoneType())) ui.error(*w);
    };
    o.ui.checksumAnswers = {true};
    ASSERT_TRUE(SavePath(o.ed, o.ui, o.dir.Path("saved.fls")));
    EXPECT_FALSE(askedYet);
    const std::vector<std::string> told = o.ui.Messages();
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(test::Has(told[0],
                          "This image has problems a phone may not survive: \n"
                          "freeSpace: The MCU free space"))
        << told[0];
    // The save stands, and its checksums were still repaired.
    EXPECT_TRUE(test::ChecksumsVerify(test::ReadFile(o.dir.Path("saved.fls"))));
}

TEST(CheckTest, SaveOfASoundOrVanishedImageWarnsOfNothing) {
    Opened o;
    EXPECT_EQ(SavedImageWarning(o.dir.Path("image.fls"), k3310), std::nullopt);
    EXPECT_EQ(SavedImageWarning(o.dir.Path("gone.fls"), k3310), std::nullopt);
}

}  // namespace
}  // namespace brivant
