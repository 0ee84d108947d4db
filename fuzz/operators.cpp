// The country list read from a PLMN chunk: [family selector][chunk]; then the first rows
// retrieved and the first one deleted.
#include "texts/Operators.h"
#include "FuzzHarness.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    Editor& ed = Fresh(FamilyOf(data[0]), Tab::Operators);
    FuzzUi ui;
    ed.ppm[Piece::PLMN] = BytesToHex(data + 1, n - 1);
    Expect([&] { GetOperators(ed, ed.texts); });
    const int rows = static_cast<int>(std::min<std::size_t>(ed.texts.countries.size(), 3));
    for (int row = 0; row < rows; ++row) {
        ui.saveFiles = {ScratchPath("country.opr")};
        Expect([&] { RetrieveCountry(ed, ed.texts, ui, row); });
    }
    if (rows > 0) Expect([&] { DeleteCountry(ed, ed.texts, ui, 0); });
    return 0;
}
