#include "platform/GifFile.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "core/UserError.h"

namespace brivant {

namespace {

constexpr const char* kGifFailed = "The animation could not be encoded as GIF (%s)";

int Collect(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

[[noreturn]] void Fail(int error) {
    const char* text = GifErrorString(error);
    throw UserError(Format(kGifFailed, {text ? text : std::to_string(error)}));
}

// Closes the encoder on every path; EGifCloseFile also writes the trailer.
struct Encoder {
    GifFileType* gif = nullptr;
    ~Encoder() {
        if (gif) EGifCloseFile(gif, nullptr);
    }
};

}  // namespace

Bytes EncodeAnimatedGif(const AnimationFile& animation) {
    const int scale = animation.Scale();
    const auto [width, height] = animation.Cell();
    Bytes out;
    int error = 0;
    Encoder e;
    e.gif = EGifOpen(&out, Collect, &error);
    if (!e.gif) Fail(error);
    EGifSetGifVersion(e.gif, true);
    std::array<GifColorType, 2> colours{{{255, 255, 255}, {0, 0, 0}}};
    ColorMapObject* map = GifMakeMapObject(2, colours.data());
    if (!map) Fail(E_GIF_ERR_NOT_ENOUGH_MEM);
    const int put = EGifPutScreenDesc(e.gif, width, height, 1, 0, map);
    GifFreeMapObject(map);
    if (put == GIF_ERROR) Fail(e.gif->Error);

    // Loop for ever, as the window plays it.
    const GifByteType app[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const GifByteType loop[] = {1, 0, 0};
    if (EGifPutExtensionLeader(e.gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(e.gif, sizeof app, app) == GIF_ERROR ||
        EGifPutExtensionBlock(e.gif, sizeof loop, loop) == GIF_ERROR ||
        EGifPutExtensionTrailer(e.gif) == GIF_ERROR)
        Fail(e.gif->Error);

    const int delay = std::clamp((animation.delayMs + 5) / 10, 0, 0xFFFF);  // hundredths
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (const BitmapCanvas& f : animation.frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_BACKGROUND;
        gcb.DelayTime = delay;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(e.gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_ERROR ||
            EGifPutImageDesc(e.gif, 0, 0, width, height, false, nullptr) == GIF_ERROR)
            Fail(e.gif->Error);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                line[static_cast<std::size_t>(x)] = f.Dark(x / scale, y / scale) ? 1 : 0;
            if (EGifPutLine(e.gif, line.data(), width) == GIF_ERROR) Fail(e.gif->Error);
        }
    }
    int closeError = 0;
    GifFileType* gif = e.gif;
    e.gif = nullptr;
    if (EGifCloseFile(gif, &closeError) == GIF_ERROR) Fail(closeError);
    return out;
}

}  // namespace brivant
