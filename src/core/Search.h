#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/HexText.h"

namespace brivant {

class HexBuffer;

// The first occurrence of the n pattern bytes that lies wholly in [first, last), or nullptr.
// With ignoreCase the pattern must already be lower-cased (A-Z only; other bytes compare
// exactly) and the buffer's bytes are lower-cased as they are compared.
const std::uint8_t* FindBytes(const std::uint8_t* first, const std::uint8_t* last,
                              const std::uint8_t* pattern, std::size_t n, bool ignoreCase);
// A-Z to a-z, every other byte as it is.
std::uint8_t FoldCase(std::uint8_t b);

// What the last pattern search left behind: the hit (or -1) and the pattern as bytes.
struct SearchState {
    std::int32_t FoundOffset = -1;
    Bytes searchPattern;
    bool searchIgnoreCase = false;
};

// Pattern search from the buffer's cursor. A pattern that starts with "T" is literal text
// compared ignoring case, "t" literal text compared exactly; anything else is hex (odd
// digit counts get a leading "0"). The hit, or -1, goes to FoundOffset; on a hit the last
// byte of the hit is selected back to its first (cursor on the last byte).
void FindOffSet(SearchState& state, HexBuffer& buffer, std::string_view pattern);

}  // namespace brivant
