#pragma once

#include <string_view>

#include "core/HexText.h"

namespace brivant {

struct Session;
struct MenuState;
struct TextState;
class Interaction;

inline constexpr const char* kMenuLevelMoved =
    "The menu level shown is no longer where it was read in the image; nothing was written";
inline constexpr const char* kLastMenuItem =
    "This is the last item of its menu level, and a level keeps at least one item: add "
    "another item to the level before deleting this one";
inline constexpr const char* kMenuLevelFull =
    "This menu level already holds 256 items; nothing was added";

// The descriptor of a level that "Add" makes for a new submenu: Items Pointer (filled in),
// Item Count 0, and its kind bytes.
inline constexpr const char* kNewMenuDescriptorHex = "000000000080010100000000";

// The commands of the Menu tab's list on the level it shows. Every change is written into
// the image at once; the level's array and descriptor are written where they were read,
// after checking that they still hold what was read there.

// "&Up" / "&Down": swaps the row with its neighbour and the records behind them; returns
// the row to select afterwards (the moved item). Nothing happens at either end.
int MoveMenuItem(Session& ed, MenuState& m, int row, bool up);
// "&Delete": the row's record leaves the array (filled up with FF bytes), Item Count drops.
void DeleteMenuItem(Session& ed, MenuState& m, Interaction& ui, int row);
// "&Edit": the record's raw fields through "Menu Editor".
void EditMenuItem(Session& ed, MenuState& m, Interaction& ui, int row);
// "&Add": a new item through "Add Menu"; the array moves to the free space, with the new
// text and submenu when there are any, and the level is listed again.
void AddMenuItem(Session& ed, MenuState& m, TextState& texts, Interaction& ui);

// A new inline text for a menu name: 04 FF, one 16-bit unit per character, 00 00.
Bytes InlineMenuText(std::string_view name);

}  // namespace brivant
