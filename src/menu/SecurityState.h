#pragma once

#include <string>

namespace brivant {

struct Session;

// The "Security Code" group: its patch button, the radio choice and the two fields of the
// manual method.
struct SecurityState {
    bool patchEnabled = true;
    int securityOption = 0;  // 0 whole menu, 1 inbox, 2 outbox, 3 manual
    std::string securityOffset1, securityOffset2;
};

// A new image: the whole menu again, no manual items.
void OpenedSecurity(SecurityState& sec);
// A phone type was chosen: 62XX/7110 has no patch.
void SecurityTypeChosen(const Session& ed, SecurityState& sec);

}  // namespace brivant
