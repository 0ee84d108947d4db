#include "cli/CliModule.h"

namespace brivant {

// The command modules, in the order --help lists their commands: one line each. A module is
// its own file <Feature>Commands.cpp defining `void <Feature>Commands(CLI::App&, CliContext&)`.
// clang-format off
#define BRIVANT_CLI_MODULES(MODULE) \
    MODULE(CoreCommands) \
    MODULE(TextCommands) \
    MODULE(ToneCommands) \
    MODULE(PatchCommands) \
    MODULE(AniCommands) \
    MODULE(GraphicsCommands) \
    MODULE(MenuCommands) \
    MODULE(SecurityCommands) \
    MODULE(DiffCommands)
// clang-format on

#define BRIVANT_DECLARE_MODULE(name) void name(CLI::App& app, CliContext& ctx);
BRIVANT_CLI_MODULES(BRIVANT_DECLARE_MODULE)

void RegisterModules(CLI::App& app, CliContext& ctx) {
#define BRIVANT_REGISTER_MODULE(name) name(app, ctx);
    BRIVANT_CLI_MODULES(BRIVANT_REGISTER_MODULE)
}

}  // namespace brivant
