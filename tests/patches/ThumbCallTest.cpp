#include <gtest/gtest.h>

#include "patches/ThumbCall.h"

namespace brivant::test {
namespace {

constexpr std::int64_t kMaxForward = 2 * ((std::int64_t{1} << 21) - 1);  // bytes past from + 4
constexpr std::int64_t kMaxBack = -2 * (std::int64_t{1} << 21);

TEST(ThumbCall, EncodesAndDecodesBackToTheTarget) {
    struct Case {
        std::int64_t from, to;
        std::uint32_t word;
    };
    const Case cases[] = {
        {0x1000, 0x2000, 0xF000FFFE},
        {0x2000, 0x1000, 0xF7FEFFFE},
        {0x1000, 0x1004, 0xF000F800},                 // the next instruction but one
        {0x1000, 0x1002, 0xF7FFFFFF},                 // one halfword back from a + 4
        {0x1000, 0x1004 + kMaxForward, 0xF3FFFFFF},   // farthest forward
        {0x400000, 0x400004 + kMaxBack, 0xF400F800},  // farthest back
        {0x2FFFFE, 0x200000 + 0x123456, 0xF023FA2A},  // phone addresses
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const auto word = EncodeBL(c.from, c.to);
        ASSERT_TRUE(word.has_value());
        EXPECT_EQ(*word, c.word);
        EXPECT_TRUE(IsBL(*word));
        EXPECT_EQ(DecodeBL(c.from, *word), c.to);
    }
}

TEST(ThumbCall, OutOfReachAndOddDistances) {
    EXPECT_FALSE(EncodeBL(0x1000, 0x1004 + kMaxForward + 2).has_value());
    EXPECT_FALSE(EncodeBL(0x400000, 0x400004 + kMaxBack - 2).has_value());
    // Half a halfword is dropped toward zero, whichever way the call goes.
    EXPECT_EQ(*EncodeBL(0x1000, 0x1007), *EncodeBL(0x1000, 0x1006));
    EXPECT_EQ(*EncodeBL(0x1000, 0x1001), *EncodeBL(0x1000, 0x1002));
}

TEST(ThumbCall, TellsCallsFromOtherCode) {
    EXPECT_TRUE(IsBL(0xF000F800));
    EXPECT_TRUE(IsBL(0xF7FFFFFF));
    EXPECT_FALSE(IsBL(0xEFFFF800));  // first halfword too low
    EXPECT_FALSE(IsBL(0xF800F800));  // two second halves
    EXPECT_FALSE(IsBL(0xF000F7FF));  // second halfword too low
    EXPECT_FALSE(IsBL(0x43880600));
}

}  // namespace
}  // namespace brivant::test
