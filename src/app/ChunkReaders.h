#pragma once

#include <string>

#include "core/HexText.h"

namespace brivant {

struct Session;

// The language and operator lists read a TEXT or PLMN chunk that is about to be loaded
// whole; what they find wrong, empty when they list it whole up to its end marker.
std::string TextChunkFault(Session& ed, const Bytes& chunk);
std::string PlmnChunkFault(Session& ed, const Bytes& chunk);

// Hands these readers to the PPM copy, which runs them on every TEXT and PLMN file loaded.
void RegisterChunkReaders();

}  // namespace brivant
