#pragma once

#include "graphics/BitmapFiles.h"

namespace brivant {

// An animated GIF of the frames, each drawn from the top-left corner of a canvas as large as
// the largest frame, looping for ever. Throws UserError when giflib refuses.
Bytes EncodeAnimatedGif(const AnimationFile& animation);

}  // namespace brivant
