#include "cli/RunCli.h"

#include <algorithm>
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

int Run(int argc, const char* const* argv, std::istream& in, std::ostream& out,
        std::ostream& rawErr) {
    CommandTable table(in, out, rawErr, argc > 1 ? std::string_view(argv[1]) : std::string_view());
    CLI::App& app = table.app;
    CliContext& ctx = table.ctx;
    std::ostream& err = table.err;
    StandIns& standIns = table.standIns;
    if (const std::string unknown = UnknownCommand(app, argc, argv); !unknown.empty()) {
        err << kProgramPrefix << unknown << '\n' << kSeeHelp << '\n';
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);
        err << kProgramPrefix << e.what() << '\n' << kSeeHelp << '\n';
        return 2;
    }
    if (!ctx.action) return 2;
    try {
        ctx.action();
        standIns.Deliver(out);
    } catch (const CliExit& e) {
        return e.status;
    } catch (const UserError& e) {
        err << kProgramPrefix << MessageLine(e.what()) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

CommandTable::CommandTable(std::istream& in, std::ostream& out, std::ostream& rawErr,
                           std::string_view first)
    : standIns(in),
      shownPaths(rawErr, standIns),
      err(&shownPaths),
      app("Brivant Pro command line: inspect and edit flash images (*.fls)", kProgram),
      ctx{out, err, {}, &standIns} {
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string(kProgram) + " " + BRIVANT_VERSION,
                         "Print the program's name and version and exit");
    RegisterModules(app, ctx, first);
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
    // A result that did not reach its reader is a failure, whatever the command thought:
    // a full disk or a closed pipe behind standard output must not look like success.
    errno = 0;
    out.flush();
    if (!out) {
        const int reason = errno;
        err << kProgramPrefix
            << Format(kCannotWrite, {reason ? SystemErrorText(reason) : "write failed"}) << '\n';
        status = 1;
    }
    err.flush();
    if (!err && status == 0) status = 1;
    return status;
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    return RunCli(argc, argv, std::cin, out, err);
}

}  // namespace brivant
