#include "tones/BitText.h"

namespace brivant {

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

std::string HexToBits(std::string_view hex) {
    std::string out;
    out.reserve(hex.size() * 4);
    for (char c : hex) {
        const int v = HexDigit(c);
        if (v < 0) return "0";
        for (int bit = 3; bit >= 0; --bit) out.push_back((v >> bit) & 1 ? '1' : '0');
    }
    return out;
}

std::string BitsToHex(std::string_view bits) {
    if (bits == "0") return "0";
    std::string padded((4 - bits.size() % 4) % 4, '0');
    padded.append(bits);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(padded.size() / 4);
    for (std::size_t i = 0; i < padded.size(); i += 4) {
        int v = 0;
        for (std::size_t k = i; k < i + 4; ++k) {
            if (padded[k] != '0' && padded[k] != '1') return "0";
            v = v * 2 + (padded[k] - '0');
        }
        out.push_back(kDigits[v]);
    }
    return out;
}

}  // namespace brivant
