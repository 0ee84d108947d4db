#include <fstream>
#include <memory>
#include <sstream>

#include "cli/CliCommon.h"
#include "app/FileFlow.h"
#include "core/FileIO.h"
#include "core/UserError.h"
#include "texts/Languages.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"

namespace brivant {

namespace {

constexpr const char* kNoSuchRow = "Row %s does not exist: the list has %s rows";
constexpr const char* kLineCount = "%s holds %s texts, the language has %s";
constexpr const char* kBadOperatorLine =
    "Line %s of %s: expected the two-digit network code, one space and the name";

// The lines of a UTF-8 text file as byte texts (one byte per character). A last line
// ending is not an extra empty line.
std::vector<std::string> ReadLines(const std::string& path) {
    const Bytes data = ReadWholeFile(path, "Cannot open %s.\r\n(%s.)");
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(std::string(data.begin(), data.end()));
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(Utf8ToLatin1(line));
    }
    return lines;
}

// Opens the image and shows the tab, as the window does before its list can be used.
void OpenOnTab(CliSession& s, Tab tab) {
    s.Open();
    if (!RequireTypeAndImage(s.ed, s.ui)) throw CliExit{1};
    TabChanged(s.ed, s.ui, tab);
    s.CheckTold();
}

void RequireRow(CliSession& s, int row, std::size_t rows) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows) {
        s.ui.error(Format(kNoSuchRow, {std::to_string(row), std::to_string(rows)}));
        throw CliExit{1};
    }
}

// Runs one command over the opened tab and saves the result.
void Change(CliContext& ctx, const ImageOptions& o, Tab tab,
            const std::function<void(CliSession&)>& command) {
    CliSession s(ctx, o);
    s.RequireOutput();
    OpenOnTab(s, tab);
    command(s);
    s.CheckTold();
    s.Save();
}

// Runs one command that only reads (lists, exports).
void Read(CliContext& ctx, const ImageOptions& o, Tab tab,
          const std::function<void(CliSession&)>& command) {
    CliSession s(ctx, o);
    OpenOnTab(s, tab);
    command(s);
    s.CheckTold();
}

std::string Column(std::string utf8, std::size_t shown, std::size_t width) {
    if (shown < width) utf8.append(width - shown, ' ');
    return utf8;
}

void LangList(CliSession& s, const ImageOptions& o) {
    const auto& rows = s.ed.texts.languages;
    std::ostream& out = s.ctx.out;
    if (o.json) {
        Json j;
        j.BeginObject().Key("rows").BeginArray();
        for (const auto& r : rows) {
            j.BeginObject().Key("language").Latin1(r.language);
            j.Key("id").String(r.id).Key("length").String(r.length).EndObject();
        }
        j.EndArray().Key("count").Number(static_cast<std::int64_t>(rows.size())).EndObject();
        out << j.Text() << '\n';
        return;
    }
    out << "row  Language  ID        Length\n";
    for (std::size_t i = 0; i < rows.size(); ++i)
        out << Column(std::to_string(i), std::to_string(i).size(), 4) << ' '
            << Column(Latin1ToUtf8(rows[i].language), rows[i].language.size(), 8) << "  "
            << rows[i].id << "  " << rows[i].length << '\n';
    out << s.ed.texts.languageCount << '\n';
}

void LangTexts(CliSession& s, const ImageOptions& o, int row) {
    RequireRow(s, row, s.ed.texts.languages.size());
    const LanguageRow& r = s.ed.texts.languages[static_cast<std::size_t>(row)];
    const LanguageTexts t = ReadLanguageTexts(s.ed, r.id, r.length);
    if (o.json) {
        Json j;
        j.BeginObject().Key("texts").BeginArray();
        for (const auto& text : t.texts) j.Latin1(text);
        j.EndArray().EndObject();
        s.ctx.out << j.Text() << '\n';
        return;
    }
    for (const auto& text : t.texts) s.ctx.out << Latin1ToUtf8(text) << '\n';
}

// The Language Editor as if the user had typed these texts and pressed "&OK".
void LangEdit(CliSession& s, int row, const std::string& file) {
    RequireRow(s, row, s.ed.texts.languages.size());
    const std::vector<std::string> lines = ReadLines(file);
    s.ui.dialogs.On<TLangEdit>() = [&](TLangEdit& m) {
        if (lines.size() != m.Texts().size()) {
            s.ui.error(Format(kLineCount, {file, std::to_string(lines.size()),
                                           std::to_string(m.Texts().size())}));
            return false;
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            m.Select(static_cast<int>(i));
            m.KeyTyped();
            m.SetTextField(lines[i]);
        }
        std::string error;
        if (!m.Ok(&error)) {
            s.ui.error(error);
            return false;
        }
        return true;
    };
    EditLanguage(s.ed, s.ed.texts, s.ui, row);
}

void OpsList(CliSession& s, const ImageOptions& o) {
    const auto& rows = s.ed.texts.countries;
    std::ostream& out = s.ctx.out;
    if (o.json) {
        Json j;
        j.BeginObject().Key("rows").BeginArray();
        for (const auto& r : rows) {
            j.BeginObject().Key("country").Latin1(r.country);
            j.Key("code").String(r.code).Key("operators").String(r.operators).EndObject();
        }
        j.EndArray().Key("count").Number(static_cast<std::int64_t>(rows.size())).EndObject();
        out << j.Text() << '\n';
        return;
    }
    out << "row  Countries  Code  #Operators\n";
    for (std::size_t i = 0; i < rows.size(); ++i)
        out << Column(std::to_string(i), std::to_string(i).size(), 4) << ' '
            << Column(Latin1ToUtf8(rows[i].country), rows[i].country.size(), 9) << "  "
            << rows[i].code << "   " << rows[i].operators << '\n';
    out << s.ed.texts.countryCount << '\n';
}

void OpsShow(CliSession& s, const ImageOptions& o, int row) {
    RequireRow(s, row, s.ed.texts.countries.size());
    TOpEdit m(s.ed.texts.countries[static_cast<std::size_t>(row)].code,
              ParseOperators(CountryRecord(s.ed, s.ed.texts, row, true)));
    m.Show();
    if (o.json) {
        Json j;
        j.BeginObject().Key("operators").BeginArray();
        for (const auto& op : m.Operators())
            j.BeginObject().Key("name").Latin1(op.name).Key("code").String(op.code).EndObject();
        j.EndArray().EndObject();
        s.ctx.out << j.Text() << '\n';
        return;
    }
    for (const auto& op : m.Operators())
        s.ctx.out << m.CountryCode() << '-' << op.code << ' ' << Latin1ToUtf8(op.name) << '\n';
}

// The Operators Editor as if its list had been made to hold these operators and "&OK"
// pressed: one operator a line, the network code, one space, the name.
void OpsEdit(CliSession& s, int row, const std::string& file) {
    RequireRow(s, row, s.ed.texts.countries.size());
    const std::vector<std::string> lines = ReadLines(file);
    std::vector<std::pair<std::string, std::string>> ops;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t space = lines[i].find(' ');
        if (space == std::string::npos) {
            s.ui.error(Format(kBadOperatorLine, {std::to_string(i + 1), file}));
            throw CliExit{1};
        }
        ops.emplace_back(lines[i].substr(0, space), lines[i].substr(space + 1));
    }
    s.ui.dialogs.On<TOpEdit>() = [&](TOpEdit& m) {
        while (m.Count() > 0) {
            m.Select(0);
            m.Delete();
        }
        for (const auto& [code, name] : ops) {
            m.Add();
            m.Select(m.Count() - 1);
            m.SetName(name);
            m.SetCode(code);
        }
        std::string error;
        if (!m.Ok(&error)) {
            s.ui.error(error);
            return false;
        }
        return true;
    };
    EditOperators(s.ed, s.ed.texts, s.ui, row);
}

struct Args {
    ImageOptions o;
    int row = -1;
    std::string file, name, code;
};

CLI::App* Command(CLI::App* parent, const char* name, const char* help, Args& a, bool row,
                  const char* file = nullptr, bool output = false) {
    auto* cmd = parent->add_subcommand(name, help);
    AddImage(cmd, a.o);
    if (row) cmd->add_option("ROW", a.row, "0-based row of the list")->required();
    if (file) {
        auto* f = cmd->add_option(file, a.file, "File")->required();
        if (!output) f->check(CLI::ExistingFile);
    }
    AddType(cmd, a.o);
    return cmd;
}

}  // namespace

void RegisterTextCommands(CLI::App& app, CliContext& ctx) {
    auto* lang = app.add_subcommand("lang", "List, edit, export, add and delete language chunks");
    lang->require_subcommand(1);
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(lang, "list", "The Languages list", *a, false);
        AddJson(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Read(ctx, a->o, Tab::Languages, [a](CliSession& s) { LangList(s, a->o); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd =
            Command(lang, "texts", "The texts of a language chunk in display form", *a, true);
        AddJson(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Read(ctx, a->o, Tab::Languages, [a](CliSession& s) { LangTexts(s, a->o, a->row); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd =
            Command(lang, "edit", "Replace the texts of a language (one text a line, UTF-8)", *a,
                    true, "TEXTS");
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Change(ctx, a->o, Tab::Languages,
                       [a](CliSession& s) { LangEdit(s, a->row, a->file); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd =
            Command(lang, "export", "Write a language chunk file (*.lng)", *a, true, "OUT", true);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Read(ctx, a->o, Tab::Languages, [a](CliSession& s) {
                    RequireRow(s, a->row, s.ed.texts.languages.size());
                    s.ui.saveFiles.push_back(a->file);
                    RetrieveLanguage(s.ed, s.ed.texts, s.ui, a->row);
                });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(lang, "add", "Add a language chunk file (*.lng)", *a, false, "IN");
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Change(ctx, a->o, Tab::Languages, [a](CliSession& s) {
                    s.ui.openFiles.push_back(a->file);
                    AddLanguage(s.ed, s.ed.texts, s.ui);
                });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(lang, "delete", "Delete a language chunk", *a, true);
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Change(ctx, a->o, Tab::Languages, [a](CliSession& s) {
                    RequireRow(s, a->row, s.ed.texts.languages.size());
                    DeleteLanguage(s.ed, s.ed.texts, s.ui, a->row);
                });
            };
        });
    }

    auto* ops = app.add_subcommand("ops", "List and edit the operator table");
    ops->require_subcommand(1);
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(ops, "list", "The country list", *a, false);
        AddJson(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Read(ctx, a->o, Tab::Operators, [a](CliSession& s) { OpsList(s, a->o); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(ops, "show", "The operators of a country", *a, true);
        AddJson(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Read(ctx, a->o, Tab::Operators, [a](CliSession& s) { OpsShow(s, a->o, a->row); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd =
            Command(ops, "edit", "Replace the operators of a country (one a line: CODE NAME)", *a,
                    true, "OPS");
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Change(ctx, a->o, Tab::Operators,
                       [a](CliSession& s) { OpsEdit(s, a->row, a->file); });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(ops, "new", "Add a country without operators", *a, false);
        cmd->add_option("NAME", a->name, "Country name (its first 4 characters are kept)")
            ->required();
        cmd->add_option("CODE", a->code, "Country code, three digits")->required();
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Change(ctx, a->o, Tab::Operators, [a](CliSession& s) {
                    s.ui.texts.push_back(a->name);
                    s.ui.texts.push_back(a->code);
                    NewCountry(s.ed, s.ed.texts, s.ui);
                });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(ops, "add", "Add a country record file (*.opr)", *a, false, "IN");
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Change(ctx, a->o, Tab::Operators, [a](CliSession& s) {
                    s.ui.openFiles.push_back(a->file);
                    LoadCountry(s.ed, s.ed.texts, s.ui);
                });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd =
            Command(ops, "export", "Write a country record file (*.opr)", *a, true, "OUT", true);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Read(ctx, a->o, Tab::Operators, [a](CliSession& s) {
                    RequireRow(s, a->row, s.ed.texts.countries.size());
                    s.ui.saveFiles.push_back(a->file);
                    RetrieveCountry(s.ed, s.ed.texts, s.ui, a->row);
                });
            };
        });
    }
    {
        auto a = std::make_shared<Args>();
        auto* cmd = Command(ops, "delete", "Delete a country", *a, true);
        AddOutput(cmd, a->o);
        cmd->callback([&ctx, a] {
            ctx.action = [&ctx, a] {
                Change(ctx, a->o, Tab::Operators, [a](CliSession& s) {
                    RequireRow(s, a->row, s.ed.texts.countries.size());
                    DeleteCountry(s.ed, s.ed.texts, s.ui, a->row);
                });
            };
        });
    }
}

}  // namespace brivant
