#include "compare/RecipeMaker.h"

#include <algorithm>
#include <optional>

#include "app/Features.h"
#include "compare/ImageDiff.h"
#include "compare/ImageDiffParts.h"
#include "compare/ScratchFolder.h"
#include "core/FileIO.h"
#include "core/UserError.h"
#include "graphics/AniCatalog.h"
#include "graphics/BitmapCatalog.h"
#include "image/Address.h"
#include "image/PpmPieces.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"
#include "tones/ToptionFrm.h"

namespace brivant {

namespace {

using namespace diff;

// The alert tone kinds as the command line names them, in the drop-down's order.
constexpr const char* kAlertNames[kAlertKindCount] = {"standard",  "special",     "beep-once",
                                                      "ascending", "start-shut",  "alarm-clock",
                                                      "calendar",  "system-error"};

// Answers a save question with a scratch file, so the program's own export writes what a
// step will later read.
class ExportUi : public RecordingUi {
  public:
    explicit ExportUi(ScratchFolder& scratch) : scratch_(scratch) {}
    std::optional<std::string> askSaveFile(const FileDialog&) override {
        path = scratch_.NewPath("export");
        return path;
    }
    std::string path;

  private:
    ScratchFolder& scratch_;
};

struct Maker {
    Side& a;
    Side& b;
    ScratchFolder& scratch;
    Recipe& recipe;

    void Step(std::string command, std::vector<std::pair<std::string, JsonValue>> args) {
        recipe.steps.push_back({std::move(command), std::move(args)});
    }

    // What an export of one side writes; nothing when it wrote nothing or failed.
    std::optional<Bytes> Exported(const std::function<void(Interaction&)>& run) {
        ExportUi ui(scratch);
        try {
            run(ui);
        } catch (const std::exception&) {
            return std::nullopt;
        }
        if (!ui.lastError.empty() || ui.path.empty() || !FileExists(ui.path)) return std::nullopt;
        try {
            return ReadWholeFile(ui.path, HexBuffer::kCannotOpen);
        } catch (const UserError&) {
            return std::nullopt;
        }
    }
};

std::vector<std::optional<Bytes>> Tones(Maker& m, Side& s) {
    std::vector<std::optional<Bytes>> tones;
    for (std::size_t row = 0; row < s.ed.tones.ringtones.size(); ++row)
        tones.push_back(m.Exported([&](Interaction& ui) {
            RetrieveRingtone(s.ed, s.ed.tones, ui, static_cast<int>(row));
        }));
    return tones;
}

// The items of a and b that a longest common run keeps, in order.
template <typename T>
std::pair<std::vector<bool>, std::vector<bool>> Kept(const std::vector<T>& a,
                                                     const std::vector<T>& b) {
    const std::size_t n = a.size(), k = b.size();
    std::vector<std::vector<int>> len(n + 1, std::vector<int>(k + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = k; j-- > 0;)
            len[i][j] =
                a[i] == b[j] ? len[i + 1][j + 1] + 1 : std::max(len[i + 1][j], len[i][j + 1]);
    std::vector<bool> ka(n, false), kb(k, false);
    for (std::size_t i = 0, j = 0; i < n && j < k;) {
        if (a[i] == b[j])
            ka[i++] = kb[j++] = true;
        else if (len[i + 1][j] >= len[i][j + 1])
            ++i;
        else
            ++j;
    }
    return {ka, kb};
}

// Ringtones. Adds always append, so two ways are weighed: delete the rows B lacks and add
// B's new rows (when they all come last), or replace rows in place and add or delete at the
// end; the one with fewer steps is taken.
void MakeTones(Maker& m) {
    const auto ra = Tones(m, m.a);
    const auto rb = Tones(m, m.b);
    if (ra == rb) return;
    if (std::find(rb.begin(), rb.end(), std::nullopt) != rb.end()) {
        m.recipe.notExpressed.push_back("Ringtones: a ringtone of B cannot be exported");
        return;
    }
    const std::size_t na = ra.size(), nb = rb.size();
    const auto del = [](std::size_t row) {
        return RecipeStep{"tones delete", {{"row", JsonInteger(static_cast<long long>(row))}}};
    };
    const auto file = [&](std::size_t row) {
        return EmbeddedFile(*rb[row], "ringtone" + std::to_string(row) + ".re");
    };
    std::vector<RecipeStep> inPlace;
    for (std::size_t row = na; row-- > nb;) inPlace.push_back(del(row));
    for (std::size_t row = 0; row < nb; ++row) {
        if (row >= na)
            inPlace.push_back({"tones add", {{"in", file(row)}}});
        else if (ra[row] != rb[row])
            inPlace.push_back(
                {"tones change",
                 {{"row", JsonInteger(static_cast<long long>(row))}, {"in", file(row)}}});
    }
    const auto [keptA, keptB] = Kept(ra, rb);
    std::vector<RecipeStep> kept;
    bool newOnesLast = true;
    for (std::size_t j = 0; j < nb; ++j)
        for (std::size_t later = j + 1; later < nb && !keptB[j]; ++later)
            newOnesLast = newOnesLast && !keptB[later];
    for (std::size_t row = na; row-- > 0;)
        if (!keptA[row]) kept.push_back(del(row));
    for (std::size_t row = 0; row < nb; ++row)
        if (!keptB[row]) kept.push_back({"tones add", {{"in", file(row)}}});
    const auto& chosen = newOnesLast && kept.size() < inPlace.size() ? kept : inPlace;
    m.recipe.steps.insert(m.recipe.steps.end(), chosen.begin(), chosen.end());
}

std::optional<Bytes> Alert(Maker& m, Side& s, int kind) {
    return m.Exported([&](Interaction& ui) { AlertToneRetrieve(s.ed, ui, kind); });
}

// What the Options dialog chose for a stored alert tone (repeat count, rising volume), told
// by the prefix its sequence starts with; nothing for a kind whose prefix is fixed.
std::optional<std::pair<int, bool>> AlertOptions(Side& s, int kind) {
    if (AlertKinds().at(static_cast<std::size_t>(kind)).fixedPrefix) return std::nullopt;
    std::int64_t entry = -1;
    Attempt(s, [&] { entry = LocateAlertEntry(s.ed, kind); });
    const auto pointer = s.Read(entry, 4);
    if (entry < 0 || !pointer) return std::nullopt;
    const std::int64_t at = ToImageOffset(GetBE32(pointer->data()));
    for (const bool ascending : {false, true})
        for (int count = 1; count <= 20; ++count) {
            ToptionFrm options;
            options.count = std::to_string(count);
            options.ascending = ascending;
            if (options.PressOk()) continue;
            const Bytes prefix = HexToBytes(options.Prefix());
            if (s.Read(at, static_cast<std::int64_t>(prefix.size())) == prefix)
                return std::pair{count, ascending};
        }
    return std::nullopt;
}

// The address the kind's table entry holds; nothing when there is no entry.
std::optional<Bytes> AlertPointer(Side& s, int kind) {
    std::int64_t entry = -1;
    Attempt(s, [&] { entry = LocateAlertEntry(s.ed, kind); });
    return entry < 0 ? std::nullopt : s.Read(entry, 4);
}

void MakeAlerts(Maker& m) {
    if (!AlertTableFor(m.a.ed.PhoneType())) return;  // a family whose alerts are ringtone rows
    for (int kind = 0; kind < kAlertKindCount; ++kind) {
        const auto ta = Alert(m, m.a, kind);
        const auto tb = Alert(m, m.b, kind);
        // The same tone written again lies where the change put it: a step too.
        if (ta == tb && AlertPointer(m.a, kind) == AlertPointer(m.b, kind)) continue;
        if (!tb) {
            m.recipe.notExpressed.push_back(std::string("Alert tones: the ") + kAlertNames[kind] +
                                            " tone of B cannot be exported");
            continue;
        }
        std::vector<std::pair<std::string, JsonValue>> args = {
            {"kind", JsonText(kAlertNames[kind])},
            {"in", EmbeddedFile(*tb, std::string(kAlertNames[kind]) + ".re")}};
        // The tone file leaves out how often the tone repeats and how loud it starts.
        if (const auto options = AlertOptions(m.b, kind)) {
            args.emplace_back("repeat", JsonInteger(options->first));
            if (options->second) args.emplace_back("ascending", JsonTrue());
        }
        m.Step("alert change", std::move(args));
    }
}

// Free space moved between the MCU and PPM areas shows as the PPM area's new start.
void MakeSpace(Maker& m) {
    const auto sa = PpmStartOf(m.a);
    const auto sb = PpmStartOf(m.b);
    if (!sa || !sb || *sa == *sb) return;
    const bool toPpm = *sb < *sa;
    m.Step("space adjust", {{toPpm ? "ppm" : "mcu", JsonInteger(toPpm ? *sa - *sb : *sb - *sa)}});
}

// Languages and countries travel as their whole chunk.
void MakeChunk(Maker& m, Piece piece, const char* fileName) {
    if (!m.a.ed.ppm.split || !m.b.ed.ppm.split || m.a.ed.ppm[piece] == m.b.ed.ppm[piece]) return;
    const Feature* f = FeatureOfChunk(piece);
    const auto bytes =
        f ? m.Exported([&](Interaction& ui) { f->retrieveAll(m.b.ed, ui); }) : std::nullopt;
    if (!bytes) {
        m.recipe.notExpressed.push_back(std::string(PieceTag(piece)) +
                                        " chunk: it cannot be exported from B");
        return;
    }
    m.Step("chunk import",
           {{"tag", JsonText(PieceTag(piece))}, {"in", EmbeddedFile(*bytes, fileName)}});
}

// A bitmap file with one bit per pixel, bottom row first, rows padded to whole words;
// palette entry 0 black, 1 white.
Bytes MonochromeBmp(const BitmapCanvas& c) {
    const int w = c.width, h = c.height;
    const std::uint32_t stride = static_cast<std::uint32_t>((w + 31) / 32 * 4);
    const std::uint32_t pixels = stride * static_cast<std::uint32_t>(h);
    const std::uint32_t offset = 14 + 40 + 8;
    Bytes out;
    const auto le = [&out](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    out.push_back('B');
    out.push_back('M');
    le(offset + pixels, 4);
    le(0, 4);
    le(offset, 4);
    le(40, 4);
    le(static_cast<std::uint32_t>(w), 4);
    le(static_cast<std::uint32_t>(h), 4);
    le(1, 2);
    le(1, 2);
    le(0, 4);
    le(pixels, 4);
    le(2835, 4);
    le(2835, 4);
    le(2, 4);
    le(2, 4);
    le(0x00000000, 4);
    le(0x00FFFFFF, 4);
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < w; ++x) {
            const bool dark = c.dark[static_cast<std::size_t>(y * w + x)];
            if (!dark)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::optional<BitmapCanvas> Canvas(Side& s, int id) {
    const BitmapEntry& e = s.ed.graphics.bitmaps[static_cast<std::size_t>(id)];
    std::optional<BitmapCanvas> canvas;
    if (!Attempt(s, [&] {
             canvas =
                 RenderPixels(ReadBitmapPixels(s.ed, s.ed.graphics, id), e.Width(), e.Height());
         }).empty())
        return std::nullopt;
    return canvas;
}

bool CatalogRead(Side& s) {
    if (!s.catalogError)
        s.catalogError = Attempt(s, [&] { GraphicsTabShown(s.ed, s.ed.graphics, s.ui); });
    return s.catalogError->empty();
}

void MakeBitmaps(Maker& m) {
    if (!CatalogRead(m.a) || !CatalogRead(m.b)) return;
    const auto& ga = m.a.ed.graphics.bitmaps;
    const auto& gb = m.b.ed.graphics.bitmaps;
    for (std::size_t id = 0; id < ga.size() && id < gb.size(); ++id) {
        const int i = static_cast<int>(id);
        const bool resized = ga[id].Width() != gb[id].Width() || ga[id].Height() != gb[id].Height();
        const auto cb = Canvas(m.b, i);
        if (!cb) continue;
        // An import takes the file's size: a resized bitmap is written anew.
        const auto ca = resized ? std::nullopt : Canvas(m.a, i);
        if (ca && ca->dark == cb->dark) continue;
        m.Step("bmp import", {{"id", JsonText(BitmapIdText(i))},
                              {"in", EmbeddedFile(MonochromeBmp(*cb), BitmapIdText(i) + ".bmp")}});
    }
}

std::vector<std::optional<int>> Frames(const Side& s, const AniEntry& e) {
    const Bytes list = s.Read(ToImageOffset(e.address), e.lengthByte).value_or(Bytes{});
    const int count = static_cast<int>(s.ed.graphics.bitmaps.size());
    std::vector<std::optional<int>> frames;
    for (std::size_t k = 0; k + 1 < list.size(); k += 2)
        frames.push_back(BitmapOfFrameValue(s.ed, GetBE16(&list[k]), count));
    return frames;
}

bool AniRead(Side& s) {
    return CatalogRead(s) &&
           Attempt(s, [&] { GetAni(s.ed, s.ed.ani, s.ed.graphics, s.ui); }).empty();
}

void MakeAnimations(Maker& m) {
    if (!AniRead(m.a) || !AniRead(m.b)) return;
    const auto& ca = m.a.ed.ani.catalog;
    const auto& cb = m.b.ed.ani.catalog;
    for (std::size_t i = 0; i < ca.size() && i < cb.size(); ++i) {
        std::vector<std::optional<int>> fa = Frames(m.a, ca[i]);
        const std::vector<std::optional<int>> fb = Frames(m.b, cb[i]);
        if (fa == fb || fb.empty() || fa.empty()) continue;
        const std::string ani = BitmapIdText(static_cast<int>(i));
        if (fa.size() != fb.size()) {
            m.Step("ani set-length", {{"ani", JsonText(ani)},
                                      {"count", JsonInteger(static_cast<long long>(fb.size()))}});
            // A longer list repeats the last frame; a shorter one drops frames at the end.
            fa.resize(fb.size(), fa.back());
        }
        for (std::size_t k = 0; k < fb.size(); ++k) {
            if (fa[k] == fb[k]) continue;
            if (!fb[k]) {
                m.recipe.notExpressed.push_back("Animations: frame " + std::to_string(k) +
                                                " of Ani ID " + ani + " names no bitmap in B");
                continue;
            }
            m.Step("ani set-frame", {{"ani", JsonText(ani)},
                                     {"frame", JsonInteger(static_cast<long long>(k))},
                                     {"bmpid", JsonText(BitmapIdText(*fb[k]))}});
        }
    }
}

// Sections whose every entry a step above says (or that follow from the steps).
bool Expressed(const std::string& key, const DiffEntry& e) {
    if (key == "ringtones" || key == "alerts" || key == "languages" || key == "operators")
        return true;
    if (key == "bitmaps")
        return e.change == "pixels changed" || e.change == "moved" || e.change == "changed" ||
               e.change == "resized";
    if (key == "animations") return e.change == "frames changed" || e.change == "moved";
    if (key == "patches")
        return e.change == "installed" || e.change == "redirected" || e.change == "patched";
    if (key == "chunks")
        return e.item.rfind("TONE", 0) == 0 || e.item.rfind("TEXT", 0) == 0 ||
               e.item.rfind("PLMN", 0) == 0 || e.item.rfind("PPM data", 0) == 0 ||
               e.change == "moved";
    // What the save repairs, and where the edits placed their bytes. No command changes
    // the phone type, the model or the size.
    return key == "checksums" || key == "freeSpace";
}

// A run of bytes no subsystem explains is still said by the steps when it lies in A's MCU
// free space (where edits place what they write) or is an alert tone's table entry.
bool PlacedBySteps(const Maker& m, const ByteRun& r) {
    if (m.recipe.steps.empty()) return false;
    const Editor& a = m.a.ed;
    const std::int64_t end = r.offset + r.length;
    std::int64_t freeBytes = 0;
    try {
        freeBytes = a.mcuFreeField.empty() ? 0 : StrToInt(a.mcuFreeField);
    } catch (const UserError&) {
    }
    if (a.FreeOffset >= 0 && r.offset >= a.FreeOffset && end <= a.FreeOffset + freeBytes)
        return true;
    for (int kind = 0; kind < kAlertKindCount; ++kind) {
        std::int64_t at = -1;
        Attempt(m.a, [&] { at = LocateAlertEntry(m.a.ed, kind); });
        if (at >= 0 && r.offset < at + 12 && end > at) return true;
    }
    return false;
}

}  // namespace

Recipe MakeRecipe(const std::string& pathA, const std::string& pathB, int phoneType) {
    Editor ea, eb;
    Side a(ea), b(eb);
    OpenSide(a, pathA, phoneType);
    OpenSide(b, pathB, phoneType);
    ScratchFolder scratch;
    Recipe recipe;
    if (eb.PhoneType() != 0) recipe.phoneType = eb.PhoneTypeText();
    Maker m{a, b, scratch, recipe};
    // First: the steps after it place their bytes in the areas as B divides them.
    MakeSpace(m);
    if (ea.ppm.split && eb.ppm.split) {
        Attempt(a, [&] { ShowRingtones(ea, ea.tones, a.ui); });
        Attempt(b, [&] { ShowRingtones(eb, eb.tones, b.ui); });
        MakeTones(m);
        MakeChunk(m, Piece::TEXT, "languages.bin");
        MakeChunk(m, Piece::PLMN, "countries.bin");
    }
    MakeAlerts(m);
    const bool menus = MakeMenus(a, b, recipe);
    MakeBitmaps(m);
    MakeAnimations(m);
    MakePatches(a, b, recipe);

    const ImageDiff d = DiffImageFiles(pathA, pathB, phoneType);
    for (const DiffSection& s : d.sections) {
        if (s.key == kUnexplainedKey) continue;
        if (s.unreadableA != s.unreadableB)
            recipe.notExpressed.push_back(s.title + ": not read the same way in A and B");
        for (const DiffEntry& e : s.entries)
            if (!Expressed(s.key, e) && !(menus && s.key == "menu"))
                recipe.notExpressed.push_back(s.title + ": " + e.change + " " + e.item);
    }
    for (const ByteRun& r : d.unexplained)
        if (!PlacedBySteps(m, r))
            recipe.notExpressed.push_back("Other bytes: " + OffsetText(r.offset) + ", " +
                                          std::to_string(r.length) + " bytes");
    return recipe;
}

}  // namespace brivant
