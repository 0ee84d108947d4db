#include <gtest/gtest.h>

#include <filesystem>

#include "core/HexBuffer.h"
#include "core/UserError.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {
HexBuffer Fixed(std::size_t n) {
    HexBuffer b(true);
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    MemStream s(bytes);
    b.LoadStream(s);
    return b;
}

}  // namespace

TEST(HexBufferSelection, RangeErrors) {
    HexBuffer empty(false);
    EXPECT_EQ(ErrorOf([&] { empty.SetSelectionStart(0); }), "Invalid selection start");
    HexBuffer b = Fixed(8);
    EXPECT_EQ(ErrorOf([&] { b.SetSelectionStart(8); }), "Invalid selection start");
    EXPECT_EQ(ErrorOf([&] { b.SetSelectionEnd(8); }), "Invalid selection end");
    EXPECT_EQ(ErrorOf([&] { b.SetSelectionEnd(-2); }), "Invalid selection end");
    EXPECT_EQ(ErrorOf([&] { (void)b.CopyBytes(8, 1); }), "Invalid buffer from file argument");
    EXPECT_EQ(ErrorOf([&] { (void)b.CopyBytes(-1, 1); }), "Invalid buffer from file argument");
}

TEST(HexBufferSelection, AnchorIsWhereTheSelectionBegan) {
    HexBuffer b = Fixed(16);
    b.SetSelectionStart(10);
    b.SetSelectionEnd(4);
    EXPECT_EQ(b.SelectionStart(), 10);
    EXPECT_EQ(b.SelectionEnd(), 4);
    EXPECT_EQ(b.SelectionLength(), 7);
    EXPECT_EQ(b.CursorPosition(), 10);
    b.SetSelectionEnd(-1);  // only clears
    EXPECT_EQ(b.SelectionLength(), 0);
    EXPECT_EQ(b.SelectionStart(), 10);
    EXPECT_EQ(b.SelectionEnd(), 10);
    b.SelectAll();
    EXPECT_EQ(b.SelectionStart(), 0);
    EXPECT_EQ(b.SelectionEnd(), 15);
    EXPECT_EQ(b.CursorPosition(), 15);
}

TEST(HexBufferSelection, CopyIsCutAtTheEnd) {
    HexBuffer b = Fixed(8);
    EXPECT_EQ(b.CopyBytes(6, 10), (Bytes{6, 7}));
}

TEST(HexBufferReplace, FixedSizeTakesOnlyWhatTheSelectionHolds) {
    HexBuffer b = Fixed(8);
    b.SetSelectionStart(2);
    b.SetSelectionEnd(5);
    b.ReplaceSelected(Bytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6});
    EXPECT_EQ(b.Data(), (Bytes{0, 1, 0xA1, 0xA2, 0xA3, 0xA4, 6, 7}));
    EXPECT_EQ(b.SelectionStart(), 5);  // the last replaced byte
    EXPECT_EQ(b.SelectionEnd(), 2);
    EXPECT_TRUE(b.Modified());

    HexBuffer c = Fixed(8);
    c.SetSelectionStart(2);
    c.SetSelectionEnd(5);
    c.ReplaceSelected(Bytes{0xB1, 0xB2});
    EXPECT_EQ(c.Data(), (Bytes{0, 1, 0xB1, 0xB2, 4, 5, 6, 7}));
    EXPECT_EQ(c.SelectionStart(), 3);
    EXPECT_EQ(c.SelectionEnd(), 2);
}

TEST(HexBufferReplace, FixedSizeRefusesInsertionSilently) {
    HexBuffer b = Fixed(4);
    b.SetSelectionStart(1);
    b.ReplaceSelected(Bytes{9, 9});
    EXPECT_EQ(b.Data(), (Bytes{0, 1, 2, 3}));
    EXPECT_FALSE(b.Modified());
    HexBuffer empty(true);
    empty.ReplaceSelected(Bytes{1});
    EXPECT_EQ(empty.Size(), 0);
}

TEST(HexBufferReplace, ResizableReplacesAndInserts) {
    HexBuffer b(false);
    b.SetHexText("00010203");
    b.SetSelectionStart(1);
    b.SetSelectionEnd(2);
    b.ReplaceSelected(Bytes{7, 7, 7});
    EXPECT_EQ(b.Data(), (Bytes{0, 7, 7, 7, 3}));
    b.SetSelectionStart(0);
    b.ReplaceSelected(Bytes{5});  // no selection: insert at the cursor
    EXPECT_EQ(b.Data(), (Bytes{5, 0, 7, 7, 7, 3}));
}

TEST(HexBufferHexText, SkipsNonDigitsAndDropsALastLoneDigit) {
    HexBuffer sub(false);
    sub.SetHexText("0A 0b-zz1");
    EXPECT_EQ(sub.Data(), (Bytes{0x0A, 0x0B}));
    EXPECT_EQ(sub.HexText(), "0A0B");
    sub.SetHexText("zz");
    EXPECT_EQ(sub.Size(), 0);

    HexBuffer main = Fixed(4);
    main.SetHexText("FFEEDDCCBBAA");
    EXPECT_EQ(main.Data(), (Bytes{0xFF, 0xEE, 0xDD, 0xCC}));
    main.SetHexText("11");
    EXPECT_EQ(main.Data(), (Bytes{0x11, 0xEE, 0xDD, 0xCC}));
    HexBuffer emptyMain(true);
    emptyMain.SetHexText("1122");
    EXPECT_EQ(emptyMain.Size(), 0);

    // Pairs are taken whole while the text is digits only, then character by character.
    const std::vector<std::pair<const char*, Bytes>> texts = {
        {"", {}},
        {"a", {}},
        {"0a1B2c", {0x0A, 0x1B, 0x2C}},
        {"0a1B2", {0x0A, 0x1B}},
        {"0a1 B2c", {0x0A, 0x1B, 0x2C}},
        {" 0a", {0x0A}},
        {"0a-", {0x0A}},
        {"0a1-", {0x0A}},
        {"0a1-b", {0x0A, 0x1B}},
    };
    for (const auto& [text, bytes] : texts) EXPECT_EQ(HexToBytes(text), bytes) << text;
}

TEST(HexBufferSearch, PatternMayNotRunPastTheEnd) {
    HexBuffer b(false);
    b.SetHexText("0102030405");
    const Bytes p{4, 5, 6};
    EXPECT_EQ(b.Search(p.data(), 3, 0, 4, false), -1);
    const Bytes q{4, 5};
    EXPECT_EQ(b.Search(q.data(), 2, 0, 99, false), 3);
    EXPECT_EQ(b.Search(q.data(), 2, 0, 3, false), -1);  // last byte beyond `to`
    EXPECT_EQ(b.Search(q.data(), 0, 0, 4, false), -1);
}

TEST(HexBufferFiles, LoadFailureNamesPathAndReason) {
    TempDir dir;
    HexBuffer b(true);
    const std::string missing = dir.Path("none.fls");
    EXPECT_EQ(ErrorOf([&] { b.LoadFile(missing); }),
              "Cannot open " + missing + ".\r\n(No such file or directory.)");
}

TEST(HexBufferFiles, BackupOnlyWhenSavingOverTheLoadedFileAfterAnEdit) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls");
    WriteFile(a, Bytes{1, 2, 3, 4});
    HexBuffer buf(true);
    buf.LoadFile(a);
    buf.WriteAt(0, Bytes{9});
    buf.SaveFile(b, true);  // a new name: no backup
    EXPECT_FALSE(std::filesystem::exists(b + ".bak"));
    EXPECT_FALSE(std::filesystem::exists(a + ".bak"));
    EXPECT_EQ(ReadFile(b), (Bytes{9, 2, 3, 4}));

    buf.WriteAt(1, Bytes{8});
    buf.SaveFile(b, true);  // same name after an edit: the first save becomes the backup
    EXPECT_EQ(ReadFile(b + ".bak"), (Bytes{9, 2, 3, 4}));
    EXPECT_EQ(ReadFile(b), (Bytes{9, 8, 3, 4}));

    buf.SaveFile(b, true);  // nothing changed since: the backup stays
    EXPECT_EQ(ReadFile(b + ".bak"), (Bytes{9, 2, 3, 4}));
    EXPECT_FALSE(buf.HasUnsavedChanges());
}

TEST(HexBufferFiles, FailedSaveLeavesTargetAndNoTemporaryFile) {
    TempDir dir;
    const std::string a = dir.Path("a.fls");
    WriteFile(a, Bytes{1, 2, 3, 4});
    HexBuffer buf(true);
    buf.LoadFile(a);
    buf.WriteAt(0, Bytes{9});
    const std::string bad = dir.Path("no/such/dir/x.fls");
    EXPECT_EQ(ErrorOf([&] { buf.SaveFile(bad, true); }),
              "Cannot create file " + bad + " (No such file or directory)");
    EXPECT_TRUE(buf.Modified());
    EXPECT_EQ(buf.FileName(), a);
    // A target that is a folder cannot be replaced: the folder and the old file stay.
    const std::string folder = dir.Path("folder.fls");
    std::filesystem::create_directory(folder);
    EXPECT_THROW(buf.SaveFile(folder, true), UserError);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    for (const auto& e : std::filesystem::directory_iterator(dir.Path("")))
        EXPECT_EQ(e.path().string().find("tmp~"), std::string::npos) << e.path();
}
