#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/RunCli.h"
#include "support/CliProgram.h"

using namespace brivant;
using namespace brivant::test;

namespace {

std::string Sample(const TempDir& dir) {
    const std::string x = dir.Path("x.fls");
    EXPECT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    return x;
}

}  // namespace

// Misspelt commands and subcommands are named, with the closest ones offered; usage errors
// are status 2, a file that cannot be read is status 1 in the open flow's words.
TEST(CliRun, ExitStatusesAndMessages) {
    TempDir dir;
    const std::string x = Sample(dir);
    const std::string missing = dir.Path("missing.fls");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"bmpp", x}, 2, "'bmpp' is not a brivant-cli command; did you mean 'bmp'?"},
        {{"inf", x}, 2, "'inf' is not a brivant-cli command; did you mean 'info'?"},
        {{"bmp", "lst", x}, 2, "'bmp lst' is not a brivant-cli command; did you mean 'bmp list'?"},
        {{"help", "bmpp"}, 2, "'bmpp' is not a brivant-cli command; did you mean 'bmp'?"},
        {{"xyzzy"}, 2, "'xyzzy' is not a brivant-cli command\n"},
        {{"info", missing}, 1, "Cannot open " + missing},
        {{"tones", "list", missing}, 1, "Cannot open " + missing},
        {{"tones", "change", x, "0", dir.Path("no.re"), "-o", dir.Path("y.fls")}, 1, "no.re"},
        {{"info", dir.Path("")}, 1, "Cannot open"},
        {{"info", x, "--type", "9999"}, 2, "one of 51XX, 61XX, 3210"},
        {{"tones", "export", x, "99", dir.Path("t.re")}, 1, "Row 99 does not exist: the list has "},
        {{"lang", "texts", x, "99"}, 1, "Row 99 does not exist: the list has "},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << r.err;
        EXPECT_TRUE(Has(r.err, c.message)) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("y.fls")));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("t.re")));

    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("brivant-cli [0-9.]+\n"))) << version.out;
    // Alone it builds no command table; with more words it is what it was with the table.
    EXPECT_EQ(Cli({"--version", "info"}).out, version.out);
    EXPECT_EQ(Cli({"--version", "--help"}).out, version.out);
}

TEST(CliRun, ClosestNamesByEditDistance) {
    const std::vector<std::string> names = {"list",       "show",       "export", "import",
                                            "export-all", "import-all", "sheet"};
    const struct {
        std::string word;
        std::vector<std::string> want;
    } cases[] = {
        {"lst", {"list"}},
        {"lsit", {"list"}},  // neighbours swapped: one edit
        {"shwo", {"show"}},
        {"imprt", {"import"}},
        {"export-al", {"export-all"}},
        {"exp", {"export", "export-all"}},  // a beginning
        {"zzzz", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ClosestNames(c.word, names), c.want) << c.word;
}

// A result that cannot be written is a failure, with its reason where it can still be told.
TEST(CliRun, FailedWritesToStdoutAreFailures) {
    TempDir dir;
    const std::string x = Sample(dir);
    std::ofstream closed;  // never opened: every write fails
    std::ostringstream err;
    const char* argv[] = {"brivant-cli", "info", x.c_str(), "--json"};
    std::istringstream in;
    EXPECT_EQ(RunCli(4, argv, in, closed, err), 1);
    EXPECT_TRUE(Has(err.str(), "Cannot write to standard output")) << err.str();

    const std::string cli = CliCommand();
    const std::string errFile = dir.Path("err.txt");
    EXPECT_EQ(Shell(cli + " info '" + x + "' --json >/dev/full 2>'" + errFile + "'"), 1);
    EXPECT_TRUE(Has(Text(ReadFile(errFile)), "Cannot write to standard output ("))
        << Text(ReadFile(errFile));
    EXPECT_EQ(Shell(cli + " demo - >/dev/full 2>/dev/null"), 1);
    EXPECT_EQ(Shell(cli + " info '" + x + "' --json >/dev/null"), 0);
}

// "-" is standard input for whole-file inputs and standard output for outputs; "dir/-" and
// "./-" stay file names.
TEST(CliRun, DashIsStandardInputAndOutput) {
    TempDir dir;
    const std::string x = Sample(dir);
    const std::string image = Text(ReadFile(x));

    const CliRun demo = CliIn({"demo", "-", "--type", "3310"}, "");
    ASSERT_EQ(demo.status, 0) << demo.err;
    EXPECT_EQ(demo.out, image);
    // The image is the answer: no line claims it was written before the write is done.
    EXPECT_FALSE(Has(demo.err, "written to")) << demo.err;

    const CliRun info = CliIn({"info", "-", "--json"}, image);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(Has(info.out, R"({"file":"-","size":)")) << info.out;
    const std::string fromFile = Cli({"info", x, "--json"}).out;
    EXPECT_EQ(fromFile.substr(fromFile.find(",\"size\"")),
              info.out.substr(info.out.find(",\"size\"")));

    // A chunk through a pipe in and out, the same bytes as through files.
    ASSERT_EQ(Cli({"chunk", "export", x, "TONE", dir.Path("tone.bin")}).status, 0);
    const CliRun chunk = CliIn({"chunk", "export", "-", "TONE", "-"}, image);
    ASSERT_EQ(chunk.status, 0) << chunk.err;
    EXPECT_EQ(chunk.out, Text(ReadFile(dir.Path("tone.bin"))));

    // An edited image to standard output: what -o FILE writes, and no .bak anywhere.
    ASSERT_EQ(Cli({"tones", "delete", x, "0", "-o", dir.Path("y.fls")}).status, 0);
    const CliRun piped = CliIn({"tones", "delete", "-", "0", "-o", "-"}, image);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, Text(ReadFile(dir.Path("y.fls"))));
    // x's chunk into the image without its first ringtone: a change, so it is written.
    const CliRun imported = CliIn(
        {"chunk", "import", dir.Path("y.fls"), "TONE", "-", "-o", dir.Path("z.fls")}, chunk.out);
    EXPECT_EQ(imported.status, 0) << imported.err;

#ifdef BRIVANT_PLATFORM
    // A bitmap file through a pipe: the reader goes by the name, so the stand-in has one.
    const CliRun bmp = CliIn({"bmp", "export", x, "001", "-"}, "");
    ASSERT_EQ(bmp.status, 0) << bmp.err;
    EXPECT_EQ(bmp.out.substr(0, 2), "BM");
    // Bitmap 001's own picture drawn into 002: a change, so the import writes the image.
    const CliRun bmpIn = CliIn({"bmp", "import", x, "002", "-", "-o", dir.Path("b.fls")}, bmp.out);
    EXPECT_EQ(bmpIn.status, 0) << bmpIn.err;
#endif

    // A failed command writes nothing to standard output, and says "-" for the stand-in.
    const CliRun bad = CliIn({"info", "-"}, "not an image");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_FALSE(Has(bad.err, "brivant-cli-")) << bad.err;
    const CliRun failedSave = CliIn({"tones", "delete", x, "99", "-o", "-"}, "");
    EXPECT_EQ(failedSave.status, 1);
    EXPECT_EQ(failedSave.out, "");

    // Standard input is read once; --in-place cannot write back to it.
    EXPECT_NE(CliIn({"diff", "-", "-"}, image).status, 0);
    EXPECT_EQ(CliIn({"tones", "delete", "-", "0", "--in-place"}, image).status, 2);

    // A file named "-" in a folder is an ordinary file.
    const std::string dash = dir.Path("-");
    WriteFile(dash, ReadFile(x));
    EXPECT_EQ(CliIn({"info", dash, "--json"}, "").status, 0);
    EXPECT_EQ(Cli({"demo", dir.Path("-"), "--type", "3330"}).status, 0);
    EXPECT_NE(Text(ReadFile(dash)), image);
}

// Text that a list command prints can be given back to the command that edits it.
TEST(CliRun, TextsAndOperatorsRoundTripThroughPipes) {
    TempDir dir;
    const std::string x = Sample(dir);
    const CliRun texts = Cli({"lang", "texts", x, "0"});
    ASSERT_EQ(texts.status, 0) << texts.err;
    // The same texts are the same bytes: nothing to save, as for any edit that changes nothing.
    const CliRun edited = CliIn({"lang", "edit", x, "0", "-", "-o", dir.Path("l.fls")}, texts.out);
    EXPECT_EQ(edited.status, 1) << edited.err;
    EXPECT_TRUE(Has(edited.err, "Nothing to save")) << edited.err;

    const CliRun shown = Cli({"ops", "show", x, "0"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    ASSERT_FALSE(shown.out.empty());
    const CliRun ops = CliIn({"ops", "edit", x, "0", "-", "-o", dir.Path("o.fls")}, shown.out);
    EXPECT_EQ(ops.status, 1) << ops.err;
    EXPECT_TRUE(Has(ops.err, "Nothing to save")) << ops.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("o.fls")));
    const CliRun renamed =
        CliIn({"ops", "edit", x, "0", "-", "-o", dir.Path("o.fls")}, shown.out + "99 Extra\n");
    ASSERT_EQ(renamed.status, 0) << renamed.err;
    EXPECT_TRUE(Has(Cli({"ops", "show", dir.Path("o.fls"), "0"}).out, shown.out));
}

// --quiet leaves out success lines, never errors; every command takes it.
TEST(CliRun, QuietDropsSuccessLinesOnly) {
    TempDir dir;
    const std::string x = Sample(dir);
    const CliRun loud = Cli({"tones", "delete", x, "0", "-o", dir.Path("a.fls")});
    ASSERT_EQ(loud.status, 0);
    EXPECT_NE(loud.err, "");
    const CliRun quiet = Cli({"tones", "delete", x, "0", "-o", dir.Path("b.fls"), "--quiet"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(ReadFile(dir.Path("a.fls")), ReadFile(dir.Path("b.fls")));
    EXPECT_EQ(Cli({"demo", dir.Path("c.fls"), "-q"}).err, "");
    const CliRun failed = Cli({"tones", "delete", x, "99", "-o", dir.Path("d.fls"), "-q"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(Has(failed.err, "Row 99")) << failed.err;
}

// A file name that is not UTF-8 still gives strict JSON.
TEST(CliRun, JsonWithNonUtf8FileName) {
    TempDir dir;
    const std::string x = Sample(dir);
    const std::string latin1 = dir.Path("caf\xE9.fls");
    std::filesystem::copy_file(x, latin1);
    const CliRun r = Cli({"info", latin1, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "caf\\u00E9.fls\"")) << r.out;
    EXPECT_FALSE(Has(r.out, "\xE9"));
}

// The habits of other command lines: "help [COMMAND]" is --help, a misspelt option is
// offered the nearest ones, and -q, --json and --type may come before the command.
TEST(CliRun, HelpSuggestionsAndOptionsBeforeTheCommand) {
    TempDir dir;
    const std::string x = Sample(dir);
    EXPECT_EQ(Cli({"help"}).out, Cli({"--help"}).out);
    EXPECT_EQ(Cli({"help"}).status, 0);
    const CliRun help = Cli({"help", "bmp", "export"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, Cli({"bmp", "export", "--help"}).out);
    EXPECT_TRUE(Has(help.out, "--format")) << help.out;

    const CliRun jsn = Cli({"info", x, "--jsn"});
    EXPECT_EQ(jsn.status, 2);
    EXPECT_TRUE(Has(jsn.err, "did you mean '--json'?")) << jsn.err;
    const CliRun place = Cli({"tones", "delete", x, "0", "--inplace"});
    EXPECT_TRUE(Has(place.err, "did you mean '--in-place'?")) << place.err;

    EXPECT_EQ(Cli({"--json", "info", x}).out, Cli({"info", x, "--json"}).out);
    EXPECT_EQ(Cli({"-q", "tones", "delete", x, "0", "-o", dir.Path("q.fls")}).err, "");
    EXPECT_EQ(Cli({"--type", "3310", "-q", "info", x, "--json"}).status, 0);
    EXPECT_EQ(Cli({"--type=9999", "info", x}).status, 2);
}

// Binary data goes to a terminal only by mistake: "-" as an output is refused there, with a
// hint, before anything is read; a pipe or a file takes it.
TEST(CliRun, BinaryDataIsNotWrittenToATerminal) {
    TempDir dir;
    const std::string x = Sample(dir);
    if (!OtherCli().empty()) {
        // Another program asks its own system: a pseudo-terminal from script(1) is one.
        if (Shell("command -v script >/dev/null") != 0) GTEST_SKIP() << "script(1) is missing";
        const std::string out = dir.Path("tty.txt");
        const auto onTerminal = [&](const std::string& args) {
            return Shell("script -qec " + ShellQuoted(CliCommand() + " " + args) +
                         " /dev/null </dev/null >" + ShellQuoted(out));
        };
        EXPECT_EQ(onTerminal("demo -"), 2);
        EXPECT_TRUE(Has(Text(ReadFile(out)), "not written to a terminal")) << Text(ReadFile(out));
        EXPECT_EQ(onTerminal("tones export " + ShellQuoted(x) + " 0 -"), 2);
        EXPECT_EQ(onTerminal("tones list " + ShellQuoted(x)), 0);
        // A device that is no terminal takes it like a file.
        EXPECT_EQ(Shell(CliCommand() + " demo - </dev/null >/dev/null"), 0);
        return;
    }
    SetStdoutTerminal(true);
    const CliRun tone = Cli({"tones", "export", x, "0", "-"});
    const CliRun image = Cli({"tones", "delete", x, "0", "-o", "-"});
    const CliRun demo = Cli({"demo", "-"});
    const CliRun text = Cli({"tones", "list", x});
    SetStdoutTerminal(false);
    for (const CliRun& r : {tone, image, demo}) {
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(Has(r.err, "not written to a terminal")) << r.err;
    }
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(Cli({"tones", "export", x, "0", "-"}).status, 0);
}

// --json and a file on standard output cannot share it: refused, said why, nothing written.
// A report without --json goes to stderr then, so that stdout carries the image alone.
TEST(CliRun, StandardOutputCarriesTheImageAlone) {
    TempDir dir;
    const std::string x = Sample(dir);
    const CliRun both = Cli({"security", "patch", x, "--whole", "--json", "-o", "-"});
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.out, "");
    EXPECT_TRUE(Has(both.err, "--json")) << both.err;
    const CliRun file = Cli({"security", "patch", x, "--whole", "-o", dir.Path("s.fls")});
    ASSERT_EQ(file.status, 0) << file.err;
    const CliRun piped = Cli({"security", "patch", x, "--whole", "-o", "-"});
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, Text(ReadFile(dir.Path("s.fls"))));
    EXPECT_TRUE(Has(piped.err, file.out)) << piped.err;
}

// What standard input cannot give is said so, not taken for an empty file; reading it twice
// is refused in those words.
TEST(CliRun, StandardInputFaultsAreNamed) {
    TempDir dir;
    const std::string x = Sample(dir);
    const std::string cli = NativeCliPath();
    const std::string errFile = dir.Path("err.txt");
    EXPECT_EQ(Shell("'" + cli + "' info - < '" + dir.Path("") + "' 2>'" + errFile + "'"), 1);
    EXPECT_TRUE(Has(Text(ReadFile(errFile)), "Cannot read standard input"))
        << Text(ReadFile(errFile));
    const std::string image = Text(ReadFile(x));
    const CliRun twice = CliIn({"tones", "add", "-", "-", "-o", dir.Path("y.fls")}, image);
    EXPECT_EQ(twice.status, 2);
    EXPECT_TRUE(Has(twice.err, "standard input can be read only once")) << twice.err;
    EXPECT_FALSE(Has(twice.err, "flash image")) << twice.err;
    EXPECT_EQ(CliIn({"diff", "-", "-"}, image).status, 2);
}
