#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/RunCli.h"
#include "core/HexText.h"
#include "ppm/Checksums.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

TEST(CliInfo, DemoImageReportsTypeFreeSpaceAndChunks) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
    const CliRun r = Cli({"info", x, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, R"("phoneType":{"index":4,"text":"3310"})")) << r.out;
    EXPECT_TRUE(Has(r.out, R"("model":"3310")"));
    EXPECT_TRUE(Has(r.out, R"("mcuFree":131072)")) << r.out;
    EXPECT_TRUE(Has(r.out, R"("ppmFree":)"));
    EXPECT_FALSE(Has(r.out, R"("ppmFree":null)"));
    std::size_t ok = 0, at = 0;
    while ((at = r.out.find(R"("checksumOk":true)", at)) != std::string::npos) ++ok, ++at;
    EXPECT_EQ(ok, 7u);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);  // one JSON object, one line

    const CliRun c = Cli({"checksum", x, "--json"});
    ASSERT_EQ(c.status, 0);
    const Bytes b = ReadFile(x);
    const std::string mcu = IntToHex(*McuChecksum(b), 4), fls = IntToHex(*FlsCheckValue(b), 8);
    EXPECT_EQ(c.out, R"({"mcu":{"stored":")" + mcu + R"(","computed":")" + mcu +
                         R"("},"mcuCopy":{"stored":")" + mcu + R"("},"file":{"stored":")" + fls +
                         R"(","computed":")" + fls + "\"}}\n");
}

TEST(CliInfo, UndetectedImageAndTheTypeOption) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    SampleOptions o;
    o.designation = kNoDesignation;
    WriteFile(x, BuildSample(o).bytes);
    CliRun r = Cli({"info", x, "--json"});
    EXPECT_TRUE(Has(r.out, R"("text":"Select Here")"));
    EXPECT_TRUE(Has(r.out, R"("mcuFree":null,"ppmFree":null,"chunks":[])")) << r.out;
    // A type whose readers cannot read the image is refused in plain words.
    r = Cli({"info", x, "--json", "--type", "62XX/7110"});
    EXPECT_TRUE(Has(r.err, "cannot be read as a 62XX/7110")) << r.err;
    EXPECT_FALSE(Has(r.out, R"("index":18)"));
    r = Cli({"info", x, "--json", "--type", "3310"});
    EXPECT_TRUE(Has(r.out, R"("index":4)")) << r.out;
    EXPECT_TRUE(Has(r.out, R"("tag":"PLMN")"));

    const std::string y = dir.Path("y.fls");
    Cli({"demo", y, "--type", "8250"});
    r = Cli({"info", y, "--type", "8250"});
    EXPECT_EQ(r.status, 0);
    r = Cli({"info", y, "--type", "3310"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "Phone type already detected as 8250")) << r.err;
    EXPECT_EQ(Cli({"info", y, "--type", "9999"}).status, 2);
}

TEST(CliSearch, HitsFromTheCursor) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    Cli({"demo", x});
    const auto s = BuildSample({});
    CliRun r = Cli({"search", x, "44554D46494C45", "--all", "--json"});
    EXPECT_EQ(r.out, "{\"hits\":[" + std::to_string(s.layout.dumfile) + "," +
                         std::to_string(s.layout.ppmDumfile) + "]}\n");
    r = Cli({"search", x, "TdUmFiLe", "--from", std::to_string(s.layout.dumfile + 1), "--json"});
    EXPECT_EQ(r.out, "{\"hits\":[" + std::to_string(s.layout.ppmDumfile) + "]}\n");
    r = Cli({"search", x, "tdumfile", "--json"});
    EXPECT_EQ(r.out, "{\"hits\":[]}\n");
    EXPECT_EQ(Cli({"search", x, "00", "--from", "-5"}).status, 2);
}

TEST(CliEdit, AdjustWritesASavedRepairedCopyAndLeavesTheInput) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    Cli({"demo", x, "--no-mark"});  // so that bytes gained by the MCU join its free space
    const Bytes original = ReadFile(x);
    CliRun r = Cli({"space", "adjust", x, "--ppm", "2000", "-o", y});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "PPM free space successfully adjusted"));
    EXPECT_TRUE(Has(r.err, "File Successfully saved!"));
    EXPECT_EQ(ReadFile(x), original);
    r = Cli({"checksum", y, "--json"});
    const Bytes b = ReadFile(y);
    EXPECT_EQ(GetBE32(&b[b.size() - 4]), *FlsCheckValue(b));
    EXPECT_NE(b, original);

    // An answer beyond the bound is not taken; nothing is written.
    const std::string z = dir.Path("z.fls");
    r = Cli({"space", "adjust", x, "--mcu", "99999999", "-o", z});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "is more than the")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(z));

    // --in-place keeps a backup; --no-checksum takes the dialog's Cancel road.
    r = Cli({"space", "adjust", x, "--mcu", "100", "--in-place", "--no-checksum"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "You have to update checksums manually"));
    EXPECT_EQ(ReadFile(x + ".bak"), original);
}

TEST(CliEdit, UsageAndNothingToSave) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    Cli({"demo", x});
    EXPECT_EQ(Cli({"space", "adjust", x, "--mcu", "10"}).status, 2);  // no output named
    EXPECT_EQ(Cli({"space", "adjust", x, "-o", dir.Path("y.fls")}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
    EXPECT_EQ(Cli({"info"}).status, 2);
    EXPECT_EQ(Cli({"info", "--help"}).status, 0);

    // Importing a chunk identical to the one there edits the copy, but the image to be saved
    // is IMAGE's bytes: nothing to save, as for every edit that changes nothing.
    const std::string bin = dir.Path("tone.bin");
    ASSERT_EQ(Cli({"chunk", "export", x, "TONE", bin}).status, 0);
    CliRun r = Cli({"chunk", "import", x, "TONE", bin, "-o", dir.Path("y.fls")});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(Has(r.err, "Nothing to save, Please edit flash file first")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("y.fls")));
}

TEST(CliChecksum, FixRepairsAndRefusesBadRanges) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    Bytes b = BuildSample({}).bytes;
    b[0x4000] ^= 1;
    WriteFile(x, b);
    CliRun r = Cli({"checksum", x, "--fix", "--json"});
    ASSERT_EQ(r.status, 0);
    const Bytes fixed = ReadFile(x);
    EXPECT_EQ(GetBE16(&fixed[34]), *McuChecksum(fixed));

    b[39] = 0x7F;  // range end far beyond the file
    WriteFile(x, b);
    r = Cli({"checksum", x, "--json"});
    EXPECT_TRUE(Has(r.out, R"({"mcu":null,)")) << r.out;
    r = Cli({"checksum", x, "--fix"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile(x), b);
}

// checksum --check answers with its status: 1 while a stored value is wrong, 0 once
// repaired; without it, checksum only shows them.
TEST(CliChecksum, CheckExitsOneOnAMismatch) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    Bytes b = BuildSample({}).bytes;
    b[0x4000] ^= 1;
    WriteFile(x, b);
    EXPECT_EQ(Cli({"checksum", x}).status, 0);
    const CliRun wrong = Cli({"checksum", x, "--check"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(Has(wrong.out, "MCU checksum:")) << wrong.out;
    EXPECT_TRUE(Has(wrong.err, "not the computed ones")) << wrong.err;
    EXPECT_EQ(Cli({"checksum", x, "--check", "--json"}).status, 1);
    ASSERT_EQ(Cli({"checksum", x, "--fix"}).status, 0);
    EXPECT_EQ(Cli({"checksum", x, "--check"}).status, 0);
    EXPECT_EQ(Cli({"checksum", x, "--check", "--fix"}).status, 2);
}

namespace {
// Standard output on a full disk: every write fails.
struct FullBuf : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

int StatusWithFullStdout(std::vector<std::string> args) {
    args.insert(args.begin(), "brivant-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::istringstream in;
    FullBuf full;
    std::ostream out(&full);
    std::ostringstream err;
    return RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err);
}
}  // namespace

// An answer that cannot be written is trouble for the checkers (2), never their "different"
// or "problems" (1); other commands fail with 1.
TEST(CliExitStatus, CheckersThatCannotWriteTheirAnswerExitTwo) {
    TempDir dir;
    const std::string x = dir.Path("x.fls"), y = dir.Path("y.fls");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    ASSERT_EQ(Cli({"tones", "delete", x, "0", "-o", y}).status, 0);
    EXPECT_EQ(StatusWithFullStdout({"diff", x, x}), 2);
    EXPECT_EQ(StatusWithFullStdout({"diff", x, y}), 2);
    EXPECT_EQ(StatusWithFullStdout({"check", x}), 2);
    EXPECT_EQ(StatusWithFullStdout({"check", x, "--json"}), 2);
    EXPECT_EQ(StatusWithFullStdout({"info", x}), 1);
    EXPECT_EQ(StatusWithFullStdout({"--version"}), 1);
    EXPECT_EQ(StatusWithFullStdout({"checksum", x, "--check"}), 1);
}
