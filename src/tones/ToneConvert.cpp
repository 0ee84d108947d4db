#include "tones/ToneConvert.h"

#include <algorithm>
#include <cctype>

#include "core/HexText.h"
#include "core/UserError.h"
#include "tones/ToneCatalog.h"

namespace brivant {

namespace {
// Digits 0-33 are the common header up to the name length byte.
constexpr std::size_t kHeaderDigits = 34;
// The name starts at byte 18 once the 62XX header has its extra byte.
constexpr std::size_t kNameDigit = 36;
}  // namespace

std::string ConvertFor62xx(std::string t, const std::string& id, const std::string& length,
                           const std::string& oldHeader, std::int32_t rows) {
    std::transform(t.begin(), t.end(), t.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });

    // The tone ends at its first 070B; the 62XX ending is written anew below.
    const std::size_t end = t.find("070B");
    if (end == std::string::npos) throw UserError(kNoToneEnd);
    t.resize(end);
    if (t.size() < kHeaderDigits) throw UserError(kToneTooShort);

    // The newest rows are the user's own tones; the older ones are the phone's, whose
    // header fields are kept from the record being replaced.
    const std::int32_t number = HexTextToInt(id);
    const std::int32_t limit = rows - 35;
    if (number > limit) {
        t += "0A0E070B";
        // A 02 byte goes in before the name length: bytes 12-16 become 12-17.
        t.insert(32, "02");
    } else {
        t += "060A7F0A0E0B";
        t.replace(16, 16, oldHeader.substr(16, 18));
    }

    // Name widening: every character gets a zero high byte, and one zero byte follows.
    const std::size_t q = t.find("00002FC");
    if (q == std::string::npos) throw UserError(kNoToneStart);
    const std::string name = q >= kNameDigit + 2 ? t.substr(kNameDigit, q - 1 - kNameDigit) : "";
    std::string wide;
    for (std::size_t i = 0; i + 1 < name.size(); i += 2) wide += "00" + name.substr(i, 2);
    const std::string narrow = RemoveAll(wide, "00");
    // Searched from the name on: the same digits in the tag or the ID must stay as they are.
    if (!narrow.empty()) {
        const std::size_t at = t.find(narrow, kNameDigit);
        if (at != std::string::npos) t.replace(at, narrow.size(), wide + "00");
    }

    // The wide layout counts one more than the characters it shows: keeping the common
    // layout's count would cut the name's last character off.
    const std::size_t characters = std::min<std::size_t>(wide.size() / 4 + 1, 0xFF);
    t.replace(kNameDigit - 2, 2, IntToHex(static_cast<std::uint32_t>(characters), 2));

    if (number < limit) {
        const std::size_t at = t.find("00000002FC09", kNameDigit);
        if (at != std::string::npos) t.replace(at, 12, "00000002FD0A800502");
    }

    t.replace(0, 16, id + length);
    // A cut inside a byte leaves a lone digit, which no byte can hold.
    if (t.size() % 2) t.pop_back();
    static constexpr const char* kPad[4] = {"", "FFFFFF", "FFFF", "FF"};
    t += kPad[(t.size() / 2) % 4];
    // The new length goes into the Length field itself: the old length's digits can also
    // be found inside the ID (00000004 followed by 00000040, say).
    t.replace(8, 8, IntToHex(static_cast<std::uint32_t>(t.size() / 2), 8));
    return t;
}

}  // namespace brivant
