// A language file added to the TEXT chunk. [family selector][file bytes]
#include "ImportRun.h"
#include "texts/Languages.h"

using namespace brivant;
using namespace brivant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n == 0) return 0;
    const std::string path = ScratchPath("in.lng");
    WriteScratch(path, data + 1, n - 1);
    FuzzUi ui;
    Editor& ed = Fresh(FamilyOf(data[0]), Tab::Languages);
    ui.openFiles = {path};
    Expect([&] { AddLanguage(ed, ed.texts, ui); });
    SaveIfChanged(ed, ui);
    return 0;
}
