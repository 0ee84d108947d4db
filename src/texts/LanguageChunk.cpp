#include "texts/LanguageChunk.h"

#include <algorithm>

#include "texts/TextEscapes.h"

namespace brivant {

namespace {
constexpr std::size_t kHeaderSize = 16;
constexpr int kNotAText = 255;
}  // namespace

bool IsTwoByteEncoding(std::uint8_t encoding) {
    return encoding == 0x80 || encoding == 0x88 || encoding == 0xA8;
}

LanguageTexts DecodeLanguageChunk(const Bytes& chunk) {
    LanguageTexts t;
    t.chunk = chunk;
    if (chunk.size() < kHeaderSize) return t;
    t.twoByte = IsTwoByteEncoding(chunk[12]);
    const std::size_t length = std::min<std::size_t>(GetBE32(&chunk[4]), chunk.size());
    const std::size_t unit = t.twoByte ? 2 : 1;

    // The table has as many entries as it takes for the header, the entries and the texts
    // they announce to reach Length. A 255 entry counts but names no text.
    std::size_t sum = kHeaderSize;
    std::size_t k = 0;
    while (sum < length && kHeaderSize + k < length) {
        const int s = chunk[kHeaderSize + k];
        sum += 1 + unit * static_cast<std::size_t>(s);
        if (s != kNotAText) t.lengths.push_back(s);
        ++k;
    }
    t.tableEntries = k;

    // Each text occupies exactly its own bytes, so the next one starts right behind it.
    std::size_t pos = kHeaderSize + k;
    for (const int n : t.lengths) {
        if (n < 1) {
            t.texts.emplace_back();
            continue;
        }
        const std::size_t want = unit * static_cast<std::size_t>(n);
        const std::size_t from = std::min(pos, length);
        const std::size_t take = std::min(want, length - from);
        t.texts.push_back(EscapeBytes(chunk.data() + from, take));
        pos += want;
    }
    return t;
}

Bytes PadToFour(Bytes chunk) {
    while (chunk.size() % 4) chunk.push_back(0xFF);
    return chunk;
}

}  // namespace brivant
