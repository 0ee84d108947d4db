#include "compare/JsonReader.h"

#include <cstdint>

#include "core/UserError.h"

namespace brivant {

JsonValue::JsonValue() = default;
JsonValue::~JsonValue() = default;
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;

namespace {

class Parser {
  public:
    Parser(std::string_view text, int maxDepth) : s_(text), maxDepth_(maxDepth) {}

    JsonValue Document() {
        // A byte order mark is not JSON; editors add one now and then.
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") Fail("the file starts with a byte order mark");
        JsonValue v = Value(0);
        Space();
        if (at_ != s_.size()) Fail("unexpected text after the end of the document");
        return v;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < at_ && i < s_.size(); ++i) {
            if (s_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        throw UserError("JSON line " + std::to_string(line) + ", column " + std::to_string(column) +
                        ": " + what);
    }

    bool End() const { return at_ >= s_.size(); }
    char Peek() const { return End() ? '\0' : s_[at_]; }

    void Space() {
        while (!End() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r'))
            ++at_;
    }

    void Expect(char c) {
        if (Peek() != c) Fail(std::string("expected '") + c + "'");
        ++at_;
    }

    JsonValue Value(int depth) {
        Space();
        if (End()) Fail("unexpected end of the document");
        JsonValue v;
        switch (Peek()) {
            case '{':
                return Object(depth + 1);
            case '[':
                return Array(depth + 1);
            case '"':
                v.kind = JsonValue::Kind::String;
                v.text = String();
                return v;
            case 't':
                Word("true");
                v.kind = JsonValue::Kind::Bool;
                v.boolean = true;
                return v;
            case 'f':
                Word("false");
                v.kind = JsonValue::Kind::Bool;
                return v;
            case 'n':
                Word("null");
                return v;
            default:
                v.kind = JsonValue::Kind::Number;
                v.text = Number();
                return v;
        }
    }

    void Word(std::string_view w) {
        if (s_.substr(at_, w.size()) != w) Fail("unknown word");
        at_ += w.size();
    }

    void Deeper(int depth) const {
        if (depth > maxDepth_) Fail("nested deeper than " + std::to_string(maxDepth_) + " levels");
    }

    JsonValue Object(int depth) {
        Deeper(depth);
        JsonValue v;
        v.kind = JsonValue::Kind::Object;
        Expect('{');
        Space();
        if (Peek() == '}') {
            ++at_;
            return v;
        }
        while (true) {
            Space();
            if (Peek() != '"') Fail("expected a member name in double quotes");
            std::string key = String();
            if (v.Find(key)) Fail("the member \"" + key + "\" is given twice");
            Space();
            Expect(':');
            JsonValue member = Value(depth);
            v.members.emplace_back(std::move(key), std::move(member));
            Space();
            if (Peek() == ',') {
                ++at_;
                continue;
            }
            Expect('}');
            return v;
        }
    }

    JsonValue Array(int depth) {
        Deeper(depth);
        JsonValue v;
        v.kind = JsonValue::Kind::Array;
        Expect('[');
        Space();
        if (Peek() == ']') {
            ++at_;
            return v;
        }
        while (true) {
            v.items.push_back(Value(depth));
            Space();
            if (Peek() == ',') {
                ++at_;
                continue;
            }
            Expect(']');
            return v;
        }
    }

    static bool Digit(char c) { return c >= '0' && c <= '9'; }

    std::string Number() {
        const std::size_t from = at_;
        if (Peek() == '-') ++at_;
        if (Peek() == '0') {
            ++at_;
        } else if (Digit(Peek())) {
            while (Digit(Peek())) ++at_;
        } else {
            Fail("unexpected character");
        }
        if (Peek() == '.') {
            ++at_;
            if (!Digit(Peek())) Fail("a digit must follow the decimal point");
            while (Digit(Peek())) ++at_;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++at_;
            if (Peek() == '+' || Peek() == '-') ++at_;
            if (!Digit(Peek())) Fail("a digit must follow the exponent");
            while (Digit(Peek())) ++at_;
        }
        return std::string(s_.substr(from, at_ - from));
    }

    unsigned Hex4() {
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = Peek();
            unsigned d = 0;
            if (c >= '0' && c <= '9')
                d = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                d = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                d = static_cast<unsigned>(c - 'A' + 10);
            else
                Fail("\\u takes four hex digits");
            v = v * 16 + d;
            ++at_;
        }
        return v;
    }

    static void PutUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    // One UTF-8 sequence copied as it is, after checking it is well formed (shortest form,
    // no surrogates, at most U+10FFFF).
    void Utf8(std::string& out) {
        const auto b0 = static_cast<unsigned char>(s_[at_]);
        int n = 0;
        unsigned cp = 0, min = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            n = 1, cp = b0 & 0x1Fu, min = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            n = 2, cp = b0 & 0x0Fu, min = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            n = 3, cp = b0 & 0x07u, min = 0x10000;
        } else {
            Fail("a string holds bytes that are not UTF-8");
        }
        for (int i = 1; i <= n; ++i) {
            const std::size_t k = at_ + static_cast<std::size_t>(i);
            const auto b = k < s_.size() ? static_cast<unsigned char>(s_[k]) : 0u;
            if ((b & 0xC0u) != 0x80u) Fail("a string holds bytes that are not UTF-8");
            cp = (cp << 6) | (b & 0x3Fu);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            Fail("a string holds bytes that are not UTF-8");
        out.append(s_.substr(at_, static_cast<std::size_t>(n) + 1));
        at_ += static_cast<std::size_t>(n) + 1;
    }

    std::string String() {
        Expect('"');
        std::string out;
        while (true) {
            if (End()) Fail("a string is not closed");
            const char c = s_[at_];
            if (c == '"') {
                ++at_;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) Fail("a control character in a string");
            if (static_cast<unsigned char>(c) >= 0x80) {
                Utf8(out);
                continue;
            }
            ++at_;
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = Peek();
            ++at_;
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned cp = Hex4();
                    if (cp >= 0xDC00 && cp <= 0xDFFF) Fail("a lone low surrogate");
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        if (s_.substr(at_, 2) != "\\u") Fail("a lone high surrogate");
                        at_ += 2;
                        const unsigned low = Hex4();
                        if (low < 0xDC00 || low > 0xDFFF) Fail("a lone high surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    PutUtf8(out, cp);
                    break;
                }
                default:
                    --at_;
                    Fail("an unknown escape in a string");
            }
        }
    }

    std::string_view s_;
    std::size_t at_ = 0;
    int maxDepth_;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const auto& [k, v] : members)
        if (k == key) return &v;
    return nullptr;
}

std::optional<std::int64_t> JsonValue::Integer() const {
    if (kind != Kind::Number || text.find_first_of(".eE") != std::string::npos) return {};
    const bool negative = text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    if (digits.size() > 18) return {};
    const std::int64_t v = std::stoll(digits);
    return negative ? -v : v;
}

const char* JsonKindName(JsonValue::Kind kind) {
    switch (kind) {
        case JsonValue::Kind::Null:
            return "null";
        case JsonValue::Kind::Bool:
            return "true or false";
        case JsonValue::Kind::Number:
            return "a number";
        case JsonValue::Kind::String:
            return "a string";
        case JsonValue::Kind::Array:
            return "a list";
        case JsonValue::Kind::Object:
            return "an object";
    }
    return "a value";
}

JsonValue ParseJson(std::string_view text, int maxDepth) {
    return Parser(text, maxDepth).Document();
}

}  // namespace brivant
