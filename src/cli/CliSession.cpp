#include "cli/CliSession.h"

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"

namespace brivant {

namespace {
constexpr const char* kAlreadyDetected = "Phone type already detected as %s";
constexpr const char* kNeedsOutput =
    "this command changes the image: give -o OUT.fls or --in-place";
constexpr const char* kNoAnswer = "no answer given to: ";
}  // namespace

void UsageError(CliContext& ctx, const std::string& text) {
    ctx.err << kProgramPrefix << text << '\n';
    throw CliExit{2};
}

void UnknownPhoneType(CliContext& ctx, const std::string& type) {
    UsageError(ctx, "--type: unknown phone type '" + type + "'");
}

CliSession::CliSession(CliContext& c, const ImageOptions& o) : ui(c.err), options(o), ctx(c) {}

void CliSession::Open(bool tolerant) {
    const ImageOptions& o = options;
    int wanted = 0;
    if (!o.type.empty()) {
        wanted = PhoneTypeIndex(o.type);
        if (wanted == 0) UnknownPhoneType(ctx, o.type);
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
            ui.error(Format(kAlreadyDetected, {ed.PhoneTypeText()}));
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
    if (options.out.empty() && !options.inPlace) UsageError(ctx, kNeedsOutput);
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
        ctx.err << kProgramPrefix << kNoAnswer << ui.Unanswered() << '\n';
        throw CliExit{1};
    }
    if (ui.HadError()) throw CliExit{1};
}

void RunOnImage(CliContext& ctx, const ImageOptions& o, const Flow& flow,
                const std::function<void(CliSession&)>& command) {
    CliSession s(ctx, o);
    if (flow.saves) s.RequireOutput();
    s.Open(flow.tolerant);
    if (flow.needsType && !RequireTypeAndImage(s.ed, s.ui)) throw CliExit{1};
    if (flow.tab) {
        TabChanged(s.ed, s.ui, *flow.tab);
        s.CheckTold();
    }
    command(s);
    // A look-only command still shows what it can after a told failure.
    if (!flow.tolerant) s.CheckTold();
    if (flow.saves) s.Save();
}

}  // namespace brivant
