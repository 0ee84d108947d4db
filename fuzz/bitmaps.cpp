// The bitmap catalog: the Graphics tab read from a family's sample with edits, then a few
// bitmaps shown and their pixels read. [family selector][edits]
#include "FuzzHarness.h"
#include "app/FileFlow.h"
#include "graphics/BitmapCatalog.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Edited(data, n);
    FuzzUi ui;
    Expect([&] { TabChanged(ed, ui, Tab::Graphics); });
    const int count = static_cast<int>(ed.graphics.bitmaps.size());
    if (count == 0) return 0;
    for (const int id : {0, count - 1, static_cast<int>(n % static_cast<std::size_t>(count))}) {
        Expect([&] { SelectBitmap(ed, ed.graphics, id); });
        Expect([&] { ReadBitmapPixels(ed, ed.graphics, id); });
    }
    return 0;
}
