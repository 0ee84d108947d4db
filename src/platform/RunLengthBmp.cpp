#include "platform/RunLengthBmp.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/UserError.h"
#include "graphics/BitmapFileCheck.h"

namespace brivant {

namespace {

std::uint32_t Le(const Bytes& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) {
        const std::size_t k = at + static_cast<std::size_t>(i);
        v = v << 8 | (k < b.size() ? b[k] : 0);
    }
    return v;
}

}  // namespace

bool IsRunLengthBmp(const Bytes& b) {
    if (b.size() < 34 || b[0] != 'B' || b[1] != 'M' || Le(b, 14, 4) < 40) return false;
    const std::uint32_t compression = Le(b, 30, 4);
    return compression == 1 || compression == 2;
}

Picture DecodeRunLengthBmp(const Bytes& b, const std::string& name) {
    const auto damaged = [&] { throw UserError(Format(kPictureDamaged, {name, "BMP"})); };
    const std::uint32_t header = Le(b, 14, 4);
    const auto w = static_cast<std::int32_t>(Le(b, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
    const std::uint32_t bits = Le(b, 28, 2);
    const bool four = Le(b, 30, 4) == 2;
    // The header kinds the toolkit reads; a depth that does not go with the compression is
    // refused there too.
    if ((header != 40 && header != 108 && header != 124) || bits != (four ? 4u : 8u)) damaged();
    const bool topDown = height < 0;
    const std::int32_t h = topDown ? -height : height;
    if (w < 1 || h < 1) damaged();
    const std::uint32_t used = Le(b, 46, 4);
    const std::uint32_t colours = used != 0 ? used : 1u << bits;
    const std::size_t table = 14 + std::size_t{header};
    const std::size_t tableEnd = table + std::size_t{colours} * 4;
    if (colours > 256 || tableEnd >= b.size()) damaged();
    std::vector<std::uint32_t> palette(256, 0);
    for (std::uint32_t i = 0; i < colours; ++i)
        palette[i] = 0xFF000000u | Le(b, table + std::size_t{i} * 4, 3);

    const auto width = static_cast<std::size_t>(w);
    std::vector<std::uint8_t> index(width * static_cast<std::size_t>(h), 0);
    // The data starts where the file says, but never inside the palette.
    std::size_t at = std::max<std::size_t>(Le(b, 10, 4), tableEnd);
    const auto next = [&]() -> std::uint8_t { return at < b.size() ? b[at++] : 0; };
    std::int32_t x = 0, y = 0;  // y counts rows in the order the data gives them
    const auto put = [&](std::uint8_t v) {
        if (x < w) {
            const std::int32_t row = topDown ? y : h - 1 - y;
            index[static_cast<std::size_t>(row) * width + static_cast<std::size_t>(x)] = v;
        }
        ++x;
    };
    const auto nibble = [&](std::uint8_t v, int i) -> std::uint8_t {
        return i % 2 == 0 ? v >> 4 : v & 0x0F;
    };
    while (y < h && at < b.size()) {
        const std::uint8_t count = next();
        if (count != 0) {  // a run of one index, or of two alternating ones
            const std::uint8_t v = next();
            for (int i = 0; i < count; ++i) put(four ? nibble(v, i) : v);
            continue;
        }
        const std::uint8_t code = next();
        if (code == 1) break;  // the end of the bitmap
        if (code == 0) {       // the end of a line
            x = 0;
            ++y;
        } else if (code == 2) {  // a jump right and on
            const std::uint8_t dx = next(), dy = next();
            x = std::min(x + dx, w - 1);
            y = std::min(y + dy, h - 1);
        } else {  // literal pixels, padded to a whole word
            std::uint8_t v = 0;
            for (int i = 0; i < code; ++i) {
                if (!four || i % 2 == 0) v = next();
                put(four ? nibble(v, i) : v);
            }
            const std::size_t bytes = four ? (code + 1u) / 2 : code;
            if (bytes % 2 != 0) next();
        }
    }
    Picture p(w, h);
    for (std::size_t i = 0; i < index.size(); ++i) p.argb[i] = palette[index[i]];
    return p;
}

}  // namespace brivant
