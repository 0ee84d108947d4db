#include <gtest/gtest.h>

#include <ctime>

#include "core/UserError.h"
#include "image/Address.h"
#include "menu/MenuTestSupport.h"

using namespace brivant;
using namespace brivant::test;

TEST(MenuRecord, FormsAndMarksOnHexText) {
    struct Case {
        std::string record;
        bool subMenu, hidden;
        std::string func;
    };
    // Text Pointer 00201000, Func Pointer 00203000 (after a Tip Pointer in the long form).
    const Case cases[] = {
        {"002010000020300000A103870000000000010000", true, false, "00203000"},
        {"002010000020300000A105E00000000000010000", false, false, "00203000"},
        // Func ID 0387 with a non-zero first Unknown opens nothing.
        {"002010000020300000A103870001000000010000", false, false, "00203000"},
        // The mark counts from digit 16 on, also at an odd digit, never before it.
        {"0020100000000003870000111111111111111111", false, false, "00000003"},
        {"0020100000000000387000011111111111111111", true, false, "00000000"},
        {"00201000002010040020300000A103870000000000010000", true, false, "00203000"},
        // 00DC0000 anywhere hides, also across fields.
        {"002010000020300000A105E0000DC00000010000", false, true, "00203000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        EXPECT_EQ(IsShortRecord(c.record), c.record.size() == 40);
        EXPECT_EQ(IsSubMenuRecord(c.record), c.subMenu);
        EXPECT_EQ(IsHiddenRecord(c.record), c.hidden);
        EXPECT_EQ(TextPointerOf(c.record), "00201000");
        EXPECT_EQ(FuncPointerOf(c.record), c.func);
    }
}

// Every family with a menu: the root, two levels down and back, in its record form.
TEST(MenuLevels, SampleTreeOfEveryFamily) {
    for (int family = 1; family <= 17; ++family) {
        SCOPED_TRACE(family);
        MenuImage img(family);
        const std::size_t digits = LongMenuRecords(family) ? 48 : 40;
        img.Choose(1);
        // The root's own rows, then the security patch's items joined behind them.
        const std::vector<std::string> root = img.Names();
        ASSERT_GE(root.size(), kRootNames.size() + 2);
        EXPECT_EQ(std::vector<std::string>(root.begin(), root.begin() + 5), kRootNames);
        EXPECT_EQ(img.Records().back(), static_cast<int>(root.size()));  // record 0 hidden
        EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: " + std::to_string(root.size()));
        for (const MenuRow& r : img.ed.menu.tab.rows) {
            ASSERT_EQ(r.record.size(), digits);
            EXPECT_EQ(r.record,
                      img.ed.menu.tab.records.at(static_cast<std::size_t>(r.recordIndex)));
            EXPECT_EQ(r.textPointer, r.record.substr(0, 8));
            EXPECT_EQ(r.funcPointer, r.record.substr(digits == 40 ? 8 : 16, 8));
        }

        // Extras: record 0 hidden by 00DC0000, record 2 without a row (Text Pointer 0x200000).
        EXPECT_FALSE(SubMenuEnabled(img.ed.menu, 0));
        ASSERT_TRUE(SubMenuEnabled(img.ed.menu, 2));
        img.Enter(2);
        const std::vector<std::string> extras = {"Calculator", "Games", "No"};
        EXPECT_EQ(img.Names(), extras);
        EXPECT_EQ(img.Records(), (std::vector<int>{1, 3, 4}));
        EXPECT_TRUE(img.ed.menu.tab.backEnabled);

        const std::int64_t games = ToImageOffset(FuncPointerValue(img.ed.menu.tab.rows[1].record));
        img.Enter(1);
        EXPECT_EQ(img.Names(), (std::vector<std::string>{"Snake", "Memory", ""}));
        EXPECT_EQ(img.ed.menu.tab.stack.Current().descriptor,
                  BytesToHex(img.ed.MainHex.CopyBytes(static_cast<std::int32_t>(games), 12)));

        img.Leave();
        EXPECT_EQ(img.Names(), extras);
        img.Leave();
        EXPECT_EQ(img.Names(), root);
        EXPECT_FALSE(img.ed.menu.tab.backEnabled);
        img.Leave();  // at the root: nothing
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
        EXPECT_TRUE(img.ui.told.empty()) << img.ui.Last();
    }
}

// A Text Pointer outside the image shows its row as "---" (so that it can be edited back);
// an array or a submenu outside the image is refused naming the level and the record.
TEST(MenuLevels, PointersOutsideTheImageNameTheLevelAndRecord) {
    MenuImage img;
    img.Choose(1);
    const std::int32_t root = img.ed.menu.tab.stack.Current().offset;
    const std::vector<std::string> names = img.Names();
    img.Poke(img.RecordAt(1), HexToBytes("FFFFFFFF"));
    img.Choose(1);
    EXPECT_TRUE(img.ui.told.empty()) << img.ui.Last();
    std::vector<std::string> shown = names;
    shown[1] = kBadMenuText;
    EXPECT_EQ(img.Names(), shown);

    const int extras = 2;
    const int record = img.ed.menu.tab.rows[extras].recordIndex;
    img.Poke(img.RecordAt(extras) + 4, HexToBytes("FFFFFF00"));
    img.Choose(1);
    EXPECT_EQ(ErrorOf([&] { img.Enter(extras); }),
              Format(kSubMenuOutside, {std::to_string(record), std::to_string(root), "FFFFFF00"}));
    EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);

    img.Poke(root, HexToBytes("FFFFFFF0"));
    img.ed.menu.tab.stack.Current().descriptor.replace(0, 8, "FFFFFFF0");
    const std::string count =
        std::to_string(ItemCountOf(img.ed.menu.tab.stack.Current().descriptor));
    EXPECT_EQ(ErrorOf([&] { img.Choose(1); }),
              Format(kMenuItemsOutside, {std::to_string(root), "FFFFFFF0", count}));
    EXPECT_EQ(img.Names(), shown);  // the rows stay those of the last listing
}

// A submenu that opens its own level: every step of a walk down the cycle costs the same,
// however deep the walk already is, and the walk back still works.
TEST(MenuLevels, DeepWalkThroughACycleCostsTheSamePerLevel) {
    MenuImage img;
    img.Choose(1);
    img.Enter(2);
    const MenuLevel extras = img.ed.menu.tab.stack.Current();
    // Its second item ("Games", a submenu) opens this level again.
    Bytes to(4);
    PutBE32(to.data(), ToPhoneAddress(extras.offset));
    img.Poke(img.RecordAt(1) + 4, to);
    img.Choose(1);

    constexpr int kSteps = 6000;
    const auto walk = [&img] {
        const std::clock_t start = std::clock();
        for (int i = 0; i < kSteps; ++i) img.Enter(1);
        return static_cast<double>(std::clock() - start);
    };
    const double first = walk();
    const double second = walk();
    ASSERT_TRUE(img.ui.told.empty()) << img.ui.Last();
    EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 2u + 2 * kSteps);
    // A copy of the stack per step makes the second half about three times the first.
    EXPECT_LT(second, 1.8 * first + 0.05 * CLOCKS_PER_SEC);
    img.Leave();
    EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u + 2 * kSteps);
    EXPECT_EQ(img.ed.menu.tab.stack.Current().offset, extras.offset);
}
