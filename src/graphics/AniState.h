#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brivant {

// One animation: where its frame list lies, its byte of the length table, and the entry of
// the pointer table that points at the list (so a moved list is re-pointed there).
struct AniEntry {
    std::uint32_t address = 0;    // phone address of the frame list
    std::uint8_t lengthByte = 0;  // the list's size in bytes: 2 per frame
    std::int32_t slot = -1;       // image offset of its pointer
};

struct AniFrame {
    std::string label;        // "000", "001", ...
    std::uint16_t value = 0;  // names a bitmap through the phone type's offset
};

// What the animation half of the Graphics tab shows and remembers.
struct AniState {
    bool enabled = false;  // the animation controls
    bool tried = false;    // the tables were searched for this image (and not found)

    std::vector<AniEntry> catalog;        // "Ani ID:"
    std::int32_t lengthTableOffset = -1;  // where the length table was found
    std::string lengthTableText;          // the length table as it now stands in the image
    int current = -1;                     // the animation on show

    int shownCount = 0;                  // "Length:" and the position of its up-down
    std::vector<AniFrame> frames;        // "Frame:"
    int frame = -1;                      // the frame on show
    std::vector<std::string> bitmapIds;  // the frame's "Bmp ID:" list
    int frameBitmap = -1;                // its selection

    bool animate = false;  // "Animate": the 300 ms timer runs while it is checked
};

}  // namespace brivant
