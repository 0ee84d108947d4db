#include "texts/OperatorRecord.h"

#include <algorithm>

#include "core/UserError.h"
#include "image/PpmPieces.h"
#include "texts/TextEscapes.h"

namespace brivant {

namespace {
bool AllDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

Bytes CountryCodeToBcd(const std::string& code) {
    std::string hex;
    if (code.size() >= 3) hex = {code[1], code[0], 'F', code[2]};
    return HexToBytes(hex);
}

std::string BcdToCountryCode(std::uint8_t b12, std::uint8_t b13) {
    const std::string h = IntToHex(b12, 2) + IntToHex(b13, 2);
    return {h[1], h[0], h[3]};
}

std::uint8_t NetworkCodeToByte(const std::string& code) {
    const Bytes b = HexToBytes(code.size() >= 2 ? std::string{code[1], code[0]} : "");
    return b.empty() ? 0 : b[0];
}

std::string NetworkCodeText(std::uint8_t b) {
    const std::string h = IntToHex(b, 2);
    return {h[1], h[0]};
}

bool IsCountryCode(const std::string& code) {
    return code.size() == 3 && AllDigits(code);
}
bool IsNetworkCode(const std::string& code) {
    return code.size() == 2 && AllDigits(code);
}

std::string OperatorNameText(const std::uint8_t* data, std::size_t n) {
    const std::size_t end = static_cast<std::size_t>(std::find(data, data + n, 0) - data);
    return EscapeBytes(data, end);
}

Bytes BuildOperatorEntry(const Bytes& name, const std::string& code) {
    Bytes e{0, NetworkCodeToByte(code), 0xF0, static_cast<std::uint8_t>(name.size())};
    e.insert(e.end(), name.begin(), name.end());
    while (e.size() % 4) e.push_back(0);
    e[0] = static_cast<std::uint8_t>(e.size());
    return e;
}

std::vector<OperatorItem> ParseOperators(const Bytes& record) {
    std::vector<OperatorItem> out;
    std::size_t pos = 16;
    while (pos < record.size()) {
        const std::size_t length = record[pos];
        // A zero length would never move on; the rest of such a record is not read.
        if (length == 0) break;
        const std::size_t end = std::min(pos + length, record.size());
        OperatorItem item;
        if (pos + 1 < end) item.code = item.storedCode = NetworkCodeText(record[pos + 1]);
        if (pos + 4 < end) item.name = OperatorNameText(record.data() + pos + 4, end - pos - 4);
        out.push_back(item);
        pos += length;
    }
    return out;
}

std::string CountryRecordProblem(const Bytes& record) {
    static const Bytes tag{'C', 'N', 'T', 'R'};
    if (record.size() < 16) return "it is shorter than a country record (16 bytes)";
    if (!std::equal(tag.begin(), tag.end(), record.begin())) return "it does not begin with CNTR";
    const std::uint32_t length = GetBE32(&record[4]);
    if (length != record.size())
        return Format("its length field says %s bytes, the record has %s",
                      {std::to_string(length), std::to_string(record.size())});
    std::size_t pos = 16;
    std::size_t count = 0;
    while (pos < record.size()) {
        const std::size_t l = record[pos];
        if (l < 4 || pos + l > record.size())
            return Format("its operator entry at byte %s has a length of %s, which does not fit",
                          {std::to_string(pos), std::to_string(l)});
        pos += l;
        ++count;
    }
    if (count != record[14])
        return Format("it holds %s operator entries, its count says %s",
                      {std::to_string(count), std::to_string(record[14])});
    return {};
}

CountryWalk WalkCountries(const Bytes& piece) {
    CountryWalk w;
    static const Bytes tag{'C', 'N', 'T', 'R'};
    const auto size = static_cast<std::int64_t>(piece.size());
    auto fail = [&w](std::string why) {
        if (w.problem.empty()) w.problem = std::move(why);
    };
    auto find = [&](std::int64_t from) -> std::int64_t {
        if (from >= size) return -1;
        const auto hit = std::search(piece.begin() + from, piece.end(), tag.begin(), tag.end());
        return hit == piece.end() ? -1 : hit - piece.begin();
    };
    std::int64_t end = -1;  // where the last record ends
    for (std::int64_t a = find(1); a >= 0 && a + 15 <= size; a = find(a + 12)) {
        CountryAt c;
        c.offset = static_cast<std::int32_t>(a);
        c.length = GetBE32(&piece[static_cast<std::size_t>(a) + 4]);
        c.fields.assign(piece.begin() + a + 8, piece.begin() + a + 15);
        w.records.push_back(c);
        const std::string at = Format("the country record %s at offset %s",
                                      {EscapeBytes(c.fields.data(), 4), std::to_string(a)});
        if (end >= 0 && a != end) fail(at + " does not follow the record before it");
        end = a + c.length;
        if (end > size - 16) {
            fail(at + Format(" has a length of %s bytes, which runs past the PLMN chunk",
                             {std::to_string(c.length)}));
            end = size;
            continue;
        }
        const std::string why = CountryRecordProblem(Bytes(piece.begin() + a, piece.begin() + end));
        if (!why.empty()) fail(at + ": " + why);
    }
    const Bytes trailer = HexToBytes(kTrailerHex);
    if (end >= 0 &&
        (end != size - 16 || !std::equal(trailer.begin(), trailer.end(), piece.end() - 16)))
        fail("the country records do not end at the chunk's trailer");
    return w;
}

Bytes BuildCountryRecord(const Bytes& name4, const std::string& code, std::uint8_t count,
                         const Bytes& entries) {
    Bytes r = HexToBytes("434E5452");
    r.resize(8);
    PutBE32(&r[4], static_cast<std::uint32_t>(16 + entries.size()));
    Bytes name = name4;
    name.resize(4, 0);
    r.insert(r.end(), name.begin(), name.end());
    const Bytes bcd = CountryCodeToBcd(code);
    r.insert(r.end(), bcd.begin(), bcd.end());
    r.resize(14, 0);  // a code that does not pack still keeps the layout
    r.push_back(count);
    r.push_back(0);
    r.insert(r.end(), entries.begin(), entries.end());
    return r;
}

}  // namespace brivant
