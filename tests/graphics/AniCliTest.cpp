#include <gtest/gtest.h>

#include <algorithm>

#include "app/FileFlow.h"
#include "graphics/AniCatalog.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// The JSON row of one animation: from its id up to the next row.
std::string RowOf(const std::string& json, const std::string& id) {
    const auto at = json.find("{\"id\":\"" + id + "\"");
    if (at == std::string::npos) return {};
    return json.substr(at, json.find('}', at) - at);
}

std::string AddressOf(const std::string& row) {
    const std::string key = "\"address\":\"";
    const auto at = row.find(key);
    return at == std::string::npos ? "" : row.substr(at + key.size(), 8);
}

// Five frames for animation 000 on a demo image: its list moves to the free space, the
// saved image lists it at its new address and its checksums hold; a choice that leaves
// the bytes as they are is nothing to save.
TEST(AniCli, SetLengthAndFrame) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const CliRun before = Cli({"ani", "list", x, "--json"});
    ASSERT_EQ(before.status, 0) << before.err;
    EXPECT_TRUE(Has(before.out, "\"enabled\":true")) << before.out;
    EXPECT_TRUE(Has(RowOf(before.out, "001"),
                    "\"lengthByte\":\"06\",\"frames\":[\"0002\",\"0003\",\"0004\"],"
                    "\"bitmaps\":[\"002\",\"003\",\"004\"]"))
        << before.out;

    const CliRun set = Cli({"ani", "set-length", x, "000", "5", "-o", y});
    ASSERT_EQ(set.status, 0) << set.err;
    const CliRun after = Cli({"ani", "list", y, "--json"});
    const std::string row = RowOf(after.out, "000");
    EXPECT_TRUE(Has(row,
                    "\"lengthByte\":\"0A\",\"frames\":[\"0001\",\"0002\",\"0003\","
                    "\"0004\",\"0005\"]"))
        << after.out;
    EXPECT_NE(AddressOf(row), AddressOf(RowOf(before.out, "000")));
    EXPECT_EQ(AddressOf(row).size(), 8u);
    EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));

    const CliRun same = Cli({"ani", "set-frame", y, "001", "2", "004", "-o", z});
    EXPECT_EQ(same.status, 1);
    EXPECT_TRUE(Has(same.err, kNothingEdited)) << same.err;
    const CliRun frame = Cli({"ani", "set-frame", y, "001", "2", "00B", "-o", z});
    ASSERT_EQ(frame.status, 0) << frame.err;
    EXPECT_TRUE(Has(RowOf(Cli({"ani", "list", z, "--json"}).out, "001"),
                    "\"frames\":[\"0002\",\"0003\",\"000B\"]"));

    const CliRun none = Cli({"ani", "set-length", y, "001", "0", "-o", z});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(Has(none.err, "An animation needs at least one frame")) << none.err;
}

// One bad record blocks nothing else: a first frame that names no bitmap (FFFF) is listed
// as "---", the bitmaps still list, and `ani set-frame` repairs it; an animation mark with
// no table behind it leaves `bmp list` working.
TEST(AniCli, BadFrameOrMissingTableBlocksNothingElse) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const std::string address = AddressOf(RowOf(Cli({"ani", "list", x, "--json"}).out, "000"));
    ASSERT_EQ(address.size(), 8u);
    Bytes image = ReadFile(x);
    const auto list = static_cast<std::size_t>(HexTextToInt(address) - 0x200000);
    image[list] = 0xFF;
    image[list + 1] = 0xFF;
    WriteFile(y, image);

    const CliRun shown = Cli({"ani", "list", y});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_TRUE(Has(shown.out, "FFFF(---)")) << shown.out;
    const CliRun bitmaps = Cli({"bmp", "list", y});
    EXPECT_EQ(bitmaps.status, 0) << bitmaps.err;
    const CliRun repair = Cli({"ani", "set-frame", y, "000", "0", "001", "-o", z});
    ASSERT_EQ(repair.status, 0) << repair.err;
    EXPECT_TRUE(Has(RowOf(Cli({"ani", "list", z, "--json"}).out, "000"), "\"frames\":[\"0001\""));

    // The mark stays, the pointer table behind it is gone.
    image = ReadFile(x);
    const Bytes mark = HexToBytes(kAniMarkHex);
    const auto at = std::search(image.begin(), image.end(), mark.begin(), mark.end());
    ASSERT_NE(at, image.end());
    std::fill(at + static_cast<std::ptrdiff_t>(mark.size()), at + 0x200, 0x00);
    WriteFile(y, image);
    const CliRun noTable = Cli({"bmp", "list", y});
    EXPECT_EQ(noTable.status, 0) << noTable.err;
    EXPECT_TRUE(Has(noTable.err, "Cannot find the animation")) << noTable.err;
}

}  // namespace
}  // namespace brivant::test
