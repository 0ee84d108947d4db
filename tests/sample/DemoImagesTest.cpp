// The demo image of every family takes every editing command at its default size: each one
// run once on the image as `demo` writes it, and the result listed again.

#include <gtest/gtest.h>

#include <set>

#include "check/Check.h"
#include "image/PhoneTypes.h"
#include "sample/SampleBuilder.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

struct EditCommand {
    const char* name;
    std::vector<std::string> args;  // after the image; "@x" names a file of the folder
};

const std::vector<EditCommand>& EditCommands() {
    static const std::vector<EditCommand> commands = {
        {"tones change", {"0", "@tone.re"}},
        {"tones add", {"@tone.re"}},
        {"tones delete", {"1"}},
        {"alert change", {"standard", "@tone.re"}},
        {"lang delete", {"1"}},
        {"ops delete", {"0"}},
        {"ops new", {"Test", "999"}},
        {"menu move", {"0", "down", "--lang", "1"}},
        {"menu edit", {"0", "--lang", "1", "--func-id", "ABCD"}},
        {"menu delete", {"1", "--lang", "1"}},
        {"menu add", {"--lang", "1", "--name", "Hi"}},
        {"ani set-length", {"000", "11"}},
        {"ani set-frame", {"000", "0", "005"}},
        {"bmp import", {"002", "@bitmap.bmp"}},  // bitmap 001's picture: a change
        {"patch leds", {}},
        {"patch lcd", {}},
        {"security patch", {"--inbox"}},
        {"space adjust", {"--mcu", "100"}},
        {"space adjust", {"--ppm", "100"}},
        {"chunk import", {"TONE", "@tone.bin"}},
    };
    return commands;
}

// What a family does not have at all, and so refuses with its reason.
bool Lacks(const std::string& type, const std::string& command) {
    static const std::set<std::string> wide = {"tones add",      "tones delete",  "menu move",
                                               "menu edit",      "menu delete",   "menu add",
                                               "ani set-length", "ani set-frame", "security patch"};
    if (type == "51XX") return command.starts_with("ani ");
    return type == "62XX/7110" && wide.count(command) > 0;
}

std::vector<std::string> Split(const std::string& command) {
    const auto space = command.find(' ');
    return {command.substr(0, space), command.substr(space + 1)};
}

// One test per family, so that the runs of the test command share the processors.
class DemoImagesFamily : public ::testing::TestWithParam<int> {};

TEST_P(DemoImagesFamily, TakesEveryEditAtItsDefaultSize) {
    const int family = GetParam();
    const std::string type = PhoneTypeTexts()[static_cast<std::size_t>(family)];
    SCOPED_TRACE(type);
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
    ASSERT_EQ(Cli({"tones", "export", x, "0", dir.Path("tone.re")}).status, 0);
    ASSERT_EQ(Cli({"chunk", "export", x, "TONE", dir.Path("tone.bin")}).status, 0);
    ASSERT_EQ(Cli({"bmp", "export", x, "001", dir.Path("bitmap.bmp")}).status, 0);
    if (!Lacks(type, "ani set-length")) {
        const CliRun list = Cli({"ani", "list", x});
        EXPECT_TRUE(Has(list.out, "000 ")) << list.out << list.err;
    }
    for (const EditCommand& c : EditCommands()) {
        std::vector<std::string> args = Split(c.name);
        args.push_back(x);
        for (const std::string& a : c.args)
            args.push_back(a.starts_with("@") ? dir.Path(a.substr(1)) : a);
        args.insert(args.end(), {"-o", y});
        std::filesystem::remove(y);
        const CliRun r = Cli(args);
        // The demo's MCU free space ends at its mark: bytes gained behind it are refused.
        const bool mcuAdjust = std::string(c.name) == "space adjust" && c.args.front() == "--mcu";
        if (Lacks(type, c.name) || mcuAdjust) {
            EXPECT_EQ(r.status, 1) << c.name;
            continue;
        }
        // An edit that gives back the image's own bytes (a tone or chunk put back where
        // it came from) is refused as nothing to save, and writes nothing.
        if (r.status == 1 && Has(r.err, "Nothing to save, Please edit flash file first")) {
            EXPECT_FALSE(std::filesystem::exists(y)) << c.name;
            continue;
        }
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
        // The edited image opens and lists again.
        EXPECT_EQ(Cli({"info", y}).status, 0) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFamily, DemoImagesFamily, ::testing::Range(1, kPhoneTypeCount + 1));

// The demo layouts hold their animations where each family looks for them, and a size
// asked for is kept.
TEST(DemoImages, LayoutsFollowTheFamily) {
    for (int family = 1; family < kPhoneTypeCount + 1; ++family) {
        const SampleOptions o = DemoSampleOptions(family);
        EXPECT_GE(o.size, 2 * 1024 * 1024) << family;
        EXPECT_LE(o.size, 8 * 1024 * 1024) << family;
        EXPECT_NO_THROW(BuildSample(o)) << family;
        EXPECT_EQ(DemoSampleOptions(family, 8).size, 8 * 1024 * 1024) << family;
    }
    EXPECT_EQ(DemoSampleOptions(PhoneTypeIndex("3310")).size, 2 * 1024 * 1024);
    EXPECT_EQ(DemoSampleOptions(PhoneTypeIndex("8250")).size, 3 * 1024 * 1024);
}

// The sequence tests open the smallest samples thousands of times: each family's is whole
// there as well, with or without the mark that ends the MCU free space. With data right
// below the PPM area the check names that data, as at every size.
TEST(DemoImages, SmallestSamplesAreWhole) {
    for (int family = 1; family < kPhoneTypeCount + 1; ++family) {
        for (const bool mark : {true, false}) {
            SampleOptions o;
            o.family = family;
            o.size = 256 * 1024;
            o.mcuEndMark = mark;
            CheckOptions c;
            c.phoneType = family;
            EXPECT_EQ(CheckBytes(BuildSample(o).bytes, "small.fls", c).Problems(),
                      std::vector<std::string>{})
                << family << (mark ? "" : " without the mark");
        }
    }
    SampleOptions o;
    o.size = 192 * 1024;
    EXPECT_THROW(BuildSample(o), std::invalid_argument);
}

}  // namespace
}  // namespace brivant::test
