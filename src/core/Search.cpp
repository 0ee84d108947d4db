#include "core/Search.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/HexBuffer.h"

namespace brivant {

void FindOffSet(SearchState& ed, HexBuffer& buffer, std::string_view pattern) {
    if (buffer.Empty()) return;
    ed.FoundOffset = -1;
    ed.searchIgnoreCase = false;
    ed.searchPattern.clear();
    if (pattern.empty()) return;

    if (pattern[0] == 'T' || pattern[0] == 't') {
        ed.searchPattern.assign(pattern.begin() + 1, pattern.end());
    } else {
        std::string digits;
        digits.reserve(pattern.size() + 1);
        for (char c : pattern) {
            const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if ((l >= '0' && l <= '9') || (l >= 'a' && l <= 'f')) digits.push_back(l);
        }
        if (digits.size() % 2) digits.insert(digits.begin(), '0');
        if (digits.empty()) return;
        ed.searchPattern = HexToBytes(digits);
    }
    if (ed.searchPattern.empty()) return;
    ed.searchIgnoreCase = pattern[0] == 'T';

    const auto n = static_cast<std::int32_t>(ed.searchPattern.size());
    const std::int32_t hit = buffer.Search(ed.searchPattern.data(), n, buffer.CursorPosition(),
                                           buffer.Size() - 1, ed.searchIgnoreCase);
    ed.FoundOffset = hit;
    if (hit >= 0) {
        buffer.SetSelectionStart(hit + n - 1);
        buffer.SetSelectionEnd(hit);
    }
}

}  // namespace brivant
