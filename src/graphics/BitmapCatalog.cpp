#include "graphics/BitmapCatalog.h"

#include <algorithm>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "graphics/GraphicsState.h"
#include "image/Address.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"

namespace brivant {

namespace {
constexpr const char* kModel7110 = "7110";
constexpr const char* kModel6250 = "6250";

// An offset computed from the image's own values, checked before it reaches the buffer.
std::int32_t CheckedOffset(std::int64_t offset, const HexBuffer& m) {
    if (offset < 0 || offset >= m.Size()) throw UserError(HexBuffer::kInvalidSelStart);
    return static_cast<std::int32_t>(offset);
}

bool OneOf(const std::string& type, std::initializer_list<const char*> types) {
    return std::any_of(types.begin(), types.end(), [&](const char* t) { return type == t; });
}

// The walk of the main table and the extra records after the index table. Throws the
// buffer's range errors when anything lies outside the image.
void ReadCatalog(Session& ed, GraphicsState& g) {
    HexBuffer& m = ed.MainHex;
    // The index table is known to the firmware by its address, followed by the address
    // just past the main record table. Data the editor writes (a frame list 1, 2, 3, 4, 5
    // behind a zero word) can look like the table's start: a candidate that nothing points
    // at is not the table, and the search goes on behind it.
    std::int32_t s = -1;
    std::int32_t pointer = -1;
    bool wide = true;
    for (const char* signature : {kSignature16, kSignature8}) {
        wide = signature == kSignature16;
        std::int32_t from = 1;
        for (;;) {
            m.SetSelectionStart(from);
            FindOffSet1(ed, signature);
            const std::int32_t candidate = ed.FoundOffset;
            if (candidate < 1) break;
            m.SetSelectionStart(1);
            FindOffSet1(ed, IntToHex(ToPhoneAddress(candidate), 8));
            if (ed.FoundOffset >= 0) {
                s = candidate;
                pointer = ed.FoundOffset;
                break;
            }
            if (candidate + 1 >= m.Size()) break;
            from = candidate + 1;
        }
        if (s >= 1) break;
    }
    if (s < 1) throw UserError(kNoBitmapTable);
    const std::uint32_t v = GetBE32(m.ReadAt(pointer + 4, 4).data());

    std::int64_t t = ToImageOffset(v) - kRecordSize;
    if (ed.Is62xx() && ed.ModelName != kModel7110) t -= 1;
    std::vector<std::pair<Bytes, std::int32_t>> walked;
    for (;;) {
        t -= kRecordSize;
        const std::int32_t at = CheckedOffset(t, m);
        Bytes rec = m.ReadAt(at, kRecordSize);
        if (rec[0] == 0 && rec[1] == 0 && rec[2] == 0 && rec[3] == 0) break;
        walked.emplace_back(std::move(rec), at);
    }
    for (auto it = walked.rbegin(); it != walked.rend(); ++it)
        g.bitmaps.push_back({.record = it->first, .recordOffset = it->second});
    const auto n = static_cast<std::uint32_t>(walked.size());
    g.mainCount = static_cast<int>(n);

    // The extra records follow the index table, which runs up to the value N + 1 and is
    // padded to whole words.
    m.SetSelectionStart(s);
    FindOffSet1(ed, wide ? IntToHex((n + 1) & 0xFFFF, 4) : IntToHex((n + 1) & 0xFF, 2));
    if (ed.FoundOffset < 0) throw UserError(kNoBitmapTable);
    const std::int64_t e = ed.FoundOffset + (wide ? 1 : 0);
    const std::int64_t length = e - s + 1;
    std::int64_t at = e + 1 + (4 - length % 4) % 4 + kRecordSize;
    const std::vector<std::int32_t> steps = ExtraRecordSteps(ed);
    for (std::size_t i = 0; i <= steps.size(); ++i) {
        if (i > 0) at += steps[i - 1];
        const std::int32_t o = CheckedOffset(at, m);
        g.bitmaps.push_back({.record = m.ReadAt(o, kRecordSize), .recordOffset = o});
    }
}
}  // namespace

std::string BitmapIdText(int id) {
    return IntToHex(static_cast<std::uint32_t>(id), 3);
}

bool IsRunLengthForm(const Session& s, int mainCount, int id) {
    if (id < 0 || id >= mainCount) return false;
    const std::string& type = s.PhoneTypeText();
    return type == "3410" || type == "2100" || (s.Is62xx() && s.ModelName != kModel7110);
}

std::vector<std::int32_t> ExtraRecordSteps(const Session& s) {
    const std::string& type = s.PhoneTypeText();
    if (s.Is62xx()) {
        if (s.ModelName == kModel7110) return {24, 92, 20, 16, 16, 16, 16, 16};
        if (s.ModelName == kModel6250) return {24, 68, 16, 16, 16, 16, 16, 16};
        return {24, 64, 16, 16, 16, 16, 20, 12};
    }
    if (OneOf(type, {"3350", "3410", "3610", "2100"})) return {20, 40, 16, 16, 20};
    return {20, 64, 16, 12, 16, 16, 20, 12};
}

void GetGraphic(Session& ed, GraphicsState& g, Interaction& ui) {
    g.bitmaps.clear();
    g.mainCount = 0;
    g.built = true;
    g.selected = g.current = -1;
    g.shownWidth = g.shownHeight = 0;
    g.pixels.clear();
    try {
        ReadCatalog(ed, g);
    } catch (const UserError&) {
        // Half a catalog would number the bitmaps wrongly; none is better.
        g.bitmaps.clear();
        g.mainCount = 0;
        ui.error(kNoBitmapTable);
        return;
    }
    SelectBitmap(ed, g, 0);
}

Bytes ReadBitmapPixels(Session& ed, const GraphicsState& g, int id) {
    const BitmapEntry& e = g.bitmaps.at(static_cast<std::size_t>(id));
    HexBuffer& m = ed.MainHex;
    const std::int32_t count = PixelByteCount(e.Width(), e.Height());
    const std::int32_t a = CheckedOffset(ToImageOffset(e.Address()), m);
    if (!IsRunLengthForm(ed, g.mainCount, id)) return count > 0 ? m.CopyBytes(a, count) : Bytes{};
    Bytes out;
    std::int32_t p = a;
    do {
        const Bytes group = m.ReadAt(p, 3);
        ExpandGroup(group.data(), out);
        p += 3;
    } while (static_cast<std::int32_t>(out.size()) < count);
    return out;
}

void ShowBitmap(Session& ed, GraphicsState& g, int id) {
    if (ed.fileNameField.empty()) return;
    if (id < 0 || id >= static_cast<int>(g.bitmaps.size())) return;
    g.pixels.clear();
    // The selector always names the bitmap on show, which is the one the commands act on.
    g.selected = g.current = id;
    BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(id)];
    if (e.edited) {
        g.shownWidth = e.edited->width;
        g.shownHeight = e.edited->height;
        g.pixels = e.edited->pixels;
        return;
    }
    g.shownWidth = e.Width();
    g.shownHeight = e.Height();
    if (g.shownWidth == 0) return;
    Bytes pixels = ReadBitmapPixels(ed, g, id);
    g.pixels = pixels;
    e.kept = std::move(pixels);
}

void SelectBitmap(Session& ed, GraphicsState& g, int id) {
    if (id < 0 || id >= static_cast<int>(g.bitmaps.size())) return;
    g.selected = id;
    ShowBitmap(ed, g, id);
}

void OpenedGraphics(GraphicsState& g) {
    g.bitmaps.clear();
    g.mainCount = 0;
    g.built = false;
    g.selected = g.current = -1;
    g.shownWidth = g.shownHeight = 0;
    g.pixels.clear();
}

void GraphicsTabShown(Session& ed, GraphicsState& g, Interaction& ui) {
    if (!g.built) GetGraphic(ed, g, ui);
}

BitmapCanvas GraphicsState::Preview() const {
    if (pixels.empty()) return {};
    return RenderPixels(pixels, shownWidth, shownHeight);
}

BitmapEntry* GraphicsState::Current() {
    if (current < 0 || current >= static_cast<int>(bitmaps.size())) return nullptr;
    return &bitmaps[static_cast<std::size_t>(current)];
}

}  // namespace brivant
