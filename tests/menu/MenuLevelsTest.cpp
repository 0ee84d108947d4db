#include <gtest/gtest.h>

#include "core/UserError.h"
#include "menu/MenuState.h"
#include "menu/MenuTab.h"
#include "menu/MenuTestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {
// A short record's hex text: these digits, then "1" up to 40 digits.
std::string Fill(std::string digits) {
    digits.resize(40, '1');
    return digits;
}

template <typename T>
std::vector<T> Head(std::vector<T> items, std::size_t n) {
    items.resize(std::min(n, items.size()));
    return items;
}
}  // namespace

TEST(MenuRecord, FormsAndMarksOnHexText) {
    struct Case {
        std::string record;
        bool shortForm, subMenu, hidden;
        std::string text, func;
    };
    const std::string t = "00201000", tip = "00201004", f = "00203000";
    const Case cases[] = {
        // Short: Func Pointer at digits 9-16, the mark from digit 16 on.
        {t + f +
             "00A1"
             "0387"
             "0000"
             "0000"
             "00010000",
         true, true, false, t, f},
        {t + f +
             "00A1"
             "05E0"
             "0000"
             "0000"
             "00010000",
         true, false, false, t, f},
        // Func ID 0387 with a non-zero first Unknown opens nothing.
        {t + f +
             "00A1"
             "0387"
             "0001"
             "0000"
             "00010000",
         true, false, false, t, f},
        // The mark inside the pointers (before digit 16) does not count; from digit 16 on,
        // even at an odd digit, it does.
        {Fill("03870000" + f), true, false, false, "03870000", f},
        {Fill(t + "000000"
                  "03870000"),
         true, false, false, t, "00000003"},
        {Fill(t + "0000000"
                  "03870000"),
         true, true, false, t, "00000000"},
        // Long: Func Pointer at digits 17-24.
        {t + tip + f +
             "00A1"
             "0387"
             "0000"
             "0000"
             "00010000",
         false, true, false, t, f},
        // 00DC0000 anywhere hides, also across fields.
        {t + f +
             "00A1"
             "05E0"
             "00DC"
             "0000"
             "00010000",
         true, false, true, t, f},
        {t + f +
             "00A1"
             "05E0"
             "000D"
             "C000"
             "00010000",
         true, false, true, t, f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        EXPECT_EQ(IsShortRecord(c.record), c.shortForm);
        EXPECT_EQ(IsSubMenuRecord(c.record), c.subMenu);
        EXPECT_EQ(IsHiddenRecord(c.record), c.hidden);
        EXPECT_EQ(TextPointerOf(c.record), c.text);
        EXPECT_EQ(FuncPointerOf(c.record), c.func);
    }
    for (int family = 1; family <= 17; ++family)
        EXPECT_EQ(MenuRecordSize(family),
                  (family == 2 || family == 7 || family == 10 || family == 11 || family == 12 ||
                   family == 13 || family == 14 || family == 16)
                      ? 24
                      : 20)
            << family;
}

// Every family with a menu: the root, two levels down and back, in its record form.
TEST(MenuLevels, SampleTreeOfEveryFamily) {
    for (int family = 1; family <= 17; ++family) {
        SCOPED_TRACE(family);
        MenuImage img(family);
        const std::size_t digits = LongMenuRecords(family) ? 48 : 40;
        ASSERT_FALSE(img.ed.menu.tab.stack.Empty());
        EXPECT_TRUE(img.ed.menu.tab.rows.empty());

        img.Choose(1);
        // The root's own rows, then the security patch's items joined behind them.
        const std::vector<std::string> root = img.Names();
        EXPECT_EQ(Head(root, kRootNames.size()), kRootNames);
        ASSERT_GE(root.size(), kRootNames.size() + 2);
        EXPECT_EQ(root[kRootNames.size()], "Messages");
        EXPECT_EQ(img.Records(),
                  Head(std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, root.size()));
        EXPECT_EQ(img.ed.menu.tab.records.size(), root.size() + 1);
        EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: " + std::to_string(root.size()));
        for (const MenuRow& r : img.ed.menu.tab.rows) {
            ASSERT_EQ(r.record.size(), digits);
            EXPECT_EQ(r.record, img.ed.menu.tab.records[static_cast<std::size_t>(r.recordIndex)]);
            EXPECT_EQ(r.textPointer, r.record.substr(0, 8));
            EXPECT_EQ(r.funcPointer, r.record.substr(digits == 40 ? 8 : 16, 8));
        }
        EXPECT_FALSE(img.ed.menu.tab.backEnabled);

        // Extras: record 0 hidden by 00DC0000, record 2 without a row (Text Pointer 0x200000).
        EXPECT_FALSE(SubMenuEnabled(img.ed.menu, 0));
        ASSERT_TRUE(SubMenuEnabled(img.ed.menu, 2));
        img.Enter(2);
        EXPECT_EQ(img.Names(), (std::vector<std::string>{"Calculator", "Games", "No"}));
        EXPECT_EQ(img.Records(), (std::vector<int>{1, 3, 4}));
        EXPECT_EQ(RecordOfRow(img.ed.menu, 1), 3);
        EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: 3");
        EXPECT_TRUE(img.ed.menu.tab.backEnabled);

        const std::int64_t games = ToImageOffset(FuncPointerValue(img.ed.menu.tab.rows[1].record));
        img.Enter(1);
        EXPECT_EQ(img.Names(), (std::vector<std::string>{"Snake", "Memory", ""}));
        ASSERT_EQ(img.ed.menu.tab.stack.levels.size(), 3u);
        EXPECT_EQ(img.ed.menu.tab.stack.Current().offset, games);
        EXPECT_EQ(img.ed.menu.tab.stack.Current().descriptor,
                  BytesToHex(img.ed.MainHex.CopyBytes(static_cast<std::int32_t>(games), 12)));

        img.Leave();
        EXPECT_EQ(img.Names(), (std::vector<std::string>{"Calculator", "Games", "No"}));
        EXPECT_TRUE(img.ed.menu.tab.backEnabled);
        img.Leave();
        EXPECT_EQ(img.Names(), root);
        EXPECT_FALSE(img.ed.menu.tab.backEnabled);
        // At the root the back button only stays disabled.
        img.Leave();
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
        EXPECT_TRUE(img.ui.told.empty()) << img.ui.Last();
    }
}
