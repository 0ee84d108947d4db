#include <gtest/gtest.h>

#include "core/UserError.h"
#include "menu/MenuTab.h"
#include "menu/MenuTestSupport.h"

using namespace brivant;
using namespace brivant::test;

// Row 1 of the sample root names text ID 6, the first text after COMM's five; row 0 is the
// inline "Phone book".
TEST(MenuTexts, LanguagesChangeOnlyTheTextIdNames) {
    MenuImage img;
    img.Choose(1);
    const std::vector<MenuRow> english = img.ed.menu.tab.rows;
    // Names are the language texts as the language list shows them (two-byte texts with
    // their high bytes escaped).
    EXPECT_EQ(img.ed.texts.CommTextCount, 5);

    const struct {
        int language;
        const char* name;
    } cases[] = {{2, "Ja"}, {3, "\\x00N\\x00e\\x00t"}, {1, "No"}};
    for (const auto& c : cases) {
        img.Choose(c.language);
        const auto& rows = img.ed.menu.tab.rows;
        ASSERT_EQ(rows.size(), english.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(rows[r].textPointer, english[r].textPointer);
            EXPECT_EQ(rows[r].funcPointer, english[r].funcPointer);
            EXPECT_EQ(rows[r].name, r == 1 ? c.name : english[r].name) << r;
        }
    }
    // "Select Here" lists nothing and leaves the rows in place.
    img.Choose(0);
    EXPECT_EQ(img.ed.menu.tab.rows.size(), english.size());
    EXPECT_EQ(img.ed.menu.tab.rows[1].name, "No");
}

TEST(MenuTexts, TextIdEdgeCases) {
    struct Case {
        std::uint16_t id;
        int language;
        std::string name;  // empty with `fails`
        bool fails = false;
    };
    // ENGL holds 2 texts, DEUT 4 ("H\ni", "Ja", "", "Nein").
    const Case cases[] = {
        {5, 1, "Net Monitor"},  // the COMM count itself: index 0
        {0, 1, "Net Monitor"},  // below it
        {6, 2, "Ja"},          {7, 2, ""},
        {8, 2, "Nein"},        {7, 1, "", true},  // index 2 of a language with 2 texts
        {9, 2, "", true},      {0xFEFF, 3, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        MenuImage img;
        img.Choose(1);
        const std::vector<MenuRow> before = img.ed.menu.tab.rows;
        const std::vector<std::string> texts = img.ed.texts.languageTexts;
        img.Poke(img.TextOf(1) + 1,
                 {static_cast<std::uint8_t>(c.id >> 8), static_cast<std::uint8_t>(c.id)});
        if (c.fails) {
            try {
                img.Choose(c.language);
                ADD_FAILURE() << "listed";
            } catch (const UserError& e) {
                EXPECT_EQ(std::string(e.what()), Format(kTextIdBeyond, {IntToHex(c.id, 4)}));
            }
            // Nothing changed: the rows, the texts and the count of the last listing.
            ASSERT_EQ(img.ed.menu.tab.rows.size(), before.size());
            EXPECT_EQ(img.ed.menu.tab.rows[1].name, "No");
            EXPECT_EQ(img.ed.texts.languageTexts, texts);
        } else {
            img.Choose(c.language);
            EXPECT_EQ(img.ed.menu.tab.rows.at(1).name, c.name);
        }
    }
}

TEST(MenuTexts, InlineTextsByteByByte) {
    const struct {
        const char* hex;
        std::string name;
    } cases[] = {
        {"04FF004D0065006E00750000", "Menu"},
        {"04FF0000", ""},
        // A unit with a high byte gives two characters; the first 00 00 pair ends the text
        // wherever it lies.
        {"04FF01410042000000430000",
         "\x01"
         "AB"},
        {"04FF0041010000420000", "A\x01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex);
        MenuImage img;
        img.Choose(1);
        img.Poke(img.TextOf(0), HexToBytes(c.hex));
        img.Choose(1);
        EXPECT_EQ(img.ed.menu.tab.rows.at(0).name, c.name);
    }
}

TEST(MenuLevels, WalkRefusalsKeepTheLevel) {
    // A function item has no submenu.
    {
        MenuImage img;
        img.Choose(1);
        img.Enter(0);
        EXPECT_EQ(img.ui.Messages(), std::vector<std::string>{kNoSubMenus});
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
        EXPECT_EQ(img.Names()[0], "Phone book");
    }
    // A short record whose Func Pointer lies below the image.
    {
        MenuImage img;
        img.Choose(1);
        const std::int32_t at = img.RecordAt(2);
        img.Poke(at + 4, HexToBytes("00100000"));
        img.Choose(1);
        img.Enter(2);
        EXPECT_EQ(img.ui.Messages(), std::vector<std::string>{kNoSubMenuOffsets});
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
    }
    // The long form takes the address without that test: the buffer's range error.
    {
        MenuImage img(2);
        img.Choose(1);
        const std::int32_t at = img.RecordAt(2);
        img.Poke(at + 8, HexToBytes("00100000"));
        img.Choose(1);
        EXPECT_THROW(img.Enter(2), UserError);
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
        EXPECT_FALSE(img.ed.menu.tab.backEnabled);
    }
    // A submenu that cannot be listed: the walk goes back to the level shown.
    {
        MenuImage img;
        img.Choose(1);
        img.Enter(2);
        img.Poke(img.TextOf(2) + 1, {0x00, 0x09});
        img.Leave();
        EXPECT_THROW(img.Enter(2), UserError);
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
        EXPECT_FALSE(img.ed.menu.tab.backEnabled);
        EXPECT_EQ(img.Names()[2], "Extras");
    }
}

TEST(MenuLevels, ItemCountZeroReadsOneRecord) {
    MenuImage img;
    img.Choose(1);
    img.Enter(2);
    const std::int64_t games = ToImageOffset(FuncPointerValue(img.ed.menu.tab.rows[1].record));
    img.Poke(static_cast<std::int32_t>(games) + 4, {0x00});
    img.Enter(1);
    EXPECT_EQ(img.ed.menu.tab.records.size(), 1u);
    EXPECT_TRUE(img.ed.menu.tab.rows.empty());  // its only record is hidden
    EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: 0");
}

TEST(MenuLevels, RootMissingAnd62xx) {
    {
        MenuImage img;
        const MenuLevels before = img.ed.menu.tab.stack;
        img.Poke(img.Find(HexToBytes(kRootKindHex)), {0x10, 0x01, 0x01, 0x01});
        try {
            GetRootOffset(img.ed, img.ed.menu);
            ADD_FAILURE() << "found a root";
        } catch (const UserError& e) {
            EXPECT_EQ(std::string(e.what()), HexBuffer::kInvalidSelStart);
        }
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), before.levels.size());
    }
    {
        MenuImage img(18);
        EXPECT_EQ(img.ui.Messages(), std::vector<std::string>{kMenuUnsupported});
        img.ed.menu.language = 1;
        ListMenuLevel(img.ed, img.ed.menu, img.ed.texts, img.ui);
        EXPECT_EQ(img.ui.Messages(),
                  (std::vector<std::string>{kMenuUnsupported, kMenuUnsupported}));
        EXPECT_TRUE(img.ed.menu.tab.rows.empty());
    }
}
