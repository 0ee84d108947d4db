#include <algorithm>
#include <optional>
#include <sstream>

#include "cli/CliModule.h"
#include "cli/Rows.h"
#include "core/FileIO.h"
#include "core/HexText.h"
#include "core/UserError.h"
#include "texts/Languages.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"
#include "texts/TextEscapes.h"

namespace brivant {

namespace {

constexpr const char* kLineCount = "%s holds %s texts, the language has %s";
constexpr const char* kBadLine = "Line %s of %s: %s";
constexpr const char* kNotTextCount =
    "%s holds %s lines %s, the language's length table has %s entries of 255 (keep one such "
    "line for each)";
constexpr const char* kRawControl =
    "Line %s, column %s of %s: a control character (U+%s) is not taken as typed; write the byte "
    "as \\x%s";
constexpr const char* kRawControlInName =
    "%s, character %s: a control character (U+%s) is not taken as typed; write the byte as "
    "\\x%s";
constexpr const char* kBadOperatorLine =
    "Line %s of %s: expected the two-digit network code, one space and the name";
// The message a text file that cannot be read gives, the same as for an image.
constexpr const char* kCannotOpen = "Cannot open %s.\r\n(%s.)";

const std::vector<Column> kLanguageColumns = {
    {"language", "Language", 8}, {"id", "ID", 8}, {"length", "Length", 8}};
const std::vector<Column> kCountryColumns = {
    {"country", "Countries", 9}, {"code", "Code", 4}, {"operators", "#Operators", 0}};

// Each list is used the way the window uses it: after its tab was shown.
constexpr Flow kReadLanguages{.needsType = true, .tab = Tab::Languages};
constexpr Flow kChangeLanguages{.saves = true, .needsType = true, .tab = Tab::Languages};
constexpr Flow kReadOperators{.needsType = true, .tab = Tab::Operators};
constexpr Flow kChangeOperators{.saves = true, .needsType = true, .tab = Tab::Operators};

// The first control character (C0 or DEL) of a typed UTF-8 text: its 1-based position in
// characters and its byte, or nothing. A byte is typed as \xHH: a raw control character is
// more likely a stray tab or a terminal's escape than meant, so it is refused, not dropped
// or stored unseen.
std::optional<std::pair<std::size_t, std::uint8_t>> RawControl(const std::string& utf8) {
    std::size_t column = 0;
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80) ++column;
        if (c < 0x20 || c == 0x7F) return std::make_pair(column, static_cast<std::uint8_t>(c));
    }
    return std::nullopt;
}

// The lines of a UTF-8 text file as byte texts (one byte per character). A last line
// ending is not an extra empty line.
std::vector<std::string> ReadLines(const std::string& path, const std::string& shown) {
    const Bytes data = ReadWholeFile(path, kCannotOpen);
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(std::string(data.begin(), data.end()));
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (const auto raw = RawControl(line))
            throw UserError(
                Format(kRawControl, {std::to_string(lines.size() + 1), std::to_string(raw->first),
                                     shown, IntToHex(raw->second, 4), IntToHex(raw->second, 2)}));
        std::string why;
        const auto bytes = Utf8ToTextBytes(line, &why);
        if (!bytes)
            throw UserError(Format(kBadLine, {std::to_string(lines.size() + 1), shown, why}));
        lines.push_back(*bytes);
    }
    return lines;
}

struct TextArgs : ImageOptions {
    int row = -1;
    std::string file, name, code;
};

// IMAGE, then ROW and a file when the command takes them, then --type. A file the command
// reads must exist.
Command<TextArgs> TextCommand(CliContext& ctx, CLI::App* parent, const char* name, const char* help,
                              bool row, const char* file = nullptr,
                              const char* fileHelp = nullptr) {
    Command<TextArgs> c(ctx, parent, name, help);
    c.Image();
    if (row) AddRow(c.app(), "ROW", c.args().row, "Row of the list (0-based)");
    if (file) {
        c->add_option(file, c.args().file, fileHelp)->required();
    }
    c.TypeOption();
    return c;
}

void LangList(CliSession& s, const TextArgs& a) {
    std::vector<Row> rows;
    for (const auto& r : s.ed.texts.languages) rows.push_back({r.language, r.id, r.length});
    PrintRows(s.ctx.out, a.json, kLanguageColumns, rows, s.ed.texts.languageCount);
}

void LangTexts(CliSession& s, const TextArgs& a) {
    s.RequireRow(a.row, s.ed.texts.languages.size());
    const LanguageTexts t = ReadRowTexts(s.ed, s.ed.texts, a.row);
    // Every entry of the length table, in table order, so that the lines load back as they
    // were: an entry of 255 holds no text and gets a line of its own form.
    std::vector<std::string> lines;
    auto text = t.texts.begin();
    for (std::size_t k = 0; k < t.texts.size() + t.notTexts.size(); ++k) {
        const bool notText = std::find(t.notTexts.begin(), t.notTexts.end(), k) != t.notTexts.end();
        if (notText)
            lines.emplace_back(kNotATextLine);
        else if (text != t.texts.end())
            lines.push_back(*text++);
    }
    PrintEach(
        s.ctx.out, a.json, "texts", lines, [](Json& j, const std::string& text) { j.Latin1(text); },
        [](const std::string& text) { return Latin1ToUtf8(text); });
}

// The Language Editor as if the user had typed these texts and pressed "&OK".
void LangEdit(CliSession& s, const TextArgs& a) {
    s.RequireRow(a.row, s.ed.texts.languages.size());
    const std::vector<std::string> all = ReadLines(InputArg(s.ctx, a.file), a.file);
    // The lines that stand for entries of 255 give their places in the table; the others
    // are the texts.
    std::vector<std::string> lines;
    std::vector<std::size_t> notTexts;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] == kNotATextLine)
            notTexts.push_back(i);
        else
            lines.push_back(all[i]);
    }
    s.ui.dialogs.On<TLangEdit>() = [&](TLangEdit& m) {
        if (lines.size() != m.Texts().size()) {
            s.ui.error(Format(kLineCount, {a.file, std::to_string(lines.size()),
                                           std::to_string(m.Texts().size())}));
            return false;
        }
        // Without such lines the entries of 255 stay where they are.
        if (!notTexts.empty()) {
            if (notTexts.size() != m.NotTexts().size()) {
                s.ui.error(
                    Format(kNotTextCount, {a.file, std::to_string(notTexts.size()), kNotATextLine,
                                           std::to_string(m.NotTexts().size())}));
                return false;
            }
            m.KeepNotTexts(notTexts, m.NotTextBytes());
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
    EditLanguage(s.ed, s.ed.texts, s.ui, a.row);
}

void OpsList(CliSession& s, const TextArgs& a) {
    std::vector<Row> rows;
    for (const auto& r : s.ed.texts.countries) rows.push_back({r.country, r.code, r.operators});
    PrintRows(s.ctx.out, a.json, kCountryColumns, rows, s.ed.texts.countryCount);
}

void OpsShow(CliSession& s, const TextArgs& a) {
    s.RequireRow(a.row, s.ed.texts.countries.size());
    TOpEdit m(s.ed.texts.countries[static_cast<std::size_t>(a.row)].code,
              ParseOperators(CountryRecord(s.ed, s.ed.texts, a.row, true)));
    m.Show();
    PrintEach(
        s.ctx.out, a.json, "operators", m.Operators(),
        [](Json& j, const auto& op) {
            j.BeginObject().Key("name").Latin1(op.name).Key("code").String(op.code).EndObject();
        },
        [&m](const auto& op) {
            return m.CountryCode() + '-' + op.code + ' ' + Latin1ToUtf8(op.name);
        });
}

// The Operators Editor as if its list had been made to hold these operators and "&OK"
// pressed: one operator a line, the network code, one space, the name. The code may carry
// the country code before a hyphen, as `ops show` prints it ("515-02 Globe"), so that its
// output can be edited and read back.
void OpsEdit(CliSession& s, const TextArgs& a) {
    s.RequireRow(a.row, s.ed.texts.countries.size());
    const std::string country = s.ed.texts.countries[static_cast<std::size_t>(a.row)].code + "-";
    const std::vector<std::string> lines = ReadLines(InputArg(s.ctx, a.file), a.file);
    std::vector<std::pair<std::string, std::string>> ops;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (line.starts_with(country)) line.erase(0, country.size());
        const std::size_t space = line.find(' ');
        if (space == std::string::npos) {
            s.ui.error(Format(kBadOperatorLine, {std::to_string(i + 1), a.file}));
            throw CliExit{1};
        }
        ops.emplace_back(line.substr(0, space), line.substr(space + 1));
    }
    s.ui.dialogs.On<TOpEdit>() = [&](TOpEdit& m) {
        while (m.Count() > 0) {
            m.Select(0);
            m.Delete();
        }
        std::string error;
        for (const auto& [code, name] : ops) {
            m.Select(-1);
            m.SetName(name);
            m.SetCode(code);
            if (!m.Add(&error)) {
                s.ui.error(error);
                return false;
            }
        }
        if (!m.Ok(&error)) {
            s.ui.error(error);
            return false;
        }
        return true;
    };
    EditOperators(s.ed, s.ed.texts, s.ui, a.row);
}

void AddLanguageCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* lang = AddGroup(app, "lang", "List, edit, export, add and delete language chunks");
    TextCommand(ctx, lang, "list", "The Languages list", false)
        .JsonFlag()
        .RunsOnImage(kReadLanguages, LangList);
    TextCommand(ctx, lang, "texts",
                "The texts of a language chunk in display form, one line an entry of its length "
                "table (an entry of 255, which holds no text, is the line \\(255), read back "
                "as the same entry by lang edit)",
                true)
        .JsonFlag()
        .RunsOnImage(kReadLanguages, LangTexts);
    TextCommand(ctx, lang, "edit", "Replace the texts of a language (one text a line, UTF-8)", true,
                "TEXTS", "Text file, one text a line in UTF-8 (- reads standard input)")
        .Output()
        .RunsOnImage(kChangeLanguages, LangEdit);
    TextCommand(ctx, lang, "export", "Write a language chunk file (*.lng)", true, "OUT",
                "Language chunk file to write (- writes standard output)")
        .RunsOnImage(kReadLanguages, [](CliSession& s, const TextArgs& a) {
            s.RequireRow(a.row, s.ed.texts.languages.size());
            s.ui.saveFiles.push_back(a.file);
            RetrieveLanguage(s.ed, s.ed.texts, s.ui, a.row);
        });
    TextCommand(ctx, lang, "add", "Add a language chunk file (*.lng)", false, "IN",
                "Language chunk file to read (- reads standard input)")
        .Output()
        .RunsOnImage(kChangeLanguages, [](CliSession& s, const TextArgs& a) {
            s.ui.openFiles.push_back(a.file);
            AddLanguage(s.ed, s.ed.texts, s.ui);
        });
    TextCommand(ctx, lang, "delete", "Delete a language chunk", true)
        .Output()
        .RunsOnImage(kChangeLanguages, [](CliSession& s, const TextArgs& a) {
            s.RequireRow(a.row, s.ed.texts.languages.size());
            DeleteLanguage(s.ed, s.ed.texts, s.ui, a.row);
        });
}

void AddOperatorCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* ops = AddGroup(app, "ops", "List and edit the operator table");
    TextCommand(ctx, ops, "list", "The country list", false)
        .JsonFlag()
        .RunsOnImage(kReadOperators, OpsList);
    TextCommand(ctx, ops, "show", "The operators of a country", true)
        .JsonFlag()
        .RunsOnImage(kReadOperators, OpsShow);
    TextCommand(ctx, ops, "edit", "Replace the operators of a country (one a line: CODE NAME)",
                true, "OPS",
                "Text file, one operator a line: CODE NAME, as ops show prints them "
                "(- reads standard input)")
        .Output()
        .RunsOnImage(kChangeOperators, OpsEdit);
    auto added = TextCommand(ctx, ops, "new", "Add a country without operators", false);
    added->add_option("NAME", added.args().name, "Country name, at most 4 characters")->required();
    added->add_option("CODE", added.args().code, "Country code, three digits")->required();
    added.Output().RunsOnImage(kChangeOperators, [](CliSession& s, const TextArgs& a) {
        if (const auto raw = RawControl(a.name)) {
            s.ui.error(
                Format(kRawControlInName, {"NAME", std::to_string(raw->first),
                                           IntToHex(raw->second, 4), IntToHex(raw->second, 2)}));
            throw CliExit{1};
        }
        s.ui.texts.push_back(a.name);
        s.ui.texts.push_back(a.code);
        NewCountry(s.ed, s.ed.texts, s.ui);
    });
    TextCommand(ctx, ops, "add", "Add a country record file (*.opr)", false, "IN",
                "Country record file to read (- reads standard input)")
        .Output()
        .RunsOnImage(kChangeOperators, [](CliSession& s, const TextArgs& a) {
            s.ui.openFiles.push_back(a.file);
            LoadCountry(s.ed, s.ed.texts, s.ui);
        });
    TextCommand(ctx, ops, "export", "Write a country record file (*.opr)", true, "OUT",
                "Country record file to write (- writes standard output)")
        .RunsOnImage(kReadOperators, [](CliSession& s, const TextArgs& a) {
            s.RequireRow(a.row, s.ed.texts.countries.size());
            s.ui.saveFiles.push_back(a.file);
            RetrieveCountry(s.ed, s.ed.texts, s.ui, a.row);
        });
    TextCommand(ctx, ops, "delete", "Delete a country", true)
        .Output()
        .RunsOnImage(kChangeOperators, [](CliSession& s, const TextArgs& a) {
            s.RequireRow(a.row, s.ed.texts.countries.size());
            DeleteCountry(s.ed, s.ed.texts, s.ui, a.row);
        });
}

}  // namespace

// Languages and the operator table.
void TextCommands(CLI::App& app, CliContext& ctx) {
    AddLanguageCommands(app, ctx);
    AddOperatorCommands(app, ctx);
}

}  // namespace brivant
