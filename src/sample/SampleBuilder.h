#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/HexText.h"
#include "image/Address.h"
#include "image/PpmPieces.h"

namespace brivant {

inline constexpr int kNoDesignation = -2;

// The firmware code that one of the code patches hooks into.
enum class PatchHook { None, FadingLeds, InvertedLcd, Blinking };

struct SampleOptions {
    int family = 4;        // phone-type index 1..18
    int designation = -1;  // index into Designations(); -1: the family's first; kNoDesignation
    std::int32_t size = 2 * 1024 * 1024;
    bool mcuEndMark = true;         // the 3C..67 33 mark behind the MCU free space
    std::int32_t mcuFree = -1;      // bytes before that mark; -1: a sixteenth of the image
    std::int32_t freeOffset = -1;   // first byte of MCU free space; -1: a quarter of the image
    bool occupiedBelowPpm = false;  // non-free bytes right below the PPM marker
    std::uint32_t seed = 1;
    int ringtones = -1;  // records of the TONE chunk; -1: the family's usual catalog
    bool p523 = false;   // the PPM header names version P5.23 ("61XX" animations)
    PatchHook leaveOut = PatchHook::None;  // a code patch's hook the image lacks
};

// Where the builder put things (image offsets).
struct SampleLayout {
    std::int32_t dumfile = 0;                       // the header's DUMFILE text
    std::int32_t codeStart = 0;                     // MCU code
    std::int32_t freeOffset = 0;                    // first byte of MCU free space
    std::int32_t mcuMark = -1;                      // the 3C..67 33 mark, -1 when absent
    std::int32_t ppmStart = 0;                      // PPM marker
    std::array<std::int32_t, kChunkCount> chunk{};  // checksum field of each chunk
    std::array<std::int32_t, kChunkCount> chunkSize{};
    std::int32_t remainder = 0;
    std::int32_t ppmDumfile = 0;
    std::int32_t ppmFree = 0;  // first byte of PPM free space
    std::int32_t ppmEnd = 0;   // last byte of the PPM area
    std::int32_t mcuRangeStart = 0, mcuRangeEnd = 0;
};

struct SampleImage {
    Bytes bytes;
    SampleLayout layout;
};

// What a feature adds to every sample image. `chunks` may set the body of its chunk
// (everything between the tag and the trailer); `mcu` writes its tables and code into the
// MCU code area through PlaceMcu / PlaceMcuAt, after the image is laid out.
class SampleContext {
  public:
    SampleContext(const SampleOptions& o, Bytes& image, SampleLayout& layout)
        : options(o), image_(image), layout_(layout) {}

    const SampleOptions& options;
    std::array<Bytes, kChunkCount> bodies;

    Bytes& Image() { return image_; }
    const SampleLayout& Layout() const { return layout_; }
    // Next free place in the MCU code area (aligned), the bytes copied there.
    std::int32_t PlaceMcu(const Bytes& data, std::int32_t align = 4);
    void PlaceMcuAt(std::int32_t offset, const Bytes& data);
    void SetCodeCursor(std::int32_t offset) { codeCursor_ = offset; }

  private:
    Bytes& image_;
    SampleLayout& layout_;
    std::int32_t codeCursor_ = 0;
    friend SampleImage BuildSample(const SampleOptions&);
};

struct SampleFeature {
    const char* name;
    std::function<void(SampleContext&)> chunks;
    std::function<void(SampleContext&)> mcu;
};

// The features every sample carries; each subsystem adds its entry.
const std::vector<SampleFeature>& SampleFeatures();

SampleImage BuildSample(const SampleOptions& options);

// The demo image of a family: the usual layout, or, for the families whose animation lists
// must lie at phone addresses of a given range, one whose MCU free space starts inside that
// range (so that a list that grows can move there) and the smallest size that holds it.
// `mib` > 0 asks for that size; the range layout is kept where it fits.
SampleOptions DemoSampleOptions(int family, int mib = 0);

// A whole chunk: checksum, length, tag, body, trailer.
Bytes MakeChunk(const std::string& tag, const Bytes& body);
// Filler that never forms a marker, a tag, a trailer or a run of free bytes.
Bytes Filler(std::size_t n, std::uint32_t seed);
// Repairs the MCU checksum (both copies) and the file check value.
void SealSample(Bytes& image);

}  // namespace brivant
