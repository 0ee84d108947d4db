#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brivant {

// One row of the Tones list: the columns as the window shows them, and where the record
// it was read from lies, so that two identical records stay two rows.
struct RingtoneRow {
    std::string name;          // bytes of the name, shown character by character
    std::string id;            // 8 upper-case hex digits
    std::string length;        // 8 upper-case hex digits, as stored
    std::int32_t offset = -1;  // the record's first byte in the TONE piece; -1: not known
    std::int32_t size = 0;     // its byte count, as the walk stepped over it
};

}  // namespace brivant
