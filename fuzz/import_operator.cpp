// A country record file added to the PLMN chunk. [family selector][file bytes]
#include "ImportRun.h"
#include "texts/Operators.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    const std::string path = ScratchPath("in.opr");
    WriteScratch(path, data + 1, n - 1);
    FuzzUi ui;
    Editor& ed = Fresh(FamilyOf(data[0]), Tab::Operators);
    ui.openFiles = {path};
    Expect([&] { LoadCountry(ed, ed.texts, ui); });
    SaveIfChanged(ed, ui);
    return 0;
}
