#include "platform/QtBitmapFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QMutex>
#include <algorithm>
#include <cstdio>

#include "core/FileIO.h"
#include "core/UserError.h"
#include "graphics/BitmapFileCheck.h"
#include "platform/GifFile.h"
#include "platform/RunLengthBmp.h"

namespace brivant {

namespace {
std::uint32_t GetLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
           static_cast<std::uint32_t>(p[3]) << 24;
}

// One resolution for every file, whatever screen the window runs on (96 dots per inch).
constexpr int kDotsPerMeter = 3780;

// While a picture decodes, the library's own lines go nowhere: Qt's messages through a
// handler that drops them, and what the codecs print straight to stderr (libpng does) into
// /dev/null. The program says what went wrong in its own words.
class QuietDecoders {
  public:
    QuietDecoders() {
        Lock().lock();
        previous_ =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietDecoders() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
        qInstallMessageHandler(previous_);
        Lock().unlock();
    }
    QuietDecoders(const QuietDecoders&) = delete;
    QuietDecoders& operator=(const QuietDecoders&) = delete;

  private:
    static QMutex& Lock() {
        static QMutex lock;
        return lock;
    }
    QtMessageHandler previous_ = nullptr;
    int saved_ = -1;
};

Bytes Encoded(const QImage& image, const char* format, const std::string& path) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format))
        throw UserError(Format(kCannotCreatePicture, {path}));
    return Bytes(encoded.begin(), encoded.end());
}

// A 1-bit picture whose every byte is defined: the row padding is zeroed before the pixels
// are drawn, and the resolution is fixed.
QImage OneBit(int width, int height) {
    QImage image(width, height, QImage::Format_Mono);
    if (image.isNull()) throw UserError(kInvalidBitmap);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

// Qt's BMP writer copies only the bytes a row's pixels use into a line buffer it never
// clears, so the row padding carries whatever the heap held. Padding is zeroed here.
void ZeroRowPadding(Bytes& bmp, int width, int height) {
    if (bmp.size() < 14) return;
    const std::size_t off = GetLE32(&bmp[10]);
    const std::size_t used = static_cast<std::size_t>((width + 7) / 8);
    const std::size_t stride = static_cast<std::size_t>((width + 31) / 32 * 4);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y)
        for (std::size_t i = used; i < stride; ++i)
            if (off + y * stride + i < bmp.size()) bmp[off + y * stride + i] = 0;
}

}  // namespace

Picture DecodePicture(const Bytes& bytes, const std::string& name) {
    const PictureFileInfo info = CheckPictureFile(bytes, name);
    if (IsRunLengthBmp(bytes)) return DecodeRunLengthBmp(bytes, name);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        throw UserError(Format(kPictureDamaged, {name, info.format}));
    QImage image;
    {
        const QuietDecoders quiet;
        QImageReader reader(&buffer);
        reader.setAutoTransform(false);
        // The reader's own idea of the size, asked before anything is decoded.
        const QSize size = reader.size();
        if (size.isValid() &&
            (size.width() < 1 || size.height() < 1 || size.width() > 255 || size.height() > 255))
            throw UserError(Format(
                kPictureSize, {name, std::to_string(size.width()), std::to_string(size.height())}));
        image = reader.read();
    }
    if (image.isNull() || image.width() != info.width || image.height() != info.height)
        throw UserError(
            Format(kPictureDamaged, {name, QByteArray(info.format).toUpper().toStdString()}));
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Picture picture(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::copy(line, line + argb.width(),
                  picture.argb.begin() + static_cast<std::ptrdiff_t>(y) * argb.width());
    }
    return picture;
}

Picture QtBitmapFiles::ReadPicture(const std::string& path) {
    // Through the editor's own reader: regular files only, any bytes in the name.
    return DecodePicture(ReadFileContent(path, kCannotOpenPicture).bytes, path);
}

void QtBitmapFiles::Write(const std::string& path, const BitmapCanvas& canvas,
                          PictureFormat format) {
    if (canvas.Empty()) throw UserError(Format(kCannotCreatePicture, {path}));
    QImage image = OneBit(canvas.width, canvas.height);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            if (canvas.Dark(x, y)) image.setPixel(x, y, 1);
    // Encoded in memory, then written as every other file: only a regular file is replaced
    // (through a link, keeping its mode), beside it and renamed over it.
    if (format == PictureFormat::Png) {
        WriteFileAtomic(path, Encoded(image, "PNG", path));
        return;
    }
    Bytes bmp = Encoded(image, "BMP", path);
    ZeroRowPadding(bmp, canvas.width, canvas.height);
    WriteFileAtomic(path, bmp);
}

void QtBitmapFiles::WriteAnimation(const std::string& path, const AnimationFile& animation) {
    if (animation.frames.empty()) throw UserError(Format(kCannotCreatePicture, {path}));
    if (animation.IsGif(path)) {
        WriteFileAtomic(path, EncodeAnimatedGif(animation));
        return;
    }
    // The frames side by side, each in a cell as large as the largest.
    const int scale = animation.Scale();
    const auto [cellW, cellH] = animation.Cell();
    QImage image = OneBit(cellW * static_cast<int>(animation.frames.size()), cellH);
    for (std::size_t i = 0; i < animation.frames.size(); ++i) {
        const BitmapCanvas& f = animation.frames[i];
        const int left = static_cast<int>(i) * cellW;
        for (int y = 0; y < f.height * scale; ++y)
            for (int x = 0; x < f.width * scale; ++x)
                if (f.Dark(x / scale, y / scale)) image.setPixel(left + x, y, 1);
    }
    WriteFileAtomic(path, Encoded(image, "PNG", path));
}

BitmapFiles& PlatformBitmapFiles() {
    static QtBitmapFiles files;
    return files;
}

}  // namespace brivant
