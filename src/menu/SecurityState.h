#pragma once

#include <cstddef>
#include <string>

namespace brivant {

struct Session;

// The "Security Code" group: its patch button, the radio choice and the two fields of the
// manual method.
struct SecurityState {
    bool patchEnabled = true;
    int securityOption = 0;  // SecurityOption: 0 whole menu, 1 inbox, 2 outbox, 3 manual
    std::string securityOffset1, securityOffset2;

    // Only the manual method uses the two fields and their browse buttons.
    bool ManualEnabled() const;
};

// What a manual field keeps of a record: Func Pointer through Animation.
inline constexpr std::size_t kSecurityFieldDigits = 32;

// A new image: the whole menu again, no manual items.
void OpenedSecurity(SecurityState& sec);
// A phone type was chosen: 62XX/7110 has no patch.
void SecurityTypeChosen(const Session& ed, SecurityState& sec);
// One of the radio buttons was checked.
void ChooseSecurityOption(SecurityState& sec, int option);
// A manual field (1 or 2) receives a text; it keeps its last 32 characters.
void SetSecurityField(SecurityState& sec, int field, const std::string& text);

}  // namespace brivant
