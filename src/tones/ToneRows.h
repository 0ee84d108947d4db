#pragma once

#include <string>
#include <vector>

namespace brivant {

// One row of the Tones list: the columns as the window shows them.
struct RingtoneRow {
    std::string name;    // bytes of the name, shown character by character
    std::string id;      // 8 upper-case hex digits
    std::string length;  // 8 upper-case hex digits, as stored
};

}  // namespace brivant
