#include <gtest/gtest.h>

#include <numeric>

#include "graphics/BitmapPicture.h"

namespace brivant::test {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kClear = 0x00000000u;  // transparent black, as image libraries clear

int SetCount(const BitmapCanvas& c) {
    return std::accumulate(c.dark.begin(), c.dark.end(), 0);
}

Picture Grey(int width, int height, const std::function<int(int, int)>& level) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto g = static_cast<std::uint32_t>(level(x, y));
            p.argb[static_cast<std::size_t>(y * width + x)] = 0xFF000000u | g << 16 | g << 8 | g;
        }
    return p;
}

TEST(BitmapPicture, CompositingOnWhite) {
    EXPECT_EQ(OnWhite(kClear), 0xFFFFFFu);
    EXPECT_EQ(OnWhite(kBlack), 0x000000u);
    EXPECT_EQ(OnWhite(0xFF123456u), 0x123456u);
    EXPECT_EQ(OnWhite(0x80000000u), 0x7F7F7Fu);  // half-covered black is mid grey
    EXPECT_EQ(Luminance(0x808080u), 0x80);
    EXPECT_EQ(Luminance(0xFF0000u), 76);
}

// A black square drawn on a cleared canvas: only the square is set, whatever the options.
TEST(BitmapPicture, TransparentBackgroundIsClear) {
    Picture p(10, 6, kClear);
    for (int y = 1; y < 4; ++y)
        for (int x = 2; x < 5; ++x) p.argb[static_cast<std::size_t>(y * 10 + x)] = kBlack;
    PictureImport dithered;
    dithered.dither = true;
    PictureImport high;
    high.threshold = 255;
    for (const PictureImport& how : {PictureImport{}, dithered, high}) {
        const BitmapCanvas c = ToCanvas(p, how);
        EXPECT_EQ(SetCount(c), 9);
        EXPECT_TRUE(c.Dark(2, 1));
        EXPECT_TRUE(c.Dark(4, 3));
        EXPECT_FALSE(c.Dark(0, 0));
    }
    EXPECT_TRUE(IsBlackAndWhite(p));
}

// One column per grey level: a threshold sets exactly the levels below it.
TEST(BitmapPicture, ThresholdOnAGreyRamp) {
    const Picture ramp = Grey(256, 4, [](int x, int) { return x; });
    EXPECT_FALSE(IsBlackAndWhite(ramp));
    for (const int t : {0, 1, 64, 128, 200, 255}) {
        PictureImport how;
        how.threshold = t;
        EXPECT_EQ(SetCount(ToCanvas(ramp, how)), 4 * t) << t;
    }
    EXPECT_EQ(SetCount(ToCanvas(ramp, {})), 4 * 128);  // the default for pictures in grey
}

// Dithering keeps the share of dark in every region: a flat grey g sets about (255-g)/255
// of its pixels, and the whole ramp about half.
TEST(BitmapPicture, DitherKeepsTheShareOfDark) {
    PictureImport how;
    how.dither = true;
    for (const int g : {32, 64, 128, 192, 230}) {
        const BitmapCanvas c = ToCanvas(Grey(64, 64, [g](int, int) { return g; }), how);
        const double expected = 64.0 * 64.0 * (255 - g) / 255.0;
        EXPECT_NEAR(SetCount(c), expected, 64.0 * 64.0 * 0.02) << g;
    }
    const BitmapCanvas ramp = ToCanvas(Grey(256, 16, [](int x, int) { return x; }), how);
    EXPECT_NEAR(SetCount(ramp), 16 * 128, 16 * 4);
    for (int y = 0; y < 16; ++y) {
        EXPECT_TRUE(ramp.Dark(0, y));
        EXPECT_FALSE(ramp.Dark(255, y));
    }
}

// Two colours keep the editor's old rule (exact black only) until a threshold is asked for.
TEST(BitmapPicture, TwoColoursKeepExactBlack) {
    Picture red(4, 1, kWhite);
    red.argb[1] = 0xFFFF0000u;
    EXPECT_TRUE(HasTwoColours(red));
    EXPECT_EQ(SetCount(ToCanvas(red, {})), 0);
    PictureImport how;
    how.threshold = 128;
    EXPECT_EQ(SetCount(ToCanvas(red, how)), 1);

    Picture bw(4, 1, kWhite);
    bw.argb[2] = kBlack;
    for (const int t : {1, 128, 255}) {
        how.threshold = t;
        EXPECT_EQ(ToCanvas(bw, how), ToCanvas(bw, {})) << t;
    }
}

// Scaling averages areas: whole 4x4 blocks keep their colour, a block half covered is grey,
// and a picture made larger repeats its pixels.
TEST(BitmapPicture, SmoothScaling) {
    Picture logo(96, 64, kClear);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 48; ++x) logo.argb[static_cast<std::size_t>(y * 96 + x)] = kBlack;
    for (int y = 0; y < 64; ++y) logo.argb[static_cast<std::size_t>(y * 96 + 50)] = kBlack;
    const Picture small = ScalePicture(logo, 24, 16);
    ASSERT_EQ(small.width, 24);
    ASSERT_EQ(small.height, 16);
    EXPECT_EQ(OnWhite(small.At(0, 0)), 0u);
    EXPECT_EQ(OnWhite(small.At(11, 15)), 0u);
    EXPECT_EQ(OnWhite(small.At(23, 0)), 0xFFFFFFu);
    EXPECT_EQ(Luminance(OnWhite(small.At(12, 3))), 191);  // one column of four
    const BitmapCanvas c = ToCanvas(small, {});
    EXPECT_EQ(SetCount(c), 12 * 16);

    const Picture big = ScalePicture(Grey(2, 1, [](int x, int) { return x ? 255 : 0; }), 6, 2);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(OnWhite(big.At(x, 1)), x < 3 ? 0u : 0xFFFFFFu) << x;
}

}  // namespace
}  // namespace brivant::test
