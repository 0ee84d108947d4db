#include "graphics/AniCommands.h"

#include <algorithm>
#include <optional>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "graphics/AniCatalog.h"
#include "graphics/AniState.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/GraphicsState.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/Session.h"
#include "ppm/FreeSpace.h"

namespace brivant {

namespace {

std::int32_t ListOffset(const AniState& a) {
    return static_cast<std::int32_t>(
        ToImageOffset(a.catalog.at(static_cast<std::size_t>(a.current)).address));
}

bool Holds(const HexBuffer& m, std::int64_t at, const Bytes& bytes) {
    if (at < 0 || at + static_cast<std::int64_t>(bytes.size()) > m.Size()) return false;
    return std::equal(bytes.begin(), bytes.end(), m.Data().begin() + at);
}

// Overwrites only when the bytes differ: showing a frame rewrites its list unchanged.
void WriteIfChanged(HexBuffer& m, std::int32_t at, const Bytes& bytes) {
    if (bytes.empty() || Holds(m, at, bytes)) return;
    m.WriteAt(at, bytes);
}

// The free space at FreeOffset must be a run of FF bytes long enough for the list.
bool FreeRunHolds(Session& ed, const Bytes& list) {
    return ed.FreeOffset >= 0 && McuFits(ed, McuFootprint(list));
}

std::string Label(std::size_t k) {
    return IntToHex(static_cast<std::uint32_t>(k), 3);
}

// The writes of WriteAni carried out on a copy of the image and read back as the
// animation reader reads the tables: the new list whole where the pointer now points, the
// pointer and the length table as written, and every other animation's pointer and frame
// list as they were. What is wrong, or nothing.
std::optional<std::string> ReadBack(const Session& ed, const AniState& a, const Bytes& newList,
                                    const Bytes* pointer, const Bytes* table) {
    const Bytes& before = ed.MainHex.Data();
    Bytes image = before;
    const AniEntry& entry = a.catalog.at(static_cast<std::size_t>(a.current));
    const std::int64_t listAt = pointer ? ed.FreeOffset : ListOffset(a);
    auto fits = [&image](std::int64_t at, std::size_t n) {
        return at >= 0 &&
               at + static_cast<std::int64_t>(n) <= static_cast<std::int64_t>(image.size());
    };
    auto put = [&](std::int64_t at, const Bytes& b) {
        if (fits(at, b.size())) std::copy(b.begin(), b.end(), image.begin() + at);
    };
    auto reads = [&](const Bytes& in, std::int64_t at, const Bytes& b) {
        return fits(at, b.size()) && std::equal(b.begin(), b.end(), in.begin() + at);
    };
    put(listAt, newList);
    if (pointer) put(entry.slot, *pointer);
    if (table) put(a.lengthTableOffset, *table);

    if ((pointer && !reads(image, entry.slot, *pointer)) || !reads(image, listAt, newList) ||
        (table && !reads(image, a.lengthTableOffset, *table)))
        return std::string(kAniNotReadBack);
    for (std::size_t i = 0; i < a.catalog.size(); ++i) {
        if (static_cast<int>(i) == a.current) continue;
        const AniEntry& other = a.catalog[i];
        Bytes slot(4);
        PutBE32(slot.data(), other.address);
        if (other.slot >= 0 && reads(before, other.slot, slot) && !reads(image, other.slot, slot))
            return std::string(kAniWouldDamage);
        // Animations that share one list change together; that is how the image has them.
        const std::int64_t at = ToImageOffset(other.address);
        if (other.address == entry.address || !fits(at, other.lengthByte)) continue;
        const Bytes list(before.begin() + at, before.begin() + at + other.lengthByte);
        if (!reads(image, at, list)) return std::string(kAniWouldDamage);
    }
    return std::nullopt;
}

void StopOn(AniState& a, Interaction& ui, const std::string& text) {
    a.animate = false;
    ui.error(text);
}

}  // namespace

void ShowAnimation(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int id) {
    if (id < 0 || id >= static_cast<int>(a.catalog.size())) return;
    a.current = id;
    a.frames.clear();
    a.frame = -1;
    const int count = a.catalog[static_cast<std::size_t>(id)].lengthByte / 2;
    a.shownCount = count;
    if (count == 0) return;
    const Bytes list = ed.MainHex.ReadAt(ListOffset(a), count * 2);
    for (int k = 0; k < count; ++k)
        a.frames.push_back(
            {Label(static_cast<std::size_t>(k)), GetBE16(&list[static_cast<std::size_t>(2 * k)])});
    ShowFrame(ed, a, g, ui, 0);
}

bool ShowFrame(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int frame, bool write) {
    if (frame < 0 || frame >= static_cast<int>(a.frames.size())) return false;
    a.frame = frame;
    const std::uint16_t value = a.frames[static_cast<std::size_t>(frame)].value;
    const auto id = BitmapOfFrameValue(ed, value, static_cast<int>(g.bitmaps.size()));
    if (!id) {
        // Shown as no bitmap ("---"). Only playing stops on it: the other frames, and the
        // choice of a bitmap that repairs this one, stay open.
        a.frameBitmap = -1;
        if (a.animate) StopOn(a, ui, Format(kFrameWithoutBitmap, {IntToHex(value, 4)}));
        return false;
    }
    a.frameBitmap = *id;
    return FrameBitmapChosen(ed, a, g, ui, *id, write);
}

bool FrameBitmapChosen(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int id,
                       bool write) {
    const int count = static_cast<int>(g.bitmaps.size());
    if (id < 0 || id >= count) return false;
    const bool hasFrame = a.frame >= 0 && a.frame < static_cast<int>(a.frames.size());
    const auto value = FrameValueOfBitmap(ed, id, count);
    if (hasFrame && !value) {
        StopOn(a, ui, Format(kBitmapWithoutValue, {BitmapIdText(id)}));
        return false;
    }
    a.frameBitmap = id;
    ShowBitmap(ed, g, id);
    if (!hasFrame) return true;
    a.frames[static_cast<std::size_t>(a.frame)].value = *value;
    if (!write) return true;
    const Bytes list = FrameListBytes(a, false);
    const Bytes table = LengthTableBytes(a);
    return WriteAni(ed, a, ui, list, list, table, table);
}

bool WriteAni(Session& ed, AniState& a, Interaction& ui, const Bytes& oldList, const Bytes& newList,
              const Bytes& newTable, const Bytes& oldTable) {
    if (a.current < 0 || a.current >= static_cast<int>(a.catalog.size())) return false;
    AniEntry& entry = a.catalog[static_cast<std::size_t>(a.current)];
    HexBuffer& m = ed.MainHex;
    const bool moves = oldList.size() != newList.size();
    const bool tableChanges = newTable != oldTable;

    if (newList.empty()) {
        ui.error(kNoEmptyAni);
        return false;
    }
    Bytes pointer(4);
    if (moves) {
        // The length table is found behind the last list: moving that list would lose it.
        if (a.current + 1 == static_cast<int>(a.catalog.size())) {
            ui.error(kLastAniStays);
            return false;
        }
        if (!FreeRunHolds(ed, newList)) {
            ui.error(kNoMcuSpace);
            return false;
        }
        // The table is found again by its first pointer's range in some families.
        const std::uint32_t to = ToPhoneAddress(ed.FreeOffset);
        if (a.current == 0 && !IntToHex(to, 8).starts_with(FirstPointerPrefix(ed))) {
            ui.error(kFirstAniStays);
            return false;
        }
        PutBE32(pointer.data(), entry.address);
        if (!Holds(m, entry.slot, pointer)) {
            ui.error(kAniPointerMoved);
            return false;
        }
        PutBE32(pointer.data(), to);
    } else if (ListOffset(a) + static_cast<std::int64_t>(newList.size()) > m.Size()) {
        throw UserError(HexBuffer::kInvalidSelEnd);
    }
    if (tableChanges && !Holds(m, a.lengthTableOffset, oldTable)) {
        ui.error(kLengthTableMoved);
        return false;
    }

    // Playing rewrites the list unchanged at every frame: nothing to check then.
    const bool writes = moves || tableChanges || !Holds(m, ListOffset(a), newList);
    if (const auto why = writes ? ReadBack(ed, a, newList, moves ? &pointer : nullptr,
                                           tableChanges ? &newTable : nullptr)
                                : std::nullopt) {
        ui.error(*why);
        return false;
    }

    if (!moves) {
        WriteIfChanged(m, ListOffset(a), newList);
    } else {
        WriteAtFreeOffset(ed, newList);
        m.WriteAt(entry.slot, pointer);
        entry.address = GetBE32(pointer.data());
        GetFreespace(ed);
    }
    if (tableChanges) WriteIfChanged(m, a.lengthTableOffset, newTable);
    a.lengthTableText = BytesToHex(newTable);
    return true;
}

void FrameCountChanged(Session& ed, AniState& a, GraphicsState& g, Interaction& ui, int count) {
    if (!a.enabled || a.current < 0 || count == a.shownCount) return;
    if (count < 0 || count > kAniMaxFrames) return;
    const bool raise = count > a.shownCount;
    if (!raise && a.frames.size() <= 1) {
        ui.error(kNoEmptyAni);
        return;
    }
    if (raise && a.frames.empty()) {
        ui.error(kNoEmptyAni);
        return;
    }

    AniState next = a;
    if (raise)
        next.frames.push_back({Label(a.frames.size()), a.frames.back().value});
    else
        next.frames.pop_back();
    next.catalog[static_cast<std::size_t>(a.current)].lengthByte =
        static_cast<std::uint8_t>(2 * next.frames.size());
    const Bytes oldList = FrameListBytes(a, true);
    const Bytes newList = FrameListBytes(next, true);
    if (oldList.size() == newList.size() && !Holds(ed.MainHex, ListOffset(a), oldList)) {
        ui.error(kAniListMoved);
        return;
    }
    if (!WriteAni(ed, next, ui, oldList, newList, LengthTableBytes(next), LengthTableBytes(a)))
        return;

    next.shownCount = static_cast<int>(next.frames.size());
    a = std::move(next);
    // The new frame is shown without writing: the list is already written whole. After a
    // removal the last frame left is shown when the removed one was on show.
    if (raise)
        ShowFrame(ed, a, g, ui, static_cast<int>(a.frames.size()) - 1, false);
    else if (a.frame >= static_cast<int>(a.frames.size()))
        ShowFrame(ed, a, g, ui, static_cast<int>(a.frames.size()) - 1, false);
}

void SetAnimate(AniState& a, bool on) {
    a.animate = on && a.enabled && !a.frames.empty();
}

bool AnimateTick(Session& ed, AniState& a, GraphicsState& g, Interaction& ui) {
    if (!a.animate || a.frames.empty()) {
        a.animate = false;
        return false;
    }
    const int next = (a.frame + 1) % static_cast<int>(a.frames.size());
    return ShowFrame(ed, a, g, ui, next) && a.animate;
}

}  // namespace brivant
