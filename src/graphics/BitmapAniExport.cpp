#include "graphics/BitmapAniExport.h"

#include "core/Interaction.h"
#include "core/UserError.h"
#include "graphics/AniCatalog.h"
#include "graphics/AniState.h"
#include "graphics/GraphicsState.h"
#include "image/Address.h"
#include "image/Session.h"

namespace brivant {

std::vector<BitmapCanvas> AnimationFrames(Session& ed, const AniState& a, const GraphicsState& g,
                                          int id) {
    const AniEntry& e = a.catalog.at(static_cast<std::size_t>(id));
    const Bytes& image = ed.MainHex.Data();
    const std::int64_t at = ToImageOffset(e.address);
    const int count = e.lengthByte / 2;
    const int bitmaps = static_cast<int>(g.bitmaps.size());
    std::vector<BitmapCanvas> frames;
    for (int k = 0; k < count; ++k) {
        const std::int64_t p = at + 2 * k;
        const auto none = [&] {
            return UserError(
                Format(kAniFrameWithoutBitmap, {IntToHex(static_cast<std::uint32_t>(k), 3),
                                                IntToHex(static_cast<std::uint32_t>(id), 3)}));
        };
        if (at < 0 || p + 2 > static_cast<std::int64_t>(image.size())) throw none();
        const auto bitmap =
            BitmapOfFrameValue(ed, GetBE16(&image[static_cast<std::size_t>(p)]), bitmaps);
        if (!bitmap) throw none();
        const BitmapEntry& b = g.bitmaps[static_cast<std::size_t>(*bitmap)];
        if (b.edited)
            frames.push_back(RenderPixels(b.edited->pixels, b.edited->width, b.edited->height));
        else
            frames.push_back(RenderPixels(ReadBitmapPixels(ed, g, *bitmap), b.Width(), b.Height()));
    }
    return frames;
}

void ExportAnimation(Session& ed, const AniState& a, const GraphicsState& g, Interaction& ui,
                     BitmapFiles& files, int id, int scale, int delayMs, AnimationFormat format) {
    const std::string name = "ani" + IntToHex(static_cast<std::uint32_t>(id), 3) + ".gif";
    const auto path =
        AskExportFile(ed, ui, SaveDialog(kAniExportTitle, kAniExportFilter, "gif", name));
    if (!path) return;
    AnimationFile file{AnimationFrames(ed, a, g, id), scale, delayMs, format};
    files.WriteAnimation(*path, file);
}

}  // namespace brivant
