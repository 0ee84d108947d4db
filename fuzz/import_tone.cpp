// A tone file taken in by every path that reads one: Add and Change of the ringtone list,
// and Change of an alert tone. [family selector][kind selector][file bytes]
#include "ImportRun.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToptionFrm.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n < 2) return 0;
    const int family = FamilyOf(data[0]);
    const std::string path = ScratchPath("in.re");
    WriteScratch(path, data + 2, n - 2);
    FuzzUi ui;
    ui.dialogs.On<ToptionFrm>() = [](ToptionFrm& m) { return !m.PressOk(); };

    Editor& ed = Fresh(family);
    ui.openFiles = {path};
    Expect([&] { AddRingtone(ed, ed.tones, ui); });
    if (!ed.tones.ringtones.empty()) {
        ui.openFiles = {path};
        Expect([&] { ChangeRingtone(ed, ed.tones, ui, 0); });
    }
    SaveIfChanged(ed, ui);

    Editor& alert = Fresh(family);
    ui.openFiles = {path};
    Expect([&] { AlertToneDoIt(alert, alert.tones, ui, data[1] % kAlertKindCount, true); });
    SaveIfChanged(alert, ui);
    return 0;
}
