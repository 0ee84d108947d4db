#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brivant {

// A small JSON writer: values are appended in order, commas are placed automatically.
class Json {
  public:
    Json& BeginObject();
    Json& EndObject();
    Json& BeginArray();
    Json& EndArray();
    Json& Key(std::string_view k);
    // UTF-8 text; a byte that is not part of well-formed UTF-8 is written as \u00XX (the code
    // point of its value), so that the output stays strict JSON.
    Json& String(std::string_view utf8);
    // Bytes shown character by character: byte b is code point b.
    Json& Latin1(std::string_view bytes);
    Json& Number(std::int64_t v);
    Json& Bool(bool v);
    Json& Null();
    const std::string& Text() const { return out_; }

  private:
    void Comma();
    std::string out_;
    bool needComma_ = false;
};

}  // namespace brivant
