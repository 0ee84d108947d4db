#include "patches/Miscellaneous.h"

#include "core/Interaction.h"
#include "image/Session.h"
#include "patches/Fading.h"
#include "patches/InvertLCD.h"
#include "patches/PatchState.h"

namespace brivant {

void MiscDoIt(Session& ed, PatchState& p, Interaction& ui) {
    if (ed.fileNameField.empty() || ed.MainHex.Empty()) {
        ui.error(kOpenFirst);
        return;
    }
    if (p.miscEntry == 0)
        FadingLeds(ed, p, ui);
    else if (p.miscEntry == 1)
        InvertedLcd(ed, p, ui);
}

}  // namespace brivant
