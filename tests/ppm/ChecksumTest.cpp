#include <gtest/gtest.h>

#include <array>

#include "core/HexText.h"
#include "core/Stream.h"
#include "core/UserError.h"
#include "ppm/Checksums.h"
#include "sample/SampleBuilder.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

TEST(FileCheckValue, KnownValues) {
    EXPECT_EQ(*FlsCheckValue(Bytes(128, 0x00)), 0x8F08D07Du);
    EXPECT_EQ(*FlsCheckValue(Bytes(192, 0xFF)), 0x53880A31u);
    Bytes ramp(256);
    for (int i = 0; i < 256; ++i) ramp[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(*FlsCheckValue(ramp), 0x92FAC6A6u);
}

// Short files and long ones (fed as four quarters and a rest) against the register stepped
// word by word.
TEST(FileCheckValue, AgreesWithTheWordByWordRegister) {
    for (const std::size_t size :
         {std::size_t{64 * 50 + 17}, std::size_t{64 * 257}, std::size_t{64 * (4 * 64 + 3) + 5},
          std::size_t{300 * 1024 + 17}}) {
        Bytes data = Filler(size, 3);
        std::uint32_t reg = 0x5A197B2D;
        for (std::size_t k = 1; k <= data.size() / 64 - 1; ++k)
            reg = IterateChecksum(
                GetBE32(std::array<std::uint8_t, 4>{data[64 * k], data[64 * k + 1],
                                                    data[64 * k + 32], data[64 * k + 33]}
                            .data()),
                reg);
        reg = IterateChecksum(0x00000000, IterateChecksum(0xFFFFFFFF, reg)) ^ 0x17CA6089;
        EXPECT_EQ(*FlsCheckValue(data), reg) << size;
    }
}

TEST(FileCheckValue, OnlySampledBytesCount) {
    Bytes a(256, 0x11);
    Bytes b = a;
    b[0] = 0x99;    // first block is not sampled
    b[66] = 0x99;   // nor bytes 2..31 of a block
    b[255] = 0x99;  // nor the last bytes
    EXPECT_EQ(FlsCheckValue(a), FlsCheckValue(b));
    b[64 + 33] = 0x98;
    EXPECT_NE(FlsCheckValue(a), FlsCheckValue(b));
}

TEST(FileCheckValue, WrittenBigEndianIntoTheLastFourBytes) {
    MemStream s(Bytes(128, 0x00));
    FixFLSCheckSum(s);
    const Bytes& d = s.Data();
    EXPECT_EQ(BytesToHex(Bytes(d.end() - 4, d.end())), "8F08D07D");
}

namespace {
Bytes McuImage(std::uint32_t start, std::uint32_t end, std::size_t size = 128) {
    Bytes b(size, 0);
    b[36] = static_cast<std::uint8_t>(start >> 16);
    b[37] = static_cast<std::uint8_t>(start >> 8);
    b[38] = static_cast<std::uint8_t>(start);
    b[39] = static_cast<std::uint8_t>(end >> 16);
    b[40] = static_cast<std::uint8_t>(end >> 8);
    b[41] = static_cast<std::uint8_t>(end);
    for (int i = 0; i < 8; ++i)
        b[static_cast<std::size_t>(0x30 + i)] = static_cast<std::uint8_t>(i + 1);
    return b;
}
}  // namespace

TEST(McuChecksum, SumsWordsOfTheRangeIntoBothCopies) {
    MemStream s(McuImage(0x200030, 0x200037));
    FixMCUCheckSum(s);
    const Bytes& d = s.Data();
    EXPECT_EQ(GetBE16(&d[34]), 0x1014);  // 0102 + 0304 + 0506 + 0708
    EXPECT_EQ(GetBE16(&d[d.size() - 6]), 0x1014);
}

TEST(McuChecksum, OddRangeLeavesOutItsLastByte) {
    EXPECT_EQ(*McuChecksum(McuImage(0x200030, 0x200036)), 0x0102 + 0x0304 + 0x0506);
    EXPECT_EQ(*McuChecksum(McuImage(0x200030, 0x20002F)), 0);  // empty range
}

// Large ranges of every alignment and length against the sum taken word by word, with
// bytes that make every lane and carry count.
TEST(McuChecksum, AgreesWithTheWordByWordSum) {
    const std::size_t size = 70000;
    for (const std::uint32_t start : {0x200030u, 0x200031u, 0x200037u, 0x200040u}) {
        for (const std::uint32_t length : {1u, 2u, 15u, 16u, 17u, 4096u, 4097u, 69000u}) {
            Bytes b = McuImage(start, start + length - 1, size);
            for (std::size_t i = 42; i < size; ++i)
                b[i] = static_cast<std::uint8_t>(0xFF - (i * 37 + (i >> 8)) % 3);
            const std::size_t from = start - 0x200000;
            std::uint32_t expected = 0;
            for (std::size_t w = 0; w < length / 2; ++w) expected += GetBE16(&b[from + 2 * w]);
            EXPECT_EQ(*McuChecksum(b), static_cast<std::uint16_t>(expected))
                << std::hex << start << " " << length;
        }
    }
}

TEST(McuChecksum, RangeOutsideTheFileIsRefusedWithoutWriting) {
    for (const auto& img : {McuImage(0x200030, 0x200080), McuImage(0x100000, 0x200037),
                            McuImage(0x200040, 0x200030)}) {
        EXPECT_FALSE(McuChecksum(img));
        MemStream s(img);
        EXPECT_THROW(FixMCUCheckSum(s), UserError);
        EXPECT_EQ(s.Data(), img);
    }
}

TEST(ChunkChecksum, SumsAllWordsButTheFirstAndTheLast) {
    const Bytes chunk = HexToBytes(
        "00000000"
        "0000001C"
        "544F4E45"
        "00000000000000100000000000000000");
    EXPECT_EQ(*ChunkChecksum(chunk), 0x544F4E71u);
    MemStream s(chunk);
    FixPPMCheckSum(s);
    EXPECT_EQ(BytesToHex(Bytes(s.Data().begin(), s.Data().begin() + 4)), "544F4E71");
}

TEST(ChunkChecksum, TrailingBytesAndLastWholeWordAreOutside) {
    Bytes chunk = HexToBytes(
        "FFFFFFFF"
        "00000001"
        "00000002"
        "00000004"
        "AABBCC");
    EXPECT_EQ(*ChunkChecksum(chunk), 3u);  // 1 + 2; word 4 and AABBCC are outside
    chunk.resize(8);
    EXPECT_EQ(*ChunkChecksum(chunk), 0u);
    chunk.resize(7);
    EXPECT_FALSE(ChunkChecksum(chunk));
    MemStream s(chunk);
    EXPECT_THROW(FixPPMCheckSum(s), UserError);
    EXPECT_EQ(s.Data(), chunk);
}

TEST(ChecksumDialog, OkRepairsTheFileAndCancelLeavesIt) {
    TempDir dir;
    const std::string path = dir.Path("a.fls");
    Bytes img = BuildSample({}).bytes;
    const Bytes good = img;
    img[0x2000] ^= 0x55;  // inside the MCU range and a sampled position
    img[0x2000 + 32] ^= 0x55;
    WriteFile(path, img);

    FakeUi ui;
    ui.checksumAnswers = {false};
    RunChecksumDialog(ui, path);
    EXPECT_EQ(ui.Last(), kChecksumCancelled);
    EXPECT_EQ(ReadFile(path), img);

    ui.checksumAnswers = {true};
    RunChecksumDialog(ui, path);
    const Bytes fixed = ReadFile(path);
    EXPECT_EQ(*McuChecksum(fixed), GetBE16(&fixed[34]));
    EXPECT_EQ(*McuChecksum(fixed), GetBE16(&fixed[fixed.size() - 6]));
    EXPECT_EQ(*FlsCheckValue(fixed), GetBE32(&fixed[fixed.size() - 4]));
    EXPECT_NE(fixed, good);
}

TEST(ChecksumDialog, RefusesShortFilesAndBadRangesWithoutWriting) {
    TempDir dir;
    FakeUi ui;
    const std::string shortFile = dir.Path("short.fls");
    Bytes shortBytes = McuImage(0x200030, 0x200037, 100);
    WriteFile(shortFile, shortBytes);
    RunChecksumDialog(ui, shortFile);
    EXPECT_EQ(ui.told.back().second, MessageKind::Error);
    EXPECT_EQ(ReadFile(shortFile), shortBytes);

    const std::string badRange = dir.Path("range.fls");
    const Bytes badBytes = McuImage(0x200030, 0x300000, 256);
    WriteFile(badRange, badBytes);
    RunChecksumDialog(ui, badRange);
    EXPECT_EQ(
        ui.Last(),
        "The MCU checksum range of the image lies outside the file; checksums were not changed");
    EXPECT_EQ(ReadFile(badRange), badBytes);

    RunChecksumDialog(ui, dir.Path("missing.fls"));
    EXPECT_EQ(ui.Last(),
              "Cannot open file " + dir.Path("missing.fls") + " (No such file or directory)");
}
