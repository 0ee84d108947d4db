#include <gtest/gtest.h>

#include "menu/MenuTestSupport.h"
#include "menu/TBrowseMenu.h"

using namespace brivant;
using namespace brivant::test;

namespace {
std::optional<std::string> Browse(MenuImage& img, const std::string& title) {
    return BrowseMenu(img.ed, img.ed.menu, img.ed.texts, img.ui, title);
}
}  // namespace

// The user walks the browser down and back and picks an item; the Menu tab keeps its level.
TEST(TBrowseMenu, WalkPickAndClose) {
    MenuImage img;
    img.Choose(2);
    img.Enter(2);
    const std::string tabLevel = img.ed.menu.tab.stack.Current().descriptor;

    std::string picked;
    img.ui.dialogs.On<TBrowseMenu>() = [&](TBrowseMenu& b) {
        EXPECT_EQ(b.Languages(), (std::vector<std::string>{"Select Here", "ENGL", "DEUT", "RUSS"}));
        EXPECT_TRUE(b.Rows().empty());
        b.ChooseLanguage(1);
        EXPECT_EQ(img.ed.menu.language, 1);  // the Menu tab's selector follows
        EXPECT_EQ(b.Rows().at(1).name, "No");
        EXPECT_TRUE(img.ed.menu.tab.rows.empty());
        EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: 0");
        b.ViewSubMenu(2);
        EXPECT_TRUE(b.BackEnabled());
        EXPECT_EQ(b.Rows().at(0).name, "Calculator");
        b.Back();
        EXPECT_FALSE(b.BackEnabled());
        picked = b.Rows().at(0).record;
        b.Select(0);
        return b.Ok();
    };
    EXPECT_EQ(Browse(img, kBrowseSecurity), picked);
    EXPECT_FALSE(img.ed.menu.BrowseMode);
    EXPECT_EQ(img.ed.menu.language, 2);
    EXPECT_EQ(img.ed.menu.tab.stack.Current().descriptor, tabLevel);
    EXPECT_TRUE(img.ed.menu.tab.backEnabled);
    EXPECT_TRUE(img.ui.told.empty()) << img.ui.Last();
}

TEST(TBrowseMenu, OkChecksHelpAndCancel) {
    MenuImage img;
    img.Choose(1);
    // Phone book runs a function, but with a non-zero first Unknown behind its Func ID.
    img.Poke(img.RecordAt(0) + 12, {0x00, 0x11});
    const struct {
        const char* title;
        int row;  // -1: nothing selected
        const char* refusal;
    } cases[] = {
        {kBrowseToPatch, -1, kChooseMenuFirst},
        {kBrowseToPatch, 0, kInvalidMenu},
        {kBrowseSecurity, 2, nullptr},  // a submenu item: 0387 0000
        {kBrowseToPatch, 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        img.ui.told.clear();
        std::string record;
        img.ui.dialogs.On<TBrowseMenu>() = [&](TBrowseMenu& b) {
            EXPECT_EQ(b.Language(), 0);
            b.Help();
            b.ChooseLanguage(1);
            b.Select(c.row);
            if (c.row >= 0) record = b.Rows().at(static_cast<std::size_t>(c.row)).record;
            return b.Ok();
        };
        const auto result = Browse(img, c.title);
        ASSERT_FALSE(img.ui.told.empty());
        EXPECT_EQ(img.ui.told.front().first,
                  std::string(c.title) == kBrowseToPatch ? kHelpToPatch : kHelpSecurity);
        if (c.refusal) {
            EXPECT_FALSE(result);
            EXPECT_EQ(img.ui.Last(), c.refusal);
        } else {
            EXPECT_EQ(result, record);
        }
    }
    // Cancelled: nothing handed over, the Menu tab's selector back where it was.
    img.ui.dialogs.On<TBrowseMenu>() = [](TBrowseMenu& b) {
        b.ChooseLanguage(3);
        b.Select(0);
        return false;
    };
    EXPECT_FALSE(Browse(img, kBrowseToPatch));
    EXPECT_EQ(img.ed.menu.language, 1);
    EXPECT_FALSE(img.ed.menu.BrowseMode);
}
