#include <gtest/gtest.h>

#include <random>

#include "core/UserError.h"
#include "image/McuSpace.h"
#include "image/PpmPieces.h"
#include "image/Session.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// An image of 0x11 bytes with the header's DUMFILE at 0x10 and the PPM marker at 0x400;
// `runs` are (offset, length) runs of FF, `mark` the offset of the closing mark or -1.
Bytes Image(std::initializer_list<std::pair<int, int>> runs, int mark) {
    Bytes b(0x480, 0x11);
    const Bytes dumfile = HexToBytes(kDumfileHex), ppm = HexToBytes(kPpmMarkerHex);
    std::copy(dumfile.begin(), dumfile.end(), b.begin() + 0x10);
    std::copy(ppm.begin(), ppm.end(), b.begin() + 0x400);
    for (const auto& [at, n] : runs) std::fill_n(b.begin() + at, n, 0xFF);
    if (mark >= 0) {
        const Bytes m = HexToBytes(kMcuMarkHex);
        std::copy(m.begin(), m.end(), b.begin() + mark);
    }
    return b;
}

// The free space is the FF run that reaches its end; holes of FF inside tables before it are
// passed over. Without such a run it is the longest run (of twenty bytes or more) before
// the end: a hole an edit left comes first, but is shorter.
TEST(McuSpace, FreeSpaceStartsWithTheRunThatReachesItsEnd) {
    const struct {
        const char* what;
        Bytes image;
        std::int32_t start;
    } cases[] = {
        {"hole, then a run up to the mark", Image({{0x40, 20}, {0x100, 0x200}}, 0x300), 0x100},
        {"hole, then a run up to the PPM marker", Image({{0x40, 24}, {0x200, 0x200}}, -1), 0x200},
        {"a short run still reaches the end", Image({{0x40, 40}, {0x2FD, 3}}, 0x300), 0x2FD},
        {"full up to the mark: the longest run", Image({{0x40, 20}, {0x100, 0x100}}, 0x300), 0x100},
        {"data below the PPM marker: the longest run", Image({{0x40, 24}, {0x100, 0x2F0}}, -1),
         0x100},
        {"runs of one length: the first", Image({{0x40, 0x30}, {0x100, 0x30}}, -1), 0x40},
        {"a run behind the mark is not ours", Image({{0x40, 20}, {0x320, 0x80}}, 0x300), 0x40},
        {"hole shorter than twenty, full space", Image({{0x40, 19}}, -1), -1},
        {"a mark behind the PPM marker does not end it", Image({{0x380, 0x80}}, 0x420), 0x380},
    };
    for (const auto& c : cases) EXPECT_EQ(FindMcuFreeStart(c.image), c.start) << c.what;
}

// The runs are walked several bytes at a time: at every alignment, with runs that touch the
// DUMFILE hit, the mark or the PPM marker, and lengths around the minimum, the start is the
// one a walk byte by byte finds.
TEST(McuSpace, FreeSpaceStartIsTheSameAtEveryAlignment) {
    // The rule byte by byte, over Image's layout: DUMFILE at 0x10, so the walk starts on its last
    // byte, 0x16, which the runs leave alone.
    const auto byteByByte = [](const Bytes& b, std::int64_t end) {
        std::int64_t start = end;
        while (start > 0x16 && b[static_cast<std::size_t>(start - 1)] == 0xFF) --start;
        if (start < end) return start;
        std::int64_t best = -1, bestLength = 19;
        for (std::int64_t i = 0x16; i < end; ++i) {
            std::int64_t j = i;
            while (j < end && b[static_cast<std::size_t>(j)] == 0xFF) ++j;
            if (j - i > bestLength) best = i, bestLength = j - i;
            if (j > i) i = j;
        }
        return best;
    };
    std::mt19937 random(7);
    const auto pick = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int round = 0; round < 2000; ++round) {
        const bool marked = round % 2 == 0;
        Bytes b = Image({}, marked ? 0x300 : -1);
        const std::int64_t end = marked ? 0x300 : 0x400;
        // Runs of FF and of data one after the other, the data often a byte or two: runs
        // that a walk skipping too far would join.
        std::int64_t at = pick(0x17, 0x40);
        while (at < end) {
            const int run = pick(0, 1) ? pick(15, 24) : pick(1, 40);
            std::fill(b.begin() + at, b.begin() + std::min<std::int64_t>(end, at + run), 0xFF);
            at += run + (pick(0, 1) ? pick(1, 3) : pick(1, 60));
        }
        // Sometimes data right up to the end, so that no run reaches it.
        if (pick(0, 1) == 0) b[static_cast<std::size_t>(end - 1)] = 0x11;
        EXPECT_EQ(FindMcuFreeStart(b), byteByByte(b, end)) << "round " << round;
    }
}

// Each write takes only FF bytes, up to the end of the free space, and a refusal changes
// nothing: neither the image nor FreeOffset.
TEST(McuSpace, WritesTakeOnlyFreeBytesBeforeTheEnd) {
    Session s;
    s.MainHex.LoadStream(MemStream(Image({{0x100, 0x200}}, 0x300)));
    const struct {
        const char* what;
        std::int32_t freeOffset;
        std::size_t length;
        int align;
        std::int32_t spot;  // -1: refused
    } cases[] = {
        {"fits exactly before the mark", 0x2F0, 16, 1, 0x2F0},
        {"one byte over the mark", 0x2F0, 17, 1, -1},
        {"aligned, the skipped bytes free", 0x101, 8, 4, 0x104},
        {"code before FreeOffset is not taken", 0xF0, 4, 1, -1},
        {"aligned past the end", 0x2FD, 2, 4, -1},
        {"no free space known", -1, 1, 1, -1},
    };
    const Bytes before = s.MainHex.Data();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        s.FreeOffset = c.freeOffset;
        const Bytes data(c.length, 0x5A);
        EXPECT_EQ(McuReserve(s, static_cast<std::int64_t>(c.length), c.align).value_or(-1), c.spot);
        if (c.spot < 0) {
            EXPECT_EQ(ErrorOf([&] { WriteAtFreeOffset(s, data, c.align); }), kNoMcuSpace);
            EXPECT_EQ(s.FreeOffset, c.freeOffset);
            EXPECT_TRUE(s.MainHex.Data() == before);
            continue;
        }
        EXPECT_EQ(WriteAtFreeOffset(s, data, c.align), c.spot);
        EXPECT_EQ(s.FreeOffset, c.spot + static_cast<std::int32_t>(c.length));
        // Written once, the same bytes are no longer free.
        s.FreeOffset = c.spot;
        EXPECT_FALSE(McuFits(s, 1));
        s.MainHex.LoadStream(MemStream(before));
    }
}

// Whatever is written and whatever an edit hands back, FreeOffset stays where an open of
// the image would put it: data that ends in FF gets a 00 byte behind it, so its tail is
// never handed out again, and FF bytes freed right below FreeOffset join the free space.
TEST(McuSpace, FreeOffsetIsWhereAnOpenWouldFindIt) {
    const struct {
        const char* what;
        Bytes data;
        std::int64_t footprint;
    } writes[] = {
        {"code", HexToBytes("46C0B500"), 4},
        {"a record whose last field is FFFF", HexToBytes("00200010FFFF"), 7},
        {"a bitmap whose last row is all set", Bytes(24, 0xFF), 25},
        {"one byte", HexToBytes("7F"), 1},
    };
    Session s;
    s.MainHex.LoadStream(MemStream(Image({{0x100, 0x200}}, 0x300)));
    s.FreeOffset = FindMcuFreeStart(s.MainHex.Data());
    for (const auto& w : writes) {
        SCOPED_TRACE(w.what);
        EXPECT_EQ(McuFootprint(w.data), w.footprint);
        const std::int32_t at = WriteAtFreeOffset(s, w.data);
        EXPECT_EQ(s.MainHex.ReadAt(at, static_cast<std::int32_t>(w.data.size())), w.data);
        EXPECT_EQ(s.FreeOffset, at + w.footprint);
        SettleFreeOffset(s);
        EXPECT_EQ(s.FreeOffset, at + w.footprint);
        EXPECT_EQ(FindMcuFreeStart(s.MainHex.Data()), s.FreeOffset);
    }
    // The last write's bytes handed back (an array that shrank): free again, at once.
    const std::int32_t before = s.FreeOffset;
    s.MainHex.WriteAt(before - 1, Bytes(1, 0xFF));
    SettleFreeOffset(s);
    EXPECT_EQ(s.FreeOffset, before - 1);
    EXPECT_EQ(FindMcuFreeStart(s.MainHex.Data()), s.FreeOffset);
    // A hole of FF that does not touch the free space stays where it is.
    s.MainHex.WriteAt(0x104, Bytes(30, 0xFF));
    SettleFreeOffset(s);
    EXPECT_EQ(s.FreeOffset, before - 1);
}

// The free offset an open finds, as `info --json` tells it.
std::int64_t FreeOffsetOf(const std::string& image) {
    const CliRun r = Cli({"info", image, "--json"});
    const std::string key = "\"freeOffset\":";
    const auto at = r.out.find(key);
    return at == std::string::npos ? -2 : std::stoll(r.out.substr(at + key.size()));
}

// Where no run of FF reaches the end of the free space (no mark, data right below the PPM
// area), the holes a menu delete or add leaves in the menu table are not taken for the free
// space by the next open: it starts where it did, or behind what the add wrote there.
TEST(McuSpace, HolesOfMenuEditsAreNotTheFreeSpaceOfTheNextOpen) {
    for (const char* type : {"2100", "8210", "3310"}) {
        SCOPED_TRACE(type);
        TempDir dir;
        const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
        ASSERT_EQ(Cli({"demo", x, "--type", type, "--occupied", "--no-mark"}).status, 0);
        const std::int64_t free = FreeOffsetOf(x);
        ASSERT_GT(free, 0);
        ASSERT_EQ(Cli({"menu", "delete", x, "1", "-o", y}).status, 0);
        EXPECT_EQ(FreeOffsetOf(y), free);
        ASSERT_EQ(Cli({"menu", "add", y, "--name", "Hello", "-o", z}).status, 0);
        EXPECT_GT(FreeOffsetOf(z), free);
    }
}

}  // namespace
}  // namespace brivant::test
