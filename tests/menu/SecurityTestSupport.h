#pragma once

#include <algorithm>
#include <functional>
#include <string>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "core/HexText.h"
#include "support/TestSupport.h"

namespace brivant::test {

// Designation indices of the variants the sample builder can give a 51XX or 61XX image.
inline constexpr int kNse1 = 0, kNse2 = 1, kNsk1 = 2, kNse3 = 3, kNsm1 = 4, kNsk3 = 5;

// The first and the last place of a hex pattern in the image from offset 1 on, found
// without the editor.
inline std::int64_t FirstHit(const Bytes& image, const std::string& hex, std::int64_t from = 1) {
    const Bytes p = HexToBytes(hex);
    const std::boyer_moore_horspool_searcher searcher(p.begin(), p.end());
    const auto it = std::search(image.begin() + from, image.end(), searcher);
    return it == image.end() ? -1 : it - image.begin();
}
inline std::int64_t LastHit(const Bytes& image, const std::string& hex) {
    std::int64_t last = -1;
    for (std::int64_t at = FirstHit(image, hex); at >= 0; at = FirstHit(image, hex, at + 1))
        last = at;
    return last;
}
inline std::string HexAt(const Bytes& image, std::int64_t at, std::size_t n) {
    return BytesToHex(&image[static_cast<std::size_t>(at)], n);
}

// A sample of a family opened in a folder of its own; `change` may alter the built image
// before it is written and opened.
struct SecurityFixture {
    Editor ed;
    FakeUi ui;
    TempDir dir;
    Bytes original;

    explicit SecurityFixture(int family, int designation = -1,
                             const std::function<void(Bytes&)>& change = {}) {
        SampleOptions o;
        o.family = family;
        o.designation = designation;
        o.size = 0x100000;  // the smallest sample: many are built
        original = BuildSample(o).bytes;
        if (change) {
            change(original);
            SealSample(original);
        }
        const std::string path = dir.Path("image.fls");
        WriteFile(path, original);
        OpenPath(ed, ui, path);
        ui.told.clear();
    }
    const Bytes& Image() const { return ed.MainHex.Data(); }
};

}  // namespace brivant::test
