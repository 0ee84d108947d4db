#ifdef BRIVANT_PLATFORM

#include "platform/RunLengthBmp.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <random>

#include "core/UserError.h"
#include "platform/QtBitmapFiles.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// A run-length BMP of w x h (h < 0: rows from the top) with `colours` palette entries
// (0 = as many as the depth allows) and `data` as its pixels.
Bytes RunLengthFile(int w, int h, int bits, std::uint32_t colours, const Bytes& data,
                    std::uint32_t header = 40) {
    Bytes b;
    const auto le = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const std::uint32_t entries = colours != 0 ? colours : 1u << bits;
    const std::uint32_t offset = 14 + header + entries * 4;
    b.push_back('B');
    b.push_back('M');
    le(offset + static_cast<std::uint32_t>(data.size()), 4);
    le(0, 4);
    le(offset, 4);
    le(header, 4);
    le(static_cast<std::uint32_t>(w), 4);
    le(static_cast<std::uint32_t>(h), 4);
    le(1, 2);
    le(static_cast<std::uint32_t>(bits), 2);
    le(bits == 8 ? 1 : 2, 4);
    le(static_cast<std::uint32_t>(data.size()), 4);
    le(2835, 4);
    le(2835, 4);
    le(colours, 4);
    le(0, 4);
    b.resize(14 + header, 0);
    for (std::uint32_t i = 0; i < entries; ++i) le(0x10000u * (i * 37 % 256) + i * 11 + 0x0300, 4);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// Well-formed data that sets every pixel of a w x h picture: runs and literals that stay in
// their row, each row closed by an end of line, the last by the end mark.
Bytes CoveringRunLength(std::mt19937& rng, bool four, int w, int h) {
    Bytes d;
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w;) {
            const int n = std::min(w - x, 1 + pick(8));
            if (n >= 3 && pick(2)) {
                d.push_back(0);
                d.push_back(static_cast<std::uint8_t>(n));
                const int bytes = four ? (n + 1) / 2 : n;
                for (int k = 0; k < bytes; ++k) d.push_back(static_cast<std::uint8_t>(pick(256)));
                if (bytes % 2) d.push_back(0);
            } else {
                d.push_back(static_cast<std::uint8_t>(n));
                d.push_back(static_cast<std::uint8_t>(pick(256)));
            }
            x += n;
        }
        d.push_back(0);
        d.push_back(y + 1 == h ? 1 : 0);
    }
    return d;
}

Picture Toolkit(const Bytes& file) {
    QImage image;
    EXPECT_TRUE(image.loadFromData(file.data(), static_cast<int>(file.size()), "BMP"));
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Picture p(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            p.argb[static_cast<std::size_t>(y * argb.width() + x)] = argb.pixel(x, y);
    return p;
}

// On data that sets every pixel, both builds' reader gives the toolkit's pixels: depths,
// palettes shorter than the depth allows (indexes past them included), rows from the top,
// the larger headers.
TEST(RunLengthBmp, WellFormedDataGivesTheToolkitsPixels) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 600; ++round) {
        const bool four = round % 2 == 1;
        const int w = 1 + static_cast<int>(rng() % 19), h = 1 + static_cast<int>(rng() % 5);
        const std::uint32_t colours = rng() % 3 == 0 ? 1 + rng() % (four ? 16 : 256) : 0;
        const std::uint32_t header = std::array<std::uint32_t, 4>{40, 40, 108, 124}[round % 4];
        const Bytes file = RunLengthFile(w, rng() % 4 == 0 ? -h : h, four ? 4 : 8, colours,
                                         CoveringRunLength(rng, four, w, h), header);
        const Picture ours = DecodePicture(file, "r.bmp");
        const Picture toolkit = Toolkit(file);
        ASSERT_EQ(ours.width, toolkit.width);
        ASSERT_EQ(ours.height, toolkit.height);
        ASSERT_EQ(ours.argb, toolkit.argb) << "round " << round << ": " << BytesToHex(file);
    }
}

// Where the toolkit's pixels depend on what its memory held, the rules are fixed: unset
// pixels are colour 0, runs stop at the right edge, a literal run uses up all its bytes,
// jumps stop at the picture's last column and row.
TEST(RunLengthBmp, DataThatLeavesThePictureFollowsFixedRules) {
    struct Case {
        const char* name;
        int bits;
        const char* data;
        std::vector<int> indexes;  // top row first
    };
    const std::vector<Case> cases = {
        {"nothing set", 8, "0001", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"an early end of line", 8, "0105000002070001", {7, 7, 0, 0, 5, 0, 0, 0}},
        {"a run past the edge",
         8,
         "060300000103"
         "0001",
         {3, 0, 0, 0, 3, 3, 3, 3}},
        {"a literal past the edge",
         8,
         "0005010203040500"
         "0000"
         "0109"
         "0001",
         {9, 0, 0, 0, 1, 2, 3, 4}},
        {"a jump past the edge",
         8,
         "000209090104"
         "0001",
         {0, 0, 0, 4, 0, 0, 0, 0}},
        {"a jump then more rows",
         8,
         "00020100010600000108"
         "0001",
         {8, 0, 0, 0, 0, 6, 0, 0}},
        {"four bits past the edge", 4, "05ab0000020c0001", {0, 12, 0, 0, 10, 11, 10, 11}},
        {"an odd literal in four bits",
         4,
         "000312300000"
         "01f0"
         "0001",
         {15, 0, 0, 0, 1, 2, 3, 0}},
    };
    for (const Case& c : cases) {
        const Bytes file = RunLengthFile(4, 2, c.bits, 0, HexToBytes(c.data));
        const Picture p = DecodePicture(file, "r.bmp");
        ASSERT_EQ(p.argb.size(), c.indexes.size()) << c.name;
        for (std::size_t i = 0; i < c.indexes.size(); ++i) {
            const auto k = static_cast<std::uint32_t>(c.indexes[i]);
            EXPECT_EQ(p.argb[i], 0xFF000000u | (0x10000u * (k * 37 % 256) + k * 11 + 0x0300))
                << c.name << " pixel " << i;
        }
        EXPECT_EQ(DecodePicture(file, "r.bmp").argb, p.argb) << c.name;
    }
}

// Refused as the toolkit refuses them: a depth that does not go with the compression, a
// header kind it does not read, a palette of more than 256 colours.
TEST(RunLengthBmp, HeadersTheReaderCannotTakeAreDamaged) {
    const Bytes data = HexToBytes("02010001");
    Bytes mismatched = RunLengthFile(2, 1, 4, 0, data);
    mismatched[30] = 1;  // RLE8 on four bits a pixel
    for (const Bytes& file :
         {mismatched, RunLengthFile(2, 1, 8, 0, data, 52), RunLengthFile(2, 1, 8, 300, data)}) {
        EXPECT_EQ(ErrorOf([&] { DecodeRunLengthBmp(file, "r.bmp"); }),
                  "r.bmp is damaged: its BMP data cannot be read");
    }
}

}  // namespace
}  // namespace brivant::test

#endif
