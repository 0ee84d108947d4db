#pragma once

#include "graphics/BitmapFiles.h"

namespace brivant {

// The animated GIF of EncodeAnimatedGif, byte for byte, without the GIF library: for the
// builds that have none (WebAssembly). Two colours (white 0, black 1), the frames drawn from
// the top-left corner of a canvas as large as the largest one, looping for ever, each shown
// for the animation's delay and cleared to the background after.
Bytes EncodeAnimatedGifOwn(const AnimationFile& animation);

}  // namespace brivant
