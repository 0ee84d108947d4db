#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;
namespace fs = std::filesystem;

namespace {
std::vector<std::string> Entries(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path("")))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST(CliOpen, WhatIsNoImageIsRefusedWithItsReason) {
    TempDir dir;
    const std::string text = dir.Path("notes.fls"), fifo = dir.Path("pipe.fls");
    const std::string s = "nothing of an image here\n";
    WriteFile(text, Bytes(s.begin(), s.end()));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CliRun r = Cli({"info", text});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "brivant-cli: " + text +
                         " is not a flash image this editor can read: it holds only 25 bytes, "
                         "too few for an image header\n");
    EXPECT_EQ(r.out, "");
    // Neither a FIFO nor a device is read (a read would never end).
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        r = Cli({"info", path});
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_TRUE(Has(r.err, "Cannot open " + path + ". (It is a")) << r.err;
        r = Cli({"checksum", path, "--fix"});
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_TRUE(Has(r.err, "(It is a")) << r.err;
    }
}

TEST(CliSave, ANonRepairableImageIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    Bytes b = BuildSample({}).bytes;
    b[39] = 0x7F;  // the MCU checksum range ends far beyond the file
    WriteFile(x, b);
    CliRun r = Cli({"space", "adjust", x, "--ppm", "2000", "-o", y});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "The MCU checksum range of the image lies outside the file")) << r.err;
    EXPECT_FALSE(Has(r.err, "successfully")) << r.err;
    r = Cli({"space", "adjust", x, "--ppm", "2000", "--in-place"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile(x), b);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"x.fls"});  // no output, no backup

    // Without the repair the image can be saved.
    r = Cli({"space", "adjust", x, "--ppm", "2000", "-o", y, "--no-checksum"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(y));
}

TEST(CliSave, TheImageUnderAnyNameIsTheImage) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), link = dir.Path("link.fls");
    ASSERT_EQ(Cli({"demo", x, "--no-mark"}).status, 0);
    fs::permissions(x, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(x, link);
    const Bytes original = ReadFile(x);
    // -o naming the image another way still keeps its backup.
    CliRun r = Cli({"space", "adjust", x, "--ppm", "2000", "-o", dir.Path(".") + "/./x.fls"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(x + ".bak"), original);
    const Bytes first = ReadFile(x);
    EXPECT_NE(first, original);
    EXPECT_TRUE(ChecksumsVerify(first));
    // Through a link: the file it names is replaced, the link stays, the mode too.
    r = Cli({"space", "adjust", link, "--mcu", "100", "--in-place"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(x + ".bak"), first);
    EXPECT_EQ(fs::status(x).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // An export is never written over the image it comes from.
    const Bytes before = ReadFile(x);
    for (const std::string& out : {x, link, dir.Path(".") + "/x.fls"}) {
        r = Cli({"chunk", "export", x, "TONE", out});
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_TRUE(Has(r.err, out + " is the open image")) << r.err;
    }
    EXPECT_EQ(ReadFile(x), before);
}

TEST(CliSave, AnOutputThatIsNoFileIsRefusedBeforeTheImageIsRead) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), fifo = dir.Path("pipe.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir.Path("folder.fls"));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {fifo, "It is a named pipe, not a file"},
        {dir.Path("folder.fls"), "It is a folder"},
        {"/dev/null", "It is a device, not a file"},
    };
    for (const auto& [out, reason] : cases) {
        const CliRun r = Cli({"space", "adjust", x, "--ppm", "2000", "-o", out});
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_EQ(r.err, "brivant-cli: Cannot create file " + out + " (" + reason + ")\n");
    }
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_EQ(fs::status("/dev/null").type(), fs::file_type::character);
}
