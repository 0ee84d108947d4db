#ifdef BRIVANT_PLATFORM

#include "platform/GifEncoder.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/GifFile.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// A frame of w x h in one of the kinds of drawing that exercise the coder differently:
// empty, full, stripes, a diagonal, noise (which fills the code table and makes it start
// over on large frames).
BitmapCanvas Frame(std::mt19937& rng, int w, int h) {
    BitmapCanvas c(w, h);
    const int kind = static_cast<int>(rng() % 5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool dark = false;
            switch (kind) {
                case 0:
                    dark = false;
                    break;
                case 1:
                    dark = true;
                    break;
                case 2:
                    dark = (x / 3 + y) % 2 == 0;
                    break;
                case 3:
                    dark = x == y || x == w - 1 - y;
                    break;
                default:
                    dark = rng() % 3 == 0;
                    break;
            }
            c.Set(x, y, dark);
        }
    return c;
}

// The build without the GIF library writes animations with its own coder: the same bytes as
// the library's, for any frames, sizes, scales and delays.
TEST(GifEncoder, WritesTheGifLibrarysBytes) {
    std::mt19937 rng(1209);
    // Noise on the largest bitmap fills the code table several times over.
    AnimationFile noise;
    BitmapCanvas big(255, 255);
    for (int y = 0; y < 255; ++y)
        for (int x = 0; x < 255; ++x) big.Set(x, y, rng() % 2 == 0);
    noise.frames = {big, big};
    ASSERT_EQ(EncodeAnimatedGifOwn(noise), EncodeAnimatedGif(noise));
    for (int round = 0; round < 120; ++round) {
        AnimationFile a;
        const int frames = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < frames; ++i) {
            const bool large = round % 10 == 0;
            const int w = 1 + static_cast<int>(rng() % (large ? 255 : 40));
            const int h = 1 + static_cast<int>(rng() % (large ? 255 : 30));
            a.frames.push_back(Frame(rng, w, h));
        }
        a.scale = static_cast<int>(rng() % 10);  // 0 and 9 are clamped to 1 and 8
        a.delayMs = std::array<int, 5>{0, 4, 300, 1000, 700000}[rng() % 5];
        const Bytes library = EncodeAnimatedGif(a);
        const Bytes own = EncodeAnimatedGifOwn(a);
        ASSERT_EQ(own.size(), library.size()) << "round " << round;
        ASSERT_EQ(own, library) << "round " << round;
    }
}

}  // namespace
}  // namespace brivant::test

#endif
