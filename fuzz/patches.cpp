// The code patches' readers: hooks, call sites and free space looked up in a family's sample
// with edits, and the patch applied where they are found. [family selector][edits]
#include "FuzzHarness.h"
#include "patches/FadeCodes.h"
#include "patches/Fading.h"
#include "patches/InvertLCD.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Edited(data, n);
    FadeChoice choice;
    if (ChooseFade(ed.PhoneTypeText(), ed.UnitModelHex, choice))
        Expect([&] { InstallFade(ed, choice, "0300", "0600"); });
    for (const int mode : {0, 1}) {
        Editor& lcd = Edited(data, n);
        Expect([&] { InvertLCD(lcd, mode); });
    }
    return 0;
}
