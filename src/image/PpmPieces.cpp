#include "image/PpmPieces.h"

namespace brivant {

namespace {
constexpr const char* kTags[kChunkCount] = {"LPCS", "GSMC", "FONT", "TEXT", "AORD", "TONE", "PLMN"};
constexpr const char* kTagHex[kChunkCount] = {"4C504353", "47534D43", "464F4E54", "54455854",
                                              "414F5244", "544F4E45", "504C4D4E"};
}  // namespace

const char* PieceTag(Piece p) {
    const int i = static_cast<int>(p);
    return i < kChunkCount ? kTags[i] : "";
}

std::optional<Piece> PieceFromTag(const std::string& tag) {
    for (int i = 0; i < kChunkCount; ++i)
        if (tag == kTags[i]) return static_cast<Piece>(i);
    return std::nullopt;
}

const char* PieceTagHex(Piece p) {
    const int i = static_cast<int>(p);
    return i < kChunkCount ? kTagHex[i] : "";
}

}  // namespace brivant
