#include "graphics/BitmapCommands.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "graphics/BitmapFileCheck.h"
#include "graphics/BitmapFiles.h"
#include "graphics/GraphicsState.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/Session.h"

namespace brivant {

namespace {
constexpr const char* kBmpExt = "bmp";
constexpr const char* kBmpSuffix = ".bmp";
constexpr const char* kPngSuffix = ".png";

// What SaveBmpHex will write, worked out and checked before the first byte changes.
struct WritePlan {
    bool unchanged = false;
    Bytes plain;  // the entry's new pixel bytes
    Bytes data;   // as stored: encoded when its form asks, padded
    std::int32_t at = 0;
    bool atFreeOffset = false;
    Bytes record;
};

bool StoresAtFreeOffset(const Session& s) {
    const std::string& type = s.PhoneTypeText();
    return type == "3410" || type == "2100" || s.Is62xx();
}

// Whether the current entry's pixels in the image already are `plain`. Asked of the image's
// bytes as they stand now, not of what was last shown or kept: a set of files loaded back
// unchanged then writes nothing, however many of its bitmaps were looked at before, and two
// entries that share their bytes are each compared with what the one written before left.
bool SameAsImage(Session& ed, const GraphicsState& g, const Bytes& plain) {
    const BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(g.current)];
    const auto count = static_cast<std::size_t>(PixelByteCount(e.Width(), e.Height()));
    if (plain.size() != count) return false;
    // Compared as drawn: bits below the last row are never shown, and a picture cannot
    // carry them, so they decide nothing.
    const auto drawn = [&](const Bytes& b) { return RenderPixels(b, e.Width(), e.Height()); };
    try {
        const Bytes now = ReadBitmapPixels(ed, g, g.current);
        return now.size() >= count && drawn(plain) == drawn(now);
    } catch (const UserError&) {
        return false;
    }
}

// The refusal text, or nothing when the plan can be carried out.
std::optional<std::string> Plan(Session& ed, const GraphicsState& g, int width, int height,
                                Bytes plain, WritePlan& plan) {
    const BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(g.current)];
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        return kBadBitmapSize;
    const bool sameSize = e.Width() == width && e.Height() == height;
    if (plain.empty()) plain = g.pixels;
    if (sameSize && SameAsImage(ed, g, plain)) {
        plan.unchanged = true;
        return std::nullopt;
    }
    plan.plain = plain;
    plan.data = IsRunLengthForm(ed, g.mainCount, g.current) ? EncodeRunLength(plain) : plain;

    HexBuffer& m = ed.MainHex;
    plan.atFreeOffset = !sameSize || StoresAtFreeOffset(ed);
    // The fillers keep what follows in free space aligned. Written in place they would
    // overwrite up to three bytes behind the bitmap, which belong to something else.
    if (plan.atFreeOffset) PadWithFillers(plan.data);
    const auto n = static_cast<std::int32_t>(plan.data.size());
    const std::int64_t footprint = McuFootprint(plan.data);
    if (plan.atFreeOffset) {
        // New data goes only where the free space really is: a run of FF bytes.
        if (ed.FreeOffset < 0 || !McuFits(ed, footprint) || McuFreeRun(ed) < footprint)
            return kNoMcuSpace;
        plan.at = ed.FreeOffset;
    } else {
        const std::int64_t at = ToImageOffset(e.Address());
        if (at < 0 || at >= m.Size()) return HexBuffer::kInvalidSelStart;
        if (at + n > m.Size()) return HexBuffer::kInvalidSelEnd;
        plan.at = static_cast<std::int32_t>(at);
    }

    // The record is rewritten where the catalog read it: two entries may share the same
    // record bytes, and a search for them would find the first one's.
    const std::int32_t r = e.recordOffset;
    if (r < 0 || r + kRecordSize > m.Size() ||
        !std::equal(e.record.begin(), e.record.end(), m.Data().begin() + r))
        return kRecordMoved;
    plan.record = e.record;
    PutBE32(plan.record.data(), ToPhoneAddress(plan.at));
    plan.record[8] = static_cast<std::uint8_t>(width);
    plan.record[9] = static_cast<std::uint8_t>(height);
    return std::nullopt;
}

void Carry(Session& ed, GraphicsState& g, WritePlan& plan) {
    if (plan.unchanged) return;
    BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(g.current)];
    if (plan.atFreeOffset)
        WriteAtFreeOffset(ed, plan.data);
    else
        ed.MainHex.WriteAt(plan.at, plan.data);
    ed.MainHex.WriteAt(e.recordOffset, plan.record);
    e.record = std::move(plan.record);
    e.kept = std::move(plan.plain);
}

// The plan carried out on a copy of the image and read back by the catalog's own reader:
// the entry's record where the catalog has it, its pixel bytes in its form exactly the new
// ones, and every other record as it was. What is wrong, or nothing.
std::optional<std::string> ReadBack(const Session& ed, const GraphicsState& g,
                                    const WritePlan& plan) {
    if (plan.unchanged) return std::nullopt;
    Session copy = ed;
    GraphicsState cg = g;
    WritePlan p = plan;
    Carry(copy, cg, p);
    const BitmapEntry& e = cg.bitmaps[static_cast<std::size_t>(cg.current)];
    const Bytes& image = copy.MainHex.Data();
    for (const BitmapEntry& other : g.bitmaps) {
        const std::int64_t r = other.recordOffset;
        if (r == e.recordOffset || r < 0 || r + kRecordSize > copy.MainHex.Size()) continue;
        if (!std::equal(other.record.begin(), other.record.end(), ed.MainHex.Data().begin() + r))
            continue;  // already not what the catalog read: not this write's doing
        if (!std::equal(other.record.begin(), other.record.end(), image.begin() + r))
            return std::string(kBitmapWouldDamage);
    }
    if (!std::equal(plan.record.begin(), plan.record.end(), image.begin() + e.recordOffset))
        return std::string(kBitmapNotReadBack);
    const auto count = static_cast<std::size_t>(PixelByteCount(e.Width(), e.Height()));
    Bytes read;
    try {
        read = ReadBitmapPixels(copy, cg, cg.current);
    } catch (const UserError&) {
        return std::string(kBitmapNotReadBack);
    }
    if (read.size() < count || plan.plain.size() != count ||
        !std::equal(plan.plain.begin(), plan.plain.end(), read.begin()))
        return std::string(kBitmapNotReadBack);
    return std::nullopt;
}

// The refusal as told: naming the file when the picture came from one.
std::string Refusal(const std::string& file, const std::string& why) {
    return file.empty() ? why : Format(kBitmapFileRefused, {file, why});
}

// A picture file as the platform reads it; a failure names the file.
Picture ReadPicture(BitmapFiles& files, const std::string& path) {
    try {
        return files.ReadPicture(path);
    } catch (const UserError& e) {
        const std::string text = e.what();
        if (text.find(path) != std::string::npos) throw;
        throw UserError(Format(kBitmapFileRefused, {path, text}));
    }
}

bool HasCurrent(GraphicsState& g, Interaction& ui) {
    if (g.Current()) return true;
    ui.error(kOpenFirst);
    return false;
}

// An entry that "&Save All" writes no file for: nothing to preview.
bool WithoutPicture(const BitmapEntry& e) {
    if (e.edited) return e.edited->width == 0 || e.edited->height == 0;
    return e.Width() == 0 || e.Height() == 0;
}
}  // namespace

Bytes GetBmpHex(GraphicsState& g, const BitmapCanvas& picture) {
    Bytes pixels = PixelsOf(picture);
    g.shownWidth = picture.width;
    g.shownHeight = picture.height;
    g.pixels.clear();
    if (BitmapEntry* e = g.Current())
        e->edited = EditedBitmap{picture.width, picture.height, pixels};
    g.pixels = pixels;
    return pixels;
}

bool SaveBmpHex(Session& ed, GraphicsState& g, Interaction& ui, Bytes pixels) {
    BitmapEntry* e = g.Current();
    if (!e) return false;
    const int width = e->edited ? e->edited->width : e->Width();
    const int height = e->edited ? e->edited->height : e->Height();
    WritePlan plan;
    auto refused = Plan(ed, g, width, height, std::move(pixels), plan);
    if (!refused) refused = ReadBack(ed, g, plan);
    if (refused) {
        ui.error(*refused);
        return false;
    }
    Carry(ed, g, plan);
    return true;
}

bool ImportPicture(Session& ed, GraphicsState& g, Interaction& ui, const BitmapCanvas& picture,
                   const std::string& file) {
    if (!g.Current()) return false;
    // Checked against the picture before it becomes the entry's edited bitmap, so that a
    // refusal leaves the catalog as it was.
    WritePlan plan;
    auto refused = Plan(ed, g, picture.width, picture.height, PixelsOf(picture), plan);
    if (!refused) refused = ReadBack(ed, g, plan);
    if (refused) {
        ui.error(Refusal(file, *refused));
        return false;
    }
    const BitmapEntry before = *g.Current();
    GetBmpHex(g, picture);
    Carry(ed, g, plan);
    const BitmapEntry& e = *g.Current();
    if (e.Width() != before.Width() || e.Height() != before.Height()) {
        // The bitmap follows the picture's size, and its pixels no longer fit where they
        // were: say so, or the user finds a bitmap of another size without knowing why.
        BitmapResize r{g.current,       e.Width(),   e.Height(), before.Width(),
                       before.Height(), e.Address(), {}};
        r.message = Format(kBitmapResized, {BitmapIdText(r.id), std::to_string(r.width),
                                            std::to_string(r.height), std::to_string(r.wasWidth),
                                            std::to_string(r.wasHeight), IntToHex(r.address, 8)});
        g.resized.push_back(r);
        ui.info(r.message);
    }
    return true;
}

std::optional<BitmapCanvas> PictureForBitmap(GraphicsState& g, Interaction& ui,
                                             const Picture& picture) {
    // A black and white picture goes in as it always did, without a question; the command
    // line's options apply to every picture.
    PictureImport how = g.import.ask ? PictureImport{} : g.import;
    if (g.import.ask && !IsBlackAndWhite(picture)) {
        if (!g.import.asked) {
            if (!ui.askDialog(g.import)) return std::nullopt;
            g.import.asked = true;
        }
        how = g.import;
    }
    const BitmapEntry* e = g.Current();
    if (how.fit && e && e->Width() > 0 && e->Height() > 0 &&
        (picture.width != e->Width() || picture.height != e->Height()))
        return ToCanvas(ScalePicture(picture, e->Width(), e->Height()), how);
    return ToCanvas(picture, how);
}

void EditBitmap(Session& ed, GraphicsState& g, Interaction& ui) {
    if (!HasCurrent(g, ui)) return;
    TImagEdit& editor = g.imageEditor;
    editor.Prepare(g.shownWidth, g.shownHeight, g.pixels);
    // Drawing sets the flag, so the window must also have ended with "&OK": Escape and the
    // close box leave the bitmap as it was.
    const bool ok = ui.askDialog(editor);
    if (!ok || !editor.accepted) return;
    ImportPicture(ed, g, ui, editor.Picture());
}

namespace {
// A new load asks again how pictures become black and white (the last answer is offered).
void StartLoad(GraphicsState& g) {
    g.import.asked = false;
    g.resized.clear();
}

// Loads one picture file into the current entry; false when refused or cancelled.
bool LoadFile(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files,
              const std::string& path) {
    const auto canvas = PictureForBitmap(g, ui, ReadPicture(files, path));
    return canvas && ImportPicture(ed, g, ui, *canvas, path);
}

PictureFormat FormatFor(const std::string& path, std::optional<PictureFormat> asked) {
    if (asked) return *asked;
    std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == kPngSuffix ? PictureFormat::Png : PictureFormat::Bmp;
}
}  // namespace

void LoadBitmap(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files) {
    if (!HasCurrent(g, ui)) return;
    const auto path = ui.askOpenFile(OpenDialog(kBmpOpenTitle, kBmpOpenFilter));
    if (!path) return;
    StartLoad(g);
    LoadFile(ed, g, ui, files, *path);
}

void SaveBitmap(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files,
                std::optional<PictureFormat> format) {
    if (!HasCurrent(g, ui)) return;
    const auto path = AskExportFile(ed, ui, SaveDialog(kBmpSaveTitle, kBmpSaveFilter, kBmpExt));
    if (!path) return;
    const BitmapCanvas preview = g.Preview();
    if (preview.Empty()) {
        ui.error(Format(kBitmapNoPixels, {BitmapIdText(g.current)}));
        return;
    }
    files.Write(*path, preview, FormatFor(*path, format));
}

void SaveAllBitmaps(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files,
                    std::optional<PictureFormat> format) {
    if (!HasCurrent(g, ui)) return;
    const auto path = AskExportFile(ed, ui, SaveDialog(kBmpSaveAllTitle, kBmpSaveFilter, kBmpExt));
    if (!path) return;
    const PictureFormat f = FormatFor(*path, format);
    const char* suffix = f == PictureFormat::Png ? kPngSuffix : kBmpSuffix;
    const std::string base = SaveAllBase(*path, suffix);
    for (int id = 0; id < static_cast<int>(g.bitmaps.size()); ++id)
        RefuseImageAsExport(ed, NumberedName(base, id, suffix));
    for (int id = 0; id < static_cast<int>(g.bitmaps.size()); ++id) {
        SelectBitmap(ed, g, id);
        const BitmapCanvas preview = g.Preview();
        if (!preview.Empty()) files.Write(NumberedName(base, id, suffix), preview, f);
    }
}

// The window's "&Load All" and the command line's import-all: one path, so one request
// gives the same bytes in both.
void LoadAllBitmaps(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files) {
    if (!HasCurrent(g, ui)) return;
    const auto path = ui.askOpenFile(OpenDialog(kBmpOpenTitle, kBmpOpenFilter));
    if (!path) return;
    StartLoad(g);
    const std::string base = LoadAllBase(*path);
    for (int id = 0; id < static_cast<int>(g.bitmaps.size()); ++id) {
        g.current = g.selected = id;
        const std::string name = NumberedName(base, id);
        // "&Save All" writes no file for a bitmap without a picture; its absence is no
        // reason to stop the set.
        if (WithoutPicture(g.bitmaps[static_cast<std::size_t>(id)]) && !FileExists(name)) continue;
        if (!LoadFile(ed, g, ui, files, name)) return;
    }
}

std::string SaveAllBase(const std::string& chosen, const char* suffix) {
    const std::size_t p = chosen.find(suffix);
    return p == std::string::npos ? chosen : chosen.substr(0, p);
}

std::string LoadAllBase(const std::string& chosen) {
    const std::size_t p = chosen.find(kBmpSuffix);
    if (p == std::string::npos) return chosen;
    // The three ID digits go with the extension.
    return chosen.substr(0, p >= 3 ? p - 3 : 0);
}

std::string NumberedName(const std::string& base, int id, const char* suffix) {
    return base + BitmapIdText(id) + suffix;
}

}  // namespace brivant
