#include "cli/CliCommon.h"

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "image/PhoneTypes.h"
#include "core/UserError.h"

namespace brivant {

CliSession::CliSession(CliContext& c, const ImageOptions& o) : ui(c.err), options(o), ctx(c) {}

void CliSession::Open(bool tolerant) {
    const ImageOptions& o = options;
    int wanted = 0;
    if (!o.type.empty()) {
        wanted = PhoneTypeIndex(o.type);
        if (wanted == 0) {
            ctx.err << "brivant-cli: --type: unknown phone type '" << o.type << "'\n";
            throw CliExit{2};
        }
    }
    try {
        OpenPath(ed, ui, o.image);
    } catch (const UserError& e) {
        ui.error(e.what());
        // A loaded image whose detection or reading failed can still be looked at.
        if (!tolerant || ed.MainHex.FileName() != o.image) throw CliExit{1};
    }
    if (wanted != 0 && ed.PhoneType() != wanted) {
        if (!ed.phoneList.enabled && ed.PhoneType() != 0) {
            ui.error(Format("Phone type already detected as %s", {ed.PhoneTypeText()}));
            throw CliExit{1};
        }
        try {
            ChoosePhoneType(ed, ui, wanted);
        } catch (const UserError& e) {
            ui.error(e.what());
            if (!tolerant) throw CliExit{1};
        }
    }
    if (!tolerant) CheckTold();
}

void CliSession::RequireOutput() {
    if (options.out.empty() && !options.inPlace) {
        ctx.err << "brivant-cli: this command changes the image: give -o OUT.fls or --in-place\n";
        throw CliExit{2};
    }
}

void CliSession::Save() {
    const ImageOptions& o = options;
    const std::string target = o.inPlace ? o.image : o.out;
    ui.checksumOk = !o.noChecksum;
    if (!CanSave(ed, ui)) throw CliExit{1};
    try {
        SavePath(ed, ui, target);
    } catch (const UserError& e) {
        ui.error(e.what());
        throw CliExit{1};
    }
    CheckTold();
}

void CliSession::CheckTold() {
    if (!ui.Unanswered().empty()) {
        ctx.err << "brivant-cli: no answer given to: " << ui.Unanswered() << '\n';
        throw CliExit{1};
    }
    if (ui.HadError()) throw CliExit{1};
}

void AddImage(CLI::App* cmd, ImageOptions& o) {
    cmd->add_option("IMAGE", o.image, "Flash image (*.fls)")->required()->check(CLI::ExistingFile);
}

void AddType(CLI::App* cmd, ImageOptions& o) {
    cmd->add_option("--type", o.type,
                    "Phone type (such as 3310 or 62XX/7110) when detection finds none");
}

void AddJson(CLI::App* cmd, ImageOptions& o) {
    cmd->add_flag("--json", o.json, "Print one JSON object");
}

void AddOutput(CLI::App* cmd, ImageOptions& o) {
    auto* out = cmd->add_option("-o,--output", o.out, "Write the result to this file");
    auto* in =
        cmd->add_flag("--in-place", o.inPlace, "Write the result over IMAGE (keeps IMAGE.bak)");
    out->excludes(in);
    cmd->add_flag("--no-checksum", o.noChecksum, "Leave the saved file's checksums as they are");
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Brivant Pro command line: inspect and edit flash images (*.fls)", "brivant-cli"};
    app.require_subcommand(1);
    CliContext ctx{out, err, {}};
    RegisterCoreCommands(app, ctx);
    RegisterTextCommands(app, ctx);
    RegisterToneCommands(app, ctx);
    // Each subsystem registers its commands here.
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);
        err << "brivant-cli: " << e.what() << "\nRun with --help for more information.\n";
        return 2;
    }
    if (!ctx.action) return 2;
    try {
        ctx.action();
    } catch (const CliExit& e) {
        return e.status;
    } catch (const UserError& e) {
        err << "brivant-cli: " << MessageLine(e.what()) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace brivant
