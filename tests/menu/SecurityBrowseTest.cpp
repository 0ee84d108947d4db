#include <gtest/gtest.h>

#include "menu/SecurityBrowse.h"
#include "menu/SecurityPatch.h"
#include "menu/SecurityPatterns.h"
#include "menu/SecurityState.h"
#include "menu/SecurityTestSupport.h"
#include "menu/TBrowseMenu.h"

namespace brivant::test {
namespace {

TEST(SecurityGroup, BrowseButtonChecksInOrder) {
    struct Case {
        int family, designation;
        bool open;
        const char* message;
    };
    const Case cases[] = {
        {18, -1, true, kSecurityUnsupported},
        {3, -1, false, "Please open flash file first"},
        {1, kNoDesignation, true, "Please choose correct phone type"},
    };
    for (const Case& c : cases) {
        SecurityFixture f(c.family, c.designation);
        if (!c.open) f.ed.fileNameField.clear();
        f.ed.security.securityOffset1 = "kept";
        BrowseSecurityField(f.ed, f.ed.security, f.ed.menu, f.ed.texts, f.ui, 1);
        EXPECT_EQ(f.ui.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(f.ui.dialogs.Shown<TBrowseMenu>(), 0);
        EXPECT_EQ(f.ed.security.securityOffset1, "kept");
    }
}

// The items picked in the browser guard the whole Messages menu as the automatic choice
// does; a cancelled browser leaves a field as it was.
TEST(SecurityGroup, BrowsedItemsPatchAsTheTableDoes) {
    for (int family : {3, 10}) {
        SecurityFixture byTable(family);
        ASSERT_TRUE(PatchSecurityCode(byTable.ed, byTable.ed.security, byTable.ui));

        SecurityFixture f(family);
        std::vector<std::string> titles;
        // The row named `name`, after walking into the row named `via` when there is one.
        const auto pick = [&](const std::string& via, const std::string& name) {
            f.ui.dialogs.On<TBrowseMenu>() = [&titles, via, name](TBrowseMenu& b) {
                titles.push_back(b.Title());
                b.ChooseLanguage(1);
                const auto find = [&b](const std::string& n) {
                    for (std::size_t i = 0; i < b.Rows().size(); ++i)
                        if (b.Rows()[i].name == n) return static_cast<int>(i);
                    return -1;
                };
                if (!via.empty()) b.ViewSubMenu(find(via));
                b.Select(find(name));
                return b.Ok();
            };
        };
        ChooseSecurityOption(f.ed.security, kManual);
        pick("", "Messages");
        BrowseSecurityField(f.ed, f.ed.security, f.ed.menu, f.ed.texts, f.ui, 1);
        pick("Security settings", "Security code");
        BrowseSecurityField(f.ed, f.ed.security, f.ed.menu, f.ed.texts, f.ui, 2);
        EXPECT_EQ(titles, (std::vector<std::string>{kBrowseToPatch, kBrowseSecurity}));
        ASSERT_EQ(f.ed.security.securityOffset1.size(), 32u) << f.ui.Last();
        EXPECT_EQ(f.ed.security.securityOffset2.substr(12, 4), "05E0");

        const std::string kept = f.ed.security.securityOffset2;
        f.ui.dialogs.On<TBrowseMenu>() = [](TBrowseMenu&) { return false; };
        BrowseSecurityField(f.ed, f.ed.security, f.ed.menu, f.ed.texts, f.ui, 2);
        EXPECT_EQ(f.ed.security.securityOffset2, kept);

        f.ui.told.clear();
        ASSERT_TRUE(PatchSecurityCode(f.ed, f.ed.security, f.ui)) << f.ui.Last();
        EXPECT_TRUE(f.Image() == byTable.Image()) << family;
    }
}

}  // namespace
}  // namespace brivant::test
