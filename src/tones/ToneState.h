#pragma once

#include <string>
#include <vector>

#include "tones/ToneRows.h"
#include "tones/ToptionFrm.h"

namespace brivant {

// What the Tones tab and the "Alert Tones" group show and remember.
struct ToneState {
    // "A&dd" of the ringtone list.
    bool ringtoneAddEnabled = true;
    std::vector<RingtoneRow> ringtones;
    std::string ringtoneCount = "Ringtones Count: 0";
    int selectedRingtone = -1;  // -1: no row selected

    // "Alert Tones" group: the drop-down's entry and the "Change" / "Retrieve" choice.
    int alertKind = 0;
    bool alertChange = true;
    ToptionFrm Options;  // created once: keeps its repeat prefix between uses
};

}  // namespace brivant
