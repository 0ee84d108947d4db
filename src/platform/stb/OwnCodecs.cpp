#include "platform/stb/OwnCodecs.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string_view>

#include "core/UserError.h"
#include "graphics/BitmapFileCheck.h"

namespace brivant {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
// One resolution for every file, whatever screen the window runs on (96 dots per inch).
constexpr std::uint32_t kDotsPerMeter = 3780;

std::uint32_t Grey(std::uint32_t v) {
    return kOpaque | v << 16 | v << 8 | v;
}

// A sample of 0..maxval as 8 bits: widened to 16 bits first and then rounded down to 8, as
// the toolkit's reader does, so that both builds see the same levels.
std::uint32_t Scaled(std::uint32_t v, std::uint32_t maxval) {
    const std::uint32_t wide = std::min(v, maxval) * 65535u / maxval;
    return (wide - (wide >> 8) + 128) >> 8;
}

class Reader {
  public:
    Reader(const Bytes& b, std::size_t at, const std::string& name, const char* what)
        : b_(b), at_(at), name_(name), what_(what) {}

    void SkipSpace() {
        while (at_ < b_.size()) {
            if (b_[at_] == '#') {
                while (at_ < b_.size() && b_[at_] != '\n') ++at_;
            } else if (std::isspace(b_[at_])) {
                ++at_;
            } else {
                return;
            }
        }
    }
    std::uint32_t Number() {
        SkipSpace();
        if (at_ >= b_.size() || !std::isdigit(b_[at_])) Damaged();
        std::uint32_t v = 0;
        while (at_ < b_.size() && std::isdigit(b_[at_]) && v < 100000)
            v = v * 10 + (b_[at_++] - '0');
        return v;
    }
    std::uint32_t Digit() {
        SkipSpace();
        if (at_ >= b_.size() || (b_[at_] != '0' && b_[at_] != '1')) Damaged();
        return b_[at_++] - '0';
    }
    std::uint32_t Byte() {
        if (at_ >= b_.size()) Damaged();
        return b_[at_++];
    }
    void SkipOne() { ++at_; }
    [[noreturn]] void Damaged() const { throw UserError(Format(kPictureDamaged, {name_, what_})); }

  private:
    const Bytes& b_;
    std::size_t at_;
    const std::string& name_;
    const char* what_;
};

void PutLE(Bytes& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

Picture DecodeNetpbm(const Bytes& bytes, const std::string& name) {
    const char kind = static_cast<char>(bytes.at(1));
    Reader r(bytes, 2, name, "PBM");
    const int w = static_cast<int>(r.Number()), h = static_cast<int>(r.Number());
    const bool bitmap = kind == '1' || kind == '4';
    const std::uint32_t maxval = bitmap ? 1 : r.Number();
    if (maxval < 1 || maxval > 65535) r.Damaged();
    const bool colour = kind == '3' || kind == '6';
    const bool binary = kind >= '4';
    if (binary) r.SkipOne();
    Picture p(w, h);
    const auto sample = [&]() -> std::uint32_t {
        if (!binary) return r.Number();
        const std::uint32_t high = r.Byte();
        return maxval > 255 ? high << 8 | r.Byte() : high;
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w && !(bitmap && binary); ++x) {
            std::uint32_t argb = kWhite;
            if (bitmap) {
                argb = r.Digit() != 0 ? kBlack : kWhite;
            } else if (colour) {
                const std::uint32_t red = Scaled(sample(), maxval);
                const std::uint32_t green = Scaled(sample(), maxval);
                const std::uint32_t blue = Scaled(sample(), maxval);
                argb = kOpaque | red << 16 | green << 8 | blue;
            } else {
                argb = Grey(Scaled(sample(), maxval));
            }
            p.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                   static_cast<std::size_t>(x)] = argb;
        }
        if (bitmap && binary) {
            // Rows start on a byte; the highest bit is the leftmost pixel.
            std::uint32_t bits = 0;
            for (int x = 0; x < w; ++x) {
                if (x % 8 == 0) bits = r.Byte();
                const bool black = (bits >> (7 - x % 8) & 1u) != 0;
                p.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                       static_cast<std::size_t>(x)] = black ? kBlack : kWhite;
            }
        }
    }
    return p;
}

Picture DecodeXbm(const Bytes& bytes, const std::string& name) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto damaged = [&] { return UserError(Format(kPictureDamaged, {name, "XBM"})); };
    const auto defined = [&](std::string_view suffix) -> int {
        for (std::size_t p = text.find("#define"); p != std::string_view::npos;
             p = text.find("#define", p + 7)) {
            const std::size_t nameEnd =
                text.find_first_of(" \t", text.find_first_not_of(" \t", p + 7));
            if (nameEnd == std::string_view::npos) break;
            const std::string_view macro = text.substr(p + 7, nameEnd - p - 7);
            if (macro.size() < suffix.size() ||
                macro.substr(macro.size() - suffix.size()) != suffix)
                continue;
            std::size_t at = text.find_first_not_of(" \t", nameEnd);
            int v = 0;
            while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
                   v < 100000)
                v = v * 10 + (text[at++] - '0');
            return v;
        }
        throw damaged();
    };
    const int w = defined("_width"), h = defined("_height");
    const std::size_t open = text.find('{');
    if (open == std::string_view::npos) throw damaged();
    Picture p(w, h);
    const int stride = (w + 7) / 8;
    std::size_t at = open;
    for (int y = 0; y < h; ++y) {
        for (int bx = 0; bx < stride; ++bx) {
            at = text.find("0x", at);
            if (at == std::string_view::npos) throw damaged();
            at += 2;
            std::uint32_t v = 0;
            while (at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at]))) {
                const char c =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(text[at++])));
                v = v * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
            }
            for (int bit = 0; bit < 8 && bx * 8 + bit < w; ++bit)
                if (v >> bit & 1u)
                    p.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                           static_cast<std::size_t>(bx * 8 + bit)] = kBlack;
        }
    }
    return p;
}

Bytes EncodeOneBitBmp(const BitmapCanvas& canvas) {
    const auto width = static_cast<std::uint32_t>(canvas.width);
    const auto height = static_cast<std::uint32_t>(canvas.height);
    const std::uint32_t stride = (width + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + 2 * 4;
    Bytes out;
    out.reserve(offset + stride * height);
    out.push_back('B');
    out.push_back('M');
    PutLE(out, offset + stride * height, 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);  // the information header
    PutLE(out, width, 4);
    PutLE(out, height, 4);
    PutLE(out, 1, 2);  // planes
    PutLE(out, 1, 2);  // bits a pixel
    PutLE(out, 0, 4);  // no compression
    PutLE(out, stride * height, 4);
    PutLE(out, kDotsPerMeter, 4);
    PutLE(out, kDotsPerMeter, 4);
    PutLE(out, 2, 4);           // colours used
    PutLE(out, 2, 4);           // colours needed
    PutLE(out, 0x00FFFFFF, 4);  // white (blue, green, red, 0)
    PutLE(out, 0x00000000, 4);  // black
    for (int y = canvas.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < canvas.width; ++x)
            if (canvas.Dark(x, y)) row[static_cast<std::size_t>(x / 8)] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace brivant
