// Open, detection, the PPM split, the free-space figures and the move of free space between
// the areas, then every tab's reader: on raw bytes (selector 0) or on a family's sample with
// edits at the bytes its structures own.
#include "FuzzHarness.h"
#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "ppm/FreeSpace.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    const bool raw = data[0] == 0;
    const int family = FamilyOf(static_cast<std::uint8_t>(raw ? n : data[0] - 1));
    Bytes image;
    if (raw) {
        image.assign(data + 1, data + n);
    } else {
        image = Sample(family).bytes;
        ApplyEdits(image, family, data + 1, n - 1);
    }
    const std::string path = ScratchPath("open.fls");
    WriteScratch(path, image.data(), image.size());

    Editor ed;
    FuzzUi ui;
    Expect([&] { OpenPath(ed, ui, path); });
    if (ed.MainHex.Empty()) return 0;
    if (ed.PhoneType() == 0) Expect([&] { ChoosePhoneType(ed, ui, family); });
    for (const Tab tab : {Tab::Tones, Tab::Graphics, Tab::Menu, Tab::Languages, Tab::Operators})
        Expect([&] { TabChanged(ed, ui, tab); });
    for (const AdjustTarget target : {AdjustTarget::MCU, AdjustTarget::PPM}) {
        ui.texts = {"100"};
        Expect([&] { AdjustSpace(ed, ui, target); });
    }
    return 0;
}
