#include <charconv>

#include "cli/CliModule.h"
#include "cli/Rows.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "menu/MenuEdit.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "menu/TAddMenu.h"
#include "menu/TMenuEdit.h"
#include "texts/TextEscapes.h"

namespace brivant {

namespace {

constexpr const char* kNoSuchLanguage =
    "Language %s does not exist: the selector offers languages 1 to %s";
constexpr const char* kNoSuchMenuRow = "Row %s of the level does not exist: the level has %s rows";
constexpr const char* kEmptyField = "%s needs a value: an empty one gives no field";
constexpr const char* kBadPath = "--path takes 0-based rows separated by \"/\", such as 2/0";

const std::vector<Column> kMenuColumns = {
    {"name", "Menu Item", 20}, {"textPointer", "Text Ptr", 8}, {"funcPointer", "Function Ptr", 8}};

// The list is read the way the window reads it: after the Menu tab was shown.
constexpr Flow kReadMenu{.needsType = true, .tab = Tab::Menu};
constexpr Flow kEditMenu{.saves = true, .needsType = true, .tab = Tab::Menu};

struct MenuArgs : ImageOptions {
    int lang = 1;
    std::string path;
};

// The editing commands: the row acted on, and the record fields given on the command line
// (empty: as the dialog fills them).
struct MenuEditArgs : MenuArgs {
    int row = -1;
    std::string direction;
    std::string name;
    bool subMenu = false;
    MenuFields fields;
    // Tell a field given as '' from one not given: the first is a mistake, not "as is".
    std::array<const CLI::Option*, kMenuFieldCount> fieldOptions{};
};
constexpr std::array<const char*, kMenuFieldCount> kFieldOptions = {
    "--text-pointer", "--tip-pointer", "--func-pointer", "--bmp-id",   "--func-id",
    "--unknown1",     "--unknown2",    "--class",        "--animation"};

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

void RequireRow(CliSession& s, int row) {
    const std::size_t rows = s.ed.menu.tab.rows.size();
    if (row < 0 || static_cast<std::size_t>(row) >= rows)
        Fail(s, Format(kNoSuchMenuRow, {std::to_string(row), std::to_string(rows)}));
}

// Chooses the language and walks down the path, as the Menu tab would be used.
void WalkTo(CliSession& s, const MenuArgs& a) {
    const std::vector<int> path = ParsePath(s.ctx, a.path);
    Editor& ed = s.ed;
    s.CheckTold();
    const int languages = static_cast<int>(ed.texts.menuLanguages.size()) - 1;
    if (a.lang < 1 || a.lang > languages)
        Fail(s, Format(kNoSuchLanguage, {std::to_string(a.lang), std::to_string(languages)}));
    // The path starts at the root, read afresh: an earlier step of a recipe may have left
    // the tab on another level, or changed the root.
    ed.menu.tab.stack.Clear();
    ChooseMenuLanguage(ed, ed.menu, ed.texts, s.ui, a.lang);
    s.CheckTold();
    for (const int row : path) {
        RequireRow(s, row);
        EnterSubMenu(ed, ed.menu, ed.texts, s.ui, row);
        s.CheckTold();
    }
}

void MenuList(CliSession& s, const MenuArgs& a) {
    WalkTo(s, a);
    PrintLevel(s, a.json);
}

// The fields given replace the dialog's; a refused field ends the command.
template <typename Dialog>
bool Answer(CliSession& s, Dialog& d, const MenuFields& given) {
    for (std::size_t i = 0; i < given.size(); ++i)
        if (!given[i].empty()) d.fields[i] = given[i];
    if (const auto refusal = d.PressOk()) {
        s.ui.error(*refusal);
        return false;
    }
    return true;
}

void RefuseEmptyFields(CliContext& ctx, const MenuEditArgs& a) {
    for (std::size_t i = 0; i < a.fields.size(); ++i)
        if (a.fieldOptions[i] && a.fieldOptions[i]->count() > 0 && a.fields[i].empty())
            UsageError(ctx, Format(kEmptyField, {kFieldOptions[i]}));
}

void MenuMove(CliSession& s, const MenuEditArgs& a) {
    WalkTo(s, a);
    RequireRow(s, a.row);
    MoveMenuItem(s.ed, s.ed.menu, a.row, a.direction == "up");
}

void MenuDelete(CliSession& s, const MenuEditArgs& a) {
    WalkTo(s, a);
    RequireRow(s, a.row);
    DeleteMenuItem(s.ed, s.ed.menu, s.ui, a.row);
}

void MenuEdit(CliSession& s, const MenuEditArgs& a) {
    RefuseEmptyFields(s.ctx, a);
    WalkTo(s, a);
    RequireRow(s, a.row);
    s.ui.dialogs.On<TMenuEdit>() = [&](TMenuEdit& d) { return Answer(s, d, a.fields); };
    EditMenuItem(s.ed, s.ed.menu, s.ui, a.row);
}

void MenuAdd(CliSession& s, const MenuEditArgs& a) {
    RefuseEmptyFields(s.ctx, a);
    const std::string& textPointer = a.fields[static_cast<std::size_t>(MenuField::TextPointer)];
    if (a.name.empty() == textPointer.empty())
        UsageError(s.ctx, "menu add takes either --name or --text-pointer");
    std::string name;
    if (!a.name.empty()) {
        std::string why;
        const auto bytes = Utf8ToTextBytes(a.name, &why);
        if (!bytes) Fail(s, Format(TAddMenu::kBadNameText, {why}));
        name = *bytes;
    }
    WalkTo(s, a);
    s.ui.dialogs.On<TAddMenu>() = [&](TAddMenu& d) {
        if (textPointer.empty()) {
            d.name = name;
        } else {
            d.SetTextPointerChecked(true);
        }
        d.withSubMenu = a.subMenu;
        return Answer(s, d, a.fields);
    };
    AddMenuItem(s.ed, s.ed.menu, s.ed.texts, s.ui);
}

// The options every editing command shares: where in the tree, and the output.
Command<MenuEditArgs>& EditCommand(Command<MenuEditArgs>& c, bool row) {
    c.Image();
    if (row) AddRow(c.app(), "ROW", c.args().row, "0-based row of the level");
    return c;
}

void AddWalkOptions(Command<MenuEditArgs>& c) {
    AddNumber(c.app(), "--lang", c.args().lang,
              "Entry K of the Menu tab's language selector (1 = the first language)", 0);
    c->add_option("--path", c.args().path,
                  "Walk down from the root: 0-based rows R/R/... of each level reached");
}

void AddFieldOptions(Command<MenuEditArgs>& c) {
    for (std::size_t i = 0; i < kFieldOptions.size(); ++i)
        c.args().fieldOptions[i] =
            c->add_option(kFieldOptions[i], c.args().fields[i],
                          std::string("The record's ") + kMenuFieldLabels[i] + " field (hex)");
}

// The "menu" group. Every top-level command belongs to one module: the command line declares
// only the module that owns its first argument.
CLI::App* MenuGroup(CLI::App& app) {
    return AddGroup(app, "menu", "The phone's menu tree");
}

}  // namespace

void MenuCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* menu = MenuGroup(app);
    Command<MenuArgs> list(ctx, menu, "list", "List one level of the menu tree");
    list.Image();
    AddNumber(list.app(), "--lang", list.args().lang,
              "Entry K of the Menu tab's language selector (1 = the first language)", 0);
    list->add_option("--path", list.args().path,
                     "Walk down from the root: 0-based rows R/R/... of each level reached");
    list.TypeOption().JsonFlag().RunsOnImage(kReadMenu, MenuList);

    Command<MenuEditArgs> move(ctx, menu, "move", "Move an item of the level up or down");
    EditCommand(move, true)
        ->add_option("DIRECTION", move.args().direction, "Where to move the item: up or down")
        ->required()
        ->check(CLI::IsMember({"up", "down"}));
    AddWalkOptions(move);
    move.TypeOption().Output().RunsOnImage(kEditMenu, MenuMove);

    Command<MenuEditArgs> del(ctx, menu, "delete", "Delete an item of the level");
    EditCommand(del, true);
    AddWalkOptions(del);
    del.TypeOption().Output().RunsOnImage(kEditMenu, MenuDelete);

    Command<MenuEditArgs> edit(ctx, menu, "edit", "Edit the record fields of an item");
    EditCommand(edit, true);
    AddWalkOptions(edit);
    AddFieldOptions(edit);
    edit.TypeOption().Output().RunsOnImage(kEditMenu, MenuEdit);

    Command<MenuEditArgs> add(ctx, menu, "add", "Add an item to the level");
    EditCommand(add, false);
    add->add_option("--name", add.args().name, "The new item's name (a new text)");
    add->add_flag("--submenu", add.args().subMenu, "The item opens a new, empty submenu");
    AddWalkOptions(add);
    AddFieldOptions(add);
    add.TypeOption().Output().RunsOnImage(kEditMenu, MenuAdd);
}

}  // namespace brivant
