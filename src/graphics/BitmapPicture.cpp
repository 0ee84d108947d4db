#include "graphics/BitmapPicture.h"

#include <algorithm>
#include <set>

namespace brivant {

Picture::Picture(int w, int h, std::uint32_t fill)
    : width(std::max(0, w)),
      height(std::max(0, h)),
      argb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

std::uint32_t OnWhite(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t c = (argb >> shift) & 0xFFu;
        // Rounded, so that opaque stays exact and clear becomes exact white.
        const std::uint32_t on = (c * a + 255u * (255u - a) + 127u) / 255u;
        out |= on << shift;
    }
    return out;
}

int Luminance(std::uint32_t rgb) {
    const int r = static_cast<int>((rgb >> 16) & 0xFFu);
    const int g = static_cast<int>((rgb >> 8) & 0xFFu);
    const int b = static_cast<int>(rgb & 0xFFu);
    // Weights summing to 1000: a grey keeps its own value.
    return (299 * r + 587 * g + 114 * b + 500) / 1000;
}

bool IsBlackAndWhite(const Picture& p) {
    return std::all_of(p.argb.begin(), p.argb.end(), [](std::uint32_t c) {
        const std::uint32_t w = OnWhite(c);
        return w == 0 || w == 0xFFFFFFu;
    });
}

bool HasTwoColours(const Picture& p) {
    std::set<std::uint32_t> seen;
    for (const std::uint32_t c : p.argb) {
        seen.insert(OnWhite(c));
        if (seen.size() > 2) return false;
    }
    return true;
}

Picture ScalePicture(const Picture& p, int width, int height) {
    Picture out(width, height);
    if (p.width <= 0 || p.height <= 0 || width <= 0 || height <= 0) return out;
    // Work in units of 1/(width*height) of a source pixel so every boundary is an integer.
    const std::int64_t sw = p.width, sh = p.height, tw = width, th = height;
    for (int ty = 0; ty < height; ++ty) {
        const std::int64_t y0 = ty * sh, y1 = (ty + 1) * sh;  // in source pixels x th
        for (int tx = 0; tx < width; ++tx) {
            const std::int64_t x0 = tx * sw, x1 = (tx + 1) * sw;  // in source pixels x tw
            std::int64_t sumA = 0, sumR = 0, sumG = 0, sumB = 0, total = 0;
            for (std::int64_t sy = y0 / th; sy < sh && sy * th < y1; ++sy) {
                const std::int64_t wy = std::min(y1, (sy + 1) * th) - std::max(y0, sy * th);
                for (std::int64_t sx = x0 / tw; sx < sw && sx * tw < x1; ++sx) {
                    const std::int64_t wx = std::min(x1, (sx + 1) * tw) - std::max(x0, sx * tw);
                    const std::int64_t w = wx * wy;
                    const std::uint32_t c = p.At(static_cast<int>(sx), static_cast<int>(sy));
                    const std::int64_t a = c >> 24;
                    sumA += a * w;
                    sumR += ((c >> 16) & 0xFF) * a * w;
                    sumG += ((c >> 8) & 0xFF) * a * w;
                    sumB += (c & 0xFF) * a * w;
                    total += w;
                }
            }
            std::uint32_t px = 0;  // fully clear
            if (sumA > 0) {
                const auto chan = [&](std::int64_t s) {
                    return static_cast<std::uint32_t>((s + sumA / 2) / sumA);
                };
                const auto a = static_cast<std::uint32_t>((sumA + total / 2) / total);
                px = (a << 24) | (chan(sumR) << 16) | (chan(sumG) << 8) | chan(sumB);
            }
            out.argb[static_cast<std::size_t>(ty) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(tx)] = px;
        }
    }
    return out;
}

BitmapCanvas ToCanvas(const Picture& p, const PictureImport& how) {
    BitmapCanvas c(p.width, p.height);
    if (c.Empty()) return c;
    const bool exactBlack = !how.threshold && !how.dither && HasTwoColours(p);
    const int threshold = how.threshold.value_or(PictureImport::kDefaultThreshold);
    if (!how.dither) {
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const std::uint32_t rgb = OnWhite(p.At(x, y));
                c.Set(x, y, exactBlack ? rgb == 0 : Luminance(rgb) < threshold);
            }
        return c;
    }
    // Floyd-Steinberg on luminance, in sixteenths, left to right on every row. A pixel is
    // set when its value with the diffused error lies below the threshold; the error is
    // what black (0) or white (255) leaves over.
    const auto w = static_cast<std::size_t>(p.width);
    std::vector<int> row(w + 2, 0), next(w + 2, 0);
    for (int y = 0; y < p.height; ++y) {
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < p.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(x) + 1;
            const int value = Luminance(OnWhite(p.At(x, y))) * 16 + row[i];
            const bool set = value < threshold * 16;
            c.Set(x, y, set);
            const int err = value - (set ? 0 : 255 * 16);
            row[i + 1] += err * 7 / 16;
            next[i - 1] += err * 3 / 16;
            next[i] += err * 5 / 16;
            next[i + 1] += err / 16;
        }
        std::swap(row, next);
    }
    return c;
}

}  // namespace brivant
