#include "web/CommandTableJson.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// The entry of one command in the page's table, as text.
std::string EntryOf(const std::string& table, const std::string& command) {
    const std::string key = "{\"command\":\"" + command + "\"";
    const std::size_t at = table.find(key);
    if (at == std::string::npos) return {};
    const std::size_t next = table.find("{\"command\":", at + key.size());
    return table.substr(at, next == std::string::npos ? std::string::npos : next - at);
}

TEST(CommandTableJson, EveryCommandWithItsArgumentsAndWhatItDoes) {
    const std::string table = web::CommandTableJson();
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table.front(), '[');
    EXPECT_EQ(table.back(), ']');
    // Every command of the command line's help is there.
    for (const char* command :
         {"info", "tones delete", "alert change", "bmp import", "ani export", "menu move",
          "lang edit", "ops new", "security patch", "patch leds", "diff", "check", "apply", "demo"})
        EXPECT_FALSE(EntryOf(table, command).empty()) << command;

    const std::string del = EntryOf(table, "tones delete");
    EXPECT_TRUE(Has(del, "\"saves\":true"));
    EXPECT_TRUE(Has(del, "{\"name\":\"IMAGE\""));
    EXPECT_TRUE(Has(del, "\"kind\":\"image\""));
    EXPECT_TRUE(Has(del, "{\"name\":\"ROW\""));

    // Files read, files written, flags.
    EXPECT_TRUE(Has(EntryOf(table, "bmp import"), "{\"name\":\"IN\",\"help\""));
    EXPECT_TRUE(Has(EntryOf(table, "bmp import"), "\"kind\":\"in\""));
    EXPECT_TRUE(Has(EntryOf(table, "bmp import"), "{\"name\":\"dither\""));
    const std::string exp = EntryOf(table, "tones export");
    EXPECT_TRUE(Has(exp, "\"saves\":false"));
    EXPECT_TRUE(Has(exp, "\"kind\":\"out\""));
    EXPECT_TRUE(Has(EntryOf(table, "diff"), "\"kind\":\"in\""));
    EXPECT_TRUE(Has(EntryOf(table, "security patch"), "{\"name\":\"whole\""));
    EXPECT_TRUE(Has(EntryOf(table, "security patch"), "\"kind\":\"flag\""));
    // Only what takes --type says so.
    EXPECT_TRUE(Has(EntryOf(table, "info"), "\"type\":true"));
    EXPECT_TRUE(Has(EntryOf(table, "checksum"), "\"type\":false"));
}

}  // namespace
}  // namespace brivant::test
