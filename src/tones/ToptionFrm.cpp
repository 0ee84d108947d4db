#include "tones/ToptionFrm.h"

#include "core/HexText.h"
#include "core/UserError.h"

namespace brivant {

std::optional<std::string> ToptionFrm::PressOk() {
    countNeedsFocus = false;
    std::int32_t n = 0;
    try {
        n = StrToInt(count);
    } catch (const UserError& e) {
        return std::string(e.what());
    }
    if (n < 1 || n > 20) {
        countNeedsFocus = true;
        return std::string(kRangeMessage);
    }
    // The two decimal digits are the two hex digits of the repeat byte: 12 times is 0x12.
    const std::string digits = (n < 10 ? "0" : "") + std::to_string(n);
    prefix_ = (ascending ? "0002FD090A8005" : "0002FD0A8005") + digits;
    return std::nullopt;
}

}  // namespace brivant
