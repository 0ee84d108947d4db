#pragma once

namespace brivant {

struct Session;
struct TextState;
class Interaction;

inline constexpr const char* kMenuUnsupported = "Menu editing not yet supported in this unit";

// The Menu tab shown: refused for 62XX/7110; the first visit after an image was opened
// reads the language list and counts the COMM texts.
void ShowMenuTab(Session& ed, TextState& texts, Interaction& ui);

}  // namespace brivant
