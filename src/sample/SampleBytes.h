#pragma once

#include <cstdint>

#include "core/HexText.h"

// Small builders shared by the sample files: the pieces of a sample image are put together
// from big-endian words and runs of bytes.
namespace brivant::samplebytes {

inline void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

inline Bytes BE32(std::uint32_t v) {
    Bytes b(4);
    PutBE32(b.data(), v);
    return b;
}

inline Bytes BE16(std::uint16_t v) {
    Bytes b(2);
    PutBE16(b.data(), v);
    return b;
}

}  // namespace brivant::samplebytes
