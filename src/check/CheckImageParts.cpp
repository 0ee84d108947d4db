// The image as a whole: checksums, the two free spaces and the PPM chunks.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "check/CheckParts.h"
#include "core/Search.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "ppm/Checksums.h"

namespace brivant::check {

namespace {

constexpr const char* kSumWrong = "%s: stored %s, computed %s";
constexpr const char* kSumUnknown = "%s cannot be computed: %s";
constexpr const char* kNoMcuFree =
    "No MCU free space was found (no run of free bytes behind the header's DUMFILE)";
constexpr const char* kMcuFreeNowhere =
    "The MCU free space start %s lies past the PPM area or the image has no PPM area";
constexpr const char* kNotFree = "%s %s is not all free (FF): %s bytes are not, the first at %s";
constexpr const char* kNoHeader = "The image header (DUMFILE) was not found";
constexpr const char* kPpmStartField =
    "The PPM start address %s in the image header does not lead to the PPM area (at %s)";
constexpr const char* kPpmEndField =
    "The PPM end address %s in the image header lies outside the image or before the PPM area";
constexpr const char* kNoPpmFree = "No PPM free space was found behind the PPM area's DUMFILE";
constexpr const char* kChunkSum = "%s chunk at %s: stored checksum %s, computed %s";
constexpr const char* kChunkShort = "%s chunk at %s is shorter than its checksum and length";
constexpr const char* kChunkLength = "%s chunk at %s: its length field says %s bytes, it has %s";

// How many bytes of [p, end) are not FF. Free spaces run to megabytes of FF: 64 bytes at a
// time are first tested as a whole, and only a block that is not all FF is counted byte by
// byte.
std::int64_t CountNotFree(const std::uint8_t* p, const std::uint8_t* end) {
    constexpr std::size_t kBlock = 64;
    std::int64_t count = 0;
    for (; end - p >= static_cast<std::ptrdiff_t>(kBlock); p += kBlock) {
        std::uint64_t all = ~std::uint64_t{0};
        for (std::size_t w = 0; w < kBlock; w += 8) {
            std::uint64_t x;
            std::memcpy(&x, p + w, sizeof x);
            all &= x;
        }
        if (all == ~std::uint64_t{0}) continue;
        for (std::size_t i = 0; i < kBlock; ++i) count += p[i] != 0xFF;
    }
    for (; p != end; ++p) count += *p != 0xFF;
    return count;
}

// The first byte of [from, to] that is not FF, and how many are not.
std::pair<std::int64_t, std::int64_t> NotFree(const Bytes& b, std::int64_t from, std::int64_t to) {
    const std::int64_t lo = std::max<std::int64_t>(from, 0);
    const std::int64_t hi = std::min(to + 1, static_cast<std::int64_t>(b.size()));  // one past
    if (lo >= hi) return {-1, 0};
    const std::uint8_t* first = b.data() + lo;
    const std::uint8_t* last = b.data() + hi;
    const std::int64_t count = CountNotFree(first, last);
    if (count == 0) return {-1, 0};
    const std::uint8_t* hit = std::find_if(first, last, [](std::uint8_t x) { return x != 0xFF; });
    return {hit - b.data(), count};
}

void RequireFree(Checker& c, const char* what, std::int64_t from, std::int64_t to) {
    const auto [first, count] = NotFree(c.Image(), from, to);
    if (count > 0)
        c.Problem(Format(kNotFree, {what, diff::OffsetText(from) + " to " + diff::OffsetText(to),
                                    std::to_string(count), diff::OffsetText(first)}));
}

void Compare(Checker& c, const char* what, std::int64_t at, int digits,
             const std::optional<std::uint32_t>& computed) {
    const Bytes& b = c.Image();
    if (!computed) {
        c.Problem(Format(kSumUnknown, {what, "the MCU range lies outside the file"}));
        return;
    }
    if (!c.InImage(at, digits / 2)) return;
    const std::uint32_t stored = digits == 4 ? GetBE16(&b[static_cast<std::size_t>(at)])
                                             : GetBE32(&b[static_cast<std::size_t>(at)]);
    if (stored != *computed)
        c.Problem(Format(kSumWrong, {what, IntToHex(stored, digits), IntToHex(*computed, digits)}));
}

}  // namespace

void CheckChecksums(Checker& c, bool compare) {
    c.Begin("checksums");
    if (!compare) {
        c.Summary("not compared");
        return;
    }
    const Bytes& b = c.Image();
    const auto mcu = McuChecksum(b);
    std::optional<std::uint32_t> sum;
    if (mcu) sum = *mcu;
    Compare(c, "MCU checksum", 34, 4, sum);
    if (sum) Compare(c, "MCU checksum copy", c.Size() - 6, 4, sum);
    Compare(c, "File check value", c.Size() - 4, 8, FlsCheckValue(b));
    if (mcu) c.Summary("MCU checksum " + IntToHex(*mcu, 4));
}

void CheckFreeSpace(Checker& c) {
    c.Begin("freeSpace");
    Editor& ed = c.ed();
    const std::int32_t start = ed.FreeOffset;
    if (start < 0) {
        c.Problem(kNoMcuFree);
    } else {
        const std::int32_t end = McuFreeEnd(ed);
        if (end < 0) {
            c.Problem(Format(kMcuFreeNowhere, {diff::OffsetText(start)}));
        } else {
            c.Summary("MCU free " + std::to_string(std::int64_t{end} - start + 1) + " bytes from " +
                      diff::OffsetText(start));
            RequireFree(c, "The MCU free space", start, end);
        }
    }

    const std::int64_t d = diff::Find(c.side(), kDumfileHex, 1);
    if (d < 0 || !c.InImage(d + 24, 8)) {
        c.Problem(kNoHeader);
        return;
    }
    const Bytes& b = c.Image();
    const std::uint32_t startField = GetBE32(&b[static_cast<std::size_t>(d + 24)]);
    const std::uint32_t endField = GetBE32(&b[static_cast<std::size_t>(d + 28)]);
    if (ToImageOffset(startField) != c.ppmStart)
        c.Problem(Format(kPpmStartField, {IntToHex(startField, 8), diff::OffsetText(c.ppmStart)}));
    const std::int64_t e = ToImageOffset(endField);
    if (e < 0 || e >= c.Size() || e < c.ppmStart) {
        c.Problem(Format(kPpmEndField, {IntToHex(endField, 8)}));
        return;
    }
    // What the save writes back ends where the PPM area's DUMFILE text is followed by free
    // bytes; everything from there to the header's end address is the PPM free space.
    const std::int64_t ppmDumfile = diff::Find(c.side(), kDumfileHex, d + 24);
    const std::int64_t used = ppmDumfile < 0 ? -1 : diff::Find(c.side(), "FFFFFF", ppmDumfile);
    const std::int64_t counted =
        ppmDumfile < 0 ? -1 : diff::Find(c.side(), std::string(112, 'F').c_str(), ppmDumfile);
    if (used < 0 || counted < 0 || counted > e) {
        c.Problem(kNoPpmFree);
        return;
    }
    c.Summary("PPM free " + std::to_string(e - counted + 1) + " bytes from " +
              diff::OffsetText(counted));
    // Bytes left behind the data the save writes back, before the free space counted from
    // the header: stale copies of the PPM tail.
    RequireFree(c, "The PPM free space", used, counted - 1);
}

void CheckChunks(Checker& c) {
    c.Begin("chunks");
    const PpmCopy& copy = c.ed().ppm;
    for (int i = 0; i < kChunkCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const Bytes chunk = HexToBytes(copy.pieces[k]);
        const std::string tag = PieceTag(static_cast<Piece>(i));
        const std::string at = diff::OffsetText(copy.chunkOffset[k]);
        const auto sum = ChunkChecksum(chunk);
        if (!sum || chunk.size() < 8) {
            c.Problem(Format(kChunkShort, {tag, at}));
            continue;
        }
        if (GetBE32(chunk.data()) != *sum)
            c.Problem(Format(kChunkSum,
                             {tag, at, IntToHex(GetBE32(chunk.data()), 8), IntToHex(*sum, 8)}));
        if (GetBE32(chunk.data() + 4) != chunk.size())
            c.Problem(Format(kChunkLength, {tag, at, std::to_string(GetBE32(chunk.data() + 4)),
                                            std::to_string(chunk.size())}));
        c.Claim(copy.chunkOffset[k], static_cast<std::int64_t>(chunk.size()), "chunk",
                tag + " chunk");
    }
    c.Summary(std::to_string(kChunkCount) + " chunks");
}

}  // namespace brivant::check
