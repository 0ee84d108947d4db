#include <charconv>

#include "cli/CliModule.h"
#include "cli/Rows.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"

namespace brivant {

namespace {

constexpr const char* kNoSuchLanguage =
    "Language %s does not exist: the selector offers languages 1 to %s";
constexpr const char* kNoSuchMenuRow = "Row %s of the level does not exist: the level has %s rows";
constexpr const char* kBadPath = "--path takes 0-based rows separated by \"/\", such as 2/0";

const std::vector<Column> kMenuColumns = {
    {"name", "Menu Item", 20}, {"textPointer", "Text Ptr", 8}, {"funcPointer", "Function Ptr", 8}};

// The list is read the way the window reads it: after the Menu tab was shown.
constexpr Flow kReadMenu{.needsType = true, .tab = Tab::Menu};

struct MenuArgs : ImageOptions {
    int lang = 1;
    std::string path;
};

std::vector<int> ParsePath(CliContext& ctx, const std::string& path) {
    std::vector<int> rows;
    if (path.empty()) return rows;
    std::size_t from = 0;
    while (true) {
        const std::size_t slash = path.find('/', from);
        const std::string part =
            path.substr(from, slash == std::string::npos ? slash : slash - from);
        int row = -1;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), row);
        if (part.empty() || ec != std::errc{} || end != part.data() + part.size() || row < 0)
            UsageError(ctx, kBadPath);
        rows.push_back(row);
        if (slash == std::string::npos) break;
        from = slash + 1;
    }
    return rows;
}

void Fail(CliSession& s, const std::string& text) {
    s.ui.error(text);
    throw CliExit{1};
}

void PrintLevel(CliSession& s, bool json) {
    const MenuState& m = s.ed.menu;
    const MenuView& v = m.tab;
    if (!json) {
        std::vector<Row> rows;
        for (const MenuRow& r : v.rows) rows.push_back({r.name, r.textPointer, r.funcPointer});
        PrintRows(s.ctx.out, false, kMenuColumns, rows, m.menuCount);
        return;
    }
    const MenuLevel& level = v.stack.Current();
    Json j;
    j.BeginObject().Key("rows").BeginArray();
    for (const MenuRow& r : v.rows) {
        j.BeginObject();
        j.Key("name").Latin1(r.name);
        j.Key("textPointer").String(r.textPointer);
        j.Key("funcPointer").String(r.funcPointer);
        j.Key("record").String(r.record);
        j.EndObject();
    }
    j.EndArray();
    j.Key("count").Number(static_cast<std::int64_t>(v.rows.size()));
    j.Key("descriptor").String(level.descriptor);
    j.Key("descriptorOffset").Number(level.offset);
    j.Key("itemsOffset").Number(ToImageOffset(ItemsPointerOf(level.descriptor)));
    j.EndObject();
    s.ctx.out << j.Text() << '\n';
}

void MenuList(CliSession& s, const MenuArgs& a) {
    const std::vector<int> path = ParsePath(s.ctx, a.path);
    Editor& ed = s.ed;
    s.CheckTold();
    const int languages = static_cast<int>(ed.texts.menuLanguages.size()) - 1;
    if (a.lang < 1 || a.lang > languages)
        Fail(s, Format(kNoSuchLanguage, {std::to_string(a.lang), std::to_string(languages)}));
    ChooseMenuLanguage(ed, ed.menu, ed.texts, s.ui, a.lang);
    s.CheckTold();
    for (const int row : path) {
        const std::size_t rows = ed.menu.tab.rows.size();
        if (static_cast<std::size_t>(row) >= rows)
            Fail(s, Format(kNoSuchMenuRow, {std::to_string(row), std::to_string(rows)}));
        EnterSubMenu(ed, ed.menu, ed.texts, s.ui, row);
        s.CheckTold();
    }
    PrintLevel(s, a.json);
}

// The "menu" group, shared with any other module that adds menu commands.
CLI::App* MenuGroup(CLI::App& app) {
    for (CLI::App* sub : app.get_subcommands([](CLI::App* a) { return a->get_name() == "menu"; }))
        return sub;
    return AddGroup(app, "menu", "The phone's menu tree");
}

}  // namespace

void MenuCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* menu = MenuGroup(app);
    Command<MenuArgs> list(ctx, menu, "list", "List one level of the menu tree");
    list.Image();
    list->add_option("--lang", list.args().lang,
                     "Entry K of the Menu tab's language selector (1 = the first language)");
    list->add_option("--path", list.args().path,
                     "Walk down from the root: 0-based rows R/R/... of each level reached");
    list.TypeOption().JsonFlag().RunsOnImage(kReadMenu, MenuList);
}

}  // namespace brivant
