#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "graphics/BitmapCommands.h"
#include "graphics/GraphicsTestSupport.h"
#include "image/Address.h"

namespace brivant::test {
namespace {

// What the image itself holds for an ID, whatever was loaded or edited for it.
BitmapCanvas FromImage(GraphicsFixture& f, int id) {
    GraphicsState& g = f.g();
    g.bitmaps[static_cast<std::size_t>(id)].edited.reset();
    ShowBitmap(f.ed, g, id);
    return g.Preview();
}

TEST(BitmapCommands, NumberedNames) {
    EXPECT_EQ(SaveAllBase("shot.bmp"), "shot");
    EXPECT_EQ(SaveAllBase("shot"), "shot");
    EXPECT_EQ(SaveAllBase("a.bmp.bmp"), "a");
    EXPECT_EQ(SaveAllBase("shot.BMP"), "shot.BMP");  // compared exactly
    EXPECT_EQ(LoadAllBase("logo000.bmp"), "logo");
    EXPECT_EQ(LoadAllBase("/d/logo00A.bmp"), "/d/logo");
    EXPECT_EQ(LoadAllBase("logo"), "logo");
    EXPECT_EQ(LoadAllBase("a.bmp"), "");
    EXPECT_EQ(NumberedName("logo", 10), "logo00A.bmp");
}

// "&Save All" then "&Load All" leaves every bitmap's picture as it was, for a family that
// writes in place and one that writes run-length data at FreeOffset.
TEST(BitmapCommands, SaveAllThenLoadAllKeepsEveryPicture) {
    for (int family : {k3310, k3410}) {
        SCOPED_TRACE(family);
        GraphicsFixture f(family);
        GraphicsState& g = f.g();
        f.ui.saveAnswers.push_back(f.dir.Path("shot.bmp"));
        SaveAllBitmaps(f.ed, g, f.ui, f.files);
        ASSERT_EQ(f.ui.saveAsked.size(), 1u);
        EXPECT_EQ(f.ui.saveAsked[0].title, kBmpSaveAllTitle);
        EXPECT_EQ(f.ui.saveAsked[0].filter, kBmpSaveFilter);
        EXPECT_EQ(f.ui.saveAsked[0].defaultExt, "bmp");
        EXPECT_EQ(f.files.written.size(), g.bitmaps.size() - 1);  // none for width 0
        EXPECT_EQ(f.files.written[0], f.dir.Path("shot000.bmp"));
        EXPECT_EQ(f.files.written[9], f.dir.Path("shot00A.bmp"));
        EXPECT_EQ(f.files.files.count(f.dir.Path("shot002.bmp")), 0u);
        EXPECT_EQ(g.current, static_cast<int>(g.bitmaps.size()) - 1);
        EXPECT_EQ(g.selected, g.current);

        f.ui.openAnswers.push_back(f.dir.Path("shot000.bmp"));
        LoadAllBitmaps(f.ed, g, f.ui, f.files);
        EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
        EXPECT_EQ(f.ui.openAsked[0].title, kBmpOpenTitle);
        EXPECT_EQ(f.ui.openAsked[0].filter, kBmpOpenFilter);
        for (int id = 0; id < static_cast<int>(g.bitmaps.size()); ++id) {
            if (id == 2) continue;
            const auto name = f.dir.Path("shot" + BitmapIdText(id) + ".bmp");
            EXPECT_EQ(FromImage(f, id), f.files.files[name]) << id;
        }
    }
}

TEST(BitmapCommands, LoadAndSaveOne) {
    GraphicsFixture f(k3410);
    GraphicsState& g = f.g();
    SelectBitmap(f.ed, g, 3);
    f.ui.saveAnswers.push_back(f.dir.Path("one.bmp"));
    SaveBitmap(f.ed, g, f.ui, f.files);
    EXPECT_EQ(f.ui.saveAsked[0].title, kBmpSaveTitle);
    EXPECT_EQ(f.files.files[f.dir.Path("one.bmp")], g.Preview());

    // Width 0: the dialog is asked, nothing written.
    SelectBitmap(f.ed, g, 2);
    f.ui.saveAnswers.push_back(f.dir.Path("none.bmp"));
    SaveBitmap(f.ed, g, f.ui, f.files);
    EXPECT_EQ(f.files.written.size(), 1u);

    // A missing file stops before anything changes.
    const Bytes image = f.Image();
    f.ui.openAnswers.push_back(f.dir.Path("missing.bmp"));
    EXPECT_THROW(LoadBitmap(f.ed, g, f.ui, f.files), UserError);
    EXPECT_EQ(f.Image(), image);
    EXPECT_FALSE(g.bitmaps[2].edited);

    // Loading into the width-0 entry gives it a size and new bytes at FreeOffset.
    const std::int32_t free = f.ed.FreeOffset;
    f.ui.openAnswers.push_back(f.dir.Path("one.bmp"));
    LoadBitmap(f.ed, g, f.ui, f.files);
    EXPECT_EQ(g.bitmaps[2].Width(), 8);
    EXPECT_EQ(ToImageOffset(g.bitmaps[2].Address()), free);
    EXPECT_EQ(FromImage(f, 2), f.files.files[f.dir.Path("one.bmp")]);
}

// Loaded files that cannot be read, that have no size a record holds, or whose write would
// not read back whole are refused naming the file, with nothing changed.
TEST(BitmapCommands, BadFilesAreRefusedNamingTheFile) {
    struct Case {
        const char* what;
        std::optional<BitmapCanvas> picture;  // none: the file cannot be read
        std::function<void(GraphicsFixture&)> spoil;
        const char* reason;
    };
    const Case cases[] = {
        {"unreadable", std::nullopt, nullptr, ""},
        {"width 0", BitmapCanvas(0, 16), nullptr, kBadBitmapSize},
        {"height 256", BitmapCanvas(24, 256), nullptr, kBadBitmapSize},
        {"too wide", BitmapCanvas(256, 1), nullptr, kBadBitmapSize},
        // Entry 5 (3 x 8, 4 bytes padded) says its pixels lie over the next record ...
        {"over another record", BitmapCanvas(3, 8),
         [](GraphicsFixture& f) {
             BitmapEntry& e = f.g().bitmaps[5];
             PutBE32(e.record.data(), ToPhoneAddress(f.g().bitmaps[6].recordOffset));
             f.ed.MainHex.WriteAt(e.recordOffset, e.record);
         },
         kBitmapWouldDamage},
        // ... or over the end of its own, which the record write then cuts into.
        {"over its own record", BitmapCanvas(3, 8),
         [](GraphicsFixture& f) {
             BitmapEntry& e = f.g().bitmaps[5];
             PutBE32(e.record.data(), ToPhoneAddress(e.recordOffset + 8));
             f.ed.MainHex.WriteAt(e.recordOffset, e.record);
         },
         kBitmapNotReadBack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphicsFixture f(k3310);
        GraphicsState& g = f.g();
        SelectBitmap(f.ed, g, 5);
        if (c.spoil) c.spoil(f);
        const std::string path = f.dir.Path("bad.bmp");
        if (c.picture) {
            BitmapCanvas p = *c.picture;
            p.Fill(true);
            f.files.files[path] = p;
        } else {
            f.files.files.erase(path);
        }
        const Bytes image = f.Image();
        const std::int32_t free = f.ed.FreeOffset;
        const BitmapEntry before = g.bitmaps[5];
        f.ui.openAnswers.push_back(path);
        const std::string thrown = ErrorOf([&] { LoadBitmap(f.ed, g, f.ui, f.files); });
        const std::string told = thrown.empty() ? f.ui.Last() : thrown;
        EXPECT_TRUE(Has(told, path)) << told;
        if (c.picture) {
            EXPECT_EQ(told, Format(kBitmapFileRefused, {path, c.reason}));
        }
        EXPECT_EQ(f.Image(), image);
        EXPECT_EQ(f.ed.FreeOffset, free);
        EXPECT_FALSE(g.bitmaps[5].edited);
        EXPECT_EQ(g.bitmaps[5].record, before.record);
    }
}

// "&Load All" stops at the first refused file: the IDs before it are written, the refused
// one and those after it are not.
TEST(BitmapCommands, LoadAllStopsAtARefusedFile) {
    GraphicsFixture f(k3310);
    GraphicsState& g = f.g();
    f.ui.saveAnswers.push_back(f.dir.Path("shot.bmp"));
    SaveAllBitmaps(f.ed, g, f.ui, f.files);
    for (int id : {0, 1}) {
        BitmapCanvas& p = f.files.files[f.dir.Path("shot" + BitmapIdText(id) + ".bmp")];
        p.Set(0, 0, !p.Dark(0, 0));
    }
    f.files.files[f.dir.Path("shot003.bmp")] = BitmapCanvas(300, 8);
    const Bytes after3 = g.bitmaps[4].record;
    f.ui.openAnswers.push_back(f.dir.Path("shot000.bmp"));
    LoadAllBitmaps(f.ed, g, f.ui, f.files);
    EXPECT_EQ(f.ui.Last(), Format(kBitmapFileRefused, {f.dir.Path("shot003.bmp"), kBadBitmapSize}));
    EXPECT_TRUE(g.bitmaps[0].edited);
    EXPECT_TRUE(g.bitmaps[1].edited);
    EXPECT_FALSE(g.bitmaps[3].edited);
    EXPECT_FALSE(g.bitmaps[4].edited);
    EXPECT_EQ(g.bitmaps[4].record, after3);
}

// "&Edit": the editor opens on the current bitmap; its result is written only when the
// window ended with "&OK". A drawing closed by other means, or a flag an earlier opening
// left, writes nothing.
TEST(BitmapCommands, EditWritesOnlyWhenOkEndsTheWindow) {
    GraphicsFixture f(k3310);
    GraphicsState& g = f.g();
    SelectBitmap(f.ed, g, 4);
    const Bytes before = g.pixels;
    const Bytes image = f.Image();
    const auto at = ToImageOffset(g.bitmaps[4].Address());
    int opened = 0;
    bool ok = false;
    f.ui.dialogs.On<TImagEdit>() = [&](TImagEdit& m) {
        ++opened;
        EXPECT_EQ(m.Width(), 24);
        EXPECT_EQ(m.Height(), 16);
        EXPECT_FALSE(m.accepted);  // every opening starts unaccepted
        m.Press(0, 0, !(m.ByteText()[0] & 1));
        if (ok) m.Ok();
        return ok;
    };
    EditBitmap(f.ed, g, f.ui);  // drawn, then Escape / close box
    EXPECT_EQ(f.Image(), image);
    ok = true;
    EditBitmap(f.ed, g, f.ui);
    EXPECT_EQ(f.At(at, 1)[0], before[0] ^ 1);
    EditBitmap(f.ed, g, f.ui);  // the second edit finds the record the first one left
    EXPECT_EQ(f.At(at, 1)[0], before[0]);

    const Bytes drawn = f.Image();
    f.ui.dialogs.On<TImagEdit>() = [](TImagEdit& m) {
        m.Clear();
        m.Cancel();
        return false;
    };
    EditBitmap(f.ed, g, f.ui);
    EXPECT_EQ(f.Image(), drawn);
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(f.ui.dialogs.Shown<TImagEdit>(), 4);
    EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
}

}  // namespace
}  // namespace brivant::test
