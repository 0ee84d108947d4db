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

    std::vector<AnimationFile> animations;
    // Pictures that are not black and white, by name; they take precedence over `files`.
    std::map<std::string, Picture> pictures;

    Picture ReadPicture(const std::string& path) override {
        if (const auto p = pictures.find(path); p != pictures.end()) return p->second;
        const auto it = files.find(path);
        if (it == files.end()) throw UserError(Format(kCannotOpenPicture, {path}));
        const BitmapCanvas& c = it->second;
        Picture p(c.width, c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (c.Dark(x, y)) p.argb[static_cast<std::size_t>(y * c.width + x)] = 0xFF000000u;
        return p;
    }
    void Write(const std::string& path, const BitmapCanvas& canvas, PictureFormat) override {
        files[path] = canvas;
        written.push_back(path);
        WriteFile(path, {});
    }
    void WriteAnimation(const std::string& path, const AnimationFile& a) override {
        animations.push_back(a);
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
inline BitmapCanvas CanvasOf(int w, int h, const Bytes& pixels) {
    return RenderPixels(pixels, w, h);
}

}  // namespace brivant::test
