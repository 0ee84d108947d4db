#include "cli/Json.h"

#include <cstdio>

#include "core/HexText.h"

namespace brivant {

namespace {
// The length of the well-formed UTF-8 sequence at the start of `s`, or 0 when its first byte
// does not start one (a stray continuation byte, an overlong form, a surrogate, a code point
// past U+10FFFF, or a sequence cut short).
std::size_t Utf8Length(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < n || b(1) < lo || b(1) > hi) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (b(i) < 0x80 || b(i) > 0xBF) return 0;
    return n;
}

void Escape(std::string& out, unsigned char c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04X", c);
    out += buf;
}
}  // namespace

void Json::Comma() {
    if (needComma_) out_ += ',';
    needComma_ = false;
}

Json& Json::BeginObject() {
    Comma();
    out_ += '{';
    return *this;
}
Json& Json::EndObject() {
    out_ += '}';
    needComma_ = true;
    return *this;
}
Json& Json::BeginArray() {
    Comma();
    out_ += '[';
    return *this;
}
Json& Json::EndArray() {
    out_ += ']';
    needComma_ = true;
    return *this;
}
Json& Json::Key(std::string_view k) {
    String(k);
    out_ += ':';
    needComma_ = false;
    return *this;
}
Json& Json::String(std::string_view s) {
    Comma();
    out_ += '"';
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            // Strict parsers refuse bytes that are not UTF-8 (a file name can hold any): each
            // such byte is written as the code point of the same number, so that nothing is
            // lost and Latin-1 names read as they were meant.
            const std::size_t n = Utf8Length(s.substr(i));
            if (n == 0) {
                Escape(out_, c);
            } else {
                out_.append(s.substr(i, n));
                i += n - 1;
            }
            continue;
        }
        switch (c) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\r':
                out_ += "\\r";
                break;
            case '\t':
                out_ += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    Escape(out_, c);
                } else {
                    out_ += static_cast<char>(c);
                }
        }
    }
    out_ += '"';
    needComma_ = true;
    return *this;
}
Json& Json::Latin1(std::string_view bytes) {
    return String(Latin1ToUtf8(bytes));
}
Json& Json::Number(std::int64_t v) {
    Comma();
    out_ += std::to_string(v);
    needComma_ = true;
    return *this;
}
Json& Json::Bool(bool v) {
    Comma();
    out_ += v ? "true" : "false";
    needComma_ = true;
    return *this;
}
Json& Json::Null() {
    Comma();
    out_ += "null";
    needComma_ = true;
    return *this;
}

}  // namespace brivant
