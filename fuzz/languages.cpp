// The language list and the menu texts read from a TEXT chunk: [family selector][chunk];
// then the first rows retrieved and the first one deleted.
#include "texts/Languages.h"
#include "FuzzHarness.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Fresh(FamilyOf(data[0]), Tab::Languages);
    FuzzUi ui;
    ed.ppm[Piece::TEXT] = BytesToHex(data + 1, n - 1);
    Expect([&] { ReadLanguages(ed, ed.texts); });
    const int keys = static_cast<int>(std::min<std::size_t>(ed.texts.menuLanguages.size(), 3));
    for (int k = 0; k < keys; ++k) Expect([&] { ReadMenuTexts(ed, ed.texts, k); });
    const int rows = static_cast<int>(std::min<std::size_t>(ed.texts.languages.size(), 3));
    for (int row = 0; row < rows; ++row) {
        ui.saveFiles = {ScratchPath("language.lng")};
        Expect([&] { RetrieveLanguage(ed, ed.texts, ui, row); });
    }
    if (rows > 0) Expect([&] { DeleteLanguage(ed, ed.texts, ui, 0); });
    return 0;
}
