#pragma once

#include "app/FileFlow.h"
#include "graphics/AniCatalog.h"
#include "graphics/AniCommands.h"
#include "graphics/AniState.h"
#include "image/Address.h"
#include "support/TestSupport.h"

namespace brivant::test {

inline constexpr std::int32_t kMiB = 1024 * 1024;

inline SampleOptions AniOptions(bool p523, std::int32_t size) {
    SampleOptions o;
    o.p523 = p523;
    o.size = size;
    return o;
}

// A sample of one family opened and its Graphics tab shown (the catalogs are read).
struct AniFixture : SampleFixture {
    explicit AniFixture(int family = k3310, bool p523 = false, std::int32_t size = 2 * kMiB)
        : SampleFixture(family, AniOptions(p523, size)) {
        TabChanged(ed, ui, Tab::Graphics);
    }

    AniState& a() { return ed.ani; }
    std::int32_t List(int id) const {
        return static_cast<std::int32_t>(
            ToImageOffset(ed.ani.catalog.at(static_cast<std::size_t>(id)).address));
    }
    std::string Hex(std::int64_t offset, std::size_t n) const {
        const auto& d = ed.MainHex.Data();
        return BytesToHex(d.data() + offset, n);
    }
    void Show(int id) { ShowAnimation(ed, ed.ani, ed.graphics, ui, id); }
    void Count(int count) { FrameCountChanged(ed, ed.ani, ed.graphics, ui, count); }
};

}  // namespace brivant::test
