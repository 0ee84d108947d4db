#pragma once

#include <string>
#include <string_view>

namespace brivant {

// Bytes read from an image (a language tag, a name) as they may appear inside a message:
// control bytes (00-1F, 7F, and 80-9F, which terminals may also act on) written as \xHH,
// every other byte kept. The result is one line, holds no NUL and can be printed whole.
std::string PrintableText(std::string_view bytes);
// The file name part of `path`, printable, for messages.
std::string ShownFileName(const std::string& path);

// The text with each NUL written as \x00, everything else as it is.
std::string WithoutNul(std::string_view text);

}  // namespace brivant
