#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "menu/SecurityPatch.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// The "new" hex text of one block of the patch's JSON.
std::string NewBytes(const std::string& json, const std::string& block) {
    std::smatch m;
    const std::regex r("\"" + block +
                       "\":\\{\"offset\":[0-9]+,\"old\":\"[0-9A-F]+\",\"new\":\"([0-9A-F]+)\"\\}");
    return std::regex_search(json, m, r) ? m[1].str() : "";
}

// On a demo image of every family with patterns: the whole Messages menu is guarded, the
// saved file's checksums hold, and the menu's root shows the Messages item calling 05E0.
TEST(CliSecurity, WholeMenuOnEveryFamily) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    for (int t = 1; t < kPhoneTypeCount; ++t) {
        const std::string type = PhoneTypeTexts()[static_cast<std::size_t>(t)];
        SCOPED_TRACE(type);
        ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
        const CliRun run = Cli({"security", "patch", x, "--whole", "-o", y, "--json"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string guarded = NewBytes(run.out, "guarded");
        ASSERT_EQ(guarded.size(), 24u) << run.out;
        EXPECT_EQ(guarded.substr(12, 4), "05E0");
        EXPECT_EQ(NewBytes(run.out, "redirect").substr(8), "00004387000045E0000005DD");
        EXPECT_EQ(Cli({"checksum", y}).status, 0);
        EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));
        const CliRun menu = Cli({"menu", "list", y, "--json"});
        ASSERT_EQ(menu.status, 0) << menu.err;
        EXPECT_TRUE(Has(menu.out, guarded)) << menu.out;
    }
}

TEST(CliSecurity, ManualRecordsAsTheInboxAndRefusals) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3210"}).status, 0);
    const CliRun inbox = Cli({"security", "patch", x, "--inbox", "-o", y, "--json"});
    ASSERT_EQ(inbox.status, 0) << inbox.err;
    // Whole records as the browser gives them; only their last 16 bytes are searched.
    const CliRun manual = Cli({"security", "patch", x, "-o", z, "--json", "--manual",
                               "00212340"
                               "0000001D011405E0"
                               "0000000000000000",
                               "00212380"
                               "00000046011405E0"
                               "0000000000000000"});
    ASSERT_EQ(manual.status, 0) << manual.err;
    EXPECT_EQ(manual.out, inbox.out);
    EXPECT_TRUE(ReadFile(y) == ReadFile(z));
    const CliRun text = Cli({"security", "patch", x, "--outbox", "-o", z});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(std::regex_search(text.out,
                                  std::regex("^guarded   [0-9A-F]{8}  0000001C011405E000000000 -> "
                                             "00000046011405E000000000\nsecurity  ")));

    // No item, or two: wrong usage. No pattern: told, nothing saved.
    EXPECT_EQ(Cli({"security", "patch", x, "-o", z}).status, 2);
    EXPECT_EQ(Cli({"security", "patch", x, "--inbox", "--outbox", "-o", z}).status, 2);
    std::filesystem::remove(z);
    const CliRun none = Cli({"security", "patch", x, "-o", z, "--manual", "0000ABCD", "0000DCBA"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err,
              "brivant-cli: Could not locate offsets, use Manual method to patch this file.\n");
    EXPECT_FALSE(std::filesystem::exists(z));
    // The same item picked for both fields.
    const std::string code = "00000046011405E00000000000000000";
    const CliRun twice = Cli({"security", "patch", x, "-o", z, "--manual", code, code});
    EXPECT_EQ(twice.err, std::string("brivant-cli: ") + kSecurityBlocksOverlap + "\n");
    EXPECT_FALSE(std::filesystem::exists(z));
}

// The manual method patches menu records only: bytes that match somewhere else (a run of
// zero bytes given as the guarded "record") are refused and nothing is saved.
TEST(CliSecurity, ManualItemsMustBeMenuRecords) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3210"}).status, 0);
    const std::string security =
        "00212380"
        "00000046011405E0"
        "0000000000000000";
    const struct {
        std::string guarded, security;
        const char* which;
    } cases[] = {
        {std::string(80, '0'), security, "first"},
        {"00212340"
         "0000001D011405E0"
         "0000000000000000",
         std::string(80, '0'), "second"},
    };
    for (const auto& c : cases) {
        const CliRun run =
            Cli({"security", "patch", x, "-o", z, "--manual", c.guarded, c.security});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "brivant-cli: " + Format(kManualNoRecord, {c.which}) + "\n");
        EXPECT_FALSE(std::filesystem::exists(z));
    }
}

}  // namespace
}  // namespace brivant::test
