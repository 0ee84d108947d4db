#pragma once

#include <cstdint>
#include <string>

namespace brivant {

inline constexpr const char* kNoToneEnd =
    "This tone file has no tone end (070B) and cannot be converted for 62XX/7110";
inline constexpr const char* kNoToneStart =
    "This tone file has no tone start (00002FC) and cannot be converted for 62XX/7110";
inline constexpr const char* kToneTooShort =
    "This tone file is too short to be a tone record and cannot be converted for 62XX/7110";

// Turns a tone record of the common layout (hex text) into one of the 62XX/7110 layout that
// takes the place of the selected record: `id` and `length` are the selected row's texts,
// `oldHeader` the hex of the selected record's bytes 0-16, `rows` the catalog's row count.
// Throws UserError for a file that is not a tone record.
std::string ConvertFor62xx(std::string tone, const std::string& id, const std::string& length,
                           const std::string& oldHeader, std::int32_t rows);

}  // namespace brivant
