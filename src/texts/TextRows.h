#pragma once

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
    std::string country;
    std::string code;
    std::string operators;  // two upper-case hex digits
};

}  // namespace brivant
