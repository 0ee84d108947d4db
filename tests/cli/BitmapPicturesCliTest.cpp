#include <gtest/gtest.h>

#include "support/CliProgram.h"

#ifdef BRIVANT_PLATFORM
#include <gif_lib.h>

#include <QImage>
#include <cstdlib>

#include "app/FileFlow.h"
#include "graphics/BitmapAniExport.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/BitmapCommands.h"
#include "graphics/GraphicsState.h"
#include "platform/QtBitmapFiles.h"
#endif

namespace brivant::test {
namespace {

#ifdef BRIVANT_PLATFORM

// A demo image and its catalog as the Graphics tab reads it.
struct Demo {
    TempDir dir;
    std::string x = dir.Path("x.fls");
    Editor ed;
    FakeUi ui;

    explicit Demo(const char* type = nullptr) {
        std::vector<std::string> args = {"demo", x};
        if (type) args.insert(args.end(), {"--type", type});
        EXPECT_EQ(Cli(args).status, 0);
        OpenPath(ed, ui, x);
        TabChanged(ed, ui, Tab::Graphics);
    }
    const BitmapEntry& Entry(int id) const {
        return ed.graphics.bitmaps.at(static_cast<std::size_t>(id));
    }
    // The first bitmap with pixels to draw, from `from` on.
    int WithPixels(int from = 0) const {
        for (int id = from; id < static_cast<int>(ed.graphics.bitmaps.size()); ++id)
            if (Entry(id).Width() > 1 && Entry(id).Height() > 1) return id;
        return -1;
    }
};

// An 8 x 2 BMP of run-length data with a two-colour palette.
Bytes RunLengthBmp(int bits, int compression, const Bytes& data) {
    Bytes b = {'B', 'M'};
    const auto le = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    le(62 + static_cast<std::uint32_t>(data.size()), 4);
    le(0, 4);
    le(62, 4);
    le(40, 4);
    le(8, 4);
    le(2, 4);
    le(1, 2);
    le(static_cast<std::uint32_t>(bits), 2);
    le(static_cast<std::uint32_t>(compression), 4);
    for (int i = 0; i < 5; ++i) le(0, 4);
    le(0, 4);
    le(0xFFFFFF, 4);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// A picture file cut short in any format is refused, exit 1, and no image is written.
TEST(CliBmpPictures, CutShortFilesChangeNothing) {
    Demo d;
    const int id = d.WithPixels();
    ASSERT_GE(id, 0);
    const std::string hexId = BitmapIdText(id);
    const std::string bmp = d.dir.Path("a.bmp"), png = d.dir.Path("a.png");
    ASSERT_EQ(Cli({"bmp", "export", d.x, hexId, bmp}).status, 0);
    ASSERT_EQ(Cli({"bmp", "export", d.x, hexId, png, "--format", "png"}).status, 0);
    const std::string gif = d.dir.Path("a.gif");
    PlatformBitmapFiles().WriteAnimation(gif, {{d.ed.graphics.Preview()}, 1, 300});
    // Run-length files whose data never reaches its end mark.
    const Bytes rle8File = RunLengthBmp(8, 1, HexToBytes("05000003010203000000"));
    const Bytes rle4File = RunLengthBmp(4, 2, HexToBytes("0412000512340000"));
    WriteFile(d.dir.Path("r8.bmp"), rle8File);
    WriteFile(d.dir.Path("r4.bmp"), rle4File);

    struct Case {
        std::string file;
        std::size_t keep;
        std::string says;
    };
    std::vector<Case> cases = {
        {bmp, 84, "t.bmp is cut short: its header needs "},
        {png, ReadFile(png).size() - 12, "t.bmp is cut short: its PNG data ends"},
        {gif, ReadFile(gif).size() - 2, "t.bmp is cut short: its GIF data ends"},
        {d.dir.Path("r8.bmp"), rle8File.size(), "t.bmp is cut short: its RLE8 data ends"},
        {d.dir.Path("r4.bmp"), rle4File.size(), "t.bmp is cut short: its RLE4 data ends"},
    };
    const Bytes image = ReadFile(d.x);
    for (const Case& c : cases) {
        const Bytes whole = ReadFile(c.file);
        const std::string t = d.dir.Path("t.bmp"), out = d.dir.Path("o.fls");
        WriteFile(t, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.keep)));
        const CliRun r = Cli({"bmp", "import", d.x, hexId, t, "-o", out});
        EXPECT_EQ(r.status, 1) << c.file;
        EXPECT_TRUE(Has(r.err, c.says)) << r.err;
        EXPECT_FALSE(FileExists(out)) << c.file;
        EXPECT_EQ(ReadFile(d.x), image);
    }
}

// Another size: the bitmap takes it and the user is told where it went; --fit keeps the size.
TEST(CliBmpPictures, OtherSizesAreToldOrFitted) {
    Demo d;
    const int id = d.WithPixels(1);
    ASSERT_GE(id, 0);
    const int w = d.Entry(id).Width(), h = d.Entry(id).Height();
    const std::string hexId = BitmapIdText(id);
    BitmapCanvas wider(w + 1, h);
    wider.Set(w, 0, true);
    PlatformBitmapFiles().Write(d.dir.Path("w.bmp"), wider);
    const std::string y = d.dir.Path("y.fls");
    const CliRun r = Cli({"bmp", "import", d.x, hexId, d.dir.Path("w.bmp"), "-o", y, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const CliRun list = Cli({"bmp", "list", y, "--json"});
    const std::string row = "{\"id\":\"" + hexId + "\",\"width\":" + std::to_string(w + 1) +
                            ",\"height\":" + std::to_string(h) + ",\"address\":\"";
    const std::size_t at = list.out.find(row);
    ASSERT_NE(at, std::string::npos) << list.out;
    const std::string address = list.out.substr(at + row.size(), 8);
    const std::string message = "Bitmap " + hexId + " is now " + std::to_string(w + 1) + " × " +
                                std::to_string(h) + " (was " + std::to_string(w) + " × " +
                                std::to_string(h) + ") and was moved to free space at " + address;
    EXPECT_TRUE(Has(r.err, message)) << r.err;
    EXPECT_TRUE(Has(r.out, "\"wasWidth\":" + std::to_string(w))) << r.out;
    EXPECT_TRUE(Has(r.out, "\"message\":\"" + message + "\"")) << r.out;

    // A logo four times as large in each direction goes in at the bitmap's own size.
    QImage logo(4 * w, 4 * h, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    for (int yy = 0; yy < 4 * h; ++yy)
        for (int xx = 0; xx < 4 * (w / 2); ++xx) logo.setPixel(xx, yy, qRgba(0, 0, 0, 255));
    ASSERT_TRUE(logo.save(QString::fromStdString(d.dir.Path("logo.png")), "PNG"));
    const std::string z = d.dir.Path("z.fls");
    const CliRun f = Cli({"bmp", "import", d.x, hexId, d.dir.Path("logo.png"), "--fit", "-o", z});
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_FALSE(Has(f.err, "is now")) << f.err;
    const CliRun shown = Cli({"bmp", "show", z, hexId});
    std::string expected;
    for (int yy = 0; yy < h; ++yy)
        expected += std::string(static_cast<std::size_t>(w / 2), '#') +
                    std::string(static_cast<std::size_t>(w - w / 2), '.') + "\n";
    EXPECT_EQ(shown.out, expected);
}

// Threshold and dither on a grey ramp, through the command line's options.
TEST(CliBmpPictures, ThresholdAndDitherOptions) {
    Demo d;
    const int id = d.WithPixels();
    const int w = d.Entry(id).Width(), h = d.Entry(id).Height();
    QImage ramp(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int g = x * 255 / std::max(1, w - 1);
            ramp.setPixel(x, y, qRgb(g, g, g));
        }
    const std::string file = d.dir.Path("ramp.png");
    ASSERT_TRUE(ramp.save(QString::fromStdString(file), "PNG"));
    const auto dark = [&](std::vector<std::string> options) {
        std::vector<std::string> args = {"bmp", "import",           d.x, BitmapIdText(id), file,
                                         "-o",  d.dir.Path("o.fls")};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string shown = Cli({"bmp", "show", d.dir.Path("o.fls"), BitmapIdText(id)}).out;
        return static_cast<int>(std::count(shown.begin(), shown.end(), '#'));
    };
    int below = 0;
    for (int x = 0; x < w; ++x) below += x * 255 / std::max(1, w - 1) < 100;
    EXPECT_EQ(dark({"--threshold", "100"}), below * h);
    EXPECT_EQ(dark({"--threshold", "0"}) == 0 ? 0 : 1, 0);
    const int dithered = dark({"--dither"});
    EXPECT_NEAR(dithered, w * h / 2, w * h / 8 + 2);
    EXPECT_EQ(Cli({"bmp", "import", d.x, "0", file, "--threshold", "256"}).status, 2);
}

// Outputs that would overwrite the image are refused, and a bitmap without pixels has
// nothing to export.
TEST(CliBmpPictures, RefusedOutputs) {
    Demo d;
    const Bytes image = ReadFile(d.x);
    // Named so that its format is PNG, the image itself is still no export target.
    const CliRun sheet = Cli({"bmp", "sheet", d.x, d.x, "--format", "png"});
    EXPECT_EQ(sheet.status, 1);
    EXPECT_TRUE(Has(sheet.err, "is the open image")) << sheet.err;
    EXPECT_EQ(ReadFile(d.x), image);
    EXPECT_FALSE(FileExists(d.x + ".bak"));

    // A record whose width is 0.
    Bytes empty = image;
    const BitmapEntry& e = d.Entry(0);
    empty[static_cast<std::size_t>(e.recordOffset) + 8] = 0;
    const std::string z = d.dir.Path("zero.fls");
    WriteFile(z, empty);
    const CliRun r = Cli({"bmp", "export", z, "000", d.dir.Path("zero.bmp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "Bitmap 000 has no pixels to export")) << r.err;
    EXPECT_FALSE(FileExists(d.dir.Path("zero.bmp")));
}

// The same request gives the same bytes, also from two separate runs of the program, and a
// file that is read back gives the bitmap's pixels exactly.
TEST(CliBmpPictures, ExportsAreTheSameBytesEveryRun) {
    Demo d("3410");
    for (const char* format : {"bmp", "png"}) {
        for (const char* run : {"a", "b"}) {
            const std::string cmd = CliCommand() + " bmp export-all '" + d.x + "' '" +
                                    d.dir.Path(std::string(run) + "." + format) + "' --format " +
                                    format + " 2>/dev/null";
            ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        }
        for (int id = 0; id < static_cast<int>(d.ed.graphics.bitmaps.size()); ++id) {
            const std::string a = d.dir.Path("a" + BitmapIdText(id) + "." + format);
            if (!FileExists(a)) continue;
            EXPECT_EQ(ReadFile(a), ReadFile(d.dir.Path("b" + BitmapIdText(id) + "." + format)));
            const BitmapEntry& e = d.Entry(id);
            EXPECT_EQ(
                PlatformBitmapFiles().Read(a),
                RenderPixels(ReadBitmapPixels(d.ed, d.ed.graphics, id), e.Width(), e.Height()))
                << a;
        }
    }
}

// Load All in the window and import-all on the command line: the same bytes, also after the
// window looked at every bitmap first.
TEST(CliBmpPictures, LoadAllAndImportAllWriteTheSameImage) {
    Demo d("3410");
    ASSERT_EQ(Cli({"bmp", "export-all", d.x, d.dir.Path("p.bmp")}).status, 0);
    BitmapCanvas c = PlatformBitmapFiles().Read(d.dir.Path("p003.bmp"));
    c.Set(0, 0, !c.Dark(0, 0));
    PlatformBitmapFiles().Write(d.dir.Path("p003.bmp"), c);
    const std::string y = d.dir.Path("y.fls");
    const CliRun r = Cli({"bmp", "import-all", d.x, d.dir.Path("p000.bmp"), "-o", y});
    ASSERT_EQ(r.status, 0) << r.err;

    for (int id = 0; id < static_cast<int>(d.ed.graphics.bitmaps.size()); ++id)
        SelectBitmap(d.ed, d.ed.graphics, id);
    d.ui.openAnswers.push_back(d.dir.Path("p000.bmp"));
    LoadAllBitmaps(d.ed, d.ed.graphics, d.ui, PlatformBitmapFiles());
    const Bytes cli = ReadFile(y);
    const Bytes& window = d.ed.MainHex.Data();
    ASSERT_EQ(cli.size(), window.size());
    // The command line also repairs the checksums: compare what lies between them.
    std::size_t differ = 0;
    for (std::size_t i = 64; i + 64 < cli.size(); ++i) differ += cli[i] != window[i];
    EXPECT_EQ(differ, 0u);
}

// The animation export: a GIF that decodes to the frames, the same bytes as the window's
// command, and a strip; a frame that names no bitmap is refused.
TEST(CliBmpPictures, AnimationExport) {
    Demo d;
    if (!d.ed.ani.enabled || d.ed.ani.catalog.empty()) GTEST_SKIP() << "no animations";
    const std::string gif = d.dir.Path("a.gif");
    const CliRun r = Cli({"ani", "export", d.x, "000", gif, "--scale", "2", "--delay", "150"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<BitmapCanvas> frames = AnimationFrames(d.ed, d.ed.ani, d.ed.graphics, 0);
    int error = 0;
    GifFileType* g = DGifOpenFileName(gif.c_str(), &error);
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(DGifSlurp(g), GIF_OK);
    ASSERT_EQ(g->ImageCount, static_cast<int>(frames.size()));
    for (int i = 0; i < g->ImageCount; ++i) {
        const SavedImage& im = g->SavedImages[i];
        int wrong = 0;
        for (int y = 0; y < g->SHeight; ++y)
            for (int x = 0; x < g->SWidth; ++x) {
                const GifColorType c = g->SColorMap->Colors[im.RasterBits[y * g->SWidth + x]];
                wrong += (c.Red == 0) != frames[static_cast<std::size_t>(i)].Dark(x / 2, y / 2);
            }
        EXPECT_EQ(wrong, 0) << i;
        GraphicsControlBlock gcb;
        DGifSavedExtensionToGCB(g, i, &gcb);
        EXPECT_EQ(gcb.DelayTime, 15);
    }
    DGifCloseFile(g, &error);

    // The window's entry writes through the same command.
    ASSERT_EQ(Cli({"ani", "export", d.x, "000", d.dir.Path("c.gif")}).status, 0);
    d.ui.saveAnswers.push_back(d.dir.Path("w.gif"));
    ExportAnimation(d.ed, d.ed.ani, d.ed.graphics, d.ui, PlatformBitmapFiles(), 0);
    EXPECT_EQ(ReadFile(d.dir.Path("w.gif")), ReadFile(d.dir.Path("c.gif")));

    ASSERT_EQ(Cli({"ani", "export", d.x, "000", d.dir.Path("s.png")}).status, 0);
    const QImage strip(QString::fromStdString(d.dir.Path("s.png")), "PNG");
    int widest = 0;
    for (const BitmapCanvas& f : frames) widest = std::max(widest, f.width);
    EXPECT_EQ(strip.width(), widest * static_cast<int>(frames.size()));
    EXPECT_EQ(Cli({"ani", "export", d.x, "000", d.x, "--format", "gif"}).status, 1);
    EXPECT_EQ(Cli({"ani", "export", d.x, "000", d.x}).status, 2);
}

// The format follows --format, else the output name: an extension an export cannot write is
// wrong usage naming what it can, before anything is read or written; "-" takes the
// export's first format unless --format says otherwise.
TEST(CliBmpPictures, TheFormatFollowsTheName) {
    Demo d("3410");
    const auto starts = [](const std::string& data, const std::string& magic) {
        return data.compare(0, magic.size(), magic) == 0;
    };
    const auto file = [&](const std::string& name) {
        const Bytes b = ReadFile(d.dir.Path(name));
        return std::string(b.begin(), b.end());
    };
    struct Refused {
        std::vector<std::string> args;
        const char* named;
    };
    const Refused refused[] = {
        {{"ani", "export", d.x, "000", d.dir.Path("a.jpg")},
         "animated GIF (.gif) or PNG strip (.png)"},
        {{"bmp", "sheet", d.x, d.dir.Path("s.gif")}, "PNG (.png)"},
        {{"bmp", "export", d.x, "004", d.dir.Path("e.jpg")},
         "1-bit BMP (.bmp) or 1-bit PNG (.png)"},
        {{"bmp", "export-all", d.x, d.dir.Path("all.gif")}, "1-bit BMP (.bmp) or 1-bit PNG (.png)"},
    };
    for (const Refused& r : refused) {
        const CliRun run = Cli(r.args);
        EXPECT_EQ(run.status, 2) << r.args[2];
        EXPECT_TRUE(Has(run.err, r.named)) << run.err;
        EXPECT_TRUE(Has(run.err, "--format")) << run.err;
        EXPECT_EQ(run.out, "");
    }
    for (const char* name : {"a.jpg", "s.gif", "e.jpg", "all000.bmp", "all.gif000.bmp"})
        EXPECT_FALSE(FileExists(d.dir.Path(name))) << name;

    ASSERT_EQ(Cli({"bmp", "export", d.x, "004", d.dir.Path("e.PNG")}).status, 0);
    EXPECT_TRUE(starts(file("e.PNG"), "\x89PNG"));
    ASSERT_EQ(Cli({"bmp", "export", d.x, "004", d.dir.Path("e"), "--format", "png"}).status, 0);
    EXPECT_TRUE(starts(file("e"), "\x89PNG"));
    ASSERT_EQ(Cli({"bmp", "export", d.x, "004", d.dir.Path("e.jpg"), "--format", "bmp"}).status, 0);
    EXPECT_TRUE(starts(file("e.jpg"), "BM"));
    if (!d.ed.ani.enabled || d.ed.ani.catalog.empty()) return;
    const CliRun gif = Cli({"ani", "export", d.x, "000", "-", "--format", "gif"});
    ASSERT_EQ(gif.status, 0) << gif.err;
    EXPECT_TRUE(starts(gif.out, "GIF89a"));
    EXPECT_EQ(Cli({"ani", "export", d.x, "000", "-"}).out, gif.out);
    const CliRun strip = Cli({"ani", "export", d.x, "000", "-", "--format", "png"});
    EXPECT_TRUE(starts(strip.out, "\x89PNG"));
    ASSERT_EQ(Cli({"ani", "export", d.x, "000", d.dir.Path("anim"), "--format", "png"}).status, 0);
    EXPECT_EQ(file("anim"), strip.out);
}

#endif

}  // namespace
}  // namespace brivant::test
