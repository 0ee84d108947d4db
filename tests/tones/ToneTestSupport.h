#pragma once

#include <string>

#include "app/Editor.h"
#include "core/HexText.h"
#include "support/TestSupport.h"

namespace brivant::test {

// A tone record of the common layout, as a phone exports it: header, name, the tone data
// with its 0A01 body and the 070B end, padded to whole words.
inline Bytes ToneRecord(const std::string& idHex, const std::string& tag, const std::string& name,
                        const std::string& bodyHex, const std::string& endHex = "070BFFFF") {
    std::string hex = idHex + "00000000";
    hex += BytesToHex(Bytes(tag.begin(), tag.end())) + "00000000";
    hex += IntToHex(static_cast<std::uint32_t>(name.size()), 2);
    hex += BytesToHex(Bytes(name.begin(), name.end()));
    hex += "000002FC09" + bodyHex + endHex;
    while ((hex.size() / 2) % 4) hex += "FF";
    hex.replace(8, 8, IntToHex(static_cast<std::uint32_t>(hex.size() / 2), 8));
    return HexToBytes(hex);
}

}  // namespace brivant::test
