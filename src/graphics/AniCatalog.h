#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/HexText.h"

namespace brivant {

struct Session;
struct AniState;
struct GraphicsState;
class Interaction;

// Eight EE then ten FF bytes: the animation tables follow this mark.
inline constexpr const char* kAniMarkHex = "EEEEEEEEEEEEEEEEFFFFFFFFFFFFFFFFFFFF";
// Some families keep a second run of eight FF bytes between the mark and the tables.
inline constexpr const char* kAniSecondMarkHex = "FFFFFFFFFFFFFFFF";
// "P5.23" in the PPM header: the only "61XX" firmware with animations.
inline constexpr const char* kAniVersion61xxHex = "50352E3233";
inline constexpr int kAniMaxFrames = 100;  // the range of the "Length:" up-down
inline constexpr int kAniPlayIntervalMs = 300;

inline constexpr const char* kNoAniTable = "Cannot find the animation table in this flash file";
inline constexpr const char* kNoLengthTable =
    "Cannot find the animation length table in this flash file";

// Whether the chosen phone type (and for "61XX" the PPM header) has animations at all.
bool HasAnimations(const Session& s);
// Whether the family keeps the second run of FF bytes before its tables.
bool HasSecondAniMark(const Session& s);
// The hex text the first pointer of the table starts with in this family; empty: any.
std::string FirstPointerPrefix(const Session& s);
// Bitmap ID minus frame value: 0, +1 or -1 by phone type.
int FrameValueOffset(const Session& s);

// The bitmap ID a frame value names, when the catalog of `bitmapCount` entries has it.
std::optional<int> BitmapOfFrameValue(const Session& s, std::uint16_t value, int bitmapCount);
// The frame value that names bitmap `id`. None for ID 0 of the +1 families and for the last
// ID of the -1 families, as the firmware's own editor refuses those.
std::optional<std::uint16_t> FrameValueOfBitmap(const Session& s, int id, int bitmapCount);

// Where the length table starts: from 4 bytes before the last frame list, words of frame
// values (first byte below 10) and fillers (46 C0, C0 ..) are passed over. When the first
// animation has fewer than 8 frames its own word is passed over too, so the word before the
// first other one is taken instead when the table read there fits right behind the last
// frame list. -1 when the image ends first.
std::int32_t FindLengthTable(const Bytes& image, std::int32_t lastList, std::size_t count);

// The frame values as the image stores them, padded with the fillers when `pad`.
Bytes FrameListBytes(const AniState& a, bool pad);
// The length bytes of all animations, in order.
Bytes LengthTableBytes(const AniState& a);

// GetAni: reads the pointer table, the frame lists' addresses and the length table, fills
// the frame's "Bmp ID:" list and shows animation 0. Runs once per image; types without
// animations leave the controls disabled, and tables not found are told as a notice: the
// bitmaps stay usable.
void GetAni(Session& ed, AniState& a, GraphicsState& g, Interaction& ui);

// The hooks: a new image forgets everything (playing stops); a type chosen by hand may
// find tables that the last type did not.
void OpenedAni(AniState& a);
void AniTypeChosen(AniState& a);

}  // namespace brivant
