#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/HexText.h"
#include "image/PpmPieces.h"

namespace brivant {

struct Session;
class Interaction;

// Selects the chunk with this tag from the MainHex cursor on; returns the offset of its
// checksum field and leaves the cursor there.
std::int32_t FindChunk(Session& ed, const char* tagHex);
void SplitPPM(Session& ed);
void UpdatePPM(Session& ed);

// The common last step of every chunk edit: the chunk's bytes are in SubHex.
void SealChunk(Session& ed, Piece piece);

// "Retrie&ve All": writes the piece as a PPMChunk file. Returns false when cancelled.
bool RetrieveAllChunk(Session& ed, Interaction& ui, Piece piece, const std::string& title);
// "Load All": the file's bytes become the piece (checksum recomputed when asked),
// PpmChanged set. Returns false when cancelled or refused.
bool LoadAllChunk(Session& ed, Interaction& ui, Piece piece, const std::string& title,
                  bool recomputeChecksum);

inline constexpr const char* kChunkOpenFilter = "PPMChunk (*.bin)|*.bin";
inline constexpr const char* kChunkSaveFilter = "PPMChunk (*.bin) | *.bin";

}  // namespace brivant
