#pragma once

#include <map>

#include "app/FileFlow.h"
#include "core/UserError.h"
#include "graphics/BitmapFiles.h"
#include "graphics/GraphicsState.h"
#include "sample/GraphicsSample.h"
#include "support/TestSupport.h"

namespace brivant::test {

// Bitmap files kept in memory; each written file also appears on disk (empty), so that
// checks for existing names see it.
class MemoryBitmapFiles : public BitmapFiles {
  public:
    std::map<std::string, BitmapCanvas> files;
    std::vector<std::string> written;

    BitmapCanvas Read(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) throw UserError(Format(kCannotOpenPicture, {path}));
        return it->second;
    }
    void Write(const std::string& path, const BitmapCanvas& canvas) override {
        files[path] = canvas;
        written.push_back(path);
        WriteFile(path, {});
    }
};

// The bitmap half of the Graphics tab alone: what else the tab reads (animations show
// their frames' bitmaps) stays out of these tests.
inline void BitmapsOnly(Editor& ed) {
    for (Feature& f : ed.features)
        if (f.tab == Tab::Graphics && std::string(f.name) != "bitmaps") f.tabShown = nullptr;
}

// A sample of one family opened and its Graphics tab shown.
struct GraphicsFixture {
    explicit GraphicsFixture(int family = 4, int designation = -1) {
        SampleOptions o;
        o.family = family;
        o.designation = designation;
        sample = OpenSample(ed, ui, dir.Path("x.fls"), o);
        BitmapsOnly(ed);
        TabChanged(ed, ui, Tab::Graphics);
    }

    GraphicsState& g() { return ed.graphics; }
    const Bytes& Image() const { return ed.MainHex.Data(); }
    Bytes At(std::int64_t offset, std::size_t n) const {
        const auto& d = ed.MainHex.Data();
        return Bytes(d.begin() + offset, d.begin() + offset + static_cast<std::ptrdiff_t>(n));
    }

    TempDir dir;
    FakeUi ui;
    Editor ed;
    SampleImage sample;
    MemoryBitmapFiles files;
};

// A picture drawn from plain pixel bytes.
inline BitmapCanvas Picture(int w, int h, const Bytes& pixels) {
    return RenderPixels(pixels, w, h);
}

}  // namespace brivant::test
