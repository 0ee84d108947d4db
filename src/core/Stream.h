#pragma once

#include <cstdint>

#include "core/HexText.h"

namespace brivant {

// A seekable in-memory byte stream. Reading past the end is a programming error
// (std::out_of_range); callers check their ranges first.
class MemStream {
  public:
    MemStream() = default;
    explicit MemStream(Bytes data) : data_(std::move(data)) {}

    Bytes& Data() { return data_; }
    const Bytes& Data() const { return data_; }
    std::int64_t Size() const { return static_cast<std::int64_t>(data_.size()); }
    std::int64_t Position() const { return pos_; }
    void SetSize(std::int64_t n) { data_.resize(static_cast<std::size_t>(n)); }
    void SetPosition(std::int64_t p) { pos_ = p; }

    std::uint8_t Get();
    void Put(std::uint8_t b);

  private:
    Bytes data_;
    std::int64_t pos_ = 0;
};

void WriteByteToStream(std::uint32_t value, MemStream& s);
void WriteWordToStream(std::uint32_t value, MemStream& s);
void WriteDWordToStream(std::uint32_t value, MemStream& s);
std::uint8_t ReadByteFromStream(MemStream& s);
std::int32_t ReadWordFromStream(MemStream& s);
std::uint32_t ReadDWordFromStream(MemStream& s);
// origin 0 = from the beginning, 1 = from the current position, 2 = from the end.
void SeekStream(MemStream& s, std::int64_t offset, int origin);

}  // namespace brivant
