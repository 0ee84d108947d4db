#include "patches/CodePatch.h"

#include <algorithm>

#include "core/UserError.h"
#include "image/McuSpace.h"
#include "image/Session.h"
#include "patches/ThumbCall.h"

namespace brivant {

std::int32_t FindHook(Session& s, std::string_view pattern) {
    if (s.MainHex.Size() < 2) throw UserError(kNoHook);
    s.MainHex.SetSelectionStart(1);
    FindOffSet1(s, pattern);
    if (s.FoundOffset < 0) throw UserError(kNoHook);
    return s.FoundOffset;
}

std::uint32_t CallAt(const Session& s, std::int64_t at) {
    const Bytes& m = s.MainHex.Data();
    if (at < 0 || at + 4 > static_cast<std::int64_t>(m.size())) throw UserError(kNoCall);
    const std::uint32_t word = GetBE32(&m[static_cast<std::size_t>(at)]);
    // Decoding anything else would send the phone into whatever the bytes happen to say.
    if (!IsBL(word)) throw UserError(kNoCall);
    return word;
}

Bytes CallBytes(std::int64_t from, std::int64_t to) {
    const auto word = EncodeBL(from, to);
    if (!word) throw UserError(kOutOfReach);
    Bytes b(4);
    PutBE32(b.data(), *word);
    return b;
}

void PutCall(Bytes& code, std::int32_t at, std::int64_t base, std::int64_t to) {
    const Bytes b = CallBytes(base + at, to);
    std::copy(b.begin(), b.end(), code.begin() + at);
}

std::int32_t PayloadSpot(Session& s, std::int32_t length) {
    const std::int32_t from = s.FreeOffset;
    if (from < 0) throw UserError(kNoMcuSpace);
    const std::int32_t spot = (from + 3) / 4 * 4;
    const std::int64_t end = std::int64_t{spot} + length;  // one past the payload
    if (!McuFits(s, end - from)) throw UserError(kNoMcuSpace);
    // The skipped bytes stay as they are, but they too must be free: anything else there
    // means FreeOffset no longer marks the start of free space.
    const Bytes& m = s.MainHex.Data();
    if (end > static_cast<std::int64_t>(m.size()) ||
        !std::all_of(m.begin() + from, m.begin() + end, [](std::uint8_t b) { return b == 0xFF; }))
        throw UserError(kNoMcuSpace);
    return spot;
}

void WritePayload(Session& s, std::int32_t spot, const Bytes& payload) {
    s.FreeOffset = spot;
    WriteAtFreeOffset(s, payload);
}

}  // namespace brivant
