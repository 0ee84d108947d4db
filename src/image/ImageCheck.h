#pragma once

#include <string>

#include "core/HexText.h"

namespace brivant {

// The smallest file that can hold the image header with its checksum fields.
inline constexpr std::size_t kMinImageSize = 128;

// What a file lacks to be a flash image the editor can read: enough bytes for the header, a
// PPM marker with its header, the seven chunks behind it, each with its end marker, and the
// end of the PPM area behind them. Everything is looked for as the PPM copy is cut, so an
// image that passes can be cut. Empty when nothing is missing.
std::string MissingImagePart(const Bytes& image);

}  // namespace brivant
