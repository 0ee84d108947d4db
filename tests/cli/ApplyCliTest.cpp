#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "cli/CliModule.h"
#include "compare/ImageDiff.h"
#include "compare/JsonReader.h"
#include "compare/Recipe.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {

// The whole-image check, once the command line has it.
bool HasCheckCommand() {
    for (const CliModuleEntry& m : CliModules())
        if (Has(" " + std::string(m.commands) + " ", " check ")) return true;
    return false;
}

void ExpectCheckFindsNothing(const std::string& image) {
    if (!HasCheckCommand()) return;
    const CliRun r = Cli({"check", image});
    EXPECT_EQ(r.status, 0) << image << "\n" << r.out << r.err;
}

// The sections that tell of subsystems; checksums, free space and the bytes no subsystem
// explains follow from where the edits placed their bytes.
std::vector<std::string> SubsystemDifferences(const std::string& x, const std::string& y) {
    std::vector<std::string> keys = DiffImageFiles(x, y).DifferingKeys();
    std::erase_if(keys, [](const std::string& k) {
        return k == "checksums" || k == "freeSpace" || k == kUnexplainedKey;
    });
    return keys;
}

std::string Joined(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& x : v) s += x + " ";
    return s;
}

std::string WriteRecipe(TempDir& dir, const std::string& name, const std::string& text) {
    const std::string path = dir.Path(name);
    WriteFile(path, Bytes(text.begin(), text.end()));
    return path;
}

// One command line that reads the image `in` and writes `out` (files it needs are made in
// the folder).
using Command = std::function<std::vector<std::string>(TempDir&, const std::string& in,
                                                       const std::string& out)>;

// One kind of edit: the command lines that make B from A, run in turn, each on the image the
// one before wrote.
struct Edit {
    const char* name;
    std::vector<Command> commands;
};

std::vector<std::string> Out(std::vector<std::string> v, const std::string& b) {
    v.push_back("-o");
    v.push_back(b);
    return v;
}

// A command line on the image, with its words before and after the image's name.
Command On(std::vector<std::string> head, std::vector<std::string> tail = {}) {
    return [head, tail](TempDir&, const std::string& in, const std::string& out) {
        std::vector<std::string> v = head;
        v.push_back(in);
        v.insert(v.end(), tail.begin(), tail.end());
        return Out(v, out);
    };
}

// The rows the Menu tab lists at the root of an image.
std::vector<JsonValue> RootRows(const std::string& image) {
    const CliRun run = Cli({"menu", "list", image, "--json"});
    if (run.status != 0) return {};  // a family whose menu is not edited
    const JsonValue list = ParseJson(run.out);
    const JsonValue* rows = list.Find("rows");
    return rows ? rows->items : std::vector<JsonValue>{};
}

std::string LastRootRow(const std::string& image) {
    return std::to_string(static_cast<int>(RootRows(image).size()) - 1);
}

// An alert tone replaced by a tone file the image itself gives: `from` names the export.
Command AlertFrom(std::vector<std::string> from, const std::string& kind,
                  std::vector<std::string> options = {}) {
    return [from, kind, options](TempDir& d, const std::string& in, const std::string& out) {
        std::vector<std::string> exp = {from[0], "export", in};
        exp.insert(exp.end(), from.begin() + 1, from.end());
        exp.push_back(d.Path("alert.re"));
        Cli(exp);
        std::vector<std::string> v = {"alert", "change", in, kind, d.Path("alert.re")};
        v.insert(v.end(), options.begin(), options.end());
        return Out(v, out);
    };
}

const std::vector<Edit>& Edits() {
    static const std::vector<Edit> edits = {
        {"tones delete", {[](TempDir&, auto a, auto b) {
             return Out({"tones", "delete", a, "1"}, b);
         }}},
        {"tones change", {[](TempDir& d, auto a, auto b) {
             Cli({"tones", "export", a, "2", d.Path("t.re")});
             return Out({"tones", "change", a, "0", d.Path("t.re")}, b);
         }}},
        {"tones add", {[](TempDir& d, auto a, auto b) {
             Cli({"tones", "export", a, "0", d.Path("t.re")});
             return Out({"tones", "add", a, d.Path("t.re")}, b);
         }}},
        {"lang edit", {[](TempDir& d, auto a, auto b) {
             const std::string t = Cli({"lang", "texts", a, "0"}).out;
             const std::string edited = "Recipe" + t.substr(std::min(t.size(), t.find('\n')));
             WriteFile(d.Path("l.txt"), Bytes(edited.begin(), edited.end()));
             return Out({"lang", "edit", a, "0", d.Path("l.txt")}, b);
         }}},
        {"ops edit", {[](TempDir& d, auto a, auto b) {
             const std::string ops = "01 Recipe\n02 Mod\n";
             WriteFile(d.Path("o.txt"), Bytes(ops.begin(), ops.end()));
             return Out({"ops", "edit", a, "0", d.Path("o.txt")}, b);
         }}},
        {"bmp import", {[](TempDir& d, auto a, auto b) {
             Cli({"bmp", "export", a, "003", d.Path("b.bmp")});
             return Out({"bmp", "import", a, "001", d.Path("b.bmp")}, b);
         }}},
        {"ani set-frame", {[](TempDir&, auto a, auto b) {
             return Out({"ani", "set-frame", a, "000", "1", "004"}, b);
         }}},
        {"ani set-length", {[](TempDir&, auto a, auto b) {
             return Out({"ani", "set-length", a, "001", "5"}, b);
         }}},
        {"patch leds", {[](TempDir&, auto a, auto b) {
             return Out({"patch", "leds", a}, b);
         }}},
        {"patch lcd", {[](TempDir&, auto a, auto b) {
             return Out({"patch", "lcd", a}, b);
         }}},
        {"patch lcd --blinking", {[](TempDir&, auto a, auto b) {
             return Out({"patch", "lcd", "--blinking", a}, b);
         }}},
        {"menu edit", {[](TempDir&, auto a, auto b) {
             return Out({"menu", "edit", a, "0", "--func-id", "0042"}, b);
         }}},
        {"menu edit in a submenu", {[](TempDir&, auto a, auto b) {
             return Out({"menu", "edit", a, "0", "--path", "2", "--bmp-id", "0003"}, b);
         }}},
        {"menu move", {[](TempDir&, auto a, auto b) {
             return Out({"menu", "move", a, "1", "up"}, b);
         }}},
        {"menu delete", {[](TempDir&, auto a, auto b) {
             return Out({"menu", "delete", a, "1"}, b);
         }}},
        {"menu add", {[](TempDir&, auto a, auto b) {
             return Out({"menu", "add", a, "--name", "Recipe"}, b);
         }}},
        {"security patch --whole", {[](TempDir&, auto a, auto b) {
             return Out({"security", "patch", "--whole", a}, b);
         }}},
        {"security patch --outbox", {[](TempDir&, auto a, auto b) {
             return Out({"security", "patch", "--outbox", a}, b);
         }}},
        {"menu: moves, an edit, a delete and an add in one level",
         {On({"menu", "move"}, {"1", "down"}), On({"menu", "move"}, {"5", "up"}),
          On({"menu", "edit"}, {"0", "--func-id", "0042"}), On({"menu", "delete"}, {"3"}),
          On({"menu", "add"}, {"--name", "Recipe"})}},
        {"menu: two adds, the second moved above the first, and a delete",
         {On({"menu", "add"}, {"--name", "First"}), On({"menu", "add"}, {"--name", "Second"}),
          [](TempDir&, auto in, auto out) {
              return Out({"menu", "move", in, LastRootRow(in), "up"}, out);
          },
          On({"menu", "delete"}, {"0"})}},
        {"menu: an add with a text already in the image, then edited",
         {[](TempDir&, auto in, auto out) {
              const auto rows = RootRows(in);
              const JsonValue* text = rows.size() > 1 ? rows[1].Find("textPointer") : nullptr;
              return Out({"menu", "add", in, "--text-pointer", text ? text->text : "-"}, out);
          },
          On({"menu", "move"}, {"0", "down"}), On({"menu", "edit"}, {"1", "--bmp-id", "0001"})}},
        {"menu: edits in a submenu and in the root",
         {On({"menu", "edit"}, {"0", "--path", "2", "--bmp-id", "0003"}),
          On({"menu", "move"}, {"1", "down"}),
          On({"menu", "add"}, {"--path", "1", "--name", "Deep"}),
          On({"menu", "edit"}, {"0", "--func-id", "0042"})}},
        {"menu: a new submenu with items of its own",
         {On({"menu", "add"}, {"--name", "Sub", "--submenu"}),
          [](TempDir&, auto in, auto out) {
              return Out({"menu", "add", in, "--path", LastRootRow(in), "--name", "Inner"}, out);
          },
          On({"menu", "move"}, {"2", "down"})}},
        {"menu: a submenu's item deleted", {On({"menu", "delete"}, {"2"})}},
        {"menu: an item hidden between moves",
         {On({"menu", "move"}, {"3", "up"}),
          On({"menu", "edit"}, {"1", "--bmp-id", "00DC", "--func-id", "0000"}),
          On({"menu", "move"}, {"1", "down"})}},
        {"space adjust --ppm", {On({"space", "adjust"}, {"--ppm", "4096"})}},
        {"space adjust --ppm, then a ringtone added",
         {On({"space", "adjust"}, {"--ppm", "8192"}),
          [](TempDir& d, auto in, auto out) {
              Cli({"tones", "export", in, "0", d.Path("t.re")});
              return Out({"tones", "add", in, d.Path("t.re")}, out);
          }}},
        {"alert change from an exported alert tone", {AlertFrom({"alert", "special"}, "standard")}},
        {"alert change from an exported ringtone", {AlertFrom({"tones", "0"}, "beep-once")}},
        {"alert change --repeat --ascending",
         {AlertFrom({"alert", "special"}, "alarm-clock", {"--repeat", "7", "--ascending"})}},
        {"alert change, then a ringtone added",
         {AlertFrom({"alert", "calendar"}, "special"),
          [](TempDir& d, auto in, auto out) {
              Cli({"tones", "export", in, "0", d.Path("t.re")});
              return Out({"tones", "add", in, d.Path("t.re")}, out);
          }}},
    };
    return edits;
}

const std::vector<std::string> kRecipeFamilies = {"3310", "62XX/7110", "8210",
                                                  "61XX", "3210",      "2100"};

}  // namespace

// Every kind of edit, on several families: the recipe diff writes, applied to A, gives an
// image that no subsystem tells apart from B, and the check finds nothing wrong in it.
// Each kind of edit on three families; under the sanitizers, which make every command line
// run several times slower, on one family each, taken in turn (the release build runs all).
#if defined(BRIVANT_SANITIZED)
constexpr int kRecipeFamiliesPerEdit = 1;
#else
constexpr int kRecipeFamiliesPerEdit = 3;
#endif

// One test per kind of edit, so that they run side by side.
class ApplyCliRecipe : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ApplyCliRecipe, CarriesTheEditOnSeveralFamilies) {
    const std::size_t index = GetParam();
    const Edit& e = Edits()[index];
    int families = 0;
    const std::size_t first = kRecipeFamiliesPerEdit == 3 ? 0 : index % std::size(kRecipeFamilies);
    for (std::size_t f = 0; f < std::size(kRecipeFamilies); ++f) {
        const std::string type = kRecipeFamilies[(first + f) % std::size(kRecipeFamilies)];
        if (families == kRecipeFamiliesPerEdit) break;
        TempDir dir;
        const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls"), c = dir.Path("c.fls"),
                          r = dir.Path("r.json");
        ASSERT_EQ(Cli({"demo", a, "--type", type}).status, 0);
        bool made = true;
        std::string in = a;
        for (std::size_t k = 0; k < e.commands.size() && made; ++k) {
            const std::string out =
                k + 1 == e.commands.size() ? b : dir.Path("t" + std::to_string(k) + ".fls");
            made = Cli(e.commands[k](dir, in, out)).status == 0;
            in = out;
        }
        if (!made) continue;  // not an edit this family has
        SCOPED_TRACE(std::string(e.name) + " on " + type);
        const CliRun d = Cli({"diff", a, b, "--recipe", r});
        ASSERT_EQ(d.status, 1) << d.err;
        const CliRun applied = Cli({"apply", a, r, "-o", c});
        if (applied.status != 0 && Has(applied.err, "notExpressed")) {
            ADD_FAILURE() << "not expressed:\n" << Text(ReadFile(r));
            continue;
        }
        ASSERT_EQ(applied.status, 0) << applied.err;
        EXPECT_EQ(SubsystemDifferences(c, b), std::vector<std::string>{})
            << Cli({"diff", c, b}).out;
        // The steps place their bytes where the single commands did.
        EXPECT_TRUE(ReadFile(c) == ReadFile(b)) << "placed differently";
        // No section compares alert tones: what the phone plays is what they export.
        for (const char* kind : {"standard", "special", "beep-once", "alarm-clock"}) {
            const CliRun fromB = Cli({"alert", "export", b, kind, "-"});
            EXPECT_EQ(Cli({"alert", "export", c, kind, "-"}).out, fromB.out) << kind;
        }
        ExpectCheckFindsNothing(c);
        ++families;
    }
    EXPECT_GE(families, kRecipeFamiliesPerEdit) << e.name;
}

INSTANTIATE_TEST_SUITE_P(EveryEdit, ApplyCliRecipe,
                         ::testing::Range<std::size_t>(0, Edits().size()));

// A mod made on a 2 MiB image goes onto a 4 MiB one of the same family whose PPM area has
// data right below it.
TEST(ApplyCli, ARecipeTravelsToAnImageOfAnotherSizeAndLayout) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls"), r = dir.Path("r.json");
    const std::string big = dir.Path("big.fls"), bigEdited = dir.Path("big2.fls");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    ASSERT_EQ(Cli({"demo", big, "--type", "3310", "--size", "4", "--occupied"}).status, 0);
    Cli({"tones", "export", a, "2", dir.Path("t.re")});
    Cli({"bmp", "export", a, "003", dir.Path("b.bmp")});
    ASSERT_EQ(Cli({"tones", "add", a, dir.Path("t.re"), "-o", b}).status, 0);
    ASSERT_EQ(Cli({"bmp", "import", b, "001", dir.Path("b.bmp"), "--in-place"}).status, 0);
    ASSERT_EQ(Cli({"ani", "set-length", b, "001", "4", "--in-place"}).status, 0);
    ASSERT_EQ(Cli({"patch", "leds", b, "--in-place"}).status, 0);
    ASSERT_EQ(Cli({"diff", a, b, "--recipe", r}).status, 1);

    const CliRun run = Cli({"apply", big, r, "-o", bigEdited});
    ASSERT_EQ(run.status, 0) << run.err;
    // The big image now holds what B holds, subsystem by subsystem.
    EXPECT_EQ(Cli({"tones", "list", bigEdited, "--json"}).out,
              Cli({"tones", "list", b, "--json"}).out);
    const ImageDiff d = DiffImageFiles(bigEdited, b);
    for (const char* key : {"ringtones", "animations", "patches"}) {
        const DiffSection* s = d.Section(key);
        ASSERT_NE(s, nullptr);
        for (const DiffEntry& e : s->entries)
            EXPECT_TRUE(e.change == "moved" || e.change == "redirected")
                << key << ": " << e.change << " " << e.item;
    }
    const DiffSection* bitmaps = d.Section("bitmaps");
    for (const DiffEntry& e : bitmaps->entries)
        EXPECT_TRUE(e.change == "moved" || e.item != "Bmp ID 001") << e.change << " " << e.item;
    ExpectCheckFindsNothing(bigEdited);
}

// All or nothing: a step that fails leaves no output and the input as it was, and says
// which step it was.
TEST(ApplyCli, AFailingStepWritesNothingAndNamesTheStep) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), c = dir.Path("c.fls");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    const Bytes before = ReadFile(a);
    const std::string r = WriteRecipe(dir, "r.json", R"({"brivant-recipe": 1, "steps": [
        {"command": "tones delete", "args": {"row": 0}},
        {"command": "bmp import", "args": {"id": "004", "in": "logo.bmp"}},
        {"command": "patch leds"}]})");
    WriteFile(dir.Path("logo.bmp"), Bytes{'n', 'o', 't'});
    for (const std::vector<std::string>& out :
         {std::vector<std::string>{"-o", c}, std::vector<std::string>{"--in-place"}}) {
        std::vector<std::string> args = {"apply", a, r};
        args.insert(args.end(), out.begin(), out.end());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Has(run.err, "step 2 (bmp import 004 logo.bmp): ")) << run.err;
        EXPECT_FALSE(std::filesystem::exists(c));
        EXPECT_FALSE(std::filesystem::exists(a + ".bak"));
        EXPECT_EQ(ReadFile(a), before);
    }
    // Arguments the command refuses are found before anything runs, as on the command line.
    const std::string usage = WriteRecipe(dir, "u.json", R"({"brivant-recipe": 1, "steps": [
        {"command": "tones delete", "args": {"row": 0}},
        {"command": "ani set-length", "args": {"ani": "001", "count": 1000}}]})");
    const CliRun run = Cli({"apply", a, usage, "-o", c});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "step 2 (ani set-length 001 1000): ")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(c));
}

// Refused before anything runs: steps the command line does not know (or that would not
// edit), arguments a step cannot give, another phone type, and a recipe that says it is not
// the whole story.
TEST(ApplyCli, RecipesThatCannotBeRunAsWrittenAreRefusedUpFront) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), c = dir.Path("c.fls");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    const std::string first = R"({"command": "tones delete", "args": {"row": 0}}, )";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"command": "tones frobnicate"})",
         R"(step 2 (tones frobnicate): "tones frobnicate" is not a command)"},
        {R"({"command": "tones export", "args": {"row": 1, "out": "x.re"}})", "is not a command"},
        {R"({"command": "demo"})", "is not a command"},
        {R"({"command": "tones delete", "args": {"row": 0, "output": "x.fls"}})",
         "\"output\" is given to apply"},
        {R"({"command": "tones delete", "args": {"image": "x.fls"}})",
         "\"image\" is given to apply"},
        {R"({"command": "tones delete", "args": {"rows": 1}})",
         "tones delete takes no argument \"rows\""},
        {R"({"command": "tones delete", "args": {"row": "-1"}})", "step 2 (tones delete -1)"},
        {R"({"command": "tones delete", "args": {"row": 1.5}})", "must be a whole number"},
        {R"({"command": "patch lcd", "args": {"blinking": "yes"}})", "must be true or false"},
        {R"({"command": "tones add", "args": {"in": {"base64": "***"}}})", "base64"},
        {R"({"command": "tones add", "args": {"in": {"base64": "AA==", "x": 1}}})",
         "embedded file"},
        {R"({"command": "tones add", "args": {"in": "missing.re"}})",
         "step 2 (tones add missing.re)"},
    };
    for (const auto& [step, why] : cases) {
        const std::string r =
            WriteRecipe(dir, "r.json", R"({"brivant-recipe": 1, "steps": [)" + first + step + "]}");
        const CliRun run = Cli({"apply", a, r, "-o", c});
        EXPECT_NE(run.status, 0) << step;
        EXPECT_TRUE(Has(run.err, why)) << step << "\n" << run.err;
        EXPECT_FALSE(std::filesystem::exists(c)) << step;
    }

    const std::string other =
        WriteRecipe(dir, "t.json", R"({"brivant-recipe": 1, "phoneType": "8210",
        "steps": [{"command": "tones delete", "args": {"row": 0}}]})");
    CliRun run = Cli({"apply", a, other, "-o", c});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "the recipe is for phone type 8210 and this image is 3310"))
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(c));
    run = Cli({"apply", a, other, "-o", c, "--type", "3310"});
    EXPECT_EQ(run.status, 0) << run.err;

    const std::string partial = WriteRecipe(dir, "p.json", R"({"brivant-recipe": 1,
        "steps": [{"command": "tones delete", "args": {"row": 0}}],
        "notExpressed": ["Other bytes: 0x00000010, 4 bytes"]})");
    std::filesystem::remove(c);
    run = Cli({"apply", a, partial, "-o", c});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "--partial")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(c));
    EXPECT_EQ(Cli({"apply", a, partial, "-o", c, "--partial"}).status, 0);

    const std::string broken = WriteRecipe(dir, "b.json", R"({"brivant-recipe": 1, "steps": [)");
    run = Cli({"apply", a, broken, "-o", c});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "b.json: JSON line 1")) << run.err;
    EXPECT_EQ(Cli({"apply", a, partial}).status, 2);  // neither -o, --in-place nor --dry-run
}

// A dry run runs the steps and tells what would change in diff's words, writing nothing.
TEST(ApplyCli, ADryRunTellsTheChangesAndWritesNothing) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), c = dir.Path("c.fls");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    const Bytes before = ReadFile(a);
    const auto stamp = std::filesystem::last_write_time(a);
    Cli({"tones", "export", a, "0", dir.Path("t.re")});
    const std::string r = WriteRecipe(dir, "r.json", R"({"brivant-recipe": 1, "steps": [
        {"command": "tones add", "args": {"in": "t.re"}},
        {"command": "patch lcd", "args": {"blinking": true}}]})");
    const auto files = [&] {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path("")))
            names.insert(e.path().filename().string());
        return names;
    };
    const auto listed = files();
    CliRun run = Cli({"apply", a, r, "--dry-run"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "Ringtones:")) << run.out;
    EXPECT_TRUE(Has(run.out, "added           ringtone")) << run.out;
    EXPECT_TRUE(Has(run.out, "Inverted")) << run.out;
    run = Cli({"apply", a, r, "--dry-run", "--json", "-o", c});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, R"("ringtones":{"title":"Ringtones","differs":true)")) << run.out;
    EXPECT_EQ(ReadFile(a), before);
    EXPECT_EQ(std::filesystem::last_write_time(a), stamp);
    EXPECT_EQ(files(), listed);
}

// The recipe's files: relative to the recipe wherever apply runs, or embedded.
TEST(ApplyCli, StepFilesComeFromBesideTheRecipeOrFromTheRecipeItself) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path("mod"));
    const std::string a = dir.Path("a.fls"), c = dir.Path("c.fls"), d = dir.Path("d.fls");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    Cli({"tones", "export", a, "3", dir.Path("mod/t.re")});
    const std::string byPath = WriteRecipe(dir, "mod/r.json", R"({"brivant-recipe": 1, "steps": [
        {"command": "tones add", "args": {"in": "t.re"}}]})");
    const std::string embedded = WriteRecipe(
        dir, "e.json",
        R"({"brivant-recipe": 1, "steps": [{"command": "tones add", "args": {"in": {"base64": ")" +
            Base64Encode(ReadFile(dir.Path("mod/t.re"))) + R"(", "name": "../t.re"}}}]})");
    ASSERT_EQ(Cli({"apply", a, byPath, "-o", c}).status, 0);
    const CliRun run = Cli({"apply", a, embedded, "-o", d, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, R"({"steps":1,"output":")" + d + "\"}\n");
    EXPECT_EQ(ReadFile(c), ReadFile(d));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("t.re")));  // an embedded name stays inside
}

// Bytes no subsystem explains cannot be said as steps: the recipe lists them, apply refuses
// it, and --partial applies what the steps do say.
TEST(ApplyCli, WhatNoStepSaysIsListedAndOnlyAppliedWithPartial) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls"), c = dir.Path("c.fls");
    const std::string r = dir.Path("r.json");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    ASSERT_EQ(Cli({"tones", "delete", a, "1", "-o", b}).status, 0);
    Bytes poked = ReadFile(b);
    poked[0x2000] ^= 0x5A;
    WriteFile(b, poked);
    ASSERT_EQ(Cli({"diff", a, b, "--recipe", r}).status, 1);
    const Recipe recipe = ParseRecipe(Text(ReadFile(r)));
    ASSERT_EQ(recipe.steps.size(), 1u);
    EXPECT_EQ(recipe.steps[0].command, "tones delete");
    ASSERT_EQ(recipe.notExpressed.size(), 1u);
    EXPECT_TRUE(Has(recipe.notExpressed[0], "Other bytes: 0x00002000, 1 bytes"))
        << recipe.notExpressed[0];

    EXPECT_EQ(Cli({"apply", a, r, "-o", c}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(c));
    ASSERT_EQ(Cli({"apply", a, r, "-o", c, "--partial"}).status, 0);
    EXPECT_EQ(SubsystemDifferences(c, b), std::vector<std::string>{});
    EXPECT_EQ(DiffImageFiles(c, b).unexplained.size(), 1u);
}

// Each menu step walks its path from the root, as the command on its own does, whatever
// level the step before left the Menu tab on: the recipe gives the image the commands give
// one by one.
TEST(ApplyCli, MenuStepsWalkTheirPathFromTheRoot) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls"), c = dir.Path("c.fls");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    const std::vector<std::vector<std::string>> commands = {
        {"menu", "edit", "0", "--path", "2", "--bmp-id", "0003"},
        {"menu", "edit", "0", "--func-id", "0042"},
        {"menu", "add", "--path", "2/1", "--name", "Deeper"},
        {"menu", "add", "--name", "Top"},
        {"menu", "move", "1", "--path", "2", "up"},
        {"menu", "delete", "1"}};
    const std::string r = WriteRecipe(dir, "r.json", R"({"brivant-recipe": 1, "steps": [
        {"command": "menu edit", "args": {"row": 0, "path": "2", "bmp-id": "0003"}},
        {"command": "menu edit", "args": {"row": 0, "func-id": "0042"}},
        {"command": "menu add", "args": {"path": "2/1", "name": "Deeper"}},
        {"command": "menu add", "args": {"name": "Top"}},
        {"command": "menu move", "args": {"row": 1, "path": "2", "direction": "up"}},
        {"command": "menu delete", "args": {"row": 1}}]})");
    std::filesystem::copy_file(a, b);
    for (std::vector<std::string> command : commands) {
        command.insert(command.begin() + 2, b);
        command.push_back("--in-place");
        ASSERT_EQ(Cli(command).status, 0) << Joined(command);
    }
    const CliRun run = Cli({"apply", a, r, "-o", c});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(c), ReadFile(b)) << Cli({"diff", c, b}).out;
}

// Differences no command makes stay in the recipe's list, so apply refuses it: the steps
// alone would not give B.
TEST(ApplyCli, DifferencesNoCommandMakesAreListedNotDropped) {
    struct Case {
        const char* name;
        std::vector<std::vector<std::string>> makeA;  // run on a 3310 sample, --in-place
        std::vector<std::string> demoB;               // B as written by demo
        const char* listed;
    };
    const std::vector<Case> cases = {
        {"an installed code patch removed", {{"patch", "leds"}}, {}, "Code patches: removed"},
        {"an item A hides shown",
         {{"menu", "edit", "1", "--bmp-id", "00DC", "--func-id", "0000"}},
         {},
         "Menu: changed record 2 in Menu"},
        {"another image size", {}, {"--size", "4"}, "Phone type: changed Size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls"), r = dir.Path("r.json");
        ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
        std::vector<std::string> demo = {"demo", b, "--type", "3310"};
        demo.insert(demo.end(), c.demoB.begin(), c.demoB.end());
        ASSERT_EQ(Cli(demo).status, 0);
        for (std::vector<std::string> command : c.makeA) {
            command.insert(command.begin() + 2, a);
            command.push_back("--in-place");
            ASSERT_EQ(Cli(command).status, 0) << Joined(command);
        }
        ASSERT_EQ(Cli({"diff", a, b, "--recipe", r}).status, 1);
        const Recipe recipe = ParseRecipe(Text(ReadFile(r)));
        EXPECT_TRUE(std::any_of(recipe.notExpressed.begin(), recipe.notExpressed.end(),
                                [&](const std::string& e) { return Has(e, c.listed); }))
            << Text(ReadFile(r));
        EXPECT_EQ(Cli({"apply", a, r, "-o", dir.Path("c.fls")}).status, 1);
    }
}

// A dry run answers as the save it stands for: an image whose checksum range lies outside
// the file is refused by both, with the same words, and nothing is written.
TEST(ApplyCli, ADryRunRefusesWhatTheSaveRefuses) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), c = dir.Path("c.fls");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    Bytes image = ReadFile(a);
    std::fill(image.begin() + 39, image.begin() + 42, 0xFF);  // the range's end, far outside
    WriteFile(a, image);
    const std::string r = WriteRecipe(dir, "r.json", R"({"brivant-recipe": 1, "steps": [
        {"command": "patch lcd", "args": {"blinking": true}}]})");
    const CliRun save = Cli({"apply", a, r, "-o", c});
    const CliRun dry = Cli({"apply", a, r, "--dry-run"});
    EXPECT_EQ(save.status, 1);
    EXPECT_EQ(dry.status, save.status);
    EXPECT_TRUE(Has(save.err, "could not be repaired")) << save.err;
    EXPECT_EQ(dry.err, save.err);
    EXPECT_FALSE(std::filesystem::exists(c));
    EXPECT_EQ(ReadFile(a), image);
}

namespace {

// A run that saved, or that had nothing to save (the image it would write is its input).
bool SavedOrNothingToSave(const CliRun& run) {
    return run.status == 0 ||
           (run.status == 1 && Has(run.err, "Nothing to save, Please edit flash file first"));
}

// The commands run one by one, each on what the one before wrote, and the same commands as
// one recipe: the two images.
std::pair<Bytes, Bytes> BothWays(TempDir& dir, const std::string& a,
                                 const std::vector<std::vector<std::string>>& commands,
                                 const std::string& recipe) {
    const std::string b = dir.Path("steps.fls"), c = dir.Path("recipe.fls");
    std::filesystem::copy_file(a, b, std::filesystem::copy_options::overwrite_existing);
    for (std::vector<std::string> command : commands) {
        command.insert(command.begin() + 2, b);
        command.push_back("--in-place");
        const CliRun run = Cli(command);
        EXPECT_TRUE(SavedOrNothingToSave(run)) << Joined(command) << "\n" << run.err;
    }
    const std::string r = WriteRecipe(dir, "r.json", recipe);
    const CliRun run = Cli({"apply", a, r, "-o", c});
    EXPECT_TRUE(SavedOrNothingToSave(run)) << run.err;
    if (run.status != 0) return {ReadFile(b), ReadFile(a)};
    return {ReadFile(b), ReadFile(c)};
}

}  // namespace

// Each step finds the image as its command would after the step before was saved: a
// language deleted before menu steps, whose rows are named in the first language.
TEST(ApplyCli, MenuStepsAfterALanguageDeletedRunAsTheirCommandsDo) {
    for (const char* type : {"3310", "8210", "61XX", "3210", "2100"}) {
        SCOPED_TRACE(type);
        TempDir dir;
        const std::string a = dir.Path("a.fls");
        ASSERT_EQ(Cli({"demo", a, "--type", type}).status, 0);
        const auto [steps, recipe] = BothWays(dir, a,
                                              {{"lang", "delete", "1"},
                                               {"menu", "edit", "1", "--func-id", "0042"},
                                               {"menu", "add", "--name", "After"}},
                                              R"({"brivant-recipe": 1, "steps": [
            {"command": "lang delete", "args": {"row": 1}},
            {"command": "menu edit", "args": {"row": 1, "func-id": "0042"}},
            {"command": "menu add", "args": {"name": "After"}}]})");
        EXPECT_TRUE(steps == recipe);
    }
}

// Bitmaps 009 and 00A share their bytes: loading all files back, each file is weighed
// against the bytes as they stand when it comes, in a recipe as on its own.
TEST(ApplyCli, LoadingBitmapsThatShareBytesWeighsEachFileAgainstTheImageAsItStands) {
    for (const char* type : {"3310", "8210"}) {
        SCOPED_TRACE(type);
        TempDir dir;
        const std::string a = dir.Path("a.fls");
        ASSERT_EQ(Cli({"demo", a, "--type", type}).status, 0);
        ASSERT_EQ(Cli({"bmp", "export-all", a, dir.Path("all.bmp")}).status, 0);
        ASSERT_EQ(ReadFile(dir.Path("all009.bmp")), ReadFile(dir.Path("all00A.bmp")));
        // 009 drawn anew: every pixel the other way round.
        Bytes drawn = ReadFile(dir.Path("all009.bmp"));
        const std::uint32_t pixels = drawn[10] | drawn[11] << 8 | drawn[12] << 16;
        for (std::size_t i = pixels; i < drawn.size(); ++i) drawn[i] ^= 0xFF;
        WriteFile(dir.Path("all009.bmp"), drawn);
        const std::string first = dir.Path("all000.bmp");
        const auto [steps, recipe] = BothWays(
            dir, a, {{"bmp", "import-all", first}},
            R"({"brivant-recipe": 1, "steps": [{"command": "bmp import-all", "args": {"first": ")" +
                first + R"("}}]})");
        EXPECT_TRUE(steps == recipe);
        // 00A's file, loaded after 009's, puts back the pixels both share.
        const std::string made = dir.Path("steps.fls");
        ASSERT_EQ(Cli({"bmp", "export", made, "009", dir.Path("now009.bmp")}).status, 0);
        ASSERT_EQ(Cli({"bmp", "export", made, "00A", dir.Path("now00A.bmp")}).status, 0);
        EXPECT_EQ(ReadFile(dir.Path("now00A.bmp")), ReadFile(dir.Path("all00A.bmp")));
    }
}

// The security patch made after a menu addition guards the item where the addition left it:
// the recipe says it as the patch, so its redirect block is carried, and the round trip gives
// B's very bytes.
TEST(ApplyCli, ASecurityPatchAfterMenuEditsTravelsAsThePatch) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls"), c = dir.Path("c.fls"),
                      r = dir.Path("r.json");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    ASSERT_EQ(Cli({"menu", "add", a, "--name", "Hello", "-o", dir.Path("t.fls")}).status, 0);
    ASSERT_EQ(Cli({"security", "patch", "--whole", dir.Path("t.fls"), "-o", b}).status, 0);
    ASSERT_EQ(Cli({"diff", a, b, "--recipe", r}).status, 1);
    const Recipe recipe = ParseRecipe(Text(ReadFile(r)));
    EXPECT_EQ(Joined(recipe.notExpressed), "");
    ASSERT_FALSE(recipe.steps.empty());
    EXPECT_EQ(recipe.steps.back().command, "security patch");
    ASSERT_EQ(Cli({"apply", a, r, "-o", c}).status, 0);
    EXPECT_EQ(Cli({"diff", b, c}).status, 0) << Cli({"diff", b, c}).out;
}

// A submenu made by an addition lives at an address only B has: a recipe never sets a Func
// Pointer to it by an edit. Either the steps make the submenu, or the difference is listed.
TEST(ApplyCli, AnAddressOnlyBHoldsIsMadeByItsStepOrListed) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls"), c = dir.Path("c.fls"),
                      r = dir.Path("r.json");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    ASSERT_EQ(Cli({"menu", "delete", a, "3", "-o", dir.Path("t.fls")}).status, 0);
    const std::vector<JsonValue> rows = RootRows(a);
    ASSERT_GT(rows.size(), 1u);
    const std::string pointer = rows[1].Find("textPointer")->text;
    ASSERT_EQ(
        Cli({"menu", "add", dir.Path("t.fls"), "--text-pointer", pointer, "--submenu", "-o", b})
            .status,
        0);
    ASSERT_EQ(Cli({"diff", a, b, "--recipe", r}).status, 1);
    const Recipe recipe = ParseRecipe(Text(ReadFile(r)));
    for (const RecipeStep& s : recipe.steps)
        for (const auto& [key, value] : s.args)
            EXPECT_FALSE(s.command == "menu edit" && key == "func-pointer")
                << "an edit sets a Func Pointer: " << value.text;
    const CliRun applied = Cli({"apply", a, r, "-o", c, "--partial"});
    ASSERT_EQ(applied.status, 0) << applied.err;
    if (recipe.notExpressed.empty()) {
        EXPECT_EQ(Cli({"diff", b, c}).status, 0);
    }
    ExpectCheckFindsNothing(c);
}
