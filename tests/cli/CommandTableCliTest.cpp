// Every command of the table on every way out: an editing command writes the same image to
// a file, to standard output and over its input, with or without --json and --quiet; an
// export writes the same file to a name and to standard output. The commands come from the
// command table itself, so a command added without a case here fails the test.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "cli/CliModule.h"
#include "compare/JsonReader.h"
#include "core/UserError.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {

namespace fs = std::filesystem;

struct Leaf {
    std::string path;
    bool edits = false;    // takes -o / --in-place
    bool json = false;     // takes --json
    bool dryRun = false;   // takes --dry-run
    bool exports = false;  // writes a file named OUT, which may be "-"
};

void Walk(const CLI::App& app, const std::string& path, std::vector<Leaf>& leaves) {
    const auto subs = app.get_subcommands([](const CLI::App*) { return true; });
    if (subs.empty()) {
        Leaf l{path};
        for (const CLI::Option* o : app.get_options()) {
            if (o->check_lname("output")) l.edits = true;
            if (o->check_lname("json")) l.json = true;
            if (o->check_lname("dry-run")) l.dryRun = true;
            if (o->get_positional() && o->get_name() == "OUT") l.exports = true;
        }
        leaves.push_back(l);
        return;
    }
    for (const CLI::App* s : subs)
        Walk(*s, path.empty() ? s->get_name() : path + " " + s->get_name(), leaves);
}

std::vector<Leaf> Leaves() {
    std::istringstream in;
    std::ostringstream out, err;
    CommandTable table(in, out, err);
    std::vector<Leaf> leaves;
    Walk(table.app, "", leaves);
    return leaves;
}

std::vector<std::string> Words(const std::string& path) {
    std::vector<std::string> words;
    std::istringstream s(path);
    for (std::string w; s >> w;) words.push_back(w);
    return words;
}

// One family's demo image and the files the commands read, made by the command line itself
// from that image.
struct TableFamily {
    TempDir dir;
    std::string type, image;

    explicit TableFamily(std::string t) : type(std::move(t)), image(dir.Path("x.fls")) {
        EXPECT_EQ(Cli({"demo", image, "--type", type}).status, 0);
        Cli({"tones", "export", image, "0", In("t.re")});
        Cli({"lang", "export", image, "0", In("l.lng")});
        Cli({"ops", "export", image, "0", In("c.opr")});
        // Each input changes the image: an edit that changes nothing writes nothing.
        Bytes texts = Out({"lang", "texts", image, "0"});
        texts.insert(texts.begin(), 'Z');
        WriteFile(In("texts.txt"), texts);
        Bytes ops = Out({"ops", "show", image, "0"});
        for (char c : std::string("99 Extra\n")) ops.push_back(static_cast<std::uint8_t>(c));
        WriteFile(In("ops.txt"), ops);
        Cli({"bmp", "export", image, "004", In("p.bmp")});
        Cli({"bmp", "export-all", image, In("pics.bmp")});
        // The chunk and the recipe of an image without its first ringtone.
        const std::string y = dir.Path("y.fls");
        Cli({"tones", "delete", image, "0", "-o", y});
        Cli({"chunk", "export", y, "TONE", In("tone.bin")});
        Cli({"diff", image, y, "--recipe", In("r.json")});
        fs::remove(y);
    }
    std::string In(const std::string& name) const { return dir.Path("in-" + name); }
    Bytes Out(const std::vector<std::string>& args) const {
        const std::string o = Cli(args).out;
        return Bytes(o.begin(), o.end());
    }
};

// The arguments after the command's words, IMAGE given as "@".
using Case = std::function<std::vector<std::string>(const TableFamily&)>;

const std::map<std::string, Case>& EditCases() {
    static const std::map<std::string, Case> cases = {
        {"tones change",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", "1", f.In("t.re")};
         }},
        {"tones add",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", f.In("t.re")};
         }},
        {"tones delete",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "0"};
         }},
        {"alert change",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", "special", f.In("t.re")};
         }},
        {"lang edit",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", "0", f.In("texts.txt")};
         }},
        {"lang add",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", f.In("l.lng")};
         }},
        {"lang delete",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "1"};
         }},
        {"ops edit",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", "0", f.In("ops.txt")};
         }},
        {"ops new",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "ZZ", "999"};
         }},
        {"ops add",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", f.In("c.opr")};
         }},
        {"ops delete",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "0"};
         }},
        {"chunk import",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", "TONE", f.In("tone.bin")};
         }},
        {"space adjust",
         [](const TableFamily&) {
             // The demo's MCU free space ends at its mark: the PPM takes the bytes.
             return std::vector<std::string>{"@", "--ppm", "64"};
         }},
        {"patch leds", [](const TableFamily&) { return std::vector<std::string>{"@"}; }},
        {"patch lcd", [](const TableFamily&) { return std::vector<std::string>{"@"}; }},
        {"ani set-frame",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "000", "0", "002"};
         }},
        {"ani set-length",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "000", "1"};
         }},
        {"bmp import",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", "005", f.In("p.bmp"), "--fit"};
         }},
        {"bmp import-all",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", f.In("pics000.bmp"), "--threshold", "0"};
         }},
        {"menu move",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "0", "down"};
         }},
        {"menu delete",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "1"};
         }},
        {"menu edit",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "0", "--func-id", "0001"};
         }},
        {"menu add",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "--name", "Extra"};
         }},
        {"security patch",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "--whole"};
         }},
        {"apply",
         [](const TableFamily& f) {
             return std::vector<std::string>{"@", f.In("r.json")};
         }},
    };
    return cases;
}

// The arguments of an export after its words: IMAGE as "@", OUT as "%".
const std::map<std::string, Case>& ExportCases() {
    static const std::map<std::string, Case> cases = {
        {"tones export",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "0", "%"};
         }},
        {"alert export",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "standard", "%"};
         }},
        {"lang export",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "0", "%"};
         }},
        {"ops export",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "0", "%"};
         }},
        {"chunk export",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "PLMN", "%"};
         }},
        {"bmp export",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "004", "%"};
         }},
        {"bmp sheet",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "%"};
         }},
        {"ani export",
         [](const TableFamily&) {
             return std::vector<std::string>{"@", "000", "%"};
         }},
        {"demo",
         [](const TableFamily& f) {
             return std::vector<std::string>{"%", "--type", f.type};
         }},
    };
    return cases;
}

std::vector<std::string> Line(const std::string& path, std::vector<std::string> args,
                              const std::string& image, const std::string& out,
                              std::vector<std::string> extra) {
    std::vector<std::string> line = Words(path);
    for (std::string& a : args) {
        if (a == "@") a = image;
        if (a == "%") a = out;
    }
    line.insert(line.end(), args.begin(), args.end());
    line.insert(line.end(), extra.begin(), extra.end());
    return line;
}

std::string Shown(const std::vector<std::string>& line) {
    std::string text;
    for (const std::string& w : line) text += (text.empty() ? "" : " ") + w;
    return text;
}

// Exactly one JSON object, on one line.
bool OneJsonObject(const std::string& out) {
    if (out.empty() || out.back() != '\n' || out.find('\n') != out.size() - 1) return false;
    try {
        return ParseJson(out).Is(JsonValue::Kind::Object);
    } catch (const UserError&) {
        return false;
    }
}

const char* const kTableFamilies[] = {"3310", "3410", "62XX/7110"};

// One editing command on one image, every way out.
void EditEveryWay(const TableFamily& f, const std::string& path, const Leaf& leaf,
                  const std::vector<std::string>& args, const std::string& image,
                  std::set<std::string>& succeeded) {
    const Bytes original = ReadFile(image);
    const std::string file = f.dir.Path("o.fls"), quiet = f.dir.Path("q.fls"),
                      json = f.dir.Path("j.fls"), copy = f.dir.Path("c.fls");
    for (const auto& p : {file, quiet, json, copy, copy + ".bak"}) fs::remove(p);
    WriteFile(copy, original);

    const auto toFile = Line(path, args, image, "", {"-o", file});
    const CliRun a = Cli(toFile);
    const std::string what = f.type + ": " + Shown(toFile) + "\n" + a.err;
    const CliRun b = Cli(Line(path, args, image, "", {"-o", "-"}));
    const CliRun c = Cli(Line(path, args, copy, "", {"--in-place"}));
    const CliRun q = Cli(Line(path, args, image, "", {"-q", "-o", quiet}));
    EXPECT_EQ(b.status, a.status) << what << b.err;
    EXPECT_EQ(c.status, a.status) << what << c.err;
    EXPECT_EQ(q.status, a.status) << what << q.err;
    EXPECT_EQ(ReadFile(image), original) << what;

    if (a.status == 0) {
        succeeded.insert(path);
        const Bytes saved = ReadFile(file);
        EXPECT_EQ(saved.size(), original.size()) << what;
        EXPECT_TRUE(Text(saved) == b.out) << what << "stdout is not the saved image";
        EXPECT_TRUE(ReadFile(copy) == saved) << what << "--in-place saved other bytes";
        EXPECT_TRUE(ReadFile(copy + ".bak") == original) << what;
        EXPECT_TRUE(ReadFile(quiet) == saved) << what << "--quiet saved other bytes";
        // The report that a file on stdout leaves no room for goes to stderr.
        if (!a.out.empty()) {
            EXPECT_TRUE(Has(b.err, a.out)) << what << b.err;
        }
    } else {
        EXPECT_FALSE(fs::exists(file)) << what;
        EXPECT_EQ(b.out, "") << what;
        EXPECT_EQ(ReadFile(copy), original) << what;
        EXPECT_FALSE(fs::exists(copy + ".bak")) << what;
        EXPECT_FALSE(fs::exists(quiet)) << what;
        EXPECT_EQ(a.out, "") << what;
    }
    if (leaf.json) {
        const CliRun j = Cli(Line(path, args, image, "", {"--json", "-o", json}));
        EXPECT_EQ(j.status, a.status) << what << j.err;
        if (a.status == 0) {
            EXPECT_TRUE(ReadFile(json) == ReadFile(file)) << what << "--json saved other bytes";
            EXPECT_TRUE(OneJsonObject(j.out)) << what << j.out;
        } else {
            EXPECT_FALSE(fs::exists(json)) << what;
            EXPECT_EQ(j.out, "") << what;
        }
        // JSON and the image cannot share standard output: wrong usage, said so.
        const CliRun js = Cli(Line(path, args, image, "", {"--json", "-o", "-"}));
        EXPECT_EQ(js.status, 2) << what << js.err;
        EXPECT_EQ(js.out, "") << what;
        EXPECT_TRUE(Has(js.err, "--json")) << what << js.err;
    }
    if (leaf.dryRun) {
        const CliRun d = Cli(Line(path, args, image, "", {"--dry-run", "--json"}));
        EXPECT_EQ(d.status, a.status) << what << d.err;
        if (d.status == 0) {
            EXPECT_TRUE(OneJsonObject(d.out)) << what << d.out;
        }
        EXPECT_EQ(ReadFile(image), original) << what;
    }
}

}  // namespace

#ifdef BRIVANT_PLATFORM
TEST(CommandTable, EveryEditingCommandWritesTheSameImageEveryWayOut) {
    std::set<std::string> editing, succeeded;
    for (const Leaf& l : Leaves())
        if (l.edits) editing.insert(l.path);
    for (const auto& path : editing)
        EXPECT_TRUE(EditCases().count(path)) << path << " has no case in this test";
    std::map<std::string, Leaf> leaves;
    for (const Leaf& l : Leaves()) leaves[l.path] = l;

    for (const char* type : kTableFamilies) {
        TableFamily f(type);
        // Not an image at all: every command fails the same way and writes nothing.
        const std::string junk = f.dir.Path("junk.fls");
        WriteFile(junk, NoiseBytes(48, 7));
        for (const auto& path : editing) {
            if (!EditCases().count(path)) continue;
            const auto args = EditCases().at(path)(f);
            EditEveryWay(f, path, leaves[path], args, f.image, succeeded);
            std::set<std::string> none;
            EditEveryWay(f, path, leaves[path], args, junk, none);
            EXPECT_TRUE(none.empty()) << path << " succeeded on a file that is no image";
        }
    }
    // Each command did its work on at least one family: the comparisons were not all of
    // refusals.
    for (const auto& path : editing)
        EXPECT_TRUE(succeeded.count(path)) << path << " never succeeded";
}

TEST(CommandTable, EveryExportWritesTheSameFileToANameAndToStandardOutput) {
    std::set<std::string> exports, succeeded;
    for (const Leaf& l : Leaves())
        if (l.exports) exports.insert(l.path);
    for (const auto& path : exports)
        EXPECT_TRUE(ExportCases().count(path)) << path << " has no case in this test";

    for (const char* type : kTableFamilies) {
        TableFamily f(type);
        for (const auto& path : exports) {
            if (!ExportCases().count(path)) continue;
            const auto args = ExportCases().at(path)(f);
            // The name keeps the format the command writes by default.
            const std::string file = f.dir.Path("export");
            fs::remove(file);
            const auto line = Line(path, args, f.image, file, {});
            const CliRun a = Cli(line);
            const CliRun b = Cli(Line(path, args, f.image, "-", {}));
            const std::string what = f.type + ": " + Shown(line) + "\n" + a.err;
            EXPECT_EQ(b.status, a.status) << what << b.err;
            if (a.status == 0) {
                succeeded.insert(path);
                EXPECT_TRUE(Text(ReadFile(file)) == b.out) << what << "stdout is not the file";
                EXPECT_EQ(a.out, "") << what;
            } else {
                EXPECT_FALSE(fs::exists(file)) << what;
                EXPECT_EQ(b.out, "") << what;
            }
        }
    }
    for (const auto& path : exports)
        EXPECT_TRUE(succeeded.count(path)) << path << " never succeeded";
}
#endif

// Under WebAssembly memory ends at 2 GiB: a report growing past it stops taking text. What it
// kept is not handed on as the whole answer, and the run fails.
TEST(CommandTable, AReportCutShortByMemoryFailsAndIsNotHandedOn) {
    for (const int status : {0, 1}) {
        std::istringstream in;
        std::ostringstream out, err;
        CommandTable table(in, out, err, "info");
        table.ctx.out << "0 (0x00000000)\n";
        table.report.setstate(std::ios::badbit);
        EXPECT_EQ(table.Finish(status), 1);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), "brivant-cli: The output does not fit in memory: ask for less at "
                             "once (a narrower search or range)\n");
    }
}
