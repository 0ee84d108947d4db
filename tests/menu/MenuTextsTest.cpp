#include <gtest/gtest.h>

#include "core/UserError.h"
#include "menu/MenuTestSupport.h"

using namespace brivant;
using namespace brivant::test;

// Row 1 of the sample root names a text ID, row 0 the inline "Phone book"; COMM holds five
// texts, ENGL two ("Yes", "No"), DEUT four ("H\ni", "Ja", "", "Nein"), RUSS two bytes each.
TEST(MenuTexts, TextIdsByLanguage) {
    struct Case {
        std::uint16_t id;
        int language;
        std::string name;
        bool fails = false;
    };
    const Case cases[] = {
        {6, 1, "No"},
        {6, 2, "Ja"},
        {6, 3, "\\x00N\\x00e\\x00t"},  // as the language list shows two-byte texts
        {5, 1, "Net Monitor"},         // the COMM count itself: index 0
        {0, 1, "Net Monitor"},
        {8, 2, "Nein"},
        {7, 1, "", true},  // index 2 of a language with two texts
        {9, 2, "", true},
        {0xFEFF, 3, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        MenuImage img;
        img.Choose(1);
        const std::vector<MenuRow> before = img.ed.menu.tab.rows;
        const std::vector<std::string> texts = img.ed.texts.languageTexts;
        img.Poke(img.TextOf(1) + 1,
                 {static_cast<std::uint8_t>(c.id >> 8), static_cast<std::uint8_t>(c.id)});
        if (!c.fails) {
            img.Choose(c.language);
            const auto& rows = img.ed.menu.tab.rows;
            ASSERT_EQ(rows.size(), before.size());
            EXPECT_EQ(rows[1].name, c.name);
            // Only names of text IDs depend on the language.
            for (std::size_t r = 0; r < rows.size(); ++r) {
                EXPECT_EQ(rows[r].textPointer + rows[r].funcPointer,
                          before[r].textPointer + before[r].funcPointer);
                if (r != 1) {
                    EXPECT_EQ(rows[r].name, before[r].name);
                }
            }
            continue;
        }
        try {
            img.Choose(c.language);
            ADD_FAILURE() << "listed";
        } catch (const UserError& e) {
            EXPECT_EQ(std::string(e.what()), Format(kTextIdBeyond, {IntToHex(c.id, 4)}));
        }
        // Nothing changed: the rows and texts of the last listing stay.
        EXPECT_EQ(img.ed.menu.tab.rows.size(), before.size());
        EXPECT_EQ(img.ed.menu.tab.rows[1].name, "No");
        EXPECT_EQ(img.ed.texts.languageTexts, texts);
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
    MenuImage img;
    img.Choose(1);
    for (const auto& c : cases) {
        img.Poke(img.TextOf(0), HexToBytes(c.hex));
        img.Choose(1);
        EXPECT_EQ(img.ed.menu.tab.rows.at(0).name, c.name) << c.hex;
    }
    // "Select Here" lists no level, as a freshly opened window shows it.
    img.Choose(0);
    EXPECT_TRUE(img.ed.menu.tab.rows.empty());
    EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: 0");
}

TEST(MenuLevels, WalkRefusalsKeepTheLevel) {
    // A function item has no submenu.
    {
        MenuImage img;
        img.Choose(1);
        img.Enter(0);
        EXPECT_EQ(img.ui.Messages(), std::vector<std::string>{kNoSubMenus});
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
    }
    // A Func Pointer below the image: the short form tells, the long form takes the address
    // as it is and ends in the buffer's range error.
    for (const int family : {4, 2}) {
        MenuImage img(family);
        img.Choose(1);
        img.Poke(img.RecordAt(2) + (family == 4 ? 4 : 8), HexToBytes("00100000"));
        img.Choose(1);
        if (family == 4) {
            img.Enter(2);
            EXPECT_EQ(img.ui.Messages(), std::vector<std::string>{kNoSubMenuOffsets});
        } else {
            EXPECT_THROW(img.Enter(2), UserError);
        }
        EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 1u);
        EXPECT_FALSE(img.ed.menu.tab.backEnabled);
    }
    // A submenu that cannot be listed: the walk stays on the level shown.
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

TEST(MenuLevels, ItemCountZeroAndMissingRoot) {
    MenuImage img;
    img.Choose(1);
    img.Enter(2);
    const std::int64_t games = ToImageOffset(FuncPointerValue(img.ed.menu.tab.rows[1].record));
    img.Poke(static_cast<std::int32_t>(games) + 4, {0x00});
    img.Enter(1);
    EXPECT_EQ(img.ed.menu.tab.records.size(), 1u);
    EXPECT_TRUE(img.ed.menu.tab.rows.empty());  // its only record is hidden
    EXPECT_EQ(img.ed.menu.menuCount, "Menu Count: 0");

    img.Poke(img.Find(HexToBytes(kRootKindHex)), {0x10, 0x01, 0x01, 0x01});
    try {
        GetRootOffset(img.ed, img.ed.menu);
        ADD_FAILURE() << "found a root";
    } catch (const UserError& e) {
        EXPECT_EQ(std::string(e.what()), HexBuffer::kInvalidSelStart);
    }
    EXPECT_EQ(img.ed.menu.tab.stack.levels.size(), 3u);
}
