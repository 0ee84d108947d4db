#include "platform/QtBitmapFiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include "core/FileIO.h"
#include "core/UserError.h"

namespace brivant {

namespace {
constexpr const char* kCannotCreate = "Cannot create file %s";

QString ToQt(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
}  // namespace

BitmapCanvas QtBitmapFiles::Read(const std::string& path) {
    const QFileInfo info(ToQt(path));
    const QByteArray suffix = info.suffix().toLower().toUtf8();
    if (!QImageReader::supportedImageFormats().contains(suffix))
        throw UserError(Format(kUnknownExtension, {info.suffix().toStdString()}));
    QImageReader reader(info.filePath());
    if (!info.isFile() || !info.isReadable()) throw UserError(Format(kCannotOpenPicture, {path}));
    const QImage image = reader.read();
    if (image.isNull()) {
        if (reader.error() == QImageReader::FileNotFoundError ||
            reader.error() == QImageReader::DeviceError)
            throw UserError(Format(kCannotOpenPicture, {path}));
        throw UserError(kInvalidBitmap);
    }
    // Only exact black is a set pixel; grey, colours and white all stay clear.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    BitmapCanvas canvas(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) canvas.Set(x, y, (line[x] & 0x00FFFFFFu) == 0);
    }
    return canvas;
}

void QtBitmapFiles::Write(const std::string& path, const BitmapCanvas& canvas) {
    if (canvas.Empty()) throw UserError(Format(kCannotCreate, {path}));
    QImage image(canvas.width, canvas.height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) image.setPixel(x, y, canvas.Dark(x, y) ? 1 : 0);
    // Encoded in memory, then written as every other file: only a regular file is replaced
    // (through a link, keeping its mode), beside it and renamed over it.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "BMP"))
        throw UserError(Format(kCannotCreate, {path}));
    WriteFileAtomic(path, Bytes(encoded.begin(), encoded.end()));
}

BitmapFiles& PlatformBitmapFiles() {
    static QtBitmapFiles files;
    return files;
}

}  // namespace brivant
