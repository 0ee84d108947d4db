#ifdef BRIVANT_PLATFORM

#include <gtest/gtest.h>

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

// Whatever the depth, only exact black counts as a set pixel.
TEST(BitmapFiles, OnlyExactBlackIsSetAtAnyDepth) {
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
        EXPECT_EQ(c.dark, (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 0})) << static_cast<int>(f);
    }
}

TEST(BitmapFiles, ReaderMessages) {
    TempDir dir;
    QtBitmapFiles files;
    WriteFile(dir.Path("junk.bmp"), HexToBytes("424D0000"));
    WriteFile(dir.Path("note.txt"), HexToBytes("41"));
    EXPECT_EQ(Message([&] { files.Read(dir.Path("none.bmp")); }),
              "Cannot open file " + dir.Path("none.bmp"));
    EXPECT_EQ(Message([&] { files.Read(dir.Path("junk.bmp")); }), kInvalidBitmap);
    EXPECT_EQ(Message([&] { files.Read(dir.Path("note.txt")); }),
              "Unknown picture file extension (.txt)");
}

}  // namespace
}  // namespace brivant::test

#endif
