// The alert-tone tables of the MCU area: every kind retrieved from a family's sample with
// edits at the bytes its structures own. [family selector][edits]
#include "FuzzHarness.h"
#include "tones/AlertTones.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Edited(data, n);
    FuzzUi ui;
    for (int kind = 0; kind < kAlertKindCount; ++kind) {
        ui.saveFiles = {ScratchPath("alert.re")};
        Expect([&] { AlertToneDoIt(ed, ed.tones, ui, kind, false); });
    }
    return 0;
}
