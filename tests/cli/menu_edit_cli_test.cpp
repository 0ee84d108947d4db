#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace
}  // namespace brivant::test
