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
    // Entries of 255: their places in the table, and the bytes behind the last text that
    // they count (the walk reads no text there).
    std::vector<std::size_t> notTexts;
    Bytes notTextBytes;
};

// Walks the length table and decodes every text of a chunk of Length bytes.
LanguageTexts DecodeLanguageChunk(const Bytes& chunk);

// Empty when the chunk (its Length bytes) reads back whole: a header, a Length field that
// matches its size, and a length table whose entries and texts reach Length exactly.
// Otherwise what is wrong, as a clause for a message.
std::string LanguageChunkProblem(const Bytes& chunk);

// One language chunk as the list walk finds it in a TEXT piece.
struct LanguageAt {
    std::int32_t offset = 0;   // of its first byte (the ID) in the piece
    std::uint32_t length = 0;  // its Length field
    Bytes head;                // ID, Length and tag: its first 12 bytes
    bool operator==(const LanguageAt&) const = default;
};

// The walk that lists the languages of a TEXT piece (from the COMM tag on, each next chunk
// at the first 00 00 behind the previous one's Length bytes), every offset checked against
// the piece in wide arithmetic. `chunks` are the rows it gives; `problem` is empty when the
// walk is whole: every chunk lies inside the piece, is followed by its FF padding up to a
// multiple of 4 and by the next chunk, and the walk ends at the trailer, the last 16 bytes.
struct LanguageWalk {
    std::vector<LanguageAt> chunks;
    std::string problem;
    bool comm = false;  // the COMM tag was found, so there is a list at all
    bool Whole() const { return problem.empty(); }
};
LanguageWalk WalkLanguages(const Bytes& piece);

// The chunk followed by FF bytes up to the next multiple of 4: how it lies in the TEXT
// chunk and how it is written to a language file.
Bytes PadToFour(Bytes chunk);

}  // namespace brivant
