#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "compare/ImageDiff.h"
#include "core/UserError.h"
#include "graphics/BitmapCatalog.h"
#include "image/PpmPieces.h"
#include "support/TestSupport.h"

#ifdef BRIVANT_PLATFORM
#include "platform/QtBitmapFiles.h"
#endif

namespace brivant::test {
namespace {

// The sections that report a difference; checksums follow most edits and are left out.
std::set<std::string> Named(const ImageDiff& d) {
    std::set<std::string> keys;
    for (const std::string& k : d.DifferingKeys())
        if (k != "checksums") keys.insert(k);
    return keys;
}

bool HasEntry(const ImageDiff& d, const std::string& key, const std::string& change,
              const std::string& item) {
    const DiffSection* s = d.Section(key);
    if (!s) return false;
    for (const DiffEntry& e : s->entries)
        if (e.change == change && Has(e.item, item)) return true;
    return false;
}

std::string Dump(const ImageDiff& d) {
    std::string text;
    for (const DiffSection& s : d.sections)
        for (const DiffEntry& e : s.entries)
            text += s.key + ": " + e.change + " " + e.item + " | " + e.a + " | " + e.b + "\n";
    return text;
}

std::int64_t FindIn(const Bytes& b, const std::string& hex) {
    const Bytes p = HexToBytes(hex);
    const auto it = std::search(b.begin(), b.end(), p.begin(), p.end());
    return it == b.end() ? -1 : it - b.begin();
}

TEST(ImageDiff, AnImageAgainstItselfOrAnExactCopyIsEqual) {
    for (const char* type : {"3310", "3410", "62XX/7110"}) {
        TempDir dir;
        const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
        ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
        WriteFile(y, ReadFile(x));
        const ImageDiff d = DiffImageFiles(x, y);
        EXPECT_TRUE(d.Equal()) << type;
        EXPECT_TRUE(d.DifferingKeys().empty()) << type << "\n" << Dump(d);
        EXPECT_EQ(d.a.phoneType, type);

        const CliRun self = Cli({"diff", x, x});
        EXPECT_EQ(self.status, 0) << self.err;
        EXPECT_TRUE(Has(self.out, "No differences")) << self.out;
        const CliRun json = Cli({"diff", x, y, "--json"});
        EXPECT_EQ(json.status, 0);
        EXPECT_TRUE(Has(json.out, "{\"equal\":true,\"differingBytes\":0,")) << json.out;
    }
}

// One edit of each kind against the image it was made from: the diff names that subsystem
// (and what the edit did to the free space and the chunks around it) and nothing else, and
// every differing byte is accounted for.
struct EditCase {
    const char* name;
    std::function<std::vector<std::string>(const TempDir&, const std::string&)> args;
    std::set<std::string> named;
    std::string key, change, item;
};

std::vector<std::string> Out(std::vector<std::string> args, const TempDir& dir) {
    args.push_back("-o");
    args.push_back(dir.Path("y.fls"));
    return args;
}

const std::vector<EditCase>& EditCases() {
    static const std::vector<EditCase> cases = {
        {"tones delete",
         [](const TempDir& d, const std::string& x) {
             return Out({"tones", "delete", x, "0"}, d);
         },
         {"freeSpace", "chunks", "ringtones"},
         "ringtones",
         "removed",
         "ringtone \"Ring Ring\" (ID 00000001)"},
        {"language change",
         [](const TempDir& d, const std::string& x) {
             std::string texts = Cli({"lang", "texts", x, "1"}).out;
             texts = "Jawohl" + texts.substr(texts.find('\n'));
             WriteFile(d.Path("t.txt"), Bytes(texts.begin(), texts.end()));
             return Out({"lang", "edit", x, "1", d.Path("t.txt")}, d);
         },
         {"freeSpace", "chunks", "languages"},
         "languages",
         "changed",
         "language \"ENGL\" (ID 0000C002) text 0"},
        {"operator delete",
         [](const TempDir& d, const std::string& x) {
             return Out({"ops", "delete", x, "0"}, d);
         },
         {"freeSpace", "chunks", "operators"},
         "operators",
         "removed",
         "country \"PH\" 515"},
        {"menu edit",
         [](const TempDir& d, const std::string& x) {
             return Out({"menu", "edit", x, "1", "--bmp-id", "0042"}, d);
         },
         {"menu"},
         "menu",
         "changed",
         "\"No\" in Menu"},
        {"menu move",
         [](const TempDir& d, const std::string& x) {
             return Out({"menu", "move", x, "0", "down"}, d);
         },
         {"menu"},
         "menu",
         "moved",
         "\"Phone book\" in Menu"},
        {"menu add with a submenu",
         [](const TempDir& d, const std::string& x) {
             return Out({"menu", "add", x, "--name", "Mine", "--submenu"}, d);
         },
         {"freeSpace", "menu"},
         "menu",
         "added",
         "level Menu > \"Mine\""},
        {"animation change",
         [](const TempDir& d, const std::string& x) {
             return Out({"ani", "set-frame", x, "001", "2", "00B"}, d);
         },
         {"animations"},
         "animations",
         "frames changed",
         "Ani ID 001"},
        {"security patch",
         [](const TempDir& d, const std::string& x) {
             return Out({"security", "patch", x, "--inbox"}, d);
         },
         {"menu"},
         "menu",
         "patched by the security patch",
         "\"Inbox\" in Menu > \"Messages\""},
        {"fading leds",
         [](const TempDir& d, const std::string& x) {
             return Out({"patch", "leds", x}, d);
         },
         {"freeSpace", "patches"},
         "patches",
         "installed",
         "Fading Leds payload"},
        {"inverted lcd",
         [](const TempDir& d, const std::string& x) {
             return Out({"patch", "lcd", x}, d);
         },
         {"freeSpace", "patches"},
         "patches",
         "redirected",
         "Inverted LCD call at"},
        {"space adjust",
         [](const TempDir& d, const std::string& x) {
             return Out({"space", "adjust", x, "--ppm", "4096"}, d);
         },
         {"freeSpace"},
         "freeSpace",
         "moved",
         "PPM area"},
        {"chunk import",
         [](const TempDir& d, const std::string& x) {
             const std::string z = d.Path("z.fls");
             EXPECT_EQ(Cli({"tones", "delete", x, "1", "-o", z}).status, 0);
             EXPECT_EQ(Cli({"chunk", "export", z, "TONE", d.Path("t.bin")}).status, 0);
             return Out({"chunk", "import", x, "TONE", d.Path("t.bin")}, d);
         },
         {"freeSpace", "chunks", "ringtones"},
         "ringtones",
         "removed",
         "ringtone \"STND\""},
        {"alert change",
         [](const TempDir& d, const std::string& x) {
             EXPECT_EQ(Cli({"alert", "export", x, "special", d.Path("a.re")}).status, 0);
             return Out({"alert", "change", x, "standard", d.Path("a.re")}, d);
         },
         {"freeSpace", "alerts"},
         "alerts",
         "changed",
         "alert tone Standard"},
#ifdef BRIVANT_PLATFORM
        {"bitmap change",
         [](const TempDir& d, const std::string& x) {
             EXPECT_EQ(Cli({"bmp", "export", x, "00A", d.Path("a.bmp")}).status, 0);
             return Out({"bmp", "import", x, "003", d.Path("a.bmp")}, d);
         },
         {"freeSpace", "bitmaps"},
         "bitmaps",
         "resized",
         "Bmp ID 003"},
#endif
    };
    return cases;
}

TEST(ImageDiff, EachKindOfEditIsNamedAndNothingElse) {
    for (const EditCase& c : EditCases()) {
        TempDir dir;
        const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
        ASSERT_EQ(Cli({"demo", x}).status, 0);
        const CliRun edit = Cli(c.args(dir, x));
        ASSERT_EQ(edit.status, 0) << c.name << ": " << edit.err;
        const ImageDiff d = DiffImageFiles(x, y);
        EXPECT_FALSE(d.Equal()) << c.name;
        EXPECT_EQ(Named(d), c.named) << c.name << "\n" << Dump(d);
        EXPECT_TRUE(HasEntry(d, c.key, c.change, c.item)) << c.name << "\n" << Dump(d);
        EXPECT_TRUE(d.unexplained.empty()) << c.name << "\n" << Dump(d);
        // The other way round names the same subsystems.
        EXPECT_EQ(Named(DiffImageFiles(y, x)), c.named) << c.name;
    }
}

// Bytes no subsystem owns: runs of differing bytes with short equal stretches inside them
// are one run; a run ends where a long equal stretch begins; a longer file's tail is a run.
TEST(ImageDiff, UnexplainedBytesAreMergedIntoRuns) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    Bytes b = ReadFile(x);
    // Filler in the MCU code that no table or record uses.
    const std::size_t at = 0x40000;
    b[at] ^= 0xFF;
    b[at + 3] ^= 0xFF;  // 2 equal bytes between: same run
    b[at + 100] ^= 0xFF;
    WriteFile(y, b);
    const ImageDiff d = DiffImageFiles(x, y);
    EXPECT_EQ(d.differingBytes, 3);
    ASSERT_EQ(d.unexplained.size(), 2u) << Dump(d);
    EXPECT_EQ(d.unexplained[0].offset, static_cast<std::int64_t>(at));
    EXPECT_EQ(d.unexplained[0].length, 4);
    EXPECT_EQ(d.unexplained[1].offset, static_cast<std::int64_t>(at + 100));
    EXPECT_EQ(d.unexplained[1].length, 1);
    const DiffSection* rest = d.Section(kUnexplainedKey);
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(rest->entries[0].item, "0x00040000, 4 bytes");

    Bytes longer = ReadFile(x);
    longer.resize(longer.size() + 10, 0x55);
    WriteFile(z, longer);
    const ImageDiff t = DiffImageFiles(x, z);
    EXPECT_TRUE(HasEntry(t, "phone", "changed", "Size"));
    ASSERT_FALSE(t.unexplained.empty());
    EXPECT_EQ(t.unexplained.back().offset, static_cast<std::int64_t>(b.size()));
}

// Only differing bytes are listed: where the sections took the bytes a change explains, the
// equal bytes between them are no run of their own, and every run starts and ends with a
// differing byte.
TEST(ImageDiff, NoRunOfEqualBytesIsListed) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    for (const char* type : {"3310", "8210", "2100", "61XX"}) {
        SCOPED_TRACE(type);
        ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
        ASSERT_EQ(Cli({"menu", "add", x, "--name", "Sub", "--submenu", "-o", y}).status, 0);
        if (Cli({"patch", "leds", y, "-o", z}).status != 0) WriteFile(z, ReadFile(y));
        const Bytes a = ReadFile(x), b = ReadFile(z);
        const ImageDiff d = DiffImageFiles(x, z);
        for (const ByteRun& r : d.unexplained) {
            const auto first = static_cast<std::size_t>(r.offset);
            const auto last = static_cast<std::size_t>(r.offset + r.length - 1);
            EXPECT_NE(a[first], b[first]) << Dump(d);
            EXPECT_NE(a[last], b[last]) << Dump(d);
        }
        for (const DiffEntry& e : d.Section(kUnexplainedKey)->entries) EXPECT_NE(e.a, e.b);
    }
}

// A subsystem that cannot be read in one image is reported as such; the rest is compared.
TEST(ImageDiff, AnUnreadableSubsystemDoesNotStopTheComparison) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    Bytes b = ReadFile(x);
    // The bitmap index table, by either of its signatures.
    for (const char* sig : {kSignature16, kSignature8}) {
        const std::int64_t at = FindIn(b, sig);
        if (at >= 0) b[static_cast<std::size_t>(at) + 1] ^= 0x5A;
    }
    WriteFile(y, b);

    const ImageDiff d = DiffImageFiles(x, y);
    const DiffSection* bitmaps = d.Section("bitmaps");
    EXPECT_EQ(bitmaps->unreadableA, "");
    EXPECT_EQ(bitmaps->unreadableB, kNoBitmapTable);
    EXPECT_TRUE(bitmaps->Differs());
    for (const char* key : {"chunks", "ringtones", "menu", "patches"}) {
        EXPECT_TRUE(d.Section(key)->unreadableB.empty()) << key;
        EXPECT_FALSE(d.Section(key)->Differs()) << key;
    }

    const CliRun r = Cli({"diff", x, y});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(Has(r.out, "Bitmaps:\n  not read in B: " + std::string(kNoBitmapTable))) << r.out;
}

TEST(ImageDiff, ExitStatusIsZeroEqualOneDifferentTwoTrouble) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(Cli({"tones", "delete", x, "0", "-o", y}).status, 0);
    EXPECT_EQ(Cli({"diff", x, x, "--json"}).status, 0);
    const CliRun different = Cli({"diff", x, y});
    EXPECT_EQ(different.status, 1);
    EXPECT_TRUE(Has(different.out,
                    "Ringtones:\n  removed         ringtone \"Ring Ring\" "
                    "(ID 00000001): Length 00000030"))
        << different.out;
    const CliRun json = Cli({"diff", x, y, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(Has(json.out,
                    "{\"change\":\"removed\",\"item\":\"ringtone \\\"Ring Ring\\\" (ID "
                    "00000001)\",\"a\":\"Length 00000030\",\"b\":null}"))
        << json.out;

    EXPECT_EQ(Cli({"diff", x, dir.Path("missing.fls")}).status, 2);
    EXPECT_EQ(Cli({"diff", x}).status, 2);
    EXPECT_EQ(Cli({"diff", x, y, "--type", "9999"}).status, 2);
    EXPECT_EQ(ErrorOf([&] { DiffImageFiles(x, dir.Path("missing.fls")); }).empty(), false);
}

}  // namespace
}  // namespace brivant::test
