#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "image/PhoneTypes.h"
#include "patches/CodePatch.h"
#include "patches/InvertLCD.h"
#include "patches/PatchTestSupport.h"
#include "patches/TFadeLeds.h"
#include "patches/ThumbCall.h"

namespace brivant::test {
namespace {

std::int64_t JsonNumber(const std::string& json, const std::string& key) {
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + key + "\":\\[?(-?[0-9]+)"))) return -1;
    return std::stoll(m[1]);
}

std::int64_t TargetIn(const Bytes& image, std::int64_t at) {
    return DecodeBL(at, GetBE32(&image[static_cast<std::size_t>(at)]));
}

TEST(CliPatch, LedsOnEveryFamilyThenRefusedOnTheResult) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    std::vector<std::vector<std::string>> demos;
    for (int t = 1; t <= kPhoneTypeCount; ++t)
        demos.push_back({"demo", x, "--type", PhoneTypeTexts()[static_cast<std::size_t>(t)]});
    demos.push_back(
        {"demo", x, "--type", k62xx, "--designation", std::to_string(DesignationIndex("NSE-5"))});
    for (const auto& demo : demos) {
        SCOPED_TRACE(demo.back());
        ASSERT_EQ(Cli(demo).status, 0);
        const CliRun first = Cli({"patch", "leds", x, "-o", y, "--json"});
        ASSERT_EQ(first.status, 0) << first.err;
        EXPECT_TRUE(Has(first.out, R"("variant":"FadeCode)")) << first.out;
        EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));
        EXPECT_EQ(Cli({"checksum", y}).status, 0);

        // Run again on the result: the calls already lead to the routine; a second one
        // would take them over and leave the first behind. Nothing is saved.
        std::filesystem::remove(z);
        const CliRun second = Cli({"patch", "leds", y, "-o", z, "--json"});
        EXPECT_EQ(second.status, 1);
        EXPECT_TRUE(Has(second.err, "already applied")) << second.err;
        EXPECT_FALSE(std::filesystem::exists(z));
    }
}

TEST(CliPatch, LcdBothModesAndRefusals) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "8210"}).status, 0);
    const CliRun bad = Cli({"patch", "leds", x, "-o", y, "--fade-in", "12345"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(Has(bad.err, TFadeLeds::kBadTime));
    EXPECT_FALSE(std::filesystem::exists(y));

    const CliRun r = Cli({"patch", "lcd", x, "-o", y, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, R"({"mode":"non-blinking","payloadOffset":)")) << r.out;
    const std::int64_t i = JsonNumber(r.out, "payloadOffset");
    EXPECT_EQ(JsonNumber(r.out, "freeOffset"), i + 12);
    EXPECT_EQ(TargetIn(ReadFile(y), JsonNumber(r.out, "callSites")), i);

    // The non-blinking routine once only: twice would invert the value back.
    const CliRun again = Cli({"patch", "lcd", y, "-o", z});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(Has(again.err, "already applied")) << again.err;
    EXPECT_FALSE(std::filesystem::exists(z));

    // A blinking inversion finds its instruction once; the next run says so and fails.
    const CliRun once = Cli({"patch", "lcd", y, "--blinking", "--in-place", "--json"});
    ASSERT_EQ(once.status, 0) << once.err;
    EXPECT_TRUE(Has(once.out, R"({"mode":"blinking","offset":)")) << once.out;
    EXPECT_TRUE(Has(once.err, kBlinkDone));
    EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));
    const CliRun twice = Cli({"patch", "lcd", y, "--blinking", "-o", z});
    EXPECT_EQ(twice.status, 1);
    EXPECT_TRUE(Has(twice.err, kBlinkNotFound));
    EXPECT_FALSE(std::filesystem::exists(z));
}

}  // namespace
}  // namespace brivant::test
