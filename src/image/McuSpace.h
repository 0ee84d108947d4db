#pragma once

#include <cstdint>
#include <optional>

#include "core/HexText.h"

namespace brivant {

struct Session;

// The MCU free space runs from FreeOffset up to the mark that closes it, or up to the PPM
// area when there is none. New code and data go there, and FreeOffset moves past them.
//
// Every write at FreeOffset replaces only FF bytes: it needs one run of FF bytes from
// FreeOffset on, long enough for the whole write and ending before the end of the free
// space. Anything else there (code, a table, data an earlier edit put down) is refused
// before a byte changes.

// Where the MCU free space of `image` starts: the run of FF bytes behind the header's
// DUMFILE text that reaches the end of the free space (the byte before a closing mark, or
// before the PPM marker); without such a run, the longest run of at least twenty FF bytes
// behind DUMFILE and before the PPM marker. The runs of FF the editor leaves inside tables
// (a deleted record, an array an add moved away) are thus not taken for the free space.
// -1 when there is none.
std::int32_t FindMcuFreeStart(const Bytes& image);

// The last byte new data may use; -1 when FreeOffset lies nowhere (or past the PPM area).
std::int32_t McuFreeEnd(const Session& s);
// How many bytes from FreeOffset on are free: the run of FF bytes there, not past the last
// byte McuFreeEnd allows; 0 when FreeOffset lies nowhere.
std::int64_t McuFreeRun(const Session& s);
// Where `length` bytes would go: FreeOffset raised to a multiple of `align`, when every
// byte from FreeOffset to the end of them (the skipped ones too) is FF and lies in the free
// space; nothing otherwise.
std::optional<std::int32_t> McuReserve(const Session& s, std::int64_t length, int align = 1);
// Whether `length` bytes fit at FreeOffset (McuReserve with no alignment).
bool McuFits(const Session& s, std::int64_t length);
// The free bytes a write of `data` takes: its size, and one more when it ends in FF. Such
// data gets a 00 byte behind it, or the next open, which takes the run of FF that reaches
// the end of the free space, would hand its tail out again to the next write.
std::int64_t McuFootprint(const Bytes& data);
// Writes the bytes at FreeOffset (raised to a multiple of `align`), with the 00 byte
// McuFootprint counts, and moves FreeOffset past them; returns where they went. Throws
// kNoMcuSpace, writing nothing, when they do not fit (see McuReserve); a caller with several
// writes checks the sum of their footprints first.
std::int32_t WriteAtFreeOffset(Session& s, const Bytes& data, int align = 1);
// FF bytes an edit left right below FreeOffset (the tail of a shortened array) are free
// space as the next open will find it: FreeOffset moves back over them, so that one request
// places its data alike whether the image was saved and opened again in between or not.
void SettleFreeOffset(Session& s);

inline constexpr const char* kMcuMarkHex = "3C3C3C3C3C3C3C6733";
inline constexpr const char* kNoMcuSpace = "There is no enough MCU free space";

}  // namespace brivant
