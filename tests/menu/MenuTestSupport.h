#pragma once

#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "support/TestSupport.h"

namespace brivant::test {

// A sample image opened with its Menu tab shown, as the window has it after the first visit.
struct MenuImage {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    SampleImage sample;

    explicit MenuImage(int family = 4) : MenuImage(Family(family)) {}
    explicit MenuImage(const SampleOptions& o) {
        sample = OpenSample(ed, ui, dir.Path("a.fls"), o);
        TabChanged(ed, ui, Tab::Menu);
    }
    static SampleOptions Family(int family) {
        SampleOptions o;
        o.family = family;
        return o;
    }

    void Choose(int language) { ChooseMenuLanguage(ed, ed.menu, ed.texts, ui, language); }
    void Enter(int row) { EnterSubMenu(ed, ed.menu, ed.texts, ui, row); }
    void Leave() { LeaveSubMenu(ed, ed.menu, ed.texts, ui); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const MenuRow& r : ed.menu.tab.rows) names.push_back(r.name);
        return names;
    }
    std::vector<int> Records() const {
        std::vector<int> records;
        for (const MenuRow& r : ed.menu.tab.rows) records.push_back(r.recordIndex);
        return records;
    }
    // The image offset of the first occurrence of these bytes, from offset 1.
    std::int32_t Find(const Bytes& what) const {
        const HexBuffer& b = ed.MainHex;
        return b.Search(what.data(), static_cast<std::int32_t>(what.size()), 1, b.Size() - 1,
                        false);
    }
    // The image offset a row's Text Pointer points at.
    std::int32_t TextOf(int row) const {
        return static_cast<std::int32_t>(ToImageOffset(static_cast<std::uint32_t>(
            HexTextToInt(ed.menu.tab.rows.at(static_cast<std::size_t>(row)).textPointer))));
    }
    // The image offset of a row's record in the level shown.
    std::int32_t RecordAt(int row) const {
        const MenuRow& r = ed.menu.tab.rows.at(static_cast<std::size_t>(row));
        return static_cast<std::int32_t>(
            ToImageOffset(ItemsPointerOf(ed.menu.tab.stack.Current().descriptor)) +
            r.recordIndex * MenuRecordSize(ed.PhoneType()));
    }
    void Poke(std::int32_t at, const Bytes& bytes) { ed.MainHex.WriteAt(at, bytes); }
};

// The first rows of every sample tree's root in the first sample language; the security
// patch's sample joins its items behind them.
inline const std::vector<std::string> kRootNames = {"Phone book", "No", "Extras", "SIM Card Menu",
                                                    "Net Monitor"};

}  // namespace brivant::test
