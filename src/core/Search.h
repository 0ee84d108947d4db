#pragma once

#include <string_view>

namespace brivant {

class Editor;
class HexBuffer;

// Pattern search from the buffer's cursor. A pattern that starts with "T" is literal text
// compared ignoring case, "t" literal text compared exactly; anything else is hex (odd
// digit counts get a leading "0"). The hit, or -1, goes to FoundOffset; on a hit the last
// byte of the hit is selected back to its first (cursor on the last byte).
void FindOffSet1(Editor& ed, std::string_view pattern);  // in MainHex
void FindOffSet2(Editor& ed, std::string_view pattern);  // in SubHex
void FindOffSet(Editor& ed, HexBuffer& buffer, std::string_view pattern);

}  // namespace brivant
