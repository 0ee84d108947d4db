#pragma once

#include <string>

#include "core/HexText.h"
#include "graphics/BitmapFiles.h"

namespace brivant {

// The picture formats and writers no library of this build covers, in the program's own code.
// The readers take a file CheckPictureFile passed (its size and data are there); a value
// they cannot read throws UserError kPictureDamaged with `name`.

// PBM, PGM and PPM, plain and binary, 1 to 16 bits a sample; grey levels scaled to 8 bits.
Picture DecodeNetpbm(const Bytes& bytes, const std::string& name);
// X bitmaps: the first row of bits first, the lowest bit leftmost, 1 = black.
Picture DecodeXbm(const Bytes& bytes, const std::string& name);
// The 1-bit BMP of the canvas: white as colour 0, black as colour 1, 96 dots per inch,
// rows from the bottom, their padding zero.
Bytes EncodeOneBitBmp(const BitmapCanvas& canvas);

}  // namespace brivant
