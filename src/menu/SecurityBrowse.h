#pragma once

namespace brivant {

struct Session;
struct SecurityState;
struct MenuState;
struct TextState;
class Interaction;

inline constexpr const char* kBrowseChooseType = "Please choose correct phone type";

// The browse button beside manual field 1 (the item to guard) or 2 (the security item):
// after its checks it opens the menu browser and puts the chosen record into the field,
// which keeps its last 32 digits. A cancelled browser leaves the field as it was.
void BrowseSecurityField(Session& ed, SecurityState& sec, MenuState& m, TextState& texts,
                         Interaction& ui, int field);

}  // namespace brivant
