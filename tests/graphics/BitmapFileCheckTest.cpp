#include <gtest/gtest.h>

#include <string>

#include "graphics/BitmapFileCheck.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

void Le(Bytes& b, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A BMP with a 40-byte header, a two-colour palette and the given pixel data.
Bytes Bmp(std::int32_t w, std::int32_t h, int bits, int compression, const Bytes& data) {
    Bytes b = {'B', 'M'};
    const std::uint32_t off = 14 + 40 + 8;
    Le(b, off + static_cast<std::uint32_t>(data.size()), 4);
    Le(b, 0, 4);
    Le(b, off, 4);
    Le(b, 40, 4);
    Le(b, static_cast<std::uint32_t>(w), 4);
    Le(b, static_cast<std::uint32_t>(h), 4);
    Le(b, 1, 2);
    Le(b, static_cast<std::uint32_t>(bits), 2);
    Le(b, static_cast<std::uint32_t>(compression), 4);
    for (int i = 0; i < 5; ++i) Le(b, 0, 4);
    Le(b, 0, 4);         // black
    Le(b, 0xFFFFFF, 4);  // white
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes Cut(Bytes b, std::size_t n) {
    b.resize(n);
    return b;
}

TEST(BitmapFileCheck, WholeFilesPassWithTheirSize) {
    const Bytes plain = Bytes(4 * 16, 0);  // 24 pixels of one bit: 3 bytes, padded to 4
    const PictureFileInfo i = CheckPictureFile(Bmp(24, 16, 1, 0, plain), "a.bmp");
    EXPECT_STREQ(i.format, "bmp");
    EXPECT_EQ(i.width, 24);
    EXPECT_EQ(i.height, 16);
    // Top-down rows count as many.
    EXPECT_EQ(CheckPictureFile(Bmp(24, -16, 1, 0, plain), "a.bmp").height, 16);
    // Run-length data that reaches its end mark, with a literal run and a jump on the way.
    const Bytes rle8 = HexToBytes(
        "0501"
        "0003010203"
        "00"
        "000200010000"
        "0001");
    EXPECT_EQ(CheckPictureFile(Bmp(8, 2, 8, 1, rle8), "r.bmp").width, 8);
    const Bytes rle4 = HexToBytes(
        "0412"
        "000512340000"
        "0000"
        "0001");
    EXPECT_EQ(CheckPictureFile(Bmp(8, 2, 4, 2, rle4), "r.bmp").height, 2);
}

// Every way a file can be cut short is refused before any decoder sees it.
TEST(BitmapFileCheck, CutShortFilesAreRefused) {
    const Bytes full = Bmp(24, 16, 1, 0, Bytes(64, 0));
    EXPECT_EQ(ErrorOf([&] { CheckPictureFile(Cut(full, 84), "t.bmp"); }),
              "t.bmp is cut short: its header needs 64 bytes of pixels, the file has 22");
    EXPECT_EQ(ErrorOf([&] { CheckPictureFile(Cut(full, full.size() - 1), "t.bmp"); }),
              "t.bmp is cut short: its header needs 64 bytes of pixels, the file has 63");
    EXPECT_EQ(ErrorOf([&] { CheckPictureFile(Cut(full, 20), "t.bmp"); }),
              "t.bmp is cut short: its BMP data ends before the end of the picture");
    const Bytes rle8 = Bmp(8, 2, 8, 1, HexToBytes("05010003010203000000"));  // no end mark
    EXPECT_EQ(ErrorOf([&] { CheckPictureFile(rle8, "r.bmp"); }),
              "r.bmp is cut short: its RLE8 data ends before the end of the picture");
    const Bytes rle4 = Bmp(8, 2, 4, 2, HexToBytes("0412000512340000"));
    for (std::size_t n = rle4.size(); n > 62; --n)
        EXPECT_EQ(ErrorOf([&] { CheckPictureFile(Cut(rle4, n), "r.bmp"); }),
                  "r.bmp is cut short: its RLE4 data ends before the end of the picture");
    // A literal run that claims more bytes than are left.
    EXPECT_NE(ErrorOf([&] {
                  CheckPictureFile(Bmp(8, 2, 8, 1,
                                       HexToBytes("0040"
                                                  "0001")),
                                   "r.bmp");
              }),
              "");
}

TEST(BitmapFileCheck, SizesOutsideABitmapAreRefusedFromTheHeader) {
    struct Case {
        std::int32_t w, h;
        const char* text;
    };
    for (const Case& c : {Case{0, 5, "0 × 5"}, Case{256, 1, "256 × 1"},
                          Case{11000, 11000, "11000 × 11000"}, Case{5, -300, "5 × 300"}})
        EXPECT_EQ(ErrorOf([&] { CheckPictureFile(Bmp(c.w, c.h, 1, 0, {}), "big.bmp"); }),
                  std::string("big.bmp is ") + c.text +
                      " pixels; a bitmap must be 1 to 255 pixels wide and high");
    // A PNG says its size in its first chunk.
    const Bytes png = HexToBytes("89504E470D0A1A0A0000000D49484452000017700000177008000000");
    EXPECT_EQ(ErrorOf([&] { CheckPictureFile(png, "big.png"); }),
              "big.png is 6000 × 6000 pixels; a bitmap must be 1 to 255 pixels wide and high");
}

TEST(BitmapFileCheck, OtherFormats) {
    // The smallest GIF: a 1 x 1 image and its trailer; any cut refused.
    const Bytes gif = HexToBytes(
        "474946383961010001008000000000"
        "00FFFFFF2C00000000010001000002024401003B");
    EXPECT_STREQ(CheckPictureFile(gif, "a.gif").format, "gif");
    for (std::size_t n = 13; n < gif.size(); ++n)
        EXPECT_NE(ErrorOf([&] { CheckPictureFile(Cut(gif, n), "a.gif"); }), "") << n;
    // Netpbm: binary and plain, cut or whole.
    const std::string p4 = "P4\n# c\n9 2\n";
    Bytes pbm(p4.begin(), p4.end());
    pbm.insert(pbm.end(), 4, 0);
    EXPECT_EQ(CheckPictureFile(pbm, "a.pbm").width, 9);
    EXPECT_EQ(ErrorOf([&] { CheckPictureFile(Cut(pbm, pbm.size() - 1), "a.pbm"); }),
              "a.pbm is cut short: its header needs 4 bytes of pixels, the file has 3");
    const std::string p1 = "P1 3 2 1 0 1 0 1";
    EXPECT_NE(ErrorOf([&] { CheckPictureFile(Bytes(p1.begin(), p1.end()), "a.pbm"); }), "");
    const std::string p1ok = p1 + " 1";
    EXPECT_EQ(CheckPictureFile(Bytes(p1ok.begin(), p1ok.end()), "a.pbm").height, 2);
    // XBM needs every byte its size asks for.
    const std::string xbm =
        "#define a_width 9\n#define a_height 2\nstatic char a_bits[] = {0x01, 0x02, 0x03";
    EXPECT_NE(ErrorOf([&] { CheckPictureFile(Bytes(xbm.begin(), xbm.end()), "a.xbm"); }), "");
    const std::string xbmOk = xbm + ", 0x04};";
    EXPECT_STREQ(CheckPictureFile(Bytes(xbmOk.begin(), xbmOk.end()), "a.xbm").format, "xbm");
    // Anything else is named as not a picture.
    EXPECT_EQ(ErrorOf([&] { CheckPictureFile(HexToBytes("41424344"), "n.bmp"); }),
              "n.bmp is not a picture file this program reads (BMP, PNG, GIF, JPEG, PBM, XBM)");
    EXPECT_NE(ErrorOf([&] { CheckPictureFile(HexToBytes("FFD8FFE000104A46"), "j.jpg"); }), "");
}

}  // namespace
}  // namespace brivant::test
