#include "cli/CliModule.h"
#include "cli/Rows.h"
#include "core/HexText.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"
#include "tones/ToptionFrm.h"

namespace brivant {

namespace {

// The alert tone kinds as the command line names them, in the order of the drop-down.
const std::vector<std::string>& KindNames() {
    static const std::vector<std::string> names = {"standard",  "special",     "beep-once",
                                                   "ascending", "start-shut",  "alarm-clock",
                                                   "calendar",  "system-error"};
    return names;
}

int KindOf(const std::string& name) {
    const auto& names = KindNames();
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
}

// The ringtone commands need a phone type and the cut PPM copy; the edits are saved.
constexpr Flow kRead{.needsType = true};
constexpr Flow kEdit{.saves = true, .needsType = true};

const std::vector<Column> kRingtoneColumns = {
    {"name", "RingTone", 16}, {"id", "ID", 8}, {"length", "Length", 8}};

void List(CliSession& s, const ImageOptions& o) {
    std::vector<Row> rows;
    for (const auto& r : s.ed.tones.ringtones) rows.push_back({r.name, r.id, r.length});
    PrintRows(s.ctx.out, o.json, kRingtoneColumns, rows, s.ed.tones.ringtoneCount);
}

struct ToneArgs : ImageOptions {
    int row = -1;
    std::string kind;
    std::string file;
    int repeat = 2;
    bool ascending = false;
};

Command<ToneArgs> Tone(CliContext& ctx, CLI::App* parent, const char* name, const char* help,
                       bool row) {
    Command<ToneArgs> c(ctx, parent, name, help);
    c.Image();
    if (row) AddRow(c.app(), "ROW", c.args().row, "Row of the ringtone list (0-based)");
    return c;
}

Command<ToneArgs> Alert(CliContext& ctx, CLI::App* parent, const char* name, const char* help) {
    Command<ToneArgs> c(ctx, parent, name, help);
    c.Image();
    c->add_option("KIND", c.args().kind, "Alert tone: " + ChoiceText(KindNames()))
        ->required()
        ->check(CLI::IsMember(KindNames()));
    return c;
}

void In(Command<ToneArgs>& c) {
    c->add_option("IN", c.args().file, "Tone file to read (- reads standard input)")->required();
}

void Out(Command<ToneArgs>& c) {
    c->add_option("OUT", c.args().file, "Tone file to write (- writes standard output)")
        ->required();
}

// The Options dialog as if the user had typed the repeat count, chosen the volume and
// pressed "&OK"; a count it refuses is told and ends the command.
void AnswerOptions(CliSession& s, const ToneArgs& a) {
    s.ui.dialogs.On<ToptionFrm>() = [&a, &s](ToptionFrm& m) {
        m.count = std::to_string(a.repeat);
        m.ascending = a.ascending;
        if (const auto message = m.PressOk()) {
            s.ui.error(*message);
            return false;
        }
        return true;
    };
}

void AddRingtoneCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* tones = AddGroup(app, "tones", "List, export, change, add and delete ringtones");

    Tone(ctx, tones, "list", "The ringtone list", false)
        .TypeOption()
        .JsonFlag()
        .RunsOnImage(kRead, List);

    auto exp = Tone(ctx, tones, "export", "Write one ringtone to a tone file (*.re)", true);
    Out(exp);
    exp.TypeOption().RunsOnImage(kRead, [](CliSession& s, const ToneArgs& a) {
        s.RequireRow(a.row, s.ed.tones.ringtones.size());
        s.ui.saveFiles.push_back(a.file);
        RetrieveRingtone(s.ed, s.ed.tones, s.ui, a.row);
    });

    auto change = Tone(ctx, tones, "change", "Replace one ringtone by a tone file (*.re)", true);
    In(change);
    change.TypeOption().Output().RunsOnImage(kEdit, [](CliSession& s, const ToneArgs& a) {
        s.RequireRow(a.row, s.ed.tones.ringtones.size());
        s.ui.openFiles.push_back(a.file);
        ChangeRingtone(s.ed, s.ed.tones, s.ui, a.row);
    });

    auto add = Tone(ctx, tones, "add", "Append a ringtone from a tone file (*.re)", false);
    In(add);
    add.TypeOption().Output().RunsOnImage(kEdit, [](CliSession& s, const ToneArgs& a) {
        s.ui.openFiles.push_back(a.file);
        AddRingtone(s.ed, s.ed.tones, s.ui);
    });

    Tone(ctx, tones, "delete", "Remove one ringtone", true)
        .TypeOption()
        .Output()
        .RunsOnImage(kEdit, [](CliSession& s, const ToneArgs& a) {
            s.RequireRow(a.row, s.ed.tones.ringtones.size());
            DeleteRingtone(s.ed, s.ed.tones, s.ui, a.row);
        });
}

void AddAlertCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* alert = AddGroup(app, "alert", "Export or replace one of the eight alert tones");

    auto exp = Alert(ctx, alert, "export", "Write an alert tone to a tone file (*.re)");
    Out(exp);
    exp.TypeOption().RunsOnImage(kRead, [](CliSession& s, const ToneArgs& a) {
        s.ui.saveFiles.push_back(a.file);
        AlertToneDoIt(s.ed, s.ed.tones, s.ui, KindOf(a.kind), false);
    });

    auto change = Alert(ctx, alert, "change", "Replace an alert tone by a tone file (*.re)");
    In(change);
    // The range is the Options dialog's to check, with its own message.
    AddNumber(change.app(), "--repeat", change.args().repeat, "Repeat count, 1 to 20 (default 2)",
              0);
    change->add_flag("--ascending", change.args().ascending, "Rising volume instead of Normal");
    change.TypeOption().Output().RunsOnImage(kEdit, [](CliSession& s, const ToneArgs& a) {
        s.ui.openFiles.push_back(a.file);
        AnswerOptions(s, a);
        AlertToneDoIt(s.ed, s.ed.tones, s.ui, KindOf(a.kind), true);
    });
}

}  // namespace

// Ringtones and alert tones.
void ToneCommands(CLI::App& app, CliContext& ctx) {
    AddRingtoneCommands(app, ctx);
    AddAlertCommands(app, ctx);
}

}  // namespace brivant
