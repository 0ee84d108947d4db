#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/BitmapCatalog.h"
#include "graphics/GraphicsTestSupport.h"
#include "image/Address.h"

namespace brivant::test {
namespace {

constexpr int kDesign6250 = 22;
constexpr int kDesign7110 = 23;

struct FamilyCase {
    int family;
    int designation;
    bool runLength;
    std::vector<std::int32_t> steps;
};

std::vector<FamilyCase> Families() {
    const std::vector<std::int32_t> common = {20, 64, 16, 12, 16, 16, 20, 12};
    const std::vector<std::int32_t> six = {20, 40, 16, 16, 20};
    std::vector<FamilyCase> v;
    for (int f = 1; f <= 17; ++f) {
        const bool sixFamily = f == 6 || f == 8 || f == 9 || f == 17;
        v.push_back({f, -1, f == 8 || f == 17, sixFamily ? six : common});
    }
    v.push_back({kType62xx, -1, true, {24, 64, 16, 16, 16, 16, 20, 12}});  // model 6210
    v.push_back({kType62xx, kDesign6250, true, {24, 68, 16, 16, 16, 16, 16, 16}});
    v.push_back({kType62xx, kDesign7110, false, {24, 92, 20, 16, 16, 16, 16, 16}});
    return v;
}

// Every family: both index signatures, the walk back from the firmware's pointer (one byte
// further for the 62XX/7110 models other than 7110), the extra records at the family's
// steps, and each bitmap's pixels in its form.
TEST(BitmapCatalog, ReadsEveryFamily) {
    for (const FamilyCase& c : Families()) {
        SCOPED_TRACE("family " + std::to_string(c.family) + " designation " +
                     std::to_string(c.designation));
        GraphicsFixture f(c.family, c.designation);
        GraphicsState& g = f.g();
        EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
        const auto& mains = SampleMainBitmaps();
        ASSERT_EQ(g.mainCount, static_cast<int>(mains.size()));
        ASSERT_EQ(g.bitmaps.size(), mains.size() + c.steps.size() + 1);
        EXPECT_EQ(g.selected, 0);
        EXPECT_EQ(g.current, 0);

        // The walk stopped at the zero record just before ID 0, records back to back.
        EXPECT_EQ(BytesToHex(f.At(g.bitmaps[0].recordOffset - 12, 4)), "00000000");
        for (int id = 0; id < g.mainCount; ++id) {
            const BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(id)];
            EXPECT_EQ(e.recordOffset, g.bitmaps[0].recordOffset + 12 * id);
            EXPECT_EQ(e.record, f.At(e.recordOffset, 12));
            EXPECT_EQ(e.Width(), mains[static_cast<std::size_t>(id)].width);
            EXPECT_EQ(e.Height(), mains[static_cast<std::size_t>(id)].height);
            EXPECT_EQ(IsRunLengthForm(f.ed, g.mainCount, id), c.runLength);
        }
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const auto& extra = g.bitmaps[mains.size() + i];
            EXPECT_EQ(g.bitmaps[mains.size() + i + 1].recordOffset - extra.recordOffset,
                      c.steps[i]);
            EXPECT_FALSE(IsRunLengthForm(f.ed, g.mainCount, static_cast<int>(mains.size() + i)));
        }

        for (int id = 0; id < static_cast<int>(g.bitmaps.size()); ++id) {
            SelectBitmap(f.ed, g, id);
            const bool extra = id >= g.mainCount;
            const SampleBitmap& want =
                extra ? SampleExtraBitmaps()[static_cast<std::size_t>(id - g.mainCount)]
                      : mains[static_cast<std::size_t>(id)];
            EXPECT_EQ(g.shownWidth, want.width);
            EXPECT_EQ(g.shownHeight, want.height);
            ASSERT_GE(g.pixels.size(), want.pixels.size()) << id;
            // Run-length groups are taken whole: a few bytes past the count may come.
            EXPECT_LE(g.pixels.size(), want.pixels.size() + (c.runLength && !extra ? 29 : 0));
            EXPECT_TRUE(std::equal(want.pixels.begin(), want.pixels.end(), g.pixels.begin())) << id;
            EXPECT_EQ(g.bitmaps[static_cast<std::size_t>(id)].kept, g.pixels);
        }
    }
}

TEST(BitmapCatalog, IdsPreviewAndSharedRecords) {
    GraphicsFixture f(4);
    GraphicsState& g = f.g();
    EXPECT_EQ(BitmapIdText(0), "000");
    EXPECT_EQ(BitmapIdText(10), "00A");
    EXPECT_EQ(BitmapIdText(0x1F), "01F");
    EXPECT_EQ(g.bitmaps[10].record, g.bitmaps[9].record);
    EXPECT_NE(g.bitmaps[10].recordOffset, g.bitmaps[9].recordOffset);

    // Width 0: the size is shown, nothing is read and nothing previewed.
    SelectBitmap(f.ed, g, 2);
    EXPECT_EQ(g.shownWidth, 0);
    EXPECT_EQ(g.shownHeight, 10);
    EXPECT_TRUE(g.pixels.empty());
    EXPECT_TRUE(g.Preview().Empty());

    // Height 12: a 16 x 12 canvas; the set bits below row 11 are never drawn.
    SelectBitmap(f.ed, g, 1);
    const BitmapCanvas p = g.Preview();
    EXPECT_EQ(p.width, 16);
    EXPECT_EQ(p.height, 12);
    EXPECT_EQ(PixelsOf(p)[16] & 0xF0, 0);
    EXPECT_EQ(g.pixels[16] & 0xF0, 0xF0);

    // An animation frame's bitmap becomes the list's selection too, so that the selector
    // names what the preview shows and the commands change; showing the same entry again
    // reads the image again.
    ShowBitmap(f.ed, g, 3);
    EXPECT_EQ(g.current, 3);
    EXPECT_EQ(g.selected, 3);
    f.ed.MainHex.WriteAt(static_cast<std::int32_t>(ToImageOffset(g.bitmaps[3].Address())), {0x5A});
    ShowBitmap(f.ed, g, 3);
    EXPECT_EQ(g.pixels[0], 0x5A);
    EXPECT_EQ(g.bitmaps[3].kept[0], 0x5A);

    // Built once per image: the tab's next visit keeps the catalog and its memory.
    g.bitmaps[3].kept.clear();
    TabChanged(f.ed, f.ui, Tab::Graphics);
    EXPECT_TRUE(g.bitmaps[3].kept.empty());
}

// A run-length bitmap whose data opens with a group of no counts.
TEST(BitmapCatalog, RunLengthReaderSkipsEmptyGroups) {
    GraphicsFixture f(8);
    GraphicsState& g = f.g();
    const auto at = ToImageOffset(g.bitmaps[3].Address());
    EXPECT_EQ(BytesToHex(f.At(at, 3)), "001234");
    SelectBitmap(f.ed, g, 3);
    EXPECT_EQ(Bytes(g.pixels.begin(), g.pixels.begin() + 8), SampleMainBitmaps()[3].pixels);
}

// Images without the index table, without the pointer to it, or whose walk would leave the
// image: no catalog, one message, the image as it was, and no second try.
TEST(BitmapCatalog, MissingTablesGiveAnEmptyCatalog) {
    SampleOptions o;
    o.family = 4;
    const Bytes sample = BuildSample(o).bytes;
    const auto find = [&](const Bytes& what) {
        return std::search(sample.begin(), sample.end(), what.begin(), what.end()) - sample.begin();
    };
    const auto s = find(HexToBytes(kSignature8));
    Bytes address(4);
    PutBE32(address.data(), ToPhoneAddress(s));
    const auto pointer = find(address);
    const std::pair<std::ptrdiff_t, Bytes> spoils[] = {
        {s + 5, {0x77}},                          // no signature
        {pointer + 1, {0x77}},                    // no pointer
        {pointer + 4, {0x00, 0x20, 0x00, 0x10}},  // a walk that starts before offset 0
    };
    for (const auto& [at, bytes] : spoils) {
        SCOPED_TRACE(at);
        Bytes image = sample;
        std::copy(bytes.begin(), bytes.end(), image.begin() + at);
        TempDir dir;
        FakeUi ui;
        Editor ed;
        WriteFile(dir.Path("x.fls"), image);
        OpenPath(ed, ui, dir.Path("x.fls"));
        ui.told.clear();
        BitmapsOnly(ed);
        TabChanged(ed, ui, Tab::Graphics);
        EXPECT_TRUE(ed.graphics.bitmaps.empty());
        EXPECT_EQ(ed.graphics.current, -1);
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{kNoBitmapTable});
        EXPECT_EQ(ed.MainHex.Data(), image);
        TabChanged(ed, ui, Tab::Graphics);
        EXPECT_EQ(ui.told.size(), 1u);
    }
}

}  // namespace
}  // namespace brivant::test
