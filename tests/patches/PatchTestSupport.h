#pragma once

#include <string>

#include "app/Editor.h"
#include "image/PhoneTypes.h"
#include "patches/ThumbCall.h"
#include "support/TestSupport.h"

namespace brivant::test {

inline int DesignationIndex(const std::string& name) {
    const auto& rows = Designations();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (name == rows[i].name) return static_cast<int>(i);
    return -1;
}

// A sample opened through the open flow, its family detected from the designation.
struct PatchFixture {
    Editor ed;
    FakeUi ui;
    TempDir dir;
    SampleImage sample;
    Bytes before;

    explicit PatchFixture(const std::string& designation, SampleOptions o = {}) {
        o.designation = DesignationIndex(designation);
        o.family = Designations()[static_cast<std::size_t>(o.designation)].index;
        sample = OpenSample(ed, ui, dir.Path("image.fls"), o);
        before = ed.MainHex.Data();
    }
    std::uint32_t Word(std::int64_t at) const {
        return GetBE32(&ed.MainHex.Data()[static_cast<std::size_t>(at)]);
    }
    // The target of the call at `at` in the image as it was opened.
    std::int64_t OldTarget(std::int64_t at) const {
        return DecodeBL(at, GetBE32(&before[static_cast<std::size_t>(at)]));
    }
    std::int64_t Target(std::int64_t at) const { return DecodeBL(at, Word(at)); }
    bool Unchanged() const { return ed.MainHex.Data() == before; }
};

}  // namespace brivant::test
