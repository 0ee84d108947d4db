#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/HexText.h"

namespace brivant {

// Encoding bytes 80, 88 and A8 store two bytes per character; any other value one.
bool IsTwoByteEncoding(std::uint8_t encoding);

// The texts of one language chunk (ID, Length, tag, encoding, length table, texts).
struct LanguageTexts {
    Bytes chunk;  // the chunk's Length bytes
    bool twoByte = false;
    std::size_t tableEntries = 0;    // k: entries of the length table, 255s included
    std::vector<int> lengths;        // the text lengths, 255 entries left out
    std::vector<std::string> texts;  // display form, one per length
};

// Walks the length table and decodes every text of a chunk of Length bytes.
LanguageTexts DecodeLanguageChunk(const Bytes& chunk);

// The chunk followed by FF bytes up to the next multiple of 4: how it lies in the TEXT
// chunk and how it is written to a language file.
Bytes PadToFour(Bytes chunk);

}  // namespace brivant
