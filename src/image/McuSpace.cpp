#include "image/McuSpace.h"

#include <algorithm>
#include <cstring>

#include "core/Search.h"
#include "core/UserError.h"
#include "image/PpmPieces.h"
#include "image/Session.h"

namespace brivant {

namespace {
constexpr std::int64_t kMinFreeRun = 20;

// The first hit of the hex pattern at or after `from`, or -1.
std::int64_t Find(const Bytes& b, std::int64_t from, const char* hex) {
    const Bytes pattern = HexToBytes(hex);
    if (from < 0 || from >= static_cast<std::int64_t>(b.size())) return -1;
    const std::uint8_t* hit =
        FindBytes(b.data() + from, b.data() + b.size(), pattern.data(), pattern.size(), false);
    return hit ? hit - b.data() : -1;
}

// The last byte of the free space that starts at or after `from`: the byte before the first
// closing mark from there on, else the byte before the PPM marker; -1 without a PPM marker.
std::int64_t FreeEndFrom(const Bytes& image, std::int64_t from) {
    const std::int64_t ppm = Find(image, 1, kPpmMarkerHex);
    if (from < 0 || ppm < 0 || ppm < from) return -1;
    const std::int64_t mark = Find(image, from, kMcuMarkHex);
    return mark > 1 ? mark - 1 : ppm - 1;
}

// The free space is most of an image and is looked for after every command, so its runs are
// walked eight bytes at a time.
constexpr std::uint64_t kAllFF = ~std::uint64_t{0};

std::uint64_t Word(const Bytes& b, std::int64_t at) {
    std::uint64_t w;
    std::memcpy(&w, b.data() + at, sizeof w);
    return w;
}

// True when some byte of w is FF: ~w then has a zero byte.
bool HasFF(std::uint64_t w) {
    const std::uint64_t v = ~w;
    return ((v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull) != 0;
}

// The first byte at or after i and before last that is FF, else last.
std::int64_t NextFF(const Bytes& b, std::int64_t i, std::int64_t last) {
    while (last - i >= 8 && !HasFF(Word(b, i))) i += 8;
    while (i < last && b[static_cast<std::size_t>(i)] != 0xFF) ++i;
    return i;
}

// The first byte at or after i and before last that is not FF, else last.
std::int64_t NextNotFF(const Bytes& b, std::int64_t i, std::int64_t last) {
    while (last - i >= 8 && Word(b, i) == kAllFF) i += 8;
    while (i < last && b[static_cast<std::size_t>(i)] == 0xFF) ++i;
    return i;
}

// The start of the run of FF bytes that ends at `end` (one past), going no lower than from.
std::int64_t RunStartBefore(const Bytes& b, std::int64_t from, std::int64_t end) {
    while (end - from >= 8 && Word(b, end - 8) == kAllFF) end -= 8;
    while (end > from && b[static_cast<std::size_t>(end - 1)] == 0xFF) --end;
    return end;
}

bool AllFF(const Bytes& b, std::int64_t from, std::int64_t end) {
    return NextNotFF(b, from, end) >= end;
}
}  // namespace

std::int32_t FindMcuFreeStart(const Bytes& image) {
    const auto size = static_cast<std::int64_t>(image.size());
    const std::int64_t dumfile = Find(image, 1, kDumfileHex);
    // The searches begin on the last byte of the DUMFILE hit.
    const std::int64_t from = dumfile < 0 ? 1 : dumfile + 6;
    const std::int64_t ppm = Find(image, 1, kPpmMarkerHex);
    std::int64_t last = size;  // one past the bytes that may be free space
    if (ppm > from) {
        // The free space ends at the first closing mark behind DUMFILE (one that lies before
        // the PPM area), else at the PPM marker; whatever lies behind a mark is not ours.
        const std::int64_t mark = Find(image, from, kMcuMarkHex);
        const std::int64_t end = mark > 1 && mark < ppm ? mark : ppm;  // one past
        const std::int64_t start = RunStartBefore(image, from, end);
        if (start < end) return static_cast<std::int32_t>(start);
        last = end;
    }
    // No run reaches the end: the longest run of FF bytes before it, the first of equals. A record
    // deleted from a table or an array an add moved away leaves a run of its own size, far shorter
    // than the free space, which the first run of twenty FF bytes could well be.
    std::int64_t best = -1, bestLength = kMinFreeRun - 1;
    for (std::int64_t i = NextFF(image, from, last); i < last;) {
        const std::int64_t j = NextNotFF(image, i, last);
        if (j - i > bestLength) {
            best = i;
            bestLength = j - i;
        }
        i = NextFF(image, j, last);
    }
    return static_cast<std::int32_t>(best);
}

std::int32_t McuFreeEnd(const Session& s) {
    return static_cast<std::int32_t>(FreeEndFrom(s.MainHex.Data(), s.FreeOffset));
}

std::int64_t McuFreeRun(const Session& s) {
    const std::int32_t last = McuFreeEnd(s);
    if (last < 0) return 0;
    return std::max<std::int64_t>(
        0, NextNotFF(s.MainHex.Data(), s.FreeOffset, last + 1) - s.FreeOffset);
}

std::optional<std::int32_t> McuReserve(const Session& s, std::int64_t length, int align) {
    const std::int64_t from = s.FreeOffset;
    const std::int64_t last = McuFreeEnd(s);
    if (from < 0 || last < 0 || length < 0 || align < 1) return std::nullopt;
    const std::int64_t spot = (from + align - 1) / align * align;
    const std::int64_t end = spot + length;  // one past
    const Bytes& b = s.MainHex.Data();
    if (end - 1 > last || end > static_cast<std::int64_t>(b.size()) || !AllFF(b, from, end))
        return std::nullopt;
    return static_cast<std::int32_t>(spot);
}

bool McuFits(const Session& s, std::int64_t length) {
    return McuReserve(s, length).has_value();
}

std::int64_t McuFootprint(const Bytes& data) {
    const bool guarded = !data.empty() && data.back() == 0xFF;
    return static_cast<std::int64_t>(data.size()) + (guarded ? 1 : 0);
}

std::int32_t WriteAtFreeOffset(Session& s, const Bytes& data, int align) {
    const std::int64_t footprint = McuFootprint(data);
    const auto spot = McuReserve(s, footprint, align);
    if (!spot) throw UserError(kNoMcuSpace);
    s.MainHex.WriteAt(*spot, data);
    if (footprint > static_cast<std::int64_t>(data.size()))
        s.MainHex.WriteAt(*spot + static_cast<std::int32_t>(data.size()), Bytes{0x00});
    s.FreeOffset = *spot + static_cast<std::int32_t>(footprint);
    return *spot;
}

void SettleFreeOffset(Session& s) {
    if (s.FreeOffset <= 0 || s.FreeOffset > s.MainHex.Size()) return;
    const Bytes& b = s.MainHex.Data();
    const std::int32_t start = FindMcuFreeStart(b);
    if (start >= 0 && start < s.FreeOffset && AllFF(b, start, s.FreeOffset)) s.FreeOffset = start;
}

}  // namespace brivant
