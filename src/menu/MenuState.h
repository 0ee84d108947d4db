#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brivant {

// One level of a menu walk: the 24-digit hex text of its descriptor and the image offset
// it was read from (-1 when unknown).
struct MenuLevel {
    std::string descriptor;
    std::int32_t offset = -1;
};

// The levels from the root down to the one shown; `current` indexes the one shown (-1
// while the stack is empty).
struct MenuLevels {
    std::vector<MenuLevel> levels;
    int current = -1;

    bool Empty() const { return current < 0; }
    bool AtRoot() const { return current <= 0; }
    const MenuLevel& Current() const { return levels.at(static_cast<std::size_t>(current)); }
    MenuLevel& Current() { return levels.at(static_cast<std::size_t>(current)); }
    void Clear() {
        levels.clear();
        current = -1;
    }
};

// One listed row. Each row remembers the record it was made from, so that a command on the
// row acts on that record even when the level holds records without rows.
struct MenuRow {
    std::string name;         // bytes, one character each
    std::string textPointer;  // 8 hex digits
    std::string funcPointer;  // 8 hex digits
    std::string record;       // the record's whole hex text (40 or 48 digits)
    int recordIndex = -1;     // index into the level's records
};

// What one view of the menu shows: its stack, the records of the level shown in array
// order, the rows and the state of its back button. The Menu tab has one, the menu browser
// another.
struct MenuView {
    MenuLevels stack;
    std::vector<std::string> records;
    std::vector<MenuRow> rows;
    bool backEnabled = false;
};

inline constexpr const char* kMenuCountLabel = "Menu Count: ";

// The Menu tab and the menu browser's walk.
struct MenuState {
    // The Menu tab: MenuLevelStack / LevelRecords / rows of the level shown.
    MenuView tab;
    MenuLevels& MenuLevelStack() { return tab.stack; }
    std::vector<std::string>& LevelRecords() { return tab.records; }
    std::string menuCount = std::string(kMenuCountLabel) + "0";
    // The index chosen in the Menu tab's "Language:" selector (0 = "Select Here"); its
    // entries are the language list's menu selector entries.
    int language = 0;

    // True only while the menu browser is open: listings and walks then go to `browser`.
    bool BrowseMode = false;
    MenuView browser;
    int browserLanguage = 0;

    // "Add Menu" keeps its radio choice from one add to the next.
    bool addWithSubMenu = false;

    MenuView& InUse() { return BrowseMode ? browser : tab; }
};

}  // namespace brivant
