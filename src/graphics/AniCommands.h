#pragma once

#include "core/HexText.h"

namespace brivant {

struct Session;
struct AniState;
struct GraphicsState;
class Interaction;

inline constexpr const char* kFrameWithoutBitmap = "Frame value %s names no bitmap";
inline constexpr const char* kBitmapWithoutValue = "Bitmap %s cannot be a frame in this phone type";
inline constexpr const char* kNoEmptyAni = "An animation needs at least one frame";
inline constexpr const char* kLastAniStays =
    "The frame list of the last animation cannot move: the length table lies behind it";
inline constexpr const char* kFirstAniStays =
    "The frame list of the first animation cannot move to this address: the animation table "
    "would not be found again";
inline constexpr const char* kAniListMoved = "The frame list is no longer where it was read";
inline constexpr const char* kAniPointerMoved =
    "The animation table is no longer where it was read";
inline constexpr const char* kAniNotReadBack =
    "The frame list would not read back from the image as it was written; nothing was changed";
inline constexpr const char* kAniWouldDamage =
    "Writing the frame list would change another animation; nothing was changed";
inline constexpr const char* kLengthTableMoved =
    "The animation length table is no longer where it was read";

// A choice in "Ani ID:": its frames go to "Frame:", its count to "Length:", frame 0 is shown.
void ShowAnimation(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int id);
// A choice in "Frame:" (and every timer tick): the frame's bitmap is chosen. `write`: the
// frame list is written back (left out while a frame is being added). False when the
// frame's value names no bitmap: shown as none, told only while playing, which stops.
bool ShowFrame(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int frame,
               bool write = true);
// A choice in the frame's "Bmp ID:": the bitmap is shown and becomes the frame's; the frame
// list is written back in place. False when no frame value names that bitmap (told; nothing
// changes, playing stops).
bool FrameBitmapChosen(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int id,
                       bool write = true);
// The up-down beside "Length:" moved to `count`: one frame more (a copy of the last one) or
// the last frame less, written back at once. Every refusal is told before anything changes.
void FrameCountChanged(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int count);

// WriteAni: a list of the old length is written in place, another one at FreeOffset with
// the animation's pointer rewritten; a changed length table is written where it was found.
// Checks everything first: false (told) when refused, nothing written then. Bytes that are
// already there are not written again, so a write that changes nothing is no edit.
bool WriteAni(Session& ed, AniState& a, Interaction& ui, const Bytes& oldList, const Bytes& newList,
              const Bytes& newTable, const Bytes& oldTable);

// "Animate" checked or cleared.
void SetAnimate(AniState& a, bool on);
// A timer tick: the next frame (after the last, frame 0) is shown. False when playing
// stopped (cleared, or the frame could not be shown).
bool AnimateTick(Session& ed, AniState& a, GraphicsState& g, Interaction& ui);

}  // namespace brivant
