#include <string>

#include "sample/SampleBuilder.h"
#include "sample/SampleBytes.h"
#include "tones/AlertTones.h"

namespace brivant {

namespace {

using namespace samplebytes;
constexpr int kFamily62xx = 18;
constexpr int kFullCatalog62xx = 98;
constexpr int kDefaultCatalog = 10;

const char* const kNames[] = {"Ring Ring", "Low",     "Fly",        "Bumblebee", "Etude",
                              "Minuet",    "Waltz",   "Rondo",      "Polka",     "Tango",
                              "Reveille",  "Lullaby", "Toccata",    "Bolero",    "Allegro",
                              "Sonata",    "Gavotte", "Intermezzo", "Serenade",  "Jingle"};
constexpr int kNameCount = sizeof(kNames) / sizeof(kNames[0]);

void AppendText(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}

// Tone notes: bytes that never form a tone start, end or separator (no 0A, 0B, 06, 07).
Bytes Notes(std::size_t n, std::uint32_t seed) {
    Bytes out(n);
    std::uint32_t x = seed * 2246822519u + 0x165667B1u;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(0x10 + (x >> 9) % 0x60);
    }
    return out;
}

void PadAndSize(Bytes& r) {
    while (r.size() % 4) r.push_back(0xFF);
    PutBE32(&r[4], static_cast<std::uint32_t>(r.size()));
}

Bytes Header(std::uint32_t id, const std::string& tag) {
    Bytes r(8, 0);
    PutBE32(&r[0], id);
    AppendText(r, tag);
    Append(r, Bytes(4, 0));
    return r;
}

// A tone of the common layout: name length, name, then the tone data, which normally opens
// with 00 00 02 FC 09 and always holds a 0A 01 ... 07 0B body.
Bytes CommonRecord(std::uint32_t id, const std::string& tag, int nameLength,
                   const std::string& name, bool dataMark, std::size_t notes, std::uint32_t seed) {
    Bytes r = Header(id, tag);
    r.push_back(static_cast<std::uint8_t>(nameLength));
    AppendText(r, name);
    Append(r, dataMark ? HexToBytes("000002FC09") : HexToBytes("FC09"));
    Append(r, HexToBytes("0A01"));
    Append(r, Notes(notes, seed));
    Append(r, HexToBytes("070B"));
    PadAndSize(r);
    return r;
}

// The 62XX/7110 layout: a 02 byte, the name length (characters + 1), the characters two
// bytes each.
Bytes WideRecord(std::uint32_t id, const std::string& tag, const std::string& name,
                 std::size_t notes, std::uint32_t seed) {
    Bytes r = Header(id, tag);
    r.push_back(0x02);
    r.push_back(static_cast<std::uint8_t>(name.empty() ? 1 : name.size() + 1));
    for (char c : name) {
        r.push_back(0);
        r.push_back(static_cast<std::uint8_t>(c));
    }
    Append(r, HexToBytes("00000002FD0A800502"));
    Append(r, HexToBytes("0A01"));
    Append(r, Notes(notes, seed));
    Append(r, HexToBytes("060A7F0A0E0B"));
    PadAndSize(r);
    return r;
}

Bytes ChunkStart(int records) {
    Bytes b(8, 0);
    PutBE32(&b[0], static_cast<std::uint32_t>(records));
    return b;
}

Bytes CommonCatalog(int count, std::uint32_t seed) {
    Bytes body = ChunkStart(count);
    for (int i = 0; i < count; ++i) {
        const auto id = static_cast<std::uint32_t>(i + 1);
        const std::uint32_t s = seed * 97u + static_cast<std::uint32_t>(i);
        const std::size_t notes = 12 + static_cast<std::size_t>(i % 5) * 7;
        Bytes r;
        if (i == count - 1 && count > 1) {
            // The last tone's data has no 00 00 02 anywhere behind it: its name is taken by
            // its length byte.
            r = CommonRecord(id, "TONE", 8, "Nocturne", false, notes, s);
        } else if (i % 10 == 1) {
            r = CommonRecord(id, "STND", 0, "", true, notes, s);  // listed under its tag
        } else if (i % 10 == 2) {
            r = CommonRecord(id, "BEEP", 1, "B", true, notes, s);
        } else if (i % 10 == 3) {
            r = CommonRecord(id, "TONE", 2, "Hi", true, notes, s);  // bytes 14-16: 00 00 02
        } else if (i % 10 == 4) {
            r = CommonRecord(id, "TONE", 9, "Bells", true, notes, s);  // ends before its length
        } else {
            const std::string name = kNames[i % kNameCount];
            r = CommonRecord(id, "TONE", static_cast<int>(name.size()), name, true, notes, s);
        }
        Append(body, r);
    }
    return body;
}

const char* AlertTag62xx(int row, bool full) {
    static constexpr const char* kTags[kAlertKindCount] = {"STND", "SPCL", "BEEP", "ASDG",
                                                           "SHUT", "ALRM", "CALE", "SERR"};
    for (int k = 0; k < kAlertKindCount; ++k)
        if (AlertRow62xx(k, full ? kFullCatalog62xx : 0) == row) return kTags[k];
    return nullptr;
}

Bytes WideCatalog(int count, std::uint32_t seed) {
    Bytes body = ChunkStart(count);
    const bool full = count == kFullCatalog62xx;
    for (int i = 0; i < count; ++i) {
        const auto id = static_cast<std::uint32_t>(i + 1);
        const std::uint32_t s = seed * 89u + static_cast<std::uint32_t>(i);
        const std::size_t notes = 10 + static_cast<std::size_t>(i % 4) * 5;
        if (const char* tag = AlertTag62xx(i, full)) {
            Append(body, WideRecord(id, tag, "", notes, s));  // the phone's own alert tones
        } else if (i == 3) {
            Append(body, WideRecord(id, "TONE", "Fanfares", notes, s));  // length byte 9
        } else {
            Append(body, WideRecord(id, "TONE", kNames[i % kNameCount], notes, s));
        }
    }
    return body;
}

void ToneChunk(SampleContext& ctx) {
    const bool wide = ctx.options.family == kFamily62xx;
    int count = ctx.options.ringtones;
    if (count < 0) count = wide ? kFullCatalog62xx : kDefaultCatalog;
    ctx.bodies[static_cast<std::size_t>(Piece::TONE)] =
        wide ? WideCatalog(count, ctx.options.seed) : CommonCatalog(count, ctx.options.seed);
}

// The alert-tone table: the 06 07 0B anchor, the family's anchor word, and a pointer per
// tone kind to a sequence as the phone stores it.
void AlertToneTable(SampleContext& ctx) {
    const AlertTable* table = AlertTableFor(ctx.options.family);
    if (!table) return;
    Bytes block = HexToBytes("06070B");
    Append(block, Filler(5, ctx.options.seed + 40));
    const auto b = static_cast<std::int32_t>(block.size());
    Append(block, HexToBytes(table->anchorWord));
    Append(block, Filler(508, ctx.options.seed + 41));
    const std::int32_t at = ctx.PlaceMcu(block);

    for (int k = 0; k < kAlertKindCount; ++k) {
        const int offset = table->offsets[static_cast<std::size_t>(k)];
        if (offset < 0) continue;
        const AlertKindInfo& info = AlertKinds()[static_cast<std::size_t>(k)];
        const std::string prefix = info.fixedPrefix ? info.fixedPrefix : "0002FD0A800502";
        const std::string body = "0A01" + BytesToHex(Notes(9 + static_cast<std::size_t>(k) * 3,
                                                           ctx.options.seed + 50u + k));
        const std::int32_t seq = ctx.PlaceMcu(HexToBytes(BuildAlertSequence(k, prefix, body)));
        Bytes pointer(4);
        PutBE32(pointer.data(), ToPhoneAddress(seq));
        ctx.PlaceMcuAt(at + b + offset, pointer);
    }
}
}  // namespace

SampleFeature ToneSampleFeature() {
    return {"tones", ToneChunk, AlertToneTable};
}

}  // namespace brivant
