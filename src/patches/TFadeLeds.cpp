#include "patches/TFadeLeds.h"

#include <algorithm>
#include <cctype>

namespace brivant {

void TFadeLeds::Open() {
    Cancel = false;
    fadeIn = confirmedIn_;
    fadeOut = confirmedOut_;
}

bool TFadeLeds::ValidTime(const std::string& text) {
    // Each time becomes one halfword of the routine's pool: any other length would shift
    // the words after it.
    return text.size() == kTimeDigits && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0;
           });
}

std::optional<std::string> TFadeLeds::PressOk() {
    if (!ValidTime(fadeIn) || !ValidTime(fadeOut)) return std::string(kBadTime);
    confirmedIn_ = fadeIn;
    confirmedOut_ = fadeOut;
    Cancel = false;
    return std::nullopt;
}

}  // namespace brivant
