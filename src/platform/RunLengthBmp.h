#pragma once

#include <string>

#include "core/HexText.h"
#include "graphics/BitmapPicture.h"

namespace brivant {

// Run-length BMPs (RLE8 with 8 bits a pixel, RLE4 with 4), read by the program itself in
// every build: the toolkit's reader leaves the pixels that the data never sets as whatever
// its memory held, so the same file could give another picture each time. Here such pixels
// have colour 0, runs stop at the right edge (a literal run still uses up all its bytes),
// jumps stop at the last column and row, and an index past the palette is clear, as the
// toolkit has it. Takes a file CheckPictureFile passed; a header it cannot read throws
// UserError kPictureDamaged with `name`.
Picture DecodeRunLengthBmp(const Bytes& bytes, const std::string& name);
// Whether the file is a BMP of that kind.
bool IsRunLengthBmp(const Bytes& bytes);

}  // namespace brivant
