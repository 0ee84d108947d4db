#include "ppm/Checksums.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/FileIO.h"
#include "core/HexBuffer.h"
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

std::uint32_t Get24(const std::uint8_t* b) {
    return std::uint32_t{b[0]} << 16 | std::uint32_t{b[1]} << 8 | b[2];
}

// The 16-bit words summed for the MCU checksum: [start, start + 2n).
struct McuRange {
    std::int64_t start;
    std::int64_t words;
};

// header: the first 42 bytes of a file of `size` bytes (fewer when the file is shorter).
std::optional<McuRange> FindMcuRange(const std::uint8_t* header, std::int64_t size) {
    if (size < 42) return std::nullopt;
    const std::int64_t start = ToImageOffset(Get24(header + 36));
    const std::int64_t end = ToImageOffset(Get24(header + 39));
    if (start < 0 || end < start - 1 || end >= size) return std::nullopt;
    return McuRange{start, (end - start + 1) / 2};
}

std::optional<McuRange> FindMcuRange(const Bytes& image) {
    return FindMcuRange(image.data(), static_cast<std::int64_t>(image.size()));
}

// The sum of the four 16-bit lanes of x.
std::uint32_t LaneSum(std::uint64_t x) {
    return static_cast<std::uint32_t>((x & 0xFFFF) + (x >> 16 & 0xFFFF) + (x >> 32 & 0xFFFF) +
                                      (x >> 48));
}

// Adds the bytes at even offsets of [q, q + 2 pairs) to high and those at odd ones to low.
// Eight bytes at a time: four bytes of each kind go to 16-bit lanes of one register, which
// hold 256 additions before they are emptied.
void SumPairs(const std::uint8_t* q, std::size_t pairs, std::uint32_t& high, std::uint32_t& low) {
    std::size_t k = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: the even bytes masked out and the odd ones shifted down, each
    // half summed by SAD against zero into 64-bit lanes that never fill up.
    {
        const __m128i lowBytes = _mm_set1_epi16(0x00FF);
        const __m128i zero = _mm_setzero_si128();
        __m128i even = zero, odd = zero;
        for (; k + 8 <= pairs; k += 8) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 2 * k));
            even = _mm_add_epi64(even, _mm_sad_epu8(_mm_and_si128(x, lowBytes), zero));
            odd = _mm_add_epi64(odd, _mm_sad_epu8(_mm_srli_epi16(x, 8), zero));
        }
        // Only the sums modulo 2^16 count: the 64-bit lanes are cut to 32 bits.
        const auto lanes = [](__m128i v) {
            return static_cast<std::uint32_t>(_mm_cvtsi128_si32(v)) +
                   static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
        };
        high += lanes(even);
        low += lanes(odd);
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kLanes = 0x00FF00FF00FF00FF;
        const std::uint8_t* base = q + 2 * k;  // behind what the wide loop summed
        const std::size_t words = (pairs - k) / 4;
        for (std::size_t w = 0; w < words;) {
            const std::size_t stop = std::min(words, w + 256);
            std::uint64_t even = 0, odd = 0;
            for (; w < stop; ++w) {
                std::uint64_t x;
                std::memcpy(&x, base + 8 * w, sizeof x);
                even += x & kLanes;
                odd += x >> 8 & kLanes;
            }
            high += LaneSum(even);
            low += LaneSum(odd);
        }
        k += words * 4;
    }
    for (; k < pairs; ++k) {
        high += q[2 * k];
        low += q[2 * k + 1];
    }
}

// The MCU checksum of a file read in pieces: high and low bytes of the words are summed
// apart and put together at the end; both sums may wrap, only their value modulo 2^16 counts.
class McuWordSum {
  public:
    explicit McuWordSum(const McuRange& r) : from_(r.start), to_(r.start + 2 * r.words) {}

    // n bytes that stand at offset `at` of the file.
    void Feed(const std::uint8_t* p, std::size_t n, std::int64_t at) {
        std::int64_t i = std::max(at, from_);
        const std::int64_t end = std::min(at + static_cast<std::int64_t>(n), to_);
        if (i >= end) return;
        if ((i - from_) & 1) low_ += p[i++ - at];  // a word begun in the previous piece
        const std::uint8_t* q = p + (i - at);
        const auto pairs = static_cast<std::size_t>((end - i) / 2);
        SumPairs(q, pairs, high_, low_);
        if ((end - i) & 1) high_ += q[2 * pairs];  // its low byte comes with the next piece
    }
    std::uint16_t Value() const { return static_cast<std::uint16_t>((high_ << 8) + low_); }

  private:
    std::int64_t from_, to_;
    std::uint32_t high_ = 0, low_ = 0;
};
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

bool ChecksumsRepairable(const Bytes& image) {
    return image.size() >= 128 && FindMcuRange(image);
}

std::optional<std::uint16_t> McuChecksum(const Bytes& image) {
    const auto range = FindMcuRange(image);
    if (!range) return std::nullopt;
    McuWordSum sum(*range);
    sum.Feed(image.data(), image.size(), 0);
    return sum.Value();
}

namespace {
// Eight steps of the register at once. Data bits enter at the bottom and need 32 steps to
// reach the top, so the feedback of eight steps depends only on the register's top byte.
struct FeedbackTable {
    std::uint32_t mask[256] = {};
    constexpr FeedbackTable() {
        for (std::uint32_t top = 0; top < 256; ++top) {
            std::uint32_t reg = top << 24;
            for (int i = 0; i < 8; ++i) reg = (reg << 1) ^ ((reg >> 31) ? kFeedback : 0);
            mask[top] = reg;
        }
    }
};

constexpr FeedbackTable kFeedbackTable;

inline std::uint32_t FeedWord(std::uint32_t data, std::uint32_t reg) {
    const FeedbackTable& table = kFeedbackTable;
    data = ~data;
    for (int shift = 24; shift >= 0; shift -= 8)
        reg = ((reg << 8) | ((data >> shift) & 0xFF)) ^ table.mask[reg >> 24];
    return reg;
}
}  // namespace

namespace {
// The register is linear: feeding words from a register r gives A^n r xor what the same
// words give from 0, where A is one step with no data (a word of all ones, as the step inverts
// it). A long run of blocks is therefore fed as four independent quarters, whose dependent
// table lookups the processor overlaps, and put together with A^q, the step q times over.
class RegisterPower {
  public:
    explicit RegisterPower(std::size_t q) : q_(q) {
        std::array<std::uint32_t, 32> step{}, power{};
        for (int j = 0; j < 32; ++j) {
            step[static_cast<std::size_t>(j)] = FeedWord(0xFFFFFFFF, std::uint32_t{1} << j);
            power[static_cast<std::size_t>(j)] = std::uint32_t{1} << j;
        }
        for (std::size_t e = q; e > 0; e >>= 1) {  // square and multiply
            if (e & 1) power = Times(step, power);
            step = Times(step, step);
        }
        for (std::size_t byte = 0; byte < 4; ++byte)
            for (std::uint32_t x = 1; x < 256; ++x) {
                const int low = std::countr_zero(x);
                table_[byte][x] =
                    table_[byte][x & (x - 1)] ^ power[byte * 8 + static_cast<std::size_t>(low)];
            }
    }
    std::size_t Steps() const { return q_; }
    std::uint32_t Apply(std::uint32_t v) const {
        return table_[0][v & 0xFF] ^ table_[1][v >> 8 & 0xFF] ^ table_[2][v >> 16 & 0xFF] ^
               table_[3][v >> 24];
    }

  private:
    using Columns = std::array<std::uint32_t, 32>;  // the images of the 32 unit vectors
    static std::uint32_t Apply(const Columns& m, std::uint32_t v) {
        std::uint32_t r = 0;
        for (int j = 0; j < 32; ++j)
            if (v >> j & 1) r ^= m[static_cast<std::size_t>(j)];
        return r;
    }
    static Columns Times(const Columns& a, const Columns& b) {
        Columns c{};
        for (std::size_t j = 0; j < 32; ++j) c[j] = Apply(a, b[j]);
        return c;
    }

    std::size_t q_;
    std::uint32_t table_[4][256] = {};
};

std::uint32_t BlockWord(const std::uint8_t* b) {
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[32]} << 8 |
           b[33];
}

// The file check value of a file read in pieces. Every piece but the last holds a whole
// number of 64-byte blocks and starts on a block boundary.
class FlsRegister {
  public:
    void Feed(const std::uint8_t* p, std::size_t n, std::int64_t at) {
        // Block 0 is left out, and so is a last block that the file does not fill.
        const std::size_t first = at == 0 ? 1 : 0;
        const std::size_t blocks = n / 64 > first ? n / 64 - first : 0;
        const std::uint8_t* b = p + 64 * first;
        const std::size_t q = blocks / 4;
        // A word fed is the register taken one step (A) with the inverted word put over it:
        // the four table lookups of A are independent of each other, where the byte-wise
        // feed waits on each lookup before the next.
        const RegisterPower& step = WordStep();
        const auto feed = [&step](const std::uint8_t* x, std::uint32_t r) {
            return step.Apply(r) ^ ~BlockWord(x);
        };
        if (q >= kLanesFrom) {
            const RegisterPower& a = PowerOf(q);
            std::uint32_t r0 = reg_, r1 = 0, r2 = 0, r3 = 0;
            for (std::size_t k = 0; k < q; ++k) {
                const std::uint8_t* x = b + 64 * k;
                r0 = feed(x, r0);
                r1 = feed(x + 64 * q, r1);
                r2 = feed(x + 128 * q, r2);
                r3 = feed(x + 192 * q, r3);
            }
            reg_ = a.Apply(a.Apply(a.Apply(r0) ^ r1) ^ r2) ^ r3;
        }
        for (std::size_t k = q >= kLanesFrom ? 4 * q : 0; k < blocks; ++k)
            reg_ = feed(b + 64 * k, reg_);
    }
    std::uint32_t Value() const {
        std::uint32_t reg = IterateChecksum(0xFFFFFFFF, reg_);
        reg = IterateChecksum(0x00000000, reg);
        return reg ^ kFinal;
    }

  private:
    // Below this many blocks a quarter, building A^q costs more than it saves.
    static constexpr std::size_t kLanesFrom = 64;
    static const RegisterPower& WordStep() {
        static const RegisterPower kStep(1);
        return kStep;
    }
    // Pieces of a file have one or two sizes: the last powers built are kept.
    static const RegisterPower& PowerOf(std::size_t q) {
        static thread_local std::array<std::unique_ptr<RegisterPower>, 4> kept;
        static thread_local std::size_t next = 0;
        for (const auto& p : kept)
            if (p && p->Steps() == q) return *p;
        auto& slot = kept[next++ % kept.size()];
        slot = std::make_unique<RegisterPower>(q);
        return *slot;
    }

    std::uint32_t reg_ = kRegisterStart;
};
}  // namespace

std::optional<std::uint32_t> FlsCheckValue(const Bytes& image) {
    if (image.size() < 128) return std::nullopt;
    FlsRegister reg;
    reg.Feed(image.data(), image.size(), 0);
    return reg.Value();
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

namespace {
constexpr const char* kCannotOpenFile = "Cannot open file %s";

// The whole file read into memory, repaired there and written back through a temporary
// file: for a file that can be read but not opened for writing.
void RewriteWithChecksums(const std::string& path) {
    MemStream s(ReadWholeFile(path, kCannotOpenFile));
    // Both limits are checked before either value is written.
    if (s.Size() < 128) throw UserError(kShortFile);
    if (!FindMcuRange(s.Data())) throw UserError(kBadMcuRange);
    FixMCUCheckSum(s);
    FixFLSCheckSum(s);
    WriteFileAtomic(path, s.Data());
}

bool WriteAt(std::FILE* f, std::int64_t at, const std::uint8_t* p, std::size_t n) {
    return std::fseek(f, static_cast<long>(at), SEEK_SET) == 0 && std::fwrite(p, 1, n, f) == n &&
           std::fflush(f) == 0;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

void RepairFileChecksums(const std::string& path) {
    // Only eight bytes change: the file is read once, a chunk at a time, and the two fields
    // are written into it in place. Rewriting the whole file would cost a second copy of the
    // image in memory and on disk.
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "r+b"));
    if (!f) return RewriteWithChecksums(path);

    constexpr std::size_t kChunk = std::size_t{1} << 17;  // a whole number of 64-byte blocks
    const std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[kChunk]);
    std::array<std::uint8_t, 42> header{};
    std::array<std::uint8_t, 6> tail{};  // the last six bytes read so far
    McuWordSum mcu(McuRange{0, 0});
    FlsRegister fls;
    std::int64_t size = 0;
    std::size_t got;
    while ((got = std::fread(chunk.get(), 1, kChunk, f.get())) > 0) {
        if (size == 0) {
            std::copy_n(chunk.get(), std::min(got, header.size()), header.begin());
            // The range as the header gives it; whether it lies inside the file is known at
            // the end.
            const auto r = FindMcuRange(header.data(), std::numeric_limits<std::int64_t>::max());
            if (r) mcu = McuWordSum(*r);
        }
        mcu.Feed(chunk.get(), got, size);
        fls.Feed(chunk.get(), got, size);
        for (std::size_t i = got < tail.size() ? 0 : got - tail.size(); i < got; ++i) {
            std::rotate(tail.begin(), tail.begin() + 1, tail.end());
            tail.back() = chunk[i];
        }
        size += static_cast<std::int64_t>(got);
        if (size > 0x7FFFFFFF) break;
    }
    if (std::ferror(f.get()) || size > 0x7FFFFFFF) throw UserError(Format(kCannotOpenFile, {path}));
    if (size < 128) throw UserError(kShortFile);
    if (!FindMcuRange(header.data(), size)) throw UserError(kBadMcuRange);

    const std::uint16_t sum = mcu.Value();
    std::array<std::uint8_t, 6> newTail{};
    PutBE16(newTail.data(), sum);
    PutBE32(newTail.data() + 2, fls.Value());
    std::array<std::uint8_t, 2> newSum{};
    PutBE16(newSum.data(), sum);
    const std::string fail = Format("Cannot create file %s", {path});
    if (!WriteAt(f.get(), size - 6, newTail.data(), newTail.size())) {
        WriteAt(f.get(), size - 6, tail.data(), tail.size());
        throw UserError(fail);
    }
    if (!WriteAt(f.get(), 34, newSum.data(), newSum.size())) {
        // Never half repaired: the file goes back to what it was.
        WriteAt(f.get(), size - 6, tail.data(), tail.size());
        WriteAt(f.get(), 34, header.data() + 34, 2);
        throw UserError(fail);
    }
    if (std::fclose(f.release()) != 0) throw UserError(fail);
}

void RepairImageChecksums(HexBuffer& image) {
    const Bytes& b = image.Data();
    // Both values come from the bytes as they are, as the file repair computes them in one
    // pass; neither reads the bytes the other writes.
    if (b.size() < 128) throw UserError(kShortFile);
    const auto sum = McuChecksum(b);
    if (!sum) throw UserError(kBadMcuRange);
    const auto value = FlsCheckValue(b);
    Bytes tail(6);
    PutBE16(tail.data(), *sum);
    PutBE32(tail.data() + 2, *value);
    image.WriteAt(image.Size() - 6, tail);
    image.WriteAt(34, Bytes(tail.begin(), tail.begin() + 2));
}

bool RunChecksumDialog(Interaction& ui, const std::string& path) {
    if (!ui.confirmChecksum(path)) {
        ui.info(kChecksumCancelled);
        return false;
    }
    try {
        RepairFileChecksums(path);
    } catch (const UserError& e) {
        ui.error(e.what());
        return false;
    }
    return true;
}

}  // namespace brivant
