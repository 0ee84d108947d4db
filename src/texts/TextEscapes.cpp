#include "texts/TextEscapes.h"

#include "core/UserError.h"

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
        if (b >= 32 && b != '\\') {
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
            if (i + 1 >= text.size() || text[i + 1] != 'x') {
                if (error) *error = kBadBackslash;
                return std::nullopt;
            }
            const int hi = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            const int lo = i + 3 < text.size() ? HexDigit(text[i + 3]) : -1;
            if (hi < 0 || lo < 0) {
                if (error) *error = kBadEscape;
                return std::nullopt;
            }
            out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
            i += 4;
        } else {
            if (c >= 32) out.push_back(c);
            ++i;
        }
    }
    return out;
}

std::optional<std::string> Utf8ToTextBytes(std::string_view utf8, std::string* error) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t code = c;
        if (c >= 0xF0 && c < 0xF8) {
            extra = 3;
            code = c & 0x07;
        } else if (c >= 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if (c >= 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if (c >= 0x80) {
            extra = -1;
        }
        if (extra < 0 || c >= 0xF8 || i + static_cast<std::size_t>(extra) >= utf8.size()) {
            if (error) *error = kNotUtf8;
            return std::nullopt;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((cont & 0xC0) != 0x80) {
                if (error) *error = kNotUtf8;
                return std::nullopt;
            }
            code = (code << 6) | (cont & 0x3F);
        }
        if (code > 0xFF) {
            if (error)
                *error =
                    Format(kNotOneByte,
                           {std::string(utf8.substr(i, 1 + extra)),
                            IntToHex(static_cast<std::uint32_t>(code), code > 0xFFFF ? 5 : 4)});
            return std::nullopt;
        }
        out.push_back(static_cast<char>(code));
        i += 1 + static_cast<std::size_t>(extra);
    }
    return out;
}

}  // namespace brivant
