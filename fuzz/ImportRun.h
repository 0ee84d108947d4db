#pragma once

// The import targets' common ending: an import that was taken is saved, so that the chunk
// join and the checksum repair run over what it left.

#include "FuzzHarness.h"
#include "app/FileFlow.h"

namespace brivant::fuzz {

inline void SaveIfChanged(Editor& ed, FuzzUi& ui) {
    if (!ed.PpmChanged && !ed.MainHex.Modified()) return;
    ui.checksumOk = true;
    Expect([&] { SavePath(ed, ui, ScratchPath("saved.fls")); });
}

}  // namespace brivant::fuzz
