#include "cli/RunCli.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iostream>

#include "cli/CliModule.h"
#include "core/FileIO.h"
#include "core/UserError.h"

#ifndef BRIVANT_VERSION
#define BRIVANT_VERSION "unknown"
#endif

namespace brivant {

namespace {

constexpr const char* kProgram = "brivant-cli";
constexpr const char* kNotACommand = "'%s' is not a brivant-cli command";
constexpr const char* kSeeHelp = "Run with --help for more information.";
constexpr const char* kCannotWrite = "Cannot write to standard output (%s)";
constexpr const char* kReportTooLarge =
    "The output does not fit in memory: ask for less at once (a narrower search or range)";

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // Optimal string alignment: insertions, deletions, changes and swaps of neighbours.
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

std::vector<std::string> SubcommandNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
        names.push_back(sub->get_name());
    return names;
}

// The message for the first command or subcommand word that names none, or empty. Only
// the words up to the first option are looked at: what follows belongs to the command.
std::string UnknownCommand(CLI::App& app, int argc, const char* const* argv) {
    CLI::App* node = &app;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] == '-') return {};
        const std::vector<std::string> names = SubcommandNames(*node);
        if (names.empty()) return {};
        const std::string shown = path.empty() ? word : path + " " + word;
        if (std::find(names.begin(), names.end(), word) == names.end()) {
            std::string text = Format(kNotACommand, {shown});
            std::vector<std::string> quoted;
            for (const std::string& n : ClosestNames(word, names))
                quoted.push_back("'" + (path.empty() ? n : path + " " + n) + "'");
            if (!quoted.empty()) text += "; did you mean " + ChoiceText(quoted) + "?";
            return text;
        }
        node = node->get_subcommand(word);
        path = shown;
    }
    return {};
}

bool& StdoutTerminal() {
    static bool terminal = false;
    return terminal;
}

// The words as the parser takes them: "help [COMMAND...]" as "COMMAND... --help", as git
// and many programs take it, and the options every command shares (-q, --json, --type)
// moved from before the command to behind it, where the command's parser takes them.
std::vector<std::string> Normalized(int argc, const char* const* argv) {
    std::vector<std::string> words(argv, argv + argc);
    if (words.size() > 1 && words[1] == "help") {
        words.erase(words.begin() + 1);
        words.emplace_back("--help");
        return words;
    }
    std::vector<std::string> leading;
    std::size_t i = 1;
    while (i < words.size()) {
        const std::string& w = words[i];
        if (w == "-q" || w == "--quiet" || w == "--json" || w.starts_with("--type=")) {
            leading.push_back(w);
            ++i;
        } else if (w == "--type" && i + 1 < words.size()) {
            leading.push_back(w);
            leading.push_back(words[i + 1]);
            i += 2;
        } else {
            break;
        }
    }
    if (leading.empty() || i == words.size()) return words;
    std::vector<std::string> moved = {words[0]};
    moved.insert(moved.end(), words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
    const auto end = std::find(moved.begin() + 1, moved.end(), "--");
    moved.insert(end, leading.begin(), leading.end());
    return moved;
}

// "; did you mean '--json'?" for the first long option the chosen command does not take,
// when one of its own is near; empty otherwise.
std::string OptionSuggestion(CLI::App& app, const std::vector<std::string>& words) {
    CLI::App* node = &app;
    while (!node->get_subcommands().empty()) node = node->get_subcommands().front();
    std::vector<std::string> names = {"--help"};
    for (const CLI::Option* o : node->get_options())
        for (const std::string& l : o->get_lnames()) names.push_back("--" + l);
    for (std::size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
        const std::string word = words[i].substr(0, words[i].find('='));
        if (!word.starts_with("--") || word.size() < 3) continue;
        if (std::find(names.begin(), names.end(), word) != names.end()) continue;
        std::vector<std::string> quoted;
        for (const std::string& n : ClosestNames(word, names)) quoted.push_back("'" + n + "'");
        return quoted.empty() ? std::string() : "; did you mean " + ChoiceText(quoted) + "?";
    }
    return {};
}

// Arguments that name a file the command reads: standard input can stand for one of them.
constexpr std::array<std::string_view, 8> kInputArgs = {"IMAGE",  "IN", "TEXTS", "OPS",
                                                        "RECIPE", "A",  "B",     "FIRST"};
constexpr const char* kStdinForOneInput =
    "standard input can be read only once: give \"-\" for at most one input file";

// How many inputs of the chosen command are "-": more than one cannot be, and is told before
// the first of them is read (which would take all of standard input for itself).
int StdinInputs(CLI::App& app) {
    CLI::App* node = &app;
    while (!node->get_subcommands().empty()) node = node->get_subcommands().front();
    int count = 0;
    for (const CLI::Option* o : node->get_options()) {
        if (!o->get_positional()) continue;
        if (std::find(kInputArgs.begin(), kInputArgs.end(), o->get_name()) == kInputArgs.end())
            continue;
        for (const std::string& r : o->results()) count += StandIns::IsStdio(r) ? 1 : 0;
    }
    return count;
}

int Run(int argc0, const char* const* argv0, std::istream& in, std::ostream& out,
        std::ostream& rawErr) {
    const std::vector<std::string> words = Normalized(argc0, argv0);
    std::vector<const char*> pointers;
    for (const std::string& w : words) pointers.push_back(w.c_str());
    const int argc = static_cast<int>(pointers.size());
    const char* const* argv = pointers.data();
    // The first word picks the module to declare; "--version" alone needs none of them.
    std::string_view first = argc > 1 ? std::string_view(argv[1]) : std::string_view();
    if (first == "--version" && argc > 2) first = {};
    CommandTable table(in, out, rawErr, first);
    CLI::App& app = table.app;
    CliContext& ctx = table.ctx;
    std::ostream& err = table.err;
    if (const std::string unknown = UnknownCommand(app, argc, argv); !unknown.empty()) {
        err << kProgramPrefix << unknown << '\n' << kSeeHelp << '\n';
        return table.Finish(2);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return table.Finish(app.exit(e, out, err));
        err << kProgramPrefix << e.what() << OptionSuggestion(app, words) << '\n'
            << kSeeHelp << '\n';
        return table.Finish(2);
    }
    if (!ctx.action) return table.Finish(2);
    if (StdinInputs(app) > 1) {
        err << kProgramPrefix << kStdinForOneInput << '\n';
        return table.Finish(2);
    }
    int status = 0;
    try {
        ctx.action();
    } catch (const CliExit& e) {
        status = e.status;
    } catch (const UserError& e) {
        err << kProgramPrefix << MessageLine(e.what()) << '\n';
        status = 1;
    }
    return table.Finish(status);
}

}  // namespace

CommandTable::CommandTable(std::istream& in, std::ostream& out, std::ostream& rawErr,
                           std::string_view first)
    : out(out),
      standIns(in),
      shownPaths(rawErr, standIns),
      err(&shownPaths),
      app("Brivant Pro command line: inspect and edit flash images (*.fls)", kProgram),
      ctx{report, err, {}, &standIns} {
    ctx.stdoutTerminal = StdoutTerminal();
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string(kProgram) + " " + BRIVANT_VERSION,
                         "Print the program's name and version and exit");
    RegisterModules(app, ctx, first);
}

int CommandTable::Finish(int status) {
    // A report whose storage ran out while it grew has lost its end: a cut list or a cut JSON
    // document is not handed on as if it were the whole answer.
    if (report.fail()) {
        report.str({});
        err << kProgramPrefix << kReportTooLarge << '\n';
        status = std::max(status, 1);
    }
    const std::string text = report.str();
    report.str({});
    if (!text.empty()) (standIns.HasOutput() ? err : out) << text;
    try {
        if (status == 0) standIns.Deliver(out);
    } catch (const UserError& e) {
        err << kProgramPrefix << MessageLine(e.what()) << '\n';
        status = 1;
    }
    // A result that did not reach its reader is a failure, whatever the command thought:
    // a full disk or a closed pipe behind standard output must not look like success.
    errno = 0;
    out.flush();
    if (!out) {
        const int reason = errno;
        err << kProgramPrefix
            << Format(kCannotWrite, {reason ? SystemErrorText(reason) : "write failed"}) << '\n';
        status = std::max(status, ctx.cannotWriteStatus);
    }
    return status;
}

std::vector<std::string> ClosestNames(std::string_view word,
                                      const std::vector<std::string>& names) {
    // Up to one edit in four letters, at least one: "bmpp" finds "bmp", "lst" finds "list".
    const std::size_t most = std::max<std::size_t>(1, (word.size() + 3) / 4);
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const std::string& n : names) {
        const std::size_t d = EditDistance(word, n);
        const bool begins = word.size() >= 2 && n.starts_with(word);
        if (d <= most || begins) near.emplace_back(begins ? std::min(d, most) : d, n);
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Only the nearest: a list of everything within reach helps less than one good guess.
    std::vector<std::string> best;
    for (const auto& [d, n] : near)
        if (d == near.front().first) best.push_back(n);
    return best;
}

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err) {
    int status = Run(argc, argv, in, out, err);
    err.flush();
    if (!err && status == 0) status = 1;
    return status;
}

void SetStdoutTerminal(bool terminal) {
    StdoutTerminal() = terminal;
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    return RunCli(argc, argv, std::cin, out, err);
}

}  // namespace brivant
