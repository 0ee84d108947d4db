#include "cli/Json.h"

#include <cstdio>

#include "core/HexText.h"

namespace brivant {

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
    for (unsigned char c : s) {
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
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04X", c);
                    out_ += buf;
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
