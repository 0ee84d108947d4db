#ifdef BRIVANT_PLATFORM

#include <gtest/gtest.h>

#include <gif_lib.h>
#include <sys/stat.h>

#include <QImage>

#include "core/UserError.h"
#include "platform/QtBitmapFiles.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

std::string Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const UserError& e) {
        return e.what();
    }
    return {};
}

TEST(BitmapFiles, WritesOneBitAndReadsItBack) {
    TempDir dir;
    BitmapCanvas c(13, 9);
    c.Set(0, 0, true);
    c.Set(12, 8, true);
    c.Set(5, 4, true);
    QtBitmapFiles files;
    files.Write(dir.Path("a.bmp"), c);
    const Bytes file = ReadFile(dir.Path("a.bmp"));
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[28], 1);  // bits per pixel
    EXPECT_EQ(files.Read(dir.Path("a.bmp")), c);
}

// Whatever the depth a picture is stored in, it gives the same pixels: near-black counts
// as dark once the picture is more than black and white, mid grey does not.
TEST(BitmapFiles, EveryDepthGivesTheSamePixels) {
    TempDir dir;
    QImage source(6, 1, QImage::Format_RGB888);
    const QRgb colours[] = {qRgb(0, 0, 0),       qRgb(1, 0, 0), qRgb(0, 0, 1),
                            qRgb(128, 128, 128), qRgb(0, 0, 0), qRgb(255, 255, 255)};
    for (int x = 0; x < 6; ++x) source.setPixel(x, 0, colours[x]);
    const QImage::Format formats[] = {QImage::Format_RGB888, QImage::Format_RGB32,
                                      QImage::Format_Indexed8, QImage::Format_ARGB32};
    QtBitmapFiles files;
    for (const QImage::Format f : formats) {
        const std::string path = dir.Path("c" + std::to_string(static_cast<int>(f)) + ".bmp");
        ASSERT_TRUE(source.convertToFormat(f).save(QString::fromStdString(path), "BMP"));
        const BitmapCanvas c = files.Read(path);
        ASSERT_EQ(c.width, 6);
        EXPECT_EQ(c.dark, (std::vector<std::uint8_t>{1, 1, 1, 0, 1, 0})) << static_cast<int>(f);
    }
}

TEST(BitmapFiles, ReaderMessages) {
    TempDir dir;
    QtBitmapFiles files;
    WriteFile(dir.Path("junk.bmp"), HexToBytes("424D0000"));
    WriteFile(dir.Path("note.txt"), HexToBytes("41"));
    EXPECT_EQ(Message([&] {
                  files.Read(dir.Path("none.bmp"));
              }).rfind("Cannot open file " + dir.Path("none.bmp") + " (", 0),
              0u);
    EXPECT_EQ(
        Message([&] { files.Read(dir.Path("junk.bmp")); }),
        dir.Path("junk.bmp") + " is cut short: its BMP data ends before the end of the picture");
    EXPECT_EQ(Message([&] { files.Read(dir.Path("note.txt")); }),
              dir.Path("note.txt") +
                  " is not a picture file this program reads (BMP, PNG, GIF, JPEG, PBM, XBM)");
    // A FIFO is refused with its reason, before anything waits on it.
    ASSERT_EQ(::mkfifo(dir.Path("fifo.bmp").c_str(), 0600), 0);
    EXPECT_NE(Message([&] { files.Read(dir.Path("fifo.bmp")); }),
              "Cannot open file " + dir.Path("fifo.bmp"));
}

// Transparent is clear: a black square on a cleared canvas, as image libraries save it.
TEST(BitmapFiles, TransparentBackgroundImportsOnlyTheDrawing) {
    TempDir dir;
    QImage logo(12, 8, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    for (int y = 2; y < 5; ++y)
        for (int x = 3; x < 7; ++x) logo.setPixel(x, y, qRgba(0, 0, 0, 255));
    QtBitmapFiles files;
    for (const char* f : {"PNG"}) {  // (a BMP keeps no alpha as Qt writes it)
        const std::string path = dir.Path(std::string("t.") + f);
        ASSERT_TRUE(logo.save(QString::fromStdString(path), f));
        const BitmapCanvas c = files.Read(path);
        int set = 0;
        for (const auto d : c.dark) set += d;
        EXPECT_EQ(set, 12) << f;
        EXPECT_TRUE(c.Dark(3, 2));
        EXPECT_FALSE(c.Dark(0, 0));
    }
}

// What the editor writes is the same bytes every time (padding zero, one resolution), in
// both formats, and reads back as the same pixels.
TEST(BitmapFiles, WritesAreDeterministicAndReadBack) {
    TempDir dir;
    for (const int width : {1, 7, 13, 31, 33}) {
        BitmapCanvas c(width, 5);
        for (int x = 0; x < width; x += 2) c.Set(x, x % 5, true);
        QtBitmapFiles files;
        for (const PictureFormat f : {PictureFormat::Bmp, PictureFormat::Png}) {
            const std::string a = dir.Path("a"), b = dir.Path("b");
            files.Write(a, c, f);
            files.Write(b, c, f);
            const Bytes first = ReadFile(a);
            EXPECT_EQ(first, ReadFile(b));
            EXPECT_EQ(files.Read(a), c);
            if (f != PictureFormat::Bmp) continue;
            EXPECT_EQ(GetBE32(&first[38]), 0xC40E0000u);  // 3780 per metre, little-endian
            const std::size_t stride = static_cast<std::size_t>((width + 31) / 32 * 4);
            const std::size_t off = first[10];
            for (int y = 0; y < 5; ++y)  // every bit past the last pixel of a row is zero
                for (std::size_t bit = static_cast<std::size_t>(width); bit < stride * 8; ++bit)
                    EXPECT_EQ((first[off + static_cast<std::size_t>(y) * stride + bit / 8] >>
                               (7 - bit % 8)) &
                                  1,
                              0);
        }
    }
}

// Files cut short in every format are refused in the program's words, whatever their name.
TEST(BitmapFiles, CutShortPicturesAreRefused) {
    TempDir dir;
    BitmapCanvas c(24, 16);
    c.Set(3, 3, true);
    QtBitmapFiles files;
    const std::string bmp = dir.Path("a.bmp"), png = dir.Path("a.png");
    files.Write(bmp, c);
    files.Write(png, c, PictureFormat::Png);
    AnimationFile anim{{c, c}, 1, 300};
    const std::string gif = dir.Path("a.gif");
    files.WriteAnimation(gif, anim);
    for (const std::string& path : {bmp, png, gif}) {
        const Bytes whole = ReadFile(path);
        EXPECT_EQ(Message([&] { files.ReadPicture(path); }), "") << path;
        for (const std::size_t cut : {whole.size() - 1, whole.size() / 2, std::size_t{30}}) {
            const std::string t = dir.Path("t\xff" + path.substr(path.size() - 4));
            WriteFile(t, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
            const std::string m = Message([&] { files.ReadPicture(t); });
            EXPECT_EQ(m.rfind(t + " is cut short", 0), 0u) << m;
        }
    }
}

// The GIF as a real decoder sees it: one frame per bitmap, each its pixels, scaled.
TEST(BitmapFiles, AnimatedGifDecodesToTheFrames) {
    TempDir dir;
    BitmapCanvas a(5, 3), b(4, 4);
    a.Set(0, 0, true);
    a.Set(4, 2, true);
    b.Fill(true);
    QtBitmapFiles files;
    const std::string gif = dir.Path("a.gif");
    files.WriteAnimation(gif, {{a, b, a}, 2, 300});
    int error = 0;
    GifFileType* g = DGifOpenFileName(gif.c_str(), &error);
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(DGifSlurp(g), GIF_OK);
    EXPECT_EQ(g->SWidth, 10);
    EXPECT_EQ(g->SHeight, 8);
    ASSERT_EQ(g->ImageCount, 3);
    const BitmapCanvas* frames[] = {&a, &b, &a};
    for (int i = 0; i < 3; ++i) {
        const SavedImage& im = g->SavedImages[i];
        GraphicsControlBlock gcb;
        ASSERT_EQ(DGifSavedExtensionToGCB(g, i, &gcb), GIF_OK);
        EXPECT_EQ(gcb.DelayTime, 30);
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const GifColorType c = map->Colors[im.RasterBits[y * 10 + x]];
                EXPECT_EQ(c.Red == 0, frames[i]->Dark(x / 2, y / 2)) << i << " " << x << " " << y;
            }
    }
    DGifCloseFile(g, &error);
    // The same request writes the same bytes; the strip is the frames side by side.
    files.WriteAnimation(dir.Path("b.gif"), {{a, b, a}, 2, 300});
    EXPECT_EQ(ReadFile(gif), ReadFile(dir.Path("b.gif")));
    files.WriteAnimation(dir.Path("s.png"), {{a, b}, 1, 300});
    const QImage strip(QString::fromStdString(dir.Path("s.png")), "PNG");
    EXPECT_EQ(strip.width(), 10);
    EXPECT_EQ(strip.height(), 4);
    EXPECT_EQ(qGray(strip.pixel(4, 2)), 0);
    EXPECT_EQ(qGray(strip.pixel(8, 3)), 0);
    EXPECT_EQ(qGray(strip.pixel(9, 3)), 255);  // each frame in a cell as wide as the widest
    EXPECT_EQ(qGray(strip.pixel(1, 0)), 255);
}

}  // namespace
}  // namespace brivant::test

#endif

namespace brivant::test {
namespace {

TEST(AnimationFile, FormatFromTheNameUnlessGivenAndTheCellOfTheLargestFrame) {
    struct Case {
        const char* path;
        AnimationFormat format;
        bool gif;
    };
    for (const Case& c :
         {Case{"a.gif", AnimationFormat::ByName, true},
          Case{"A.GIF", AnimationFormat::ByName, true},
          Case{"a.Gif", AnimationFormat::ByName, true},
          Case{"a.png", AnimationFormat::ByName, false},
          Case{"gif", AnimationFormat::ByName, false},
          Case{"a.gifx", AnimationFormat::ByName, false}, Case{"-", AnimationFormat::Gif, true},
          Case{"a.gif", AnimationFormat::PngStrip, false}}) {
        AnimationFile a;
        a.format = c.format;
        EXPECT_EQ(a.IsGif(c.path), c.gif) << c.path;
    }
    AnimationFile a;
    EXPECT_EQ(a.Cell(), std::make_pair(1, 1));  // no frame still makes a picture of one pixel
    a.frames = {BitmapCanvas(3, 7), BitmapCanvas(5, 2)};
    EXPECT_EQ(a.Cell(), std::make_pair(5, 7));
    a.scale = 3;
    EXPECT_EQ(a.Cell(), std::make_pair(15, 21));
    a.scale = 40;  // kept to 8
    EXPECT_EQ(a.Scale(), 8);
    EXPECT_EQ(a.Cell(), std::make_pair(40, 56));
    a.scale = 0;
    EXPECT_EQ(a.Cell(), std::make_pair(5, 7));
}

}  // namespace
}  // namespace brivant::test
