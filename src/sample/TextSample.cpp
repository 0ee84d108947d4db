#include <string>
#include <vector>

#include "sample/SampleBuilder.h"
#include "sample/SampleBytes.h"

namespace brivant {

namespace {

using namespace samplebytes;
constexpr std::uint8_t kOneByte = 0x00;
constexpr std::uint8_t kTwoByte = 0x88;

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Two bytes per character, high byte zero.
Bytes Wide(const std::string& s) {
    Bytes out;
    for (const char c : s) {
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(c));
    }
    return out;
}

// One language chunk: ID, Length, tag, encoding, three spare bytes, the length table, the
// texts, then FF up to a multiple of 4 as it lies in the TEXT chunk. IDs start with 00 00,
// which is what the reader looks for behind each chunk.
Bytes Language(std::uint32_t id, const std::string& tag, std::uint8_t encoding, const Bytes& table,
               const Bytes& texts) {
    Bytes c(8);
    PutBE32(&c[0], id);
    Append(c, Text(tag));
    Append(c, {encoding, 0x00, 0x00, 0x00});
    Append(c, table);
    Append(c, texts);
    PutBE32(&c[4], static_cast<std::uint32_t>(c.size()));
    while (c.size() % 4) c.push_back(0xFF);
    return c;
}

Bytes TextBody() {
    Bytes body;
    // The common texts: 5 of them, one-byte, Length 16 + 5 + 18 = 39.
    Append(body,
           Language(0x0000C001, "COMM", kOneByte, {2, 4, 4, 3, 5}, Text("OKMenuBackYesClear")));
    // Length 23 (not a multiple of 4): table 03 02, texts "Yes" and "No".
    Append(body, Language(0x0000C002, "ENGL", kOneByte, {3, 2}, Text("YesNo")));
    // A control byte inside a text, an empty text, and a 255 entry that names no text but
    // counts 256 bytes in the table walk, which the 255 bytes behind the texts make up.
    {
        Bytes texts = {0x48, 0x0A, 0x69};
        Append(texts, Text("Ja"));
        Append(texts, Text("Nein"));
        Append(texts, Filler(255, 7));
        Append(body, Language(0x0000C003, "DEUT", kOneByte, {3, 2, 0, 0xFF, 4}, texts));
    }
    // Two bytes per character: 16 + 3 + 2 * (2 + 3 + 1) = 31.
    {
        Bytes texts = Wide("Da");
        Append(texts, Wide("Net"));
        Append(texts, {0x00, 0x01});
        Append(body, Language(0x0000C004, "RUSS", kTwoByte, {2, 3, 1}, texts));
    }
    return body;
}

Bytes Operator(const std::string& name, std::uint8_t codeByte) {
    Bytes e{0, codeByte, 0xF0, static_cast<std::uint8_t>(name.size())};
    Append(e, Text(name));
    while (e.size() % 4) e.push_back(0);
    e[0] = static_cast<std::uint8_t>(e.size());
    return e;
}

Bytes Country(const std::string& name, std::uint8_t b12, std::uint8_t b13,
              const std::vector<Bytes>& operators) {
    Bytes r = Text("CNTR");
    r.resize(8);
    Bytes n = Text(name);
    n.resize(4, 0);
    Append(r, n);
    Append(r, {b12, b13, static_cast<std::uint8_t>(operators.size()), 0x00});
    for (const auto& o : operators) Append(r, o);
    PutBE32(&r[4], static_cast<std::uint32_t>(r.size()));
    return r;
}

Bytes PlmnBody() {
    Bytes body;
    // 515: several operators (entries of 12, 12 and 8 bytes).
    Append(body,
           Country("PH", 0x15, 0xF5,
                   {Operator("Globe", 0x20), Operator("Smart", 0x30), Operator("Sun", 0x50)}));
    // 234: no operator at all.
    Append(body, Country("UK", 0x32, 0xF4, {}));
    // 244: one operator whose name holds a control byte.
    Append(body, Country("FIN", 0x42, 0xF4,
                         {Operator("Ra\x0E"
                                   "dio",
                                   0x19)}));
    // 262: a full four-letter name, and names with bytes below 32.
    Append(body, Country("DEUT", 0x62, 0xF2,
                         {Operator("T-D1", 0x10), Operator("D2\x01", 0x20),
                          Operator("E-Plus\x1F", 0x30)}));
    return body;
}
}  // namespace

SampleFeature TextSampleFeature() {
    SampleFeature f;
    f.name = "texts";
    f.chunks = [](SampleContext& ctx) {
        ctx.bodies[static_cast<std::size_t>(Piece::TEXT)] = TextBody();
        ctx.bodies[static_cast<std::size_t>(Piece::PLMN)] = PlmnBody();
    };
    return f;
}

}  // namespace brivant
