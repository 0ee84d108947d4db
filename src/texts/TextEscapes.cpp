#include "texts/TextEscapes.h"

namespace brivant {

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::string EscapeBytes(const std::uint8_t* data, std::size_t n) {
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = data[i];
        if (b >= 32) {
            out.push_back(static_cast<char>(b));
        } else {
            out += "\\x";
            out += IntToHex(b, 2);
        }
    }
    return out;
}

std::optional<Bytes> UnescapeText(std::string_view text, std::string* error) {
    Bytes out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            if (i + 1 < text.size() && text[i + 1] == 'x') {
                const int hi = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
                const int lo = i + 3 < text.size() ? HexDigit(text[i + 3]) : -1;
                if (hi < 0 || lo < 0) {
                    if (error) *error = kBadEscape;
                    return std::nullopt;
                }
                out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
            }
            i += 4;
        } else {
            if (c >= 32) out.push_back(c);
            ++i;
        }
    }
    return out;
}

}  // namespace brivant
