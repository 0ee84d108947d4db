#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/CliModule.h"
#include "cli/CommandDocs.h"
#include "support/CliProgram.h"

using namespace brivant;

namespace {
std::vector<std::string> Words(std::string_view list) {
    std::vector<std::string> words;
    std::istringstream in{std::string(list)};
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}
}  // namespace

// The pages and completions come from the same table the program parses with: every command
// of every module is there, with the options it really has.
TEST(CommandDocs, EveryCommandHasASectionAndCompletes) {
    std::istringstream in;
    std::ostringstream out, err;
    CommandTable table(in, out, err);
    const std::string page = CliManPage(table.app, {"9.9", "2001-02-03"});
    const std::string bash = BashCompletion(table.app);
    const std::string zsh = ZshCompletion(table.app);
    EXPECT_NE(page.find(".TH BRIVANT-CLI 1 2001-02-03 \"Brivant Pro 9.9\""), std::string::npos);
    for (const CliModuleEntry& m : CliModules()) {
        for (const std::string& command : Words(m.commands)) {
            const CLI::App* app = table.app.get_subcommand(command);
            const auto subs = app->get_subcommands([](const CLI::App*) { return true; });
            std::vector<std::string> paths;
            if (subs.empty()) paths.push_back(command);
            for (const CLI::App* s : subs) paths.push_back(command + " " + s->get_name());
            for (const std::string& path : paths) {
                EXPECT_NE(page.find(".SS \"" + path + "\"\n"), std::string::npos) << path;
                EXPECT_NE(bash.find("'" + path + "') echo '"), std::string::npos) << path;
                EXPECT_NE(zsh.find("'" + path + "')\n"), std::string::npos) << path;
            }
        }
    }
    // Options as the parser knows them, roff-escaped in the page.
    EXPECT_NE(page.find("\\fB\\-\\-quiet\\fR"), std::string::npos);
    EXPECT_NE(bash.find("'tones delete') echo '"), std::string::npos);
    EXPECT_NE(bash.find("--in-place"), std::string::npos);
    for (const char* section : {".SH \"PHONE TYPES\"", ".SH \"FILE FORMATS\"", ".SH ENVIRONMENT",
                                ".SH \"EXIT STATUS\"", ".SH \"SEE ALSO\"", "62XX/7110"})
        EXPECT_NE(page.find(section), std::string::npos) << section;
    const std::string window = WindowManPage({"9.9", "2001-02-03"});
    for (const char* part : {".TH BRIVANT 1 2001-02-03", "BRIVANT_SCREENSHOT",
                             "BRIVANT_STARTUP_TIMING", "\\fBbrivant\\-cli\\fR(1)"})
        EXPECT_NE(window.find(part), std::string::npos) << part;
}

// The README's command reference is the table's: a command, option or input format added or
// described anew without writing it again (brivant-cli-docs --readme README.md) fails here.
TEST(CommandDocs, TheReadmeReferenceIsTheCommandTable) {
    std::istringstream in;
    std::ostringstream out, err;
    CommandTable table(in, out, err);
    const std::string source = test::SourceDir();
    ASSERT_FALSE(source.empty()) << "source tree not found: set BRIVANT_SOURCE_DIR";
    std::ifstream file(source + "/README.md", std::ios::binary);
    std::ostringstream readme;
    readme << file.rdbuf();
    const std::string text = readme.str();
    ASSERT_NE(text.find(kReadmeBegin), std::string::npos);
    EXPECT_EQ(WithReadmeReference(text, table.app), text)
        << "run: brivant-cli-docs --readme README.md";
    const std::string reference = CliReadmeReference(table.app);
    for (const char* part :
         {"**`check IMAGE`**", "**`ani export IMAGE ANI OUT`**", "`--threshold", "`--dither`",
          "`--fit`", "`--format gif|png`", "JPEG", "default 128", "`checksum IMAGE`", "`--check`"})
        EXPECT_NE(reference.find(part), std::string::npos) << part;
}

// Completions offer the values of the arguments and options that take one of a list: alert
// kinds, chunk tags, --format, --type.
TEST(CommandDocs, CompletionsOfferListedValues) {
    std::istringstream in;
    std::ostringstream out, err;
    CommandTable table(in, out, err);
    const std::string bash = BashCompletion(table.app);
    const std::string zsh = ZshCompletion(table.app);
    for (const char* part : {"'alert export|') echo 'standard special beep-once",
                             "'ani export|--format') echo 'gif png'",
                             "'bmp export|--format') echo 'bmp png'", "'chunk export|') echo 'TONE",
                             "'diff|--type') echo '51XX 61XX", "'menu move|') echo 'up down'"})
        EXPECT_NE(bash.find(part), std::string::npos) << part;
    EXPECT_NE(zsh.find("'ani export|--format')\n        print -r -- 'gif'\n"), std::string::npos);
}
