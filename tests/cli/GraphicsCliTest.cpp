#include <gtest/gtest.h>

#include "support/TestSupport.h"

#ifdef BRIVANT_PLATFORM
#include "platform/QtBitmapFiles.h"
#endif

namespace brivant::test {
namespace {

TEST(CliBmp, ListShowsTheCatalogWithItsForms) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3410"}).status, 0);
    const CliRun r = Cli({"bmp", "list", x, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"mainCount\":14")) << r.out;
    EXPECT_TRUE(Has(r.out, "{\"id\":\"00A\",\"width\":10,\"height\":10,\"address\":\"00"));
    EXPECT_TRUE(Has(r.out, "\"form\":\"rle\"},{\"id\":\"00E\""));
    EXPECT_TRUE(Has(r.out, "\"id\":\"00E\",\"width\":8,\"height\":8"));

    const CliRun s = Cli({"bmp", "show", x, "5", "--json"});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(Has(s.out, "{\"id\":\"005\",\"width\":3,\"height\":8,\"pixels\":\""));
    EXPECT_EQ(Cli({"bmp", "show", x, "ZZ"}).status, 2);
}

#ifdef BRIVANT_PLATFORM
// Every bitmap out and back in leaves every picture as it was; a picture changed outside
// shows the change.
TEST(CliBmp, ExportAllImportAllAndAnEditedPicture) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3410"}).status, 0);
    ASSERT_EQ(Cli({"bmp", "export-all", x, dir.Path("logo.bmp")}).status, 0);
    // Every picture as it was: nothing to save, as for one unchanged import.
    const CliRun in = Cli({"bmp", "import-all", x, dir.Path("logo000.bmp"), "-o", y});
    ASSERT_EQ(in.status, 1) << in.err;
    EXPECT_TRUE(Has(in.err, "Nothing to save")) << in.err;
    WriteFile(y, ReadFile(x));
    for (const char* id : {"000", "001", "002", "008", "00A", "013"}) {
        const CliRun a = Cli({"bmp", "show", x, id});
        const CliRun b = Cli({"bmp", "show", y, id});
        ASSERT_EQ(a.status, 0) << a.err;
        EXPECT_EQ(a.out, b.out) << id;
    }

    BitmapFiles& files = PlatformBitmapFiles();
    BitmapCanvas c = files.Read(dir.Path("logo003.bmp"));
    c.Set(1, 1, !c.Dark(1, 1));
    files.Write(dir.Path("mine.bmp"), c);
    ASSERT_EQ(Cli({"bmp", "import", y, "003", dir.Path("mine.bmp"), "-o", z}).status, 0);
    const std::string before = Cli({"bmp", "show", y, "003"}).out;
    const std::string after = Cli({"bmp", "show", z, "003"}).out;
    ASSERT_EQ(before.size(), after.size());
    EXPECT_NE(before[10], after[10]);  // row 1, column 1 of 8 columns + newline
    EXPECT_EQ(before.substr(11), after.substr(11));
}
#endif

}  // namespace
}  // namespace brivant::test
