// The fast paths against their plain definitions: the byte search (exact and case-folded,
// rare-byte candidates, runs, the general scan) and the two checksums of an image (words in
// lanes, the register fed in quarters). [pattern length][case flag][pattern][bytes], the
// bytes searched and also taken as an image.
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "FuzzHarness.h"
#include "core/Search.h"
#include "image/Address.h"
#include "ppm/Checksums.h"

using namespace brivant;

namespace {
void Require(bool ok) {
    if (!ok) std::abort();
}

std::uint32_t Get24(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 16 | std::uint32_t{b[at + 1]} << 8 | b[at + 2];
}

// The MCU checksum word by word over the range the header names.
std::optional<std::uint16_t> PlainMcu(const Bytes& b) {
    if (b.size() < 42) return std::nullopt;
    const std::int64_t start = ToImageOffset(Get24(b, 36));
    const std::int64_t end = ToImageOffset(Get24(b, 39));
    if (start < 0 || end < start - 1 || end >= static_cast<std::int64_t>(b.size()))
        return std::nullopt;
    std::uint32_t sum = 0;
    for (std::int64_t w = 0; w < (end - start + 1) / 2; ++w)
        sum += GetBE16(&b[static_cast<std::size_t>(start + 2 * w)]);
    return static_cast<std::uint16_t>(sum);
}

// The file check value with the register stepped bit by bit, one sampled word a block.
std::optional<std::uint32_t> PlainFls(const Bytes& b) {
    if (b.size() < 128) return std::nullopt;
    std::uint32_t reg = 0x5A197B2D;
    for (std::size_t k = 1; k < b.size() / 64; ++k) {
        const std::uint8_t* x = &b[64 * k];
        const std::uint32_t word = std::uint32_t{x[0]} << 24 | std::uint32_t{x[1]} << 16 |
                                   std::uint32_t{x[32]} << 8 | x[33];
        reg = IterateChecksum(word, reg);
    }
    return IterateChecksum(0x00000000, IterateChecksum(0xFFFFFFFF, reg)) ^ 0x17CA6089;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n < 3) return 0;
    const std::size_t m = std::min<std::size_t>(1 + data[0] % 32, n - 2);
    const bool fold = data[1] & 1;
    Bytes pattern(data + 2, data + 2 + m);
    if (fold)
        for (auto& c : pattern) c = FoldCase(c);
    const std::uint8_t* first = data + 2 + m;
    const std::uint8_t* last = data + n;
    const auto same = [fold](std::uint8_t a, std::uint8_t p) {
        return (fold ? FoldCase(a) : a) == p;
    };
    const std::uint8_t* expected = std::search(first, last, pattern.begin(), pattern.end(), same);
    const std::uint8_t* hit = FindBytes(first, last, pattern.data(), pattern.size(), fold);
    Require((hit ? hit : last) == expected);

    const Bytes image(first, last);
    Require(McuChecksum(image) == PlainMcu(image));
    Require(FlsCheckValue(image) == PlainFls(image));
    return 0;
}
