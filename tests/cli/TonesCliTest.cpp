#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/FileFlow.h"
#include "core/HexText.h"
#include "ppm/Checksums.h"
#include "support/TestSupport.h"
#include "tones/AlertTones.h"
#include "tones/ToneTestSupport.h"

namespace brivant::test {
namespace {

TEST(CliAlert, ChangePointsTheEntryAtTheNewToneAndExportGivesItBack) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    const std::string body = "0A01" + std::string("4142434445464748");
    WriteFile(dir.Path("tone.re"), ToneRecord("00000001", "TONE", "Mine", body));

    const CliRun r =
        Cli({"alert", "change", x, "standard", dir.Path("tone.re"), "-o", y, "--repeat", "7"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "File Successfully saved!"));
    EXPECT_TRUE(r.out.empty());

    // The entry of the saved image points at the sequence, written at the old free offset.
    Editor ed;
    FakeUi ui;
    OpenPath(ed, ui, x);
    const std::int32_t o = ed.FreeOffset;
    const std::int32_t entry = LocateAlertEntry(ed, kStandard);
    const Bytes saved = ReadFile(y);
    EXPECT_EQ(GetBE32(&saved[static_cast<std::size_t>(entry)]),
              static_cast<std::uint32_t>(o) + 0x200000u);
    EXPECT_EQ(BytesToHex(&saved[static_cast<std::size_t>(o)], 7), "0002FD0A800507");

    const CliRun c = Cli({"checksum", y, "--json"});
    ASSERT_EQ(c.status, 0);
    EXPECT_EQ(*McuChecksum(saved), GetBE16(&saved[34]));
    EXPECT_EQ(*FlsCheckValue(saved), GetBE32(&saved[saved.size() - 4]));

    const CliRun e = Cli({"alert", "export", y, "standard", dir.Path("back.re")});
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_TRUE(Has(BytesToHex(ReadFile(dir.Path("back.re"))), "0002FC09800507" + body));

    // A refused answer of the Options dialog writes nothing.
    const std::string z = dir.Path("z.fls");
    const CliRun bad =
        Cli({"alert", "change", x, "special", dir.Path("tone.re"), "-o", z, "--repeat", "21"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(Has(bad.err, "Please enter repeat times from 1 to 20 only"));
    EXPECT_FALSE(std::filesystem::exists(z));
    const CliRun cal =
        Cli({"alert", "change", x, "calendar", dir.Path("tone.re"), "-o", z, "--type", "3310"});
    EXPECT_EQ(cal.status, 0) << cal.err;
}

TEST(CliAlert, CalendarOfA3210AndWrongUsage) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3210"}).status, 0);
    const CliRun r = Cli({"alert", "export", x, "calendar", dir.Path("c.re")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "Calendar not supported in this model"));
    EXPECT_EQ(Cli({"alert", "export", x, "loud", dir.Path("c.re")}).status, 2);
    EXPECT_EQ(Cli({"tones", "delete", x, "0"}).status, 2);  // neither -o nor --in-place
}

TEST(CliTones, ListExportChangeAddDelete) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const CliRun list = Cli({"tones", "list", x, "--json"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(
        Has(list.out, R"({"rows":[{"name":"Ring Ring","id":"00000001","length":"00000030"},)"))
        << list.out;
    EXPECT_TRUE(Has(list.out, R"("count":10})"));
    const CliRun table = Cli({"tones", "list", x});
    EXPECT_TRUE(Has(table.out, "Ringtones Count: 10"));

    ASSERT_EQ(Cli({"tones", "export", x, "3", dir.Path("hi.re")}).status, 0);
    const CliRun same =
        Cli({"tones", "change", x, "3", dir.Path("hi.re"), "-o", dir.Path("same.fls")});
    // The record went back where it was: the image is the one it came from, byte for byte,
    // so there is nothing to save.
    EXPECT_EQ(same.status, 1) << same.err;
    EXPECT_TRUE(Has(same.err, "Nothing to save")) << same.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("same.fls")));

    WriteFile(dir.Path("new.re"), ToneRecord("00000042", "TONE", "Added", "0A01313233"));
    ASSERT_EQ(Cli({"tones", "add", x, dir.Path("new.re"), "-o", dir.Path("add.fls")}).status, 0);
    const CliRun added = Cli({"tones", "list", dir.Path("add.fls"), "--json"});
    EXPECT_TRUE(
        Has(added.out, R"({"name":"Added","id":"00000042","length":"00000024"}],"count":11})"))
        << added.out;

    ASSERT_EQ(Cli({"tones", "delete", dir.Path("add.fls"), "0", "--in-place"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("add.fls.bak")));
    const CliRun deleted = Cli({"tones", "list", dir.Path("add.fls"), "--json"});
    EXPECT_TRUE(Has(deleted.out, R"({"rows":[{"name":"STND")")) << deleted.out;
    EXPECT_TRUE(Has(deleted.out, R"("count":10})"));

    const CliRun none = Cli({"tones", "delete", x, "10", "-o", dir.Path("n.fls")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(Has(none.err, "Row 10 does not exist: the list has 10 rows")) << none.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("n.fls")));
}

TEST(CliTones, ChunkImportRebuildsTheList) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(Cli({"tones", "delete", x, "0", "-o", dir.Path("d.fls")}).status, 0);
    ASSERT_EQ(Cli({"chunk", "export", dir.Path("d.fls"), "TONE", dir.Path("t.bin")}).status, 0);
    ASSERT_EQ(
        Cli({"chunk", "import", x, "TONE", dir.Path("t.bin"), "-o", dir.Path("i.fls")}).status, 0);
    const CliRun r = Cli({"tones", "list", dir.Path("i.fls"), "--json"});
    EXPECT_TRUE(Has(r.out, R"("count":9})")) << r.out;
}

// Files that are no tones: refused by change, add and alert change with the file's name and
// the reason, exit 1, and no output written.
TEST(CliTones, FilesThatAreNoTonesAreRefused) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), w = dir.Path("w.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(Cli({"demo", w, "--type", "62XX/7110"}).status, 0);
    Bytes cut = ToneRecord("00000042", "TONE", "Cut", "0A01313233");
    const std::string size = std::to_string(cut.size());
    cut.resize(cut.size() - 5);
    WriteFile(dir.Path("cut.re"), cut);
    ASSERT_EQ(Cli({"tones", "export", w, "3", dir.Path("wide.re")}).status, 0);
    const std::string lengthSays = "cut.re is not a ringtone file: its length field says " + size +
                                   " bytes, the file has " + std::to_string(cut.size());
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"tones", "change", x, "2", dir.Path("cut.re"), "-o", y}, lengthSays},
        {{"tones", "add", x, dir.Path("cut.re"), "-o", y}, lengthSays},
        {{"tones", "add", x, dir.Path("wide.re"), "-o", y},
         "wide.re is a ringtone of the 62XX/7110 layout"},
        {{"alert", "change", x, "start-shut", dir.Path("cut.re"), "-o", y},
         "cut.re is not a tone file: its length field says"},
    };
    for (const auto& [args, message] : runs) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_TRUE(Has(r.err, message)) << r.err;
        EXPECT_FALSE(std::filesystem::exists(y)) << args[1];
    }
    // The 62XX/7110 export goes back onto its own row unchanged.
    const CliRun back = Cli({"tones", "change", w, "3", dir.Path("wide.re"), "-o", y});
    EXPECT_EQ(back.status, 1) << back.err;
    EXPECT_TRUE(Has(back.err, "Nothing to save")) << back.err;
    EXPECT_FALSE(std::filesystem::exists(y));
}

// The 62XX/7110 alert tones are found by their row: a delete or add would point them at
// other records, so both are refused, nothing is written, and the alert still exports STND.
TEST(CliTones, WideCatalogsKeepTheirRows) {
    TempDir dir;
    const std::string s = dir.Path("s.fls"), d = dir.Path("d.fls");
    ASSERT_EQ(Cli({"demo", s, "--type", "62XX/7110"}).status, 0);
    ASSERT_EQ(Cli({"alert", "export", s, "standard", dir.Path("before.re")}).status, 0);
    ASSERT_EQ(Cli({"tones", "export", s, "0", dir.Path("t.re")}).status, 0);
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"tones", "delete", s, "3", "-o", d}, "Ringtones cannot be deleted from a 62XX/7110"},
        {{"tones", "add", s, dir.Path("t.re"), "-o", d}, "Ringtones cannot be added to a 62XX"},
    };
    for (const auto& [args, message] : runs) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_TRUE(Has(r.err, message)) << r.err;
        EXPECT_TRUE(Has(r.err, "alert tones sit at fixed rows")) << r.err;
        EXPECT_FALSE(std::filesystem::exists(d)) << args[1];
    }
    ASSERT_EQ(Cli({"alert", "export", s, "standard", dir.Path("after.re")}).status, 0);
    EXPECT_EQ(ReadFile(dir.Path("after.re")), ReadFile(dir.Path("before.re")));
}

}  // namespace
}  // namespace brivant::test
