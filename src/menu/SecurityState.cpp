#include "menu/SecurityState.h"

#include <stdexcept>

#include "image/Session.h"
#include "menu/SecurityPatterns.h"

namespace brivant {

bool SecurityState::ManualEnabled() const {
    return securityOption == kManual;
}

void OpenedSecurity(SecurityState& sec) {
    sec.patchEnabled = true;
    sec.securityOffset1.clear();
    sec.securityOffset2.clear();
    sec.securityOption = kWholeMenu;
}

void SecurityTypeChosen(const Session& ed, SecurityState& sec) {
    sec.patchEnabled = !ed.Is62xx();
}

void ChooseSecurityOption(SecurityState& sec, int option) {
    if (option < kWholeMenu || option > kManual) throw std::out_of_range("no such security choice");
    sec.securityOption = option;
}

void SetSecurityField(SecurityState& sec, int field, const std::string& text) {
    std::string& target = field == 1 ? sec.securityOffset1 : sec.securityOffset2;
    target =
        text.size() > kSecurityFieldDigits ? text.substr(text.size() - kSecurityFieldDigits) : text;
}

}  // namespace brivant
