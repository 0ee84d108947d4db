#include <gtest/gtest.h>

#include "core/UserError.h"
#include "image/McuSpace.h"
#include "menu/MenuEdit.h"
#include "menu/MenuState.h"
#include "menu/MenuTestSupport.h"
#include "menu/TAddMenu.h"
#include "menu/TMenuEdit.h"

using namespace brivant;
using namespace brivant::test;

namespace {
// The Menu tab listed in the first language, at the root or one level down.
struct EditImage : MenuImage {
    explicit EditImage(int family = 4) : MenuImage(family) { Choose(1); }
    explicit EditImage(const SampleOptions& o) : MenuImage(o) { Choose(1); }

    Bytes Image() const { return ed.MainHex.Data(); }
    std::string Array() const {
        std::string all;
        for (const auto& r : ed.menu.tab.records) all += r;
        return all;
    }
    std::int32_t ArrayAt() const {
        return static_cast<std::int32_t>(
            ToImageOffset(ItemsPointerOf(ed.menu.tab.stack.Current().descriptor)));
    }
    std::string InImage(std::int32_t at, std::size_t digits) const {
        return BytesToHex(ed.MainHex.CopyBytes(at, static_cast<std::int32_t>(digits / 2)));
    }
    void Add(std::function<void(TAddMenu&)> fill) {
        ui.dialogs.On<TAddMenu>() = [fill](TAddMenu& d) {
            fill(d);
            return !d.PressOk();
        };
        AddMenuItem(ed, ed.menu, ed.texts, ui);
    }
};
}  // namespace

TEST(MenuEdit, InlineTextsFromNames) {
    struct Case {
        std::string name, hex;
    };
    const Case cases[] = {
        {"Inbox 2", "04FF0049006E0062006F0078002000320000"},
        {"\\x01A", "04FF000100410000"},
        {"\\xfe", "04FF00FE0000"},         // the digits as typed, stored as one byte
        {"\\q12Z", "04FF005A0000"},        // any other backslash swallows three more
        {"\\xZ1Q", "04FF00510000"},        // not two hex digits: swallowed the same way
        {"A\x01\tB", "04FF004100420000"},  // control characters give nothing
        {"ab\\x4", "04FF006100620000"},    // a cut escape at the end swallows the rest
        {"", "04FF0000"},
        {"\xE9", "04FF00E90000"},
    };
    for (const Case& c : cases) EXPECT_EQ(BytesToHex(InlineMenuText(c.name)), c.hex) << c.name;
}

TEST(MenuEdit, MovesSwapRecordsBehindTheRowsAndWriteNothingAtTheEnds) {
    EditImage img;
    const Bytes before = img.Image();
    const int last = static_cast<int>(img.ed.menu.tab.rows.size()) - 1;
    EXPECT_EQ(MoveMenuItem(img.ed, img.ed.menu, 0, true), 0);
    EXPECT_EQ(MoveMenuItem(img.ed, img.ed.menu, last, false), last);
    EXPECT_EQ(img.Image(), before);

    // Record 0 has no row: row 0 is record 1, and moving it down never touches record 0.
    const std::vector<std::string> records = img.ed.menu.tab.records;
    EXPECT_EQ(MoveMenuItem(img.ed, img.ed.menu, 0, false), 1);
    EXPECT_EQ(img.Names()[0], kRootNames[1]);
    EXPECT_EQ(img.Names()[1], kRootNames[0]);
    EXPECT_EQ(img.Records()[0], 1);
    EXPECT_EQ(img.ed.menu.tab.records[0], records[0]);
    EXPECT_EQ(img.ed.menu.tab.records[1], records[2]);
    EXPECT_EQ(img.ed.menu.tab.records[2], records[1]);
    EXPECT_EQ(img.InImage(img.ArrayAt(), img.Array().size()), img.Array());
    img.Choose(1);  // read back from the image
    EXPECT_EQ(img.Names()[0], kRootNames[1]);
    std::vector<std::string> swapped = records;
    std::swap(swapped[1], swapped[2]);
    EXPECT_EQ(img.ed.menu.tab.records, swapped);
}

TEST(MenuEdit, DeleteFillsWithFfAndLowersTheCount) {
    EditImage img;
    img.Enter(2);  // Extras: record 0 hidden, a record without a row in the middle
    const std::string oldArray = img.Array();
    const std::int32_t at = img.ArrayAt();
    const int count = ItemCountOf(img.ed.menu.tab.stack.Current().descriptor);
    const std::int32_t d = img.ed.menu.tab.stack.Current().offset;
    const std::vector<std::string> names = img.Names();

    DeleteMenuItem(img.ed, img.ed.menu, img.ui, 1);  // "Games", record 3
    EXPECT_EQ(img.ed.MainHex.CopyBytes(d + 4, 1)[0], count - 1);
    const std::string written = img.InImage(at, oldArray.size());
    EXPECT_EQ(written, img.Array() + std::string(oldArray.size() - img.Array().size(), 'F'));
    EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: " + std::to_string(names.size() - 1));
    const std::vector<std::string> kept = img.Names();
    img.Leave();
    img.Enter(2);  // the changed descriptor leads to the changed array
    EXPECT_EQ(img.Names(), kept);
    EXPECT_EQ(img.Names(), (std::vector<std::string>{names[0], names[2]}));
}

// A level keeps an item of its own: the submenu's header record (hidden or named) is no
// item, and a record without a row leaves nothing the phone would list.
TEST(MenuEdit, TheLastItemOfALevelStays) {
    for (const int family : {4, 10}) {
        EditImage img(family);
        img.Enter(2);  // Extras
        const std::int32_t d = img.ed.menu.tab.stack.Current().offset;
        ASSERT_EQ(img.Names().size(), 3u) << family;
        DeleteMenuItem(img.ed, img.ed.menu, img.ui, 0);
        DeleteMenuItem(img.ed, img.ed.menu, img.ui, 0);
        ASSERT_EQ(img.Names().size(), 1u) << family;
        EXPECT_TRUE(img.ui.told.empty()) << family;
        const Bytes before = img.Image();
        const int count = img.ed.MainHex.CopyBytes(d + 4, 1)[0];
        DeleteMenuItem(img.ed, img.ed.menu, img.ui, 0);
        EXPECT_EQ(img.ui.Last(), kLastMenuItem) << family;
        EXPECT_EQ(img.Image(), before) << family;
        EXPECT_EQ(img.ed.MainHex.CopyBytes(d + 4, 1)[0], count) << family;
        EXPECT_EQ(img.Names().size(), 1u) << family;
    }
    // The root has no header: every row is an item, and the last one stays.
    EditImage root;
    while (root.Names().size() > 1) {
        const std::size_t n = root.Names().size();
        DeleteMenuItem(root.ed, root.ed.menu, root.ui, 0);
        ASSERT_EQ(root.Names().size(), n - 1);
    }
    const Bytes before = root.Image();
    DeleteMenuItem(root.ed, root.ed.menu, root.ui, 0);
    EXPECT_EQ(root.ui.Last(), kLastMenuItem);
    EXPECT_EQ(root.Image(), before);
}

// Add Menu opens as a single item every time; a refused pointer brings a dialog back as
// typed, on the refused field.
TEST(MenuEdit, DialogsStartFreshAndComeBackAsTyped) {
    EditImage img;
    img.Add([](TAddMenu& d) {
        d.name = "Mine";
        d.withSubMenu = true;
    });
    bool ticked = true;
    img.Add([&](TAddMenu& d) {
        ticked = d.withSubMenu;
        d.name = "Plain";
    });
    EXPECT_FALSE(ticked);

    std::vector<std::string> shown;
    std::vector<bool> focused;
    img.ui.dialogs.On<TMenuEdit>() = [&](TMenuEdit& d) {
        shown.push_back(d.fields[static_cast<std::size_t>(MenuField::TextPointer)]);
        focused.push_back(d.refused == MenuField::TextPointer);
        if (shown.size() == 1)
            d.fields[static_cast<std::size_t>(MenuField::TextPointer)] = "7FFFFFF0";
        if (shown.size() == 2) return false;  // Cancel the second time
        return !d.PressOk();
    };
    const Bytes before = img.Image();
    EditMenuItem(img.ed, img.ed.menu, img.ui, 0);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown.back(), "7FFFFFF0");
    EXPECT_EQ(focused, (std::vector<bool>{false, true}));
    EXPECT_EQ(img.Image(), before);
}

TEST(MenuEdit, EditRebuildsTheRecordFromCheckedFields) {
    for (const int family : {4, 10}) {  // short and long records
        EditImage img(family);
        const Bytes before = img.Image();
        EditMenuItem(img.ed, img.ed.menu, img.ui, 0);  // cancelled
        EXPECT_EQ(img.Image(), before);

        img.ui.dialogs.On<TMenuEdit>() = [family](TMenuEdit& d) {
            EXPECT_EQ(d.ReadOnly(MenuField::TipPointer), family == 4);
            d.fields[static_cast<std::size_t>(MenuField::FuncId)] = "12";
            EXPECT_EQ(d.PressOk(),
                      Format(kBadMenuField, {"Func ID:", "4"}));  // the dialog stays open
            d.fields[static_cast<std::size_t>(MenuField::FuncId)] = "abcd";
            return !d.PressOk();
        };
        EditMenuItem(img.ed, img.ed.menu, img.ui, 0);
        const std::string record = img.ed.menu.tab.records[1];
        EXPECT_NE(record.find("ABCD"), std::string::npos) << family;
        EXPECT_EQ(img.InImage(img.RecordAt(0), record.size()), record);
        EXPECT_EQ(img.ed.menu.tab.rows[0].record, record);
    }
}

TEST(MenuEdit, AddWritesTextThenArrayAndRepointsTheLevel) {
    EditImage img;
    const std::int32_t free = img.ed.FreeOffset;
    const std::int32_t oldAt = img.ArrayAt();
    const std::size_t oldLength = img.Array().size() / 2;
    img.Add([](TAddMenu& d) { d.name = "Inbox 2"; });

    const Bytes text = InlineMenuText("Inbox 2");
    EXPECT_EQ(img.ed.MainHex.CopyBytes(free, static_cast<std::int32_t>(text.size())), text);
    EXPECT_EQ(img.ArrayAt(), free + static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(img.InImage(img.ArrayAt(), img.Array().size()), img.Array());
    EXPECT_EQ(img.ed.MainHex.CopyBytes(oldAt, static_cast<std::int32_t>(oldLength)),
              Bytes(oldLength, 0xFF));
    EXPECT_EQ(img.Names().back(), "Inbox 2");
    EXPECT_EQ(img.ed.FreeOffset, img.ArrayAt() + static_cast<std::int32_t>(img.Array().size() / 2));
    EXPECT_EQ(img.ed.menu.tab.records.back().substr(16, 4), "00A0");  // record 0's Bmp ID
}

TEST(MenuEdit, AddWithSubMenuMakesALevelThatOpens) {
    for (const int family : {4, 10}) {
        EditImage img(family);
        const std::string record0 = img.ed.menu.tab.records[0];
        img.Add([](TAddMenu& d) {
            d.name = "Mine";
            d.withSubMenu = true;
        });
        EXPECT_TRUE(img.ed.menu.addWithSubMenu);
        const int row = static_cast<int>(img.ed.menu.tab.rows.size()) - 1;
        ASSERT_TRUE(SubMenuEnabled(img.ed.menu, row)) << family;
        const std::string textPointer = img.ed.menu.tab.rows.back().textPointer;
        img.Enter(row);
        ASSERT_EQ(img.ed.menu.tab.records.size(), 1u) << family;
        EXPECT_EQ(img.ed.menu.tab.records[0], textPointer + record0.substr(8));
        EXPECT_EQ(img.Names(), std::vector<std::string>{"Mine"});
        // Its single record cannot go: the count would wrap.
        const Bytes before = img.Image();
        DeleteMenuItem(img.ed, img.ed.menu, img.ui, 0);
        EXPECT_EQ(img.ui.Last(), kLastMenuItem);
        EXPECT_EQ(img.Image(), before);
    }
}

TEST(MenuEdit, RefusalsLeaveTheImageAsItWas) {
    struct Case {
        const char* what;
        std::function<void(EditImage&)> spoil;
        std::string message;
    };
    const Case cases[] = {
        {"no free offset", [](EditImage& i) { i.ed.FreeOffset = -1; }, kNoMcuSpace},
        {"free space too small", [](EditImage& i) { i.Poke(i.ed.FreeOffset + 40, {0x00}); },
         kNoMcuSpace},
        {"array moved", [](EditImage& i) { i.Poke(i.ArrayAt() + 1, {0x5A}); }, kMenuLevelMoved},
        {"descriptor changed",
         [](EditImage& i) { i.Poke(i.ed.menu.tab.stack.Current().offset + 9, {0x5A}); },
         kMenuLevelMoved},
        {"level full",
         [](EditImage& i) { i.ed.menu.tab.records.resize(256, i.ed.menu.tab.records[0]); },
         kMenuLevelFull},
    };
    for (const Case& c : cases) {
        SampleOptions o;
        if (c.what == std::string("free space nearly gone")) o.mcuFree = 64;
        EditImage img(o);
        c.spoil(img);
        const Bytes before = img.Image();
        const std::int32_t free = img.ed.FreeOffset;
        try {
            img.Add([](TAddMenu& d) { d.name = "Inbox 2"; });
            EXPECT_EQ(img.ui.Last(), c.message) << c.what;
        } catch (const UserError& e) {
            EXPECT_EQ(e.what(), c.message) << c.what;
        }
        EXPECT_EQ(img.Image(), before) << c.what;
        EXPECT_EQ(img.ed.FreeOffset, free) << c.what;
    }
}

TEST(MenuEdit, AddMenuCheckBoxesExcludeEachOther) {
    TAddMenu d(std::string(40, '0'), false, false);
    EXPECT_TRUE(d.NameChecked());
    EXPECT_EQ(d.name, TAddMenu::kDefaultName);
    EXPECT_TRUE(d.ReadOnly(MenuField::TipPointer));
    const auto tp = [&] { return d.fields[static_cast<std::size_t>(MenuField::TextPointer)]; };
    d.SetTextPointerChecked(true);
    EXPECT_TRUE(d.TextPointerEnabled());
    EXPECT_FALSE(d.NameEnabled());
    EXPECT_EQ(d.name, "");
    EXPECT_EQ(tp(), "00000000");
    d.SetNameChecked(true);
    EXPECT_EQ(tp(), "");
    EXPECT_EQ(d.name, TAddMenu::kDefaultName);
    d.SetNameChecked(false);
    EXPECT_TRUE(d.TextPointerChecked());
    EXPECT_EQ(d.name, "");
    // A text pointer the user must type: refused until it has its eight digits.
    EXPECT_EQ(d.PressOk(), Format(kBadMenuField, {"Text Pointer:", "8"}));
    d.fields[static_cast<std::size_t>(MenuField::TextPointer)] = "0020abcd";
    d.withSubMenu = true;
    EXPECT_FALSE(d.PressOk());
    EXPECT_EQ(d.fields[static_cast<std::size_t>(MenuField::FuncId)], "0387");
    EXPECT_EQ(RecordOfFields(d.fields, false).substr(0, 8), "0020ABCD");
}
