// A PPMChunk file loaded in place of a whole chunk ("Load All" of the feature that lists
// it). [family selector][chunk selector][file bytes]
#include "ImportRun.h"
#include "app/Features.h"

using namespace brivant;
using namespace brivant::fuzz;

namespace {
const std::vector<const Feature*>& ChunkFeatures() {
    static const std::vector<const Feature*> features = [] {
        std::vector<const Feature*> f;
        for (const Feature& feature : Features())
            if (feature.chunk && feature.loadAll) f.push_back(&feature);
        return f;
    }();
    return features;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n < 2 || ChunkFeatures().empty()) return 0;
    const Feature& feature = *ChunkFeatures()[data[1] % ChunkFeatures().size()];
    const std::string path = ScratchPath("in.bin");
    WriteScratch(path, data + 2, n - 2);
    FuzzUi ui;
    Editor& ed = Fresh(FamilyOf(data[0]), feature.tab);
    ui.openFiles = {path};
    Expect([&] { feature.loadAll(ed, ui); });
    SaveIfChanged(ed, ui);
    return 0;
}
