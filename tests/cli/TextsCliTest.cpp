#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/HexText.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "support/TestSupport.h"
#include "texts/LanguageChunk.h"
#include "texts/TextEscapes.h"

using namespace brivant;
using namespace brivant::test;

TEST(CliLanguages, EditedTextsReadBackAfterSaving) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const CliRun list = Cli({"lang", "list", x, "--json"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, R"({"rows":[{"language":"COMM","id":"0000C001","length":"00000027"},)"
                        R"({"language":"ENGL","id":"0000C002","length":"00000017"},)"
                        R"({"language":"DEUT","id":"0000C003","length":"0000011D"},)"
                        R"({"language":"RUSS","id":"0000C004","length":"0000001F"}],"count":4})"
                        "\n");

    WriteText(dir.Path("t.txt"), "Ja\xC3\xA4\\x0A\nN\xC3\xB6\n\n\\x01Nein\n");
    const CliRun edit = Cli({"lang", "edit", x, "2", dir.Path("t.txt"), "-o", y});
    ASSERT_EQ(edit.status, 0) << edit.err;
    const CliRun texts = Cli({"lang", "texts", y, "2", "--json"});
    ASSERT_EQ(texts.status, 0) << texts.err;
    EXPECT_EQ(
        texts.out,
        "{\"texts\":[\"Ja\xC3\xA4\\\\x0A\",\"N\xC3\xB6\",\"\",\"\\\\(255)\",\"\\\\x01Nein\"]}\n");
    EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));
    const CliRun info = Cli({"info", y, "--json"});
    EXPECT_EQ(info.out.find("\"checksumOk\":false"), std::string::npos) << info.out;
    // The other languages are untouched.
    EXPECT_EQ(Cli({"lang", "texts", y, "1"}).out, "Yes\nNo\n");
}

TEST(CliLanguages, WrongLineCountOrRowFailsAndWritesNothing) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    WriteText(dir.Path("t.txt"), "only one\n");
    const CliRun r = Cli({"lang", "edit", x, "1", dir.Path("t.txt"), "-o", y});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("holds 1 texts, the language has 2"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(y));
    EXPECT_EQ(Cli({"lang", "delete", x, "7", "-o", y}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(y));
}

TEST(CliLanguages, ExportDeleteAndAddBack) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "62XX/7110"}).status, 0);
    ASSERT_EQ(Cli({"lang", "export", x, "3", dir.Path("r.lng")}).status, 0);
    EXPECT_EQ(ReadFile(dir.Path("r.lng")).size(), 32u);
    ASSERT_EQ(Cli({"lang", "delete", x, "3", "-o", y}).status, 0);
    EXPECT_NE(Cli({"lang", "list", y}).out.find("Languages Count: 3"), std::string::npos);
    ASSERT_EQ(Cli({"lang", "add", y, dir.Path("r.lng"), "-o", z}).status, 0);
    EXPECT_EQ(Cli({"lang", "texts", z, "3"}).out, "\\x00D\\x00a\n\\x00N\\x00e\\x00t\n\\x00\\x01\n");
    EXPECT_TRUE(ChecksumsVerify(ReadFile(z)));
}

TEST(CliOperators, ListShowEditNewAndExport) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const CliRun list = Cli({"ops", "list", x, "--json"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, R"({"rows":[{"country":"PH","code":"515","operators":"03"},)"
                        R"({"country":"UK","code":"234","operators":"00"},)"
                        R"({"country":"FIN","code":"244","operators":"01"},)"
                        R"({"country":"DEUT","code":"262","operators":"03"}],"count":4})"
                        "\n");
    EXPECT_EQ(Cli({"ops", "show", x, "2", "--json"}).out,
              R"({"operators":[{"name":"Ra\\x0Edio","code":"91"}]})"
              "\n");

    WriteText(dir.Path("o.txt"), "02 Globe\n7 Sun \\x01\n");
    const CliRun edit = Cli({"ops", "edit", x, "0", dir.Path("o.txt"), "-o", y});
    ASSERT_EQ(edit.status, 0) << edit.err;
    EXPECT_EQ(Cli({"ops", "show", y, "0", "--json"}).out,
              R"({"operators":[{"name":"Globe","code":"02"},{"name":"Sun \\x01","code":"07"}]})"
              "\n");
    EXPECT_TRUE(ChecksumsVerify(ReadFile(y)));

    // A name longer than the record's four bytes is refused, not cut.
    const CliRun longName = Cli({"ops", "new", y, "ABCDE", "208", "-o", z});
    EXPECT_EQ(longName.status, 1);
    EXPECT_NE(longName.err.find("at most 4 fit"), std::string::npos) << longName.err;
    EXPECT_FALSE(std::filesystem::exists(z));
    ASSERT_EQ(Cli({"ops", "new", y, "ABCD", "208", "-o", z}).status, 0);
    EXPECT_NE(Cli({"ops", "list", z}).out.find("ABCD       208   00"), std::string::npos);
    ASSERT_EQ(Cli({"ops", "export", z, "4", dir.Path("a.opr")}).status, 0);
    EXPECT_EQ(ReadFile(dir.Path("a.opr")), HexToBytes("434E5452000000104142434402F80000"));

    const CliRun bad = Cli({"ops", "new", y, "FR", "33", "-o", z + "2"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("The country code must be three digits"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(z + "2"));
}

// What the editors refuse, the command line refuses with the same words: a backslash that
// starts no \xHH, a character no phone text holds. Nothing is written.
TEST(CliTexts, TextsAreTakenAsTypedOrRefused) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    struct Case {
        const char* group;
        const char* row;
        const char* text;
        const char* told;
    };
    const Case cases[] = {
        {"lang", "1", "C:\\dir\\x41 50%\nNo\n", "\\x5C"},
        {"lang", "1", "\xE2\x82\xACuro\nNo\n", "(U+20AC)"},
        {"ops", "0", "02 Glo\\be\n", "\\x5C"},
        {"ops", "0", "02 Gl\xE2\x82\xAC\n", "(U+20AC)"},
    };
    for (const Case& c : cases) {
        WriteText(dir.Path("t.txt"), c.text);
        const CliRun r = Cli({c.group, "edit", x, c.row, dir.Path("t.txt"), "-o", y});
        EXPECT_EQ(r.status, 1) << c.text;
        EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(y)) << c.text;
    }
    // Written as the editors show it, a backslash is stored as typed.
    WriteText(dir.Path("t.txt"), "C:\\x5Cdir\nNo\n");
    ASSERT_EQ(Cli({"lang", "edit", x, "1", dir.Path("t.txt"), "-o", y}).status, 0);
    EXPECT_EQ(Cli({"lang", "texts", y, "1"}).out, "C:\\x5Cdir\nNo\n");
}

TEST(CliOperators, ChunkImportRebuildsTheList) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(Cli({"ops", "delete", x, "1", "-o", y}).status, 0);
    ASSERT_EQ(Cli({"chunk", "export", y, "PLMN", dir.Path("p.bin")}).status, 0);
    ASSERT_EQ(Cli({"chunk", "import", x, "PLMN", dir.Path("p.bin"), "-o", z}).status, 0);
    EXPECT_NE(Cli({"ops", "list", z}).out.find("Countries Count: 3"), std::string::npos);
    ASSERT_EQ(Cli({"chunk", "import", x, "TEXT", dir.Path("p.bin"), "-o", z + "2"}).status, 1);
}

// Files that the lists would not read back are refused by `lang add` and `ops add` with
// exit 1, naming the file, and no output is written.
TEST(CliTextImports, BadFilesFailAndWriteNothing) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(Cli({"lang", "export", x, "1", dir.Path("e.lng")}).status, 0);
    ASSERT_EQ(Cli({"ops", "export", x, "0", dir.Path("p.opr")}).status, 0);
    const Bytes lng = ReadFile(dir.Path("e.lng"));
    const Bytes opr = ReadFile(dir.Path("p.opr"));
    WriteText(dir.Path("t.txt"), "just some text, no chunk at all\n");
    WriteFile(dir.Path("cut.lng"), Bytes(lng.begin(), lng.begin() + 20));
    WriteFile(dir.Path("cut.opr"), Bytes(opr.begin(), opr.end() - 4));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"lang", "t.txt"},  {"ops", "t.txt"},  {"lang", "cut.lng"},
        {"ops", "cut.opr"}, {"lang", "p.opr"}, {"ops", "e.lng"}};
    for (const auto& [group, file] : cases) {
        SCOPED_TRACE(group + " " + file);
        const CliRun r = Cli({group, "add", x, dir.Path(file), "-o", y});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(Has(r.err, dir.Path(file))) << r.err;
        EXPECT_FALSE(std::filesystem::exists(y));
    }
    // COMM cannot go: the list would not read again.
    const CliRun comm = Cli({"lang", "delete", x, "0", "-o", y});
    EXPECT_EQ(comm.status, 1);
    EXPECT_TRUE(Has(comm.err, "COMM")) << comm.err;
    EXPECT_FALSE(std::filesystem::exists(y));
    EXPECT_EQ(Cli({"lang", "list", x}).status, 0);
}

// A country loaded twice gives two rows; deleting the first leaves the list, the export and
// the saved bytes in agreement.
TEST(CliTextImports, DuplicateCountryRowsActOnTheirOwnRecord) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(Cli({"ops", "export", x, "2", dir.Path("f.opr")}).status, 0);
    ASSERT_EQ(Cli({"ops", "add", x, dir.Path("f.opr"), "-o", y}).status, 0);
    WriteText(dir.Path("o.txt"), "05 Elisa\n");
    ASSERT_EQ(Cli({"ops", "edit", y, "4", dir.Path("o.txt"), "--in-place"}).status, 0);
    EXPECT_EQ(Cli({"ops", "show", y, "2"}).out, "244-91 Ra\\x0Edio\n");
    EXPECT_EQ(Cli({"ops", "show", y, "4"}).out, "244-05 Elisa\n");
    ASSERT_EQ(Cli({"ops", "delete", y, "2", "-o", z}).status, 0);
    EXPECT_EQ(Cli({"ops", "show", z, "3"}).out, "244-05 Elisa\n");
    EXPECT_TRUE(Has(Cli({"ops", "list", z}).out, "Countries Count: 4"));
    EXPECT_TRUE(ChecksumsVerify(ReadFile(z)));
}

// What `lang texts` shows loads back with `lang edit` to the same bytes, on every family's
// every language: entries of 255 (a line of their own form) and two-byte texts included.
TEST(CliLanguages, ShownTextsLoadBackByteForByte) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), t = dir.Path("t.txt");
    for (int family = 1; family <= kPhoneTypeCount; ++family) {
        const std::string type = PhoneTypeTexts()[static_cast<std::size_t>(family)];
        SCOPED_TRACE(type);
        ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
        const Bytes image = ReadFile(x);
        const CliRun list = Cli({"lang", "list", x, "--json"});
        ASSERT_EQ(list.status, 0) << list.err;
        std::size_t rows = 0;
        for (std::size_t at = 0; (at = list.out.find("\"language\"", at)) != std::string::npos;
             ++at)
            ++rows;
        ASSERT_GE(rows, 2u);
        for (std::size_t row = 0; row < rows; ++row) {
            SCOPED_TRACE(row);
            const CliRun texts = Cli({"lang", "texts", x, std::to_string(row)});
            ASSERT_EQ(texts.status, 0) << texts.err;
            WriteText(t, texts.out);
            // The same bytes: nothing to save, and nothing written.
            const CliRun edit = Cli({"lang", "edit", x, std::to_string(row), t, "-o", y});
            EXPECT_EQ(edit.status, 1) << edit.err;
            EXPECT_TRUE(Has(edit.err, "Nothing to save")) << edit.err;
            EXPECT_FALSE(std::filesystem::exists(y));
            EXPECT_TRUE(ReadFile(x) == image);
        }
    }
}

// The entry of 255 of the demo's DEUT: shown in its place, kept by an edit of the texts
// around it together with the bytes it counts, refused when a file drops such a line.
TEST(CliLanguages, EntriesOf255KeepTheirPlaceAndBytes) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), t = dir.Path("t.txt");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    EXPECT_EQ(Cli({"lang", "texts", x, "2"}).out, "H\\x0Ai\nJa\n\n\\(255)\nNein\n");

    WriteText(t, "Hi\nJa\nX\n\\(255)\nNein\n");
    ASSERT_EQ(Cli({"lang", "edit", x, "2", t, "-o", y}).status, 0);
    EXPECT_EQ(Cli({"lang", "texts", y, "2"}).out, "Hi\nJa\nX\n\\(255)\nNein\n");
    const CliRun list = Cli({"lang", "list", y});
    EXPECT_TRUE(Has(list.out, "0000011D")) << list.out;  // 285 - 1 + 1: the 255 bytes stay
    // Texts alone keep the entry where it was; a second entry of 255 is refused.
    WriteText(t, "Hi\nJa\nX\nNein\n");
    ASSERT_EQ(Cli({"lang", "edit", x, "2", t, "-o", y}).status, 0);
    EXPECT_EQ(Cli({"lang", "texts", y, "2"}).out, "Hi\nJa\nX\n\\(255)\nNein\n");
    WriteText(t, "Hi\n\\(255)\nJa\nX\n\\(255)\nNein\n");
    const CliRun two = Cli({"lang", "edit", x, "2", t, "-o", dir.Path("z.fls")});
    EXPECT_EQ(two.status, 1);
    EXPECT_TRUE(Has(two.err, "holds 2 lines \\(255), the language's length table has 1"))
        << two.err;
}

// A byte is typed as \xHH; a raw control character (a stray tab, a terminal's escape) is
// refused with where it stands, in all three commands that take typed text, and nothing is
// written. \xHH in a new country's name is its byte, as in the editors.
TEST(CliTexts, RawControlCharactersAreRefusedWhereTheyStand) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    struct Case {
        std::vector<std::string> args;
        const char* text;
        const char* told;
    };
    const std::string t = dir.Path("t.txt");
    const Case cases[] = {
        {{"lang", "edit", x, "1", t}, "Yes\nN\xC3\xB6\to\n", "Line 2, column 3 of "},
        {{"lang", "edit", x, "1", t}, "\x1B[31mYes\nNo\n", "Line 1, column 1 of "},
        {{"ops", "edit", x, "0", t}, "02 Globe\n03 Sm\x07rt\n", "Line 2, column 6 of "},
        {{"ops", "new", x, "U\x09K", "208"}, "", "NAME, character 2: "},
    };
    for (const Case& c : cases) {
        WriteText(t, c.text);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", y});
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 1) << c.text;
        EXPECT_TRUE(Has(r.err, c.told)) << r.err;
        EXPECT_TRUE(Has(r.err, "a control character (U+00")) << r.err;
        EXPECT_TRUE(Has(r.err, "write the byte as \\x")) << r.err;
        // One line: the question the refusal leaves unanswered is no news.
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(y)) << c.text;
    }
    ASSERT_EQ(Cli({"ops", "new", x, "\\x55K\\x5C", "208", "-o", y}).status, 0);
    ASSERT_EQ(Cli({"ops", "export", y, "4", dir.Path("n.opr")}).status, 0);
    EXPECT_EQ(ReadFile(dir.Path("n.opr")), HexToBytes("434E545200000010554B5C0002F80000"));
    // A refused code: its message alone.
    const CliRun code = Cli({"ops", "new", x, "FR", "33", "-o", dir.Path("z.fls")});
    EXPECT_EQ(code.status, 1);
    EXPECT_EQ(std::count(code.err.begin(), code.err.end(), '\n'), 1) << code.err;
}

// What `lang texts` and `ops show` print, `lang edit` and `ops edit` load back to the same
// bytes, on every family: the image is the same, so there is nothing to save.
TEST(CliTexts, WhatTheListsPrintLoadsBackOnEveryFamily) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), t = dir.Path("t.txt");
    int rows = 0, marked = 0;
    for (int family = 1; family <= 18; ++family) {
        const std::string type = PhoneTypeTexts()[static_cast<std::size_t>(family)];
        ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0) << type;
        for (const char* group : {"lang", "ops"}) {
            const CliRun list = Cli({group, "list", x, "--json"});
            ASSERT_EQ(list.status, 0) << type << list.err;
            const std::size_t count =
                static_cast<std::size_t>(std::count(list.out.begin(), list.out.end(), '{') - 1);
            for (std::size_t row = 0; row < count; ++row) {
                const std::string r = std::to_string(row);
                if (std::string(group) == "lang") {
                    // Length tables that mark a non-text (255) load back too.
                    ASSERT_EQ(Cli({"lang", "export", x, r, dir.Path("l.lng")}).status, 0);
                    const LanguageTexts t = DecodeLanguageChunk(ReadFile(dir.Path("l.lng")));
                    if (t.tableEntries != t.texts.size()) ++marked;
                }
                const CliRun shown =
                    Cli({group, std::string(group) == "lang" ? "texts" : "show", x, r});
                ASSERT_EQ(shown.status, 0) << type << shown.err;
                WriteText(t, shown.out);
                const CliRun back = Cli({group, "edit", x, r, t, "-o", y});
                EXPECT_EQ(back.status, 1) << type << " " << group << " " << r << "\n" << back.err;
                EXPECT_TRUE(Has(back.err, "Nothing to save, Please edit flash file first"))
                    << type << " " << group << " " << r << "\n"
                    << back.err;
                EXPECT_FALSE(std::filesystem::exists(y));
                std::filesystem::remove(y);
                ++rows;
            }
        }
    }
    EXPECT_GT(rows, 18 * 6);
    EXPECT_GT(marked, 0);
}

// Texts holding every byte value (every one but 0 in an operator's name, where 0 ends it):
// typed as \xHH, stored as those bytes, printed so and loaded back to the same bytes.
TEST(CliTexts, EveryByteValueIsTypedPrintedAndLoadedBack) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls"), z = dir.Path("z.fls");
    const std::string t = dir.Path("t.txt");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    Bytes low, high;
    for (int b = 0; b < 128; ++b) low.push_back(static_cast<std::uint8_t>(b));
    for (int b = 128; b < 256; ++b) high.push_back(static_cast<std::uint8_t>(b));
    // As the lists print them: control bytes (DEL too) and the backslash as \xHH.
    const auto typed = [](const Bytes& b) {
        std::string text;
        for (const std::uint8_t c : b) {
            if (c < 0x20 || c == 0x7F || c == '\\')
                text += "\\x" + IntToHex(c, 2);
            else
                text += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
        }
        return text;
    };

    WriteText(t, typed(low) + "\n" + typed(high) + "\n");
    const CliRun edit = Cli({"lang", "edit", x, "1", t, "-o", y});
    ASSERT_EQ(edit.status, 0) << edit.err;
    ASSERT_EQ(Cli({"lang", "export", y, "1", dir.Path("l.lng")}).status, 0);
    Bytes all = low;
    all.insert(all.end(), high.begin(), high.end());
    const Bytes lng = ReadFile(dir.Path("l.lng"));
    EXPECT_NE(std::search(lng.begin(), lng.end(), all.begin(), all.end()), lng.end());
    WriteText(t, Cli({"lang", "texts", y, "1"}).out);
    const CliRun same = Cli({"lang", "edit", y, "1", t, "-o", z});
    EXPECT_EQ(same.status, 1) << same.err;
    EXPECT_TRUE(Has(same.err, "Nothing to save")) << same.err;

    low.erase(low.begin());
    WriteText(t, "01 " + typed(low) + "\n02 " + typed(high) + "\n");
    ASSERT_EQ(Cli({"ops", "edit", x, "0", t, "-o", y}).status, 0);
    ASSERT_EQ(Cli({"ops", "export", y, "0", dir.Path("c.opr")}).status, 0);
    const Bytes opr = ReadFile(dir.Path("c.opr"));
    EXPECT_NE(std::search(opr.begin(), opr.end(), low.begin(), low.end()), opr.end());
    EXPECT_NE(std::search(opr.begin(), opr.end(), high.begin(), high.end()), opr.end());
    WriteText(t, Cli({"ops", "show", y, "0"}).out);
    const CliRun opsSame = Cli({"ops", "edit", y, "0", t, "-o", z});
    EXPECT_EQ(opsSame.status, 1) << opsSame.err;
    EXPECT_TRUE(Has(opsSame.err, "Nothing to save")) << opsSame.err;
}
