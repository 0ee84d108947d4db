#pragma once

#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"

namespace brivant {

// The "Miscellaneous" group: the drop-down's entry and the two dialogs, created once so
// that they remember the fade times and the display mode between uses.
struct PatchState {
    int miscEntry = 0;  // 0 "Fading Leds", 1 "Inverted LCD"
    TFadeLeds fadeLeds;
    TInvertFrm invertFrm;
};

}  // namespace brivant
