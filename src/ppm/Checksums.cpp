#include "ppm/Checksums.h"

#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/Stream.h"
#include "core/UserError.h"
#include "image/Address.h"

namespace brivant {

namespace {
constexpr const char* kShortChunk =
    "The chunk is shorter than 8 bytes; its checksum was not changed";
constexpr const char* kBadMcuRange =
    "The MCU checksum range of the image lies outside the file; checksums were not changed";
constexpr const char* kShortFile = "The file is shorter than 128 bytes; checksums were not changed";

constexpr std::uint32_t kRegisterStart = 0x5A197B2D;
constexpr std::uint32_t kFeedback = 0x20497E95;
constexpr std::uint32_t kFinal = 0x17CA6089;

std::uint32_t Get24(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 16 | std::uint32_t{b[at + 1]} << 8 | b[at + 2];
}

// The 16-bit words summed for the MCU checksum: [start, start + 2n).
struct McuRange {
    std::int64_t start;
    std::int64_t words;
};

std::optional<McuRange> FindMcuRange(const Bytes& image) {
    if (image.size() < 42) return std::nullopt;
    const std::int64_t start = ToImageOffset(Get24(image, 36));
    const std::int64_t end = ToImageOffset(Get24(image, 39));
    const auto size = static_cast<std::int64_t>(image.size());
    if (start < 0 || end < start - 1 || end >= size) return std::nullopt;
    return McuRange{start, (end - start + 1) / 2};
}
}  // namespace

std::uint32_t IterateChecksum(std::uint32_t data, std::uint32_t reg) {
    data = ~data;
    for (int i = 0; i < 32; ++i) {
        const std::uint32_t out = reg >> 31;
        reg = (reg << 1) | (data >> 31);
        data <<= 1;
        if (out) reg ^= kFeedback;
    }
    return reg;
}

std::optional<std::uint32_t> ChunkChecksum(const Bytes& chunk) {
    if (chunk.size() < 8) return std::nullopt;
    const std::size_t n = chunk.size() / 4 - 2;
    std::uint32_t sum = 0;
    for (std::size_t k = 1; k <= n; ++k) sum += GetBE32(&chunk[4 * k]);
    return sum;
}

std::optional<std::uint16_t> McuChecksum(const Bytes& image) {
    const auto range = FindMcuRange(image);
    if (!range) return std::nullopt;
    std::uint32_t sum = 0;
    const std::uint8_t* p = image.data() + range->start;
    for (std::int64_t i = 0; i < range->words; ++i, p += 2) sum += GetBE16(p);
    return static_cast<std::uint16_t>(sum);
}

namespace {
// Eight steps of the register at once. Data bits enter at the bottom and need 32 steps to
// reach the top, so the feedback of eight steps depends only on the register's top byte.
struct FeedbackTable {
    std::uint32_t mask[256];
    FeedbackTable() {
        for (std::uint32_t top = 0; top < 256; ++top) {
            std::uint32_t reg = top << 24;
            for (int i = 0; i < 8; ++i) reg = (reg << 1) ^ ((reg >> 31) ? kFeedback : 0);
            mask[top] = reg;
        }
    }
};

std::uint32_t FeedWord(std::uint32_t data, std::uint32_t reg) {
    static const FeedbackTable table;
    data = ~data;
    for (int shift = 24; shift >= 0; shift -= 8)
        reg = ((reg << 8) | ((data >> shift) & 0xFF)) ^ table.mask[reg >> 24];
    return reg;
}
}  // namespace

std::optional<std::uint32_t> FlsCheckValue(const Bytes& image) {
    if (image.size() < 128) return std::nullopt;
    std::uint32_t reg = kRegisterStart;
    const std::size_t count = image.size() / 64 - 1;
    for (std::size_t k = 1; k <= count; ++k) {
        const std::uint8_t* b = image.data() + 64 * k;
        const std::uint32_t d = std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 |
                                std::uint32_t{b[32]} << 8 | b[33];
        reg = FeedWord(d, reg);
    }
    reg = IterateChecksum(0xFFFFFFFF, reg);
    reg = IterateChecksum(0x00000000, reg);
    return reg ^ kFinal;
}

void FixPPMCheckSum(MemStream& chunk) {
    const auto sum = ChunkChecksum(chunk.Data());
    if (!sum) throw UserError(kShortChunk);
    SeekStream(chunk, 0, 0);
    WriteDWordToStream(*sum, chunk);
}

void FixMCUCheckSum(MemStream& image) {
    const auto sum = McuChecksum(image.Data());
    if (!sum || image.Size() < 42 + 6) throw UserError(kBadMcuRange);
    SeekStream(image, 34, 0);
    WriteWordToStream(*sum, image);
    SeekStream(image, -6, 2);
    WriteWordToStream(*sum, image);
}

void FixFLSCheckSum(MemStream& image) {
    const auto value = FlsCheckValue(image.Data());
    if (!value) throw UserError(kShortFile);
    SeekStream(image, -4, 2);
    WriteDWordToStream(*value, image);
}

void RepairFileChecksums(const std::string& path) {
    MemStream s(ReadWholeFile(path, "Cannot open file %s"));
    // Both limits are checked before either value is written.
    if (s.Size() < 128) throw UserError(kShortFile);
    if (!FindMcuRange(s.Data())) throw UserError(kBadMcuRange);
    FixMCUCheckSum(s);
    FixFLSCheckSum(s);
    WriteFileAtomic(path, s.Data());
}

void RunChecksumDialog(Interaction& ui, const std::string& path) {
    if (!ui.confirmChecksum(path)) {
        ui.info(kChecksumCancelled);
        return;
    }
    try {
        RepairFileChecksums(path);
    } catch (const UserError& e) {
        ui.error(e.what());
    }
}

}  // namespace brivant
