#include "patches/ThumbCall.h"

namespace brivant {

namespace {
constexpr std::int64_t kReach = std::int64_t{1} << 21;  // halfwords either way
constexpr std::int64_t kSpan = std::int64_t{1} << 22;
}  // namespace

std::optional<std::uint32_t> EncodeBL(std::int64_t from, std::int64_t to) {
    // An odd distance cannot be a Thumb target; the halving truncates toward zero.
    const std::int64_t off = (to - (from + 4)) / 2;
    if (off < -kReach || off >= kReach) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(off & (kSpan - 1));
    const std::uint32_t high = 0xF000 + (bits >> 11);
    const std::uint32_t low = 0xF800 + (bits & 0x7FF);
    return (high << 16) | low;
}

std::int64_t DecodeBL(std::int64_t at, std::uint32_t bl) {
    const std::uint32_t high = bl >> 16;
    const std::uint32_t low = bl & 0xFFFF;
    std::int64_t off = std::int64_t{high & 0x7FF} * 2048 + (low & 0x7FF);
    if (high & 0x400) off -= kSpan;
    return at + 4 + 2 * off;
}

bool IsBL(std::uint32_t word) {
    const std::uint32_t high = word >> 16;
    const std::uint32_t low = word & 0xFFFF;
    return high >= 0xF000 && high <= 0xF7FF && low >= 0xF800;
}

}  // namespace brivant
