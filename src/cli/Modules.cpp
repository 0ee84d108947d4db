#include <algorithm>
#include <array>

#include "cli/CliModule.h"

namespace brivant {

// A module is its own file <Feature>Commands.cpp defining
// `void <Feature>Commands(CLI::App&, CliContext&)`.
#define BRIVANT_DECLARE_MODULE(name) void name(CLI::App& app, CliContext& ctx);
BRIVANT_DECLARE_MODULE(CoreCommands)
BRIVANT_DECLARE_MODULE(TextCommands)
BRIVANT_DECLARE_MODULE(ToneCommands)
BRIVANT_DECLARE_MODULE(PatchCommands)
BRIVANT_DECLARE_MODULE(AniCommands)
BRIVANT_DECLARE_MODULE(GraphicsCommands)
BRIVANT_DECLARE_MODULE(MenuCommands)
BRIVANT_DECLARE_MODULE(SecurityCommands)
BRIVANT_DECLARE_MODULE(DiffCommands)
BRIVANT_DECLARE_MODULE(CheckCommands)
BRIVANT_DECLARE_MODULE(ApplyCommands)

namespace {
// The command modules in the order --help lists their commands, each with the top-level
// commands it adds (a test checks these against what each module really adds).
constexpr std::array<CliModuleEntry, 11> kModules{{
    {"CoreCommands", CoreCommands, "demo info search checksum chunk space"},
    {"TextCommands", TextCommands, "lang ops"},
    {"ToneCommands", ToneCommands, "tones alert"},
    {"PatchCommands", PatchCommands, "patch"},
    {"AniCommands", AniCommands, "ani"},
    {"GraphicsCommands", GraphicsCommands, "bmp"},
    {"MenuCommands", MenuCommands, "menu"},
    {"SecurityCommands", SecurityCommands, "security"},
    {"DiffCommands", DiffCommands, "diff"},
    {"CheckCommands", CheckCommands, "check"},
    {"ApplyCommands", ApplyCommands, "apply"},
}};

bool Names(std::string_view list, std::string_view command) {
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(' '), list.size());
        if (list.substr(0, end) == command) return true;
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return false;
}
}  // namespace

std::span<const CliModuleEntry> CliModules() {
    return kModules;
}

void RegisterModules(CLI::App& app, CliContext& ctx, std::string_view command) {
    // Declaring every command's options costs more than most commands themselves: when the
    // first argument names a command, only its module is declared. Anything else (no
    // command, --help, a misspelt command) gets them all, so help and errors list every one.
    const auto owner = std::find_if(kModules.begin(), kModules.end(), [&](const auto& m) {
        return !command.empty() && Names(m.commands, command);
    });
    if (owner != kModules.end()) return owner->add(app, ctx);
    if (command == "--version") return;
    for (const CliModuleEntry& m : kModules) m.add(app, ctx);
}

}  // namespace brivant
