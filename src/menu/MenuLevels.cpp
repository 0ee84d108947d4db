#include "menu/MenuLevels.h"

#include <iterator>
#include <limits>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "menu/MenuRecord.h"
#include "menu/MenuTab.h"
#include "texts/Languages.h"
#include "texts/TextState.h"

namespace brivant {

namespace {
// n bytes at an image offset that came from a pointer; the buffer's range errors when they
// are not all in the image.
Bytes ReadImage(Session& ed, std::int64_t at, std::int32_t n) {
    if (at < 0 || at > std::numeric_limits<std::int32_t>::max())
        throw UserError(HexBuffer::kInvalidSelStart);
    return ed.MainHex.ReadAt(static_cast<std::int32_t>(at), n);
}

// An inline text from q + 2 up to and including the first byte of the first 00 00 pair,
// zero bytes dropped; no pair at all gives the empty name.
std::string InlineName(Session& ed, std::int32_t from) {
    static constexpr std::uint8_t kPair[2] = {0, 0};
    const HexBuffer& b = ed.MainHex;
    const std::int32_t end = b.Search(kPair, 2, from, b.Size() - 1, false);
    if (end < 0) return {};
    std::string name;
    for (std::uint8_t c : b.CopyBytes(from, end - from + 1))
        if (c != 0) name.push_back(static_cast<char>(c));
    return name;
}

}  // namespace

MenuListing ReadMenuLevel(Session& ed, const MenuLevel& level,
                          const std::vector<std::string>& texts, std::int32_t commTextCount) {
    MenuListing out;
    const int size = MenuRecordSize(ed.PhoneType());
    std::int64_t o = ToImageOffset(ItemsPointerOf(level.descriptor));
    const int count = ItemCountOf(level.descriptor);
    if (o < 0 || o + std::int64_t{count + 1} * size > ed.MainHex.Size())
        throw UserError(Format(
            kMenuItemsOutside,
            {std::to_string(level.offset), level.descriptor.substr(0, 8), std::to_string(count)}));
    for (int i = 0; i <= count; ++i, o += size)
        out.records.push_back(BytesToHex(ReadImage(ed, o, size)));

    for (std::size_t r = 0; r < out.records.size(); ++r) {
        const std::string& record = out.records[r];
        if (IsHiddenRecord(record)) continue;
        const std::int64_t q =
            ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(TextPointerOf(record))));
        std::string name;
        if (q == 0) continue;
        if (q < 0) {
            name = kSimCardMenu;
        } else if (!TextPointerInImage(q, ed.MainHex.Size())) {
            // Shown, so that the record can be edited back.
            name = kBadMenuText;
        } else {
            const Bytes ref = ReadImage(ed, q + 1, 2);
            if (ref[0] == 0xFF) {
                name = InlineName(ed, static_cast<std::int32_t>(q + 2));
            } else {
                const std::int32_t id = GetBE16(ref.data());
                const std::int64_t i = std::int64_t{id} - commTextCount;
                if (i < 1) {
                    name = kNetMonitor;
                } else if (i >= static_cast<std::int64_t>(texts.size())) {
                    // The chosen language has fewer texts than the ID asks for.
                    throw UserError(
                        Format(kTextIdBeyond, {IntToHex(static_cast<std::uint32_t>(id), 4)}));
                } else {
                    name = texts[static_cast<std::size_t>(i)];
                }
            }
        }
        out.rows.push_back(
            {name, TextPointerOf(record), FuncPointerOf(record), record, static_cast<int>(r)});
    }
    return out;
}

std::vector<std::string> MenuLanguageTexts(Session& ed, const TextState& texts, int k) {
    if (k < 0 || k >= static_cast<int>(texts.languageKeys.size()))
        throw UserError(HexBuffer::kInvalidSelStart);
    // The language's texts read directly: an image whose COMM chunk holds no texts leaves
    // CommTextCount at 0, and the count must not be taken from this language instead.
    const std::string& key = texts.languageKeys[static_cast<std::size_t>(k)];
    return ReadLanguageTexts(ed, key.substr(0, 8), key.substr(8, 8)).texts;
}

namespace {

void UpdateBack(MenuView& v) {
    v.backEnabled = !v.stack.AtRoot();
}

// What a step into or out of a submenu changes on the stack: the levels it drops (only
// those below the one shown, none on a plain walk down) and the position. Kept instead of
// a copy of the whole stack, so that a step costs the same however deep the walk is.
struct StackStep {
    std::vector<MenuLevel> dropped;
    int current;
    bool backEnabled;
};

// Cuts the stack after level `keep` and remembers what went.
StackStep CutStack(MenuView& v, int keep) {
    StackStep step{{}, v.stack.current, v.backEnabled};
    auto& levels = v.stack.levels;
    const auto cut = levels.begin() + keep + 1;
    step.dropped.assign(std::make_move_iterator(cut), std::make_move_iterator(levels.end()));
    levels.erase(cut, levels.end());
    return step;
}

// Runs a listing after a change of the stack; when the listing fails the stack goes back
// to what it was, so the rows shown and the level they belong to never part.
void ListOrRestore(Session& ed, MenuState& m, TextState& texts, Interaction& ui, std::size_t kept,
                   StackStep& before) {
    try {
        ListMenuLevel(ed, m, texts, ui);
    } catch (...) {
        MenuView& v = m.InUse();
        v.stack.levels.resize(kept);
        for (MenuLevel& l : before.dropped) v.stack.levels.push_back(std::move(l));
        v.stack.current = before.current;
        v.backEnabled = before.backEnabled;
        throw;
    }
}
}  // namespace

void OpenedMenu(MenuState& m) {
    m.tab = {};
    m.browser = {};
    m.menuCount = std::string(kMenuCountLabel) + "0";
    m.language = 0;
    m.browserLanguage = 0;
    m.BrowseMode = false;
}

void GetRootOffset(Session& ed, MenuState& m) {
    ed.MainHex.SetSelectionStart(1);
    FindOffSet1(ed, kRootKindHex);
    const std::int32_t at = ed.FoundOffset - 5;
    const MenuLevel root{BytesToHex(ReadImage(ed, at, kDescriptorSize)), at};

    // The browser walks its own stack; the Menu tab's level and rows stay as they are, so
    // that its commands keep acting on the level they show.
    MenuView& v = m.BrowseMode ? m.browser : m.tab;
    if (m.BrowseMode) v.stack.Clear();
    if (v.stack.levels.empty()) v.stack.levels.push_back(root);
    v.stack.current = 0;
    v.stack.levels.resize(1);
    v.backEnabled = false;
}

void ListMenuLevel(Session& ed, MenuState& m, TextState& texts, Interaction& ui) {
    const int k = m.language;
    if (k <= 0) return;
    if (ed.Is62xx()) {
        ui.error(kMenuUnsupported);
        return;
    }
    if (ed.PhoneType() == 0) {
        ui.error(kChooseModel);
        return;
    }
    MenuView& v = m.InUse();
    if (v.stack.Empty()) GetRootOffset(ed, m);
    std::vector<std::string> languageTexts = MenuLanguageTexts(ed, texts, k);
    MenuListing l = ReadMenuLevel(ed, v.stack.Current(), languageTexts, texts.CommTextCount);

    texts.languageTexts = std::move(languageTexts);
    m.browser.rows.clear();
    m.tab.rows.clear();
    m.tab.records.clear();
    v.records = std::move(l.records);
    v.rows = std::move(l.rows);
    m.menuCount = kMenuCountLabel + std::to_string(m.tab.rows.size());
}

void ChooseMenuLanguage(Session& ed, MenuState& m, TextState& texts, Interaction& ui, int k) {
    m.language = k;
    if (k <= 0) {
        // No language chosen: no level is listed, as when the image was opened.
        MenuView& v = m.InUse();
        v.rows.clear();
        v.records.clear();
        if (!m.BrowseMode) m.menuCount = std::string(kMenuCountLabel) + "0";
        return;
    }
    ListMenuLevel(ed, m, texts, ui);
}

int RecordOfRow(MenuState& m, int row) {
    const MenuView& v = m.InUse();
    if (row < 0 || row >= static_cast<int>(v.rows.size())) return -1;
    return v.rows[static_cast<std::size_t>(row)].recordIndex;
}

bool SubMenuEnabled(MenuState& m, int row) {
    const MenuView& v = m.InUse();
    if (row < 0 || row >= static_cast<int>(v.rows.size())) return false;
    return IsSubMenuRecord(v.rows[static_cast<std::size_t>(row)].record);
}

void EnterSubMenu(Session& ed, MenuState& m, TextState& texts, Interaction& ui, int row) {
    MenuView& v = m.InUse();
    if (row < 0 || row >= static_cast<int>(v.rows.size())) return;
    const std::string record = v.rows[static_cast<std::size_t>(row)].record;
    if (!IsSubMenuRecord(record)) {
        ui.error(kNoSubMenus);
        return;
    }
    const std::int64_t at = ToImageOffset(FuncPointerValue(record));
    if (IsShortRecord(record) && at < 1) {
        ui.error(kNoSubMenuOffsets);
        return;
    }
    if (!SubMenuInImage(at, ed.MainHex.Size()))
        throw UserError(Format(kSubMenuOutside,
                               {std::to_string(v.rows[static_cast<std::size_t>(row)].recordIndex),
                                std::to_string(v.stack.Current().offset), FuncPointerOf(record)}));
    const MenuLevel level{BytesToHex(ReadImage(ed, at, kDescriptorSize)),
                          static_cast<std::int32_t>(at)};
    StackStep before = CutStack(v, v.stack.current);
    const std::size_t kept = v.stack.levels.size();
    v.stack.levels.push_back(level);
    ++v.stack.current;
    v.backEnabled = true;
    ListOrRestore(ed, m, texts, ui, kept, before);
}

void LeaveSubMenu(Session& ed, MenuState& m, TextState& texts, Interaction& ui) {
    MenuView& v = m.InUse();
    if (v.stack.AtRoot()) {
        v.backEnabled = false;
        return;
    }
    StackStep before = CutStack(v, v.stack.current - 1);
    const std::size_t kept = v.stack.levels.size();
    --v.stack.current;
    UpdateBack(v);
    ListOrRestore(ed, m, texts, ui, kept, before);
}

std::vector<std::int32_t> MenuPath(const MenuView& v) {
    std::vector<std::int32_t> path;
    for (int i = 1; i <= v.stack.current; ++i)
        path.push_back(v.stack.levels[static_cast<std::size_t>(i)].offset);
    return path;
}

void WalkMenuPath(Session& ed, MenuState& m, TextState& texts, Interaction& ui,
                  const std::vector<std::int32_t>& path) {
    for (const std::int32_t at : path) {
        const std::vector<MenuRow>& rows = m.tab.rows;
        int row = -1;
        for (std::size_t r = 0; r < rows.size() && row < 0; ++r)
            if (IsSubMenuRecord(rows[r].record) &&
                ToImageOffset(FuncPointerValue(rows[r].record)) == at)
                row = static_cast<int>(r);
        if (row < 0) return;
        const int depth = m.tab.stack.current;
        EnterSubMenu(ed, m, texts, ui, row);
        if (m.tab.stack.current == depth) return;
    }
}

}  // namespace brivant
