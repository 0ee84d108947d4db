#include "cli/RunCli.h"

#include "cli/CliModule.h"
#include "core/UserError.h"

namespace brivant {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Brivant Pro command line: inspect and edit flash images (*.fls)", "brivant-cli"};
    app.require_subcommand(1);
    CliContext ctx{out, err, {}};
    RegisterModules(app, ctx, argc > 1 ? std::string_view(argv[1]) : std::string_view());
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);
        err << kProgramPrefix << e.what() << "\nRun with --help for more information.\n";
        return 2;
    }
    if (!ctx.action) return 2;
    try {
        ctx.action();
    } catch (const CliExit& e) {
        return e.status;
    } catch (const UserError& e) {
        err << kProgramPrefix << MessageLine(e.what()) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace brivant
