// The command line built as WebAssembly and run under Node, against the native program:
// the same standard output, messages, exit status and written files, for every command on
// every family's demo image and for every kind of picture the picture tests read. Runs where
// BRIVANT_CLI names the other build (scripts/wasm.sh); the native build alone has nothing to
// compare.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "graphics/BitmapFiles.h"
#include "image/PhoneTypes.h"
#include "platform/GifFile.h"
#include "support/CliProgram.h"

namespace brivant::test {
namespace {

namespace fs = std::filesystem;

std::string TextOf(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// What one run leaves: its streams, its status, and every file of the folder but the image.
struct Outcome {
    int status = -1;
    std::string out, err;
    std::map<std::string, Bytes> files;
};

Outcome RunIn(const std::string& program, const std::string& folder,
              const std::vector<std::string>& args) {
    std::string command = "cd " + ShellQuoted(folder) + " && " + program;
    for (const std::string& a : args) command += " " + ShellQuoted(a);
    const std::string out = folder + "/../out", err = folder + "/../err";
    command += " </dev/null >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
    const int raw = std::system(command.c_str());
    Outcome o;
    o.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = TextOf(out);
    o.err = TextOf(err);
    for (const auto& e : fs::directory_iterator(folder))
        o.files[e.path().filename().string()] = ReadFile(e.path().string());
    return o;
}

// PNG files are compared by their pixels: the two builds encode them with different
// libraries. Everything else byte for byte.
void ExpectSame(const Outcome& native, const Outcome& wasm, const std::string& what) {
    EXPECT_EQ(native.status, wasm.status) << what << "\n" << native.err << wasm.err;
    EXPECT_EQ(native.out, wasm.out) << what;
    EXPECT_EQ(native.err, wasm.err) << what;
    ASSERT_EQ(native.files.size(), wasm.files.size()) << what;
    for (const auto& [name, bytes] : native.files) {
        const auto other = wasm.files.find(name);
        ASSERT_NE(other, wasm.files.end()) << what << ": " << name;
        // Inputs are left as they were; a picture written by both is compared.
        if (bytes == other->second) continue;
        if (name.ends_with(".png")) {
            // Decoded as they are: a sheet is larger than any bitmap the program imports.
            const auto decode = [](const Bytes& png) {
                return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG")
                    .convertToFormat(QImage::Format_ARGB32);
            };
            const QImage a = decode(bytes), b = decode(other->second);
            EXPECT_FALSE(a.isNull()) << what << ": " << name;
            EXPECT_EQ(a.size(), b.size()) << what << ": " << name;
            EXPECT_TRUE(a == b) << what << ": " << name << " has other pixels";
        } else {
            EXPECT_EQ(bytes, other->second) << what << ": " << name;
        }
    }
}

// Both programs on the same files: each run starts from the same folder contents.
class BothBuilds {
  public:
    BothBuilds() {
        fs::create_directories(work_);
        native_ = ShellQuoted(NativeCliPath());
        wasm_ = OtherCli();
    }
    void Put(const std::string& name, const Bytes& bytes) { start_[name] = bytes; }
    std::string Path(const std::string& name) const { return work_ + "/" + name; }
    void Compare(const std::vector<std::string>& args) {
        std::string what;
        for (const std::string& a : args) what += a + " ";
        Outcome got[2];
        for (int i = 0; i < 2; ++i) {
            fs::remove_all(work_);
            fs::create_directories(work_);
            for (const auto& [name, bytes] : start_) WriteFile(Path(name), bytes);
            got[i] = RunIn(i == 0 ? native_ : wasm_, work_, args);
        }
        ExpectSame(got[0], got[1], what);
    }

  private:
    TempDir dir_;
    std::string work_ = dir_.Path("work");
    std::string native_, wasm_;
    std::map<std::string, Bytes> start_;
};

#define REQUIRE_OTHER_BUILD()                                                          \
    if (OtherCli().empty())                                                            \
    GTEST_SKIP() << "BRIVANT_CLI names no other build of the command line to compare " \
                    "(scripts/wasm.sh runs this against the WebAssembly one)"

// Every command with arguments that fit every demo image; files by relative names, so the
// paths in the messages are the same. A family without the feature refuses in both.
const std::vector<std::vector<std::string>>& Commands() {
    static const std::vector<std::vector<std::string>> commands = {
        {"info", "x.fls"},
        {"info", "x.fls", "--json"},
        {"search", "x.fls", "TTest"},
        {"search", "x.fls", "FFFF"},
        {"checksum", "x.fls"},
        {"space", "adjust", "x.fls", "--mcu", "100", "-o", "y.fls"},
        {"space", "adjust", "x.fls", "--ppm", "100", "-o", "y.fls"},
        {"chunk", "export", "x.fls", "TONE", "t.bin"},
        {"chunk", "import", "x.fls", "TONE", "t.bin", "-o", "y.fls"},
        {"tones", "list", "x.fls"},
        {"tones", "list", "x.fls", "--json"},
        {"tones", "export", "x.fls", "0", "t.re"},
        {"tones", "change", "x.fls", "0", "t.re", "-o", "y.fls"},
        {"tones", "add", "x.fls", "t.re", "-o", "y.fls"},
        {"tones", "delete", "x.fls", "1", "-o", "y.fls"},
        {"tones", "delete", "x.fls", "0", "--in-place"},
        {"alert", "export", "x.fls", "standard", "a.re"},
        {"alert", "change", "x.fls", "standard", "t.re", "-o", "y.fls"},
        {"lang", "list", "x.fls"},
        {"lang", "list", "x.fls", "--json"},
        {"lang", "texts", "x.fls", "0"},
        {"lang", "export", "x.fls", "0", "l.txt"},
        {"lang", "delete", "x.fls", "1", "-o", "y.fls"},
        {"ops", "list", "x.fls"},
        {"ops", "list", "x.fls", "--json"},
        {"ops", "show", "x.fls", "0"},
        {"ops", "export", "x.fls", "0", "o.txt"},
        {"ops", "delete", "x.fls", "0", "-o", "y.fls"},
        {"ops", "new", "x.fls", "Test", "999", "-o", "y.fls"},
        {"menu", "list", "x.fls"},
        {"menu", "list", "x.fls", "--json"},
        {"menu", "move", "x.fls", "0", "down", "--lang", "1", "-o", "y.fls"},
        {"menu", "edit", "x.fls", "0", "--lang", "1", "--func-id", "ABCD", "-o", "y.fls"},
        {"menu", "delete", "x.fls", "1", "--lang", "1", "-o", "y.fls"},
        {"menu", "add", "x.fls", "--lang", "1", "--name", "Hi", "-o", "y.fls"},
        {"bmp", "list", "x.fls"},
        {"bmp", "list", "x.fls", "--json"},
        {"bmp", "show", "x.fls", "001"},
        {"bmp", "export", "x.fls", "001", "b.bmp"},
        {"bmp", "export", "x.fls", "001", "b.png", "--format", "png"},
        {"bmp", "export-all", "x.fls", "p.bmp"},
        {"bmp", "sheet", "x.fls", "s.png"},
        {"bmp", "import", "x.fls", "002", "b.bmp", "-o", "y.fls"},
        {"ani", "list", "x.fls"},
        {"ani", "list", "x.fls", "--json"},
        {"ani", "export", "x.fls", "000", "a.png"},
        {"ani", "export", "x.fls", "000", "a.gif", "--scale", "3", "--delay", "120"},
        {"ani", "export", "x.fls", "000", "-", "--format", "gif"},
        {"ani", "set-length", "x.fls", "000", "11", "-o", "y.fls"},
        {"ani", "set-frame", "x.fls", "000", "0", "005", "-o", "y.fls"},
        {"patch", "leds", "x.fls", "-o", "y.fls"},
        {"patch", "lcd", "x.fls", "-o", "y.fls"},
        {"security", "patch", "x.fls", "--inbox", "-o", "y.fls"},
        {"security", "patch", "x.fls", "--whole", "-o", "y.fls"},
        {"diff", "x.fls", "b.fls"},
        {"diff", "x.fls", "b.fls", "--json"},
        {"check", "x.fls"},
        {"check", "x.fls", "--json"},
        {"apply", "x.fls", "r.json", "-o", "y.fls"},
        {"info", "missing.fls"},
        {"tones", "delete", "x.fls", "99", "-o", "y.fls"},
        {"nosuchcommand"},
        {"--help"},
        {"--version"},
    };
    return commands;
}

// One test per family, so that the runs against the other build, which spend their time
// starting it, can share the processors.
class WasmBuildFamily : public ::testing::TestWithParam<int> {};

TEST_P(WasmBuildFamily, EveryCommandOnTheDemoImageAsNative) {
    REQUIRE_OTHER_BUILD();
    const std::string type = PhoneTypeTexts()[static_cast<std::size_t>(GetParam())];
    SCOPED_TRACE(type);
    BothBuilds both;
    both.Compare({"demo", "x.fls", "--type", type});
    // The files the commands read: the demo image and what the native program exports.
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", type}).status, 0);
    both.Put("x.fls", ReadFile(x));
    const std::string cli = ShellQuoted(NativeCliPath()) + " ";
    const std::string in = " " + ShellQuoted(x) + " ";
    ASSERT_EQ(std::system((cli + "tones export" + in + "0 " + dir.Path("t.re")).c_str()), 0);
    ASSERT_EQ(std::system((cli + "chunk export" + in + "TONE " + dir.Path("t.bin")).c_str()), 0);
    ASSERT_EQ(std::system((cli + "bmp export" + in + "001 " + dir.Path("b.bmp")).c_str()), 0);
    for (const char* name : {"t.re", "t.bin", "b.bmp"}) both.Put(name, ReadFile(dir.Path(name)));
    // A second image for diff: one byte changed (not every family has a tone to delete).
    Bytes other = ReadFile(x);
    other[other.size() / 2] ^= 0xFF;
    both.Put("b.fls", other);
    both.Put("r.json", Bytes{'{', '}'});
    for (const auto& args : Commands()) both.Compare(args);
}
INSTANTIATE_TEST_SUITE_P(EveryFamily, WasmBuildFamily, ::testing::Range(1, kPhoneTypeCount + 1));

// Every kind of picture the picture tests read, imported by both builds with each of the
// pixel rules: the same image, so the same pixels. Cut-short files are refused by both.
TEST(WasmBuild, PicturesImportAsNative) {
    REQUIRE_OTHER_BUILD();
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    ASSERT_EQ(Cli({"demo", x, "--type", "3410"}).status, 0);
    BothBuilds both;
    both.Put("x.fls", ReadFile(x));

    // A grey ramp with a see-through corner, and a two-colour drawing.
    QImage ramp(24, 16, QImage::Format_ARGB32);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x0 = 0; x0 < ramp.width(); ++x0) {
            const int v = (x0 * 255) / (ramp.width() - 1);
            ramp.setPixel(x0, y, qRgba(v, (v + y * 16) % 256, 255 - v, x0 < 4 && y < 4 ? 0 : 255));
        }
    QImage mono(20, 10, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0);
    for (int i = 0; i < 10; ++i) mono.setPixel(i * 2, i, 1);
    std::vector<std::string> names;
    const auto save = [&](const QImage& image, const std::string& name, const char* format) {
        ASSERT_TRUE(image.save(QString::fromStdString(dir.Path(name)), format)) << name;
        both.Put(name, ReadFile(dir.Path(name)));
        names.push_back(name);
    };
    for (const QImage::Format f : {QImage::Format_RGB888, QImage::Format_RGB32,
                                   QImage::Format_Indexed8, QImage::Format_ARGB32})
        save(ramp.convertToFormat(f), "ramp" + std::to_string(static_cast<int>(f)) + ".bmp", "BMP");
    save(mono, "mono.bmp", "BMP");
    save(ramp, "ramp.png", "PNG");
    save(mono, "mono.png", "PNG");
    save(ramp.convertToFormat(QImage::Format_RGB32), "ramp.jpg", "JPEG");
    save(mono, "mono.pbm", "PBM");
    save(ramp.convertToFormat(QImage::Format_Grayscale8), "ramp.pgm", "PGM");
    save(ramp.convertToFormat(QImage::Format_RGB32), "ramp.ppm", "PPM");
    save(mono, "mono.xbm", "XBM");
    // A GIF as the editor writes one: its first frame is the picture.
    BitmapCanvas frame(12, 9);
    for (int i = 0; i < 9; ++i) frame.Set(i, i, true);
    WriteFile(dir.Path("anim.gif"), EncodeAnimatedGif({{frame, frame}, 1, 300}));
    both.Put("anim.gif", ReadFile(dir.Path("anim.gif")));
    names.push_back("anim.gif");
    // Run-length BMPs: one whose data sets every pixel, one that leaves most of them unset.
    const auto runLength = [&](const std::string& name, int bits, const std::string& data) {
        const Bytes pixels = HexToBytes(data);
        Bytes b = HexToBytes(
            "424d"
            "000000000000000000000000"
            "28000000"
            "08000000"
            "04000000"
            "0100");
        b.insert(b.end(), {static_cast<std::uint8_t>(bits), 0,
                           static_cast<std::uint8_t>(bits == 8 ? 1 : 2), 0, 0, 0});
        b.resize(54, 0);
        b[46] = 2;  // two colours: white and black
        b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0});
        const auto offset = static_cast<std::uint32_t>(b.size());
        b[10] = static_cast<std::uint8_t>(offset);
        b.insert(b.end(), pixels.begin(), pixels.end());
        b[2] = static_cast<std::uint8_t>(b.size());
        both.Put(name, b);
        names.push_back(name);
        // Read by the native build, so the comparison is of pictures, not of refusals.
        WriteFile(dir.Path(name), b);
        const CliRun r = Cli({"bmp", "import", x, "002", dir.Path(name), "-o", dir.Path("rl.fls")});
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        std::filesystem::remove(dir.Path("rl.fls"));
    };
    runLength("full8.bmp", 8, "0800 0000 0401 0400 0000 0008 0001000100010001 0000 0801 0001");
    runLength("holes8.bmp", 8, "0201 0002 0301 0101 0000 0001");
    runLength("holes4.bmp", 4, "0510 0000 0003 0110 0000 0001");
    // Plain-text netpbm files, and one cut short.
    const std::string plain = "P2\n3 2\n15\n0 7 15\n15 7 0\n";
    both.Put("plain.pgm", Bytes(plain.begin(), plain.end()));
    names.push_back("plain.pgm");
    Bytes cut = ReadFile(dir.Path("ramp.png"));
    cut.resize(cut.size() / 2);
    both.Put("cut.png", cut);
    names.push_back("cut.png");

    for (const std::string& name : names) {
        both.Compare({"bmp", "import", "x.fls", "002", name, "-o", "y.fls"});
        both.Compare({"bmp", "import", "x.fls", "002", name, "--fit", "-o", "y.fls"});
        // JPEG decoders may differ by a level here and there (their own rounding of the
        // inverse transform); a threshold hides that, dithering carries it on.
        if (!name.ends_with(".jpg"))
            both.Compare(
                {"bmp", "import", "x.fls", "002", name, "--fit", "--dither", "-o", "y.fls"});
        both.Compare(
            {"bmp", "import", "x.fls", "002", name, "--fit", "--threshold", "90", "-o", "y.fls"});
    }
}

}  // namespace
}  // namespace brivant::test
