#pragma once

#include <string>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "core/HexText.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "support/TestSupport.h"

namespace brivant::test {

inline Bytes Hex(const std::string& text) {
    return HexToBytes(text);
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace brivant::test
