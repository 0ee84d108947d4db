#include <gtest/gtest.h>

#include "menu/MenuTestSupport.h"
#include "menu/TBrowseMenu.h"

using namespace brivant;
using namespace brivant::test;

namespace {
std::optional<std::string> Browse(MenuImage& img, const std::string& title) {
    return BrowseMenu(img.ed, img.ed.menu, img.ed.texts, img.ui, title);
}

std::vector<std::string> NamesOf(const TBrowseMenu& b) {
    std::vector<std::string> names;
    for (const MenuRow& r : b.Rows()) names.push_back(r.name);
    return names;
}
}  // namespace

// The user walks the browser down and back, picks an item, and the Menu tab keeps its level.
TEST(TBrowseMenu, WalkPickAndClose) {
    MenuImage img;
    img.Choose(2);
    img.Enter(2);  // the Menu tab stands in Extras
    const MenuLevels tabStack = img.ed.menu.tab.stack;
    img.ed.activeTab = Tab::Menu;

    std::string phoneBook;
    img.ui.dialogs.On<TBrowseMenu>() = [&](TBrowseMenu& b) {
        EXPECT_EQ(b.Title(), kBrowseSecurity);
        EXPECT_EQ(b.Languages(), (std::vector<std::string>{"Select Here", "ENGL", "DEUT", "RUSS"}));
        EXPECT_EQ(b.Language(), 0);
        EXPECT_TRUE(b.Rows().empty());
        EXPECT_FALSE(b.BackEnabled());
        EXPECT_TRUE(img.ed.menu.BrowseMode);

        b.ChooseLanguage(1);
        EXPECT_EQ(img.ed.menu.language, 1);  // the Menu tab's selector follows
        EXPECT_EQ(NamesOf(b)[1], "No");
        EXPECT_TRUE(img.ed.menu.tab.rows.empty());
        EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: 0");

        b.ViewSubMenu(2);
        EXPECT_TRUE(b.BackEnabled());
        EXPECT_EQ(NamesOf(b), (std::vector<std::string>{"Calculator", "Games", "No"}));
        b.ViewSubMenu(0);  // a function item: told, the level stays
        EXPECT_EQ(img.ui.Last(), kNoSubMenus);
        b.Back();
        EXPECT_FALSE(b.BackEnabled());
        phoneBook = b.Rows()[0].record;
        b.Select(0);
        return b.Ok();
    };
    EXPECT_EQ(Browse(img, kBrowseSecurity), phoneBook);
    EXPECT_FALSE(img.ed.menu.BrowseMode);
    EXPECT_EQ(img.ed.menu.language, 2);
    EXPECT_EQ(img.ed.activeTab, Tab::Tones);
    EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), tabStack.levels.size());
    EXPECT_EQ(img.ed.menu.tab.stack.Current().descriptor, tabStack.Current().descriptor);
    EXPECT_TRUE(img.ed.menu.tab.backEnabled);
}

TEST(TBrowseMenu, OkChecksAndHelpTexts) {
    MenuImage img;
    img.Choose(1);
    // Phone book runs a function, but with a non-zero first Unknown behind its Func ID.
    img.Poke(img.RecordAt(0) + 12, {0x00, 0x11});
    const struct {
        const char* title;
        int row;  // -1: nothing selected
        bool accepted;
        const char* told;
    } cases[] = {
        {kBrowseToPatch, -1, false, kChooseMenuFirst},
        {kBrowseToPatch, 0, false, kInvalidMenu},
        {kBrowseSecurity, 2, true, kHelpSecurity},  // a submenu item: 0387 0000
        {kBrowseToPatch, 1, true, kHelpToPatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        img.ui.told.clear();
        std::string record;
        img.ui.dialogs.On<TBrowseMenu>() = [&](TBrowseMenu& b) {
            b.Help();
            b.ChooseLanguage(1);
            b.Select(c.row);
            if (c.row >= 0) record = b.Rows().at(static_cast<std::size_t>(c.row)).record;
            const bool ok = b.Ok();
            EXPECT_EQ(b.Result().empty(), !ok);
            return ok;
        };
        const auto result = Browse(img, c.title);
        ASSERT_FALSE(img.ui.told.empty());
        EXPECT_EQ(img.ui.told.front().first,
                  std::string(c.title) == kBrowseToPatch ? kHelpToPatch : kHelpSecurity);
        if (c.accepted) {
            EXPECT_EQ(result, record);
            EXPECT_EQ(img.ui.told.size(), 1u);
        } else {
            EXPECT_FALSE(result);
            EXPECT_EQ(img.ui.Last(), c.told);
        }
    }
}

TEST(TBrowseMenu, CancelAndReopenOfferTheSameLanguages) {
    MenuImage img;
    std::vector<std::vector<std::string>> offered;
    img.ui.dialogs.On<TBrowseMenu>() = [&](TBrowseMenu& b) {
        offered.push_back(b.Languages());
        EXPECT_EQ(b.Language(), 0);
        b.ChooseLanguage(3);
        b.Select(0);
        return false;  // Cancel
    };
    EXPECT_FALSE(Browse(img, kBrowseToPatch));
    EXPECT_FALSE(Browse(img, kBrowseToPatch));
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0], offered[1]);
    EXPECT_EQ(img.ed.menu.language, 0);
    EXPECT_FALSE(img.ed.menu.BrowseMode);
    EXPECT_EQ(img.ui.dialogs.Shown<TBrowseMenu>(), 2);
}
