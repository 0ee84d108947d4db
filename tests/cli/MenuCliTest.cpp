#include <gtest/gtest.h>

#include "core/HexText.h"
#include "menu/MenuLevels.h"
#include "menu/MenuTab.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {
std::string MenuDemo(const TempDir& dir, const std::string& type = "3310") {
    const std::string x = dir.Path(type == "62XX/7110" ? "t.fls" : "m" + type + ".fls");
    EXPECT_EQ(Cli({"demo", x, "--type", type}).status, 0);
    return x;
}

// "key":"value" of the first occurrence of the key in a JSON text.
std::string Field(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::string k = "\"" + key + "\":";
    const std::size_t at = json.find(k, from);
    if (at == std::string::npos) return {};
    std::size_t b = at + k.size();
    std::size_t e = json.find_first_of(",}", b);
    if (json[b] == '"') e = json.find('"', ++b);
    return json.substr(b, e - b);
}
}  // namespace

TEST(CliMenu, ListsLevelsByLanguageAndPath) {
    TempDir dir;
    for (const std::string type : {"3310", "8210"}) {
        SCOPED_TRACE(type);
        const std::string x = MenuDemo(dir, type);
        const std::size_t digits = type == "3310" ? 40 : 48;

        const CliRun root = Cli({"menu", "list", x, "--json"});
        ASSERT_EQ(root.status, 0) << root.err;
        EXPECT_TRUE(Has(root.out, R"({"rows":[{"name":"Phone book","textPointer":")")) << root.out;
        EXPECT_TRUE(Has(root.out, R"({"name":"No",)"));
        EXPECT_TRUE(Has(root.out, R"({"name":"SIM Card Menu",)"));
        EXPECT_TRUE(Has(root.out, R"({"name":"Net Monitor",)"));
        EXPECT_EQ(Field(root.out, "record").size(), digits);
        const std::string descriptor = Field(root.out, "descriptor");
        ASSERT_EQ(descriptor.size(), 24u);
        EXPECT_EQ(descriptor.substr(10, 8), "10010100");
        const Bytes image = ReadFile(x);
        const int at = std::stoi(Field(root.out, "descriptorOffset"));
        EXPECT_EQ(BytesToHex(&image.at(static_cast<std::size_t>(at)), 12), descriptor);
        EXPECT_EQ(std::stoi(Field(root.out, "itemsOffset")),
                  HexTextToInt(descriptor.substr(0, 8)) - 0x200000);

        // Two levels down, in the second language.
        const CliRun games = Cli({"menu", "list", x, "--path", "2/1", "--lang", "2", "--json"});
        ASSERT_EQ(games.status, 0) << games.err;
        EXPECT_TRUE(Has(games.out, R"({"rows":[{"name":"Snake",)")) << games.out;
        EXPECT_TRUE(Has(games.out, R"("count":3,)"));
        const CliRun extras = Cli({"menu", "list", x, "--path", "2", "--lang", "2"});
        ASSERT_EQ(extras.status, 0) << extras.err;
        EXPECT_TRUE(Has(extras.out, "Ja")) << extras.out;
        EXPECT_TRUE(Has(extras.out, "Menu Count: 3")) << extras.out;
    }
}

TEST(CliMenu, RefusalsAndWrongUsage) {
    TempDir dir;
    const std::string x = MenuDemo(dir);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--path", "0"}, 1, kNoSubMenus},
        {{"--path", "9"}, 1, "Row 9 of the level does not exist: the level has"},
        {{"--path", "2/x"}, 2, "--path takes 0-based rows"},
        {{"--path", "2//1"}, 2, "--path takes 0-based rows"},
        {{"--lang", "4"}, 1, "Language 4 does not exist: the selector offers languages 1 to 3"},
        {{"--lang", "0"}, 1, "Language 0 does not exist"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"menu", "list", x};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, c.status) << c.args[1];
        EXPECT_TRUE(Has(r.err, c.message)) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    const CliRun t = Cli({"menu", "list", MenuDemo(dir, "62XX/7110")});
    EXPECT_EQ(t.status, 1);
    EXPECT_TRUE(Has(t.err, kMenuUnsupported)) << t.err;
}
