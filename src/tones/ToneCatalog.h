#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tones/ToneRows.h"

namespace brivant {

struct Session;
struct ToneState;
class HexBuffer;
class Interaction;

inline constexpr const char* kRingtoneCountPrefix = "Ringtones Count: ";
inline constexpr std::int32_t kFirstRecord = 20;  // tone records follow the chunk header
inline constexpr std::int32_t kTrailerSize = 16;

std::string RingtoneCountText(std::size_t rows);

// Hex text with every "00" removed, left to right without overlap, at any digit position.
std::string RemoveAll(std::string text, std::string_view what);
// Two digits per character; a trailing odd digit is ignored.
std::string DecodeName(std::string_view hex);

// Reads the record that starts at `p` of the scratch buffer: ID and Length texts as
// stored, and the name as the list shows it, in the layout of the chosen phone type.
// Range errors of the buffer propagate.
RingtoneRow ReadToneRecord(Session& ed, std::int32_t p, bool layout62xx);

// Show Ringtones: the Tones list and its count label rebuilt from the TONE piece.
void ShowRingtones(Session& ed, ToneState& t, Interaction& ui);

// A new image: the list is empty until a phone type is chosen.
void OpenedTones(ToneState& t);
// A phone type was chosen: 62XX/7110 takes no new ringtones; the list is read.
void TonesTypeChosen(Session& ed, ToneState& t, Interaction& ui);

// The record key of a row: the offset of its ID + Length in the TONE piece held by
// SubHex, searched from offset 1. Throws the buffer's selection error when it is gone.
std::int32_t FindRecord(Session& ed, const RingtoneRow& row);

}  // namespace brivant
