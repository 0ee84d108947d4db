#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/HexBuffer.h"
#include "core/Stream.h"
#include "core/UserError.h"
#include "ppm/Checksums.h"
#include "sample/SampleBuilder.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {
// An image of `size` bytes whose header names the MCU range [start, end] as phone addresses.
Bytes WithRange(Bytes b, std::uint32_t start, std::uint32_t end) {
    for (int i = 0; i < 3; ++i) {
        b[static_cast<std::size_t>(36 + i)] = static_cast<std::uint8_t>(start >> (16 - 8 * i));
        b[static_cast<std::size_t>(39 + i)] = static_cast<std::uint8_t>(end >> (16 - 8 * i));
    }
    return b;
}

Bytes Varied(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    return b;
}
}  // namespace

// The file is read a chunk at a time and repaired in place, or the image repaired in the
// buffer before it is written: either must end byte for byte as the whole image repaired in
// a stream would, wherever the range and the file's end fall.
TEST(ChecksumRepair, InPlaceEqualsTheRepairOfTheWholeImage) {
    const std::size_t big = 300 * 1024 + 17;  // crosses chunk boundaries, ends in a partial block
    struct Case {
        const char* name;
        Bytes image;
    };
    const std::vector<Case> cases = {
        {"sample", BuildSample({}).bytes},
        {"odd start across chunks", WithRange(Varied(big), 0x200031, 0x200000 + 0x30000)},
        {"even start, odd length", WithRange(Varied(big), 0x200040, 0x200000 + 0x20001)},
        {"range over both fields and the tail",
         WithRange(Varied(64 * 50 + 17), 0x200000, 0x200000 + 64 * 50 + 16)},
        {"empty range", WithRange(Varied(256), 0x200030, 0x20002F)},
        {"smallest file", WithRange(Varied(128), 0x200001, 0x200000 + 127)},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.Path("image.fls");
        WriteFile(path, c.image);
        std::filesystem::permissions(
            path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        MemStream expected(c.image);
        FixMCUCheckSum(expected);
        FixFLSCheckSum(expected);

        RepairFileChecksums(path);
        EXPECT_EQ(ReadFile(path), expected.Data()) << c.name;
        HexBuffer buffer(true);
        buffer.LoadStream(MemStream(c.image));
        RepairImageChecksums(buffer);
        EXPECT_EQ(buffer.Data(), expected.Data()) << c.name;
        // The same file, not a new one: its permissions stay as they were.
        EXPECT_EQ(std::filesystem::status(path).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << c.name;
        std::filesystem::remove(path);
    }
}

// An image whose checksums cannot be repaired is refused before anything changes.
TEST(ChecksumRepair, ImageOutsideTheLimitsIsLeftAsItWas) {
    for (const Bytes& image : {Varied(100), WithRange(Varied(4096), 0x200040, 0x200000 + 4096)}) {
        HexBuffer buffer(true);
        buffer.LoadStream(MemStream(image));
        EXPECT_THROW(RepairImageChecksums(buffer), UserError) << image.size();
        EXPECT_EQ(buffer.Data(), image);
    }
}
