#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace brivant {

// The PPM area cut into eight hex-text pieces, in cut and join order.
enum class Piece { LPCS, GSMC, FONT, TEXT, AORD, TONE, PLMN, Remainder };
constexpr int kPieceCount = 8;
constexpr int kChunkCount = 7;

const char* PieceTag(Piece p);  // "LPCS" ... "PLMN"; "" for the remainder
std::optional<Piece> PieceFromTag(const std::string& tag);  // chunk tags only
const char* PieceTagHex(Piece p);  // the tag as hex text; "" for the remainder

// The chunk edits not yet written back into the image.
struct PpmCopy {
    std::array<std::string, kPieceCount> pieces;
    // Hex digits of the image that the copy may cover: all pieces when they were cut, or the
    // longest copy written back since. A shorter copy is padded with FF to this length, so
    // no tail of a longer one stays behind.
    std::int32_t totalLength = 0;
    // Hex digits of the copy as it now lies in the image (cut or last written back).
    std::int32_t writtenLength = 0;
    // True once SplitPPM cut this image's PPM area completely; false after an open, so a
    // save never writes pieces of another image.
    bool split = false;
    // Image offset of each chunk's checksum field at the time of cutting.
    std::array<std::int32_t, kChunkCount> chunkOffset{};

    std::string& operator[](Piece p) { return pieces[static_cast<int>(p)]; }
    const std::string& operator[](Piece p) const { return pieces[static_cast<int>(p)]; }
};

inline constexpr const char* kPpmMarkerHex = "50504D0056";
inline constexpr const char* kDumfileHex = "44554D46494C45";
inline constexpr const char* kTrailerHex = "00000000000000100000000000000000";

}  // namespace brivant
