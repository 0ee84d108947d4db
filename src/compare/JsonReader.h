#pragma once

// A strict JSON reader for the files people hand to the program (recipes): the grammar of
// RFC 8259 and nothing more (no comments, no trailing commas, no duplicate keys), UTF-8
// checked, and nested no deeper than a limit so a hostile file cannot exhaust the stack.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brivant {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;  // a string's UTF-8, or a number as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;  // in the file's order

    // Defined where the type is complete: a pair of an incomplete type cannot be destroyed,
    // and some compilers make the implicit members on the spot.
    JsonValue();
    ~JsonValue();
    JsonValue(const JsonValue&);
    JsonValue(JsonValue&&) noexcept;
    JsonValue& operator=(const JsonValue&);
    JsonValue& operator=(JsonValue&&) noexcept;

    bool Is(Kind k) const { return kind == k; }
    // The member named `key` of an object; nullptr when there is none (or not an object).
    const JsonValue* Find(std::string_view key) const;
    // A number written as a whole number that fits, else nothing.
    std::optional<std::int64_t> Integer() const;
};

// What the kind is called in a message ("an object", "a string", ...).
const char* JsonKindName(JsonValue::Kind kind);

inline constexpr int kJsonMaxDepth = 64;

// Parses a whole document. Throws UserError naming the line and column of the first fault.
JsonValue ParseJson(std::string_view text, int maxDepth = kJsonMaxDepth);

}  // namespace brivant
