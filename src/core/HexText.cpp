#include "core/HexText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/UserError.h"

namespace brivant {

std::string Format(std::string text, std::initializer_list<std::string> args) {
    std::size_t from = 0;
    for (const auto& a : args) {
        const auto at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, a);
        from = at + a.size();
    }
    return text;
}

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";

// The value of each hex digit in either case; -1 for every other character.
struct HexValues {
    signed char value[256];
    constexpr HexValues() : value() {
        for (int c = 0; c < 256; ++c) {
            int v = -1;
            if (c >= '0' && c <= '9') v = c - '0';
            if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
            if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
            value[c] = static_cast<signed char>(v);
        }
    }
};
constexpr HexValues kHexValues;

int HexValue(char c) {
    return kHexValues.value[static_cast<unsigned char>(c)];
}
}  // namespace

std::string BytesToHex(const std::uint8_t* data, std::size_t n) {
    std::string out(2 * n, '0');
    // Written through a plain pointer: stores through the string's own accessor would make the
    // compiler reload its storage pointer after every character.
    char* o = out.data();
    for (std::size_t i = 0; i < n; ++i) {
        o[2 * i] = kDigits[data[i] >> 4];
        o[2 * i + 1] = kDigits[data[i] & 15];
    }
    return out;
}

Bytes HexToBytes(std::string_view text) {
    // The program's own hex text (the PPM pieces, records) is digits only and decodes pair by
    // pair; from the first pair that holds anything else on, characters are taken one by one.
    Bytes out(text.size() / 2);
    std::uint8_t* o = out.data();
    std::size_t pairs = 0;
    for (; pairs < out.size(); ++pairs) {
        const int high = HexValue(text[2 * pairs]);
        const int low = HexValue(text[2 * pairs + 1]);
        if ((high | low) < 0) break;
        o[pairs] = static_cast<std::uint8_t>(high << 4 | low);
    }
    if (pairs == out.size()) return out;
    out.resize(pairs);
    int high = -1;
    for (char c : text.substr(2 * pairs)) {
        const int v = HexValue(c);
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    return out;
}

std::int32_t HexTextToInt(std::string_view text) {
    if (!text.empty() && (text.back() == 'H' || text.back() == 'h')) text.remove_suffix(1);
    std::uint32_t value = 0;
    for (char c : text) {
        const int v = HexValue(c);
        if (v < 0) return 0;
        value = value * 16u + static_cast<std::uint32_t>(v);
    }
    return static_cast<std::int32_t>(value);
}

std::string IntToHex(std::uint32_t value, int digits) {
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[value & 15];
        value >>= 4;
    }
    return out;
}

std::int32_t StrToInt(const std::string& text) {
    const std::string bad = Format("'%s' is not a valid integer value", {text});
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;
    const std::string core = text.substr(i, end - i);
    if (core.empty()) throw UserError(bad);
    std::size_t j = (core[0] == '-' || core[0] == '+') ? 1 : 0;
    if (j == core.size()) throw UserError(bad);
    for (std::size_t k = j; k < core.size(); ++k)
        if (core[k] < '0' || core[k] > '9') throw UserError(bad);
    errno = 0;
    const long long v = std::strtoll(core.c_str(), nullptr, 10);
    if (errno == ERANGE || v > INT32_MAX || v < INT32_MIN) throw UserError(bad);
    return static_cast<std::int32_t>(v);
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

namespace {
bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size()) return false;
        if (n == 2 && c < 0xC2) return false;  // overlong
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}
}  // namespace

std::string DisplayText(std::string_view text) {
    return ValidUtf8(text) ? std::string(text) : Latin1ToUtf8(text);
}

std::string Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            out.push_back(static_cast<char>(((c & 0x03) << 6) |
                                            (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
            ++i;
        } else {
            throw UserError("Text holds a character that is not a single byte (U+0000 to U+00FF)");
        }
    }
    return out;
}

std::uint32_t GetBE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}
std::uint16_t GetBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
void PutBE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}
void PutBE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

}  // namespace brivant
