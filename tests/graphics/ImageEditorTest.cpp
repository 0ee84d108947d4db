#include <gtest/gtest.h>

#include "graphics/TImagEdit.h"

namespace brivant::test {
namespace {

TEST(ImageEditor, OpensZoomedWithGridAndDrawsWithTheButtons) {
    TImagEdit m;
    m.Prepare(3, 8, HexToBytes("010080"));
    EXPECT_TRUE(m.Picture().Dark(0, 0));
    EXPECT_TRUE(m.Picture().Dark(2, 7));
    EXPECT_FALSE(m.Picture().Dark(1, 0));
    const BitmapCanvas& z = m.Zoom();
    ASSERT_EQ(z.width, 15);
    ASSERT_EQ(z.height, 40);
    EXPECT_TRUE(z.Dark(0, 0) && z.Dark(3, 3));  // the set pixel's square
    EXPECT_TRUE(z.Dark(9, 1));                  // grid column
    EXPECT_TRUE(z.Dark(6, 14));                 // grid row
    EXPECT_FALSE(z.Dark(6, 6));                 // a clear pixel's square

    m.accepted = false;
    m.Press(7, 12, true);  // pixel (1, 2)
    EXPECT_EQ(BytesToHex(m.ByteText()), "010480");
    EXPECT_TRUE(m.Zoom().Dark(6, 11));
    EXPECT_TRUE(m.accepted);
    m.Press(2, 2, false);  // any other button: white
    EXPECT_EQ(BytesToHex(m.ByteText()), "000480");

    m.accepted = false;
    m.Press(15, 0, true);  // outside the picture
    m.Press(0, 40, true);
    EXPECT_EQ(BytesToHex(m.ByteText()), "000480");
    EXPECT_FALSE(m.accepted);

    // Moving draws with exactly the left or exactly the right button and no modifier.
    struct Case {
        PointerState held;
        const char* bytes;
    };
    const Case moves[] = {
        {{.left = true}, "010480"},
        {{.left = true, .shift = true}, "000480"},
        {{.left = true, .ctrl = true}, "000480"},
        {{.left = true, .right = true}, "000480"},
        {{.left = true, .other = true}, "000480"},
        {{}, "000480"},
    };
    for (const Case& c : moves) {
        m.Prepare(3, 8, HexToBytes("000480"));
        m.Move(1, 1, c.held);
        EXPECT_EQ(BytesToHex(m.ByteText()), c.bytes);
    }
    m.Prepare(3, 8, HexToBytes("000480"));
    m.Move(12, 36, {.right = true});
    EXPECT_EQ(BytesToHex(m.ByteText()), "000400");
}

// The size controls crop or extend the picture at its right and bottom edges: every pixel
// inside both sizes stays where it was, new ones are white; the byte text then holds
// exactly width x bands bytes.
TEST(ImageEditor, ResizeKeepsEveryPixelInPlace) {
    TImagEdit m;
    m.Prepare(3, 16, HexToBytes("010203040506"));
    m.accepted = false;
    m.SetWidth(2);  // column 2 of both bands cut
    EXPECT_EQ(BytesToHex(m.ByteText()), "01020405");
    m.SetWidth(6);
    EXPECT_EQ(BytesToHex(m.ByteText()), "010200000000040500000000");
    EXPECT_EQ(m.Zoom().width, 30);
    m.SetHeight(3);  // one band, rows 3 to 7 cut
    EXPECT_EQ(BytesToHex(m.ByteText()), "010200000000");
    m.SetHeight(0);
    EXPECT_TRUE(m.ByteText().empty());
    m.SetWidth(150);
    EXPECT_EQ(m.Width(), TImagEdit::kMaxSize);
    EXPECT_FALSE(m.accepted);

    // One more column and row on a full picture: the old pixels do not move.
    TImagEdit p;
    Bytes all(24 * 2, 0);
    for (std::size_t k = 0; k < all.size(); ++k) all[k] = static_cast<std::uint8_t>(k * 37 + 5);
    p.Prepare(24, 16, all);
    const BitmapCanvas before = p.Picture();
    p.SetWidth(25);
    p.SetHeight(17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 25; ++x)
            EXPECT_EQ(p.Picture().Dark(x, y), before.Dark(x, y)) << x << "," << y;
    EXPECT_EQ(p.ByteText().size(), 25u * 3);
}

TEST(ImageEditor, ClearInvertAndTheAcceptedFlag) {
    TImagEdit m;
    m.Prepare(2, 12, HexToBytes("0180F00F"));
    m.Invert();
    EXPECT_EQ(BytesToHex(m.ByteText()), "FE7F0F00");  // rows 12 to 15 stay clear
    EXPECT_TRUE(m.accepted);
    EXPECT_FALSE(m.Zoom().Dark(1, 1));
    EXPECT_TRUE(m.Zoom().Dark(6, 1));
    m.Cancel();
    EXPECT_FALSE(m.accepted);
    m.Clear();
    EXPECT_EQ(BytesToHex(m.ByteText()), "00000000");
    EXPECT_FALSE(m.Zoom().Dark(6, 1));
    EXPECT_TRUE(m.Zoom().Dark(4, 1));  // the grid is back
    EXPECT_TRUE(m.accepted);

    // Every opening starts unaccepted, whatever the last one left.
    m.Prepare(1, 8, HexToBytes("00"));
    EXPECT_FALSE(m.accepted);
    m.Cancel();
    m.Prepare(1, 8, HexToBytes("00"));
    EXPECT_FALSE(m.accepted);
    m.Ok();
    EXPECT_TRUE(m.accepted);
}

}  // namespace
}  // namespace brivant::test
