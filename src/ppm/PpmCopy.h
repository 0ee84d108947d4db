#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/HexText.h"

namespace brivant {

class Editor;
class Interaction;

// The PPM area cut into eight hex-text pieces, in cut and join order.
enum class Piece { LPCS, GSMC, FONT, TEXT, AORD, TONE, PLMN, Remainder };
constexpr int kPieceCount = 8;
constexpr int kChunkCount = 7;

const char* PieceTag(Piece p);  // "LPCS" ... "PLMN"; "" for the remainder
std::optional<Piece> PieceFromTag(const std::string& tag);  // chunk tags only

struct PpmCopy {
    std::array<std::string, kPieceCount> pieces;
    std::int32_t totalLength = 0;  // hex digits of all pieces when they were cut
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
inline constexpr std::uint32_t kPhoneBase = 0x200000;

// Selects the chunk with this tag from the MainHex cursor on; returns the offset of its
// checksum field and leaves the cursor there.
std::int32_t FindChunk(Editor& ed, const char* tagHex);
void SplitPPM(Editor& ed);
void UpdatePPM(Editor& ed);

// The common last step of every chunk edit: the chunk's bytes are in SubHex.
void SealChunk(Editor& ed, Piece piece);

// "Retrie&ve All": writes the piece as a PPMChunk file. Returns false when cancelled.
bool RetrieveAllChunk(Editor& ed, Interaction& ui, Piece piece, const std::string& title);
// "Load All": the file's bytes become the piece (checksum recomputed when asked),
// PpmChanged set. Returns false when cancelled or refused.
bool LoadAllChunk(Editor& ed, Interaction& ui, Piece piece, const std::string& title,
                  bool recomputeChecksum);

inline constexpr const char* kChunkOpenFilter = "PPMChunk (*.bin)|*.bin";
inline constexpr const char* kChunkSaveFilter = "PPMChunk (*.bin) | *.bin";

}  // namespace brivant
