#include "image/ImageCheck.h"

#include "core/Search.h"
#include "image/PpmPieces.h"

namespace brivant {

namespace {
// The first hit of the hex pattern at or after `from`, or -1.
std::int64_t Find(const Bytes& b, std::int64_t from, const char* hex) {
    const Bytes pattern = HexToBytes(hex);
    if (from < 0 || from >= static_cast<std::int64_t>(b.size())) return -1;
    const std::uint8_t* hit =
        FindBytes(b.data() + from, b.data() + b.size(), pattern.data(), pattern.size(), false);
    return hit ? hit - b.data() : -1;
}

constexpr std::int64_t kPpmHeaderSize = 49;
}  // namespace

std::string MissingImagePart(const Bytes& image) {
    if (image.empty()) return "the file is empty";
    if (image.size() < kMinImageSize)
        return "it holds only " + std::to_string(image.size()) +
               " bytes, too few for an image header";
    // The marker is looked for from offset 1, as the phone type is.
    const std::int64_t marker = Find(image, 1, kPpmMarkerHex);
    if (marker < 0) return "it has no PPM area (no PPM marker)";
    if (marker + kPpmHeaderSize > static_cast<std::int64_t>(image.size()))
        return "its PPM header is cut off by the end of the file";
    std::int64_t cursor = marker, end = 0;
    for (int i = 0; i < kChunkCount; ++i) {
        const std::string tag = PieceTag(static_cast<Piece>(i));
        const std::int64_t t = Find(image, cursor, PieceTagHex(static_cast<Piece>(i)));
        if (t < 8) {
            if (i == 0) return "its PPM area has no chunk directory (no LPCS chunk)";
            return "its chunk directory has no " + tag + " chunk";
        }
        // The end marker is looked for from the tag's last byte on.
        const std::int64_t r = Find(image, t + 3, kTrailerHex);
        if (r < 0) return "its " + tag + " chunk has no end marker";
        cursor = t - 8;
        end = r + 16;
    }
    // Behind the chunks: the PPM's DUMFILE text and the free space after it, where the
    // remainder of the PPM area ends.
    const std::int64_t dumfile = Find(image, cursor, kDumfileHex);
    const std::int64_t free = dumfile < 0 ? -1 : Find(image, dumfile + 6, "FFFFFF");
    if (free <= end) return "its PPM area has no end (no DUMFILE text and free space behind it)";
    return {};
}

}  // namespace brivant
