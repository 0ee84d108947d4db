#include <optional>

#include "cli/CliModule.h"
#include "cli/Json.h"
#include "core/HexText.h"
#include "menu/SecurityPatch.h"
#include "menu/SecurityPatterns.h"
#include "menu/SecurityState.h"

namespace brivant {

namespace {

// The patch asks for the phone type itself, with its own message, and changes the image.
constexpr Flow kPatch{.saves = true};
constexpr const char* kOneItem = "give one of --whole, --inbox, --outbox or --manual";

struct SecurityArgs : ImageOptions {
    bool whole = false, inbox = false, outbox = false;
    std::vector<std::string> manual;  // GUARD SECURITY
};

int ChoiceOf(const SecurityArgs& a) {
    if (a.inbox) return kInbox;
    if (a.outbox) return kOutbox;
    if (!a.manual.empty()) return kManual;
    return kWholeMenu;
}

// The three blocks written: where each lies in the image, its bytes before and after.
void Print(std::ostream& out, bool json, const SecurityPatch& p) {
    const std::pair<const char*, const PatchedBlock*> blocks[] = {
        {"guarded", &p.guarded}, {"security", &p.security}, {"redirect", &p.redirect}};
    if (json) {
        Json j;
        j.BeginObject();
        for (const auto& [name, b] : blocks) {
            j.Key(name).BeginObject();
            j.Key("offset").Number(b->offset);
            j.Key("old").String(BytesToHex(b->before));
            j.Key("new").String(BytesToHex(b->after));
            j.EndObject();
        }
        out << j.EndObject().Text() << '\n';
        return;
    }
    for (const auto& [name, b] : blocks) {
        const std::string label = name;
        out << label << std::string(10 - label.size(), ' ')
            << IntToHex(static_cast<std::uint32_t>(b->offset), 8) << "  " << BytesToHex(b->before)
            << " -> " << BytesToHex(b->after) << '\n';
    }
}

void Patch(CliContext& ctx, const SecurityArgs& a) {
    if (!a.whole && !a.inbox && !a.outbox && a.manual.empty()) UsageError(ctx, kOneItem);
    std::optional<SecurityPatch> done;
    RunOnImage(ctx, a, kPatch, [&](CliSession& s) {
        ChooseSecurityOption(s.ed.security, ChoiceOf(a));
        if (!a.manual.empty()) {
            // As the browser hands the records over: each field keeps its last 32 digits.
            SetSecurityField(s.ed.security, 1, a.manual[0]);
            SetSecurityField(s.ed.security, 2, a.manual[1]);
        }
        done = PatchSecurityCode(s.ed, s.ed.security, s.ui);
    });
    // Shown once the image was saved: a failed save ends the command before.
    if (done) Print(ctx.out, a.json, *done);
}

}  // namespace

// The security-code patch of the Messages menu.
void SecurityCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* security = AddGroup(app, "security", "Guard the Messages menu by the security code");

    Command<SecurityArgs> patch(
        ctx, security, "patch",
        "Ask for the security code before the Messages menu, its Inbox or its "
        "Outbox opens");
    patch.Image();
    SecurityArgs& a = patch.args();
    // The item to guard, one of four. Declared side by side, not as an option group: the
    // parser never finishes on an empty argument in a command with a group.
    const std::vector<CLI::Option*> items = {
        patch->add_flag("--whole", a.whole, "The whole Messages menu"),
        patch->add_flag("--inbox", a.inbox, "Its Inbox"),
        patch->add_flag("--outbox", a.outbox, "Its Outbox"),
        patch
            ->add_option("--manual", a.manual,
                         "The item to guard and the security item: two menu records as hex "
                         "text, as the menu browser hands them over")
            ->expected(2)
            ->type_name("GUARD SECURITY")};
    for (CLI::Option* x : items)
        for (CLI::Option* y : items)
            if (x != y) x->excludes(y);
    patch.TypeOption().JsonFlag().Output().Runs(Patch);
}

}  // namespace brivant
