#include <algorithm>
#include <cctype>

#include "cli/CliModule.h"
#include "cli/Json.h"
#include "cli/PictureFormats.h"
#include "cli/Pictures.h"
#include "core/HexText.h"
#include "core/UserError.h"
#include "graphics/AniCatalog.h"
#include "graphics/AniCommands.h"
#include "graphics/AniState.h"
#include "graphics/BitmapAniExport.h"
#include "graphics/BitmapCatalog.h"
#include "image/Address.h"

namespace brivant {

namespace {

constexpr const char* kNoAnimations = "This flash file has no animations to edit";
constexpr const char* kNoSuchAnimation = "Animation %s does not exist: the list has %s";
constexpr const char* kNoSuchFrame = "Frame %s does not exist: the animation has %s frames";
constexpr const char* kNoSuchBitmap = "Bitmap %s does not exist: the list has %s";

// Animations are used as in the window: after the Graphics tab was shown.
constexpr Flow kRead{.needsType = true, .tab = Tab::Graphics};
constexpr Flow kEdit{.saves = true, .needsType = true, .tab = Tab::Graphics};

struct AniArgs : ImageOptions {
    std::string ani;
    int frame = -1;
    std::string bitmap;
    int count = 0;
    std::string file;
    int scale = 1;
    int delay = kAniFrameMs;
    std::string format;
};

constexpr const char* kNoPictures = "This build draws no pictures";

// One animation as the list shows it: its frames read from the image and the bitmaps
// they name ("" where a value names none).
struct AniRow {
    std::string id, address, lengthByte;
    std::vector<std::string> frames, bitmaps;
};

std::vector<AniRow> Rows(CliSession& s) {
    std::vector<AniRow> rows;
    const Bytes& image = s.ed.MainHex.Data();
    const int bitmaps = static_cast<int>(s.ed.graphics.bitmaps.size());
    for (std::size_t i = 0; i < s.ed.ani.catalog.size(); ++i) {
        const AniEntry& e = s.ed.ani.catalog[i];
        AniRow r{IntToHex(static_cast<std::uint32_t>(i), 3),
                 IntToHex(e.address, 8),
                 IntToHex(e.lengthByte, 2),
                 {},
                 {}};
        const std::int64_t at = ToImageOffset(e.address);
        const int count = e.lengthByte / 2;
        for (int k = 0; k < count && at + 2 * k + 2 <= static_cast<std::int64_t>(image.size());
             ++k) {
            const std::uint16_t v = GetBE16(&image[static_cast<std::size_t>(at + 2 * k)]);
            r.frames.push_back(IntToHex(v, 4));
            const auto id = BitmapOfFrameValue(s.ed, v, bitmaps);
            r.bitmaps.push_back(id ? BitmapIdText(*id) : "");
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

void List(CliSession& s, const AniArgs& a) {
    const AniState& ani = s.ed.ani;
    const std::vector<AniRow> rows = Rows(s);
    if (a.json) {
        Json j;
        j.BeginObject().Key("enabled").Bool(ani.enabled).Key("rows").BeginArray();
        for (const AniRow& r : rows) {
            j.BeginObject().Key("id").String(r.id).Key("address").String(r.address);
            j.Key("lengthByte").String(r.lengthByte).Key("frames").BeginArray();
            for (const auto& f : r.frames) j.String(f);
            j.EndArray().Key("bitmaps").BeginArray();
            for (const auto& b : r.bitmaps) b.empty() ? j.Null() : j.String(b);
            j.EndArray().EndObject();
        }
        j.EndArray().Key("lengthTableOffset");
        if (ani.lengthTableOffset >= 0)
            j.Number(ani.lengthTableOffset);
        else
            j.Null();
        s.ctx.out << j.EndObject().Text() << '\n';
        return;
    }
    if (!ani.enabled) {
        s.ctx.out << kNoAnimations << '\n';
        return;
    }
    s.ctx.out << "Ani  Address   Length  Frames (Bmp ID)\n";
    for (const AniRow& r : rows) {
        s.ctx.out << r.id << "  " << r.address << "  " << r.lengthByte << "     ";
        for (std::size_t k = 0; k < r.frames.size(); ++k)
            s.ctx.out << (k ? " " : "") << r.frames[k] << '('
                      << (r.bitmaps[k].empty() ? "---" : r.bitmaps[k]) << ')';
        s.ctx.out << '\n';
    }
    s.ctx.out << "Length table at offset " << ani.lengthTableOffset << '\n';
}

// A three-hex-digit ID as the lists show it, which must name one of `count` entries.
int IdOf(CliSession& s, const std::string& text, std::size_t count, const char* message) {
    const bool hex = !text.empty() && text.size() <= 8 &&
                     std::all_of(text.begin(), text.end(),
                                 [](unsigned char c) { return std::isxdigit(c) != 0; });
    const std::int64_t id = hex ? static_cast<std::uint32_t>(HexTextToInt(text)) : -1;
    if (id < 0 || id >= static_cast<std::int64_t>(count)) {
        s.ui.error(Format(message, {text, std::to_string(count)}));
        throw CliExit{1};
    }
    return static_cast<int>(id);
}

// The animation chosen in "Ani ID:" (shown again when it is not the one on show).
void ChooseAnimation(CliSession& s, const AniArgs& a) {
    AniState& ani = s.ed.ani;
    if (!ani.enabled) {
        s.ui.error(kNoAnimations);
        throw CliExit{1};
    }
    const int id = IdOf(s, a.ani, ani.catalog.size(), kNoSuchAnimation);
    if (id != ani.current) ShowAnimation(s.ed, ani, s.ed.graphics, s.ui, id);
    s.CheckTold();
}

void SetFrame(CliSession& s, const AniArgs& a) {
    ChooseAnimation(s, a);
    AniState& ani = s.ed.ani;
    if (a.frame < 0 || a.frame >= static_cast<int>(ani.frames.size())) {
        s.ui.error(
            Format(kNoSuchFrame, {std::to_string(a.frame), std::to_string(ani.frames.size())}));
        throw CliExit{1};
    }
    const int bitmap = IdOf(s, a.bitmap, s.ed.graphics.bitmaps.size(), kNoSuchBitmap);
    if (ani.frame != a.frame) ShowFrame(s.ed, ani, s.ed.graphics, s.ui, a.frame);
    s.CheckTold();
    FrameBitmapChosen(s.ed, ani, s.ed.graphics, s.ui, bitmap);
}

// The up-down moved one step at a time until "Length:" shows the count; a refused step
// ends the command.
void SetLength(CliSession& s, const AniArgs& a) {
    ChooseAnimation(s, a);
    AniState& ani = s.ed.ani;
    while (ani.shownCount != a.count) {
        const int before = ani.shownCount;
        FrameCountChanged(s.ed, ani, s.ed.graphics, s.ui, before + (a.count > before ? 1 : -1));
        if (ani.shownCount == before) break;
    }
}

// The animation's frames as a GIF or a PNG strip, as the window's "Export..." writes them.
void Export(CliSession& s, const AniArgs& a, AnimationFormat format) {
    BitmapFiles& files = *Pictures(kNoPictures).files;
    AniState& ani = s.ed.ani;
    if (!ani.enabled) {
        s.ui.error(kNoAnimations);
        throw CliExit{1};
    }
    const int id = IdOf(s, a.ani, ani.catalog.size(), kNoSuchAnimation);
    s.ui.saveFiles.push_back(a.file);
    ExportAnimation(s.ed, ani, s.ed.graphics, s.ui, files, id, a.scale, a.delay, format);
}

Command<AniArgs> AniCommand(CliContext& ctx, CLI::App* parent, const char* name, const char* help,
                            bool ani) {
    Command<AniArgs> c(ctx, parent, name, help);
    c.Image();
    if (ani)
        AddHexId(c.app(), "ANI", c.args().ani, "Animation ID, three hex digits as the list shows");
    return c;
}

}  // namespace

// The animations of the Graphics tab: list them, choose a frame's bitmap, change a count.
void AniCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* group = AddGroup(app, "ani", "List animations, choose frame bitmaps, change counts");

    AniCommand(ctx, group, "list", "The animations with their frames", false)
        .TypeOption()
        .JsonFlag()
        .RunsOnImage(kRead, List);

    auto frame = AniCommand(ctx, group, "set-frame", "Choose the bitmap of one frame", true);
    AddRow(frame.app(), "FRAME", frame.args().frame, "Frame (0-based)");
    AddHexId(frame.app(), "BMPID", frame.args().bitmap, "Bitmap ID, three hex digits");
    frame.TypeOption().Output().RunsOnImage(kEdit, SetFrame);

    auto length = AniCommand(ctx, group, "set-length", "Change the number of frames", true);
    AddNumber(length.app(), "COUNT", length.args().count, "Frame count, 1 to 100", 0, kAniMaxFrames)
        ->required();
    length.TypeOption().Output().RunsOnImage(kEdit, SetLength);

    auto exp =
        AniCommand(ctx, group, "export",
                   "Write the frames as an animated GIF (OUT.gif) or side by side (OUT.png)", true);
    exp->add_option("OUT", exp.args().file,
                    "Picture file to write (*.gif or *.png; - writes standard output)")
        ->required();
    exp->add_option("--scale", exp.args().scale, "File pixels per bitmap pixel, 1 to 8 (default 1)")
        ->check(CLI::Range(1, 8));
    exp->add_option("--delay", exp.args().delay, "Milliseconds per frame (default 300)")
        ->check(CLI::Range(0, 655350));
    AddFormatOption(exp.app(), exp.args().format, AnimationExportFormats());
    exp.TypeOption().Runs([](CliContext& c, const AniArgs& a) {
        const std::string f =
            ChosenFormat(c, "ani export", a.file, a.format, AnimationExportFormats());
        const AnimationFormat format =
            f == "gif" ? AnimationFormat::Gif : AnimationFormat::PngStrip;
        RunOnImage(c, a, kRead, [&](CliSession& s) { Export(s, a, format); });
    });
}

}  // namespace brivant
