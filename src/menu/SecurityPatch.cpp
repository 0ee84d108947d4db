#include "menu/SecurityPatch.h"

#include <algorithm>
#include <set>
#include <vector>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "menu/MenuRecord.h"
#include "menu/SecurityPatterns.h"
#include "menu/SecurityState.h"

namespace brivant {

namespace {
constexpr std::uint16_t kSubmenuId = 0x0387;
constexpr std::uint16_t kFunctionId = 0x05E0;
constexpr std::size_t kFuncIdAt = 6;                    // within a function block
constexpr const char* kHeaderTextPointer = "00200000";  // a level's header record: no row

// The block at `at`, whole: a block that would reach outside the image is the buffer's
// range error, raised before anything is written.
Bytes BlockAt(Session& ed, std::int32_t at, std::int32_t size) {
    if (at < 0 || at >= ed.MainHex.Size()) throw UserError(HexBuffer::kInvalidSelStart);
    if (at + size > ed.MainHex.Size()) throw UserError(HexBuffer::kInvalidSelEnd);
    return ed.MainHex.CopyBytes(at, size);
}

bool Overlap(std::int32_t a, std::int32_t n, std::int32_t b, std::int32_t m) {
    return a < b + m && b < a + n;
}

void SwapFuncId(Bytes& block, std::uint16_t from, std::uint16_t to) {
    if (GetBE16(&block[kFuncIdAt]) == from) PutBE16(&block[kFuncIdAt], to);
}

// Where every item of every menu level reachable from the root starts: the records that
// get a row (not hidden, not a level's header). Each level is read once, so a submenu that
// opens one of its parents ends the walk there.
std::vector<std::int64_t> MenuRecordStarts(Session& ed) {
    std::vector<std::int64_t> starts;
    const Bytes& image = ed.MainHex.Data();
    const auto size = static_cast<std::int64_t>(image.size());
    ed.MainHex.SetSelectionStart(1);
    FindOffSet1(ed, kRootKindHex);
    if (ed.FoundOffset < 0) return starts;
    const std::int64_t recordSize = MenuRecordSize(ed.PhoneType());
    std::set<std::int64_t> seen;
    std::vector<std::int64_t> levels{std::int64_t{ed.FoundOffset} - 5};
    while (!levels.empty()) {
        const std::int64_t d = levels.back();
        levels.pop_back();
        if (!SubMenuInImage(d, size) || !seen.insert(d).second) continue;
        const std::int64_t items = ToImageOffset(GetBE32(&image[static_cast<std::size_t>(d)]));
        const int count = image[static_cast<std::size_t>(d + 4)];
        for (int i = 0; i <= count; ++i) {
            const std::int64_t r = items + i * recordSize;
            if (r < 0 || r + recordSize > size) break;
            const std::string record = BytesToHex(&image[static_cast<std::size_t>(r)],
                                                  static_cast<std::size_t>(recordSize));
            if (IsSubMenuRecord(record)) levels.push_back(ToImageOffset(FuncPointerValue(record)));
            if (!IsHiddenRecord(record) && TextPointerOf(record) != kHeaderTextPointer)
                starts.push_back(r);
        }
    }
    return starts;
}

// The manual method's item: of the records of the menu levels whose Func Pointer block
// starts with the field's bytes, the one that lies last in the image (as the family's
// patterns take the last hit). -1 when the bytes occur nowhere, -2 when they occur but
// at no record: a hit anywhere else would rewrite bytes that are no menu item.
std::int32_t ManualItem(Session& ed, std::string_view field) {
    if (LastOccurrence(ed, field) < 0) return -1;
    const Bytes pattern = ed.searchPattern;
    const Bytes& image = ed.MainHex.Data();
    const std::int64_t back = MenuRecordSize(ed.PhoneType()) - 16;  // the field's first byte
    std::int64_t best = -2;
    for (const std::int64_t r : MenuRecordStarts(ed)) {
        const std::int64_t at = r + back;
        if (at <= best || at + static_cast<std::int64_t>(pattern.size()) >
                              static_cast<std::int64_t>(image.size()))
            continue;
        if (std::equal(pattern.begin(), pattern.end(), image.begin() + at)) best = at;
    }
    return static_cast<std::int32_t>(best);
}
}  // namespace

std::int32_t LastOccurrence(Session& ed, std::string_view pattern) {
    if (ed.MainHex.Size() < 2) return -1;
    std::int32_t last = -1;
    std::int32_t from = 1;
    for (;;) {
        ed.MainHex.SetSelectionStart(from);
        FindOffSet1(ed, pattern);
        if (ed.FoundOffset < 0) break;
        last = ed.FoundOffset;
        const auto n = static_cast<std::int32_t>(ed.searchPattern.size());
        from = std::max(last + n - 1, last + 1);
        if (from >= ed.MainHex.Size()) break;
    }
    ed.FoundOffset = last;
    return last;
}

SecurityPatch RewriteSecurityBlocks(const Bytes& g, const Bytes& s, const Bytes& r) {
    SecurityPatch p;
    p.guarded.before = g;
    p.security.before = s;
    p.redirect.before = r;

    Bytes g2 = g;
    std::copy_n(s.begin(), 4, g2.begin());
    SwapFuncId(g2, kSubmenuId, kFunctionId);

    Bytes s2 = s;
    std::copy_n(r.begin(), 4, s2.begin());
    SwapFuncId(s2, kFunctionId, kSubmenuId);

    Bytes r2(g.begin(), g.begin() + 4);
    const bool submenu = GetBE16(&g[kFuncIdAt]) == kSubmenuId;
    const Bytes tail = HexToBytes(submenu ? kRedirectPattern : kRedirectTo05E0);
    r2.insert(r2.end(), tail.begin(), tail.end());

    p.guarded.after = std::move(g2);
    p.security.after = std::move(s2);
    p.redirect.after = std::move(r2);
    return p;
}

namespace {
// The patch on the guarded item's block at `a` - `back` and the security item's at `b`.
std::optional<SecurityPatch> PatchBlocks(Session& ed, Interaction& ui, std::int32_t a,
                                         std::int32_t b, int back, std::string_view redirect) {
    const Bytes g = BlockAt(ed, a - back, kFunctionBlockSize);
    const Bytes s = BlockAt(ed, b, kFunctionBlockSize);

    ed.MainHex.SetSelectionStart(1);
    FindOffSet1(ed, redirect);
    const std::int32_t c = ed.FoundOffset;
    if (c < 0) {
        ui.error(kNoRedirectBlock);
        return std::nullopt;
    }
    const Bytes r = BlockAt(ed, c - 4, kRedirectBlockSize);

    // One block written over another would undo part of the patch while it still reported
    // success: the same item picked twice, say.
    if (Overlap(a - back, kFunctionBlockSize, b, kFunctionBlockSize) ||
        Overlap(a - back, kFunctionBlockSize, c - 4, kRedirectBlockSize) ||
        Overlap(b, kFunctionBlockSize, c - 4, kRedirectBlockSize)) {
        ui.error(kSecurityBlocksOverlap);
        return std::nullopt;
    }

    SecurityPatch p = RewriteSecurityBlocks(g, s, r);
    p.guarded.offset = a - back;
    p.security.offset = b;
    p.redirect.offset = c - 4;
    // Each block goes back where it was found; searching for the old bytes again could hit
    // an earlier copy of them instead.
    for (const PatchedBlock* block : {&p.guarded, &p.security, &p.redirect})
        ed.MainHex.WriteAt(block->offset, block->after);
    ui.info(kSecurityPatched);
    return p;
}

// Both items of the manual method, each the Func Pointer block of a menu record.
std::optional<SecurityPatch> ManualPatch(Session& ed, Interaction& ui, const SecurityState& sec) {
    const std::int32_t a = ManualItem(ed, sec.securityOffset1);
    const std::int32_t b = a < 0 ? a : ManualItem(ed, sec.securityOffset2);
    if (a == -1 || b == -1) {
        ui.error(kNoSecurityOffsets);
        return std::nullopt;
    }
    if (a < 0 || b < 0) {
        ui.error(Format(kManualNoRecord, {a < 0 ? "first" : "second"}));
        return std::nullopt;
    }
    return PatchBlocks(ed, ui, a, b, 0, kRedirectPattern);
}
}  // namespace

std::optional<SecurityPatch> GetMenuOffset(Session& ed, Interaction& ui, std::string_view guarded,
                                           std::string_view security, int back,
                                           std::string_view redirect) {
    const std::int32_t a = LastOccurrence(ed, guarded);
    if (a < 0) {
        ui.error(kNoSecurityOffsets);
        return std::nullopt;
    }
    BlockAt(ed, a - back, kFunctionBlockSize);
    const std::int32_t b = LastOccurrence(ed, security);
    if (b < 0) {
        ui.error(kNoSecurityOffsets);
        return std::nullopt;
    }
    return PatchBlocks(ed, ui, a, b, back, redirect);
}

std::optional<SecurityPatch> PatchSecurityCode(Session& ed, SecurityState& sec, Interaction& ui) {
    if (ed.PhoneType() == 0) {
        ui.error(kChooseModel);
        return std::nullopt;
    }
    sec.patchEnabled = false;
    // Its menu records have another layout: neither the table nor picked items fit it.
    if (ed.Is62xx()) {
        ui.error(kSecurityUnsupported);
        return std::nullopt;
    }
    if (sec.securityOption == kManual) {
        // Pointing the user at the method already chosen would help nobody.
        if (sec.securityOffset1.empty() || sec.securityOffset2.empty()) {
            ui.error(kManualFieldsEmpty);
            return std::nullopt;
        }
        return ManualPatch(ed, ui, sec);
    }

    const SecurityVariant* v = FindSecurityVariant(ed.PhoneType(), ed.UnitModelHex);
    const auto patterns = v ? PatternsFor(*v, sec.securityOption) : std::nullopt;
    if (!patterns) {
        // A firmware none of the rows knows: only the manual method can find its items.
        ui.error(kNoSecurityOffsets);
        return std::nullopt;
    }
    return GetMenuOffset(ed, ui, patterns->guarded, patterns->security, patterns->back,
                         kRedirectPattern);
}

}  // namespace brivant
