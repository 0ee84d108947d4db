#include "sample/SampleBuilder.h"
#include "sample/SampleBytes.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/Stream.h"
#include "graphics/AniCatalog.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "ppm/Checksums.h"

namespace brivant {

namespace {

using namespace samplebytes;
constexpr std::int32_t kHeaderDumfile = 0x40;
constexpr std::int32_t kCodeStart = 0x100;
constexpr std::int32_t kPpmHeaderSize = 0x40;

void Put(Bytes& image, std::int32_t at, const Bytes& data) {
    if (at < 0 || static_cast<std::size_t>(at) + data.size() > image.size())
        throw std::out_of_range("sample data does not fit");
    std::copy(data.begin(), data.end(), image.begin() + at);
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::int32_t AlignUp(std::int32_t v, std::int32_t a) {
    return (v + a - 1) / a * a;
}

const Designation* ChosenDesignation(const SampleOptions& o) {
    if (o.designation == kNoDesignation) return nullptr;
    const auto& rows = Designations();
    if (o.designation >= 0) return &rows.at(static_cast<std::size_t>(o.designation));
    for (const auto& d : rows)
        if (d.index == o.family) return &d;
    throw std::invalid_argument("unknown phone family");
}

// The PPM header: marker, version text and designation within its first 49 bytes.
Bytes PpmHeader(const SampleOptions& o) {
    const Designation* d = ChosenDesignation(o);
    std::string text = std::string("PPM") + '\0' + "V 05.45 07-02-01 ";
    text += d ? d->name : "XYZ-0";
    text += " (c)PPM";
    Bytes h = Text(text);
    h.resize(kPpmHeaderSize, 0x20);
    return h;
}

// Default bodies of the chunks that no feature fills: plain filler of a chunk-like size.
Bytes DefaultBody(int chunk, std::uint32_t seed) {
    static constexpr std::size_t kSizes[kChunkCount] = {0x1E4, 0x3E4, 0x1FE4, 0xFE4,
                                                        0xE4,  0x7E4, 0x3E4};
    return Filler(kSizes[chunk], seed * 31u + static_cast<std::uint32_t>(chunk));
}
}  // namespace

Bytes Filler(std::size_t n, std::uint32_t seed) {
    // Bytes 0x80..0xFE only: no ASCII (tags, DUMFILE, the PPM marker), no 00 (trailer),
    // no 3C (the MCU end mark) and no FF (free space).
    Bytes out(n);
    std::uint32_t x = seed * 2654435761u + 0x9E3779B9u;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(0x80 + (x >> 8) % 0x7F);
    }
    return out;
}

Bytes MakeChunk(const std::string& tag, const Bytes& body) {
    Bytes c(8);
    const Bytes t = Text(tag);
    c.insert(c.end(), t.begin(), t.end());
    c.insert(c.end(), body.begin(), body.end());
    static const Bytes trailer = HexToBytes(kTrailerHex);
    c.insert(c.end(), trailer.begin(), trailer.end());
    PutBE32(&c[4], static_cast<std::uint32_t>(c.size()));
    PutBE32(&c[0], *ChunkChecksum(c));
    return c;
}

void SealSample(Bytes& image) {
    MemStream s(std::move(image));
    FixMCUCheckSum(s);
    FixFLSCheckSum(s);
    image = std::move(s.Data());
}

std::int32_t SampleContext::PlaceMcu(const Bytes& data, std::int32_t align) {
    const std::int32_t at = AlignUp(codeCursor_, align);
    if (at + static_cast<std::int32_t>(data.size()) > layout_.freeOffset - 0x40)
        throw std::out_of_range("sample MCU data does not fit in the code area");
    Put(image_, at, data);
    codeCursor_ = at + static_cast<std::int32_t>(data.size());
    return at;
}

void SampleContext::PlaceMcuAt(std::int32_t offset, const Bytes& data) {
    Put(image_, offset, data);
}

SampleOptions DemoSampleOptions(int family, int mib) {
    constexpr std::int32_t kMiB = 1024 * 1024;
    SampleOptions o;
    o.family = family;
    o.size = (mib > 0 ? mib : 2) * kMiB;
    Session type;
    type.phoneList.selected = family;
    // A 61XX image has animations only from the PPM version that names them.
    o.p523 = type.PhoneTypeText() == "61XX";
    const std::string prefix = FirstPointerPrefix(type);
    if (prefix.empty() || !HasAnimations(type)) return o;

    const int shift = 4 * (8 - static_cast<int>(prefix.size()));
    const std::int64_t window =
        ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(prefix)) << shift);
    // The lists go in the code area at the start of the range, the free space behind them.
    const std::int64_t free = window + 0x8000;
    constexpr std::int32_t kFree = 0x10000;
    const auto fits = [&](std::int64_t size) { return size / 2 >= free + kFree + 0x1000; };
    if (mib <= 0) {
        std::int64_t size = 2 * kMiB;
        while (size < 8 * kMiB && !fits(size)) size += kMiB;
        o.size = static_cast<std::int32_t>(size);
    }
    if (!fits(o.size)) return o;
    o.freeOffset = static_cast<std::int32_t>(free);
    o.mcuFree = kFree;
    return o;
}

SampleImage BuildSample(const SampleOptions& o) {
    if (o.size < 0x40000 || o.size > 0x800000 || o.size % 0x10000)
        throw std::invalid_argument("sample size must be 256 KiB to 8 MiB in 64 KiB steps");
    if (o.family < 1 || o.family > kPhoneTypeCount)
        throw std::invalid_argument("unknown phone family");

    SampleImage out;
    Bytes& img = out.bytes;
    SampleLayout& L = out.layout;
    const std::int32_t s = o.size;
    img.assign(static_cast<std::size_t>(s), 0xFF);

    SampleContext ctx(o, img, L);
    for (int i = 0; i < kChunkCount; ++i)
        ctx.bodies[static_cast<std::size_t>(i)] = DefaultBody(i, o.seed);
    for (const auto& f : SampleFeatures())
        if (f.chunks) f.chunks(ctx);

    // MCU: header, code, free space (ended by the mark when asked), then the PPM area.
    L.dumfile = kHeaderDumfile;
    L.codeStart = kCodeStart;
    L.freeOffset = o.freeOffset > kCodeStart && o.freeOffset < s / 2 ? o.freeOffset : s / 4;
    L.ppmStart = s / 2;
    L.ppmEnd = s - s / 16 - 1;
    L.mcuRangeStart = kCodeStart;
    L.mcuRangeEnd = L.ppmStart - 1;

    Put(img, 0, Filler(kCodeStart, o.seed + 1));
    Put(img, 34, Bytes(2, 0));
    const std::uint32_t rs = ToPhoneAddress(L.mcuRangeStart);
    const std::uint32_t re = ToPhoneAddress(L.mcuRangeEnd);
    Put(img, 36,
        {static_cast<std::uint8_t>(rs >> 16), static_cast<std::uint8_t>(rs >> 8),
         static_cast<std::uint8_t>(rs), static_cast<std::uint8_t>(re >> 16),
         static_cast<std::uint8_t>(re >> 8), static_cast<std::uint8_t>(re)});
    Put(img, L.dumfile, Text("DUMFILE"));
    Put(img, L.dumfile + 24, BE32(ToPhoneAddress(L.ppmStart)));
    Put(img, L.dumfile + 28, BE32(ToPhoneAddress(L.ppmEnd)));
    Put(img, kCodeStart, Filler(static_cast<std::size_t>(L.freeOffset - kCodeStart), o.seed + 2));
    if (o.mcuEndMark) {
        L.mcuMark = L.freeOffset + (o.mcuFree >= 0 ? o.mcuFree : s / 16);
        Put(img, L.mcuMark, HexToBytes("3C3C3C3C3C3C3C6733"));
    }
    if (o.occupiedBelowPpm) Put(img, L.ppmStart - 16, Filler(16, o.seed + 3));

    // PPM: header, the seven chunks back to back, the remainder with its DUMFILE text,
    // free space up to the end address, then other data and the tail.
    std::int32_t at = L.ppmStart;
    Put(img, at, PpmHeader(o));
    at += kPpmHeaderSize;
    for (int i = 0; i < kChunkCount; ++i) {
        const Bytes chunk =
            MakeChunk(PieceTag(static_cast<Piece>(i)), ctx.bodies[static_cast<std::size_t>(i)]);
        L.chunk[static_cast<std::size_t>(i)] = at;
        L.chunkSize[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(chunk.size());
        Put(img, at, chunk);
        at += static_cast<std::int32_t>(chunk.size());
    }
    L.remainder = at;
    Put(img, at, Filler(0x1F0, o.seed + 4));
    at += 0x1F0;
    L.ppmDumfile = at;
    Put(img, at, Text("DUMFILE"));
    at += 7;
    Put(img, at, Filler(0x29, o.seed + 5));
    at += 0x29;
    L.ppmFree = at;
    if (L.ppmFree + 0x1000 > L.ppmEnd) throw std::out_of_range("sample chunks do not fit");
    Put(img, L.ppmEnd + 1, Filler(static_cast<std::size_t>(s - L.ppmEnd - 1 - 6), o.seed + 6));
    Put(img, s - 6, Bytes(6, 0));

    ctx.SetCodeCursor(kCodeStart + 0x400);
    for (const auto& f : SampleFeatures())
        if (f.mcu) f.mcu(ctx);

    SealSample(img);
    return out;
}

}  // namespace brivant
