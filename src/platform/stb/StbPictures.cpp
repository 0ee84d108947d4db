// Picture files without the toolkit: stb_image reads BMP, PNG, GIF and JPEG, stb_image_write
// writes PNG; animated GIFs, run-length BMPs, the 1-bit BMP, the netpbm kinds and X bitmaps
// are the program's own code.

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#define STBI_FAILURE_USERMSG
// One thread reads pictures; per-thread state would need threads in the WebAssembly build.
#define STBI_NO_THREAD_LOCALS
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "core/FileIO.h"
#include "core/UserError.h"
#include "graphics/BitmapFileCheck.h"
#include "platform/GifEncoder.h"
#include "platform/Pictures.h"
#include "platform/RunLengthBmp.h"
#include "platform/stb/OwnCodecs.h"

namespace brivant {

namespace {

std::uint32_t Le(const Bytes& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

// What stb_image decodes, as the toolkit's reader has it: 32-bit BMPs without colour masks
// carry no transparency there, whatever their fourth byte holds.
Picture DecodeWithStb(const Bytes& bytes, const std::string& name, const PictureFileInfo& info) {
    bool opaque = false;
    if (std::strcmp(info.format, "bmp") == 0 && Le(bytes, 14, 4) >= 40) {
        const std::uint32_t compression = Le(bytes, 30, 4);
        opaque = compression == 0;
    }
    int w = 0, h = 0, channels = 0;
    const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgba(
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4),
        &stbi_image_free);
    std::string upper = info.format;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (!rgba || w != info.width || h != info.height)
        throw UserError(Format(kPictureDamaged, {name, upper}));
    Picture p(w, h);
    for (std::size_t i = 0; i < p.argb.size(); ++i) {
        const stbi_uc* px = rgba.get() + 4 * i;
        const std::uint32_t alpha = opaque ? 0xFF : px[3];
        p.argb[i] = alpha << 24 | std::uint32_t{px[0]} << 16 | std::uint32_t{px[1]} << 8 | px[2];
    }
    return p;
}

void Collect(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// A PNG of `channels` bytes a pixel (1 grey, 3 RGB), encoded in memory.
Bytes EncodePng(const std::vector<std::uint8_t>& pixels, int width, int height, int channels,
                const std::string& path) {
    Bytes out;
    if (!stbi_write_png_to_func(&Collect, &out, width, height, channels, pixels.data(),
                                width * channels))
        throw UserError(Format(kCannotCreatePicture, {path}));
    return out;
}

Bytes OneBitPng(const BitmapCanvas& canvas, const std::string& path) {
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(canvas.width) *
                                   static_cast<std::size_t>(canvas.height));
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            grey[static_cast<std::size_t>(y * canvas.width + x)] = canvas.Dark(x, y) ? 0 : 255;
    return EncodePng(grey, canvas.width, canvas.height, 1, path);
}

class StbBitmapFiles : public BitmapFiles {
  public:
    Picture ReadPicture(const std::string& path) override {
        return DecodePicture(ReadFileContent(path, kCannotOpenPicture).bytes, path);
    }

    void Write(const std::string& path, const BitmapCanvas& canvas, PictureFormat format) override {
        if (canvas.Empty()) throw UserError(Format(kCannotCreatePicture, {path}));
        WriteFileAtomic(
            path, format == PictureFormat::Png ? OneBitPng(canvas, path) : EncodeOneBitBmp(canvas));
    }

    void WriteAnimation(const std::string& path, const AnimationFile& animation) override {
        if (animation.frames.empty()) throw UserError(Format(kCannotCreatePicture, {path}));
        if (animation.IsGif(path)) {
            WriteFileAtomic(path, EncodeAnimatedGifOwn(animation));
            return;
        }
        // The frames side by side, each in a cell as large as the largest.
        const int scale = animation.Scale();
        const auto [cellW, cellH] = animation.Cell();
        BitmapCanvas strip(cellW * static_cast<int>(animation.frames.size()), cellH);
        for (std::size_t i = 0; i < animation.frames.size(); ++i) {
            const BitmapCanvas& f = animation.frames[i];
            const int left = static_cast<int>(i) * cellW;
            for (int y = 0; y < f.height * scale; ++y)
                for (int x = 0; x < f.width * scale; ++x)
                    if (f.Dark(x / scale, y / scale)) strip.Set(left + x, y, true);
        }
        WriteFileAtomic(path, OneBitPng(strip, path));
    }

    static Picture DecodePicture(const Bytes& bytes, const std::string& name) {
        const PictureFileInfo info = CheckPictureFile(bytes, name);
        if (std::strcmp(info.format, "pbm") == 0) return DecodeNetpbm(bytes, name);
        if (std::strcmp(info.format, "xbm") == 0) return DecodeXbm(bytes, name);
        if (IsRunLengthBmp(bytes)) return DecodeRunLengthBmp(bytes, name);
        return DecodeWithStb(bytes, name, info);
    }
};

void WriteSheet(const std::string& path, const std::vector<SheetBitmap>& bitmaps, int scale) {
    const int u = std::clamp(scale, kMinSheetScale, kMaxSheetScale);
    const SheetLayout layout = LayoutBitmapSheet(bitmaps, u);
    if (std::int64_t{layout.width} * layout.height > kMaxSheetPixels)
        throw UserError(
            Format(kSheetTooLarge, {std::to_string(layout.width), std::to_string(layout.height)}));
    std::vector<std::uint8_t> rgb(
        static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height) * 3, 0xFF);
    const auto fill = [&](int x0, int y0, int w, int h, std::uint32_t colour) {
        for (int y = std::max(y0, 0); y < std::min(y0 + h, layout.height); ++y)
            for (int x = std::max(x0, 0); x < std::min(x0 + w, layout.width); ++x) {
                std::uint8_t* px = &rgb[(static_cast<std::size_t>(y) * layout.width + x) * 3];
                px[0] = static_cast<std::uint8_t>(colour >> 16);
                px[1] = static_cast<std::uint8_t>(colour >> 8);
                px[2] = static_cast<std::uint8_t>(colour);
            }
    };
    for (std::size_t i = 0; i < bitmaps.size(); ++i) {
        const BitmapCanvas& c = bitmaps[i].canvas;
        const SheetCell& cell = layout.cells[i];
        for (const auto& [dx, dy] : LabelDots(bitmaps[i].label))
            fill(cell.labelX + dx * u, cell.labelY + dy * u, u, u, kSheetLabelRgb);
        // The frame: one pixel around the bitmap's pixels.
        const int w = std::max(c.width, 0) * u, h = std::max(c.height, 0) * u;
        fill(cell.x - 1, cell.y - 1, w + 2, 1, kSheetFrameRgb);
        fill(cell.x - 1, cell.y + h, w + 2, 1, kSheetFrameRgb);
        fill(cell.x - 1, cell.y - 1, 1, h + 2, kSheetFrameRgb);
        fill(cell.x + w, cell.y - 1, 1, h + 2, kSheetFrameRgb);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (c.Dark(x, y)) fill(cell.x + x * u, cell.y + y * u, u, u, 0);
    }
    WriteFileAtomic(path, EncodePng(rgb, layout.width, layout.height, 3, path));
}

}  // namespace

PictureBackend LinkedPictures() {
    static StbBitmapFiles files;
    return {&files, &WriteSheet};
}

}  // namespace brivant
