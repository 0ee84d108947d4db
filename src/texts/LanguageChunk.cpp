#include "texts/LanguageChunk.h"

#include <algorithm>

#include "core/UserError.h"
#include "image/PpmPieces.h"
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
        if (s != kNotAText)
            t.lengths.push_back(s);
        else
            t.notTexts.push_back(k);
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
    if (!t.notTexts.empty() && pos < length)
        t.notTextBytes.assign(chunk.begin() + static_cast<std::ptrdiff_t>(pos),
                              chunk.begin() + static_cast<std::ptrdiff_t>(length));
    return t;
}

std::string LanguageChunkProblem(const Bytes& chunk) {
    if (chunk.size() < kHeaderSize) return "it is shorter than a chunk header (16 bytes)";
    const std::uint32_t length = GetBE32(&chunk[4]);
    if (length != chunk.size())
        return Format("its length field says %s bytes, the chunk has %s",
                      {std::to_string(length), std::to_string(chunk.size())});
    const std::size_t unit = IsTwoByteEncoding(chunk[12]) ? 2 : 1;
    std::size_t sum = kHeaderSize;
    for (std::size_t k = 0; sum < length; ++k) {
        if (kHeaderSize + k >= length) return "its length table runs into the end of the chunk";
        sum += 1 + unit * chunk[kHeaderSize + k];
    }
    if (sum != length)
        return Format("its length table describes %s bytes, its length field says %s",
                      {std::to_string(sum), std::to_string(length)});
    return {};
}

namespace {
std::int64_t FindFrom(const Bytes& in, const Bytes& what, std::int64_t from) {
    if (from < 0 || from >= static_cast<std::int64_t>(in.size())) return -1;
    const auto hit = std::search(in.begin() + from, in.end(), what.begin(), what.end());
    return hit == in.end() ? -1 : hit - in.begin();
}

std::string Where(const LanguageAt& c) {
    return Format("the chunk %s at offset %s",
                  {EscapeBytes(c.head.data() + 8, 4), std::to_string(c.offset)});
}
}  // namespace

LanguageWalk WalkLanguages(const Bytes& piece) {
    LanguageWalk w;
    const auto size = static_cast<std::int64_t>(piece.size());
    const std::int64_t trailer = size - 16;
    const std::int64_t hit = FindFrom(piece, Bytes{'C', 'O', 'M', 'M'}, 1);
    if (hit < 8) {
        w.problem = "the TEXT chunk holds no COMM chunk, where the list of languages begins";
        return w;
    }
    w.comm = true;
    auto fail = [&w](std::string why) {
        if (w.problem.empty()) w.problem = std::move(why);
    };
    std::int64_t a = hit - 8;
    while (a < trailer) {
        LanguageAt c;
        c.offset = static_cast<std::int32_t>(a);
        c.head.assign(piece.begin() + a, piece.begin() + a + 12);
        c.length = GetBE32(&c.head[4]);
        w.chunks.push_back(c);
        // The reader itself stops on a Length that points nowhere instead of looping on it.
        const std::int64_t next = a + c.length;
        if (c.length < 12 || next >= size) {
            fail(Where(c) + Format(" has a length of %s bytes, which runs past the TEXT chunk",
                                   {std::to_string(c.length)}));
            return w;
        }
        const std::int64_t padded = a + (std::int64_t{c.length} + 3) / 4 * 4;
        if (c.length < kHeaderSize || padded > trailer)
            fail(Where(c) + Format(" has a length of %s bytes, which runs past the TEXT chunk",
                                   {std::to_string(c.length)}));
        else if (!std::all_of(piece.begin() + next, piece.begin() + padded,
                              [](std::uint8_t b) { return b == 0xFF; }))
            fail(Where(c) + " is not followed by its FF padding");
        const std::int64_t found = FindFrom(piece, Bytes{0, 0}, next);
        if (found < 0) {
            fail(Where(c) + " is followed by no further chunk and no trailer");
            return w;
        }
        if (found != padded) fail(Where(c) + " is followed by bytes that are no chunk");
        a = found;
    }
    const Bytes end = HexToBytes(kTrailerHex);
    if (a != trailer || !std::equal(end.begin(), end.end(), piece.end() - 16))
        fail("the list of languages does not end at the chunk's trailer");
    return w;
}

Bytes PadToFour(Bytes chunk) {
    while (chunk.size() % 4) chunk.push_back(0xFF);
    return chunk;
}

}  // namespace brivant
