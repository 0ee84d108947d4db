// The ringtone list read from a TONE chunk: [family selector][chunk bytes]; then each of the
// first rows retrieved and the first one deleted.
#include "FuzzHarness.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Fresh(FamilyOf(data[0]));
    FuzzUi ui;
    ed.ppm[Piece::TONE] = BytesToHex(data + 1, n - 1);
    Expect([&] { ShowRingtones(ed, ed.tones, ui); });
    const int rows = static_cast<int>(std::min<std::size_t>(ed.tones.ringtones.size(), 4));
    for (int row = 0; row < rows; ++row) {
        ui.saveFiles = {ScratchPath("tone.re")};
        Expect([&] { RetrieveRingtone(ed, ed.tones, ui, row); });
    }
    if (rows > 0) Expect([&] { DeleteRingtone(ed, ed.tones, ui, 0); });
    return 0;
}
