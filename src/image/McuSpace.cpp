#include "image/McuSpace.h"

#include "image/Session.h"

namespace brivant {

std::int32_t McuFreeEnd(Session& s) {
    HexBuffer& m = s.MainHex;
    m.SetSelectionStart(1);
    FindOffSet1(s, kPpmMarkerHex);
    const std::int32_t ppmStart = s.FoundOffset;
    const std::int32_t o = s.FreeOffset;
    if (o < 0 || ppmStart < 0 || ppmStart < o) return -1;
    m.SetSelectionStart(o);
    FindOffSet1(s, kMcuMarkHex);
    const std::int32_t mark = s.FoundOffset;
    return mark > 1 ? mark - 1 : ppmStart - 1;
}

bool McuFits(Session& s, std::int64_t length) {
    const std::int32_t last = McuFreeEnd(s);
    return last >= 0 && std::int64_t{s.FreeOffset} + length - 1 <= last;
}

std::int64_t McuFreeRun(Session& s) {
    const std::int32_t last = McuFreeEnd(s);
    if (last < 0) return 0;
    const Bytes& b = s.MainHex.Data();
    std::int64_t n = 0;
    for (std::int64_t i = s.FreeOffset; i <= last && b[static_cast<std::size_t>(i)] == 0xFF; ++i)
        ++n;
    return n;
}

std::int32_t WriteAtFreeOffset(Session& s, const Bytes& data) {
    const std::int32_t o = s.FreeOffset;
    s.MainHex.WriteAt(o, data);
    s.FreeOffset = o + static_cast<std::int32_t>(data.size());
    return o;
}

}  // namespace brivant
