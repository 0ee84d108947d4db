#pragma once

#include <cstdint>

namespace brivant {

// Image offset 0 is phone address 0x200000; pointers stored in the image are addresses.
inline constexpr std::uint32_t kPhoneBase = 0x200000;

inline constexpr std::uint32_t ToPhoneAddress(std::int64_t offset) {
    return static_cast<std::uint32_t>(offset + kPhoneBase);
}
// May be negative or past the image for a pointer that does not point into it.
inline constexpr std::int64_t ToImageOffset(std::uint32_t address) {
    return std::int64_t{address} - kPhoneBase;
}

}  // namespace brivant
