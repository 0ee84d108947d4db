#pragma once

#include <string>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "core/HexText.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "support/TestSupport.h"

namespace brivant::test {

// A sample image opened on one tab, as the window has it once the user switched there.
struct TextImage {
    TempDir dir;
    Editor ed;
    FakeUi ui;

    explicit TextImage(int family = 4, Tab tab = Tab::Languages) {
        SampleOptions o;
        o.family = family;
        OpenSample(ed, ui, dir.Path("a.fls"), o);
        TabChanged(ed, ui, tab);
    }

    Bytes Piece(brivant::Piece p) const { return HexToBytes(ed.ppm[p]); }
    // The stored chunk checksum equals the one computed over the piece.
    bool ChecksumOk(brivant::Piece p) const {
        const Bytes b = Piece(p);
        return b.size() >= 8 && GetBE32(b.data()) == *ChunkChecksum(b);
    }
};

inline Bytes Hex(const std::string& text) {
    return HexToBytes(text);
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace brivant::test
