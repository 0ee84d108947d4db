#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "menu/MenuEdit.h"
#include "menu/TAddMenu.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// The last row of `menu list` (before the count line).
std::string LastRow(const std::string& listing) {
    const std::size_t end = listing.rfind("Menu Count:");
    const std::size_t start = listing.rfind('\n', end - 2);
    return listing.substr(start + 1, end - start - 2);
}

// A new item, plain and with a submenu, on a short- and a long-form family; the submenu
// opens to its single header record, which cannot be deleted; the results verify.
TEST(CliMenuEdit, AddListMoveDeleteEdit) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    for (const char* type : {"3310", "8210"}) {
        SCOPED_TRACE(type);
        ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
        CliRun run = Cli({"menu", "add", x, "--name", "Inbox 2", "-o", y});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(Has(LastRow(Cli({"menu", "list", y}).out), "Inbox 2"));
        EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));

        run = Cli({"menu", "add", x, "--name", "Mine", "--submenu", "-o", y, "--func-id", "1234"});
        ASSERT_EQ(run.status, 0) << run.err;
        const CliRun root = Cli({"menu", "list", y, "--json"});
        const std::size_t rows = std::count(root.out.begin(), root.out.end(), '{') - 1;
        const std::string last = std::to_string(rows - 1);
        const CliRun sub = Cli({"menu", "list", y, "--path", last});
        ASSERT_EQ(sub.status, 0) << sub.err;
        EXPECT_TRUE(Has(sub.out, "Mine")) << sub.out;
        EXPECT_TRUE(Has(sub.out, "Menu Count: 1"));
        run = Cli({"menu", "delete", y, "0", "--path", last, "-o", z});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Has(run.err, kLastMenuItem));

        ASSERT_EQ(Cli({"menu", "move", y, "0", "down", "-o", z}).status, 0);
        const CliRun moved = Cli({"menu", "list", z, "--json"});
        EXPECT_NE(moved.out, root.out);
        run = Cli({"menu", "edit", z, "0", "--bmp-id", "12", "-o", y});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Has(run.err, "Bmp ID: needs exactly 4 hex digits"));
        ASSERT_EQ(Cli({"menu", "edit", z, "0", "--bmp-id", "beef", "-o", y}).status, 0);
        EXPECT_TRUE(Has(Cli({"menu", "list", y, "--json"}).out, "BEEF"));
        EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));
    }
    EXPECT_EQ(Cli({"menu", "add", x, "-o", y}).status, 2);
    const CliRun bad = Cli({"menu", "add", x, "--name", "\xD0\x96", "-o", y});
    EXPECT_EQ(bad.status, 1);
    // The refusal names the character and its code point.
    EXPECT_TRUE(Has(bad.err, "The menu name cannot be stored: \"\xD0\x96\" (U+0416)")) << bad.err;
}

// The number after `label` in `info`'s text.
std::string InfoValue(const std::string& image, const std::string& label) {
    const std::string out = Cli({"info", image}).out;
    const std::size_t at = out.find(label);
    if (at == std::string::npos) return {};
    const std::size_t b = out.find_first_not_of(' ', at + label.size());
    return out.substr(b, out.find_first_of(" \n", b) - b);
}

// The FF bytes an edit leaves inside a menu table are not free space: the next open finds the
// same free space as before, and the edits after it (a second add, the LED patch) still fit
// there instead of being refused or written over code.
TEST(CliMenuEdit, HolesLeftInTablesStayOutOfTheFreeSpace) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    for (const char* type : {"3310", "3330", "61XX", "8210"}) {
        SCOPED_TRACE(type);
        ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
        const std::string free = InfoValue(x, "Free offset:");
        const std::string mcu = InfoValue(x, "MCU free:");
        ASSERT_EQ(Cli({"menu", "delete", x, "1", "--lang", "1", "-o", y}).status, 0);
        EXPECT_EQ(InfoValue(y, "Free offset:"), free);
        EXPECT_EQ(InfoValue(y, "MCU free:"), mcu);

        CliRun run = Cli({"menu", "add", x, "--name", "One", "-o", y});
        ASSERT_EQ(run.status, 0) << run.err;
        run = Cli({"menu", "add", y, "--name", "Two", "-o", z});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(Has(Cli({"menu", "list", z}).out, "Two"));
        run = Cli({"patch", "leds", z, "--in-place"});
        EXPECT_EQ(run.status, 0) << run.err;
    }
}

// A level keeps one item; `menu edit` checks the pointers as `menu add` does, and a field
// given empty is wrong usage instead of "not given".
TEST(CliMenuEdit, FieldsAndLastItemRefusedBeforeSaving) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    const CliRun level = Cli({"menu", "list", x, "--path", "6", "--json"});
    ASSERT_EQ(level.status, 0) << level.err;
    ASSERT_TRUE(Has(level.out, "\"count\":1")) << level.out;
    CliRun run = Cli({"menu", "delete", x, "0", "--path", "6", "-o", y});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, kLastMenuItem)) << run.err;
    EXPECT_FALSE(std::filesystem::exists(y));

    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"menu", "edit", x, "0", "--text-pointer", "FFFFFFFF"},
         1,
         "Text Pointer: FFFFFFFF leads outside the image"},
        {{"menu", "add", x, "--text-pointer", "FFFFFFFF"},
         1,
         "Text Pointer: FFFFFFFF leads outside the image"},
        {{"menu", "edit", x, "0", "--text-pointer", ""}, 2, "--text-pointer needs a value"},
        {{"menu", "edit", x, "0", "--func-pointer", ""}, 2, "--func-pointer needs a value"},
        {{"menu", "edit", x, "0", "--bmp-id", ""}, 2, "--bmp-id needs a value"},
        {{"menu", "add", x, "--name", "A", "--class", ""}, 2, "--class needs a value"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", y});
        run = Cli(args);
        EXPECT_EQ(run.status, c.status) << c.says;
        EXPECT_TRUE(Has(run.err, c.says)) << run.err;
        EXPECT_FALSE(std::filesystem::exists(y)) << c.says;
    }
}

}  // namespace
}  // namespace brivant::test
