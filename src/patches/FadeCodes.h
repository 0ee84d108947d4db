#pragma once

#include <string>
#include <vector>

namespace brivant {

// One of the four fading-LED routines and how it is hooked into the firmware. Offsets of
// the fix-ups count from the payload's first byte; each holds a call in the base code.
struct FadeVariant {
    const char* name;
    const char* baseCode;  // hex text, literal pool included
    const char* marker;    // the inner routine starts at its second halfword
    std::vector<int> toInner, toT1, toT2;
    int t2Read;  // where the second target is read, from the second call site
};

enum class FadeGroup { None, X, Y };

// What a phone type (and model) installs: the variant, its hook pattern and the distance
// from the first call site to the second.
struct FadeChoice {
    const FadeVariant* variant = nullptr;
    FadeGroup group = FadeGroup::None;
    std::string hook;
    int secondSite = 0;
    bool is62xx = false;  // the 62XX/7110 firmware reads other bits in two places
};

// The first call site lies this far past the hook pattern's start.
inline constexpr int kFirstSite = 14;

// Nothing for "no type" or an unknown text. `unitModelHex` tells a 7110 from the other
// 62XX/7110 models.
bool ChooseFade(const std::string& phoneType, const std::string& unitModelHex, FadeChoice& out);

// The payload as hex text: base code, the variant's changes, then the fade-in and fade-out
// words (four hex digits each, checked by the caller).
std::string FadePayloadHex(const FadeChoice& c, const std::string& fadeIn,
                           const std::string& fadeOut);

}  // namespace brivant
