#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brivant {

// One row of the Languages list.
struct LanguageRow {
    std::string language;
    std::string id;      // 8 upper-case hex digits
    std::string length;  // 8 upper-case hex digits
    // Where the chunk lies in the TEXT piece, so that a row acts on its own chunk even
    // when another one has the same bytes; -1 when unknown (found by its key then).
    std::int32_t offset = -1;
};

// One row of the Operators (countries) list.
struct CountryRow {
    std::string country;       // the name as shown: its bytes up to the zero padding
    std::string code;          // the three digits d1 d2 d3
    std::string operators;     // two upper-case hex digits
    std::string nameBytes;     // the four stored name bytes, zero padding included
    std::int32_t offset = -1;  // of the record's tag in the PLMN piece; -1 when unknown
};

// What the Language Editor remembers from one use to the next.
struct LangEditMemory {
    bool typedKey = false;    // a key was typed into the text field; never cleared
    bool searchNext = false;  // the search button reads "&NEXT"
};

}  // namespace brivant
