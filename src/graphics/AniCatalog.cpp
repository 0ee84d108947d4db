#include "graphics/AniCatalog.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/Interaction.h"
#include "graphics/AniCommands.h"
#include "graphics/AniState.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/BitmapFormat.h"
#include "graphics/GraphicsState.h"
#include "image/Address.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"

namespace brivant {

namespace {

bool IsOneOf(const std::string& type, std::initializer_list<const char*> types) {
    return std::any_of(types.begin(), types.end(), [&](const char* t) { return type == t; });
}

bool PointsIntoImage(const Session& s, std::uint32_t value) {
    return value > kPhoneBase && std::int64_t{value} < std::int64_t{kPhoneBase} + s.MainHex.Size();
}

bool IsFillerWord(std::uint8_t first, std::uint8_t second) {
    return first < 0x10 || (first == 0x46 && second == 0xC0) || first == 0xC0;
}

// A table read at q fits behind the last frame list: every animation has whole frames, and
// the last one's list, with at most the two filler bytes 46 C0, ends right at q.
bool FitsBehindList(const Bytes& image, std::int64_t q, std::int32_t lastList, std::size_t n) {
    if (q < 0 || q + static_cast<std::int64_t>(n) > static_cast<std::int64_t>(image.size()))
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = image[static_cast<std::size_t>(q) + i];
        if (b == 0 || b % 2) return false;
    }
    const std::int64_t end = std::int64_t{lastList} + image[static_cast<std::size_t>(q) + n - 1];
    if (q == end) return true;
    return q == end + 2 && image[static_cast<std::size_t>(end)] == 0x46 &&
           image[static_cast<std::size_t>(end) + 1] == 0xC0;
}

}  // namespace

bool HasAnimations(const Session& s) {
    const std::string& type = s.PhoneTypeText();
    if (s.PhoneType() == 0 || type == "51XX" || type == k62xx) return false;
    return type != "61XX" || s.UnitModelHex.find(kAniVersion61xxHex) != std::string::npos;
}

bool HasSecondAniMark(const Session& s) {
    return IsOneOf(s.PhoneTypeText(), {"2100", "3350", "3610", "5210", "8210", "8850"});
}

std::string FirstPointerPrefix(const Session& s) {
    static const std::array<std::pair<const char*, const char*>, 10> prefixes = {{
        {"3330", "0042"},
        {"3350", "0044"},
        {"8855", "0044"},
        {"3410", "004B"},
        {"3610", "0047"},
        {"5510", "0043"},
        {"8250", "0033"},
        {"8890", "0033"},
        {"5210", "004"},
        {"3390", "003"},
    }};
    for (const auto& [type, prefix] : prefixes)
        if (s.PhoneTypeText() == type) return prefix;
    return {};
}

int FrameValueOffset(const Session& s) {
    const std::string& type = s.PhoneTypeText();
    if (IsOneOf(type, {"5210", "8210", "8250", "8850", "8855", "8890"})) return 1;
    if (IsOneOf(type, {"2100", "3210", "3350", "3410", "3610"})) return -1;
    return 0;
}

std::optional<int> BitmapOfFrameValue(const Session& s, std::uint16_t value, int bitmapCount) {
    const int id = value + FrameValueOffset(s);
    if (id < 0 || id >= bitmapCount) return std::nullopt;
    return id;
}

std::optional<std::uint16_t> FrameValueOfBitmap(const Session& s, int id, int bitmapCount) {
    if (id < 0 || id >= bitmapCount) return std::nullopt;
    const int offset = FrameValueOffset(s);
    if (offset > 0 && id == 0) return std::nullopt;
    if (offset < 0 && id == bitmapCount - 1) return std::nullopt;
    const int value = id - offset;
    if (value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::int32_t FindLengthTable(const Bytes& image, std::int32_t lastList, std::size_t count) {
    const auto size = static_cast<std::int64_t>(image.size());
    if (count == 0) return -1;
    std::int64_t p = std::int64_t{lastList} - 4;
    while (p < 0) p += 2;
    std::int64_t hit = p;
    while (hit + 1 < size && IsFillerWord(image[static_cast<std::size_t>(hit)],
                                          image[static_cast<std::size_t>(hit) + 1]))
        hit += 2;
    if (hit + static_cast<std::int64_t>(count) > size) return -1;
    // Words passed over lie before the hit; the last one that fits behind the list wins.
    for (std::int64_t q = hit; q >= p; q -= 2)
        if (FitsBehindList(image, q, lastList, count)) return static_cast<std::int32_t>(q);
    return static_cast<std::int32_t>(hit);
}

Bytes FrameListBytes(const AniState& a, bool pad) {
    Bytes out;
    out.reserve(a.frames.size() * 2 + 2);
    for (const AniFrame& f : a.frames) {
        out.push_back(static_cast<std::uint8_t>(f.value >> 8));
        out.push_back(static_cast<std::uint8_t>(f.value));
    }
    if (pad) PadWithFillers(out);
    return out;
}

Bytes LengthTableBytes(const AniState& a) {
    Bytes out;
    out.reserve(a.catalog.size());
    for (const AniEntry& e : a.catalog) out.push_back(e.lengthByte);
    return out;
}

void GetAni(Session& ed, AniState& a, GraphicsState& g, Interaction& ui) {
    if (!a.catalog.empty()) return;
    a.enabled = false;
    if (!HasAnimations(ed) || ed.MainHex.Size() < 2 || a.tried) return;
    a.tried = true;

    HexBuffer& m = ed.MainHex;
    m.SetSelectionStart(1);
    FindOffSet1(ed, kAniMarkHex);
    if (ed.FoundOffset < 1) return;
    // The second search starts on the last byte of the mark.
    if (HasSecondAniMark(ed)) FindOffSet1(ed, kAniSecondMarkHex);
    if (ed.FoundOffset < 1) {
        ui.info(kNoAniTable);
        return;
    }

    // The pointer table: the first two pointers into the image in a row, the first one of
    // the family's range.
    const Bytes& image = m.Data();
    const std::int64_t size = m.Size();
    const std::string prefix = FirstPointerPrefix(ed);
    std::int64_t at = std::int64_t{ed.FoundOffset} + 20;
    for (; at + 8 <= size; at += 4) {
        const std::uint32_t first = GetBE32(&image[static_cast<std::size_t>(at)]);
        const std::uint32_t second = GetBE32(&image[static_cast<std::size_t>(at) + 4]);
        if (PointsIntoImage(ed, first) && PointsIntoImage(ed, second) &&
            IntToHex(first, 8).starts_with(prefix))
            break;
    }
    if (at + 8 > size) {
        ui.info(kNoAniTable);
        return;
    }
    std::vector<AniEntry> catalog;
    for (; at + 4 <= size; at += 4) {
        const std::uint32_t value = GetBE32(&image[static_cast<std::size_t>(at)]);
        if (!PointsIntoImage(ed, value)) break;
        catalog.push_back({value, 0, static_cast<std::int32_t>(at)});
    }

    const auto lastList = static_cast<std::int32_t>(ToImageOffset(catalog.back().address));
    const std::int32_t table = FindLengthTable(image, lastList, catalog.size());
    if (table < 0) {
        ui.info(kNoLengthTable);
        return;
    }
    for (std::size_t i = 0; i < catalog.size(); ++i)
        catalog[i].lengthByte = image[static_cast<std::size_t>(table) + i];

    a.catalog = std::move(catalog);
    a.lengthTableOffset = table;
    a.lengthTableText = BytesToHex(LengthTableBytes(a));
    a.enabled = true;
    a.bitmapIds.clear();
    for (std::size_t id = 0; id < g.bitmaps.size(); ++id)
        a.bitmapIds.push_back(BitmapIdText(static_cast<int>(id)));
    ShowAnimation(ed, a, g, ui, 0);
}

void OpenedAni(AniState& a) {
    a = AniState{};
}

void AniTypeChosen(AniState& a) {
    if (a.catalog.empty()) a.tried = false;
}

}  // namespace brivant
