#include "graphics/BitmapFileCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "core/UserError.h"

namespace brivant {

namespace {

std::uint32_t Le16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}
std::uint32_t Be32(const Bytes& b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) |
           (static_cast<std::uint32_t>(b[at + 1]) << 16) |
           (static_cast<std::uint32_t>(b[at + 2]) << 8) | b[at + 3];
}

bool StartsWith(const Bytes& b, const char* magic) {
    const std::size_t n = std::strlen(magic);
    return b.size() >= n && std::equal(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n),
                                       reinterpret_cast<const unsigned char*>(magic));
}

class Checker {
  public:
    Checker(const Bytes& b, const std::string& name) : b_(b), name_(name) {}

    [[noreturn]] void EndsEarly(const char* what) const {
        throw UserError(Format(kPictureEndsEarly, {name_, what}));
    }
    [[noreturn]] void Damaged(const char* what) const {
        throw UserError(Format(kPictureDamaged, {name_, what}));
    }
    PictureFileInfo Sized(const char* format, std::int64_t w, std::int64_t h) const {
        if (w < 1 || h < 1 || w > kMaxBitmapSide || h > kMaxBitmapSide)
            throw UserError(Format(kPictureSize, {name_, std::to_string(w), std::to_string(h)}));
        return {format, static_cast<int>(w), static_cast<int>(h)};
    }

    PictureFileInfo Bmp() const;
    PictureFileInfo Png() const;
    PictureFileInfo Gif() const;
    PictureFileInfo Jpeg() const;
    PictureFileInfo Netpbm() const;
    PictureFileInfo Xbm() const;

  private:
    void RunLength(std::size_t at, bool fourBit) const;

    const Bytes& b_;
    const std::string& name_;
};

PictureFileInfo Checker::Bmp() const {
    if (b_.size() < 26) EndsEarly("BMP");
    const std::uint32_t header = Le32(b_, 14);
    if (header < 12 || b_.size() < 14 + std::size_t{header}) EndsEarly("BMP");
    std::int64_t w, h;
    std::uint32_t bits, compression = 0;
    if (header == 12) {  // the old two-byte sizes
        w = Le16(b_, 18);
        h = static_cast<std::int16_t>(Le16(b_, 20));
        bits = Le16(b_, 24);
    } else {
        if (header < 40) Damaged("BMP");
        w = static_cast<std::int32_t>(Le32(b_, 18));
        h = static_cast<std::int32_t>(Le32(b_, 22));
        bits = Le16(b_, 28);
        compression = Le32(b_, 30);
    }
    const std::int64_t rows = h < 0 ? -h : h;
    PictureFileInfo info = Sized("bmp", w, rows);
    const std::uint32_t offBits = std::max<std::uint32_t>(Le32(b_, 10), 14 + header);
    if (compression == 1 || compression == 2) {
        if (offBits >= b_.size()) EndsEarly(compression == 1 ? "RLE8" : "RLE4");
        RunLength(offBits, compression == 2);
        return info;
    }
    if (compression != 0 && compression != 3 && compression != 6) Damaged("BMP");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Damaged("BMP");
    const std::int64_t stride = (w * bits + 31) / 32 * 4;
    const std::int64_t needed = stride * rows;
    const std::int64_t has = static_cast<std::int64_t>(b_.size()) - offBits;
    if (has < needed)
        throw UserError(Format(kPictureCutShort, {name_, std::to_string(needed),
                                                  std::to_string(std::max<std::int64_t>(has, 0))}));
    return info;
}

// Run-length pixels must reach their end-of-bitmap mark inside the file.
void Checker::RunLength(std::size_t at, bool fourBit) const {
    const char* what = fourBit ? "RLE4" : "RLE8";
    while (true) {
        if (at + 2 > b_.size()) EndsEarly(what);
        const std::uint8_t count = b_[at], code = b_[at + 1];
        at += 2;
        if (count != 0 || code == 0) continue;  // a run, or the end of a line
        if (code == 1) return;                  // the end of the bitmap
        if (code == 2) {                        // a jump: two more bytes
            at += 2;
            continue;
        }
        std::size_t n = fourBit ? (code + 1u) / 2 : code;  // literal pixels, padded to a word
        at += n + (n & 1);
    }
}

PictureFileInfo Checker::Png() const {
    std::size_t at = 8;
    std::int64_t w = 0, h = 0;
    bool first = true;
    while (true) {
        if (at + 12 > b_.size()) EndsEarly("PNG");
        const std::uint64_t length = Be32(b_, at);
        const bool ihdr = std::memcmp(&b_[at + 4], "IHDR", 4) == 0;
        const bool iend = std::memcmp(&b_[at + 4], "IEND", 4) == 0;
        if (first != ihdr || (ihdr && length != 13)) Damaged("PNG");
        if (ihdr && at + 16 <= b_.size()) {  // the size first, before anything else
            w = Be32(b_, at + 8);
            h = Be32(b_, at + 12);
            Sized("png", w, h);
        }
        if (at + 12 + length > b_.size()) EndsEarly("PNG");
        if (iend) return Sized("png", w, h);
        first = false;
        at += 12 + static_cast<std::size_t>(length);
    }
}

PictureFileInfo Checker::Gif() const {
    if (b_.size() < 13) EndsEarly("GIF");
    const PictureFileInfo info = Sized("gif", Le16(b_, 6), Le16(b_, 8));
    std::size_t at = 13;
    if (b_[10] & 0x80) at += 3u << ((b_[10] & 7) + 1);
    const auto subBlocks = [&] {
        while (true) {
            if (at >= b_.size()) EndsEarly("GIF");
            const std::size_t n = b_[at++];
            if (n == 0) return;
            at += n;
        }
    };
    bool image = false;
    while (true) {
        if (at >= b_.size()) EndsEarly("GIF");
        const std::uint8_t kind = b_[at++];
        if (kind == 0x3B) {
            if (!image) EndsEarly("GIF");
            return info;
        }
        if (kind == 0x21) {
            ++at;  // the extension's label
            subBlocks();
        } else if (kind == 0x2C) {
            if (at + 9 > b_.size()) EndsEarly("GIF");
            const std::uint8_t flags = b_[at + 8];
            at += 9;
            if (flags & 0x80) at += 3u << ((flags & 7) + 1);
            ++at;  // the code size
            subBlocks();
            image = true;
        } else {
            Damaged("GIF");
        }
    }
}

PictureFileInfo Checker::Jpeg() const {
    std::size_t at = 2;
    std::int64_t w = -1, h = -1;
    while (true) {
        if (at + 4 > b_.size()) EndsEarly("JPEG");
        if (b_[at] != 0xFF) Damaged("JPEG");
        const std::uint8_t marker = b_[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const std::size_t length = (b_[at + 2] << 8) | b_[at + 3];
        if (length < 2 || at + 2 + length > b_.size()) EndsEarly("JPEG");
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && length >= 7) {
            h = (b_[at + 5] << 8) | b_[at + 6];
            w = (b_[at + 7] << 8) | b_[at + 8];
            Sized("jpeg", w, h);
        }
        at += 2 + length;
        if (marker == 0xDA) break;  // the scan follows
    }
    if (w < 0) Damaged("JPEG");
    // The entropy-coded data and any further scans run to the end-of-image mark.
    for (std::size_t i = at; i + 1 < b_.size(); ++i)
        if (b_[i] == 0xFF && b_[i + 1] == 0xD9) return Sized("jpeg", w, h);
    EndsEarly("JPEG");
}

PictureFileInfo Checker::Netpbm() const {
    const char kind = static_cast<char>(b_[1]);
    std::size_t at = 2;
    const auto skipSpace = [&] {
        while (at < b_.size()) {
            if (b_[at] == '#') {
                while (at < b_.size() && b_[at] != '\n') ++at;
            } else if (std::isspace(b_[at])) {
                ++at;
            } else {
                return;
            }
        }
    };
    const auto number = [&]() -> std::int64_t {
        skipSpace();
        if (at >= b_.size()) EndsEarly("PBM");
        if (!std::isdigit(b_[at])) Damaged("PBM");
        std::int64_t v = 0;
        while (at < b_.size() && std::isdigit(b_[at]) && v < 100000) v = v * 10 + (b_[at++] - '0');
        return v;
    };
    const std::int64_t w = number(), h = number();
    const bool bitmap = kind == '1' || kind == '4';
    const std::int64_t maxval = bitmap ? 1 : number();
    const PictureFileInfo info = Sized("pbm", w, h);
    if (maxval < 1 || maxval > 65535) Damaged("PBM");
    const int channels = (kind == '3' || kind == '6') ? 3 : 1;
    if (kind >= '4') {  // binary: one whitespace, then the samples
        const std::int64_t sample = maxval > 255 ? 2 : 1;
        const std::int64_t needed = bitmap ? (w + 7) / 8 * h : w * h * channels * sample;
        const std::int64_t has =
            static_cast<std::int64_t>(b_.size()) - static_cast<std::int64_t>(at) - 1;
        if (has < needed)
            throw UserError(Format(
                kPictureCutShort,
                {name_, std::to_string(needed), std::to_string(std::max<std::int64_t>(has, 0))}));
        return info;
    }
    // Plain text: a sample per number (for bitmaps, per digit).
    std::int64_t samples = 0;
    const std::int64_t needed = w * h * channels;
    while (samples < needed) {
        skipSpace();
        if (at >= b_.size()) EndsEarly("PBM");
        if (!std::isdigit(b_[at])) Damaged("PBM");
        if (bitmap)
            ++at;
        else
            while (at < b_.size() && std::isdigit(b_[at])) ++at;
        ++samples;
    }
    return info;
}

PictureFileInfo Checker::Xbm() const {
    const std::string text(b_.begin(), b_.end());
    const auto defined = [&](const char* suffix) -> std::int64_t {
        const std::size_t p = text.find(suffix);
        if (p == std::string::npos) Damaged("XBM");
        std::size_t at = p + std::strlen(suffix);
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        std::int64_t v = 0;
        if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at])))
            Damaged("XBM");
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && v < 100000)
            v = v * 10 + (text[at++] - '0');
        return v;
    };
    const std::int64_t w = defined("_width"), h = defined("_height");
    const PictureFileInfo info = Sized("xbm", w, h);
    const std::size_t open = text.find('{');
    if (open == std::string::npos) EndsEarly("XBM");
    std::int64_t values = 0;
    for (std::size_t p = text.find("0x", open); p != std::string::npos; p = text.find("0x", p + 2))
        ++values;
    if (values < (w + 7) / 8 * h || text.find('}', open) == std::string::npos) EndsEarly("XBM");
    return info;
}

}  // namespace

PictureFileInfo CheckPictureFile(const Bytes& bytes, const std::string& name) {
    const Checker c(bytes, name);
    if (StartsWith(bytes, "BM")) return c.Bmp();
    if (StartsWith(bytes, "\x89PNG\r\n\x1A\n")) return c.Png();
    if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return c.Gif();
    if (StartsWith(bytes, "\xFF\xD8")) return c.Jpeg();
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6')
        return c.Netpbm();
    if (StartsWith(bytes, "#define")) return c.Xbm();
    throw UserError(Format(kPictureUnknown, {name}));
}

}  // namespace brivant
