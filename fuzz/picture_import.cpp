// The picture import path: a picture file's bytes checked and decoded, made black and white
// as the options say, and imported into a bitmap of a family's sample.
// [family selector][bitmap][options: 1 dither, 2 fit, 4 threshold given][threshold][file...]
#include "FuzzHarness.h"
#include "app/FileFlow.h"
#include "graphics/BitmapCommands.h"
#include "graphics/BitmapFileCheck.h"
#include "graphics/GraphicsState.h"

#ifdef BRIVANT_FUZZ_QT
#include "platform/QtBitmapFiles.h"
#endif

using namespace brivant;
using namespace brivant::fuzz;

namespace {

Picture Decode(const Bytes& file) {
#ifdef BRIVANT_FUZZ_QT
    return DecodePicture(file, "in.bmp");
#else
    // Without the toolkit in this build the decoder is stood in for: the checked size, and
    // pixels taken from the file's bytes.
    const PictureFileInfo info = CheckPictureFile(file, "in.bmp");
    Picture p(info.width, info.height);
    for (std::size_t i = 0; i < p.argb.size(); ++i) {
        const std::uint8_t b = file[i % file.size()];
        p.argb[i] = (b & 0x80 ? 0xFF000000u : static_cast<std::uint32_t>(b) << 25) | b * 0x010101u;
    }
    return p;
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t n) {
    if (n < 5) return 0;
    Editor& ed = Fresh(FamilyOf(data[0]), Tab::Graphics);
    GraphicsState& g = ed.graphics;
    const int count = static_cast<int>(g.bitmaps.size());
    if (count == 0) return 0;
    const Bytes file(data + 4, data + n);
    FuzzUi ui;
    Expect([&] {
        SelectBitmap(ed, g, data[1] % count);
        const Picture picture = Decode(file);
        if (picture.width < 1 || picture.height < 1 || picture.width > 255 || picture.height > 255)
            __builtin_trap();  // the size is refused before decoding
        g.import = {};
        g.import.dither = data[2] & 1;
        g.import.fit = data[2] & 2;
        if (data[2] & 4) g.import.threshold = data[3];
        g.import.ask = false;
        const auto canvas = PictureForBitmap(g, ui, picture);
        if (!canvas || canvas->width < 1 || canvas->height < 1) __builtin_trap();
        if (!ImportPicture(ed, g, ui, *canvas, "in.bmp")) return;
        // What was imported reads back from the image as the bitmap's pixels.
        const BitmapEntry& e = *g.Current();
        if (e.Width() != canvas->width || e.Height() != canvas->height) __builtin_trap();
        const Bytes read = ReadBitmapPixels(ed, g, g.current);
        const Bytes want = PixelsOf(*canvas);
        if (read.size() < want.size() || !std::equal(want.begin(), want.end(), read.begin()))
            __builtin_trap();
    });
    return 0;
}
