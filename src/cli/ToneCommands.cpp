#include <map>
#include <memory>

#include "cli/CliCommon.h"
#include "app/FileFlow.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToptionFrm.h"

namespace brivant {

namespace {

const std::map<std::string, int>& KindNames() {
    static const std::map<std::string, int> kinds = {
        {"standard", kStandard},   {"special", kSpecial},         {"beep-once", kBeepOnce},
        {"ascending", kAscending}, {"start-shut", kStartShut},    {"alarm-clock", kAlarmClock},
        {"calendar", kCalendar},   {"system-error", kSystemError}};
    return kinds;
}

// Opens the image; the ringtone commands need a phone type and the cut PPM area.
void OpenForTones(CliSession& s) {
    s.Open();
    if (!RequireTypeAndImage(s.ed, s.ui)) throw CliExit{1};
}

void List(CliContext& ctx, const ImageOptions& o) {
    CliSession s(ctx, o);
    OpenForTones(s);
    const auto& rows = s.ed.tones.ringtones;
    if (o.json) {
        Json j;
        j.BeginObject().Key("rows").BeginArray();
        for (const auto& r : rows) {
            j.BeginObject();
            j.Key("name").Latin1(r.name).Key("id").String(r.id).Key("length").String(r.length);
            j.EndObject();
        }
        j.EndArray().Key("count").Number(static_cast<std::int64_t>(rows.size())).EndObject();
        ctx.out << j.Text() << '\n';
        return;
    }
    ctx.out << "row  RingTone          ID        Length\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string name = Latin1ToUtf8(rows[i].name);
        const std::size_t shown = rows[i].name.size();
        if (shown < 16) name.append(16 - shown, ' ');
        std::string row = std::to_string(i);
        row.resize(std::max<std::size_t>(row.size(), 4), ' ');
        ctx.out << row << ' ' << name << "  " << rows[i].id << "  " << rows[i].length << '\n';
    }
    ctx.out << s.ed.tones.ringtoneCount << '\n';
}

// Runs one editing command on the opened image and saves the result.
template <typename Command>
void Edit(CliContext& ctx, const ImageOptions& o, const std::string& in, Command command) {
    CliSession s(ctx, o);
    s.RequireOutput();
    OpenForTones(s);
    if (!in.empty()) s.ui.openFiles.push_back(in);
    command(s);
    s.CheckTold();
    s.Save();
}

void Export(CliContext& ctx, const ImageOptions& o, const std::string& out,
            const std::function<void(CliSession&)>& command) {
    CliSession s(ctx, o);
    OpenForTones(s);
    s.ui.saveFiles.push_back(out);
    command(s);
    s.CheckTold();
}

struct Args {
    ImageOptions o;
    int row = -1;
    std::string kind;
    std::string file;
    int repeat = 2;
    bool ascending = false;
};

CLI::App* Command(CLI::App* parent, const char* name, const char* what, Args& a) {
    auto* cmd = parent->add_subcommand(name, what);
    AddImage(cmd, a.o);
    return cmd;
}

void AddRow(CLI::App* cmd, Args& a) {
    cmd->add_option("ROW", a.row, "Row of the ringtone list (0-based)")->required();
}

void AddKind(CLI::App* cmd, Args& a) {
    cmd->add_option("KIND", a.kind,
                    "standard, special, beep-once, ascending, start-shut, alarm-clock, "
                    "calendar or system-error")
        ->required()
        ->check(CLI::IsMember({"standard", "special", "beep-once", "ascending", "start-shut",
                               "alarm-clock", "calendar", "system-error"}));
}

}  // namespace

void RegisterToneCommands(CLI::App& app, CliContext& ctx) {
    auto* tones = app.add_subcommand("tones", "List, export, change, add and delete ringtones");
    tones->require_subcommand(1);
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(tones, "list", "The ringtone list", *a);
        AddType(cmd, a->o);
        AddJson(cmd, a->o);
        cmd->callback([&ctx, a] { ctx.action = [&ctx, a] { List(ctx, a->o); }; });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(tones, "export", "Write one ringtone to a tone file (*.re)", *a);
        AddRow(cmd, *a);
        cmd->add_option("OUT", a->file, "Tone file to write")->required();
        AddType(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Export(ctx, a->o, a->file,
                       [a](CliSession& s) { RetrieveRingtone(s.ed, s.ed.tones, s.ui, a->row); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(tones, "change", "Replace one ringtone by a tone file (*.re)", *a);
        AddRow(cmd, *a);
        cmd->add_option("IN", a->file, "Tone file to read")->required()->check(CLI::ExistingFile);
        AddType(cmd, a->o);
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Edit(ctx, a->o, a->file,
                     [a](CliSession& s) { ChangeRingtone(s.ed, s.ed.tones, s.ui, a->row); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(tones, "add", "Append a ringtone from a tone file (*.re)", *a);
        cmd->add_option("IN", a->file, "Tone file to read")->required()->check(CLI::ExistingFile);
        AddType(cmd, a->o);
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Edit(ctx, a->o, a->file, [](CliSession& s) { AddRingtone(s.ed, s.ed.tones, s.ui); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(tones, "delete", "Remove one ringtone", *a);
        AddRow(cmd, *a);
        AddType(cmd, a->o);
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Edit(ctx, a->o, "", [a](CliSession& s) { DeleteRingtone(s.ed, s.ed.tones, s.ui, a->row); });
            };
        });
    }

    auto* alert = app.add_subcommand("alert", "Export or replace one of the eight alert tones");
    alert->require_subcommand(1);
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(alert, "export", "Write an alert tone to a tone file (*.re)", *a);
        AddKind(cmd, *a);
        cmd->add_option("OUT", a->file, "Tone file to write")->required();
        AddType(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Export(ctx, a->o, a->file, [a](CliSession& s) {
                    AlertToneDoIt(s.ed, s.ed.tones, s.ui, KindNames().at(a->kind), false);
                });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(alert, "change", "Replace an alert tone by a tone file (*.re)", *a);
        AddKind(cmd, *a);
        cmd->add_option("IN", a->file, "Tone file to read")->required()->check(CLI::ExistingFile);
        cmd->add_option("--repeat", a->repeat, "Repeat count, 1 to 20 (default 2)");
        cmd->add_flag("--ascending", a->ascending, "Rising volume instead of Normal");
        AddType(cmd, a->o);
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Edit(ctx, a->o, a->file, [a](CliSession& s) {
                    s.ui.dialogs.On<ToptionFrm>() = [a, &s](ToptionFrm& m) {
                        m.count = std::to_string(a->repeat);
                        m.ascending = a->ascending;
                        if (const auto message = m.PressOk()) {
                            s.ui.error(*message);
                            return false;
                        }
                        return true;
                    };
                    AlertToneDoIt(s.ed, s.ed.tones, s.ui, KindNames().at(a->kind), true);
                });
            };
        });
    }
}

}  // namespace brivant
