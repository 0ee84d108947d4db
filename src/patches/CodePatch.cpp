#include "patches/CodePatch.h"

#include <algorithm>

#include "core/UserError.h"
#include "image/McuSpace.h"
#include "image/Session.h"
#include "patches/ThumbCall.h"

namespace brivant {

namespace {
constexpr int kPayloadAlign = 4;  // the payloads are code
}  // namespace

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

bool RoutineAt(const Session& s, std::int64_t at, const Bytes& payload,
               const std::vector<int>& calls, int ownTail) {
    const Bytes& m = s.MainHex.Data();
    const auto n = static_cast<std::int64_t>(payload.size());
    if (at < 0 || at + n > static_cast<std::int64_t>(m.size())) return false;
    std::vector<bool> own(payload.size(), false);
    for (int c : calls)
        for (int k = c; k < c + 4 && k < n; ++k) own[static_cast<std::size_t>(k)] = true;
    for (std::int64_t k = std::max<std::int64_t>(0, n - ownTail); k < n; ++k)
        own[static_cast<std::size_t>(k)] = true;
    for (std::size_t k = 0; k < payload.size(); ++k)
        if (!own[k] && m[static_cast<std::size_t>(at) + k] != payload[k]) return false;
    return true;
}

std::int32_t PayloadSpot(Session& s, const Bytes& payload) {
    // The skipped bytes stay as they are, but they too must be free: anything else there
    // means FreeOffset no longer marks the start of free space.
    const auto spot = McuReserve(s, McuFootprint(payload), kPayloadAlign);
    if (!spot) throw UserError(kNoMcuSpace);
    return *spot;
}

void WritePayload(Session& s, std::int32_t spot, const Bytes& payload) {
    if (PayloadSpot(s, payload) != spot) throw UserError(kNoMcuSpace);
    WriteAtFreeOffset(s, payload, kPayloadAlign);
}

}  // namespace brivant
