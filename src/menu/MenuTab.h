#pragma once

namespace brivant {

struct Session;
struct TextState;
struct MenuState;
class Interaction;

inline constexpr const char* kMenuUnsupported = "Menu editing not yet supported in this unit";

// The Menu tab shown: refused for 62XX/7110; the first visit after an image was opened
// reads the language list, counts the COMM texts and finds the menu root. Later visits
// read nothing while the count is set and the language selector has entries.
void ShowMenuTab(Session& ed, MenuState& m, TextState& texts, Interaction& ui);

}  // namespace brivant
