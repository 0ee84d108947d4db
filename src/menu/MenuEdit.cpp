#include "menu/MenuEdit.h"

#include <cctype>
#include <utility>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/Session.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "menu/MenuState.h"
#include "menu/TAddMenu.h"
#include "menu/TMenuEdit.h"

namespace brivant {

namespace {
constexpr std::size_t kMaxRecords = 256;

std::string Join(const std::vector<std::string>& records) {
    std::string all;
    for (const auto& r : records) all += r;
    return all;
}

// The bytes at `at` must still be `expected`; the level may have been moved or changed
// since it was listed, and then writing would hit whatever lies there now.
void RequireBytes(Session& ed, std::int64_t at, const Bytes& expected) {
    const auto n = static_cast<std::int64_t>(expected.size());
    if (at < 1 || at + n > ed.MainHex.Size() ||
        ed.MainHex.ReadAt(static_cast<std::int32_t>(at), static_cast<std::int32_t>(n)) != expected)
        throw UserError(kMenuLevelMoved);
}

// Where the level's item array lies: its descriptor's Items Pointer.
std::int32_t ArrayOffset(Session& ed, const MenuView& v) {
    const std::int64_t at = ToImageOffset(ItemsPointerOf(v.stack.Current().descriptor));
    RequireBytes(ed, at, HexToBytes(Join(v.records)));
    return static_cast<std::int32_t>(at);
}

std::int32_t DescriptorOffset(Session& ed, const MenuLevel& level) {
    RequireBytes(ed, level.offset, HexToBytes(level.descriptor));
    return level.offset;
}

bool ValidRow(const MenuView& v, int row) {
    return !v.stack.Empty() && row >= 0 && row < static_cast<int>(v.rows.size());
}

void ShowRecord(MenuRow& row, const std::string& record) {
    row.record = record;
    row.textPointer = TextPointerOf(record);
    row.funcPointer = FuncPointerOf(record);
}
}  // namespace

Bytes InlineMenuText(std::string_view name) {
    Bytes out{0x04, 0xFF};
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == '\\') {
            const bool escape = i + 3 < name.size() && name[i + 1] == 'x' &&
                                std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
                                std::isxdigit(static_cast<unsigned char>(name[i + 3]));
            if (escape) {
                out.push_back(0);
                out.push_back(static_cast<std::uint8_t>(HexTextToInt(name.substr(i + 2, 2))));
            }
            i += 4;  // an escape, or a backslash and the three characters it swallows
            continue;
        }
        if (c >= 32) {
            out.push_back(0);
            out.push_back(c);
        }
        ++i;
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

int MoveMenuItem(Session& ed, MenuState& m, int row, bool up) {
    MenuView& v = m.tab;
    if (!ValidRow(v, row)) return row;
    const int other = up ? row - 1 : row + 1;
    if (other < 0 || other >= static_cast<int>(v.rows.size())) return row;
    const std::int32_t at = ArrayOffset(ed, v);

    MenuRow& a = v.rows[static_cast<std::size_t>(row)];
    MenuRow& b = v.rows[static_cast<std::size_t>(other)];
    // The rows trade places; each place keeps its record slot, so the records trade too.
    std::swap(v.records[static_cast<std::size_t>(a.recordIndex)],
              v.records[static_cast<std::size_t>(b.recordIndex)]);
    std::swap(a, b);
    std::swap(a.recordIndex, b.recordIndex);
    ed.MainHex.WriteAt(at, HexToBytes(Join(v.records)));
    return other;
}

namespace {
// The field a refusal of MenuPointerOutside names.
MenuField OutsideField(const std::string& refusal) {
    return refusal.starts_with("Text Pointer:") ? MenuField::TextPointer : MenuField::FuncPointer;
}
}  // namespace

void DeleteMenuItem(Session& ed, MenuState& m, Interaction& ui, int row) {
    MenuView& v = m.tab;
    if (!ValidRow(v, row)) return;
    // The phone shows a level by its items: one left without any would show an empty
    // list (and an Item Count below 0 would wrap to FF: 256 records). A submenu's record 0
    // is its header, which names the level; it is no item of its own (and deleting it
    // makes the first item the header).
    int items = 0;
    for (const MenuRow& r : v.rows)
        if (v.stack.AtRoot() || r.recordIndex != 0) ++items;
    if (v.records.size() <= 1 || items <= 1) {
        ui.error(kLastMenuItem);
        return;
    }
    MenuLevel& level = v.stack.Current();
    const std::int32_t at = ArrayOffset(ed, v);
    const std::int32_t d = DescriptorOffset(ed, level);

    const std::size_t oldLength = Join(v.records).size();
    const int index = v.rows[static_cast<std::size_t>(row)].recordIndex;
    v.records.erase(v.records.begin() + index);
    v.rows.erase(v.rows.begin() + row);
    for (MenuRow& r : v.rows)
        if (r.recordIndex > index) --r.recordIndex;
    std::string array = Join(v.records);
    while (array.size() < oldLength) array += "FFFFFFFF";

    const int count = ItemCountOf(level.descriptor) - 1;
    ed.MainHex.WriteAt(d + 4, Bytes{static_cast<std::uint8_t>(count)});
    level.descriptor.replace(8, 2, IntToHex(static_cast<std::uint32_t>(count), 2));
    ed.MainHex.WriteAt(at, HexToBytes(array));
    m.menuCount = kMenuCountLabel + std::to_string(v.rows.size());
}

void EditMenuItem(Session& ed, MenuState& m, Interaction& ui, int row) {
    MenuView& v = m.tab;
    if (!ValidRow(v, row)) return;
    MenuRow& r = v.rows[static_cast<std::size_t>(row)];
    TMenuEdit dialog(r.name, r.record);
    // A refused pointer brings the dialog back as typed, on the field to mend.
    for (;;) {
        if (!ui.askDialog(dialog) || !dialog.Accepted()) return;
        const auto outside = MenuPointerOutside(dialog.Record(), ed.MainHex.Size());
        if (!outside) break;
        ui.error(*outside);
        // A scripted answer that gives the same fields again would never end.
        if (dialog.refused) return;
        dialog.refused = OutsideField(*outside);
    }
    const std::int32_t at = ArrayOffset(ed, v);
    v.records[static_cast<std::size_t>(r.recordIndex)] = dialog.Record();
    ShowRecord(r, dialog.Record());
    ed.MainHex.WriteAt(at, HexToBytes(Join(v.records)));
}

void AddMenuItem(Session& ed, MenuState& m, TextState& texts, Interaction& ui) {
    MenuView& v = m.tab;
    if (v.stack.Empty() || v.records.empty()) return;
    const bool longForm = LongMenuRecords(ed.PhoneType());
    // Every add starts as a single item: a submenu is made only when asked for this time.
    TAddMenu dialog(v.records[0], longForm, false);
    // Everything is decided before the first byte is written.
    if (v.records.size() >= kMaxRecords) {
        ui.error(kMenuLevelFull);
        return;
    }
    for (;;) {
        if (!ui.askDialog(dialog) || !dialog.Accepted()) return;
        m.addWithSubMenu = dialog.withSubMenu;
        // A typed text pointer must lead to a text; the new submenu's and the new text's
        // pointers are made here and always do. A refusal brings the dialog back as typed.
        if (dialog.NameChecked()) break;
        MenuFields typed = dialog.fields;
        if (dialog.withSubMenu) typed[static_cast<std::size_t>(MenuField::FuncId)] = "0000";
        const auto outside = MenuPointerOutside(RecordOfFields(typed, longForm), ed.MainHex.Size());
        if (!outside) break;
        ui.error(*outside);
        if (dialog.refused) return;
        dialog.refused = OutsideField(*outside);
    }
    const Bytes text = dialog.NameChecked() ? InlineMenuText(dialog.name) : Bytes{};
    const std::size_t recordBytes = v.records[0].size() / 2;
    // Up to three writes, each with the 00 byte behind it should it end in FF.
    const std::int64_t need =
        static_cast<std::int64_t>(text.size() + (dialog.withSubMenu ? 12 + recordBytes : 0) +
                                  (v.records.size() + 1) * recordBytes) +
        (text.empty() ? 0 : 1) + (dialog.withSubMenu ? 1 : 0) + 1;
    if (ed.FreeOffset < 0 || McuFreeRun(ed) < need) {
        ui.error(kNoMcuSpace);
        return;
    }
    MenuLevel& level = v.stack.Current();
    const std::int32_t at = ArrayOffset(ed, v);
    const std::int32_t d = DescriptorOffset(ed, level);

    ed.MainHex.WriteAt(at, Bytes(Join(v.records).size() / 2, 0xFF));
    MenuFields fields = dialog.fields;
    std::string& textPointer = fields[static_cast<std::size_t>(MenuField::TextPointer)];
    if (dialog.NameChecked())
        textPointer = IntToHex(ToPhoneAddress(WriteAtFreeOffset(ed, text)), 8);
    if (dialog.withSubMenu) {
        // A new empty level: its descriptor, then a header record made of the new text
        // pointer and the rest of this level's record 0.
        Bytes block = HexToBytes(kNewMenuDescriptorHex + textPointer + v.records[0].substr(8));
        const std::int32_t a = ed.FreeOffset;
        PutBE32(block.data(), ToPhoneAddress(std::int64_t{a} + kDescriptorSize));
        WriteAtFreeOffset(ed, block);
        fields[static_cast<std::size_t>(MenuField::FuncPointer)] = IntToHex(ToPhoneAddress(a), 8);
    }
    v.records.push_back(RecordOfFields(fields, longForm));
    const std::int32_t c = WriteAtFreeOffset(ed, HexToBytes(Join(v.records)));

    Bytes head(5);
    PutBE32(head.data(), ToPhoneAddress(c));
    head[4] = static_cast<std::uint8_t>(v.records.size() - 1);
    ed.MainHex.WriteAt(d, head);
    level.descriptor = BytesToHex(head) + level.descriptor.substr(10);
    ListMenuLevel(ed, m, texts, ui);
}

}  // namespace brivant
