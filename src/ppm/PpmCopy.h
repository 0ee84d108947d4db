#pragma once

#include <array>
#include <cstdint>
#include <functional>
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
// FreeOffset settled (see SettleFreeOffset) and the MCU and PPM free figures counted again;
// the PPM figure as the next save leaves it (the pieces may have grown or shrunk since the
// copy was last written into the image). Every editing step ends with it.
// Nothing happens without an image and a phone type, and an image whose free space cannot
// be counted keeps its figures.
void RecountFreeSpace(Session& ed);

// The common last step of every chunk edit: the chunk's bytes are in SubHex.
void SealChunk(Session& ed, Piece piece);

// "Retrie&ve All": writes the piece as a PPMChunk file. Returns false when cancelled.
bool RetrieveAllChunk(Session& ed, Interaction& ui, Piece piece, const std::string& title);

// The reader of the feature that lists a chunk, run on a chunk about to replace its piece:
// what it finds wrong, empty when it lists the chunk whole and ends at its end marker.
using ChunkReader = std::function<std::string(Session&, const Bytes& chunk)>;
// Registers the reader that checks files loaded as `piece` when the caller names none.
void SetChunkReader(Piece piece, ChunkReader reader);

// Why `chunk` cannot take the place of `piece`: not a chunk with this tag, a length field
// that is not its size, an end marker missing or met early, a later chunk's tag (or the
// PPM end text after PLMN) inside it, which the next split would find there, or what the
// feature's reader finds wrong. Empty when it can.
std::string ChunkFault(Session& ed, Piece piece, const Bytes& chunk, const ChunkReader& reader);

// "Load All": the file's bytes become the piece (checksum recomputed when asked),
// PpmChanged set. A file that is not a chunk the piece's reader lists whole is refused with
// UserError naming it, and nothing changes. Returns false when cancelled.
bool LoadAllChunk(Session& ed, Interaction& ui, Piece piece, const std::string& title,
                  bool recomputeChecksum, const ChunkReader& reader = {});

inline constexpr const char* kNotAChunkFile = "%s is not a %s chunk file: %s";

inline constexpr const char* kChunkOpenFilter = "PPMChunk (*.bin)|*.bin";
inline constexpr const char* kChunkSaveFilter = "PPMChunk (*.bin) | *.bin";

}  // namespace brivant
