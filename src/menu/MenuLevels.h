#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "menu/MenuState.h"

namespace brivant {

struct Session;
struct TextState;
class Interaction;

inline constexpr const char* kNetMonitor = "Net Monitor";
inline constexpr const char* kSimCardMenu = "SIM Card Menu";
inline constexpr const char* kNoSubMenus = "This Menu Item does not have sub menus";
inline constexpr const char* kNoSubMenuOffsets = "Could not find offsets for submenus";
inline constexpr const char* kMenuItemsOutside =
    "The items of the menu level at offset %s (Items Pointer %s, Item Count %s) lie outside "
    "the image; nothing was listed";
inline constexpr const char* kSubMenuOutside =
    "Record %s of the menu level at offset %s opens a submenu at %s, outside the image";
// The name shown for a record whose Text Pointer leads outside the image.
inline constexpr const char* kBadMenuText = "---";
inline constexpr const char* kTextIdBeyond =
    "The menu text ID %s lies beyond the texts of the chosen language; nothing was listed";

// A new image: empty stacks and rows, the selector back on "Select Here".
void OpenedMenu(MenuState& m);

// Finds the root descriptor (the first 10 01 01 00 from offset 1, five bytes into it) and
// makes it the current level of the Menu tab's stack (kept when the stack already holds
// levels; deeper ones are dropped); while the browser is open, the browser's stack gets it
// as its only level instead. Range errors of the buffer when the root is not there.
void GetRootOffset(Session& ed, MenuState& m);

// Reads the current level of the stack in use for the language chosen in the Menu tab's
// selector and rebuilds the rows. "Select Here" lists nothing; 62XX/7110 is refused. The
// rows are only replaced once the whole level was read.
void ListMenuLevel(Session& ed, MenuState& m, TextState& texts, Interaction& ui);

// The texts of the language that entry k of the Menu tab's selector names, read directly
// from its chunk (what ListMenuLevel lists a level with). Throws when there is no entry k or
// the chunk cannot be read.
std::vector<std::string> MenuLanguageTexts(Session& ed, const TextState& texts, int k);

// One level's records (in array order) and the rows named from `languageTexts`, read without
// touching any view: a walk over every level reads the texts once and lists each level with
// them. Throws as ListMenuLevel does for a level that cannot be listed.
struct MenuListing {
    std::vector<std::string> records;
    std::vector<MenuRow> rows;
};
MenuListing ReadMenuLevel(Session& ed, const MenuLevel& level,
                          const std::vector<std::string>& languageTexts,
                          std::int32_t commTextCount);

// The Menu tab's "Language:" selector: choosing entry k lists the current level.
void ChooseMenuLanguage(Session& ed, MenuState& m, TextState& texts, Interaction& ui, int k);

// "Edit &SubMenu" (and the browser's "&View SubMenu") on a row of the view in use;
// nothing for a row that is not there.
void EnterSubMenu(Session& ed, MenuState& m, TextState& texts, Interaction& ui, int row);
// The back button of the view in use.
void LeaveSubMenu(Session& ed, MenuState& m, TextState& texts, Interaction& ui);

// The submenus walked into from the root down to the level shown, by the image offsets of
// their descriptors.
std::vector<std::int32_t> MenuPath(const MenuView& v);
// Walks the Menu tab down again from the level shown along `path`, as far as each level is
// still a submenu of the one above it (the image may have changed since it was walked).
void WalkMenuPath(Session& ed, MenuState& m, TextState& texts, Interaction& ui,
                  const std::vector<std::int32_t>& path);

// The index into the level's records of a row of the view in use, -1 for no such row.
int RecordOfRow(MenuState& m, int row);
// "Edit &SubMenu" is offered for the row: its record opens a submenu.
bool SubMenuEnabled(MenuState& m, int row);

}  // namespace brivant
