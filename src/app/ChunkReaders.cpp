#include "app/ChunkReaders.h"

#include <algorithm>

#include "core/UserError.h"
#include "image/Session.h"
#include "ppm/PpmCopy.h"
#include "texts/Languages.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "texts/TextState.h"

namespace brivant {

namespace {
constexpr std::int64_t kBodyStart = 12;
constexpr std::int64_t kTrailerBytes = 16;

// The readers take their chunk from the PPM copy: the candidate stands in for the piece
// while they read, and the piece is put back whatever they do.
class StandIn {
  public:
    StandIn(Session& ed, Piece piece, const Bytes& chunk)
        : ed_(ed), piece_(piece), kept_(ed.ppm[piece]) {
        ed.ppm[piece] = BytesToHex(chunk);
    }
    ~StandIn() { ed_.ppm[piece_] = std::move(kept_); }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

  private:
    Session& ed_;
    Piece piece_;
    std::string kept_;
};
}  // namespace

std::string TextChunkFault(Session& ed, const Bytes& chunk) {
    const StandIn standIn(ed, Piece::TEXT, chunk);
    const auto end = static_cast<std::int64_t>(chunk.size()) - kTrailerBytes;
    try {
        TextState t;
        ReadLanguages(ed, t);
        // Each listed language lies after the one before and before the end marker, and
        // its texts decode.
        std::int64_t from = 0;
        for (const LanguageRow& row : t.languages) {
            const Bytes key = HexToBytes(row.id + row.length);
            const auto hit = std::search(chunk.begin() + from, chunk.end(), key.begin(), key.end());
            const std::int64_t at = hit - chunk.begin();
            const std::int64_t length = GetBE32(key.data() + 4);
            if (hit == chunk.end() || at + length > end)
                return Format(kLanguageTooLong, {PrintableText(row.language)});
            ReadLanguageTexts(ed, row.id, row.length);
            from = at + length;
        }
    } catch (const UserError& e) {
        return Format("the language list cannot be read from it (%s)", {e.what()});
    }
    return {};
}

std::string PlmnChunkFault(Session& ed, const Bytes& chunk) {
    const StandIn standIn(ed, Piece::PLMN, chunk);
    TextState t;
    try {
        GetOperators(ed, t);
    } catch (const UserError& e) {
        return Format("the country list cannot be read from it (%s)", {e.what()});
    }
    // The records lie back to back from the chunk's body to its end marker, and the list
    // holds one row for each of them, in their order.
    const auto end = static_cast<std::int64_t>(chunk.size()) - kTrailerBytes;
    const Bytes tag = {'C', 'N', 'T', 'R'};
    std::int64_t p = kBodyStart;
    std::size_t row = 0;
    while (p < end) {
        const std::string where = std::to_string(p);
        if (end - p < 16 || !std::equal(tag.begin(), tag.end(), chunk.begin() + p))
            return Format("at byte %s there is no country record where one should start", {where});
        const std::int64_t length = GetBE32(&chunk[static_cast<std::size_t>(p) + 4]);
        if (length < 16 || length > end - p)
            return Format(
                "the country record at byte %s gives its length as %s bytes, which "
                "does not fit the chunk",
                {where, std::to_string(length)});
        const auto* r = &chunk[static_cast<std::size_t>(p)];
        const bool listed = row < t.countries.size() &&
                            t.countries[row].nameBytes == std::string(r + 8, r + 12) &&
                            t.countries[row].code == BcdToCountryCode(r[12], r[13]) &&
                            t.countries[row].operators == IntToHex(r[14], 2);
        if (!listed) return Format("the country list does not read the record at byte %s", {where});
        ++row;
        p += length;
    }
    if (row != t.countries.size())
        return "the country list reads records that are not where the chunk's records lie";
    return {};
}

void RegisterChunkReaders() {
    SetChunkReader(Piece::TEXT, TextChunkFault);
    SetChunkReader(Piece::PLMN, PlmnChunkFault);
}

}  // namespace brivant
