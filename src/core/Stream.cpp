#include "core/Stream.h"

#include <stdexcept>

namespace brivant {

std::uint8_t MemStream::Get() {
    if (pos_ < 0 || pos_ >= Size()) throw std::out_of_range("stream read past the end");
    return data_[static_cast<std::size_t>(pos_++)];
}

void MemStream::Put(std::uint8_t b) {
    if (pos_ < 0) throw std::out_of_range("stream position before the start");
    if (pos_ >= Size()) data_.resize(static_cast<std::size_t>(pos_) + 1);
    data_[static_cast<std::size_t>(pos_++)] = b;
}

void WriteByteToStream(std::uint32_t value, MemStream& s) {
    s.Put(static_cast<std::uint8_t>(value));
}

void WriteWordToStream(std::uint32_t value, MemStream& s) {
    s.Put(static_cast<std::uint8_t>(value >> 8));
    s.Put(static_cast<std::uint8_t>(value));
}

void WriteDWordToStream(std::uint32_t value, MemStream& s) {
    s.Put(static_cast<std::uint8_t>(value >> 24));
    s.Put(static_cast<std::uint8_t>(value >> 16));
    s.Put(static_cast<std::uint8_t>(value >> 8));
    s.Put(static_cast<std::uint8_t>(value));
}

std::uint8_t ReadByteFromStream(MemStream& s) {
    return s.Get();
}

std::int32_t ReadWordFromStream(MemStream& s) {
    const std::int32_t hi = s.Get();
    return hi << 8 | s.Get();
}

std::uint32_t ReadDWordFromStream(MemStream& s) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | s.Get();
    return v;
}

void SeekStream(MemStream& s, std::int64_t offset, int origin) {
    const std::int64_t base = origin == 0 ? 0 : origin == 1 ? s.Position() : s.Size();
    s.SetPosition(base + offset);
}

}  // namespace brivant
