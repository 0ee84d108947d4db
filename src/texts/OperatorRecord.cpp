#include "texts/OperatorRecord.h"

#include <algorithm>

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
