#include "menu/SecurityState.h"

#include "image/Session.h"

namespace brivant {

void OpenedSecurity(SecurityState& sec) {
    sec.patchEnabled = true;
    sec.securityOffset1.clear();
    sec.securityOffset2.clear();
    sec.securityOption = 0;
}

void SecurityTypeChosen(const Session& ed, SecurityState& sec) { sec.patchEnabled = !ed.Is62xx(); }

}  // namespace brivant
