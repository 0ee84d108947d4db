#include "graphics/BitmapFormat.h"

#include <algorithm>

namespace brivant {

BitmapCanvas::BitmapCanvas(int w, int h)
    : width(std::max(0, w)),
      height(std::max(0, h)),
      dark(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {}

bool BitmapCanvas::Dark(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    return dark[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)] != 0;
}

void BitmapCanvas::Set(int x, int y, bool black) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    dark[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
         static_cast<std::size_t>(x)] = black ? 1 : 0;
}

void BitmapCanvas::Fill(bool black) {
    std::fill(dark.begin(), dark.end(), black ? 1 : 0);
}

int BandCount(int height) {
    return height <= 0 ? 0 : (height + 7) / 8;
}

std::int32_t PixelByteCount(int width, int height) {
    return width <= 0 ? 0 : width * BandCount(height);
}

BitmapCanvas RenderPixels(const Bytes& pixels, int width, int height) {
    BitmapCanvas c(width, height);
    const std::int32_t count = PixelByteCount(width, height);
    for (std::int32_t k = 0; k < count && static_cast<std::size_t>(k) < pixels.size(); ++k) {
        const int x = k % width;
        const int band = k / width;
        for (int i = 0; i < 8; ++i)
            if (pixels[static_cast<std::size_t>(k)] >> i & 1) c.Set(x, 8 * band + i, true);
    }
    return c;
}

Bytes PixelsOf(const BitmapCanvas& canvas) {
    const int w = canvas.width;
    Bytes out(static_cast<std::size_t>(PixelByteCount(w, canvas.height)), 0);
    for (std::size_t k = 0; k < out.size(); ++k) {
        const int x = static_cast<int>(k) % w;
        const int band = static_cast<int>(k) / w;
        std::uint8_t b = 0;
        for (int j = 0; j < 8; ++j)
            if (canvas.Dark(x, 8 * band + j)) b |= static_cast<std::uint8_t>(1 << j);
        out[k] = b;
    }
    return out;
}

void ExpandGroup(const std::uint8_t* group, Bytes& out) {
    out.insert(out.end(), group[0] >> 4, group[1]);
    out.insert(out.end(), group[0] & 0x0F, group[2]);
}

Bytes EncodeRunLength(const Bytes& plain) {
    constexpr std::size_t kMaxRun = 9;
    Bytes out;
    std::size_t i = 0;
    const auto run = [&](std::size_t from) {
        std::size_t n = 1;
        while (n < kMaxRun && from + n < plain.size() && plain[from + n] == plain[from]) ++n;
        return n;
    };
    while (i < plain.size()) {
        const std::uint8_t p = plain[i];
        const std::size_t r1 = run(i);
        i += r1;
        if (i == plain.size()) {
            // Nothing left for a second run: a second count of 0 keeps the group whole.
            out.insert(out.end(), {static_cast<std::uint8_t>(r1 << 4), p, 0x00});
            break;
        }
        const std::uint8_t q = plain[i];
        const std::size_t r2 = run(i);
        i += r2;
        out.insert(out.end(), {static_cast<std::uint8_t>(r1 << 4 | r2), p, q});
    }
    return out;
}

Bytes DecodeRunLength(const Bytes& packed, std::int32_t count) {
    Bytes out;
    for (std::size_t p = 0; p + 3 <= packed.size(); p += 3) {
        if (static_cast<std::int64_t>(out.size()) >= count) break;
        ExpandGroup(packed.data() + p, out);
    }
    return out;
}

void PadWithFillers(Bytes& data) {
    switch (data.size() % 4) {
        case 1:
            data.insert(data.end(), {0xC0, 0x46, 0xC0});
            break;
        case 2:
            data.insert(data.end(), {0x46, 0xC0});
            break;
        case 3:
            data.push_back(0xC0);
            break;
        default:
            break;
    }
}

}  // namespace brivant
