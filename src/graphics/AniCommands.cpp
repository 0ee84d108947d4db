#include "graphics/AniCommands.h"

#include <algorithm>

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
bool FreeRunHolds(Session& ed, std::size_t length) {
    const std::int32_t o = ed.FreeOffset;
    if (o < 0 || !McuFits(ed, static_cast<std::int64_t>(length))) return false;
    const Bytes& image = ed.MainHex.Data();
    if (std::int64_t{o} + static_cast<std::int64_t>(length) > ed.MainHex.Size()) return false;
    return std::all_of(image.begin() + o, image.begin() + o + static_cast<std::int64_t>(length),
                       [](std::uint8_t b) { return b == 0xFF; });
}

std::string Label(std::size_t k) {
    return IntToHex(static_cast<std::uint32_t>(k), 3);
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
        StopOn(a, ui, Format(kFrameWithoutBitmap, {IntToHex(value, 4)}));
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
        if (!FreeRunHolds(ed, newList.size())) {
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
