#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "cli/CliModule.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {

// Every number argument that is not a whole number in range is wrong usage: exit 2, nothing
// printed on stdout, no output file, the image as it was.
TEST(CliArguments, BadNumbersAreUsageErrors) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    const Bytes before = ReadFile(x);
    const std::string out = dir.Path("out.fls");
    const std::string file = dir.Path("file.bin");
    WriteFile(file, Bytes(64, 0x41));

    // "@" marks the argument under test.
    const std::vector<std::vector<std::string>> commands = {
        {"tones", "export", x, "@", file + ".re"},
        {"tones", "delete", x, "@", "-o", out},
        {"tones", "change", x, "@", file, "-o", out},
        {"alert", "change", x, "standard", file, "--repeat", "@", "-o", out},
        {"lang", "texts", x, "@"},
        {"lang", "delete", x, "@", "-o", out},
        {"ops", "show", x, "@"},
        {"ops", "delete", x, "@", "-o", out},
        {"menu", "delete", x, "@", "-o", out},
        {"menu", "list", x, "--lang", "@"},
        {"ani", "set-length", x, "000", "@", "-o", out},
        {"ani", "set-frame", x, "000", "@", "001", "-o", out},
        {"ani", "set-frame", x, "@", "0", "001", "-o", out},
        {"bmp", "show", x, "@"},
        {"space", "adjust", x, "--mcu", "@", "-o", out},
        {"space", "adjust", x, "--ppm", "@", "-o", out},
        {"search", x, "00", "--from", "@"},
        {"demo", out, "--size", "@"},
        {"demo", out, "--designation", "@"},
    };
    const std::vector<std::string> bad = {"",
                                          "abc",
                                          "-1",
                                          "1.5",
                                          " 1",
                                          "1 ",
                                          "+1",
                                          "0x10",
                                          "99999999999",
                                          "4294967296",
                                          "123456789012345678901"};
    for (const auto& command : commands) {
        for (const std::string& value : bad) {
            // IDs are hex, so only some of the table applies to them.
            const bool id = command[0] == "bmp" || (command[1] == "set-frame" && command[3] == "@");
            if (id && (value == "abc" || value == "99999999999")) continue;
            std::vector<std::string> args = command;
            for (auto& a : args)
                if (a == "@") a = value;
            const CliRun r = Cli(args);
            std::string shown;
            for (const auto& a : args) shown += "'" + a + "' ";
            EXPECT_EQ(r.status, 2) << shown << r.err;
            EXPECT_EQ(r.out, "") << shown;
            EXPECT_FALSE(std::filesystem::exists(out)) << shown;
        }
    }
    EXPECT_EQ(ReadFile(x), before);
}

TEST(CliArguments, RangesOfCountsAndAmounts) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    const std::string out = dir.Path("out.fls");
    EXPECT_EQ(Cli({"demo", out, "--size", "0"}).status, 2);
    EXPECT_EQ(Cli({"demo", out, "--size", "9"}).status, 2);
    // Zero bytes moved is no adjustment: refused before the image is read.
    CliRun r = Cli({"space", "adjust", x, "--mcu", "0", "-o", out});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(Has(r.err, "Invalid buffer")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // More than the giving area can spare: told with the limit, nothing written.
    r = Cli({"space", "adjust", x, "--mcu", "2000000000", "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "is more than the")) << r.err;
    EXPECT_FALSE(Has(r.err, "no answer given")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    // Leading zeros are still a whole number.
    EXPECT_EQ(Cli({"space", "adjust", x, "--ppm", "0064", "-o", out}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(out));
}

// An empty argument where none is expected is wrong usage in every command, also in one whose
// options exclude each other (it used to keep the parser busy for ever).
TEST(CliArguments, StrayEmptyArguments) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), out = dir.Path("out.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    EXPECT_EQ(Cli({"security", "patch", x, "--whole", "", "-o", out}).status, 2);
    EXPECT_EQ(Cli({"tones", "list", x, ""}).status, 2);
    // Two empty records are taken as given, and refused as records.
    EXPECT_EQ(Cli({"security", "patch", x, "--manual", "", "", "-o", out}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliArguments, SearchPatternsAreWholeBytesOrText) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    for (const std::string p : {"ABC", "4", "41 42", "4G", "T", "t", ""}) {
        const CliRun r = Cli({"search", x, p});
        EXPECT_EQ(r.status, 2) << "'" << p << "' " << r.err;
        EXPECT_EQ(r.out, "") << p;
    }
    // What passes finds what the window finds.
    EXPECT_EQ(Cli({"search", x, "44554D46494C45"}).out, Cli({"search", x, "TDUMFILE"}).out);
    EXPECT_EQ(Cli({"search", x, "tdumfile"}).status, 0);
    EXPECT_EQ(Cli({"search", x, "44554d46494c45"}).status, 0);
}

}  // namespace

// The command line declares only the module owning its first argument, so the table of
// top-level commands must say exactly what each module adds, and no command may come from
// two modules; with no command named, every module is declared.
TEST(CliArguments, ModuleTableNamesEveryModulesCommands) {
    std::ostringstream out, err;
    CliContext ctx{out, err, {}};
    std::set<std::string> all;
    std::size_t listed = 0;
    for (const CliModuleEntry& m : CliModules()) {
        CLI::App app;
        m.add(app, ctx);
        std::set<std::string> added, named;
        for (const CLI::App* sub : app.get_subcommands({})) added.insert(sub->get_name());
        std::istringstream words{std::string(m.commands)};
        for (std::string w; words >> w;) named.insert(w);
        EXPECT_EQ(added, named) << m.name;
        for (const std::string& name : named) {
            EXPECT_TRUE(all.insert(name).second) << name << " is in two modules";
            CLI::App one;
            RegisterModules(one, ctx, name);
            EXPECT_EQ(one.get_subcommands({}).size(), named.size()) << name;
        }
        listed += named.size();
    }
    CLI::App every;
    RegisterModules(every, ctx, "--help");
    EXPECT_EQ(every.get_subcommands({}).size(), listed);
}
