// The animations: the Graphics tab read from a family's sample with edits, then the first
// animations and their first frames shown. [family selector][edits]
#include "FuzzHarness.h"
#include "app/FileFlow.h"
#include "graphics/AniCommands.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Edited(data, n);
    FuzzUi ui;
    Expect([&] { TabChanged(ed, ui, Tab::Graphics); });
    const int count = static_cast<int>(std::min<std::size_t>(ed.ani.catalog.size(), 3));
    for (int id = 0; id < count; ++id) {
        Expect([&] { ShowAnimation(ed, ed.ani, ed.graphics, ui, id); });
        const int frames = static_cast<int>(std::min<std::size_t>(ed.ani.frames.size(), 3));
        for (int f = 0; f < frames; ++f) Expect([&] { ShowFrame(ed, ed.ani, ed.graphics, ui, f); });
    }
    return 0;
}
