#include <algorithm>
#include <vector>

#include "graphics/AniCatalog.h"
#include "graphics/BitmapFormat.h"
#include "image/Address.h"
#include "image/Session.h"
#include "sample/SampleBuilder.h"
#include "sample/SampleBytes.h"

namespace brivant {

namespace {

using namespace samplebytes;

// Odd frame counts: every list ends in the fillers 46 C0, so it takes one frame more in
// place and moves for a second one. The first animation has 9 frames: its length byte (12)
// must not look like a frame value to the search that finds the length table.
const std::vector<std::vector<std::uint16_t>>& Animations() {
    static const std::vector<std::vector<std::uint16_t>> lists = {
        {1, 2, 3, 4, 5, 4, 3, 2, 1}, {2, 3, 4}, {1, 3, 5, 3, 1}, {4, 2, 1}};
    return lists;
}

// The frame lists back to back, then the length table right behind the last one.
Bytes ListBlock(std::int32_t at, std::vector<std::int32_t>& starts, std::uint32_t seed) {
    Bytes block;
    Bytes table;
    for (const auto& frames : Animations()) {
        starts.push_back(at + static_cast<std::int32_t>(block.size()));
        Bytes list;
        for (std::uint16_t v : frames) {
            list.push_back(static_cast<std::uint8_t>(v >> 8));
            list.push_back(static_cast<std::uint8_t>(v));
        }
        table.push_back(static_cast<std::uint8_t>(list.size()));
        PadWithFillers(list);
        Append(block, list);
    }
    Append(block, table);
    Append(block, Filler(8, seed));
    return block;
}

// Where the frame lists go: anywhere in the code area, or, for the families whose first
// pointer must start with given digits, inside the range they name: in the code area or
// between the MCU end mark and the PPM area. -1 when this image has no such place.
std::int32_t ListPlace(SampleContext& ctx, const std::string& prefix, std::int32_t length) {
    if (prefix.empty()) return ctx.PlaceMcu(Bytes(static_cast<std::size_t>(length), 0));
    const int shift = 4 * (8 - static_cast<int>(prefix.size()));
    const std::int64_t lo =
        ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(prefix)) << shift);
    const std::int64_t hi = lo + (std::int64_t{1} << shift);
    const SampleLayout& L = ctx.Layout();
    std::vector<std::pair<std::int64_t, std::int64_t>> regions = {
        {L.codeStart + 0x10000, L.freeOffset - 0x40}};
    if (L.mcuMark >= 0) regions.push_back({L.mcuMark + 0x40, L.ppmStart - 0x40});
    for (const auto& [from, to] : regions) {
        const std::int64_t start = (std::max(lo, from) + 0x3F) / 0x40 * 0x40;
        if (start + length <= std::min(hi, to)) return static_cast<std::int32_t>(start);
    }
    return -1;
}

void PlaceAnimations(SampleContext& ctx) {
    const SampleOptions& o = ctx.options;
    if (o.p523) ctx.PlaceMcuAt(ctx.Layout().ppmStart + 40, HexToBytes(kAniVersion61xxHex));

    // The type's rules, read as the editor reads them.
    Session type;
    type.phoneList.selected = o.family;
    if (o.p523) type.UnitModelHex = kAniVersion61xxHex;
    if (!HasAnimations(type)) return;

    std::vector<std::int32_t> starts;
    const auto length = static_cast<std::int32_t>(ListBlock(0, starts, o.seed).size());
    const std::int32_t at = ListPlace(ctx, FirstPointerPrefix(type), length);
    if (at < 0) return;
    starts.clear();
    ctx.PlaceMcuAt(at, ListBlock(at, starts, o.seed + 7));

    // The mark, for some families a second run of FF, then the pointer table where the scan
    // that starts 20 bytes behind the last of them meets it after two filler words.
    Bytes head = HexToBytes(kAniMarkHex);
    std::int32_t found = 0;
    if (HasSecondAniMark(type)) {
        Append(head, Filler(10, o.seed + 8));
        found = static_cast<std::int32_t>(head.size());
        Append(head, HexToBytes(kAniSecondMarkHex));
    }
    Append(head, Filler(static_cast<std::size_t>(found + 28) - head.size(), o.seed + 9));
    for (std::int32_t s : starts) Append(head, BE32(ToPhoneAddress(s)));
    Append(head, Filler(8, o.seed + 10));
    ctx.PlaceMcu(head);
}

}  // namespace

SampleFeature AniSampleFeature() {
    return {"animations", nullptr, PlaceAnimations};
}

}  // namespace brivant
