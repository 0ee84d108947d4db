#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brivant {

// One row of the Languages list.
struct LanguageRow {
    std::string language;
    std::string id;      // 8 upper-case hex digits
    std::string length;  // 8 upper-case hex digits
};

// One row of the Operators (countries) list.
struct CountryRow {
    std::string country;    // the name as shown: its bytes up to the zero padding
    std::string code;       // the three digits d1 d2 d3
    std::string operators;  // two upper-case hex digits
    std::string nameBytes;  // the four stored name bytes, zero padding included
};

// What the Language Editor remembers from one use to the next.
struct LangEditMemory {
    bool typedKey = false;    // a key was typed into the text field; never cleared
    bool searchNext = false;  // the search button reads "&NEXT"
};

}  // namespace brivant
