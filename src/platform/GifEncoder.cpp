#include "platform/GifEncoder.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace brivant {

namespace {

// Codes and their sizes as the common GIF writer hands them out, so that both builds write
// the same bytes: a clear code first, a code's size grows once the next free code has
// reached the current size's limit (checked after each code is written), and a clear code
// when the table is full.
class LzwWriter {
  public:
    explicit LzwWriter(Bytes& out) : out_(out) {
        out_.push_back(kMinCodeSize);
        Put(kClear);
    }

    void Pixel(std::uint8_t pixel) {
        if (current_ < 0) {
            current_ = pixel;
            return;
        }
        const std::uint32_t key = static_cast<std::uint32_t>(current_) << 8 | pixel;
        if (const auto found = table_.find(key); found != table_.end()) {
            current_ = found->second;
            return;
        }
        Put(current_);
        current_ = pixel;
        if (next_ >= kMaxCode) {
            Put(kClear);
            next_ = kEnd + 1;
            bits_ = kMinCodeSize + 1;
            limit_ = 1 << bits_;
            table_.clear();
        } else {
            table_.emplace(key, next_++);
        }
    }

    // The last code, the end code, the bits left over, and the empty block that ends the data.
    void Finish() {
        Put(current_);
        Put(kEnd);
        while (pending_ > 0) {
            Byte(static_cast<std::uint8_t>(shift_ & 0xFF));
            shift_ >>= 8;
            pending_ -= 8;
        }
        if (!block_.empty()) {
            out_.push_back(static_cast<std::uint8_t>(block_.size()));
            out_.insert(out_.end(), block_.begin(), block_.end());
        }
        out_.push_back(0);
    }

  private:
    static constexpr std::uint8_t kMinCodeSize = 2;  // two colours, at least two bits
    static constexpr int kClear = 1 << kMinCodeSize;
    static constexpr int kEnd = kClear + 1;
    static constexpr int kMaxCode = 4095;

    void Put(int code) {
        shift_ |= static_cast<std::uint64_t>(code) << pending_;
        pending_ += bits_;
        while (pending_ >= 8) {
            Byte(static_cast<std::uint8_t>(shift_ & 0xFF));
            shift_ >>= 8;
            pending_ -= 8;
        }
        if (next_ >= limit_ && code <= kMaxCode) limit_ = 1 << ++bits_;
    }

    // Data goes out in blocks of at most 255 bytes, each after its length.
    void Byte(std::uint8_t b) {
        if (block_.size() == 255) {
            out_.push_back(255);
            out_.insert(out_.end(), block_.begin(), block_.end());
            block_.clear();
        }
        block_.push_back(b);
    }

    Bytes& out_;
    std::vector<std::uint8_t> block_;
    std::unordered_map<std::uint32_t, int> table_;
    int current_ = -1;
    int next_ = kEnd + 1;
    int bits_ = kMinCodeSize + 1;
    int limit_ = 1 << (kMinCodeSize + 1);
    std::uint64_t shift_ = 0;
    int pending_ = 0;
};

void Word(Bytes& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8 & 0xFF));
}

}  // namespace

Bytes EncodeAnimatedGifOwn(const AnimationFile& animation) {
    const int scale = animation.Scale();
    const auto [width, height] = animation.Cell();
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    Word(out, width);
    Word(out, height);
    // A global table of two colours (one bit), one bit of colour resolution.
    out.insert(out.end(), {0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0});
    // Loop for ever, as the window plays it.
    out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3,
                           1, 0, 0, 0});
    const int delay = std::clamp((animation.delayMs + 5) / 10, 0, 0xFFFF);  // hundredths
    for (const BitmapCanvas& f : animation.frames) {
        // Shown for the delay, then cleared to the background; no transparent colour.
        out.insert(out.end(), {0x21, 0xF9, 4, 0x08});
        Word(out, delay);
        out.insert(out.end(), {0xFF, 0});
        out.push_back(0x2C);
        Word(out, 0);
        Word(out, 0);
        Word(out, width);
        Word(out, height);
        out.push_back(0);
        LzwWriter lzw(out);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) lzw.Pixel(f.Dark(x / scale, y / scale) ? 1 : 0);
        lzw.Finish();
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace brivant
